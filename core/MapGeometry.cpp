#include "core/MapGeometry.h"

#include "core/SimplifyWindow.h"

#include <algorithm>
#include <cmath>

double PolylineLength(const CMapPoint* points, int n)
{
    double length = 0;
    for (int i = 1; i < n; ++i)
        length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    return length;
}

double SignedRingArea(const CMapPoint* points, int n)
{
    if (n < 3)
        return 0;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const CMapPoint& p = points[i];
        const CMapPoint& q = points[i + 1 < n ? i + 1 : 0];
        sum += (p.y + q.y) * (p.x - q.x);
    }
    return sum / 2;
}

double PolygonArea(const CMapPoint* points, int n)
{
    return std::fabs(SignedRingArea(points, n));
}

int PointInRing(const CMapPoint* points, int n, const CMapPoint& p)
{
    // A ray from p towards decreasing x. Where it runs through a vertex, the
    // edges on either side decide (horizontal ones between them ignored):
    // the same way up or down is one crossing, a turn is none. A vertex
    // left before any arrival was seen is settled against the last arrival,
    // which closes the ring.
    enum { kUnset = -1 };
    int result = 0;
    int arrival = kUnset;
    int firstLeave = kUnset;
    for (int i = 0; i < n; ++i) {
        const CMapPoint& a = points[i];
        const CMapPoint& b = points[i + 1 < n ? i + 1 : 0];
        if (p.y < std::min(a.y, b.y) || p.y > std::max(a.y, b.y))
            continue;
        if (a.y == b.y) {
            if (p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x))
                return 2;
            continue;
        }
        const int up = a.y < b.y ? 1 : 0;
        if (p.y != a.y && p.y != b.y) {
            const double x = a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
            if (x == p.x)
                return 2;
            if (x < p.x)
                result ^= 1;
        } else if (p.y == a.y) {
            if (p.x == a.x)
                return 2;
            if (a.x < p.x) {
                if (arrival == kUnset) {
                    if (firstLeave == kUnset)
                        firstLeave = up;
                } else if (up == arrival) {
                    result ^= 1;
                }
            }
        } else {
            if (p.x == b.x)
                return 2;
            if (b.x < p.x)
                arrival = up;
        }
    }
    if (firstLeave != kUnset && firstLeave == arrival)
        result ^= 1;
    return result;
}

namespace {

double Chebyshev(const CMapPoint& p, const CMapPoint& q)
{
    return std::max(std::fabs(p.x - q.x), std::fabs(p.y - q.y));
}

// The vertex replaces the best answer when it is not farther.
bool TakeVertex(const CMapPoint& vertex, int vertexIndex, const CMapPoint& p, double& best, int& index,
                CMapPoint& nearest)
{
    if (std::fabs(vertex.x - p.x) > best || std::fabs(vertex.y - p.y) > best)
        return false;
    best = Chebyshev(vertex, p);
    index = vertexIndex;
    nearest = vertex;
    return true;
}

} // namespace

bool FindNearestVertex(const CMapPoint* points, int n, const CMapPoint& p, double tolerance, int& index,
                       double* distance, CMapPoint* vertex)
{
    double best = tolerance;
    CMapPoint nearest;
    bool found = false;
    for (int i = 0; i < n; ++i)
        found |= TakeVertex(points[i], i, p, best, index, nearest);
    if (found) {
        if (distance)
            *distance = best;
        if (vertex)
            *vertex = nearest;
    }
    return found;
}

bool FindNearestSegment(const CMapPoint* points, int n, const CMapPoint& p, double tolerance, int& index,
                        double* distance, CMapPoint* nearestOut)
{
    double best = tolerance;
    CMapPoint nearest;
    bool found = false;
    if (n == 1)
        found = TakeVertex(points[0], 0, p, best, index, nearest);
    for (int i = 0; i + 1 < n; ++i) {
        const CMapPoint& a = points[i];
        const CMapPoint& b = points[i + 1];
        const double minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
        const double minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
        const double boxDistance =
            std::max({0.0, minX - p.x, p.x - maxX, minY - p.y, p.y - maxY});
        if (boxDistance > best)
            continue;
        if (a == b) {
            found |= TakeVertex(a, i, p, best, index, nearest);
        } else {
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            if (dy == 0) {
                if (p.x >= minX && p.x <= maxX && std::fabs(p.y - a.y) <= best) {
                    best = std::fabs(p.y - a.y);
                    index = i;
                    nearest = CMapPoint(p.x, a.y);
                    found = true;
                }
            } else if (dx == 0) {
                if (p.y >= minY && p.y <= maxY && std::fabs(p.x - a.x) <= best) {
                    best = std::fabs(p.x - a.x);
                    index = i;
                    nearest = CMapPoint(a.x, p.y);
                    found = true;
                }
            } else if (std::fabs(dx) + std::fabs(dy) > boxDistance) {
                const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
                const CMapPoint foot(a.x + t * dx, a.y + t * dy);
                const double d = Chebyshev(foot, p);
                if (d <= best && foot.x >= minX && foot.x <= maxX && foot.y >= minY && foot.y <= maxY) {
                    best = d;
                    index = i;
                    nearest = foot;
                    found = true;
                }
            }
            found |= TakeVertex(a, i, p, best, index, nearest);
        }
        if (i + 2 == n)
            found |= TakeVertex(b, n - 1, p, best, index, nearest);
    }
    if (found) {
        if (distance)
            *distance = best;
        if (nearestOut)
            *nearestOut = nearest;
    }
    return found;
}

namespace {

bool Near(const CMapPoint& p, const CMapPoint& q)
{
    return std::fabs(p.x - q.x) <= kSegmentTolerance && std::fabs(p.y - q.y) <= kSegmentTolerance;
}

double Cross(double ux, double uy, double vx, double vy)
{
    return ux * vy - uy * vx;
}

// p lies between the ends of s0-s1 along x, or along y when the segment is
// vertical; strictly means inside the open range by more than the tolerance.
bool LiesWithin(const CMapPoint& p, const CMapPoint& s0, const CMapPoint& s1, bool strictly)
{
    const bool vertical = std::fabs(s1.x - s0.x) <= kSegmentTolerance;
    const double v = vertical ? p.y : p.x;
    const double lo = vertical ? std::min(s0.y, s1.y) : std::min(s0.x, s1.x);
    const double hi = vertical ? std::max(s0.y, s1.y) : std::max(s0.x, s1.x);
    if (strictly)
        return v > lo + kSegmentTolerance && v < hi - kSegmentTolerance;
    return v >= lo && v <= hi;
}

int EndCode(double parameter, int atStart, int atEnd, int inside)
{
    if (std::fabs(parameter) <= kSegmentTolerance)
        return atStart;
    if (std::fabs(parameter - 1) <= kSegmentTolerance)
        return atEnd;
    return inside;
}

int IntersectSegmentsImpl(const CMapPoint& a, const CMapPoint& b, const CMapPoint& c, const CMapPoint& d,
                          CMapPoint out[2], bool strictOverlap)
{
    const double abx = b.x - a.x, aby = b.y - a.y;
    const double cdx = d.x - c.x, cdy = d.y - c.y;
    const double acx = c.x - a.x, acy = c.y - a.y;
    const double cross = Cross(abx, aby, cdx, cdy);
    if (std::fabs(cross) > kSegmentTolerance) {
        const double s = Cross(acx, acy, cdx, cdy) / cross;
        const double t = Cross(acx, acy, abx, aby) / cross;
        const double lo = -kSegmentTolerance, hi = 1 + kSegmentTolerance;
        if (!(s >= lo && s <= hi && t >= lo && t <= hi))
            return 0;
        const int codeAB = EndCode(s, kAtA, kAtB, kInsideAB);
        const int codeCD = EndCode(t, kAtC, kAtD, kInsideCD);
        if (codeAB == kAtA)
            out[0] = a;
        else if (codeAB == kAtB)
            out[0] = b;
        else if (codeCD == kAtC)
            out[0] = c;
        else if (codeCD == kAtD)
            out[0] = d;
        else
            out[0] = CMapPoint(a.x + s * abx, a.y + s * aby);
        if (codeAB != kInsideAB || codeCD != kInsideCD)
            return codeAB | codeCD;
        // An inner crossing that lands on an end is that end.
        const struct {
            const CMapPoint& end;
            int code;
        } ends[] = {{a, kAtA | kInsideCD}, {b, kAtB | kInsideCD}, {c, kInsideAB | kAtC}, {d, kInsideAB | kAtD}};
        for (const auto& e : ends) {
            if (Near(out[0], e.end)) {
                out[0] = e.end;
                return e.code;
            }
        }
        return kInsideAB | kInsideCD;
    }
    if (std::fabs(Cross(abx, aby, acx, acy)) > kSegmentTolerance)
        return 0; // parallel, apart

    int code = 0;
    int found = 0;
    const auto report = [&](const CMapPoint& p, int pointCode) {
        if (found == 2 || (found == 1 && out[0] == p))
            return;
        out[found] = p;
        code |= pointCode << (8 * found);
        ++found;
    };
    const auto onAB = [&](const CMapPoint& p) { return p == a ? kAtA : p == b ? kAtB : kInsideAB; };
    const auto onCD = [&](const CMapPoint& p) { return p == c ? kAtC : p == d ? kAtD : kInsideCD; };
    if (LiesWithin(c, a, b, strictOverlap))
        report(c, onAB(c) | kAtC);
    if (LiesWithin(d, a, b, strictOverlap))
        report(d, onAB(d) | kAtD);
    if (LiesWithin(a, c, d, strictOverlap))
        report(a, found == 0 ? kAtA | onCD(a) : kAtA | kInsideCD);
    if (LiesWithin(b, c, d, strictOverlap))
        report(b, found == 0 ? kAtB | onCD(b) : kAtB | kInsideCD);
    return code;
}

bool IsDegenerate(const CMapPoint& p, const CMapPoint& q)
{
    return Near(p, q);
}

} // namespace

int IntersectSegments(const CMapPoint& a, const CMapPoint& b, const CMapPoint& c, const CMapPoint& d,
                      CMapPoint out[2])
{
    if (IsDegenerate(a, b) || IsDegenerate(c, d))
        return 0;
    return IntersectSegmentsImpl(a, b, c, d, out, false);
}

int IntersectSegmentsExact(const CMapPoint& a, const CMapPoint& b, const CMapPoint& c, const CMapPoint& d,
                           CMapPoint out[2])
{
    if (IsDegenerate(a, b) || IsDegenerate(c, d))
        return 0;
    int code = 0;
    int found = 0;
    if (Near(a, c) || Near(a, d)) {
        code = kAtA | (Near(a, c) ? kAtC : kAtD);
        out[found++] = a;
    }
    if (Near(b, c) || Near(b, d)) {
        code |= (kAtB | (Near(b, c) ? kAtC : kAtD)) << (8 * found);
        out[found++] = b;
    }
    if (found > 0)
        return code;
    return IntersectSegmentsImpl(a, b, c, d, out, true);
}

bool PointRightOfSegment(const CMapPoint& p0, const CMapPoint& p1, const CMapPoint& q)
{
    return Cross(p1.x - p0.x, p1.y - p0.y, q.x - p0.x, q.y - p0.y) < 0;
}

double VectorAngle(double u, double v)
{
    if (u == 0)
        return v >= 0 ? 0 : kPi;
    if (v == 0)
        return u > 0 ? kPi / 2 : 3 * kPi / 2;
    double angle = std::atan2(u, v);
    if (angle < 0) {
        angle += 2 * kPi;
        if (angle >= 2 * kPi) // a tiny negative angle rounds up to a full turn
            angle = 0;
    }
    return angle;
}

double VectorAngleDegrees(double u, double v)
{
    return VectorAngle(u, v) * kRadToDeg;
}

int CompareVectorAngles(double x1, double y1, double x2, double y2)
{
    const auto quadrant = [](double x, double y) {
        if (x >= 0)
            return y >= 0 ? 0 : 1;
        return y < 0 ? 2 : 3;
    };
    const int q1 = quadrant(x1, y1);
    const int q2 = quadrant(x2, y2);
    if (q1 != q2)
        return q1 > q2 ? 1 : -1;
    const double cross = x1 * y2 - y1 * x2;
    return cross > 0 ? 1 : cross < 0 ? -1 : 0;
}

double GeoAzimuth(const CMapPoint& a, const CMapPoint& b)
{
    // The shorter way round decides east or west, also across 180 degrees.
    const double dl = std::remainder(b.x - a.x, 2 * kPi);
    if (dl == 0 || std::isnan(dl))
        return b.y >= a.y ? 0 : kPi;
    const double d = std::cos(a.y) * std::sin(b.y) / std::cos(b.y) - std::sin(a.y) * std::cos(dl);
    if (d == 0)
        return dl > 0 ? kPi / 2 : 3 * kPi / 2;
    double e = std::atan(std::sin(dl) / d);
    if (e < 0)
        e += kPi;
    return dl >= 0 ? e : e + kPi;
}

double GeoAzimuthDegrees(const CMapPoint& a, const CMapPoint& b)
{
    return GeoAzimuth(CMapPoint(a.x * kDegToRad, a.y * kDegToRad), CMapPoint(b.x * kDegToRad, b.y * kDegToRad)) *
           kRadToDeg;
}

int SimplifyPolyline(const CMapPoint* src, CMapPoint* dst, int n, double tolerance)
{
    const double tolerance2 = tolerance * tolerance;
    const auto firstFailure = [tolerance2](const CMapPoint* p, int anchor, int last) {
        const double dx = p[last].x - p[anchor].x;
        const double dy = p[last].y - p[anchor].y;
        const double limit = (dx * dx + dy * dy) * tolerance2;
        for (int i = anchor + 1; i < last; ++i) {
            const double area2 = Cross(dx, dy, p[i].x - p[anchor].x, p[i].y - p[anchor].y);
            if (area2 * area2 > limit)
                return i;
        }
        return -1;
    };
    return SimplifyByWindows(src, dst, n, 10, firstFailure);
}
