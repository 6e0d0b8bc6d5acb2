#include "settings/widgets/MapExportDlg.h"

#include "mapdoc/DrelView.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/MapExport.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int kColoursCombo = 1012;
constexpr int kResolutionCombo = 1021;
constexpr int kDpiEdit = 1017;
constexpr int kScaleCombo = 1022;
constexpr int kScaleEdit = 1007;
constexpr int kExtentCombo = 1024;
constexpr int kLeftEdit = 1008;
constexpr int kRightEdit = 1009;
constexpr int kBottomEdit = 1010;
constexpr int kTopEdit = 1011;
constexpr int kRowsEdit = 1018;
constexpr int kColumnsEdit = 1019;
constexpr int kGeoreferenceCheck = 1015;
constexpr int kTransparentCheck = 1016;
constexpr int kScreenRadio = 1025;
constexpr int kPrintRadio = 1026;
constexpr int kSizeText = 1059;
constexpr int kBytesText = 1060;
constexpr int kEdges[] = {kLeftEdit, kRightEdit, kBottomEdit, kTopEdit};

std::string NumberText(double value)
{
    return FormatC("%.15g", value);
}

template <size_t N>
QComboBox* MakeChoiceCombo(QWidget* parent, int id, const char* const (&items)[N])
{
    auto* combo = WithId(id, new QComboBox(parent));
    for (const char* item : items)
        combo->addItem(QString::fromUtf8(item));
    return combo;
}

QLineEdit* MakeEdit(QWidget* parent, int id, int digits)
{
    auto* edit = WithId(id, new QLineEdit(parent));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(digits, QChar('0'))) + 12);
    return edit;
}

} // namespace

CMapExportDlg::CMapExportDlg(int layout, CDrelView& view, const CMapExportValues& values, QWidget* parent)
    : CDialogBase(parent), m_values(values), m_view(ExportViewInfo(view))
{
    BuildControls(layout);
}

void CMapExportDlg::BuildControls(int layout)
{
    SetControlId(this, layout);
    setWindowTitle(QString::fromUtf8("Žemėlapio eksportas"));

    static constexpr const char* kColours[] = {"RGB (24 bitai)", "256 spalvos (8 bitai)"};
    auto* colours = MakeChoiceCombo(this, kColoursCombo, kColours);
    auto* resolution = MakeChoiceCombo(this, kResolutionCombo, kResolutionChoices);
    auto* dpi = MakeEdit(this, kDpiEdit, 5);
    auto* scale = MakeChoiceCombo(this, kScaleCombo, kScaleChoices);
    auto* denominator = MakeEdit(this, kScaleEdit, 9);

    auto* picture = new QGridLayout;
    picture->addWidget(MakeLabel(this, 0, "&Spalvos:", colours), 0, 0);
    picture->addWidget(colours, 0, 1);
    picture->addWidget(MakeLabel(this, 0, "&Rezoliucija:", resolution), 1, 0);
    picture->addWidget(resolution, 1, 1);
    picture->addWidget(dpi, 1, 2);
    picture->addWidget(MakeLabel(this, 0, "dpi"), 1, 3);
    picture->addWidget(MakeLabel(this, 0, "&Mastelis:", scale), 2, 0);
    picture->addWidget(scale, 2, 1);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(MakeLabel(this, 0, "1:"));
    scaleRow->addWidget(denominator, 1);
    picture->addLayout(scaleRow, 2, 2, 1, 2);
    picture->setColumnStretch(1, 1);

    auto* extentGroup = new QGroupBox(QString::fromUtf8("Eksportuojamo žemėlapio ribos"), this);
    auto* extent = new QGridLayout(extentGroup);
    auto* extentCombo = MakeChoiceCombo(extentGroup, kExtentCombo, kExtentChoices);
    extent->addWidget(extentCombo, 0, 0, 1, 4);
    const struct {
        int id;
        const char* label;
        int row;
        int column;
    } edges[] = {
        {kLeftEdit, "&Kairė:", 1, 0},
        {kRightEdit, "&Dešinė:", 1, 2},
        {kBottomEdit, "&Apačia:", 2, 0},
        {kTopEdit, "&Viršus:", 2, 2},
    };
    for (const auto& edge : edges) {
        auto* edit = MakeEdit(extentGroup, edge.id, 12);
        extent->addWidget(MakeLabel(extentGroup, 0, edge.label, edit), edge.row, edge.column);
        extent->addWidget(edit, edge.row, edge.column + 1);
    }

    auto* tilesGroup = new QGroupBox(QString::fromUtf8("Žemėlapio suskaidymas"), this);
    auto* tiles = new QHBoxLayout(tilesGroup);
    auto* rows = MakeEdit(tilesGroup, kRowsEdit, 3);
    auto* columns = MakeEdit(tilesGroup, kColumnsEdit, 3);
    for (QLineEdit* count : {rows, columns})
        count->setMaximumWidth(count->minimumWidth() * 2);
    tiles->addWidget(MakeLabel(tilesGroup, 0, "&Eilučių:", rows));
    tiles->addWidget(rows);
    tiles->addSpacing(12);
    tiles->addWidget(MakeLabel(tilesGroup, 0, "S&tulpelių:", columns));
    tiles->addWidget(columns);
    tiles->addStretch(1);

    auto* optimise = new QHBoxLayout;
    optimise->addWidget(MakeRadio(this, kScreenRadio, "Optimizuoti &ekranui"));
    optimise->addWidget(MakeRadio(this, kPrintRadio, "Optimizuoti s&pausdinimui"));
    optimise->addStretch(1);

    auto* preview = new QGridLayout;
    preview->addWidget(MakeLabel(this, 0, "Piešinio dydis:"), 0, 0);
    preview->addWidget(MakeLabel(this, kSizeText, ""), 0, 1);
    preview->addWidget(MakeLabel(this, 0, "Nesuspausto failo dydis (baitais):"), 1, 0);
    preview->addWidget(MakeLabel(this, kBytesText, ""), 1, 1);
    preview->setColumnStretch(1, 1);

    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(picture);
    layoutBox->addWidget(extentGroup);
    layoutBox->addWidget(tilesGroup);
    layoutBox->addWidget(MakeCheck(this, kGeoreferenceCheck, "Sukurti &koordinačių failą"));
    layoutBox->addWidget(MakeCheck(this, kTransparentCheck, "Peršviečiamas &fonas"));
    layoutBox->addLayout(optimise);
    layoutBox->addLayout(preview);
    layoutBox->addLayout(MakeOkCancelRow());
    setMinimumWidth(420);

    connect(resolution, &QComboBox::activated, this, &CMapExportDlg::OnResolutionChoice);
    connect(scale, &QComboBox::activated, this, &CMapExportDlg::OnScaleChoice);
    connect(extentCombo, &QComboBox::activated, this, &CMapExportDlg::OnExtentChoice);
    connect(colours, &QComboBox::activated, this, [this] { UpdatePreview(); });
    connect(dpi, &QLineEdit::textEdited, this, [this] { OnDpiTyped(); });
    connect(denominator, &QLineEdit::textEdited, this, [this] { OnScaleTyped(); });
    for (const int id : kEdges)
        connect(Edit(id), &QLineEdit::textEdited, this, [this] { OnEdgeTyped(); });
    for (const int id : {kRowsEdit, kColumnsEdit})
        connect(Edit(id), &QLineEdit::textEdited, this, [this] { UpdatePreview(); });
}

QComboBox* CMapExportDlg::Combo(int id) const
{
    return FindControl<QComboBox>(this, id);
}

QLineEdit* CMapExportDlg::Edit(int id) const
{
    return FindControl<QLineEdit>(this, id);
}

void CMapExportDlg::SetEditText(int id, const std::string& text)
{
    if (QLineEdit* edit = Edit(id))
        edit->setText(ToQString(text));
}

std::string CMapExportDlg::EditText(int id) const
{
    const QLineEdit* edit = Edit(id);
    return edit ? FromQString(edit->text().trimmed()) : std::string();
}

void CMapExportDlg::OnInitDialog()
{
    m_silent = true;
    ApplyResolutionChoice(m_values, m_view);
    ApplyScaleChoice(m_values, m_view);
    ApplyExtentChoice(m_values, m_view);
    CDialogBase::OnInitDialog();
    m_silent = false;
    UpdatePreview();
}

void CMapExportDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kColoursCombo, m_values.colourIndex);
    dx.ComboIndex(kResolutionCombo, m_values.resolutionChoice);
    int dpi = static_cast<int>(std::min(m_values.dpi, 100000u));
    dx.Int(kDpiEdit, dpi, 0, 100000);
    m_values.dpi = static_cast<unsigned>(std::max(dpi, 0));
    dx.ComboIndex(kScaleCombo, m_values.scaleChoice);
    dx.Real(kScaleEdit, m_values.scale);
    dx.ComboIndex(kExtentCombo, m_values.extentChoice);
    dx.Real(kLeftEdit, m_values.left);
    dx.Real(kRightEdit, m_values.right);
    dx.Real(kBottomEdit, m_values.bottom);
    dx.Real(kTopEdit, m_values.top);
    dx.Int(kRowsEdit, m_values.rows, 1, kMostTiles);
    dx.Int(kColumnsEdit, m_values.columns, 1, kMostTiles);
    dx.Check(kGeoreferenceCheck, m_values.georeference);
    dx.Check(kTransparentCheck, m_values.transparent);
    dx.Radio({kScreenRadio, kPrintRadio}, m_values.optimisation);
}

void CMapExportDlg::ShowChoiceValues()
{
    m_silent = true;
    SetEditText(kDpiEdit, std::to_string(m_values.dpi));
    SetEditText(kScaleEdit, NumberText(m_values.scale));
    SetEditText(kLeftEdit, NumberText(m_values.left));
    SetEditText(kRightEdit, NumberText(m_values.right));
    SetEditText(kBottomEdit, NumberText(m_values.bottom));
    SetEditText(kTopEdit, NumberText(m_values.top));
    m_silent = false;
}

void CMapExportDlg::OnResolutionChoice(int index)
{
    if (m_silent)
        return;
    m_values.resolutionChoice = index;
    ApplyResolutionChoice(m_values, m_view);
    ShowChoiceValues();
    UpdatePreview();
}

void CMapExportDlg::OnScaleChoice(int index)
{
    if (m_silent)
        return;
    m_values.scaleChoice = index;
    ApplyScaleChoice(m_values, m_view);
    ShowChoiceValues();
    UpdatePreview();
}

void CMapExportDlg::OnExtentChoice(int index)
{
    if (m_silent)
        return;
    m_values.extentChoice = index;
    ApplyExtentChoice(m_values, m_view);
    ShowChoiceValues();
    UpdatePreview();
}

void CMapExportDlg::OnDpiTyped()
{
    if (m_silent)
        return;
    Combo(kResolutionCombo)->setCurrentIndex(kUserResolution);
    m_values.resolutionChoice = kUserResolution;
    m_values.dpi = static_cast<unsigned>(std::clamp(AtoiC(EditText(kDpiEdit)), 0, 100000));
    UpdatePreview();
}

void CMapExportDlg::OnScaleTyped()
{
    if (m_silent)
        return;
    Combo(kScaleCombo)->setCurrentIndex(kUserScale);
    m_values.scaleChoice = kUserScale;
    const std::string text = EditText(kScaleEdit);
    if (text.empty())
        return;
    m_values.scale = AtofC(text);
    UpdatePreview();
}

void CMapExportDlg::OnEdgeTyped()
{
    if (m_silent)
        return;
    Combo(kExtentCombo)->setCurrentIndex(kUserExtent);
    m_values.extentChoice = kUserExtent;
    std::string texts[std::size(kEdges)];
    for (size_t i = 0; i < std::size(kEdges); ++i)
        if ((texts[i] = EditText(kEdges[i])).empty())
            return;
    m_values.left = AtofC(texts[0]);
    m_values.right = AtofC(texts[1]);
    m_values.bottom = AtofC(texts[2]);
    m_values.top = AtofC(texts[3]);
    UpdatePreview();
}

void CMapExportDlg::UpdatePreview()
{
    if (m_silent)
        return;
    m_values.colourIndex = Combo(kColoursCombo)->currentIndex();
    m_values.rows = AtoiC(EditText(kRowsEdit));
    m_values.columns = AtoiC(EditText(kColumnsEdit));
    const CExportPreview preview = ComputeExportPreview(m_values, m_view);
    if (auto* size = FindControl<QLabel>(this, kSizeText))
        size->setText(ToQString(preview.sizeText));
    if (auto* bytes = FindControl<QLabel>(this, kBytesText))
        bytes->setText(ToQString(preview.bytesText));
}

bool EditMapExportSettings(int layout, CDrelView& view, CExportSettings& settings)
{
    CMapExportDlg dialog(layout, view, LastMapExportValues(), QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    LastMapExportValues() = dialog.GetValues();
    settings = ExportSettingsFrom(dialog.GetValues(), dialog.GetViewInfo());
    return true;
}
