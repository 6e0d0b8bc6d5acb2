#include "core/PolygonSet.h"

#include "core/MapGeometry.h"
#include "core/Shape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

CPolygonSet::CPolygonSet(const CShape& shape)
{
    FromShape(shape);
}

bool CPolygonSet::FromShape(const CShape& shape)
{
    Clear();
    try {
        m_contours.reserve(static_cast<size_t>(shape.GetPartCount()));
        for (int k = 0, first = 0; k < shape.GetPartCount() && first < shape.GetPointCount(); ++k) {
            // Part sizes are not trusted beyond the points there are.
            const int size = std::clamp(shape.GetPartSize(k), 0, shape.GetPointCount() - first);
            const CMapPoint* points = shape.Points().GetData() + first;
            m_contours.push_back(Contour{std::vector<CMapPoint>(points, points + size), false});
            first += size;
        }
    } catch (const std::bad_alloc&) {
        Clear();
        m_failed = true;
        return false;
    }
    return true;
}

void CPolygonSet::ToShape(CShape& shape) const
{
    shape.SetSize(0, 0);
    for (const Contour& c : m_contours) {
        const int n = static_cast<int>(c.points.size());
        const bool close = n > 2 && !(c.points.front() == c.points.back());
        shape.Points().Append(c.points.data(), n);
        if (close)
            shape.Points().Add(c.points.front());
        shape.PartSizes().push_back(static_cast<uint32_t>(n + (close ? 1 : 0)));
    }
    if (shape.GetPartCount() == 0)
        shape.RemoveAll();
    shape.RecalcBounds();
}

bool CPolygonSet::ClipPolygons(int op, const CPolygonSet& subject, const CPolygonSet& clip, CPolygonSet& result)
{
    const bool ok = CPolygonClipper::Clip(op, subject.m_contours, clip.m_contours, result.m_contours);
    result.m_failed = !ok;
    result.m_normal = ok;
    return ok;
}

bool CPolygonSet::Clip(int op, const CPolygonSet& other, CPolygonSet& result) const
{
    return ClipPolygons(op, *this, other, result) && !result.IsEmpty();
}

bool CPolygonSet::Intersect(const CPolygonSet& other, CPolygonSet& result) const
{
    return Clip(kIntersection, other, result);
}

bool CPolygonSet::Union(const CPolygonSet& other, CPolygonSet& result) const
{
    return Clip(kUnion, other, result);
}

bool CPolygonSet::Subtract(const CPolygonSet& other, CPolygonSet& result) const
{
    return Clip(kDifference, other, result);
}

bool CPolygonSet::UnionInPlace(const CPolygonSet& other)
{
    return Clip(kUnion, other, *this);
}

void CPolygonSet::InitSingleContour(int capacity)
{
    Clear();
    m_contours.emplace_back();
    m_normal = false;
    // Room asked for is a hint: the contour grows as needed all the same.
    try {
        m_contours.back().points.reserve(static_cast<size_t>(std::max(capacity, 0)));
    } catch (const std::bad_alloc&) {
    }
}

void CPolygonSet::AddVertex(const CMapPoint& p)
{
    if (m_contours.empty())
        m_contours.emplace_back();
    m_contours.back().points.push_back(p);
    m_normal = false;
}

void CPolygonSet::ClearVertices()
{
    if (!m_contours.empty())
        m_contours.back().points.clear();
    m_normal = false;
}

void CPolygonSet::AddContour(const CMapPoint* points, int n, bool hole)
{
    m_contours.push_back(Contour{std::vector<CMapPoint>(points, points + std::max(n, 0)), hole});
    m_normal = false;
}

void CPolygonSet::CopyFrom(const CPolygonSet& other)
{
    if (this == &other)
        return;
    m_contours = other.m_contours;
    m_failed = other.m_failed;
    m_normal = other.m_normal;
}

double CPolygonSet::Area() const
{
    if (m_normal) {
        double area = 0;
        for (const Contour& c : m_contours) {
            const double ring = PolygonArea(c.points.data(), static_cast<int>(c.points.size()));
            area += c.hole ? -ring : ring;
        }
        return area;
    }
    if (m_contours.size() == 1) {
        const Contour& c = m_contours.front();
        return PolygonArea(c.points.data(), static_cast<int>(c.points.size()));
    }
    CPolygonSet normal;
    if (!ClipPolygons(kUnion, *this, CPolygonSet(), normal))
        return std::numeric_limits<double>::quiet_NaN();
    return normal.Area();
}

void CPolygonSet::Clear()
{
    m_contours.clear();
    m_failed = false;
    m_normal = false;
}
