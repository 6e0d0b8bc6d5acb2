// bench-deps: drel_geoproc
// Overlay of layers, the whole command as the user runs it (load the
// overlaying layer, read, cut, write): 50k buildings by 1k districts in
// intersection, union, subtract and classification; 100k street lines
// clipped by the districts; 100k address points classified by them. Each
// first checks what it wrote against the town's closed-form answers.
#include "bench/GeoprocLayers.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/Overlay.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocCommands.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

// 224 x 224 blocks in 32 x 32 districts of 7 x 7 blocks: 100,800 streets,
// 50,176 buildings, 100,352 points, 1,024 districts.
CGeoprocTown& Town()
{
    static CGeoprocTown town([] {
        CGeoprocTownPlan plan;
        plan.columns = plan.rows = 224;
        plan.districtsPerSide = 32;
        plan.pointsPerBuilding = 2;
        return plan;
    }());
    return town;
}

// Points are classified into a new layer.
class CBenchDialogs : public IGeoprocDialogs {
public:
    bool AskResultLayer(int& choice) override
    {
        choice = 0;
        return true;
    }
};

CDocCommandDialogs NewLayerAsProposed()
{
    CDocCommandDialogs dialogs;
    dialogs.newLayer = [](CDrelDoc&, std::string&, std::string&, int&, CNewLayerOptions&) { return true; };
    return dialogs;
}

// Runs the command; the new layer, or null.
CLayer* Run(CLayer& source, int code)
{
    CDrelDoc& map = Town().Document();
    CBenchDialogs dialogs;
    SetGeoprocDialogs(&dialogs);
    const int before = map.GetLayerCount();
    const int done = Overlay(source, map, Town().Districts(), code, NewLayerAsProposed());
    SetGeoprocDialogs(nullptr);
    return done && map.GetLayerCount() == before + 1 ? map.GetLayer(before) : nullptr;
}

void Forget(CLayer* layer)
{
    if (layer)
        Town().Document().RemoveLayer(layer, true, false, false);
}

// The district (its "ID", from 1) that holds a block (its "BLOCK", from 1).
int DistrictOfBlock(int block)
{
    const CGeoprocTownPlan& plan = Town().Plan();
    const int columnsPer = plan.columns / plan.districtsPerSide, rowsPer = plan.rows / plan.districtsPerSide;
    const int column = (block - 1) % plan.columns, row = (block - 1) / plan.columns;
    return (row / rowsPer) * plan.districtsPerSide + column / columnsPer + 1;
}

double DistrictArea()
{
    const CGeoprocTownPlan& plan = Town().Plan();
    const double side = plan.block * plan.columns / plan.districtsPerSide;
    return side * side;
}

// What a result holds: its objects, their area or length, the area of
// each district's pieces, and the objects whose district is not their
// block's.
struct CWritten {
    int count = 0;
    double measure = 0;
    std::map<int, double> byDistrict;
    int misplaced = 0;
};

bool Read(const CLayer& layer, CWritten& written)
{
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    const int block = table.FindField("BLOCK"), district = table.FindField("ID_");
    const int type = layer.GetType();
    CShape shape;
    CMapPoint point;
    for (;;) {
        const bool read = type == CLayer::kPoint ? source.ReadNextPoint(point) : source.ReadNextShape(shape);
        if (!read)
            break;
        ++written.count;
        double measure = 0;
        if (type == CLayer::kArea) {
            measure = shape.Area();
        } else if (type == CLayer::kLine) {
            for (int i = 1; i < shape.GetPointCount(); ++i)
                measure += std::hypot(shape.GetPoint(i).x - shape.GetPoint(i - 1).x,
                                      shape.GetPoint(i).y - shape.GetPoint(i - 1).y);
        }
        written.measure += measure;
        if (district < 0 || !source.GetRecordTable(source.GetCurrentRecord()))
            continue;
        std::string districtText, blockText;
        table.GetFieldText(district, districtText, 64);
        const int id = std::atoi(districtText.c_str());
        written.byDistrict[id] += measure;
        if (block >= 0 && table.GetFieldText(block, blockText, 64) > 0 && DistrictOfBlock(std::atoi(blockText.c_str())) != id)
            ++written.misplaced;
    }
    return source.GetError() == CFeatureSource::kNoError;
}

// Every district's pieces measure the same.
bool DistrictsEach(const CWritten& written, double measure)
{
    if (static_cast<int>(written.byDistrict.size()) != Town().DistrictCount())
        return false;
    for (const auto& [id, sum] : written.byDistrict)
        if (id < 1 || id > Town().DistrictCount() || std::abs(sum - measure) > measure * 1e-9)
            return false;
    return true;
}

using Check = bool (*)(const CWritten& written);

// objects: what the result is due to hold; sourceObjects: what the
// source holds, the items counted.
void BenchOverlay(benchmark::State& state, CLayer& (CGeoprocTown::*layer)(), int code, int objects, Check check,
                  int sourceObjects)
{
    CGeoprocTown& town = Town();
    if (!town.IsReady()) {
        state.SkipWithError("the town could not be written");
        return;
    }
    CWritten written;
    CLayer* result = Run((town.*layer)(), code);
    const bool read = result && Read(*result, written);
    Forget(result);
    if (!read || written.count != objects || written.misplaced != 0 || !check(written)) {
        char error[160];
        std::snprintf(error, sizeof error, "%d objects (%d misplaced) measuring %.3f where %d were due",
                      written.count, written.misplaced, written.measure, objects);
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state) {
        result = Run((town.*layer)(), code);
        state.PauseTiming();
        if (!result)
            state.SkipWithError("the command failed");
        Forget(result);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * sourceObjects);
}

bool BuildingsInTheirDistricts(const CWritten& written)
{
    const CGeoprocTown& town = Town();
    const double each = town.BuildingsPerDistrict() * town.BuildingArea();
    return std::abs(written.measure - town.BuildingCount() * town.BuildingArea()) <=
               written.measure * 1e-9 &&
           DistrictsEach(written, each);
}

void BM_BuildingsIntersected(benchmark::State& state)
{
    BenchOverlay(state, &CGeoprocTown::Buildings, kOverlayIntersect, Town().BuildingCount(),
                 BuildingsInTheirDistricts, Town().BuildingCount());
}

void BM_BuildingsClassified(benchmark::State& state)
{
    BenchOverlay(state, &CGeoprocTown::Buildings, kOverlayClassify, Town().BuildingCount(),
                 BuildingsInTheirDistricts, Town().BuildingCount());
}

// The buildings and the rest of each district tile the town.
void BM_BuildingsUnited(benchmark::State& state)
{
    const CGeoprocTown& town = Town();
    BenchOverlay(state, &CGeoprocTown::Buildings, kOverlayUnion, town.BuildingCount() + town.DistrictCount(),
                 [](const CWritten& written) {
                     const double all = DistrictArea() * Town().DistrictCount();
                     return std::abs(written.measure - all) <= all * 1e-9 && DistrictsEach(written, DistrictArea());
                 },
                 town.BuildingCount());
}

// Every building lies in a district: nothing is left.
void BM_BuildingsSubtracted(benchmark::State& state)
{
    BenchOverlay(state, &CGeoprocTown::Buildings, kOverlaySubtract, 0,
                 [](const CWritten& written) { return written.measure == 0; }, Town().BuildingCount());
}

// Each district's closed outline holds its 7 x 7 blocks' edges whole;
// streets on a border belong to both districts.
void BM_StreetsClipped(benchmark::State& state)
{
    const CGeoprocTownPlan& plan = Town().Plan();
    const int side = plan.columns / plan.districtsPerSide;
    const int perDistrict = 2 * (side + 1) * side;
    BenchOverlay(state, &CGeoprocTown::Streets, kOverlayClip, perDistrict * Town().DistrictCount(),
                 [](const CWritten& written) {
                     const CGeoprocTownPlan& plan = Town().Plan();
                     const int side = plan.columns / plan.districtsPerSide;
                     const double length = 2.0 * (side + 1) * side * plan.block * Town().DistrictCount();
                     return std::abs(written.measure - length) <= length * 1e-9;
                 },
                 Town().StreetCount());
}

void BM_PointsClassified(benchmark::State& state)
{
    BenchOverlay(state, &CGeoprocTown::Points, kOverlayClassify, Town().PointCount(),
                 [](const CWritten& written) {
                     // Every point counted in a district, none misplaced.
                     int counted = static_cast<int>(written.byDistrict.size());
                     return counted == Town().DistrictCount();
                 },
                 Town().PointCount());
}

} // namespace

BENCHMARK(BM_BuildingsIntersected)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BuildingsUnited)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BuildingsSubtracted)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BuildingsClassified)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_StreetsClipped)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PointsClassified)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
