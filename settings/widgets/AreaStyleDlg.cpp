#include "settings/widgets/AreaStyleDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/StyleDialogRules.h"
#include "settings/widgets/FillPatternCombo.h"
#include "settings/widgets/LineTypeCombo.h"
#include "settings/widgets/MillimetreSpin.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kBrushLabel = 1062;
constexpr int kBrushColour = 1063;
constexpr int kPatternCombo = 1064;
constexpr int kBackColour = 1065;
constexpr int kOutlineColour = 1066;
constexpr int kOutlineType = 1067;
constexpr int kWidthEdit = 1068;
constexpr int kWidthSpin = 1069;
constexpr int kSample = 1070;
constexpr int kNoBackgroundCheck = 1071;
constexpr int kBackLabel = 1089;

} // namespace

CAreaStyleDlg::CAreaStyleDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Srities parametrai"));
    m_brushColour = WithId(kBrushColour, new CColorButton(this));
    m_pattern = WithId(kPatternCombo, new CFillPatternCombo(this));
    m_pattern->setMinimumWidth(110);
    m_backColour = WithId(kBackColour, new CColorButton(this));
    m_outlineColour = WithId(kOutlineColour, new CColorButton(this));
    m_outlineType = WithId(kOutlineType, new CLineTypeCombo(this));
    m_outlineType->setMinimumWidth(110);
    m_width = WithId(kWidthEdit, new QLineEdit(this));
    m_width->setFixedWidth(m_width->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    auto* spin = WithId(kWidthSpin, new CMillimetreSpin(m_width, this));
    m_noBackground = MakeCheck(this, kNoBackgroundCheck, "Fonas &nepiešiamas");
    m_sample = WithId(kSample, new CStyleSampleButton(this));
    m_sample->setFocusPolicy(Qt::NoFocus);
    m_sample->setMinimumSize(90, 60);

    auto* fill = new QGroupBox(QString::fromUtf8("Užpildymo parametrai"), this);
    auto* fillGrid = new QGridLayout(fill);
    fillGrid->addWidget(MakeLabel(this, kBrushLabel, "&Spalva:", m_brushColour), 0, 0);
    fillGrid->addWidget(m_brushColour, 0, 1);
    fillGrid->addWidget(MakeLabel(this, 0, "&Tipas:", m_pattern), 1, 0);
    fillGrid->addWidget(m_pattern, 1, 1);
    fillGrid->addWidget(MakeLabel(this, kBackLabel, "&Fonas:", m_backColour), 2, 0);
    fillGrid->addWidget(m_backColour, 2, 1);

    auto* outline = new QGroupBox(QString::fromUtf8("Kontūro parametrai"), this);
    auto* outlineGrid = new QGridLayout(outline);
    outlineGrid->addWidget(MakeLabel(this, 0, "Spa&lva:", m_outlineColour), 0, 0);
    outlineGrid->addWidget(m_outlineColour, 0, 1);
    outlineGrid->addWidget(MakeLabel(this, 0, "T&ipas:", m_outlineType), 1, 0);
    outlineGrid->addWidget(m_outlineType, 1, 1);
    outlineGrid->addWidget(MakeLabel(this, 0, "Pl&otis [mm]:", m_width), 2, 0);
    auto* widthRow = new QHBoxLayout;
    widthRow->setSpacing(0);
    widthRow->addWidget(m_width);
    widthRow->addWidget(spin);
    widthRow->addStretch();
    outlineGrid->addLayout(widthRow, 2, 1);

    auto* groups = new QHBoxLayout;
    groups->addWidget(fill);
    groups->addWidget(outline);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(m_noBackground);
    sampleRow->addStretch();
    sampleRow->addWidget(m_sample);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(sampleRow);
    layout->addLayout(MakeOkCancelRow());

    connect(m_pattern, &QComboBox::activated, this, [this](int index) {
        CAreaStyleRules::SetPattern(m_style, index);
        EnableFill();
        UpdateSample();
    });
    connect(m_noBackground, &QCheckBox::toggled, this, [this](bool on) {
        CAreaStyleRules::SetNoBackground(m_style, on);
        EnableFill();
        UpdateSample();
    });
    connect(m_outlineType, &QComboBox::activated, this, [this] {
        if (const int code = m_outlineType->GetCode(); code >= 0)
            m_style.penStyle = static_cast<uint32_t>(code);
        UpdateSample();
    });
    spin->SetChanged([this](int thousandths) {
        m_style.penWidth = static_cast<uint32_t>(thousandths);
        UpdateSample();
    });
    const auto notify = [this](COLORREF CDrawStyle::*member, CColorButton* button) {
        button->SetNotify([this, member, button](int, COLORREF, int) {
            m_style.*member = button->GetColor();
            UpdateSample();
        });
    };
    notify(&CDrawStyle::brushColor, m_brushColour);
    notify(&CDrawStyle::backColor, m_backColour);
    notify(&CDrawStyle::penColor, m_outlineColour);
}

void CAreaStyleDlg::OnInitDialog()
{
    m_style = CAreaStyleRules::Prepared(m_style);
    m_outlineType->Fill();
    m_outlineType->SelectCode(static_cast<int>(m_style.penStyle));
    m_pattern->Fill();
    m_pattern->SelectPattern(m_style.brushStyle, m_style.hatch);
    m_brushColour->SetColor(m_style.brushColor);
    m_backColour->SetColor(m_style.backColor);
    m_outlineColour->SetColor(m_style.penColor);
    m_width->setText(ToQString(FormatWidth(static_cast<int>(m_style.penWidth))));
    {
        const QSignalBlocker quiet(m_noBackground);
        m_noBackground->setChecked(m_style.backMode == TRANSPARENT);
    }
    EnableFill();
    UpdateSample();
    CDialogBase::OnInitDialog();
}

void CAreaStyleDlg::EnableFill()
{
    const CAreaFillEnabling enabling = CAreaStyleRules::Enabling(m_style);
    EnableDlgItem(this, kBrushColour, enabling.brushColor);
    EnableDlgItem(this, kBrushLabel, enabling.brushColor);
    EnableDlgItem(this, kNoBackgroundCheck, enabling.noBackground);
    EnableDlgItem(this, kBackColour, enabling.backColor);
    EnableDlgItem(this, kBackLabel, enabling.backColor);
}

void CAreaStyleDlg::UpdateSample()
{
    m_sample->SetAreaStyle(m_style);
}

bool RunAreaStyleDlg(CDrawStyle& style, QWidget* parent)
{
    CAreaStyleDlg dialog(parent);
    dialog.Style() = style;
    if (dialog.DoModal() != IDOK)
        return false;
    style = dialog.Style();
    return true;
}
