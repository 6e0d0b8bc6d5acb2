// bench-deps: drel_geoproc
// Buffer zones of a layer's objects written into a new layer, the whole
// command as the user runs it (read, zone, write): 100k street lines,
// 50k buildings in each kind of zone, 100k points. Each first checks the
// zones it wrote against the town's closed-form answers.
#include "bench/GeoprocLayers.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/LayerBuffers.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocCommands.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kRadiusKm = 0.005;
constexpr double kRadius = 5; // metres: the map's unit
// A zone's round parts are polygons of ten-degree steps.
const double kCircle = 18 * std::sin(M_PI / 18) * kRadius * kRadius;

// 223 x 223 blocks: 99,904 streets, 49,729 buildings, 99,458 points.
CGeoprocTown& Town()
{
    static CGeoprocTown town([] {
        CGeoprocTownPlan plan;
        plan.columns = plan.rows = 223;
        plan.districtsPerSide = 1;
        plan.pointsPerBuilding = 2;
        return plan;
    }());
    return town;
}

class CBenchDialogs : public IGeoprocDialogs {
public:
    bool AskLayerBuffer(const CLayer&, double& radius) override
    {
        radius = kRadiusKm;
        return true;
    }
    bool AskBufferType(int& type) override
    {
        type = zoneType;
        return true;
    }
    int zoneType = CShape::kBufferBand;
};

CDocCommandDialogs NewLayerAsProposed()
{
    CDocCommandDialogs dialogs;
    dialogs.newLayer = [](CDrelDoc&, std::string&, std::string&, int&, CNewLayerOptions&) { return true; };
    return dialogs;
}

// The zones' count and total area as written.
bool ReadZones(const std::string& path, int& count, double& area)
{
    count = 0;
    area = 0;
    CLayerReader reader;
    if (!reader.Open(path))
        return false;
    CShape zone;
    while (reader.GetSource()->ReadNextShape(zone)) {
        ++count;
        area += zone.Area();
    }
    return reader.GetSource()->GetError() == CFeatureSource::kNoError;
}

// Runs the command on the layer; the new layer, or null.
CLayer* Zones(CLayer& layer, CBenchDialogs& dialogs)
{
    CDrelDoc& map = Town().Document();
    SetGeoprocDialogs(&dialogs);
    const int before = map.GetLayerCount();
    const int done = CreateBuffers(layer, map, NewLayerAsProposed());
    SetGeoprocDialogs(nullptr);
    return done && map.GetLayerCount() == before + 1 ? map.GetLayer(before) : nullptr;
}

void Forget(CLayer* zones)
{
    if (zones)
        Town().Document().RemoveLayer(zones, true, false, false);
}

void BenchZones(benchmark::State& state, CLayer& (CGeoprocTown::*layer)(), int zoneType, int objects,
                double areaEach)
{
    CGeoprocTown& town = Town();
    if (!town.IsReady()) {
        state.SkipWithError("the town could not be written");
        return;
    }
    CBenchDialogs dialogs;
    dialogs.zoneType = zoneType;
    int count = 0;
    double area = 0;
    CLayer* zones = Zones((town.*layer)(), dialogs);
    const bool read = zones && ReadZones(zones->GetPath(), count, area);
    Forget(zones);
    if (!read || count != objects || std::abs(area - objects * areaEach) > objects * areaEach * 1e-6) {
        char error[160];
        std::snprintf(error, sizeof error, "%d zones of %.3f m2 where %d of %.3f m2 were due", count, area, objects,
                      objects * areaEach);
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state) {
        zones = Zones((town.*layer)(), dialogs);
        state.PauseTiming();
        if (!zones)
            state.SkipWithError("the command failed");
        Forget(zones);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * objects);
}

void BM_StreetZones(benchmark::State& state)
{
    const CGeoprocTown& town = Town();
    BenchZones(state, &CGeoprocTown::Streets, CShape::kBufferBand, town.StreetCount(),
               2 * kRadius * town.StreetLength() + kCircle);
}

void BM_BuildingZones(benchmark::State& state)
{
    const CGeoprocTown& town = Town();
    const double w = town.Plan().width, h = town.Plan().height;
    const double grown = w * h + 2 * kRadius * (w + h) + kCircle;
    const double shrunk = (w - 2 * kRadius) * (h - 2 * kRadius);
    const int type = static_cast<int>(state.range(0));
    const double area = type == CShape::kBufferBand ? grown - shrunk : type == CShape::kBufferGrow ? grown : shrunk;
    BenchZones(state, &CGeoprocTown::Buildings, type, town.BuildingCount(), area);
}

void BM_PointZones(benchmark::State& state)
{
    BenchZones(state, &CGeoprocTown::Points, CShape::kBufferBand, Town().PointCount(), kCircle);
}

} // namespace

BENCHMARK(BM_StreetZones)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BuildingZones)
    ->ArgName("kind")
    ->Arg(CShape::kBufferBand)
    ->Arg(CShape::kBufferGrow)
    ->Arg(CShape::kBufferShrink)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_PointZones)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
