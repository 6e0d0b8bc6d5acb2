// bench-deps: drel_demo drel_maprender
// The demo town grown to 100,000 streets, made once per run, drawn as the
// map export draws it (drel-render) into 1920 x 1080: at its full extent and
// zoomed to 1 % of it (a hundredth of its width and height round its
// centre). Each case first draws once and fails unless the picture holds
// something besides the background.
#include "bench/BigDemoTown.h"
#include "bench/FontBenchMain.h"
#include "mapdoc/DrelView.h"
#include "render/DibImage.h"
#include "tools/render/MapPicture.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <string>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct CBigTown : CBigDemoTown {
    CMapRect fullExtent;

    CBigTown() : CBigDemoTown(kWidth, kHeight)
    {
        if (Ready())
            fullExtent = renderer.View().GetMapExtent();
    }

    void Show(int percent)
    {
        CMapRect extent = fullExtent;
        extent.Scale(percent / 100.0);
        renderer.ShowExtent(extent, error);
    }

    // The share of pixels that are not the background.
    double Inked(const CDibImage& image) const
    {
        const QImage& pixels = *image.GetBitmap()->Image();
        long long inked = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                inked += pixels.pixel(x, y) != qRgb(255, 255, 255);
        return static_cast<double>(inked) / (kWidth * kHeight);
    }
};

CBigTown& Town()
{
    static CBigTown town;
    return town;
}

void BM_DrawDemoTown(benchmark::State& state)
{
    CBigTown& town = Town();
    if (!town.Ready()) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    town.Show(static_cast<int>(state.range(0)));
    CDibImage image;
    std::string error;
    if (!DrawMapPicture(town.renderer.View(), image, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const double inked = town.Inked(image);
    if (inked == 0) {
        state.SkipWithError("the picture shows only the background");
        return;
    }
    for (auto _ : state)
        DrawMapPicture(town.renderer.View(), image, error);
    state.counters["inked %"] = inked * 100;
    state.counters["scale"] = town.renderer.View().GetScaleDenominator();
    state.counters["town made s"] = town.generateMs / 1000;
}
BENCHMARK(BM_DrawDemoTown)->ArgName("percent")->Arg(100)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithFonts(argc, argv);
}
