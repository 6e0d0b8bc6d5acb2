// bench-deps: drel_routing
// A client-visit run of 200 stops on the grid city of 100k nodes (100 m
// blocks, seeded lengths, one-way and closed links), timed by stage: the
// graph with the stops snapped onto it, the cost matrix among them, their
// order, the legs, the write-back into a table of 200 clients and the two
// result files; "total_ms" is the whole routing core (PlanRoute) and
// "peak_mb" the process's peak resident size. Before timing, the run is
// checked to visit every stop once with the legs adding up to its length.

#include "bench/BenchClock.h"
#include "bench/GridCity.h"
#include "core/DbfTable.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "platform/AppFolders.h"
#include "routing/PlanningOrder.h"
#include "routing/PlanningRun.h"
#include "routing/PlanningTask.h"
#include "routing/StopOrder.h"
#include "tests/core/FieldLists.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kStops = 200;
constexpr int kNodes = 100000;

std::vector<CTaskPoint> RandomStops(const CGridCity& city, uint64_t seed)
{
    std::mt19937_64 random(seed);
    const double extent = (city.side - 1) * 100.0;
    std::vector<CTaskPoint> points(kStops);
    for (int i = 0; i < kStops; ++i) {
        // Between crossings, a little off the street.
        const double x = static_cast<double>(random() % static_cast<uint64_t>(city.side - 1)) * 100.0 + 30;
        const double y = static_cast<double>(random() % static_cast<uint64_t>(city.side)) * 100.0 + 7;
        points[static_cast<size_t>(i)].position = CMapPoint(std::min(x, extent), std::min(y, extent));
        points[static_cast<size_t>(i)].record = i;
    }
    points.front().flag = 's';
    return points;
}

// A table of the clients to write back into, and its layer.
struct CClients {
    CClients()
        : folder(std::filesystem::temp_directory_path() / ("drel-bench-visits-" + std::to_string(::getpid()))),
          layer("Klientai", (folder / "klientai.gdb").string(), CLayer::kPoint)
    {
        std::filesystem::create_directories(folder);
        const auto fields = FieldList({{"NR", 'N', 6, 0}, {"LAIKAS", 'C', 5, 0}, {"ILGIS", 'N', 10, 3},
                                       {"ATK", 'N', 10, 3}, {"GATVES", 'C', 60, 0}});
        CLayerReader writer;
        writer.CreateSource(layer.GetPath());
        writer.GetSource()->Create(layer.GetPath(), CLayer::kPoint, fields.data());
        for (int i = 0; i < kStops; ++i) {
            writer.GetSource()->AppendPoint(CMapPoint(i, i), false);
            writer.GetSource()->GetTable().WriteRecord();
        }
        writer.GetSource()->Close();
        task.layer = &layer;
        task.timeField = "LAIKAS";
        task.lengthField = "ILGIS";
        task.arcLengthField = "ATK";
        task.streetsField = "GATVES";
        SetUserFolderForTesting(folder.string() + "/");
    }
    ~CClients()
    {
        SetUserFolderForTesting("");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;
    CLayer layer;
    CPlanningTask task;
};

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ClientVisits(benchmark::State& state)
{
    static CGridCity city(kNodes);
    static CClients clients;
    // A set of stops every one of which the others reach and are reached from.
    std::vector<CTaskPoint> stops;
    for (uint64_t seed = 1;; ++seed) {
        if (seed > 20) {
            state.SkipWithError("no connected set of stops");
            return;
        }
        std::vector<CTaskPoint> trial = RandomStops(city, seed);
        if (city.network.PlanRoute(trial, 0, true)) {
            stops = RandomStops(city, seed);
            break;
        }
    }
    {
        std::vector<CTaskPoint> checked = stops;
        if (!city.network.PlanRoute(checked, 0, true)) {
            state.SkipWithError("the run failed");
            return;
        }
        std::vector<int> seen;
        double sum = 0;
        for (const CTaskPoint& p : checked) {
            seen.push_back(p.record);
            sum += p.legKm;
        }
        std::sort(seen.begin(), seen.end());
        bool once = seen.size() == static_cast<size_t>(kStops);
        for (int i = 0; once && i < kStops; ++i)
            once = seen[static_cast<size_t>(i)] == i;
        if (!once || checked.front().record != 0 || city.network.legs.size() != static_cast<size_t>(kStops)
            || std::abs(sum - city.network.totalLength) > 1e-6) {
            state.SkipWithError("the run does not visit every stop once");
            return;
        }
    }

    double snapMs = 1e300, matrixMs = 1e300, orderMs = 1e300, legsMs = 1e300, backMs = 1e300, resultsMs = 1e300,
           totalMs = 1e300;
    for (auto _ : state) {
        std::vector<CTaskPoint> points = stops;
        CRouteNetwork& net = city.network;
        std::vector<CMapPoint> positions;
        for (const CTaskPoint& p : points)
            positions.push_back(p.position);
        snapMs = std::min(snapMs, Milliseconds([&] {
            CMapRect query;
            std::vector<CMapRect> rects;
            net.MakeStopRects(positions.data(), kStops, query, rects);
            net.BuildGraph(false, &query, kStops, rects.data());
            for (CTaskPoint& p : points)
                net.SnapPoint(p.position, p.snapped, p.node);
        }));
        const int groups = GroupPointsByNode(points);
        CRouteNodeIndex index;
        CCostMatrix costs;
        CPredecessorMatrix preds;
        std::vector<int> stopsAt(static_cast<size_t>(groups));
        matrixMs = std::min(matrixMs, Milliseconds([&] {
            index.Build(net.GetEdges());
            for (const CTaskPoint& p : points)
                stopsAt[static_cast<size_t>(p.group)] = index.Find(p.node);
            CRouteNetwork::ComputeCostMatrix(costs, preds, groups, index.GetCount(), groups, stopsAt.data(), index,
                                             nullptr);
        }));
        std::vector<int> order(static_cast<size_t>(groups) + 1);
        orderMs = std::min(orderMs, Milliseconds([&] {
            int64_t cost = 0;
            SolveTour(costs.GetRows(), groups, 0, 0, order.data(), &cost, nullptr);
            NumberByGroupTour(points, order, false);
        }));
        std::vector<std::unique_ptr<CShape>> legs;
        legsMs = std::min(legsMs, Milliseconds([&] {
            std::vector<int> leg;
            for (int k = 0; k < kStops; ++k) {
                const CTaskPoint& a = points[static_cast<size_t>(k)];
                const CTaskPoint& b = points[static_cast<size_t>((k + 1) % kStops)];
                auto shape = std::make_unique<CShape>();
                if (a.group != b.group
                    && preds.GetLeg(a.group, stopsAt[static_cast<size_t>(a.group)],
                                    stopsAt[static_cast<size_t>(b.group)], leg))
                    net.AssembleRouteShape(leg.data(), static_cast<int>(leg.size()), *shape);
                legs.push_back(std::move(shape));
            }
        }));
        net.ClearEdges();
        const std::vector<double> connectors(points.size(), 0.0);
        const std::vector<std::string> streets(points.size() - 1, "Gatv\xEB");
        backMs = std::min(backMs, Milliseconds([&] {
            WritePlanningBack(clients.layer, clients.task, "NR", points, connectors, 12.5, streets);
        }));
        resultsMs = std::min(resultsMs, Milliseconds([&] { WritePlanningResults(clients.layer, points, legs); }));
        std::vector<CTaskPoint> whole = stops;
        totalMs = std::min(totalMs, Milliseconds([&] { net.PlanRoute(whole, 0, true); }));
    }
    state.counters["snap_ms"] = snapMs;
    state.counters["matrix_ms"] = matrixMs;
    state.counters["order_ms"] = orderMs;
    state.counters["legs_ms"] = legsMs;
    state.counters["writeback_ms"] = backMs;
    state.counters["results_ms"] = resultsMs;
    state.counters["total_ms"] = totalMs;
    state.counters["peak_mb"] = PeakMegabytes();
}
BENCHMARK(BM_ClientVisits)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
