#pragma once

#include "core/MapPoint.h"
#include "geoproc/EndVertices.h"
#include "geoproc/LineTopology.h"
#include "layers/SpatialIndex.h"

#include <string>
#include <vector>

class CCoordConverter;
class CDrelDoc;
class CLayer;
class IProgress;
struct CDocCommandDialogs;
enum class EOperationEnd;

// Snapping of one layer onto another: a copy of the source layer whose
// points, vertices or part ends move onto the nearest point, vertex or
// edge of the target layer within a tolerance, or whose segments first
// take the target's vertices that lie along them.

// What is snapped (the items of combo 1022 "Ką pritraukti:").
enum ESnapWhat : int { kSnapEnds = 0, kSnapVertices = 1, kSnapInsertVertices = 2 };
// What it is snapped to (the items of combo 1024 "Prie ko pritraukti :").
enum ESnapToWhat : int { kToEnds = 0, kToVertices = 1, kToEdges = 2, kToVerticesOrEdges = 3 };

// The point moves onto the indexed point nearest to it, when one lies
// inside its box of the tolerance and nearer than the tolerance; of equally
// near points the first the index yields. True when it moved.
bool SnapToNearestPoint(CMapPoint& point, const std::vector<CMapPoint>& points, CSpatialIndex& index,
                        const CTopologyTolerance& tolerance);

// The point moves onto the nearest point of the indexed segments whose
// boxes meet its box of the tolerance: a segment's end when the point's
// projection falls beyond it, else the foot of the perpendicular; only
// nearer than the tolerance, and of equally near ones the first. True when
// it moved.
bool SnapToNearestEdge(CMapPoint& point, const std::vector<CMapPoint>& points, CVertexSegments& segments,
                       const CTopologyTolerance& tolerance);

// The indexed points, inside the segment's box widened by the tolerance,
// whose perpendicular foot falls strictly between a and b and which lie
// nearer than the tolerance to the segment, in the order of travel from a
// to b (by y when the segment is at least as tall as wide, else by x).
void CollectPointsNearSegment(const CMapPoint& a, const CMapPoint& b, const std::vector<CMapPoint>& points,
                              CSpatialIndex& index, const CTopologyTolerance& tolerance,
                              std::vector<const CMapPoint*>& near);

// The orders of travel along a segment.
bool PointXAscending(const CMapPoint* p, const CMapPoint* q);
bool PointXDescending(const CMapPoint* p, const CMapPoint* q);
bool PointYAscending(const CMapPoint* p, const CMapPoint* q);
bool PointYDescending(const CMapPoint* p, const CMapPoint* q);

// What the source is snapped to, read from the target layer by the
// to-what choice: a point or track layer's points (read with the
// converter), or a line or area layer's ends, vertices, or vertices with
// their segments.
class CSnapTargets {
public:
    // 0 when the layer is of another type or could not be read (1028 told
    // for a malformed object).
    int Load(CLayer& target, int toWhat, const CCoordConverter* converter);
    // The point snapped as the choice says (a point target always to its
    // points): to points, to edges, or to a vertex else an edge.
    bool Snap(CMapPoint& point, const CTopologyTolerance& tolerance);
    // The target's points that segment a-b takes in (CollectPointsNearSegment).
    void PointsAlong(const CMapPoint& a, const CMapPoint& b, const CTopologyTolerance& tolerance,
                     std::vector<const CMapPoint*>& near);

private:
    int m_toWhat = kToEnds;
    std::vector<CMapPoint> m_points;
    CSpatialIndex m_index;
    CVertexSegments m_segments;
};

// The snapped copy of the source written at the path: a new file of the
// source's type and fields, each object of the source in reading order
// under its filter with its record. A point source snaps each point; a
// line or area source with kSnapInsertVertices first takes the targets'
// points into its segments (the parts from the last, the segments of a
// part from the last), then with that or kSnapVertices snaps every
// vertex, with kSnapEnds the first and last vertex of each part. The
// progress runs over the source's records and may cancel.
EOperationEnd SnapLayerData(CLayer& source, CSnapTargets& targets, const std::string& path, int what,
                            const CTopologyTolerance& tolerance, IProgress* progress);

// The source layer (point, line or area) snapped onto the target (point,
// line, area or track; other types end at once with 0): dialog 102
// proposes the source's file title, its type shown and fixed, in a GDB
// file or a shapefile; the targets are read, the copy written
// (SnapLayerData) under a progress window and added as a layer of the
// source's type with its identifier field. The tolerance is in metres.
// A cancel adds nothing. 1 when the layer was added.
int SnapToLayer(CLayer& source, CLayer& target, CDrelDoc& document, const CDocCommandDialogs& dialogs,
                double toleranceMetres, int what, int toWhat);

// "Pritraukti prie sluoksnio...": dialog 30807 with the active layer (or
// none) offered, then SnapToLayer with its choice.
int SnapLayerToLayer(CLayer* active, CDrelDoc& document, const CDocCommandDialogs& dialogs);
