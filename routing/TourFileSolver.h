#pragma once

#include <string>
#include <string_view>

// The stop-order solver on the two exchange files of SolveTourExternal
// (routing/StopOrder.h), run in the program's own process.
//
// The graph file: a line "nodes edges", then one line "a b cost" for each
// edge of an undirected graph (nodes from 0, costs from 0 below INT_MAX).
// The tour file: a line "nodes nodes", then the cycle through every node
// from node 0, one line "node next cost" per edge it takes.
//
// Two shapes of graph are known for what they stand for and solved as such:
// three nodes per stop (out-node j, in-node n + j and 2n + j between them,
// a way j -> k being the edge j, n + k) stand for an asymmetric matrix,
// solved as the directed problem; and a node with exactly two neighbours,
// as the dummy node of an open path, fixes the path between them (and a
// stop with one way in or out fixes that way). Tours use only the edges of
// the file, and the same file always gives the same tour.

// More stops than this are not ordered (the costs alone would take over 16 MB).
inline constexpr int kMaxTourFileStops = 2000;

// The tour file's text for the graph file's text; false, and an empty
// text, when the graph is malformed (a line that is not its numbers, a node
// out of range, more or fewer edges than the header says) or has no tour.
bool SolveTourGraph(std::string_view graph, std::string& tour);

// The same on the files; without a tour the tour file is left empty.
bool SolveTourFiles(const std::string& graphFile, const std::string& tourFile);
