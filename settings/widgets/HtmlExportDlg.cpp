#include "settings/widgets/HtmlExportDlg.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kExportDialog = 362;
constexpr int kFieldsDialog = 30804;
constexpr int kTitleEdit = 1017;
constexpr int kLayerCombo = 1012;
constexpr int kCharsetEdit = 1007;
constexpr int kBrowserCheck = 1015;
constexpr int kFieldsButton = 1055;
constexpr int kFieldList = 1014;
constexpr int kShowNamesCheck = 1015;
constexpr int kLinkCombo = 1012;
constexpr int kNoneText = 3000;
constexpr int kNoFieldChecked = 1100;

constexpr const char kCaption[] = "Išsaugojimas HTML formatu";

bool HasClickableObjects(const CLayer& layer)
{
    const int type = layer.GetType();
    return !layer.HasFlag(CLayer::kGroup) &&
           (type == CLayer::kPoint || type == CLayer::kArea || type == CLayer::kTrack);
}

} // namespace

CHtmlExportDlg::CHtmlExportDlg(CDrelDoc& document, const CHtmlExportOptions& options, QWidget* parent)
    : CDialogBase(parent), m_document(document), m_options(options)
{
    SetControlId(this, kExportDialog);
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* title = WithId(kTitleEdit, new QLineEdit(this));
    m_layerCombo = WithId(kLayerCombo, new QComboBox(this));
    auto* charset = WithId(kCharsetEdit, new QLineEdit(this));
    auto* fields = MakeButton(this, kFieldsButton, "&Parametrai...");

    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "&Antraštė:", title), title);
    auto* layerRow = new QHBoxLayout;
    layerRow->addWidget(m_layerCombo, 1);
    layerRow->addWidget(fields);
    form->addRow(MakeLabel(this, 0, "Aktyvių &objektų sluoksnis:", m_layerCombo), layerRow);
    form->addRow(MakeLabel(this, 0, "&Kodų lentelė:", charset), charset);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeCheck(this, kBrowserCheck, "Iš karto parodyti &naršyklės lange"));
    layout->addStretch(1);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(440);

    connect(m_layerCombo, &QComboBox::activated, this, &CHtmlExportDlg::OnLayerChanged);
    connect(fields, &QPushButton::clicked, this, [this] { RunFieldsDialog(); });
}

void CHtmlExportDlg::OnInitDialog()
{
    m_layerCombo->clear();
    m_layers.clear();
    m_layerCombo->addItem(ToQString(LoadString(kNoneText)));
    int chosen = 0;
    const CLayerArray& layers = m_document.Layers();
    for (int i = 0; i < layers.GetSize(); ++i) {
        CLayer* layer = layers.GetAt(i);
        if (!layer || !HasClickableObjects(*layer))
            continue;
        m_layers.push_back(layer);
        m_layerCombo->addItem(ToQString(layer->GetName()));
        if (chosen == 0 && !m_options.layerName.empty() && layer->GetName() == m_options.layerName)
            chosen = static_cast<int>(m_layers.size());
    }
    m_layerCombo->setCurrentIndex(chosen);
    CDialogBase::OnInitDialog();
    if (chosen == 0)
        OnLayerChanged(0);
}

void CHtmlExportDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kTitleEdit, m_options.title);
    dx.Text(kCharsetEdit, m_options.charset);
    dx.Check(kBrowserCheck, m_options.openInBrowser);
}

CLayer* CHtmlExportDlg::ChosenLayer() const
{
    const int index = m_layerCombo->currentIndex();
    return index > 0 && index <= static_cast<int>(m_layers.size()) ? m_layers[static_cast<size_t>(index - 1)]
                                                                   : nullptr;
}

void CHtmlExportDlg::OnLayerChanged(int index)
{
    EnableDlgItem(this, kFieldsButton, index > 0);
    m_options.linkField.clear();
    m_options.infoFields.clear();
}

bool CHtmlExportDlg::RunFieldsDialog()
{
    CLayer* layer = ChosenLayer();
    if (!layer)
        return false;
    CHtmlFieldsDlg dialog(*layer, m_options.infoFields, m_options.linkField, m_options.showNames, this);
    if (dialog.DoModal() != IDOK)
        return false;
    m_options.infoFields = dialog.GetInfoFields();
    m_options.linkField = dialog.GetLinkField();
    m_options.showNames = dialog.GetShowNames();
    return true;
}

void CHtmlExportDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (const CLayer* layer = ChosenLayer()) {
        m_options.layerName = layer->GetName();
        if (m_options.infoFields.empty())
            RunFieldsDialog();
        if (m_options.infoFields.empty())
            return;
    } else {
        m_options.layerName.clear();
    }
    EndDialog(IDOK);
}

CHtmlFieldsDlg::CHtmlFieldsDlg(CLayer& layer, const std::vector<std::string>& infoFields,
                               const std::string& linkField, int showNames, QWidget* parent)
    : CDialogBase(parent), m_layer(layer), m_infoFields(infoFields), m_linkField(linkField), m_showNames(showNames)
{
    SetControlId(this, kFieldsDialog);
    setWindowTitle(QString::fromUtf8(kCaption));
    m_fieldList = WithId(kFieldList, new QListWidget(this));
    m_linkCombo = WithId(kLinkCombo, new QComboBox(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Laukai, kurių informacija bus pateikiama :", m_fieldList));
    layout->addWidget(m_fieldList, 1);
    layout->addWidget(MakeCheck(this, kShowNamesCheck, "&Rodyti laukų pavadinimus"));
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "&Hipernuorodų laukas:", m_linkCombo), m_linkCombo);
    layout->addLayout(form);
    layout->addLayout(MakeOkCancelRow());
    setMinimumSize(360, 380);
}

void CHtmlFieldsDlg::OnInitDialog()
{
    m_fieldList->clear();
    m_linkCombo->clear();
    m_linkCombo->addItem(ToQString(LoadString(kNoneText)));
    CDbfTable table;
    if (m_layer.HasFlag(CLayer::kHasAliases))
        table.SetFieldAliases(&m_layer.FieldAliases());
    if (m_layer.OpenTable(table)) {
        for (int i = 0; i < table.GetFieldCount(); ++i) {
            if (!table.IsFieldShown(i))
                continue;
            const std::string caption = table.GetFieldCaption(i);
            auto* item = new QListWidgetItem(ToQString(caption), m_fieldList);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            const bool checked = std::find(m_infoFields.begin(), m_infoFields.end(), caption) != m_infoFields.end();
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
            m_linkCombo->addItem(ToQString(caption));
        }
    }
    int link = 0;
    for (int i = 1; i < m_linkCombo->count() && !m_linkField.empty(); ++i)
        if (FromQString(m_linkCombo->itemText(i)) == m_linkField) {
            link = i;
            break;
        }
    m_linkCombo->setCurrentIndex(link);
    CDialogBase::OnInitDialog();
}

void CHtmlFieldsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Check(kShowNamesCheck, m_showNames);
}

void CHtmlFieldsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_linkField = m_linkCombo->currentIndex() > 0 ? FromQString(m_linkCombo->currentText()) : std::string();
    m_infoFields.clear();
    for (int i = 0; i < m_fieldList->count(); ++i)
        if (m_fieldList->item(i)->checkState() == Qt::Checked)
            m_infoFields.push_back(FromQString(m_fieldList->item(i)->text()));
    if (m_infoFields.empty()) {
        AppMessageBox(kNoFieldChecked);
        return;
    }
    EndDialog(IDOK);
}

bool EditHtmlExportOptions(CDrelView& view, CHtmlExportOptions& options)
{
    CHtmlExportDlg dialog(view.GetDocument(), options, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    options = dialog.GetOptions();
    return true;
}
