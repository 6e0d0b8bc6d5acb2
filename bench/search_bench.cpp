// bench-deps: drel_demo drel_maprender drel_search
// The find sheet's work on the demo town grown to 100,000 street stretches:
// loading the streets layer's names and a text search over every field.
// The town's stretches share a few hundred street names, so the name list
// work (folding and unfolding, 10,000 typing completions, the normalised
// match of an unaccented name) runs on 100,000 accented names made from
// them, 30 % of them repeats. Each case first checks its result and fails
// without timing when it is wrong.
#include "bench/BigDemoTown.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/NameFolding.h"
#include "platform/Codepage.h"
#include "search/NameList.h"
#include "search/ObjectFinder.h"
#include "search/TextSearch.h"
#include "shell/TypedCompletion.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct CSearchTown : CBigDemoTown {
    std::unique_ptr<CObjectFinder> finder;
    CLayer* streets = nullptr;
    int streetLayer = -1;

    CSearchTown() : CBigDemoTown(800, 600)
    {
        if (!Ready())
            return;
        streets = renderer.Document().GetStreetsLayer();
        finder = std::make_unique<CObjectFinder>(renderer.View());
        const auto& layers = finder->Layers();
        if (auto it = std::find(layers.begin(), layers.end(), streets); streets && it != layers.end())
            streetLayer = static_cast<int>(it - layers.begin());
    }
    bool HasStreets() const { return streetLayer >= 0; }
};

CSearchTown& Town()
{
    static CSearchTown town;
    return town;
}

bool NeedStreets(benchmark::State& state)
{
    if (!Town().Ready()) {
        state.SkipWithError(("demo town: " + Town().error).c_str());
        return false;
    }
    if (!Town().HasStreets()) {
        state.SkipWithError("the object page does not list the streets layer");
        return false;
    }
    return true;
}

// The names of the street layer, unfolded.
const CNameList& StreetNames()
{
    static const CNameList names = [] {
        Town().finder->LoadNames(Town().streetLayer, false);
        return Town().finder->Names();
    }();
    return names;
}

constexpr int kNames = 100000;
constexpr int kDistinct = kNames * 7 / 10;

// The town's street names numbered apart, then 30 % repeats of them.
const CNameList& ManyNames()
{
    static const CNameList names = [] {
        std::vector<std::string> stems;
        for (const CNameEntry& entry : StreetNames().Entries())
            if (stems.empty() || stems.back() != entry.text)
                stems.push_back(entry.text);
        std::vector<CNameEntry> entries;
        for (int i = 0; i < kDistinct; ++i)
            entries.push_back({stems[static_cast<size_t>(i) % stems.size()] + " " +
                                   std::to_string(i / static_cast<int>(stems.size()) + 1),
                               i});
        for (int i = kDistinct; i < kNames; ++i)
            entries.push_back({entries[static_cast<size_t>((static_cast<int64_t>(i) * 7919) % kDistinct)].text, i});
        CNameList list;
        list.Assign(std::move(entries));
        return list;
    }();
    return names;
}

void BM_LoadNames(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    if (Town().finder->LoadNames(Town().streetLayer, false) != CObjectFinder::kLoaded ||
        Town().finder->Names().GetCount() < CBigDemoTown::kStreets) {
        state.SkipWithError("the streets' names did not load");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(Town().finder->LoadNames(Town().streetLayer, false));
    const CNameList& names = StreetNames();
    std::set<std::string> distinct;
    for (const CNameEntry& entry : names.Entries())
        distinct.insert(entry.text);
    state.counters["names"] = names.GetCount();
    state.counters["repeated %"] = 100.0 * (names.GetCount() - static_cast<double>(distinct.size())) / names.GetCount();
}
BENCHMARK(BM_LoadNames)->Unit(benchmark::kMillisecond);

void BM_FoldAndUnfold(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    CNameList names = ManyNames();
    names.Fold();
    const int folded = names.GetCount();
    names.Unfold();
    if (folded != kDistinct || names.GetCount() != kNames || names.Entries() != ManyNames().Entries()) {
        state.SkipWithError("folding lost or kept names");
        return;
    }
    for (auto _ : state) {
        names.Fold();
        names.Unfold();
    }
    state.counters["folded"] = folded;
}
BENCHMARK(BM_FoldAndUnfold)->Unit(benchmark::kMillisecond);

// Typing each of 10,000 names' first letters, as a user types into the name box.
void BM_Completions(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    const CNameList& names = ManyNames();
    const auto entryText = [&names](int index) { return names.GetText(index); };
    std::vector<std::string> typed;
    for (int i = 0; i < 10000; ++i) {
        const std::string& name = names.GetText(static_cast<int>((static_cast<int64_t>(i) * 7919) % names.GetCount()));
        typed.push_back(name.substr(0, std::min<size_t>(name.size(), 1 + i % 12)));
    }
    for (const std::string& text : typed) {
        const auto done = CompleteTypedText(text, text.size() - 1, text.size(), names.GetCount(), entryText);
        if (!done || done->text.compare(0, text.size(), text) != 0) {
            state.SkipWithError("a typed beginning did not complete to a name");
            return;
        }
    }
    for (auto _ : state)
        for (const std::string& text : typed)
            benchmark::DoNotOptimize(
                CompleteTypedText(text, text.size() - 1, text.size(), names.GetCount(), entryText));
    state.counters["completions"] = static_cast<double>(typed.size());
}
BENCHMARK(BM_Completions)->Unit(benchmark::kMillisecond);

// "siauliu" finds every "Šiaulių ..." without its accents.
void BM_NormalisedMatch(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    const std::vector<std::string> texts = ManyNames().Texts();
    const std::string stem = Utf8ToCp1257("Šiaulių");
    const size_t expected = static_cast<size_t>(
        std::count_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(stem) != std::string::npos; }));
    const std::vector<int> found = FindNameCandidates(texts, "siauliu");
    if (expected == 0 || found.size() != expected) {
        state.SkipWithError("the unaccented name did not find the accented ones");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNameCandidates(texts, "siauliu"));
    state.counters["found"] = static_cast<double>(found.size());
}
BENCHMARK(BM_NormalisedMatch)->Unit(benchmark::kMillisecond);

// Every field of every street stretch, for an accented name typed in small letters.
void BM_TextSearchAllFields(benchmark::State& state)
{
    if (!NeedStreets(state))
        return;
    const CTextPattern pattern(Utf8ToCp1257("sąjūdžio"));
    CTextSearchResults results;
    const bool done = SearchLayerText(*Town().streets, pattern, false, results, nullptr);
    const std::string stem = Utf8ToCp1257("Sąjūdžio");
    if (!done || results.GetCount() == 0 || results.GetHit(0).text.find(stem) == std::string::npos) {
        state.SkipWithError("the text search found no street of that name");
        return;
    }
    for (auto _ : state) {
        results.Clear();
        benchmark::DoNotOptimize(SearchLayerText(*Town().streets, pattern, false, results, nullptr));
    }
    state.counters["hits"] = results.GetCount();
}
BENCHMARK(BM_TextSearchAllFields)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
