#pragma once

#include "layers/SpatialIndex.h"

#include <array>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
struct CDocCommandDialogs;

// The vertices of a line or area layer as work lists of the operations
// that snap to them or count them: the objects read in the layer's order
// under its filter.

// The segments between the collected vertices: the indexes of each
// segment's ends in the point list, and an index over the segments' boxes
// (item k for segment k).
struct CVertexSegments {
    std::vector<std::array<int, 2>> ends;
    CSpatialIndex index;
};

// The first and the last vertex of every part (two points a part, one
// vertex twice for a part of one point), appended to the points; with an
// index given, one over all the points (IndexPoints). Only line and area
// layers; 0 for others, for a layer that cannot be opened, and after 1028
// when its reader met a malformed object or failed to read.
int CollectEndVertices(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* pointIndex);

// Every vertex, appended to the points, with their index when given; with
// segments given, every segment of each part between neighbouring
// vertices, and for an area the ring's closing edge back to its first
// vertex when that is not repeated. As CollectEndVertices otherwise.
int CollectVertices(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* pointIndex,
                    CVertexSegments* segments);

// A point layer at the path (a GDB file or a shapefile) with one point for
// each place where end vertices of the layer lie, in the order the places
// were first met: "ID" the point's number from 1 and "COUNT" the ends at
// exactly that place, both N(8). 1 when written; 0 when a file could not
// be read or written, and without writing anything for a layer of several
// files.
int WriteEndVertices(CLayer& layer, const std::string& path);

// "Išvesti galines viršūnes..." for a line or area layer (others, and a
// layer of several files, end at once with 0): dialog 102 proposes the
// file title with "_nodes", a point layer whose type cannot change, in a
// GDB file or a shapefile; the end vertices are written there
// (WriteEndVertices) and a point layer identified by "ID" is added. 1 then.
int CreateEndVertexLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
