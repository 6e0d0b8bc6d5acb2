// bench-deps: drel_geoproc
// Merging of neighbours, snapping of near vertices and thinning, each at
// two sizes ten times apart (their literal passes are quadratic; these
// must stay near linear): building areas filling their blocks keyed by
// block (nothing merges), a grid of cells united into one area, shuffled
// segments of known chains, street ends up to about 0.6 m apart snapped,
// one long line whose every other row snaps onto the row before, and
// densified straight streets thinned to their ends. Each run first checks
// its result against the answer known in closed form.
#include "bench/GeoprocLayers.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/MergeAdjacent.h"
#include "geoproc/SnapVertices.h"
#include "geoproc/ThinVertices.h"
#include "layers/SpatialIndex.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>

namespace {

// A town whose buildings fill their blocks, so that each touches its
// eight neighbours.
CGeoprocTown& FilledTown(int side)
{
    static std::map<int, std::unique_ptr<CGeoprocTown>> towns;
    std::unique_ptr<CGeoprocTown>& town = towns[side];
    if (!town) {
        CGeoprocTownPlan plan;
        plan.columns = plan.rows = side;
        plan.districtsPerSide = 1;
        plan.pointsPerBuilding = 0;
        plan.width = plan.height = plan.block;
        plan.setback = 0;
        town = std::make_unique<CGeoprocTown>(plan);
    }
    return *town;
}

struct CLoaded {
    CShapeArray shapes;
    std::vector<int32_t> records;
};

bool LoadBuildings(CGeoprocTown& town, CLoaded& loaded)
{
    return town.IsReady() && LoadShapesIndexed(town.Buildings(), loaded.shapes, &loaded.records, nullptr);
}

void Copy(const CShapeArray& from, CShapeArray& to)
{
    to.RemoveAll();
    for (int i = 0; i < from.GetSize(); ++i)
        to.AddCopy(*from[i]);
}

bool Index(const CShapeArray& shapes, CSpatialIndex& index)
{
    CMapRect all;
    for (int i = 0; i < shapes.GetSize(); ++i)
        all.UnionRect(all, shapes[i]->GetExtent());
    if (!index.Create(all, shapes.GetSize(), CSpatialIndex::kSourceCellCount))
        return false;
    for (int i = 0; i < shapes.GetSize(); ++i)
        index.AddBox(shapes[i]->GetExtent(), i);
    return index.Build();
}

// Areas merged; the objects left and their total area.
bool MergeAreas(const CShapeArray& source, const CMergeKeys& keys, int& left, double& area)
{
    CShapeArray shapes;
    Copy(source, shapes);
    CSpatialIndex index;
    if (!Index(shapes, index) || !MergeAdjacentAreas(shapes, &index, keys, nullptr))
        return false;
    left = 0;
    area = 0;
    for (int i = 0; i < shapes.GetSize(); ++i)
        if (shapes[i]->GetPointCount() > 0) {
            ++left;
            area += shapes[i]->Area();
        }
    return true;
}

void RunAreas(benchmark::State& state, int side, bool keyed)
{
    CGeoprocTown& town = FilledTown(side);
    CLoaded loaded;
    if (!LoadBuildings(town, loaded)) {
        state.SkipWithError("the town could not be written or read");
        return;
    }
    CMergeKeys keys;
    if (!keys.Read(town.Buildings(), keyed ? "BLOCK" : "", loaded.records)) {
        state.SkipWithError("the keys could not be read");
        return;
    }
    const double block = town.Plan().block;
    const int wanted = keyed ? town.BuildingCount() : 1;
    const double wantedArea = town.BuildingCount() * block * block;
    int left = 0;
    double area = 0;
    if (!MergeAreas(loaded.shapes, keys, left, area) || left != wanted ||
        std::fabs(area - wantedArea) > 1e-9 * wantedArea) {
        state.SkipWithError(("wrong merge: " + std::to_string(left) + " areas of " + std::to_string(area)).c_str());
        return;
    }
    for (auto _ : state) {
        CShapeArray shapes;
        state.PauseTiming();
        Copy(loaded.shapes, shapes);
        CSpatialIndex index;
        Index(shapes, index);
        state.ResumeTiming();
        benchmark::DoNotOptimize(MergeAdjacentAreas(shapes, &index, keys, nullptr));
        state.PauseTiming();
        shapes.RemoveAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * town.BuildingCount());
}

// 70 x 70 and 224 x 224 buildings, each its own block.
void BM_MergeBuildingsKeyedByBlock_5k(benchmark::State& state)
{
    RunAreas(state, 70, true);
}
void BM_MergeBuildingsKeyedByBlock_50k(benchmark::State& state)
{
    RunAreas(state, 224, true);
}
// 100 x 100 and 316 x 316 cells into one area.
void BM_MergeGridIntoOneArea_10k(benchmark::State& state)
{
    RunAreas(state, 100, false);
}
void BM_MergeGridIntoOneArea_100k(benchmark::State& state)
{
    RunAreas(state, 316, false);
}

// Chains of ten unit segments along rows, each segment turned either way
// at random, all shuffled.
struct CChains {
    std::vector<CShape> segments;
    int chains = 0;
    static constexpr int kLength = 10;

    explicit CChains(int count) : chains(count)
    {
        std::mt19937_64 random(7);
        for (int c = 0; c < count; ++c)
            for (int k = 0; k < kLength; ++k) {
                CMapPoint a(k, 3.0 * c), b(k + 1, 3.0 * c);
                if (random() % 2)
                    std::swap(a, b);
                CShape segment;
                segment.SetSize(0, 1);
                segment.AddPoint(a);
                segment.AddPoint(b);
                segments.push_back(std::move(segment));
            }
        std::shuffle(segments.begin(), segments.end(), random);
    }
    void CopyTo(CShapeArray& shapes) const
    {
        shapes.RemoveAll();
        for (const CShape& segment : segments)
            shapes.AddCopy(segment);
    }
};

void RunLines(benchmark::State& state, int chains)
{
    const CChains made(chains);
    CShapeArray shapes;
    made.CopyTo(shapes);
    if (!MergeAdjacentLines(shapes, CMergeKeys(), nullptr)) {
        state.SkipWithError("the merge failed");
        return;
    }
    int left = 0;
    bool whole = true;
    for (int i = 0; i < shapes.GetSize(); ++i) {
        const CShape& line = *shapes[i];
        if (line.GetPointCount() == 0)
            continue;
        ++left;
        const double span = std::fabs(line.GetPoint(line.GetPointCount() - 1).x - line.GetPoint(0).x);
        whole = whole && line.GetPointCount() == CChains::kLength + 1 && span == CChains::kLength;
    }
    if (left != chains || !whole) {
        state.SkipWithError(("wrong chains: " + std::to_string(left)).c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        made.CopyTo(shapes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(MergeAdjacentLines(shapes, CMergeKeys(), nullptr));
    }
    state.SetItemsProcessed(state.iterations() * chains * CChains::kLength);
}

void BM_MergeShuffledSegments_10k(benchmark::State& state)
{
    RunLines(state, 1000);
}
void BM_MergeShuffledSegments_100k(benchmark::State& state)
{
    RunLines(state, 10000);
}

// Street ends pulled apart by up to about 0.6 m, snapped within 1 m: each
// end but the first at its crossing moves once.
void RunSnapStreets(benchmark::State& state, int side)
{
    CGeoprocTownPlan plan;
    plan.columns = plan.rows = side;
    const CStreetGrid grid = CStreetGrid::ForTopology(plan);
    const std::vector<int> order = grid.Shuffled(3);
    CShapeArray shapes;
    grid.CopyTo(shapes, order);
    const int64_t moved = SnapVertices(shapes, 1, 1, nullptr);
    std::set<std::pair<double, double>> ends;
    for (int i = 0; i < shapes.GetSize(); ++i)
        for (const int k : {0, shapes[i]->GetPointCount() - 1})
            ends.insert({shapes[i]->GetPoint(k).x, shapes[i]->GetPoint(k).y});
    const int crossingsWithEnds = grid.crossings - grid.unnoded;
    if (moved != grid.Ends() - crossingsWithEnds || static_cast<int>(ends.size()) != crossingsWithEnds) {
        state.SkipWithError(("wrong snapping: " + std::to_string(moved) + " moved").c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        grid.CopyTo(shapes, order);
        state.ResumeTiming();
        benchmark::DoNotOptimize(SnapVertices(shapes, 1, 1, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(grid.lines.size()));
}

void BM_SnapStreetEnds_10k(benchmark::State& state)
{
    RunSnapStreets(state, 70);
}
void BM_SnapStreetEnds_100k(benchmark::State& state)
{
    RunSnapStreets(state, 224);
}

// Rows of 1000 vertices a metre apart running back and forth; every odd
// row lies 0.3 m above the row before, its vertices 0.2 m along, and snaps
// onto it within 0.5 m; the even rows lie 10 m apart.
void RunSnapLongLine(benchmark::State& state, int rows)
{
    constexpr int kRow = 1000;
    CShape line;
    line.SetSize(0, 1);
    for (int r = 0; r < rows; ++r) {
        const bool odd = r % 2 == 1;
        const double y = (r / 2) * 10.0 + (odd ? 0.3 : 0);
        for (int k = 0; k < kRow; ++k) {
            const int x = odd ? kRow - 1 - k : k;
            line.AddPoint(CMapPoint(x + (odd ? 0.2 : 0), y));
        }
    }
    CShapeArray shapes;
    shapes.AddCopy(line);
    const int64_t moved = SnapVertices(shapes, 0.5, 0.5, nullptr);
    if (moved != static_cast<int64_t>(rows / 2) * kRow) {
        state.SkipWithError(("wrong snapping: " + std::to_string(moved) + " moved").c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        shapes.RemoveAll();
        shapes.AddCopy(line);
        state.ResumeTiming();
        benchmark::DoNotOptimize(SnapVertices(shapes, 0.5, 0.5, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * rows * kRow);
}

void BM_SnapOneLongLine_5k(benchmark::State& state)
{
    RunSnapLongLine(state, 5);
}
void BM_SnapOneLongLine_50k(benchmark::State& state)
{
    RunSnapLongLine(state, 50);
}

// Every street of 50 evenly spaced points keeps only its ends.
void RunThin(benchmark::State& state, int side)
{
    CGeoprocTownPlan plan;
    plan.columns = plan.rows = side;
    plan.streetVertices = 50;
    plan.districtsPerSide = 1;
    plan.pointsPerBuilding = 0;
    CGeoprocTown town(plan);
    CShapeArray streets;
    if (!town.IsReady() || !LoadShapesIndexed(town.Streets(), streets, nullptr, nullptr)) {
        state.SkipWithError("the town could not be written or read");
        return;
    }
    const auto thin = [&streets](CShapeArray& shapes) {
        Copy(streets, shapes);
        long long removed = 0;
        for (int i = 0; i < shapes.GetSize(); ++i)
            removed += ThinShape(*shapes[i], false, 1.0, 1, 1);
        return removed;
    };
    CShapeArray shapes;
    const long long wanted = static_cast<long long>(town.StreetCount()) * (plan.streetVertices - 2);
    if (thin(shapes) != wanted) {
        state.SkipWithError("wrong thinning");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        Copy(streets, shapes);
        state.ResumeTiming();
        long long removed = 0;
        for (int i = 0; i < shapes.GetSize(); ++i)
            removed += ThinShape(*shapes[i], false, 1.0, 1, 1);
        benchmark::DoNotOptimize(removed);
    }
    state.SetItemsProcessed(state.iterations() * town.StreetCount());
}

void BM_ThinDensifiedStreets_10k(benchmark::State& state)
{
    RunThin(state, 70);
}
void BM_ThinDensifiedStreets_100k(benchmark::State& state)
{
    RunThin(state, 224);
}

} // namespace

BENCHMARK(BM_MergeBuildingsKeyedByBlock_5k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeBuildingsKeyedByBlock_50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeGridIntoOneArea_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeGridIntoOneArea_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeShuffledSegments_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeShuffledSegments_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapStreetEnds_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapStreetEnds_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapOneLongLine_5k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapOneLongLine_50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThinDensifiedStreets_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThinDensifiedStreets_100k)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
