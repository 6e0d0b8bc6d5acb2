#include "settings/widgets/DlgSymbPicture.h"

#include "platform/Icon.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "settings/PointSymbolRules.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SpinButton.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/FilePrompt.h"
#include "shell/widgets/PictureCtrl.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr int kFileEdit = 1005;
constexpr int kScaledCheck = 1009;
constexpr int kBaseScaleEdit = 1010;
constexpr int kBrowseButton = 1015;
constexpr int kPictureWindow = 1017;
constexpr int kSizeEdit = 1026;
constexpr int kCentreButton = 1027;
constexpr int kSizeSpin = 1030;
constexpr int kColourSample = 1031;
constexpr int kSizeGroup = 1033;
constexpr int kPercentLabel = 1034;
constexpr int kBaseScaleLabel = 1035;
constexpr int kAnchorXEdit = 1036;
constexpr int kAnchorYEdit = 1037;
constexpr int kAnchorXSpin = 1038;
constexpr int kAnchorYSpin = 1039;
constexpr int kColourButton = 1066;
constexpr int kTransparentCheck = 1071;
constexpr int kPicturesFilter = 110;
constexpr int kAnchorIcon = 137;
constexpr int kColourIcon = 139;

constexpr int kAnchorControls[] = {kAnchorXEdit, kAnchorYEdit, kAnchorXSpin, kAnchorYSpin, kCentreButton,
                                   kAnchorPickButton};
constexpr int kTransparencyControls[] = {kColourSample, kTransparentCheck, kColourButton, kTransparentPickButton};
// The group last, so a focused control in it passes the focus on first.
constexpr int kSizeControls[] = {kSizeEdit,       kSizeSpin,      kPercentLabel, kScaledCheck,
                                 kBaseScaleLabel, kBaseScaleEdit, kSizeGroup};

QIcon ResourceIcon(int id)
{
    CIcon icon;
    return icon.LoadResource(id) ? QIcon(QPixmap::fromImage(*icon.Image())) : QIcon();
}

QPushButton* MakePickButton(QWidget* parent, int id, int icon, const char* text)
{
    auto* button = MakeButton(parent, id, "");
    button->setIcon(ResourceIcon(icon));
    button->setToolTip(QString::fromUtf8(text));
    button->setAccessibleName(QString::fromUtf8(text));
    button->setCheckable(true);
    return button;
}

// The percentage spin: 10 a step, never below 0.
class CPercentSpin : public CSpinButton {
public:
    CPercentSpin(QLineEdit* buddy, QWidget* parent) : CSpinButton(buddy, 0, 0, parent) {}
    void Step(int steps) override
    {
        int32_t size = 0;
        if (StepPercent(FromQString(Buddy()->text()), steps, size))
            Buddy()->setText(ToQString(PercentText(size)));
    }
};

} // namespace

CDlgSymbPicture::CDlgSymbPicture() : CPropertyPage("Pie\xF0inys"), m_style(DefaultPictureStyle())
{
    SetControlId(this, kDialogId);
}

void CDlgSymbPicture::OnInitDialog()
{
    m_file = WithId(kFileEdit, new QLineEdit(this));
    m_file->setReadOnly(true);
    auto* browse = MakeButton(this, kBrowseButton, "Fai&lai...");
    m_picture = WithId(kPictureWindow, new CPictureCtrl(this));
    m_picture->setMinimumSize(200, 150);
    m_picture->SetPointPicked([this](CPoint point) { SetAnchor(point); });
    m_picture->SetColourPicked([this](COLORREF colour) { SetTransparentColor(colour); });

    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12;
    CSpinButton* anchorSpins[2];
    const int edits[2] = {kAnchorXEdit, kAnchorYEdit}, spins[2] = {kAnchorXSpin, kAnchorYSpin};
    for (int i = 0; i < 2; ++i) {
        m_anchor[i] = WithId(edits[i], new QLineEdit(this));
        m_anchor[i]->setFixedWidth(digits);
        anchorSpins[i] = WithId(spins[i], new CSpinButton(m_anchor[i], 0, 0, this));
    }
    auto* centre = MakeButton(this, kCentreButton, "centre");
    m_anchorPick = MakePickButton(this, kAnchorPickButton, kAnchorIcon, "Pririšimo tašką nurodyti piešinyje");
    m_colourPick = MakePickButton(this, kTransparentPickButton, kColourIcon, "Peršviečiamą spalvą nurodyti piešinyje");
    auto* transparent = MakeCheck(this, kTransparentCheck, "&Peršviečiama spalva:");
    m_colour = WithId(kColourButton, new CColorButton(this));
    m_colour->SetDefaultText({});
    m_colour->setText(QStringLiteral("..."));
    m_colourSample = WithId(kColourSample, new QLabel(this));
    m_colourSample->setFixedSize(24, 20);
    m_colourSample->setFrameShape(QFrame::Box);
    m_colourSample->setAutoFillBackground(true);

    auto* sizeGroup = WithId(kSizeGroup, new QGroupBox(QString::fromUtf8("Dydis"), this));
    m_size = WithId(kSizeEdit, new QLineEdit(sizeGroup));
    m_size->setFixedWidth(digits + 10);
    auto* sizeSpin = WithId(kSizeSpin, new CPercentSpin(m_size, sizeGroup));
    auto* scaled = MakeCheck(sizeGroup, kScaledCheck, "Priklauso nuo &mastelio");
    m_baseScale = WithId(kBaseScaleEdit, new QLineEdit(sizeGroup));
    auto* sizeRows = new QGridLayout(sizeGroup);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(0);
    sizeRow->addWidget(m_size);
    sizeRow->addWidget(sizeSpin);
    sizeRow->addWidget(MakeLabel(sizeGroup, kPercentLabel, " %"));
    sizeRow->addStretch();
    sizeRows->addLayout(sizeRow, 0, 0, 1, 2);
    sizeRows->addWidget(scaled, 1, 0, 1, 2);
    sizeRows->addWidget(MakeLabel(sizeGroup, kBaseScaleLabel, "B&azinis mast.:", m_baseScale), 2, 0);
    sizeRows->addWidget(m_baseScale, 2, 1);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(MakeLabel(this, 0, "&Failo vardas:", m_file));
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);

    auto* anchorRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        anchorRow->addWidget(MakeLabel(this, 0, i == 0 ? "&X:" : "&Y:", m_anchor[i]));
        auto* pair = new QHBoxLayout;
        pair->setSpacing(0);
        pair->addWidget(m_anchor[i]);
        pair->addWidget(anchorSpins[i]);
        anchorRow->addLayout(pair);
    }
    anchorRow->addWidget(centre);
    anchorRow->addWidget(m_anchorPick);
    anchorRow->addStretch();

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(transparent);
    colourRow->addWidget(m_colour);
    colourRow->addWidget(m_colourSample);
    colourRow->addWidget(m_colourPick);
    colourRow->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(sizeGroup);
    right->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(m_picture, 1);
    body->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(anchorRow);
    layout->addLayout(colourRow);
    layout->addLayout(body, 1);

    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    for (int i = 0; i < 2; ++i) {
        connect(m_anchor[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (m_writing || !m_picture->IsLoaded())
                return;
            const CSize size = m_picture->GetPicture().GetSize();
            const int16_t value = HeldAnchor(AtoiC(FromQString(text)), i == 0 ? size.cx : size.cy);
            (i == 0 ? m_style.anchorX : m_style.anchorY) = value;
            Changed();
        });
        // What was kept inside the picture shows once the edit is left.
        connect(m_anchor[i], &QLineEdit::editingFinished, this, [this] { WriteAnchor(); });
    }
    connect(centre, &QPushButton::clicked, this, [this] {
        if (!m_picture->IsLoaded())
            return;
        CentreAnchor(m_style, m_picture->GetPicture().GetSize());
        WriteAnchor();
        Changed();
    });
    connect(m_anchorPick, &QPushButton::toggled, this, [this](bool on) {
        SetPickMode(PickModeAfter(m_pickMode, kAnchorPickButton, on));
    });
    connect(m_colourPick, &QPushButton::toggled, this, [this](bool on) {
        SetPickMode(PickModeAfter(m_pickMode, kTransparentPickButton, on));
    });
    connect(transparent, &QCheckBox::clicked, this, [this](bool on) {
        int mode = m_pickMode;
        ::SetTransparentColour(m_style, on, mode);
        SetPickMode(mode);
        Refresh(false);
    });
    m_colour->SetNotify([this](int notification, COLORREF colour, int) {
        if (notification == CColorButton::kSelEndOk)
            SetTransparentColor(colour);
    });
    connect(m_size, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_writing && ReadPercent(FromQString(text), m_style.size))
            Changed();
    });
    connect(scaled, &QCheckBox::clicked, this, [this](bool on) {
        SetScalesWithMap(m_style, on);
        ++m_writing;
        m_baseScale->setText(QString::number(ShownBaseScale(m_style)));
        --m_writing;
        m_style.referenceScale = AtoiC(FromQString(m_baseScale->text()));
        Refresh(false);
    });
    connect(m_baseScale, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_writing)
            return;
        m_style.referenceScale = AtoiC(FromQString(text));
        Changed();
    });

    Refresh(true);
    CPropertyPage::OnInitDialog();
}

void CDlgSymbPicture::OnSetActive()
{
    CPropertyPage::OnSetActive();
    Changed();
}

void CDlgSymbPicture::Changed()
{
    ShowInSymbolSheet(*this, m_style);
}

void CDlgSymbPicture::Refresh(bool load)
{
    ++m_writing;
    const std::string name = m_style.GetName();
    m_file->setText(ToQString(name));
    if (load)
        m_picture->SetPicture(name);
    const CPicture& picture = m_picture->GetPicture();
    const bool loaded = m_picture->IsLoaded();
    const CPicturePageState state =
        RefreshPicturePage(m_style, loaded, picture.GetKind(), picture.GetPictureType(), picture.GetSize());

    for (const int id : kAnchorControls)
        EnableDlgItem(this, id, state.anchor);
    FindControl<CSpinButton>(this, kAnchorXSpin)->SetRange(0, state.anchorWidth);
    FindControl<CSpinButton>(this, kAnchorYSpin)->SetRange(0, state.anchorHeight);

    if (!state.transparency) {
        FindControl<QCheckBox>(this, kTransparentCheck)->setChecked(false);
        SetPickMode(PickModeAfter(m_pickMode, kTransparentPickButton, false));
    }
    for (const int id : kTransparencyControls)
        ShowDlgItem(this, id, state.transparency);
    FindControl<QCheckBox>(this, kTransparentCheck)->setChecked(state.transparentColourShown);
    EnableDlgItem(this, kTransparentPickButton, state.transparentPick);
    EnableDlgItem(this, kColourButton, state.transparentPick);
    if (!state.transparentPick)
        SetPickMode(PickModeAfter(m_pickMode, kTransparentPickButton, false));
    QPalette sample = palette();
    if (state.transparentColourShown) {
        const COLORREF c = m_style.color;
        sample.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        m_colour->SetColor(c);
    }
    m_colourSample->setPalette(sample);

    for (const int id : kSizeControls)
        ShowDlgItem(this, id, state.size);
    EnableDlgItem(this, kBaseScaleEdit, state.baseScale);
    FindControl<QCheckBox>(this, kScaledCheck)->setChecked((m_style.options & CPointStyle::kScalesWithMap) != 0);
    m_size->setText(ToQString(PercentText(m_style.size)));
    m_baseScale->setText(QString::number(ShownBaseScale(m_style)));
    --m_writing;
    WriteAnchor();
    Changed();
}

void CDlgSymbPicture::WriteAnchor()
{
    ++m_writing;
    m_anchor[0]->setText(QString::number(m_style.anchorX));
    m_anchor[1]->setText(QString::number(m_style.anchorY));
    --m_writing;
}

void CDlgSymbPicture::SetPickMode(int mode)
{
    m_pickMode = mode;
    const QSignalBlocker quietAnchor(m_anchorPick), quietColour(m_colourPick);
    m_anchorPick->setChecked(mode == kAnchorPickButton);
    m_colourPick->setChecked(mode == kTransparentPickButton);
    m_picture->SetPickCursor(mode);
}

void CDlgSymbPicture::SetPictureFile(const std::string& path)
{
    m_picture->SetPicture(path);
    ::SetPictureFile(m_style, path, m_picture->IsLoaded() ? m_picture->GetPicture().GetSize() : CSize());
    Refresh(false);
}

void CDlgSymbPicture::SetAnchor(CPoint point)
{
    if (!m_picture->IsLoaded())
        return;
    const CSize size = m_picture->GetPicture().GetSize();
    m_style.anchorX = HeldAnchor(point.x, size.cx);
    m_style.anchorY = HeldAnchor(point.y, size.cy);
    WriteAnchor();
    Changed();
}

void CDlgSymbPicture::SetTransparentColor(COLORREF colour)
{
    m_style.color = colour;
    Refresh(false);
}

void CDlgSymbPicture::OnBrowse()
{
    std::string path = m_style.GetName();
    CQtFilePrompt prompt;
    if (prompt.PromptFileName(path, true, LoadString(kPicturesFilter), {}))
        SetPictureFile(path);
}
