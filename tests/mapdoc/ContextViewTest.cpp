#include "mapdoc/ContextView.h"

#include "platform/DrawInterrupt.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kButtonShadow = RGB(160, 160, 160);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// An overview whose layers fill their extents with a colour of their own
// and log what they draw.
class CTestOverview : public CContextView {
public:
    using CContextView::CContextView;

    std::map<std::string, COLORREF> colours;
    std::vector<std::string> log;

protected:
    void DrawLayer(CDC& dc, CLayer& layer) override
    {
        log.push_back("layer " + layer.GetName());
        FillLayerExtent(*this, dc, layer, colours);
    }
    void DrawLayerLabels(CDC& dc, CLayer& layer) override { log.push_back("labels " + layer.GetName()); }
};

class ContextViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        SetRightClickFlag(0);
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        doc.AddLayer(MakeExtentLayer("Base", CMapRect(0, 1000, 2000, 0), CLayer::kShown | CLayer::kInOverview), false);
        doc.AddLayer(MakeExtentLayer("Roads", CMapRect(0, 600, 2000, 400), CLayer::kShown), false);
        doc.AddLayer(MakeExtentLayer("Lakes", CMapRect(1200, 900, 1800, 500), CLayer::kInOverview), false);
        doc.AddLayer(MakeGroup("Hidden", 1, CLayer::kInOverview), false);
        doc.AddLayer(MakeExtentLayer("Inside", CMapRect(100, 300, 300, 100), CLayer::kInOverview), false);

        main = std::make_unique<CTestView>(doc);
        overview = std::make_unique<CTestOverview>(doc);
        overview->colours = {{"Base", RGB(230, 230, 200)}, {"Roads", RGB(0, 0, 0)}, {"Lakes", RGB(0, 0, 255)},
                             {"Inside", RGB(0, 150, 0)}};
        mainWindow.overview = overview.get();
        main->SetWindow(&mainWindow);
        overview->SetWindow(&overviewWindow);
        overview->SetMainView(main.get());
        overview->OnSize(300, 150);
        main->OnSize(400, 200);
        main->OnInitialUpdate();
        overview->OnInitialUpdate();
    }

    QImage Paint()
    {
        QImage image(300, 150, QImage::Format_RGB32);
        image.fill(Qt::black);
        CDC dc(image);
        overview->log.clear();
        overview->OnDraw(dc);
        return image;
    }
    // The main view's frame in the overview's pixels, before it is enlarged.
    CRect Frame() const { return overview->RectToClient(main->GetMapExtent()); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CRecordingWindow mainWindow, overviewWindow;
    std::unique_ptr<CTestView> main;
    std::unique_ptr<CTestOverview> overview;
};

TEST_F(ContextViewTest, DrawsTheOverviewLayersAndTheMapViewsFrame)
{
    main->ZoomToRect(CMapRect(100, 900, 1100, 300), 0);
    const QImage image = Paint();
    // Hidden in the map or not, in the layers' order; a group entry is a layer here.
    EXPECT_EQ(overview->log, (std::vector<std::string>{"layer Base", "layer Lakes", "layer Hidden", "layer Inside",
                                                       "labels Base", "labels Lakes", "labels Hidden",
                                                       "labels Inside"}));
    const CPoint lake = overview->MapToClient(CMapPoint(1500, 700));
    EXPECT_EQ(PixelAt(image, lake.x, lake.y), RGB(0, 0, 255));
    const CPoint road = overview->MapToClient(CMapPoint(500, 450));
    EXPECT_EQ(PixelAt(image, road.x, road.y), RGB(230, 230, 200)) << "no roads in the overview";

    // The frame one pixel out, in the button shadow, and over it in red one pixel up and left.
    CRect r = Frame();
    r.InflateRect(1, 1);
    const int midY = (r.top + r.bottom) / 2, midX = (r.left + r.right) / 2;
    EXPECT_EQ(PixelAt(image, r.right - 1, midY), kButtonShadow);
    EXPECT_EQ(PixelAt(image, midX, r.bottom - 1), kButtonShadow);
    EXPECT_EQ(PixelAt(image, r.left, midY), kButtonShadow);
    EXPECT_EQ(PixelAt(image, r.right - 2, midY), kRed);
    EXPECT_EQ(PixelAt(image, r.left - 1, midY), kRed);
    EXPECT_EQ(PixelAt(image, midX, r.top - 1), kRed);
    EXPECT_EQ(PixelAt(image, midX, r.bottom - 2), kRed);
    EXPECT_EQ(PixelAt(image, r.right, midY), RGB(230, 230, 200));
}

TEST_F(ContextViewTest, ZoomingTheMapViewMovesTheFrameOverTheKeptPicture)
{
    Paint();
    ASSERT_TRUE(overview->HasBackBuffer());
    const CRect before = Frame();
    const int invalidations = overviewWindow.invalidations;
    main->ZoomToRect(CMapRect(1200, 900, 1800, 600), 0);
    EXPECT_GT(overviewWindow.invalidations, invalidations);
    EXPECT_TRUE(overview->HasBackBuffer());
    const QImage image = Paint();
    EXPECT_TRUE(overview->log.empty()) << "the layers are not drawn again";
    const CRect after = Frame();
    EXPECT_NE(after, before);
    EXPECT_EQ(PixelAt(image, after.left - 2, (after.top + after.bottom) / 2), kRed);

    // Hint 10 likewise; 8 is the map view's alone; 0 draws anew.
    const int count = overviewWindow.invalidations;
    doc.UpdateAllViews(kHintOverlays);
    EXPECT_EQ(overviewWindow.invalidations, count + 1);
    EXPECT_TRUE(overview->HasBackBuffer());
    doc.UpdateAllViews(kHintRedraw);
    EXPECT_EQ(overviewWindow.invalidations, count + 1);
    EXPECT_TRUE(overview->HasBackBuffer());
    doc.UpdateAllViews(kHintAll);
    EXPECT_FALSE(overview->HasBackBuffer());
}

TEST_F(ContextViewTest, FitsTheLimitsEnlarged)
{
    // 300 x 150 pixels round limits of 2000 x 1000 enlarged by 1.04: the width decides.
    EXPECT_NEAR(overview->GetMapExtent().Width(), 2080, 1e-6);
    EXPECT_NEAR(overview->GetMapExtent().Center().x, 1000, 1e-6);
    EXPECT_NEAR(overview->GetMapExtent().Center().y, 500, 1e-6);

    // Hint 7: new limits, fitted again and drawn anew.
    Paint();
    doc.Settings().limits = CMapRect(0, 4000, 1000, 0);
    doc.UpdateAllViews(kHintOverview);
    EXPECT_FALSE(overview->HasBackBuffer());
    EXPECT_NEAR(overview->GetMapExtent().Height(), 4160, 1e-6);
    EXPECT_NEAR(overview->GetMapExtent().Center().y, 2000, 1e-6);

    // A new size fits again.
    overview->OnSize(150, 150);
    EXPECT_NEAR(overview->GetMapExtent().Height(), 4160, 1e-6);
    EXPECT_NEAR(overview->GetMapExtent().Center().x, 500, 1e-6);
}

TEST_F(ContextViewTest, EmptyLimitsLeaveItUnfitted)
{
    CDrelDoc empty;
    CContextView view(empty);
    view.OnSize(300, 150);
    view.OnInitialUpdate();
    empty.UpdateAllViews(kHintOverview);
    EXPECT_FALSE(view.FitToLimits());
    EXPECT_EQ(view.GetScaleDenominator(), 1.0);
    EXPECT_EQ(view.GetOriginX(), 0);
    EXPECT_EQ(view.GetOriginY(), 0);
}

TEST_F(ContextViewTest, ARightClickChoosesTheOverviewLayers)
{
    CHintRecorder hints(doc);
    overview->OnContextMenu(10, 10); // no dialog yet
    int runs = 0;
    bool answer = false;
    overview->SetLayersDialog([&](CDrelDoc& document) {
        ++runs;
        document.GetLayer(1)->SetFlag(CLayer::kInOverview, answer);
        return answer;
    });
    overview->OnContextMenu(10, 10);
    EXPECT_TRUE(hints.hints.empty());
    EXPECT_FALSE(doc.IsModified());
    answer = true;
    overview->OnContextMenu(10, 10);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{kHintOverview});
    EXPECT_TRUE(doc.IsModified());
    Paint();
    EXPECT_EQ(overview->log[1], "layer Roads");
}

TEST_F(ContextViewTest, NoToolKeysOrHistoryHere)
{
    const CMapRect extent = overview->GetMapExtent();
    MapToolMode = 3;
    overview->OnLButtonDown(0, 10, 10);
    overview->OnMouseMove(MK_LBUTTON, 50, 50);
    overview->OnLButtonUp(0, 50, 50);
    EXPECT_EQ(overview->GetTool(), nullptr);
    overview->OnKeyDown(VK_NEXT, 1, 0);
    overview->OnKeyDown(VK_HOME, 1, 0);
    EXPECT_EQ(overview->GetMapExtent(), extent);
    for (const int id : {30134, 30135}) {
        CCommandState state(id);
        EXPECT_TRUE(overview->Commands().OnUpdateCommand(state));
        EXPECT_FALSE(state.IsEnabled());
    }
}

} // namespace
