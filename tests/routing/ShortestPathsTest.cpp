#include "routing/RouteNetwork.h"

#include "routing/RouteAllocation.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int X = INT_MAX;

struct Link {
    int from, to;
    int cost;
    int direction = 0;
};

// A graph of the links (the line of each running from x = from to x = to)
// and its node index.
struct Graph {
    explicit Graph(const std::vector<Link>& links)
    {
        for (const Link& l : links)
            net.Line({{double(l.from), 0}, {double(l.to), 1}}, l.from, l.to, std::to_string(l.cost),
                     std::to_string(l.direction));
        EXPECT_TRUE(net.Build());
        index.Build(net.GetEdges());
    }
    // Positions of node ids.
    std::vector<int> Stops(const std::vector<int>& ids) const
    {
        std::vector<int> stops;
        for (int id : ids)
            stops.push_back(index.Find(id));
        return stops;
    }
    bool Matrix(const std::vector<int>& ids, IProgress* progress = nullptr)
    {
        const std::vector<int> stops = Stops(ids);
        const int n = static_cast<int>(stops.size());
        return CRouteNetwork::ComputeCostMatrix(costs, preds, n, index.GetCount(), n, stops.data(), index,
                                                progress);
    }
    std::vector<int> Row(int i) const
    {
        return std::vector<int>(costs.GetRow(i), costs.GetRow(i) + costs.GetColumnCount());
    }

    CTestRouteNetwork net;
    CRouteNodeIndex index;
    CCostMatrix costs;
    CPredecessorMatrix preds;
};

class CAllocationLimit {
public:
    explicit CAllocationLimit(size_t bytes) { SetRouteAllocationLimit(bytes); }
    ~CAllocationLimit() { SetRouteAllocationLimit(SIZE_MAX); }
};

TEST(ShortestPaths, CostMatrixWithOneWaysAndSharedNodes)
{
    CScriptedUserServices user;
    Graph g({{1, 2, 4}, {2, 3, 5, 1}, {3, 1, 2, 2}, {3, 4, 0}, {4, 5, 7, 3}});
    // Link 2-3 runs only 3 -> 2, link 3-1 only 3 -> 1, link 4-5 is closed.
    EXPECT_EQ(g.index.Find(5), -1);
    ASSERT_TRUE(g.Matrix({1, 2, 3, 4, 4}));
    EXPECT_EQ(g.Row(0), (std::vector<int>{X, 4, X, X, X}));
    EXPECT_EQ(g.Row(1), (std::vector<int>{4, X, X, X, X}));
    EXPECT_EQ(g.Row(2), (std::vector<int>{2, 5, X, 0, 0}));
    // Two stops on one node are no distance apart: INT_MAX, not 0.
    EXPECT_EQ(g.Row(3), (std::vector<int>{2, 5, 0, X, X}));
    EXPECT_EQ(g.Row(4), g.Row(3));
    EXPECT_EQ(g.preds.GetRowCount(), 5);
    EXPECT_EQ(g.preds.GetColumnCount(), 4);
    EXPECT_TRUE(user.messages.empty());
}

TEST(ShortestPaths, EqualDistancesSettleTheLowerPositionFirst)
{
    // Both ways round the square cost 2; the middle node of lower id wins.
    for (bool swapped : {false, true}) {
        const int a = swapped ? 3 : 2, b = swapped ? 2 : 3;
        Graph g({{1, a, 1, 2}, {1, b, 1, 2}, {a, 4, 1, 2}, {b, 4, 1, 2}});
        ASSERT_TRUE(g.Matrix({1, 4}));
        EXPECT_EQ(g.Row(0), (std::vector<int>{X, 2}));
        std::vector<int> leg;
        const int target = g.index.Find(4), source = g.index.Find(1);
        ASSERT_TRUE(g.preds.GetLeg(0, source, target, leg));
        // Through node 2: links 2 then 0 when unswapped, links 3 then 1 swapped.
        EXPECT_EQ(leg, swapped ? (std::vector<int>{3, 1}) : (std::vector<int>{2, 0}));
        // Backwards along one-ways there is no way.
        EXPECT_FALSE(g.preds.GetLeg(1, target, source, leg));
        EXPECT_TRUE(leg.empty());
        EXPECT_TRUE(g.preds.GetLeg(1, target, target, leg));
        EXPECT_TRUE(leg.empty());
    }
}

TEST(ShortestPaths, LegsAgainstALinkUseTheComplement)
{
    Graph g({{1, 2, 3}, {3, 2, 4}});
    ASSERT_TRUE(g.Matrix({1, 3}));
    EXPECT_EQ(g.Row(0), (std::vector<int>{X, 7}));
    std::vector<int> leg;
    ASSERT_TRUE(g.preds.GetLeg(0, g.index.Find(1), g.index.Find(3), leg));
    EXPECT_EQ(leg, (std::vector<int>{~1, 0}));
    EXPECT_FALSE(g.preds.GetLeg(2, 0, 1, leg)); // no such row
}

TEST(ShortestPaths, TheSearchStopsOnceEveryStopIsSettled)
{
    CScriptedUserServices user;
    // A chain 1-2-...-10 and, apart, 20-21.
    std::vector<Link> links;
    for (int i = 1; i < 10; ++i)
        links.push_back({i, i + 1, 1});
    links.push_back({20, 21, 1});
    Graph g(links);
    auto progress = user.CreateProgress(0);
    std::vector<CRouteStep> preds(static_cast<size_t>(g.index.GetCount()));
    std::vector<int> row(3, -5);

    struct Case {
        std::vector<int> ids;
        int checks;          // settled nodes that did not end the search
        std::vector<int> costs;
    } cases[] = {
        {{1, 3}, 1, {X, 2}},
        {{1, 3, 5}, 3, {X, 2, 4}},
        {{1, 3, 20}, 9, {X, 2, X}}, // a stop out of reach: the whole chain
        {{1}, 9, {X}},              // one stop: the whole chain
        {{5, 5, 2}, 9, {X, X, 3}},  // the other stop on the source's node never settles
        {{20, 21}, 0, {X, 1}},
    };
    for (const Case& c : cases) {
        user.cancelChecks = 0;
        const std::vector<int> stops = g.Stops(c.ids);
        const int n = static_cast<int>(stops.size());
        ASSERT_TRUE(CRouteNetwork::ShortestPaths(0, g.index.GetCount(), n, stops.data(), g.index, preds.data(),
                                                 row.data(), progress.get()));
        EXPECT_EQ(user.cancelChecks, c.checks) << c.ids.size() << " " << c.ids.back();
        EXPECT_EQ(std::vector<int>(row.begin(), row.begin() + n), c.costs);
    }
    // Nodes left unsettled keep what the search found for them; the
    // unreached and the source have no predecessor.
    const std::vector<int> stops = g.Stops({1, 3});
    ASSERT_TRUE(CRouteNetwork::ShortestPaths(0, g.index.GetCount(), 2, stops.data(), g.index, preds.data(),
                                             row.data(), nullptr));
    EXPECT_EQ(preds[0].previous, -1);
    EXPECT_EQ(preds[1].previous, 0);
    EXPECT_EQ(preds[2].previous, 1);
    EXPECT_EQ(preds[3].previous, -1); // the search ended before node 3 looked beyond
    EXPECT_EQ(preds[g.index.Find(21)].previous, -1);
    EXPECT_TRUE(user.messages.empty());
}

TEST(ShortestPaths, SumsBeyondTheIntegerRangeAreNoPath)
{
    Graph g({{1, 2, 1}, {2, 3, 1}});
    for (const auto& edge : g.net.GetEdges())
        edge->cost = CRouteNetwork::kMaxCost;
    g.index.Build(g.net.GetEdges());
    ASSERT_TRUE(g.Matrix({1, 2, 3}));
    EXPECT_EQ(g.Row(0), (std::vector<int>{X, X - 1, X}));
    EXPECT_EQ(g.Row(1), (std::vector<int>{X - 1, X, X - 1}));
}

TEST(ShortestPaths, ACancelFreesBothMatricesQuietly)
{
    CScriptedUserServices user;
    std::vector<Link> links;
    for (int i = 1; i < 30; ++i)
        links.push_back({i, i + 1, i % 3});
    Graph g(links);
    auto progress = user.CreateProgress(0);
    // Row 0 settles 28 nodes before the last stop, then the check after the row.
    for (int cancelAfter : {0, 10, 28, 29, 40, 58}) {
        user.cancelChecks = 0;
        user.cancelAfterChecks = cancelAfter;
        user.progressSteps = 0;
        EXPECT_FALSE(g.Matrix({1, 30, 15}, progress.get())) << cancelAfter;
        EXPECT_EQ(g.costs.GetRowCount(), 0);
        EXPECT_EQ(g.costs.GetRows(), nullptr);
        EXPECT_EQ(g.preds.GetRowCount(), 0);
        EXPECT_EQ(g.preds.GetColumnCount(), 0);
        EXPECT_EQ(user.cancelChecks, cancelAfter + 1);
        EXPECT_EQ(user.progressSteps, cancelAfter < 29 ? 1 : cancelAfter < 58 ? 2 : 3);
    }
    user.cancelAfterChecks = -1;
    user.progressSteps = 0;
    ASSERT_TRUE(g.Matrix({1, 30, 15}, progress.get()));
    EXPECT_EQ(user.progressSteps, 3);

    // Cancelled alone, a row keeps what it held.
    user.cancelChecks = 0;
    user.cancelAfterChecks = 3;
    const std::vector<int> stops = g.Stops({1, 30});
    std::vector<CRouteStep> preds(30);
    std::vector<int> row = {-5, -5};
    EXPECT_FALSE(CRouteNetwork::ShortestPaths(0, 30, 2, stops.data(), g.index, preds.data(), row.data(),
                                              progress.get()));
    EXPECT_EQ(row, (std::vector<int>{-5, -5}));
    EXPECT_TRUE(user.messages.empty());
}

TEST(ShortestPaths, RunningOutOfMemoryIsSaidOnce)
{
    std::vector<Link> links;
    for (int i = 1; i < 100; ++i)
        links.push_back({i, i + 1, 1});
    Graph g(links);
    const size_t n = 100;
    ASSERT_EQ(g.index.GetCount(), 100);
    // A predecessor row takes 8 bytes a node, and so do the search's largest blocks.
    {
        CScriptedUserServices user;
        CAllocationLimit guard(8 * n - 1);
        EXPECT_FALSE(g.Matrix({1, 50, 100}));
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1005});
        EXPECT_EQ(g.costs.GetRowCount(), 0);
        EXPECT_EQ(g.preds.GetRowCount(), 0);
    }
    CScriptedUserServices user;
    CAllocationLimit guard(8 * n - 1);
    const std::vector<int> stops = g.Stops({1, 50});
    std::vector<CRouteStep> preds(n);
    std::vector<int> row(2);
    EXPECT_FALSE(CRouteNetwork::ShortestPaths(0, 100, 2, stops.data(), g.index, preds.data(), row.data(), nullptr));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1005});
    EXPECT_EQ(Cp1257ToUtf8(user.messages[0].text), "Trūksta atminties.");
}

TEST(ShortestPaths, AStopWithoutANodeIsRefused)
{
    Graph g({{1, 2, 1}});
    std::vector<CRouteStep> preds(2);
    std::vector<int> row(2);
    for (const std::vector<int>& stops : {std::vector<int>{0, -1}, std::vector<int>{2, 0}}) {
        CScriptedUserServices user;
        EXPECT_FALSE(CRouteNetwork::ComputeCostMatrix(g.costs, g.preds, 2, 2, 2, stops.data(), g.index, nullptr));
        EXPECT_EQ(g.costs.GetRowCount(), 0);
        EXPECT_FALSE(
            CRouteNetwork::ShortestPaths(0, 2, 2, stops.data(), g.index, preds.data(), row.data(), nullptr));
        EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1020, 1020}));
        EXPECT_EQ(Cp1257ToUtf8(user.messages[0].text), "Maršrutas nerastas.");
    }
    // Arguments that do not fit the index are refused without a word.
    CScriptedUserServices user;
    const int stops[] = {0, 1};
    EXPECT_FALSE(CRouteNetwork::ComputeCostMatrix(g.costs, g.preds, 2, 3, 2, stops, g.index, nullptr));
    EXPECT_FALSE(CRouteNetwork::ComputeCostMatrix(g.costs, g.preds, 3, 2, 2, stops, g.index, nullptr));
    EXPECT_FALSE(CRouteNetwork::ShortestPaths(2, 2, 2, stops, g.index, preds.data(), row.data(), nullptr));
    EXPECT_TRUE(CRouteNetwork::ComputeCostMatrix(g.costs, g.preds, 0, 2, 2, stops, g.index, nullptr));
    EXPECT_EQ(g.costs.GetRowCount(), 0);
    EXPECT_TRUE(user.messages.empty());
}

TEST(ShortestPaths, MatricesAllocateFreeAndFill)
{
    CCostMatrix m;
    EXPECT_TRUE(m.Allocate(0, 5));
    EXPECT_EQ(m.GetRows(), nullptr);
    EXPECT_TRUE(m.Allocate(2, 3));
    EXPECT_EQ(m.Fill(7), 2);
    EXPECT_EQ(m.GetRows()[1][2], 7);
    {
        CAllocationLimit guard(19);
        EXPECT_FALSE(m.Allocate(1, 5)); // a row of 20 bytes
        EXPECT_EQ(m.GetRowCount(), 0);
        EXPECT_EQ(m.GetColumnCount(), 0);
        EXPECT_TRUE(m.Allocate(1, 4));
    }
    CPredecessorMatrix p;
    ASSERT_TRUE(p.Allocate(1, 2));
    EXPECT_EQ(p.At(0, 1).previous, -1);
    p.Free();
    EXPECT_EQ(p.GetRowCount(), 0);
}

} // namespace
