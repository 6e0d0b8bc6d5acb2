#include "mapdoc/PointOverlay.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/Icon.h"

namespace {

// Where the picture goes for the point's client pixel p.
CPoint IconCorner(const CPoint& p)
{
    return CPoint(p.x - 3, p.y + 1);
}

} // namespace

void CPointOverlay::Draw(CDC& dc, CDrelView& view)
{
    if (!view.IsPointInExtent(m_point))
        return;
    static const CIcon icon = [] {
        CIcon loaded;
        loaded.LoadResource(kIcon);
        return loaded;
    }();
    const CPoint at = IconCorner(view.MapToClient(m_point));
    dc.DrawIconEx(at.x, at.y, icon, 0, 0);
}

bool CPointOverlay::GetRect(CDrelView& view, CRect& rect)
{
    if (!view.IsPointInExtent(m_point)) {
        rect.SetRectEmpty();
        return false;
    }
    const CPoint at = IconCorner(view.MapToClient(m_point));
    rect = CRect(at.x, at.y, at.x + kIconSize, at.y + kIconSize);
    return true;
}
