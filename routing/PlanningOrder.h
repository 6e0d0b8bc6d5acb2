#pragma once

#include "routing/PlanningTask.h"

#include <vector>

// The ordering steps of a planning run, apart from the network: points
// grouped by node, the point-by-point matrices of the fixed-point and the
// priority modes over the groups' costs, and the visiting numbers.

using CCostRows = std::vector<std::vector<int>>;

// Each point's group: the group of the first earlier point on its node,
// else a new one. Returns the group count.
int GroupPointsByNode(std::vector<CTaskPoint>& points);

// Sorts points first .. last - 1 by stop number (stable); with fixedLast a
// fixed ('1') point comes after a free one of equal number.
void SortPointsByNumber(std::vector<CTaskPoint>& points, size_t first, size_t last, bool fixedLast);

// The fixed-point matrix: the diagonal INT_MAX, points of one group 0,
// else the groups' cost; an arc i -> j other than to the point right after
// i is forbidden when that point or j is fixed. The point after the last is
// the first; the first point is never fixed.
CCostRows FixedPointMatrix(const std::vector<CTaskPoint>& points, const CCostRows& groupCosts);

// The priority-level matrix over points sorted by number (1 .. ordered - 1
// form the levels; a finish at ordered, when ordered < size): only arcs
// both ways within a level, from a level to the next one, from the start
// to the lowest level and from the highest level back to the start (or on
// to the finish) are allowed.
CCostRows PriorityMatrix(const std::vector<CTaskPoint>& points, size_t ordered, const CCostRows& groupCosts);

// Visiting numbers from a tour over the groups (order of groups, the first
// the start's): the points of each group numbered one after the other in
// point order. With a finish the finish point (the last) gets the final
// number. Then points 1 .. n - 1 are sorted by number.
void NumberByGroupTour(std::vector<CTaskPoint>& points, const std::vector<int>& groupOrder, bool hasFinish);
// Visiting numbers from a tour over the points themselves, then sorted.
void NumberByPointTour(std::vector<CTaskPoint>& points, const std::vector<int>& pointOrder);
