#pragma once

#include "core/MapPoint.h"

#include <cfloat>

// An axis-parallel rectangle in map units. top is the larger y. Valid when
// left <= right and top >= bottom; a point is the degenerate {x, y, x, y}.
// The empty rectangle (the default) is reversed by the largest amounts, so a
// union with it yields the other operand: extents accumulate from it.
class CMapRect {
public:
    double left = DBL_MAX;
    double top = -DBL_MAX;
    double right = -DBL_MAX;
    double bottom = DBL_MAX;

    constexpr CMapRect() = default;
    constexpr CMapRect(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
    constexpr explicit CMapRect(const CMapPoint& p) : left(p.x), top(p.y), right(p.x), bottom(p.y) {}

    friend constexpr bool operator==(const CMapRect&, const CMapRect&) = default;

    static constexpr CMapRect Empty() { return CMapRect(); }
    void SetEmpty() { *this = CMapRect(); }
    bool IsValid() const { return left <= right && top >= bottom; }
    // All four sides are numbers; the empty rectangle is.
    bool IsFinite() const
    {
        return std::isfinite(left) && std::isfinite(top) && std::isfinite(right) && std::isfinite(bottom);
    }

    double Width() const { return right - left; }
    double Height() const { return top - bottom; }
    CMapPoint Center() const { return CMapPoint((left + right) / 2, (top + bottom) / 2); }

    // this = the bounding rectangle of a and b (either may be this); true when valid.
    bool UnionRect(const CMapRect& a, const CMapRect& b);
    // this = the common part of a and b; false (leaving the reversed
    // rectangle in place) when they do not meet.
    bool IntersectRect(const CMapRect& a, const CMapRect& b);
    // Grows the rectangle by the point.
    void UnionPoint(const CMapPoint& p);
    // Scales about the centre; f < 1 shrinks.
    void Scale(double f);
    double Area() const;

    // Cohen-Sutherland: true with the clipped ends when some part of p-q
    // lies inside or on the rectangle.
    bool ClipSegment(const CMapPoint& p, const CMapPoint& q, CMapPoint& pOut, CMapPoint& qOut) const;
};
