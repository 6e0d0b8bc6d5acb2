#include "render/DeviceShape.h"

#include "core/RectClipper.h"
#include "layers/DrawingView.h"

#include <algorithm>
#include <cstdint>

bool CDeviceShape::LiesInside(const CMapRect& box, const CMapRect& rect)
{
    return box.IsValid() && box.left >= rect.left && box.right <= rect.right && box.bottom >= rect.bottom &&
           box.top <= rect.top;
}

bool CDeviceShape::Convert(const CShape& shape, IDrawingView& view, const CMapRect& clip, bool area)
{
    m_points.clear();
    m_counts.clear();
    const CShape* source = &shape;
    if (!LiesInside(shape.GetExtent(), clip)) {
        CRectClipper clipper(clip);
        const bool kept = area ? clipper.ClipPolygon(shape, m_clipped) : clipper.ClipPolyline(shape, m_clipped);
        if (!kept)
            return false;
        source = &m_clipped;
    }
    const int pointCount = source->GetPointCount();
    if (pointCount == 0)
        return false;
    const std::vector<CPoint>& converted = view.ShapeToDevicePoints(source->Points().GetData(), pointCount);
    m_points.assign(converted.begin(), converted.end());
    // Part sizes that claim more points than there are stop at the last one.
    int left = static_cast<int>(m_points.size());
    for (std::uint32_t size : source->PartSizes()) {
        const int n = static_cast<int>(std::min<std::uint32_t>(size, static_cast<std::uint32_t>(left)));
        m_counts.push_back(n);
        left -= n;
    }
    return !m_points.empty() && !m_counts.empty();
}
