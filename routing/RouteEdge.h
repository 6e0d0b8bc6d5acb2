#pragma once

#include "core/Shape.h"

#include <cstdint>

// One link of the routing graph: a line object of the routing layer, or a
// piece of one cut where a point was snapped onto it.
class CRouteEdge : public CShape {
public:
    // Bits of the direction mask.
    enum : int16_t { kNoForward = 1, kNoBackward = 2, kClosed = 3 };

    int cost = 0;      // the search weight
    int length = 0;    // metres, the arc-length field truncated
    int fromNode = 0;  // negative once the edge is split: never snapped onto again
    int toNode = 0;
    int record = 0;    // of the source object in the layer's table
    int16_t direction = 0;
    bool split = false; // replaced by its two pieces; not a link of the graph any more
};
