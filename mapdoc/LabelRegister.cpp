#include "mapdoc/LabelRegister.h"

#include "core/DeviceGeometry.h"

#include <algorithm>
#include <cstdint>

namespace {

CRect BoxOf(const CLabelRegister::Quad& q)
{
    CRect box(q[0].x, q[0].y, q[0].x, q[0].y);
    for (const CPoint& p : q) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

// Without overflow for any corners.
CPoint CentreOf(const CRect& box)
{
    return CPoint(static_cast<int>((int64_t{box.left} + box.right) / 2),
                  static_cast<int>((int64_t{box.top} + box.bottom) / 2));
}

bool BoxesMeet(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

CLabelRegister::Quad CornersOf(const CRect& r)
{
    return {CPoint(r.left, r.top), CPoint(r.right, r.top), CPoint(r.right, r.bottom), CPoint(r.left, r.bottom)};
}

// Crossing edges alone miss a label lying wholly inside another.
bool QuadsOverlap(const CLabelRegister::Quad& a, const CLabelRegister::Quad& b)
{
    return PolylinesIntersect(a.data(), 4, b.data(), 4, true) || PointInConvexDevicePolygon(a.data(), 4, b[0]) ||
           PointInConvexDevicePolygon(b.data(), 4, a[0]);
}

} // namespace

void CLabelRegister::Clear()
{
    m_rects.clear();
    m_quads.clear();
}

int CLabelRegister::ReserveRect(const CRect& rect, int force)
{
    if (!force) {
        CRect common;
        for (const CRect& placed : m_rects) {
            if (common.IntersectRect(rect, placed))
                return 0;
        }
        const Quad corners = CornersOf(rect);
        for (const PlacedQuad& placed : m_quads) {
            if (BoxesMeet(rect, placed.box) && QuadsOverlap(corners, placed.corners))
                return 0;
        }
    }
    m_rects.push_back(rect);
    return 1;
}

int CLabelRegister::ReserveQuad(const Quad& corners, int force)
{
    const CRect box = BoxOf(corners);
    if (!force) {
        for (const CRect& placed : m_rects) {
            if (BoxesMeet(box, placed) && QuadsOverlap(corners, CornersOf(placed)))
                return 0;
        }
        for (const PlacedQuad& placed : m_quads) {
            if (BoxesMeet(box, placed.box) && QuadsOverlap(corners, placed.corners))
                return 0;
            if (PointInConvexDevicePolygon(placed.corners.data(), 4, CentreOf(box)))
                return 0;
        }
    }
    m_quads.push_back({box, corners});
    return 1;
}
