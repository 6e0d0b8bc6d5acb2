// bench-deps: drel_core
#include "core/CoordConverter.h"
#include "core/MapGeometry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// Ten million geographic points over Lithuania, through each grid and back.

namespace {

constexpr int kPointCount = 10'000'000;

const std::vector<CMapPoint>& GeographicPoints()
{
    static const std::vector<CMapPoint> points = [] {
        std::mt19937_64 random(20240611);
        std::uniform_real_distribution<double> lon(21, 27), lat(53.5, 56.5);
        std::vector<CMapPoint> result(kPointCount);
        for (CMapPoint& p : result)
            p = CMapPoint(lon(random), lat(random));
        return result;
    }();
    return points;
}

// The largest distance in metres between the points and their round trip.
double WorstRoundTrip(const CCoordConverter& forward, const CCoordConverter& back, const CMapPoint* points, int n)
{
    double worst = 0;
    for (int i = 0; i < n; ++i) {
        CMapPoint p = points[i];
        forward.ConvertPoint(p);
        back.ConvertPoint(p);
        const double metres = std::hypot((p.y - points[i].y) * 111320,
                                         (p.x - points[i].x) * 111320 * std::cos(points[i].y * kDegToRad));
        worst = std::max(worst, metres);
    }
    return worst;
}

void BM_ThroughSystemAndBack(benchmark::State& state)
{
    const int system = static_cast<int>(state.range(0));
    const auto forward = CreateCoordConverter(kCoordGeographic, system);
    const auto back = CreateCoordConverter(system, kCoordGeographic);
    const std::vector<CMapPoint>& source = GeographicPoints();
    if (!forward || !back || WorstRoundTrip(*forward, *back, source.data(), 100000) > 0.25) {
        state.SkipWithError("round trip out of tolerance");
        return;
    }
    std::vector<CMapPoint> points;
    for (auto _ : state) {
        state.PauseTiming();
        points = source;
        state.ResumeTiming();
        forward->ConvertPoints(points.data(), kPointCount);
        back->ConvertPoints(points.data(), kPointCount);
        benchmark::DoNotOptimize(points.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPointCount);
}

} // namespace

BENCHMARK(BM_ThroughSystemAndBack)
    ->ArgName("system")
    ->DenseRange(kCoordTm, kCoordLocal)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
