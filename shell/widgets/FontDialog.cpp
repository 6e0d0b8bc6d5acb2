#include "shell/widgets/FontDialog.h"

#include "platform/Font.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DialogTexts.h"
#include "shell/widgets/DrelApp.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDefaultPoints = 10;

// Qt's labels and ours (the program's template gives none).
constexpr DialogText kLabels[] = {
    {"&Font", "Š&riftas:"},
    {"Font st&yle", "Šrifto &stilius:"},
    {"&Size", "&Dydis:"},
    {"Effects", "Efektai"},
    {"Stri&keout", "&Perbrauktas"},
    {"&Underline", "P&abrauktas"},
    {"Sample", "Pavyzdys"},
    {"Wr&iting System", "&Rašto sistema:"},
    {"OK", "OK"},
    {"Cancel", "Atsisakyti"},
};

bool ProgramShowsOwnBox()
{
    const CDrelApp* app = CDrelApp::Instance();
    return app && app->UsesOwnMessageBox();
}

// The face as Qt lists it: what the face draws in.
QString FamilyOf(const LOGFONT& font)
{
    return ToQString(CFont::SubstituteFace(font.lfFaceName, font.lfPitchAndFamily));
}

QFont QFontOf(const LOGFONT& font)
{
    QFont qfont(FamilyOf(font));
    const int points = std::abs(font.lfHeight);
    qfont.setPointSize(points > 0 ? points : kDefaultPoints);
    if (font.lfWeight > 0)
        qfont.setWeight(static_cast<QFont::Weight>(std::clamp(static_cast<int>(font.lfWeight), 1, 1000)));
    qfont.setItalic(font.lfItalic != 0);
    qfont.setUnderline(font.lfUnderline != 0);
    qfont.setStrikeOut(font.lfStrikeOut != 0);
    return qfont;
}

} // namespace

CFontDialog::CFontDialog(const LOGFONT& font, QWidget* parent) : CFontDialog(font, ProgramShowsOwnBox(), parent) {}

CFontDialog::CFontDialog(const LOGFONT& font, bool lithuanian, QWidget* parent)
    : QFontDialog(parent), m_font(font), m_lithuanian(lithuanian)
{
    m_font.lfFaceName[LF_FACESIZE - 1] = 0;
    SetControlId(this, kTemplateId);
    setOption(QFontDialog::DontUseNativeDialog);
    setCurrentFont(QFontOf(m_font));
    m_shownFamily = currentFont().family();
    if (m_lithuanian) {
        setWindowTitle(QString::fromUtf8("Šriftas"));
        SetDialogTexts(*this, kLabels);
    }
}

void CFontDialog::SetColor(COLORREF colour)
{
    if (!m_colorButton) {
        // The effects group: the one holding the check boxes.
        QGroupBox* effects = nullptr;
        for (QGroupBox* group : findChildren<QGroupBox*>())
            if (group->findChild<QCheckBox*>())
                effects = group;
        auto* column = effects ? qobject_cast<QBoxLayout*>(effects->layout()) : nullptr;
        if (!column)
            return;
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(m_lithuanian ? QString::fromUtf8("Spal&va:") : QStringLiteral("&Color:"), effects);
        m_colorButton = new CColorButton(effects);
        SetControlId(m_colorButton, kColorButtonId);
        m_colorButton->setMinimumWidth(60);
        label->setBuddy(m_colorButton);
        row->addWidget(label);
        row->addWidget(m_colorButton, 1);
        column->addLayout(row);
    }
    m_colorButton->SetColor(colour);
}

COLORREF CFontDialog::GetColor() const
{
    return m_colorButton ? m_colorButton->GetColor() : 0;
}

int CFontDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

LOGFONT CFontDialog::GetLogFont() const
{
    const QFont chosen = currentFont();
    LOGFONT font = m_font;
    font.lfHeight = -static_cast<int>(std::lround(chosen.pointSizeF() > 0 ? chosen.pointSizeF() : kDefaultPoints));
    font.lfWeight = chosen.weight();
    font.lfItalic = chosen.italic() ? 1 : 0;
    font.lfUnderline = chosen.underline() ? 1 : 0;
    font.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    // A face shown as another (not installed, or put in its place) keeps
    // its own name while the one shown stays chosen.
    if (chosen.family() != m_shownFamily) {
        const std::string face = FromQString(chosen.family());
        std::memset(font.lfFaceName, 0, LF_FACESIZE);
        std::memcpy(font.lfFaceName, face.data(), std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1)));
    }
    return font;
}
