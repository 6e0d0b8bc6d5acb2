#include "routing/TourFileSolver.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "routing/StopOrder.h"
#include "routing/TourSolverRunner.h"
#include "tests/routing/ExchangeMatrices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int X = INT_MAX;

// The cheapest cost of each edge of a graph text, by its two ends in order.
std::map<std::pair<int, int>, int> GraphEdges(const std::string& graph, int& nodes)
{
    std::istringstream in(graph);
    int edges = 0;
    in >> nodes >> edges;
    std::map<std::pair<int, int>, int> costs;
    int a, b, c;
    while (in >> a >> b >> c) {
        auto key = std::minmax(a, b);
        auto found = costs.find(key);
        if (found == costs.end() || c < found->second)
            costs[key] = c;
    }
    return costs;
}

// "" when the tour is a cycle through every node of the graph from node 0
// along edges of the graph at their costs; else what is wrong.
std::string TourFault(const std::string& graph, const std::string& tour)
{
    int nodes = 0;
    const auto edges = GraphEdges(graph, nodes);
    std::istringstream in(tour);
    int headNodes = 0, lines = 0;
    if (!(in >> headNodes >> lines) || headNodes != nodes || lines != nodes)
        return "header";
    std::vector<int> seen(static_cast<size_t>(nodes), 0);
    int expected = 0;
    for (int k = 0; k < nodes; ++k) {
        int a, b, c;
        if (!(in >> a >> b >> c))
            return "short";
        if (a != expected || a < 0 || a >= nodes || seen[static_cast<size_t>(a)]++)
            return "not a cycle at line " + std::to_string(k + 1);
        auto found = edges.find(std::minmax(a, b));
        if (found == edges.end() || found->second != c)
            return "edge " + std::to_string(a) + " " + std::to_string(b) + " not in the graph at that cost";
        expected = b;
    }
    return expected == 0 ? "" : "does not close";
}

// Takes the graph file the exchange writes and answers with no tour.
class CGraphTaker : public ITourSolverRunner {
public:
    CGraphTaker() { SetTourSolverRunner(this); }
    ~CGraphTaker() override { SetTourSolverRunner(nullptr); }
    bool Run(const std::string& graphFile, const std::string&) override
    {
        graph = ReadWholeFile(graphFile);
        return true;
    }
    std::string graph;
};

std::string GraphOf(TestMatrix m, int start, int end)
{
    CScriptedUserServices quiet; // for the message on the missing tour
    CGraphTaker taker;
    std::vector<int> order(static_cast<size_t>(m.Size() + 1));
    int64_t cost = 0;
    SolveTourExternal(m.Rows(), m.Size(), start, end, order.data(), &cost, nullptr);
    return taker.graph;
}

// ------------------------------------------------------------ reading

TEST(TourFileSolver, MalformedGraphsGiveNoTour)
{
    const std::vector<std::pair<const char*, std::string>> graphs = {
        {"empty", ""},
        {"header alone, edges missing", "3 3\n"},
        {"one number in the header", "3\n0 1 1\n1 2 1\n2 0 1\n"},
        {"no nodes", "0 0\n"},
        {"negative edge count", "3 -3\n0 1 1\n1 2 1\n2 0 1\n"},
        {"fewer edges than the header says", "3 4\n0 1 1\n1 2 1\n2 0 1\n"},
        {"more edges than the header says", "3 2\n0 1 1\n1 2 1\n2 0 1\n"},
        {"two numbers on a line", "3 3\n0 1 1\n1 2\n2 0 1\n"},
        {"four numbers on a line", "3 3\n0 1 1\n1 2 1 7\n2 0 1\n"},
        {"not a number", "3 3\n0 1 1\n1 two 1\n2 0 1\n"},
        {"a number run into text", "3 3\n0 1 1\n1 2 1x\n2 0 1\n"},
        {"node beyond the graph", "3 3\n0 1 1\n1 3 1\n2 0 1\n"},
        {"negative node", "3 3\n0 1 1\n1 -2 1\n2 0 1\n"},
        {"negative cost", "3 3\n0 1 1\n1 2 -1\n2 0 1\n"},
        {"cost that means no way", "3 3\n0 1 1\n1 2 2147483647\n2 0 1\n"},
        {"number beyond 64 bits", "3 3\n0 1 1\n1 2 99999999999999999999\n2 0 1\n"},
        {"a sign before a number", "3 3\n0 1 1\n1 2 +1\n2 0 1\n"},
        {"a sign alone", "3 3\n0 1 1\n1 2 -\n2 0 1\n"},
        {"absurd node count", "2147483647 3\n0 1 1\n1 2 1\n2 0 1\n"},
        // Well formed, but without a cycle through every node.
        {"a node on one edge", "4 4\n0 1 1\n1 2 1\n2 0 1\n2 3 1\n"},
        {"one node", "1 0\n"},
        {"asymmetric: a stop no way leads to", "6 5\n0 4 0\n4 2 0\n1 5 0\n5 3 0\n0 3 1\n"},
    };
    for (const auto& [what, graph] : graphs) {
        std::string tour = "old";
        EXPECT_FALSE(SolveTourGraph(graph, tour)) << what;
        EXPECT_EQ(tour, "") << what;
    }
    // The well-formed triangle all but one of them spoil.
    std::string tour;
    EXPECT_TRUE(SolveTourGraph("3 3\n0 1 1\n1 2 1\n2 0 1\n", tour));
    EXPECT_EQ(tour, "3 3\n0 2 1\n2 1 1\n1 0 1\n");
    // Nor are leading zeros, however many.
    EXPECT_TRUE(SolveTourGraph("3 3\n0 1 1\n1 2 00000000000000000000000001\n2 0 001\n", tour));
    EXPECT_EQ(tour, "3 3\n0 2 1\n2 1 1\n1 0 1\n");
    // Blanks and carriage returns around the numbers are no fault.
    EXPECT_TRUE(SolveTourGraph(" 3\t3 \r\n0 1 1\r\n\n1  2 1\r\n2 0 1", tour));
    EXPECT_EQ(tour, "3 3\n0 2 1\n2 1 1\n1 0 1\n");
}

// ------------------------------------------------------------ shapes of graph


TEST(TourFileSolver, EachShapeOfGraphGivesItsTour)
{
    struct Case {
        const char* what;
        std::string graph, tour;
    };
    const std::vector<Case> cases = {
        {"symmetric closed", kSymmetricClosedGraph, "4 4\n0 1 5\n1 2 3\n2 3 4\n3 0 2\n"},
        // The dummy node 4 joins the end 3 to the start 0.
        {"symmetric open", kSymmetricOpenGraph,
         "5 5\n0 1 5\n1 2 3\n2 3 4\n3 4 0\n4 0 0\n"},
        // Out-node j, in-node 3 + j, 6 + j between: only 0 -> 1 -> 2 -> 0 exists.
        {"asymmetric closed",
         kAsymmetric3ClosedGraph,
         "9 9\n0 4 4\n4 7 0\n7 1 0\n1 5 2\n5 8 0\n8 2 0\n2 3 1\n3 6 0\n6 0 0\n"},
        // Into the start only the free way from the end.
        {"asymmetric open",
         kAsymmetric4OpenGraph,
         "12 12\n0 5 3\n5 9 0\n9 1 0\n1 6 2\n6 10 0\n10 2 0\n2 7 1\n7 11 0\n11 3 0\n3 4 0\n4 8 0\n8 0 0\n"},
        // Two stops, their inner edges at costs of their own.
        {"asymmetric with costly inner edges", "6 6\n0 4 3\n4 2 5\n1 5 7\n5 3 8\n0 3 4\n1 2 6\n",
         "6 6\n0 3 4\n3 5 8\n5 1 7\n1 2 6\n2 4 5\n4 0 3\n"},
        // An edge between two out-nodes: no longer three nodes a stop, but a
        // plain graph of six nodes, where 5 lies between 1 and 3 only.
        {"not three nodes a stop", "6 7\n0 4 3\n4 2 5\n1 5 7\n5 3 8\n0 3 4\n1 2 6\n0 1 1\n",
         "6 6\n0 3 4\n3 5 8\n5 1 7\n1 2 6\n2 4 5\n4 0 3\n"},
    };
    for (const Case& c : cases) {
        std::string tour;
        EXPECT_TRUE(SolveTourGraph(c.graph, tour)) << c.what;
        EXPECT_EQ(tour, c.tour) << c.what;
        EXPECT_EQ(TourFault(c.graph, tour), "") << c.what;
    }
}

// The graphs the exchange writes, solved and read back by it: no solver
// is installed, so the program's own runs.
TEST(TourFileSolver, TheDefaultRunnerSolvesInThisProcess)
{
    CScriptedUserServices services;
    struct Case {
        const char* what;
        const TestMatrix& m;
        int start, end;
        std::vector<int> order;
        int64_t cost;
    };
    const std::vector<Case> cases = {
        {"symmetric closed", kSymmetric, 0, 0, {0, 1, 2, 3, 0}, 14},
        {"symmetric closed from 2", kSymmetric, 2, 2, {2, 3, 0, 1, 2}, 14},
        {"symmetric open", kSymmetric, 0, 3, {0, 1, 2, 3}, 12},
        {"asymmetric closed", kAsymmetric3, 0, 0, {0, 1, 2, 0}, 7},
        {"asymmetric open", kAsymmetric4, 0, 3, {0, 1, 2, 3}, 6},
    };
    for (const Case& c : cases) {
        TourResult result = SolveCopy(c.m, c.start, c.end, [](int** rows, int n, int s, int e, int* o, int64_t* k) {
            return SolveTourExternal(rows, n, s, e, o, k, nullptr);
        });
        EXPECT_TRUE(result.ok) << c.what;
        EXPECT_EQ(result.order, c.order) << c.what;
        EXPECT_EQ(result.cost, c.cost) << c.what;
    }
    EXPECT_TRUE(services.messages.empty());

    // Stop 1 is joined to stop 0 alone: no tour, and the route says so.
    TestMatrix lone = MatrixFromRows({{X, 1, 1, 1}, {1, X, X, X}, {1, X, X, 1}, {1, X, 1, X}});
    std::vector<int> order(5);
    int64_t cost = 0;
    EXPECT_FALSE(SolveTourExternal(lone.Rows(), 4, 0, 0, order.data(), &cost, nullptr));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
}

TEST(TourFileSolver, ToursOfWrittenGraphsUseOnlyTheirEdges)
{
    for (int n : {16, 60}) {
        for (bool symmetric : {true, false}) {
            for (bool closed : {true, false}) {
                TestRandom random(static_cast<uint64_t>(n) + symmetric * 2 + closed);
                const TestMatrix m = RandomMatrix(random, n, 1000, 40, symmetric);
                const std::string graph = GraphOf(m, 0, closed ? 0 : n - 1);
                ASSERT_FALSE(graph.empty());
                std::string tour;
                const std::string what = std::to_string(n) + (symmetric ? " symmetric" : " asymmetric") +
                                         (closed ? " closed" : " open");
                ASSERT_TRUE(SolveTourGraph(graph, tour)) << what;
                EXPECT_EQ(TourFault(graph, tour), "") << what;
            }
        }
    }
}

TEST(TourFileSolver, TheSameFileGivesTheSameBytes)
{
    CTempDir dir;
    TestRandom random(9);
    const std::string graph = GraphOf(LatticeMatrix(random, 30), 0, 29);
    WriteWholeFile(dir.File("graph"), graph);
    ASSERT_TRUE(SolveTourFiles(dir.File("graph"), dir.File("tour1")));
    ASSERT_TRUE(SolveTourFiles(dir.File("graph"), dir.File("tour2")));
    const std::string tour = ReadWholeFile(dir.File("tour1"));
    EXPECT_FALSE(tour.empty());
    EXPECT_EQ(ReadWholeFile(dir.File("tour2")), tour);
    EXPECT_EQ(TourFault(graph, tour), "");

    // No tour: the old tour file is emptied, not left to be read.
    WriteWholeFile(dir.File("bad"), "3 3\n0 1 1\n");
    EXPECT_FALSE(SolveTourFiles(dir.File("bad"), dir.File("tour1")));
    EXPECT_TRUE(PathExists(dir.File("tour1")));
    EXPECT_EQ(ReadWholeFile(dir.File("tour1")), "");
    EXPECT_FALSE(SolveTourFiles(dir.File("missing"), dir.File("tour2")));
    EXPECT_EQ(ReadWholeFile(dir.File("tour2")), "");
}

} // namespace
