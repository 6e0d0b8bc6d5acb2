#include "mapdoc/OutlineOverlay.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "render/LinePainter.h"

#include <vector>

COutlineOverlay::COutlineOverlay() : m_style(CDrawStyle::ResetLine()) {}

void COutlineOverlay::Draw(CDC& dc, CDrelView& view)
{
    if (m_points.IsEmpty())
        return;
    const int bkMode = dc.SetBkMode(TRANSPARENT);
    dc.SetROP2(m_rop);
    {
        std::vector<CPoint> points = view.ShapeToClientPoints(m_points.GetData(), m_points.GetSize());
        CLinePainter painter(dc);
        painter.SetStyle(m_style);
        painter.DrawPolyline(points.data(), static_cast<int>(points.size()));
    }
    dc.SetROP2(R2_COPYPEN);
    dc.SetBkMode(bkMode);
}
