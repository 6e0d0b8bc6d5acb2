#include "mapdoc/TextOverlay.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"

void CTextOverlay::Draw(CDC& dc, CDrelView& view)
{
    m_drawn.SetRectEmpty();
    if (!view.IsPointInExtent(m_point))
        return;
    const CPoint at = view.MapToClient(m_point);
    CFont font;
    font.CreatePointFont(80, "MS Sans Serif", &dc);
    const CFont oldFont = dc.SelectObject(font);
    const int bkMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF textColour = dc.SetTextColor(RGB(0, 0, 0));
    const CBrush brush = dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    const CPen pen = dc.SelectObject(CPen::FromStock(BLACK_PEN));
    const unsigned align = dc.SetTextAlign(TA_LEFT | TA_TOP);

    const CSize size = dc.GetTextExtent(m_text);
    const int w = size.cx, h = size.cy;
    CRect text(at.x, at.y, at.x + w, at.y + h);
    text.OffsetRect(-w / 2, -(3 * h / 4) - (h * m_offset / 8));
    CRect box = text;
    box.InflateRect(h / 6, 1);
    dc.Rectangle(box);
    dc.TextOut(text.left, text.top, m_text);
    m_drawn = box;

    dc.SetTextAlign(align);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    dc.SetTextColor(textColour);
    dc.SetBkMode(bkMode);
    dc.SelectObject(oldFont);
}

bool CTextOverlay::GetRect(CDrelView& view, CRect& rect)
{
    rect = m_drawn;
    return !rect.IsRectEmpty();
}
