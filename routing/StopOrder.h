#pragma once

#include <cstdint>

class IProgress;

// The visiting order of least total cost among n stops, on their square
// cost matrix (rows: n rows of n non-negative costs, INT_MAX where there is
// no way). start == end asks for a closed tour: order gets n + 1 entries,
// beginning and ending at start. start != end asks for an open path: order
// gets n entries from start to end. The cost of the order goes to *cost.
//
// Up to 15 stops the order is exact (for an open path the start column and
// cell [start][end] of the caller's matrix are rewritten; nothing else
// changes); a cancel in the progress window keeps the best order found so
// far. Above 15 stops the stop-order solver computes it (SolveTourExternal).
// False when there is no order (message 1020), or nothing was found before
// a cancel, or the external solver failed.
bool SolveTour(int** rows, int n, int start, int end, int* order, int64_t* cost, IProgress* progress);

// The same through the stop-order solver: writes the graph file, runs the
// solver (see routing/TourSolverRunner.h) and reads its tour back. False
// when the solver cannot be started (message 1108) or its tour is missing,
// short or not a tour of the matrix (message 1020); the temporary files are
// always removed.
bool SolveTourExternal(int** rows, int n, int start, int end, int* order, int64_t* cost,
                       IProgress* progress);

// Stops on one network node get INT_MAX to each other in the cost matrix
// (no path is searched from a node to itself), which would leave no order
// at all: they are zero apart. stopNodes[i] is the node of stop i, negative
// when it has none.
void ZeroCostsOfSharedNodes(int** rows, int n, const int* stopNodes);
