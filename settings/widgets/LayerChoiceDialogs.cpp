#include "settings/widgets/LayerChoiceDialogs.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerDialogRules.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int kOverviewLayersDialog = 132;
constexpr int kLayerChoiceDialog = 30799;
constexpr int kLayerFilesDialog = 30765;
constexpr int kLegendEditDialog = 30761;
constexpr int kNoMap = 1316;
constexpr int kLayerRole = Qt::UserRole;
constexpr int kIntervalLength = 2;

CLayer* LayerOf(const QListWidgetItem* item)
{
    return item ? static_cast<CLayer*>(item->data(kLayerRole).value<void*>()) : nullptr;
}

} // namespace

// ------------------------------------------------------------ 132

COverviewLayersDlg::COverviewLayersDlg(CDrelDoc& document, QWidget* parent)
    : CDialogBase(parent), m_list(WithId(kList, new QListWidget(this)))
{
    SetControlId(this, kOverviewLayersDialog);
    setWindowTitle(QString::fromUtf8("Konteksto lango sluoksniai"));
    for (CLayer* layer : OverviewLayerChoices(document)) {
        auto* item = new QListWidgetItem(ToQString(layer->GetName()), m_list);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(layer->HasFlag(CLayer::kInOverview) ? Qt::Checked : Qt::Unchecked);
        item->setData(kLayerRole, QVariant::fromValue(static_cast<void*>(layer)));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(MakeOkCancelRow());
    resize(300, 320);
}

void COverviewLayersDlg::OnOK()
{
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (CLayer* layer = LayerOf(item))
            layer->SetFlag(CLayer::kInOverview, item->checkState() == Qt::Checked);
    }
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 30799

CLayerChoiceDlg::CLayerChoiceDlg(CDrelDoc* document, QWidget* parent)
    : CDialogBase(parent), m_document(document), m_combo(WithId(kCombo, new QComboBox(this)))
{
    SetControlId(this, kLayerChoiceDialog);
    setWindowTitle(QString::fromUtf8("Sluoksniai"));
    if (document)
        for (const CLayer* layer : ChoosableLayers(document->Layers(), LayerTypeBit(CLayer::kLine)))
            m_combo->addItem(ToQString(layer->GetName()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Pasirinkite sluoksnį:", m_combo));
    layout->addWidget(m_combo);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(300);
}

void CLayerChoiceDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    if (!m_document)
        // Once the dialog runs, so that it can end.
        QMetaObject::invokeMethod(
            this,
            [this] {
                AppMessageBox(kNoMap, MB_OK | MB_ICONWARNING);
                EndDialog(IDCANCEL);
            },
            Qt::QueuedConnection);
}

void CLayerChoiceDlg::OnOK()
{
    const std::string name = FromQString(m_combo->currentText());
    if (name.empty() || !m_document)
        return;
    m_layer = m_document->Layers().FindByName(name);
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 30765

CLayerFilesDlg::CLayerFilesDlg(CLayer& layer, QWidget* parent)
    : CDialogBase(parent), m_layer(layer), m_list(WithId(kList, new QListWidget(this)))
{
    SetControlId(this, kLayerFilesDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnio failų sąrašas"));
    for (const CLayerFileEntry& file : layer.Files())
        m_list->addItem(ToQString(file.path));
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Pasirinkite vieną failą:", m_list));
    layout->addWidget(m_list, 1);
    layout->addLayout(MakeOkCancelRow());
    resize(420, 300);
}

void CLayerFilesDlg::OnOK()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_layer.GetFileCount() || m_list->selectedItems().isEmpty())
        return;
    m_layer.SetPath(m_layer.Files()[static_cast<size_t>(row)].path);
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 30761

CLegendEditDlg::CLegendEditDlg(double minimum, double maximum, std::string intervals, QWidget* parent)
    : CDialogBase(parent), m_minimum(minimum), m_maximum(maximum), m_intervals(std::move(intervals))
{
    SetControlId(this, kLegendEditDialog);
    setWindowTitle(QString::fromUtf8("Redaguoti legendą"));
    auto* minimumEdit = WithId(kMinimumEdit, new QLineEdit(this));
    auto* maximumEdit = WithId(kMaximumEdit, new QLineEdit(this));
    auto* intervalsCombo = WithId(kIntervalsCombo, new QComboBox(this));
    intervalsCombo->setEditable(true);
    for (const char* count : {"0", "1", "2", "5", "10"})
        intervalsCombo->addItem(QString::fromLatin1(count));
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "Minimali reikšmė:", minimumEdit), minimumEdit);
    form->addRow(MakeLabel(this, 0, "Maksimali reikšmė:", maximumEdit), maximumEdit);
    form->addRow(MakeLabel(this, 0, "Intervalų skaičius:", intervalsCombo), intervalsCombo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(300);
}

void CLegendEditDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Real(kMinimumEdit, m_minimum);
    dx.Real(kMaximumEdit, m_maximum);
    dx.Text(kIntervalsCombo, m_intervals, kIntervalLength);
}

// ------------------------------------------------------------ the hooks

bool RunOverviewLayersDialog(CDrelDoc& document)
{
    COverviewLayersDlg dialog(document, QApplication::activeWindow());
    return dialog.DoModal() == IDOK;
}

bool ChooseOneLayerFile(CLayer& layer)
{
    CLayerFilesDlg dialog(layer, QApplication::activeWindow());
    return dialog.DoModal() == IDOK;
}
