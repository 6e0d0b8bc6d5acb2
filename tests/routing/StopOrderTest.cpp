#include "routing/StopOrder.h"

#include "tests/routing/TourTestMatrices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TourResult Solve(const TestMatrix& m, int start, int end, IProgress* progress = nullptr)
{
    return SolveCopy(m, start, end, [progress](int** rows, int n, int s, int e, int* order, int64_t* cost) {
        return SolveTour(rows, n, s, e, order, cost, progress);
    });
}

constexpr int X = INT_MAX;

// A random matrix of one of several kinds, with forbidden ways, many ties
// and zeros, and costs so large that their sums leave 32 bits.
TestMatrix OracleCase(TestRandom& random, int n, int kind)
{
    TestMatrix m;
    switch (kind) {
    case 0:
        m = RandomMatrix(random, n, 1000, random.Below(35), false);
        break;
    case 1:
        m = RandomMatrix(random, n, 100, random.Below(35), true);
        break;
    case 2:
        m = RandomMatrix(random, n, 3, random.Below(30), false);
        break;
    case 3:
        m = RandomMatrix(random, n, 2, random.Below(20), random.Chance(50));
        break;
    case 4:
        m = RandomMatrix(random, n, 4, random.Below(30), false);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (m.At(i, j) != X)
                    m.At(i, j) = 2000000000 + m.At(i, j) * 40000000;
        break;
    default:
        m = LatticeMatrix(random, n);
        break;
    }
    // Some callers leave the diagonal at 0 rather than forbidden.
    if (random.Chance(10))
        for (int i = 0; i < n; ++i)
            m.At(i, i) = 0;
    return m;
}

TEST(StopOrder, BestCostEqualsExactOracle)
{
    CScriptedUserServices services;
    int solved = 0, impossible = 0;
    for (int seed = 0; seed < 3000; ++seed) {
        TestRandom random(static_cast<uint64_t>(seed));
        int n = 3 + seed % 10;
        TestMatrix m = OracleCase(random, n, seed / 10 % 6);
        int start = random.Below(n);
        int end = seed / 60 % 2 ? start : (start + 1 + random.Below(n - 1)) % n;

        int64_t exact = ExactTourCost(m, start, end);
        size_t messagesBefore = services.messages.size();
        TourResult result = Solve(m, start, end);
        if (exact < 0) {
            ASSERT_FALSE(result.ok) << "seed " << seed;
            ASSERT_EQ(services.messages.size(), messagesBefore + 1);
            ASSERT_EQ(services.messages.back().helpId, 1020u);
            ++impossible;
            continue;
        }
        ASSERT_TRUE(result.ok) << "seed " << seed;
        ASSERT_EQ(result.cost, exact) << "seed " << seed << " n " << n << " start " << start << " end " << end;
        ASSERT_EQ(OrderCost(m, start, end, result.order), exact) << "seed " << seed;
        ++solved;
    }
    // The cases must exercise both outcomes.
    EXPECT_GT(solved, 2000);
    EXPECT_GT(impossible, 100);
}

TEST(StopOrder, SmallCasesAndTies)
{
    CScriptedUserServices services;
    struct Case {
        const char* what;
        std::vector<std::vector<int>> rows;
        int start, end;
        std::vector<int> order;
        int64_t cost;
    };
    const std::vector<Case> cases = {
        {"one stop, closed", {{X}}, 0, 0, {0, 0}, 0},
        {"two stops, closed", {{X, 3}, {5, X}}, 1, 1, {1, 0, 1}, 8},
        // A square: both directions round it cost 4. Every zero of the
        // reduced matrix ties at penalty 0, the first (0 -> 1) is taken.
        {"square, tied directions",
         {{X, 1, 2, 1}, {1, X, 1, 2}, {2, 1, X, 1}, {1, 2, 1, X}},
         0,
         0,
         {0, 1, 2, 3, 0},
         4},
        {"all zero", std::vector<std::vector<int>>(5, std::vector<int>(5, 0)), 0, 0, {0, 1, 2, 3, 4, 0}, 0},
        {"sums beyond 32 bits",
         {{X, 2000000000, 2000000000}, {2000000000, X, 2000000000}, {2000000000, 2000000000, X}},
         0,
         0,
         {0, 1, 2, 0},
         6000000000},
        {"open path keeps its ends", {{X, 1, 1, 1}, {1, X, 1, 1}, {1, 1, X, 1}, {1, 1, 1, X}}, 2, 0, {2, 3, 1, 0}, 3},
    };
    for (const Case& c : cases) {
        TourResult result = Solve(MatrixFromRows(c.rows), c.start, c.end);
        EXPECT_TRUE(result.ok) << c.what;
        EXPECT_EQ(result.order, c.order) << c.what;
        EXPECT_EQ(result.cost, c.cost) << c.what;
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST(StopOrder, NoOrderReportsRouteNotFound)
{
    CScriptedUserServices services;
    const std::vector<std::pair<std::vector<std::vector<int>>, std::pair<int, int>>> cases = {
        // Two stops, open: the way back to the start and start -> end both
        // forbidden leave nothing (callers handle fewer than 3 stops).
        {{{X, 5}, {5, X}}, {0, 1}},
        {{{X, 1, X}, {X, X, 1}, {X, X, X}}, {0, 0}},
        // A negative cost is no cost of a path.
        {{{X, -1, 1}, {1, X, 1}, {1, 1, X}}, {0, 0}},
    };
    for (const auto& [rows, ends] : cases) {
        services.messages.clear();
        TourResult result = Solve(MatrixFromRows(rows), ends.first, ends.second);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
    }
}

// Searches long enough to learn the least cost on the way end at the very
// tour a search without it chose (recorded from one), among several of
// that cost; the caller's matrix comes back as it would.
TEST(StopOrder, LongSearchesKeepTheTourOfTheFullSearch)
{
    const struct {
        int start, end;
        int64_t cost;
        std::vector<int> order;
    } cases[] = {
        {0, 0, 33045, {0, 5, 8, 10, 7, 6, 2, 13, 14, 12, 11, 1, 4, 3, 9, 0}},
        {3, 11, 27449, {3, 9, 4, 0, 5, 8, 10, 7, 6, 2, 13, 14, 12, 1, 11}},
    };
    for (const auto& c : cases) {
        TestRandom random(100096);
        const TestMatrix m = EuclideanMatrix(random, 15);
        TestMatrix rows = m;
        std::vector<int> order(16, -1);
        int64_t cost = 0;
        ASSERT_TRUE(SolveTour(rows.Rows(), 15, c.start, c.end, order.data(), &cost, nullptr));
        order.resize(c.order.size());
        EXPECT_EQ(cost, c.cost);
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(ExactTourCost(m, c.start, c.end), c.cost);
        for (int i = 0; i < 15; ++i)
            for (int j = 0; j < 15; ++j)
                if (c.start == c.end || (j != c.start && !(i == c.start && j == c.end))) {
                    EXPECT_EQ(rows.At(i, j), m.At(i, j)) << i << "," << j;
                }
    }
}

TEST(StopOrder, OpenPathRewritesOnlyTheStartColumnOfTheCallersMatrix)
{
    TestRandom random(7);
    TestMatrix m = RandomMatrix(random, 8, 50, 10, false);
    TestMatrix before = m;
    std::vector<int> order(8);
    int64_t cost = 0;
    ASSERT_TRUE(SolveTour(m.Rows(), 8, 2, 5, order.data(), &cost, nullptr));
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            int expected = j == 2 ? (i == 5 ? 0 : X) : i == 2 && j == 5 ? X : before.At(i, j);
            EXPECT_EQ(m.At(i, j), expected) << i << "," << j;
        }
}

TEST(StopOrder, CancelKeepsTheBestOrderFoundSoFar)
{
    CScriptedUserServices services;
    int stoppedShort = 0;
    for (int seed = 0; seed < 200; ++seed) {
        TestRandom random(static_cast<uint64_t>(seed) + 100000);
        const int n = 8;
        TestMatrix m = RandomMatrix(random, n, 1000, 0, false);
        int64_t exact = ExactTourCost(m, 0, 0);
        // The first descent checks once per level above the last pair; the
        // next check cancels.
        services.cancelChecks = 0;
        services.cancelAfterChecks = n - 2;
        auto progress = services.CreateProgress(0);
        TourResult result = Solve(m, 0, 0, progress.get());
        ASSERT_TRUE(result.ok);
        EXPECT_LE(services.cancelChecks, n - 1) << "the search goes on after a cancel";
        EXPECT_EQ(OrderCost(m, 0, 0, result.order), result.cost);
        EXPECT_GE(result.cost, exact);
        stoppedShort += result.cost > exact;
    }
    EXPECT_GT(stoppedShort, 0);
    EXPECT_TRUE(services.messages.empty());

    // Cancelled before any order was found.
    services.cancelChecks = 0;
    services.cancelAfterChecks = 0;
    auto progress = services.CreateProgress(0);
    TestRandom random(1);
    TourResult result = Solve(RandomMatrix(random, 6, 100, 0, false), 0, 0, progress.get());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
}

TEST(StopOrder, StopsOnOneNodeAreZeroApart)
{
    // Stops 1 and 2 lie on one node: the cost matrix has no way between them.
    TestMatrix m = MatrixFromRows({{X, 10, 10}, {10, X, X}, {10, X, X}});
    {
        CScriptedUserServices services;
        EXPECT_FALSE(Solve(m, 0, 0).ok);
        EXPECT_FALSE(Solve(m, 0, 2).ok);
        EXPECT_EQ(services.MessageIds(), (std::vector<unsigned>{1020, 1020}));
    }
    const int nodes[] = {7, 3, 3};
    ZeroCostsOfSharedNodes(m.Rows(), 3, nodes);
    TestMatrix expected = MatrixFromRows({{X, 10, 10}, {10, X, 0}, {10, 0, X}});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(m.At(i, j), expected.At(i, j)) << i << "," << j;
    TourResult closed = Solve(m, 0, 0);
    EXPECT_EQ(closed.order, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(closed.cost, 20);
    TourResult open = Solve(m, 0, 2);
    EXPECT_EQ(open.order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(open.cost, 10);

    // Stops without a node share nothing.
    TestMatrix apart = MatrixFromRows({{X, 5}, {5, X}});
    const int none[] = {-1, -1};
    ZeroCostsOfSharedNodes(apart.Rows(), 2, none);
    EXPECT_EQ(apart.At(0, 1), 5);
}

} // namespace
