#pragma once

#include "platform/Point.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Lengths along styled lines are chessboard steps: max(|dx|, |dy|) a segment.
inline std::int64_t ChessboardSteps(CPoint a, CPoint b)
{
    return std::max(std::llabs(std::int64_t(b.x) - a.x), std::llabs(std::int64_t(b.y) - a.y));
}

// num / den rounded half away from zero; den is not 0.
inline std::int64_t RoundedQuotient(std::int64_t num, std::int64_t den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const std::int64_t q = (2 * std::llabs(num) + den) / (2 * den);
    return num < 0 ? -q : q;
}

// Walks a polyline cutting it every time the length left runs out, the
// walk running on across vertices. cut(a, b, k, n) comes k of the n steps
// along segment a-b (a cut on the segment's end included) and returns the
// next length (at least 1); reached(b) comes at the end of each segment.
template <class Cut, class Reached>
void WalkCuts(const CPoint* points, int count, std::int64_t left, Cut cut, Reached reached)
{
    for (int i = 1; i < count; ++i) {
        const CPoint a = points[i - 1];
        const CPoint b = points[i];
        const std::int64_t steps = ChessboardSteps(a, b);
        std::int64_t done = 0;
        while (steps - done >= left) {
            done += left;
            left = std::max<std::int64_t>(1, cut(a, b, done, steps));
        }
        left -= steps - done;
        reached(b);
    }
}
