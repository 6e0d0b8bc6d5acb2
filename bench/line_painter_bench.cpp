// bench-deps: drel_render
#include "layers/DrawStyle.h"
#include "platform/DC.h"
#include "render/LinePainter.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

// One million segments (10,000 polylines of 100 segments, seeded random
// walks of 5 to 20 pixels a step) drawn into a 1920 x 1080 picture in the
// map view's mapping (thousandths of an inch at 96 dpi): solid, dashed
// and as a double line. Each first checks on the first 200 lines, which
// leave the picture mostly white, that the lines show as they should.

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLines = 10000;
constexpr int kSegments = 100;
constexpr COLORREF kColour = RGB(200, 30, 30);

struct Lines {
    std::vector<CPoint> points;
    std::vector<int> counts;
};

const Lines& BenchLines()
{
    static const Lines lines = [] {
        Lines made;
        std::mt19937 random(20240611);
        // Logical units: 10.4 a pixel.
        const int maxX = kWidth * 1000 / 96, maxY = kHeight * 1000 / 96;
        std::uniform_int_distribution<int> startX(0, maxX), startY(0, maxY), step(-208, 208);
        for (int i = 0; i < kLines; ++i) {
            CPoint p(startX(random), startY(random));
            for (int k = 0; k <= kSegments; ++k) {
                made.points.push_back(p);
                int dx = step(random), dy = step(random);
                if (std::max(std::abs(dx), std::abs(dy)) < 52)
                    dx = dx < 0 ? -52 : 52;
                p.x = std::clamp(p.x + dx, 0, maxX);
                p.y = std::clamp(p.y + dy, 0, maxY);
            }
            made.counts.push_back(kSegments + 1);
        }
        return made;
    }();
    return lines;
}

void Prepare(CDC& dc)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(kWidth * 1000 / 96, kHeight * 1000 / 96);
    dc.SetViewportExt(kWidth, kHeight);
    dc.SetBkMode(TRANSPARENT);
}

constexpr int kCheckedLines = 200;

void Draw(QImage& image, int code, double pixels, int lineCount = kLines)
{
    image.fill(Qt::white);
    CDC dc(image);
    Prepare(dc);
    CLinePainter painter(dc);
    painter.SetStyleFromPixels(code, pixels, kColour);
    const Lines& lines = BenchLines();
    std::vector<CPoint> points = lines.points;
    CPoint* part = points.data();
    for (int i = 0; i < lineCount; ++i) {
        const int n = lines.counts[static_cast<std::size_t>(i)];
        painter.DrawPolyline(part, n);
        part += n;
    }
}

struct Coverage {
    long coloured = 0;
    long white = 0;
};

Coverage Count(const QImage& image)
{
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qRed(row[x]) == 200 && qGreen(row[x]) == 30)
                ++c.coloured;
            else if (row[x] == qRgb(255, 255, 255))
                ++c.white;
        }
    }
    return c;
}

void LineStyle(benchmark::State& state, int code, double pixels)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    // The reference: the same lines solid.
    Draw(image, PS_SOLID, pixels, kCheckedLines);
    const Coverage solid = Count(image);
    Draw(image, code, pixels, kCheckedLines);
    const Coverage drawn = Count(image);
    const long all = long(kWidth) * kHeight;
    bool right = drawn.coloured > all / 100 && drawn.white > all / 2;
    if (code == PS_DASH)
        right = right && drawn.coloured < solid.coloured * 9 / 10; // the gaps show
    if (code == 15) {
        // White inner lines inside wider coloured ones: less colour than a
        // solid line as wide, but more than a solid line of the inner width.
        Draw(image, PS_SOLID, 5, kCheckedLines);
        const Coverage wide = Count(image);
        right = right && drawn.coloured < wide.coloured * 9 / 10 && drawn.coloured > solid.coloured / 3;
    }
    if (!right) {
        state.SkipWithError("the lines do not show as they should");
        return;
    }
    for (auto _ : state) {
        Draw(image, code, pixels);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kLines * kSegments);
}

} // namespace

BENCHMARK_CAPTURE(LineStyle, solid_2px, PS_SOLID, 2.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LineStyle, dashed_2px, PS_DASH, 2.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LineStyle, double_3px, 15, 3.0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
