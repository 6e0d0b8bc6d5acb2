// bench-deps: drel_geoproc
// Closed areas and street blocks of street grids (bench/GeoprocLayers.h):
// the faces of the link layer the topology makes of a grid of n x n
// blocks, each face one block and all of them the grid's area, or merged
// the one outline of the grid; and the blocks of a grid city of about 20k
// streets whose widths come from a field, each block the cell less half
// of each street around it, blocks and street surfaces together the
// grid's area. Each run first checks its result against those answers.
#include "bench/GeoprocLayers.h"
#include "geoproc/ClosedAreas.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/LineTopology.h"
#include "geoproc/StreetBlocks.h"
#include "layers/LayerReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// The town of n x n blocks with the link layer of its streets.
struct CLinkedTown {
    std::unique_ptr<CGeoprocTown> town;
    std::unique_ptr<CLayer> links;
    bool ready = false;
};

CLinkedTown& LinkedTown(int side)
{
    static std::map<int, CLinkedTown> towns;
    CLinkedTown& linked = towns[side];
    if (!linked.town) {
        CGeoprocTownPlan plan;
        plan.columns = plan.rows = side;
        plan.districtsPerSide = 1;
        plan.pointsPerBuilding = 0;
        linked.town = std::make_unique<CGeoprocTown>(plan);
        const std::string path = linked.town->Folder() + "links.gdb";
        CTopologyOptions options;
        linked.ready = linked.town->IsReady() &&
                       BuildTopology(linked.town->Streets(), linked.town->Document(), path, options) ==
                           EOperationEnd::kDone;
        linked.links = std::make_unique<CLayer>("Links", path, CLayer::kLine);
    }
    return linked;
}

struct CAreaSum {
    int count = 0;
    double area = 0;
    double smallest = 0;
    double largest = 0;
};

CAreaSum SumAreas(const std::string& path)
{
    CAreaSum sum;
    CLayerReader reader;
    if (!reader.Open(path))
        return sum;
    CShape shape;
    while (reader.GetSource()->ReadNextShape(shape)) {
        const double area = shape.Area();
        sum.smallest = sum.count == 0 ? area : std::min(sum.smallest, area);
        sum.largest = sum.count == 0 ? area : std::max(sum.largest, area);
        sum.area += area;
        ++sum.count;
    }
    return sum;
}

bool Near(double value, double expected)
{
    return std::fabs(value - expected) <= 1e-6 * std::fabs(expected);
}

void BM_ClosedAreas(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const bool merge = state.range(1) != 0;
    CLinkedTown& linked = LinkedTown(side);
    if (!linked.ready) {
        state.SkipWithError("the town or its links could not be written");
        return;
    }
    const double block = linked.town->Plan().block, total = side * side * block * block;
    const std::string path = linked.town->Folder() + (merge ? "outline.gdb" : "faces.gdb");
    if (BuildAreasFromLines(*linked.links, linked.town->Document(), path, merge) != EOperationEnd::kDone) {
        state.SkipWithError("the areas failed");
        return;
    }
    const CAreaSum sum = SumAreas(path);
    const int due = merge ? 1 : side * side;
    if (sum.count != due || !Near(sum.area, total) || (!merge && !Near(sum.smallest, block * block)) ||
        (!merge && !Near(sum.largest, block * block))) {
        char error[200];
        std::snprintf(error, sizeof error, "%d areas of %.1f m2 where %d of %.1f were due", sum.count, sum.area, due,
                      total);
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state)
        if (BuildAreasFromLines(*linked.links, linked.town->Document(), path, merge) != EOperationEnd::kDone)
            state.SkipWithError("the areas failed");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(linked.town->StreetCount()));
}

// Dialog 30806 answered: widths from the field, no frame.
class CBlockAnswers : public IGeoprocDialogs {
public:
    explicit CBlockAnswers(std::string folder) : m_folder(std::move(folder)) { SetGeoprocDialogs(this); }
    ~CBlockAnswers() override { SetGeoprocDialogs(nullptr); }
    bool AskStreetBlocks(CDrelDoc&, const CLayer&, CStreetBlockChoice& choice) override
    {
        choice.mode = 1;
        choice.widthField = "Plotis";
        choice.frameLayer.clear();
        choice.tolerance = 0;
        choice.blockPath = m_folder + "blocks.gdb";
        choice.streetPath = m_folder + "surfaces.gdb";
        return true;
    }

private:
    std::string m_folder;
};

// Streets of the town's grid with the width 10 m, every fifth row and
// column 20 m.
double StreetWidth(int index)
{
    return index % 5 == 0 ? 20 : 10;
}

bool WriteWideStreets(CGeoprocTown& town, const std::string& path)
{
    CGdbSource source;
    std::vector<CDbfFieldInfo> fields(2);
    fields[0].Set("Plotis", 'N', 6, 1);
    fields[1].Set("", 0, 0, 0);
    if (!source.Create(path, CFeatureSource::kLine, fields.data()))
        return false;
    const CGeoprocTownPlan& plan = town.Plan();
    const double s = plan.block;
    const auto street = [&](CMapPoint a, CMapPoint b, double width) {
        CShape line;
        const CMapPoint points[2] = {a, b};
        line.SetPoints(2, points);
        return source.AppendShape(line, false) && source.GetTable().SetFieldDouble(0, width) &&
               source.GetTable().WriteRecord();
    };
    for (int r = 0; r <= plan.rows; ++r)
        for (int c = 0; c < plan.columns; ++c)
            if (!street({c * s, r * s}, {(c + 1) * s, r * s}, StreetWidth(r)))
                return false;
    for (int c = 0; c <= plan.columns; ++c)
        for (int r = 0; r < plan.rows; ++r)
            if (!street({c * s, r * s}, {c * s, (r + 1) * s}, StreetWidth(c)))
                return false;
    return true;
}

// The block of the cell at (c, r) by the widths of its four streets.
double BlockArea(double block, int c, int r)
{
    const double across = block - StreetWidth(c) / 2 - StreetWidth(c + 1) / 2;
    return across * (block - StreetWidth(r) / 2 - StreetWidth(r + 1) / 2);
}

void BM_StreetBlocks(benchmark::State& state)
{
    // 100 x 100 blocks: 20,200 streets.
    CGeoprocTownPlan plan;
    plan.columns = plan.rows = 100;
    plan.districtsPerSide = 1;
    plan.pointsPerBuilding = 0;
    CGeoprocTown town(plan);
    const std::string path = town.Folder() + "wide.gdb";
    if (!town.IsReady() || !WriteWideStreets(town, path)) {
        state.SkipWithError("the town could not be written");
        return;
    }
    CLayer streets("Gatvės", path, CLayer::kLine);
    CBlockAnswers answers(town.Folder());
    const auto run = [&] {
        town.Document().SetPathName(town.Folder() + "town.map");
        return BuildStreetBlocks(streets, town.Document(), false) == 1;
    };
    if (!run()) {
        state.SkipWithError("the blocks failed");
        return;
    }
    double blocks = 0;
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.columns; ++c)
            blocks += BlockArea(plan.block, c, r);
    const double total = plan.columns * plan.rows * plan.block * plan.block;
    const CAreaSum written = SumAreas(town.Folder() + "blocks.gdb");
    const CAreaSum surfaces = SumAreas(town.Folder() + "surfaces.gdb");
    if (written.count != plan.columns * plan.rows || !Near(written.area, blocks) ||
        surfaces.count != written.count || !Near(written.area + surfaces.area, total)) {
        char error[200];
        std::snprintf(error, sizeof error, "%d blocks of %.1f m2 and %d surfaces of %.1f where %d of %.1f were due",
                      written.count, written.area, surfaces.count, surfaces.area, plan.columns * plan.rows, blocks);
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state) {
        // The layers the last run added go first: their names come free.
        state.PauseTiming();
        while (town.Document().GetLayerCount() > 4)
            town.Document().RemoveLayer(town.Document().GetLayer(town.Document().GetLayerCount() - 1), false, true,
                                        false);
        state.ResumeTiming();
        if (!run())
            state.SkipWithError("the blocks failed");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(town.StreetCount()));
}

} // namespace

BENCHMARK(BM_ClosedAreas)
    ->ArgNames({"side", "merge"})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Args({150, 0})
    ->Args({150, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_StreetBlocks)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
