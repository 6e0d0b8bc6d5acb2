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

class CFixedPageSetup : public IPageSetup {
public:
    CFixedPageSetup() { SetPageSetup(this); }
    ~CFixedPageSetup() override { SetPageSetup(nullptr); }
    CPageSetupValues GetValues() const override { return values; }

    CPageSetupValues values;
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
    }

    CRect exportRect;
    CMapRect extent;
    bool printing = false;
    int exporting = 0;
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
