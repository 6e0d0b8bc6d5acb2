#include "core/ShapeOverlay.h"

#include "core/MapGeometry.h"
#include "core/PolygonSet.h"
#include "core/SegmentPairs.h"
#include "core/Shape.h"

#include <algorithm>
#include <new>

namespace {

// -1 when the overlay could not be computed, else whether the result has
// rings; out is written only on success.
int Overlay(int op, const CShape& a, const CShape& b, CShape* out)
{
    try {
        CPolygonSet setA, setB, result;
        if (!setA.FromShape(a) || !setB.FromShape(b) || !CPolygonSet::ClipPolygons(op, setA, setB, result))
            return -1;
        if (!out)
            return result.IsEmpty() ? 0 : 1;
        CShape shape;
        result.ToShape(shape);
        *out = std::move(shape);
        return out->GetPointCount() > 0 ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

// The first meeting of a segment of a with one of b (IntersectSegments), or 0.
int FirstSegmentMeeting(const CShape& a, bool aClosed, const CShape& b, bool bClosed)
{
    std::vector<CShapeSegment> segA, segB;
    std::vector<CSegmentBox> boxA, boxB;
    CollectShapeSegments(a, aClosed, segA, boxA);
    CollectShapeSegments(b, bClosed, segB, boxB);
    int code = 0;
    ForEachMeetingBoxPair(boxA, boxB, [&](int i, int j) {
        CMapPoint out[2];
        const CShapeSegment& s = segA[static_cast<size_t>(i)];
        const CShapeSegment& t = segB[static_cast<size_t>(j)];
        code = IntersectSegments(a.GetPoint(s.from), a.GetPoint(s.to), b.GetPoint(t.from), b.GetPoint(t.to), out);
        return code != 0;
    });
    return code;
}

// The largest PointInPolygon answer of the first point of each part of
// `from` in `in`, stopping at the first point on the boundary.
int PartStartsInPolygon(const CShape& from, const CShape& in)
{
    int best = 0;
    for (int k = 0, first = 0; k < from.GetPartCount() && first < from.GetPointCount(); ++k) {
        const int size = std::clamp(from.GetPartSize(k), 0, from.GetPointCount() - first);
        if (size > 0) {
            const CMapPoint& p = from.GetPoint(first);
            const CMapRect& e = in.GetExtent();
            if (p.x >= e.left && p.x <= e.right && p.y >= e.bottom && p.y <= e.top) {
                const int r = in.PointInPolygon(p);
                if (r == 2)
                    return 2;
                best = std::max(best, r);
            }
        }
        first += size;
    }
    return best;
}

int MirrorRelation(int code)
{
    switch (code) {
    case kRingAContainsB:
        return kRingBContainsA;
    case kRingBContainsA:
        return kRingAContainsB;
    case kRingAContainsBTouching:
        return kRingBContainsATouching;
    case kRingBContainsATouching:
        return kRingAContainsBTouching;
    default:
        return code;
    }
}

} // namespace

bool CShape::Intersect(const CShape& other, CShape* out) const
{
    return Overlay(CPolygonSet::kIntersection, *this, other, out) == 1;
}

bool CShape::Union(const CShape& other, CShape& out) const
{
    return Overlay(CPolygonSet::kUnion, *this, other, &out) == 1;
}

bool CShape::Subtract(const CShape& other, CShape& out) const
{
    return Overlay(CPolygonSet::kDifference, *this, other, &out) == 1;
}

int ClassifyRingRelation(const CMapPoint* a, int na, const CMapPoint* b, int nb)
{
    if (na < 3 || nb < 3)
        return kRingsApart;
    try {
        CShape ringA, ringB;
        ringA.SetPoints(na, a);
        ringB.SetPoints(nb, b);
        if (!ExtentsMeet(ringA.GetExtent(), ringB.GetExtent()))
            return kRingsApart;
        CPolygonSet setA, setB, common;
        setA.AddContour(a, na, false);
        setB.AddContour(b, nb, false);
        if (!CPolygonSet::ClipPolygons(CPolygonSet::kIntersection, setA, setB, common))
            return kRingsFailed;
        const bool overlap = !common.IsEmpty();
        const bool contact = FirstSegmentMeeting(ringA, true, ringB, true) != 0;
        if (!overlap)
            return contact ? kRingsTouch : kRingsApart;
        if (!contact)
            return ExtentInside(ringB.GetExtent(), ringA.GetExtent()) ? kRingAContainsB : kRingBContainsA;
        CPolygonSet aOnly, bOnly;
        if (!CPolygonSet::ClipPolygons(CPolygonSet::kDifference, setA, setB, aOnly) ||
            !CPolygonSet::ClipPolygons(CPolygonSet::kDifference, setB, setA, bOnly))
            return kRingsFailed;
        if (aOnly.IsEmpty())
            return bOnly.IsEmpty() ? kRingsEqual : kRingBContainsATouching;
        return bOnly.IsEmpty() ? kRingAContainsBTouching : kRingsCross;
    } catch (const std::bad_alloc&) {
        return kRingsFailed;
    }
}

bool CShape::RingRelationMatrix(std::vector<int>& matrix) const
{
    // Every pair is an overlay; beyond this many rings the work and the
    // matrix are out of proportion.
    constexpr int kMaxParts = 4096;
    const int n = GetPartCount();
    if (n > kMaxParts)
        return false;
    std::vector<int> starts(static_cast<size_t>(n)), sizes(static_cast<size_t>(n));
    for (int k = 0, first = 0, size = 0; k < n; ++k, first += size) {
        size = PartSizeAt(k, first);
        starts[static_cast<size_t>(k)] = first;
        sizes[static_cast<size_t>(k)] = size;
    }
    const size_t un = static_cast<size_t>(n);
    std::vector<int> result(un * un, 0);
    bool undefined = false;
    for (size_t i = 0; i < un; ++i) {
        for (size_t j = i + 1; j < un; ++j) {
            const int code = ClassifyRingRelation(m_points.GetData() + starts[i], sizes[i],
                                                  m_points.GetData() + starts[j], sizes[j]);
            if (code == kRingsFailed)
                return false;
            undefined = undefined || code == kRingsEqual || code == kRingsCross;
            result[i * un + j] = code;
            result[j * un + i] = MirrorRelation(code);
        }
    }
    for (size_t i = 0; i < un; ++i) {
        int depth = 0;
        for (size_t j = 0; j < un; ++j) {
            const int code = result[i * un + j];
            depth += j != i && (code == kRingBContainsA || code == kRingBContainsATouching) ? 1 : 0;
        }
        result[i * un + i] = undefined ? -1 : depth;
    }
    matrix = std::move(result);
    return true;
}

bool CShape::ShapeIntersects(const CShape& other, int mode) const
{
    if (!ExtentsMeet(m_extent, other.m_extent))
        return false;
    const bool line = mode == 2;
    // Each part's own first point, so a part lying wholly inside is found;
    // in modes 0 and 1 both ways, for either area may hold the other.
    int inside = PartStartsInPolygon(*this, other);
    if (inside != 2 && !line)
        inside = std::max(inside, PartStartsInPolygon(other, *this));
    if (inside == 1)
        return true;
    if (inside == 2)
        return mode != 0 || Intersect(other);
    const int code = FirstSegmentMeeting(*this, !line, other, true);
    if (code == 0)
        return false;
    // In mode 0 only boundaries crossing inside both segments prove an
    // overlap; any other contact may be a touch, and the overlay decides.
    return mode != 0 || code == (kInsideAB | kInsideCD) || Intersect(other);
}

bool CShape::AreasOverlap(const CShape& other) const
{
    if (!ExtentsMeet(m_extent, other.m_extent))
        return false;
    return FirstSegmentMeeting(*this, true, other, true) != 0 || PartStartsInPolygon(*this, other) != 0 ||
           PartStartsInPolygon(other, *this) != 0;
}
