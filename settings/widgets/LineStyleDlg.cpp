#include "settings/widgets/LineStyleDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/LineTypeCombo.h"
#include "settings/widgets/MillimetreSpin.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kDoubleCheck = 1015;
constexpr int kColourButton = 1066;
constexpr int kTypeCombo = 1067;
constexpr int kWidthEdit = 1068;
constexpr int kWidthSpin = 1069;
constexpr int kSample = 1070;
constexpr int kColour2Button = 1071;
constexpr int kType2Combo = 1072;
constexpr int kWidth2Edit = 1073;
constexpr int kWidth2Spin = 1074;
constexpr int kColour2Label = 1059;
constexpr int kType2Label = 1060;
constexpr int kWidth2Label = 1061;

// Hidden controls keep their room, so the dialog does not jump.
template <class T>
T* Kept(T* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

} // namespace

CLineStyleDlg::CLineStyleDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Linijos parametrai"));
    const struct {
        int colour, type, width, spin, colourLabel, typeLabel, widthLabel;
        const char *colourText, *typeText, *widthText;
    } lines[2] = {
        {kColourButton, kTypeCombo, kWidthEdit, kWidthSpin, 0, 0, 0, "&Spalva:", "&Tipas:", "&Plotis [mm]:"},
        {kColour2Button, kType2Combo, kWidth2Edit, kWidth2Spin, kColour2Label, kType2Label, kWidth2Label,
         "Spal&va2:", "Tip&as2:", "Pl&otis2 [mm]:"},
    };
    auto* grid = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        const auto& line = lines[i];
        const int column = i * 3;
        m_colour[i] = Kept(WithId(line.colour, new CColorButton(this)));
        m_type[i] = Kept(WithId(line.type, new CLineTypeCombo(this)));
        m_width[i] = Kept(WithId(line.width, new QLineEdit(this)));
        m_width[i]->setFixedWidth(m_width[i]->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
        auto* spin = Kept(WithId(line.spin, new CMillimetreSpin(m_width[i], this)));
        spin->SetChanged([this, i](int thousandths) {
            (i == 0 ? m_values.first : m_values.second).width = static_cast<uint32_t>(thousandths);
            UpdateSample();
        });
        m_type[i]->setMinimumWidth(110);
        grid->addWidget(Kept(MakeLabel(this, line.colourLabel, line.colourText, m_colour[i])), 0, column);
        grid->addWidget(m_colour[i], 0, column + 1, 1, 2);
        grid->addWidget(Kept(MakeLabel(this, line.typeLabel, line.typeText, m_type[i])), 1, column);
        grid->addWidget(m_type[i], 1, column + 1, 1, 2);
        grid->addWidget(Kept(MakeLabel(this, line.widthLabel, line.widthText, m_width[i])), 2, column);
        auto* widthRow = new QHBoxLayout;
        widthRow->setSpacing(0);
        widthRow->addWidget(m_width[i]);
        widthRow->addWidget(spin);
        widthRow->addStretch();
        grid->addLayout(widthRow, 2, column + 1, 1, 2);
        connect(m_type[i], &QComboBox::activated, this, [this, i] {
            if (const int code = m_type[i]->GetCode(); code >= 0)
                (i == 0 ? m_values.first : m_values.second).style = static_cast<uint32_t>(code);
            UpdateSample();
        });
        m_colour[i]->SetNotify([this, i](int, COLORREF, int) {
            (i == 0 ? m_values.first : m_values.second).color = m_colour[i]->GetColor();
            UpdateSample();
        });
    }
    grid->setColumnMinimumWidth(3 - 1, 24);
    m_double = MakeCheck(this, kDoubleCheck, "&Dviguba linija");
    m_sample = WithId(kSample, new CStyleSampleButton(this));
    m_sample->setFocusPolicy(Qt::NoFocus);
    m_sample->setMinimumHeight(40);
    connect(m_double, &QCheckBox::toggled, this, [this](bool on) {
        m_values.doubleLine = on;
        ShowSecondLine(on);
        UpdateSample();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_double);
    layout->addWidget(m_sample);
    layout->addLayout(MakeOkCancelRow());
}

void CLineStyleDlg::OnInitDialog()
{
    const CDrawStyle::Line* pens[2] = {&m_values.first, &m_values.second};
    for (int i = 0; i < 2; ++i) {
        m_type[i]->Fill();
        m_type[i]->SelectCode(static_cast<int>(pens[i]->style));
        m_colour[i]->SetColor(pens[i]->color);
        m_width[i]->setText(ToQString(FormatWidth(static_cast<int>(pens[i]->width & 0xFFFF))));
    }
    {
        const QSignalBlocker quiet(m_double);
        m_double->setChecked(m_values.doubleLine);
    }
    ShowSecondLine(m_values.doubleLine);
    UpdateSample();
    CDialogBase::OnInitDialog();
}

void CLineStyleDlg::ShowSecondLine(bool shown)
{
    for (const int id : {kColour2Label, kType2Label, kWidth2Label, kColour2Button, kType2Combo, kWidth2Edit,
                         kWidth2Spin})
        ShowDlgItem(this, id, shown);
}

void CLineStyleDlg::UpdateSample()
{
    m_sample->SetLineStyle(m_values.ComposedOver(CDrawStyle()));
}

bool RunLineStyleDlg(CDrawStyle& style, QWidget* parent)
{
    CLineStyleDlg dialog(parent);
    dialog.Values() = CLineStyleValues::Split(style);
    if (dialog.DoModal() != IDOK)
        return false;
    style = dialog.Values().ComposedOver(style);
    return true;
}
