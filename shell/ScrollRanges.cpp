#include "shell/ScrollRanges.h"

#include <algorithm>

CSize GetScrollExcess(CSize content, CSize client, CSize clientWithBars)
{
    CSize excess(std::max(content.cx - client.cx, 0), std::max(content.cy - client.cy, 0));
    if (excess.cx <= 0 && excess.cy <= 0)
        return excess;
    // e is what the vertical extent exceeds with bars, f the horizontal.
    const int e = content.cy - clientWithBars.cy;
    const int f = content.cx - clientWithBars.cx;
    if (e > 0) {
        excess.cx = std::max(f, 0);
        if (f > 0)
            excess.cy = e;
    } else {
        excess.cy = 0;
        if (f <= 0)
            excess.cx = 0;
    }
    return excess;
}
