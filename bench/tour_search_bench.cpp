// bench-deps: drel_routing
// The stop-order solver for more than 15 stops (nearest neighbour, then
// 2-opt and Or-opt) at 15, 50, 200 and 1,000 stops on three kinds of
// costs: rounded distances between random points, road costs among random
// crossings of the grid city (one-way and closed streets make them
// asymmetric), and random asymmetric costs. Timed is the search on the
// matrix; "exchange_ms" is the whole order through SolveTour, graph and
// tour files included, and "exchange_vs_solve" that over the search alone
// (each the least of its runs). Every order is first checked to visit each stop
// once at the cost it claims. The tour's cost is set against nearest
// neighbour alone ("vs_nn"), against the exact order at 15 stops
// ("vs_exact", branch and bound) and, on the symmetric costs, against the
// 1-tree lower bound with Held-Karp node weights ("vs_1tree").

#include "bench/BenchClock.h"
#include "bench/GridCity.h"
#include "routing/StopOrder.h"
#include "routing/TourSearch.h"
#include "tests/routing/TourTestMatrices.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

enum Family { kEuclidean, kRoads, kRandomAsymmetric };

const char* FamilyName(int family)
{
    return family == kEuclidean ? "euclidean" : family == kRoads ? "grid city roads" : "random asymmetric";
}

// Road costs among n random crossings of a city of 40,000, keeping only
// crossings that every other kept one reaches and is reached from.
TestMatrix RoadMatrix(int n, uint64_t seed)
{
    static std::unique_ptr<CGridCity> city;
    if (!city) {
        city = std::make_unique<CGridCity>(40000);
        city->Build();
    }
    const int nodes = city->index.GetCount();
    std::mt19937_64 random(seed);
    std::vector<int> candidates;
    std::vector<char> taken(static_cast<size_t>(nodes), 0);
    while (static_cast<int>(candidates.size()) < n + n / 4 + 8) {
        const int node = static_cast<int>(random() % static_cast<uint64_t>(nodes));
        if (!taken[static_cast<size_t>(node)]++)
            candidates.push_back(node);
    }
    const int m = static_cast<int>(candidates.size());
    TestMatrix all(m);
    std::vector<CRouteStep> preds(static_cast<size_t>(nodes));
    for (int i = 0; i < m; ++i)
        CRouteNetwork::ShortestPaths(i, nodes, m, candidates.data(), city->index, preds.data(), &all.At(i, 0),
                                     nullptr);
    // Drop the crossing with most missing ways until none is missing.
    std::vector<char> kept(static_cast<size_t>(m), 1);
    for (;;) {
        int worst = -1, worstCount = 0;
        for (int i = 0; i < m; ++i) {
            if (!kept[static_cast<size_t>(i)])
                continue;
            int missing = 0;
            for (int j = 0; j < m; ++j)
                if (j != i && kept[static_cast<size_t>(j)] && (all.At(i, j) == INT_MAX || all.At(j, i) == INT_MAX))
                    ++missing;
            if (missing > worstCount) {
                worst = i;
                worstCount = missing;
            }
        }
        if (worst < 0)
            break;
        kept[static_cast<size_t>(worst)] = 0;
    }
    std::vector<int> stops;
    for (int i = 0; i < m && static_cast<int>(stops.size()) < n; ++i)
        if (kept[static_cast<size_t>(i)])
            stops.push_back(i);
    TestMatrix result(static_cast<int>(stops.size()));
    for (size_t i = 0; i < stops.size(); ++i)
        for (size_t j = 0; j < stops.size(); ++j)
            if (i != j)
                result.At(static_cast<int>(i), static_cast<int>(j)) = all.At(stops[i], stops[j]);
    return result;
}

TestMatrix MakeMatrix(int family, int n)
{
    TestRandom random(static_cast<uint64_t>(family) * 7919 + static_cast<uint64_t>(n));
    switch (family) {
    case kEuclidean:
        return EuclideanMatrix(random, n);
    case kRoads:
        return RoadMatrix(n, static_cast<uint64_t>(n));
    default:
        return RandomMatrix(random, n, 10000, 0, false);
    }
}

// The Held-Karp bound: the best 1-tree (a spanning tree of the stops but 0,
// with stop 0 joined by its two cheapest edges) under node weights moved by
// subgradient steps toward degree 2. Symmetric costs only.
double OneTreeBound(const TestMatrix& m, double upper, int iterations)
{
    const int n = m.Size();
    std::vector<double> weight(static_cast<size_t>(n), 0), key(static_cast<size_t>(n));
    std::vector<int> degree(static_cast<size_t>(n)), parent(static_cast<size_t>(n));
    std::vector<char> inTree(static_cast<size_t>(n));
    auto cost = [&](int i, int j) {
        return m.At(i, j) + weight[static_cast<size_t>(i)] + weight[static_cast<size_t>(j)];
    };
    double best = 0, lambda = 2.0;
    int sinceBetter = 0;
    for (int iteration = 0; iteration < iterations; ++iteration) {
        std::fill(degree.begin(), degree.end(), 0);
        std::fill(inTree.begin(), inTree.end(), 0);
        std::fill(key.begin(), key.end(), 1e300);
        double tree = 0;
        key[1] = 0;
        parent[1] = -1;
        for (int added = 0; added < n - 1; ++added) {
            int next = -1;
            for (int v = 1; v < n; ++v)
                if (!inTree[static_cast<size_t>(v)] && (next < 0 || key[static_cast<size_t>(v)] < key[static_cast<size_t>(next)]))
                    next = v;
            inTree[static_cast<size_t>(next)] = 1;
            tree += key[static_cast<size_t>(next)];
            if (parent[static_cast<size_t>(next)] >= 0) {
                ++degree[static_cast<size_t>(next)];
                ++degree[static_cast<size_t>(parent[static_cast<size_t>(next)])];
            }
            for (int v = 1; v < n; ++v)
                if (!inTree[static_cast<size_t>(v)] && cost(next, v) < key[static_cast<size_t>(v)]) {
                    key[static_cast<size_t>(v)] = cost(next, v);
                    parent[static_cast<size_t>(v)] = next;
                }
        }
        int first = -1, second = -1;
        for (int v = 1; v < n; ++v) {
            if (first < 0 || cost(0, v) < cost(0, first)) {
                second = first;
                first = v;
            } else if (second < 0 || cost(0, v) < cost(0, second)) {
                second = v;
            }
        }
        tree += cost(0, first) + cost(0, second);
        degree[0] = 2;
        ++degree[static_cast<size_t>(first)];
        ++degree[static_cast<size_t>(second)];
        double bound = tree;
        for (double w : weight)
            bound -= 2 * w;
        if (bound > best) {
            best = bound;
            sinceBetter = 0;
        } else if (++sinceBetter >= 10) {
            lambda /= 2;
            sinceBetter = 0;
        }
        double norm = 0;
        for (int d : degree)
            norm += double(d - 2) * (d - 2);
        if (norm == 0)
            break; // the tree is a tour
        const double step = lambda * (upper - bound) / norm;
        for (int v = 0; v < n; ++v)
            weight[static_cast<size_t>(v)] += step * (degree[static_cast<size_t>(v)] - 2);
    }
    return best;
}

void BM_TourSearch(benchmark::State& state)
{
    const int family = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const TestMatrix m = MakeMatrix(family, n);
    if (m.Size() != n) {
        state.SkipWithError("too few connected crossings");
        return;
    }

    CTourSearch search(m.Cells(), n);
    std::vector<int> greedy, order;
    double greedyMs = Milliseconds([&] { search.NearestNeighbour(0, 0, greedy); });
    if (!search.Solve(0, 0, order) || OrderCost(m, 0, 0, order) != search.Cost(order) ||
        OrderCost(m, 0, 0, greedy) < 0) {
        state.SkipWithError("not an order of the stops");
        return;
    }
    const int64_t cost = search.Cost(order);

    // The same order through the exchange files, as routing gets it; the
    // least of three runs, as the search's time is below.
    double exchangeMs = 0;
    for (int run = 0; n > 15 && run < 3; ++run) {
        TourResult result;
        const double ms = Milliseconds([&] {
            result = SolveCopy(m, 0, 0, [](int** rows, int size, int s, int e, int* o, int64_t* c) {
                return SolveTour(rows, size, s, e, o, c, nullptr);
            });
        });
        if (!result.ok || result.cost != cost) {
            state.SkipWithError("the exchange gave another order");
            return;
        }
        exchangeMs = run == 0 ? ms : std::min(exchangeMs, ms);
    }

    double solveMs = 0;
    for (auto _ : state) {
        const double ms = Milliseconds([&] {
            CTourSearch timed(m.Cells(), n);
            std::vector<int> again;
            timed.Solve(0, 0, again);
            benchmark::DoNotOptimize(again.data());
        });
        solveMs = solveMs == 0 ? ms : std::min(solveMs, ms);
    }

    state.counters["cost"] = static_cast<double>(cost);
    state.counters["nn_ms"] = greedyMs;
    state.counters["vs_nn"] = static_cast<double>(cost) / static_cast<double>(search.Cost(greedy));
    if (n > 15) {
        state.counters["exchange_ms"] = exchangeMs;
        state.counters["exchange_vs_solve"] = exchangeMs / solveMs;
    }
    if (n <= 15) {
        const TourResult exact = SolveCopy(m, 0, 0, [](int** rows, int size, int s, int e, int* o, int64_t* c) {
            return SolveTour(rows, size, s, e, o, c, nullptr);
        });
        if (exact.ok)
            state.counters["vs_exact"] = static_cast<double>(cost) / static_cast<double>(exact.cost);
    }
    if (family == kEuclidean)
        state.counters["vs_1tree"] =
            static_cast<double>(cost) / OneTreeBound(m, static_cast<double>(cost), n >= 1000 ? 60 : 150);
    state.SetLabel(FamilyName(family));
}

} // namespace

int main(int argc, char** argv)
{
    for (int family : {kEuclidean, kRoads, kRandomAsymmetric})
        for (int n : {15, 50, 200, 1000})
            benchmark::RegisterBenchmark("BM_TourSearch", BM_TourSearch)
                ->Args({family, n})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(n >= 1000 ? 1 : n >= 200 ? 3 : 20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
