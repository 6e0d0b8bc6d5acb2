// bench-deps: drel_routing
// Stop ordering at its limit of 15 stops, on 300 seeded closed-tour
// matrices of each kind: the worst and the median time of the branch and
// bound, and its time against the exact dynamic programming over subsets
// on the same matrices. Every order and cost is first checked against the
// recorded ones (bench/StopOrderReference.h: the solver may get faster,
// never choose another of several best tours) and every cost against that
// oracle. With DREL_STOP_ORDER_REFERENCE set to a file name the orders
// found are written there in the form of that header instead.

#include "bench/BenchClock.h"
#include "bench/StopOrderReference.h"
#include "routing/StopOrder.h"
#include "tests/routing/TourTestMatrices.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kStops = 15;
constexpr int kMatrices = 300;
static_assert(kStopOrderFamilies * kStopOrderMatrices == sizeof kStopOrderReference / sizeof kStopOrderReference[0][0]);

enum Family { kRandomAsymmetric, kEuclidean, kLattice, kRoad };
const char* const kFamilyNames[] = {"random asymmetric", "euclidean", "lattice with ties", "road-like asymmetric"};

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
        case kLattice:
            matrices.push_back(LatticeMatrix(random, kStops));
            break;
        default:
            matrices.push_back(RoadMatrix(random, kStops));
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

// The closed tour from stop 0 as sixteen stops of four bits, the first in
// the highest; 0 when there is none.
uint64_t PackOrder(const TourResult& result)
{
    if (!result.ok)
        return 0;
    uint64_t packed = 0;
    for (int stop : result.order)
        packed = packed << 4 | static_cast<uint64_t>(stop & 15);
    return packed;
}

TourResult Solve(const TestMatrix& matrix)
{
    return SolveCopy(matrix, 0, 0, [](int** rows, int n, int s, int e, int* order, int64_t* cost) {
        return SolveTour(rows, n, s, e, order, cost, nullptr);
    });
}

// Writes the orders and costs found as the reference header.
bool WriteReference(const char* path)
{
    FILE* file = std::fopen(path, "w");
    if (!file)
        return false;
    std::fprintf(file, "#pragma once\n\n// The closed tours from stop 0 that the stop ordering chose for the matrices\n"
                       "// of bench/stop_order_bench.cpp, and their costs, by family and matrix.\n\n"
                       "#include <cstdint>\n\nstruct CStopOrderReference {\n    int64_t cost;\n"
                       "    uint64_t order; // sixteen stops of four bits, the first in the highest\n};\n\n"
                       "constexpr int kStopOrderFamilies = 4;\nconstexpr int kStopOrderMatrices = %d;\n\n"
                       "constexpr CStopOrderReference kStopOrderReference[kStopOrderFamilies][kStopOrderMatrices] = {\n",
                 kMatrices);
    for (int family = 0; family < 4; ++family) {
        std::fprintf(file, "    { // %s\n", kFamilyNames[family]);
        const std::vector<TestMatrix> matrices = MakeMatrices(family);
        for (size_t i = 0; i < matrices.size(); ++i) {
            const TourResult result = Solve(matrices[i]);
            std::fprintf(file, "%s{%" PRId64 ", 0x%016" PRIx64 "},", i % 3 == 0 ? "        " : " ",
                         result.ok ? result.cost : -1, PackOrder(result));
            if (i % 3 == 2 || i + 1 == matrices.size())
                std::fprintf(file, "\n");
        }
        std::fprintf(file, "    },\n");
    }
    std::fprintf(file, "};\n");
    return std::fclose(file) == 0;
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
            TourResult result;
            times[i] = Milliseconds([&] { result = Solve(matrices[i]); });
            const CStopOrderReference& reference = kStopOrderReference[family][i];
            if (!result.ok || result.cost != exact[i] || OrderCost(matrices[i], 0, 0, result.order) != result.cost ||
                result.cost != reference.cost || PackOrder(result) != reference.order) {
                state.SkipWithError(("another order for matrix " + std::to_string(i)).c_str());
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
    state.SetLabel(kFamilyNames[family]);
}

} // namespace

BENCHMARK(BM_StopOrder15)
    ->Arg(kRandomAsymmetric)
    ->Arg(kEuclidean)
    ->Arg(kLattice)
    ->Arg(kRoad)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (const char* path = std::getenv("DREL_STOP_ORDER_REFERENCE")) {
        const bool written = WriteReference(path);
        std::fprintf(written ? stdout : stderr, written ? "reference written to %s\n" : "cannot write %s\n", path);
        return written ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
