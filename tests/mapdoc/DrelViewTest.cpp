#include "mapdoc/DrelView.h"
#include "mapdoc/MapOverlay.h"

#include "platform/DrawInterrupt.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/ScriptedInputQueue.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);
// The limits enlarged by 1.02, which fill a 400 x 200 client exactly.
const CMapRect kFullExtent(-20, 1010, 2020, -10);

void ExpectRectNear(const CMapRect& actual, const CMapRect& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.left, expected.left, tolerance);
    EXPECT_NEAR(actual.top, expected.top, tolerance);
    EXPECT_NEAR(actual.right, expected.right, tolerance);
    EXPECT_NEAR(actual.bottom, expected.bottom, tolerance);
}

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

class DrelViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        SetRightClickFlag(0);
        SetMetreMap(doc, kLimits);
        view = std::make_unique<CTestView>(doc);
        view->SetWindow(&window);
    }

    // The window's first size and first paint, after which a resize no
    // longer counts as the first.
    void Show(int width, int height)
    {
        view->OnSize(width, height);
        CDC dc;
        view->OnDraw(dc);
        view->log.clear();
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    std::unique_ptr<CTestView> view;
};

} // namespace

TEST_F(DrelViewTest, ConversionsRoundHalfUpAndCutTowardsZero)
{
    // Without limits the view starts at (0, 0); one map unit a pixel.
    doc.Settings().limits = CMapRect();
    Show(400, 200);
    view->SetScaleDenominator(kPixelsPerMetre);
    ASSERT_EQ(view->GetOriginX(), 0);
    ASSERT_EQ(view->GetOriginY(), 0);
    ASSERT_EQ(view->GetScaleX(), 1);
    ASSERT_EQ(view->GetScaleY(), -1);

    struct Case {
        double x, y;
        CPoint pixel;
    };
    const Case cases[] = {
        {-1.7, 1.7, CPoint(-1, -1)},   // -1.7 + 0.5 cut towards zero
        {-0.6, 0.6, CPoint(0, 0)},
        {2.5, -2.5, CPoint(3, 3)},
        {-2.5, 2.5, CPoint(-2, -2)},
        {1e300, -1e300, CPoint(1000000000, 1000000000)}, // held to the device range
        {-1e300, NAN, CPoint(-1000000000, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(view->MapToClient(CMapPoint(c.x, c.y)), c.pixel) << c.x << " " << c.y;

    EXPECT_EQ(view->ClientToMap(10, 20), CMapPoint(10, -20));
    double dx, dy;
    view->ClientSizeToMap(3, 4, dx, dy);
    EXPECT_EQ(dx, 3);
    EXPECT_EQ(dy, -4);
}

TEST_F(DrelViewTest, ClientAndDeviceConversionsRoundTrip)
{
    Show(400, 200);
    view->ZoomToRect(CMapRect(13.3, 87.1, 57.9, 41.2), 0); // a scale and origin with fractions
    // Inside the client area; left of or above it the cut towards zero
    // moves whole numbers by one (-5 + 0.5 becomes -4).
    for (const CPoint& p : {CPoint(0, 0), CPoint(399, 199), CPoint(5, 7), CPoint(123, 45)}) {
        EXPECT_EQ(view->MapToClient(view->ClientToMap(p)), p);
        // A pixel is 1000 / 96 thousandths of an inch.
        const CPoint device = view->MapToDevice(view->ClientToMap(p));
        EXPECT_NEAR(device.x, p.x * 1000.0 / 96, 1);
        EXPECT_NEAR(device.y, p.y * 1000.0 / 96, 1);
        const CMapPoint back = view->DeviceToMap(device);
        const CMapPoint map = view->ClientToMap(p);
        EXPECT_NEAR(back.x, map.x, view->GetPrintScaleX());
        EXPECT_NEAR(back.y, map.y, -view->GetPrintScaleY());
    }
    const CRect client(10, 20, 300, 150);
    EXPECT_EQ(view->RectToClient(view->ClientRectToMap(client)), client);
    const CMapPoint shape[] = {view->ClientToMap(1, 2), view->ClientToMap(30, 40), view->ClientToMap(7, 9)};
    EXPECT_EQ(view->ShapeToClientPoints(shape, 3), (std::vector<CPoint>{{1, 2}, {30, 40}, {7, 9}}));
    EXPECT_EQ(view->ShapeToDevicePoints(shape, 3).size(), 3u);
    EXPECT_EQ(view->RectToDevice(view->ClientRectToMap(CRect(0, 0, 96, 96))), CRect(0, 0, 1000, 1000));

    const CMapRect e = view->GetMapExtent();
    EXPECT_EQ(view->IsPointInExtent(CMapPoint(e.left, e.top)), 1);
    EXPECT_EQ(view->IsPointInExtent(CMapPoint(e.right, e.bottom)), 1);
    EXPECT_EQ(view->IsPointInExtent(CMapPoint(e.right + 1e-9, e.bottom)), 0);
}

TEST_F(DrelViewTest, FitRectFillsTheClientCentred)
{
    // No client area yet: nothing changes.
    EXPECT_EQ(view->FitRect(CMapRect(0, 100, 200, 0)), 0);
    EXPECT_EQ(view->GetScaleDenominator(), 1);

    view->OnSize(300, 300);
    // Twice as wide as high in a square client: the width fits, the height is centred.
    view->ZoomToRect(CMapRect(0, 100, 200, 0), 0);
    ExpectRectNear(view->GetMapExtent(), CMapRect(0, 150, 200, -50));
    EXPECT_NEAR(view->GetScaleDenominator(), 200.0 / 300 * kPixelsPerMetre, 1e-9);
    EXPECT_NEAR(view->GetPrintScaleX(), view->GetScaleDenominator() * 0.0000254, 1e-15);
    EXPECT_NEAR(view->GetPrintScaleY(), -view->GetScaleDenominator() * 0.0000254, 1e-15);

    // A single point takes the map's best scale, a tiny rectangle the smallest denominator.
    doc.Settings().optimScale = 5000;
    ASSERT_EQ(view->FitRect(CMapRect(CMapPoint(7, 8))), 1);
    EXPECT_EQ(view->GetScaleDenominator(), 5000);
    EXPECT_NEAR(view->GetMapExtent().Center().x, 7, 1e-9);
    ASSERT_EQ(view->FitRect(CMapRect(0, 1e-12, 1e-12, 0)), 1);
    EXPECT_EQ(view->GetScaleDenominator(), doc.GetMinUnitsPerPixel());

    // The unbounded extent and broken numbers leave the view as it was.
    EXPECT_EQ(view->FitRect(CLayer::kUnboundedExtent), 0);
    EXPECT_EQ(view->FitRect(CMapRect(NAN, 1, 2, 0)), 0);
    EXPECT_EQ(view->GetScaleDenominator(), doc.GetMinUnitsPerPixel());
}

TEST_F(DrelViewTest, ZoomToRectRecordsAndShowsTheNewScale)
{
    Show(400, 200);
    ASSERT_EQ(view->IsFullExtent(), 1);
    const int repaints = window.invalidations;
    window.legendRebuilds = 0;
    host.scaleTexts.clear();

    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    ExpectRectNear(view->GetMapExtent(), CMapRect(100, 300, 300, 200));
    EXPECT_EQ(view->IsFullExtent(), 0);
    EXPECT_EQ(view->GetHistory().GetSize(), 2);
    EXPECT_EQ(view->GetHistory().GetIndex(), 1);
    EXPECT_EQ(host.scaleTexts, std::vector<double>{view->GetScaleDenominator()});
    EXPECT_EQ(window.legendRebuilds, 1);
    EXPECT_EQ(window.invalidations, repaints + 1);
    EXPECT_EQ(view->GetLastDrawnScale(), view->GetScaleDenominator());

    // The same extent again is no new entry.
    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    EXPECT_EQ(view->GetHistory().GetSize(), 2);
}

TEST_F(DrelViewTest, ZoomToScaleAtCentresAndStopsAtTheSmallestDenominator)
{
    Show(400, 200);
    view->ZoomToScaleAt(1000, CMapPoint(500, 400));
    EXPECT_EQ(view->GetScaleDenominator(), 1000);
    ExpectRectNear(CMapRect(view->GetMapExtent().Center()), CMapRect(CMapPoint(500, 400)), 1e-9);

    // Below the smallest: clamped to it the first time.
    const double minimum = doc.GetMinUnitsPerPixel();
    view->ZoomToScaleAt(minimum / 10, CMapPoint(500, 400));
    EXPECT_EQ(view->GetScaleDenominator(), minimum);
    EXPECT_EQ(user.beeps, 0);

    // '+' there beeps and changes nothing.
    const int entries = view->GetHistory().GetSize();
    const CMapRect before = view->GetMapExtent();
    view->OnChar('+', 1, 0);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(view->GetScaleDenominator(), minimum);
    EXPECT_EQ(view->GetMapExtent(), before);
    EXPECT_EQ(view->GetHistory().GetSize(), entries);

    // '-' doubles the denominator about the centre.
    view->OnChar('-', 1, 0);
    EXPECT_EQ(view->GetScaleDenominator(), minimum * 2);
    view->SetScale(2000);
    EXPECT_EQ(view->GetScaleDenominator(), 2000);
    ExpectRectNear(CMapRect(view->GetMapExtent().Center()), CMapRect(CMapPoint(500, 400)), 1e-6);
}

TEST_F(DrelViewTest, PreviousAfterFullExtentShowsTheLimitsOfNow)
{
    Show(400, 200);
    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    doc.Settings().limits = CMapRect(0, 2000, 4000, 0);
    view->ZoomPrevious();
    ExpectRectNear(view->GetMapExtent(), CMapRect(-40, 2020, 4040, -20));
    EXPECT_EQ(view->IsFullExtent(), 1);
    EXPECT_EQ(view->GetHistory().GetIndex(), 0);
    EXPECT_EQ(view->GetHistory().GetSize(), 2);
    view->ZoomPrevious(); // nothing before the first
    EXPECT_EQ(view->GetHistory().GetIndex(), 0);

    view->ZoomNext();
    ExpectRectNear(view->GetMapExtent(), CMapRect(100, 300, 300, 200));
    EXPECT_EQ(view->IsFullExtent(), 0);
    EXPECT_EQ(view->GetHistory().GetIndex(), 1);
}

TEST_F(DrelViewTest, MovingAfterGoingBackDropsTheEntriesAhead)
{
    Show(400, 200);
    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    view->ZoomToRect(CMapRect(120, 280, 160, 260), 0);
    view->ZoomPrevious();
    ASSERT_EQ(view->GetHistory().GetIndex(), 1);
    ASSERT_EQ(view->GetHistory().GetSize(), 3);

    view->PanBy(50, 0);
    ExpectRectNear(view->GetMapExtent(), CMapRect(50, 300, 250, 200));
    EXPECT_EQ(view->GetHistory().GetIndex(), 2);
    ASSERT_EQ(view->GetHistory().GetSize(), 3);
    ExpectRectNear(view->GetHistory().GetAt(2), CMapRect(50, 300, 250, 200));
    view->ZoomNext(); // nothing ahead any more
    ExpectRectNear(view->GetMapExtent(), CMapRect(50, 300, 250, 200));

    view->CenterOn(CMapPoint(0, 0));
    ExpectRectNear(view->GetMapExtent(), CMapRect(-100, 50, 100, -50));
    EXPECT_EQ(view->GetHistory().GetSize(), 4);
}

TEST_F(DrelViewTest, FullExtentWithoutLimitsIsOneToOneWhereTheViewIs)
{
    Show(400, 200);
    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    const int entries = view->GetHistory().GetSize();
    doc.Settings().limits = CMapRect();
    view->ZoomToFullExtent();
    EXPECT_EQ(view->GetScaleDenominator(), 1);
    EXPECT_EQ(view->GetOriginX(), 100);
    EXPECT_EQ(view->GetOriginY(), 300);
    EXPECT_EQ(view->GetScaleX(), 1.0 / kPixelsPerMetre);
    EXPECT_EQ(view->GetHistory().GetSize(), entries);
}

TEST_F(DrelViewTest, ZoomToLayerRefusesExtentsItCannotShow)
{
    CFakeLayerData data;
    Show(400, 200);
    auto layer = MakeExtentLayer("Roads", CMapRect());
    EXPECT_EQ(view->ZoomToLayer(*layer), 0); // no data
    data.layerExtents["Roads"] = CMapRect();
    EXPECT_EQ(view->ZoomToLayer(*layer), 0);
    data.layerExtents["Roads"] = CLayer::kUnboundedExtent;
    EXPECT_EQ(view->ZoomToLayer(*layer), 0);
    EXPECT_EQ(view->GetHistory().GetSize(), 1);
    data.layerExtents["Roads"] = CMapRect(100, 300, 300, 200);
    EXPECT_EQ(view->ZoomToLayer(*layer), 1);
    ExpectRectNear(view->GetMapExtent(), CMapRect(100, 300, 300, 200));
}

TEST_F(DrelViewTest, NavigationKeysMoveByHalfTheExtent)
{
    Show(400, 200);
    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    struct Case {
        int key;
        CMapRect expected;
    };
    const Case cases[] = {
        {VK_PRIOR, CMapRect(100, 350, 300, 250)},
        {VK_NEXT, CMapRect(100, 300, 300, 200)},
        {VK_END, CMapRect(200, 300, 400, 200)},
        {VK_HOME, CMapRect(100, 300, 300, 200)},
    };
    int entries = view->GetHistory().GetSize();
    for (const Case& c : cases) {
        view->OnKeyDown(c.key, 1, 0);
        ExpectRectNear(view->GetMapExtent(), c.expected);
        EXPECT_EQ(view->GetHistory().GetSize(), ++entries) << c.key;
    }
}

TEST_F(DrelViewTest, EscEndsTheToolThatMayQuitAndOtherKeysReachIt)
{
    Show(400, 200);
    view->modesWithTool = {4};
    MapToolMode = 4;
    ASSERT_EQ(view->CreateToolForMode(), 1);
    EXPECT_EQ(view->GetLastToolMode(), 4);
    auto* tool = static_cast<CRecordingTool*>(view->GetTool());

    view->OnKeyDown(VK_DELETE, 1, 0);
    view->OnKeyDown('A', 1, 0);
    tool->mayQuit = 0;
    view->OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(view->GetTool(), tool);
    EXPECT_EQ(MapToolMode, 4);

    // A child tool takes the keys of its parent.
    tool->SetChild(std::make_unique<CRecordingTool>(view.get(), view->logOwner, "child"));
    view->OnKeyDown(VK_RETURN, 1, 0);

    tool->mayQuit = 1;
    view->OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(view->GetTool(), nullptr);
    EXPECT_EQ(MapToolMode, 0);
    EXPECT_EQ(view->log, (std::vector<std::string>{"tool4 key 46", "tool4 key 65", "tool4 may quit",
                                                   "child key 13", "tool4 may quit", "tool4 deleted",
                                                   "child deleted"}));
    // Without a tool Esc just sets mode 0.
    MapToolMode = 3;
    view->OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(MapToolMode, 0);
}

TEST_F(DrelViewTest, ActivationTakesUpTheToolModeUnlessTheToolHoldsChanges)
{
    Show(400, 200);
    view->modesWithTool = {4, 5};
    MapToolMode = 4;
    ASSERT_EQ(view->CreateToolForMode(), 1);

    // Leaving: a tool without changes goes, one with changes stays.
    view->SyncToolMode(0);
    EXPECT_EQ(view->GetTool(), nullptr);
    ASSERT_EQ(view->CreateToolForMode(), 1);
    auto* tool = static_cast<CRecordingTool*>(view->GetTool());
    tool->SetModified(1);
    view->SyncToolMode(0);
    EXPECT_EQ(view->GetTool(), tool);

    // Entering in the tool's own mode changes nothing.
    host.scaleTexts.clear();
    view->SyncToolMode(1);
    EXPECT_EQ(view->GetTool(), tool);
    EXPECT_TRUE(host.scaleTexts.empty());

    // Another mode was chosen meanwhile: the changes win and their mode comes back.
    tool->SetChild(std::make_unique<CRecordingTool>(view.get(), view->logOwner, "child"));
    MapToolMode = 5;
    view->SyncToolMode(1);
    EXPECT_EQ(view->GetTool(), tool);
    EXPECT_EQ(tool->GetChild(), nullptr);
    EXPECT_EQ(MapToolMode, 4);

    // Without changes the tool goes and the view takes the mode of now.
    tool->SetModified(0);
    MapToolMode = 5;
    view->SyncToolMode(1);
    EXPECT_EQ(view->GetTool(), nullptr);
    EXPECT_EQ(MapToolMode, 5);
    // The scale box shows this view's scale then, as it does for a view without a tool.
    EXPECT_EQ(host.scaleTexts, std::vector<double>(2, view->GetScaleDenominator()));
}

TEST_F(DrelViewTest, ClearingOverlaysEmptiesTheStatusPaneAndRepaints)
{
    Show(400, 200);
    struct CMark : CMapOverlay {
        void Draw(CDC&, CDrelView&) override {}
        bool GetRect(CDrelView&, CRect& rect) override
        {
            rect = CRect(0, 0, 2, 2);
            return true;
        }
    };
    view->ClearOverlays();
    EXPECT_TRUE(host.messageTexts.empty());
    view->AddOverlay(std::make_unique<CMark>());
    const int before = window.invalidations;
    view->ClearOverlays();
    EXPECT_EQ(view->GetOverlayCount(), 0);
    EXPECT_EQ(host.messageTexts, std::vector<std::string>{""});
    EXPECT_EQ(window.invalidations, before + 1);
}

TEST_F(DrelViewTest, AnotherMapOpensOnlyForLinkedMapsLeavingTheirLimitsOrBestScale)
{
    Show(400, 200);
    doc.SetPathName("/maps/city.map");
    doc.Settings().autoLoad = 1;
    doc.Settings().optimScale = 1000;
    host.opensMap = true;

    // Not linked: never asked.
    view->ZoomToRect(CMapRect(10, 300, 210, 200), 1);
    EXPECT_TRUE(host.openRequests.empty());
    ExpectRectNear(view->GetMapExtent(), CMapRect(10, 300, 210, 200));

    host.linkedPath = "/maps/city.map";
    // Inside the limits at a denominator above the best one: kept.
    view->SetScale(1500);
    EXPECT_TRUE(host.openRequests.empty());
    EXPECT_EQ(view->GetScaleDenominator(), 1500);
    const CMapRect here = view->GetMapExtent();
    const int entries = view->GetHistory().GetSize();

    // Leaving the limits: another map is opened and this view stays.
    view->OnKeyDown(VK_HOME, 1, 0);
    ASSERT_EQ(host.openRequests.size(), 1u);
    EXPECT_EQ(host.openRequests[0].units, kUnitsMetres);
    EXPECT_EQ(host.openRequests[0].ownPath, "/maps/city.map");
    EXPECT_LT(host.openRequests[0].extent.left, 0);
    EXPECT_EQ(view->GetMapExtent(), here);
    EXPECT_EQ(view->GetHistory().GetSize(), entries);

    // Zooming in below the best scale asks too; no map found goes on.
    host.opensMap = false;
    view->SetScale(500);
    EXPECT_EQ(host.openRequests.size(), 2u);
    EXPECT_EQ(view->GetScaleDenominator(), 500);
}

TEST_F(DrelViewTest, ResizeRefitsOnlyWhileTheFullExtentShows)
{
    Show(400, 200);
    ExpectRectNear(view->GetMapExtent(), kFullExtent);
    view->OnSize(800, 400);
    ExpectRectNear(view->GetMapExtent(), kFullExtent);
    EXPECT_EQ(view->GetHistory().GetSize(), 1);

    view->ZoomToRect(CMapRect(100, 300, 300, 200), 0);
    const double scale = view->GetScaleDenominator();
    view->OnSize(400, 200);
    EXPECT_EQ(view->GetScaleDenominator(), scale);
    EXPECT_EQ(view->GetOriginX(), 100);
    EXPECT_EQ(view->GetOriginY(), 300);
    ExpectRectNear(view->GetMapExtent(), CMapRect(100, 300, 200, 250));
}

TEST_F(DrelViewTest, FirstShowFitsTheFullExtentAndTheOverview)
{
    CTestView overview(doc);
    overview.OnSize(100, 100);
    window.overview = &overview;
    view->OnInitialUpdate();
    EXPECT_EQ(view->IsFullExtent(), 1);
    EXPECT_EQ(view->GetHistory().GetSize(), 1); // the full-extent marker; no client yet
    view->OnSize(400, 200);
    ExpectRectNear(view->GetMapExtent(), kFullExtent);
    ExpectRectNear(overview.GetMapExtent(), CMapRect(-40, 1540, 2040, -540));
    EXPECT_EQ(view->GetHistory().GetSize(), 1);
}

TEST_F(DrelViewTest, DrawingFillsTheWindowAndTheBackBufferFromShownLayers)
{
    // A, a hidden group with B and a nested group with C, then D.
    doc.AddLayer(MakeExtentLayer("A", CMapRect(0, 1000, 500, 0)), false);
    doc.AddLayer(MakeGroup("G", 2, 0), false);
    doc.AddLayer(MakeExtentLayer("B", CMapRect(600, 1000, 1000, 0)), false);
    doc.AddLayer(MakeGroup("H", 1, CLayer::kShown), false);
    doc.AddLayer(MakeExtentLayer("C", CMapRect(600, 1000, 1000, 0)), false);
    doc.AddLayer(MakeExtentLayer("D", CMapRect(1500, 1000, 2000, 0)), false);
    doc.AddLayer(MakeExtentLayer("E", CMapRect(1100, 1000, 1400, 0), 0), false); // hidden
    view->colours = {{"A", RGB(255, 0, 0)}, {"B", RGB(0, 0, 255)}, {"C", RGB(0, 0, 255)},
                     {"D", RGB(0, 255, 0)}, {"E", RGB(0, 0, 0)}};
    view->OnSize(400, 200);

    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        CDC dc(image);
        view->OnDraw(dc);
        EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    }
    EXPECT_EQ(view->Drawn("layer "), (std::vector<std::string>{"A", "D"}));
    EXPECT_EQ(view->Drawn("labels "), (std::vector<std::string>{"A", "D"}));
    EXPECT_TRUE(view->HasBackBuffer());
    EXPECT_EQ(view->GetMemoryDC(), nullptr);
    EXPECT_EQ(view->IsDrawing(), 0);
    // Pixels at the middle of A, of B's and E's places, and of D; the
    // border outside the limits is the window's colour.
    const CPoint a = view->MapToClient(CMapPoint(250, 500));
    const CPoint b = view->MapToClient(CMapPoint(800, 500));
    const CPoint d = view->MapToClient(CMapPoint(1750, 500));
    const CPoint e = view->MapToClient(CMapPoint(1250, 500));
    const CPoint border = view->MapToClient(CMapPoint(-10, 500));
    EXPECT_EQ(PixelAt(image, a.x, a.y), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(image, b.x, b.y), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(image, d.x, d.y), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(image, e.x, e.y), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(image, border.x, border.y), RGB(255, 255, 255));

    // Only the overlays changed: the buffer is copied, no layer drawn.
    view->log.clear();
    view->OnUpdate(doc, MakeHint(0, kHintOverlays));
    EXPECT_TRUE(view->HasBackBuffer());
    QImage copy(400, 200, QImage::Format_RGB32);
    copy.fill(Qt::black);
    {
        CDC dc(copy);
        view->OnDraw(dc);
    }
    EXPECT_TRUE(view->Drawn("layer ").empty());
    EXPECT_EQ(copy, image);

    // Opening the group shows C; a redraw hint draws anew.
    doc.SetLayerVisible(doc.GetLayer(1), true);
    view->log.clear();
    view->OnUpdate(doc, MakeHint(0, kHintRedraw));
    EXPECT_FALSE(view->HasBackBuffer());
    {
        CDC dc(image);
        view->OnDraw(dc);
    }
    EXPECT_EQ(view->Drawn("layer "), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(PixelAt(image, b.x, b.y), RGB(0, 0, 255));
}

TEST_F(DrelViewTest, LabelPassStopsOnEscAndTheNextPassStartsAfresh)
{
    CScriptedInputQueue queue;
    for (const char* name : {"A", "B", "C"})
        doc.AddLayer(MakeExtentLayer(name, CMapRect(0, 1000, 500, 0)), false);
    view->OnSize(400, 200);
    view->afterLabels = [&](const std::string& name) {
        if (name == "A")
            queue.waiting.push_back({CWaitingInput::kKeyDown, VK_ESCAPE});
    };
    QImage image(400, 200, QImage::Format_RGB32);
    {
        CDC dc(image);
        view->OnDraw(dc);
    }
    EXPECT_EQ(view->Drawn("labels "), (std::vector<std::string>{"A"}));
    EXPECT_TRUE(queue.kept.empty()); // Esc was taken
    EXPECT_EQ(GetDrawStopFlag(), 1);
    EXPECT_TRUE(view->HasBackBuffer()); // with the labels drawn so far

    view->afterLabels = nullptr;
    view->log.clear();
    view->Redraw();
    {
        CDC dc(image);
        view->OnDraw(dc);
    }
    EXPECT_EQ(view->Drawn("labels "), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(GetDrawStopFlag(), 0);
}

TEST_F(DrelViewTest, ContextMenuAfterAStoppingRightClickIsNotShown)
{
    SetRightClickFlag(1);
    view->OnContextMenu(5, 6);
    EXPECT_TRUE(view->log.empty());
    EXPECT_EQ(GetRightClickFlag(), 0);
    view->OnContextMenu(5, 6);
    EXPECT_EQ(view->log, std::vector<std::string>{"menu 5,6"});
    EXPECT_EQ(view->GetContextPoint(), CPoint(5, 6));
}

TEST_F(DrelViewTest, DoubleClickGoesToTheToolThenToTheMapCommands)
{
    CTempDir dir;
    Show(400, 200);
    view->OnLButtonDblClk(MK_LBUTTON | MK_CONTROL, 10, 20);
    view->OnLButtonDblClk(MK_LBUTTON, 10, 20);
    EXPECT_EQ(view->log, (std::vector<std::string>{"point in map", "objects at point"}));
    EXPECT_EQ(view->GetContextPoint(), CPoint(10, 20));

    // Switched off in the configuration file.
    WriteWholeFile(dir.File("drel.ini"), "[Options]\r\nLB_DBLCLK=0\r\n");
    host.configPath = dir.File("drel.ini");
    CTestView other(doc);
    other.OnLButtonDblClk(MK_LBUTTON, 10, 20);
    EXPECT_TRUE(other.log.empty());
}

TEST_F(DrelViewTest, MouseButtonMakesTheToolOfTheMode)
{
    Show(400, 200);
    view->modesWithTool = {1};
    view->OnLButtonDown(MK_LBUTTON, 3, 4); // mode 0 has no tool here
    EXPECT_EQ(view->GetTool(), nullptr);
    MapToolMode = 1;
    view->OnLButtonDown(MK_LBUTTON, 3, 4);
    ASSERT_NE(view->GetTool(), nullptr);
    EXPECT_EQ(view->log, std::vector<std::string>{"tool1 down 3,4"});
}
