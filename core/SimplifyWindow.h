#pragma once

#include <algorithm>

// The window simplification shared by map and device polylines. From each
// anchor a window of points is tested against the chord to its last point;
// failing windows are cut back to the failing point, passing ones grow one
// point at a time, and the last point of the largest passing window becomes
// the next anchor. The ends are always kept; two points or fewer are copied.
// firstFailure(points, anchor, last) returns the first inner point that lies
// too far from the chord anchor-last, or -1 when all lie close enough.
template <class Point, class FirstFailure>
int SimplifyByWindows(const Point* src, Point* dst, int n, int firstWindow, FirstFailure firstFailure)
{
    if (n <= 2) {
        std::copy(src, src + std::max(n, 0), dst);
        return std::max(n, 0);
    }
    int out = 0;
    dst[out++] = src[0];
    int anchor = 0;
    int size = std::min(firstWindow, n - 1);
    int passed = 0; // the largest window from this anchor that passed
    for (;;) {
        size = std::min(size, n - anchor);
        const int last = anchor + size - 1;
        const int failed = firstFailure(src, anchor, last);
        if (failed < 0) {
            passed = size;
            if (last == n - 1)
                break;
            ++size;
        } else if (passed > 0) {
            anchor += passed - 1;
            dst[out++] = src[anchor];
            size = passed;
            passed = 0;
        } else {
            size = failed - anchor + 1;
        }
    }
    dst[out++] = src[n - 1];
    return out;
}
