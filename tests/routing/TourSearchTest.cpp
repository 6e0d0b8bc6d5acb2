#include "routing/TourSearch.h"

#include "routing/StopOrder.h"
#include "tests/routing/TourTestMatrices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int X = INT_MAX;
constexpr int64_t kNoOrder = INT64_MAX;

// ------------------------------------------------------------ checks

int64_t SequenceCost(const TestMatrix& m, const std::vector<int>& order)
{
    int64_t total = 0;
    for (size_t k = 1; k < order.size(); ++k) {
        const int cost = m.At(order[k - 1], order[k]);
        if (cost == X)
            return kNoOrder;
        total += cost;
    }
    return total;
}

// Every node once from first to last, and first again at the end of a closed tour.
bool IsOrder(const TestMatrix& m, int first, int last, const std::vector<int>& order)
{
    const int n = m.Size();
    const bool closed = first == last;
    if (static_cast<int>(order.size()) != (closed ? n + 1 : n) || order.front() != first || order.back() != last)
        return false;
    std::vector<int> seen(order.begin(), closed ? order.end() - 1 : order.end());
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < n; ++i)
        if (seen[static_cast<size_t>(i)] != i)
            return false;
    return true;
}

// Tries every 2-opt move (a stretch reversed) and every Or-opt move (one to
// three nodes moved between two others, either way round) by building the
// order it makes; the description of the first that is cheaper, else "".
std::string ImprovingMove(const TestMatrix& m, const std::vector<int>& order)
{
    const int64_t cost = SequenceCost(m, order);
    const int length = static_cast<int>(order.size());
    for (int i = 1; i < length - 1; ++i)
        for (int j = i + 1; j < length - 1; ++j) {
            std::vector<int> moved = order;
            std::reverse(moved.begin() + i, moved.begin() + j + 1);
            if (SequenceCost(m, moved) < cost)
                return "reverse " + std::to_string(i) + ".." + std::to_string(j);
        }
    for (int size = 1; size <= 3; ++size)
        for (int i = 1; i + size - 1 < length - 1; ++i)
            for (int p = 0; p < length - 1; ++p) {
                if (p >= i - 1 && p <= i + size - 1)
                    continue;
                for (bool reversed : {false, true}) {
                    std::vector<int> stretch(order.begin() + i, order.begin() + i + size);
                    if (reversed)
                        std::reverse(stretch.begin(), stretch.end());
                    std::vector<int> moved = order;
                    moved.erase(moved.begin() + i, moved.begin() + i + size);
                    const int after = p < i ? p : p - size;
                    moved.insert(moved.begin() + after + 1, stretch.begin(), stretch.end());
                    if (SequenceCost(m, moved) < cost)
                        return "move " + std::to_string(i) + "+" + std::to_string(size) + " after " +
                               std::to_string(p) + (reversed ? " reversed" : "");
                }
            }
    return "";
}

// A matrix whose ways are mostly missing but that keeps a random cycle, so
// that an order exists.
TestMatrix SparseWithCycle(TestRandom& random, int n, int keepPercent, bool symmetric)
{
    TestMatrix m = RandomMatrix(random, n, 1000, 100 - keepPercent, symmetric);
    std::vector<int> cycle(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        cycle[static_cast<size_t>(i)] = i;
    for (int i = n - 1; i > 1; --i)
        std::swap(cycle[static_cast<size_t>(i)], cycle[static_cast<size_t>(1 + random.Below(i))]);
    for (int i = 0; i < n; ++i) {
        const int a = cycle[static_cast<size_t>(i)], b = cycle[static_cast<size_t>((i + 1) % n)];
        if (m.At(a, b) == X)
            m.At(a, b) = 500 + random.Below(500);
        if (symmetric)
            m.At(b, a) = m.At(a, b);
    }
    return m;
}

// City-block distances between distinct cells of a grid just large enough
// for n: many equal costs and many orders of equal cost.
TestMatrix TiedMatrix(TestRandom& random, int n)
{
    const int side = static_cast<int>(std::sqrt(1.5 * n)) + 1;
    std::vector<int> cells(static_cast<size_t>(side) * side);
    for (size_t k = 0; k < cells.size(); ++k)
        cells[k] = static_cast<int>(k);
    for (size_t k = cells.size() - 1; k > 0; --k)
        std::swap(cells[k], cells[static_cast<size_t>(random.Below(static_cast<int>(k) + 1))]);
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int a = cells[static_cast<size_t>(i)], b = cells[static_cast<size_t>(j)];
            if (i != j)
                m.At(i, j) = std::abs(a % side - b % side) + std::abs(a / side - b / side);
        }
    return m;
}

enum Family { kEuclidean, kAsymmetric, kTies, kSparseSymmetric, kSparseAsymmetric };

const char* FamilyName(Family f)
{
    static const char* const kNames[] = {"euclidean", "random asymmetric", "lattice ties", "sparse symmetric",
                                         "sparse asymmetric"};
    return kNames[f];
}

TestMatrix MakeMatrix(Family family, int n, uint64_t seed)
{
    TestRandom random(seed);
    switch (family) {
    case kEuclidean:
        return EuclideanMatrix(random, n);
    case kAsymmetric:
        return RandomMatrix(random, n, 1000, 0, false);
    case kTies:
        return TiedMatrix(random, n);
    case kSparseSymmetric:
        return SparseWithCycle(random, n, 30, true);
    default:
        return SparseWithCycle(random, n, 20, false);
    }
}

const Family kFamilies[] = {kEuclidean, kAsymmetric, kTies, kSparseSymmetric, kSparseAsymmetric};

// ------------------------------------------------------------ planning shapes

// Costs between points by the group each point lies in (points of one group
// are 0 apart), the way a planning run builds its point-by-point matrix.
struct PlanningPoints {
    std::vector<int> group;
    TestMatrix groups;
    int Cost(int i, int j) const
    {
        const int a = group[static_cast<size_t>(i)], b = group[static_cast<size_t>(j)];
        return a == b ? 0 : groups.At(a, b);
    }
};

PlanningPoints MakePlanningPoints(TestRandom& random, int n)
{
    PlanningPoints points;
    const int groups = n - n / 8;
    points.groups = EuclideanMatrix(random, groups);
    for (int i = 0; i < n; ++i)
        points.group.push_back(i < groups ? i : random.Below(groups));
    return points;
}

// Fixed points: a way from i to j only to the point right after i, unless
// neither the point after i nor j is fixed.
TestMatrix FixedPointMatrix(const PlanningPoints& points, const std::vector<char>& fixed)
{
    const int n = static_cast<int>(fixed.size());
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (i == j)
                continue;
            const bool nextFixed = i + 1 < n && fixed[static_cast<size_t>(i) + 1];
            if (j == i + 1 || !(nextFixed || fixed[static_cast<size_t>(j)]))
                m.At(i, j) = points.Cost(i, j);
        }
    return m;
}

// Priority levels: both ways within a level, from each point to every point
// of the next level, from the start to the lowest level and back to the
// start from the highest. level[0] is the start's (0); the others ascend.
TestMatrix PriorityMatrix(const PlanningPoints& points, const std::vector<int>& level)
{
    const int n = static_cast<int>(level.size());
    const int lowest = level[1], highest = level.back();
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (i == j)
                continue;
            const int a = level[static_cast<size_t>(i)], b = level[static_cast<size_t>(j)];
            const bool way = (i > 0 && j > 0 && (a == b || b == a + 1)) || (i == 0 && b == lowest) ||
                             (j == 0 && a == highest);
            if (way)
                m.At(i, j) = points.Cost(i, j);
        }
    return m;
}

std::vector<char> RandomFixed(TestRandom& random, int n)
{
    std::vector<char> fixed(static_cast<size_t>(n), 0);
    for (int i = 1; i < n; ++i)
        fixed[static_cast<size_t>(i)] = random.Chance(30);
    return fixed;
}

std::vector<int> RandomLevels(TestRandom& random, int n, int levels)
{
    std::vector<int> level = {0};
    for (int i = 1; i < n; ++i)
        level.push_back(1 + random.Below(levels));
    std::sort(level.begin() + 1, level.end());
    return level;
}

TourResult Solve(const TestMatrix& m, int start, int end)
{
    return SolveCopy(m, start, end, [](int** rows, int n, int s, int e, int* order, int64_t* cost) {
        return SolveTour(rows, n, s, e, order, cost, nullptr);
    });
}

// ------------------------------------------------------------ the search

TEST(TourSearch, OrdersAreLocalOptimaOnEveryFamily)
{
    for (Family family : kFamilies)
        for (int n : {12, 45})
            for (bool closed : {true, false}) {
                const TestMatrix m = MakeMatrix(family, n, static_cast<uint64_t>(n) * 10 + family);
                const std::string what = std::string(FamilyName(family)) + " " + std::to_string(n) +
                                         (closed ? " closed" : " open");
                const int first = closed ? 0 : 2, last = closed ? 0 : n - 1;
                CTourSearch search(m.Cells(), n);
                std::vector<int> greedy, order;
                search.NearestNeighbour(first, last, greedy);
                ASSERT_TRUE(search.Solve(first, last, order)) << what;
                ASSERT_TRUE(IsOrder(m, first, last, order)) << what;
                EXPECT_EQ(search.Cost(order), SequenceCost(m, order)) << what;
                EXPECT_LE(SequenceCost(m, order), SequenceCost(m, greedy)) << what;
                EXPECT_EQ(ImprovingMove(m, order), "") << what;
            }
}

TEST(TourSearch, ExactOnSmallMatrices)
{
    // Where the moves reach every order, the search finds the best one.
    for (Family family : kFamilies)
        for (int n : {4}) {
            const TestMatrix m = MakeMatrix(family, n, 7 + static_cast<uint64_t>(family));
            CTourSearch search(m.Cells(), n);
            std::vector<int> order;
            ASSERT_TRUE(search.Solve(0, 0, order)) << FamilyName(family);
            EXPECT_EQ(search.Cost(order), ExactTourCost(m, 0, 0)) << FamilyName(family) << " " << n;
        }
}

TEST(TourSearch, KicksOutOfLocalOptimaFindTheBestOrderOfAFewStops)
{
    // Past what single moves reach: the kicks find the best order here.
    for (Family family : kFamilies)
        for (int n : {8, 10})
            for (uint64_t seed = 1; seed <= 6; ++seed) {
                const TestMatrix m = MakeMatrix(family, n, 500 + seed * 10 + static_cast<uint64_t>(n));
                CTourSearch search(m.Cells(), n);
                std::vector<int> order;
                const std::string what = std::string(FamilyName(family)) + " " + std::to_string(n) + " seed " +
                                         std::to_string(seed);
                ASSERT_TRUE(search.Solve(0, 0, order)) << what;
                EXPECT_EQ(search.Cost(order), ExactTourCost(m, 0, 0)) << what;
            }
}

TEST(TourSearch, OnlyExistingWaysAndNoneWhenThereIsNoOrder)
{
    struct Case {
        const char* what;
        TestMatrix m;
        int first, last;
        std::vector<int> order; // empty: none
    };
    const std::vector<Case> cases = {
        // Two cycles among ways that lead nowhere: 0 2 3 1 4 (21) and 0 1 2 3 4 (45).
        {"the cheaper of two cycles among dead ends",
         MatrixFromRows({{X, 9, 1, 1, X}, {X, X, 9, X, 1}, {1, X, X, 9, X}, {X, 1, X, X, 9}, {9, X, X, 1, X}}), 0,
         0, {0, 2, 3, 1, 4, 0}},
        // From 1 the nearest way (to 3) would leave 2 with no way in.
        {"the greedy way would strand a node",
         MatrixFromRows({{X, 1, 5, X}, {X, X, 9, 1}, {X, 1, X, 1}, {1, X, X, X}}), 0, 0, {0, 2, 1, 3, 0}},
        {"open path", MatrixFromRows({{X, 1, 1, X}, {X, X, 1, 5}, {X, 1, X, 5}, {X, X, X, X}}), 0, 3, {0, 1, 2, 3}},
        {"a node no way leads to",
         MatrixFromRows({{X, 1, X, 1}, {1, X, X, 1}, {1, 1, X, 1}, {1, 1, X, X}}), 0, 0, {}},
        {"two parts with a way one way only",
         MatrixFromRows({{X, 1, 1, X}, {1, X, 1, X}, {1, 1, X, 1}, {X, X, X, X}}), 0, 0, {}},
        {"no way into the end", MatrixFromRows({{X, 1, 1}, {1, X, X}, {1, 1, X}}), 0, 2, {}},
    };
    for (const Case& c : cases) {
        CTourSearch search(c.m.Cells(), c.m.Size());
        std::vector<int> order;
        EXPECT_EQ(search.Solve(c.first, c.last, order), !c.order.empty()) << c.what;
        EXPECT_EQ(order, c.order) << c.what;
    }
}

TEST(TourSearch, PlanningMatricesGetFeasibleOrders)
{
    for (int n : {30, 160}) {
        TestRandom random(static_cast<uint64_t>(n));
        const PlanningPoints points = MakePlanningPoints(random, n);

        const std::vector<char> fixed = RandomFixed(random, n);
        const TestMatrix fixedMatrix = FixedPointMatrix(points, fixed);
        for (int last : {0, n - 1}) {
            CTourSearch search(fixedMatrix.Cells(), n);
            std::vector<int> order;
            ASSERT_TRUE(search.Solve(0, last, order)) << n << " fixed points to " << last;
            for (size_t k = 1; k + 1 < order.size(); ++k) {
                if (fixed[static_cast<size_t>(order[k])]) {
                    EXPECT_EQ(order[k - 1], order[k] - 1) << "fixed point " << order[k];
                }
            }
        }

        for (int levels : {2, 6}) {
            const std::vector<int> level = RandomLevels(random, n, levels);
            const TestMatrix m = PriorityMatrix(points, level);
            CTourSearch search(m.Cells(), n);
            std::vector<int> order;
            ASSERT_TRUE(search.Solve(0, 0, order)) << n << " points, " << levels << " levels";
            for (size_t k = 2; k + 1 < order.size(); ++k)
                EXPECT_LE(level[static_cast<size_t>(order[k - 1])], level[static_cast<size_t>(order[k])]);
        }
    }
}

TEST(TourSearch, TheSameCostsGiveTheSameOrder)
{
    const TestMatrix m = MakeMatrix(kTies, 30, 5);
    std::vector<int> first, second;
    CTourSearch(m.Cells(), 30).Solve(0, 0, first);
    CTourSearch(m.Cells(), 30).Solve(0, 0, second);
    EXPECT_EQ(first, second);
}

// ------------------------------------------------------------ through SolveTour

TEST(StopOrderAboveFifteen, EveryFamilyOpenAndClosed)
{
    CScriptedUserServices services;
    for (Family family : kFamilies)
        for (int n : {16, 40, 200})
            for (bool closed : {true, false}) {
                const TestMatrix m = MakeMatrix(family, n, 1000 + static_cast<uint64_t>(n) * 10 + family);
                const std::string what = std::string(FamilyName(family)) + " " + std::to_string(n) +
                                         (closed ? " closed" : " open");
                const int end = closed ? 0 : n - 1;
                const TourResult result = Solve(m, 0, end);
                ASSERT_TRUE(result.ok) << what;
                EXPECT_EQ(OrderCost(m, 0, end, result.order), result.cost) << what;
                // The brute-force scan over every move is kept to the smaller sizes.
                if (n <= 40) {
                    EXPECT_EQ(ImprovingMove(m, result.order), "") << what;
                }
            }
    EXPECT_TRUE(services.messages.empty());
}

TEST(StopOrderAboveFifteen, PlanningMatrices)
{
    CScriptedUserServices services;
    TestRandom random(11);
    const int n = 120;
    const PlanningPoints points = MakePlanningPoints(random, n);
    const std::vector<char> fixed = RandomFixed(random, n);
    const TestMatrix fixedMatrix = FixedPointMatrix(points, fixed);
    for (int end : {0, n - 1}) {
        const TourResult result = Solve(fixedMatrix, 0, end);
        ASSERT_TRUE(result.ok) << "fixed points to " << end;
        EXPECT_EQ(OrderCost(fixedMatrix, 0, end, result.order), result.cost);
    }
    const std::vector<int> level = RandomLevels(random, n, 4);
    const TestMatrix priorities = PriorityMatrix(points, level);
    const TourResult result = Solve(priorities, 0, 0);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(OrderCost(priorities, 0, 0, result.order), result.cost);
    EXPECT_TRUE(services.messages.empty());
}

TEST(StopOrderAboveFifteen, NoOrderShowsRouteNotFound)
{
    CScriptedUserServices services;
    TestRandom random(4);
    TestMatrix m = EuclideanMatrix(random, 20);
    for (int i = 0; i < 20; ++i)
        m.At(i, 7) = X; // nothing leads to stop 7
    EXPECT_FALSE(Solve(m, 0, 0).ok);
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
}

} // namespace
