#include "core/SpatialFilter.h"

#include "core/MapGeometry.h"
#include "core/PolygonSet.h"
#include "core/SegmentPairs.h"
#include "core/ShapeOverlay.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

bool IsArea(int kind)
{
    return kind == CSpatialFilter::kArea || kind == CSpatialFilter::kAreaOther;
}

// Some point of the object satisfies test, or (all) every one does.
template <class Test>
bool ObjectPoints(const CShape& object, bool all, Test test)
{
    const CMapPointArray& points = object.Points();
    if (points.IsEmpty())
        return false;
    return all ? std::all_of(points.begin(), points.end(), test) : std::any_of(points.begin(), points.end(), test);
}

// The point lies on a part of the line (parts open, lone points count).
bool OnLine(const CShape& line, const CMapPoint& p)
{
    int index = 0;
    return line.HitTestSegment(p, kSegmentTolerance, -1, index);
}

// Two lines share a point: segments meet, or a lone point lies on the other.
bool LinesMeet(const CShape& a, const CShape& b)
{
    if (!ExtentsMeet(a.GetExtent(), b.GetExtent()))
        return false;
    std::vector<CShapeSegment> segA, segB;
    std::vector<CSegmentBox> boxA, boxB;
    CollectShapeSegments(a, false, segA, boxA);
    CollectShapeSegments(b, false, segB, boxB);
    const bool met = ForEachMeetingBoxPair(boxA, boxB, [&](int i, int j) {
        const CShapeSegment& s = segA[static_cast<size_t>(i)];
        const CShapeSegment& t = segB[static_cast<size_t>(j)];
        CMapPoint out[2];
        return IntersectSegments(a.GetPoint(s.from), a.GetPoint(s.to), b.GetPoint(t.from), b.GetPoint(t.to), out) !=
               0;
    });
    if (met)
        return true;
    const auto lonePointOn = [](const CShape& from, const CShape& on) {
        for (int k = 0, first = 0; k < from.GetPartCount() && first < from.GetPointCount(); ++k) {
            const int size = std::clamp(from.GetPartSize(k), 0, from.GetPointCount() - first);
            if (size == 1 && OnLine(on, from.GetPoint(first)))
                return true;
            first += size;
        }
        return false;
    };
    return lonePointOn(a, b) || lonePointOn(b, a);
}

bool InArea(const CShape& area, const CMapPoint& p)
{
    return area.PointInPolygon(p) != 0;
}

} // namespace

void CSpatialFilter::SetPoint(const CMapPoint& point)
{
    m_kind = kPoint;
    m_point = point;
}

void CSpatialFilter::SetShape(int kind, const CShape& shape)
{
    m_kind = kind;
    m_shape.Copy(shape);
    m_shape.RecalcBounds();
}

CMapRect CSpatialFilter::GetBounds() const
{
    if (m_kind == kPoint)
        return CMapRect(m_point);
    if (m_kind == kLine || IsArea(m_kind))
        return m_shape.GetExtent();
    return CMapRect(-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX);
}

bool CSpatialFilter::TestIntersects(const CShape& object, int objectType) const
{
    if (object.GetPointCount() == 0)
        return false;
    const bool area = objectType == kObjectArea;
    const bool line = objectType == kObjectLine;
    if (m_kind == kPoint) {
        if (area)
            return InArea(object, m_point);
        if (line)
            return OnLine(object, m_point);
        return ObjectPoints(object, false, [&](const CMapPoint& p) {
            return std::fabs(p.x - m_point.x) <= kSegmentTolerance && std::fabs(p.y - m_point.y) <= kSegmentTolerance;
        });
    }
    if (m_kind == kLine) {
        if (area)
            return m_shape.ShapeIntersects(object, 2);
        if (line)
            return LinesMeet(m_shape, object);
        return ObjectPoints(object, false, [&](const CMapPoint& p) { return OnLine(m_shape, p); });
    }
    if (IsArea(m_kind)) {
        if (area)
            return m_shape.ShapeIntersects(object, 0);
        if (line)
            return object.ShapeIntersects(m_shape, 2);
        return ObjectPoints(object, false, [&](const CMapPoint& p) { return InArea(m_shape, p); });
    }
    return false;
}

bool CSpatialFilter::TestWithin(const CShape& object, int objectType) const
{
    if (!IsArea(m_kind) || object.GetPointCount() == 0)
        return false;
    if (!ExtentInside(object.GetExtent(), m_shape.GetExtent()))
        return false;
    if (objectType == kObjectArea) {
        // Nothing of the object outside the area. An overlay that cannot
        // be computed proves nothing.
        const CPolygonSet objectSet(object), areaSet(m_shape);
        CPolygonSet outside;
        return !objectSet.Failed() && !areaSet.Failed() &&
               CPolygonSet::ClipPolygons(CPolygonSet::kDifference, objectSet, areaSet, outside) && outside.IsEmpty();
    }
    if (objectType == kObjectLine) {
        CShape outside;
        SplitLineByPolygon(object, m_shape, nullptr, &outside);
        return outside.GetPointCount() == 0;
    }
    return ObjectPoints(object, true, [&](const CMapPoint& p) { return InArea(m_shape, p); });
}

bool CSpatialFilter::Test(const CShape& object, int objectType) const
{
    return m_mode == kModeWithin ? TestWithin(object, objectType) : TestIntersects(object, objectType);
}
