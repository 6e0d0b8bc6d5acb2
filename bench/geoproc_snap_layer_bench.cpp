// bench-deps: drel_geoproc
// Snapping one layer onto another and the end vertices of a layer, on the
// streets of a town of about 100,000 street lines: a copy whose every
// vertex was moved by up to 0.5 m is snapped at 1 m back onto the exact
// streets, vertices onto vertices (the result equals the exact layer) and
// ends onto edges (every end on a street); the end vertices of the exact
// streets are one point per crossing with the ends of all streets counted.
// Each run first checks its result, then times it.
#include "bench/GeoprocLayers.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/EndVertices.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LineTopology.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/SnapToLayer.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kSide = 224; // 225 * 224 * 2 = 100,800 streets

// The town, and its streets with every vertex moved by up to 0.5 m.
struct CSnapTown {
    CSnapTown() : town(Plan())
    {
        ready = town.IsReady() && WriteMoved();
    }
    static CGeoprocTownPlan Plan()
    {
        CGeoprocTownPlan plan;
        plan.columns = plan.rows = kSide;
        plan.districtsPerSide = 1;
        plan.pointsPerBuilding = 0;
        plan.streetVertices = 3;
        return plan;
    }
    bool WriteMoved()
    {
        CShapeArray shapes;
        if (!LoadShapesIndexed(town.Streets(), shapes, nullptr, nullptr))
            return false;
        std::mt19937_64 random(7);
        // Up to 0.35 m on each axis: under 0.5 m in all.
        std::uniform_real_distribution<double> shift(-0.35, 0.35);
        CGdbSource target;
        std::vector<CDbfFieldInfo> fields(2);
        fields[0].Set("ID", 'N', 9, 0);
        fields[1].Set("", 0, 0, 0);
        if (!target.Create(town.Folder() + "moved.gdb", CFeatureSource::kLine, fields.data()))
            return false;
        target.BeginWrites();
        for (int i = 0; i < shapes.GetSize(); ++i) {
            for (CMapPoint& p : shapes[i]->Points()) {
                p.x += shift(random);
                p.y += shift(random);
            }
            shapes[i]->RecalcBounds();
            if (!target.AppendShape(*shapes[i], false) || !target.GetTable().SetFieldLong(0, i + 1) ||
                !target.GetTable().WriteRecord())
                return false;
        }
        if (CloseWritten(target, EOperationEnd::kDone) != EOperationEnd::kDone)
            return false;
        moved = std::make_unique<CLayer>("Moved", town.Folder() + "moved.gdb", CLayer::kLine);
        return true;
    }

    CGeoprocTown town;
    std::unique_ptr<CLayer> moved;
    bool ready = false;
};

CSnapTown& Town()
{
    static CSnapTown town;
    return town;
}

bool Snap(CSnapTown& town, int what, int toWhat, const std::string& path)
{
    CSnapTargets targets;
    return targets.Load(town.town.Streets(), toWhat, nullptr) &&
           SnapLayerData(*town.moved, targets, path, what, CTopologyTolerance::Of(town.town.Document(), 1.0),
                         nullptr) == EOperationEnd::kDone;
}

bool OnGridLine(double v)
{
    return std::fabs(v - std::round(v / 100) * 100) < 1e-6;
}

void BM_SnapMovedStreetVerticesOntoVertices_100k(benchmark::State& state)
{
    CSnapTown& town = Town();
    const std::string path = town.town.Folder() + "snapped.gdb";
    CShapeArray exact, snapped;
    if (!town.ready || !Snap(town, kSnapVertices, kToVertices, path) ||
        !LoadShapesIndexed(town.town.Streets(), exact, nullptr, nullptr)) {
        state.SkipWithError("the town could not be written or snapped");
        return;
    }
    CLayer result("Snapped", path, CLayer::kLine);
    if (!LoadShapesIndexed(result, snapped, nullptr, nullptr) || snapped.GetSize() != exact.GetSize()) {
        state.SkipWithError("the snapped copy could not be read");
        return;
    }
    for (int i = 0; i < exact.GetSize(); ++i)
        if (!exact[i]->IsEqual(*snapped[i])) {
            state.SkipWithError(("street " + std::to_string(i) + " did not come back").c_str());
            return;
        }
    for (auto _ : state)
        if (!Snap(town, kSnapVertices, kToVertices, path))
            state.SkipWithError("the snapping failed");
    state.SetItemsProcessed(state.iterations() * town.town.StreetCount());
}

void BM_SnapMovedStreetEndsOntoEdges_100k(benchmark::State& state)
{
    CSnapTown& town = Town();
    const std::string path = town.town.Folder() + "ends.gdb";
    CShapeArray snapped;
    CLayer result("Ends", path, CLayer::kLine);
    if (!town.ready || !Snap(town, kSnapEnds, kToEdges, path) ||
        !LoadShapesIndexed(result, snapped, nullptr, nullptr) || snapped.GetSize() != town.town.StreetCount()) {
        state.SkipWithError("the town could not be written or snapped");
        return;
    }
    for (int i = 0; i < snapped.GetSize(); ++i) {
        const CShape& line = *snapped[i];
        for (const CMapPoint& end : {line.GetPoint(0), line.GetPoint(line.GetPointCount() - 1)})
            if (!OnGridLine(end.x) && !OnGridLine(end.y)) {
                state.SkipWithError(("an end of street " + std::to_string(i) + " is off the streets").c_str());
                return;
            }
    }
    for (auto _ : state)
        if (!Snap(town, kSnapEnds, kToEdges, path))
            state.SkipWithError("the snapping failed");
    state.SetItemsProcessed(state.iterations() * town.town.StreetCount());
}

void BM_EndVerticesOfStreets_100k(benchmark::State& state)
{
    CSnapTown& town = Town();
    const std::string path = town.town.Folder() + "nodes.gdb";
    if (!town.ready || !WriteEndVertices(town.town.Streets(), path)) {
        state.SkipWithError("the town could not be written or its nodes not");
        return;
    }
    int places = 0;
    long ends = 0;
    {
        CLayerReader reader;
        if (!reader.Open(path)) {
            state.SkipWithError("the nodes could not be read");
            return;
        }
        CFeatureSource& source = *reader.GetSource();
        const int count = source.GetTable().FindField("COUNT");
        std::string text;
        for (CMapPoint point; source.ReadNextPoint(point); ++places)
            if (source.GetFieldText(source.GetCurrentRecord(), count, text))
                ends += std::stol(text);
    }
    if (places != town.town.CrossingCount() || ends != 2L * town.town.StreetCount()) {
        state.SkipWithError(("wrong nodes: " + std::to_string(places) + " places, " + std::to_string(ends) + " ends")
                                .c_str());
        return;
    }
    for (auto _ : state)
        if (!WriteEndVertices(town.town.Streets(), path))
            state.SkipWithError("the nodes could not be written");
    state.SetItemsProcessed(state.iterations() * town.town.StreetCount());
}

} // namespace

BENCHMARK(BM_SnapMovedStreetVerticesOntoVertices_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapMovedStreetEndsOntoEdges_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndVerticesOfStreets_100k)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
