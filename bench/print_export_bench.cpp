// bench-deps: drel_demo
// The demo town grown to 100,000 streets, drawn for export as printing
// and picture export draw it: the whole town into a 4000 x 3000 picture
// at 300 dpi (DrawToDC), and the same extent exported as an enhanced
// metafile. Each first checks its result: the picture inked across the
// town and its export rectangle the picture's size; the metafile whole,
// with a record for each street at least.
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/MetaFile.h"
#include "tools/demo/DemoMapWriter.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kStreets = 100000;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kDpi = 300;

struct CExportedTown {
    std::filesystem::path folder;
    CDrelDoc doc;
    std::unique_ptr<CDrelView> view;
    CMapRect extent;
    double denominator = 0;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    std::string error;

    CExportedTown()
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-export-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        CDemoOptions options;
        options.streets = kStreets;
        if (!MakeDemoMap(folder.string() + "/", options, error))
            return;
        if (!doc.OnOpenDocument(folder.string() + "/" + CDemoMapWriter::kMapFile)) {
            error = "the demo map does not open";
            return;
        }
        view = std::make_unique<CDrelView>(doc);
        view->OnSize(1600, 1200);
        view->ZoomToFullExtent();
        // The visible extent (4:3 like the picture) at the denominator that
        // makes it 4000 pixels wide at 300 dpi.
        extent = view->GetMapExtent();
        const double inches = extent.Width() / view->GetPrintScaleX() / 1000;
        denominator = view->GetScaleDenominator() * inches * kDpi / kWidth;
        image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254 + 0.5));
        image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254 + 0.5));
    }
    ~CExportedTown()
    {
        view.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void Draw()
    {
        image.fill(Qt::white);
        CDC dc(image);
        view->DrawToDC(dc, &extent, denominator, kDpi);
    }

    bool CheckPicture()
    {
        // Inked in each of the 4 x 4 parts of the picture the town covers.
        int inkedParts = 0;
        for (int py = 0; py < 4; ++py)
            for (int px = 0; px < 4; ++px) {
                int ink = 0;
                for (int y = py * kHeight / 4; y < (py + 1) * kHeight / 4; y += 7)
                    for (int x = px * kWidth / 4; x < (px + 1) * kWidth / 4; x += 7)
                        ink += image.pixel(x, y) != qRgb(255, 255, 255);
                inkedParts += ink > 100;
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
    if (!town.view) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    town.Draw();
    if (!town.CheckPicture()) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    for (auto _ : state)
        town.Draw();
    state.counters["streets/s"] = benchmark::Counter(kStreets, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DrawToDC300Dpi)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportEnhMetafile(benchmark::State& state)
{
    CExportedTown& town = Town();
    if (!town.view) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    const std::string path = town.folder.string() + "/town.emf";
    auto exportOnce = [&] { return town.view->ExportEnhMetafile(path, &town.extent, town.denominator) == 1; };
    CMetaFile emf;
    if (!exportOnce() || !emf.Load(path) || emf.GetKind() != CMetaFile::Kind::Enhanced) {
        state.SkipWithError("the metafile was not written whole");
        return;
    }
    if (emf.GetEnhHeader().records < static_cast<std::uint32_t>(kStreets)) {
        state.SkipWithError("fewer records than streets");
        return;
    }
    for (auto _ : state)
        exportOnce();
    state.counters["streets/s"] = benchmark::Counter(kStreets, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = emf.GetBits().size() / 1e6;
    state.counters["records"] = emf.GetEnhHeader().records;
}
BENCHMARK(BM_ExportEnhMetafile)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    // Labels need fonts, and fonts an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
