#include "routing/DistanceTable.h"
#include "routing/RouteNetwork.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "platform/Path.h"
#include "tests/core/GeometryText.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Road {
    const char* line;
    int from, to;
    const char* direction = "";
};

void AddRoads(CTestRouteNetwork& net, const std::vector<Road>& roads)
{
    CRouteFields fields = TestRouteFields();
    fields.weightField.clear();
    net.SetFields(fields);
    for (const Road& r : roads)
        net.Line(ParsePoints(r.line), r.from, r.to, "1000", r.direction, "1");
}

// 1 --- 2 --- 3 --- 4 along y = 0, 1000 m apart; 20 --- 21 far away joins nothing.
const std::vector<Road> kStreet = {
    {"0 0, 1000 0", 1, 2},
    {"1000 0, 2000 0", 2, 3},
    {"2000 0, 3000 0", 3, 4},
    {"20000 0, 21000 0", 20, 21},
};

std::vector<CMatrixPoint> MatrixPoints(const char* text)
{
    std::vector<CMatrixPoint> points;
    for (const CMapPoint& p : ParsePoints(text)) {
        points.emplace_back();
        points.back().given = p;
    }
    return points;
}

std::string PointText(const CMapPoint& p)
{
    return std::to_string(static_cast<int>(p.x)) + " " + std::to_string(static_cast<int>(p.y));
}

std::vector<std::string> PointTexts(const std::vector<CMapPoint>& points)
{
    std::vector<std::string> texts;
    for (const CMapPoint& p : points)
        texts.push_back(PointText(p));
    return texts;
}

// "From>To=Dist" of every record.
std::vector<std::string> TableRows(const std::string& path)
{
    CDbfTable table;
    std::vector<std::string> rows;
    if (!table.Open(path))
        return rows;
    EXPECT_EQ(table.GetFieldInfos().size(), 4u);
    EXPECT_EQ(table.GetFieldType(2), 'N');
    EXPECT_EQ(table.GetFieldLength(2), 8);
    EXPECT_EQ(table.GetFieldDecimals(2), 3);
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        table.GoToRecord(n);
        std::string from, to, dist;
        table.GetFieldString(0, from);
        table.GetFieldString(1, to);
        table.GetFieldString(2, dist);
        rows.push_back(from + ">" + to + "=" + dist);
    }
    return rows;
}

} // namespace

TEST(DistanceMatrix, GroupsPointsOnOneNodeAndFillsTheRows)
{
    CScriptedUserServices services;
    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    // A and B snap onto node 1, C onto node 3, E onto the far island.
    std::vector<CMatrixPoint> points = MatrixPoints("0 10, 0 -5, 2000 20, 20000 0");
    CCostMatrix costs;
    ASSERT_TRUE(net.ComputeDistanceMatrix(points, true, costs));
    EXPECT_TRUE(net.GetEdges().empty());
    EXPECT_EQ(points[0].group, 0);
    EXPECT_EQ(points[1].group, 0);
    EXPECT_EQ(points[2].group, 1);
    EXPECT_EQ(points[3].group, 2);
    EXPECT_EQ(points[0].node, points[1].node);
    EXPECT_EQ(PointText(points[2].snapped), "2000 0");
    ASSERT_EQ(costs.GetRowCount(), 3);
    ASSERT_EQ(costs.GetColumnCount(), 3);
    EXPECT_EQ(costs.At(0, 1), 2000);
    EXPECT_EQ(costs.At(1, 0), 2000);
    EXPECT_EQ(costs.At(0, 2), INT_MAX);
    EXPECT_EQ(services.progressHigh, 3);

    ASSERT_TRUE(net.ComputeDistanceMatrix(points, false, costs));
    EXPECT_EQ(costs.GetRowCount(), 1);
    EXPECT_EQ(costs.GetColumnCount(), 3);
    EXPECT_TRUE(services.messages.empty());
}

TEST(DistanceMatrix, FailsWithoutEdgesLeftWhenAPointCannotBePlacedOrOnCancel)
{
    CScriptedUserServices services;
    CTestRouteNetwork empty;
    std::vector<CMatrixPoint> points = MatrixPoints("0 0, 1000 0");
    CCostMatrix costs;
    EXPECT_FALSE(empty.ComputeDistanceMatrix(points, true, costs));
    EXPECT_EQ(costs.GetRowCount(), 0);

    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    services.cancelAfterChecks = 0;
    EXPECT_FALSE(net.ComputeDistanceMatrix(points, true, costs));
    EXPECT_EQ(costs.GetRowCount(), 0);
    EXPECT_TRUE(net.GetEdges().empty());
}

TEST(DistanceMatrix, TableHoldsEveryPairOrTheFirstRowAndBlanksWhatHasNoPath)
{
    CScriptedUserServices services;
    CTempDir dir;
    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    std::vector<CMatrixPoint> points = MatrixPoints("0 10, 0 -5, 2000 20, 20000 0");
    const std::vector<std::string> names = {"A", "B", "C", "E"};
    auto km = [&](const CMapPoint& a, const CMapPoint& b) { return net.DistanceKm(a, b); };

    struct Case {
        bool full;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {false, {"A>B=0.015", "A>C=2.030", "A>E="}},
        {true,
         {"A>B=0.015", "A>C=2.030", "A>E=", "B>A=0.015", "B>C=2.025", "B>E=", "C>A=2.030", "C>B=2.025", "C>E=",
          "E>A=", "E>B=", "E>C="}},
    };
    for (const Case& c : cases) {
        CCostMatrix costs;
        ASSERT_TRUE(net.ComputeDistanceMatrix(points, c.full, costs));
        const std::string path = dir.File(c.full ? "full.dbf" : "first.dbf");
        ASSERT_TRUE(WriteDistanceTable(path, names, points, costs, c.full, km));
        EXPECT_EQ(TableRows(path), c.rows) << c.full;
        EXPECT_FALSE(PathExists(MakeTildePath(path)));
    }
}

TEST(DistanceMatrix, ATableThatCannotBeMadeWritesNothing)
{
    CScriptedUserServices services;
    CTempDir dir;
    std::vector<CMatrixPoint> points = MatrixPoints("0 0, 1000 0");
    CCostMatrix costs;
    auto km = [](const CMapPoint&, const CMapPoint&) { return 0.0; };
    const std::string path = dir.File("missing/r.dbf");
    EXPECT_FALSE(WriteDistanceTable(path, {"A", "B"}, points, costs, true, km));
    EXPECT_FALSE(PathExists(dir.File("missing")));
    ASSERT_EQ(services.MessageIds(), std::vector<unsigned>{1007});
    // The file the user chose, not the work copy made beside it.
    EXPECT_NE(services.messages[0].text.find(path), std::string::npos) << services.messages[0].text;
}

TEST(DistanceMatrix, ProposesTheFirstResultsFileNotThere)
{
    CTempDir dir;
    EXPECT_EQ(ProposeResultsPath(dir.File("points.dbf")), dir.File("Results1.dbf"));
    std::ofstream(dir.File("Results1.dbf")) << "x";
    std::ofstream(dir.File("Results2.dbf")) << "x";
    EXPECT_EQ(ProposeResultsPath(dir.File("points.dbf")), dir.File("Results3.dbf"));
    EXPECT_EQ(ProposeResultsPath("points.dbf"), "Results1.dbf");
}

// ------------------------------------------------------------ network check

TEST(CheckConnectivity, ListsTheFirstDeadEndAndThoseItCannotReach)
{
    struct Case {
        const char* what;
        std::vector<Road> roads;
        std::vector<std::string> out;
    };
    const Case cases[] = {
        {"connected", {{"0 0, 1000 0", 1, 2}, {"1000 0, 2000 0", 2, 3}, {"1000 0, 1000 1000", 2, 4}}, {"0 0"}},
        {"islands",
         {{"0 0, 1000 0", 1, 2},
          {"1000 0, 2000 0", 2, 3},
          {"6000 0, 5000 0", 11, 10},
          {"8000 0, 9000 0", 20, 21}},
         {"0 0", "5000 0", "6000 0", "8000 0", "9000 0"}},
        // A one-way street from 4 into 2: one arc leaves 4, none reaches it.
        {"one-way end",
         {{"0 0, 1000 0", 1, 2}, {"1000 0, 2000 0", 2, 3}, {"1000 500, 1000 0", 4, 2, "2"}},
         {"0 0", "1000 500"}},
        // The other way round no arc leaves 4: not a dead end.
        {"one-way in", {{"0 0, 1000 0", 1, 2}, {"1000 0, 2000 0", 2, 3}, {"1000 0, 1000 500", 2, 4, "2"}}, {"0 0"}},
        {"one dead end", {{"0 0, 1000 0", 1, 2}, {"1000 0, 1000 1000", 2, 3, "2"}}, {}},
    };
    for (const Case& c : cases) {
        CScriptedUserServices services;
        CTestRouteNetwork net;
        AddRoads(net, c.roads);
        std::vector<CMapPoint> out;
        ASSERT_TRUE(net.CheckConnectivity(out)) << c.what;
        EXPECT_EQ(PointTexts(out), c.out) << c.what;
        EXPECT_TRUE(net.GetEdges().empty()) << c.what;
    }
}

TEST(CheckConnectivity, ACancelEndsWithoutPoints)
{
    CScriptedUserServices services;
    services.cancelAfterChecks = 0;
    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    std::vector<CMapPoint> out;
    EXPECT_FALSE(net.CheckConnectivity(out));
    EXPECT_TRUE(out.empty());
}
