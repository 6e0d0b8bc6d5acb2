#include "routing/RouteNetwork.h"

#include "core/MapGeometry.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

const std::vector<CMapPoint> kStraight = {{0, 0}, {1000, 0}};

// ------------------------------------------------------------ lengths

TEST(RouteLength, UnitCodesAndTheirFactors)
{
    struct Case {
        int code;
        double expected;
    } cases[] = {
        {1, 5 * 0.6215040397762586}, {2, 5 * 0.0032808398950131233}, {3, 5.0}, {4, 0.005},
        {5, 5 * 0.03937007874015748}, {6, 0.00005}, {9, 0.005}, {-1, 0.005}, {7, 0.005},
        {65540, 0.005}, // taken as 16 bits: 4
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SegmentLength(0, 0, 3, 4, c.code), c.expected) << c.code;
    // Degrees: x longitude, y latitude; 65536 is 0 in 16 bits.
    EXPECT_NEAR(SegmentLength(24, 54, 24, 55, 0), 6385.543 * kDegToRad, 1e-6);
    EXPECT_DOUBLE_EQ(SegmentLength(24, 54, 25, 54, 65536), SegmentLength(24, 54, 25, 54, 0));
}

TEST(RouteLength, PartsOfALineAreNotJoined)
{
    CShape shape;
    const CMapPoint a[] = {{0, 0}, {3, 4}};
    const CMapPoint b[] = {{100, 100}, {100, 110}};
    shape.AddPartPoints(2, a, false);
    shape.AddPartPoints(2, b, true);
    EXPECT_DOUBLE_EQ(PolylineLengthKm(shape, 4), 0.015);
}

// Kilometre and nautical-mile maps are measured in their own units, not as
// if a unit were a metre.
TEST(RouteLength, TheMapsMetresPerUnitScaleDistancesAndStopMargins)
{
    CScriptedUserServices user;
    struct Case {
        int mapUnits;
        double km; // of one unit along x
        double margin;
    } cases[] = {
        {kUnitsMetres, 0.001, 50000},
        {kUnitsKilometres, 1.0, 50},
        {kUnitsNauticalMiles, 1.853, 50 / 1.853},
    };
    for (const Case& c : cases) {
        CDrelDoc doc;
        doc.AddLayer(std::make_unique<CLayer>("Keliai", "keliai.gdb", CLayer::kLine), false);
        doc.Settings().routesLayer = "Keliai";
        doc.Settings().mapUnits = c.mapUnits;
        CRouteNetwork network;
        ASSERT_TRUE(network.LoadSettings(doc));
        EXPECT_EQ(network.GetLengthUnit(), 4);
        EXPECT_DOUBLE_EQ(network.DistanceKm({10, 10}, {11, 10}), c.km) << c.mapUnits;
        const CMapPoint stops[] = {{0, 0}, {100, 20}};
        CMapRect query;
        std::vector<CMapRect> rects;
        network.MakeStopRects(stops, 2, query, rects);
        EXPECT_DOUBLE_EQ(query.left, -c.margin);
        EXPECT_DOUBLE_EQ(query.top, 20 + c.margin);
        EXPECT_DOUBLE_EQ(query.right, 100 + c.margin);
        EXPECT_DOUBLE_EQ(query.bottom, -c.margin);
        ASSERT_EQ(rects.size(), 2u);
        EXPECT_DOUBLE_EQ(rects[1].right, 100 + 0.1 * c.margin);
        EXPECT_DOUBLE_EQ(rects[1].bottom, 20 - 0.1 * c.margin);
    }

    CDrelDoc doc;
    doc.AddLayer(std::make_unique<CLayer>("Keliai", "keliai.gdb", CLayer::kLine), false);
    doc.Settings().routesLayer = "Keliai";
    CRouteNetwork degrees;
    ASSERT_TRUE(degrees.LoadSettings(doc));
    EXPECT_EQ(degrees.GetLengthUnit(), 0);
    EXPECT_DOUBLE_EQ(degrees.DistanceKm({24, 54}, {25, 54}), SegmentLength(24, 54, 25, 54, 0));
    const CMapPoint stop(24, 54);
    CMapRect query;
    std::vector<CMapRect> rects;
    degrees.MakeStopRects(&stop, 1, query, rects);
    EXPECT_EQ(query, CMapRect(23, 54.5, 25, 53.5));
    EXPECT_DOUBLE_EQ(rects[0].left, 23.9);
    EXPECT_DOUBLE_EQ(rects[0].top, 54.05);
    EXPECT_DOUBLE_EQ(rects[0].right, 24.1);
    EXPECT_DOUBLE_EQ(rects[0].bottom, 53.95);
    EXPECT_TRUE(user.messages.empty());
}

TEST(RouteNetwork, SettingsComeFromTheMap)
{
    CScriptedUserServices user;
    CDrelDoc doc;
    CRouteNetwork network;
    EXPECT_FALSE(network.LoadSettings(doc));
    EXPECT_EQ(network.GetLayer(), nullptr);
    EXPECT_FALSE(network.BuildGraph(false, nullptr, 0, nullptr));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1011});

    doc.AddLayer(std::make_unique<CLayer>("Keliai", "keliai.gdb", CLayer::kLine), false);
    doc.Settings().routesLayer = "Keliai";
    static_cast<CRouteFields&>(doc.Settings()) = TestRouteFields();
    ASSERT_TRUE(network.LoadSettings(doc));
    EXPECT_EQ(network.GetLayer(), doc.GetLayer(0));
    const CRouteFields& f = network.GetFields();
    EXPECT_EQ(f.fromNodeField + f.toNodeField + f.arcLengthField + f.dirMaskField + f.significanceField +
                  f.weightField,
              "nuoIKIIlgisKRYPTISRANGASSVORIS");
    // Without a reader of the layer's data the graph is not built, quietly.
    EXPECT_FALSE(network.BuildGraph(false, nullptr, 0, nullptr));
    EXPECT_EQ(user.messages.size(), 1u);
}

// ------------------------------------------------------------ building

TEST(RouteBuild, CostsFromLengthAndWeight)
{
    struct Case {
        const char* length;
        const char* weight;
        bool useWeight;
        bool kept;
        int expectedLength;
        int expectedCost;
    } cases[] = {
        {"12.9", "", false, true, 12, 12},
        {"12.9", "2.0", true, true, 12, 30},    // trunc(60 / 2.0)
        {"12.9", "2.0", false, true, 12, 12},   // weights unused
        {"10", "3", true, true, 10, 16},        // trunc(50 / 3)
        {"12.9", "0", true, false, 0, 0},
        {"12.9", "-1.5", true, false, 0, 0},
        {"12.9", "", true, false, 0, 0},        // a blank weight is 0
        {"0", "", false, true, 0, 0},
        {"-0.5", "", false, false, 0, 0},       // negative lengths are skipped
        {"-12", "", false, false, 0, 0},
        {"1e12", "", false, true, INT_MAX - 1, INT_MAX - 1},
        {"2000000000", "0.5", true, true, 2000000000, INT_MAX - 1}, // 5 x length leaves 32 bits
        {"100", "1e-300", true, true, 100, INT_MAX - 1},
        {"nan", "", false, false, 0, 0},
    };
    for (const auto& c : cases) {
        CScriptedUserServices user;
        CTestRouteNetwork net;
        net.Line(kStraight, 1, 2, c.length, "", "", c.weight);
        ASSERT_TRUE(net.Build(c.useWeight));
        ASSERT_EQ(net.GetEdges().size(), c.kept ? 1u : 0u) << c.length << " " << c.weight;
        if (c.kept) {
            EXPECT_EQ(net.Edge(0).length, c.expectedLength) << c.length << " " << c.weight;
            EXPECT_EQ(net.Edge(0).cost, c.expectedCost) << c.length << " " << c.weight;
        }
        EXPECT_TRUE(user.messages.empty());
    }
}

TEST(RouteBuild, AMissingWeightFieldLeavesCostsAtTheLength)
{
    CTestRouteNetwork net;
    net.source.fieldNames.pop_back();
    net.Line(kStraight, 1, 2, "40", "", "", "4");
    ASSERT_TRUE(net.Build(true));
    EXPECT_EQ(net.Edge(0).cost, 40);
}

TEST(RouteBuild, DirectionMasksDecideTheArcs)
{
    struct Case {
        const char* direction;
        bool kept;
        bool forward;  // from -> to
        bool backward; // to -> from
    } cases[] = {
        {"", true, true, true},   {"0", true, true, true},   {"1", true, false, true},
        {"2", true, true, false}, {"3", false, false, false}, {"65539", false, false, false},
        {"7", true, false, false}, // both bits: the nodes stay, no way along it
    };
    for (const auto& c : cases) {
        CTestRouteNetwork net;
        net.Line(kStraight, 5, 9, "10", c.direction);
        ASSERT_TRUE(net.Build());
        ASSERT_EQ(net.GetEdges().size(), c.kept ? 1u : 0u) << c.direction;
        CRouteNodeIndex index;
        EXPECT_EQ(index.Build(net.GetEdges()), c.kept);
        if (!c.kept)
            continue;
        ASSERT_EQ(index.GetCount(), 2);
        EXPECT_EQ(index.GetNode(0).degree, c.forward ? 1 : 0) << c.direction;
        EXPECT_EQ(index.GetNode(1).degree, c.backward ? 1 : 0) << c.direction;
        if (c.forward) {
            const CRouteArc arc = index.GetArcs(0)[0];
            EXPECT_EQ(arc.edge, 0);
            EXPECT_EQ(arc.node, 1);
            EXPECT_EQ(arc.cost, 10);
        }
        if (c.backward) {
            const CRouteArc arc = index.GetArcs(1)[0];
            EXPECT_EQ(arc.edge, ~0);
            EXPECT_EQ(arc.node, 0);
        }
    }
}

TEST(RouteBuild, MinorRoadsOnlyNearTheStops)
{
    CTestRouteNetwork net;
    net.Line({{0, 0}, {10, 0}}, 1, 2, "10", "", "0");     // minor, meets the stop rectangle
    net.Line({{20, 0}, {30, 0}}, 2, 3, "10", "", "0");    // minor, touches it on its edge
    net.Line({{500, 0}, {510, 0}}, 3, 4, "10", "", "0");  // minor, far away
    net.Line({{600, 0}, {610, 0}}, 4, 5, "10", "", "2");  // major, far away
    net.Line({{700, 0}, {710, 0}}, 5, 6, "10", "", "-1"); // any value but 0 is major
    net.Line({{800, 0}, {810, 0}}, 6, 7, "10", "", "");   // blank is 0: minor
    const CMapRect stops[] = {CMapRect(5, 5, 20, -5), CMapRect(1000, 5, 1010, -5)};
    const CMapRect query(-100, 100, 900, -100);
    ASSERT_TRUE(net.BuildGraph(false, &query, 2, stops));
    std::vector<int> records;
    for (const auto& edge : net.GetEdges())
        records.push_back(edge->record);
    EXPECT_EQ(records, (std::vector<int>{0, 1, 3, 4}));
    ASSERT_EQ(net.source.queries.size(), 1u);
    EXPECT_EQ(net.source.queries[0], query);

    // Without stop rectangles significance plays no part.
    ASSERT_TRUE(net.BuildGraph(false, nullptr, 0, stops));
    EXPECT_EQ(net.GetEdges().size(), 6u);
}

TEST(RouteBuild, OnlyObjectsInTheQueryRectangleAreRead)
{
    CTestRouteNetwork net;
    net.Line({{0, 0}, {10, 0}}, 1, 2, "10");
    net.Line({{100, 0}, {110, 0}}, 2, 3, "10");
    const CMapRect query(50, 10, 200, -10);
    ASSERT_TRUE(net.BuildGraph(false, &query, 0, nullptr));
    ASSERT_EQ(net.GetEdges().size(), 1u);
    EXPECT_EQ(net.Edge(0).record, 1);
    EXPECT_EQ(net.Edge(0).fromNode, 2);
    EXPECT_EQ(net.Edge(0).toNode, 3);
    EXPECT_EQ(net.GetLastNodeId(), 0x3FFFFFFF);
}

// Ids at or above the first snapped id would merge with snapped points.
TEST(RouteBuild, NodeIdsThatCollideWithSnappedPointsAreSkipped)
{
    CTestRouteNetwork net;
    net.Line(kStraight, 1, 1073741823, "10");
    net.Line(kStraight, 1073741824, 2, "10");
    net.Line(kStraight, 3, 99999999999, "10");
    net.Line(kStraight, -7, 0, "10");
    ASSERT_TRUE(net.Build());
    ASSERT_EQ(net.GetEdges().size(), 2u);
    EXPECT_EQ(net.Edge(0).toNode, 1073741823);
    EXPECT_EQ(net.Edge(1).fromNode, -7);
}

TEST(RouteBuild, MissingFieldsAreNamed)
{
    struct Case {
        const char* from;
        const char* to;
        const char* length;
        std::vector<std::string> layerFields;
        unsigned message;
        const char* missing;
    } cases[] = {
        {"NUO", "IKI", "ILGIS", {"IKI", "ILGIS"}, 1008, "NUO"},
        {"NUO", "IKI", "ILGIS", {"NUO", "ILGIS"}, 1008, "IKI"},
        {"NUO", "IKI", "ILGIS", {"NUO", "IKI"}, 1008, "ILGIS"},
        {"NUO", "IKI", "ILGIS", {}, 1008, "NUO"},
        {"", "IKI", "ILGIS", {"IKI", "ILGIS"}, 1014, ""},
        {"NUO", "", "ILGIS", {"NUO", "ILGIS"}, 1014, ""},
        {"NUO", "IKI", "", {"NUO", "IKI"}, 1014, ""},
    };
    for (const auto& c : cases) {
        CScriptedUserServices user;
        CTestRouteNetwork net;
        net.layer.SetName(Utf8ToCp1257("Gatvės"));
        CRouteFields fields = net.GetFields();
        fields.fromNodeField = c.from;
        fields.toNodeField = c.to;
        fields.arcLengthField = c.length;
        net.SetFields(fields);
        net.source.fieldNames = c.layerFields;
        net.Line(kStraight, 1, 2, "10");
        EXPECT_FALSE(net.Build());
        EXPECT_TRUE(net.GetEdges().empty());
        ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{c.message});
        if (c.message == 1008)
            EXPECT_EQ(user.messages[0].text,
                      Utf8ToCp1257("Sluoksnyje \"Gatvės\" nėra lauko \"") + c.missing + "\".");
        else
            EXPECT_EQ(Cp1257ToUtf8(user.messages[0].text),
                      "Žemėlapio parametruose nenurodyti maršrutų paieškos sluoksnio laukai.");
    }
}

TEST(RouteBuild, FailuresLeaveNoGraphAndNoMessage)
{
    CScriptedUserServices user;
    CTestRouteNetwork net;
    net.Line(kStraight, 1, 2, "10");
    net.Line(kStraight, 2, 3, "10");
    net.Line(kStraight, 3, 4, "10");
    ASSERT_TRUE(net.Build());
    EXPECT_EQ(net.GetEdges().size(), 3u);

    // Memory runs out on the third object: the two read so far go too.
    net.source.failAtRead = 2;
    EXPECT_FALSE(net.Build());
    EXPECT_TRUE(net.GetEdges().empty());
    EXPECT_EQ(net.GetLastNodeId(), 0);

    net.source.openFails = true;
    EXPECT_FALSE(net.Build());
    net.SetLayer(nullptr);
    EXPECT_FALSE(net.Build());
    EXPECT_EQ(net.source.opened, 3);
    EXPECT_TRUE(user.messages.empty());
}

// ------------------------------------------------------------ snapping

struct SnapResult {
    bool ok;
    CMapPoint at;
    int node;
};

SnapResult Snap(CRouteNetwork& net, CMapPoint p)
{
    SnapResult r{false, {}, 0};
    r.ok = net.SnapPoint(p, r.at, r.node);
    return r;
}

constexpr int kV1 = 0x40000000;

TEST(RouteSnap, EndsVerticesAndProjections)
{
    struct Case {
        CMapPoint p;
        CMapPoint at;
        int node; // kV1 for a new node
        int headCost, tailCost;
    } cases[] = {
        {{1, 3}, {0, 0}, 11, 0, 0},           // the end vertex is as near as the line
        {{5, 0.5}, {0, 0}, 11, 0, 0},         // within 10 m of the end
        {{995, -2}, {1000, 0}, 12, 0, 0},     // within 10 m of the last vertex
        {{1500, 40}, {1000, 0}, 12, 0, 0},    // beyond the end
        {{300, 20}, {300, 0}, kV1, 299, 700}, // an interior vertex: the line is cut there
        {{450, 30}, {450, 0}, kV1, 449, 550}, // the projection, inserted
        {{20, 9}, {20, 0}, kV1, 19, 980},     // 22 m from the end is not near it
    };
    for (const auto& c : cases) {
        CTestRouteNetwork net;
        net.Line({{0, 0}, {300, 0}, {1000, 0}}, 11, 12, "999");
        ASSERT_TRUE(net.Build());
        SnapResult r = Snap(net, c.p);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.at, c.at) << c.p.x << " " << c.p.y;
        EXPECT_EQ(r.node, c.node) << c.p.x << " " << c.p.y;
        if (c.node != kV1) {
            EXPECT_EQ(net.GetEdges().size(), 1u);
            continue;
        }
        ASSERT_EQ(net.GetEdges().size(), 3u);
        const CRouteEdge& parent = net.Edge(0);
        const CRouteEdge& head = net.Edge(1);
        const CRouteEdge& tail = net.Edge(2);
        EXPECT_EQ(parent.fromNode, -11);
        EXPECT_EQ(parent.toNode, 12);
        EXPECT_EQ(head.fromNode, 11);
        EXPECT_EQ(head.toNode, kV1);
        EXPECT_EQ(tail.fromNode, kV1);
        EXPECT_EQ(tail.toNode, 12);
        EXPECT_EQ(head.cost, c.headCost) << c.p.x;
        EXPECT_EQ(tail.cost, c.tailCost) << c.p.x;
        EXPECT_EQ(head.length, c.headCost);
        EXPECT_EQ(head.GetPoint(0), CMapPoint(0, 0));
        EXPECT_EQ(head.GetPoint(head.GetPointCount() - 1), c.at);
        EXPECT_EQ(tail.GetPoint(0), c.at);
        EXPECT_EQ(tail.GetPoint(tail.GetPointCount() - 1), CMapPoint(1000, 0));
        // Cut at an existing vertex the pieces share it and add none.
        EXPECT_EQ(head.GetPointCount() + tail.GetPointCount(), c.at == CMapPoint(300, 0) ? 4 : 5);
        EXPECT_EQ(head.GetExtent(), CMapRect(0, 0, c.at.x, 0));
    }
}

// Off a diagonal the vertex is farther than the projection in both axes,
// yet within 1.087 times its distance: the cut goes to the vertex.
TEST(RouteSnap, ACutNearAVertexMovesToIt)
{
    CTestRouteNetwork net;
    net.Line({{-1000, 0}, {0, 0}, {1000, 1000}}, 1, 2, "2414");
    ASSERT_TRUE(net.Build());
    SnapResult r = Snap(net, {9.19, -4.95});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.at, CMapPoint(0, 0));
    EXPECT_EQ(r.node, kV1);
    ASSERT_EQ(net.GetEdges().size(), 3u);
    EXPECT_EQ(net.Edge(1).GetPointCount(), 2);
    EXPECT_EQ(net.Edge(1).cost, 999); // 2414 x 1000 / 2414.2
    EXPECT_EQ(net.Edge(2).cost, 1415);

    // A little farther from the vertex the projection stays.
    CTestRouteNetwork far;
    far.Line({{-1000, 0}, {0, 0}, {1000, 1000}}, 1, 2, "2414");
    ASSERT_TRUE(far.Build());
    r = Snap(far, {12, -2});
    EXPECT_EQ(r.at, CMapPoint(5, 5));
    EXPECT_EQ(far.Edge(1).GetPointCount(), 3);
}

TEST(RouteSnap, PiecesKeepTheDirectionRecordAndSplitTheCostByLength)
{
    CTestRouteNetwork net;
    net.Line({{0, 0}, {10, 0}}, 1, 2, "5", "", "", "1");
    net.Line({{0, 100}, {0, 1100}}, 3, 4, "2001", "2", "", "3");
    ASSERT_TRUE(net.BuildGraph(true, nullptr, 0, nullptr));
    ASSERT_EQ(net.Edge(1).cost, 3335);
    SnapResult r = Snap(net, {4, 400});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.at, CMapPoint(0, 400));
    const CRouteEdge& head = net.Edge(2);
    const CRouteEdge& tail = net.Edge(3);
    EXPECT_EQ(head.cost, 1000); // trunc(3335 x 0.3)
    EXPECT_EQ(tail.cost, 2335);
    EXPECT_EQ(head.length, 600); // trunc(2001 x 0.3)
    EXPECT_EQ(tail.length, 1401);
    EXPECT_EQ(head.direction, 2);
    EXPECT_EQ(tail.record, 1);
}

TEST(RouteSnap, ASecondSnapSplitsAPieceNeverTheSplitLine)
{
    CTestRouteNetwork net;
    net.Line({{0, 0}, {1000, 0}}, 1, 2, "999");
    ASSERT_TRUE(net.Build());
    SnapResult first = Snap(net, {600, 10});
    ASSERT_EQ(first.node, kV1);
    SnapResult second = Snap(net, {200, -10});
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.node, kV1 + 1);
    EXPECT_EQ(net.GetLastNodeId(), kV1 + 1);
    ASSERT_EQ(net.GetEdges().size(), 5u);
    EXPECT_EQ(net.Edge(0).toNode, 2);            // the line keeps its to id
    EXPECT_EQ(net.Edge(1).fromNode, -1);         // the head piece was split
    EXPECT_EQ(net.Edge(2).fromNode, kV1);        // the tail piece was not
    EXPECT_EQ(net.Edge(3).toNode, kV1 + 1);
    EXPECT_EQ(net.Edge(4).fromNode, kV1 + 1);
    EXPECT_EQ(net.Edge(4).toNode, kV1);
    EXPECT_EQ(net.Edge(1).cost, 599);
    EXPECT_EQ(net.Edge(3).cost, 199); // trunc(599 x 0.2 / 0.6)
    EXPECT_EQ(net.Edge(4).cost, 400);

    // The same point again finds its node at a piece's end.
    SnapResult again = Snap(net, {200, -10});
    EXPECT_EQ(again.node, kV1 + 1);
    EXPECT_EQ(again.at, CMapPoint(200, 0));
    EXPECT_EQ(net.GetEdges().size(), 5u);

    // Both split lines carry the negated id 1; the index leaves them out,
    // so no link runs from 2 to the first piece's far end through it.
    CRouteNodeIndex index;
    ASSERT_TRUE(index.Build(net.GetEdges()));
    EXPECT_EQ(index.Find(-1), -1);
    ASSERT_EQ(index.GetCount(), 4);
    int arcs = 0;
    for (int i = 0; i < index.GetCount(); ++i)
        arcs += index.GetNode(i).degree;
    EXPECT_EQ(arcs, 6);
}

TEST(RouteSnap, OnlyEdgesOfTheDataWithPositiveFromIds)
{
    CTestRouteNetwork net;
    EXPECT_FALSE(Snap(net, {0, 0}).ok);
    net.Line({{0, 0}, {1000, 0}}, 0, 2, "10");
    net.Line({{0, 500}, {1000, 500}}, 5, 6, "10");
    ASSERT_TRUE(net.Build());
    SnapResult r = Snap(net, {500, 10});
    EXPECT_EQ(r.at, CMapPoint(500, 500));
    net.ClearEdges();
    EXPECT_EQ(net.GetLastNodeId(), 0);
    EXPECT_FALSE(Snap(net, {500, 10}).ok);
}

// On a kilometre map 3 units from the end is 3 km, not 3 m: no end snap.
TEST(RouteSnap, EndToleranceInTheMapsUnits)
{
    for (double metresPerUnit : {1.0, 1000.0}) {
        CTestRouteNetwork net;
        net.SetLengthUnit(4, metresPerUnit);
        net.Line({{0, 0}, {10, 0}}, 1, 2, "10000");
        ASSERT_TRUE(net.Build());
        SnapResult r = Snap(net, {3, 0.1});
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.node, metresPerUnit == 1.0 ? 1 : kV1);
    }
}

TEST(RouteSnap, NearestOfManyEdgesWithTheWindowShrinking)
{
    CTestRouteNetwork net;
    for (int i = 0; i < 50; ++i)
        net.Line({{0, 100.0 * i}, {1000, 100.0 * i + 7}}, 2 * i + 1, 2 * i + 2, "1000");
    ASSERT_TRUE(net.Build());
    SnapResult r = Snap(net, {500, 2003});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(net.GetEdges().size(), 52u);
    EXPECT_EQ(net.Edge(51).toNode, 42);
    EXPECT_NEAR(r.at.y, 2003.5, 0.01);
}

// ------------------------------------------------------------ node index

TEST(RouteNodeIndex, SortedNodesWithArcsInEdgeOrder)
{
    CTestRouteNetwork net;
    net.Line({{0, 0}, {1, 0}}, 30, 10, "5");
    net.Line({{1, 0}, {2, 0}}, 10, 20, "7", "1");
    net.Line({{2, 0}, {2, 0}}, 20, 20, "1"); // a loop
    net.Line({{3, 0}, {4, 0}}, 30, 20, "9", "2");
    ASSERT_TRUE(net.Build());
    // An edge without points has an empty box and stays out.
    net.source.lines.push_back({{{}}, {"40", "50", "1"}});
    ASSERT_TRUE(net.Build());
    ASSERT_EQ(net.GetEdges().size(), 5u);

    CRouteNodeIndex index;
    ASSERT_TRUE(index.Build(net.GetEdges()));
    ASSERT_EQ(index.GetCount(), 3);
    EXPECT_EQ(index.GetNode(0).id, 10);
    EXPECT_EQ(index.GetNode(1).id, 20);
    EXPECT_EQ(index.GetNode(2).id, 30);
    EXPECT_EQ(index.Find(20), 1);
    EXPECT_EQ(index.Find(15), -1);
    EXPECT_EQ(index.Find(40), -1);
    auto arcs = [&](int position) {
        std::vector<std::vector<int>> out;
        for (int k = 0; k < index.GetNode(position).degree; ++k) {
            const CRouteArc& a = index.GetArcs(position)[k];
            out.push_back({a.edge, a.node, a.cost});
        }
        return out;
    };
    EXPECT_EQ(arcs(0), (std::vector<std::vector<int>>{{~0, 2, 5}}));
    EXPECT_EQ(arcs(1), (std::vector<std::vector<int>>{{~1, 0, 7}, {2, 1, 1}, {~2, 1, 1}}));
    EXPECT_EQ(arcs(2), (std::vector<std::vector<int>>{{0, 0, 5}, {3, 1, 9}}));

    net.ClearEdges();
    EXPECT_FALSE(index.Build(net.GetEdges()));
    EXPECT_EQ(index.GetCount(), 0);
}

} // namespace
