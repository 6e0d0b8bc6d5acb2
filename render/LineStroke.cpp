#include "render/LineStroke.h"

#include "platform/DC.h"
#include "platform/Rect.h"
#include "render/ChessboardWalk.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

int Sign(std::int64_t v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Where a Bresenham walk from a to b stands after k of its n steps: the
// error starts at the major length and loses the minor one a step, the
// minor coordinate stepping whenever it falls to 0 or below, which puts
// the minor coordinate at floor(k * minor / major).
CPoint WalkPoint(CPoint a, CPoint b, std::int64_t k, std::int64_t n)
{
    if (n == 0)
        return a;
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t dy = std::int64_t(b.y) - a.y;
    if (std::llabs(dx) >= std::llabs(dy))
        return CPoint(static_cast<int>(a.x + Sign(dx) * k), static_cast<int>(a.y + Sign(dy) * (k * std::llabs(dy) / n)));
    return CPoint(static_cast<int>(a.x + Sign(dx) * (k * std::llabs(dx) / n)), static_cast<int>(a.y + Sign(dy) * k));
}

// Segment directions of the copy strokes: along x (+1 towards larger x),
// along y (+2 towards larger y).
int Direction(CPoint a, CPoint b)
{
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t dy = std::int64_t(b.y) - a.y;
    if (std::llabs(dy) < std::llabs(dx))
        return dx > 0 ? 1 : -1;
    return dy > 0 ? 2 : -2;
}

bool AlongX(int direction)
{
    return direction == 1 || direction == -1;
}

// A change of direction at a vertex, as one number for a switch.
constexpr int Turn(int previous, int current)
{
    return previous * 10 + current;
}

} // namespace

bool CLineStroke::DrawParts(const CPoint* points, const int* counts, int partCount)
{
    bool all = true;
    const CPoint* part = points;
    for (int i = 0; i < partCount; ++i) {
        const int n = std::max(counts[i], 0);
        if (!Draw(part, n))
            all = false;
        part += n;
    }
    return all;
}

void CLineStroke::MoveTo(CPoint p)
{
    m_dc.MoveTo(p);
    if (m_second)
        m_second->MoveTo(p);
}

void CLineStroke::LineTo(CPoint p)
{
    m_dc.LineTo(p);
    if (m_second)
        m_second->LineTo(p);
}

// ---- Polyline ------------------------------------------------------------

bool CPolylineStroke::Draw(const CPoint* points, int count)
{
    const bool drawn = m_dc.Polyline(points, count);
    if (m_second)
        m_second->Polyline(points, count);
    return drawn;
}

// ---- Shifted copy --------------------------------------------------------

bool CShiftedStroke::Draw(const CPoint* points, int count)
{
    const bool drawn = m_dc.Polyline(points, count);
    if (m_second)
        m_second->Polyline(points, count);
    int previous = 0;
    for (int i = 1; i < count; ++i) {
        const CPoint a = points[i - 1];
        const CPoint b = points[i];
        if (a == b)
            continue;
        const int direction = Direction(a, b);
        const CSize shift = AlongX(direction) ? CSize(0, m_b) : CSize(m_a, 0);
        const CPoint start = a + shift;
        // Closing the gap at the vertex, from the end of the previous copy.
        if ((previous == 1 && direction == -2) || (previous == 2 && direction == -1)) {
            LineTo(a + CSize(m_a, m_b));
            LineTo(start);
        } else if ((previous == 1 && direction == 2) || (previous == 2 && direction == 1)) {
            LineTo(a);
        } else if (previous == -2 && direction == -1) {
            MoveTo(a + CSize(m_a, 0));
            LineTo(a);
        } else if (previous == -1 && direction == -2) {
            MoveTo(a + CSize(0, m_b));
            LineTo(a);
        }
        Segment(start, b + shift);
        previous = direction;
    }
    return drawn;
}

// ---- Casing --------------------------------------------------------------

bool CCasingStroke::Draw(const CPoint* points, int count)
{
    const int a = m_a, b = m_b, ha = m_a / 2, hb = m_b / 2;
    bool drawn = false;
    int previous = 0;
    for (int i = 1; i < count; ++i) {
        const CPoint p = points[i - 1];
        const CPoint q = points[i];
        if (p == q)
            continue;
        const int direction = Direction(p, q);
        const int x = p.x, y = p.y;
        auto join = [&](int x1, int y1, int x2, int y2) { Segment(CPoint(x1, y1), CPoint(x2, y2)); };
        if (previous != 0 && previous != direction) {
            switch (Turn(previous, direction)) {
            case Turn(1, -2):
            case Turn(2, -1):
                join(x, y + b, x + a, y + b);
                join(x + a, y, x + a, y + b);
                break;
            case Turn(1, -1): join(x + ha, y, x + ha, y + b); break;
            case Turn(1, 2):
                join(x, y - hb, x + a, y - hb);
                join(x, y + b, x, y + hb);
                break;
            case Turn(2, -2): join(x, y + hb, x + a, y + hb); break;
            case Turn(2, 1): join(x - ha, y, x - ha, y + b); break;
            case Turn(-2, -1):
                join(x, y - hb, x + a, y - hb);
                join(x + a, y, x + a, y + hb);
                break;
            case Turn(-2, 1): join(x - ha, y, x - ha, y + hb); break;
            case Turn(-2, 2): join(x, y - hb, x + a, y - hb); break;
            case Turn(-1, -2):
                join(x, y + b, x - ha, y + b);
                join(x - ha, y, x - ha, y + b);
                break;
            case Turn(-1, 1): join(x - ha, y, x - ha, y + b); break;
            case Turn(-1, 2):
                join(x, y - hb, x + a, y - hb);
                join(x + a, y, x + a, y - hb);
                break;
            default: break;
            }
        }
        const bool alongX = AlongX(direction);
        const CSize outer = alongX ? CSize(0, b) : CSize(a, 0);
        const CSize inner = alongX ? CSize(0, -hb) : CSize(-ha, 0);
        Segment(p + outer, q + outer);
        Segment(p + inner, q + inner);
        drawn = true;
        previous = direction;
    }
    return drawn;
}

// ---- Dashes --------------------------------------------------------------

void CDashStroke::SetElements(const std::vector<int>& lengths)
{
    m_elements.clear();
    for (int length : lengths)
        m_elements.push_back(std::max(length, 1));
}

void CDashStroke::BeginStroke()
{
    if (!m_path)
        return;
    m_dc.BeginPath();
    if (m_second)
        m_second->BeginPath();
}

void CDashStroke::EndStroke()
{
    if (!m_path)
        return;
    m_dc.EndPath();
    m_dc.StrokePath();
    if (m_second) {
        m_second->EndPath();
        m_second->StrokePath();
    }
}

bool CDashStroke::Draw(const CPoint* points, int count)
{
    if (!CanWalk(count))
        return false;
    BeginStroke();
    Walk(points, count);
    EndStroke();
    return true;
}

void CDashStroke::Walk(const CPoint* points, int count)
{
    const std::size_t n = m_elements.size();
    std::size_t element = 0;
    MoveTo(points[0]);
    WalkCuts(
        points, count, m_elements[0],
        [&](CPoint a, CPoint b, std::int64_t k, std::int64_t steps) {
            element = (element + 1) % n;
            const CPoint at = WalkPoint(a, b, k, steps);
            if (m_phase < 2 && static_cast<int>(element & 1) == m_phase)
                MoveTo(at); // a drawn element begins
            else
                LineTo(at); // a drawn element ends
            return m_elements[element];
        },
        [&](CPoint b) {
            if (Drawn(element))
                LineTo(b);
        });
}

bool CPlusDashStroke::Draw(const CPoint* points, int count)
{
    if (!CanWalk(count))
        return false;
    BeginStroke();
    Walk(points, count);
    const CSize shifts[4] = {{m_shiftX, 0}, {0, m_shiftY}, {-m_shiftX, 0}, {0, -m_shiftY}};
    m_shifted.resize(static_cast<std::size_t>(count));
    for (const CSize& shift : shifts) {
        for (int i = 0; i < count; ++i)
            m_shifted[static_cast<std::size_t>(i)] = points[i] + shift;
        Walk(m_shifted.data(), count);
    }
    EndStroke();
    return true;
}

// ---- Dots ----------------------------------------------------------------

void CDotStroke::Dot(CPoint p)
{
    if (m_width < 2) {
        if (m_deviceSpacing)
            m_dc.DPtoLP(&p);
        m_dc.SetPixelV(p.x, p.y, m_colour);
        if (m_second)
            m_second->SetPixelV(p.x, p.y, m_colour);
        return;
    }
    const int left = p.x - m_width / 2;
    const int top = p.y - m_height / 2;
    CRect box(left, top, left + m_width, top + m_height);
    if (m_deviceSpacing)
        m_dc.DPtoLP(&box);
    m_dc.Ellipse(box);
    if (m_second)
        m_second->Ellipse(box);
}

bool CDotStroke::Draw(const CPoint* points, int count)
{
    if (count < 1 || m_spacing < 2)
        return false;
    if (m_deviceSpacing) {
        m_device.assign(points, points + count);
        m_dc.LPtoDP(m_device.data(), count);
        points = m_device.data();
    }
    Walk(points, count);
    return true;
}

void CDotStroke::Walk(const CPoint* points, int count)
{
    Dot(points[0]);
    std::int64_t left = m_spacing;
    for (int i = 1; i < count; ++i) {
        const CPoint a = points[i - 1];
        const CPoint b = points[i];
        const std::int64_t dx = std::int64_t(b.x) - a.x;
        const std::int64_t dy = std::int64_t(b.y) - a.y;
        const bool xMajor = std::llabs(dx) >= std::llabs(dy);
        CPoint at = a;
        for (;;) {
            const std::int64_t length = ChessboardSteps(at, b);
            if (left >= length) {
                left -= length;
                break;
            }
            // The next dot, left steps on along the major axis, the minor
            // coordinate on the segment from its start.
            if (xMajor) {
                const std::int64_t x = at.x + Sign(dx) * left;
                at = CPoint(static_cast<int>(x), static_cast<int>(a.y + RoundedQuotient((x - a.x) * dy, dx)));
            } else {
                const std::int64_t y = at.y + Sign(dy) * left;
                at = CPoint(static_cast<int>(a.x + RoundedQuotient((y - a.y) * dx, dy)), static_cast<int>(y));
            }
            Dot(at);
            left = m_spacing;
        }
    }
}
