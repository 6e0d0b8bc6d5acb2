#pragma once

#include "core/MapPoint.h"

#include <vector>

// Boolean operations on two polygon sets, each read under the even-odd rule.
//
// Coordinates are snapped to an integer grid as fine as the doubles allow
// (2^-52 of the largest magnitude) but no finer than 5.8e-11 map units, so
// every ordering decision of the sweep is exact and repeatable, and edges
// that coincide within that are one; crossings are rounded to the grid.
// The sweep runs over the rows of vertex heights: within a row edges change
// order only by swaps of neighbours, and the result's boundary is gathered
// as directed pieces (region on the left) that are linked into rings
// afterwards. Zero-width spikes, collinear vertices and slivers thinner
// than the grid are removed. Rings never cross; where the result touches
// itself at a point they may touch there. Outer rings come out
// counter-clockwise and holes clockwise, each flagged.
class CPolygonClipper {
public:
    struct Contour {
        std::vector<CMapPoint> points; // closed implicitly
        bool hole = false;
    };

    // Operation codes.
    enum : int { kDifference = 0, kIntersection = 1, kExclusiveOr = 2, kUnion = 3 };

    // result = subject op clip. False, with result empty, for an unknown
    // operation, a coordinate that is not finite, or when memory runs out.
    // result may be subject or clip.
    static bool Clip(int op, const std::vector<Contour>& subject, const std::vector<Contour>& clip,
                     std::vector<Contour>& result);
};
