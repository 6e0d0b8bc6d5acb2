// bench-deps: drel_demo drel_maprender drel_settings
// The map export of the demo town (its default size and grown to 100,000
// streets) at 4000 x 3000 pixels: one picture as BMP, PNG, JPEG and TIFF,
// and a PNG in 2 x 2 tiles with their georeference files. Each case first
// exports once and fails unless every file is there and the picture holds
// something besides the background.
#include "bench/BigDemoTown.h"
#include "bench/FontBenchMain.h"
#include "core/FileUtil.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "settings/MapExport.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

CBigDemoTown& Town(int streets)
{
    static std::unique_ptr<CBigDemoTown> small, big;
    std::unique_ptr<CBigDemoTown>& town = streets == CBigDemoTown::kStreets ? big : small;
    if (!town)
        town = std::make_unique<CBigDemoTown>(kWidth, kHeight, streets);
    return *town;
}

// What the export should leave: the pictures, and four side files each
// when georeferenced.
std::string CheckExport(const std::string& folder, const CExportSettings& settings, int type)
{
    const size_t pictures = static_cast<size_t>(settings.columns * settings.rows);
    const std::vector<std::string> files = FindMatchingFiles(folder + "/*");
    if (files.size() != pictures * (settings.georeference ? 5 : 1))
        return "the export wrote " + std::to_string(files.size()) + " files";
    if (type == kExportTiff)
        return {};
    const std::string first = folder + "/" + files.front();
    const QImage picture(QString::fromStdString(pictures > 1 ? folder + "/map_1_1.png" : first));
    if (picture.width() != kWidth / settings.columns || picture.height() != kHeight / settings.rows)
        return "the picture has the wrong size";
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7)
            if (picture.pixel(x, y) != qRgb(255, 255, 255))
                return {};
    return "the picture shows only the background";
}

void BM_ExportMap(benchmark::State& state)
{
    const int streets = static_cast<int>(state.range(0));
    const int type = static_cast<int>(state.range(1));
    const bool tiled = state.range(2) != 0;
    CBigDemoTown& town = Town(streets);
    if (!town.Ready()) {
        state.SkipWithError(town.error.c_str());
        return;
    }
    CExportSettings settings;
    if (tiled) {
        settings.columns = settings.rows = 2;
        settings.georeference = 1;
    }
    const std::string folder = (town.folder / ("export-" + std::to_string(type) + (tiled ? "-tiled" : ""))).string();
    std::filesystem::create_directories(folder);
    const std::string path = WithExportExtension(folder + "/map", type);
    CHeldMessages held;
    CDrelView& view = town.renderer.View();
    if (!WriteMapExport(view, path, type, settings)) {
        state.SkipWithError("the export failed");
        return;
    }
    if (const std::string problem = CheckExport(folder, settings, type); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    for (auto _ : state)
        WriteMapExport(view, path, type, settings);
    state.counters["streets"] = streets;
}

void Cases(benchmark::internal::Benchmark* bench)
{
    for (const int streets : {CDemoOptions::kDefaultStreets, CBigDemoTown::kStreets}) {
        for (const int type : {kExportBmp, kExportPng, kExportJpeg, kExportTiff})
            bench->Args({streets, type, 0});
        bench->Args({streets, kExportPng, 1});
    }
}
BENCHMARK(BM_ExportMap)
    ->ArgNames({"streets", "type", "tiled"})
    ->Apply(Cases)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithFonts(argc, argv);
}
