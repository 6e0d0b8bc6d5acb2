// bench-deps: drel_mapdoc
// Drawing a GDB layer of one million lines (bench/GdbLineLayer.h) with a
// label on each into a 1920 x 1080 map view, objects then labels, as a
// repaint does: at the layer's full extent and at 1 % of it (through the
// spatial index). Each first checks the picture: the vertices in the view
// of the first lines meeting it are inked, the lines red and their numbers
// written in black.
#include "bench/FontBenchMain.h"
#include "bench/GdbLineLayer.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"

#include <QImage>

#include <memory>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr COLORREF kLineColour = RGB(220, 0, 0);
// The first lines meeting the view, whose vertices the check looks at.
constexpr int kCheckedLines = 2000;

struct CDrawnLayer {
    CGdbLineLayer lines;
    CDrelDoc doc;
    std::unique_ptr<CDrelView> view;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    bool ready = false;

    CDrawnLayer()
    {
        if (!lines.made || !lines.UseIndex<CGdbSource>(true))
            return;
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().limits = lines.extent;
        auto layer = std::make_unique<CLayer>("Lines", lines.path, CLayer::kLine);
        CSublayer& sublayer = *layer->GetSublayer(0);
        CDrawStyle style;
        style.penWidth = 10;
        style.penColor = kLineColour;
        style.brushStyle = BS_HOLLOW;
        sublayer.m_style = style;
        sublayer.m_labelField = "N";
        sublayer.m_labelPlacement = 24;
        doc.AddLayer(std::move(layer), false);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        view = std::make_unique<CDrelView>(doc);
        view->OnSize(kWidth, kHeight);
        ready = true;
    }

    void Show(int percent)
    {
        if (percent >= 100)
            view->ZoomToFullExtent();
        else
            view->ZoomToRect(lines.Window(percent), 0);
    }

    void Draw()
    {
        image.fill(Qt::white);
        view->Redraw();
        CDC dc(image);
        view->OnDraw(dc);
    }

    // Vertices of the first lines meeting the view that show no ink, out of how many.
    bool Check(std::string& error)
    {
        CGdbSource source;
        if (!source.Open(lines.path))
            return error = "the layer does not open", false;
        const CMapRect shown = view->GetMapExtent();
        source.SetQueryRect(&shown);
        int inView = 0, blank = 0;
        CShape shape;
        for (int n = 0; n < kCheckedLines && source.ReadNextShape(shape); ++n)
            for (int i = 0; i < shape.GetPointCount(); ++i) {
                const CPoint p = view->MapToClient(shape.GetPoint(i));
                if (p.x < 1 || p.y < 1 || p.x >= kWidth - 1 || p.y >= kHeight - 1)
                    continue;
                ++inView;
                // The view's pixels and its drawing round apart by a pixel at most.
                bool inked = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        inked = inked || image.pixel(p.x + dx, p.y + dy) != qRgb(255, 255, 255);
                blank += !inked;
            }
        int red = 0, dark = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const QRgb c = image.pixel(x, y);
                red += c == qRgb(220, 0, 0);
                dark += qGray(c) < 80;
            }
        if (inView < 100 || blank > inView / 50)
            return error = std::to_string(blank) + " of " + std::to_string(inView) + " vertices blank", false;
        if (red < kWidth * kHeight / 20)
            return error = "too few line pixels", false;
        if (dark < 2000)
            return error = "no labels", false;
        return true;
    }
};

void BM_DrawLinesWithLabels(benchmark::State& state)
{
    static CDrawnLayer layer;
    if (!layer.ready) {
        state.SkipWithError("the layer could not be made");
        return;
    }
    const int percent = static_cast<int>(state.range(0));
    layer.Show(percent);
    layer.Draw();
    std::string error;
    if (!layer.Check(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state)
        layer.Draw();
    state.counters["lines"] = layer.lines.Expected(layer.view->GetMapExtent(), false);
}
BENCHMARK(BM_DrawLinesWithLabels)->ArgName("percent")->Arg(100)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithFonts(argc, argv);
}
