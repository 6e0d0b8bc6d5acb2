#include "shell/widgets/StaticText.h"

#include "platform/DC.h"
#include "shell/widgets/PaletteColors.h"

#include <QImage>
#include <QPainter>

namespace {

constexpr unsigned kFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

} // namespace

CStaticText::CStaticText(std::string text, CFont font, bool rightAligned, QWidget* parent)
    : QWidget(parent), m_text(std::move(text)), m_font(std::move(font)), m_rightAligned(rightAligned)
{
}

CSize CStaticText::Measure(const std::string& text, const CFont& font, int maxWidth)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    CDC dc(scratch);
    dc.SelectObject(font);
    CRect rect(0, 0, maxWidth, 0);
    dc.DrawText(text, &rect, kFormat | DT_CALCRECT);
    return rect.Size();
}

void CStaticText::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    image.fill(palette().color(QPalette::Window));
    {
        CDC dc(image);
        dc.SelectObject(m_font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetPaletteColor(this, QPalette::WindowText));
        CRect rect(0, 0, width(), height());
        dc.DrawText(m_text, &rect, kFormat | (m_rightAligned ? DT_RIGHT : DT_LEFT));
    }
    QPainter(this).drawImage(0, 0, image);
}
