#pragma once

#include "routing/RouteMatrix.h"

#include <vector>

// How the shortest path from a row's source reaches a node: the edge
// reference of the last arc (edge index, or its complement when the arc
// runs against the edge) and the node before it.
struct CRouteStep {
    int edge = 0;
    int previous = -1; // -1: the source itself, or not reached
};

// One row per source stop, one column per node of the node index.
class CPredecessorMatrix : public CRouteMatrix<CRouteStep> {
public:
    // The edge references of the path from node source to node target in the
    // row, from the target back to the source (empty when they are one node).
    // False when the path does not exist.
    bool GetLeg(int row, int source, int target, std::vector<int>& edges) const;
};
