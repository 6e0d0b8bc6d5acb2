#pragma once

#include "core/MapPoint.h"
#include "geoproc/NewResultLayer.h"

#include <string>
#include <vector>

class CDrelDoc;
class CShapeArray;
class IProgress;

// One change of error fixing, as a point of the "_errors" layer tells it:
// "11" a node others moved onto, "10" where one of them was, "99" a node
// whose near ends all lay on it already; "20"/"21" a node and the vertex
// of another line it moved onto, "30"/"31" a node and the new vertex of
// another line it moved onto, "32" a node that stayed and became a vertex
// of the line beside it; "40"/"41" a vertex of another line and the node
// it moved onto; "s" a new vertex where two lines cross.
struct CTopologyChange {
    CMapPoint point;
    std::string code;
};

struct CTopologyFixCounts {
    int fixedNodes = 0;
    int fixedVertices = 0;
    int insertedVertices = 0;
};

// The node and vertex correction of line or area shapes, in place, within
// the tolerance in metres: end nodes (the first and last vertex of every
// part) near one another moved onto the node with most near ends, then
// each end node joined to the nearest other line within its box, and with
// crossings a vertex added to both lines wherever two lines cross. The
// changes are listed when asked for. Progress over the nodes and lines,
// polled at each; kCancelled when cancelled, kFailed when the shapes
// could not be indexed.
EOperationEnd FixTopology(const CDrelDoc& document, double tolerance, bool crossings, CShapeArray& shapes,
                          std::vector<CTopologyChange>* changes, CTopologyFixCounts& counts, IProgress* progress);
