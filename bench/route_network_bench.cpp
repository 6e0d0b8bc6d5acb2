// bench-deps: drel_routing
// bench-needs: boost-graph
// The routing network on synthetic grid cities of 10k, 100k and 1M nodes
// (100 m blocks, seeded lengths with some zero, one-way and closed links):
// building the graph and its node index, the node index alone against
// Boost's compressed sparse row graph, 1,000 random routes, a 100 x 100
// cost matrix and shortest paths from one node to all. Routes, matrix and
// one-to-all are timed against Boost Graph's dijkstra_shortest_paths on the
// same graph, stopped as early as ours (at the target, or once every stop is
// settled); every distance is first checked against Boost's, and "ratio" is
// our time over Boost's.

#include "bench/GridCity.h"

#include <benchmark/benchmark.h>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <climits>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using BoostGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, int>;

struct CCity : CGridCity {
    explicit CCity(int nodes) : CGridCity(nodes) {}

    // What the grid should give: the links that are not closed and the nodes they touch.
    bool BuiltAsExpected() const
    {
        std::vector<char> touched(static_cast<size_t>(side) * side, 0);
        size_t links = 0;
        for (int k = 0; k < source.Records(); ++k) {
            if (CGridSource::Direction(k) == 3)
                continue;
            int a, b;
            source.Ends(k, a, b);
            touched[static_cast<size_t>(a)] = touched[static_cast<size_t>(b)] = 1;
            ++links;
        }
        return network.GetEdges().size() == links &&
               index.GetCount() == std::count(touched.begin(), touched.end(), 1) &&
               index.Find(1) == (touched[0] ? 0 : -1);
    }

    void MakeBoostGraph()
    {
        std::vector<std::pair<int, int>> arcs;
        std::vector<int> costs;
        for (int i = 0; i < index.GetCount(); ++i) {
            for (int k = 0; k < index.GetNode(i).degree; ++k) {
                arcs.emplace_back(i, index.GetArcs(i)[k].node);
                costs.push_back(index.GetArcs(i)[k].cost);
            }
        }
        boost = BoostGraph(boost::edges_are_sorted, arcs.begin(), arcs.end(), costs.begin(),
                           static_cast<size_t>(index.GetCount()));
    }

    BoostGraph boost;
};

// One city at a time: the 1M city takes some hundreds of megabytes.
CCity& City(int nodes)
{
    static std::unique_ptr<CCity> city;
    if (!city || city->side != static_cast<int>(std::lround(std::sqrt(nodes)))) {
        city.reset();
        city = std::make_unique<CCity>(nodes);
        city->Build();
        city->MakeBoostGraph();
    }
    return *city;
}

std::vector<int> RandomNodes(int count, int nodes, uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<int>(random() % static_cast<uint64_t>(nodes)));
    return out;
}

struct CStopSearch {};

// Settles like ours: stops when the last stop still wanted is examined.
class CStopVisitor : public boost::default_dijkstra_visitor {
public:
    CStopVisitor(const std::vector<char>* wanted, int* remaining) : m_wanted(wanted), m_remaining(remaining) {}
    template <class Vertex, class Graph>
    void examine_vertex(Vertex v, const Graph&)
    {
        if ((*m_wanted)[v] && --*m_remaining == 0)
            throw CStopSearch();
    }

private:
    const std::vector<char>* m_wanted;
    int* m_remaining;
};

// Boost's distances from source; the search ends when every stop but the
// source's node is settled.
void BoostSearch(const BoostGraph& g, int source, const std::vector<int>& stops, std::vector<int>& distance,
                 std::vector<size_t>& pred, std::vector<char>& wanted)
{
    std::fill(wanted.begin(), wanted.end(), 0);
    int remaining = 0;
    for (int s : stops)
        if (s != source && !wanted[static_cast<size_t>(s)]) {
            wanted[static_cast<size_t>(s)] = 1;
            ++remaining;
        }
    if (remaining == 0)
        return;
    try {
        boost::dijkstra_shortest_paths(
            g, source,
            boost::distance_map(boost::make_iterator_property_map(distance.begin(), boost::get(boost::vertex_index, g)))
                .predecessor_map(boost::make_iterator_property_map(pred.begin(), boost::get(boost::vertex_index, g)))
                .weight_map(boost::get(boost::edge_bundle, g))
                .distance_inf(INT_MAX)
                .visitor(CStopVisitor(&wanted, &remaining)));
    } catch (const CStopSearch&) {
    }
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_BuildGraph(benchmark::State& state)
{
    const int nodes = static_cast<int>(state.range(0));
    CCity& city = City(nodes);
    if (!city.BuiltAsExpected()) {
        state.SkipWithError("the graph is not the grid");
        return;
    }
    for (auto _ : state) {
        city.network.ClearEdges();
        city.Build();
        benchmark::DoNotOptimize(city.index.GetCount());
    }
    state.counters["links"] = static_cast<double>(city.network.GetEdges().size());
    state.counters["nodes"] = city.index.GetCount();
}

// The node index alone against Boost's compressed sparse row graph built
// from the same arcs (node ids less one as vertices, in the links' order,
// unsorted, with their costs). Both are first checked to give every node
// the same arcs; then they are built in turn, "ratio" the least of our
// times over the least of Boost's.
void BM_BuildIndex(benchmark::State& state)
{
    const int nodes = static_cast<int>(state.range(0));
    CCity& city = City(nodes);
    std::vector<std::pair<int, int>> arcs;
    std::vector<int> costs;
    for (const auto& edge : city.network.GetEdges()) {
        if (!(edge->direction & CRouteEdge::kNoForward)) {
            arcs.emplace_back(edge->fromNode - 1, edge->toNode - 1);
            costs.push_back(edge->cost);
        }
        if (!(edge->direction & CRouteEdge::kNoBackward)) {
            arcs.emplace_back(edge->toNode - 1, edge->fromNode - 1);
            costs.push_back(edge->cost);
        }
    }
    const size_t vertices = static_cast<size_t>(city.side) * city.side;
    const auto boostBuild = [&] {
        return BoostGraph(boost::edges_are_unsorted_multi_pass, arcs.begin(), arcs.end(), costs.begin(), vertices);
    };
    {
        CRouteNodeIndex index;
        const BoostGraph g = boostBuild();
        bool same = index.Build(city.network.GetEdges()) && boost::num_edges(g) == arcs.size();
        std::vector<std::pair<int, int>> ours, theirs;
        for (int i = 0; same && i < index.GetCount(); ++i) {
            const CRouteNode& node = index.GetNode(i);
            ours.clear();
            theirs.clear();
            for (int k = 0; k < node.degree; ++k)
                ours.emplace_back(index.GetNode(index.GetArcs(i)[k].node).id - 1, index.GetArcs(i)[k].cost);
            auto [arc, end] = boost::out_edges(static_cast<size_t>(node.id - 1), g);
            for (; arc != end; ++arc)
                theirs.emplace_back(static_cast<int>(boost::target(*arc, g)), g[*arc]);
            std::sort(ours.begin(), ours.end());
            std::sort(theirs.begin(), theirs.end());
            same = ours == theirs;
        }
        if (!same) {
            state.SkipWithError("the index and Boost's graph differ");
            return;
        }
    }
    // Each build starts with the memory freed before given back, so that
    // neither takes over pages the other has already touched.
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        double mine = 0, boosts = 0;
        {
            ::malloc_trim(0);
            CRouteNodeIndex index;
            const auto begin = std::chrono::steady_clock::now();
            index.Build(city.network.GetEdges());
            mine = Seconds(begin);
            benchmark::DoNotOptimize(index.GetCount());
        }
        {
            ::malloc_trim(0);
            const auto begin = std::chrono::steady_clock::now();
            BoostGraph g = boostBuild();
            boosts = Seconds(begin);
            benchmark::DoNotOptimize(boost::num_vertices(g));
        }
        ours = ours == 0 ? mine : std::min(ours, mine);
        theirs = theirs == 0 ? boosts : std::min(theirs, boosts);
        state.SetIterationTime(mine);
    }
    state.counters["boost_ms"] = theirs * 1000;
    state.counters["ratio"] = ours / theirs;
}

void BM_Routes(benchmark::State& state)
{
    constexpr int kRoutes = 1000;
    CCity& city = City(static_cast<int>(state.range(0)));
    const int n = city.index.GetCount();
    const std::vector<int> ends = RandomNodes(2 * kRoutes, n, 16);
    std::vector<CRouteStep> preds(static_cast<size_t>(n));
    std::vector<int> distance(static_cast<size_t>(n));
    std::vector<size_t> boostPred(static_cast<size_t>(n));
    std::vector<char> wanted(static_cast<size_t>(n));
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        ours = theirs = 0;
        for (int r = 0; r < kRoutes; ++r) {
            const std::vector<int> stops = {ends[2 * r], ends[2 * r + 1]};
            int cost[2];
            auto begin = std::chrono::steady_clock::now();
            if (!CRouteNetwork::ShortestPaths(0, n, 2, stops.data(), city.index, preds.data(), cost, nullptr)) {
                state.SkipWithError("no search");
                return;
            }
            ours += Seconds(begin);
            begin = std::chrono::steady_clock::now();
            BoostSearch(city.boost, stops[0], stops, distance, boostPred, wanted);
            theirs += Seconds(begin);
            const int expected = stops[0] == stops[1] ? INT_MAX : distance[static_cast<size_t>(stops[1])];
            if (cost[1] != expected) {
                state.SkipWithError("a route differs from Boost's");
                return;
            }
        }
        state.SetIterationTime(ours);
    }
    state.counters["boost_s"] = theirs;
    state.counters["ratio"] = ours / theirs;
}

void BM_CostMatrix(benchmark::State& state)
{
    constexpr int kStops = 100;
    CCity& city = City(static_cast<int>(state.range(0)));
    const int n = city.index.GetCount();
    const std::vector<int> stops = RandomNodes(kStops, n, 17);
    std::vector<int> distance(static_cast<size_t>(n));
    std::vector<size_t> boostPred(static_cast<size_t>(n));
    std::vector<char> wanted(static_cast<size_t>(n));
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        CCostMatrix costs;
        CPredecessorMatrix preds;
        auto begin = std::chrono::steady_clock::now();
        if (!CRouteNetwork::ComputeCostMatrix(costs, preds, kStops, n, kStops, stops.data(), city.index,
                                              nullptr)) {
            state.SkipWithError("no matrix");
            return;
        }
        ours = Seconds(begin);
        theirs = 0;
        for (int i = 0; i < kStops; ++i) {
            begin = std::chrono::steady_clock::now();
            BoostSearch(city.boost, stops[static_cast<size_t>(i)], stops, distance, boostPred, wanted);
            theirs += Seconds(begin);
            for (int j = 0; j < kStops; ++j) {
                const int expected = stops[static_cast<size_t>(j)] == stops[static_cast<size_t>(i)]
                                         ? INT_MAX
                                         : distance[static_cast<size_t>(stops[static_cast<size_t>(j)])];
                if (costs.At(i, j) != expected) {
                    state.SkipWithError("a cost differs from Boost's");
                    return;
                }
            }
        }
        state.SetIterationTime(ours);
    }
    state.counters["boost_s"] = theirs;
    state.counters["ratio"] = ours / theirs;
}

// From one node to every node: ours with a single stop settles all it
// reaches. Its tree must be a shortest-path tree of Boost's distances.
void BM_OneToAll(benchmark::State& state)
{
    CCity& city = City(static_cast<int>(state.range(0)));
    const int n = city.index.GetCount();
    const std::vector<int> sources = RandomNodes(5, n, 18);
    std::vector<CRouteStep> preds(static_cast<size_t>(n));
    std::vector<int> distance(static_cast<size_t>(n));
    std::vector<size_t> boostPred(static_cast<size_t>(n));
    const auto& edges = city.network.GetEdges();
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        ours = theirs = 0;
        for (const int source : sources) {
            int cost = 0;
            auto begin = std::chrono::steady_clock::now();
            if (!CRouteNetwork::ShortestPaths(0, n, 1, &source, city.index, preds.data(), &cost, nullptr)) {
                state.SkipWithError("no search");
                return;
            }
            ours += Seconds(begin);
            begin = std::chrono::steady_clock::now();
            boost::dijkstra_shortest_paths(
                city.boost, source,
                boost::distance_map(
                    boost::make_iterator_property_map(distance.begin(), boost::get(boost::vertex_index, city.boost)))
                    .predecessor_map(boost::make_iterator_property_map(boostPred.begin(),
                                                                       boost::get(boost::vertex_index, city.boost)))
                    .weight_map(boost::get(boost::edge_bundle, city.boost))
                    .distance_inf(INT_MAX));
            theirs += Seconds(begin);
            for (int v = 0; v < n; ++v) {
                const CRouteStep& step = preds[static_cast<size_t>(v)];
                const bool reached = distance[static_cast<size_t>(v)] != INT_MAX;
                const bool tight =
                    step.previous < 0
                        ? v == source || !reached
                        : reached && distance[static_cast<size_t>(step.previous)] +
                                             edges[static_cast<size_t>(step.edge < 0 ? ~step.edge : step.edge)]->cost ==
                                         distance[static_cast<size_t>(v)];
                if (!tight) {
                    state.SkipWithError("a path differs from Boost's");
                    return;
                }
            }
        }
        state.SetIterationTime(ours);
    }
    state.counters["boost_s"] = theirs;
    state.counters["ratio"] = ours / theirs;
}

} // namespace

int main(int argc, char** argv)
{
    // By city, so each is built once.
    for (int nodes : {10000, 100000, 1000000}) {
        benchmark::RegisterBenchmark("BM_BuildGraph", BM_BuildGraph)
            ->Arg(nodes)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(nodes >= 1000000 ? 1 : 5);
        benchmark::RegisterBenchmark("BM_BuildIndex", BM_BuildIndex)
            ->Arg(nodes)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(nodes >= 1000000 ? 5 : 20);
        benchmark::RegisterBenchmark("BM_Routes", BM_Routes)
            ->Arg(nodes)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
        benchmark::RegisterBenchmark("BM_CostMatrix", BM_CostMatrix)
            ->Arg(nodes)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
        if (nodes >= 100000)
            benchmark::RegisterBenchmark("BM_OneToAll", BM_OneToAll)
                ->Arg(nodes)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
