#pragma once

#include "routing/RouteAllocation.h"
#include "routing/RouteEdge.h"

#include <memory>
#include <vector>

// One way along an edge out of a node.
struct CRouteArc {
    int edge; // the edge's index when the arc runs the edge's way, else its complement (~index)
    int node; // position of the neighbour in the index
    int cost;
};

struct CRouteNode {
    int id;
    int degree;   // arcs out of the node
    int firstArc; // where they start in the index's arc list
};

// The nodes of the routing graph sorted by id, each with the arcs that
// leave it. A node's arcs follow the order of the edges; a node is in the
// index when an edge ends there, even if no arc leaves it.
class CRouteNodeIndex {
public:
    // Builds the index over the edges; the split ones (their pieces stand in
    // their place) and those with an empty box stay out. False, and an empty
    // index, when there are no edges or no memory for them.
    bool Build(const std::vector<std::unique_ptr<CRouteEdge>>& edges);
    void Clear();

    int GetCount() const { return m_count; }
    // The position of the node with that id; -1 when it is not in the graph.
    int Find(int id) const;
    const CRouteNode& GetNode(int position) const { return m_nodes[static_cast<size_t>(position)]; }
    const CRouteArc* GetArcs(int position) const { return m_arcs + GetNode(position).firstArc; }

private:
    using CEdges = std::vector<std::unique_ptr<CRouteEdge>>;
    // The nodes numbered by their ids and their arcs' places counted:
    // through a table over the ids' range when it is small, else by
    // sorting them. The arcs are then filled in, each at the next place of
    // its node, position(id) giving where a node stands.
    void NumberDenseIds(const CEdges& edges, int low, int high, int* table);
    void NumberIds(const CEdges& edges, size_t ends, int* block);
    // The nodes' array just after the work space, the arcs' after it.
    void PlaceNodes(const int* workEnd, size_t nodes);
    void PlaceArcs(size_t arcs);
    template <class Position>
    void FillArcs(const CEdges& edges, Position&& position);

    // The work space, the nodes and the arcs one after another, on as few
    // pages as they can be; every entry is written once, none need be
    // cleared first.
    CRouteRegion m_region;
    CRouteNode* m_nodes = nullptr;
    CRouteArc* m_arcs = nullptr;
    int m_count = 0;
};
