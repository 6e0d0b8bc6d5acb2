#include "routing/StopOrder.h"
#include "routing/TourSolverRunner.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "tests/routing/ExchangeMatrices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr int X = INT_MAX;

// Stands in for the solver program: keeps the graph file it was given and
// answers with a scripted tour file.
class CFakeRunner : public ITourSolverRunner {
public:
    CFakeRunner() { SetTourSolverRunner(this); }
    ~CFakeRunner() override { SetTourSolverRunner(nullptr); }

    bool Run(const std::string& graphFile, const std::string& tourFile) override
    {
        ++calls;
        graphPath = graphFile;
        tourPath = tourFile;
        graph = ReadWholeFile(graphFile);
        if (!starts)
            return false;
        if (tour)
            WriteWholeFile(tourFile, *tour);
        return true;
    }

    bool starts = true;
    std::optional<std::string> tour; // none: the solver wrote nothing
    int calls = 0;
    std::string graph, graphPath, tourPath;
};

TourResult SolveOutside(const TestMatrix& m, int start, int end, const CFakeRunner& runner)
{
    TourResult result = SolveCopy(m, start, end, [](int** rows, int n, int s, int e, int* order, int64_t* cost) {
        return SolveTourExternal(rows, n, s, e, order, cost, nullptr);
    });
    // The exchange files never outlive the call.
    EXPECT_FALSE(runner.graphPath.empty() || PathExists(runner.graphPath));
    EXPECT_FALSE(runner.tourPath.empty() || PathExists(runner.tourPath));
    return result;
}



TEST(TourExchange, GraphFilesAndToursBothWays)
{
    CScriptedUserServices services;
    struct Case {
        const char* what;
        const TestMatrix& matrix;
        int start, end;
        std::string graph, tour;
        std::vector<int> order;
        int64_t cost;
    };
    const std::vector<Case> cases = {
        {"symmetric closed", kSymmetric, 0, 0, kSymmetricClosedGraph, "4 4\n0 1 5\n1 2 3\n2 3 4\n3 0 2\n",
         {0, 1, 2, 3, 0}, 14},
        {"symmetric closed, tour turned to its start", kSymmetric, 2, 2, kSymmetricClosedGraph,
         "4 4\n0 3 2\n3 2 4\n2 1 3\n1 0 5\n", {2, 1, 0, 3, 2}, 14},
        {"symmetric open", kSymmetric, 0, 3, kSymmetricOpenGraph, "5 5\n0 1 5\n1 2 3\n2 3 4\n3 4 0\n4 0 0\n",
         {0, 1, 2, 3}, 12},
        {"symmetric open, reversed tour", kSymmetric, 0, 3, kSymmetricOpenGraph,
         "5 5\n0 4 0\n4 3 0\n3 2 4\n2 1 3\n1 0 5\n", {0, 1, 2, 3}, 12},
        {"asymmetric closed", kAsymmetric3, 0, 0,
         kAsymmetric3ClosedGraph,
         "9 9\n0 4 4\n4 7 0\n7 1 0\n1 5 2\n5 8 0\n8 2 0\n2 3 1\n3 6 0\n6 0 0\n", {0, 1, 2, 0}, 7},
        {"asymmetric closed, reversed tour", kAsymmetric3, 0, 0,
         kAsymmetric3ClosedGraph,
         "9 9\n0 6 0\n6 3 0\n3 2 1\n2 8 0\n8 5 0\n5 1 2\n1 7 0\n7 4 0\n4 0 4\n", {0, 1, 2, 0}, 7},
        // Into the start only the free way from the end, written although
        // the matrix forbids it; the header counts the lines below it.
        {"asymmetric open", kAsymmetric4, 0, 3,
         kAsymmetric4OpenGraph,
         "12 12\n0 5 3\n5 9 0\n9 1 0\n1 6 2\n6 10 0\n10 2 0\n2 7 1\n7 11 0\n11 3 0\n3 4 0\n4 8 0\n8 0 0\n",
         {0, 1, 2, 3}, 6},
        {"asymmetric open, reversed tour", kAsymmetric4, 0, 3,
         kAsymmetric4OpenGraph,
         "12 12\n0 8 0\n8 4 0\n4 3 0\n3 11 0\n11 7 0\n7 2 1\n2 10 0\n10 6 0\n6 1 2\n1 9 0\n9 5 0\n5 0 3\n",
         {0, 1, 2, 3}, 6},
    };
    for (const Case& c : cases) {
        CFakeRunner runner;
        runner.tour = c.tour;
        TourResult result = SolveOutside(c.matrix, c.start, c.end, runner);
        EXPECT_EQ(runner.graph, c.graph) << c.what;
        EXPECT_TRUE(result.ok) << c.what;
        EXPECT_EQ(result.order, c.order) << c.what;
        EXPECT_EQ(result.cost, c.cost) << c.what;
    }
    EXPECT_TRUE(services.messages.empty());
}

// A solver that ran but left no tour of the stops fails the route with
// the message the internal solver gives.
TEST(TourExchange, ToursThatAreNoTourShowRouteNotFound)
{
    CScriptedUserServices services;
    const std::vector<std::pair<const char*, std::optional<std::string>>> tours = {
        {"nothing written", std::nullopt},
        {"short", "4 4\n0 1 5\n1 2 3\n"},
        {"no header", "0 1 5\n1 2 3\n2 3 4\n3 0 2\n"},
        {"not numbers", "4 4\n0 1 5\n1 two 3\n2 3 4\n3 0 2\n"},
        {"a stop twice", "4 4\n0 1 5\n1 1 0\n1 2 3\n2 3 4\n3 0 2\n"},
        {"not from stop 0", "4 4\n1 2 3\n2 3 4\n3 0 2\n0 1 5\n"},
        {"negative node", "4 4\n0 -1 5\n-1 2 3\n2 3 4\n3 0 2\n"},
        {"node beyond the graph", "4 4\n0 9 5\n9 2 3\n2 3 4\n3 0 2\n"},
        {"a forbidden way", "4 4\n0 2 7\n2 1 3\n1 3 0\n3 0 2\n"},
    };
    for (const auto& [what, tour] : tours) {
        CFakeRunner runner;
        runner.tour = tour;
        services.messages.clear();
        TourResult result = SolveOutside(kSymmetric, 0, 0, runner);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_EQ(result.order, std::vector<int>(5, -1)) << what;
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020}) << what;
    }
    // An open path must come back to the start from the end: 0 1 3 2 does not.
    CFakeRunner runner;
    runner.tour = "12 12\n0 5 3\n5 9 0\n9 1 0\n1 7 6\n7 11 0\n11 3 0\n3 6 0\n6 10 0\n10 2 0\n2 4 0\n";
    services.messages.clear();
    EXPECT_FALSE(SolveOutside(kAsymmetric4, 0, 3, runner).ok);
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
}

TEST(TourExchange, SolverThatCannotStart)
{
    CScriptedUserServices services;
    CFakeRunner runner;
    runner.starts = false;
    EXPECT_FALSE(SolveOutside(kSymmetric, 0, 0, runner).ok);
    EXPECT_EQ(runner.graph, kSymmetricClosedGraph);
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1108});
}

TEST(TourExchange, MoreThanFifteenStopsGoToTheSolver)
{
    CScriptedUserServices services;
    CFakeRunner runner;
    TestRandom random(3);

    TestMatrix fifteen = EuclideanMatrix(random, 15);
    std::vector<int> order(17);
    int64_t cost = 0;
    ASSERT_TRUE(SolveTour(fifteen.Rows(), 15, 0, 0, order.data(), &cost, nullptr));
    EXPECT_EQ(runner.calls, 0);
    EXPECT_EQ(cost, ExactTourCost(fifteen, 0, 0));

    TestMatrix sixteen = EuclideanMatrix(random, 16);
    std::string tour = "48 16\n";
    for (int i = 0; i < 16; ++i)
        tour += std::to_string(i) + ' ' + std::to_string((i + 1) % 16) + " 1\n";
    runner.tour = tour;
    ASSERT_TRUE(SolveTour(sixteen.Rows(), 16, 0, 0, order.data(), &cost, nullptr));
    EXPECT_EQ(runner.calls, 1);
    std::vector<std::string> lines;
    SplitLines(runner.graph, lines);
    ASSERT_EQ(lines.size(), 121u);
    EXPECT_EQ(lines[0], "16 120");
    EXPECT_EQ(lines[1], "0 1 " + std::to_string(sixteen.At(0, 1)));
    std::vector<int> expected;
    for (int i = 0; i < 16; ++i)
        expected.push_back(i);
    expected.push_back(0);
    EXPECT_EQ(order, expected);
    int64_t sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += sixteen.At(i, (i + 1) % 16);
    EXPECT_EQ(cost, sum);
    EXPECT_TRUE(services.messages.empty());
}

} // namespace
