// The drawings of the view's overlay list and the measuring tools'
// outline, drawn on pictures through a view of known transform: 400 x 200
// pixels over 2000 x 1000 metres, five metres a pixel, the origin at the
// top left.
#include "mapdoc/DrelView.h"

#include "core/Shape.h"
#include "mapdoc/LineOverlay.h"
#include "mapdoc/OutlineOverlay.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "platform/Icon.h"
#include "platform/WindowSurface.h"
#include "res/BitmapTable.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kHighlight = RGB(0, 150, 0);

class CSurfaceWindow : public CRecordingWindow {
public:
    CWindowSurface* GetSurface() override { return &surface; }
    CWindowSurface surface{400, 200, 96};
};

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

int DarkPixels(const QImage& image, const CRect& r)
{
    int dark = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

class OverlaysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
        image.setDotsPerMeterX(kPixelsPerMetre);
        image.setDotsPerMeterY(kPixelsPerMetre);
        image.fill(Qt::white);
    }

    // A picture of some colours for the drawing to go over.
    void Stripes()
    {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, 90));
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CSurfaceWindow window;
    CDrelDoc doc;
    CDrelView view{doc};
    QImage image{400, 200, QImage::Format_RGB32};
};

} // namespace

TEST_F(OverlaysTest, AnOutlineDrawnTwiceInvertedLeavesThePicture)
{
    Stripes();
    const QImage before = image.copy();
    COutlineOverlay outline;
    EXPECT_EQ(outline.GetRop(), R2_COPYPEN);
    for (const CMapPoint& p : {CMapPoint(100, 900), CMapPoint(1900, 100), CMapPoint(1900, 900), CMapPoint(150, 120)})
        outline.Points().Add(p);
    outline.SetRop(R2_NOT);
    CDC dc(image);
    outline.Draw(dc, view);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_NE(image, before);
    const CPoint corner = view.MapToClient(CMapPoint(1900, 100));
    EXPECT_NE(PixelAt(image, corner.x, corner.y - 5), PixelAt(before, corner.x, corner.y - 5));
    outline.Draw(dc, view);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(image, before);

    // Copied in its colour otherwise.
    outline.SetRop(R2_COPYPEN);
    outline.LineStyle().penColor = RGB(0, 0, 255);
    outline.Draw(dc, view);
    EXPECT_EQ(PixelAt(image, corner.x, corner.y - 5), RGB(0, 0, 255));
}

TEST_F(OverlaysTest, APointMarkerIsOurOwnPictureBelowAndRightOfThePoint)
{
    const BitmapResource* marker = FindBitmapResource(CPointOverlay::kIcon);
    ASSERT_NE(marker, nullptr);
    CIcon icon;
    ASSERT_TRUE(icon.LoadResource(CPointOverlay::kIcon));
    EXPECT_EQ(icon.GetSize(), CSize(32, 32));

    CDC dc(image);
    CPointOverlay inside(CMapPoint(1000, 500));
    inside.Draw(dc, view);
    CRect rect;
    EXPECT_TRUE(inside.GetRect(view, rect));
    EXPECT_EQ(rect, CRect(197, 101, 229, 133));
    // The arrow's tip stands right under the point.
    EXPECT_EQ(PixelAt(image, 200, 102), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(image, 200, 99), RGB(255, 255, 255));
    EXPECT_GT(DarkPixels(image, rect), 50);
    EXPECT_EQ(DarkPixels(image, CRect(0, 0, 400, 200)), DarkPixels(image, rect)) << "nothing outside the picture";

    const QImage before = image.copy();
    CPointOverlay outside(CMapPoint(2100, 500));
    outside.Draw(dc, view);
    EXPECT_EQ(image, before);
    EXPECT_FALSE(outside.GetRect(view, rect));
    EXPECT_TRUE(rect.IsRectEmpty());
}

TEST_F(OverlaysTest, ALineFromOutsideToOutsideDrawsItsVisiblePiece)
{
    CDC dc(image);
    CLineOverlay across(CMapPoint(-1000, 500), CMapPoint(3000, 500));
    across.Draw(dc, view);
    CRect rect;
    EXPECT_TRUE(across.GetRect(view, rect));
    EXPECT_EQ(rect, CRect(0, 100, 401, 101));
    EXPECT_EQ(PixelAt(image, 0, 100), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(image, 399, 100), RGB(0, 0, 0));
    EXPECT_EQ(DarkPixels(image, CRect(0, 0, 400, 200)), 400);

    CLineOverlay aside(CMapPoint(-1000, 500), CMapPoint(-10, 1500));
    aside.Draw(dc, view);
    EXPECT_FALSE(aside.GetRect(view, rect));
    EXPECT_EQ(DarkPixels(image, CRect(0, 0, 400, 200)), 400);
}

TEST_F(OverlaysTest, TextsOfOnePointWithOffsetsZeroAndEightDoNotOverlap)
{
    CDC dc(image);
    CTextOverlay low(CMapPoint(1000, 500), "12A", 0);
    CTextOverlay high(CMapPoint(1000, 500), "14", 8);
    CRect lowRect, highRect;
    EXPECT_FALSE(low.GetRect(view, lowRect)) << "not drawn yet";
    low.Draw(dc, view);
    high.Draw(dc, view);
    ASSERT_TRUE(low.GetRect(view, lowRect));
    ASSERT_TRUE(high.GetRect(view, highRect));

    // The boxes are their texts one pixel higher and lower: the second
    // text sits one text height above the first.
    const int h = lowRect.Height() - 2;
    EXPECT_GT(h, 5);
    EXPECT_EQ(highRect.bottom, lowRect.bottom - h);
    EXPECT_EQ(highRect.Height(), lowRect.Height());
    EXPECT_LE(highRect.bottom - 1, lowRect.top + 1) << "the texts do not share a row";
    // Centred above the point: the text's top three quarters lie above it.
    EXPECT_EQ(lowRect.top + 1, 100 - 3 * h / 4);
    EXPECT_LT(highRect.Width(), lowRect.Width());
    EXPECT_EQ((lowRect.left + lowRect.right) / 2, 200);

    // Both are legible: ink inside each text, black on white.
    CRect lowText = lowRect, highText = highRect;
    lowText.DeflateRect(h / 6 + 1, 2);
    highText.DeflateRect(h / 6 + 1, 2);
    EXPECT_GT(DarkPixels(image, lowText), 5);
    EXPECT_GT(DarkPixels(image, highText), 5);

    CTextOverlay outside(CMapPoint(-50, 500), "9");
    outside.Draw(dc, view);
    CRect none;
    EXPECT_FALSE(outside.GetRect(view, none));
}

TEST_F(OverlaysTest, AShapeIsHighlightedAndReportsItsVisibleBoxThreePixelsLarger)
{
    CShape road;
    road.SetPoints(3, std::vector<CMapPoint>{{500, 500}, {1500, 500}, {2500, 800}}.data());
    CShapeOverlay overlay(road);
    CDC dc(image);
    overlay.Draw(dc, view);
    EXPECT_EQ(PixelAt(image, 200, 100), kHighlight);
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC) << "drawn in the map's units";
    CRect rect;
    EXPECT_TRUE(overlay.GetRect(view, rect));
    // The box (500, 800) - (2000, 500) cut to the view.
    EXPECT_EQ(rect, CRect(100 - 3, 40 - 3, 400 + 3, 100 + 3));

    CShape away;
    away.SetPoints(2, std::vector<CMapPoint>{{2100, 500}, {2500, 800}}.data());
    CShapeOverlay outside(away);
    EXPECT_FALSE(outside.GetRect(view, rect));
    EXPECT_TRUE(rect.IsRectEmpty());
}

TEST_F(OverlaysTest, AnOverlayAddedWhileShownIsDrawnAtOnce)
{
    const CPoint at = view.MapToClient(CMapPoint(1000, 500));
    view.SetOverlaysShown(0);
    view.AddOverlay(std::make_unique<CPointOverlay>(CMapPoint(1000, 500)));
    EXPECT_EQ(view.GetOverlayCount(), 1);
    EXPECT_EQ(DarkPixels(window.surface.Image(), CRect(0, 0, 400, 200)), 0);

    view.SetOverlaysShown(1);
    view.AddOverlay(std::make_unique<CPointOverlay>(CMapPoint(1000, 500)));
    EXPECT_EQ(view.GetOverlayCount(), 2);
    EXPECT_EQ(PixelAt(window.surface.Image(), at.x, at.y + 2), RGB(0, 0, 0));

    // And with every paint after, over the map.
    {
        CDC dc(image);
        view.OnDraw(dc);
    }
    EXPECT_EQ(PixelAt(image, at.x, at.y + 2), RGB(0, 0, 0));
}
