#include "shell/widgets/ColorButton.h"

#include "platform/DC.h"
#include "platform/Strings.h"
#include "shell/ColorPalette.h"
#include "shell/ControlDrawing.h"
#include "shell/widgets/ColorPopup.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace {

constexpr int kCustomTextString = 108;
// The push-button frame's width.
constexpr int kFrameWidth = 2;

} // namespace

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent),
      // The colour of the workspace behind the windows.
      m_defaultColour(GetPaletteColor(nullptr, QPalette::Dark)), m_customText(LoadString(kCustomTextString))
{
    connect(this, &QPushButton::clicked, this, [this] { OpenPopup(); });
}

CColorButton::~CColorButton()
{
    if (m_popup) {
        m_popup->SetHandlers(nullptr, nullptr);
        delete m_popup;
    }
}

void CColorButton::SetColor(COLORREF colour)
{
    m_colour = colour;
    update();
}

void CColorButton::SetDefaultColor(COLORREF colour)
{
    m_defaultColour = colour;
    update();
}

void CColorButton::Notify(int notification, COLORREF colour)
{
    if (m_notify)
        m_notify(notification, colour, GetControlId(this));
}

void CColorButton::OpenPopup()
{
    if (m_popup)
        return;
    m_colourBeforeOpen = m_colour;
    const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
    m_popup = new ColorPopup(onScreen, m_colour, m_defaultText, m_customText, this);
    m_popup->SetHandlers([this](COLORREF colour) { OnSelChange(colour); },
                         [this](bool ok, COLORREF colour) { OnSelEnd(ok, colour); });
    m_popup->show();
    update();
    Notify(kDropDown, m_colour);
}

void CColorButton::OnSelChange(COLORREF colour)
{
    if (m_trackSelection)
        SetColor(colour);
    Notify(kSelChange, colour);
}

void CColorButton::OnSelEnd(bool ok, COLORREF colour)
{
    if (m_popup) {
        m_popup->SetHandlers(nullptr, nullptr);
        m_popup->deleteLater();
        m_popup = nullptr;
    }
    const COLORREF before = m_colourBeforeOpen;
    SetColor(ok ? colour : before);
    Notify(kCloseUp, m_colour);
    if (!ok) {
        Notify(kSelEndCancel, before);
        return;
    }
    Notify(kSelEndOk, colour);
    if (colour != before)
        Notify(kSelChange, colour);
}

void CColorButton::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*this);
    if (image.isNull())
        return;
    const bool pushed = isDown() || m_popup;
    {
        QPainter painter(&image);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        if (pushed)
            option.state |= QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    }
    {
        CDC dc(image);
        const ControlColors colours = GetControlColors(this);
        CRect content(0, 0, width(), height());
        content.DeflateRect(kFrameWidth, kFrameWidth);
        if (pushed)
            content.OffsetRect(1, 1);
        DrawColorButtonFace(dc, content, m_colour, m_defaultColour, isEnabled(), colours);
        if (hasFocus() || m_popup) {
            CRect focus = content;
            focus.DeflateRect(1, 1);
            DrawFocusFrame(dc, focus, colours.text);
        }
    }
    QPainter(this).drawImage(0, 0, image);
}
