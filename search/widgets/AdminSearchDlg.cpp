#include "search/widgets/AdminSearchDlg.h"

#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "search/AdminSearchSettings.h"
#include "shell/widgets/ControlIds.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Room for the longer layer and field names.
constexpr int kListWidth = 220;

QComboBox* MakeList(QWidget* parent, int id, const std::vector<std::string>& items, int current)
{
    auto* list = new QComboBox(parent);
    SetControlId(list, id);
    for (const std::string& item : items)
        list->addItem(ToQString(item));
    list->setCurrentIndex(current);
    list->setMinimumWidth(kListWidth);
    return list;
}

} // namespace

CAdminSearchDlg::CAdminSearchDlg(CAdminSearchSettings& settings, const CDrelDoc& document, QWidget* parent)
    : CDialogBase(parent), m_settings(settings), m_document(document)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Administracinės paieškos parametrai"));
    auto* grid = new QGridLayout;
    int line = 0;
    for (const CAdminLayerRow& row : AdminLayerRows()) {
        const std::vector<std::string> choices = AdminLayerChoices(document, row);
        QComboBox* list = MakeList(this, row.comboId, choices, AdminChoiceIndex(choices, settings.Get(row.layerKey)));
        auto* label = new QLabel(QString::fromUtf8(row.label), this);
        label->setBuddy(list);
        auto* fields = new QPushButton(QString::fromUtf8("Laukai..."), this);
        SetControlId(fields, row.buttonId);
        fields->setAutoDefault(false);
        for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(list),
                                 static_cast<QWidget*>(fields)})
            control->setEnabled(row.enabled);
        connect(fields, &QPushButton::clicked, this, [this, &row, list] { EditFields(row, *list); });
        grid->addWidget(label, line, 0);
        grid->addWidget(list, line, 1);
        grid->addWidget(fields, line, 2);
        m_lists.push_back(list);
        ++line;
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void CAdminSearchDlg::EditFields(const CAdminLayerRow& row, const QComboBox& list)
{
    if (list.currentIndex() <= 0)
        return;
    const CLayer* layer = m_document.Layers().FindByName(FromQString(list.currentText()));
    if (!layer)
        return;
    CAdminFieldsDlg dialog(m_settings, *layer, row, this);
    dialog.DoModal();
}

void CAdminSearchDlg::OnOK()
{
    const auto rows = AdminLayerRows();
    for (size_t i = 0; i < rows.size(); ++i)
        m_settings.Set(rows[i].layerKey, AdminStoredName(FromQString(m_lists[i]->currentText())));
    EndDialog(IDOK);
}

CAdminFieldsDlg::CAdminFieldsDlg(CAdminSearchSettings& settings, const CLayer& layer, const CAdminLayerRow& row,
                                 QWidget* parent)
    : CDialogBase(parent), m_settings(settings), m_row(row)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Laukai"));
    const std::vector<std::string> choices = AdminFieldChoices(layer);
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < std::size(kLists); ++i) {
        const bool used = i < row.fields.size() && row.fields[i].label[0] != '\0';
        const std::string current = used ? settings.Get(row.fields[i].key) : std::string();
        QComboBox* list = MakeList(this, kLists[i], choices, AdminChoiceIndex(choices, current));
        auto* label = new QLabel(used ? QString::fromUtf8(row.fields[i].label) : QString(), this);
        SetControlId(label, kLabels[i]);
        label->setBuddy(list);
        list->setVisible(used);
        label->setVisible(used);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(list, static_cast<int>(i), 1);
        m_lists.push_back(list);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void CAdminFieldsDlg::OnOK()
{
    for (size_t i = 0; i < m_row.fields.size(); ++i)
        if (m_row.fields[i].label[0] != '\0')
            m_settings.Set(m_row.fields[i].key, AdminStoredName(FromQString(m_lists[i]->currentText())));
    EndDialog(IDOK);
}

void EditAdminSearchParameters(CAdminSearchSettings& settings, CDrelDoc& document)
{
    CAdminSearchDlg dialog(settings, document, QApplication::activeWindow());
    if (dialog.DoModal() == IDOK)
        settings.OnParametersChanged(document);
}
