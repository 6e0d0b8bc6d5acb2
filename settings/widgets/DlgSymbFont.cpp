#include "settings/widgets/DlgSymbFont.h"

#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "settings/PointSymbolRules.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SpinButton.h"
#include "shell/widgets/CharListBox.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/DlgItems.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kFaceCombo = 1000;
constexpr int kBoldCheck = 1001;
constexpr int kSizeCombo = 1002;
constexpr int kShadowCheck = 1006;
constexpr int kAngleEdit = 1007;
constexpr int kScaledCheck = 1009;
constexpr int kBaseScaleEdit = 1010;
constexpr int kCharList = 1011;
constexpr int kAngleSpin = 1012;
constexpr int kColourButton = 1066;
constexpr int kOtherColoursString = 108;
constexpr int kMaxAngle = 360;

constexpr OutlineRadio kOutlines[] = {kOutlineNone, kOutlineWhite, kOutlineBlack};

std::vector<std::string> InstalledFaces()
{
    std::vector<std::pair<std::string, bool>> faces;
    for (const QString& family : QFontDatabase::families())
        faces.emplace_back(FromQString(family), QFontDatabase::isScalable(family));
    return SymbolFaces(faces);
}

} // namespace

CDlgSymbFont::CDlgSymbFont() : CPropertyPage("Tekstinis"), m_style(DefaultFontStyle())
{
    SetControlId(this, kDialogId);
}

void CDlgSymbFont::OnInitDialog()
{
    m_face = WithId(kFaceCombo, new QComboBox(this));
    m_size = WithId(kSizeCombo, new QComboBox(this));
    m_size->setEditable(true);
    for (const int points : kFontSizes)
        m_size->addItem(QString::number(points));
    m_size->setFixedWidth(m_size->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 40);
    m_colour = WithId(kColourButton, new CColorButton(this));
    m_colour->SetDefaultText({});
    m_colour->SetCustomText(LoadString(kOtherColoursString));
    m_angle = WithId(kAngleEdit, new QLineEdit(this));
    m_angle->setFixedWidth(m_angle->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* angleSpin = WithId(kAngleSpin, new CSpinButton(m_angle, 0, kMaxAngle, this));
    m_baseScale = WithId(kBaseScaleEdit, new QLineEdit(this));
    m_chars = WithId(kCharList, new CCharListBox(this));
    m_chars->setMinimumSize(360, 150);

    auto* top = new QGridLayout;
    top->addWidget(MakeLabel(this, 0, "Šri&ftas:", m_face), 0, 0);
    top->addWidget(m_face, 0, 1);
    top->addWidget(MakeLabel(this, 0, "&Dydis:", m_size), 0, 2);
    top->addWidget(m_size, 0, 3);
    top->addWidget(MakeLabel(this, 0, "&Spalva:", m_colour), 1, 0);
    top->addWidget(m_colour, 1, 1);
    auto* angleRow = new QHBoxLayout;
    angleRow->setSpacing(0);
    angleRow->addWidget(m_angle);
    angleRow->addWidget(angleSpin);
    angleRow->addWidget(MakeLabel(this, 0, " °"));
    angleRow->addStretch();
    top->addWidget(MakeLabel(this, 0, "&Kampas:", m_angle), 1, 2);
    top->addLayout(angleRow, 1, 3);
    top->setColumnStretch(1, 1);

    auto* outline = new QGroupBox(QString::fromUtf8("Apvadas"), this);
    auto* outlineRows = new QVBoxLayout(outline);
    outlineRows->addWidget(MakeRadio(outline, kOutlineNone, "&Nėra"));
    outlineRows->addWidget(MakeRadio(outline, kOutlineWhite, "&Baltas"));
    outlineRows->addWidget(MakeRadio(outline, kOutlineBlack, "&Juodas"));

    auto* checks = new QVBoxLayout;
    checks->addWidget(MakeCheck(this, kBoldCheck, "&Pastorintas"));
    checks->addWidget(MakeCheck(this, kShadowCheck, "Su š&ešėliu"));
    checks->addWidget(MakeCheck(this, kScaledCheck, "Priklauso nuo &mastelio"));
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(MakeLabel(this, 0, "B&azinis mastelis:", m_baseScale));
    scaleRow->addWidget(m_baseScale);
    checks->addLayout(scaleRow);
    checks->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(outline);
    middle->addLayout(checks, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(m_chars, 1);

    // The page's style into the controls.
    m_faces = InstalledFaces();
    for (const std::string& face : m_faces)
        m_face->addItem(ToQString(face));
    const std::string face = m_style.GetName();
    m_face->setCurrentIndex(FindFace(m_faces, face));
    m_size->setCurrentIndex(FindFontSize(m_style.size));
    m_size->setEditText(ToQString(FontSizeText(m_style.size)));
    m_angle->setText(QString::number(m_style.angle / 10));
    m_colour->SetColor(m_style.color);
    FindControl<QRadioButton>(this, OutlineRadioFor(m_style))->setChecked(true);
    FindControl<QCheckBox>(this, kBoldCheck)->setChecked((m_style.options & CPointStyle::kBold) != 0);
    FindControl<QCheckBox>(this, kShadowCheck)->setChecked((m_style.options & CPointStyle::kShadow) != 0);
    const bool scaled = (m_style.options & CPointStyle::kScalesWithMap) != 0;
    FindControl<QCheckBox>(this, kScaledCheck)->setChecked(scaled);
    EnableDlgItem(this, kBaseScaleEdit, scaled);
    m_baseScale->setText(QString::number(ShownBaseScale(m_style)));
    m_chars->SetFontName(face);
    m_chars->SelectChar(m_style.symbol);

    connect(m_face, &QComboBox::activated, this, [this](int index) { OnFace(index); });
    connect(m_size, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(kFontSizes.size()))
            return;
        m_style.size = kFontSizes[static_cast<size_t>(index)] * 10;
        Changed();
    });
    connect(m_size, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_ready && !m_writing && ReadTenths(FromQString(text), m_style.size))
            Changed();
    });
    connect(m_angle, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_ready && !m_writing && ReadTenths(FromQString(text), m_style.angle))
            Changed();
    });
    m_colour->SetNotify([this](int notification, COLORREF colour, int) {
        if (notification != CColorButton::kSelEndOk && notification != CColorButton::kSelChange &&
            notification != CColorButton::kSelEndCancel)
            return;
        m_style.color = colour;
        Changed();
    });
    for (const OutlineRadio radio : kOutlines)
        connect(FindControl<QRadioButton>(this, radio), &QRadioButton::clicked, this, [this, radio] {
            SetOutline(m_style, radio);
            Changed();
        });
    connect(FindControl<QCheckBox>(this, kBoldCheck), &QCheckBox::clicked, this,
            [this](bool on) { OnFlag(CPointStyle::kBold, on); });
    connect(FindControl<QCheckBox>(this, kShadowCheck), &QCheckBox::clicked, this,
            [this](bool on) { OnFlag(CPointStyle::kShadow, on); });
    connect(FindControl<QCheckBox>(this, kScaledCheck), &QCheckBox::clicked, this,
            [this](bool on) { OnScalesWithMap(on); });
    connect(m_baseScale, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_ready || m_writing)
            return;
        m_style.referenceScale = AtoiC(FromQString(text));
        Changed();
    });
    const auto onChar = [this](bool close) {
        const int code = m_chars->GetSelectedChar();
        if (code < 0)
            return;
        m_style.symbol = static_cast<uint16_t>(code);
        Changed();
        if (close)
            CloseSymbolSheet(*this);
    };
    connect(m_chars, &QListWidget::itemSelectionChanged, this, [onChar] { onChar(false); });
    connect(m_chars, &QListWidget::itemDoubleClicked, this, [onChar] { onChar(true); });
    m_ready = true;
    CPropertyPage::OnInitDialog();
}

void CDlgSymbFont::OnSetActive()
{
    CPropertyPage::OnSetActive();
    ShowInSymbolSheet(*this, m_style);
}

void CDlgSymbFont::Changed()
{
    ShowInSymbolSheet(*this, m_style);
}

void CDlgSymbFont::OnFace(int index)
{
    if (index < 0 || index >= static_cast<int>(m_faces.size()))
        return;
    m_style.SetName(m_faces[static_cast<size_t>(index)]);
    ++m_writing;
    m_chars->SetFontName(m_faces[static_cast<size_t>(index)]);
    m_chars->SelectChar(m_style.symbol);
    --m_writing;
    Changed();
}

void CDlgSymbFont::OnFlag(uint32_t flag, bool on)
{
    m_style.options = on ? m_style.options | flag : m_style.options & ~flag;
    Changed();
}

void CDlgSymbFont::OnScalesWithMap(bool on)
{
    SetScalesWithMap(m_style, on);
    EnableDlgItem(this, kBaseScaleEdit, on);
    ++m_writing;
    m_baseScale->setText(QString::number(ShownBaseScale(m_style)));
    --m_writing;
    // The scale shown is the one the symbol takes.
    m_style.referenceScale = AtoiC(FromQString(m_baseScale->text()));
    Changed();
}
