// Distance, area and perimeter, azimuth, point coordinates and the
// distance along the road, with their result boxes and their rubber bands.

#include "mapdoc/AreaPerimeterTool.h"
#include "mapdoc/AzimuthTool.h"
#include "mapdoc/DistanceTool.h"
#include "mapdoc/PointCoordTool.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/RoadDistance.h"
#include "mapdoc/TextOverlay.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// 400 x 200 pixels over 2040 x 1020 metres: 5.1 m a pixel, the client
// origin at (-20, 1010).
const CMapRect kLimits(0, 1000, 2000, 0);
constexpr double kMetresPerPixel = 5.1;

class MeasuringToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        SetMetreMap(doc, kLimits);
        f = std::make_unique<CToolFixture>(doc);
        f->view->realTools = true;
        f->window.boxes = &boxes;
    }
    void TearDown() override { MapToolMode = 0; }

    template <class Tool>
    Tool& Use(int mode)
    {
        f->view->SetToolMode(mode);
        EXPECT_EQ(f->view->CreateToolForMode(), 1);
        auto* tool = dynamic_cast<Tool*>(f->view->GetTool());
        EXPECT_NE(tool, nullptr);
        return *tool;
    }
    void Click(int x, int y)
    {
        f->view->OnMouseMove(0, x, y);
        f->view->OnLButtonDown(MK_LBUTTON, x, y);
        f->view->OnLButtonUp(0, x, y);
    }
    static double Km(int pixels) { return pixels * kMetresPerPixel * 0.001; }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingBoxes boxes;
    CDrelDoc doc;
    std::unique_ptr<CToolFixture> f;
};

} // namespace

TEST_F(MeasuringToolsTest, DistanceAlongClickedPoints)
{
    auto& tool = Use<CDistanceTool>(5);
    // Before a click a move measures nothing.
    f->view->OnMouseMove(0, 50, 50);
    EXPECT_TRUE(boxes.log.empty());
    Click(100, 100);
    EXPECT_TRUE(f->SurfaceIsMap());
    f->view->OnMouseMove(0, 200, 100);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", Km(100), 0));
    EXPECT_FALSE(f->SurfaceIsMap());
    f->view->OnLButtonDown(MK_LBUTTON, 200, 100);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, Km(100)));
    // The same point twice: a segment of no length.
    f->view->OnLButtonDown(MK_LBUTTON, 200, 100);
    EXPECT_EQ(tool.GetPoints().GetSize(), 3);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, Km(100)));
    f->view->OnMouseMove(0, 200, 160);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", Km(60), Km(100)));

    // A redraw takes the band away until the next move.
    f->view->Redraw();
    f->Paint();
    const int lineOnly = f->MarkedPixels();
    EXPECT_EQ(lineOnly, 100);
    EXPECT_TRUE(tool.GetCursorPoint() == tool.GetPoints()[2]);
    f->view->OnMouseMove(0, 200, 150);
    EXPECT_EQ(f->MarkedPixels(), lineOnly + 50);
    // A copy of the map shows line and band again.
    f->Paint();
    EXPECT_EQ(f->MarkedPixels(), lineOnly + 50);

    // Delete takes the last point; the band runs from the one before.
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(tool.GetPoints().GetSize(), 2);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", Km(50), Km(100)));
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", std::hypot(Km(100), Km(50)), 0));
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(tool.GetPoints().GetSize(), 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, 0));
    EXPECT_TRUE(f->SurfaceIsMap());
    f->view->OnKeyDown(VK_DELETE, 1, 0);

    // Clearing the measurement, and a double click ending it.
    Click(10, 10);
    Click(60, 10);
    f->view->ClearMeasurements();
    EXPECT_EQ(tool.GetPoints().GetSize(), 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, 0));
    // The repaint it asked for takes the line off.
    f->window.UpdateView();
    EXPECT_TRUE(f->SurfaceIsMap());
    Click(10, 10);
    Click(60, 10);
    f->view->OnLButtonDblClk(MK_LBUTTON, 60, 10);
    EXPECT_TRUE(f->SurfaceIsMap());
    EXPECT_EQ(boxes.open, 0);
    EXPECT_EQ(host.messageTexts.back(), "");
    f->view->OnSetCursor(0);
    EXPECT_EQ(f->window.cursor, 113);
}

TEST_F(MeasuringToolsTest, DeleteWithOnePointShowsZeroAndLeavesNoPoints)
{
    auto& tool = Use<CDistanceTool>(5);
    Click(100, 100);
    f->view->OnMouseMove(0, 150, 100);
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, 0));
    EXPECT_EQ(tool.GetPoints().GetSize(), 0);
    EXPECT_TRUE(f->SurfaceIsMap());
}

TEST_F(MeasuringToolsTest, AreaAndPerimeterCloseTheRing)
{
    auto& tool = Use<CAreaPerimeterTool>(6);
    Click(100, 100);
    Click(200, 100);
    // Two points: no area, there and back.
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("area", 0, 2 * Km(100)));
    Click(200, 150);
    const double side = Km(100), up = Km(50);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("area", side * up / 2, side + up + std::hypot(side, up)));
    EXPECT_NEAR(tool.GetAreaKm2(), side * up / 2, 1e-12);
    f->view->OnMouseMove(0, 100, 150);
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("area", 0, 2 * Km(100)));
    f->view->Redraw();
    f->Paint();
    f->view->OnMouseMove(0, 250, 20);
    f->view->OnLButtonDblClk(MK_LBUTTON, 250, 20);
    EXPECT_TRUE(f->SurfaceIsMap());
    EXPECT_EQ(boxes.open, 0);
    EXPECT_EQ(tool.GetPoints().GetSize(), 0);
}

TEST_F(MeasuringToolsTest, AzimuthShowsNothingBeforeAClick)
{
    auto& tool = Use<CAzimuthTool>(19);
    f->view->OnMouseMove(0, 50, 50);
    EXPECT_TRUE(boxes.log.empty());
    EXPECT_FALSE(tool.IsShown());
    f->view->OnLButtonDown(MK_LBUTTON, 100, 100);
    f->view->OnMouseMove(0, 200, 100);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("azimuth", 90, 270));
    f->view->OnMouseMove(0, 100, 20);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("azimuth", 0, 180));
    EXPECT_FALSE(f->SurfaceIsMap());
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_TRUE(f->SurfaceIsMap());
    EXPECT_EQ(boxes.open, 1);
    f->view->OnLButtonDown(MK_LBUTTON, 100, 100);
    f->view->OnMouseMove(0, 120, 120);
    f->view->OnLButtonDblClk(MK_LBUTTON, 120, 120);
    EXPECT_TRUE(f->SurfaceIsMap());
    EXPECT_EQ(boxes.open, 0);
}

TEST_F(MeasuringToolsTest, PointCoordinatesByMapUnits)
{
    const CMapPoint p(12.3456, 54.6789);
    struct Case {
        int units;
        std::string text;
    };
    const Case cases[] = {
        {kUnitsMetres, "(12.35; 54.68)"},
        {kUnitsKilometres, "(12.346; 54.679)"},
        {kUnitsNauticalMiles, "(12.346; 54.679)"},
        {kUnitsDegrees, p.FormatLongitude(0) + " " + p.FormatLatitude(0)},
    };
    for (const Case& c : cases) {
        doc.Settings().mapUnits = c.units;
        EXPECT_EQ(CPointCoordTool::FormatPoint(doc, p), c.text);
    }
    EXPECT_NE(cases[3].text.find('"'), std::string::npos);

    doc.Settings().mapUnits = kUnitsMetres;
    Use<CPointCoordTool>(22);
    f->view->OnLButtonDown(MK_LBUTTON, 100, 100);
    f->view->OnLButtonDown(MK_LBUTTON, 120, 100);
    // One marker and its label: the click before is cleared.
    ASSERT_EQ(f->view->GetOverlayCount(), 2);
    EXPECT_NE(dynamic_cast<CPointOverlay*>(f->view->GetOverlay(0)), nullptr);
    auto* label = dynamic_cast<CTextOverlay*>(f->view->GetOverlay(1));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "(592.00; 500.00)");
}

TEST_F(MeasuringToolsTest, ObjectAreaAndLengthBoxesAreMadeOnceAndClosedWithTheOverlays)
{
    f->view->ShowAreaPopup("Parkas", 0.25);
    f->view->ShowAreaPopup("Aikštė", 0.5);
    f->view->ShowLengthPopup("Gatvė", 1.5);
    EXPECT_EQ(boxes.log, (std::vector<std::string>{"open object-area", "object-area Parkas 0.250 0.000",
                                                   "object-area Aikštė 0.500 0.000", "open object-length",
                                                   "object-length Gatvė 1.500 0.000"}));
    f->view->ClearOverlays();
    EXPECT_EQ(boxes.open, 0);
}

// ------------------------------------------------------------ along the road

namespace {

class RoadDistanceTest : public MeasuringToolsTest {
protected:
    void SetUp() override
    {
        MeasuringToolsTest::SetUp();
        auto roads = MakeExtentLayer("Roads", kLimits);
        roads->SetType(CLayer::kLine);
        doc.AddLayer(std::move(roads), false);
        doc.Settings().routesLayer = "Roads";
    }
    CRoadDistance* Measure() const { return f->view->GetRoadDistanceMeasure(); }
};

// A road distance that logs the symbols it draws at the legs' ends.
class CSymbolLoggingRoadDistance : public CRoadDistance {
public:
    using CRoadDistance::CRoadDistance;
    std::vector<int> symbols;

protected:
    void DrawEndSymbol(CDC& dc, const CPoint& at, int symbol) override { symbols.push_back(symbol); }
};

} // namespace

TEST_F(RoadDistanceTest, NothingWithoutARoutingLayer)
{
    CInstalledLineRouter router;
    doc.Settings().routesLayer.clear();
    Use<CRoadDistanceTool>(23);
    user.messages.clear();
    Click(100, 100);
    Click(200, 100);
    ASSERT_NE(Measure(), nullptr);
    EXPECT_EQ(Measure()->GetPoints().GetSize(), 0);
    EXPECT_TRUE(boxes.log.empty());
    EXPECT_EQ(f->view->HasRoadDistance(), 0);
}

TEST_F(RoadDistanceTest, LegsSnapTheirEndsAndDeleteTakesTheLastLeg)
{
    // The road runs along y = 0: client row 1010 / 5.1.
    CInstalledLineRouter router(1500);
    Use<CRoadDistanceTool>(23);
    Click(100, 100); // (490, 500)
    Click(200, 100); // (1000, 500): a leg along the road from 490 to 1000
    CRoadDistance& m = *Measure();
    ASSERT_EQ(m.GetLegs().size(), 1u);
    EXPECT_TRUE(m.GetPoints()[1] == CMapPoint(1000, 0));
    EXPECT_NEAR(m.GetTotalKm(), 0.510, 1e-9);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, 0.510));
    EXPECT_EQ(f->view->HasRoadDistance(), 1);
    Click(250, 100); // (1255, 500)
    EXPECT_NEAR(m.GetTotalKm(), 0.765, 1e-9);
    f->view->OnMouseMove(0, 250, 200);
    // Straight from the last snapped point (1255, 0) to (1255, -10).
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0.010, 0.765));

    // Delete: the last leg goes with its point.
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(m.GetLegs().size(), 1u);
    EXPECT_EQ(m.GetPoints().GetSize(), 2);
    EXPECT_NEAR(m.GetTotalKm(), 0.510, 1e-9);
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(m.GetLegs().size(), 0u);
    EXPECT_EQ(m.GetPoints().GetSize(), 1);
    EXPECT_NEAR(m.GetTotalKm(), 0, 1e-12);
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(m.GetPoints().GetSize(), 0);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, 0));
}

TEST_F(RoadDistanceTest, AClickThatCannotBeRoutedIsDroppedWithABeep)
{
    CInstalledLineRouter router(1500);
    Use<CRoadDistanceTool>(23);
    Click(100, 100);
    Click(200, 100);
    Click(390, 100); // x = 1969: no road there
    CRoadDistance& m = *Measure();
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(m.GetPoints().GetSize(), 2);
    EXPECT_EQ(m.GetLegs().size(), 1u);
    EXPECT_NEAR(m.GetTotalKm(), 0.510, 1e-9);
    // Delete still takes the leg of the last point kept, and the total is right.
    f->view->OnKeyDown(VK_DELETE, 1, 0);
    EXPECT_EQ(m.GetLegs().size(), 0u);
    EXPECT_NEAR(m.GetTotalKm(), 0, 1e-12);
}

TEST_F(RoadDistanceTest, TheMeasureOutlivesItsToolAndEndsWithItsCommand)
{
    CInstalledLineRouter router;
    auto owned = std::make_unique<CSymbolLoggingRoadDistance>(f->view.get());
    CSymbolLoggingRoadDistance* measure = owned.get();
    f->view->SetRoadDistance(std::move(owned));
    Use<CRoadDistanceTool>(23);
    Click(100, 100);
    Click(200, 100);
    Click(300, 100);
    EXPECT_EQ(Measure(), measure);
    ASSERT_EQ(measure->GetLegs().size(), 2u);
    EXPECT_EQ(boxes.open, 1);

    // Another tool: the box closes, the road stays and is drawn under it.
    f->view->SetToolMode(5);
    ASSERT_EQ(f->view->CreateToolForMode(), 1);
    EXPECT_EQ(boxes.open, 0);
    EXPECT_EQ(Measure(), measure);
    measure->symbols.clear();
    f->view->Redraw();
    f->Paint(); // phase 4
    EXPECT_EQ(measure->symbols, (std::vector<int>{183, 79, 79, 185}));
    measure->symbols.clear();
    f->Paint(); // phase 3
    EXPECT_EQ(measure->symbols, (std::vector<int>{183, 79, 79, 185}));
    // The road drawn in blue along y = 0.
    const CPoint on = f->Client(750, 0);
    EXPECT_EQ(f->window.surface.Image().pixel(on.x, on.y) & 0xFFFFFF, 0x0000FFu);

    f->view->ClearRoadDistance();
    EXPECT_EQ(measure->GetPoints().GetSize(), 0);
    EXPECT_EQ(f->view->HasRoadDistance(), 0);
    measure->symbols.clear();
    f->Paint();
    EXPECT_TRUE(measure->symbols.empty());
    EXPECT_TRUE(f->SurfaceIsMap());
}
