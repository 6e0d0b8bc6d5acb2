// Buffer zones of a layer's objects written into a new layer.
#include "geoproc/LayerBuffers.h"

#include "core/Shape.h"
#include "geoproc/LayerBufferRules.h"
#include "layers/Sublayer.h"
#include "mapdoc/BufferZoneSet.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cmath>

namespace {

// The zone of a circle is a polygon of ten-degree steps.
const double kCircleShare = 18 * std::sin(10 * M_PI / 180) / M_PI;

class LayerBuffersTest : public CGeoprocFixture {
protected:
    // The new layer's objects.
    std::vector<CReadObject> Zones(int type = CLayer::kArea) const
    {
        const CLayer* added = doc.GetLayer(doc.GetLayerCount() - 1);
        return added ? ReadObjects(added->GetPath(), type) : std::vector<CReadObject>{};
    }
    int Run(CLayer& layer) { return CreateBuffers(layer, doc, newLayer.Dialogs()); }

    CScriptedGeoprocDialogs dialogs;
};

TEST_F(LayerBuffersTest, EveryPointGetsACircleNumberedInWritingOrder)
{
    CLayer& points = AddPointLayer("Points", "taskai.gdb", {{100, 100}, {300, 200}, {500, 500}});
    dialogs.radius = 0.02; // 20 m
    ASSERT_EQ(Run(points), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30771 Points"});
    EXPECT_EQ(newLayer.offeredName, "taskai_buffer");
    EXPECT_EQ(newLayer.offeredPath, dir.File("taskai_buffer.gdb"));
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    const CLayer* added = doc.Layers().FindByName("taskai_buffer");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->GetType(), CLayer::kArea);
    EXPECT_TRUE(added->HasFlag(CLayer::kShown));
    const CMapRect& extent = added->GetExtent();
    EXPECT_NEAR(extent.left, 80, 1e-9);
    EXPECT_NEAR(extent.top, 520, 1e-9);
    EXPECT_NEAR(extent.right, 520, 1e-9);
    EXPECT_NEAR(extent.bottom, 80, 1e-9);
    const std::vector<CReadObject> zones = Zones();
    ASSERT_EQ(zones.size(), 3u);
    const CMapPoint centres[] = {{100, 100}, {300, 200}, {500, 500}};
    for (size_t i = 0; i < zones.size(); ++i) {
        EXPECT_EQ(zones[i].fields.at("Id"), std::to_string(i + 1));
        const CMapRect& box = zones[i].shape.GetExtent();
        EXPECT_NEAR((box.left + box.right) / 2, centres[i].x, 1e-6);
        EXPECT_NEAR((box.top + box.bottom) / 2, centres[i].y, 1e-6);
        EXPECT_NEAR(box.right - box.left, 40, 1e-6);
        EXPECT_NEAR(zones[i].shape.Area(), kCircleShare * M_PI * 400, 1e-6);
    }
    EXPECT_EQ(user.messages.size(), 0u);
}

TEST_F(LayerBuffersTest, AnAreaLayerAsksTheKindOfItsZones)
{
    CLayer& areas = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 100 0, 100 100, 0 100"});
    dialogs.radius = 0.01; // 10 m around a square of 100 m
    const double grown = 100 * 100 + 4 * 100 * 10 + kCircleShare * M_PI * 100;
    const double shrunk = 80 * 80;
    const std::pair<int, double> cases[] = {
        {CShape::kBufferBand, grown - shrunk}, {CShape::kBufferGrow, grown}, {CShape::kBufferShrink, shrunk}};
    for (const auto& [type, area] : cases) {
        dialogs.zoneType = type;
        dialogs.offeredType = -1;
        ASSERT_EQ(Run(areas), 1) << type;
        EXPECT_EQ(dialogs.offeredType, CShape::kBufferBand) << "the kind starts at 0 each run";
        const std::vector<CReadObject> zones = Zones();
        ASSERT_EQ(zones.size(), 1u) << type;
        EXPECT_NEAR(zones[0].shape.Area(), area, area * 1e-3) << type;
    }
    EXPECT_EQ(dialogs.log,
              (std::vector<std::string>{"30771 Areas", "280", "30771 Areas", "280", "30771 Areas", "280"}));
    // Each run proposes a free file anew.
    EXPECT_EQ(newLayer.offeredPath, dir.File("areas_buffer_3.gdb"));
}

TEST_F(LayerBuffersTest, AnEmptyZoneWritesNothingAndUsesNoNumber)
{
    CLayer& areas = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea,
                                  {"0 0, 100 0, 100 100, 0 100", "200 0, 205 0, 205 5, 200 5", "300 0, 400 0, 400 90"});
    dialogs.radius = 0.01;
    dialogs.zoneType = CShape::kBufferShrink;
    ASSERT_EQ(Run(areas), 1);
    const std::vector<CReadObject> zones = Zones();
    ASSERT_EQ(zones.size(), 2u);
    EXPECT_EQ(zones[0].fields.at("Id"), "1");
    EXPECT_EQ(zones[1].fields.at("Id"), "2");
    EXPECT_GT(zones[1].shape.GetExtent().left, 300);
}

TEST_F(LayerBuffersTest, ALineLayerTakesTheZonesOutlines)
{
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 100 0", "0 200, 0 300"});
    newLayer.chosenType = CLayer::kLine;
    ASSERT_EQ(Run(lines), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30771 Lines"});
    const CLayer* added = doc.Layers().FindByName("lines_buffer");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->GetType(), CLayer::kLine);
    const std::vector<CReadObject> outlines = Zones(CLayer::kLine);
    ASSERT_EQ(outlines.size(), 2u);
    const CMapRect& box = outlines[0].shape.GetExtent();
    EXPECT_NEAR(box.left, -10, 1e-9);
    EXPECT_NEAR(box.top, 10, 1e-9);
    EXPECT_NEAR(box.right, 110, 1e-9);
    EXPECT_NEAR(box.bottom, -10, 1e-9);
    for (const CReadObject& outline : outlines) {
        ASSERT_GE(outline.shape.GetPartCount(), 1);
        for (int part = 0; part < outline.shape.GetPartCount(); ++part) {
            const int first = outline.shape.GetPartStart(part);
            const int last = first + outline.shape.GetPartSize(part) - 1;
            EXPECT_EQ(outline.shape.GetPoint(first), outline.shape.GetPoint(last)) << "a closed outline";
        }
    }
}

TEST_F(LayerBuffersTest, ThePointResultTypeIsRefused)
{
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 100 0"});
    newLayer.chosenType = CLayer::kPoint;
    const auto before = Folder();
    EXPECT_EQ(Run(lines), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1062});
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(LayerBuffersTest, OtherLayerTypesAreRefusedWithoutAWord)
{
    CLayer& raster = Add("Raster", "picture.png", CLayer::kRaster);
    CLayer& grid = Add("Grid", "grid.rmp", CLayer::kElevation);
    CLayer& group = Add("Group", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    for (CLayer* layer : {&raster, &grid, &group})
        EXPECT_EQ(Run(*layer), 0) << layer->GetName();
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerBuffersTest, ACancelledDialogEndsTheOperation)
{
    CLayer& areas = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 100 0, 100 100"});
    const auto before = Folder();
    dialogs.radiusOk = false;
    EXPECT_EQ(Run(areas), 0);
    dialogs.radiusOk = true;
    dialogs.zoneTypeOk = false;
    EXPECT_EQ(Run(areas), 0);
    dialogs.zoneTypeOk = true;
    newLayer.ok = false;
    EXPECT_EQ(Run(areas), 0);
    EXPECT_EQ(newLayer.runs, 1);
    EXPECT_EQ(Folder(), before);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerBuffersTest, ARadiusOfNoWidthMakesNoLayer)
{
    CLayer& points = AddPointLayer("Points", "points.gdb", {{100, 100}});
    for (const double radius : {0.0, -1.0, 500.5, std::nan("")}) {
        dialogs.radius = radius;
        EXPECT_EQ(Run(points), 0) << radius;
    }
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(LayerBuffersTest, TheRadiusIsKilometresByTheMapsMetresPerUnit)
{
    // A map in degrees: a degree of longitude is shorter than one of latitude.
    CDrelDoc degrees;
    degrees.Settings().mapUnits = kUnitsDegrees;
    degrees.Settings().limits = CMapRect(23, 56, 25, 54);
    ASSERT_TRUE(degrees.OnSaveDocument(dir.File("degrees.map")));
    ASSERT_TRUE(degrees.OnOpenDocument(dir.File("degrees.map")));
    {
        CGdbSource source;
        MakePointLayer(source, dir.File("points.gdb"), {{24, 55}});
    }
    degrees.AddLayer(std::make_unique<CLayer>("Points", dir.File("points.gdb"), CLayer::kPoint), false);
    dialogs.radius = 2;
    ASSERT_EQ(CreateBuffers(*degrees.GetLayer(0), degrees, newLayer.Dialogs()), 1);
    double mx = 0, my = 0;
    degrees.GetMetresPerUnit(mx, my);
    ASSERT_LT(mx, my * 0.6);
    const std::vector<CReadObject> zones = ReadObjects(degrees.GetLayer(1)->GetPath(), CLayer::kArea);
    ASSERT_EQ(zones.size(), 1u);
    const CMapRect& box = zones[0].shape.GetExtent();
    EXPECT_NEAR(box.right - 24, 2 / (mx * 0.001), 1e-9);
    EXPECT_NEAR(box.top - 55, 2 / (my * 0.001), 1e-9);
}

TEST_F(LayerBuffersTest, TrackPointsAreZonedInTheMapsCoordinates)
{
    doc.SetCoordSystem(1);
    {
        CLayerReader writer;
        ASSERT_TRUE(writer.CreateSource(dir.File("trip.trk")));
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"ID", 'C', 20, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}});
        ASSERT_TRUE(writer.GetSource()->Create(dir.File("trip.trk"), CLayer::kPoint, fields.data()));
        ASSERT_TRUE(writer.GetSource()->AppendPoint(CMapPoint(25, 55), true));
    }
    CLayer& track = Add("Trip", "trip.trk", CLayer::kTrack);
    ASSERT_EQ(track.GetType(), CLayer::kTrack);
    ASSERT_EQ(Run(track), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30771 Trip"});
    CMapPoint expected(25, 55);
    doc.GeoToMap(expected);
    ASSERT_GT(expected.x, 1000); // metres of the grid, not degrees
    const std::vector<CReadObject> zones = Zones();
    ASSERT_EQ(zones.size(), 1u);
    const CMapRect& box = zones[0].shape.GetExtent();
    EXPECT_NEAR((box.left + box.right) / 2, expected.x, 1e-6);
    EXPECT_NEAR((box.top + box.bottom) / 2, expected.y, 1e-6);
}

TEST_F(LayerBuffersTest, TheFirstBarCountsTheRecordsPassed)
{
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine,
                                  {"0 0, 10 0", "0 50, 10 50", "0 100, 10 100", "0 150, 10 150", "0 200, 10 200"});
    lines.SetFilter("N = 1 .OR. N = 3");
    ASSERT_EQ(Run(lines), 1);
    EXPECT_EQ(user.progressHigh, 5);
    EXPECT_EQ(user.progressPosition, 4); // records 0 to 3 passed, two of them filtered out
    EXPECT_GT(user.secondBarSteps, 0);
    EXPECT_EQ(Zones().size(), 2u);
}

TEST_F(LayerBuffersTest, TheLayerTakesTheZoneStyle)
{
    CBufferZoneSettings& settings = CBufferZoneSet::Settings();
    const CDrawStyle saved = settings.style;
    settings.style.brushColor = 0x123456;
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 10 0"});
    const int result = Run(lines);
    settings.style = saved;
    ASSERT_EQ(result, 1);
    const CLayer* added = doc.Layers().FindByName("lines_buffer");
    ASSERT_TRUE(added && added->GetSublayer(0));
    EXPECT_EQ(added->GetSublayer(0)->m_style.Draw().brushColor, 0x123456u);
}

TEST_F(LayerBuffersTest, ACancelInEitherBarAddsNothing)
{
    // How many cancel checks one zone makes, the first bar's last.
    CLayer& one = AddShapeLayer("One", "one.gdb", CLayer::kLine, {"0 0, 10 0, 20 5, 30 0"});
    ASSERT_EQ(Run(one), 1);
    const int checksOfOneZone = user.cancelChecks;
    ASSERT_GT(checksOfOneZone, 2);

    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 10 0, 20 5, 30 0", "0 50, 10 50"});
    const int layers = doc.GetLayerCount();
    // Within the first zone (the second bar), and after it (the first bar).
    for (const int checks : {0, checksOfOneZone - 1}) {
        user.cancelChecks = 0;
        user.cancelAfterChecks = checks;
        const auto before = Folder();
        EXPECT_EQ(Run(lines), 0) << checks;
        EXPECT_EQ(user.cancelChecks, checks + 1);
        EXPECT_EQ(Folder(), before) << checks;
        EXPECT_EQ(doc.GetLayerCount(), layers);
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerBuffersTest, AZoneThatCannotBeComputedIsToldAndAddsNothing)
{
    // At the pole a degree of longitude has no length: no zone can be measured.
    CDrelDoc pole;
    pole.Settings().mapUnits = kUnitsDegrees;
    pole.Settings().limits = CMapRect(-1, 90, 1, 90);
    ASSERT_TRUE(pole.OnSaveDocument(dir.File("pole.map")));
    ASSERT_TRUE(pole.OnOpenDocument(dir.File("pole.map")));
    {
        CGdbSource source;
        MakePointLayer(source, dir.File("points.gdb"), {{0, 90}});
    }
    pole.AddLayer(std::make_unique<CLayer>("Points", dir.File("points.gdb"), CLayer::kPoint), false);
    const auto before = Folder();
    EXPECT_EQ(CreateBuffers(*pole.GetLayer(0), pole, newLayer.Dialogs()), 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text,
              Utf8ToCp1257("Nepavyko apskaičiuoti objekto buferinės zonos, todėl sluoksnis nesukurtas."));
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(pole.GetLayerCount(), 1);
}

TEST_F(LayerBuffersTest, AMalformedSourceObjectEndsWith1028)
{
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 10 0", "0 50, 10 50", "0 90, 9 90"});
    SpoilSecondBlock(lines.GetPath());
    const auto before = Folder();
    EXPECT_EQ(Run(lines), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(Folder(), before);
}

TEST(LayerBufferRules, TheRadiusIsAboveNoughtAndAtMost500)
{
    const std::pair<double, bool> cases[] = {{0, false},     {-1, false}, {0.001, true},         {500, true},
                                             {500.5, false}, {1, true},   {std::nan(""), false}, {INFINITY, false}};
    for (const auto& [radius, accepted] : cases)
        EXPECT_EQ(CLayerBufferRules::Accepts(radius), accepted) << radius;
    const double saved = CLayerBufferRules::LastRadius();
    EXPECT_FALSE(CLayerBufferRules::Remember(0));
    EXPECT_EQ(CLayerBufferRules::LastRadius(), saved);
    EXPECT_TRUE(CLayerBufferRules::Remember(2.5));
    EXPECT_EQ(CLayerBufferRules::LastRadius(), 2.5);
    CLayerBufferRules::Remember(saved);
}

} // namespace
