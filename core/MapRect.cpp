#include "core/MapRect.h"

#include <algorithm>
#include <cmath>

bool CMapRect::UnionRect(const CMapRect& a, const CMapRect& b)
{
    const CMapRect r(std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
                     std::min(a.bottom, b.bottom));
    *this = r;
    return IsValid();
}

bool CMapRect::IntersectRect(const CMapRect& a, const CMapRect& b)
{
    const CMapRect r(std::max(a.left, b.left), std::min(a.top, b.top), std::min(a.right, b.right),
                     std::max(a.bottom, b.bottom));
    *this = r;
    return IsValid();
}

void CMapRect::UnionPoint(const CMapPoint& p)
{
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::max(top, p.y);
    bottom = std::min(bottom, p.y);
}

void CMapRect::Scale(double f)
{
    const double dx = (f - 1) * (right - left) / 2;
    const double dy = (f - 1) * (top - bottom) / 2;
    left -= dx;
    right += dx;
    top += dy;
    bottom -= dy;
}

double CMapRect::Area() const
{
    return std::fabs((bottom - top) * (right - left));
}

namespace {

enum : int { kBelow = 1, kAbove = 2, kRightOf = 4, kLeftOf = 8 };

int OutCode(const CMapRect& r, const CMapPoint& p)
{
    int code = 0;
    if (p.x < r.left)
        code |= kLeftOf;
    else if (p.x > r.right)
        code |= kRightOf;
    if (p.y > r.top)
        code |= kAbove;
    else if (p.y < r.bottom)
        code |= kBelow;
    return code;
}

} // namespace

bool CMapRect::ClipSegment(const CMapPoint& p, const CMapPoint& q, CMapPoint& pOut, CMapPoint& qOut) const
{
    if (!IsValid())
        return false;
    CMapPoint a = p;
    CMapPoint b = q;
    int codeA = OutCode(*this, a);
    int codeB = OutCode(*this, b);
    // Each pass puts one end exactly on a border line; rounding near a corner
    // could bounce an end between two borders, so the passes are bounded.
    for (int pass = 0; (codeA | codeB) != 0; ++pass) {
        if ((codeA & codeB) != 0)
            return false;
        if (pass == 16) {
            a = CMapPoint(std::clamp(a.x, left, right), std::clamp(a.y, bottom, top));
            b = CMapPoint(std::clamp(b.x, left, right), std::clamp(b.y, bottom, top));
            break;
        }
        const bool moveA = codeA != 0;
        CMapPoint& m = moveA ? a : b;
        const CMapPoint& o = moveA ? b : a;
        const int code = moveA ? codeA : codeB;
        // A shared bit was ruled out above, so the other end lies across
        // this border and the divisions below are by a non-zero amount.
        if (code & kLeftOf)
            m = CMapPoint(left, m.y + (o.y - m.y) * (left - m.x) / (o.x - m.x));
        else if (code & kRightOf)
            m = CMapPoint(right, m.y + (o.y - m.y) * (right - m.x) / (o.x - m.x));
        else if (code & kAbove)
            m = CMapPoint(m.x + (o.x - m.x) * (top - m.y) / (o.y - m.y), top);
        else
            m = CMapPoint(m.x + (o.x - m.x) * (bottom - m.y) / (o.y - m.y), bottom);
        (moveA ? codeA : codeB) = OutCode(*this, m);
    }
    pOut = a;
    qOut = b;
    return true;
}
