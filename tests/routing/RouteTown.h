#pragma once

// A metre map of 2000 x 1000 m shown in a window of 400 x 200 pixels (five
// metres a pixel, client (x, y) = map (5x, 1000 - 5y)) with a routing layer
// held in memory: a street along y = 500 from x = 0 to 2000 through node
// 2 at (1000, 500), a street along x = 1000 crossing it there, and a closed
// street (direction 3) along y = 900. The view's route points read it.

#include "routing/RoutePoints.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/routing/RouteTestNetwork.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

// A window that gives the route-length box (logged as "route") and the
// mouse capture unless another window is said to hold it.
class CRouteWindow : public CToolWindow {
public:
    using CToolWindow::CToolWindow;
    std::unique_ptr<IRouteLengthBox> CreateRouteLengthBox() override
    {
        return boxes ? std::make_unique<CLengthBox>(*boxes) : nullptr;
    }
    bool CaptureMouse() override
    {
        if (heldElsewhere)
            return false;
        captured = true;
        return true;
    }
    void ReleaseMouse() override { captured = false; }

    bool heldElsewhere = false;
    bool captured = false;

private:
    class CLengthBox : public CLoggedBox<IRouteLengthBox> {
    public:
        explicit CLengthBox(CRecordingBoxes& boxes) : CLoggedBox(boxes, "route") {}
        void SetLength(double km) override { Log(km, 0); }
    };
};

// The map and its network; the view comes from the test (headless or in a widget).
struct CRouteTown {
    CRouteTown()
    {
        // The markers' texts need fonts.
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        auto layer = std::make_unique<CLayer>("Keliai", "keliai.gdb", CLayer::kLine);
        layer->SetExtent(CMapRect(0, 1000, 2000, 0));
        doc.AddLayer(std::move(layer), false);
        doc.Settings().routesLayer = "Keliai";
        static_cast<CRouteFields&>(doc.Settings()) = TestRouteFields();
        source.fieldNames = {"NUO", "IKI", "ILGIS", "KRYPTIS", "RANGAS", "SVORIS"};
        Street({{0, 500}, {1000, 500}}, 1, 2, "1000");
        Street({{1000, 500}, {2000, 500}}, 2, 3, "1000");
        Street({{1000, 0}, {1000, 500}}, 4, 2, "500");
        Street({{1000, 500}, {1000, 1000}}, 2, 5, "500");
        Street({{0, 900}, {2000, 900}}, 6, 7, "2000", "3");
    }

    void Street(std::vector<CMapPoint> points, long from, long to, std::string length, std::string direction = "")
    {
        source.Add(std::move(points), {std::to_string(from), std::to_string(to), std::move(length),
                                       std::move(direction), "1", "1"});
    }

    // Route points that read this network.
    std::unique_ptr<CRoutePoints> MakePoints()
    {
        auto points = std::make_unique<CRoutePoints>();
        points->SetLayerSource(&source);
        return points;
    }

    static CPoint Client(double x, double y) { return CPoint(static_cast<int>(x / 5), static_cast<int>((1000 - y) / 5)); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CMemoryRouteSource source;
};

// The town in a headless view whose window has pixels.
struct CRouteTownView : CRouteTown {
    CRouteTownView() : window(400, 200)
    {
        view = std::make_unique<CTestView>(doc);
        window.view = view.get();
        window.boxes = &boxes;
        ShowTestMap(doc, *view, window);
        auto made = MakePoints();
        points = made.get();
        view->SetRoutePoints(std::move(made));
        Paint();
    }
    ~CRouteTownView() { view->SetWindow(nullptr); }

    void Paint()
    {
        window.pending = false;
        CDC dc(window.surface);
        view->OnDraw(dc);
    }
    COLORREF Pixel(int x, int y) const
    {
        const QRgb p = window.surface.Image().pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    const CRoutePoint* Point(int i) const { return points->Model().Get(i); }

    CRecordingBoxes boxes;
    CRouteWindow window;
    std::unique_ptr<CTestView> view;
    CRoutePoints* points = nullptr;
};
