#include "core/Shape.h"

#include "core/MapGeometry.h"
#include "core/PolygonSet.h"

#include <algorithm>
#include <cmath>

int CShape::PartSizeAt(int part, int start) const
{
    const int64_t left = std::max(GetPointCount() - start, 0);
    return static_cast<int>(std::min<int64_t>(m_partSizes[static_cast<size_t>(part)], left));
}

bool CShape::SetSize(int n, int m)
{
    if (n < 0 || m < 0)
        return false;
    m_points.SetSize(0);
    m_points.SetSize(n);
    m_partSizes.assign(static_cast<size_t>(m), 0);
    if (m == 1)
        m_partSizes[0] = static_cast<uint32_t>(n);
    m_extent.SetEmpty();
    return true;
}

void CShape::RemoveAll()
{
    m_points.RemoveAll();
    m_partSizes.assign(1, 0);
    m_extent.SetEmpty();
}

bool CShape::SetPoints(int n, const CMapPoint* points)
{
    if (n < 0)
        return false;
    if (points >= m_points.begin() && points < m_points.end()) {
        const CMapPointArray source = m_points;
        return SetPoints(n, source.GetData() + (points - m_points.begin()));
    }
    m_points.SetSize(0);
    m_points.Append(points, n);
    m_partSizes.assign(1, static_cast<uint32_t>(n));
    RecalcBounds();
    return true;
}

void CShape::SetParts(CMapPointArray&& points, std::vector<uint32_t>&& sizes)
{
    points.FreeExtra();
    m_points = std::move(points);
    m_partSizes = std::move(sizes);
    if (m_partSizes.empty())
        m_partSizes.push_back(0);
    RecalcBounds();
}

void CShape::SetFromRect(const CMapRect& r)
{
    const CMapPoint ring[5] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom},
                               {r.left, r.top}};
    SetPoints(5, ring);
}

void CShape::Copy(const CShape& other)
{
    if (this == &other)
        return;
    m_points.Copy(other.m_points);
    m_partSizes = other.m_partSizes;
    m_extent = other.m_extent;
}

bool CShape::IsEqual(const CShape& other) const
{
    return GetPointCount() == other.GetPointCount() && m_extent == other.m_extent &&
           m_points == other.m_points && m_partSizes == other.m_partSizes;
}

void CShape::AppendParts(const CShape& other)
{
    if (this == &other) {
        CShape copy;
        copy.Copy(other);
        AppendParts(copy);
        return;
    }
    if (other.GetPointCount() == 0)
        return;
    if (GetPointCount() == 0) {
        Copy(other);
        return;
    }
    m_points.Append(other.m_points);
    m_partSizes.insert(m_partSizes.end(), other.m_partSizes.begin(), other.m_partSizes.end());
    m_extent.UnionRect(m_extent, other.m_extent);
}

void CShape::Append(const CShape& other, bool prepend)
{
    if (this == &other) {
        CShape copy;
        copy.Copy(other);
        Append(copy, prepend);
        return;
    }
    if (other.GetPointCount() == 0)
        return;
    if (GetPointCount() == 0 || m_partSizes.empty()) {
        Copy(other);
        return;
    }
    const CShape& head = prepend ? other : *this;
    const CShape& tail = prepend ? *this : other;
    // The joint is dropped from the continuing piece only when both pieces
    // have points: an empty part has no joint to share.
    const uint32_t headLast = head.m_partSizes.empty() ? 0 : head.m_partSizes.back();
    const uint32_t tailFirst = tail.m_partSizes.empty() ? 0 : tail.m_partSizes.front();
    const int drop = headLast > 0 && tailFirst > 0 ? 1 : 0;

    CMapPointArray points;
    points.Append(head.m_points);
    points.Append(tail.m_points.GetData() + drop, tail.GetPointCount() - drop);
    std::vector<uint32_t> sizes(head.m_partSizes.begin(), head.m_partSizes.end());
    if (sizes.empty())
        sizes.push_back(0);
    sizes.back() += tailFirst - static_cast<uint32_t>(drop);
    if (!tail.m_partSizes.empty())
        sizes.insert(sizes.end(), tail.m_partSizes.begin() + 1, tail.m_partSizes.end());
    CMapRect extent;
    extent.UnionRect(head.m_extent, tail.m_extent);

    m_points = std::move(points);
    m_partSizes = std::move(sizes);
    m_extent = extent;
}

void CShape::CloseRings()
{
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    for (int part = 0, first = 0; part < GetPartCount(); first += GetPartSize(part), ++part) {
        const int size = std::min(GetPartSize(part), GetPointCount() - first);
        if (size <= 0) {
            sizes.push_back(0);
            continue;
        }
        points.Append(&m_points[first], size);
        const bool open = size > 1 && m_points[first] != m_points[first + size - 1];
        if (open)
            points.Add(m_points[first]);
        sizes.push_back(static_cast<uint32_t>(size + (open ? 1 : 0)));
    }
    SetParts(std::move(points), std::move(sizes));
}

void CShape::Reverse()
{
    std::reverse(m_points.begin(), m_points.end());
    std::reverse(m_partSizes.begin(), m_partSizes.end());
}

void CShape::RecalcBounds()
{
    m_extent.SetEmpty();
    for (const CMapPoint& p : m_points)
        m_extent.UnionPoint(p);
}

bool CShape::GetLongestSegment(CMapPoint& start, CMapPoint& end, const CMapRect* clip) const
{
    double best = -1;
    bool found = false;
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        for (int i = first; i + 1 < first + size; ++i) {
            CMapPoint p = m_points[i];
            CMapPoint q = m_points[i + 1];
            if (clip && !clip->ClipSegment(p, q, p, q))
                continue;
            const double length2 = (q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y);
            if (length2 > best) {
                best = length2;
                start = p;
                end = q;
                found = true;
            }
        }
    }
    return found;
}

int CShape::PartFromPoint(int index) const
{
    if (index < 0 || index >= GetPointCount())
        return -1;
    int64_t total = 0;
    for (int k = 0; k < GetPartCount(); ++k) {
        total += m_partSizes[static_cast<size_t>(k)];
        if (total > index)
            return k;
    }
    return -1;
}

int CShape::GetPartStart(int part) const
{
    int64_t start = 0;
    for (int k = 0; k < std::min(part, GetPartCount()); ++k)
        start += m_partSizes[static_cast<size_t>(k)];
    return static_cast<int>(std::min<int64_t>(start, GetPointCount()));
}

int CShape::AddEmptyPart()
{
    m_partSizes.push_back(0);
    return GetPartCount() - 1;
}

void CShape::AddPartPoints(int n, const CMapPoint* points, bool recalcBounds)
{
    if (n < 0)
        return;
    if (GetPointCount() == 0 && !m_partSizes.empty())
        m_partSizes[0] = static_cast<uint32_t>(n);
    else
        m_partSizes.push_back(static_cast<uint32_t>(n));
    m_points.Append(points, n);
    if (recalcBounds)
        RecalcBounds();
}

bool CShape::GetPart(int part, CShape& out) const
{
    if (part < 0 || part >= GetPartCount())
        return false;
    const int start = GetPartStart(part);
    CShape result;
    result.SetPoints(PartSizeAt(part, start), m_points.GetData() + start);
    out = std::move(result);
    return true;
}

void CShape::DeletePart(int part)
{
    if (part < 0 || part >= GetPartCount())
        return;
    const int start = GetPartStart(part);
    m_points.RemoveAt(start, PartSizeAt(part, start));
    if (GetPartCount() == 1)
        m_partSizes[0] = 0;
    else
        m_partSizes.erase(m_partSizes.begin() + part);
    RecalcBounds();
}

bool CShape::SplitPartAt(int part, int k)
{
    if (part < 0 || part >= GetPartCount())
        return false;
    const int start = GetPartStart(part);
    const int size = PartSizeAt(part, start);
    if (k <= 0 || k >= size - 1)
        return false;
    m_points.InsertAt(start + k + 1, m_points[start + k]);
    m_partSizes[static_cast<size_t>(part)] = static_cast<uint32_t>(k + 1);
    m_partSizes.insert(m_partSizes.begin() + part + 1, static_cast<uint32_t>(size - k));
    return true;
}

bool CShape::SplitPartWithPoint(int part, int a, const CMapPoint& p)
{
    if (part < 0 || part >= GetPartCount())
        return false;
    const int start = GetPartStart(part);
    const int size = PartSizeAt(part, start);
    // a = size - 1 is the closing segment of a ring.
    if (a < 0 || a >= size)
        return false;
    const CMapPoint point = p;
    m_points.InsertAt(start + a + 1, point, 2);
    m_partSizes[static_cast<size_t>(part)] = static_cast<uint32_t>(a + 2);
    m_partSizes.insert(m_partSizes.begin() + part + 1, static_cast<uint32_t>(size - a));
    m_extent.UnionPoint(point);
    return true;
}

void CShape::AddPoint(const CMapPoint& p)
{
    if (m_partSizes.empty())
        m_partSizes.push_back(0);
    ++m_partSizes.back();
    m_points.Add(p);
    if (GetPointCount() == 1)
        m_extent = CMapRect(p);
    else
        m_extent.UnionPoint(p);
}

bool CShape::InsertPoint(int index, const CMapPoint& p)
{
    if (index < 0 || index > GetPointCount())
        return false;
    if (index == GetPointCount()) {
        AddPoint(p);
        return true;
    }
    const int part = PartFromPoint(index);
    if (part < 0)
        return false;
    ++m_partSizes[static_cast<size_t>(part)];
    m_points.InsertAt(index, p);
    if (GetPointCount() == 1)
        m_extent = CMapRect(p);
    else
        m_extent.UnionPoint(p);
    return true;
}

void CShape::InsertPoints(int index, const CMapPoint& p, int count)
{
    m_points.InsertAt(index, p, count);
}

void CShape::DeletePoint(int index)
{
    const int part = PartFromPoint(index);
    if (part < 0)
        return;
    m_points.RemoveAt(index);
    if (--m_partSizes[static_cast<size_t>(part)] == 0 && GetPartCount() > 1)
        m_partSizes.erase(m_partSizes.begin() + part);
}

int CShape::RemoveDuplicatePoints()
{
    int kept = 0;
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        const int partStart = kept;
        for (int i = first; i < first + size; ++i) {
            if (i > first && m_points[i] == m_points[i - 1])
                continue;
            m_points[kept++] = m_points[i];
        }
        m_partSizes[static_cast<size_t>(k)] = static_cast<uint32_t>(kept - partStart);
    }
    const int removed = GetPointCount() - kept;
    m_points.RemoveAt(kept, removed);
    return removed;
}

int CShape::Densify(double maxLength, double scaleX, double scaleY)
{
    if (!(maxLength > 0))
        return 0;
    // Points per segment first, so a hopeless request changes nothing.
    std::vector<int> inserts(static_cast<size_t>(GetPointCount()), 0);
    int64_t total = 0;
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        for (int i = first; i + 1 < first + size; ++i) {
            const double length = std::hypot((m_points[i + 1].x - m_points[i].x) * scaleX,
                                             (m_points[i + 1].y - m_points[i].y) * scaleY);
            if (!(length > maxLength))
                continue;
            const double count = std::trunc(length / maxLength);
            if (!(count + static_cast<double>(total) + GetPointCount() <= kMaxGeneratedPoints))
                return 0;
            inserts[static_cast<size_t>(i)] = static_cast<int>(count);
            total += static_cast<int64_t>(count);
        }
    }
    if (total == 0)
        return 0;
    CMapPointArray points;
    points.SetSize(static_cast<int>(GetPointCount() + total));
    int out = 0;
    for (int i = 0; i < GetPointCount(); ++i) {
        const CMapPoint& a = m_points[i];
        points[out++] = a;
        const int count = inserts[static_cast<size_t>(i)];
        if (count == 0)
            continue;
        const CMapPoint& b = m_points[i + 1];
        for (int j = 1; j <= count; ++j) {
            const double f = static_cast<double>(j) / (count + 1);
            points[out++] = CMapPoint(a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f);
        }
    }
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        for (int i = first; i + 1 < first + size; ++i)
            m_partSizes[static_cast<size_t>(k)] += static_cast<uint32_t>(inserts[static_cast<size_t>(i)]);
    }
    m_points = std::move(points);
    return static_cast<int>(total);
}

bool CShape::MakeCircle(const CMapPoint& centre, double rx, double ry, double stepDegrees)
{
    // A step of 0 or less would never come round.
    if (!(stepDegrees > 0))
        return false;
    const double steps = std::round(360 / stepDegrees);
    if (!(steps >= 1 && steps < kMaxGeneratedPoints))
        return false;
    const int e = static_cast<int>(steps);
    std::vector<CMapPoint> ring(static_cast<size_t>(e) + 1);
    ring[0] = CMapPoint(centre.x + rx, centre.y);
    const double step = stepDegrees * kDegToRad;
    double angle = 0;
    for (int k = 1; k < e; ++k) {
        angle += step;
        ring[static_cast<size_t>(k)] = CMapPoint(centre.x + rx * std::cos(angle), centre.y + ry * std::sin(angle));
    }
    ring[static_cast<size_t>(e)] = ring[0];
    return SetPoints(e + 1, ring.data());
}

bool CShape::MakeCircle(const CMapPoint& centre, double radius, double stepDegrees)
{
    return MakeCircle(centre, radius, radius, stepDegrees);
}

bool CShape::MakeArc(const CMapPoint& centre, double rx, double ry, double startDegrees, double endDegrees,
                     double stepDegrees)
{
    if (!(stepDegrees > 0))
        return false;
    const double sweep = endDegrees < startDegrees ? endDegrees + 360 - startDegrees : endDegrees - startDegrees;
    // An arc shorter than half a step, or of no length, still gets its two
    // ends rather than a division by zero.
    const double steps = std::max(std::round(sweep / stepDegrees), 1.0);
    if (!(steps < kMaxGeneratedPoints))
        return false;
    const int g = static_cast<int>(steps);
    std::vector<CMapPoint> arc(static_cast<size_t>(g) + 1);
    for (int k = 0; k <= g; ++k) {
        const double angle = (startDegrees + k * sweep / g) * kDegToRad;
        arc[static_cast<size_t>(k)] = CMapPoint(centre.x + rx * std::cos(angle), centre.y + ry * std::sin(angle));
    }
    return SetPoints(g + 1, arc.data());
}

bool CShape::MakeArc(const CMapPoint& centre, double radius, double startDegrees, double endDegrees,
                     double stepDegrees)
{
    return MakeArc(centre, radius, radius, startDegrees, endDegrees, stepDegrees);
}

int CShape::PointInPolygon(const CMapPoint& p) const
{
    int result = 0;
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        const int r = PointInRing(m_points.GetData() + first, size, p);
        if (r == 2)
            return 2;
        result ^= r;
    }
    return result;
}

bool CShape::IsPointInAnyRing(const CMapPoint& p) const
{
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        if (PointInRing(m_points.GetData() + first, size, p) != 0)
            return true;
    }
    return false;
}

bool CShape::HitTestVertex(const CMapPoint& p, double tolerance, int part, int& index, CMapPoint* vertex) const
{
    if (part < 0)
        return FindNearestVertex(m_points.GetData(), GetPointCount(), p, tolerance, index, nullptr, vertex);
    if (part >= GetPartCount())
        return false;
    const int start = GetPartStart(part);
    int local = 0;
    if (!FindNearestVertex(m_points.GetData() + start, PartSizeAt(part, start), p, tolerance, local, nullptr,
                           vertex))
        return false;
    index = start + local;
    return true;
}

bool CShape::HitTestSegment(const CMapPoint& p, double tolerance, int part, int& index, CMapPoint* nearest) const
{
    double best = tolerance;
    bool found = false;
    for (int k = 0, first = 0, size = 0; k < GetPartCount(); ++k, first += size) {
        size = PartSizeAt(k, first);
        if (part >= 0 && k != part)
            continue;
        int local = 0;
        double distance = 0;
        CMapPoint point;
        // The best so far is the next part's tolerance: an equal distance
        // in a later part wins.
        if (FindNearestSegment(m_points.GetData() + first, size, p, best, local, &distance, &point)) {
            best = distance;
            index = first + local;
            if (nearest)
                *nearest = point;
            found = true;
        }
    }
    return found;
}

double CShape::Area() const
{
    if (GetPartCount() <= 1)
        return PolygonArea(m_points.GetData(), GetPointCount());
    // Rings may nest and cross: the polygon set tells which parts are holes.
    return CPolygonSet(*this).Area();
}
