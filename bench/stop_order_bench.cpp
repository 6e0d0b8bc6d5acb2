// bench-deps: drel_routing
// Stop ordering at its limit of 15 stops, on 300 seeded matrices of each
// kind: the worst and the median time of the branch and bound, and its time
// against the exact dynamic programming over subsets on the same matrices.
// Every order is first checked against that oracle.

#include "bench/BenchClock.h"
#include "routing/StopOrder.h"
#include "tests/routing/TourTestMatrices.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr int kStops = 15;
constexpr int kMatrices = 300;

enum Family { kRandomAsymmetric, kEuclidean, kLattice };

std::vector<TestMatrix> MakeMatrices(int family)
{
    std::vector<TestMatrix> matrices;
    for (int i = 0; i < kMatrices; ++i) {
        TestRandom random(static_cast<uint64_t>(family) * 100000 + static_cast<uint64_t>(i));
        switch (family) {
        case kRandomAsymmetric:
            matrices.push_back(RandomMatrix(random, kStops, 1000, 0, false));
            break;
        case kEuclidean:
            matrices.push_back(EuclideanMatrix(random, kStops));
            break;
        default:
            matrices.push_back(LatticeMatrix(random, kStops));
            break;
        }
    }
    return matrices;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The cost of the order found; -1 when none, -2 when the order does not cost that.
int64_t SolveAndCheck(const TestMatrix& matrix)
{
    TourResult result = SolveCopy(matrix, 0, 0, [](int** rows, int n, int s, int e, int* order, int64_t* cost) {
        return SolveTour(rows, n, s, e, order, cost, nullptr);
    });
    if (!result.ok)
        return -1;
    return OrderCost(matrix, 0, 0, result.order) == result.cost ? result.cost : -2;
}

void BM_StopOrder15(benchmark::State& state)
{
    const int family = static_cast<int>(state.range(0));
    const std::vector<TestMatrix> matrices = MakeMatrices(family);

    std::vector<double> oracleTimes;
    std::vector<int64_t> exact;
    for (const TestMatrix& m : matrices) {
        int64_t cost = 0;
        oracleTimes.push_back(Milliseconds([&] { cost = ExactTourCost(m, 0, 0); }));
        exact.push_back(cost);
    }

    std::vector<double> times(matrices.size());
    for (auto _ : state) {
        for (size_t i = 0; i < matrices.size(); ++i) {
            int64_t cost = 0;
            times[i] = Milliseconds([&] { cost = SolveAndCheck(matrices[i]); });
            if (cost != exact[i]) {
                state.SkipWithError(("wrong order for matrix " + std::to_string(i)).c_str());
                return;
            }
        }
    }

    double total = 0, oracleTotal = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        total += times[i];
        oracleTotal += oracleTimes[i];
    }
    state.counters["median_ms"] = Median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["dp_median_ms"] = Median(oracleTimes);
    state.counters["dp_worst_ms"] = *std::max_element(oracleTimes.begin(), oracleTimes.end());
    state.counters["ratio_to_dp"] = total / oracleTotal;
    state.SetLabel(family == kRandomAsymmetric ? "random asymmetric"
                   : family == kEuclidean      ? "euclidean"
                                               : "lattice with ties");
}

} // namespace

BENCHMARK(BM_StopOrder15)
    ->Arg(kRandomAsymmetric)
    ->Arg(kEuclidean)
    ->Arg(kLattice)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
