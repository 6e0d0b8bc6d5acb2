#include "platform/WideStroker.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// The words of marks held at once: a long, wide stroke goes in bands of
// rows so that they stay few.
constexpr std::size_t kBandWords = std::size_t(1) << 18;

// The rows whose centres lie below top and not below bottom.
std::int64_t FirstRow(double top)
{
    return static_cast<std::int64_t>(std::floor(top + 0.5));
}

std::int64_t LastRow(double bottom)
{
    return static_cast<std::int64_t>(std::floor(bottom - 0.5));
}

// How far a sector reaches past its limits into the rectangles beside it.
constexpr double kOverlap = 1.0 / 16;

} // namespace

CWideStroker::CWideStroker(int width, Cap cap, double shiftX, double shiftY)
    : m_radius(width / 2.0), m_cap(cap), m_shiftX(shiftX), m_shiftY(shiftY)
{
}

void CWideStroker::AddFigure(const CPoint* points, std::size_t count, bool closed)
{
    Figure figure{m_points.size(), 0, closed};
    for (std::size_t i = 0; points && i < count; ++i)
        if (m_points.size() == figure.first || !(m_points.back() == points[i]))
            m_points.push_back(points[i]);
    figure.count = m_points.size() - figure.first;
    // Qt's stroker, whose pixels these follow, joins a figure that comes
    // back to its start instead of giving it two ends.
    if (figure.count > 2 && m_points[figure.first] == m_points.back()) {
        m_points.pop_back();
        --figure.count;
        figure.closed = true;
    }
    if (figure.count < 2) {
        m_points.resize(figure.first);
        return;
    }
    m_figures.push_back(figure);
}

void CWideStroker::Stroke(const CRect& box, const SpanSink& sink)
{
    if (box.IsRectEmpty() || m_figures.empty())
        return;
    // Rows the pen can reach: square ends reach past the points diagonally.
    const double reach = 2 * m_radius + 1;
    double lowest = m_points.front().y, highest = lowest;
    for (const CPoint& p : m_points) {
        lowest = std::min(lowest, double(p.y));
        highest = std::max(highest, double(p.y));
    }
    const std::int64_t top = std::max<std::int64_t>(box.top, FirstRow(lowest + m_shiftY - reach));
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t(box.bottom) - 1, LastRow(highest + m_shiftY + reach));
    if (top > bottom)
        return;
    // The runs are marked one bit a pixel, so that overlaps merge without
    // sorting; a band of rows at a time keeps the marks few.
    const auto words = static_cast<std::size_t>((box.Width() + 63) / 64);
    const auto bandRows = static_cast<std::int64_t>(std::max<std::size_t>(1, kBandWords / words));
    Marks marks;
    for (std::int64_t band = top; band <= bottom; band += bandRows) {
        marks.top = band;
        marks.bottom = std::min(bottom, band + bandRows - 1);
        const auto rows = static_cast<std::size_t>(marks.bottom - marks.top + 1);
        if (marks.bits.size() < rows * words)
            marks.bits.resize(rows * words, 0);
        marks.low.assign(rows, words);
        marks.high.assign(rows, 0);
        for (const Figure& figure : m_figures)
            MarkFigure(figure, box, marks);
        EmitMarks(box, marks, sink);
    }
}

void CWideStroker::MarkFigure(const Figure& figure, const CRect& box, Marks& marks) const
{
    const CPoint* p = m_points.data() + figure.first;
    const std::size_t n = figure.count;
    const bool closed = figure.closed;
    const double r = m_radius;
    const double reach = 2 * r + 1;
    auto px = [&](std::size_t i) { return p[i].x + m_shiftX; };
    auto py = [&](std::size_t i) { return p[i].y + m_shiftY; };
    // Whether rows from y0 to y1, give or take the pen's reach, meet the band.
    auto meets = [&](double y0, double y1) {
        return std::min(y0, y1) - reach <= double(marks.bottom) + 1 && std::max(y0, y1) + reach >= double(marks.top);
    };
    auto direction = [&](std::size_t i) {
        const std::size_t j = (i + 1) % n;
        const double dx = double(p[j].x) - p[i].x, dy = double(p[j].y) - p[i].y;
        const double length = std::hypot(dx, dy);
        return Limit{dx / length, dy / length};
    };
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t j = (i + 1) % n;
        const double ax = px(i), ay = py(i), bx = px(j), by = py(j);
        if (!meets(ay, by))
            continue;
        const Limit u = direction(i);
        const double nx = -u.y * r, ny = u.x * r;
        const bool square = m_cap == Cap::Square && !closed;
        const double before = square && i == 0 ? r : 0;
        const double after = square && i + 1 == segments ? r : 0;
        const double sx = ax - before * u.x, sy = ay - before * u.y;
        const double ex = bx + after * u.x, ey = by + after * u.y;
        const double x[4] = {sx + nx, ex + nx, ex - nx, sx - nx};
        const double y[4] = {sy + ny, ey + ny, ey - ny, sy - ny};
        MarkQuad(x, y, box, marks);
    }
    // A join is the sector between the two segments' ends on the outside
    // of the turn, as Qt's round joins go; a round end the half disc beyond
    // it. A line running straight on needs none.
    for (std::size_t i = 0; i < n; ++i) {
        const bool start = !closed && i == 0, end = !closed && i + 1 == n;
        if (((start || end) && m_cap != Cap::Round) || !meets(py(i), py(i)))
            continue;
        const std::size_t arriving = (i + segments - 1) % segments, leaving = i % segments;
        if (!start && !end) {
            const CPoint& a = p[(i + n - 1) % n];
            const CPoint& b = p[(i + 1) % n];
            const std::int64_t dx1 = std::int64_t(p[i].x) - a.x, dy1 = std::int64_t(p[i].y) - a.y;
            const std::int64_t dx2 = std::int64_t(b.x) - p[i].x, dy2 = std::int64_t(b.y) - p[i].y;
            if (dx1 * dy2 == dy1 * dx2 && dx1 * dx2 + dy1 * dy2 > 0)
                continue;
        }
        Sector sector;
        sector.cx = px(i);
        sector.cy = py(i);
        if (!start) // in front of the segment arriving
            sector.limits[sector.limitCount++] = direction(arriving);
        if (!end) { // behind the segment leaving
            const Limit u = direction(leaving);
            sector.limits[sector.limitCount++] = {-u.x, -u.y};
        }
        MarkSector(sector, box, marks);
    }
}

void CWideStroker::MarkSector(const Sector& sector, const CRect& box, Marks& marks) const
{
    if (sector.cx + m_radius < box.left - 1.0 || sector.cx - m_radius > box.right + 1.0)
        return;
    const std::int64_t first = std::max(marks.top, FirstRow(sector.cy - m_radius));
    const std::int64_t last = std::min(marks.bottom, LastRow(sector.cy + m_radius));
    for (std::int64_t row = first; row <= last; ++row) {
        const double dy = double(row) + 0.5 - sector.cy;
        const double h2 = m_radius * m_radius - dy * dy;
        if (h2 <= 0)
            continue;
        const double h = std::sqrt(h2);
        double lo = sector.cx - h, hi = sector.cx + h;
        // Where the row leaves each half plane (p - centre) . limit >= 0,
        // taken a little wider so that no pixel centre falls between it and
        // the rectangle beyond, which is stepped apart.
        bool inside = true;
        for (int k = 0; k < sector.limitCount; ++k) {
            const Limit& limit = sector.limits[k];
            const double cut = dy * limit.y + kOverlap;
            if (limit.x > 0)
                lo = std::max(lo, sector.cx - cut / limit.x);
            else if (limit.x < 0)
                hi = std::min(hi, sector.cx - cut / limit.x);
            else if (cut < 0)
                inside = false;
        }
        // Pixels whose centres lie right of lo and not right of hi.
        if (inside) {
            const auto x0 = static_cast<std::int64_t>(std::floor(lo + 0.5));
            const auto x1 = static_cast<std::int64_t>(std::floor(hi + 0.5));
            MarkRun(row, x0, x1, box, marks);
        }
    }
}

void CWideStroker::MarkQuad(const double* x, const double* y, const CRect& box, Marks& marks) const
{
    if (*std::max_element(x, x + 4) < box.left - 1.0 || *std::min_element(x, x + 4) > box.right + 1.0)
        return;
    // Corners in 26.6 fixed point, rounded as Qt rounds the outline.
    std::int64_t fx[4], fy[4];
    for (int k = 0; k < 4; ++k) {
        fx[k] = static_cast<std::int64_t>(std::floor(x[k] * 64 + 0.5));
        fy[k] = static_cast<std::int64_t>(std::floor(y[k] * 64 + 0.5));
    }
    Quad quad;
    std::int64_t first = std::numeric_limits<std::int64_t>::max(), last = std::numeric_limits<std::int64_t>::min();
    for (int k = 0; k < 4; ++k) {
        const int l = (k + 1) & 3;
        CScanConverter::Edge& side = quad.sides[quad.sideCount];
        if (!CScanConverter::Edge::Make(fx[k], fy[k], fx[l], fy[l], side))
            continue;
        ++quad.sideCount;
        first = std::min(first, side.top);
        last = std::max(last, side.bottom);
    }
    first = std::max(first, marks.top);
    last = std::min(last, marks.bottom);
    for (std::int64_t row = first; row <= last; ++row) {
        std::int64_t lo = std::numeric_limits<std::int64_t>::max();
        std::int64_t hi = std::numeric_limits<std::int64_t>::min();
        for (int k = 0; k < quad.sideCount; ++k) {
            const CScanConverter::Edge& side = quad.sides[k];
            if (row < side.top || row > side.bottom)
                continue;
            const std::int64_t at = side.XAt(row);
            lo = std::min(lo, at);
            hi = std::max(hi, at);
        }
        if (lo < hi)
            MarkRun(row, lo >> 16, hi >> 16, box, marks);
    }
}

void CWideStroker::MarkRun(std::int64_t y, std::int64_t x0, std::int64_t x1, const CRect& box, Marks& marks)
{
    x0 = std::max<std::int64_t>(x0 - box.left, 0);
    x1 = std::min<std::int64_t>(x1 - box.left, box.Width());
    if (x0 >= x1)
        return;
    const auto words = static_cast<std::size_t>((box.Width() + 63) / 64);
    const auto r = static_cast<std::size_t>(y - marks.top);
    std::uint64_t* row = marks.bits.data() + r * words;
    const auto w0 = static_cast<std::size_t>(x0 >> 6), w1 = static_cast<std::size_t>((x1 - 1) >> 6);
    const std::uint64_t first = ~std::uint64_t(0) << (x0 & 63);
    const std::uint64_t last = ~std::uint64_t(0) >> (63 - ((x1 - 1) & 63));
    if (w0 == w1) {
        row[w0] |= first & last;
    } else {
        row[w0] |= first;
        std::fill(row + w0 + 1, row + w1, ~std::uint64_t(0));
        row[w1] |= last;
    }
    marks.low[r] = std::min(marks.low[r], w0);
    marks.high[r] = std::max(marks.high[r], w1);
}

void CWideStroker::EmitMarks(const CRect& box, Marks& marks, const SpanSink& sink)
{
    // Each row's marks as runs, cleared for the next band.
    const auto words = static_cast<std::size_t>((box.Width() + 63) / 64);
    const std::int64_t width = box.Width();
    for (std::size_t r = 0; r < marks.low.size(); ++r) {
        if (marks.low[r] > marks.high[r])
            continue;
        const int y = static_cast<int>(marks.top + static_cast<std::int64_t>(r));
        std::uint64_t* row = marks.bits.data() + r * words;
        bool inside = false;
        std::int64_t start = 0;
        for (std::size_t w = marks.low[r]; w <= marks.high[r]; ++w) {
            const std::uint64_t v = row[w];
            row[w] = 0;
            int at = 0;
            while (at < 64) {
                const std::uint64_t rest = (inside ? ~v : v) >> at;
                if (rest == 0)
                    break;
                at += std::countr_zero(rest);
                const std::int64_t x = static_cast<std::int64_t>(w) * 64 + at;
                if (inside)
                    sink(y, static_cast<int>(box.left + start), static_cast<int>(box.left + x));
                else
                    start = x;
                inside = !inside;
            }
        }
        if (inside)
            sink(y, static_cast<int>(box.left + start),
                 static_cast<int>(box.left + std::min<std::int64_t>(width, std::int64_t(marks.high[r] + 1) * 64)));
    }
}
