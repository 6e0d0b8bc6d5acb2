#include "core/MapGeometry.h"
#include "core/SegmentPairs.h"
#include "core/Shape.h"
#include "core/ShapeOverlay.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

bool Near(const CMapPoint& p, const CMapPoint& q)
{
    return std::fabs(p.x - q.x) <= kSegmentTolerance && std::fabs(p.y - q.y) <= kSegmentTolerance;
}

// Where a shape is to be cut or given new vertices. Everything is gathered
// first and the shape rebuilt once, so indices stay valid while the pairs
// of segments are worked through.
class CCuts {
public:
    explicit CCuts(const CShape& shape) : m_shape(shape) {}

    void AtVertex(int index) { m_vertices.push_back(index); }

    // p inside the open segment; true when it is a new point there. A
    // point at an end of the segment is a cut at that vertex instead.
    bool Inside(const CShapeSegment& s, const CMapPoint& p)
    {
        const CMapPoint& a = m_shape.GetPoint(s.from);
        const CMapPoint& b = m_shape.GetPoint(s.to);
        if (Near(p, a) || Near(p, b)) {
            AtVertex(Near(p, a) ? s.from : s.to);
            return false;
        }
        std::vector<Inner>& inner = m_inner[s.from];
        for (const Inner& q : inner)
            if (Near(q.point, p))
                return false;
        inner.push_back(Inner{(p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y), p});
        ++m_innerCount;
        return true;
    }

    // The point bits of one byte of a segment code for this shape's side.
    void Record(const CShapeSegment& s, int bits, const CMapPoint& p, int atStart, int atEnd, int inside)
    {
        if (bits & atStart)
            AtVertex(s.from);
        if (bits & atEnd)
            AtVertex(s.to);
        if (bits & inside)
            Inside(s, p);
    }

    int InnerCount() const { return m_innerCount; }

    // Rebuilds the shape with the inner points added; with split, each part
    // is also cut at every recorded vertex and inner point (never at its
    // own first or last point).
    void Apply(CShape& shape, bool split)
    {
        if (m_inner.empty() && (!split || m_vertices.empty()))
            return;
        const int count = shape.GetPointCount();
        std::vector<char> cutAt(static_cast<size_t>(count), 0);
        for (int v : m_vertices)
            if (v >= 0 && v < count)
                cutAt[static_cast<size_t>(v)] = 1;
        for (auto& entry : m_inner)
            std::sort(entry.second.begin(), entry.second.end(),
                      [](const Inner& a, const Inner& b) { return a.key < b.key; });

        const CMapPointArray& source = shape.Points();
        CMapPointArray points;
        std::vector<uint32_t> sizes;
        int first = 0;
        for (int k = 0; k < shape.GetPartCount(); ++k) {
            const int size = std::clamp(shape.GetPartSize(k), 0, count - first);
            const int last = first + size - 1;
            int pieceStart = points.GetSize();
            const auto cut = [&](const CMapPoint& p) {
                sizes.push_back(static_cast<uint32_t>(points.GetSize() - pieceStart));
                pieceStart = points.GetSize();
                points.Add(p);
            };
            for (int i = first; i <= last; ++i) {
                points.Add(source[i]);
                if (split && cutAt[static_cast<size_t>(i)] && i != first && i != last)
                    cut(source[i]);
                const auto found = i < last ? m_inner.find(i) : m_inner.end();
                if (found == m_inner.end())
                    continue;
                for (const Inner& q : found->second) {
                    points.Add(q.point);
                    if (split)
                        cut(q.point);
                }
            }
            sizes.push_back(static_cast<uint32_t>(points.GetSize() - pieceStart));
            first += size;
        }
        // Points beyond the parts stay where they were.
        points.Append(source.GetData() + first, count - first);
        shape.SetParts(std::move(points), std::move(sizes));
    }

private:
    struct Inner {
        double key; // how far along the segment
        CMapPoint point;
    };

    const CShape& m_shape;
    std::vector<int> m_vertices;
    std::unordered_map<int, std::vector<Inner>> m_inner; // by the segment's start
    int m_innerCount = 0;
};

// Drops the two-point parts of t that equal a two-point part of o (the
// same two points in either order).
void DropSharedTwoPointParts(CShape& t, const CShape& o)
{
    using Pair = std::pair<std::pair<double, double>, std::pair<double, double>>;
    const auto key = [](const CMapPoint& a, const CMapPoint& b) {
        std::pair<double, double> p(a.x, a.y), q(b.x, b.y);
        return q < p ? Pair(q, p) : Pair(p, q);
    };
    const auto finite = [](const CMapPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); };
    std::vector<Pair> shared;
    for (int k = 0, first = 0; k < o.GetPartCount() && first < o.GetPointCount(); ++k) {
        const int size = std::clamp(o.GetPartSize(k), 0, o.GetPointCount() - first);
        if (size == 2 && finite(o.GetPoint(first)) && finite(o.GetPoint(first + 1)))
            shared.push_back(key(o.GetPoint(first), o.GetPoint(first + 1)));
        first += size;
    }
    if (shared.empty())
        return;
    std::sort(shared.begin(), shared.end());
    // One pass: two identical long lines share every piece.
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    int first = 0;
    const int count = t.GetPointCount();
    for (int k = 0; k < t.GetPartCount(); ++k) {
        const int size = std::clamp(t.GetPartSize(k), 0, count - first);
        const CMapPoint* p = t.Points().GetData() + first;
        first += size;
        if (size == 2 && finite(p[0]) && finite(p[1]) &&
            std::binary_search(shared.begin(), shared.end(), key(p[0], p[1])))
            continue;
        points.Append(p, size);
        sizes.push_back(static_cast<uint32_t>(size));
    }
    if (sizes.size() == static_cast<size_t>(t.GetPartCount()))
        return;
    points.Append(t.Points().GetData() + first, count - first);
    t.SetParts(std::move(points), std::move(sizes));
}

// Splits t where its segments meet o's; o's rings close when oClosed. With
// splitOther (o itself) o is split as well.
void SplitAgainst(CShape& t, const CShape& o, bool oClosed, double tolerance, bool crossings, CShape* splitOther)
{
    CMapRect grown = o.GetExtent();
    if (tolerance > 0)
        grown = CMapRect(grown.left - tolerance, grown.top + tolerance, grown.right + tolerance,
                         grown.bottom - tolerance);
    if (!ExtentsMeet(t.GetExtent(), grown))
        return;
    std::vector<CShapeSegment> segT, segO;
    std::vector<CSegmentBox> boxT, boxO;
    CollectShapeSegments(t, false, segT, boxT);
    CollectShapeSegments(o, oClosed, segO, boxO);
    CCuts cutsT(t), cutsO(o);
    for (const auto& [i, j] : MeetingBoxPairs(boxT, boxO)) {
        const CShapeSegment& s = segT[static_cast<size_t>(i)];
        const CShapeSegment& u = segO[static_cast<size_t>(j)];
        CMapPoint out[2];
        const int code = IntersectSegmentsExact(t.GetPoint(s.from), t.GetPoint(s.to), o.GetPoint(u.from),
                                                o.GetPoint(u.to), out);
        if (code == 0 || (!crossings && code == (kInsideAB | kInsideCD)))
            continue;
        for (int b = 0; b < 2; ++b) {
            const int bits = (code >> (8 * b)) & 0xFF;
            if (bits == 0)
                continue;
            cutsT.Record(s, bits, out[b], kAtA, kAtB, kInsideAB);
            if (splitOther)
                cutsO.Record(u, bits, out[b], kAtC, kAtD, kInsideCD);
        }
    }
    cutsT.Apply(t, true);
    if (splitOther) {
        cutsO.Apply(*splitOther, true);
        DropSharedTwoPointParts(t, *splitOther);
    }
}

// On an edge of one of the polygon's rings, the closing edges included.
bool OnRingBoundary(const CShape& polygon, const CMapPoint& p)
{
    int index = 0;
    if (polygon.HitTestSegment(p, kSegmentTolerance, -1, index))
        return true;
    for (int k = 0, first = 0; k < polygon.GetPartCount() && first < polygon.GetPointCount(); ++k) {
        const int size = std::clamp(polygon.GetPartSize(k), 0, polygon.GetPointCount() - first);
        if (size >= 3) {
            const CMapPoint closing[2] = {polygon.GetPoint(first + size - 1), polygon.GetPoint(first)};
            if (FindNearestSegment(closing, 2, p, kSegmentTolerance, index))
                return true;
        }
        first += size;
    }
    return false;
}

} // namespace

bool CShape::SplitAtIntersections(CShape& other, bool splitOther, double tolerance, bool crossings)
{
    // A shape against itself would meet itself along every segment.
    if (&other == this) {
        SplitAtSelfIntersections();
        return true;
    }
    SplitAgainst(*this, other, false, tolerance, crossings, splitOther ? &other : nullptr);
    return true;
}

void CShape::SplitAtSelfIntersections()
{
    std::vector<CShapeSegment> segments;
    std::vector<CSegmentBox> boxes;
    CollectShapeSegments(*this, false, segments, boxes);
    CCuts cuts(*this);
    // Pairs come earlier segment first.
    for (const auto& [i, j] : MeetingBoxPairs(boxes)) {
        const CShapeSegment& s = segments[static_cast<size_t>(i)];
        const CShapeSegment& u = segments[static_cast<size_t>(j)];
        CMapPoint out[2];
        const int code =
            IntersectSegmentsExact(GetPoint(s.from), GetPoint(s.to), GetPoint(u.from), GetPoint(u.to), out);
        for (int b = 0; b < 2; ++b) {
            const int bits = (code >> (8 * b)) & 0xFF;
            if (bits == 0)
                continue;
            // The earlier segment's end and the later one's start are the
            // neighbouring segments' start and end: they are met there.
            cuts.Record(s, bits, out[b], kAtA, 0, kInsideAB);
            cuts.Record(u, bits, out[b], 0, kAtD, kInsideCD);
        }
    }
    cuts.Apply(*this, true);
}

bool CShape::InsertIntersectionVertices(CShape& other, int* addedHere, int* addedOther, CShape* points)
{
    if (addedHere)
        *addedHere = 0;
    if (addedOther)
        *addedOther = 0;
    CShape list;
    list.RemoveAll();
    if (&other == this || !ExtentsMeet(m_extent, other.m_extent)) {
        if (points)
            *points = std::move(list);
        return true;
    }
    std::vector<CShapeSegment> segT, segO;
    std::vector<CSegmentBox> boxT, boxO;
    CollectShapeSegments(*this, false, segT, boxT);
    CollectShapeSegments(other, false, segO, boxO);
    CCuts cutsT(*this), cutsO(other);
    for (const auto& [i, j] : MeetingBoxPairs(boxT, boxO)) {
        const CShapeSegment& s = segT[static_cast<size_t>(i)];
        const CShapeSegment& u = segO[static_cast<size_t>(j)];
        CMapPoint out[2];
        const int code = IntersectSegmentsExact(GetPoint(s.from), GetPoint(s.to), other.GetPoint(u.from),
                                                other.GetPoint(u.to), out);
        if (code <= 0 || code > 0xFF)
            continue;
        const bool newHere = (code & kInsideAB) && cutsT.Inside(s, out[0]);
        const bool newOther = (code & kInsideCD) && cutsO.Inside(u, out[0]);
        if (newHere || (newOther && !(code & kInsideAB)))
            list.AddPoint(out[0]);
    }
    if (addedHere)
        *addedHere = cutsT.InnerCount();
    if (addedOther)
        *addedOther = cutsO.InnerCount();
    cutsT.Apply(*this, false);
    cutsO.Apply(other, false);
    if (points)
        *points = std::move(list);
    return true;
}

bool SplitLineByPolygon(const CShape& line, const CShape& polygon, CShape* inside, CShape* outside)
{
    CShape in, out;
    in.RemoveAll();
    if (!ExtentsMeet(line.GetExtent(), polygon.GetExtent())) {
        out.Copy(line);
    } else {
        CShape pieces;
        pieces.Copy(line);
        SplitAgainst(pieces, polygon, true, 0, true, nullptr);
        out.RemoveAll();
        const CMapRect& e = polygon.GetExtent();
        for (int k = 0, first = 0; k < pieces.GetPartCount() && first < pieces.GetPointCount(); ++k) {
            const int n = std::clamp(pieces.GetPartSize(k), 0, pieces.GetPointCount() - first);
            const CMapPoint* p = pieces.Points().GetData() + first;
            first += n;
            if (n == 0)
                continue;
            const CMapPoint test = n == 1   ? p[0]
                                   : n == 2 ? CMapPoint((p[0].x + p[1].x) / 2, (p[0].y + p[1].y) / 2)
                                            : p[1];
            const bool inExtent = test.x >= e.left && test.x <= e.right && test.y >= e.bottom && test.y <= e.top;
            const bool isInside =
                (inExtent && polygon.PointInPolygon(test) != 0) || (n == 2 && OnRingBoundary(polygon, test));
            (isInside ? in : out).AddPartPoints(n, p, false);
        }
        in.RecalcBounds();
        out.RecalcBounds();
    }
    if (inside)
        *inside = std::move(in);
    if (outside)
        *outside = std::move(out);
    return true;
}
