#include "core/MapGeometry.h"
#include "core/PolygonUnion.h"
#include "core/Shape.h"
#include "core/ShapeOverlay.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>

namespace {

constexpr int kProgressCaption = 125;

// sin(k * 10 degrees) for k = 0 ... 9, the last exactly 1.
const std::array<double, 10>& ArcTable()
{
    static const std::array<double, 10> table = [] {
        std::array<double, 10> t{};
        for (int k = 0; k < 9; ++k)
            t[static_cast<size_t>(k)] = std::sin(k * 10 * kDegToRad);
        t[9] = 1.0;
        return t;
    }();
    return table;
}

// sin and cos of any multiple of ten degrees from the table.
double ArcSin(int k)
{
    const std::array<double, 10>& t = ArcTable();
    k = ((k % 36) + 36) % 36;
    if (k <= 9)
        return t[static_cast<size_t>(k)];
    if (k <= 18)
        return t[static_cast<size_t>(18 - k)];
    if (k <= 27)
        return -t[static_cast<size_t>(k - 18)];
    return -t[static_cast<size_t>(36 - k)];
}

double ArcCos(int k)
{
    return ArcSin(k + 9);
}

// The direction of a segment in the scaled space: t clockwise from +y.
struct Direction {
    double sinT = 0;
    double cosT = 1;
    double degrees = 0;
    bool defined = false;
};

// The pieces of a buffer: one polygon per segment (or per lone point).
class CBufferPieces {
public:
    CBufferPieces(double r, double sx, double sy, int kind, bool roundEnds)
        : m_r(r), m_sx(sx), m_sy(sy), m_kind(kind), m_roundEnds(roundEnds)
    {
    }

    // The pieces of one part; false when the step callback stops the work.
    bool AddPart(const CMapPoint* p, int n, std::vector<CPolygonSet>& pieces, const std::function<bool()>& step)
    {
        if (n <= 0)
            return true;
        if (n == 1) {
            pieces.emplace_back();
            Circle(p[0], pieces.back());
            return step();
        }
        // Rings of the area kinds, and lines that come back to their start,
        // have no free ends: every vertex is a join, the first one too.
        const bool explicitlyClosed = n >= 3 && p[0] == p[n - 1];
        const bool areaKind = m_kind == CShape::kBufferGrow || m_kind == CShape::kBufferShrink;
        const bool ring = n >= 3 && (explicitlyClosed || areaKind);
        const int segments = n - 1 + (ring && !explicitlyClosed ? 1 : 0);
        const auto point = [&](int i) -> const CMapPoint& { return p[i % n]; };
        for (int i = 0; i < segments; ++i) {
            const CMapPoint& s = point(i);
            const CMapPoint& e = point(i + 1);
            const bool last = i == segments - 1;
            // After a ring's last segment comes its first one, from p[0] to p[1].
            const CMapPoint* next = !last ? &point(i + 2) : ring ? &point(1) : nullptr;
            pieces.emplace_back();
            CPolygonSet& piece = pieces.back();
            const Direction d = DirectionOf(s, e);
            if (!d.defined) {
                Circle(e, piece);
            } else if (m_kind == CShape::kBufferFlatEnds || m_kind == CShape::kBufferLeft) {
                OneSidedBand(s, e, d, next, piece);
            } else {
                const bool roundStart = i == 0 && m_roundEnds && !ring;
                const bool roundEnd = !last || m_roundEnds || ring;
                Band(s, e, d, roundStart, roundEnd, piece);
            }
            if (!step())
                return false;
        }
        return true;
    }

private:
    Direction DirectionOf(const CMapPoint& s, const CMapPoint& e) const
    {
        const double u = (e.x - s.x) * m_sx;
        const double v = (e.y - s.y) * m_sy;
        const double length = std::hypot(u, v);
        Direction d;
        if (!(length > 0) || !std::isfinite(length))
            return d;
        d.sinT = u / length;
        d.cosT = v / length;
        d.degrees = VectorAngleDegrees(u, v);
        d.defined = true;
        return d;
    }

    // O_k: from the left side of the direction (k = 0) through straight
    // ahead (9) to the right side (18), in map units.
    CMapPoint Offset(const Direction& d, int k) const
    {
        const double cosTA = d.cosT * ArcCos(k) - d.sinT * ArcSin(k);
        const double sinTA = d.sinT * ArcCos(k) + d.cosT * ArcSin(k);
        return CMapPoint(-m_r * cosTA / m_sx, m_r * sinTA / m_sy);
    }

    static CMapPoint Plus(const CMapPoint& p, const CMapPoint& o) { return CMapPoint(p.x + o.x, p.y + o.y); }

    // 37 points at every multiple of ten degrees, the last repeating the first.
    void Circle(const CMapPoint& p, CPolygonSet& piece) const
    {
        piece.InitSingleContour(39);
        for (int k = 0; k <= 18; ++k)
            piece.AddVertex(CMapPoint(p.x - m_r * ArcCos(k) / m_sx, p.y + m_r * ArcSin(k) / m_sy));
        for (int k = 1; k <= 18; ++k)
            piece.AddVertex(CMapPoint(p.x + m_r * ArcCos(k) / m_sx, p.y - m_r * ArcSin(k) / m_sy));
    }

    // A band of half-width r along the segment, a half circle ahead of its
    // end and, when asked, behind its start.
    void Band(const CMapPoint& s, const CMapPoint& e, const Direction& d, bool roundStart, bool roundEnd,
              CPolygonSet& piece) const
    {
        piece.InitSingleContour(39);
        piece.AddVertex(Plus(s, Offset(d, 0)));
        End(e, d, 1, roundEnd, piece);
        End(s, d, -1, roundStart, piece);
    }

    // The end of a band at p, from its left side round to its right ahead
    // of p (sign 1), or from its right side round to its left behind p
    // (sign -1); flat: the two sides only.
    void End(const CMapPoint& p, const Direction& d, int sign, bool round, CPolygonSet& piece) const
    {
        for (int k = 0; k <= 18; k += round ? 1 : 18) {
            const CMapPoint o = Offset(d, k);
            piece.AddVertex(CMapPoint(p.x + sign * o.x, p.y + sign * o.y));
        }
    }

    // Arc points of a turn of the given degrees, or 0 when no arc is due:
    // turns of 5 degrees or less, and angles past a half turn, which only
    // rounding in the side test can give.
    static int ArcPoints(double turn)
    {
        if (turn < -0.1)
            turn += 360;
        if (!(turn > 5) || turn > 180.1)
            return 0;
        return std::clamp(static_cast<int>(std::trunc(turn * 0.1 - 0.5)) + 1, 1, 18);
    }

    // Kind 3: the band with flat ends, its joins round on both sides;
    // kind 4: the left half only, its joins round on the left.
    void OneSidedBand(const CMapPoint& s, const CMapPoint& e, const Direction& d, const CMapPoint* next,
                      CPolygonSet& piece) const
    {
        int leftArc = 0, rightArc = 0; // joins on the outer side of right and left turns
        Direction dn;
        if (next && !(*next == e)) {
            dn = DirectionOf(e, *next);
            if (dn.defined) {
                if (PointRightOfSegment(s, e, *next))
                    leftArc = ArcPoints(dn.degrees - d.degrees);
                else
                    rightArc = ArcPoints(d.degrees - dn.degrees);
            }
        }
        piece.InitSingleContour(39);
        piece.AddVertex(s);
        if (m_kind == CShape::kBufferFlatEnds) {
            piece.AddVertex(Plus(s, Offset(d, 18)));
            for (int m = 0; m < rightArc; ++m)
                piece.AddVertex(Plus(e, Offset(d, 18 - m)));
            piece.AddVertex(Plus(e, rightArc > 0 ? Offset(dn, 18) : Offset(d, 18)));
            piece.AddVertex(e);
            if (leftArc > 0) {
                piece.AddVertex(Plus(e, Offset(dn, 0)));
                for (int m = leftArc - 1; m > 0; --m)
                    piece.AddVertex(Plus(e, Offset(d, m)));
            }
            piece.AddVertex(Plus(e, Offset(d, 0)));
            piece.AddVertex(Plus(s, Offset(d, 0)));
        } else {
            piece.AddVertex(Plus(s, Offset(d, 0)));
            for (int m = 0; m < leftArc; ++m)
                piece.AddVertex(Plus(e, Offset(d, m)));
            piece.AddVertex(Plus(e, leftArc > 0 ? Offset(dn, 0) : Offset(d, 0)));
            piece.AddVertex(e);
        }
        piece.AddVertex(s);
    }

    double m_r, m_sx, m_sy;
    int m_kind;
    bool m_roundEnds;
};

// Simplifies each part of the shape with x and y multiplied by the factors
// and keeps the original coordinates of the points that stay. A part left
// as two equal points goes. Returns the number of points removed.
int SimplifyParts(CShape& shape, double tolerance, double sx, double sy)
{
    const int before = shape.GetPointCount();
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    std::vector<CMapPoint> scaled, kept;
    for (int k = 0, first = 0; k < shape.GetPartCount(); ++k) {
        const int n = std::clamp(shape.GetPartSize(k), 0, before - first);
        const CMapPoint* original = shape.Points().GetData() + first;
        first += n;
        scaled.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            scaled[static_cast<size_t>(i)] = CMapPoint(original[i].x * sx, original[i].y * sy);
        kept.resize(static_cast<size_t>(n));
        const int m = SimplifyPolyline(scaled.data(), kept.data(), n, tolerance);
        if (m == 2 && kept[0] == kept[1])
            continue;
        // What stays is a subsequence of the scaled points: match it back.
        const int partStart = points.GetSize();
        for (int i = 0, j = 0; i < n && j < m; ++i) {
            if (scaled[static_cast<size_t>(i)] == kept[static_cast<size_t>(j)]) {
                points.Add(original[i]);
                ++j;
            }
        }
        sizes.push_back(static_cast<uint32_t>(points.GetSize() - partStart));
    }
    shape.SetParts(std::move(points), std::move(sizes));
    return before - shape.GetPointCount();
}

// RemoveSmallParts with the extents measured after scaling.
int RemoveSmallPartsScaled(CShape& shape, double minSize, double sx, double sy)
{
    const int count = shape.GetPointCount();
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    int removed = 0;
    for (int k = 0, first = 0; k < shape.GetPartCount(); ++k) {
        const int n = std::clamp(shape.GetPartSize(k), 0, count - first);
        const CMapPoint* p = shape.Points().GetData() + first;
        first += n;
        bool small;
        if (minSize > 0) {
            CMapRect e;
            for (int i = 0; i < n; ++i)
                e.UnionPoint(p[i]);
            small = n == 0 || (e.Width() * sx < minSize && e.Height() * sy < minSize);
        } else {
            small = n < 4 || (n == 4 && std::fabs(p[1].x - p[2].x) <= kSegmentTolerance &&
                              std::fabs(p[1].y - p[2].y) <= kSegmentTolerance);
        }
        if (small) {
            ++removed;
            continue;
        }
        points.Append(p, n);
        sizes.push_back(static_cast<uint32_t>(n));
    }
    if (removed == 0)
        return 0;
    shape.SetParts(std::move(points), std::move(sizes));
    return removed;
}

} // namespace

bool CShape::Buffer(double r, double sx, double sy, CShape& out, int kind, IProgress* progress, bool roundEnds,
                    bool showProgress) const
{
    const auto usable = [](double v) { return std::isfinite(v) && v > 0; };
    if (!(r == 0 || usable(r)) || !usable(sx) || !usable(sy) || kind < kBufferBand || kind > kBufferLeft)
        return false;
    if (!std::all_of(m_points.begin(), m_points.end(), [](const CMapPoint& p) { return p.IsFinite(); }))
        return false;
    try {
        CShape shape;
        shape.Copy(*this);
        shape.RemoveDuplicatePoints();
        const int count = shape.GetPointCount();

        std::unique_ptr<IProgress> ownProgress;
        IProgress* bar = nullptr;
        if (showProgress) {
            if (!progress)
                ownProgress = UserServices().CreateProgress(kProgressCaption);
            bar = progress ? progress : ownProgress.get();
        }
        if (bar) {
            bar->SetRange(0, static_cast<int>(std::min<int64_t>(2 * static_cast<int64_t>(count), INT32_MAX)));
            bar->SetStep(1);
            bar->SetPos(0);
        }
        const std::function<bool()> step = [bar] {
            if (!bar)
                return true;
            bar->StepIt();
            return !bar->CheckCancel();
        };

        // A zero distance gives no zone: only the area of kinds 1 and 2 is left.
        std::vector<CPolygonSet> pieces;
        if (r > 0) {
            pieces.reserve(static_cast<size_t>(count) + 1);
            CBufferPieces builder(r, sx, sy, kind, roundEnds);
            for (int k = 0, first = 0, size = 0; k < shape.GetPartCount(); ++k, first += size) {
                size = shape.PartSizeAt(k, first);
                if (!builder.AddPart(shape.m_points.GetData() + first, size, pieces, step))
                    return false;
            }
        }
        CPolygonSet zone;
        if (!UnitePolygonSets(pieces, zone, step))
            return false;
        CPolygonSet result;
        if (kind == kBufferGrow || kind == kBufferShrink) {
            CPolygonSet area;
            if (!area.FromShape(shape) ||
                !CPolygonSet::ClipPolygons(kind == kBufferGrow ? CPolygonSet::kUnion : CPolygonSet::kDifference,
                                           area, zone, result))
                return false;
        } else {
            result = std::move(zone);
        }
        CShape buffer;
        result.ToShape(buffer);
        out = std::move(buffer);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int CShape::Simplify(double tolerance)
{
    if (!(tolerance >= 0))
        return 0;
    return SimplifyParts(*this, tolerance, 1, 1);
}

int CShape::Generalize(double tolerance, double sx, double sy, double minPartSize)
{
    if (!(std::isfinite(sx) && sx > 0 && std::isfinite(sy) && sy > 0))
        return 0;
    if (sx == sy)
        return Simplify(tolerance);
    if (!(tolerance >= 0))
        return 0;
    const int before = GetPointCount();
    SimplifyParts(*this, tolerance, sx, sy);
    if (minPartSize > 0)
        RemoveSmallPartsScaled(*this, minPartSize, sx, sy);
    return before - GetPointCount();
}

int CShape::RemoveSmallParts(double minSize)
{
    return RemoveSmallPartsScaled(*this, minSize, 1, 1);
}

bool CShape::GetInteriorPoint(CMapPoint& point) const
{
    if (GetPointCount() == 0)
        return false;
    CMapRect extent;
    for (const CMapPoint& p : m_points)
        extent.UnionPoint(p);
    const CMapPoint centre = extent.Center();
    const int where = PointInPolygon(centre);
    if (where == 1 || where == 2) {
        point = centre;
        return true;
    }
    // The splitting reads the extent: a stale one is put right on a copy.
    CShape copy;
    if (!(extent == m_extent)) {
        copy.Copy(*this);
        copy.SetExtent(extent);
    }
    const CShape& area = extent == m_extent ? *this : copy;
    const CMapPoint ends[2] = {{extent.left, centre.y}, {extent.right, centre.y}};
    CShape line, inside;
    line.SetPoints(2, ends);
    SplitLineByPolygon(line, area, &inside, nullptr);
    // The first stretch whose middle is truly inside; one along the
    // boundary only when there is nothing better.
    point = m_points[0];
    bool found = false;
    for (int k = 0, first = 0; k < inside.GetPartCount(); first += inside.GetPartSize(k), ++k) {
        if (inside.GetPartSize(k) < 2)
            continue;
        const CMapPoint middle((inside.GetPoint(first).x + inside.GetPoint(first + 1).x) / 2, centre.y);
        const bool within = area.PointInPolygon(middle) == 1;
        if (!found || within)
            point = middle;
        found = true;
        if (within)
            break;
    }
    return true;
}
