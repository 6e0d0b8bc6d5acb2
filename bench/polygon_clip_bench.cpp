// bench-deps: drel_core
#include "core/MapGeometry.h"
#include "core/PolygonSet.h"
#include "core/RectClipper.h"
#include "core/Shape.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// Polygon overlay of two wavy 100k-vertex rings, the union of 10k small
// overlapping polygons, and one million random polylines clipped to a
// rectangle. Each first checks that it computes the right thing.

namespace {

// A ring of n vertices around a centre, its radius waving at two
// frequencies with a little noise: a long, locally smooth boundary in
// Lithuanian grid coordinates.
CPolygonSet WavyRing(int n, double cx, double cy, double radius, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> noise(-1e-5, 1e-5);
    CPolygonSet set;
    set.InitSingleContour(n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        const double r = radius * (1 + 0.1 * std::sin(7 * a) + 0.05 * std::sin(23 * a + 1) + noise(random));
        set.AddVertex(CMapPoint(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
    return set;
}

struct RingPair {
    CPolygonSet a;
    CPolygonSet b;
    RingPair()
        : a(WavyRing(100000, 500000, 6100000, 20000, 1)), b(WavyRing(100000, 510000, 6105000, 20000, 2))
    {
    }
};

const RingPair& Rings()
{
    static const RingPair pair;
    return pair;
}

void BM_OverlayOfLargeRings(benchmark::State& state)
{
    const int op = static_cast<int>(state.range(0));
    const RingPair& rings = Rings();
    CPolygonSet inter;
    CPolygonSet uni;
    CPolygonSet::ClipPolygons(CPolygonSet::kIntersection, rings.a, rings.b, inter);
    CPolygonSet::ClipPolygons(CPolygonSet::kUnion, rings.a, rings.b, uni);
    const double sum = rings.a.Area() + rings.b.Area();
    const double check = inter.Area() + uni.Area();
    if (inter.Failed() || uni.Failed() || std::fabs(check - sum) > 1e-9 * sum || inter.Area() < 0.3 * sum / 2) {
        state.SkipWithError("intersection and union do not add up");
        return;
    }
    CPolygonSet result;
    for (auto _ : state) {
        CPolygonSet::ClipPolygons(op, rings.a, rings.b, result);
        benchmark::DoNotOptimize(result.GetContourCount());
    }
    state.SetLabel(op == CPolygonSet::kIntersection ? "intersection" : "union");
}
BENCHMARK(BM_OverlayOfLargeRings)
    ->Arg(CPolygonSet::kIntersection)
    ->Arg(CPolygonSet::kUnion)
    ->Unit(benchmark::kMillisecond);

// Regular 12-gons of random radius scattered so that they overlap in
// clusters.
std::vector<CPolygonSet> SmallPolygons(int count)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> place(0, 1000);
    std::uniform_real_distribution<double> size(3, 8);
    std::vector<CPolygonSet> sets(static_cast<size_t>(count));
    for (CPolygonSet& set : sets) {
        const double cx = place(random);
        const double cy = place(random);
        const double r = size(random);
        set.InitSingleContour(12);
        for (int i = 0; i < 12; ++i)
            set.AddVertex(CMapPoint(cx + r * std::cos(i * kPi / 6), cy + r * std::sin(i * kPi / 6)));
    }
    return sets;
}

// Morton order of a point of the 0 ... 1024 square.
uint32_t ZOrder(const CMapPoint& p)
{
    const auto spread = [](uint32_t v) {
        v &= 0x3FF;
        v = (v | (v << 8)) & 0x00FF00FF;
        v = (v | (v << 4)) & 0x0F0F0F0F;
        v = (v | (v << 2)) & 0x33333333;
        return (v | (v << 1)) & 0x55555555;
    };
    return spread(static_cast<uint32_t>(p.x)) | (spread(static_cast<uint32_t>(p.y)) << 1);
}

// Pairwise, so every union joins sets of about equal size, and in Z order,
// so that the early unions join neighbours and the sweep lines stay short.
CPolygonSet UnionAll(std::vector<CPolygonSet> sets)
{
    std::sort(sets.begin(), sets.end(), [](const CPolygonSet& a, const CPolygonSet& b) {
        return ZOrder(a.GetContour(0).points[0]) < ZOrder(b.GetContour(0).points[0]);
    });
    while (sets.size() > 1) {
        std::vector<CPolygonSet> next((sets.size() + 1) / 2);
        for (size_t i = 0; i + 1 < sets.size(); i += 2)
            sets[i].Union(sets[i + 1], next[i / 2]);
        if (sets.size() % 2 == 1)
            next.back() = std::move(sets.back());
        sets = std::move(next);
    }
    return sets.empty() ? CPolygonSet() : std::move(sets.front());
}

void BM_UnionOfManySmallPolygons(benchmark::State& state)
{
    const std::vector<CPolygonSet> sets = SmallPolygons(10000);
    const CPolygonSet all = UnionAll(sets);
    // Probes: inside the union exactly when inside one of the polygons.
    CShape shape;
    all.ToShape(shape);
    std::mt19937_64 random(8);
    std::uniform_real_distribution<double> place(0, 1000);
    for (int probe = 0; probe < 300; ++probe) {
        const CMapPoint p(place(random), place(random));
        bool inAny = false;
        for (const CPolygonSet& set : sets) {
            const auto& ring = set.GetContour(0).points;
            inAny = inAny || PointInRing(ring.data(), static_cast<int>(ring.size()), p) != 0;
        }
        if (inAny != (shape.PointInPolygon(p) != 0)) {
            state.SkipWithError("union disagrees with its polygons");
            return;
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(UnionAll(sets).GetContourCount());
}
BENCHMARK(BM_UnionOfManySmallPolygons)->Unit(benchmark::kMillisecond);

void BM_ClipPolylinesToRectangle(benchmark::State& state)
{
    constexpr int kLines = 1000000;
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> place(0, 1000);
    std::normal_distribution<double> step(0, 40);
    std::vector<CShape> lines(kLines);
    for (CShape& line : lines) {
        CMapPoint p(place(random), place(random));
        CMapPoint points[6];
        for (CMapPoint& q : points) {
            q = p;
            p = CMapPoint(p.x + step(random), p.y + step(random));
        }
        line.SetPoints(6, points);
    }
    const CMapRect rect(250, 750, 750, 250);
    CRectClipper clipper(rect);
    CShape out;
    for (int i = 0; i < 10000; ++i) {
        const bool kept = clipper.ClipPolyline(lines[static_cast<size_t>(i)], out);
        CMapPoint a, b;
        const bool visible = lines[static_cast<size_t>(i)].GetLongestSegment(a, b, &rect);
        bool within = true;
        for (const CMapPoint& p : out.Points())
            within = within && p.x >= rect.left - 1e-9 && p.x <= rect.right + 1e-9 && p.y >= rect.bottom - 1e-9 &&
                     p.y <= rect.top + 1e-9;
        if (kept != visible || !within) {
            state.SkipWithError("clipped line leaves the rectangle or loses its visible part");
            return;
        }
    }
    int64_t points = 0;
    for (auto _ : state) {
        for (const CShape& line : lines) {
            clipper.ClipPolyline(line, out);
            points += out.GetPointCount();
        }
    }
    benchmark::DoNotOptimize(points);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ClipPolylinesToRectangle)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
