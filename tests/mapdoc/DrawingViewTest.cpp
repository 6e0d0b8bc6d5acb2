#include "mapdoc/DrelView.h"

#include "core/Shape.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "layers/Sublayer.h"
#include "render/LabelPainter.h"
#include "render/ShapeDrawing.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kHighlight = RGB(0, 150, 0);
constexpr COLORREF kWindowWhite = RGB(255, 255, 255);

COLORREF PixelAt(const QImage& image, CPoint p)
{
    const QRgb c = image.pixel(p.x, p.y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

class DrawingViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view = std::make_unique<CTestView>(doc);
        view->SetWindow(&window);
        view->OnSize(400, 200);
        line.SetPoints(2, std::vector<CMapPoint>{{100, 500}, {1900, 500}}.data());
        middle = view->MapToClient(CMapPoint(1000, 500));
    }

    // A repaint into a fresh picture: the back buffer copied.
    QImage Repaint()
    {
        QImage image(400, 200, QImage::Format_RGB32);
        image.fill(Qt::black);
        CDC dc(image);
        view->OnDraw(dc);
        return image;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CSurfaceWindow window;
    CDrelDoc doc;
    std::unique_ptr<CTestView> view;
    CShape line;
    CPoint middle;
};

} // namespace

TEST_F(DrawingViewTest, ShapesDrawnWithoutAContextGoOntoTheWindow)
{
    EXPECT_EQ(DrawShapePolyline(line, *view, nullptr, nullptr, kShapeHighlight), 1);
    EXPECT_EQ(PixelAt(window.surface.Image(), middle), kHighlight);
    EXPECT_FALSE(window.surface.TakeChanged().IsRectEmpty()) << "the window is told what changed";

    // Without a window there is nothing to draw on, and nothing breaks.
    view->SetWindow(nullptr);
    EXPECT_EQ(DrawShapePolyline(line, *view, nullptr, nullptr, kShapeHighlight), 1);
}

TEST_F(DrawingViewTest, BitEightKeepsTheShapeInTheBackBuffer)
{
    EXPECT_EQ(view->OpenBackBufferDC(CDC()), nullptr) << "no back buffer before the first pass";
    Repaint();
    ASSERT_TRUE(view->HasBackBuffer());

    DrawShapePolyline(line, *view, nullptr, nullptr, kShapeHighlight);
    EXPECT_EQ(PixelAt(Repaint(), middle), kWindowWhite) << "the window only";

    DrawShapePolyline(line, *view, nullptr, nullptr, kShapeHighlight | kShapeAlsoBackBuffer);
    EXPECT_EQ(PixelAt(Repaint(), middle), kHighlight);
}

TEST_F(DrawingViewTest, TheGeographicConverterIsTheDocumentsOwn)
{
    doc.SetCoordSystem(0);
    EXPECT_EQ(view->GetGeoToMapConverter(), nullptr);
    doc.SetCoordSystem(1);
    ASSERT_NE(view->GetGeoToMapConverter(), nullptr);
    CMapPoint vilnius(25.28, 54.69), expected = vilnius;
    view->GetGeoToMapConverter()->ConvertPoint(vilnius);
    doc.GeoToMap(expected);
    EXPECT_EQ(vilnius.x, expected.x);
    EXPECT_EQ(vilnius.y, expected.y);
}

TEST_F(DrawingViewTest, LabelsTakeTheirPlacesInTheViewsRegisterAndStayInItsArea)
{
    NeedGuiApplication();
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    CDC dc(image);
    view->PrepareDCMapping(dc);
    const CPoint at = view->MapToDevice(CMapPoint(1000, 500));
    CSublayer sublayer(CLayer::kPoint);
    sublayer.m_labelPlacement = 0;
    CLabelPainter painter(view.get(), dc);
    painter.SetLabelStyle(sublayer, 5000);
    EXPECT_EQ(painter.GetVisibleArea(), view->GetDeviceRect());

    EXPECT_EQ(painter.DrawLabel(at.x, at.y, "Vilnius"), 1);
    EXPECT_EQ(painter.DrawLabel(at.x + 100, at.y + 50, "Kaunas"), 0) << "over the first";
    EXPECT_EQ(painter.DrawLabel(at.x, at.y + 400, "Kaunas"), 1) << "below it";
    EXPECT_EQ(painter.DrawLabel(view->GetDeviceRect().right - 50, at.y - 400, "Alytus"), 0) << "past the edge";
    sublayer.m_labelFlags = CSublayer::kShowAllLabels;
    painter.SetLabelStyle(sublayer, 5000);
    EXPECT_EQ(painter.DrawLabel(at.x + 100, at.y + 50, "Kaunas"), 1) << "all labels shown";
}
