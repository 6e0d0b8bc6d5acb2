#include "platform/ScanConverter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// 16.16 slopes are kept below this, so that stepping them along the rows
// an edge spans cannot overflow.
constexpr double kMaxSlope = 9.0e15;

} // namespace

void CScanConverter::AddRing(const CPoint* points, std::size_t count)
{
    if (!points || count < 2)
        return;
    auto fixedX = [&](const CPoint& p) { return std::int64_t(p.x) * 64 + m_shiftX; };
    auto fixedY = [&](const CPoint& p) { return std::int64_t(p.y) * 64 + m_shiftY; };
    for (std::size_t i = 0; i < count; ++i) {
        const CPoint& a = points[i];
        const CPoint& b = points[i + 1 < count ? i + 1 : 0];
        Edge e;
        if (Edge::Make(fixedX(a), fixedY(a), fixedX(b), fixedY(b), e))
            m_edges.push_back(e);
    }
}

bool CScanConverter::Edge::Make(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, Edge& e)
{
    int winding = 1;
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
        winding = -1;
    }
    // The rows whose centres lie below the upper end and not below the lower one.
    const std::int64_t top = (ay + 32) >> 6;
    const std::int64_t bottom = (by - 32) >> 6;
    if (top > bottom)
        return false;
    e.top = top;
    e.bottom = bottom;
    e.ay = ay;
    e.winding = winding;
    e.x0 = 32768 + ax * 1024;
    e.slope = 0;
    if (bx != ax) {
        // Truncated as Qt truncates it.
        const double slope = std::clamp(double(bx - ax) / double(by - ay) * 65536.0, -kMaxSlope, kMaxSlope);
        e.slope = static_cast<std::int64_t>(slope);
    }
    return true;
}

std::int64_t CScanConverter::Edge::XAt(std::int64_t row) const
{
    // From the upper end down to the row's centre, in 16.16.
    const __int128 down = __int128(row) * 65536 + 32768 - __int128(ay) * 1024;
    return x0 + static_cast<std::int64_t>((__int128(slope) * down) >> 16);
}

void CScanConverter::SortByX(std::vector<Active>& active)
{
    // Rows mostly keep the order of the row before: an insertion sort, until
    // edges crossing all over make it cost more than sorting afresh.
    const std::size_t n = active.size();
    std::size_t budget = 8 * n + 64;
    for (std::size_t i = 1; i < n; ++i) {
        if (active[i - 1].x <= active[i].x)
            continue;
        const Active a = active[i];
        std::size_t j = i;
        while (j > 0 && active[j - 1].x > a.x) {
            active[j] = active[j - 1];
            --j;
            if (--budget == 0) {
                active[j] = a;
                std::sort(active.begin(), active.end(), [](const Active& l, const Active& r) { return l.x < r.x; });
                return;
            }
        }
        active[j] = a;
    }
}

void CScanConverter::Fill(bool winding, const CRect& box, const SpanSink& sink)
{
    if (box.IsRectEmpty() || m_edges.empty())
        return;
    const int mask = winding ? ~0 : 1;
    std::sort(m_edges.begin(), m_edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
    m_active.clear();
    const std::int64_t last = std::int64_t(box.bottom) - 1;
    std::size_t next = 0;
    std::int64_t y = box.top;
    while (y <= last) {
        while (next < m_edges.size() && m_edges[next].top <= y) {
            const Edge& e = m_edges[next++];
            if (e.bottom >= y)
                m_active.push_back(Active{e.XAt(y), e.slope, e.bottom, e.winding});
        }
        if (m_active.empty()) {
            if (next >= m_edges.size())
                break;
            y = m_edges[next].top;
            continue;
        }
        SortByX(m_active);

        // Runs between crossings where the rule says inside; touching runs
        // go out as one.
        const int row = static_cast<int>(y);
        std::int64_t runStart = 0, runEnd = 0;
        bool open = false;
        auto flush = [&] {
            const std::int64_t x0 = std::max<std::int64_t>(runStart, box.left);
            const std::int64_t x1 = std::min<std::int64_t>(runEnd, box.right);
            if (x0 < x1)
                sink(row, static_cast<int>(x0), static_cast<int>(x1));
        };
        int turns = 0;
        std::int64_t previous = 0;
        for (const Active& a : m_active) {
            const std::int64_t x = a.x >> 16;
            if ((turns & mask) && previous < x) {
                if (open && previous <= runEnd) {
                    runEnd = x;
                } else {
                    if (open)
                        flush();
                    runStart = previous;
                    runEnd = x;
                    open = true;
                }
            }
            previous = x;
            turns += a.winding;
        }
        if (open)
            flush();

        // Edges ending on this row leave; the others step to the next.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_active.size(); ++i) {
            if (m_active[i].bottom <= y)
                continue;
            m_active[i].x += m_active[i].slope;
            if (kept != i)
                m_active[kept] = m_active[i];
            ++kept;
        }
        m_active.resize(kept);
        ++y;
    }
    m_active.clear();
}
