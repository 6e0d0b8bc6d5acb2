#include "settings/widgets/LayerDefPage.h"

#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/BaseScales.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPageNumber = 0;
constexpr int kNameEdit = 1004;
constexpr int kPathEdit = 1005;
constexpr int kBrowseButton = 1006;
constexpr int kTypeCombo = 1007;
constexpr int kShownCheck = 1015;
constexpr int kOverviewCheck = 1016;
constexpr int kIntervalEdit = 1017;
constexpr int kNameFieldCombo = 1018;
constexpr int kTranslucentCheck = 1019;
constexpr int kWorkingCheck = 1025;
constexpr int kStructureButton = 1052;
constexpr int kFilesButton = 1055;
constexpr int kTypeLabel = 1059;
constexpr int kNameFieldLabel = 1060;
constexpr int kPathLabel = 1061;
constexpr int kIntervalLabel = 1062;
constexpr int kIntervalUnits = 1063;
constexpr int kObjectsCheck = 1065;
constexpr int kInfoCheck = 1069;
constexpr int kManyFilesCheck = 1095;
constexpr int kDynamicCheck = 1107;

// The limit of an edit, or the stored text's length when it is longer: a
// text kept in the map comes back whole when it was not edited.
int KeptLength(int limit, const std::string& stored)
{
    return std::max(limit, static_cast<int>(stored.size()));
}

} // namespace

CLayerDefPage::CLayerDefPage(CLayerPropSheet& sheet) : CLayerSheetPage("Apra\xF0" "as", sheet) {}

void CLayerDefPage::OnInitDialog()
{
    m_values = ReadLayerDefValues(Layer());
    const bool raster = m_values.type == CLayer::kRaster;

    auto* name = WithId(kNameEdit, new QLineEdit(this));
    auto* path = WithId(kPathEdit, new QLineEdit(this));
    auto* browse = MakeButton(this, kBrowseButton, "&...");
    auto* files = MakeButton(this, kFilesButton, "Failai...");
    m_type = WithId(kTypeCombo, new QComboBox(this));
    m_nameField = WithId(kNameFieldCombo, new QComboBox(this));
    auto* structure = MakeButton(this, kStructureButton, "St&ruktūra...");
    auto* interval = WithId(kIntervalEdit, new QLineEdit(this));
    interval->setFixedWidth(interval->fontMetrics().horizontalAdvance(QStringLiteral("0000:00")) + 12);

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(this, 0, "&Sluoksnio vardas:", name), 0, 0);
    fields->addWidget(name, 0, 1, 1, 2);
    fields->addWidget(MakeLabel(this, kPathLabel, "&Failo vardas:", path), 1, 0);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path, 1);
    pathRow->addWidget(files);
    fields->addLayout(pathRow, 1, 1);
    fields->addWidget(browse, 1, 2);
    fields->addWidget(MakeLabel(this, kTypeLabel, "Sluoksnio &tipas:", m_type), 2, 0);
    fields->addWidget(m_type, 2, 1);
    fields->addWidget(MakeLabel(this, kNameFieldLabel, "&Vardo laukas:", m_nameField), 3, 0);
    fields->addWidget(m_nameField, 3, 1);
    fields->addWidget(structure, 3, 2);
    fields->setColumnStretch(1, 1);

    auto* checks = new QGridLayout;
    checks->addWidget(MakeCheck(this, kShownCheck, "Rodomas žemėlapio lange"), 0, 0);
    checks->addWidget(MakeCheck(this, kOverviewCheck, "Rodomas konteksto lange"), 1, 0);
    checks->addWidget(MakeCheck(this, kWorkingCheck, "Dar&binis sluoksnis"), 2, 0);
    checks->addWidget(MakeCheck(this, kDynamicCheck, "Dinaminis sluoksnis"), 3, 0);
    checks->addWidget(MakeCheck(this, kObjectsCheck, "Apsaugotas nuo objektų redagavimo"), 0, 1);
    checks->addWidget(MakeCheck(this, kInfoCheck, "Apsaugotas nuo informacijos redagavimo"), 1, 1);
    checks->addWidget(MakeCheck(this, kManyFilesCheck, "Daugelio failų sluoksnis"), 2, 1);
    checks->addWidget(MakeCheck(this, kTranslucentCheck, "Piešti peršviečiamą"), 3, 1);

    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(MakeLabel(this, kIntervalLabel, "Maksimalus laiko intervalas tarp perpiešimų:", interval));
    intervalRow->addWidget(interval);
    intervalRow->addWidget(WithId(kIntervalUnits, new QLabel(QStringLiteral("mm:ss"), this)));
    intervalRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(checks);
    layout->addLayout(intervalRow);
    layout->addStretch();

    connect(m_type, &QComboBox::activated, this, [this](int index) { OnTypeChosen(index); });
    connect(structure, &QPushButton::clicked, this, [this] { OnStructure(); });
    connect(files, &QPushButton::clicked, this, [this] { OnFiles(); });
    connect(FindControl<QCheckBox>(this, kDynamicCheck), &QCheckBox::toggled, this,
            [this](bool on) { OnDynamic(on); });

    CLayerSheetPage::OnInitDialog();

    // The file is chosen when the layer is made; a layer of many files
    // lists them in their own dialog.
    path->setEnabled(false);
    browse->setEnabled(false);
    files->setEnabled(static_cast<bool>(LayerSheetHooks().layerFiles));
    structure->setEnabled(static_cast<bool>(LayerSheetHooks().tableStructure));
    EnableDlgItem(this, kManyFilesCheck, false);
    FindControl<QCheckBox>(this, kManyFilesCheck)->setChecked(Layer().HasFlag(CLayer::kManyFiles));
    OnManyFiles(Layer().HasFlag(CLayer::kManyFiles));
    ShowDlgItem(this, kTranslucentCheck, raster);
    if (raster) {
        for (const int id : {kTypeLabel, kNameFieldLabel, kIntervalLabel, kIntervalUnits, kObjectsCheck, kInfoCheck,
                             kDynamicCheck, kIntervalEdit, kStructureButton, kTypeCombo, kNameFieldCombo})
            ShowDlgItem(this, id, false);
        return;
    }
    EnableDlgItem(this, kObjectsCheck, Layer().IsTableFormat());
    OnDynamic(m_values.dynamic);
    for (const int type : LayerTypeChoices(m_values.type)) {
        CLayer named;
        named.SetType(type);
        m_type->addItem(ToQString(named.GetTypeName()), type);
    }
    m_type->setCurrentIndex(m_type->findData(m_values.type));
}

void CLayerDefPage::OnSetActive()
{
    if (m_values.type != CLayer::kRaster)
        FillNameFields();
    CLayerSheetPage::OnSetActive();
}

void CLayerDefPage::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameEdit, m_values.name, KeptLength(kLayerNameLength, m_values.name));
    dx.Text(kPathEdit, m_values.path, KeptLength(kLayerPathLength, m_values.path));
    const auto check = [&dx](int id, bool& value) {
        int state = value ? 1 : 0;
        dx.Check(id, state);
        value = state != 0;
    };
    check(kShownCheck, m_values.shown);
    check(kOverviewCheck, m_values.inOverview);
    check(kWorkingCheck, m_values.working);
    check(kObjectsCheck, m_values.objectsProtected);
    check(kInfoCheck, m_values.infoProtected);
    check(kTranslucentCheck, m_values.translucent);
    check(kDynamicCheck, m_values.dynamic);
    dx.Text(kIntervalEdit, m_values.interval, KeptLength(kIntervalLength, m_values.interval));
    if (dx.IsSaving()) {
        // Nothing chosen (the table unreadable) keeps the name field.
        if (m_nameField->currentIndex() >= 0)
            m_values.idField = Layer().GetFieldName(FromQString(m_nameField->currentText()));
    } else {
        m_nameField->setCurrentIndex(m_nameField->findText(ToQString(Layer().GetFieldAlias(m_values.idField))));
    }
}

bool CLayerDefPage::OnKillActive()
{
    if (!CLayerSheetPage::OnKillActive())
        return false;
    const CLayer* edited = Sheet().GetEditedLayer();
    if (const int message = CheckLayerDefValues(m_values, edited ? *edited : Layer(), Sheet().GetDocument())) {
        AppMessageBox(message);
        auto* edit = FindControl<QLineEdit>(this, message == kNoFileName ? kPathEdit : kNameEdit);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    WriteLayerDefValues(m_values, Layer());
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

void CLayerDefPage::FillNameFields()
{
    if (m_nameField->currentIndex() >= 0)
        m_values.idField = Layer().GetFieldName(FromQString(m_nameField->currentText()));
    m_nameField->clear();
    for (const CFieldChoice& field : ChoosableFields(Layer()))
        m_nameField->addItem(ToQString(field.alias));
    m_nameField->setCurrentIndex(m_nameField->findText(ToQString(Layer().GetFieldAlias(m_values.idField))));
}

void CLayerDefPage::OnManyFiles(bool on)
{
    for (const int id : {kPathEdit, kPathLabel, kBrowseButton})
        ShowDlgItem(this, id, !on);
    ShowDlgItem(this, kFilesButton, on);
}

void CLayerDefPage::OnDynamic(bool on)
{
    if (m_values.type == CLayer::kRaster)
        return;
    for (const int id : {kIntervalLabel, kIntervalEdit, kIntervalUnits})
        ShowDlgItem(this, id, on);
}

void CLayerDefPage::OnTypeChosen(int index)
{
    if (index < 0)
        return;
    m_values.type = m_type->itemData(index).toInt();
    // The symbol page draws its samples by the type at once.
    Layer().SetType(m_values.type);
}

void CLayerDefPage::OnStructure()
{
    if (Sheet().EditTableStructure(this))
        FillNameFields();
}

void CLayerDefPage::OnFiles()
{
    const CLayerSheetHooks& hooks = LayerSheetHooks();
    if (!hooks.layerFiles || !hooks.layerFiles(Layer(), this) || Layer().GetFileCount() == 0)
        return;
    FindControl<QLineEdit>(this, kPathEdit)->setText(ToQString(Layer().Files().front().path));
}
