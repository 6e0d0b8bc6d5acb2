// bench-deps: drel_platform
#include "platform/DC.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

// Polygon fills through the device context: combs whose teeth all cross
// every scanline at once (also made into a region), a wavy ring of 100,000 vertices, a ring of
// 5,000 random vertices crossing itself everywhere, a square with 2,500
// square holes, and 20,000 small polygons one call each (a map's areas).
// Each first checks the pixels at a few hundred probes against a
// point-in-polygon test of its own, then times the fill.

namespace {

constexpr COLORREF kInk = RGB(20, 60, 200);

struct Drawing {
    int width = 0;
    int height = 0;
    std::vector<CPoint> points;
    std::vector<int> counts; // rings, one after another in points
};

// A comb of n teeth one pixel wide and one apart, hanging from a spine
// along the bottom: every tooth edge crosses every row above the spine.
Drawing Comb(int teeth, int height)
{
    Drawing d;
    d.width = 2 * teeth + 2;
    d.height = height;
    d.points.push_back(CPoint(0, height));
    for (int i = 0; i < teeth; ++i) {
        d.points.push_back(CPoint(2 * i, 0));
        d.points.push_back(CPoint(2 * i + 1, 0));
        d.points.push_back(CPoint(2 * i + 1, height - 4));
        d.points.push_back(CPoint(2 * i + 2, height - 4));
    }
    d.points.push_back(CPoint(d.width, height));
    d.counts.push_back(static_cast<int>(d.points.size()));
    return d;
}

Drawing WavyRing(int n)
{
    Drawing d;
    d.width = d.height = 2000;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        const double r = 900 * (1 + 0.08 * std::sin(7 * a) + 0.03 * std::sin(301 * a));
        d.points.push_back(CPoint(static_cast<int>(std::lround(1000 + r * std::cos(a))),
                                  static_cast<int>(std::lround(1000 + r * std::sin(a)))));
    }
    d.counts.push_back(n);
    return d;
}

Drawing Tangle(int n)
{
    Drawing d;
    d.width = d.height = 1500;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-100, 1600);
    for (int i = 0; i < n; ++i)
        d.points.push_back(CPoint(coordinate(random), coordinate(random)));
    d.counts.push_back(n);
    return d;
}

Drawing Holes(int perSide)
{
    Drawing d;
    d.width = d.height = 20 * perSide + 40;
    auto square = [&](int x0, int y0, int x1, int y1, bool reversed) {
        if (reversed)
            d.points.insert(d.points.end(), {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
        else
            d.points.insert(d.points.end(), {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
        d.counts.push_back(4);
    };
    square(10, 10, d.width - 10, d.height - 10, false);
    for (int i = 0; i < perSide; ++i)
        for (int j = 0; j < perSide; ++j)
            square(25 + 20 * i, 25 + 20 * j, 35 + 20 * i, 35 + 20 * j, true);
    return d;
}

// Small polygons, each drawn by a call of its own.
Drawing Areas(int n)
{
    Drawing d;
    d.width = 1920;
    d.height = 1080;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> cx(0, d.width), cy(0, d.height), radius(3, 30), jitter(0.7, 1.0);
    std::uniform_int_distribution<int> vertices(8, 30);
    for (int i = 0; i < n; ++i) {
        const int k = vertices(random);
        const double x = cx(random), y = cy(random), r = radius(random);
        for (int v = 0; v < k; ++v) {
            const double a = 2 * std::numbers::pi * v / k;
            const double s = r * jitter(random);
            d.points.push_back(CPoint(static_cast<int>(std::lround(x + s * std::cos(a))),
                                      static_cast<int>(std::lround(y + s * std::sin(a)))));
        }
        d.counts.push_back(k);
    }
    return d;
}

// Pixel (x, y) is filled when the point (x + 1/32, y + 1/64) lies inside:
// left and top edges in, right and bottom ones out. Worked in 64ths of a
// pixel. The fill steps along edges in fixed point, so a probe within a
// few 64ths of an edge tells nothing and is skipped.
enum class Inside { No, Yes, OnEdge };

Inside Probe(const CPoint* ring, const int* counts, std::size_t rings, int x, int y, bool winding)
{
    const std::int64_t sx = 64 * std::int64_t(x) + 2, sy = 64 * std::int64_t(y) + 1;
    int crossings = 0, turns = 0;
    for (std::size_t r = 0; r < rings; ring += counts[r], ++r) {
        const auto n = static_cast<std::size_t>(counts[r]);
        for (std::size_t i = 0; i < n; ++i) {
            const CPoint& a = ring[i];
            const CPoint& b = ring[(i + 1) % n];
            const std::int64_t ay = 64 * std::int64_t(a.y), by = 64 * std::int64_t(b.y);
            if ((ay < sy) == (by < sy))
                continue;
            const std::int64_t ax = 64 * std::int64_t(a.x), bx = 64 * std::int64_t(b.x);
            // Which side of the edge the probe lies on.
            const __int128 cross = __int128(bx - ax) * (sy - ay) - __int128(by - ay) * (sx - ax);
            // cross / (by - ay) is the probe's distance from the edge along the row.
            const __int128 height = by - ay;
            if (cross < 4 * (height < 0 ? -height : height) && cross > -4 * (height < 0 ? -height : height))
                return Inside::OnEdge;
            const bool down = by > ay;
            if ((cross > 0) == down) { // the edge passes left of the probe
                ++crossings;
                turns += down ? 1 : -1;
            }
        }
    }
    return (winding ? turns != 0 : crossings % 2 != 0) ? Inside::Yes : Inside::No;
}

void Fill(QImage& image, const Drawing& d, bool winding, bool oneCallEach)
{
    image.fill(Qt::white);
    CDC dc(image);
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(CBrush(kInk));
    dc.SetPolyFillMode(winding ? WINDING : ALTERNATE);
    if (!oneCallEach) {
        dc.PolyPolygon(d.points.data(), d.counts.data(), static_cast<int>(d.counts.size()));
        return;
    }
    const CPoint* part = d.points.data();
    for (int n : d.counts) {
        dc.Polygon(part, n);
        part += n;
    }
}

bool Filled(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(20, 60, 200);
}

// Probes at random pixels. Polygons drawn one call each are filled where
// any one of them covers the pixel; they are probed at their own middles
// too, since together they cover little of the picture.
bool ProbesAgree(const QImage& image, const Drawing& d, bool winding, bool oneCallEach)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> px(0, d.width - 1), py(0, d.height - 1);
    std::vector<CPoint> probes;
    for (int i = 0; i < 300; ++i)
        probes.push_back(CPoint(px(random), py(random)));
    std::vector<std::size_t> starts;
    std::vector<CRect> boxes;
    for (std::size_t r = 0, at = 0; r < d.counts.size(); at += static_cast<std::size_t>(d.counts[r]), ++r) {
        CRect box(d.points[at].x, d.points[at].y, d.points[at].x, d.points[at].y);
        for (int i = 0; i < d.counts[r]; ++i) {
            const CPoint& p = d.points[at + static_cast<std::size_t>(i)];
            box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                        std::max(box.bottom, p.y));
        }
        starts.push_back(at);
        boxes.push_back(box);
        if (oneCallEach && r % 100 == 0)
            probes.push_back(box.CenterPoint());
    }
    int inside = 0;
    for (const CPoint& p : probes) {
        Inside expected = Inside::No;
        if (oneCallEach) {
            for (std::size_t r = 0; r < boxes.size() && expected != Inside::Yes; ++r) {
                const CRect& b = boxes[r];
                if (p.x < b.left || p.x > b.right || p.y < b.top || p.y > b.bottom)
                    continue;
                const Inside in = Probe(d.points.data() + starts[r], &d.counts[r], 1, p.x, p.y, winding);
                if (in != Inside::No)
                    expected = in;
            }
        } else {
            expected = Probe(d.points.data(), d.counts.data(), d.counts.size(), p.x, p.y, winding);
        }
        if (expected == Inside::OnEdge)
            continue;
        inside += expected == Inside::Yes;
        if (Filled(image, p.x, p.y) != (expected == Inside::Yes))
            return false;
    }
    return inside > 10;
}

void FillBench(benchmark::State& state, const Drawing& d, bool winding, bool oneCallEach)
{
    QImage image(d.width, d.height, QImage::Format_RGB32);
    Fill(image, d, winding, oneCallEach);
    if (!ProbesAgree(image, d, winding, oneCallEach)) {
        state.SkipWithError("the fill does not cover what the polygon does");
        return;
    }
    for (auto _ : state) {
        Fill(image, d, winding, oneCallEach);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(d.points.size()));
}

void BM_Comb(benchmark::State& state)
{
    const Drawing d = Comb(static_cast<int>(state.range(0)), 64);
    QImage image(d.width, d.height, QImage::Format_RGB32);
    Fill(image, d, state.range(1) != 0, false);
    // Every tooth and every gap, on rows near the top and near the spine.
    for (int y : {0, 30, 59}) {
        for (int x = 0; x < d.width - 2; ++x)
            if (Filled(image, x, y) != (x % 2 == 0)) {
                state.SkipWithError("a tooth or a gap is wrong");
                return;
            }
        if (!Filled(image, d.width - 2, 61)) {
            state.SkipWithError("the spine is missing");
            return;
        }
    }
    for (auto _ : state) {
        Fill(image, d, state.range(1) != 0, false);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(d.points.size()));
}
BENCHMARK(BM_Comb)
    ->ArgNames({"teeth", "winding"})
    ->ArgsProduct({{1000, 4000, 40000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The comb as a region, as a path made into a clip becomes one.
void BM_CombRegion(benchmark::State& state)
{
    const Drawing d = Comb(static_cast<int>(state.range(0)), 64);
    CRgn region;
    region.CreatePolygonRgn(d.points.data(), static_cast<int>(d.points.size()), ALTERNATE);
    for (int x = 0; x < d.width - 2; ++x)
        if (region.PtInRegion(x, 30) != (x % 2 == 0)) {
            state.SkipWithError("a tooth or a gap is wrong");
            return;
        }
    for (auto _ : state) {
        CRgn made;
        made.CreatePolygonRgn(d.points.data(), static_cast<int>(d.points.size()), ALTERNATE);
        benchmark::DoNotOptimize(made.GetSafeHandle());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(d.points.size()));
}
BENCHMARK(BM_CombRegion)->ArgName("teeth")->Arg(1000)->Arg(4000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_WavyRing(benchmark::State& state)
{
    static const Drawing d = WavyRing(100000);
    FillBench(state, d, state.range(0) != 0, false);
}
BENCHMARK(BM_WavyRing)->ArgName("winding")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Tangle(benchmark::State& state)
{
    static const Drawing d = Tangle(5000);
    FillBench(state, d, state.range(0) != 0, false);
}
BENCHMARK(BM_Tangle)->ArgName("winding")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Holes(benchmark::State& state)
{
    static const Drawing d = Holes(50);
    FillBench(state, d, state.range(0) != 0, false);
}
BENCHMARK(BM_Holes)->ArgName("winding")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SmallAreas(benchmark::State& state)
{
    static const Drawing d = Areas(20000);
    FillBench(state, d, false, true);
}
BENCHMARK(BM_SmallAreas)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
