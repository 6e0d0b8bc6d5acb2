// The map view's drawing around its layers: following the vehicle, the
// printed pages' outline and the way into printing and export.
#include "mapdoc/DrelView.h"

#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/PageSetup.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const CMapRect kExtent(0, 1000, 2000, 0);

class CFollowedGps : public IMapGpsSource {
public:
    CFollowedGps() { SetMapGpsSource(this); }
    ~CFollowedGps() override { SetMapGpsSource(nullptr); }
    CMapGpsFix GetFix() const override { return fix; }
    bool GetFollowVehicle() const override { return follow; }

    CMapGpsFix fix;
    bool follow = true;
};

class MapDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMetreMap(doc, kExtent);
        doc.AddLayer(MakeExtentLayer("A", kExtent), false);
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(kExtent, 0);
    }

    QImage Paint(int dpi = 96)
    {
        QImage image(400, 200, QImage::Format_RGB32);
        image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
        image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
        image.fill(Qt::white);
        CDC dc(image);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), dpi);
        view.log.clear();
        view.OnDraw(dc);
        return image;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CTestView view{doc};
};

bool IsBlack(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 60;
}

// Columns (or rows) of which at least `share` of the pixels are black.
std::vector<int> BlackLines(const QImage& image, bool columns, double share)
{
    std::vector<int> lines;
    const int count = columns ? image.width() : image.height();
    const int length = columns ? image.height() : image.width();
    for (int i = 0; i < count; ++i) {
        int black = 0;
        for (int j = 0; j < length; ++j)
            black += columns ? IsBlack(image, i, j) : IsBlack(image, j, i);
        if (black >= share * length)
            lines.push_back(i);
    }
    return lines;
}

} // namespace

TEST_F(MapDrawingTest, FollowingTheVehicleRecentresBeforeAnythingIsDrawn)
{
    struct Case {
        const char* name;
        double fromCentre; // share of the view's width
        bool lost;
        bool follow;
        bool recentres;
    };
    const Case cases[] = {
        {"35 % out", 0.35, false, true, true},
        {"29 % out", 0.29, false, true, false},
        {"35 % out, left", -0.35, false, true, true},
        {"lost", 0.35, true, true, false},
        {"not followed", 0.35, false, false, false},
    };
    CFollowedGps gps;
    for (const Case& c : cases) {
        gps.follow = false;
        view.ZoomToRect(kExtent, 0);
        Paint();
        gps.follow = c.follow;
        gps.fix.longitude = 1000 + c.fromCentre * 2000;
        gps.fix.latitude = 500;
        gps.fix.lost = c.lost;
        view.Redraw();
        Paint();
        const CMapPoint centre = view.GetMapExtent().Center();
        if (c.recentres) {
            EXPECT_NEAR(centre.x, gps.fix.longitude, 1e-6) << c.name;
            EXPECT_TRUE(view.Drawn("layer ").empty()) << c.name;
        } else {
            EXPECT_NEAR(centre.x, 1000, 1e-6) << c.name;
            EXPECT_EQ(view.Drawn("layer "), std::vector<std::string>{"A"}) << c.name;
        }
    }

    // No position at all.
    gps.fix = CMapGpsFix();
    view.Redraw();
    Paint();
    EXPECT_NEAR(view.GetMapExtent().Center().x, 1000, 1e-6);
}

TEST_F(MapDrawingTest, PageOutlineByScaleMode)
{
    // At 1000 dpi a thousandth of an inch is a pixel; the map's top left
    // corner is the origin.
    struct Case {
        const char* name;
        int mode;
        int width, height; // hundredths of a millimetre
        double printScaleFactor;
        int onePage;
        std::vector<int> columns, rows; // black across the picture
        std::vector<int> shortColumns, shortRows; // black for a part
    };
    const Case cases[] = {
        // (253 * 100 + 127) / 254 = 100.
        {"current scale", 1, 253, 253, 1, 0, {100, 200, 300}, {100}, {}, {}},
        {"fixed scale 1.5 times", 2, 253, 253, 1.5, 0, {150, 300}, {150}, {}, {}},
        // (380 * 100 + 127) / 254 = 150.
        {"one page", 1, 253, 380, 1, 1, {}, {}, {100}, {150}},
        {"fill the page", 3, 254, 2540, 1, 0, {208}, {}, {}, {}},
        {"fit", 0, 253, 253, 1, 0, {}, {}, {}, {}},
    };
    CFixedPageSetup setup;
    for (const Case& c : cases) {
        setup.values = CPageSetupValues();
        setup.values.showPageOutline = 1;
        setup.values.scaleMode = c.mode;
        setup.values.pageWidth = c.width;
        setup.values.pageHeight = c.height;
        setup.values.printScale = view.GetScaleDenominator() * c.printScaleFactor;
        setup.values.onePageOnly = c.onePage;
        const QImage image = Paint(1000);
        EXPECT_EQ(BlackLines(image, true, 0.95), c.columns) << c.name;
        EXPECT_EQ(BlackLines(image, false, 0.95), c.rows) << c.name;
        if (!c.shortColumns.empty()) {
            // The right and the bottom edge of the first page only.
            EXPECT_EQ(BlackLines(image, true, 0.45), c.shortColumns) << c.name;
            EXPECT_EQ(BlackLines(image, false, 0.2), c.shortRows) << c.name;
            EXPECT_TRUE(IsBlack(image, 100, 100) && !IsBlack(image, 100, 151)) << c.name;
            EXPECT_TRUE(IsBlack(image, 50, 150) && !IsBlack(image, 101, 150)) << c.name;
        }
    }

    setup.values.showPageOutline = 0;
    setup.values.scaleMode = 1;
    EXPECT_TRUE(BlackLines(Paint(1000), true, 0.5).empty()) << "not asked for";
}

// Sees the view while it draws for export.
class CExportWatcher : public CExtensionHooks {
public:
    CExportWatcher() { SetExtension(this); }
    ~CExportWatcher() override { SetExtension(nullptr); }
    void OnDraw(CDC* dc, CDrelView* view) override
    {
        exportRect = view->GetExportRect();
        extent = view->GetMapExtent();
        printing = dc->IsPrinting();
        exporting = view->GetExportFlag();
        printScaleX = view->GetPrintScaleX();
        printScaleY = view->GetPrintScaleY();
        fixed = view->HasFixedExtent();
        ++calls;
    }

    CRect exportRect;
    CMapRect extent;
    bool printing = false;
    int exporting = 0;
    double printScaleX = 0;
    double printScaleY = 0;
    int fixed = 0;
    int calls = 0;
};

TEST_F(MapDrawingTest, DrawingForExportFixesTheExtentAndPutsTheViewBack)
{
    CExportWatcher watcher;
    view.colours["A"] = RGB(0, 128, 0);
    const double printScale = view.GetPrintScaleX();
    const CMapRect before = view.GetMapExtent();
    // Ten inches wide at the view's scale, at 300 dpi.
    const CMapRect tenInches(500, 700, 500 + 10000 * printScale, 700 - 5000 * printScale);
    QImage image(3000, 1500, QImage::Format_RGB32);
    image.fill(Qt::white);
    CDC dc(image);
    view.DrawToDC(dc, &tenInches, 0, 300);
    EXPECT_EQ(watcher.exportRect, CRect(0, 0, 3000, 1500));
    EXPECT_EQ(watcher.extent, tenInches);
    EXPECT_TRUE(watcher.printing) << "above 149 dpi symbols draw as on a printer";
    EXPECT_EQ(watcher.exporting, 1);
    EXPECT_EQ(view.Drawn("layer "), std::vector<std::string>{"A"});
    // The layer fills its extent, placed from the extent's corner at 300 dpi.
    auto pixelOf = [&](double x, double y) {
        const QRgb c = image.pixel(static_cast<int>((x - 500) / printScale * 0.3),
                                   static_cast<int>((700 - y) / printScale * 0.3));
        return RGB(qRed(c), qGreen(c), qBlue(c));
    };
    EXPECT_EQ(pixelOf(1990, 10), RGB(0, 128, 0));
    EXPECT_EQ(pixelOf(2010, 10), RGB(255, 255, 255));

    EXPECT_EQ(view.GetMapExtent(), before);
    EXPECT_EQ(view.GetPrintScaleX(), printScale);
    EXPECT_TRUE(view.GetExportRect().IsRectEmpty());
    EXPECT_EQ(view.GetExportFlag(), 0);
    EXPECT_EQ(view.HasFixedExtent(), 0);
    EXPECT_EQ(view.GetLogPixelsX(), 96);
    EXPECT_FALSE(dc.IsPrinting());

    // Twice the denominator: the same extent in half the pixels.
    view.DrawToDC(dc, &tenInches, view.GetScaleDenominator() * 2, 300);
    EXPECT_EQ(watcher.exportRect, CRect(0, 0, 1500, 750));
    EXPECT_TRUE(dc.PtVisible(2000, 1000)) << "no clipping left behind";
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
}

TEST_F(MapDrawingTest, DrawToDCByItsArguments)
{
    CExportWatcher watcher;
    const double sx = view.GetPrintScaleX(), sy = view.GetPrintScaleY(), d = view.GetScaleDenominator();
    const CMapRect visible = view.GetMapExtent();
    // Ten inches wide and five high at the view's scale.
    const CMapRect tenInches(100, 900, 100 + 10000 * sx, 900 + 5000 * sy);
    struct Case {
        const char* name;
        const CMapRect* extent;
        double denominator; // times the view's
        int dpi;
        CRect exportRect;
        bool printing;
        int fixed;
    };
    const Case cases[] = {
        {"300 dpi of ten inches", &tenInches, 0, 300, CRect(0, 0, 3000, 1500), true, 1},
        {"the same at twice the denominator", &tenInches, 2, 300, CRect(0, 0, 1500, 750), true, 1},
        // 400 x 200 pixels of 96 dpi are 4.17 x 2.08 inches.
        {"the visible extent at 149 dpi", nullptr, 0, 149, CRect(0, 0, 621, 310), false, 1},
        {"the visible extent at 192 dpi", nullptr, 0, 192, CRect(0, 0, 800, 400), true, 1},
        {"the visible extent at half the denominator", nullptr, 0.5, 0, CRect(0, 0, 800, 400), false, 1},
        {"nothing given: the client area", nullptr, 0, 0, CRect(0, 0, 400, 200), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(400, 200, QImage::Format_RGB32);
        CDC dc(image);
        watcher.calls = 0;
        view.DrawToDC(dc, c.extent, c.denominator * d, c.dpi);
        ASSERT_EQ(watcher.calls, 1);
        EXPECT_EQ(watcher.exportRect, c.exportRect);
        EXPECT_EQ(watcher.printing, c.printing);
        EXPECT_EQ(watcher.exporting, 1);
        EXPECT_EQ(watcher.fixed, c.fixed);
        const double factor = c.denominator > 0 ? c.denominator : 1;
        EXPECT_DOUBLE_EQ(watcher.printScaleX, sx * factor);
        EXPECT_DOUBLE_EQ(watcher.printScaleY, sy * factor);
        if (c.extent)
            EXPECT_EQ(watcher.extent, *c.extent);
        else
            EXPECT_EQ(watcher.extent, visible);
        // Everything as before.
        EXPECT_EQ(view.GetPrintScaleX(), sx);
        EXPECT_EQ(view.GetPrintScaleY(), sy);
        EXPECT_EQ(view.GetScaleDenominator(), d);
        EXPECT_EQ(view.GetMapExtent(), visible);
        EXPECT_EQ(view.GetLogPixelsX(), 96);
        EXPECT_EQ(view.GetLogPixelsY(), 96);
        EXPECT_EQ(view.GetExportFlag(), 0);
        EXPECT_EQ(view.HasFixedExtent(), 0);
        EXPECT_TRUE(view.GetExportRect().IsRectEmpty());
        EXPECT_FALSE(dc.IsPrinting());
    }
}

TEST_F(MapDrawingTest, PrepareDCMappingOverTheClientOrTheExportRectangle)
{
    struct Case {
        const char* name;
        CSize client;
        int exportFlag;
        CRect exportRect;
        int dcDpi;
        CSize windowExt, viewportExt;
    };
    const Case cases[] = {
        {"the client area at the context's resolution", {400, 200}, 0, {}, 300, {1333, 666}, {400, 200}},
        {"an export rectangle is used only while exporting", {400, 200}, 0, {0, 0, 960, 480}, 96, {4166, 2083},
         {400, 200}},
        {"exporting: the rectangle at the view's resolution", {400, 200}, 1, {0, 0, 960, 480}, 300, {10000, 5000},
         {960, 480}},
        {"exporting without a rectangle: the client area", {400, 200}, 1, {}, 96, {4166, 2083}, {400, 200}},
        {"no client area yet: thousandths of an inch", {0, 0}, 0, {}, 600, {1000, 1000}, {600, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.OnSize(c.client.cx, c.client.cy);
        view.SetExportFlag(c.exportFlag);
        view.SetExportRect(c.exportRect);
        CDC dc;
        CDC::DeviceInfo info;
        info.dpiX = info.dpiY = c.dcDpi;
        dc.SetDeviceInfo(info);
        EXPECT_EQ(view.PrepareDCMapping(dc), MM_TEXT);
        EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
        EXPECT_EQ(dc.GetWindowExt(), c.windowExt);
        EXPECT_EQ(dc.GetViewportExt(), c.viewportExt);
        view.SetExportFlag(0);
        view.SetExportRect(CRect());
    }
}
