// The routing core of a client-visit run on a straight street, where every
// order's cost can be checked by hand.

#include "routing/PlanningTask.h"
#include "routing/RouteNetwork.h"

#include "tests/core/GeometryText.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Nodes 1 to 6 every kilometre along y = 0, from x = 0 to 5000.
void AddStreet(CTestRouteNetwork& net)
{
    CRouteFields fields = TestRouteFields();
    fields.weightField.clear();
    net.SetFields(fields);
    for (int k = 0; k < 5; ++k)
        net.Line({CMapPoint(k * 1000.0, 0), CMapPoint((k + 1) * 1000.0, 0)}, k + 1, k + 2, "1000", "", "1");
}

struct Stop {
    double x;
    char flag;
    int number;
};

std::vector<CTaskPoint> Stops(const std::vector<Stop>& stops)
{
    std::vector<CTaskPoint> points;
    for (size_t i = 0; i < stops.size(); ++i) {
        CTaskPoint p;
        p.position = CMapPoint(stops[i].x, 0);
        p.record = static_cast<int>(i);
        p.flag = stops[i].flag;
        p.number = stops[i].number;
        points.push_back(p);
    }
    return points;
}

TEST(PlanRoute, OrdersAndLegs)
{
    struct Case {
        const char* what;
        std::vector<Stop> stops;
        int mode;
        bool closed;
        std::vector<int> records; // in visiting order
        std::vector<double> legKm;
        size_t legs;
        double km;
    };
    const std::vector<Case> cases = {
        {"free, open path to the finish", {{0, 's', 0}, {3000, 0, 0}, {1000, 0, 0}, {5000, 'f', 0}}, 0, false,
         {0, 2, 1, 3}, {0, 1, 2, 2}, 3, 5},
        {"two points on one node follow each other", {{0, 's', 0}, {2000, 0, 0}, {4000, 0, 0}, {2000, 0, 0}, {5000, 'f', 0}},
         0, false, {0, 1, 3, 2, 4}, {0, 2, 0, 2, 1}, 4, 5},
        {"the finish shares an earlier point's node", {{0, 's', 0}, {2000, 0, 0}, {4000, 0, 0}, {2000, 'f', 0}}, 0, false,
         {0, 2, 1, 3}, {0, 4, 2, 0}, 3, 6},
        {"two groups, open", {{0, 's', 0}, {3000, 'f', 0}}, 0, false, {0, 1}, {0, 3}, 1, 3},
        {"two groups with a client on the finish's node", {{0, 's', 0}, {3000, 0, 0}, {3000, 'f', 0}}, 0, false,
         {0, 1, 2}, {0, 3, 0}, 2, 3},
        {"closed tour", {{0, 's', 0}, {3000, 0, 0}}, 0, true, {0, 1}, {3, 3}, 2, 6},
        {"given numbers kept", {{0, 's', 0}, {1000, 0, 3}, {4000, 0, 1}, {2000, 0, 2}}, 3, true, {0, 2, 3, 1},
         {1, 4, 2, 1}, 4, 8},
        {"a fixed point comes right after the start",
         {{0, 's', 0}, {1000, 0, 5}, {4000, '1', 1}, {3000, 0, 5}}, 1, true, {0, 2, 3, 1}, {1, 4, 1, 2}, 4, 8},
        {"priority levels in turn", {{0, 's', 0}, {1000, 0, 2}, {4000, 0, 1}, {3000, 0, 2}}, 2, true, {0, 2, 3, 1},
         {1, 4, 1, 2}, 4, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CScriptedUserServices services;
        CTestRouteNetwork net;
        AddStreet(net);
        std::vector<CTaskPoint> points = Stops(c.stops);
        ASSERT_TRUE(net.PlanRoute(points, c.mode, c.closed));
        std::vector<int> records;
        std::vector<double> legKm;
        for (const CTaskPoint& p : points) {
            records.push_back(p.record);
            legKm.push_back(p.legKm);
        }
        EXPECT_EQ(records, c.records);
        EXPECT_EQ(legKm, c.legKm);
        EXPECT_EQ(net.legs.size(), c.legs);
        EXPECT_DOUBLE_EQ(net.totalLength, c.km);
        EXPECT_EQ(net.names.size(), points.size() - 1);
        EXPECT_TRUE(services.messages.empty());
        EXPECT_TRUE(net.GetEdges().empty());
    }
}

TEST(PlanRoute, FinishOnTheStartsNodeClosesTheTourWithItLast)
{
    CScriptedUserServices services;
    CTestRouteNetwork net;
    AddStreet(net);
    std::vector<CTaskPoint> points = Stops({{0, 's', 0}, {2000, 0, 0}, {4000, 0, 0}, {0, 'f', 0}});
    ASSERT_TRUE(net.PlanRoute(points, 0, false));
    EXPECT_EQ(points.back().record, 3);
    EXPECT_EQ(net.legs.size(), 3u);
    EXPECT_DOUBLE_EQ(net.totalLength, 8);
}

TEST(PlanRoute, ZeroLengthLegIsThePointsPosition)
{
    CScriptedUserServices services;
    CTestRouteNetwork net;
    AddStreet(net);
    std::vector<CTaskPoint> points = Stops({{0, 's', 0}, {2000, 0, 0}, {2000, 'f', 0}});
    ASSERT_TRUE(net.PlanRoute(points, 0, false));
    ASSERT_EQ(net.legs.size(), 2u);
    EXPECT_EQ(ShapeText(*net.legs[0]), "0 0, 1000 0, 2000 0");
    EXPECT_EQ(ShapeText(*net.legs[1]), "2000 0, 2000 0");
}

TEST(PlanRoute, UnreachablePointFails)
{
    CScriptedUserServices services;
    CTestRouteNetwork net;
    AddStreet(net);
    net.Line({CMapPoint(20000, 0), CMapPoint(21000, 0)}, 20, 21, "1000", "", "1");
    std::vector<CTaskPoint> points = Stops({{0, 's', 0}, {3000, 0, 0}, {21000, 0, 0}});
    EXPECT_FALSE(net.PlanRoute(points, 0, true));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1020});
    EXPECT_TRUE(net.legs.empty());
    EXPECT_EQ(net.totalLength, 0);
    EXPECT_TRUE(net.GetEdges().empty());
}

} // namespace
