#include "settings/widgets/PageSetupDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SpinButton.h"
#include "settings/widgets/TitleBlockDlg.h"
#include "shell/FieldText.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/FontDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kDialogId = 166;
constexpr int kScaleRadios[] = {1024, 1025, 1026, 1027};
constexpr int kGivenScaleRadio = 1026;
constexpr int kScaleEdit = 1013;
constexpr int kLeftEdit = 1008;
constexpr int kRightEdit = 1009;
constexpr int kTopEdit = 1017;
constexpr int kBottomEdit = 1007;
constexpr int kTitleEdit = 1010;
constexpr int kFooterEdit = 1011;
constexpr int kTitleFontButton = 1038;
constexpr int kFooterFontButton = 1039;
constexpr int kTitleBlockFontButton = 1040;
constexpr int kFrameCheck = 1015;
constexpr int kFirstPageCheck = 1016;
constexpr int kOutlineCheck = 1018;
constexpr int kTitleBlockCheck = 1019;
constexpr int kFieldsButton = 1055;

} // namespace

QGroupBox* MakeMarginsGroup(QWidget* dialog)
{
    auto* group = new QGroupBox(QString::fromUtf8("Paraštės, mm"), dialog);
    auto* grid = new QGridLayout(group);
    const struct {
        int edit;
        int spin;
        const char* label;
    } margins[] = {
        {kLeftEdit, 1028, "&Kairėje:"},
        {kRightEdit, 1029, "&Dešinėje:"},
        {kTopEdit, 1085, "Viršuje:"},
        {kBottomEdit, 1088, "Apačioje:"},
    };
    int row = 0;
    for (const auto& margin : margins) {
        auto* edit = WithId(margin.edit, new QLineEdit(group));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        grid->addWidget(MakeLabel(group, 0, margin.label, edit), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(WithId(margin.spin, new CSpinButton(edit, 0, kMaxMargin, group)), row, 2);
        ++row;
    }
    grid->setColumnStretch(3, 1);
    return group;
}

void ExchangeMargins(CDataExchange& dx, CPageMargins& margins)
{
    dx.Int(kLeftEdit, margins.left, 0, kMaxMargin);
    dx.Int(kRightEdit, margins.right, 0, kMaxMargin);
    dx.Int(kTopEdit, margins.top, 0, kMaxMargin);
    dx.Int(kBottomEdit, margins.bottom, 0, kMaxMargin);
}

bool ChoosePageFont(QWidget* parent, LOGFONT& font)
{
    CFontDialog dialog(FontInPoints(font), parent);
    if (dialog.DoModal() != IDOK)
        return false;
    font = FontInTenths(font, dialog.GetLogFont());
    return true;
}

CPageSetupDlg::CPageSetupDlg(CPageSetup& setup, QWidget* parent)
    : CDialogBase(parent), m_setup(setup), m_values(setup.Map())
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Puslapio parametrai"));

    auto* scale = new QGroupBox(QString::fromUtf8("Mastelis"), this);
    auto* scaleGrid = new QGridLayout(scale);
    scaleGrid->addWidget(MakeRadio(scale, kScaleRadios[0], "De&rinti prie puslapio"), 0, 0, 1, 2);
    scaleGrid->addWidget(MakeRadio(scale, kScaleRadios[1], "&Einamasis mastelis"), 1, 0, 1, 2);
    auto* given = MakeRadio(scale, kScaleRadios[2], "&1:");
    auto* scaleEdit = WithId(kScaleEdit, new QLineEdit(scale));
    scaleGrid->addWidget(given, 2, 0);
    scaleGrid->addWidget(scaleEdit, 2, 1);
    scaleGrid->addWidget(MakeRadio(scale, kScaleRadios[3], "&Užimti visą puslapį"), 3, 0, 1, 2);
    scaleGrid->setColumnStretch(1, 1);
    scaleGrid->setRowStretch(4, 1);

    auto* captions = new QGroupBox(QString::fromUtf8("Užrašai"), this);
    auto* captionGrid = new QGridLayout(captions);
    const struct {
        int edit;
        int button;
        const char* label;
    } lines[] = {{kTitleEdit, kTitleFontButton, "Viršuje:"}, {kFooterEdit, kFooterFontButton, "Apačioje:"}};
    int row = 0;
    for (const auto& line : lines) {
        auto* edit = WithId(line.edit, new QLineEdit(captions));
        captionGrid->addWidget(MakeLabel(captions, 0, line.label, edit), row, 0);
        captionGrid->addWidget(edit, row, 1);
        captionGrid->addWidget(MakeButton(captions, line.button, "Šriftas..."), row, 2);
        ++row;
    }
    captionGrid->setColumnStretch(1, 1);

    auto* titleBlockRow = new QHBoxLayout;
    titleBlockRow->addWidget(MakeCheck(this, kTitleBlockCheck, "Spausdinti kampinį štampą"));
    titleBlockRow->addStretch();
    titleBlockRow->addWidget(MakeButton(this, kFieldsButton, "Laukai..."));
    titleBlockRow->addWidget(MakeButton(this, kTitleBlockFontButton, "Šriftas..."));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeButton(this, IDCANCEL, "Atsisakyti"), QDialogButtonBox::RejectRole);

    auto* top = new QHBoxLayout;
    top->addWidget(scale, 1);
    top->addWidget(MakeMarginsGroup(this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(captions);
    layout->addWidget(MakeCheck(this, kFrameCheck, "&Spausdinti rėmelį"));
    layout->addWidget(
        MakeCheck(this, kFirstPageCheck, "&Jei netelpa viename puslapyje, spausdinti tik pirmą puslapį"));
    layout->addWidget(MakeCheck(this, kOutlineCheck, "Žemėlapio lange piešti puslapio ribas"));
    layout->addLayout(titleBlockRow);
    layout->addWidget(buttons);
    // Long check box texts draw a little wider than Qt measures them.
    setMinimumWidth(layout->sizeHint().width() + 24);

    connect(scaleEdit, &QLineEdit::textEdited, this, [given] { given->setChecked(true); });
    connect(FindControl<QCheckBox>(this, kTitleBlockCheck), &QCheckBox::toggled, this,
            [this](bool on) { OnTitleBlockCheck(on); });
    connect(FindControl<QPushButton>(this, kFieldsButton), &QPushButton::clicked, this,
            [this] { OnTitleBlockFields(); });
    const struct {
        int button;
        LOGFONT CMapPageSetup::*font;
    } fonts[] = {{kTitleFontButton, &CMapPageSetup::titleFont},
                 {kFooterFontButton, &CMapPageSetup::footerFont},
                 {kTitleBlockFontButton, &CMapPageSetup::titleBlockFont}};
    for (const auto& font : fonts)
        connect(FindControl<QPushButton>(this, font.button), &QPushButton::clicked, this, [this, member = font.font] {
            if (ChoosePageFont(this, m_values.*member))
                m_setup.Map().*member = m_values.*member;
        });
}

void CPageSetupDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    if (m_values.scaleMode == CPageSetupValues::kFixedScale)
        FindControl<QLineEdit>(this, kScaleEdit)->setText(ToQString(FormatRealField(m_values.scale)));
    OnTitleBlockCheck(m_values.titleBlock != 0);
}

void CPageSetupDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kScaleRadios[0], kScaleRadios[1], kScaleRadios[2], kScaleRadios[3]}, m_values.scaleMode);
    ExchangeMargins(dx, m_values.margins);
    dx.Text(kTitleEdit, m_values.title, kCaptionLength);
    dx.Text(kFooterEdit, m_values.footer, kCaptionLength);
    dx.Check(kFrameCheck, m_values.frame);
    dx.Check(kFirstPageCheck, m_values.onePageOnly);
    dx.Check(kOutlineCheck, m_values.showPageOutline);
    dx.Check(kTitleBlockCheck, m_values.titleBlock);
}

void CPageSetupDlg::OnOK()
{
    double scale = m_values.scale;
    if (FindControl<QAbstractButton>(this, kGivenScaleRadio)->isChecked()) {
        auto* edit = FindControl<QLineEdit>(this, kScaleEdit);
        if (!ParseRealField(FromQString(edit->text()), scale) || !std::isfinite(scale) || !(scale > 0)) {
            edit->setFocus(Qt::OtherFocusReason);
            AppBeep();
            return;
        }
    }
    // The values are the dialog's own copy: a refused field leaves the
    // page setup as it was.
    if (!UpdateData(true))
        return;
    m_values.scale = scale;
    m_setup.Map() = m_values;
    EndDialog(IDOK);
}

void CPageSetupDlg::OnTitleBlockCheck(bool on)
{
    EnableDlgItem(this, kFieldsButton, on);
    EnableDlgItem(this, kTitleBlockFontButton, on);
}

void CPageSetupDlg::OnTitleBlockFields()
{
    CTitleBlockDlg dialog(m_values.titleBlockTexts, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_values.titleBlockTexts = dialog.GetTexts();
    m_setup.Map().titleBlockTexts = m_values.titleBlockTexts;
}
