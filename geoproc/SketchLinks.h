#pragma once

#include "core/MapPoint.h"
#include "core/ShapeArray.h"
#include "layers/SpatialIndex.h"

#include <cstdint>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CLayer;
class CLayerReader;
class CShape;

// What the commands that edit a street network from a sketch layer share:
// the node fields of the links, the links loaded with an index, and the
// link under each end of a sketch line.

// The from-node and to-node fields of a link table: "Fnode_" and "Tnode_",
// each on its own falling back on "Fnode" or "Tnode" when missing; names
// in any letter case or by alias. -1 for a field not found.
struct CNodeFields {
    explicit CNodeFields(const CDbfTable& table);
    bool IsComplete() const { return from >= 0 && to >= 0; }

    int from = -1;
    int to = -1;
};

// Message 1079 "Sluoksnis neturi topologijos." for a link table without
// both node fields.
constexpr int kNoTopologyMessage = 1079;


// How far from its ends a sketch line looks for links: half the sum of its
// box's width and height.
double SketchRadius(const CShape& sketch);

// The links of a street layer (LoadShapesIndexed) and the link nearest to
// a point.
class CSketchLinks {
public:
    bool Load(CLayer& layer);

    // Of the links whose boxes meet the point's square of the radius, the
    // one whose nearest point (FindNearestSegment) lies nearest within the
    // radius, the radius tightening to each one found; of equally near
    // links the first the index yields. Its number, and its point nearest
    // to the given one; -1 for none.
    int FindNearest(const CMapPoint& point, double radius, CMapPoint* nearest = nullptr);

    const CShape& GetShape(int link) const { return *m_shapes[link]; }
    int GetRecord(int link) const { return m_records[static_cast<size_t>(link)]; }
    const std::vector<int32_t>& GetRecords() const { return m_records; }

private:
    CShapeArray m_shapes;
    std::vector<int32_t> m_records;
    CSpatialIndex m_index;
};

// The first checks of a command on a link layer, in order: a line layer
// (else 1061), whose attributes may be edited (else 1035), whose data open
// in the reader (else it ends without a word of its own). False after them.
bool OpenLinkLayer(CLayer& layer, CLayerReader& reader);

// Then the sketch layer, one of the document's line layers chosen in
// dialog 30799, and the layer's links loaded into links: the sketch layer,
// or null when the choice was cancelled or the links could not be loaded.
CLayer* ChooseSketchLayer(CDrelDoc& document, CLayer& layer, CSketchLinks& links);
