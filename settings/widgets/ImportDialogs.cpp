#include "settings/widgets/ImportDialogs.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerDialogRules.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/FilePrompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kDbfImportDialog = 178;
constexpr int kDosGdbImportDialog = 177;
constexpr int kLayerImportDialog = 194;
constexpr int kImportKeysDialog = 30784;
constexpr int kImportParamsDialog = 316;
constexpr int kImportInfoDialog = 315;
constexpr int kMapPathLength = 254;
constexpr int kLayerRole = Qt::UserRole;
constexpr char kDosMapFilter[] = "Drel Map (for DOS) Files (*.map)|*.map||";
constexpr char kDosText[] = "Konvertuoti iš DOS į ANSI (Windows) ženklų lentelę";
// The coordinate systems by code (settings/ImportRules.h).
constexpr const char* kCoordSystems[kImportCoordSystemCount] = {
    "Geografinė (WGS-84)", "LKS-94", "UTM", "LKS-92 (Latvijos)", "Vietinė (Šiaulių)",
};

// The file being imported, shown and not edited.
QLineEdit* FileEdit(QWidget* parent, int id)
{
    auto* edit = WithId(id, new QLineEdit(parent));
    edit->setReadOnly(true);
    return edit;
}

QComboBox* FieldCombo(QWidget* parent, int id, const std::vector<std::string>& fields, bool editable)
{
    auto* combo = WithId(id, new QComboBox(parent));
    combo->setEditable(editable);
    for (const std::string& field : fields)
        combo->addItem(ToQString(field));
    combo->setCurrentIndex(-1);
    return combo;
}

bool ChooseMapFile(std::string& path, const std::string& filter)
{
    CQtFilePrompt prompt;
    return prompt.PromptFileName(path, true, filter, {});
}

} // namespace

// ------------------------------------------------------------ 178

CDbfImportDlg::CDbfImportDlg(const CDbfTable& table, std::string path, QWidget* parent)
    : CDialogBase(parent), m_path(std::move(path))
{
    SetControlId(this, kDbfImportDialog);
    setWindowTitle(QString::fromUtf8("DBF failo importas"));
    const std::vector<std::string> fields = TableFieldNames(table);
    QLineEdit* file = FileEdit(this, kFileEdit);
    QComboBox* x = FieldCombo(this, kXCombo, fields, true);
    QComboBox* y = FieldCombo(this, kYCombo, fields, true);
    auto* box = new QGroupBox(QString::fromUtf8("Koordinačių laukai"), this);
    auto* coordinates = new QFormLayout(box);
    coordinates->addRow(MakeLabel(box, 0, "Ilguma/X:", x), x);
    coordinates->addRow(MakeLabel(box, 0, "Platuma/Y:", y), y);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Importuojamas failas:", file));
    layout->addWidget(file);
    layout->addWidget(box);
    layout->addWidget(MakeCheck(this, kDosCheck, kDosText));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(420);
}

void CDbfImportDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kFileEdit, m_path);
    dx.Text(kXCombo, m_xField);
    dx.Text(kYCombo, m_yField);
    dx.Check(kDosCheck, m_dosText);
}

// ------------------------------------------------------------ 177

CDosGdbImportDlg::CDosGdbImportDlg(std::string tablePath, std::string mapPath, QWidget* parent)
    : CDialogBase(parent), chooseFile(ChooseMapFile), m_tablePath(std::move(tablePath)), m_mapPath(std::move(mapPath))
{
    SetControlId(this, kDosGdbImportDialog);
    setWindowTitle(QString::fromUtf8("Drel GDB (DOS) failo importas"));
    QLineEdit* table = FileEdit(this, kTableEdit);
    auto* map = WithId(kMapEdit, new QLineEdit(this));
    auto* files = MakeButton(this, kFilesButton, "&Failai...");
    connect(files, &QPushButton::clicked, this, [this] { OnFiles(); });
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, "Importuojamas failas:", table), 0, 0, 1, 2);
    grid->addWidget(table, 1, 0, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Žemėlapis (*.map), kuriam priklauso failas:", map), 2, 0, 1, 2);
    grid->addWidget(map, 3, 0);
    grid->addWidget(files, 3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(440);
}

void CDosGdbImportDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kTableEdit, m_tablePath);
    dx.Text(kMapEdit, m_mapPath, kMapPathLength);
}

void CDosGdbImportDlg::OnFiles()
{
    auto* map = FindControl<QLineEdit>(this, kMapEdit);
    std::string path = FromQString(map->text());
    if (chooseFile && chooseFile(path, kDosMapFilter))
        map->setText(ToQString(path));
}

// ------------------------------------------------------------ 194

CLayerImportDlg::CLayerImportDlg(const CLayerArray& layers, std::string path, bool transformAllowed,
                                 QWidget* parent)
    : CDialogBase(parent), m_path(std::move(path)), m_transformAllowed(transformAllowed)
{
    SetControlId(this, kLayerImportDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnio importas"));
    QLineEdit* file = FileEdit(this, kFileEdit);
    std::vector<std::string> names;
    for (const CLayer* layer : ChoosableLayers(layers, ~0u, CLayer::kObjectsEditable))
        names.push_back(layer->GetName());
    QComboBox* layer = FieldCombo(this, kLayerCombo, names, false);
    QRadioButton* newLayer = MakeRadio(this, kNewRadio, "&Sukurti naują sluoksnį");
    QRadioButton* attach = MakeRadio(this, kAttachRadio, "&Prijungti prie turimo sluoksnio");
    QCheckBox* transform = MakeCheck(this, kTransformCheck, "&Transformuoti koordinates");
    std::vector<std::string> systems;
    for (const char* system : kCoordSystems)
        systems.push_back(FromQString(QString::fromUtf8(system)));
    QComboBox* from = FieldCombo(this, kFromCombo, systems, false);
    QComboBox* to = FieldCombo(this, kToCombo, systems, false);
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(newLayer), static_cast<QAbstractButton*>(attach),
                                    static_cast<QAbstractButton*>(transform)})
        connect(button, &QAbstractButton::clicked, this, [this] { UpdateControls(); });

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, "Importuojamas failas:", file), 0, 0, 1, 2);
    grid->addWidget(file, 1, 0, 1, 2);
    grid->addWidget(newLayer, 2, 0, 1, 2);
    grid->addWidget(attach, 3, 0, 1, 2);
    grid->addWidget(layer, 4, 0, 1, 2);
    grid->addWidget(transform, 5, 0, 1, 2);
    grid->addWidget(MakeLabel(this, kFromLabel, "Iš koordinačių sistemos:", from), 6, 0);
    grid->addWidget(from, 6, 1);
    grid->addWidget(MakeLabel(this, kToLabel, "Į koordinačių sistemą:", to), 7, 0);
    grid->addWidget(to, 7, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 20);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(420);
}

void CLayerImportDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    EnableDlgItem(this, kTransformCheck, m_transformAllowed);
    UpdateControls();
}

void CLayerImportDlg::UpdateControls()
{
    const bool attach = FindControl<QRadioButton>(this, kAttachRadio)->isChecked();
    const bool transform = FindControl<QCheckBox>(this, kTransformCheck)->isChecked();
    EnableDlgItem(this, kLayerCombo, attach);
    for (const int id : {kFromLabel, kToLabel, kFromCombo, kToCombo})
        EnableDlgItem(this, id, transform);
}

void CLayerImportDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kFileEdit, m_path);
    dx.Radio({kNewRadio, kAttachRadio}, m_values.mode);
    // No layer until one is chosen.
    auto* layer = FindControl<QComboBox>(this, kLayerCombo);
    if (dx.IsSaving())
        m_values.layerName = layer->currentIndex() < 0 ? std::string() : FromQString(layer->currentText());
    else
        layer->setCurrentIndex(layer->findText(ToQString(m_values.layerName), Qt::MatchExactly));
    int transform = m_values.transform ? 1 : 0;
    dx.Check(kTransformCheck, transform);
    m_values.transform = transform != 0;
    dx.ComboIndex(kFromCombo, m_values.fromSystem);
    dx.ComboIndex(kToCombo, m_values.toSystem);
}

void CLayerImportDlg::OnOK()
{
    if (UpdateData(true) && CheckLayerImportValues(m_values))
        EndDialog(IDOK);
}

std::unique_ptr<CCoordConverter> CLayerImportDlg::CreateCoordConverter() const
{
    return MakeImportConverter(m_values);
}

// ------------------------------------------------------------ 30784

CImportKeysDlg::CImportKeysDlg(const CDbfTable& layerTable, const CDbfTable& importTable, QWidget* parent)
    : CDialogBase(parent)
{
    SetControlId(this, kImportKeysDialog);
    setWindowTitle(QString::fromUtf8("Duomenų importas"));
    QComboBox* layerKey = FieldCombo(this, kLayerKeyCombo, KeyFieldNames(layerTable), false);
    QComboBox* importKey = FieldCombo(this, kImportKeyCombo, KeyFieldNames(importTable), false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Raktinis laukas pradiniame sluoksnyje:", layerKey));
    layout->addWidget(layerKey);
    layout->addWidget(MakeLabel(this, 0, "Raktinis laukas &importuojamajame faile:", importKey));
    layout->addWidget(importKey);
    layout->addWidget(MakeCheck(this, kDosCheck, kDosText));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(380);
}

void CImportKeysDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kLayerKeyCombo, m_layerChoice);
    dx.ComboIndex(kImportKeyCombo, m_importChoice);
    dx.Check(kDosCheck, m_dosText);
}

void CImportKeysDlg::OnOK()
{
    if (!UpdateData(true) || m_layerChoice < 0 || m_importChoice < 0)
        return;
    m_layerKey = FromQString(FindControl<QComboBox>(this, kLayerKeyCombo)->itemText(m_layerChoice));
    m_importKey = FromQString(FindControl<QComboBox>(this, kImportKeyCombo)->itemText(m_importChoice));
    if (!m_layerKey.empty() && !m_importKey.empty())
        EndDialog(IDOK);
}

// ------------------------------------------------------------ 316

CImportParamsDlg::CImportParamsDlg(const CLayerArray& layers, CLayer* active, std::string path, QWidget* parent)
    : CDialogBase(parent), m_path(std::move(path)), m_layer(active)
{
    SetControlId(this, kImportParamsDialog);
    setWindowTitle(QString::fromUtf8("Importavimo parametrai"));
    QLineEdit* file = FileEdit(this, kFileEdit);
    auto* layer = WithId(kLayerCombo, new QComboBox(this));
    for (CLayer* choice : ChoosableLayers(layers, kVectorObjectTypes)) {
        layer->addItem(ToQString(choice->GetName()), QVariant::fromValue(static_cast<void*>(choice)));
        if (choice == active)
            layer->setCurrentIndex(layer->count() - 1);
    }
    if (layer->findData(QVariant::fromValue(static_cast<void*>(active))) < 0)
        layer->setCurrentIndex(-1);
    auto* mode = new QGroupBox(QString::fromUtf8("Importavimo būdas"), this);
    auto* modes = new QVBoxLayout(mode);
    modes->addWidget(MakeRadio(mode, kJoinRadio, "Kiekvienam sluoksnio objektui prijungti duomenis"));
    modes->addWidget(MakeRadio(mode, kObjectsRadio, "Kiekvienam DBF failo įrašui sukurti objektą"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Importuojamas failas:", file));
    layout->addWidget(file);
    layout->addWidget(MakeLabel(this, 0, "Susiejamas sluoksnis:", layer));
    layout->addWidget(layer);
    layout->addWidget(mode);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(400);
}

void CImportParamsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kFileEdit, m_path);
    dx.Radio({kJoinRadio, kObjectsRadio}, m_mode);
}

void CImportParamsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    auto* layer = FindControl<QComboBox>(this, kLayerCombo);
    if (layer->currentIndex() < 0) {
        AppBeep();
        return;
    }
    m_layer = static_cast<CLayer*>(layer->currentData().value<void*>());
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 315

CImportInfoDlg::CImportInfoDlg(std::string skipped, std::string values, QWidget* parent)
    : CDialogBase(parent), m_skipped(std::move(skipped)), m_values(std::move(values))
{
    SetControlId(this, kImportInfoDialog);
    setWindowTitle(QString::fromUtf8("Informacija apie importą"));
    auto* skippedText = new QLabel(this);
    SetControlId(skippedText, kSkippedText);
    auto* valuesEdit = WithId(kValuesEdit, new QPlainTextEdit(this));
    valuesEdit->setReadOnly(true);
    auto* skippedRow = new QHBoxLayout;
    skippedRow->addWidget(MakeLabel(this, 0, "Praleista įrašų:"));
    skippedRow->addWidget(skippedText, 1);
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(skippedRow);
    layout->addWidget(MakeLabel(this, 0, "Nerastos reikšmės:", valuesEdit));
    layout->addWidget(valuesEdit, 1);
    layout->addLayout(buttons);
    resize(360, 300);
}

void CImportInfoDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kSkippedText, m_skipped);
    dx.Text(kValuesEdit, m_values);
}
