// bench-deps: drel_mapdoc
// The mouse tools over a 1920 x 1080 map view carrying 50 overlays: a pan
// drag (each move shows the map's picture moved, nothing else drawn) and
// the zoom window's rubber band (each move erases the band and draws it
// again, inverted on the window). Each first checks what the window
// shows: the picture moved by the drag, and the map bit for bit once the
// band is erased.
#include "core/Shape.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "mapdoc/ViewWindow.h"
#include "mapdoc/ZoomWindowTool.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowSurface.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kOverlays = 50;

// A window whose repaints run at the view's update, as the widget's do.
class CBenchWindow : public IViewWindow {
public:
    void InvalidateView() override { pending = true; }
    void UpdateView() override
    {
        if (!pending || !view)
            return;
        pending = false;
        CDC dc(surface);
        view->OnDraw(dc);
    }
    CWindowSurface* GetSurface() override { return &surface; }
    CWindowSurface surface{kWidth, kHeight};
    CDrelView* view = nullptr;
    bool pending = false;
};

// The map's picture: stripes, so that a moved picture shows it moved.
class CStripedView : public CDrelView {
public:
    using CDrelView::CDrelView;

protected:
    void DrawLayer(CDC& dc, CLayer&) override {}
    void DrawLayerLabels(CDC&, CLayer&) override {}
};

struct CToolView {
    CToolView()
    {
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().limits = CMapRect(0, 1080, 1920, 0);
        view = std::make_unique<CStripedView>(doc);
        window.view = view.get();
        view->SetWindow(&window);
        view->OnSize(kWidth, kHeight);
        Paint();
        // Stripes into the back buffer, as a map would leave it.
        auto reference = view->OpenWindowDC();
        auto memory = view->OpenBackBufferDC(*reference);
        for (int x = 0; x < kWidth; x += 16)
            memory->FillSolidRect(x, 0, 8, kHeight, RGB(x % 256, 90, 200));
        memory.reset();
        for (int i = 0; i < kOverlays; ++i) {
            CShape line;
            const CMapPoint points[] = {view->ClientToMap(i * 37, 0), view->ClientToMap(i * 37 + 200, kHeight - 1)};
            line.SetPoints(2, points);
            line.RecalcBounds();
            view->AddOverlay(std::make_unique<CShapeOverlay>(line));
        }
        Paint();
    }
    ~CToolView() { view->SetWindow(nullptr); }
    void Paint()
    {
        CDC dc(window.surface);
        view->OnDraw(dc);
    }
    QImage Map()
    {
        auto reference = view->OpenWindowDC();
        auto memory = view->OpenBackBufferDC(*reference);
        QImage map(kWidth, kHeight, QImage::Format_RGB32);
        CDC copy(map);
        copy.BitBlt(0, 0, kWidth, kHeight, memory.get(), 0, 0, SRCCOPY);
        return map;
    }

    CDrelDoc doc;
    CBenchWindow window;
    std::unique_ptr<CStripedView> view;
};

void BM_PanDrag(benchmark::State& state)
{
    CToolView t;
    MapToolMode = kModePan;
    t.view->SetToolMode(kModePan);
    const QImage map = t.Map();
    t.view->OnLButtonDown(MK_LBUTTON, 500, 500);
    t.view->OnMouseMove(MK_LBUTTON, 533, 511);
    const QImage& shown = t.window.surface.Image();
    for (const int x : {40, 700, 1900}) {
        if (shown.pixel(x, 600) != map.pixel(x - 33, 589)) {
            state.SkipWithError("the window does not show the map moved by the drag");
            return;
        }
    }
    int step = 0;
    for (auto _ : state) {
        ++step;
        t.view->OnMouseMove(MK_LBUTTON, 500 + (step % 200), 500 + (step % 120));
    }
    t.view->OnLButtonUp(0, 500 + (step % 200), 500 + (step % 120));
    state.SetItemsProcessed(state.iterations());
    state.counters["pixels"] = double(kWidth) * kHeight;
    MapToolMode = 0;
}
BENCHMARK(BM_PanDrag)->Unit(benchmark::kMicrosecond);

void BM_RubberBandMove(benchmark::State& state)
{
    CToolView t;
    MapToolMode = kModeZoomWindow;
    t.view->SetToolMode(kModeZoomWindow);
    t.view->CreateToolForMode();
    t.Paint();
    const QImage map = t.window.surface.Image().convertToFormat(QImage::Format_RGB32);
    t.view->OnLButtonDown(MK_LBUTTON, 100, 100);
    for (int i = 1; i <= 20; ++i)
        t.view->OnMouseMove(MK_LBUTTON, 100 + 80 * i, 100 + 45 * i);
    auto* tool = dynamic_cast<CZoomWindowTool*>(t.view->GetTool());
    if (!tool || !tool->IsTracking() || t.window.surface.Image().convertToFormat(QImage::Format_RGB32) == map) {
        state.SkipWithError("no band is shown");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        ++step;
        t.view->OnMouseMove(MK_LBUTTON, 300 + (step % 1500), 200 + (step % 800));
    }
    // Released onto a rectangle, which the next click erases.
    t.view->OnLButtonUp(0, 1800, 1000);
    t.view->OnLButtonDown(MK_LBUTTON, 5, 5);
    t.view->OnLButtonUp(0, 5, 5);
    if (t.window.surface.Image().convertToFormat(QImage::Format_RGB32) != map)
        state.SkipWithError("the erased band left marks on the window");
    state.SetItemsProcessed(state.iterations());
    MapToolMode = 0;
}
BENCHMARK(BM_RubberBandMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
