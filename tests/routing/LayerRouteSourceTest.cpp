#include "routing/RouteLayerSource.h"

#include "layers/GdbSource.h"
#include "mapdoc/DrelDoc.h"
#include "routing/RouteNetwork.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

struct RoadSpec {
    const char* line;
    int from, to, length, direction;
    const char* name;
};

// A GDB line layer of roads with the usual routing fields and a name.
std::string MakeRoads(const CTempDir& dir, const std::vector<RoadSpec>& roads)
{
    const std::string path = dir.File("keliai.gdb");
    const std::vector<CDbfFieldInfo> fields = FieldList({{"NUO", 'N', 8, 0},
                                                         {"IKI", 'N', 8, 0},
                                                         {"ILGIS", 'N', 8, 0},
                                                         {"KRYPTIS", 'N', 2, 0},
                                                         {"RANGAS", 'N', 2, 0},
                                                         {"SVORIS", 'N', 4, 0},
                                                         {"PAV", 'C', 12, 0}});
    CGdbSource source;
    EXPECT_TRUE(source.Create(path, CFeatureSource::kLine, fields.data()));
    for (const RoadSpec& road : roads) {
        EXPECT_TRUE(source.AppendShape(Shape(road.line), false));
        CDbfTable& table = source.GetTable();
        table.SetFieldLong(0, road.from);
        table.SetFieldLong(1, road.to);
        table.SetFieldLong(2, road.length);
        table.SetFieldLong(3, road.direction);
        table.SetField(6, road.name);
        EXPECT_TRUE(table.WriteRecord());
    }
    return path;
}

struct Route {
    int cost = -1;
    std::vector<int> records; // of the roads from the end back to the start
};

// Builds the graph of the map's routing layer around the two points and
// finds the way from the first to the second.
Route FindRoute(const CDrelDoc& doc, const CMapPoint& from, const CMapPoint& to)
{
    Route route;
    CRouteNetwork network;
    if (!network.LoadSettings(doc))
        return route;
    network.SetLengthUnit(4);
    const CMapPoint stops[] = {from, to};
    CMapRect query;
    std::vector<CMapRect> stopRects;
    network.MakeStopRects(stops, 2, query, stopRects);
    if (!network.BuildGraph(false, &query, static_cast<int>(stopRects.size()), stopRects.data()))
        return route;
    int nodes[2];
    for (int i = 0; i < 2; ++i) {
        CMapPoint snapped;
        if (!network.SnapPoint(stops[i], snapped, nodes[i]))
            return route;
    }
    CRouteNodeIndex index;
    if (!index.Build(network.GetEdges()))
        return route;
    const int positions[] = {index.Find(nodes[0]), index.Find(nodes[1])};
    CCostMatrix costs;
    CPredecessorMatrix preds;
    if (!CRouteNetwork::ComputeCostMatrix(costs, preds, 1, index.GetCount(), 2, positions, index, nullptr))
        return route;
    route.cost = costs.GetRow(0)[1];
    std::vector<int> edges;
    if (preds.GetLeg(0, positions[0], positions[1], edges))
        for (int edge : edges)
            route.records.push_back(network.GetEdges().at(static_cast<size_t>(edge < 0 ? ~edge : edge))->record);
    return route;
}

} // namespace

TEST(LayerRouteSource, ARouteThroughAGdbLayerReadThroughTheLayerReader)
{
    CScriptedUserServices user;
    CTempDir dir;
    // The straight way over the bridge, a longer one round by node 4, a
    // closed road and one far away that the query leaves unread.
    const std::string path = MakeRoads(dir, {
                                                {"0 0, 1000 0", 1, 2, 1000, 0, "Tiltas"},
                                                {"1000 0, 2000 0", 2, 3, 1000, 0, "Krantas"},
                                                {"0 0, 1000 1000", 1, 4, 1200, 0, "Aplink"},
                                                {"1000 1000, 2000 0", 4, 3, 1200, 0, "Aplink"},
                                                {"2000 0, 3000 0", 3, 5, 1000, 3, "Uždaryta"},
                                                {"900000 0, 901000 0", 10, 11, 1000, 0, "Toli"},
                                            });
    CDrelDoc doc;
    doc.AddLayer(std::make_unique<CLayer>("Keliai", path, CLayer::kLine), false);
    doc.Settings().routesLayer = "Keliai";
    static_cast<CRouteFields&>(doc.Settings()) = TestRouteFields();

    Route route = FindRoute(doc, CMapPoint(0, 0), CMapPoint(2000, 0));
    EXPECT_EQ(route.cost, 2000);
    EXPECT_EQ(route.records, (std::vector<int>{1, 0}));

    // The layer's filter closes the bridge: the way goes round.
    CLayer* layer = doc.GetLayer(0);
    layer->SetFilter("PAV <> 'Tiltas'");
    route = FindRoute(doc, CMapPoint(0, 0), CMapPoint(2000, 0));
    EXPECT_EQ(route.cost, 2400);
    EXPECT_EQ(route.records, (std::vector<int>{3, 2}));

    // Field names through the layer's aliases.
    layer->SetFilter("");
    layer->FieldAliases().SetAt("Ilgis", "Atstumas");
    layer->SetFlag(CLayer::kHasAliases, true);
    CRouteFields fields = TestRouteFields();
    fields.arcLengthField = "Atstumas";
    static_cast<CRouteFields&>(doc.Settings()) = fields;
    route = FindRoute(doc, CMapPoint(0, 0), CMapPoint(2000, 0));
    EXPECT_EQ(route.cost, 2000);
    EXPECT_TRUE(user.messages.empty());
}

TEST(LayerRouteSource, ReadsFieldsOfTheObjectLastRead)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string path = MakeRoads(dir, {
                                                {"0 0, 10 0", 1, 2, 10, 0, "A"},
                                                {"50 50, 60 50", 3, 4, 15, 1, "B"},
                                                {"0 5, 10 5", 5, 6, 20, 2, "C"},
                                            });
    CLayer layer("Keliai", path, CLayer::kLine);
    std::unique_ptr<IRouteLayerSource> source = CreateRouteLayerSource();
    ASSERT_NE(source, nullptr);
    CShape shape;
    EXPECT_FALSE(source->ReadNextShape(shape)); // nothing open yet
    EXPECT_EQ(source->GetRecordCount(), 0);
    EXPECT_EQ(source->FindField("iki"), -1);

    ASSERT_TRUE(source->OpenLayer(layer));
    EXPECT_EQ(source->GetRecordCount(), 3);
    EXPECT_EQ(source->FindField("iki"), 1);
    source->SetQueryRect(CMapRect(-1, 20, 20, -1));
    std::vector<std::string> read;
    while (source->ReadNextShape(shape)) {
        const int record = source->GetCurrentRecord();
        read.push_back(std::to_string(record) + ":" + std::to_string(source->GetFieldLong(0)) + "-" +
                       std::to_string(source->GetFieldLong(1)) + " " +
                       std::to_string(source->GetFieldDouble(2)).substr(0, 4) + " " +
                       std::to_string(source->GetFieldLong(-1)));
    }
    EXPECT_EQ(read, (std::vector<std::string>{"0:1-2 10.0 0", "2:5-6 20.0 0"}));

    CLayer missing("Nėra", dir.File("nera.gdb"), CLayer::kLine);
    EXPECT_FALSE(source->OpenLayer(missing));
    EXPECT_FALSE(source->ReadNextShape(shape));
    EXPECT_EQ(source->GetCurrentRecord(), -1);
    EXPECT_EQ(source->GetFieldDouble(0), 0);
}
