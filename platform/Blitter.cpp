#include "platform/Blitter.h"

#include "platform/Gdi.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels one destination pixel reads along one axis.
struct Tap {
    int index = 0;     // picture column or row
    int slot = 0;      // a column's place in the row read
    double weight = 0; // share of the pixel (HALFTONE)
};

// Taps of the destination offsets first .. last - 1 along an axis of
// destLength pixels showing sourceLength pixels from sourceStart; taps
// outside 0 .. pictureLength - 1 are dropped.
struct AxisTaps {
    std::vector<std::size_t> start; // per offset, into taps; one more at the end
    std::vector<Tap> taps;
};

enum class Sampling { Nearest, Mean, Combine };

AxisTaps MapAxis(std::int64_t destLength, std::int64_t sourceStart, std::int64_t sourceLength, bool mirror,
                 std::int64_t pictureLength, std::int64_t first, std::int64_t last, Sampling sampling)
{
    // Lengths reach 2^32, so their products need more than 64 bits.
    using Wide = __int128;
    AxisTaps axis;
    axis.start.reserve(static_cast<std::size_t>(last - first) + 1);
    const bool spread = sampling == Sampling::Mean || (sampling == Sampling::Combine && sourceLength > destLength);
    // Only the source pixels inside the picture are visited.
    const std::int64_t inFirst = mirror ? sourceStart + sourceLength - pictureLength : -sourceStart;
    const std::int64_t inLast = mirror ? sourceStart + sourceLength - 1 : pictureLength - 1 - sourceStart;
    auto add = [&](std::int64_t k, double weight) {
        if (k < inFirst || k > inLast)
            return;
        const auto p = static_cast<int>(sourceStart + (mirror ? sourceLength - 1 - k : k));
        axis.taps.push_back(Tap{p, 0, weight});
    };
    for (std::int64_t i = first; i < last; ++i) {
        const std::size_t begin = axis.taps.size();
        axis.start.push_back(begin);
        if (!spread) {
            add(static_cast<std::int64_t>((2 * Wide(i) + 1) * sourceLength / (2 * Wide(destLength))), 1.0);
        } else {
            // In units of 1 / destLength source pixels the destination pixel
            // covers lo .. hi and source pixel k covers k * destLength onwards.
            const Wide lo = Wide(i) * sourceLength;
            const Wide hi = Wide(i + 1) * sourceLength;
            const auto kFirst = std::max(static_cast<std::int64_t>(lo / destLength), inFirst);
            const auto kLast = std::min(static_cast<std::int64_t>((hi - 1) / destLength), inLast);
            for (std::int64_t k = kFirst; k <= kLast; ++k) {
                const Wide covered = std::min(hi, Wide(k + 1) * destLength) - std::max(lo, Wide(k) * destLength);
                add(k, static_cast<double>(covered));
            }
        }
        double total = 0;
        for (std::size_t t = begin; t < axis.taps.size(); ++t)
            total += axis.taps[t].weight;
        for (std::size_t t = begin; t < axis.taps.size(); ++t)
            axis.taps[t].weight /= total;
    }
    axis.start.push_back(axis.taps.size());
    return axis;
}

// The runs of picture columns a blit reads: a picture shrunk to a few
// pixels is read at those pixels only, while columns a few apart are read
// in one run with the ones between. Gives each tap its slot in the row read.
struct ColumnRuns {
    struct Run {
        int first = 0;
        int end = 0;         // one past the last column
        std::size_t at = 0; // slot of the first column
    };
    std::vector<Run> runs;
    std::size_t slots = 0;
};

// Reading a few pixels more costs less than another read.
constexpr int kReadThrough = 16;

ColumnRuns PlanColumns(AxisTaps& axis)
{
    ColumnRuns plan;
    // Taps run along the picture one way or, mirrored, the other.
    const bool backwards = axis.taps.size() > 1 && axis.taps.front().index > axis.taps.back().index;
    for (std::size_t i = 0; i < axis.taps.size(); ++i) {
        Tap& tap = axis.taps[backwards ? axis.taps.size() - 1 - i : i];
        const int column = tap.index;
        if (plan.runs.empty() || column >= plan.runs.back().end + kReadThrough) {
            plan.runs.push_back({column, column + 1, plan.slots});
            ++plan.slots;
        } else if (column >= plan.runs.back().end) {
            plan.slots += static_cast<std::size_t>(column + 1 - plan.runs.back().end);
            plan.runs.back().end = column + 1;
        }
        const ColumnRuns::Run& run = plan.runs.back();
        tap.slot = static_cast<int>(run.at + static_cast<std::size_t>(column - run.first));
    }
    return plan;
}

// Decoded source rows. A destination row reads its source rows one after
// the other, and the next one starts at the last of them (or, enlarging,
// reads the same two), so a few rows are all worth keeping.
class CRowCache {
public:
    CRowCache(const IBlitSource& source, const ColumnRuns& columns, const BlitKey& key)
        : m_source(source), m_columns(columns), m_key(key), m_rows(3)
    {
    }

    struct Row {
        int y = -1;
        std::uint64_t used = 0;
        std::vector<std::uint32_t> colours; // by slot
        std::vector<std::uint8_t> keep;
    };

    const Row& Get(int y)
    {
        ++m_clock;
        Row* victim = &m_rows[0];
        for (Row& row : m_rows) {
            if (row.y == y) {
                row.used = m_clock;
                return row;
            }
            if (row.used < victim->used)
                victim = &row;
        }
        Row& row = *victim;
        const std::size_t n = m_columns.slots;
        row.y = y;
        row.used = m_clock;
        row.colours.resize(n);
        row.keep.assign(n, 1);
        for (const ColumnRuns::Run& run : m_columns.runs)
            m_source.ReadRow(y, run.first, run.end, row.colours.data() + run.at);
        if (m_key.kind == BlitKey::Colour) {
            for (std::size_t i = 0; i < n; ++i)
                row.keep[i] = row.colours[i] != m_key.value;
        } else if (m_key.kind == BlitKey::Index) {
            std::vector<std::uint8_t> indexes(n);
            bool read = true;
            for (const ColumnRuns::Run& run : m_columns.runs)
                read = read && m_source.ReadIndexes(y, run.first, run.end, indexes.data() + run.at);
            if (read)
                for (std::size_t i = 0; i < n; ++i)
                    row.keep[i] = indexes[i] != m_key.value;
        }
        return row;
    }

private:
    const IBlitSource& m_source;
    const ColumnRuns& m_columns;
    BlitKey m_key;
    std::uint64_t m_clock = 0;
    std::vector<Row> m_rows;
};

std::uint32_t Channel(std::uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFF;
}

} // namespace

void CBlitter::Stretch(const IBlitSource& source, const Geometry& g, const CRect& visible, int mode,
                       const BlitKey& key, const RowSink& sink)
{
    CRect out;
    if (g.dest.IsRectEmpty() || g.source.IsRectEmpty() || !out.IntersectRect(g.dest, visible))
        return;
    Sampling sampling = Sampling::Nearest;
    if (key.kind == BlitKey::None) {
        if (mode == HALFTONE)
            sampling = Sampling::Mean;
        else if (mode == BLACKONWHITE || mode == WHITEONBLACK)
            sampling = Sampling::Combine;
    }
    // Extents of rectangles far apart do not fit in 32 bits.
    auto length = [](int a, int b) { return std::int64_t(b) - a; };
    AxisTaps xs = MapAxis(length(g.dest.left, g.dest.right), g.source.left, length(g.source.left, g.source.right),
                                g.mirrorX, source.Width(), length(g.dest.left, out.left),
                                length(g.dest.left, out.right), sampling);
    const AxisTaps ys = MapAxis(length(g.dest.top, g.dest.bottom), g.source.top, length(g.source.top, g.source.bottom),
                                g.mirrorY, source.Height(), length(g.dest.top, out.top),
                                length(g.dest.top, out.bottom), sampling);
    if (xs.taps.empty() || ys.taps.empty())
        return;

    const ColumnRuns columns = PlanColumns(xs);
    CRowCache cache(source, columns, key);
    const auto width = static_cast<std::size_t>(out.Width());
    std::vector<std::uint32_t> colours(width);
    std::vector<std::uint8_t> mask(width);
    std::vector<double> sums(3 * width);
    const bool andScans = mode == BLACKONWHITE;

    for (int j = 0; j < out.Height(); ++j) {
        const std::size_t yb = ys.start[static_cast<std::size_t>(j)];
        const std::size_t ye = ys.start[static_cast<std::size_t>(j) + 1];
        if (yb == ye)
            continue;
        std::fill(mask.begin(), mask.end(), 0);
        if (sampling == Sampling::Nearest) {
            const auto& row = cache.Get(ys.taps[yb].index);
            for (std::size_t i = 0; i < width; ++i) {
                const std::size_t b = xs.start[i];
                if (b == xs.start[i + 1])
                    continue;
                const auto at = static_cast<std::size_t>(xs.taps[b].slot);
                colours[i] = row.colours[at];
                mask[i] = row.keep[at];
            }
        } else if (sampling == Sampling::Mean) {
            std::fill(sums.begin(), sums.end(), 0.0);
            for (std::size_t t = yb; t < ye; ++t) {
                const Tap& ty = ys.taps[t];
                const auto& row = cache.Get(ty.index);
                for (std::size_t i = 0; i < width; ++i) {
                    double r = 0, gr = 0, b = 0;
                    for (std::size_t s = xs.start[i]; s < xs.start[i + 1]; ++s) {
                        const Tap& tx = xs.taps[s];
                        const std::uint32_t c = row.colours[static_cast<std::size_t>(tx.slot)];
                        r += tx.weight * Channel(c, 16);
                        gr += tx.weight * Channel(c, 8);
                        b += tx.weight * Channel(c, 0);
                    }
                    sums[3 * i] += ty.weight * r;
                    sums[3 * i + 1] += ty.weight * gr;
                    sums[3 * i + 2] += ty.weight * b;
                }
            }
            for (std::size_t i = 0; i < width; ++i) {
                if (xs.start[i] == xs.start[i + 1])
                    continue;
                auto level = [&](double v) {
                    return static_cast<std::uint32_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
                };
                colours[i] = (level(sums[3 * i]) << 16) | (level(sums[3 * i + 1]) << 8) | level(sums[3 * i + 2]);
                mask[i] = 1;
            }
        } else {
            for (std::size_t t = yb; t < ye; ++t) {
                const auto& row = cache.Get(ys.taps[t].index);
                for (std::size_t i = 0; i < width; ++i)
                    for (std::size_t s = xs.start[i]; s < xs.start[i + 1]; ++s) {
                        const std::uint32_t c = row.colours[static_cast<std::size_t>(xs.taps[s].slot)];
                        if (!mask[i])
                            colours[i] = c;
                        else
                            colours[i] = andScans ? (colours[i] & c) : (colours[i] | c);
                        mask[i] = 1;
                    }
            }
        }
        sink(out.top + j, out.left, static_cast<int>(width), colours.data(), mask.data());
    }
}

std::uint32_t CBlitter::Rop3(std::uint32_t rop, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    const std::uint32_t table = (rop >> 16) & 0xFF;
    switch (table) {
    case 0xCC: return s;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    default: break;
    }
    std::uint32_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (table & (1u << i))
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return r & 0xFFFFFF;
}

bool CBlitter::UsesSource(std::uint32_t rop)
{
    const std::uint32_t t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}

bool CBlitter::UsesPattern(std::uint32_t rop)
{
    const std::uint32_t t = (rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

bool CBlitter::UsesDest(std::uint32_t rop)
{
    const std::uint32_t t = (rop >> 16) & 0xFF;
    return ((t >> 1) & 0x55) != (t & 0x55);
}
