#pragma once

#include "core/MapPoint.h"
#include "geoproc/NewResultLayer.h"

#include <memory>
#include <string>
#include <vector>

class CDrelDoc;
class CFeatureSource;
class CLayer;
class CShape;
class CShapeArray;
class IProgress;
struct CDocCommandDialogs;

// Closed areas from a link layer (the topology operation's output): each
// face of the planar network an area, or with merging each connected part
// of it one area, its outline. Node identity is the value of the node
// fields, never the coordinates.

// One end of a usable line; a line's start is directly followed by its
// end, so the twin of half-edge i is i ^ 1.
struct CHalfEdge {
    // From the line's end towards the nearest point of the line that
    // differs from it.
    double dx = 0;
    double dy = 0;
    // The street width in metres (street mode), else 0.
    double width = 0;
    int node = 0;
    // Index of its line among the lines read; -1 once pruned.
    int line = -1;
    bool end = false;
    bool visited = false;
    // The next half-edge around the same node.
    int next = -1;
};

// The street-width mode of the tracing: each line's width is the value of
// the numeric field of its record (blank or missing: 0); dead ends stay,
// and every face is written as its block (the face minus the street zones)
// and its street surface.
struct CStreetWidths {
    std::string field;
    // The document's metres per map unit.
    double mx = 1;
    double my = 1;
};

// The written areas of a tracing: each an object with "ID" the next
// number (faces and outlines), or, in the street mode, the face number.
class CAreaWriter {
public:
    CAreaWriter();
    ~CAreaWriter();
    CAreaWriter(const CAreaWriter&) = delete;
    CAreaWriter& operator=(const CAreaWriter&) = delete;

    // A GDB area file with the default attribute table; false when it
    // cannot be made.
    bool Create(const std::string& path);
    bool Write(const CShape& area, int id);
    // Closes the file; false when anything written failed.
    bool Close();

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

// The half-edges of the lines: none for a line of more than one part, of
// fewer than two points, whose points are all equal, or with a coordinate
// that is not a number. nodes holds the
// from- and to-node of each line; widths (when given) its width.
void BuildHalfEdges(const CShapeArray& lines, const std::vector<int>& fromNodes, const std::vector<int>& toNodes,
                    const std::vector<double>* widths, std::vector<CHalfEdge>& edges);

// The corner between two consecutive streets of a face at their shared
// node, which flat-ended zones leave open on the face's side (the right of
// the ring's direction): back is the direction from the node along the
// current street, next that of the next street, both in map units; the
// half-widths in metres, the metres per unit mx and my. The angle is the
// one clockwise from the next street to the current street's flat end on
// the face's side, in degrees (the face's corner less 90): 90 or less
// needs no piece. Equal half-widths fill the corner with an arc of points
// 10 degrees apart around the node; different ones with four points (the
// node, both ends' outer corners and where their outer edges meet, or the
// bisector at the larger half-width where they meet too far), none when
// the angle is not above 90 plus the arcsine of the smaller-to-larger
// ratio. A half-width of 0 needs none. 1 with the polygon in out.
int MakeCornerPiece(const CMapPoint& node, const CMapPoint& back, const CMapPoint& next, double halfWidth,
                    double nextHalfWidth, double mx, double my, CShape& out);

// Links the half-edges around their nodes, prunes dead ends (not in the
// street mode), walks every ring and writes the faces (rings of negative
// area) or, with merging, the outlines (positive area). Without merging,
// the outline of a part of the network inside a face becomes a hole of the
// smallest face holding it. Either writer may be null (nothing written
// there). Cancel in the progress keeps what was traced until then;
// kFailed when a write failed.
EOperationEnd TraceFaces(std::vector<CHalfEdge>& edges, const CShapeArray& lines, CAreaWriter* areas,
                         bool mergeNeighbours, CAreaWriter* streetAreas, const CStreetWidths* widths,
                         IProgress* progress);

// The areas of the link layer into a new GDB area file at the path and,
// in the street mode, the street surfaces into the second path (an empty
// path: that result is not written). kFailed after 1079 when the layer has
// no node fields ("Fnode_" and "Tnode_", else "Fnode" and "Tnode"), or
// when it cannot be read or written.
EOperationEnd BuildAreasFromLines(CLayer& layer, CDrelDoc& document, const std::string& path, bool mergeNeighbours,
                                  const std::string* streetAreaPath = nullptr,
                                  const CStreetWidths* widths = nullptr);

// "Sukurti uždaras &sritis...": dialog 102 for an area layer proposed as
// the title with "_polyg", 2016 whether neighbours merge, then the areas
// into a new layer that is added. 1 when it was added; 0 for a layer of
// several files or of another type, without a message.
int CreateClosedAreas(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
