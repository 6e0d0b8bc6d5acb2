// bench-deps: drel_geoproc
// Line topology and error fixing of a street grid of about 100k lines
// (bench/GeoprocLayers.h): the network made in memory at tolerance 0 and
// 1 m, the lines shuffled and sorted by their coordinates (a sorted layer
// must cost about what a shuffled one does); error fixing of the grid
// with missed ends and two long lines across it. Each first checks its
// links, nodes, fixed ends and length against the grid's answers.
#include "bench/GeoprocLayers.h"
#include "geoproc/LineTopology.h"
#include "geoproc/TopologyFix.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

// 223 x 223 blocks: 99,904 streets meeting at 50,176 crossings.
CGeoprocTownPlan Plan()
{
    CGeoprocTownPlan plan;
    plan.columns = plan.rows = 223;
    plan.districtsPerSide = 1;
    return plan;
}

// A metre map for the tolerances; no layers needed.
CDrelDoc& Map()
{
    static CDrelDoc map;
    static const bool set = [] {
        map.Settings().mapUnits = kUnitsMetres;
        map.Settings().limits = CMapRect(0, 22300, 22300, 0);
        return true;
    }();
    (void)set;
    return map;
}

const CStreetGrid& NearMisses()
{
    static const CStreetGrid grid = CStreetGrid::ForTopology(Plan());
    return grid;
}

const CStreetGrid& MissedEnds()
{
    static const CStreetGrid grid = CStreetGrid::ForFixing(Plan());
    return grid;
}

struct CNetwork {
    int links = 0;
    int nodes = 0;
    double metres = 0;
};

bool MakeNetwork(CShapeArray& shapes, double tolerance, CNetwork& network)
{
    if (NodeLines(Map(), shapes, tolerance, true, nullptr) != EOperationEnd::kDone)
        return false;
    CNodeNumbers nodes;
    std::vector<CTopologyLink> links;
    NumberLinks(Map(), shapes, nodes, links);
    network.links = static_cast<int>(links.size());
    network.nodes = nodes.GetCount();
    network.metres = 0;
    for (const CTopologyLink& link : links)
        network.metres += link.lengthKm * 1000;
    return true;
}

// What the grid must give: at 0 every end a node of its own and the
// unnoded crossings cut; at 1 m the ends of each crossing one node (all
// but one moved), the length changed by at most the moves.
bool CheckNetwork(benchmark::State& state, const CStreetGrid& grid, const std::vector<int>& order, double tolerance)
{
    CShapeArray shapes;
    grid.CopyTo(shapes, order);
    CTopologyFixCounts counts;
    if (tolerance > 0 && FixTopology(Map(), tolerance, true, shapes, nullptr, counts, nullptr) != EOperationEnd::kDone) {
        state.SkipWithError("the correction failed");
        return false;
    }
    grid.CopyTo(shapes, order);
    CNetwork network;
    if (!MakeNetwork(shapes, tolerance, network)) {
        state.SkipWithError("the network failed");
        return false;
    }
    const int lines = static_cast<int>(grid.lines.size());
    const int nodes = tolerance > 0 ? grid.crossings : grid.Ends() + grid.unnoded;
    const int fixed = tolerance > 0 ? grid.Ends() - (grid.crossings - grid.unnoded) : 0;
    const double slack = tolerance > 0 ? 0.61 * fixed : 1e-6 * grid.length;
    if (network.links != lines + 2 * grid.unnoded || network.nodes != nodes || counts.fixedNodes != fixed ||
        std::abs(network.metres - grid.length) > slack) {
        char error[200];
        std::snprintf(error, sizeof error, "%d links, %d nodes, %d fixed, %.1f m where %d, %d, %d, %.1f were due",
                      network.links, network.nodes, counts.fixedNodes, network.metres, lines + 2 * grid.unnoded,
                      nodes, fixed, grid.length);
        state.SkipWithError(error);
        return false;
    }
    return true;
}

void BM_Topology(benchmark::State& state)
{
    const double tolerance = static_cast<double>(state.range(0));
    const bool sorted = state.range(1) != 0;
    const CStreetGrid& grid = NearMisses();
    const std::vector<int> order = sorted ? grid.Sorted() : grid.Shuffled(7);
    if (!CheckNetwork(state, grid, order, tolerance))
        return;
    CShapeArray shapes;
    for (auto _ : state) {
        state.PauseTiming();
        grid.CopyTo(shapes, order);
        state.ResumeTiming();
        CNetwork network;
        if (!MakeNetwork(shapes, tolerance, network))
            state.SkipWithError("the network failed");
        benchmark::DoNotOptimize(network);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(grid.lines.size()));
}

void BM_FixTopology(benchmark::State& state)
{
    const CStreetGrid& grid = MissedEnds();
    const std::vector<int> order = grid.Shuffled(7);
    CShapeArray shapes;
    std::vector<CTopologyChange> changes;
    CTopologyFixCounts counts;
    grid.CopyTo(shapes, order);
    if (FixTopology(Map(), 1.0, true, shapes, &changes, counts, nullptr) != EOperationEnd::kDone ||
        counts.fixedNodes != grid.endsOff || counts.fixedVertices != 0 ||
        counts.insertedVertices != grid.longLineCrossings) {
        char error[200];
        std::snprintf(error, sizeof error, "%d nodes, %d vertices fixed, %d inserted where %d, 0, %d were due",
                      counts.fixedNodes, counts.fixedVertices, counts.insertedVertices, grid.endsOff,
                      grid.longLineCrossings);
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        grid.CopyTo(shapes, order);
        changes.clear();
        state.ResumeTiming();
        if (FixTopology(Map(), 1.0, true, shapes, &changes, counts, nullptr) != EOperationEnd::kDone)
            state.SkipWithError("the fixing failed");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(grid.lines.size()));
}

} // namespace

BENCHMARK(BM_Topology)
    ->ArgNames({"tolerance", "sorted"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_FixTopology)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
