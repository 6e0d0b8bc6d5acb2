#include "routing/RouteNetwork.h"

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "platform/UserServices.h"
#include "routing/StopOrder.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kRouteNotFound = 1020;
// Street lists longer than this are shortened to fit a table field.
constexpr size_t kStreetListLimit = 254;
constexpr size_t kStreetListKeep = 250;

void ShowRouteNotFound()
{
    AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
}

// Every route through points leaves the network without edges, however it ends.
class CEdgesClearedOnExit {
public:
    explicit CEdgesClearedOnExit(CRouteNetwork& network) : m_network(network) {}
    ~CEdgesClearedOnExit() { m_network.ClearEdges(); }

private:
    CRouteNetwork& m_network;
};

// Joins piece to the points and part sizes built so far as CShape::Append
// does: its first part continues the last one, the joint kept once.
void AppendContinuing(std::vector<CMapPoint>& points, std::vector<uint32_t>& sizes, const CShape& piece)
{
    const int count = piece.GetPointCount();
    if (count == 0)
        return;
    const CMapPoint* from = piece.Points().GetData();
    std::vector<uint32_t> pieceSizes = piece.PartSizes();
    if (pieceSizes.empty())
        pieceSizes.push_back(static_cast<uint32_t>(count));
    const int drop = !sizes.empty() && sizes.back() > 0 && pieceSizes.front() > 0 ? 1 : 0;
    points.insert(points.end(), from + drop, from + count);
    if (sizes.empty())
        sizes.push_back(0);
    sizes.back() += pieceSizes.front() - static_cast<uint32_t>(drop);
    sizes.insert(sizes.end(), pieceSizes.begin() + 1, pieceSizes.end());
}

void MakeLine(CShape& shape, const std::vector<CMapPoint>& points)
{
    shape.SetPoints(static_cast<int>(points.size()), points.data());
    shape.RecalcBounds();
}

// Keeps the first two names and what fits of the tail.
void ShortenStreetList(std::string& text)
{
    if (text.size() <= kStreetListLimit)
        return;
    const size_t first = text.find(',');
    if (first == std::string::npos || first >= kStreetListKeep)
        return;
    const size_t second = text.find(',', first + 1);
    if (second == std::string::npos || second >= kStreetListKeep)
        return;
    const size_t tail = text.find(',', text.size() + second - kStreetListKeep);
    text = text.substr(0, second + 1) + " ..." + (tail == std::string::npos ? std::string() : text.substr(tail));
}

} // namespace

const CRouteEdge* CRouteNetwork::EdgeOf(int reference) const
{
    const size_t index = static_cast<size_t>(reference < 0 ? ~reference : reference);
    return index < m_edges.size() ? m_edges[index].get() : nullptr;
}

bool CRouteNetwork::BuildGraphAround(const CMapPoint* points, int n)
{
    CMapRect query;
    std::vector<CMapRect> stopRects;
    MakeStopRects(points, n, query, stopRects);
    return BuildGraph(!m_fields.weightField.empty(), &query, n, stopRects.data());
}

void CRouteNetwork::AssembleRouteShape(const int* edges, int count, CShape& shape) const
{
    shape = CShape();
    size_t total = 0;
    for (int k = 0; k < count; ++k)
        if (const CRouteEdge* edge = EdgeOf(edges[k]))
            total += static_cast<size_t>(edge->GetPointCount());
    std::vector<CMapPoint> points;
    points.reserve(total);
    std::vector<uint32_t> sizes;
    CShape turned;
    for (int k = count - 1; k >= 0; --k) {
        const CRouteEdge* edge = EdgeOf(edges[k]);
        if (!edge)
            continue;
        if (edges[k] < 0) {
            turned.Copy(*edge);
            turned.Reverse();
            AppendContinuing(points, sizes, turned);
        } else {
            AppendContinuing(points, sizes, *edge);
        }
    }
    if (sizes.empty())
        return;
    CMapPointArray joined;
    joined.Append(points.data(), static_cast<int>(points.size()));
    shape.SetParts(std::move(joined), std::move(sizes));
}

void CRouteNetwork::BuildStreetList(std::string& text, CDbfTable& table, int nameField, int firstLegCount,
                                    const int* edges, int count) const
{
    text.clear();
    std::string previous, name;
    for (int k = count - 1, done = 0; k >= 0; --k, ++done) {
        if (done == firstLegCount) {
            previous.clear();
            text += " //";
        }
        const CRouteEdge* edge = EdgeOf(edges[k]);
        name.clear();
        if (edge && table.GoToRecord(edge->record))
            table.GetFieldString(nameField, name);
        if (name.empty() || name == previous)
            continue;
        if (!text.empty())
            text += ", ";
        text += name;
        previous = name;
    }
    ShortenStreetList(text);
}

bool CRouteNetwork::RouteForPoints(const CMapPoint* points, int n, int* order)
{
    totalLength = 0;
    legs.clear();
    if (!points || !order || n < 2)
        return false;
    CEdgesClearedOnExit clear(*this);
    if (!BuildGraphAround(points, n))
        return false;
    std::vector<int> nodeIds(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        CMapPoint snapped;
        if (!SnapPoint(points[i], snapped, nodeIds[static_cast<size_t>(i)])) {
            ShowRouteNotFound();
            return false;
        }
    }
    CRouteNodeIndex index;
    if (!index.Build(m_edges)) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    std::vector<int> stops(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        stops[static_cast<size_t>(i)] = index.Find(nodeIds[static_cast<size_t>(i)]);
    CCostMatrix costs;
    CPredecessorMatrix preds;
    if (!ComputeCostMatrix(costs, preds, n, index.GetCount(), n, stops.data(), index, progress))
        return false;
    if (n < 3) {
        order[0] = 0;
        order[1] = 1;
    } else {
        ZeroCostsOfSharedNodes(costs.GetRows(), n, stops.data());
        int64_t cost = 0;
        if (!SolveTour(costs.GetRows(), n, 0, n - 1, order, &cost, progress))
            return false;
    }
    std::vector<int> leg;
    for (int k = 0; k + 1 < n; ++k) {
        const int from = order[k], to = order[k + 1];
        if (!preds.GetLeg(from, stops[static_cast<size_t>(from)], stops[static_cast<size_t>(to)], leg)) {
            ShowRouteNotFound();
            legs.clear();
            totalLength = 0;
            return false;
        }
        int64_t metres = 0;
        for (int reference : leg)
            metres += EdgeOf(reference)->length;
        totalLength += static_cast<double>(metres) * 0.001;
        auto shape = std::make_unique<CShape>();
        AssembleRouteShape(leg.data(), static_cast<int>(leg.size()), *shape);
        legs.push_back(std::move(shape));
    }
    return true;
}

bool CRouteNetwork::RouteThroughPoints(const CMapPoint* points, int n)
{
    totalLength = 0;
    legs.clear();
    if (!points || n < 2)
        return false;
    CEdgesClearedOnExit clear(*this);
    if (!BuildGraphAround(points, n) && tolerate != 1)
        return false;

    // A point off the network stands for itself: it has no node, gap -1.
    struct CStop {
        CMapPoint snapped;
        int node = -1;
        int position = -1;
        double gap = -1;
    };
    std::vector<CStop> stops(static_cast<size_t>(n));
    bool anyOnNetwork = false;
    for (int i = 0; i < n; ++i) {
        CStop& stop = stops[static_cast<size_t>(i)];
        stop.snapped = points[i];
        CMapPoint snapped;
        int node = 0;
        if (!SnapPoint(points[i], snapped, node)) {
            if (tolerate != 1)
                return false;
            continue;
        }
        const double gap = DistanceKm(points[i], snapped);
        if (!(gap <= gapLimit))
            continue;
        stop.snapped = snapped;
        stop.node = node;
        stop.gap = gap;
        anyOnNetwork = true;
    }
    CRouteNodeIndex index;
    if (anyOnNetwork) {
        if (!index.Build(m_edges)) {
            AppMessageBox(kOutOfMemory);
            return false;
        }
        for (int i = 0; i < n; ++i) {
            CStop& stop = stops[static_cast<size_t>(i)];
            if (stop.node >= 0 && (stop.position = index.Find(stop.node)) < 0) {
                stop = CStop();
                stop.snapped = points[i];
            }
        }
    }

    std::unique_ptr<CGdbSource> file;
    if (writeToFile != 0) {
        file = std::make_unique<CGdbSource>();
        if (!file->Create(outputPath, CFeatureSource::kLine, nullptr))
            return false;
    }
    auto fail = [&] {
        legs.clear();
        totalLength = 0;
        return false;
    };

    std::vector<int> references;
    for (int k = 0; k + 1 < n; ++k) {
        const CStop& a = stops[static_cast<size_t>(k)];
        const CStop& b = stops[static_cast<size_t>(k + 1)];
        const bool farA = a.gap > connectorThreshold, farB = b.gap > connectorThreshold;
        auto leg = std::make_unique<CShape>();
        bool straight = a.node < 0 || b.node < 0 || (farA && farB && DistanceKm(points[k], points[k + 1]) < a.gap);
        if (!straight && a.node == b.node) {
            std::vector<CMapPoint> line;
            if (farA) {
                line.push_back(points[k]);
                totalLength += a.gap;
            }
            line.push_back(a.snapped);
            if (farB) {
                line.push_back(points[k + 1]);
                totalLength += b.gap;
            }
            MakeLine(*leg, line);
        } else if (!straight) {
            const int ends[2] = {a.position, b.position};
            CCostMatrix costs;
            CPredecessorMatrix preds;
            bool routed = ComputeCostMatrix(costs, preds, 1, index.GetCount(), 2, ends, index, progress);
            if (routed && !preds.GetLeg(0, ends[0], ends[1], references)) {
                ShowRouteNotFound();
                routed = false;
            }
            if (routed) {
                int64_t metres = 0;
                for (int reference : references)
                    metres += EdgeOf(reference)->length;
                double length = static_cast<double>(metres) * 0.001;
                CShape road;
                AssembleRouteShape(references.data(), static_cast<int>(references.size()), road);
                if (farA) {
                    MakeLine(*leg, {points[k], a.snapped});
                    leg->Append(road, false);
                    length += a.gap;
                } else {
                    *leg = std::move(road);
                }
                if (farB) {
                    leg->AddPoint(points[k + 1]);
                    leg->RecalcBounds();
                    length += b.gap;
                }
                totalLength += length;
            } else if (tolerate == 1) {
                straight = true;
            } else {
                return fail();
            }
        }
        if (straight) {
            const CMapPoint from = farA ? points[k] : a.snapped;
            const CMapPoint to = farB ? points[k + 1] : b.snapped;
            MakeLine(*leg, {from, to});
            totalLength += DistanceKm(from, to);
        }
        if (file) {
            if (!file->AppendShape(*leg, true))
                return fail();
        } else {
            legs.push_back(std::move(leg));
        }
    }
    if (file)
        file->Close();
    return true;
}
