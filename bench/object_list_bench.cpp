// bench-deps: drel_demo drel_maprender drel_search
// The legend's object list (dialog 134) over the streets layer of the demo
// town grown to 100,000 street stretches: reading the layer's names for
// the list, folding the equal names into one entry each, and unfolding
// them again. Each case first checks its counts and fails without timing
// when they are wrong.
#include "bench/BigDemoTown.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "search/ObjectList.h"

#include <benchmark/benchmark.h>

#include <set>
#include <string>

namespace {

struct CListTown : CBigDemoTown {
    CLayer* streets = nullptr;
    // What a correct list holds: every stretch, and its distinct names.
    int stretches = 0;
    int distinct = 0;

    CListTown() : CBigDemoTown(800, 600)
    {
        if (!Ready())
            return;
        streets = renderer.Document().GetStreetsLayer();
        if (!streets)
            return;
        CObjectList list(*streets, renderer.View());
        if (!list.Load(false))
            return;
        std::set<std::string> names;
        for (const CNameEntry& entry : list.Names().Entries())
            names.insert(entry.text);
        stretches = list.Names().GetCount();
        distinct = static_cast<int>(names.size());
    }
};

CListTown& Town()
{
    static CListTown town;
    return town;
}

bool NeedStreets(benchmark::State& state)
{
    if (!Town().Ready()) {
        state.SkipWithError(("demo town: " + Town().error).c_str());
        return false;
    }
    if (Town().stretches < CBigDemoTown::kStreets || Town().distinct <= 1) {
        state.SkipWithError("the streets layer's names did not load");
        return false;
    }
    return true;
}

void BM_OpenObjectList(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    {
        CObjectList list(*Town().streets, Town().renderer.View());
        if (!list.Load(true) || list.Names().GetCount() != Town().distinct) {
            state.SkipWithError("the opened list does not hold each name once");
            return;
        }
    }
    for (auto _ : state) {
        CObjectList list(*Town().streets, Town().renderer.View());
        benchmark::DoNotOptimize(list.Load(true));
    }
    state.counters["stretches"] = Town().stretches;
    state.counters["entries"] = Town().distinct;
}
BENCHMARK(BM_OpenObjectList)->Unit(benchmark::kMillisecond);

void BM_FoldObjectList(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    CObjectList list(*Town().streets, Town().renderer.View());
    if (!list.Load(false))
        return state.SkipWithError("the list did not load");
    list.SetFolded(true);
    const int folded = list.Names().GetCount();
    list.SetFolded(false);
    if (folded != Town().distinct || list.Names().GetCount() != Town().stretches) {
        state.SkipWithError("folding lost or kept names");
        return;
    }
    for (auto _ : state) {
        list.SetFolded(true);
        state.PauseTiming();
        list.SetFolded(false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FoldObjectList)->Unit(benchmark::kMillisecond);

void BM_UnfoldObjectList(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    CObjectList list(*Town().streets, Town().renderer.View());
    if (!list.Load(true))
        return state.SkipWithError("the list did not load");
    list.SetFolded(false);
    if (list.Names().GetCount() != Town().stretches) {
        state.SkipWithError("unfolding lost names");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        list.SetFolded(true);
        state.ResumeTiming();
        list.SetFolded(false);
    }
}
BENCHMARK(BM_UnfoldObjectList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
