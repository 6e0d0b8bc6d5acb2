#include "mapdoc/DrelDoc.h"

#include "core/CoordConverter.h"
#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "layers/DtmLayer.h"
#include "platform/Path.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/support/TestSupport.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

TEST(DrelDoc, LayerNamesAreMadeUnique)
{
    CDrelDoc doc;
    doc.AddLayer(MakeLayer("Roads"), false);
    doc.AddLayer(MakeLayer("Roads (2)"), false);
    doc.AddLayer(MakeLayer("Roads"), false);
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"Roads", "Roads (2)", "Roads (3)"}));
    std::string name = "roads"; // names compare with their letter case
    EXPECT_FALSE(doc.MakeUniqueLayerName(name));
    EXPECT_EQ(name, "roads");
}

TEST(DrelDoc, NewLayerNamesAvoidTakenNamesAndFiles)
{
    CTempDir dir;
    CDrelDoc doc;
    doc.SetPathName(dir.File("map.map"));
    EXPECT_EQ(doc.GetMapDirectory(), dir.Path());
    WriteWholeFile(dir.File("Roads.gdb"), "");
    WriteWholeFile(dir.File("ROADS_2.DBF"), "");
    doc.AddLayer(MakeLayer("Roads"), false);

    std::string name, path;
    doc.SuggestNewLayerNames(name, path, "Roads");
    EXPECT_EQ(path, dir.File("Roads_3.gdb"));
    EXPECT_EQ(name, "Roads (2)");
    doc.SuggestNewLayerNames(name, path, "Rivers");
    EXPECT_EQ(path, dir.File("Rivers.gdb"));
    EXPECT_EQ(name, "Rivers");

    // Without a base: the first LayerN free both as a layer and as a file.
    doc.AddLayer(MakeLayer("Layer1"), false);
    WriteWholeFile(dir.File("Layer2.shp"), "");
    doc.SuggestNewLayerNames(name, path, "");
    EXPECT_EQ(name, "Layer3");
    EXPECT_EQ(path, dir.File("Layer3.gdb"));

    // A Windows-written map path keeps its own folder form.
    doc.SetPathName("C:\\Žemėlapiai\\Vilnius.map");
    EXPECT_EQ(doc.GetMapDirectory(), "C:\\Žemėlapiai\\");
    doc.SetPathName("");
    const std::string current = doc.GetMapDirectory();
    EXPECT_EQ(current.back(), '/');
    EXPECT_TRUE(PathExists(current));
}

TEST(DrelDoc, DataFilesBecomeLayersAndGrowTheMapExtent)
{
    CFakeLayerData data;
    data.vectorFiles["C:\\gis\\plotai.shp"] = CVectorFileInfo{2, "KODAS", CMapRect(21, 56, 22, 55)};
    data.vectorFiles["C:\\gis\\tekstai.dxf"] = CVectorFileInfo{5, "TEXT", CMapRect(0, 1, 1, 0)};
    data.vectorFiles["C:\\gis\\kelione.TRK"] = CVectorFileInfo{10, "Status", CMapRect(23, 55.5, 24, 54.5)};
    data.pictures["C:\\gis\\foto.tif"] = CMapRect(20, 57, 21, 56);
    data.grids["C:\\gis\\lauko.rmp"] = {CMapRect(25, 55, 26, 54), 3};

    CDrelDoc doc;
    CHintRecorder views(doc);
    CLayer* areas = doc.AddLayerFromFile("C:\\gis\\plotai.shp", CDrelDoc::kVectorFile);
    ASSERT_NE(areas, nullptr);
    EXPECT_EQ(areas->GetName(), "plotai");
    EXPECT_EQ(areas->GetType(), CLayer::kArea);
    EXPECT_EQ(areas->GetIdField(), "KODAS");
    EXPECT_EQ(doc.Settings().limits, CMapRect(21, 56, 22, 55)); // the empty extent takes the layer's
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{MakeHint(0, 1), MakeHint(0, 8), kHintOverview}));

    EXPECT_EQ(doc.AddLayerFromFile("C:\\gis\\tekstai.dxf", CDrelDoc::kVectorFile), nullptr); // texts make no layer
    EXPECT_EQ(doc.AddLayerFromFile("C:\\gis\\nera.shp", CDrelDoc::kVectorFile), nullptr);

    CLayer* track = doc.AddLayerFromFile("C:\\gis\\kelione.TRK", CDrelDoc::kVectorFile, "plotai");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->GetType(), CLayer::kTrack);
    EXPECT_EQ(track->GetName(), "plotai (2)");
    EXPECT_EQ(doc.Settings().limits, CMapRect(21, 56, 24, 54.5));

    CLayer* picture = doc.AddLayerFromFile("C:\\gis\\foto.tif", CDrelDoc::kPictureFile);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetType(), CLayer::kRaster);

    doc.Settings().autoRecalcMapExtent = 0;
    auto* grid = dynamic_cast<CDtmLayer*>(doc.AddLayerFromFile("C:\\gis\\lauko.rmp", CDrelDoc::kGridFile));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->HasFlag(CLayer::kFieldStrength));
    ASSERT_EQ(grid->GetFileCount(), 1);
    EXPECT_EQ(grid->Files()[0].extent, CMapRect(25, 55, 26, 54));
    EXPECT_NE(grid->GetHeightClasses(), nullptr);
    EXPECT_EQ(doc.Settings().limits, CMapRect(20, 57, 24, 54.5)); // no longer grown

    // Unread extents never grow the map.
    doc.Settings().autoRecalcMapExtent = 1;
    CLayer unread("u", "u.gdb", CLayer::kPoint);
    EXPECT_FALSE(doc.GrowMapExtent(unread));
    EXPECT_EQ(doc.GetLayerCount(), 4);
}

TEST(DrelDoc, FilesThatCannotBeReadAddNoLayer)
{
    CScriptedUserServices user;
    CDrelDoc doc;
    EXPECT_EQ(doc.AddLayerFromFile("/nera/a.gdb", CDrelDoc::kVectorFile), nullptr);
    EXPECT_EQ(doc.AddLayerFromFile("/nera/a.rmp", CDrelDoc::kGridFile), nullptr);
    EXPECT_EQ(doc.AddLayerFromFile("/nera/a.tif", CDrelDoc::kPictureFile), nullptr);
    EXPECT_EQ(doc.GetLayerCount(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DrelDoc, LayersExtentRecomputesOnlyWhatIsUnknown)
{
    CFakeLayerData data;
    data.layerExtents["unread"] = CMapRect(10, 20, 11, 19);
    data.layerExtents["tiles"] = CMapRect(30, 40, 31, 39);
    CDrelDoc doc;
    auto known = MakeLayer("known");
    known->SetExtent(CMapRect(0, 5, 1, 4));
    doc.AddLayer(std::move(known), false);
    doc.AddLayer(MakeLayer("unread"), false); // the unbounded extent of unread data
    auto tiles = MakeLayer("tiles");
    tiles->SetExtent(CMapRect(0, 1, 1, 0));
    tiles->AddFile("t1.gdb");
    doc.AddLayer(std::move(tiles), false);
    auto empty = MakeLayer("empty");
    empty->SetExtent(CMapRect());
    doc.AddLayer(std::move(empty), false);
    doc.AddLayer(MakeGroup("group", 0), false);

    CMapRect extent;
    ASSERT_TRUE(doc.GetLayersExtent(extent));
    EXPECT_EQ(extent, CMapRect(0, 40, 31, 4));
    EXPECT_EQ(data.extentsAsked, (std::vector<std::string>{"unread", "tiles", "empty"}));
    EXPECT_EQ(doc.Layers().FindByName("unread")->GetExtent(), CMapRect(10, 20, 11, 19));

    CDrelDoc none;
    EXPECT_FALSE(none.GetLayersExtent(extent));
    EXPECT_FALSE(extent.IsValid());
}

TEST(DrelDoc, SettingsLayersAreReportedWhenUnsetMissingOrOfTheWrongType)
{
    CScriptedUserServices user;
    CDrelDoc doc;
    doc.AddLayer(MakeLayer(Cp("Gatvės"), CLayer::kLine), false);
    doc.AddLayer(MakeLayer("Namai", CLayer::kPoint), false);
    CMapSettings& s = doc.Settings();

    EXPECT_EQ(doc.GetRoutesLayer(), nullptr);
    EXPECT_EQ(doc.GetStreetsLayer(), nullptr);
    EXPECT_EQ(doc.GetAddressesLayer(), nullptr);
    s.routesLayer = "Namai";
    s.streetsLayer = "Namai";
    s.addressesLayer = Cp("Gatvės");
    EXPECT_EQ(doc.GetRoutesLayer(), nullptr);
    EXPECT_EQ(doc.GetStreetsLayer(), nullptr);
    EXPECT_EQ(doc.GetAddressesLayer(), nullptr);
    s.routesLayer = "Keliai";
    EXPECT_EQ(doc.GetRoutesLayer(), nullptr);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1011, 1010, 1009, 1017, 1016, 1015, 1006}));
    EXPECT_EQ(user.messages.back().text, Cp("Nerastas sluoksnis \"Keliai\"."));

    user.messages.clear();
    s.routesLayer = s.streetsLayer = Cp("Gatvės");
    s.addressesLayer = "Namai";
    s.fromNodeField = "NUO";
    s.significanceField = "RANGAS";
    EXPECT_EQ(doc.GetStreetsLayer(), doc.GetLayer(0));
    EXPECT_EQ(doc.GetAddressesLayer(), doc.GetLayer(1));
    CRouteSettings route;
    ASSERT_TRUE(doc.GetRouteSettings(route));
    EXPECT_EQ(route.layer, doc.GetLayer(0));
    EXPECT_EQ(route.unitKind, 0);
    EXPECT_EQ(route.fromNodeField, "NUO");
    EXPECT_EQ(route.significanceField, "RANGAS");
    s.mapUnits = kUnitsMetres;
    doc.GetRouteSettings(route);
    EXPECT_EQ(route.unitKind, 4);
    EXPECT_TRUE(user.messages.empty());
}

TEST(DrelDoc, SavedPlacesAreFoundByExactName)
{
    CCallLog log;
    CRecordingHost host(log);
    CDrelDoc doc;
    doc.AddBookmark("Centras", CMapRect(1, 2, 3, 1));
    doc.AddBookmark("Uostas", CMapRect(4, 5, 6, 4));
    doc.AddBookmark("Centras", CMapRect(7, 8, 9, 7));
    CMapRect found;
    ASSERT_TRUE(doc.FindBookmark("Centras", found));
    EXPECT_EQ(found, CMapRect(1, 2, 3, 1));
    EXPECT_TRUE(doc.DeleteBookmark("Centras"));
    ASSERT_TRUE(doc.FindBookmark("Centras", found));
    EXPECT_EQ(found, CMapRect(7, 8, 9, 7));
    EXPECT_EQ(doc.GetBookmarkName(0), "Uostas");
    EXPECT_FALSE(doc.DeleteBookmark("centras"));
    doc.FillBookmarkCombo();
    EXPECT_EQ(host.placesBox, (std::vector<std::string>{"Uostas", "Centras"}));
}

TEST(DrelDoc, MeasuresFollowTheMapUnits)
{
    CDrelDoc doc;
    CMapSettings& s = doc.Settings();
    const CMapPoint a(25, 54), b(26, 55);

    // Degrees: great circles, areas through the metres per degree.
    EXPECT_DOUBLE_EQ(doc.GetDistanceKm(a, b), GreatCircleDistanceKm(25, 54, 26, 55));
    EXPECT_DOUBLE_EQ(doc.GetAzimuth(a, b), GeoAzimuthDegrees(a, b));
    CMapPointArray square;
    for (const CMapPoint& p : {CMapPoint(0, 0), CMapPoint(1, 0), CMapPoint(1, 1), CMapPoint(0, 1)})
        square.Add(p);
    EXPECT_DOUBLE_EQ(doc.GetRingAreaKm2(square), 63530.0 * 111320.0 * 1e-6);
    EXPECT_DOUBLE_EQ(doc.GetRingPerimeterKm(square),
                     GreatCircleDistanceKm(0, 0, 1, 0) + GreatCircleDistanceKm(1, 0, 1, 1) +
                         GreatCircleDistanceKm(1, 1, 0, 1) + GreatCircleDistanceKm(0, 1, 0, 0));

    struct Case {
        int units;
        double factor;
    };
    for (const Case& c : {Case{kUnitsMetres, 1}, Case{kUnitsKilometres, 1000}, Case{kUnitsNauticalMiles, 1853}}) {
        s.mapUnits = c.units;
        double x, y;
        doc.GetMetresPerUnit(x, y);
        EXPECT_EQ(x, c.factor);
        EXPECT_DOUBLE_EQ(doc.GetDistanceKm(CMapPoint(0, 0), CMapPoint(3, 4)), 5 * c.factor * 0.001);
        EXPECT_DOUBLE_EQ(doc.GetRingAreaKm2(square), c.factor * c.factor * 1e-6);
        EXPECT_DOUBLE_EQ(doc.GetRingPerimeterKm(square), 4 * c.factor * 0.001);
        EXPECT_DOUBLE_EQ(doc.GetAzimuth(CMapPoint(0, 0), CMapPoint(1, 0)), 90);
    }

    // Two points make no ring to close; fewer than three enclose nothing.
    CMapPointArray pair;
    pair.Add(CMapPoint(0, 0));
    pair.Add(CMapPoint(0, 1000));
    s.mapUnits = kUnitsMetres;
    EXPECT_DOUBLE_EQ(doc.GetRingPerimeterKm(pair), 1);
    EXPECT_EQ(doc.GetRingAreaKm2(pair), 0);

    // Length per part; a part size claiming more points than there are stops at the last.
    CShape shape;
    const CMapPoint points[] = {{0, 0}, {3000, 4000}, {10000, 0}, {10000, 2000}};
    shape.SetPoints(4, points);
    shape.PartSizes() = {2, 0xFFFFFFFF};
    EXPECT_DOUBLE_EQ(doc.GetShapeLengthKm(shape), 5 + 2);
    shape.PartSizes() = {4};
    EXPECT_DOUBLE_EQ(doc.GetShapeLengthKm(shape), 5 + std::hypot(7000, 4000) * 0.001 + 2);
    s.mapUnits = kUnitsDegrees;
    const CMapPoint degrees[] = {{25, 54}, {26, 55}, {21, 56}, {21, 55}};
    shape.SetPoints(4, degrees);
    shape.PartSizes() = {2, 2};
    EXPECT_DOUBLE_EQ(doc.GetShapeLengthKm(shape),
                     GreatCircleDistanceKm(25, 54, 26, 55) + GreatCircleDistanceKm(21, 56, 21, 55));
    CShape ring;
    ring.SetPoints(4, square.GetData());
    EXPECT_DOUBLE_EQ(doc.GetShapeAreaKm2(ring), 63530.0 * 111320.0 * 1e-6);
}

TEST(DrelDoc, CoordinatesShowAsTheStatusBarWritesThem)
{
    CCallLog log;
    CRecordingHost host(log);
    CDrelDoc doc;
    struct Case {
        int units;
        CMapPoint point;
        std::string text;
    };
    const Case cases[] = {
        {kUnitsMetres, {582345.678, 6061234.5}, "(582345.68; 6061234.50)"},
        {kUnitsKilometres, {1.2346, -2}, "(1.235; -2.000)"},
        {kUnitsNauticalMiles, {0, 0}, "(0.000; 0.000)"},
        {kUnitsDegrees, {25.2797, 54.6872}, "E025\xB0" "16'46.9\"  N54\xB0" "41'13.9\""},
        {kUnitsDegrees, {-0.5, -0.5}, "W000\xB0" "30'00.0\"  S00\xB0" "30'00.0\""},
        {kUnitsDegrees, {190, 10}, "W170\xB0" "00'00.0\"  N10\xB0" "00'00.0\""},
        {kUnitsDegrees, {10, 91}, ""},
        {kUnitsDegrees, {361, 10}, ""},
    };
    for (const Case& c : cases) {
        doc.Settings().mapUnits = c.units;
        doc.ShowCoordinates(c.point);
        EXPECT_EQ(host.coordinateText, c.text) << c.point.x << " " << c.point.y;
    }
}

TEST(DrelDoc, TheApplicationIsAskedBeforeAMapCloses)
{
    CCallLog log;
    CRecordingHost host(log);
    host.withAdminSearch = true; // without the bar its settings are neither filled nor saved
    CTempDir dir;
    {
        CDrelDoc doc;
        ASSERT_NE(doc.GetAdminSearchSettings(), nullptr);
        ASSERT_TRUE(doc.OnSaveDocument(dir.File("a.map")));
        ASSERT_TRUE(doc.OnOpenDocument(dir.File("a.map")));
        host.toolsMayBeLeft = false;
        EXPECT_FALSE(doc.SaveModified());
        host.toolsMayBeLeft = true;
        EXPECT_TRUE(doc.SaveModified());
        doc.OnCloseDocument();
    }
    const CCallLog expected = {"admin load " + dir.File("a.ini"), "places box", "leave tools", "leave tools",
                               "save question", "close tables", "destroyed"};
    EXPECT_EQ(log, expected);
}

namespace {

TEST(DrelDoc, ANewLayersFileMayNotWriteOverWhatAnOpenMapHolds)
{
    CCallLog log;
    CRecordingHost host(log);
    CScriptedUserServices user;
    CDrelDoc own;
    CDrelDoc other;
    own.SetPathName("/maps/town.map");
    other.SetPathName("/maps/other/region.map");
    own.AddLayer(std::make_unique<CLayer>("Gatvės", "/maps/streets.gdb", CLayer::kLine), false);
    auto many = std::make_unique<CLayer>("Lapai", "/maps/sheets/a.shp", CLayer::kArea);
    many->AddFile("/maps/sheets/b.shp");
    other.AddLayer(std::move(many), false);
    other.AddLayer(std::make_unique<CLayer>("Upės", "/maps/other/rivers.shp", CLayer::kLine), false);
    host.openMaps = {&own, &other};

    struct Case {
        const char* path;
        bool allowed;
    };
    const Case cases[] = {
        {"/maps/streets.gdb", false},         // the layer's own data file
        {"/maps/STREETS.dbf", false},         // its table, another letter case
        {"/maps/other/rivers.gdb", false},    // a new GDB layer would write the Shapefile's table
        {"/maps/sheets/b.dbf", false},        // a file of a layer made of many files
        {"/maps/town.map", false},            // a map file
        {"/maps/other/region.ini", false},    // a map's settings file
        {"/maps/town.gdb", true},             // beside the map, its own title
        {"/maps/streets2.gdb", true},
        {"/maps/other/streets.gdb", true},    // another folder
    };
    for (const Case& c : cases) {
        user.messages.clear();
        EXPECT_EQ(own.CheckNewLayerPath(c.path), c.allowed) << c.path;
        if (c.allowed)
            EXPECT_TRUE(user.messages.empty()) << c.path;
        else
            EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074}) << c.path;
    }
    // Without a host's list the document knows only itself.
    host.openMaps.clear();
    EXPECT_TRUE(own.CheckNewLayerPath("/maps/other/rivers.gdb"));
    EXPECT_FALSE(own.CheckNewLayerPath("/maps/streets.vec"));
}

TEST(DrelDoc, AnActivatedMapWindowFillsTheMainFramesBoxes)
{
    CCallLog log;
    CRecordingHost host(log);
    CDrelDoc doc;
    doc.AddBookmark("Centras", CMapRect{0, 1, 1, 0});
    doc.OnMapFrameActivate(false);
    EXPECT_TRUE(log.empty());
    doc.OnMapFrameActivate(true);
    EXPECT_EQ(log, (CCallLog{"places box"}));
    EXPECT_EQ(host.placesBox, std::vector<std::string>{"Centras"});
}

} // namespace
