// bench-deps: drel_layers
// Import of a 4000 x 4000 ESRI ASCII grid into an elevation grid file, and
// the value of every cell read back. The ASCII grid is made once per run in
// the temporary folder from seeded random heights.
#include "layers/AsciiGridImport.h"
#include "layers/GridFile.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 4000;
constexpr double kCellSize = 25;
constexpr double kCorner = 400000; // lower left corner, both axes

struct CAsciiGrid {
    std::string asciiPath, rmpPath;
    std::vector<int> values; // as the grid file answers them, the northern row first
    long long sum = 0;
    bool made = false;

    CAsciiGrid()
    {
        const std::string stem = "drel-bench-" + std::to_string(::getpid());
        const auto folder = std::filesystem::temp_directory_path();
        asciiPath = FromNativePath((folder / (stem + ".asc")).string());
        rmpPath = FromNativePath((folder / (stem + ".rmp")).string());

        auto out = CFileStream::Open(asciiPath, FileMode::CreateAlways);
        if (!out)
            return;
        std::string text = "ncols 4000\nnrows 4000\nxllcorner 400000\nyllcorner 400000\ncellsize 25\n"
                           "NODATA_value -9999\n";
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> height(-500, 30000); // hundredths of a metre
        std::uniform_int_distribution<int> hole(0, 99);
        values.reserve(static_cast<size_t>(kSide) * kSide);
        char number[32];
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                int value = -1;
                if (hole(random) == 0) {
                    text += "-9999";
                } else {
                    const int h = height(random);
                    std::snprintf(number, sizeof number, "%d.%02d", h / 100, std::abs(h % 100));
                    text += h < 0 && h > -100 ? "-" + std::string(number) : number;
                    value = h < 0 ? 0 : (h + 50) / 100;
                }
                text += c + 1 < kSide ? ' ' : '\n';
                values.push_back(value);
                sum += value;
            }
            if (text.size() > (1 << 20) || r + 1 == kSide) {
                if (!out->WriteExact(text.data(), text.size()))
                    return;
                text.clear();
            }
        }
        made = true;
    }
    ~CAsciiGrid()
    {
        RemoveFile(asciiPath);
        RemoveFile(rmpPath);
    }

    CMapPoint CellCentre(int row, int column) const
    {
        return CMapPoint(kCorner + (column + 0.5) * kCellSize, kCorner + (kSide - row - 0.5) * kCellSize);
    }

    // Every cell's value read back as it was written.
    bool Check(CGridFile& file) const
    {
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                if (file.ValueAt(CellCentre(r, c)) != values[static_cast<size_t>(r) * kSide + c])
                    return false;
        return true;
    }
};

CAsciiGrid& Grid()
{
    static CAsciiGrid grid;
    return grid;
}

void BM_ImportAsciiGrid(benchmark::State& state)
{
    const CAsciiGrid& grid = Grid();
    if (!grid.made) {
        state.SkipWithError("the ASCII grid could not be made");
        return;
    }
    bool checked = false;
    for (auto _ : state) {
        if (!ImportAsciiGrid(grid.rmpPath, grid.asciiPath)) {
            state.SkipWithError("the import failed");
            return;
        }
        if (!checked) {
            state.PauseTiming();
            CGridFile file;
            if (!file.Open(grid.rmpPath) || !grid.Check(file)) {
                state.SkipWithError("the import wrote wrong cells");
                return;
            }
            checked = true;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ImportAsciiGrid)->Unit(benchmark::kMillisecond);

void BM_ValueOfEveryCell(benchmark::State& state)
{
    const CAsciiGrid& grid = Grid();
    CGridFile file;
    if (!grid.made || (!PathExists(grid.rmpPath) && !ImportAsciiGrid(grid.rmpPath, grid.asciiPath)) ||
        !file.Open(grid.rmpPath)) {
        state.SkipWithError("the grid file could not be made");
        return;
    }
    for (auto _ : state) {
        long long sum = 0;
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c)
                sum += file.ValueAt(grid.CellCentre(r, c));
        if (sum != grid.sum) {
            state.SkipWithError("the values read are wrong");
            return;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ValueOfEveryCell)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
