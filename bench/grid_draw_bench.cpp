// bench-deps: drel_layers
// A 5000 x 5000 elevation grid of 16-bit cells (type 2: seeded hills with
// holes without data) painted through the default height classes into a
// 1920 x 1080 picture: the whole grid (sampled), a window of about one cell
// a pixel and one of eight pixels a cell (stretched), each plain and
// interpolated. Each first checks 2000 seeded pixels against the cells
// they show, worked out here from the heights written.
#include "layers/DtmLayer.h"
#include "layers/GridFile.h"
#include "platform/ByteOrder.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 5000;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr uint16_t kNoData = 0xFFF;
constexpr COLORREF kPaper = RGB(250, 250, 250);

struct CBigGrid {
    std::string path;
    std::vector<uint16_t> cells; // the northern row first, flag nibbles included
    bool made = false;

    CBigGrid()
    {
        const auto folder = std::filesystem::temp_directory_path();
        path = FromNativePath((folder / ("drel-grid-draw-" + std::to_string(::getpid()) + ".rmp")).string());
        CGridFile::Header header;
        header.cellType = CGridFile::kPacked2;
        header.xFirst = 500000;
        header.xLast = 500000 + (kSide - 1) * 10.0;
        header.cellWidth = 10;
        header.columns = kSide;
        header.yFirst = 6100000;
        header.yLast = 6100000 - (kSide - 1) * 10.0;
        header.cellHeight = 10;
        header.rows = kSide;

        std::mt19937 random(20240612);
        std::uniform_real_distribution<double> phase(0, 6.283);
        std::uniform_int_distribution<int> noise(-3, 3), flags(0, 15), place(0, kSide - 1);
        const double p1 = phase(random), p2 = phase(random), p3 = phase(random);
        cells.resize(static_cast<size_t>(kSide) * kSide);
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c) {
                const double x = c / 300.0, y = r / 300.0;
                const double h = 180 + 140 * std::sin(x + p1) * std::cos(y * 0.8 + p2) +
                                 90 * std::sin(x * 0.37 + y * 0.53 + p3) + 0.06 * r + noise(random);
                cells[static_cast<size_t>(r) * kSide + c] =
                    static_cast<uint16_t>(flags(random) << 12 | std::clamp(std::lround(h), 0L, 4094L));
            }
        // Lakes without data.
        for (int lake = 0; lake < 40; ++lake) {
            const int cx = place(random), cy = place(random);
            for (int r = std::max(0, cy - 60); r < std::min(kSide, cy + 60); ++r)
                for (int c = std::max(0, cx - 90); c < std::min(kSide, cx + 90); ++c)
                    if (std::hypot((c - cx) / 90.0, (r - cy) / 60.0) < 1)
                        cells[static_cast<size_t>(r) * kSide + c] = kNoData;
        }

        auto out = CFileStream::Open(path, FileMode::CreateAlways);
        if (!out)
            return;
        unsigned char bytes[CGridFile::kHeaderSize];
        header.Write(bytes);
        if (!out->WriteExact(bytes, sizeof bytes))
            return;
        std::vector<unsigned char> row(kSide * 2);
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c)
                PutLittleEndian<uint16_t>(row.data() + 2 * c, cells[static_cast<size_t>(r) * kSide + c]);
            if (!out->WriteExact(row.data(), row.size()))
                return;
        }
        made = true;
    }
    ~CBigGrid() { RemoveFile(path); }

    int Value(int column, int row) const { return cells[static_cast<size_t>(row) * kSide + column] & 0xFFF; }
};

CBigGrid& Grid()
{
    static CBigGrid grid;
    return grid;
}

CGridFile::ColourClasses HeightClasses()
{
    CDtmLayer layer("Reljefas", "reljefas.rmp");
    layer.SetDefaultClasses();
    return layer.GetColourClasses();
}

// The colour a height paints: its class's fill, the paper under white.
COLORREF Paint(const CGridFile::ColourClasses& classes, double value)
{
    for (const CGridFile::ColourClass& c : classes.classes)
        if (value <= c.high)
            return c.colour == RGB(255, 255, 255) ? kPaper : c.colour;
    return kPaper;
}

// The lower index and the fraction of a position, the last pair taking
// fraction 1, as the bilinear value has it.
void Split(double position, int& index, double& fraction)
{
    if (!(position > 0)) {
        index = 0, fraction = 0;
    } else if (position >= kSide - 1) {
        index = kSide - 2, fraction = 1;
    } else {
        index = static_cast<int>(position), fraction = position - index;
    }
}

struct Window {
    CMapRect cells;
    CRect target; // both corners painted
};

// What pixel (x, y) of the window must show.
COLORREF Expected(const CBigGrid& grid, const CGridFile::ColourClasses& classes, const Window& w, bool interpolate,
                  int x, int y)
{
    const double width = w.target.right - w.target.left + 1, height = w.target.bottom - w.target.top + 1;
    const double cx = w.cells.left + (w.cells.right - w.cells.left) * (x - w.target.left) / width;
    const double cy = w.cells.top + (w.cells.bottom - w.cells.top) * (y - w.target.top) / height;
    const bool sampled = std::fabs(w.cells.right - w.cells.left) > width;
    if (!interpolate || sampled) {
        const int value = grid.Value(static_cast<int>(cx + 0.5), static_cast<int>(cy + 0.5));
        return value == kNoData ? kPaper : Paint(classes, value);
    }
    int c0, r0;
    double fx, fy;
    Split(cx, c0, fx);
    Split(cy, r0, fy);
    const int c00 = grid.Value(c0, r0), c01 = grid.Value(c0 + 1, r0);
    const int c10 = grid.Value(c0, r0 + 1), c11 = grid.Value(c0 + 1, r0 + 1);
    const int nearest = grid.Value(c0 + (fx >= 0.5), r0 + (fy >= 0.5));
    if (nearest == kNoData)
        return kPaper;
    if (c00 == kNoData || c01 == kNoData || c10 == kNoData || c11 == kNoData)
        return Paint(classes, nearest);
    return Paint(classes, std::round((1 - fy) * ((1 - fx) * c00 + fx * c01) + fy * ((1 - fx) * c10 + fx * c11)));
}

void BM_DrawGrid(benchmark::State& state, Window window, bool interpolate)
{
    const CBigGrid& grid = Grid();
    CGridFile file;
    if (!grid.made || !file.Open(grid.path)) {
        state.SkipWithError("the grid file could not be made");
        return;
    }
    const CGridFile::ColourClasses reference = HeightClasses();
    CGridFile::ColourClasses classes = reference;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(kPaper), GetGValue(kPaper), GetBValue(kPaper)));
    CDC dc(image);
    if (!file.DrawGrid(dc, window.target, window.cells, nullptr, classes, interpolate)) {
        state.SkipWithError("the grid was not drawn");
        return;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> px(window.target.left, window.target.right);
    std::uniform_int_distribution<int> py(window.target.top, window.target.bottom);
    int coloured = 0;
    for (int i = 0; i < 2000; ++i) {
        const int x = px(random), y = py(random);
        const QRgb p = image.pixel(x, y);
        const COLORREF colour = RGB(qRed(p), qGreen(p), qBlue(p));
        if (colour != Expected(grid, reference, window, interpolate, x, y)) {
            state.SkipWithError("a pixel shows the wrong class");
            return;
        }
        coloured += colour != kPaper;
    }
    if (coloured < 1000) {
        state.SkipWithError("the picture is mostly paper");
        return;
    }

    for (auto _ : state) {
        if (!file.DrawGrid(dc, window.target, window.cells, nullptr, classes, interpolate)) {
            state.SkipWithError("the grid was not drawn");
            return;
        }
    }
    const int64_t pixels = int64_t{window.target.right - window.target.left + 1} *
                           (window.target.bottom - window.target.top + 1);
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(pixels * state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

// The whole grid fitted to the picture's height.
const Window kFull{CMapRect(0, 0, kSide - 1, kSide - 1), CRect(420, 0, 420 + kHeight - 1, kHeight - 1)};
// 1919 x 1079 cells over 1920 x 1080 pixels.
const Window kOneToOne{CMapRect(1500, 2000, 1500 + kWidth - 1, 2000 + kHeight - 1), CRect(0, 0, kWidth - 1, kHeight - 1)};
// 240 x 135 cells, eight pixels a cell.
const Window kZoomed{CMapRect(2400.3, 1200.7, 2640.3, 1335.7), CRect(0, 0, kWidth - 1, kHeight - 1)};

BENCHMARK_CAPTURE(BM_DrawGrid, whole_sampled, kFull, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawGrid, whole_sampled_flag_set, kFull, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawGrid, one_to_one_stretched, kOneToOne, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawGrid, one_to_one_interpolated, kOneToOne, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawGrid, zoomed_stretched, kZoomed, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawGrid, zoomed_interpolated, kZoomed, true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
