#include "mapdoc/ShapeOverlay.h"

#include "mapdoc/DrelView.h"
#include "render/ShapeDrawing.h"

void CShapeOverlay::Draw(CDC& dc, CDrelView& view)
{
    DrawShapePolyline(m_shape, view, &dc, nullptr, kShapeHighlight);
}

bool CShapeOverlay::GetRect(CDrelView& view, CRect& rect)
{
    CMapRect visible;
    if (m_shape.GetPointCount() == 0 || !visible.IntersectRect(view.GetMapExtent(), m_shape.GetExtent())) {
        rect.SetRectEmpty();
        return false;
    }
    rect = view.RectToClient(visible);
    rect.NormalizeRect();
    rect.InflateRect(3, 3);
    return true;
}
