#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "core/Shape.h"
#include "mapdoc/RouteSettings.h"
#include "routing/CostMatrix.h"
#include "routing/PredecessorMatrix.h"
#include "routing/RouteEdge.h"
#include "routing/RouteNodeIndex.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CLayer;
class IProgress;
class IRouteLayerSource;
struct CTaskPoint;

// Length in kilometres of a segment by length unit code: 0 degrees (great
// circle, x longitude, y latitude); 1 to 6 the Euclidean length times
// 0.6215040397762586, 0.0032808398950131233, 1, 0.001, 0.03937007874015748
// or 0.00001. The code is taken as 16 bits; a negative one or one above 6
// counts as 4.
double SegmentLength(double x1, double y1, double x2, double y2, int unitCode);
// The sum over consecutive points of each part (parts are not joined).
double PolylineLengthKm(const CShape& shape, int unitCode);

// Where a point snapped onto a line ends up: the line's first or last
// vertex, or the start of the nearest segment, when the point is nearly as
// near to it as to the nearest point found on the segment (within 1 / 0.92
// times that distance, or 10 m), else that nearest point. km measures
// between map points.
CMapPoint ApplyEndSnap(const CMapPoint& p, const CMapPoint& nearest, const CMapPoint& first, const CMapPoint& last,
                       const CMapPoint& start, const std::function<double(const CMapPoint&, const CMapPoint&)>& km);

// A point of a distance matrix: where it was given and where it lies on
// the network.
struct CMatrixPoint {
    CMapPoint given;
    CMapPoint snapped;
    int node = 0;
    int group = -1;
};

// The routing graph of one computation: the usable line objects of the
// map's routing layer around a set of stops, points snapped onto them, and
// the searches over its node index. Built anew for every computation.
//
// Node ids of the data are positive and below kFirstVirtualNode; snapping
// numbers the points it adds from there on.
class CRouteNetwork {
public:
    static constexpr int kFirstVirtualNode = 0x40000000;
    // Search weights stay below INT_MAX, which means no path.
    static constexpr int kMaxCost = 0x7FFFFFFE;

    CRouteNetwork();
    virtual ~CRouteNetwork();
    CRouteNetwork(const CRouteNetwork&) = delete;
    CRouteNetwork& operator=(const CRouteNetwork&) = delete;

    // The map's routing layer (null after the document's message when it has
    // none), its field names and its units; false without a layer.
    bool LoadSettings(const CDrelDoc& doc);
    void SetLayer(CLayer* layer) { m_layer = layer; }
    CLayer* GetLayer() const { return m_layer; }
    void SetFields(const CRouteFields& fields) { m_fields = fields; }
    const CRouteFields& GetFields() const { return m_fields; }
    // The length unit code (0 degrees, 4 projected) and, for projected maps,
    // the metres in one map unit.
    void SetLengthUnit(int code, double metresPerUnit = 1.0);
    int GetLengthUnit() const { return m_lengthUnit; }
    // Where the layer's objects are read from; borrowed. Null (the default)
    // reads through the layer reader.
    void SetLayerSource(IRouteLayerSource* source) { m_source = source; }

    // Kilometres between two map points, and along a line, in the map's units.
    double DistanceKm(const CMapPoint& a, const CMapPoint& b) const;
    double ShapeLengthKm(const CShape& shape) const;
    // The rectangles for BuildGraph around the stops: the query rectangle is
    // their union widened by 50 km (1 degree in x and 0.5 in y on
    // geographic maps) on every side, each stop's rectangle the stop widened
    // by a tenth of that.
    void MakeStopRects(const CMapPoint* stops, int count, CMapRect& query, std::vector<CMapRect>& stopRects) const;

    // Reads the layer into edges: only objects meeting the query rectangle
    // (when given); minor roads (significance 0) only where they meet a stop
    // rectangle; the weight field only with useWeight. False, and no edges,
    // without a layer, when it cannot be read, when a field is missing
    // (message 1008 or 1014) or when memory runs out (no message).
    bool BuildGraph(bool useWeight, const CMapRect* query, int stopRectCount, const CMapRect* stopRects);
    // The node that stands for p: an end of the nearest edge when p is near
    // it, else a new node where p projects (or the vertex it lies on), the
    // edge cut there in two. False when there is no edge to snap to.
    bool SnapPoint(const CMapPoint& p, CMapPoint& snapped, int& node);
    void ClearEdges();
    const std::vector<std::unique_ptr<CRouteEdge>>& GetEdges() const { return m_edges; }
    // 0 while no graph is built; the last node id given out.
    int GetLastNodeId() const { return m_nextVirtualNode; }

    // Dijkstra from stop sourceStop over the node index (nodeCount nodes) on
    // integer costs; stopNodes are node positions. Stops as soon as every
    // other stop is settled; among equal distances the lower position
    // settles first. Fills the predecessor row (nodeCount cells) and the
    // cost row (stopCount cells; INT_MAX for no path and for stops on the
    // source's node). False on cancel (the cost row untouched), when memory
    // runs out (message 1005) or when a stop has no node (message 1020).
    static bool ShortestPaths(int sourceStop, int nodeCount, int stopCount, const int* stopNodes,
                              const CRouteNodeIndex& nodes, CRouteStep* predRow, int* costRow, IProgress* progress);
    // The rows 0 .. rows - 1 of the cost matrix among the stops and their
    // predecessor rows. False with both matrices freed on cancel, when
    // memory runs out (message 1005 once) or when a stop has no node (1020).
    static bool ComputeCostMatrix(CCostMatrix& costs, CPredecessorMatrix& preds, int rows, int nodeCount,
                                  int stopCount, const int* stopNodes, const CRouteNodeIndex& nodes,
                                  IProgress* progress);

    // The route through the points on the network around them: the first
    // is the start, the last the finish, and with more than three the ones
    // between are visited in the cheapest order (order gets n entries, the
    // k-th the index of the point visited k-th). Leaves one line per leg in
    // visiting order in legs and the sum of the links' lengths in
    // totalLength. False, with no legs, when a point cannot be placed on the
    // network or a leg cannot be made (message 1020), when the parts below
    // fail (their messages) or on a cancel. The graph is removed again.
    bool RouteForPoints(const CMapPoint* points, int n, int* order);
    // The route from point to point in the given order, tolerating points
    // off the network (no edge to snap to, or farther than gapLimit): legs
    // from or to them, legs between points nearer to each other than to the
    // network, and legs the network cannot make when tolerate is 1, are
    // straight lines; connectors longer than connectorThreshold join a point
    // to the network and count in totalLength. With writeToFile the legs go
    // into a new GDB line file at outputPath instead of legs. False, with no
    // legs, when a leg is not made (a broken way: message 1020), when the
    // graph or a snap fails and tolerate is not 1, or when the file cannot
    // be made. The graph is removed again.
    bool RouteThroughPoints(const CMapPoint* points, int n);
    // The routing core of a client-visit run: snaps the points (the first
    // the start; with closedTour false the last the finish), groups those
    // on one node, orders them by mode (0 free, 1 fixed points, 2 priority
    // levels, 3 the given numbers) and sorts points 1 .. n - 1 into visiting
    // order. Leaves one leg per visit (points of one node joined by a
    // zero-length leg; on a closed tour one more back to the start) in legs,
    // each point's arriving leg length in legKm, and the street list of each
    // leg arriving at points 1 .. n - 1 in names (the last, on a closed
    // tour, also the way back after " //"). A finish on the start's node
    // makes the tour closed with it last. False, with no legs, when a point
    // cannot be snapped or a leg made (message 1020), on the parts' failures
    // or a cancel. The graph is removed again.
    bool PlanRoute(std::vector<CTaskPoint>& points, int mode, bool closedTour);
    // The costs among the points' groups (points on one node share the
    // group of the first of them): every row when full, else only row 0.
    // Fills each point's snapped position, node and group. False, with no
    // edges left, when a point cannot be placed, on a cancel or when the
    // search fails (its message).
    bool ComputeDistanceMatrix(std::vector<CMatrixPoint>& points, bool full, CCostMatrix& costs);
    // The dead ends (nodes with exactly one arc leaving them) of the whole
    // layer that cannot be reached from the first of them: out gets that
    // first one and then each unreachable one; nothing when fewer than two
    // dead ends exist. False when the graph cannot be built or on a cancel.
    bool CheckConnectivity(std::vector<CMapPoint>& out);
    // The line of one leg from its edge references, which run from the
    // target back to the source: joined from the source on, each edge turned
    // when used against its direction, joints not repeated.
    void AssembleRouteShape(const int* edges, int count, CShape& shape) const;
    // The street names along the edges, read from the name field of their
    // records in the routing layer's table: from the last reference to the
    // first, repeats and empty names left out, ", " between them. Two legs
    // are given as the second leg's references followed by the first's
    // (firstLegCount of them); " //" stands between the legs. A text over
    // 254 characters keeps its first two names and its tail, with " ..."
    // between them.
    void BuildStreetList(std::string& text, CDbfTable& table, int nameField, int firstLegCount, const int* edges,
                         int count) const;

    // Settings and results of the route through points.
    double connectorThreshold = 0.1; // km
    double gapLimit = 10.0;          // km
    int tolerate = 1;                // legs that cannot be routed become straight lines
    int writeToFile = 0;
    std::vector<std::unique_ptr<CShape>> legs;
    std::vector<std::string> names;
    double totalLength = 0; // km
    std::string outputPath;
    // The caller's progress window for long computations; borrowed, may be null.
    IProgress* progress = nullptr;

private:
    bool TakeRecord(IRouteLayerSource& source, CRouteEdge& edge, const int* fields, int stopRectCount,
                    const CMapRect* stopRects) const;
    bool SplitEdge(CRouteEdge& edge, int segment, const CMapPoint& at, int& node);
    double UnitScale() const;
    // BuildGraph around the points, as every route through points builds it.
    bool BuildGraphAround(const CMapPoint* points, int n);
    // The edge of a reference; null when there is none.
    const CRouteEdge* EdgeOf(int reference) const;

    int m_lengthUnit = 0;
    double m_metresPerUnit = 1.0;
    CRouteFields m_fields;
    CLayer* m_layer = nullptr;
    IRouteLayerSource* m_source = nullptr;
    int m_nextVirtualNode = 0;
    std::vector<std::unique_ptr<CRouteEdge>> m_edges;
};
