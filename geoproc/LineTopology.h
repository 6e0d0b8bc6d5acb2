#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "geoproc/NewResultLayer.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CDrelDoc;
class CLayer;
class CShape;
class CShapeArray;
class IProgress;
struct CDocCommandDialogs;

// A line network from a line layer: ends within a tolerance joined to the
// lines they nearly touch, lines cut where they meet, and every piece a
// link numbered with its two end nodes. The closed areas, street blocks
// and layer comparison build on it.

// A distance in metres as the topology operations measure it: its box
// around a point is ±tx in x and ±ty in y (map units, by the document's
// metres per unit mx and my), border included.
struct CTopologyTolerance {
    double metres = 0;
    double tx = 0;
    double ty = 0;
    double mx = 1;
    double my = 1;

    static CTopologyTolerance Of(const CDrelDoc& document, double metres);
    CMapRect Box(const CMapPoint& centre) const;
    bool InBox(const CMapPoint& centre, const CMapPoint& p) const;
    // The squared distance in metres, each axis by its metres per unit.
    double SquaredMetres(const CMapPoint& a, const CMapPoint& b) const;
};

// The numbers of a network's nodes, by exact coordinates: a place seen
// first gets the next number from 1. -0.0 and 0.0 are one place; a point
// with a coordinate that is not a number is a place of its own each time.
class CNodeNumbers {
public:
    int Lookup(const CMapPoint& point);
    int GetCount() const { return m_count; }

private:
    struct Hash {
        size_t operator()(const CMapPoint& p) const;
    };
    std::unordered_map<CMapPoint, int, Hash> m_numbers;
    int m_count = 0;
};

// One link: part `part` of shape `shape`, from its first point to its last.
struct CTopologyLink {
    int shape = 0;
    int part = 0;
    int fromNode = 0;
    int toNode = 0;
    double lengthKm = 0;
};

struct CTopologyOptions {
    int copyFields = 1;
    int addCrossings = 0;
    double tolerance = 0; // metres
};

// The link layer's own fields, all numeric without decimals.
struct CLinkField {
    const char* name;
    int width;
};
inline constexpr CLinkField kLinkFields[] = {{"LINK_ID", 8}, {"Fnode_", 6}, {"Tnode_", 6}, {"Length", 8}};

// Joins a point to the line when the line's nearest segment within
// tx + ty has its nearest point N in the point's box: at N when N is the
// segment's start vertex; else at the segment's vertex nearer the point in
// metres when that one lies in the box; else at N, which becomes a new
// vertex of the line after the segment's start. 1 with the point joined
// to, 0 when the line is not near enough.
int SnapPointToLine(CShape& line, const CMapPoint& point, const CTopologyTolerance& tolerance, CMapPoint& joined);

// The shapes made a network in place, in load order: with a tolerance
// above 0 the node and vertex correction of error fixing (FixTopology,
// with the crossings flag), ends joined to later lines and later lines'
// ends to earlier ones (SnapPointToLine), and nearly closed lines closed;
// then the parts of a line of several parts cut where they meet, and each
// two lines whose boxes meet cut where they meet (with addCrossings also
// where they cross inside their segments), the progress over the lines.
// Lines are found through an index of their boxes, built again after
// every pass that moves ends.
EOperationEnd NodeLines(CDrelDoc& document, CShapeArray& shapes, double tolerance, bool addCrossings,
                        IProgress* progress);

// Every part of every shape with points, in order, as a link with its
// nodes (the from-node looked up before the to-node) and its length; a
// part whose nodes are one and whose length is below 1e-15 km is none.
void NumberLinks(const CDrelDoc& document, const CShapeArray& shapes, CNodeNumbers& nodes,
                 std::vector<CTopologyLink>& links);

// The link layer of the line layer at the path (a GDB line layer): with
// copyFields the layer's own fields first and each record's values, then
// the link fields it lacks; "LINK_ID" numbers the links from 1 unless the
// layer brings its own, "Fnode_" and "Tnode_" their nodes and "Length"
// their length in metres. Progress with cancel over the cutting. Node
// numbers too wide for their fields stop it before anything is written,
// after a message. kFailed after a message when the layer cannot be read.
EOperationEnd BuildTopology(CLayer& layer, CDrelDoc& document, const std::string& path,
                            const CTopologyOptions& options);

// "Sukurti &topologiją...": dialog 102 for a line layer proposed as the
// layer's file title with "_topo", then dialog 30814 (CTopologyRules),
// then BuildTopology into a new layer that is added to the map. 1 when it
// was added; 0 for other layer types without a message.
int CreateTopology(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
