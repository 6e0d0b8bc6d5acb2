#include "routing/RouteNetwork.h"

#include "core/CoordConverter.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "routing/RouteAllocation.h"
#include "routing/RouteLayerSource.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <new>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kFieldMissing = 1008;
constexpr int kFieldsNotSet = 1014;
constexpr int kRouteNotFound = 1020;

constexpr int kBuiltNodeId = CRouteNetwork::kFirstVirtualNode - 1;
// An end or vertex less than this many times as far from the point as the
// projection is takes the projection's place (1 / 0.92).
constexpr double kEndSnapFactor = 1.0869565217391304;
constexpr double kEndSnapKm = 0.01;

enum Field { kFrom, kTo, kLength, kDirection, kSignificance, kWeight, kFieldCount };

int ToCost(double value)
{
    return value >= CRouteNetwork::kMaxCost ? CRouteNetwork::kMaxCost : static_cast<int>(value);
}

bool BoxesMeet(const CMapRect& rect, const CMapRect& box)
{
    return rect.left <= box.right && rect.top >= box.bottom && rect.right >= box.left && rect.bottom <= box.top;
}

// Node ids must fit and stay below the ids that snapping gives out, or a
// snapped point would join an unrelated node of the data.
bool TakeNodeId(long value, int& id)
{
    if (value < INT_MIN || value >= CRouteNetwork::kFirstVirtualNode)
        return false;
    id = static_cast<int>(value);
    return true;
}

double Chebyshev(const CMapPoint& p, const CMapPoint& q)
{
    return std::max(std::fabs(p.x - q.x), std::fabs(p.y - q.y));
}

// The points up to the vertex at index cut into first, from it on into
// second; the parts stay as they were on either side.
void CutAtVertex(const CShape& shape, int cut, CShape& first, CShape& second)
{
    const CMapPoint* points = shape.Points().GetData();
    const int count = shape.GetPointCount();
    first = CShape();
    second = CShape();
    for (int k = 0, start = 0; k < shape.GetPartCount() && start < count; ++k) {
        // Part sizes may claim more points than there are.
        const int size = static_cast<int>(std::min<int64_t>(shape.PartSizes()[static_cast<size_t>(k)], count - start));
        if (cut >= start + size) {
            first.AddPartPoints(size, points + start, false);
        } else if (cut >= start) {
            first.AddPartPoints(cut - start + 1, points + start, false);
            second.AddPartPoints(start + size - cut, points + cut, false);
        } else {
            second.AddPartPoints(size, points + start, false);
        }
        start += size;
    }
    first.RecalcBounds();
    second.RecalcBounds();
}

// The share of value that falls on the first piece, by the pieces' lengths.
int FirstShare(int value, double first, double second)
{
    const double total = first + second;
    double share = value * first / total;
    // Pieces too short to measure apart share equally.
    if (!(total > 0) || !std::isfinite(share))
        share = value * 0.5;
    return static_cast<int>(std::clamp(share, 0.0, static_cast<double>(value)));
}

void ShowMessage(int id)
{
    AppMessageBox(id, id == kRouteNotFound ? MB_OK | MB_ICONWARNING : MB_OK);
}

// -------------------------------------------------------------- search

// The nodes reached but not settled, by distance and then by position: the
// order in which a scan of all nodes for the least distance (the first of
// equals winning) would settle them. The heap holds that order as one key
// per entry, the distance above the position, so that comparing keys needs
// no look-up; it has four children a node, so that it is shallow and the
// children of one node share a cache line, and its keys lie apart from the
// nodes' distances, which stay small.
class CSettleQueue {
public:
    static constexpr int kOutside = -1;
    static constexpr int kSettled = -2;

    struct Node {
        int distance;
        int slot; // where the node is in the heap, or kOutside, or kSettled
    };

    CSettleQueue(Node* nodes, uint64_t* heap) : m_nodes(nodes), m_heap(heap) {}

    bool Empty() const { return m_size == 0; }
    // The node that PopSettled would give now.
    int Top() const { return NodeOf(m_heap[0]); }

    // The node got a shorter distance.
    void Update(int node)
    {
        int slot = m_nodes[node].slot;
        if (slot == kOutside)
            slot = m_size++;
        SiftUp(slot, Key(node));
    }

    int PopSettled()
    {
        const int top = NodeOf(m_heap[0]);
        const uint64_t last = m_heap[--m_size];
        if (m_size > 0)
            SiftDown(last);
        m_nodes[top].slot = kSettled;
        return top;
    }

private:
    static constexpr int kArity = 4;

    uint64_t Key(int node) const
    {
        return static_cast<uint64_t>(m_nodes[node].distance) << 32 | static_cast<uint32_t>(node);
    }
    static int NodeOf(uint64_t key) { return static_cast<int>(static_cast<uint32_t>(key)); }
    void Place(int slot, uint64_t key)
    {
        m_heap[slot] = key;
        m_nodes[NodeOf(key)].slot = slot;
    }
    void SiftUp(int slot, uint64_t key)
    {
        while (slot > 0) {
            const int parent = (slot - 1) / kArity;
            if (m_heap[parent] <= key)
                break;
            Place(slot, m_heap[parent]);
            slot = parent;
        }
        Place(slot, key);
    }
    // The key goes down from the top.
    void SiftDown(uint64_t key)
    {
        int slot = 0;
        for (;;) {
            const int first = kArity * slot + 1;
            if (first >= m_size)
                break;
            int child = first;
            uint64_t least = m_heap[first];
            for (int c = first + 1, end = std::min(first + kArity, m_size); c < end; ++c) {
                if (m_heap[c] < least) {
                    least = m_heap[c];
                    child = c;
                }
            }
            if (key <= least)
                break;
            Place(slot, least);
            slot = child;
        }
        Place(slot, key);
    }

    Node* m_nodes;
    uint64_t* m_heap;
    int m_size = 0;
};

bool ValidSearch(int nodeCount, int stopCount, const int* stopNodes, const CRouteNodeIndex& nodes)
{
    return nodeCount == nodes.GetCount() && stopCount > 0 && stopNodes;
}

// A stop that found no node in the graph cannot be routed to or from.
bool StopsHaveNodes(int nodeCount, int stopCount, const int* stopNodes)
{
    for (int i = 0; i < stopCount; ++i) {
        if (stopNodes[i] < 0 || stopNodes[i] >= nodeCount) {
            ShowMessage(kRouteNotFound);
            return false;
        }
    }
    return true;
}

} // namespace

// -------------------------------------------------------------- lengths

double SegmentLength(double x1, double y1, double x2, double y2, int unitCode)
{
    static constexpr double kFactors[] = {0.6215040397762586, 0.0032808398950131233, 1.0, 0.001,
                                          0.03937007874015748, 0.00001};
    int code = static_cast<int16_t>(unitCode);
    if (code == 0)
        return GreatCircleDistanceKm(x1, y1, x2, y2);
    if (code < 0 || code > 6)
        code = 4;
    return std::hypot(x2 - x1, y2 - y1) * kFactors[code - 1];
}

double PolylineLengthKm(const CShape& shape, int unitCode)
{
    const CMapPoint* points = shape.Points().GetData();
    const int count = shape.GetPointCount();
    double total = 0;
    for (int k = 0, start = 0; k < shape.GetPartCount() && start < count; ++k) {
        const int size = static_cast<int>(std::min<int64_t>(shape.PartSizes()[static_cast<size_t>(k)], count - start));
        for (int i = start + 1; i < start + size; ++i)
            total += SegmentLength(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, unitCode);
        start += size;
    }
    return total;
}

// -------------------------------------------------------------- network

CRouteNetwork::CRouteNetwork() = default;

CRouteNetwork::~CRouteNetwork() = default;

bool CRouteNetwork::LoadSettings(const CDrelDoc& doc)
{
    CRouteSettings settings;
    const bool found = doc.GetRouteSettings(settings);
    double x = 1, y = 1;
    doc.GetMetresPerUnit(x, y);
    SetLengthUnit(settings.unitKind, x);
    m_layer = settings.layer;
    m_fields = settings;
    return found;
}

void CRouteNetwork::SetLengthUnit(int code, double metresPerUnit)
{
    m_lengthUnit = code;
    m_metresPerUnit = metresPerUnit > 0 && std::isfinite(metresPerUnit) ? metresPerUnit : 1.0;
}

double CRouteNetwork::UnitScale() const
{
    // The unit codes other than degrees take a map unit for a metre; maps in
    // kilometres or nautical miles say how many metres theirs holds.
    return static_cast<int16_t>(m_lengthUnit) == 0 ? 1.0 : m_metresPerUnit;
}

double CRouteNetwork::DistanceKm(const CMapPoint& a, const CMapPoint& b) const
{
    return SegmentLength(a.x, a.y, b.x, b.y, m_lengthUnit) * UnitScale();
}

double CRouteNetwork::ShapeLengthKm(const CShape& shape) const
{
    return PolylineLengthKm(shape, m_lengthUnit) * UnitScale();
}

void CRouteNetwork::MakeStopRects(const CMapPoint* stops, int count, CMapRect& query,
                                  std::vector<CMapRect>& stopRects) const
{
    double mx = 1.0, my = 0.5;
    if (static_cast<int16_t>(m_lengthUnit) != 0)
        mx = my = 50.0 / DistanceKm(CMapPoint(0, 0), CMapPoint(1, 0));
    query.SetEmpty();
    stopRects.clear();
    for (int i = 0; i < count; ++i) {
        const CMapPoint& p = stops[i];
        query.UnionRect(query, CMapRect(p.x - mx, p.y + my, p.x + mx, p.y - my));
        stopRects.emplace_back(p.x - 0.1 * mx, p.y + 0.1 * my, p.x + 0.1 * mx, p.y - 0.1 * my);
    }
}

void CRouteNetwork::ClearEdges()
{
    std::vector<std::unique_ptr<CRouteEdge>>().swap(m_edges);
    m_nextVirtualNode = 0;
}

// -------------------------------------------------------------- building

bool CRouteNetwork::BuildGraph(bool useWeight, const CMapRect* query, int stopRectCount, const CMapRect* stopRects)
{
    ClearEdges();
    if (!m_layer)
        return false;
    std::unique_ptr<IRouteLayerSource> own;
    IRouteLayerSource* source = m_source;
    if (!source) {
        own = CreateRouteLayerSource();
        source = own.get();
    }
    if (!source || !source->OpenLayer(*m_layer))
        return false;
    if (query)
        source->SetQueryRect(*query);
    if (!stopRects)
        stopRectCount = 0;

    const std::string* names[kFieldCount] = {&m_fields.fromNodeField, &m_fields.toNodeField,
                                             &m_fields.arcLengthField, &m_fields.dirMaskField,
                                             &m_fields.significanceField, &m_fields.weightField};
    int fields[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i)
        fields[i] = names[i]->empty() ? -1 : source->FindField(*names[i]);
    if (stopRectCount <= 0)
        fields[kSignificance] = -1;
    if (!useWeight)
        fields[kWeight] = -1;
    for (int i : {kFrom, kTo, kLength}) {
        if (fields[i] >= 0)
            continue;
        if (m_fields.fromNodeField.empty() || m_fields.toNodeField.empty() || m_fields.arcLengthField.empty())
            ShowMessage(kFieldsNotSet);
        else
            AppMessageBox(LoadStringArgs(kFieldMissing, m_layer->GetName(), *names[i]), MB_OK, kFieldMissing);
        return false;
    }

    try {
        // A lying record count must not decide how much is taken up front.
        const int records = std::clamp(source->GetRecordCount(), 0, 1 << 20);
        m_edges.reserve(static_cast<size_t>(records) + 100);
        auto edge = std::make_unique<CRouteEdge>();
        while (source->ReadNextShape(*edge)) {
            if (TakeRecord(*source, *edge, fields, stopRectCount, stopRects)) {
                m_edges.push_back(std::move(edge));
                edge = std::make_unique<CRouteEdge>();
            }
        }
    } catch (const std::bad_alloc&) {
        ClearEdges();
        return false;
    }
    m_edges.shrink_to_fit();
    m_nextVirtualNode = kBuiltNodeId;
    return true;
}

bool CRouteNetwork::TakeRecord(IRouteLayerSource& source, CRouteEdge& edge, const int* fields, int stopRectCount,
                               const CMapRect* stopRects) const
{
    edge.record = source.GetCurrentRecord();
    if (fields[kSignificance] >= 0 && source.GetFieldLong(fields[kSignificance]) == 0) {
        const CMapRect& box = edge.GetExtent();
        if (std::none_of(stopRects, stopRects + stopRectCount, [&](const CMapRect& r) { return BoxesMeet(r, box); }))
            return false;
    }
    edge.direction = static_cast<int16_t>(fields[kDirection] >= 0 ? source.GetFieldLong(fields[kDirection]) : 0);
    if (edge.direction == CRouteEdge::kClosed)
        return false;
    if (!TakeNodeId(source.GetFieldLong(fields[kFrom]), edge.fromNode) ||
        !TakeNodeId(source.GetFieldLong(fields[kTo]), edge.toNode))
        return false;
    // A negative length would make a negative cost, which the search cannot take.
    const double length = source.GetFieldDouble(fields[kLength]);
    if (!(length >= 0))
        return false;
    edge.length = edge.cost = ToCost(length);
    if (fields[kWeight] >= 0) {
        const double weight = source.GetFieldDouble(fields[kWeight]);
        if (!(weight > 0))
            return false;
        edge.cost = ToCost(static_cast<double>(5 * static_cast<int64_t>(edge.length)) / weight);
    }
    return true;
}

// -------------------------------------------------------------- snapping

CMapPoint ApplyEndSnap(const CMapPoint& p, const CMapPoint& nearest, const CMapPoint& first, const CMapPoint& last,
                       const CMapPoint& start, const std::function<double(const CMapPoint&, const CMapPoint&)>& km)
{
    if (nearest == first || nearest == last || nearest == start)
        return nearest;
    const double tolerance = kEndSnapFactor * km(p, nearest);
    const double toFirst = km(p, first);
    const double toLast = km(p, last);
    if (toFirst < tolerance || toFirst < kEndSnapKm)
        return toFirst <= toLast ? first : last;
    if (toLast < tolerance || toLast < kEndSnapKm)
        return last;
    if (km(p, start) < tolerance)
        return start;
    return nearest;
}

bool CRouteNetwork::SnapPoint(const CMapPoint& p, CMapPoint& snapped, int& node)
{
    CMapRect window(-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX);
    double best = DBL_MAX;
    CRouteEdge* hit = nullptr;
    int segment = 0;
    CMapPoint nearest;
    for (const auto& edge : m_edges) {
        if (edge->fromNode <= 0 || !BoxesMeet(window, edge->GetExtent()))
            continue;
        int index = 0;
        CMapPoint point;
        if (edge->HitTestSegment(p, best, -1, index, &point)) {
            best = Chebyshev(point, p);
            hit = edge.get();
            segment = index;
            nearest = point;
            window = CMapRect(p.x - best, p.y + best, p.x + best, p.y - best);
        }
    }
    if (!hit)
        return false;

    const CMapPoint first = hit->GetPoint(0);
    const CMapPoint last = hit->GetPoint(hit->GetPointCount() - 1);
    const CMapPoint start = hit->GetPoint(segment);
    nearest = ApplyEndSnap(p, nearest, first, last, start,
                           [this](const CMapPoint& a, const CMapPoint& b) { return DistanceKm(a, b); });
    snapped = nearest;
    if (nearest == first) {
        node = hit->fromNode;
        return true;
    }
    if (nearest == last) {
        node = hit->toNode;
        return true;
    }
    return SplitEdge(*hit, segment, nearest, node);
}

bool CRouteNetwork::SplitEdge(CRouteEdge& edge, int segment, const CMapPoint& at, int& node)
{
    if (m_nextVirtualNode >= INT_MAX)
        return false;
    try {
        CShape cut;
        cut.Copy(edge);
        int vertex = segment;
        if (at != edge.GetPoint(segment))
            cut.InsertPoint(++vertex, at);
        auto head = std::make_unique<CRouteEdge>();
        auto tail = std::make_unique<CRouteEdge>();
        CutAtVertex(cut, vertex, *head, *tail);
        m_edges.reserve(m_edges.size() + 2);

        const double headKm = ShapeLengthKm(*head);
        const double tailKm = ShapeLengthKm(*tail);
        const int id = ++m_nextVirtualNode;
        for (CRouteEdge* piece : {head.get(), tail.get()}) {
            piece->direction = edge.direction;
            piece->record = edge.record;
        }
        head->fromNode = edge.fromNode;
        head->toNode = id;
        tail->fromNode = id;
        tail->toNode = edge.toNode;
        head->cost = FirstShare(edge.cost, headKm, tailKm);
        tail->cost = edge.cost - head->cost;
        head->length = FirstShare(edge.length, headKm, tailKm);
        tail->length = edge.length - head->length;
        m_edges.push_back(std::move(head));
        m_edges.push_back(std::move(tail));
    } catch (const std::bad_alloc&) {
        return false;
    }
    edge.fromNode = -edge.fromNode;
    edge.split = true;
    node = m_nextVirtualNode;
    return true;
}

// -------------------------------------------------------------- searches

bool CRouteNetwork::ShortestPaths(int sourceStop, int nodeCount, int stopCount, const int* stopNodes,
                                  const CRouteNodeIndex& nodes, CRouteStep* predRow, int* costRow,
                                  IProgress* progress)
{
    if (!ValidSearch(nodeCount, stopCount, stopNodes, nodes) || sourceStop < 0 || sourceStop >= stopCount ||
        !predRow || !costRow)
        return false;
    if (!StopsHaveNodes(nodeCount, stopCount, stopNodes))
        return false;
    auto work = AllocateRouteArray<CSettleQueue::Node>(static_cast<size_t>(nodeCount));
    auto heap = AllocateRouteArray<uint64_t>(static_cast<size_t>(nodeCount));
    auto isStop = AllocateRouteArray<bool>(static_cast<size_t>(nodeCount));
    if (!work || !heap || !isStop) {
        ShowMessage(kOutOfMemory);
        return false;
    }
    for (int i = 0; i < nodeCount; ++i) {
        work[i] = {INT_MAX, CSettleQueue::kOutside};
        predRow[i] = CRouteStep();
    }
    for (int i = 0; i < stopCount; ++i)
        isStop[stopNodes[i]] = true;

    CSettleQueue queue(work.get(), heap.get());
    const int source = stopNodes[sourceStop];
    int a = source;
    work[a].distance = 0;
    int remaining = stopCount - 1;
    bool completed = true;
    for (int settled = 1; settled < nodeCount; ++settled) {
        work[a].slot = CSettleQueue::kSettled;
        const int64_t base = work[a].distance;
        const CRouteArc* arcs = nodes.GetArcs(a);
        for (int k = 0, degree = nodes.GetNode(a).degree; k < degree; ++k) {
            const CRouteArc& arc = arcs[k];
            CSettleQueue::Node& next = work[arc.node];
            if (next.slot == CSettleQueue::kSettled)
                continue;
            // A sum at INT_MAX or above is no better than no path.
            const int64_t distance = base + arc.cost;
            if (distance < next.distance) {
                predRow[arc.node] = {arc.edge, a};
                next.distance = static_cast<int>(distance);
                queue.Update(arc.node);
            }
        }
        if (queue.Empty())
            break;
        const int b = queue.PopSettled();
        // What the next node settled is likely to need, fetched while this one is done.
        if (!queue.Empty())
            __builtin_prefetch(&nodes.GetNode(queue.Top()));
        // With no stop left to wait for (one stop only) the flags need no look.
        if (remaining > 0 && isStop[b] && --remaining == 0)
            break;
        if (progress && progress->CheckCancel()) {
            completed = false;
            break;
        }
        a = b;
    }
    if (completed) {
        for (int i = 0; i < stopCount; ++i)
            costRow[i] = stopNodes[i] == source ? INT_MAX : work[stopNodes[i]].distance;
    }
    return completed;
}

bool CRouteNetwork::ComputeCostMatrix(CCostMatrix& costs, CPredecessorMatrix& preds, int rows, int nodeCount,
                                      int stopCount, const int* stopNodes, const CRouteNodeIndex& nodes,
                                      IProgress* progress)
{
    costs.Free();
    preds.Free();
    if (!ValidSearch(nodeCount, stopCount, stopNodes, nodes) || rows > stopCount)
        return false;
    if (!StopsHaveNodes(nodeCount, stopCount, stopNodes))
        return false;
    if (!costs.Allocate(rows, stopCount) || !preds.Allocate(rows, nodeCount)) {
        costs.Free();
        preds.Free();
        ShowMessage(kOutOfMemory);
        return false;
    }
    for (int i = 0; i < rows; ++i) {
        if (progress)
            progress->StepIt();
        if (!ShortestPaths(i, nodeCount, stopCount, stopNodes, nodes, preds.GetRow(i), costs.GetRow(i), progress) ||
            (progress && progress->CheckCancel())) {
            costs.Free();
            preds.Free();
            return false;
        }
    }
    return true;
}
