#include "mapdoc/LineOverlay.h"

#include "core/MapRect.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"

void CLineOverlay::Draw(CDC& dc, CDrelView& view)
{
    CMapPoint from, to;
    if (!view.GetMapExtent().ClipSegment(m_from, m_to, from, to)) {
        m_drawn.SetRectEmpty();
        return;
    }
    const CPoint a = view.MapToClient(from);
    const CPoint b = view.MapToClient(to);
    const CPen pen = dc.SelectObject(CPen::FromStock(BLACK_PEN));
    const int bkMode = dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(a);
    dc.LineTo(b);
    dc.SetBkMode(bkMode);
    dc.SelectObject(pen);
    m_drawn = CRect(a, b);
    m_drawn.NormalizeRect();
    m_drawn.right += 1;
    m_drawn.bottom += 1;
}

bool CLineOverlay::GetRect(CDrelView& view, CRect& rect)
{
    rect = m_drawn;
    return !rect.IsRectEmpty();
}
