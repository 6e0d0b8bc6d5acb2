// bench-deps: drel_core
#include "core/MapGeometry.h"
#include "core/Shape.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// Buffer zones of a 10k-vertex line and of 5k points, and the noding of two
// random lines of 10k segments each. Each first checks that it computes the
// right thing.

namespace {

// A wandering line like a road: steps of 10 m, the heading drifting.
CShape WanderingLine(int vertices, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::normal_distribution<double> turn(0, 0.2);
    CShape line;
    line.SetSize(0, 1);
    CMapPoint p(500000, 6100000);
    double heading = 0;
    for (int i = 0; i < vertices; ++i) {
        line.AddPoint(p);
        heading += turn(random);
        p = CMapPoint(p.x + 10 * std::sin(heading), p.y + 10 * std::cos(heading));
    }
    return line;
}

// Points scattered so that their circles overlap in clusters.
CShape ScatteredPoints(int count, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> place(0, 5000);
    CShape points;
    points.SetSize(0, 0);
    for (int i = 0; i < count; ++i) {
        const CMapPoint p(500000 + place(random), 6100000 + place(random));
        points.AddPartPoints(1, &p, false);
    }
    points.RecalcBounds();
    return points;
}

double SegmentDistance(const CMapPoint& p, const CMapPoint& a, const CMapPoint& b)
{
    const double ux = b.x - a.x, uy = b.y - a.y;
    const double length2 = ux * ux + uy * uy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * ux + (p.y - a.y) * uy) / length2, 0.0, 1.0) : 0;
    return std::hypot(p.x - a.x - t * ux, p.y - a.y - t * uy);
}

// The distance from p to the nearest segment (or lone point) of the shape.
double DistanceToShape(const CShape& shape, const CMapPoint& p)
{
    double best = HUGE_VAL;
    for (int k = 0, first = 0; k < shape.GetPartCount(); first += shape.GetPartSize(k), ++k) {
        const int n = shape.GetPartSize(k);
        if (n == 1)
            best = std::min(best, std::hypot(p.x - shape.GetPoint(first).x, p.y - shape.GetPoint(first).y));
        for (int i = first; i + 1 < first + n; ++i)
            best = std::min(best, SegmentDistance(p, shape.GetPoint(i), shape.GetPoint(i + 1)));
    }
    return best;
}

// Probes near the source: within r cos 5 degrees they must be in the
// buffer (its arcs are chords of ten degrees), beyond r out of it.
bool BufferIsRight(const CShape& source, const CShape& buffer, double r, unsigned seed)
{
    std::mt19937_64 random(seed);
    const CMapRect e = source.GetExtent();
    std::uniform_real_distribution<double> px(e.left - r, e.right + r), py(e.bottom - r, e.top + r);
    std::uniform_int_distribution<int> vertex(0, source.GetPointCount() - 1);
    std::normal_distribution<double> near(0, r);
    for (int probe = 0; probe < 400; ++probe) {
        // Half of the probes close to a vertex, where the boundary is.
        const CMapPoint& v = source.GetPoint(vertex(random));
        const CMapPoint p = probe % 2 == 0 ? CMapPoint(v.x + near(random), v.y + near(random))
                                           : CMapPoint(px(random), py(random));
        const double d = DistanceToShape(source, p);
        const int where = buffer.PointInPolygon(p);
        if ((d < r * std::cos(5 * kDegToRad) - 1e-6 && where == 0) || (d > r + 1e-6 && where != 0))
            return false;
    }
    return true;
}

void RunBuffer(benchmark::State& state, const CShape& source, double r)
{
    CShape out;
    if (!source.Buffer(r, 1, 1, out, CShape::kBufferBand) || !BufferIsRight(source, out, r, 3)) {
        state.SkipWithError("buffer misses points within the distance or takes in farther ones");
        return;
    }
    for (auto _ : state) {
        source.Buffer(r, 1, 1, out, CShape::kBufferBand);
        benchmark::DoNotOptimize(out.GetPointCount());
    }
    state.SetLabel(std::to_string(out.GetPartCount()) + " parts, " + std::to_string(out.GetPointCount()) + " points");
}

void BM_BufferOfLine(benchmark::State& state)
{
    static const CShape line = WanderingLine(10000, 1);
    RunBuffer(state, line, 15);
}
BENCHMARK(BM_BufferOfLine)->Unit(benchmark::kMillisecond);

void BM_BufferOfPoints(benchmark::State& state)
{
    static const CShape points = ScatteredPoints(5000, 2);
    RunBuffer(state, points, 40);
}
BENCHMARK(BM_BufferOfPoints)->Unit(benchmark::kMillisecond);

// A random walk kept in a 500 m square (steps that would leave it turn
// back): steps in any direction up to 12 m.
CShape RandomWalk(int segments, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> step(-12, 12);
    const auto reflect = [](double v, double low) {
        return v < low ? 2 * low - v : v > low + 500 ? 2 * (low + 500) - v : v;
    };
    CShape line;
    line.SetSize(0, 1);
    CMapPoint p(500250, 6100250);
    for (int i = 0; i <= segments; ++i) {
        line.AddPoint(p);
        p = CMapPoint(reflect(p.x + step(random), 500000), reflect(p.y + step(random), 6100000));
    }
    return line;
}

// Segment pairs of two single-part lines that cross inside both, by
// brute force with a box test.
int ProperCrossings(const CShape& a, const CShape& b)
{
    int count = 0;
    for (int i = 0; i + 1 < a.GetPointCount(); ++i) {
        const CMapPoint& p = a.GetPoint(i);
        const CMapPoint& q = a.GetPoint(i + 1);
        for (int j = 0; j + 1 < b.GetPointCount(); ++j) {
            const CMapPoint& r = b.GetPoint(j);
            const CMapPoint& s = b.GetPoint(j + 1);
            if (std::max(r.x, s.x) < std::min(p.x, q.x) || std::min(r.x, s.x) > std::max(p.x, q.x) ||
                std::max(r.y, s.y) < std::min(p.y, q.y) || std::min(r.y, s.y) > std::max(p.y, q.y))
                continue;
            CMapPoint out[2];
            count += IntersectSegmentsExact(p, q, r, s, out) == (kInsideAB | kInsideCD) ? 1 : 0;
        }
    }
    return count;
}

void BM_NodingOfTwoRandomLines(benchmark::State& state)
{
    const CShape a = RandomWalk(10000, 4);
    const CShape b = RandomWalk(10000, 5);
    const int crossings = ProperCrossings(a, b);
    CShape nodedA, nodedB;
    nodedA.Copy(a);
    nodedB.Copy(b);
    nodedA.SplitAtIntersections(nodedB, true, 0, true);
    if (crossings == 0 || nodedA.GetPartCount() != 1 + crossings || nodedB.GetPartCount() != 1 + crossings) {
        state.SkipWithError("noding does not split at every crossing");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        nodedA.Copy(a);
        nodedB.Copy(b);
        state.ResumeTiming();
        nodedA.SplitAtIntersections(nodedB, true, 0, true);
        benchmark::DoNotOptimize(nodedA.GetPartCount());
    }
    state.SetLabel(std::to_string(crossings) + " crossings");
}
BENCHMARK(BM_NodingOfTwoRandomLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
