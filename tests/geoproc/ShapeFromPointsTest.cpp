// A line or an area from the points of a layer, and the spatial index
// command.
#include "geoproc/ShapeFromPoints.h"
#include "geoproc/SpatialIndexCommand.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

class ShapeFromPointsTest : public CGeoprocFixture {
protected:
    CLayer& Points(const std::vector<CMapPoint>& points) { return AddPointLayer("Taškai", "taskai.gdb", points); }
    // The objects of the layer added last.
    std::vector<CReadObject> Result()
    {
        const CLayer* added = doc.GetLayer(doc.GetLayerCount() - 1);
        return ReadObjects(added->GetPath(), added->GetType());
    }
};

TEST_F(ShapeFromPointsTest, PointsInReadingOrderMakeOneObject)
{
    const struct {
        std::vector<CMapPoint> points;
        int type;
        const char* expected;
    } cases[] = {
        {{{0, 0}, {10, 0}, {10, 10}}, CLayer::kLine, "0 0, 10 0, 10 10"},
        {{{0, 0}, {10, 0}, {10, 10}}, CLayer::kArea, "0 0, 10 0, 10 10, 0 0"},
        // A ring that is closed already gets no extra point.
        {{{0, 0}, {10, 0}, {10, 10}, {0, 0}}, CLayer::kArea, "0 0, 10 0, 10 10, 0 0"},
        {{{5, 5}}, CLayer::kLine, "5 5"},
        {{{5, 5}}, CLayer::kArea, "5 5"},
    };
    for (const auto& c : cases) {
        CLayer& layer = AddPointLayer("Taškai", "taskai" + std::to_string(doc.GetLayerCount()) + ".gdb", c.points);
        ASSERT_EQ(CreateShapeFromPoints(layer, doc, newLayer.Dialogs(), c.type), 1) << c.expected;
        const CLayer* added = doc.GetLayer(doc.GetLayerCount() - 1);
        EXPECT_EQ(added->GetType(), c.type);
        const std::vector<CReadObject> objects = ReadObjects(added->GetPath(), c.type);
        ASSERT_EQ(objects.size(), 1u) << c.expected;
        EXPECT_EQ(ShapeText(objects[0].shape), c.expected);
        EXPECT_EQ(objects[0].fields.at("Id"), "1");
    }
}

TEST_F(ShapeFromPointsTest, TheNewLayerDialogOffersThePolyNameWithTheTypeFixed)
{
    CLayer& layer = Points({{0, 0}, {1, 1}});
    ASSERT_EQ(CreateShapeFromPoints(layer, doc, newLayer.Dialogs(), CLayer::kArea), 1);
    EXPECT_EQ(newLayer.offeredName, "taskai_poly");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    EXPECT_EQ(doc.GetLayer(doc.GetLayerCount() - 1)->GetName(), "taskai_poly");
    std::vector<CDbfFieldInfo> fields;
    ASSERT_TRUE(doc.GetLayer(doc.GetLayerCount() - 1)->ReadFieldList(fields));
    ASSERT_GE(fields.size(), 1u);
    EXPECT_STREQ(fields[0].name, "ID");
    EXPECT_EQ(fields[0].type, 'N');
    EXPECT_EQ(fields[0].length, 8);
}

TEST_F(ShapeFromPointsTest, AShapefileMayBeChosen)
{
    CLayer& layer = Points({{0, 0}, {1, 1}, {2, 0}});
    newLayer.chosenPath = dir.File("kelias.shp");
    ASSERT_EQ(CreateShapeFromPoints(layer, doc, newLayer.Dialogs(), CLayer::kLine), 1);
    EXPECT_EQ(doc.GetLayer(doc.GetLayerCount() - 1)->GetPath(), dir.File("kelias.shp"));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("kelias.shp"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 1 1, 2 0");
}

TEST_F(ShapeFromPointsTest, TheFilterLeavesPointsOut)
{
    CLayer& layer = Points({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    layer.SetFilter("N <> 1");
    ASSERT_EQ(CreateShapeFromPoints(layer, doc, newLayer.Dialogs(), CLayer::kLine), 1);
    const std::vector<CReadObject> objects = Result();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 10 10, 0 10");
}

TEST_F(ShapeFromPointsTest, NothingIsAddedForCancelNoPointsOrOtherLayers)
{
    CLayer& points = Points({{0, 0}, {1, 1}});
    newLayer.ok = false;
    EXPECT_EQ(CreateShapeFromPoints(points, doc, newLayer.Dialogs(), CLayer::kLine), 0);
    newLayer.ok = true;
    points.SetFilter("N > 5");
    EXPECT_EQ(CreateShapeFromPoints(points, doc, newLayer.Dialogs(), CLayer::kLine), 0);
    CLayer& lines = AddShapeLayer("Linijos", "linijos.gdb", CLayer::kLine, {"0 0, 1 1"});
    EXPECT_EQ(CreateShapeFromPoints(lines, doc, newLayer.Dialogs(), CLayer::kLine), 0);
    EXPECT_EQ(doc.GetLayerCount(), 2);
    EXPECT_EQ(newLayer.runs, 2);
    EXPECT_FALSE(FileExists(dir.File("taskai_poly.gdb")));
}

class SpatialIndexCommandTest : public CGeoprocFixture {};

TEST_F(SpatialIndexCommandTest, AYesBuildsTheIndexThatTheSourceThenUses)
{
    // Past the size from which queries consult an index.
    std::vector<std::string> lines;
    for (int i = 0; i <= CFeatureSource::kIndexMinRecords; ++i)
        lines.push_back(std::to_string(i * 10) + " 0, " + std::to_string(i * 10 + 5) + " 5");
    CLayer& layer = AddShapeLayer("Linijos", "linijos.gdb", CLayer::kLine, lines);
    user.answers = {IDYES};
    EXPECT_EQ(CreateSpatialIndex(layer), 1);
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Sukurti erdvinį indeksą?"));
    EXPECT_EQ(user.messages[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(user.messages[1].helpId, 3037u);
    EXPECT_EQ(user.messages[1].text, Utf8ToCp1257("Erdvinis indeksas sukurtas sėkmingai."));
    CLayerReader reader;
    ASSERT_TRUE(reader.Open(layer.GetPath()));
    const std::string index = reader.GetSource()->GetIndexPath();
    EXPECT_TRUE(FileExists(index));
    EXPECT_EQ(GetPathExtension(index), "spx");
    EXPECT_EQ(IndexHitsOf<CGdbSource>(layer.GetPath(), CMapRect(95, 6, 125, -1)), (std::vector<int>{9, 10, 11, 12}));
}

TEST_F(SpatialIndexCommandTest, NoChangesNothingAndWrongLayersGive1104)
{
    CLayer& layer = AddShapeLayer("Linijos", "linijos.gdb", CLayer::kLine, {"0 0, 1 1"});
    user.answers = {IDNO};
    EXPECT_EQ(CreateSpatialIndex(layer), 0);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_TRUE(FindMatchingFiles(dir.File("*.spx")).empty());

    CLayer raster("Vaizdas", dir.File("vaizdas.tif"), CLayer::kRaster);
    CLayer grid("Aukščiai", dir.File("dtm.grd"), CLayer::kElevation);
    CLayer many("Daug", dir.File("a.gdb"), CLayer::kLine);
    many.SetFlag(CLayer::kManyFiles, true);
    for (CLayer* refused : {&raster, &grid, &many}) {
        user.messages.clear();
        user.answers = {IDYES};
        EXPECT_EQ(CreateSpatialIndex(*refused), 0) << refused->GetName();
        EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{0, 1104})) << refused->GetName();
    }
}

} // namespace
