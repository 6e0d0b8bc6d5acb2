#pragma once

#include <algorithm>
#include <cstdint>

// How much a reader that keeps a stretch of a file in memory reads when the
// stretch does not hold what it wants: far ahead while reading goes on
// close to where the stretch ended, little where it jumps (to the objects
// an index named, say), so that sparse reading does not copy what it then
// skips. One short gap in a sparse walk is chance, so the gaps are averaged
// over the last reads (about sixteen); a fresh reader reads little, and
// turns to reading far at once when its next read goes on from the first.
class CReadAhead {
public:
    CReadAhead(int64_t shortRead, int64_t longRead) : m_short(shortRead), m_long(longRead), m_gap(Fresh()) {}

    // The bytes to read at offset, need at least, where the stretch held
    // [start, end). An empty stretch, or more wanted from its start, tells
    // nothing of the gaps; reading back counts as a jump.
    int64_t Want(int64_t offset, int64_t need, int64_t start, int64_t end)
    {
        if (end > start && offset != start) {
            const int64_t gap = offset < start ? m_long : std::clamp<int64_t>(offset - end, 0, m_long);
            m_gap = (15 * m_gap + gap) / 16;
        }
        return std::max(need, m_gap <= Threshold() ? m_long : m_short);
    }

private:
    // Past about this mean gap a long read copies more than short reads cost.
    int64_t Threshold() const { return m_long / 16; }
    int64_t Fresh() const { return Threshold() + Threshold() / 16; }

    int64_t m_short;
    int64_t m_long;
    int64_t m_gap; // the running mean of the bytes passed over between reads
};
