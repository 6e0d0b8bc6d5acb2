// The list of objects at a point: its rows, what a selected row shows,
// the point's text and where the window goes. A view of 400 x 200 pixels
// over 2000 x 1000 metres.
#include "search/ObjectsAtPoint.h"

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "platform/Codepage.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// What the map asks of the object information window.
class CInfoHost : public CRecordingViewHost {
public:
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string&) override { info = lines; }
    std::vector<std::string> info;
};

class ObjectsAtPoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        ShowTestMap(doc, view, window);
    }

    // A point file whose records carry the names given.
    void WritePoints(const std::string& file, const std::vector<std::pair<CMapPoint, std::string>>& points)
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields = TestFields();
        ASSERT_TRUE(source.Create(dir.File(file), CFeatureSource::kPoint, fields.data()));
        int n = 0;
        for (const auto& [point, name] : points)
            AppendWithAttributes(source, nullptr, &point, name, n++);
    }
    CLayer& AddLayer(const std::string& name, const std::string& file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(file), type);
        layer->SetIdField("NAME");
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    CLayer& AddShapes(const std::string& name, int type, const std::vector<std::string>& shapes)
    {
        {
            CGdbSource source;
            MakeShapeLayer(source, dir.File(name + ".gdb"), type == CLayer::kLine ? CFeatureSource::kLine
                                                                                    : CFeatureSource::kArea,
                           shapes);
        }
        return AddLayer(name, name + ".gdb", type);
    }
    // Two point files behind one layer.
    CLayer& AddTiles()
    {
        WritePoints("a.gdb", {{{100, 100}, "A0"}, {{110, 100}, "A1"}});
        WritePoints("b.gdb", {{{1500, 800}, "B0"}, {{1510, 800}, "B1"}});
        CLayer& tiles = AddLayer("Plyteles", "plyteles.gdb", CLayer::kPoint);
        tiles.AddFile(dir.File("a.gdb"));
        tiles.AddFile(dir.File("b.gdb"));
        return tiles;
    }

    static Texts Column(const std::vector<CObjectAtPointRow>& rows, std::string CObjectAtPointRow::*column)
    {
        Texts texts;
        for (const CObjectAtPointRow& row : rows)
            texts.push_back(row.*column);
        return texts;
    }

    CInfoHost host;
    CRecordingWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
};

TEST_F(ObjectsAtPoint, OneRowPerHitWithinTheDistance)
{
    WritePoints("taskai.gdb", {{{500, 500}, "Stotis"}, {{520, 500}, "Bokstas"}});
    CLayer& points = AddLayer("Taskai", "taskai.gdb", CLayer::kPoint);
    // 300 + 400 metres; squares of a kilometre and of ten metres.
    CLayer& lines = AddShapes("Keliai", CLayer::kLine, {"0 0, 300 0, 300 400", "0 0, 5 0"});
    CLayer& areas = AddShapes("Plotai", CLayer::kArea, {"0 0, 1000 0, 1000 1000, 0 1000", "0 0, 10 0, 10 10, 0 10"});
    CLayer raster("Ortofoto", dir.File("foto.tif"), CLayer::kRaster);
    const std::vector<CObjectHit> hits = {
        {&points, 0, 0, {}},  {&points, 1, 20, {}}, {&lines, 0, 3, {}},  {&areas, 0, 0, {}},
        {&lines, 1, 8, {}},   {&areas, 1, 0, {}},   {&raster, 0, 0, {}}, {&points, 1, 30.5, {}},
    };
    const std::vector<CObjectAtPointRow> rows = ListObjectsAtPoint(hits, 30, doc);
    EXPECT_EQ(Column(rows, &CObjectAtPointRow::layer),
              (Texts{"Taskai", "Taskai", "Keliai", "Plotai", "Keliai", "Plotai", "Ortofoto"}));
    EXPECT_EQ(Column(rows, &CObjectAtPointRow::object), (Texts{"Stotis", "Bokstas", "S0", "S0", "S1", "S1", ""}));
    EXPECT_EQ(Column(rows, &CObjectAtPointRow::measure),
              (Texts{"", "", "700 m", "1 km\xB2", "5.000 m", "100 m\xB2", ""}));
    EXPECT_EQ(rows[6].hit.layer, &raster);

    // Without a limit every hit shows; a limit of 0 keeps those on the point.
    EXPECT_EQ(ListObjectsAtPoint(hits, DBL_MAX, doc).size(), hits.size());
    EXPECT_EQ(Column(ListObjectsAtPoint(hits, 0, doc), &CObjectAtPointRow::object), (Texts{"Stotis", "S0", "S1", ""}));
}

TEST_F(ObjectsAtPoint, EachHitIsReadInItsOwnFile)
{
    CLayer& tiles = AddTiles();
    WritePoints("kiti.gdb", {{{700, 700}, "K0"}});
    CLayer& other = AddLayer("Kiti", "kiti.gdb", CLayer::kPoint);
    const std::string a = dir.File("a.gdb"), b = dir.File("b.gdb");
    const std::vector<CObjectHit> hits = {
        {&tiles, 1, 0, a}, {&tiles, 0, 0, a}, {&tiles, 1, 0, b}, {&other, 0, 0, {}}, {&tiles, 0, 0, a},
    };
    int opens = 0;
    const std::vector<CObjectAtPointRow> rows = ListObjectsAtPoint(hits, DBL_MAX, doc, &opens);
    EXPECT_EQ(Column(rows, &CObjectAtPointRow::object), (Texts{"A1", "A0", "B1", "K0", "A0"}));
    // Again only where the layer or the file changes.
    EXPECT_EQ(opens, 4);
    EXPECT_EQ(tiles.GetPath(), dir.File("plyteles.gdb"));
    EXPECT_TRUE(tiles.HasFlag(CLayer::kManyFiles));

    // Information and marking from the hit's file, not from what the layer names.
    ShowObjectAtPointInfo(hits[2]);
    EXPECT_EQ(host.info, (Texts{"Name\tB1", "N\t1"}));
    ShowObjectAtPoint(view, CMapPoint(0, 0), &hits[2]);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    auto* marker = dynamic_cast<CPointOverlay*>(view.GetOverlay(0));
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->GetPoint(), CMapPoint(1510, 800));
    EXPECT_EQ(tiles.GetPath(), dir.File("plyteles.gdb"));
    EXPECT_TRUE(tiles.HasFlag(CLayer::kManyFiles));
}

TEST_F(ObjectsAtPoint, ASelectedRowMarksItsObject)
{
    WritePoints("taskai.gdb", {{{500, 500}, "Stotis"}});
    CLayer& points = AddLayer("Taskai", "taskai.gdb", CLayer::kPoint);
    CLayer& lines = AddShapes("Keliai", CLayer::kLine, {"0 0, 300 0, 300 400"});
    CLayer& areas = AddShapes("Plotai", CLayer::kArea, {"0 0, 1000 0, 1000 1000, 0 1000"});
    CLayer& tiles = AddLayer("Rastrai", "rastrai.tif", CLayer::kRaster);
    const CMapRect first(0, 500, 1000, 0), second(1000, 1000, 2000, 500);
    tiles.AddFile(dir.File("r1.tif"), &first);
    tiles.AddFile(dir.File("r2.tif"), &second);
    const CMapPoint clicked(600, 400);
    // Something shown before goes first.
    view.AddOverlayPoint(CMapPoint(10, 10));

    const auto shapeOf = [&] {
        EXPECT_EQ(view.GetOverlayCount(), 1);
        auto* shape = view.GetOverlayCount() == 1 ? dynamic_cast<CShapeOverlay*>(view.GetOverlay(0)) : nullptr;
        std::vector<CMapPoint> points;
        if (shape)
            for (int i = 0; i < shape->GetShape().GetPointCount(); ++i)
                points.push_back(shape->GetShape().GetPoint(i));
        return points;
    };
    const auto markerAt = [&] {
        EXPECT_EQ(view.GetOverlayCount(), 1);
        auto* marker = view.GetOverlayCount() == 1 ? dynamic_cast<CPointOverlay*>(view.GetOverlay(0)) : nullptr;
        return marker ? marker->GetPoint() : CMapPoint(-1, -1);
    };

    const CObjectHit pointHit{&points, 0, 0, {}};
    ShowObjectAtPoint(view, clicked, &pointHit);
    EXPECT_EQ(markerAt(), CMapPoint(500, 500));
    const CObjectHit lineHit{&lines, 0, 0, {}};
    ShowObjectAtPoint(view, clicked, &lineHit);
    EXPECT_EQ(shapeOf(), (std::vector<CMapPoint>{{0, 0}, {300, 0}, {300, 400}}));
    const CObjectHit areaHit{&areas, 0, 0, {}};
    ShowObjectAtPoint(view, clicked, &areaHit);
    EXPECT_EQ(shapeOf().size(), 4u);
    // A raster tile by its extent.
    const CObjectHit rasterHit{&tiles, 0, 0, dir.File("r2.tif")};
    ShowObjectAtPoint(view, clicked, &rasterHit);
    EXPECT_EQ(shapeOf(), (std::vector<CMapPoint>{{1000, 1000}, {2000, 1000}, {2000, 500}, {1000, 500}, {1000, 1000}}));
    // No row: the clicked point alone.
    ShowObjectAtPoint(view, clicked, nullptr);
    EXPECT_EQ(markerAt(), clicked);

    // Only objects of vector layers have information; a raster's row names its file.
    EXPECT_TRUE(HasObjectInformation(pointHit));
    EXPECT_TRUE(HasObjectInformation(areaHit));
    EXPECT_FALSE(HasObjectInformation(rasterHit));
    ShowObjectAtPointInfo(rasterHit);
    EXPECT_TRUE(host.info.empty());
    EXPECT_EQ(ListObjectsAtPoint({rasterHit}, DBL_MAX, doc).front().object, "r2.tif");
}

TEST_F(ObjectsAtPoint, TheNameFieldOfTheObjects)
{
    const std::string path = dir.File("vardai.dbf");
    MakeTable(path, FieldList({{"N", 'N', 6, 0}, {"NAME", 'C', 12, 0}, {"KODAS", 'C', 8, 0}}), {});
    struct Case {
        const char* idField;
        std::vector<std::string> hidden;
        int expected;
    };
    const Case cases[] = {
        {"NAME", {}, 1},
        {"kodas", {}, 2},
        {"N", {}, 0},
        {"", {}, 1},          // the first character field
        {"NERA", {}, 1},      // a field the table lacks
        {"", {"NAME"}, 2},    // the first shown one
        {"", {"NAME", "KODAS"}, 0},
    };
    for (const Case& c : cases) {
        CLayer layer("Vardai", path, CLayer::kPoint);
        layer.SetIdField(c.idField);
        CDbfTable table;
        ASSERT_TRUE(table.Open(path));
        table.SetHiddenFields(&c.hidden);
        EXPECT_EQ(ObjectNameField(layer, table), c.expected) << c.idField << " " << c.hidden.size();
    }
}

TEST_F(ObjectsAtPoint, ThePointsText)
{
    EXPECT_EQ(ObjectsAtPointText(CMapPoint(512345.5, 6123456.25), false), "X: 512345.500000; Y: 6123456.250000");
    EXPECT_EQ(ObjectsAtPointText(CMapPoint(24.5, 56), true),
              "Ilguma: E024\xB0" "30'00.0\"; Platuma: N56\xB0" "00'00.0\"");
}

TEST_F(ObjectsAtPoint, TheWindowLeavesTheClickedPointUncovered)
{
    const CRect centred(400, 300, 600, 500);
    const CRect desktop(0, 0, 1000, 800);
    struct Case {
        CPoint click;
        CRect expected;
    };
    const Case cases[] = {
        {{100, 100}, centred},               // outside: centred
        {{600, 400}, centred},               // on the right edge, outside
        {{450, 350}, {400, 382, 600, 582}},  // upper half of the desktop: 32 below
        {{450, 400}, {400, 190, 600, 390}},  // the middle counts as the lower half: 10 above
        {{599, 499}, {400, 289, 600, 489}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceObjectsAtPointWindow(centred, c.click, desktop), c.expected) << c.click.x << "," << c.click.y;
}

} // namespace
