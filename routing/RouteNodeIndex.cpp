#include "routing/RouteNodeIndex.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

bool InGraph(const CRouteEdge& edge)
{
    // A split edge shares its negated from id with any other split of the
    // same node: kept in, the two would join as a link that is not there.
    return !edge.split && edge.GetExtent().IsValid();
}

} // namespace

void CRouteNodeIndex::Clear()
{
    m_nodes = {};
    m_arcs = {};
}

int CRouteNodeIndex::Find(int id) const
{
    auto it = std::lower_bound(m_nodes.begin(), m_nodes.end(), id,
                               [](const CRouteNode& node, int value) { return node.id < value; });
    return it != m_nodes.end() && it->id == id ? static_cast<int>(it - m_nodes.begin()) : -1;
}

bool CRouteNodeIndex::Build(const std::vector<std::unique_ptr<CRouteEdge>>& edges)
{
    Clear();
    if (edges.empty())
        return false;
    try {
        std::vector<int> ids;
        ids.reserve(edges.size() * 2);
        for (const auto& edge : edges) {
            if (InGraph(*edge)) {
                ids.push_back(edge->fromNode);
                ids.push_back(edge->toNode);
            }
        }
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        m_nodes.resize(ids.size());
        for (size_t i = 0; i < ids.size(); ++i)
            m_nodes[i] = {ids[i], 0, 0};
        ids = {};

        // The ends' positions, found once for both passes.
        std::vector<int> ends;
        ends.reserve(edges.size() * 2);
        for (const auto& edge : edges) {
            if (!InGraph(*edge))
                continue;
            const int from = Find(edge->fromNode);
            const int to = Find(edge->toNode);
            ends.push_back(from);
            ends.push_back(to);
            if (!(edge->direction & CRouteEdge::kNoForward))
                ++m_nodes[static_cast<size_t>(from)].degree;
            if (!(edge->direction & CRouteEdge::kNoBackward))
                ++m_nodes[static_cast<size_t>(to)].degree;
        }
        size_t arcs = 0;
        for (CRouteNode& node : m_nodes) {
            node.firstArc = static_cast<int>(arcs);
            arcs += static_cast<size_t>(node.degree);
            node.degree = 0;
        }
        if (arcs > static_cast<size_t>(INT_MAX))
            throw std::bad_alloc();
        m_arcs.resize(arcs);

        size_t next = 0;
        for (size_t i = 0; i < edges.size(); ++i) {
            const CRouteEdge& edge = *edges[i];
            if (!InGraph(edge))
                continue;
            const int from = ends[next++];
            const int to = ends[next++];
            const int index = static_cast<int>(i);
            if (!(edge.direction & CRouteEdge::kNoForward)) {
                CRouteNode& node = m_nodes[static_cast<size_t>(from)];
                m_arcs[static_cast<size_t>(node.firstArc + node.degree++)] = {index, to, edge.cost};
            }
            if (!(edge.direction & CRouteEdge::kNoBackward)) {
                CRouteNode& node = m_nodes[static_cast<size_t>(to)];
                m_arcs[static_cast<size_t>(node.firstArc + node.degree++)] = {~index, from, edge.cost};
            }
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    return true;
}
