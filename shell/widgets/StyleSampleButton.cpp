#include "shell/widgets/StyleSampleButton.h"

#include "platform/DC.h"
#include "shell/DialogFont.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyleOptionButton>

CStyleSampleButton::CStyleSampleButton(QWidget* parent) : QPushButton(parent) {}

void CStyleSampleButton::SetKind(int kind, bool redraw)
{
    m_sample.kind = kind;
    if (redraw)
        update();
}

void CStyleSampleButton::SetPointStyle(const CPointStyle& style)
{
    m_sample.point = style;
    SetKind(StyleSample::kPointStyle);
}

void CStyleSampleButton::SetSymbolNumber(int symbol)
{
    CPointStyle style = CPointStyle::Default();
    style.symbol = static_cast<uint16_t>(symbol);
    SetPointStyle(style);
}

void CStyleSampleButton::SetLineStyle(const CDrawStyle& style)
{
    CDrawStyle line;
    line.penStyle = style.penStyle;
    line.penWidth = style.penWidth;
    line.penColor = style.penColor;
    line.backColor = style.backColor;
    m_sample.line = line;
    SetKind(StyleSample::kLineStyle);
}

void CStyleSampleButton::SetAreaStyle(const CDrawStyle& style)
{
    m_sample.area = style;
    SetKind(StyleSample::kAreaStyle);
}

void CStyleSampleButton::SetTextStyle(bool frame, bool halo, const CDrawStyle* frameStyle, bool redraw)
{
    m_sample.frame = frame;
    m_sample.halo = halo;
    if (frameStyle)
        m_sample.frameStyle = *frameStyle;
    SetKind(StyleSample::kTextStyle, redraw);
}

void CStyleSampleButton::SetTextFont(const CLabelStyle& font)
{
    m_sample.font = font;
    SetKind(StyleSample::kTextStyle);
}

void CStyleSampleButton::SetColor(COLORREF colour)
{
    m_sample.colour = colour;
    SetKind(StyleSample::kPlainColor);
}

void CStyleSampleButton::SetMarkerStyle(const CTrackStyle& style)
{
    // The symbol-over-background record is the track style less its spare words.
    CTrackStyle marker = style;
    marker.spare[0] = marker.spare[1] = 0;
    m_sample.marker = marker;
    SetKind(StyleSample::kMarker);
}

void CStyleSampleButton::SetShowNone(bool none)
{
    m_sample.none = none;
    update();
}

void CStyleSampleButton::SetCrosshair(bool crosshair)
{
    m_sample.crosshair = crosshair;
    update();
}

void CStyleSampleButton::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*this);
    if (image.isNull())
        return;
    const bool pressed = isDown() || isChecked();
    const bool disabled = !isEnabled();
    {
        QPainter painter(&image);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        if (pressed || disabled)
            option.state |= QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    }
    {
        CDC dc(image);
        const CRect content = StyleSampleContent(CRect(0, 0, width(), height()), pressed, disabled);
        DrawStyleSample(dc, content, m_sample, GetControlColors(this), MakeDialogFont());
    }
    QPainter(this).drawImage(0, 0, image);
}
