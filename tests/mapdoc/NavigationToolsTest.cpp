// Zoom in and out, the zoom window with its rubber band, pan, and the
// information tools.

#include "mapdoc/ContextView.h"
#include "mapdoc/InfoTool.h"
#include "mapdoc/PanTool.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/StreetInfoTool.h"
#include "mapdoc/TextOverlay.h"
#include "mapdoc/ZoomWindowTool.h"
#include "layers/GdbSource.h"
#include "platform/VirtualKeys.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);

void ExpectRectNear(const CMapRect& actual, const CMapRect& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.left, expected.left, tolerance);
    EXPECT_NEAR(actual.top, expected.top, tolerance);
    EXPECT_NEAR(actual.right, expected.right, tolerance);
    EXPECT_NEAR(actual.bottom, expected.bottom, tolerance);
}

class NavigationToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        SetMetreMap(doc, kLimits);
        f = std::make_unique<CToolFixture>(doc);
        f->view->realTools = true;
        // Something to see on the map, so that marks over it show.
        f->view->colours["A"] = RGB(0, 128, 0);
        doc.AddLayer(MakeExtentLayer("A", CMapRect(200, 800, 1200, 200)), false);
        f->view->Redraw();
        f->Paint();
    }
    void TearDown() override { MapToolMode = 0; }

    // The view in the mode with its tool made.
    template <class Tool>
    Tool& Use(int mode)
    {
        f->view->SetToolMode(mode);
        EXPECT_EQ(f->view->CreateToolForMode(), 1);
        auto* tool = dynamic_cast<Tool*>(f->view->GetTool());
        EXPECT_NE(tool, nullptr);
        return *tool;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    std::unique_ptr<CToolFixture> f;
};

} // namespace

TEST_F(NavigationToolsTest, ZoomInAndOutByTwoShiftSwapping)
{
    struct Case {
        int mode;
        unsigned flags;
        double factor;
    };
    const Case cases[] = {{1, 0, 0.5}, {1, MK_SHIFT, 2}, {2, 0, 2}, {2, MK_SHIFT, 0.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + (c.flags ? " with Shift" : ""));
        f->view->SetToolMode(c.mode);
        const double before = f->view->GetScaleDenominator();
        const CMapPoint clicked = f->view->ClientToMap(100, 50);
        const int entries = f->view->GetHistory().GetSize();
        f->view->OnLButtonDown(MK_LBUTTON | c.flags, 100, 50);
        EXPECT_NEAR(f->view->GetScaleDenominator(), before * c.factor, 1e-9 * before);
        // The clicked point is the new centre.
        const CMapPoint centre = f->view->GetMapExtent().Center();
        EXPECT_NEAR(centre.x, clicked.x, 1e-6);
        EXPECT_NEAR(centre.y, clicked.y, 1e-6);
        EXPECT_EQ(f->view->GetHistory().GetSize(), entries + 1);
        f->Paint();
    }
}

TEST_F(NavigationToolsTest, ZoomWindowWaitsForAClickInsideItAndEveryEraseLeavesTheMap)
{
    auto& tool = Use<CZoomWindowTool>(0);
    const CMapRect extent = f->view->GetMapExtent();
    f->view->OnLButtonDown(MK_LBUTTON, 100, 40);
    EXPECT_TRUE(f->SurfaceIsMap()); // a band of no size shows nothing
    f->view->OnMouseMove(MK_LBUTTON, 150, 90);
    EXPECT_FALSE(f->SurfaceIsMap());
    f->view->OnMouseMove(MK_LBUTTON, 200, 120);
    // A repaint in the middle of the drag keeps the band.
    f->Paint();
    f->view->OnMouseMove(MK_LBUTTON, 220, 140);
    f->view->OnLButtonUp(0, 220, 140);
    ASSERT_TRUE(tool.HasPending());
    EXPECT_EQ(tool.GetPending(), CRect(100, 40, 220, 140));
    EXPECT_FALSE(f->SurfaceIsMap());
    f->Paint(); // shown again after a copy of the map
    EXPECT_FALSE(f->SurfaceIsMap());
    // The cursor shows the rectangle takes a click.
    f->view->OnMouseMove(0, 150, 100);
    f->view->OnSetCursor(0);
    EXPECT_EQ(f->window.cursor, 114);
    f->view->OnMouseMove(0, 300, 100);
    f->view->OnSetCursor(0);
    EXPECT_EQ(f->window.cursor, 0);

    // A click outside erases it and starts another.
    f->view->OnLButtonDown(MK_LBUTTON, 10, 10);
    EXPECT_TRUE(f->SurfaceIsMap());
    EXPECT_FALSE(tool.HasPending());
    f->view->OnMouseMove(MK_LBUTTON, 60, 50);
    f->view->OnLButtonUp(0, 60, 50);
    ExpectRectNear(f->view->GetMapExtent(), extent);

    // A click inside zooms there.
    const CMapRect target = f->view->ClientRectToMap(CRect(10, 10, 60, 50));
    f->view->OnLButtonDown(MK_LBUTTON, 30, 30);
    EXPECT_FALSE(tool.HasPending());
    const CMapRect zoomed = f->view->GetMapExtent();
    EXPECT_NEAR(zoomed.Center().x, target.Center().x, 1e-6);
    EXPECT_NEAR(zoomed.Center().y, target.Center().y, 1e-6);
    EXPECT_LE(zoomed.left, target.left + 1e-9);
    EXPECT_GE(zoomed.top, target.top - 1e-9);
}

TEST_F(NavigationToolsTest, ZoomWindowBelowTwoPixelsCollapsesAndARedrawForgetsIt)
{
    auto& tool = Use<CZoomWindowTool>(0);
    const CMapRect extent = f->view->GetMapExtent();
    struct Case {
        int x, y;
    };
    // Less than 2 pixels in one direction.
    for (const Case& c : {Case{101, 90}, Case{160, 41}, Case{100, 40}}) {
        f->view->OnLButtonDown(MK_LBUTTON, 100, 40);
        f->view->OnMouseMove(MK_LBUTTON, c.x, c.y);
        f->view->OnLButtonUp(0, c.x, c.y);
        EXPECT_TRUE(f->SurfaceIsMap());
        EXPECT_TRUE(tool.GetPending().IsRectEmpty());
        // The next click at the same corner zooms nowhere.
        f->view->OnLButtonDown(MK_LBUTTON, 100, 40);
        f->view->OnLButtonUp(0, 100, 40);
        ExpectRectNear(f->view->GetMapExtent(), extent);
        EXPECT_TRUE(f->SurfaceIsMap());
    }
    // The second corner stays in the client area.
    f->view->OnLButtonDown(MK_LBUTTON, 100, 40);
    f->view->OnMouseMove(MK_LBUTTON, 900, -30);
    f->view->OnLButtonUp(0, 900, -30);
    EXPECT_EQ(tool.GetPending(), CRect(100, 0, 400, 40));

    f->view->Redraw();
    f->Paint();
    EXPECT_FALSE(tool.HasPending());
    EXPECT_TRUE(f->SurfaceIsMap());
    f->view->OnLButtonDown(MK_LBUTTON, 200, 20);
    f->view->OnLButtonUp(0, 200, 20);
    ExpectRectNear(f->view->GetMapExtent(), extent);
    // Leaving the tool takes its rectangle off the window.
    f->view->OnLButtonDown(MK_LBUTTON, 10, 10);
    f->view->OnLButtonUp(0, 80, 70);
    EXPECT_FALSE(f->SurfaceIsMap());
    f->view->SetToolMode(3);
    EXPECT_TRUE(f->SurfaceIsMap());
}

TEST_F(NavigationToolsTest, PanShowsTheMapMovedAndPansAtTheRelease)
{
    Use<CPanTool>(3);
    const CMapRect extent = f->view->GetMapExtent();
    const int entries = f->view->GetHistory().GetSize();
    const QImage before = f->window.surface.Image().copy();
    f->view->OnLButtonDown(MK_LBUTTON, 100, 100);
    EXPECT_TRUE(f->view->IsPanning());
    f->view->OnMouseMove(MK_LBUTTON, 130, 90);
    f->view->OnMouseMove(MK_LBUTTON, 140, 80);
    EXPECT_EQ(f->view->GetPanOffset(), CSize(40, -20));
    // The window shows the map moved by the drag, white where it uncovered.
    const QImage& shown = f->window.surface.Image();
    for (const CPoint p : {CPoint(50, 60), CPoint(200, 100), CPoint(359, 179)})
        EXPECT_EQ(shown.pixel(p.x, p.y), before.pixel(p.x - 40, p.y + 20));
    EXPECT_EQ(shown.pixel(10, 100) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(200, 195) & 0xFFFFFF, 0xFFFFFFu);

    f->view->OnLButtonUp(0, 140, 80);
    EXPECT_FALSE(f->view->IsPanning());
    EXPECT_EQ(f->view->GetPanOffset(), CSize());
    const double unit = f->view->GetScaleX();
    ExpectRectNear(f->view->GetMapExtent(),
                   CMapRect(extent.left - 40 * unit, extent.top - 20 * unit, extent.right - 40 * unit,
                            extent.bottom - 20 * unit),
                   1e-6);
    EXPECT_EQ(f->view->GetHistory().GetSize(), entries + 1);

    // Back at the start pixel nothing pans and no history is kept.
    f->Paint();
    const CMapRect now = f->view->GetMapExtent();
    f->view->OnLButtonDown(MK_LBUTTON, 100, 100);
    f->view->OnMouseMove(MK_LBUTTON, 150, 150);
    f->view->OnMouseMove(MK_LBUTTON, 100, 100);
    f->view->OnLButtonUp(0, 100, 100);
    EXPECT_EQ(f->view->GetMapExtent(), now);
    EXPECT_EQ(f->view->GetHistory().GetSize(), entries + 1);
    f->view->OnSetCursor(0);
    EXPECT_EQ(f->window.cursor, 117);
}

TEST_F(NavigationToolsTest, TheOverviewZoomsTheMainView)
{
    CContextView overview(doc);
    CSurfaceWindow overviewWindow(200, 100);
    overview.SetWindow(&overviewWindow);
    overview.SetMainView(f->view.get());
    overview.OnSize(200, 100);
    {
        CDC dc(overviewWindow.surface);
        overview.OnDraw(dc);
    }
    const CMapRect main = f->view->GetMapExtent();
    MapToolMode = 3; // the overview's tool is its own
    overview.OnLButtonDown(MK_LBUTTON, 20, 20);
    overview.OnMouseMove(MK_LBUTTON, 60, 50);
    overview.OnLButtonUp(0, 60, 50);
    ExpectRectNear(f->view->GetMapExtent(), main);
    const CMapRect target = overview.ClientRectToMap(CRect(20, 20, 60, 50));
    const CMapRect ownExtent = overview.GetMapExtent();
    overview.OnLButtonDown(MK_LBUTTON, 40, 30);
    EXPECT_EQ(overview.GetMapExtent(), ownExtent);
    EXPECT_NEAR(f->view->GetMapExtent().Center().x, target.Center().x, 1e-6);
    EXPECT_NEAR(f->view->GetMapExtent().Center().y, target.Center().y, 1e-6);
    overview.SetWindow(nullptr);
}

TEST_F(NavigationToolsTest, InformationNeedsAnActiveLayer)
{
    Use<CInfoTool>(4);
    f->view->OnLButtonDown(MK_LBUTTON, 10, 10);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022});
    f->view->OnSetCursor(0);
    EXPECT_EQ(f->window.cursor, 116);
}

TEST_F(NavigationToolsTest, StreetInformation)
{
    Use<CStreetInfoTool>(12);
    // Without a streets layer: a beep, no message.
    f->view->OnLButtonDown(MK_LBUTTON, 10, 10);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(user.messages.empty());

    CTempDir dir;
    {
        CGdbSource source;
        MakeShapeLayer(source, dir.File("streets.gdb"), CFeatureSource::kLine, {"0 500, 2000 500", "1000 0, 1000 1000"});
    }
    doc.AddLayer(std::make_unique<CLayer>("Streets", dir.File("streets.gdb"), CLayer::kLine), false);
    doc.Settings().streetsLayer = "Streets";
    std::vector<int> labelled;
    CStreetInfoTool::SetAddressLabeller([&](int code, CDrelView&) { labelled.push_back(code); });
    // Nothing there.
    f->view->OnLButtonDown(MK_LBUTTON, 30, 20);
    EXPECT_EQ(f->view->GetOverlayCount(), 0);

    struct Case {
        const char* nameField;
        const char* codeField;
        std::string name;
        std::vector<int> labelled;
        int overlays;
    };
    const Case cases[] = {
        {"NAME", "", "S1", {}, 2},
        {"NAME", "N", "S1", {1}, 2},
        {"NAME", "KODAS", "S1", {}, 2},
        {"PAVADINIMAS", "N", "", {1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.nameField) + " " + c.codeField);
        doc.Settings().streetNameField = c.nameField;
        doc.Settings().codeField = c.codeField;
        labelled.clear();
        host.messageTexts.clear();
        // Beside the street x = 1000, at y = 602.
        const CPoint click = f->Client(1010, 602);
        f->view->OnLButtonDown(MK_LBUTTON, click.x, click.y);
        EXPECT_EQ(labelled, c.labelled);
        ASSERT_EQ(f->view->GetOverlayCount(), c.overlays);
        auto* marked = dynamic_cast<CShapeOverlay*>(f->view->GetOverlay(0));
        ASSERT_NE(marked, nullptr);
        EXPECT_EQ(marked->GetShape().GetPoint(0), CMapPoint(1000, 0));
        if (c.overlays == 2) {
            auto* label = dynamic_cast<CTextOverlay*>(f->view->GetOverlay(1));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->GetText(), "S1");
            // Where the street passes nearest to the click.
            EXPECT_NEAR(label->GetPoint().x, 1000, 1e-9);
            EXPECT_NEAR(label->GetPoint().y, f->view->ClientToMap(click).y, 1e-9);
        }
        ASSERT_FALSE(host.messageTexts.empty());
        EXPECT_EQ(host.messageTexts.back(), c.name);
    }
    CStreetInfoTool::SetAddressLabeller(nullptr);
}
