// bench-deps: drel_core
// bench-needs: polyclipping
// bench-uses: geos
// Polygon intersections beside Clipper 1 (libpolyclipping), the yardstick
// of this benchmark only: an ellipse against a star whose every edge it
// crosses once (100, 1,000 and 10,000 crossings), a ring with a hole
// against a star of 4,000 vertices, and two crossed ellipses of 10,000
// vertices each (4 crossings). Clipper works on integers: the coordinates
// go to it in millimetres. Each side is timed for the same work, from the
// rings to the area: its input made, the intersection, the area read.
// Both areas are first checked against each other; the time is ours,
// "clipper_ms" Clipper's and "ratio" ours over Clipper's, measured in turn
// in the same run.
//
// The two ellipses are also intersected and joined beside Clipper and,
// where it is installed, GEOS (its C library, from the coordinates as
// they are): "geos_ms" and "vs_geos" then, every area checked first.

#include "core/MapGeometry.h"
#include "core/PolygonSet.h"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>
#ifdef DREL_HAVE_GEOS
#include <geos_c.h>
#endif

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Lithuanian grid coordinates around one centre, a 10 km scale.
constexpr double kCentreX = 500000, kCentreY = 6100000, kScale = 10000;
constexpr double kMillimetres = 1000;

using Ring = std::vector<CMapPoint>;

Ring Ellipse(int vertices, double a, double b, double turn)
{
    Ring ring;
    for (int i = 0; i < vertices; ++i) {
        const double t = 2 * kPi * i / vertices;
        const double x = a * std::cos(t), y = b * std::sin(t);
        ring.emplace_back(kCentreX + kScale * (x * std::cos(turn) - y * std::sin(turn)),
                          kCentreY + kScale * (x * std::sin(turn) + y * std::cos(turn)));
    }
    return ring;
}

// Points at radius 1 and dents at radius inner, alternately.
Ring Star(int vertices, double inner)
{
    Ring ring;
    for (int i = 0; i < vertices; ++i) {
        const double t = 2 * kPi * (i + 0.5) / vertices, r = i % 2 == 0 ? 1.0 : inner;
        ring.emplace_back(kCentreX + kScale * r * std::cos(t), kCentreY + kScale * r * std::sin(t));
    }
    return ring;
}

struct CCase {
    std::string name;
    std::vector<Ring> subject, clip;
};

CCase MakeCase(int which)
{
    switch (which) {
    case 0:
    case 1:
    case 2: {
        const int crossings = which == 0 ? 100 : which == 1 ? 1000 : 10000;
        return {"ellipse x star, " + std::to_string(crossings) + " crossings",
                {Ellipse(crossings, 0.9, 0.7, 0.3)},
                {Star(crossings, 0.6)}};
    }
    case 3:
        return {"ring with a hole x star of 4000", {Ellipse(2000, 0.95, 0.9, 0), Ellipse(2000, 0.7, 0.65, 0.2)},
                {Star(4000, 0.5)}};
    default:
        return {"two ellipses of 10000, 4 crossings", {Ellipse(10000, 1, 0.5, 0.01)}, {Ellipse(10000, 1, 0.5, 1.58)}};
    }
}

CPolygonSet ToSet(const std::vector<Ring>& rings)
{
    CPolygonSet set;
    for (const Ring& ring : rings)
        set.AddContour(ring.data(), static_cast<int>(ring.size()), false);
    return set;
}

ClipperLib::Paths ToPaths(const std::vector<Ring>& rings)
{
    ClipperLib::Paths paths;
    for (const Ring& ring : rings) {
        paths.emplace_back();
        for (const CMapPoint& p : ring)
            paths.back().emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x * kMillimetres)),
                                      static_cast<ClipperLib::cInt>(std::llround(p.y * kMillimetres)));
    }
    return paths;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The intersection's area in square map units, NaN when it failed; the
// result is left in result.
double OurArea(const CCase& c, CPolygonSet& result)
{
    const CPolygonSet subject = ToSet(c.subject), clip = ToSet(c.clip);
    if (!CPolygonSet::ClipPolygons(CPolygonSet::kIntersection, subject, clip, result))
        return std::nan("");
    return result.Area();
}

double ClipperArea(const CCase& c, ClipperLib::Paths& result)
{
    const ClipperLib::Paths subject = ToPaths(c.subject), clip = ToPaths(c.clip);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    if (!clipper.Execute(ClipperLib::ctIntersection, result, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
        return std::nan("");
    double area = 0;
    for (const ClipperLib::Path& path : result)
        area += ClipperLib::Area(path);
    return area / (kMillimetres * kMillimetres);
}

void BM_IntersectBesideClipper(benchmark::State& state)
{
    const CCase c = MakeCase(static_cast<int>(state.range(0)));
    CPolygonSet ours;
    ClipperLib::Paths theirs;
    const double ourArea = OurArea(c, ours), theirArea = ClipperArea(c, theirs);
    if (std::isnan(ourArea) || std::isnan(theirArea)) {
        state.SkipWithError("an intersection failed");
        return;
    }
    if (!(std::fabs(ourArea - theirArea) <= 1e-6 * theirArea) || theirArea <= 0) {
        state.SkipWithError("the areas differ");
        return;
    }

    double oursTotal = 0, theirsTotal = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(OurArea(c, ours));
        const double mine = Seconds(begin);
        begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ClipperArea(c, theirs));
        theirsTotal += Seconds(begin);
        oursTotal += mine;
        state.SetIterationTime(mine);
    }
    state.counters["clipper_ms"] = 1000 * theirsTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = oursTotal / theirsTotal;
    state.counters["contours"] = ours.GetContourCount();
    state.SetLabel(c.name);
}
BENCHMARK(BM_IntersectBesideClipper)->DenseRange(0, 4)->UseManualTime()->Unit(benchmark::kMillisecond);

double OurOverlayArea(int operation, const CCase& c)
{
    CPolygonSet result;
    const CPolygonSet subject = ToSet(c.subject), clip = ToSet(c.clip);
    if (!CPolygonSet::ClipPolygons(operation, subject, clip, result))
        return std::nan("");
    return result.Area();
}

double ClipperOverlayArea(ClipperLib::ClipType operation, const CCase& c)
{
    ClipperLib::Paths result;
    const ClipperLib::Paths subject = ToPaths(c.subject), clip = ToPaths(c.clip);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    if (!clipper.Execute(operation, result, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
        return std::nan("");
    double area = 0;
    for (const ClipperLib::Path& path : result)
        area += ClipperLib::Area(path);
    return area / (kMillimetres * kMillimetres);
}

#ifdef DREL_HAVE_GEOS
// A polygon of the first ring with the others as its holes.
GEOSGeometry* GeosPolygon(GEOSContextHandle_t context, const std::vector<Ring>& rings)
{
    std::vector<GEOSGeometry*> made;
    for (const Ring& ring : rings) {
        GEOSCoordSequence* points = GEOSCoordSeq_create_r(context, static_cast<unsigned>(ring.size() + 1), 2);
        for (size_t i = 0; i <= ring.size(); ++i) {
            const CMapPoint& p = ring[i % ring.size()];
            GEOSCoordSeq_setXY_r(context, points, static_cast<unsigned>(i), p.x, p.y);
        }
        made.push_back(GEOSGeom_createLinearRing_r(context, points));
    }
    return GEOSGeom_createPolygon_r(context, made[0], made.data() + 1, static_cast<unsigned>(made.size() - 1));
}

double GeosOverlayArea(GEOSContextHandle_t context, int operation, const CCase& c)
{
    GEOSGeometry* subject = GeosPolygon(context, c.subject);
    GEOSGeometry* clip = GeosPolygon(context, c.clip);
    GEOSGeometry* result = operation == CPolygonSet::kUnion ? GEOSUnion_r(context, subject, clip)
                                                            : GEOSIntersection_r(context, subject, clip);
    double area = std::nan("");
    if (result)
        GEOSArea_r(context, result, &area);
    GEOSGeom_destroy_r(context, result);
    GEOSGeom_destroy_r(context, clip);
    GEOSGeom_destroy_r(context, subject);
    return area;
}
#endif

// The two ellipses intersected (0) or joined (1), beside Clipper and GEOS.
void BM_OverlayBesidePeers(benchmark::State& state)
{
    const bool join = state.range(0) != 0;
    const int operation = join ? CPolygonSet::kUnion : CPolygonSet::kIntersection;
    const ClipperLib::ClipType clipperOperation = join ? ClipperLib::ctUnion : ClipperLib::ctIntersection;
    const CCase c = MakeCase(4);
    const double area = OurOverlayArea(operation, c), clipperArea = ClipperOverlayArea(clipperOperation, c);
    const auto agrees = [&](double other) { return area > 0 && std::fabs(area - other) <= 1e-6 * area; };
    if (!agrees(clipperArea)) {
        state.SkipWithError("the areas of Clipper and ours differ");
        return;
    }
#ifdef DREL_HAVE_GEOS
    GEOSContextHandle_t context = GEOS_init_r();
    if (!agrees(GeosOverlayArea(context, operation, c))) {
        GEOS_finish_r(context);
        state.SkipWithError("the areas of GEOS and ours differ");
        return;
    }
    double geosTotal = 0;
#endif
    double oursTotal = 0, clipperTotal = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(OurOverlayArea(operation, c));
        const double mine = Seconds(begin);
        begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ClipperOverlayArea(clipperOperation, c));
        clipperTotal += Seconds(begin);
#ifdef DREL_HAVE_GEOS
        begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(GeosOverlayArea(context, operation, c));
        geosTotal += Seconds(begin);
#endif
        oursTotal += mine;
        state.SetIterationTime(mine);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["clipper_ms"] = 1000 * clipperTotal / runs;
    state.counters["ratio"] = oursTotal / clipperTotal;
#ifdef DREL_HAVE_GEOS
    GEOS_finish_r(context);
    state.counters["geos_ms"] = 1000 * geosTotal / runs;
    state.counters["vs_geos"] = oursTotal / geosTotal;
#endif
    state.SetLabel(std::string(join ? "union" : "intersection") + " of " + c.name);
}
BENCHMARK(BM_OverlayBesidePeers)->DenseRange(0, 1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
