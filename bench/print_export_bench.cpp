// bench-deps: drel_demo drel_maprender
// The demo town grown to 100,000 streets, drawn for export as printing
// and picture export draw it: the whole town into a 4000 x 3000 picture
// at 300 dpi (DrawToDC), and the same extent exported as an enhanced
// metafile. Each first checks its result: the picture inked across the
// town; the metafile whole, and inked across the town when played back.
#include "bench/BigDemoTown.h"
#include "bench/FontBenchMain.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/MetaFile.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kDpi = 300;

struct CExportedTown : CBigDemoTown {
    CMapRect extent;
    double denominator = 0;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};

    CExportedTown() : CBigDemoTown(1600, 1200)
    {
        if (!Ready())
            return;
        // The visible extent (4:3 like the picture) at the denominator that
        // makes it 4000 pixels wide at 300 dpi.
        CDrelView& view = renderer.View();
        extent = view.GetMapExtent();
        const double inches = extent.Width() / view.GetPrintScaleX() / 1000;
        denominator = view.GetScaleDenominator() * inches * kDpi / kWidth;
        image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254 + 0.5));
        image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254 + 0.5));
    }

    void Draw()
    {
        image.fill(Qt::white);
        CDC dc(image);
        renderer.View().DrawToDC(dc, &extent, denominator, kDpi);
    }

    // Inked in most of the 4 x 4 parts of the picture, as the town covers it.
    bool CheckPicture(const QImage& picture)
    {
        const int width = picture.width(), height = picture.height();
        int inkedParts = 0;
        for (int py = 0; py < 4; ++py)
            for (int px = 0; px < 4; ++px) {
                int ink = 0;
                for (int y = py * height / 4; y < (py + 1) * height / 4; y += 3)
                    for (int x = px * width / 4; x < (px + 1) * width / 4; x += 3)
                        ink += picture.pixel(x, y) != qRgb(255, 255, 255);
                inkedParts += ink > 20;
            }
        if (inkedParts < 12)
            return error = "only " + std::to_string(inkedParts) + " of 16 parts inked", false;
        return true;
    }
};

CExportedTown& Town()
{
    static CExportedTown town;
    return town;
}

void BM_DrawToDC300Dpi(benchmark::State& state)
{
    CExportedTown& town = Town();
    if (!town.Ready()) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    town.Draw();
    if (!town.CheckPicture(town.image)) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    for (auto _ : state)
        town.Draw();
    state.counters["pixels/s"] =
        benchmark::Counter(double(kWidth) * kHeight, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DrawToDC300Dpi)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportEnhMetafile(benchmark::State& state)
{
    CExportedTown& town = Town();
    if (!town.Ready()) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    const std::string path = town.folder.string() + "/town.emf";
    auto exportOnce = [&] { return town.renderer.View().ExportEnhMetafile(path, &town.extent, town.denominator) == 1; };
    CMetaFile emf;
    if (!exportOnce() || !emf.Load(path) || emf.GetKind() != CMetaFile::Kind::Enhanced) {
        state.SkipWithError("the metafile was not written whole");
        return;
    }
    // Played back, the picture shows the town as the drawing does.
    QImage played(kWidth / 4, kHeight / 4, QImage::Format_RGB32);
    played.fill(Qt::white);
    {
        CDC dc(played);
        emf.Play(dc, CRect(0, 0, played.width(), played.height()));
    }
    if (!town.CheckPicture(played)) {
        state.SkipWithError(("played back: " + town.error).c_str());
        return;
    }
    for (auto _ : state)
        exportOnce();
    state.counters["records/s"] =
        benchmark::Counter(emf.GetEnhHeader().records, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = emf.GetBits().size() / 1e6;
    state.counters["records"] = emf.GetEnhHeader().records;
}
BENCHMARK(BM_ExportEnhMetafile)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithFonts(argc, argv);
}
