// The vehicle marker by pixel probes, over the program's own icons.

#include "gps/VehicleMarker.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "render/IconLibrary.h"
#include "render/SymbolLibrary.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cfloat>

namespace {

constexpr QRgb kArrow = 0xFF0000;
constexpr QRgb kVehicleRed = 0xDC1E1E;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kLostGrey = 0xAAAAAA;

// The window of a map view: pixels and nothing else.
class CSurfaceOnly : public IViewWindow {
public:
    void InvalidateView() override {}
    CWindowSurface* GetSurface() override { return &surface; }
    CWindowSurface surface{400, 200, 96};
};

// A map of 2000 x 1000 metres (map units taken as the marker's degrees)
// in a window of 400 x 200 pixels.
class VehicleMarkerTest : public ::testing::Test {
protected:
    VehicleMarkerTest() : icons(TestDataFolder() + "../../res/Vexil/")
    {
        NeedGuiApplication();
        SymbolLibrary().Release();
        SetIconLibrary(&icons);
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().limits = CMapRect(0, 1000, 2000, 0);
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
        at = view.MapToClient(CMapPoint(1000, 500));
    }
    ~VehicleMarkerTest() override
    {
        view.SetWindow(nullptr);
        SetIconLibrary(nullptr);
        SymbolLibrary().Release();
    }

    void Paint() { window.surface.Image().fill(Qt::white); }
    void Draw(double x, double y, double course, int lost)
    {
        CDC dc(window.surface);
        view.PrepareDCMapping(dc);
        DrawVehicleMarker(dc, view, x, y, course, lost);
    }
    QRgb Pixel(int dx, int dy) const { return window.surface.Image().pixel(at.x + dx, at.y + dy) & 0xFFFFFF; }

    CIconFolderLibrary icons;
    CScriptedUserServices user;
    CDrelDoc doc;
    CDrelView view{doc};
    CSurfaceOnly window;
    CPoint at;
};

TEST_F(VehicleMarkerTest, TheArrowPointsAlongTheCourseWithTheVehicleOnThePoint)
{
    struct Case {
        double course;
        int dx, dy; // the way the arrow points
    };
    for (const Case& c : {Case{90, 1, 0}, Case{0, 0, -1}, Case{180, 0, 1}, Case{270, -1, 0}, Case{450.7, 1, 0}}) {
        SCOPED_TRACE(c.course);
        Paint();
        Draw(1000, 500, c.course, 0);
        EXPECT_EQ(Pixel(16 * c.dx, 16 * c.dy), kArrow);
        EXPECT_EQ(Pixel(18 * c.dx, 18 * c.dy), kArrow) << "the tip 19 px out";
        EXPECT_EQ(Pixel(21 * c.dx, 21 * c.dy), kWhite);
        EXPECT_EQ(Pixel(-16 * c.dx, -16 * c.dy), kWhite) << "nothing behind";
        EXPECT_EQ(Pixel(0, 0), kVehicleRed) << "symbol 119 on the point";
        EXPECT_EQ(Pixel(6 * c.dy, 6 * c.dx), kWhite) << "its ring";
    }
}

TEST_F(VehicleMarkerTest, NoCourseAndLostDrawTheirSymbolsWithoutArrow)
{
    struct Case {
        const char* what;
        double course;
        int lost;
        QRgb centre, four, seven;
    };
    const Case cases[] = {
        {"no course: 121", -1, 0, kVehicleRed, kWhite, kVehicleRed},
        {"lost: 118", 90, 1, kBlack, kLostGrey, kLostGrey},
        {"lost without course: 118", -1, 1, kBlack, kLostGrey, kLostGrey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Paint();
        Draw(1000, 500, c.course, c.lost);
        EXPECT_EQ(Pixel(0, 0), c.centre);
        EXPECT_EQ(Pixel(0, -4), c.four);
        EXPECT_EQ(Pixel(0, -7), c.seven);
        EXPECT_EQ(Pixel(16, 0), kWhite) << "no arrow";
    }
}

TEST_F(VehicleMarkerTest, NothingOutsideTheExtentOrWithoutAPosition)
{
    for (const CMapPoint& p : {CMapPoint(2100, 500), CMapPoint(1000, -30), CMapPoint(DBL_MAX, 500),
                               CMapPoint(1000, DBL_MAX), CMapPoint(std::nan(""), 500)}) {
        Paint();
        const QImage before = window.surface.Image().copy();
        Draw(p.x, p.y, 90, 0);
        EXPECT_EQ(window.surface.Image(), before) << p.x << " " << p.y;
    }
}

TEST_F(VehicleMarkerTest, TheAutomationVehicleIsNeverDrawnAsLost)
{
    CVehicleMarker vehicle;
    const auto drawVehicle = [&] {
        Paint();
        CDC dc(window.surface);
        view.PrepareDCMapping(dc);
        vehicle.Draw(dc, view);
    };
    vehicle.Show(1000, 500, -1, 0);
    drawVehicle();
    EXPECT_EQ(Pixel(0, 0), kVehicleRed) << "symbol 121";
    EXPECT_EQ(Pixel(0, -4), kWhite);
    EXPECT_EQ(Pixel(16, 0), kWhite) << "no arrow";

    vehicle.Show(1000, 500, 90, 0);
    drawVehicle();
    EXPECT_EQ(Pixel(16, 0), kArrow);

    vehicle.Hide();
    drawVehicle();
    EXPECT_EQ(Pixel(0, 0), kWhite);
    EXPECT_EQ(Pixel(16, 0), kWhite);
}

} // namespace
