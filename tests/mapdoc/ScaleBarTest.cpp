#include "mapdoc/ScaleBar.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// Dark pixels in a rectangle of the picture (text, bars).
int DarkPixels(const QImage& image, const CRect& r)
{
    int dark = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return dark;
}

// A picture of 1000 dots per inch: one pixel is one unit of the bar's space.
QImage MilPicture(int width, int height, QColor fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(39370);
    image.setDotsPerMeterY(39370);
    image.fill(fill);
    return image;
}

TEST(ScaleBarSteps, StepsLabelsAndSegments)
{
    const struct {
        double scale;
        double step;
        std::vector<std::string> labels;
        std::string closing;
        int segment;
    } cases[] = {
        {25000, 25000, {"0", "250"}, "500 m", 394},
        {23456, 23000, {"0", "230"}, "460 m", 386}, // round(394 x 23000 / 23456)
        {49999, 50000, {"0", "0.5"}, "1 km", 394},
        {49000, 49000, {"0", "490"}, "980 m", 394},
        {100000, 100000, {"0", "1"}, "2 km", 394},
        {1500000, 1500000, {"0", "15"}, "30 km", 394},
        {137, 140, {"0", "1.4"}, "2.8 m", 403},
        {1, 1, {"0", "1"}, "2 cm", 394},
        {0.25, 0.25, {"0", "0.25"}, "0.5 cm", 394},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        const double step = GetScaleBarStep(c.scale);
        EXPECT_DOUBLE_EQ(step, c.step);
        const CScaleBarText text = GetScaleBarText(step, 2);
        EXPECT_EQ(text.labels, c.labels);
        EXPECT_EQ(text.closingNumber + text.unit, c.closing);
        EXPECT_EQ(GetScaleBarSegmentLength(step, c.scale), c.segment);
    }
    EXPECT_EQ(GetScaleBarSegmentLength(GetScaleBarStep(0), 0), 0) << "a broken scale draws no bar";
}

TEST(ScaleBarPlacing, AnchorsKeepTheGapsToTheirEdges)
{
    const CSize bar(100, 20);
    const CScaleBarPlace lowerRight{0, 0, 10, 8};
    EXPECT_EQ(PlaceScaleBar(lowerRight, bar, CRect(0, 0, 400, 300)), CRect(290, 272, 390, 292));
    EXPECT_EQ(PlaceScaleBar(lowerRight, bar, CRect(0, 0, 600, 500)), CRect(490, 472, 590, 492));
    EXPECT_EQ(PlaceScaleBar({1, 1, 10, 8}, bar, CRect(0, 0, 600, 500)), CRect(10, 8, 110, 28));

    // Pushed back inside: right edge first, so a parent narrower than the
    // bar keeps its left edge.
    EXPECT_EQ(PlaceScaleBar({1, 1, 350, 290}, bar, CRect(0, 0, 400, 300)), CRect(300, 280, 400, 300));
    EXPECT_EQ(PlaceScaleBar({0, 0, 500, 400}, bar, CRect(0, 0, 400, 300)), CRect(0, 0, 100, 20));
    EXPECT_EQ(PlaceScaleBar({1, 1, 0, 0}, bar, CRect(0, 0, 60, 10)), CRect(0, 0, 100, 20));

    const struct {
        CRect rect;
        CScaleBarPlace place;
    } places[] = {
        {CRect(290, 272, 390, 292), {0, 0, 10, 8}},
        {CRect(10, 8, 110, 28), {1, 1, 10, 8}},
        {CRect(150, 140, 250, 160), {0, 0, 150, 140}}, // equal gaps: right and bottom
        {CRect(0, 0, 400, 300), {1, 1, 0, 0}},         // touching every edge: left and top
    };
    for (const auto& p : places)
        EXPECT_EQ(GetScaleBarPlace(p.rect, CRect(0, 0, 400, 300)), p.place);
}

class ScaleBarTest : public ::testing::Test {
protected:
    class CSurfaceWindow : public CRecordingWindow {
    public:
        CWindowSurface* GetSurface() override { return &surface; }
        CWindowSurface surface{800, 600, 96};
    };

    void SetUp() override
    {
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        CMapSettings& s = doc.Settings();
        s.scaleBarFromLeft = 1;
        s.scaleBarFromTop = 0;
        s.scaleBarOffsetX = 500; // 19 pixels at 96 dpi
        s.scaleBarOffsetY = 500;
        view = std::make_unique<CDrelView>(doc);
        view->SetWindow(&window);
        view->OnSize(800, 600);
        // Past the first paint, away from the full extent: sizes keep the scale.
        QImage image(800, 600, QImage::Format_RGB32);
        CDC dc(image);
        view->OnDraw(dc);
        view->SetScale(25000);
    }

    CScaleBar& ShowBar()
    {
        doc.Settings().scaleBarShow = 1;
        view->ToggleScaleBar();
        doc.SetModifiedFlag(false);
        return *view->GetScaleBar();
    }
    CScaleBarPlace Stored() const
    {
        const CMapSettings& s = doc.Settings();
        return {s.scaleBarFromLeft, s.scaleBarFromTop, s.scaleBarOffsetX, s.scaleBarOffsetY};
    }

    CRecordingViewHost host;
    CSurfaceWindow window;
    CDrelDoc doc;
    std::unique_ptr<CDrelView> view;
};

TEST_F(ScaleBarTest, TheBarIsSegmentsUnderTheirLabels)
{
    CScaleBar bar(*view);
    QImage image = MilPicture(1200, 197, Qt::red);
    CSize size;
    {
        CDC dc(image);
        bar.Paint(dc, CSize(1200, 197));
        size = bar.MeasureBar(dc);
    }
    EXPECT_EQ(size.cy, 197);
    // The closing label ends 20 units before the bar's right edge (its
    // letters may stop a little short of their advance).
    int rightmost = 0;
    for (int x = 0; x < image.width(); ++x)
        if (DarkPixels(image, CRect(x, 27, x + 1, 138)) > 0)
            rightmost = x;
    EXPECT_LE(rightmost, size.cx - 20);
    EXPECT_GE(rightmost, size.cx - 20 - 15);
    // 394 units a segment at 1:25000, from 59 to the right and 138 to 177 down.
    EXPECT_EQ(PixelAt(image, 60, 150), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(image, 452, 176), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(image, 640, 157), RGB(255, 255, 255)) << "the second segment is white";
    EXPECT_EQ(PixelAt(image, 640, 138), RGB(0, 0, 0)) << "in a black outline";
    EXPECT_EQ(PixelAt(image, 846, 157), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(image, 848, 157), RGB(255, 255, 255)) << "the bar ends";
    EXPECT_EQ(PixelAt(image, 30, 190), RGB(255, 255, 255)) << "on white";
    // "0", "250" and "500 m" stand centred above the segments' left ends and the bar's end.
    EXPECT_GT(DarkPixels(image, CRect(30, 27, 90, 138)), 50);
    EXPECT_GT(DarkPixels(image, CRect(380, 27, 530, 138)), 200);
    EXPECT_GT(DarkPixels(image, CRect(800, 27, 1100, 138)), 300);
    EXPECT_EQ(DarkPixels(image, CRect(120, 27, 330, 136)), 0) << "nothing between the labels";

    const char* folder = std::getenv("DREL_PICTURE_DIR");
    if (folder)
        image.save(QString::fromLocal8Bit(folder) + "/scalebar-25000.png");
}

TEST_F(ScaleBarTest, PlacingForDrawingKeepsThePlaceAndTheSettings)
{
    CScaleBar& bar = ShowBar();
    const CScaleBarPlace wanted = bar.GetPlace();
    const CSize size = bar.GetPixelSize();
    EXPECT_EQ(size.cy, 19) << "197 units at 96 dpi";
    EXPECT_EQ(bar.GetRect(), CRect(CPoint(19, 600 - 19 - size.cy), size));

    // A window too small for the place shows the bar pushed in...
    view->OnSize(size.cx / 2, 10);
    bar.PlaceForDrawing();
    EXPECT_EQ(bar.GetRect(), CRect(CPoint(0, 0), size));
    EXPECT_EQ(bar.GetPlace(), wanted);
    EXPECT_EQ(Stored(), wanted);
    EXPECT_FALSE(doc.IsModified()) << "drawing never changes the map";

    // ...and the bar is back at its place when the window grows.
    view->OnSize(1000, 700);
    bar.PlaceForDrawing();
    EXPECT_EQ(bar.GetRect(), CRect(CPoint(19, 700 - 19 - size.cy), size));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ScaleBarTest, TheFirstUpdatePlacesWithoutStoring)
{
    doc.Settings().scaleBarShow = 1;
    doc.Settings().scaleBarOffsetX = 90000; // far right of any window
    view->OnSize(300, 200);
    view->OnInitialUpdate();
    ASSERT_NE(view->GetScaleBar(), nullptr);
    EXPECT_TRUE(view->IsScaleBarVisible());
    const CRect rect = view->GetScaleBar()->GetRect();
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(doc.Settings().scaleBarOffsetX, 90000);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ScaleBarTest, SwitchingTheBarStoresWhereItShows)
{
    doc.Settings().scaleBarOffsetX = 90000;
    view->ToggleScaleBar();
    ASSERT_TRUE(view->IsScaleBarVisible());
    EXPECT_EQ(doc.Settings().scaleBarShow, 1);
    EXPECT_TRUE(doc.IsModified());
    // Pushed against the right edge: now anchored there without a gap.
    EXPECT_EQ(Stored(), (CScaleBarPlace{0, 0, 0, 500}));
    EXPECT_EQ(view->GetScaleBar()->GetPlace(), Stored());

    doc.SetModifiedFlag(false);
    view->ToggleScaleBar();
    EXPECT_FALSE(view->IsScaleBarVisible());
    EXPECT_EQ(doc.Settings().scaleBarShow, 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Stored(), (CScaleBarPlace{0, 0, 0, 500})) << "hiding keeps the place";

    // A place that needs no push is stored as it was.
    doc.SetModifiedFlag(false);
    doc.Settings().scaleBarShow = 0;
    CDrelView other(doc);
    other.OnSize(800, 600);
    doc.Settings().scaleBarFromLeft = 1;
    doc.Settings().scaleBarOffsetX = 500;
    other.ToggleScaleBar();
    EXPECT_EQ(Stored(), (CScaleBarPlace{1, 0, 500, 500}));
}

TEST_F(ScaleBarTest, ABarDraggedToTheLowerRightKeepsItsGapsThere)
{
    CScaleBar& bar = ShowBar();
    const CRect start = bar.GetRect();
    const QImage before = window.surface.Image().copy();

    const CPoint grip = start.CenterPoint();
    bar.BeginDrag(grip);
    bar.DragTo(CPoint(grip.x + 2000, grip.y + 2000)); // held inside the view
    EXPECT_EQ(bar.GetDragFrame(), CRect(CPoint(800 - start.Width(), 600 - start.Height()), start.Size()));
    bar.DragTo(CPoint(grip.x + (800 - 12 - start.right), grip.y + (600 - 7 - start.bottom)));
    const CRect frame = bar.GetDragFrame();
    EXPECT_EQ(frame.right, 788);
    EXPECT_EQ(frame.bottom, 593);
    EXPECT_EQ(PixelAt(window.surface.Image(), frame.left, frame.top + 5), RGB(0, 0, 0)) << "the frame shows inverted";
    EXPECT_FALSE(doc.IsModified()) << "nothing is stored while dragging";

    bar.EndDrag();
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.GetRect(), frame);
    EXPECT_TRUE(window.surface.Image() == before) << "the frame is gone";
    EXPECT_EQ(Stored().fromLeft, 0);
    EXPECT_EQ(Stored().fromTop, 0);
    EXPECT_EQ(Stored().offsetX, MulDiv(12, 2540, 96));
    EXPECT_EQ(Stored().offsetY, MulDiv(7, 2540, 96));
    EXPECT_TRUE(doc.IsModified());

    view->OnSize(1200, 900);
    bar.PlaceForDrawing();
    EXPECT_EQ(bar.GetRect(), CRect(CPoint(1200 - 12 - start.Width(), 900 - 7 - start.Height()), start.Size()));
}

TEST_F(ScaleBarTest, ACancelledDragChangesNothing)
{
    CScaleBar& bar = ShowBar();
    const CRect start = bar.GetRect();
    const CScaleBarPlace place = bar.GetPlace();
    const QImage before = window.surface.Image().copy();

    bar.BeginDrag(start.CenterPoint());
    bar.DragTo(CPoint(400, 300));
    EXPECT_FALSE(window.surface.Image() == before);
    bar.CancelDrag();
    EXPECT_EQ(bar.GetRect(), start);
    EXPECT_EQ(bar.GetPlace(), place);
    EXPECT_EQ(Stored(), place);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(window.surface.Image() == before);

    // A drag that ends where it began stores nothing either.
    bar.BeginDrag(start.CenterPoint());
    bar.EndDrag();
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ScaleBarTest, OnAPageTheOffsetsBecomeThousandthsOfAnInch)
{
    const struct {
        int hmm;
        int mils;
    } conversions[] = {{0, 0}, {1, 0}, {2, 1}, {254, 100}, {500, 197}, {2540, 1000}};
    for (const auto& c : conversions) {
        SCOPED_TRACE(c.hmm);
        doc.Settings().scaleBarOffsetX = c.hmm;
        doc.Settings().scaleBarOffsetY = 254;
        CDrelView page(doc);
        page.OnSize(800, 600);
        page.SetScaleDenominator(25000);
        page.ToggleScaleBar();
        QImage image = MilPicture(3000, 2000, QColor(128, 128, 128));
        CDC dc(image);
        const CSize size = page.GetScaleBar()->MeasureBar(dc);
        page.GetScaleBar()->DrawOnPage(dc, CRect(500, 300, 2800, 1800));
        // Anchored left and bottom.
        const CRect expected(CPoint(500 + c.mils, 1800 - 100 - size.cy), size);
        EXPECT_EQ(PixelAt(image, expected.left + 1, expected.top + 1), RGB(255, 255, 255)) << "on white";
        EXPECT_EQ(PixelAt(image, expected.left - 1, expected.top + 1), RGB(128, 128, 128));
        EXPECT_EQ(PixelAt(image, expected.left + 59 + 100, expected.top + 157), RGB(0, 0, 0));
        EXPECT_EQ(PixelAt(image, expected.right - 1, expected.bottom - 1), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(image, expected.right, expected.bottom), RGB(128, 128, 128));
        page.ToggleScaleBar();
    }

    // Pushed inside a small page; nothing when the view does not show the bar.
    CScaleBar& bar = ShowBar();
    QImage image = MilPicture(1500, 400, QColor(128, 128, 128));
    CDC dc(image);
    bar.DrawOnPage(dc, CRect(0, 0, 1000, 150));
    EXPECT_EQ(PixelAt(image, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 1, 200), RGB(128, 128, 128)) << "the top edge is pushed in last";
    view->ToggleScaleBar();
    QImage blank = MilPicture(1500, 400, QColor(128, 128, 128));
    CDC blankDC(blank);
    bar.DrawOnPage(blankDC, CRect(0, 0, 1000, 300));
    EXPECT_EQ(DarkPixels(blank, CRect(0, 0, 1500, 400)), 0);
    EXPECT_EQ(PixelAt(blank, 1, 1), RGB(128, 128, 128));
}

} // namespace
