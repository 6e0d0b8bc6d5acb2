// Random networks against a plain implementation that follows the written
// rules step by step: edges from the records, the node index by insertion
// and linear look-up, and Dijkstra scanning every node for the next one.

#include "routing/RouteNetwork.h"

#include "tests/routing/RouteTestNetwork.h"
#include "tests/routing/TourTestMatrices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ reference

struct RefEdge {
    int from, to, length, cost, record;
    int16_t direction;
};

int RefClamp(double value)
{
    return value >= INT_MAX - 1 ? INT_MAX - 1 : static_cast<int>(value);
}

// The edges the records give, in record order.
std::vector<RefEdge> RefBuild(const CMemoryRouteSource& source, bool useWeight)
{
    std::vector<RefEdge> edges;
    for (size_t r = 0; r < source.lines.size(); ++r) {
        const auto& v = source.lines[r].values;
        RefEdge e{};
        e.record = static_cast<int>(r);
        e.direction = static_cast<int16_t>(std::atol(v[kTestDirection].c_str()));
        if (e.direction == 3)
            continue;
        const long from = std::atol(v[kTestFrom].c_str()), to = std::atol(v[kTestTo].c_str());
        if (from < INT_MIN || from >= 0x40000000 || to < INT_MIN || to >= 0x40000000)
            continue;
        e.from = static_cast<int>(from);
        e.to = static_cast<int>(to);
        const double length = std::atof(v[kTestLength].c_str());
        if (!(length >= 0))
            continue;
        e.length = e.cost = RefClamp(length);
        if (useWeight) {
            const double weight = std::atof(v[kTestWeight].c_str());
            if (!(weight > 0))
                continue;
            e.cost = RefClamp(static_cast<double>(5 * static_cast<int64_t>(e.length)) / weight);
        }
        edges.push_back(e);
    }
    return edges;
}

struct RefArc {
    int edge, node, cost;
    friend bool operator==(const RefArc&, const RefArc&) = default;
};

struct RefNode {
    int id;
    int degree;
    std::vector<RefArc> arcs;
};

struct RefIndex {
    std::vector<RefNode> nodes;

    void AddNode(int id)
    {
        size_t low = 0, high = nodes.size();
        while (low < high) {
            const size_t middle = (low + high) / 2;
            if (nodes[middle].id == id) {
                ++nodes[middle].degree;
                return;
            }
            if (nodes[middle].id < id)
                low = middle + 1;
            else
                high = middle;
        }
        nodes.insert(nodes.begin() + static_cast<ptrdiff_t>(low), RefNode{id, 1, {}});
    }
    int Linear(int id) const
    {
        for (size_t i = 0; i < nodes.size(); ++i)
            if (nodes[i].id == id)
                return static_cast<int>(i);
        return -1;
    }
    void AddArc(int from, int to, int cost, int edge, int direction)
    {
        const int f = Linear(from), t = Linear(to);
        if (!(direction & 1)) {
            nodes[static_cast<size_t>(f)].arcs.push_back({edge, t, cost});
            ++nodes[static_cast<size_t>(f)].degree;
        }
        if (!(direction & 2)) {
            nodes[static_cast<size_t>(t)].arcs.push_back({~edge, f, cost});
            ++nodes[static_cast<size_t>(t)].degree;
        }
    }
    bool Build(const std::vector<std::unique_ptr<CRouteEdge>>& edges)
    {
        nodes.clear();
        if (edges.empty())
            return false;
        auto usable = [](const CRouteEdge& e) { return !e.split && e.GetExtent().IsValid(); };
        for (const auto& e : edges) {
            if (usable(*e)) {
                AddNode(e->fromNode);
                AddNode(e->toNode);
            }
        }
        for (RefNode& node : nodes) {
            node.arcs.reserve(static_cast<size_t>(node.degree));
            node.degree = 0;
        }
        for (size_t i = 0; i < edges.size(); ++i)
            if (usable(*edges[i]))
                AddArc(edges[i]->fromNode, edges[i]->toNode, edges[i]->cost, static_cast<int>(i),
                       edges[i]->direction);
        return true;
    }
};

struct RefRow {
    std::vector<CRouteStep> preds;
    std::vector<int> costs;
};

RefRow RefShortestPaths(int sourceStop, const std::vector<int>& stops, const RefIndex& index)
{
    const size_t n = index.nodes.size();
    std::vector<char> visited(n, 0);
    std::vector<int> distance(n, INT_MAX);
    RefRow row;
    row.preds.assign(n, CRouteStep{0, -1});
    int a = stops[static_cast<size_t>(sourceStop)];
    distance[static_cast<size_t>(a)] = 0;
    int remaining = static_cast<int>(stops.size()) - 1;
    if (n > 1) {
        for (size_t repeat = 0; repeat + 1 < n; ++repeat) {
            visited[static_cast<size_t>(a)] = 1;
            for (const RefArc& arc : index.nodes[static_cast<size_t>(a)].arcs) {
                const size_t next = static_cast<size_t>(arc.node);
                const int64_t sum = static_cast<int64_t>(distance[static_cast<size_t>(a)]) + arc.cost;
                if (!visited[next] && sum < distance[next]) {
                    row.preds[next] = {arc.edge, a};
                    distance[next] = static_cast<int>(sum);
                }
            }
            int best = -1;
            for (size_t i = 0; i < n; ++i)
                if (!visited[i] && distance[i] < INT_MAX &&
                    (best < 0 || distance[i] < distance[static_cast<size_t>(best)]))
                    best = static_cast<int>(i);
            if (best < 0)
                break;
            bool done = false;
            for (int stop : stops) {
                if (stop == best) {
                    done = --remaining == 0;
                    break;
                }
            }
            if (done)
                break;
            a = best;
        }
    }
    const int source = stops[static_cast<size_t>(sourceStop)];
    for (int stop : stops)
        row.costs.push_back(stop == source ? INT_MAX : distance[static_cast<size_t>(stop)]);
    return row;
}

// ------------------------------------------------------------ random networks

const char* const kDirections[] = {"", "0", "0", "0", "1", "2", "3"};
const char* const kWeights[] = {"1", "2", "0.5", "3", "0", "-1", "1.5"};

// Ids scattered over a wide range by default, so positions differ from ids.
void AddRandomLines(CTestRouteNetwork& net, TestRandom& random, int nodes, int idRange = 1000000)
{
    std::vector<int> ids;
    std::vector<CMapPoint> places;
    for (int i = 0; i < nodes; ++i) {
        ids.push_back(1 + random.Below(idRange));
        places.emplace_back(random.Below(10000), random.Below(10000));
    }
    const int lines = nodes + random.Below(2 * nodes + 1);
    const int maxCost = random.Chance(30) ? 3 : 1000; // small costs: many ties
    for (int i = 0; i < lines; ++i) {
        const int a = random.Below(nodes);
        const int b = random.Chance(3) ? a : random.Below(nodes);
        std::string length = std::to_string(random.Below(maxCost + 1));
        if (random.Chance(20))
            length += "." + std::to_string(random.Below(10));
        if (random.Chance(2))
            length = "-" + length;
        net.Line({places[static_cast<size_t>(a)], places[static_cast<size_t>(b)]}, ids[static_cast<size_t>(a)],
                 ids[static_cast<size_t>(b)], length, kDirections[random.Below(7)], "1",
                 kWeights[random.Below(7)]);
    }
}

void ExpectIndexesEqual(const CRouteNodeIndex& index, const RefIndex& ref, int seed)
{
    ASSERT_EQ(index.GetCount(), static_cast<int>(ref.nodes.size())) << seed;
    for (int i = 0; i < index.GetCount(); ++i) {
        const RefNode& node = ref.nodes[static_cast<size_t>(i)];
        ASSERT_EQ(index.GetNode(i).id, node.id) << seed;
        ASSERT_EQ(index.GetNode(i).degree, node.degree) << seed;
        for (int k = 0; k < node.degree; ++k) {
            const CRouteArc& arc = index.GetArcs(i)[k];
            ASSERT_EQ((RefArc{arc.edge, arc.node, arc.cost}), node.arcs[static_cast<size_t>(k)]) << seed;
        }
    }
}

TEST(RouteReference, RandomNetworksMatchThePlainImplementation)
{
    CScriptedUserServices user;
    for (int seed = 0; seed < 200; ++seed) {
        TestRandom random(static_cast<uint64_t>(seed) + 7000);
        // Most small, every tenth up to 2,000 nodes.
        const int nodes = 2 + random.Below(seed % 10 == 0 ? 1999 : 150);
        CTestRouteNetwork net;
        AddRandomLines(net, random, nodes);
        const bool useWeight = random.Chance(40);
        ASSERT_TRUE(net.Build(useWeight));

        const std::vector<RefEdge> expected = RefBuild(net.source, useWeight);
        ASSERT_EQ(net.GetEdges().size(), expected.size()) << seed;
        for (size_t i = 0; i < expected.size(); ++i) {
            const CRouteEdge& e = net.Edge(i);
            const RefEdge& r = expected[i];
            ASSERT_EQ(std::vector<int>({e.fromNode, e.toNode, e.length, e.cost, e.record, e.direction}),
                      std::vector<int>({r.from, r.to, r.length, r.cost, r.record, r.direction}))
                << seed << " edge " << i;
        }

        // Stops on nodes of the data and on snapped points, a second snap
        // on one line now and then, and stops that share a node.
        std::vector<int> stopIds;
        const int snaps = random.Below(4);
        for (int i = 0; i < snaps && !expected.empty(); ++i) {
            CMapPoint p(random.Below(10000), random.Below(10000)), at;
            int node = 0;
            if (net.SnapPoint(p, at, node))
                stopIds.push_back(node);
            if (random.Chance(50) && net.SnapPoint(CMapPoint(p.x + random.Below(200), p.y), at, node))
                stopIds.push_back(node);
        }
        CRouteNodeIndex index;
        RefIndex ref;
        ASSERT_EQ(index.Build(net.GetEdges()), ref.Build(net.GetEdges())) << seed;
        ExpectIndexesEqual(index, ref, seed);
        if (index.GetCount() == 0)
            continue;

        std::vector<int> stops;
        for (int id : stopIds)
            stops.push_back(index.Find(id));
        stops.erase(std::remove(stops.begin(), stops.end(), -1), stops.end());
        const int more = 1 + random.Below(5);
        for (int i = 0; i < more; ++i)
            stops.push_back(random.Chance(10) && !stops.empty() ? stops.front() : random.Below(index.GetCount()));
        const int stopCount = static_cast<int>(stops.size());

        CCostMatrix costs;
        CPredecessorMatrix preds;
        ASSERT_TRUE(CRouteNetwork::ComputeCostMatrix(costs, preds, stopCount, index.GetCount(), stopCount,
                                                     stops.data(), index, nullptr));
        for (int row = 0; row < stopCount; ++row) {
            const RefRow want = RefShortestPaths(row, stops, ref);
            ASSERT_EQ(std::vector<int>(costs.GetRow(row), costs.GetRow(row) + stopCount), want.costs)
                << seed << " row " << row;
            for (int i = 0; i < index.GetCount(); ++i) {
                const CRouteStep& got = preds.At(row, i);
                const CRouteStep& w = want.preds[static_cast<size_t>(i)];
                ASSERT_TRUE(got.previous == w.previous && got.edge == w.edge)
                    << seed << " row " << row << " node " << i;
            }
        }
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST(RouteReference, IdsCloseTogetherGiveThePlainIndexToo)
{
    // Ids from a range about as wide as the nodes are many (some shared,
    // some unused), and a snapped point now and then: the index numbers
    // them through a table over the range instead of sorting them.
    CScriptedUserServices user;
    for (int seed = 0; seed < 100; ++seed) {
        TestRandom random(static_cast<uint64_t>(seed) + 9100);
        const int nodes = 2 + random.Below(seed % 10 == 0 ? 1500 : 120);
        CTestRouteNetwork net;
        AddRandomLines(net, random, nodes, nodes + random.Below(nodes + 1));
        ASSERT_TRUE(net.Build(random.Chance(40)));
        CMapPoint at;
        int node = 0;
        if (random.Chance(50) && !net.GetEdges().empty())
            net.SnapPoint(CMapPoint(random.Below(10000), random.Below(10000)), at, node);
        CRouteNodeIndex index;
        RefIndex ref;
        ASSERT_EQ(index.Build(net.GetEdges()), ref.Build(net.GetEdges())) << seed;
        ExpectIndexesEqual(index, ref, seed);
        for (int i = 0; i < index.GetCount(); ++i)
            ASSERT_EQ(index.Find(index.GetNode(i).id), i) << seed;
    }
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
