#include "routing/RouteNodeIndex.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

namespace {

// The edges lie apart in memory and each pass reads one or two lines of
// every edge: those some edges ahead are asked for early.
constexpr size_t kAhead = 8;

void Prefetch(const std::vector<std::unique_ptr<CRouteEdge>>& edges, size_t i)
{
    if (i + kAhead < edges.size()) {
        const char* at = reinterpret_cast<const char*>(edges[i + kAhead].get());
        __builtin_prefetch(at);
        __builtin_prefetch(at + sizeof(CRouteEdge) - 1);
    }
}

bool InGraph(const CRouteEdge& edge)
{
    // A split edge shares its negated from id with any other split of the
    // same node: kept in, the two would join as a link that is not there.
    return !edge.split && edge.GetExtent().IsValid();
}

} // namespace

void CRouteNodeIndex::Clear()
{
    m_region = CRouteRegion();
    m_nodes = nullptr;
    m_arcs = nullptr;
    m_count = 0;
}

namespace {

// Each array starts on a cache line of its own.
template <class T>
T* Aligned(const void* at)
{
    constexpr uintptr_t kLine = 64;
    return reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(at) + kLine - 1) & ~(kLine - 1));
}

} // namespace

void CRouteNodeIndex::PlaceNodes(const int* workEnd, size_t nodes)
{
    if (nodes > static_cast<size_t>(INT_MAX))
        throw std::bad_alloc();
    m_nodes = Aligned<CRouteNode>(workEnd);
    m_count = static_cast<int>(nodes);
}

void CRouteNodeIndex::PlaceArcs(size_t arcs)
{
    if (arcs > static_cast<size_t>(INT_MAX))
        throw std::bad_alloc();
    m_arcs = Aligned<CRouteArc>(m_nodes + m_count);
}

int CRouteNodeIndex::Find(int id) const
{
    const CRouteNode* begin = m_nodes;
    const CRouteNode* end = begin + m_count;
    const CRouteNode* it =
        std::lower_bound(begin, end, id, [](const CRouteNode& node, int value) { return node.id < value; });
    return it != end && it->id == id ? static_cast<int>(it - begin) : -1;
}

bool CRouteNodeIndex::Build(const CEdges& edges)
{
    Clear();
    if (edges.empty())
        return false;
    try {
        // The edges lie apart in memory, but a few passes over them cost
        // less than a compact copy of them on fresh pages.
        int low = INT_MAX, high = INT_MIN;
        size_t ends = 0;
        for (size_t i = 0; i < edges.size(); ++i) {
            Prefetch(edges, i);
            const auto& edge = edges[i];
            if (InGraph(*edge)) {
                low = std::min({low, edge->fromNode, edge->toNode});
                high = std::max({high, edge->fromNode, edge->toNode});
                ends += 2;
            }
        }
        if (ends == 0)
            return true;
        const bool dense = int64_t(high) - low < int64_t(ends) * 4;
        // The work space is the table over the ids' range or room for every
        // end; each end brings at most one node and one arc.
        const size_t work = dense ? static_cast<size_t>(int64_t(high) - low + 1) : ends;
        constexpr size_t kAlignment = 2 * 64;
        m_region = CRouteRegion(work * sizeof(int) + ends * (sizeof(CRouteNode) + sizeof(CRouteArc)) + kAlignment);
        int* const space = reinterpret_cast<int*>(m_region.Get());
        if (dense)
            NumberDenseIds(edges, low, high, space);
        else
            NumberIds(edges, ends, space);
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    return true;
}

void CRouteNodeIndex::NumberDenseIds(const CEdges& edges, int low, int high, int* table)
{
    // Ids close together: a table over their range says where each node
    // stands, with no sort and no search. It first counts the arcs out of
    // each id (-1 for an id no edge ends at).
    const size_t range = static_cast<size_t>(int64_t(high) - low + 1);
    CRouteRegion::Prepare(table, range * sizeof(int));
    std::fill(table, table + range, -1);
    const auto slot = [&](int id) -> int& { return table[static_cast<size_t>(id - low)]; };
    for (size_t i = 0; i < edges.size(); ++i) {
        Prefetch(edges, i);
        const auto& edge = edges[i];
        if (!InGraph(*edge))
            continue;
        int& from = slot(edge->fromNode);
        int& to = slot(edge->toNode);
        from = std::max(from, 0) + !(edge->direction & CRouteEdge::kNoForward);
        to = std::max(to, 0) + !(edge->direction & CRouteEdge::kNoBackward);
    }
    size_t nodes = 0, arcs = 0;
    for (size_t k = 0; k < range; ++k)
        if (const int degree = table[k]; degree >= 0) {
            ++nodes;
            arcs += static_cast<size_t>(degree);
        }
    PlaceNodes(table + range, nodes);
    PlaceArcs(arcs);
    CRouteRegion::Prepare(m_nodes, static_cast<size_t>(reinterpret_cast<char*>(m_arcs + arcs) -
                                                       reinterpret_cast<char*>(m_nodes)));
    int position = 0, firstArc = 0;
    for (size_t k = 0; k < range; ++k) {
        if (table[k] < 0)
            continue;
        m_nodes[static_cast<size_t>(position)] = {low + static_cast<int>(k), 0, firstArc};
        firstArc += table[k];
        table[k] = position++;
    }
    FillArcs(edges, [&](int id) { return slot(id); });
}

void CRouteNodeIndex::NumberIds(const CEdges& edges, size_t ends, int* block)
{
    // The work space holds first the ids, then the ends' positions.
    CRouteRegion::Prepare(block, ends * sizeof(int));
    int* const ids = block;
    size_t count = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
        Prefetch(edges, i);
        const auto& edge = edges[i];
        if (InGraph(*edge)) {
            ids[count++] = edge->fromNode;
            ids[count++] = edge->toNode;
        }
    }
    std::sort(ids, ids + count);
    count = static_cast<size_t>(std::unique(ids, ids + count) - ids);
    // The arcs are counted before they get their array.
    PlaceNodes(block + ends, count);
    CRouteRegion::Prepare(m_nodes, count * sizeof(CRouteNode));
    for (size_t i = 0; i < count; ++i)
        m_nodes[i] = {ids[i], 0, 0};

    // The ends' positions, found once for both passes.
    int* const positions = block;
    size_t placed = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
        Prefetch(edges, i);
        const auto& edge = edges[i];
        if (!InGraph(*edge))
            continue;
        const int from = Find(edge->fromNode);
        const int to = Find(edge->toNode);
        positions[placed++] = from;
        positions[placed++] = to;
        m_nodes[static_cast<size_t>(from)].degree += !(edge->direction & CRouteEdge::kNoForward);
        m_nodes[static_cast<size_t>(to)].degree += !(edge->direction & CRouteEdge::kNoBackward);
    }
    size_t arcs = 0;
    for (int i = 0; i < m_count; ++i) {
        CRouteNode& node = m_nodes[static_cast<size_t>(i)];
        node.firstArc = static_cast<int>(std::min<size_t>(arcs, INT_MAX));
        arcs += static_cast<size_t>(node.degree);
        node.degree = 0;
    }
    PlaceArcs(arcs);
    CRouteRegion::Prepare(m_arcs, arcs * sizeof(CRouteArc));
    size_t next = 0;
    FillArcs(edges, [&](int) { return positions[next++]; });
}

template <class Position>
void CRouteNodeIndex::FillArcs(const CEdges& edges, Position&& position)
{
    for (size_t i = 0; i < edges.size(); ++i) {
        Prefetch(edges, i);
        const CRouteEdge& edge = *edges[i];
        if (!InGraph(edge))
            continue;
        const int from = position(edge.fromNode);
        const int to = position(edge.toNode);
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
}
