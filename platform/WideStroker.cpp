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
    std::vector<CPoint>& p = m_scratch;
    p.clear();
    for (std::size_t i = 0; points && i < count; ++i)
        if (p.empty() || !(p.back() == points[i]))
            p.push_back(points[i]);
    // Qt's stroker, whose pixels these follow, joins a figure that comes
    // back to its start instead of giving it two ends.
    if (p.size() > 2 && p.front() == p.back()) {
        p.pop_back();
        closed = true;
    }
    if (p.size() < 2)
        return;
    const std::size_t n = p.size();
    const double r = m_radius;
    auto px = [&](std::size_t i) { return p[i].x + m_shiftX; };
    auto py = [&](std::size_t i) { return p[i].y + m_shiftY; };
    const std::size_t segments = closed ? n : n - 1;
    // Unit directions of the segments, segment i running from point i on.
    std::vector<Limit>& u = m_directions;
    u.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t j = (i + 1) % n;
        const double dx = double(p[j].x) - p[i].x, dy = double(p[j].y) - p[i].y;
        const double length = std::hypot(dx, dy);
        u[i] = {dx / length, dy / length};
    }
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t j = (i + 1) % n;
        const double ax = px(i), ay = py(i), bx = px(j), by = py(j);
        const double ux = u[i].x, uy = u[i].y;
        const double nx = -uy * r, ny = ux * r;
        const bool square = m_cap == Cap::Square && !closed;
        const double before = square && i == 0 ? r : 0;
        const double after = square && i + 1 == segments ? r : 0;
        const double sx = ax - before * ux, sy = ay - before * uy;
        const double ex = bx + after * ux, ey = by + after * uy;
        const double x[4] = {sx + nx, ex + nx, ex - nx, sx - nx};
        const double y[4] = {sy + ny, ey + ny, ey - ny, sy - ny};
        AddQuad(x, y);
    }
    // A join is the sector between the two segments' ends on the outside
    // of the turn, as Qt's round joins go; a round end the half disc beyond
    // it. A line running straight on needs none.
    for (std::size_t i = 0; i < n; ++i) {
        const bool start = !closed && i == 0, end = !closed && i + 1 == n;
        if ((start || end) && m_cap != Cap::Round)
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
        Piece piece;
        piece.cx = px(i);
        piece.cy = py(i);
        if (!start) // in front of the segment arriving
            piece.limits[piece.limitCount++] = u[arriving];
        if (!end) // behind the segment leaving
            piece.limits[piece.limitCount++] = {-u[leaving].x, -u[leaving].y};
        AddSector(piece);
    }
}

void CWideStroker::AddSector(Piece piece)
{
    piece.disc = true;
    piece.left = piece.cx - m_radius;
    piece.right = piece.cx + m_radius;
    piece.firstRow = FirstRow(piece.cy - m_radius);
    piece.lastRow = LastRow(piece.cy + m_radius);
    if (piece.firstRow <= piece.lastRow)
        m_pieces.push_back(piece);
}

void CWideStroker::AddQuad(const double* x, const double* y)
{
    // Corners in 26.6 fixed point, rounded as Qt rounds the outline.
    std::int64_t fx[4], fy[4];
    for (int k = 0; k < 4; ++k) {
        fx[k] = static_cast<std::int64_t>(std::floor(x[k] * 64 + 0.5));
        fy[k] = static_cast<std::int64_t>(std::floor(y[k] * 64 + 0.5));
    }
    Piece piece;
    piece.left = *std::min_element(x, x + 4);
    piece.right = *std::max_element(x, x + 4);
    piece.firstRow = std::numeric_limits<std::int64_t>::max();
    piece.lastRow = std::numeric_limits<std::int64_t>::min();
    for (int k = 0; k < 4; ++k) {
        const int l = (k + 1) & 3;
        CScanConverter::Edge& side = piece.sides[piece.sideCount];
        if (!CScanConverter::Edge::Make(fx[k], fy[k], fx[l], fy[l], side))
            continue;
        ++piece.sideCount;
        piece.firstRow = std::min(piece.firstRow, side.top);
        piece.lastRow = std::max(piece.lastRow, side.bottom);
    }
    if (piece.sideCount >= 2)
        m_pieces.push_back(piece);
}

bool CWideStroker::Cover(const Piece& piece, std::int64_t row, std::int64_t& x0, std::int64_t& x1) const
{
    if (piece.disc) {
        const double dy = double(row) + 0.5 - piece.cy;
        const double h2 = m_radius * m_radius - dy * dy;
        if (h2 <= 0)
            return false;
        const double h = std::sqrt(h2);
        double lo = piece.cx - h, hi = piece.cx + h;
        // Where the row leaves each half plane (p - centre) . limit >= 0,
        // taken a little wider so that no pixel centre falls between it and
        // the rectangle beyond, which is stepped apart.
        for (int k = 0; k < piece.limitCount; ++k) {
            const Limit& limit = piece.limits[k];
            const double reach = dy * limit.y + kOverlap;
            if (limit.x > 0)
                lo = std::max(lo, piece.cx - reach / limit.x);
            else if (limit.x < 0)
                hi = std::min(hi, piece.cx - reach / limit.x);
            else if (reach < 0)
                return false;
        }
        // Pixels whose centres lie right of the left end and not right of the right one.
        x0 = static_cast<std::int64_t>(std::floor(lo + 0.5));
        x1 = static_cast<std::int64_t>(std::floor(hi + 0.5));
        return x0 < x1;
    }
    std::int64_t lo = std::numeric_limits<std::int64_t>::max();
    std::int64_t hi = std::numeric_limits<std::int64_t>::min();
    for (int k = 0; k < piece.sideCount; ++k) {
        const CScanConverter::Edge& side = piece.sides[k];
        if (row < side.top || row > side.bottom)
            continue;
        const std::int64_t x = side.XAt(row);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    if (lo >= hi)
        return false;
    x0 = lo >> 16;
    x1 = hi >> 16;
    return x0 < x1;
}

void CWideStroker::Stroke(const CRect& box, const SpanSink& sink)
{
    if (box.IsRectEmpty() || m_pieces.empty())
        return;
    const std::int64_t top = box.top, bottom = std::int64_t(box.bottom) - 1;
    const double left = box.left - 1.0, right = box.right + 1.0;
    // The pieces that reach the box, by their first rows there.
    struct Ref {
        std::int64_t firstRow;
        std::int64_t lastRow;
        const Piece* piece;
    };
    std::vector<Ref> pieces;
    pieces.reserve(m_pieces.size());
    for (const Piece& piece : m_pieces) {
        const Ref ref{std::max(piece.firstRow, top), std::min(piece.lastRow, bottom), &piece};
        if (ref.firstRow <= ref.lastRow && piece.right >= left && piece.left <= right)
            pieces.push_back(ref);
    }
    if (pieces.empty())
        return;
    std::int64_t firstRow = bottom, lastRow = top;
    for (const Ref& ref : pieces) {
        firstRow = std::min(firstRow, ref.firstRow);
        lastRow = std::max(lastRow, ref.lastRow);
    }

    // The pieces' runs are marked in one bit a pixel, so that overlaps
    // merge without sorting; a band of rows at a time keeps it small.
    const int width = box.Width();
    const auto words = static_cast<std::size_t>((width + 63) / 64);
    const auto bandRows = static_cast<std::int64_t>(std::max<std::size_t>(1, kBandWords / words));
    if (lastRow - firstRow >= bandRows)
        std::sort(pieces.begin(), pieces.end(), [](const Ref& a, const Ref& b) { return a.firstRow < b.firstRow; });
    std::vector<std::uint64_t> bits;
    std::vector<std::size_t> lowWord, highWord;
    std::vector<const Ref*> active;
    std::size_t next = 0;
    for (std::int64_t band = firstRow; band <= lastRow; band += bandRows) {
        const std::int64_t bandEnd = std::min(lastRow, band + bandRows - 1);
        active.erase(std::remove_if(active.begin(), active.end(), [&](const Ref* p) { return p->lastRow < band; }),
                     active.end());
        while (next < pieces.size() && pieces[next].firstRow <= bandEnd)
            active.push_back(&pieces[next++]);
        if (active.empty()) {
            if (next >= pieces.size())
                break;
            continue;
        }
        const auto height = static_cast<std::size_t>(bandEnd - band + 1);
        bits.resize(std::max(bits.size(), height * words), 0);
        lowWord.assign(height, words);
        highWord.assign(height, 0);
        for (const Ref* ref : active) {
            const std::int64_t from = std::max(ref->firstRow, band), to = std::min(ref->lastRow, bandEnd);
            for (std::int64_t y = from; y <= to; ++y) {
                std::int64_t x0 = 0, x1 = 0;
                if (!Cover(*ref->piece, y, x0, x1))
                    continue;
                x0 = std::max<std::int64_t>(x0 - box.left, 0);
                x1 = std::min<std::int64_t>(x1 - box.left, width);
                if (x0 >= x1)
                    continue;
                const auto r = static_cast<std::size_t>(y - band);
                std::uint64_t* row = bits.data() + r * words;
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
                lowWord[r] = std::min(lowWord[r], w0);
                highWord[r] = std::max(highWord[r], w1);
            }
        }
        // Each row's marks as runs, clearing them for the next band.
        for (std::size_t r = 0; r < height; ++r) {
            if (lowWord[r] > highWord[r])
                continue;
            const int y = static_cast<int>(band + static_cast<std::int64_t>(r));
            std::uint64_t* row = bits.data() + r * words;
            bool inside = false;
            std::int64_t start = 0;
            for (std::size_t w = lowWord[r]; w <= highWord[r]; ++w) {
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
                     static_cast<int>(box.left + std::min<std::int64_t>(width, (highWord[r] + 1) * 64)));
        }
    }
}
