// The map window on a screen of twice the density: the views draw in
// device pixels.
#include "tests/shell/widgets/app/AppFixture.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/WindowSurface.h"
#include "shell/widgets/MapFrame.h"

#include <QImage>
#include <QScreen>

namespace {

// Before the application is made.
const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

class HighDensityTest : public CAppFixture {};

TEST_F(HighDensityTest, TheViewsDrawInDevicePixels)
{
    ASSERT_TRUE(kScaled);
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_DOUBLE_EQ(frame->devicePixelRatioF(), 2.0);
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    const CMapViewWidget& widget = *child->GetViewWidget();
    EXPECT_EQ(widget.Surface().Width(), 2 * widget.width());
    EXPECT_EQ(widget.Surface().Height(), 2 * widget.height());
    const CDrelView& view = *child->GetMapView();
    EXPECT_EQ(view.GetClientSize().cx, 2 * widget.width());
    const int logical = static_cast<int>(frame->screen()->logicalDotsPerInchX() + 0.5);
    EXPECT_EQ(view.GetLogPixelsX(), 2 * logical); // a map scale keeps its size on the screen

    // The overview's frame of the view's extent is a line of one pixel.
    const QImage& overview = child->GetOverviewWidget()->Surface().Image();
    const int y = overview.height() / 2;
    int x = 0;
    while (x < overview.width() && !IsRed(overview.pixel(x, y)))
        ++x;
    ASSERT_LT(x, overview.width() - 1) << "no frame in the overview";
    EXPECT_FALSE(IsRed(overview.pixel(x + 1, y)));
    EXPECT_FALSE(x > 0 && IsRed(overview.pixel(x - 1, y)));
    SaveScreenshot(*frame, "map-frame-demo-scaled");
}

} // namespace
