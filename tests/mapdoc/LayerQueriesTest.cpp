// The layer queries of a map view on layers the tests write: hit tests,
// object information, marking and showing records, the attribute table
// and the record dialog, through a view of known transform: 400 x 200
// pixels over 2000 x 1000 metres, five metres a pixel, so the 16-pixel
// search box reaches 80 metres from the click.
#include "mapdoc/LayerQueries.h"

#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapOverlay.h"
#include "mapdoc/ObjectSearch.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/QueryDialogs.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "platform/NumberText.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowSurface.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/ScriptedInputQueue.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// The choice, record and file dialogs, answering from members.
class CScriptedQueryDialogs : public IQueryDialogs {
public:
    CScriptedQueryDialogs() { SetQueryDialogs(this); }
    ~CScriptedQueryDialogs() override { SetQueryDialogs(nullptr); }

    int ChooseObject(const std::vector<int32_t>& candidates, const std::vector<std::string>& names, CLayer&,
                     CDrelView&) override
    {
        choices.push_back(names);
        return chosenIndex < 0 ? -1 : candidates.at(static_cast<size_t>(chosenIndex));
    }
    bool EditRecord(CDbfTable& table, CLayer&, CDrelDoc&) override
    {
        editedRecords.push_back(table.GetCurrentRecord());
        return editAccepted;
    }
    bool ChooseLayerFile(CLayer& layer) override
    {
        ++fileChoices;
        if (chosenFile.empty())
            return false;
        layer.SetPath(chosenFile);
        return true;
    }

    int chosenIndex = 0; // -1 cancels the choice
    std::vector<std::vector<std::string>> choices;
    bool editAccepted = false;
    std::vector<int> editedRecords;
    std::string chosenFile; // empty cancels
    int fileChoices = 0;
};

// The main window: the status bar, the information window, the table windows.
class CInfoHost : public CRecordingViewHost {
public:
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string& folder) override
    {
        infoLines = lines;
        infoFolder = folder;
        log.push_back("info shown");
    }
    void CloseObjectInfo() override { log.push_back("info closed"); }

    Log log;
    std::vector<std::string> infoLines;
    std::string infoFolder;
};

class CTableHost : public CRecordingHost {
public:
    explicit CTableHost(CCallLog& log) : CRecordingHost(log), m_log(log) {}
    void OpenAttributeTable(CLayer& layer, CDrelDoc&) override { m_log.push_back("table " + layer.GetPath()); }

private:
    CCallLog& m_log;
};

class CRecordedBox : public IObjectMeasureBox {
public:
    CRecordedBox(Log& log, std::string kind) : m_log(log), m_kind(std::move(kind)) {}
    ~CRecordedBox() override { m_log.push_back(m_kind + " closed"); }
    void ShowMeasure(const std::string& name, double value) override
    {
        m_log.push_back(m_kind + " " + name + " " + FormatC("%.6f", value));
    }

private:
    Log& m_log;
    std::string m_kind;
};

// A window with pixels that records what it is asked to repaint and the
// boxes it makes.
class CQueryWindow : public CSurfaceWindow {
public:
    void InvalidateRect(const CRect& rect) override { rects.push_back(rect); }
    void UpdateView() override { log.push_back("update"); }
    std::unique_ptr<IObjectMeasureBox> CreateObjectAreaBox() override
    {
        log.push_back("area box made");
        return std::make_unique<CRecordedBox>(log, "area");
    }
    std::unique_ptr<IObjectMeasureBox> CreateObjectLengthBox() override
    {
        log.push_back("length box made");
        return std::make_unique<CRecordedBox>(log, "length");
    }

    std::vector<CRect> rects;
    Log log;
};

class LayerQueriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        ShowTestMap(doc, view, window);
    }

    // A GDB layer written into the test's folder, records named "P<i>"
    // (points) or "S<i>" (shapes) in NAME.
    CLayer& AddPoints(const std::string& name, const std::vector<CMapPoint>& points, int type = CLayer::kPoint)
    {
        {
            CGdbSource source;
            MakePointLayer(source, dir.File(name + ".gdb"), points);
        }
        return Add(name, type);
    }
    CLayer& AddShapes(const std::string& name, int type, const std::vector<std::string>& shapes)
    {
        {
            CGdbSource source;
            MakeShapeLayer(source, dir.File(name + ".gdb"), type, shapes);
        }
        return Add(name, type);
    }
    CLayer& Add(const std::string& name, int type)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(name + ".gdb"), type);
        layer->SetIdField("NAME");
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    int HitTest(CLayer& layer, const CMapPoint& p, std::string* path = nullptr)
    {
        CLayerReader reader;
        return layer.HitTest(p, reader, view, path);
    }

    CInfoHost host;
    CCallLog calls;
    CTableHost documentHost{calls};
    CScriptedUserServices user;
    CScriptedQueryDialogs dialogs;
    CQueryWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
};

const CPointOverlay* PointMark(const CDrelView& view, int index)
{
    return dynamic_cast<const CPointOverlay*>(view.GetOverlay(index));
}

const CShapeOverlay* ShapeMark(const CDrelView& view, int index)
{
    return dynamic_cast<const CShapeOverlay*>(view.GetOverlay(index));
}

void ExpectCentre(const CDrelView& view, const CMapPoint& centre)
{
    const CMapPoint at = view.GetMapExtent().Center();
    EXPECT_NEAR(at.x, centre.x, 1e-6);
    EXPECT_NEAR(at.y, centre.y, 1e-6);
}

} // namespace

TEST_F(LayerQueriesTest, HitTests)
{
    CLayer& points = AddPoints("points", {
                                             {1000, 500}, // P0 and P1 at one place
                                             {1000, 500},
                                             {1500, 500}, // P2 alone
                                             {300, 560},  // P3: 60 away by |dx| + |dy|, 60 straight
                                             {340, 540},  // P4: 80 away by |dx| + |dy|, 57 straight
                                             {2030, 500}, // P5: beyond the view's right edge
                                         });
    CLayer& tracks = AddPoints("tracks", {{1500, 500}}, CLayer::kTrack);
    // Three streets 10 m apart: the box of 80 m round a click spans all.
    CLayer& lines = AddShapes("lines", CLayer::kLine, {"0 500, 2000 500", "0 510, 2000 510", "0 520, 2000 520"});
    CLayer& areas = AddShapes("areas", CLayer::kArea,
                              {"0 0, 100 0, 100 100, 0 100", "50 0, 150 0, 150 100, 50 100", "500 500, 600 500, 600 600"});
    CLayer& raster = Add("raster", CLayer::kRaster);
    CLayer& elevation = Add("elevation", CLayer::kElevation);
    CLayer& missing = Add("missing", CLayer::kPoint);

    const struct {
        const char* name;
        CLayer& layer;
        CMapPoint click;
        int chosenIndex;
        int expected;
        std::vector<std::string> listed; // the choice dialog's names, none when it stays shut
    } cases[] = {
        {"two points at one place go to the choice", points, {1010, 505}, 1, 1, {"P0", "P1"}},
        {"a cancelled choice", points, {1010, 505}, -1, -1, {"P0", "P1"}},
        {"one point is taken without a choice", points, {1520, 490}, 0, 2, {}},
        {"points go by |dx| + |dy|", points, {300, 500}, 0, 3, {}},
        {"a track is searched as points", tracks, {1490, 530}, 0, 0, {}},
        {"the nearest of several lines", lines, {1000, 512}, 0, 1, {}},
        {"the nearest line above", lines, {1000, 560}, 0, 2, {}},
        {"an area holding the point", areas, {520, 510}, 0, 2, {}},
        {"an area boundary holds the point", areas, {150, 50}, 0, 1, {}},
        {"overlapping areas go to the choice", areas, {75, 50}, 1, 1, {"S0", "S1"}},
        {"nothing near", points, {700, 900}, 0, -2, {}},
        {"nothing near a line", lines, {1000, 800}, 0, -2, {}},
        {"outside every area", areas, {300, 300}, 0, -2, {}},
        {"the box is cut to the view", points, {1990, 500}, 0, -2, {}},
        {"a raster has no objects", raster, {1000, 500}, 0, -1, {}},
        {"an elevation model has no objects", elevation, {1000, 500}, 0, -1, {}},
        {"a file that does not open", missing, {1000, 500}, 0, -2, {}},
    };
    for (const auto& c : cases) {
        dialogs.chosenIndex = c.chosenIndex;
        dialogs.choices.clear();
        user.messages.clear();
        EXPECT_EQ(HitTest(c.layer, c.click), c.expected) << c.name;
        if (c.listed.empty()) {
            EXPECT_TRUE(dialogs.choices.empty()) << c.name;
        } else {
            EXPECT_EQ(dialogs.choices, std::vector<std::vector<std::string>>{c.listed}) << c.name;
        }
        if (&c.layer != &missing) {
            EXPECT_TRUE(user.messages.empty()) << c.name;
        }
    }
    EXPECT_EQ(user.beeps, 0) << "single files never beep";

    // Without the box cut the point beyond the edge would be found.
    std::vector<int32_t> candidates;
    EXPECT_EQ(points.FindObjectsInRect({1990, 500}, CMapRect(1900, 600, 2100, 400), candidates), 1);
    EXPECT_EQ(candidates, std::vector<int32_t>{5});
    // FindNearest makes no choice and gives the nearest point of a line.
    EXPECT_EQ(points.FindNearest({1010, 505}, view, candidates, nullptr), 1);
    EXPECT_EQ(candidates, (std::vector<int32_t>{0, 1}));
    CMapPoint snapped;
    EXPECT_EQ(lines.FindNearest({1000, 512}, view, candidates, &snapped), 1);
    EXPECT_EQ(candidates, std::vector<int32_t>{1});
    EXPECT_EQ(snapped, CMapPoint(1000, 510));
    EXPECT_EQ(raster.FindNearest({1000, 500}, view, candidates, nullptr), 0);
    EXPECT_TRUE(dialogs.choices.empty());
}

TEST_F(LayerQueriesTest, ALayerOfManyFilesTriesTheTilesInViewInOrderAndKeepsItsOwnPath)
{
    const CMapPoint click(1000, 500);
    // Tile 0 holds a point at the click but is stored as lying outside the
    // view; tile 1 meets the view with nothing near; tile 2 answers with its
    // record 1; tile 3 would answer with record 0.
    const std::vector<std::vector<CMapPoint>> tiles = {
        {click}, {{100, 100}}, {{100, 100}, click}, {click}};
    const std::vector<CMapRect> stored = {
        CMapRect(5000, 6000, 6000, 5000), CMapRect(0, 1000, 1000, 0), CMapRect(0, 1000, 2000, 0),
        CMapRect(0, 1000, 2000, 0)};
    auto layer = std::make_unique<CLayer>("tiles", dir.File("tile0.gdb"), CLayer::kPoint);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const std::string path = dir.File("tile" + std::to_string(i) + ".gdb");
        CGdbSource source;
        MakePointLayer(source, path, tiles[i]);
        layer->AddFile(path, &stored[i]);
    }
    layer->SetPath("tiles-own-path.gdb");
    const uint32_t flags = layer->GetFlags();
    ASSERT_TRUE(flags & CLayer::kManyFiles);

    CLayerReader reader;
    std::string opened;
    EXPECT_EQ(layer->HitTest(click, reader, view, &opened), 1);
    EXPECT_EQ(opened, dir.File("tile2.gdb"));
    EXPECT_EQ(layer->GetPath(), "tiles-own-path.gdb") << "a save stores the layer's own file";
    EXPECT_EQ(layer->GetFlags(), flags);
    ASSERT_TRUE(reader.IsOpen()) << "the reader keeps the tile that answered";
    CMapPoint point;
    EXPECT_TRUE(reader.GetSource()->ReadPoint(1, point));
    EXPECT_EQ(point, click);
    EXPECT_EQ(user.beeps, 0);
    // The information window takes the folder of the tile.
    EXPECT_TRUE(layer->ShowObjectInfoAt(click, view));
    EXPECT_EQ(host.infoFolder, dir.Path());
    EXPECT_EQ(host.infoLines, (std::vector<std::string>{"Name\tP1", "N\t1"}));
    EXPECT_EQ(layer->GetPath(), "tiles-own-path.gdb");

    // Nothing near in any tile beeps.
    EXPECT_EQ(layer->HitTest(CMapPoint(1800, 900), reader, view, &opened), -2);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(layer->GetPath(), "tiles-own-path.gdb");
    EXPECT_EQ(layer->GetFlags(), flags);

    // Esc waiting stops before the first tile.
    {
        CScriptedInputQueue queue;
        queue.waiting.push_back({CWaitingInput::kKeyDown, VK_ESCAPE});
        EXPECT_EQ(layer->HitTest(click, reader, view, &opened), -2);
        EXPECT_EQ(user.beeps, 2);
    }
    SetDrawStopFlag(0);
    // A drawing stopped earlier does not stop the search.
    SetDrawStopFlag(1);
    EXPECT_EQ(layer->HitTest(click, reader, view, &opened), 1);
    EXPECT_EQ(GetDrawStopFlag(), 1);
    SetDrawStopFlag(0);
    // The other searches serve single files only.
    std::vector<int32_t> candidates;
    EXPECT_EQ(layer->FindNearest(click, view, candidates, nullptr), 0);
}

TEST_F(LayerQueriesTest, ObjectInformation)
{
    CLayer& streets = AddShapes("streets", CLayer::kLine, {"0 500, 2000 500", "0 800, 2000 800"});
    // Thirteen points, without a table field named as the id field.
    std::vector<CMapPoint> many;
    for (int i = 0; i < 13; ++i)
        many.emplace_back(100 + i * 100, 200);
    CLayer& unnamed = AddPoints("unnamed", many);
    unnamed.SetIdField("CODE");
    CLayer& raster = Add("raster", CLayer::kRaster);

    view.AddOverlayPoint(CMapPoint(50, 50)); // from an earlier query
    EXPECT_TRUE(streets.ShowObjectInfoAt(CMapPoint(1000, 790), view));
    ASSERT_EQ(view.GetOverlayCount(), 1) << "the earlier mark is gone";
    ASSERT_NE(ShapeMark(view, 0), nullptr);
    EXPECT_EQ(ShapeMark(view, 0)->GetShape().GetPoint(0), CMapPoint(0, 800));
    EXPECT_EQ(host.infoLines, (std::vector<std::string>{"Name\tS1", "N\t1"}));
    EXPECT_EQ(host.infoFolder, dir.Path());
    ASSERT_FALSE(host.messageTexts.empty());
    EXPECT_EQ(host.messageTexts.back(), "S1");

    EXPECT_TRUE(unnamed.ShowObjectInfoAt(CMapPoint(1310, 210), view));
    ASSERT_EQ(view.GetOverlayCount(), 1);
    ASSERT_NE(PointMark(view, 0), nullptr);
    EXPECT_EQ(PointMark(view, 0)->GetPoint(), CMapPoint(1300, 200));
    EXPECT_EQ(host.infoLines, (std::vector<std::string>{"Name\tP12", "N\t12"}));
    EXPECT_EQ(host.messageTexts.back(), "<12>");

    // Nothing there: the marks go, nothing is shown.
    host.log.clear();
    EXPECT_FALSE(streets.ShowObjectInfoAt(CMapPoint(1000, 100), view));
    EXPECT_EQ(view.GetOverlayCount(), 0);
    EXPECT_TRUE(host.log.empty());

    // Wrong types.
    window.log.clear();
    EXPECT_FALSE(raster.ShowObjectInfoAt(CMapPoint(1000, 500), view));
    raster.ShowAreaAt(CMapPoint(1000, 500), view);
    streets.ShowAreaAt(CMapPoint(1000, 500), view);
    unnamed.ShowLengthAt(CMapPoint(1000, 500), view);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1058, 1033, 1033, 1034}));
    EXPECT_TRUE(window.log.empty()) << "no box for a wrong type";

    // The record's information alone, the window closed first when asked.
    host.log.clear();
    streets.ShowRecordInfo(0, true);
    EXPECT_EQ(host.log, (Log{"info closed", "info shown"}));
    EXPECT_EQ(host.infoLines, (std::vector<std::string>{"Name\tS0", "N\t0"}));
    streets.ShowRecordInfo(1, false);
    EXPECT_EQ(host.log.back(), "info shown");
    EXPECT_EQ(host.log.size(), 3u);
}

TEST_F(LayerQueriesTest, AreaAndLengthReachTheBoxesWithTheName)
{
    // A square of 200 x 200 m and a street of 1.5 km.
    CLayer& blocks = AddShapes("blocks", CLayer::kArea, {"100 100, 300 100, 300 300, 100 300, 100 100"});
    CLayer& streets = AddShapes("streets", CLayer::kLine, {"0 500, 1500 500"});

    blocks.ShowAreaAt(CMapPoint(200, 200), view);
    EXPECT_EQ(window.log, (Log{"area box made", "area S0 0.040000"}));
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_NE(ShapeMark(view, 0), nullptr);
    EXPECT_EQ(host.messageTexts.back(), "S0");

    // The length of an area is its outline's. Each new mark clears the
    // overlays, which close the boxes.
    blocks.ShowLengthAt(CMapPoint(200, 200), view);
    streets.ShowLengthAt(CMapPoint(700, 510), view);
    EXPECT_EQ(window.log, (Log{"area box made", "area S0 0.040000", "area closed", "update", "length box made",
                               "length S0 0.800000", "length closed", "update", "length box made",
                               "length S0 1.500000"}));
    ASSERT_EQ(view.GetOverlayCount(), 1);

    // The object search of the tools marks through the layer.
    CShape geometry;
    EXPECT_TRUE(ObjectSearch().MarkObjectAt(streets, CMapPoint(700, 510), view, geometry));
    EXPECT_EQ(geometry.GetPointCount(), 2);
    EXPECT_FALSE(ObjectSearch().MarkObjectAt(streets, CMapPoint(700, 900), view, geometry));
}

TEST_F(LayerQueriesTest, OverlayList)
{
    // Added while shown: on the window at once.
    const CMapPoint at(1000, 500);
    const CPoint pixel = view.MapToClient(at);
    view.AddOverlayPoint(at);
    EXPECT_EQ(qGray(window.surface.Image().pixel(pixel.x, pixel.y + 2)), 0);
    window.surface.Image().fill(Qt::white);
    EXPECT_EQ(view.ShowOverlays(0), 0);
    view.AddOverlayText(CMapPoint(500, 500), "12A", 0);
    view.AddOverlayLine(CMapPoint(100, 100), CMapPoint(300, 100));
    CShape road;
    road.SetPoints(2, std::vector<CMapPoint>{{500, 800}, {1500, 800}}.data());
    view.AddOverlayShape(road);
    EXPECT_EQ(view.GetOverlayCount(), 4);
    EXPECT_EQ(window.surface.Image().pixel(pixel.x, pixel.y + 2), qRgb(255, 255, 255)) << "hidden overlays wait";
    EXPECT_EQ(view.ShowOverlays(1), 1);
    EXPECT_EQ(qGray(window.surface.Image().pixel(pixel.x, pixel.y + 2)), 0) << "shown again, all are drawn";
    ASSERT_NE(dynamic_cast<CTextOverlay*>(view.GetOverlay(1)), nullptr);

    // Clearing repaints only where each was; the label's box is where it was drawn.
    std::vector<CRect> expected;
    for (int i = 0; i < view.GetOverlayCount(); ++i) {
        CRect rect;
        ASSERT_TRUE(view.GetOverlay(i)->GetRect(view, rect)) << i;
        expected.push_back(rect);
    }
    host.messageTexts.clear();
    const int invalidations = window.invalidations;
    view.ClearOverlays();
    EXPECT_EQ(view.GetOverlayCount(), 0);
    EXPECT_EQ(window.rects, expected);
    EXPECT_EQ(window.invalidations, invalidations) << "not the whole window";
    EXPECT_EQ(host.messageTexts, std::vector<std::string>{""});
    EXPECT_EQ(window.log, Log{"update"});

    // Nothing to clear leaves the status bar alone; an overlay off the
    // screen repaints nothing.
    view.ClearOverlays();
    EXPECT_EQ(host.messageTexts.size(), 1u);
    view.AddOverlayPoint(CMapPoint(5000, 5000));
    window.rects.clear();
    view.ClearOverlays();
    EXPECT_TRUE(window.rects.empty());
    EXPECT_EQ(host.messageTexts.size(), 2u);
}

TEST_F(LayerQueriesTest, ShowRecord)
{
    doc.Settings().optimScale = 5000;
    CLayer& points = AddPoints("points", {{1000, 500}, {5000, 5000}});
    CLayer& streets = AddShapes("streets", CLayer::kLine, {"4000 4000, 6000 4000", "1000 100, 1200 300"});
    const CMapRect start = view.GetMapExtent();
    const double startScale = view.GetScaleDenominator();

    // A point in view without zoom: the view stays.
    points.ShowRecord(0, view, false);
    EXPECT_EQ(view.GetMapExtent(), start);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_EQ(PointMark(view, 0)->GetPoint(), CMapPoint(1000, 500));
    // Outside: centred there, the scale kept.
    points.ShowRecord(1, view, false);
    ExpectCentre(view, CMapPoint(5000, 5000));
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), startScale);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_EQ(PointMark(view, 0)->GetPoint(), CMapPoint(5000, 5000));
    // With zoom: the scale for found objects, centred.
    points.ShowRecord(0, view, true);
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), 5000);
    ExpectCentre(view, CMapPoint(1000, 500));

    // A line with zoom: its box enlarged by 1.1, the scale for found
    // objects only as the limit, which stays the document's afterwards.
    const double minimum = doc.GetMinUnitsPerPixel();
    streets.ShowRecord(0, view, true);
    CMapRect box(4000, 4000, 6000, 4000);
    box.Scale(1.1);
    EXPECT_NEAR(view.GetMapExtent().Width(), box.Width(), 1e-6);
    ExpectCentre(view, CMapPoint(5000, 4000));
    EXPECT_EQ(doc.GetMinUnitsPerPixel(), minimum);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_NE(ShapeMark(view, 0), nullptr);
    // A short line zoomed to stops at the limit.
    streets.ShowRecord(1, view, true);
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), 5000);
    ExpectCentre(view, CMapPoint(1100, 200));
    // Without zoom the view moves only when the box's centre is outside.
    const CMapRect here = view.GetMapExtent();
    streets.ShowRecord(1, view, false);
    EXPECT_EQ(view.GetMapExtent(), here);
    streets.ShowRecord(0, view, false);
    ExpectCentre(view, CMapPoint(5000, 4000));

    // An unreadable record says so and leaves the marks.
    const int marks = view.GetOverlayCount();
    points.ShowRecord(7, view, false);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(view.GetOverlayCount(), marks);
}

TEST_F(LayerQueriesTest, ShowRecords)
{
    doc.Settings().optimScale = 5000;
    CLayer& points = AddPoints("points", {{1000, 500}, {1100, 600}, {8000, 8000}, {9000, 9000}});
    CLayer& streets = AddShapes("streets", CLayer::kLine, {"4000 4000, 6000 4000", "5000 5000, 6000 6000"});
    const CMapRect start = view.GetMapExtent();

    // One of them in view: the view stays.
    points.ShowRecords({0, 2}, view, false);
    EXPECT_EQ(view.GetMapExtent(), start);
    EXPECT_EQ(view.GetOverlayCount(), 2);
    EXPECT_TRUE(view.AreOverlaysShown());
    // None in view: centred on the first.
    points.ShowRecords({3, 2}, view, false);
    ExpectCentre(view, CMapPoint(9000, 9000));
    EXPECT_EQ(view.GetOverlayCount(), 2) << "the marks before are cleared";

    // With zoom: the union enlarged by 1.2.
    streets.ShowRecords({0, 1}, view, true);
    CMapRect all(4000, 6000, 6000, 4000);
    all.Scale(1.2);
    const CMapRect extent = view.GetMapExtent();
    EXPECT_NEAR(extent.Height(), all.Height(), 1e-6);
    ExpectCentre(view, CMapPoint(5000, 5000));
    // Points close together stop at the scale for found objects.
    points.ShowRecords({0, 1}, view, true);
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), 5000);

    // An unreadable record: message 1028, and the records read before it
    // stay marked and are drawn.
    view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
    window.surface.Image().fill(Qt::white);
    points.ShowRecords({0, 17, 1}, view, false);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_TRUE(view.AreOverlaysShown());
    const CPoint pixel = view.MapToClient(CMapPoint(1000, 500));
    EXPECT_EQ(qGray(window.surface.Image().pixel(pixel.x, pixel.y + 2)), 0) << "the mark is on the window";
    // Other types do nothing.
    Add("raster", CLayer::kRaster).ShowRecords({0}, view, true);
    EXPECT_EQ(view.GetOverlayCount(), 1);
}

TEST_F(LayerQueriesTest, TablesRecordsAndNamedPoints)
{
    CLayer& points = AddPoints("points", {{1000, 500}, {1100, 600}, {1200, 700}});
    CLayer& raster = Add("raster", CLayer::kRaster);
    CLayer& elevation = Add("elevation", CLayer::kElevation);

    raster.ShowTable(doc);
    elevation.ShowTable(doc);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1057, 1057}));
    points.ShowTable(doc);
    EXPECT_EQ(calls, CCallLog{"table " + points.GetPath()});

    // A layer of many files asks for its file first; Cancel ends it.
    auto tiles = std::make_unique<CLayer>("tiles", dir.File("tiles.gdb"), CLayer::kPoint);
    tiles->AddFile(points.GetPath());
    tiles->ShowTable(doc);
    EXPECT_EQ(dialogs.fileChoices, 1);
    EXPECT_EQ(calls.size(), 1u);
    dialogs.chosenFile = points.GetPath();
    tiles->ShowTable(doc);
    EXPECT_EQ(calls.back(), "table " + points.GetPath());

    // The record dialog on the layer's own table, or on the one given.
    EXPECT_FALSE(points.EditRecord(view, 1));
    dialogs.editAccepted = true;
    EXPECT_TRUE(points.EditRecord(view, 2));
    EXPECT_FALSE(points.EditRecord(view, 9)) << "a record that is not there";
    CDbfTable table;
    ASSERT_TRUE(points.OpenTable(table));
    EXPECT_TRUE(points.EditRecord(view, 0, &table));
    EXPECT_EQ(dialogs.editedRecords, (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(Add("missing", CLayer::kPoint).EditRecord(view, 0));

    std::vector<CDbfFieldInfo> fields;
    ASSERT_TRUE(points.ReadFieldList(fields));
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(std::string(fields[0].name), "NAME");
    EXPECT_EQ(std::string(fields[1].name), "N");

    // Named by the id field, else by field 0; only the points read.
    std::vector<CNamedPoint> named;
    points.SetFilter("N <> 1");
    ASSERT_TRUE(points.GetNamedPoints(named));
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[1].name, "P2");
    EXPECT_EQ(named[1].x, 1200);
    EXPECT_EQ(named[1].y, 700);
    points.SetFilter("");
    points.SetIdField("N");
    ASSERT_TRUE(points.GetNamedPoints(named));
    ASSERT_EQ(named.size(), 3u);
    EXPECT_EQ(named[1].name, "1");
    points.SetIdField("NONE");
    ASSERT_TRUE(points.GetNamedPoints(named));
    EXPECT_EQ(named[1].name, "P1");
    EXPECT_FALSE(Add("absent", CLayer::kPoint).GetNamedPoints(named));
}
