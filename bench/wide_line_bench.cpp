// bench-deps: drel_platform
#include "platform/DC.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// One million segments (10,000 polylines of 100 segments, seeded random
// walks of 5 to 20 pixels a step) drawn into a 1920 x 1080 picture as
// polylines of wide pens in device pixels: round pens of 2, 3 and 8
// pixels, a flat-ended geometric pen of 3, and a 3-pixel pen in XOR. Each
// first draws the first 200 lines and checks that every pixel well inside
// the pen's reach is painted once and none well outside it is.

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLines = 10000;
constexpr int kSegments = 100;
constexpr int kCheckedLines = 200;
constexpr COLORREF kInk = RGB(200, 30, 30);

const std::vector<CPoint>& Walks()
{
    static const std::vector<CPoint> points = [] {
        std::vector<CPoint> made;
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> startX(0, kWidth), startY(0, kHeight), step(-20, 20);
        for (int i = 0; i < kLines; ++i) {
            CPoint p(startX(random), startY(random));
            for (int k = 0; k <= kSegments; ++k) {
                made.push_back(p);
                int dx = step(random), dy = step(random);
                if (std::max(std::abs(dx), std::abs(dy)) < 5)
                    dx = dx < 0 ? -5 : 5;
                p.x = std::clamp(p.x + dx, 0, kWidth);
                p.y = std::clamp(p.y + dy, 0, kHeight);
            }
        }
        return made;
    }();
    return points;
}

struct PenCase {
    CPen pen;
    int width = 0;
    bool round = true;
    int rop = R2_COPYPEN;
};

void Draw(QImage& image, const PenCase& c, int lines)
{
    image.fill(Qt::white);
    CDC dc(image);
    dc.SelectObject(c.pen);
    dc.SetROP2(c.rop);
    const CPoint* part = Walks().data();
    for (int i = 0; i < lines; ++i, part += kSegments + 1)
        dc.Polyline(part, kSegments + 1);
}

double SegmentDistance(double px, double py, const CPoint& a, const CPoint& b, bool& beyondEnds)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0;
    beyondEnds = t < 0 || t > 1;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - a.x - t * dx, py - a.y - t * dy);
}

// A pixel whose centre lies within the pen's half width less a margin of
// some line must show the ink (in XOR, when an odd number of lines cover
// it); one farther than the half width plus the margin from every line
// must stay white; those in between may go either way. Flat ends reach no
// further than the line's ends, so there only the middles of segments are
// held to the inner test.
bool LooksRight(const QImage& image, const PenCase& c)
{
    const double r = c.width / 2.0;
    const double margin = 0.3;
    const std::size_t all = static_cast<std::size_t>(kWidth) * kHeight;
    std::vector<std::uint16_t> covering(all, 0);
    std::vector<std::uint8_t> undecided(all, 0);
    const int reach = c.width + 2;
    const CPoint* part = Walks().data();
    for (int i = 0; i < kCheckedLines; ++i, part += kSegments + 1) {
        CRect box(kWidth, kHeight, 0, 0);
        for (int k = 0; k <= kSegments; ++k)
            box = CRect(std::min(box.left, part[k].x), std::min(box.top, part[k].y), std::max(box.right, part[k].x),
                        std::max(box.bottom, part[k].y));
        box = CRect(std::max(0, box.left - reach), std::max(0, box.top - reach), std::min(kWidth, box.right + reach),
                    std::min(kHeight, box.bottom + reach));
        const auto w = static_cast<std::size_t>(box.Width());
        std::vector<float> nearest(w * static_cast<std::size_t>(box.Height()), 1e9f);
        std::vector<std::uint8_t> inner(nearest.size(), 0);
        for (int k = 0; k < kSegments; ++k) {
            const CPoint& a = part[k];
            const CPoint& b = part[k + 1];
            const int y0 = std::max(box.top, std::min(a.y, b.y) - reach);
            const int y1 = std::min(box.bottom, std::max(a.y, b.y) + reach);
            const int x0 = std::max(box.left, std::min(a.x, b.x) - reach);
            const int x1 = std::min(box.right, std::max(a.x, b.x) + reach);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    bool beyond = false;
                    // The DC draws what covers a pixel's point (x + 1/32, y + 1/64).
                    const double d = SegmentDistance(x + 1.0 / 32, y + 1.0 / 64, a, b, beyond);
                    const auto at = static_cast<std::size_t>(y - box.top) * w + static_cast<std::size_t>(x - box.left);
                    nearest[at] = std::min(nearest[at], static_cast<float>(d));
                    if (d < r - margin && (c.round || !beyond))
                        inner[at] = 1;
                }
        }
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                const auto local = static_cast<std::size_t>(y - box.top) * w + static_cast<std::size_t>(x - box.left);
                const std::size_t at = static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x);
                if (inner[local])
                    ++covering[at];
                else if (nearest[local] <= r + margin)
                    undecided[at] = 1;
            }
    }
    const bool xorPen = c.rop == R2_XORPEN;
    const QRgb ink = xorPen ? qRgb(255 ^ 200, 255 ^ 30, 255 ^ 30) : qRgb(200, 30, 30);
    long painted = 0;
    for (int y = 0; y < kHeight; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x);
            if (undecided[at])
                continue;
            const QRgb p = row[x] | 0xFF000000u;
            const bool inked = xorPen ? covering[at] % 2 == 1 : covering[at] > 0;
            if (p != (inked ? ink : qRgb(255, 255, 255)))
                return false;
            painted += inked;
        }
    }
    return painted > 10000;
}

void WideLines(benchmark::State& state, PenCase c)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    Draw(image, c, kCheckedLines);
    if (!LooksRight(image, c)) {
        state.SkipWithError("the lines do not cover what the pen reaches");
        return;
    }
    for (auto _ : state) {
        Draw(image, c, kLines);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kLines * kSegments);
}

LOGBRUSH Solid(COLORREF colour)
{
    return LOGBRUSH{BS_SOLID, colour, 0};
}

} // namespace

BENCHMARK_CAPTURE(WideLines, round_2px, PenCase{CPen(PS_SOLID, 2, kInk), 2})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WideLines, round_3px, PenCase{CPen(PS_SOLID, 3, kInk), 3})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WideLines, round_8px, PenCase{CPen(PS_SOLID, 8, kInk), 8})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WideLines, flat_3px,
                  PenCase{CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_SOLID, 3, Solid(kInk)), 3, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WideLines, xor_3px, PenCase{CPen(PS_SOLID, 3, kInk), 3, true, R2_XORPEN})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
