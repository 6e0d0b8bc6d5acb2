#include "layers/LayerReader.h"

#include "core/SpatialFilter.h"
#include "layers/DxfSource.h"
#include "layers/Layer.h"
#include "platform/Strings.h"
#include "tests/layers/LayerFileSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A point layer of n points at (i, 0), record i named "P<i>" with N = i.
std::string MakePoints(const CTempDir& dir, const std::string& name, int n)
{
    std::vector<CMapPoint> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(i, 0);
    const std::string path = dir.File(name);
    CGdbSource source;
    MakePointLayer(source, path, points);
    return path;
}

std::vector<int> ReadPoints(CLayerReader& reader)
{
    return reader.GetSource() ? PointRecords(*reader.GetSource()) : std::vector<int>{-1};
}

} // namespace

TEST(LayerReader, PicksTheSourceByTheLastThreeLettersInAnyCase)
{
    const struct {
        const char* path;
        bool source;
    } cases[] = {
        {"a.gdb", true},  {"B.GDB", true},  {"c.Gdb", true},  {"C:\\GIS\\KELIAI.gDb", true},
        {"a.shp", true},  {"A.SHP", true},  {"a.dbf", true},  {"A.Dbf", true},
        {"a.trk", true},  {"A.TRK", true},  {"a.shx", false}, {"a.dxf", true},
        {"A.DXF", true},  {"a.dXf", true},  {"a.dwg", false}, {"a.txt", false},
        {"gdb.txt", false}, {"", false},
    };
    for (const auto& c : cases) {
        CLayerReader reader;
        ASSERT_TRUE(reader.CreateSource("a.gdb"));
        EXPECT_EQ(reader.CreateSource(c.path), c.source) << c.path; // the one before is gone either way
        EXPECT_EQ(reader.GetSource() != nullptr, c.source) << c.path;
        EXPECT_FALSE(reader.IsOpen()) << c.path; // made, not opened
    }
}

TEST(LayerReader, ShapefilesCoordinateTablesAndDrawingsOpenInAnyLetterCase)
{
    CScriptedUserServices user;
    CTempDir dir;
    MakeShapefile(dir.File("plotai.shp"), CFeatureSource::kArea, {"0 0, 2 0, 2 2"});
    MakeCoordTable(dir.File("taskai.dbf"), {{24, 55}});
    MakeCoordTable(dir.File("kelione.trk"), {{24, 55}});
    WriteWholeFile(dir.File("brezinys.dxf"), DxfDrawing("0 LINE|10 0|20 0|11 1|21 1"));
    const struct {
        const char* file;
        int type; // -1: does not open
    } cases[] = {
        {"plotai.shp", CFeatureSource::kArea},   {"PLOTAI.SHP", CFeatureSource::kArea},
        {"plotai.shx", -1},                      {"taskai.DBF", CFeatureSource::kPoint},
        {"Kelione.TRK", CFeatureSource::kPoint}, {"brezinys.dxf", CFeatureSource::kLine},
        {"BREZINYS.DXF", CFeatureSource::kLine},
    };
    for (const auto& c : cases) {
        CLayerReader reader;
        EXPECT_EQ(reader.Open(dir.File(c.file)), c.type >= 0) << c.file;
        EXPECT_EQ(reader.IsOpen(), c.type >= 0) << c.file;
        if (reader.IsOpen()) {
            EXPECT_EQ(reader.GetSource()->GetShapeType(), c.type) << c.file;
        }
    }
    CLayerReader reader;
    ASSERT_TRUE(reader.Open(dir.File("PLOTAI.SHP")));
    EXPECT_EQ(ShapeRecords(*reader.GetSource()), std::vector<int>{0});
    ASSERT_TRUE(reader.Open(dir.File("Brezinys.Dxf")));
    EXPECT_EQ(ShapeRecords(*reader.GetSource()), std::vector<int>{0});
    EXPECT_TRUE(user.messages.empty());
}

TEST(LayerReader, ADrawingLayerReadsAllItsObjectsWhateverTheLayerRestricts)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string path = dir.File("brezinys.dxf");
    WriteWholeFile(path, DxfDrawing("0 LINE|8 Keliai|10 0|20 0|11 1|21 1|0 TEXT|8 Vardai|10 5|20 5|1 Vilnius"
                                    "|0 CIRCLE|8 Ratai|10 9|20 9|40 1|0 POINT|10 7|20 7"
                                    "|0 LWPOLYLINE|10 0|20 0|10 3|20 3",
                                    "\r\n"));
    CSpatialFilter filter;
    filter.SetPoint(CMapPoint(100, 100));
    const int32_t list[] = {1};
    for (const int type : {CLayer::kLine, CLayer::kArea, CLayer::kPoint}) {
        SCOPED_TRACE(type);
        CLayer layer("Brėžinys", path, type);
        layer.SetFilter("LAYER = 'Niekur'");
        layer.SetRecordList(list, 1);
        layer.SetSpatialFilter(&filter);
        layer.HiddenFields() = {"Np"};
        layer.SetFlag(CLayer::kHasHiddenFields, true);
        CLayerReader reader;
        ASSERT_TRUE(reader.OpenLayer(&layer));
        CFeatureSource& source = *reader.GetSource();
        EXPECT_FALSE(source.GetTable().IsFieldShown(CDxfSource::kPointCountField));
        if (type == CLayer::kPoint) {
            EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 1}));
        } else {
            EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 1, 2}));
        }
        std::string label;
        ASSERT_TRUE(source.GetFieldText(1, CDxfSource::kLabelField, label));
        EXPECT_EQ(label, "0002");
        std::string layerName;
        ASSERT_TRUE(source.GetFieldText(0, CDxfSource::kLayerField, layerName));
        EXPECT_EQ(layerName, type == CLayer::kPoint ? "Vardai" : "Keliai");
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST(LayerReader, OpensCreatesAndCloses)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayerReader reader;
    ASSERT_TRUE(reader.Create(dir.File("Nauji.GDB"), CFeatureSource::kLine));
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetSource()->GetShapeType(), CFeatureSource::kLine);
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(reader.Close()); // nothing left to close
    EXPECT_EQ(reader.GetSource(), nullptr);

    ASSERT_TRUE(reader.Open(dir.File("nauji.gdb"))); // the disk's letter case is found
    EXPECT_TRUE(reader.IsOpen());
    // A failed open leaves nothing open, not the source of the file before.
    EXPECT_FALSE(reader.Open(dir.File("nera.gdb")));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetSource(), nullptr);
    EXPECT_FALSE(reader.Open(dir.File("nauji.dxf")));
    EXPECT_FALSE(reader.Create(dir.File("nauji.shx"), CFeatureSource::kLine));
    EXPECT_FALSE(reader.Create(dir.File("nauji.dxf"), CFeatureSource::kLine)); // drawings are never written
    EXPECT_EQ(reader.GetSource(), nullptr);

    CLayerReader attached(std::make_unique<CGdbSource>());
    EXPECT_FALSE(attached.IsOpen());
    ASSERT_TRUE(attached.GetSource()->Open(dir.File("nauji.gdb")));
    EXPECT_TRUE(attached.IsOpen());
    EXPECT_FALSE(reader.OpenLayer(nullptr));
}

TEST(LayerReader, HandsTheSourceTheLayersViewOfItsData)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Taskai", MakePoints(dir, "taskai.gdb", 10), CLayer::kPoint);
    layer.FieldAliases().SetAt("Name", "Pavadinimas");
    layer.HiddenFields() = {"n"};

    // Without their flags neither aliases nor hidden fields reach the table.
    CLayerReader reader;
    ASSERT_TRUE(reader.OpenLayer(&layer));
    CDbfTable& plain = reader.GetSource()->GetTable();
    EXPECT_EQ(plain.FindField("Pavadinimas"), -1);
    EXPECT_TRUE(plain.IsFieldShown(1));
    EXPECT_EQ(ReadPoints(reader), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    layer.SetFlag(CLayer::kHasAliases | CLayer::kHasHiddenFields, true);
    layer.SetFilter("N >= 2");
    const int32_t list[] = {1, 3, 5, 7};
    layer.SetRecordList(list, 4);
    CSpatialFilter area;
    area.SetShape(CSpatialFilter::kArea, Shape("4.5 -1, 9.5 -1, 9.5 1, 4.5 1"));
    layer.SetSpatialFilter(&area);
    ASSERT_TRUE(reader.OpenLayer(&layer));
    CDbfTable& table = reader.GetSource()->GetTable();
    EXPECT_EQ(table.FindField("Pavadinimas"), 0);
    EXPECT_EQ(table.GetFieldCaption(0), "Pavadinimas");
    EXPECT_FALSE(table.IsFieldShown(1));
    // The list gives 1, 3, 5, 7; the filter drops 1; the area 3.
    EXPECT_EQ(ReadPoints(reader), (std::vector<int>{5, 7}));

    // An empty hidden-field list hides nothing.
    layer.HiddenFields().clear();
    ASSERT_TRUE(reader.OpenLayer(&layer));
    EXPECT_TRUE(reader.GetSource()->GetTable().IsFieldShown(1));
}

TEST(LayerReader, TheSpatialFiltersModeFollowsTheLayerType)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string path = MakePoints(dir, "taskai.gdb", 3);
    const struct {
        int type;
        int mode;
    } cases[] = {{CLayer::kPoint, 0}, {CLayer::kLine, 1}, {CLayer::kArea, 2}, {CLayer::kTrack, 0}};
    for (const auto& c : cases) {
        CLayer layer("L", path, c.type);
        CSpatialFilter filter;
        filter.SetMode(7);
        filter.SetPoint(CMapPoint(1, 0));
        layer.SetSpatialFilter(&filter);
        CLayerReader reader;
        ASSERT_TRUE(reader.OpenLayer(&layer)) << c.type;
        EXPECT_EQ(filter.GetMode(), c.mode) << c.type;
        CMapRect query;
        ASSERT_TRUE(reader.GetSource()->GetQueryRect(query)) << c.type;
        EXPECT_EQ(query, CMapRect(1, 0, 1, 0)) << c.type;
    }
}

TEST(LayerReader, TheNewestRecordOnlyReadsTheLastRecordOfATableThatHasOne)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Naujausias", MakePoints(dir, "desimt.gdb", 10), CLayer::kPoint);
    layer.SetFlag(CLayer::kNewestRecordOnly, true);
    layer.SetFilter("N < 3");
    const int32_t list[] = {0, 1};
    layer.SetRecordList(list, 2);
    CSpatialFilter filter;
    filter.SetPoint(CMapPoint(0, 0));
    layer.SetSpatialFilter(&filter);

    CLayerReader reader;
    ASSERT_TRUE(reader.OpenLayer(&layer));
    EXPECT_EQ(ReadPoints(reader), (std::vector<int>{9}));
    EXPECT_EQ(reader.GetSource()->GetTable().GetFilter(), nullptr);
    CMapRect query;
    EXPECT_FALSE(reader.GetSource()->GetQueryRect(query));

    // On an empty table the flag restricts nothing and the rest is handed over.
    CLayer empty("Tuscias", MakePoints(dir, "tuscias.gdb", 0), CLayer::kPoint);
    empty.SetFlags(layer.GetFlags());
    empty.SetFilter("N < 3");
    empty.SetSpatialFilter(&filter);
    ASSERT_TRUE(reader.OpenLayer(&empty));
    EXPECT_NE(reader.GetSource()->GetTable().GetFilter(), nullptr);
    EXPECT_TRUE(reader.GetSource()->GetQueryRect(query));
    EXPECT_EQ(ReadPoints(reader), std::vector<int>{});
    EXPECT_TRUE(user.messages.empty());
}

TEST(LayerReader, AFilterThatDoesNotCompileShowsNothingAndIsReportedOncePerText)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Taskai", MakePoints(dir, "taskai.gdb", 4), CLayer::kPoint);
    layer.SetFilter("NERA > 1");
    CLayerReader reader;
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_FALSE(reader.OpenLayer(&layer));
        EXPECT_FALSE(reader.IsOpen());
    }
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{1190});
    EXPECT_EQ(user.messages[0].text,
              LoadStringArgs(1190, "Taskai", LoadString(15))); // the field is an unknown variable

    // Another text is news; a filter that compiles opens and clears the memory.
    layer.SetFilter("N >");
    EXPECT_FALSE(reader.OpenLayer(&layer));
    layer.SetFilter("N > 1");
    ASSERT_TRUE(reader.OpenLayer(&layer));
    EXPECT_EQ(ReadPoints(reader), (std::vector<int>{2, 3}));
    layer.SetFilter("NERA > 1");
    EXPECT_FALSE(reader.OpenLayer(&layer));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1190, 1190, 1190}));
}
