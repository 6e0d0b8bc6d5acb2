#include "settings/widgets/DtmLayerSheet.h"

#include "layers/DtmLayer.h"
#include "layers/GridFile.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "settings/widgets/LayerNotesPage.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/ThemeClassListBox.h"
#include "shell/widgets/ColorDialog.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/FilePrompt.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <cfloat>
#include <cstdlib>

namespace {

constexpr int kNameTaken = 1001;
constexpr int kNameLength = 255;
constexpr char kGridFilter[] = "Drel Elevation Model Files (*.rmp)|*.rmp||";

bool ChooseGridFiles(const std::string& filter, std::vector<std::string>& paths)
{
    int filterIndex = 1;
    return PromptOpenFiles(filter, filterIndex, true, paths);
}

bool ChooseColour(COLORREF& colour, QWidget* parent)
{
    CColorDialog dialog(colour, parent);
    if (dialog.DoModal() != IDOK)
        return false;
    colour = dialog.GetColor();
    return true;
}

QVBoxLayout* ButtonColumn(std::initializer_list<QPushButton*> buttons)
{
    auto* column = new QVBoxLayout;
    for (QPushButton* button : buttons)
        column->addWidget(button);
    column->addStretch();
    return column;
}

} // namespace

// ------------------------------------------------------------ 231

CLegendValueDlg::CLegendValueDlg(double value, QWidget* parent) : CDialogBase(parent), m_value(value)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Redaguoti legendą"));
    auto* edit = WithId(kValueEdit, new QLineEdit(this));
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "Reikšmė:", edit), edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(260);
}

void CLegendValueDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Real(kValueEdit, m_value);
}

// ------------------------------------------------------------ 232

CDtmFileInfoDlg::CDtmFileInfoDlg(const GridFileInfo& info, QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Informacija apie failą"));
    const auto value = [this](int id, const std::string& text) {
        auto* label = WithId(id, new QLabel(ToQString(text), this));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "Failas:"), value(kNameText, info.name));
    form->addRow(MakeLabel(this, 0, "Apatinis kairysis kampas:"), value(kLowerLeftText, info.lowerLeft));
    form->addRow(MakeLabel(this, 0, "Viršutinis dešinysis kampas:"), value(kUpperRightText, info.upperRight));
    form->addRow(MakeLabel(this, 0, "Gardelės dydis:"), value(kCellSizeText, info.cellSize));
    form->addRow(MakeLabel(this, 0, "Tinklelio dydis:"), value(kGridSizeText, info.gridSize));
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { EndDialog(IDOK); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(row);
    setMinimumWidth(360);
}

// ------------------------------------------------------------ 30751

CDtmLayerDefPage::CDtmLayerDefPage(CLayerPropSheet& sheet)
    : CLayerSheetPage("Apra\xF0" "as", sheet), chooseFiles(ChooseGridFiles)
{
}

void CDtmLayerDefPage::OnInitDialog()
{
    auto* name = WithId(kNameEdit, new QLineEdit(this));
    name->setMaxLength(kNameLength);
    auto* type = WithId(kTypeText, new QLineEdit(this));
    type->setReadOnly(true);
    m_files = WithId(kFileList, new QListWidget(this));
    auto* add = MakeButton(this, kAddButton, "&Pridėti...");
    auto* remove = MakeButton(this, kRemoveButton, "P&ašalinti");
    auto* removeAll = MakeButton(this, kRemoveAllButton, "Pašalinti &visus");
    auto* info = MakeButton(this, kInfoButton, "&Informacija...");

    auto* form = new QGridLayout;
    form->addWidget(MakeLabel(this, 0, "&Sluoksnio vardas:", name), 0, 0);
    form->addWidget(name, 0, 1);
    form->addWidget(MakeLabel(this, 0, "Sluoksnio tipas:", type), 1, 0);
    form->addWidget(type, 1, 1);
    form->setColumnStretch(1, 1);
    auto* files = new QHBoxLayout;
    files->addWidget(m_files, 1);
    files->addLayout(ButtonColumn({add, remove, removeAll, info}));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeLabel(this, 0, "&Failai:", m_files));
    layout->addLayout(files, 1);
    layout->addWidget(MakeCheck(this, kMapCheck, "&Rodomas žemėlapio lange"));
    layout->addWidget(MakeCheck(this, kOverviewCheck, "Rodomas &konteksto lange"));
    layout->addWidget(MakeCheck(this, kWorkingCheck, "Dar&binis sluoksnis"));

    connect(add, &QPushButton::clicked, this, &CDtmLayerDefPage::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CDtmLayerDefPage::OnRemove);
    connect(removeAll, &QPushButton::clicked, this, &CDtmLayerDefPage::OnRemoveAll);
    connect(info, &QPushButton::clicked, this, &CDtmLayerDefPage::OnInfo);
    connect(m_files, &QListWidget::currentRowChanged, this, &CDtmLayerDefPage::EnableButtons);

    const CLayer& layer = Layer();
    name->setText(ToQString(layer.GetName()));
    const CLayer* edited = Sheet().GetEditedLayer();
    type->setText(ToQString((edited ? *edited : layer).GetTypeName()));
    FindControl<QCheckBox>(this, kMapCheck)->setChecked(layer.HasFlag(CLayer::kShown));
    FindControl<QCheckBox>(this, kOverviewCheck)->setChecked(layer.HasFlag(CLayer::kInOverview));
    FindControl<QCheckBox>(this, kWorkingCheck)->setChecked(layer.HasFlag(CLayer::kWorking));
    for (const CLayerFileEntry& entry : layer.Files())
        m_files->addItem(ToQString(entry.path));
    EnableButtons();
    CLayerSheetPage::OnInitDialog();
}

bool CDtmLayerDefPage::OnKillActive()
{
    if (!CLayerSheetPage::OnKillActive())
        return false;
    auto* nameEdit = FindControl<QLineEdit>(this, kNameEdit);
    const std::string name = FromQString(nameEdit->text());
    if (Sheet().IsNameTaken(name)) {
        AppMessageBox(kNameTaken);
        nameEdit->setFocus(Qt::OtherFocusReason);
        return false;
    }
    CLayer& layer = Layer();
    layer.SetName(name);
    layer.SetFlag(CLayer::kShown, FindControl<QCheckBox>(this, kMapCheck)->isChecked());
    layer.SetFlag(CLayer::kInOverview, FindControl<QCheckBox>(this, kOverviewCheck)->isChecked());
    layer.SetFlag(CLayer::kWorking, FindControl<QCheckBox>(this, kWorkingCheck)->isChecked());
    return true;
}

void CDtmLayerDefPage::EnableButtons()
{
    const bool selected = m_files->currentRow() >= 0;
    FindControl<QWidget>(this, kRemoveButton)->setEnabled(selected);
    FindControl<QWidget>(this, kInfoButton)->setEnabled(selected);
    FindControl<QWidget>(this, kRemoveAllButton)->setEnabled(m_files->count() > 0);
}

void CDtmLayerDefPage::OnAdd()
{
    std::vector<std::string> paths;
    if (!chooseFiles || !chooseFiles(kGridFilter, paths))
        return;
    for (const std::string& path : AddGridFiles(Layer(), paths))
        m_files->addItem(ToQString(path));
    EnableButtons();
}

void CDtmLayerDefPage::OnRemove()
{
    const int row = m_files->currentRow();
    std::vector<CLayerFileEntry>& files = Layer().Files();
    if (row < 0 || row >= static_cast<int>(files.size()))
        return;
    files.erase(files.begin() + row);
    delete m_files->takeItem(row);
    EnableButtons();
}

void CDtmLayerDefPage::OnRemoveAll()
{
    Layer().Files().clear();
    m_files->clear();
    EnableButtons();
}

void CDtmLayerDefPage::OnInfo()
{
    const int row = m_files->currentRow();
    if (row < 0 || row >= Layer().GetFileCount())
        return;
    const std::string path = Layer().Files()[static_cast<size_t>(row)].path;
    CGridFile grid;
    GridFileInfo info;
    if (!grid.Open(path) || !DescribeGridFile(path, grid, info))
        return;
    CDtmFileInfoDlg dialog(info, this);
    dialog.DoModal();
}

// ------------------------------------------------------------ 30750

CDtmLayerLegendPage::CDtmLayerLegendPage(CLayerPropSheet& sheet)
    : CLayerSheetPage("Legenda", sheet), chooseColour(ChooseColour)
{
}

CThemeClassList* CDtmLayerLegendPage::Classes() const
{
    CSublayer* first = Layer().GetSublayer(0);
    return first ? &first->m_classes : nullptr;
}

void CDtmLayerLegendPage::OnInitDialog()
{
    m_list = WithId(kClassList, new CThemeClassListBox(this));
    m_list->SetLayerType(CLayer::kElevation);
    m_list->SetLayer(&Layer());
    auto* add = MakeButton(this, kAddButton, "&Pridėti...");
    auto* edit = MakeButton(this, kEditButton, "&Redaguoti...");
    auto* colour = MakeButton(this, kColourButton, "&Spalva...");
    auto* remove = MakeButton(this, kRemoveButton, "P&ašalinti");
    auto* recalculate = MakeButton(this, kRecalculateButton, "P&erskaičiuoti...");
    auto* interpolate = MakeCheck(this, kInterpolateCheck, "&Interpoliuoti");

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(ButtonColumn({add, edit, colour, remove, recalculate}));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(interpolate);

    connect(add, &QPushButton::clicked, this, &CDtmLayerLegendPage::OnAdd);
    connect(edit, &QPushButton::clicked, this, &CDtmLayerLegendPage::OnEdit);
    connect(colour, &QPushButton::clicked, this, &CDtmLayerLegendPage::OnColour);
    connect(remove, &QPushButton::clicked, this, &CDtmLayerLegendPage::OnRemove);
    connect(recalculate, &QPushButton::clicked, this, &CDtmLayerLegendPage::OnRecalculate);
    connect(interpolate, &QCheckBox::toggled, this, &CDtmLayerLegendPage::OnInterpolate);
    connect(m_list, &QListWidget::currentRowChanged, this, &CDtmLayerLegendPage::EnableButtons);

    const CSublayer* first = Layer().GetSublayer(0);
    interpolate->setChecked(first && (first->m_labelFlags & CSublayer::kInterpolateGrid) != 0);
    recalculate->setEnabled(!Layer().HasFlag(CLayer::kPlainValues));
    Refill(-1);
    CLayerSheetPage::OnInitDialog();
}

void CDtmLayerLegendPage::Refill(int selected)
{
    m_list->Fill(Classes());
    if (selected >= 0 && selected < m_list->count())
        m_list->setCurrentRow(selected);
    EnableButtons();
}

void CDtmLayerLegendPage::EnableButtons()
{
    const CThemeClassList* classes = Classes();
    const int selected = m_list->currentRow();
    const bool inner = classes && IsInnerLegendClass(*classes, selected);
    FindControl<QWidget>(this, kEditButton)->setEnabled(inner);
    FindControl<QWidget>(this, kRemoveButton)->setEnabled(inner);
    FindControl<QWidget>(this, kColourButton)->setEnabled(classes && selected >= 0 && selected < classes->GetCount());
    FindControl<QWidget>(this, kAddButton)->setEnabled(classes != nullptr);
}

void CDtmLayerLegendPage::OnAdd()
{
    CThemeClassList* classes = Classes();
    if (!classes)
        return;
    CLegendValueDlg dialog(-1, this);
    if (dialog.DoModal() != IDOK)
        return;
    Refill(InsertLegendClass(*classes, dialog.GetValue()));
}

void CDtmLayerLegendPage::OnEdit()
{
    CThemeClassList* classes = Classes();
    const int selected = m_list->currentRow();
    if (!classes || !IsInnerLegendClass(*classes, selected))
        return;
    CLegendValueDlg dialog(GetLegendValue(*classes, selected), this);
    if (dialog.DoModal() != IDOK)
        return;
    Refill(MoveLegendClass(*classes, selected, dialog.GetValue()));
}

void CDtmLayerLegendPage::OnColour()
{
    CThemeClassList* classes = Classes();
    const int selected = m_list->currentRow();
    if (!classes || selected < 0 || selected >= classes->GetCount() || !chooseColour)
        return;
    COLORREF colour = GetLegendColour(*classes, selected);
    if (!chooseColour(colour, this))
        return;
    SetLegendColour(*classes, selected, colour);
    m_list->viewport()->update();
}

void CDtmLayerLegendPage::OnRemove()
{
    CThemeClassList* classes = Classes();
    const int selected = m_list->currentRow();
    if (!classes || !IsInnerLegendClass(*classes, selected))
        return;
    classes->RemoveClass(selected);
    Refill(selected);
}

void CDtmLayerLegendPage::OnRecalculate()
{
    CThemeClassList* classes = Classes();
    if (!classes || classes->GetCount() == 0)
        return;
    const int count = classes->GetCount();
    // The last class has no value of its own to propose.
    const double minimum = count > 1 ? GetLegendValue(*classes, 0) : 0;
    const double maximum = count > 2 ? GetLegendValue(*classes, count - 2) : minimum;
    CLegendEditDlg dialog(minimum, maximum, std::to_string(ProposedIntervalCount(*classes)), this);
    if (dialog.DoModal() != IDOK)
        return;
    // A count that is no number counts as no interval.
    const int intervals = std::atoi(dialog.GetIntervals().c_str());
    RecalculateLegend(*classes, dialog.GetMinimum(), dialog.GetMaximum(), intervals);
    Refill(-1);
}

void CDtmLayerLegendPage::OnInterpolate(bool on)
{
    if (CSublayer* first = Layer().GetSublayer(0))
        first->m_labelFlags = on ? (first->m_labelFlags | CSublayer::kInterpolateGrid)
                                 : (first->m_labelFlags & ~CSublayer::kInterpolateGrid);
}

// ------------------------------------------------------------ the sheet

CDtmLayerPropertySheet::CDtmLayerPropertySheet(QWidget* parent)
    : CLayerPropSheet(NoPages{}, parent), m_def(std::make_unique<CDtmLayerDefPage>(*this)),
      m_legend(std::make_unique<CDtmLayerLegendPage>(*this)), m_notes(std::make_unique<CLayerNotesPage>(*this))
{
    AddPage(m_def.get());
    AddPage(m_legend.get());
    AddPage(m_notes.get());
    SetActivePage(1);
}

CDtmLayerPropertySheet::~CDtmLayerPropertySheet() = default;

void CDtmLayerPropertySheet::SetLayer(CLayer& layer, CDrelDoc* document, int pageGroup)
{
    SetWorkingCopy(layer, document);
    if (pageGroup == 0) {
        RemovePage(m_def.get());
        RemovePage(m_notes.get());
    } else if (pageGroup == 3) {
        RemovePage(m_def.get());
        RemovePage(m_legend.get());
    }
    SetActivePage(GetPageIndex(m_legend.get()) >= 0 ? GetPageIndex(m_legend.get()) : 0);
}

bool CDtmSheetRunner::Run(CDtmLayer& layer, CDrelDoc* document, int pageGroup)
{
    CDtmLayerPropertySheet sheet(QApplication::activeWindow());
    sheet.SetLayer(layer, document, pageGroup);
    if (sheet.DoModal() != IDOK)
        return false;
    sheet.ApplyToLayer(layer);
    return true;
}
