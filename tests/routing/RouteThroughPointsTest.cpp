#include "routing/RouteNetwork.h"

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Road {
    const char* line;
    int from, to;
    const char* length;
    const char* direction = "";
};

// A street along y = 0, nodes 1 to 6 every 1000 m; link 2-3 bends up, link
// 3-4 is drawn (and numbered) from 4 to 3; lengths in metres with fractions.
// Far along, 20-21 joins nothing.
//
//   1 ----- 2 --^-- 3 --<-- 4 ----- 5 ----- 6            20 ----- 21
const std::vector<Road> kStreet = {
    {"0 0, 1000 0", 1, 2, "1000.9"},
    {"1000 0, 1500 100, 2000 0", 2, 3, "1020"},
    {"3000 0, 2000 0", 4, 3, "1000.5"},
    {"3000 0, 4000 0", 4, 5, "1000"},
    {"4000 0, 5000 0", 5, 6, "1000"},
    {"20000 0, 21000 0", 20, 21, "1000"},
};
// Links whose from node is 0: nothing can be snapped onto them.
const std::vector<Road> kUnnumbered = {
    {"0 0, 1000 0", 0, 2, "1000"},
    {"1000 0, 2000 0", 0, 3, "1000"},
};

// Main roads (significance 1); the map names no weight field.
void AddRoads(CTestRouteNetwork& net, const std::vector<Road>& roads)
{
    CRouteFields fields = TestRouteFields();
    fields.weightField.clear();
    net.SetFields(fields);
    for (const Road& r : roads)
        net.Line(ParsePoints(r.line), r.from, r.to, r.length, r.direction, "1");
}

std::vector<CMapPoint> Points(const char* text)
{
    return ParsePoints(text);
}

std::vector<std::string> LegTexts(const CRouteNetwork& net)
{
    std::vector<std::string> texts;
    for (const auto& leg : net.legs)
        texts.push_back(ShapeText(*leg));
    return texts;
}

// What every route leaves: its legs, its length, the messages it showed,
// and never any edges.
void ExpectRoute(const CRouteNetwork& net, const CScriptedUserServices& services, const std::vector<std::string>& legs,
                 double km, const std::vector<unsigned>& messages, const char* what)
{
    EXPECT_EQ(LegTexts(net), legs) << what;
    EXPECT_NEAR(net.totalLength, km, 1e-9) << what;
    EXPECT_EQ(services.MessageIds(), messages) << what;
    EXPECT_TRUE(net.GetEdges().empty()) << what;
}

// ------------------------------------------------------------ route for points

TEST(RouteForPoints, OrdersLegsLengthsAndFailures)
{
    struct Case {
        const char* what;
        const std::vector<Road>& roads;
        const char* points;
        bool ok;
        std::vector<int> order;
        std::vector<std::string> legs;
        double km;
        std::vector<unsigned> messages;
    };
    const char* const kWhole = "0 0, 1000 0, 1500 100, 2000 0, 3000 0, 4000 0, 5000 0";
    const std::vector<Case> cases = {
        // The link drawn 4 -> 3 is turned; its joints are not repeated; the
        // length is the sum of the truncated link lengths.
        {"two points, one leg", kStreet, "0 0, 5000 0", true, {0, 1}, {kWhole}, 5.02, {}},
        {"three points keep their intermediate", kStreet, "0 0, 4000 0, 1000 0", true, {0, 1, 2},
         {"0 0, 1000 0, 1500 100, 2000 0, 3000 0, 4000 0", "4000 0, 3000 0, 2000 0, 1500 100, 1000 0"}, 7.04, {}},
        {"five points: the three between reordered", kStreet, "0 0, 4000 0, 1000 0, 3000 0, 5000 0", true,
         {0, 2, 3, 1, 4},
         {"0 0, 1000 0", "1000 0, 1500 100, 2000 0, 3000 0", "3000 0, 4000 0", "4000 0, 5000 0"}, 5.02, {}},
        {"two intermediates on one node", kStreet, "0 0, 2000 0, 2000 0, 5000 0", true, {0, 1, 2, 3},
         {"0 0, 1000 0, 1500 100, 2000 0", "", "2000 0, 3000 0, 4000 0, 5000 0"}, 5.02, {}},
        {"a point between nodes", kStreet, "500 0, 3500 0", true, {0, 1},
         {"500 0, 1000 0, 1500 100, 2000 0, 3000 0, 3500 0"}, 0.5 + 1.02 + 1.0 + 0.5, {}},
        {"an unreachable target", kStreet, "0 0, 3000 0, 21000 0", false, {}, {}, 0, {1020}},
        {"no links around the points", kStreet, "500000 0, 502000 0", false, {}, {}, 0, {1020}},
        {"links nothing can be snapped onto", kUnnumbered, "0 0, 2000 0", false, {}, {}, 0, {1020}},
    };
    for (const Case& c : cases) {
        CScriptedUserServices services;
        CTestRouteNetwork net;
        AddRoads(net, c.roads);
        const std::vector<CMapPoint> points = Points(c.points);
        std::vector<int> order(points.size(), -1);
        EXPECT_EQ(net.RouteForPoints(points.data(), static_cast<int>(points.size()), order.data()), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(order, c.order) << c.what;
        }
        ExpectRoute(net, services, c.legs, c.km, c.messages, c.what);
    }
}

TEST(RouteForPoints, ManyPointsGoThroughTheStopOrderSolver)
{
    CScriptedUserServices services;
    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    // Twenty points along the street in a jumbled order, start and finish at its ends.
    std::vector<CMapPoint> points = {{0, 0}};
    for (int k = 1; k <= 18; ++k)
        points.emplace_back((k * 7 % 19) * 250.0, 0);
    points.emplace_back(5000, 0);
    std::vector<int> order(points.size());
    ASSERT_TRUE(net.RouteForPoints(points.data(), static_cast<int>(points.size()), order.data()));
    for (size_t k = 1; k < order.size(); ++k)
        EXPECT_LT(points[static_cast<size_t>(order[k - 1])].x, points[static_cast<size_t>(order[k])].x);
    EXPECT_EQ(net.legs.size(), 19u);
    EXPECT_NEAR(net.totalLength, 5.02, 0.003); // split links share their truncated lengths
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(net.GetEdges().empty());
}

// ------------------------------------------------------------ the tolerant route

TEST(RouteThroughPoints, StraightLegsConnectorsAndFailures)
{
    struct Case {
        const char* what;
        const char* points;
        bool ok;
        std::vector<std::string> legs;
        double km;
        std::vector<unsigned> messages;
        double gapLimit = 10.0;
        int tolerate = 1;
        bool breakGraph = false;
    };
    const std::vector<Case> cases = {
        {"on the street", "0 0, 5000 0", true, {"0 0, 1000 0, 1500 100, 2000 0, 3000 0, 4000 0, 5000 0"}, 5.02, {}},
        {"no graph around the points: straight", "500000 0, 503000 4000", true, {"500000 0, 503000 4000"}, 5.0, {}},
        {"no graph around the points, not tolerated", "500000 0, 503000 4000", false, {}, 0, {}, 10.0, 0},
        // The near end is its snap, the far end the point itself.
        {"a gap above 10 km is off the network", "-15000 0, 5000 50", true, {"-15000 0, 5000 0"}, 20.0, {}},
        {"the end off the network is the point", "-15000 0, 5000 300", true, {"-15000 0, 5000 300"},
         std::hypot(20000, 300) / 1000, {}},
        // 20 km as the calculator sets it: the connector joins the route and counts.
        {"a 20 km limit takes the point", "-15000 0, 5000 0", true,
         {"-15000 0, 0 0, 1000 0, 1500 100, 2000 0, 3000 0, 4000 0, 5000 0"}, 15 + 5.02, {}, 20.0},
        {"connectors at both ends", "0 500, 5000 400", true,
         {"0 500, 0 0, 1000 0, 1500 100, 2000 0, 3000 0, 4000 0, 5000 0, 5000 400"}, 0.5 + 5.02 + 0.4, {}},
        // Both 0.8 km off and 0.2 km apart: the street is no shorter way.
        {"points nearer each other than to the street", "3500 800, 3700 800", true, {"3500 800, 3700 800"}, 0.2, {}},
        {"both ends on one node", "2000 50, 2000 300", true, {"2000 0, 2000 300"}, 0.3, {}},
        {"a broken way straightened", "0 0, 21000 0, 20000 0", true, {"0 0, 21000 0", "21000 0, 20000 0"}, 22.0,
         {1020}},
        {"a broken way, not tolerated", "0 0, 21000 0", false, {}, 0, {1020}, 10.0, 0},
        {"no graph built: straight legs", "0 0, 5000 0, 5000 3000", true, {"0 0, 5000 0", "5000 0, 5000 3000"}, 8.0,
         {1008}, 10.0, 1, true},
        {"no graph built, not tolerated", "0 0, 5000 0", false, {}, 0, {1008}, 10.0, 0, true},
    };
    for (const Case& c : cases) {
        CScriptedUserServices services;
        CTestRouteNetwork net;
        AddRoads(net, kStreet);
        net.gapLimit = c.gapLimit;
        net.tolerate = c.tolerate;
        if (c.breakGraph) {
            CRouteFields fields = net.GetFields();
            fields.arcLengthField = "NERA";
            net.SetFields(fields);
        }
        const std::vector<CMapPoint> points = Points(c.points);
        EXPECT_EQ(net.RouteThroughPoints(points.data(), static_cast<int>(points.size())), c.ok) << c.what;
        ExpectRoute(net, services, c.legs, c.km, c.messages, c.what);
    }
}

TEST(RouteThroughPoints, LegsIntoAGdbLineFile)
{
    CScriptedUserServices services;
    CTempDir dir;
    CTestRouteNetwork net;
    AddRoads(net, kStreet);
    net.writeToFile = 1;
    net.outputPath = dir.File("legs.gdb");
    const std::vector<CMapPoint> points = Points("0 0, 2000 0, 5000 3000");
    ASSERT_TRUE(net.RouteThroughPoints(points.data(), 3));
    EXPECT_TRUE(net.legs.empty());
    EXPECT_NEAR(net.totalLength, 2.02 + 3.0 + 3.0, 1e-9);

    CGdbSource file;
    ASSERT_TRUE(file.Open(net.outputPath));
    std::vector<std::string> read;
    CShape shape;
    while (file.ReadNextShape(shape))
        read.push_back(ShapeText(shape));
    EXPECT_EQ(read, (std::vector<std::string>{"0 0, 1000 0, 1500 100, 2000 0", "2000 0, 3000 0, 4000 0, 5000 0, 5000 3000"}));
    file.Close();

    // A file that cannot be made: nothing is routed.
    net.outputPath = dir.File("nera/legs.gdb");
    services.messages.clear();
    EXPECT_FALSE(net.RouteThroughPoints(points.data(), 3));
    EXPECT_EQ(net.totalLength, 0);
    EXPECT_TRUE(net.GetEdges().empty());
}

// ------------------------------------------------------------ street lists

class StreetList : public ::testing::Test {
protected:
    // One link per name, record k named names[k].
    void Names(const std::vector<std::string>& names)
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"PAV", 'C', 254, 0}});
        ASSERT_TRUE(table.Create(dir.File("gatves.dbf"), fields.data()));
        for (size_t k = 0; k < names.size(); ++k) {
            table.AppendBlank();
            table.SetField(0, names[k]);
            ASSERT_TRUE(table.WriteRecord());
            const double x = 100.0 * static_cast<double>(k);
            net.Line({{x, 0}, {x + 100, 0}}, static_cast<long long>(k) + 1, static_cast<long long>(k) + 2, "100");
        }
        ASSERT_TRUE(net.Build());
    }
    // The list of the links given from the target back to the source.
    std::string List(const std::vector<int>& references, int firstLegCount)
    {
        std::string text = "old";
        net.BuildStreetList(text, table, 0, firstLegCount, references.data(), static_cast<int>(references.size()));
        return text;
    }

    CTempDir dir;
    CDbfTable table;
    CTestRouteNetwork net;
};

TEST_F(StreetList, NamesRepeatsAndTwoLegs)
{
    Names({"Vilniaus g.", "Vilniaus g.", "", "Vilniaus g.", "Gedimino pr.", "Pylimo g."});
    struct Case {
        const char* what;
        std::vector<int> references;
        int firstLegCount;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"one leg, from the last reference", {5, 4, 3}, 3, "Vilniaus g., Gedimino pr., Pylimo g."},
        {"links against their direction read the same", {~5, ~4}, 2, "Gedimino pr., Pylimo g."},
        {"repeats and empty names left out", {4, 3, 2, 1, 0}, 5, "Vilniaus g., Gedimino pr."},
        // The second leg's references first: the name before " //" is forgotten.
        {"two legs", {5, 4, 4, 0}, 2, "Vilniaus g., Gedimino pr. //, Gedimino pr., Pylimo g."},
        {"no links", {}, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(List(c.references, c.firstLegCount), c.text) << c.what;
}

TEST_F(StreetList, LongListsKeepTheFirstTwoNamesAndTheTail)
{
    std::vector<std::string> names;
    for (int k = 1; k <= 40; ++k)
        names.push_back(FormatC("Gatve%02d", k));
    names.push_back(std::string(252, 'X'));
    names.push_back("Y");
    Names(names);
    std::vector<int> all;
    for (int k = 39; k >= 0; --k)
        all.push_back(k);
    // 358 characters; the tail starts at the first comma from 358 + 16 - 250.
    std::string expected = "Gatve01, Gatve02, ...";
    for (int k = 15; k <= 40; ++k)
        expected += FormatC(", Gatve%02d", k);
    const std::string text = List(all, 40);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), 255u);

    // 254 characters stay as they are.
    std::vector<int> fitting(all.end() - 26, all.end()); // Gatve01 .. Gatve26: 26 * 9 - 2 = 232
    EXPECT_EQ(List(fitting, 26).size(), 232u);
    // A first comma at 252: nothing is cut.
    EXPECT_EQ(List({41, 40}, 2), std::string(252, 'X') + ", Y");
}

} // namespace
