#include "routing/RouteNetwork.h"

#include "platform/UserServices.h"

#include <climits>
#include <vector>

namespace {
constexpr int kOutOfMemory = 1005;
constexpr int kRouteNotFound = 1020;

class CEdgesCleared {
public:
    explicit CEdgesCleared(CRouteNetwork& network) : m_network(network) {}
    ~CEdgesCleared() { m_network.ClearEdges(); }
    CEdgesCleared(const CEdgesCleared&) = delete;
    CEdgesCleared& operator=(const CEdgesCleared&) = delete;

private:
    CRouteNetwork& m_network;
};

std::unique_ptr<IProgress> OpenProgress(int steps)
{
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    if (progress) {
        progress->SetRange(0, steps);
        progress->SetStep(1);
    }
    return progress;
}
} // namespace

bool CRouteNetwork::ComputeDistanceMatrix(std::vector<CMatrixPoint>& points, bool full, CCostMatrix& costs)
{
    costs.Free();
    const int n = static_cast<int>(points.size());
    if (n < 1)
        return false;
    CEdgesCleared clear(*this);
    std::vector<CMapPoint> given(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        given[i] = points[i].given;
    if (!BuildGraphAround(given.data(), n))
        return false;
    std::vector<int> groupNodes;
    for (CMatrixPoint& point : points) {
        if (!SnapPoint(point.given, point.snapped, point.node)) {
            AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
            return false;
        }
        point.group = -1;
        for (size_t g = 0; g < groupNodes.size(); ++g)
            if (groupNodes[g] == point.node)
                point.group = static_cast<int>(g);
        if (point.group < 0) {
            point.group = static_cast<int>(groupNodes.size());
            groupNodes.push_back(point.node);
        }
    }
    CRouteNodeIndex index;
    if (!index.Build(m_edges)) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    const int groups = static_cast<int>(groupNodes.size());
    for (int& node : groupNodes)
        node = index.Find(node);
    std::unique_ptr<IProgress> window = OpenProgress(groups);
    IProgress* watch = progress ? progress : window.get();
    CPredecessorMatrix preds;
    return ComputeCostMatrix(costs, preds, full ? groups : 1, index.GetCount(), groups, groupNodes.data(), index,
                             watch);
}

bool CRouteNetwork::CheckConnectivity(std::vector<CMapPoint>& out)
{
    out.clear();
    CEdgesCleared clear(*this);
    if (!BuildGraph(!m_fields.weightField.empty(), nullptr, 0, nullptr))
        return false;
    CRouteNodeIndex index;
    if (!index.Build(m_edges)) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    std::vector<int> deadEnds;
    for (int i = 0; i < index.GetCount(); ++i)
        if (index.GetNode(i).degree == 1)
            deadEnds.push_back(i);
    if (deadEnds.size() < 2)
        return true;
    const int count = static_cast<int>(deadEnds.size());
    std::unique_ptr<IProgress> window = OpenProgress(count);
    IProgress* watch = progress ? progress : window.get();
    CCostMatrix costs;
    CPredecessorMatrix preds;
    if (!ComputeCostMatrix(costs, preds, 1, index.GetCount(), count, deadEnds.data(), index, watch))
        return false;
    auto position = [&](int node) {
        const CRouteNode& entry = index.GetNode(node);
        const CRouteArc& arc = index.GetArcs(node)[0];
        const CRouteEdge& edge = *m_edges[static_cast<size_t>(arc.edge < 0 ? ~arc.edge : arc.edge)];
        const int last = edge.GetPointCount() - 1;
        return edge.Points().GetData()[edge.fromNode == entry.id ? 0 : last];
    };
    out.push_back(position(deadEnds[0]));
    for (int k = 1; k < count; ++k)
        if (costs.At(0, k) == INT_MAX)
            out.push_back(position(deadEnds[static_cast<size_t>(k)]));
    return true;
}
