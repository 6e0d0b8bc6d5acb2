// bench-deps: drel_search drel_demo
// The administrative search's cascade over 10 counties, 60
// municipalities, 500 wards, 5,000 settlements and the demo town's
// 100,000 streets: filling the bar from its counties, a county's
// municipalities, and a municipality, whose placeholder settlement lists
// the streets of every settlement listed. Each first checks what its
// boxes list against counts worked out from the lists themselves.
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "search/AdminSearchSettings.h"
#include "tests/search/AdminLayers.h"
#include "tools/demo/DemoMapWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kCounties = 10;
constexpr int kMunicipalities = 60;
constexpr int kWards = 500;
constexpr int kSettlements = 5000;
constexpr int kStreets = 100000;

// Ward w belongs to municipality (w - 1) % 60 + 1, settlement s to ward
// (s - 1) % 500 + 1 and its municipality; municipality m to county
// (m - 1) % 10 + 1. Streets are tied to settlements by their own codes.
std::vector<CAdminLayerData> BenchLayers()
{
    std::vector<CAdminLayerData> layers = {
        {"Apskritys", "apskritys.gdb", CLayer::kArea, {{"NAME", 'C', 30, 0}, {"AKODAS", 'N', 10, 0}}, {}},
        {"Savivaldybės", "savivaldybes.gdb", CLayer::kArea,
         {{"NAME", 'C', 30, 0}, {"SKODAS", 'N', 6, 0}, {"AKODAS", 'N', 10, 0}}, {}},
        {"Seniūnijos", "seniunijos.gdb", CLayer::kArea,
         {{"NAME", 'C', 30, 0}, {"SENKOD", 'N', 8, 0}, {"SKODAS", 'N', 6, 0}}, {}},
        {"Gyvenvietės", "gyvenvietes.gdb", CLayer::kPoint,
         {{"NAME", 'C', 30, 0}, {"GKODAS", 'N', 8, 0}, {"SKODAS", 'N', 6, 0}, {"SENKOD", 'N', 8, 0}}, {}},
    };
    const auto municipalityOfWard = [](int w) { return (w - 1) % kMunicipalities + 1; };
    for (int c = 1; c <= kCounties; ++c)
        layers[0].rows.push_back({"Apskritis " + std::to_string(c), std::to_string(c)});
    for (int m = 1; m <= kMunicipalities; ++m)
        layers[1].rows.push_back(
            {"Savivaldybė " + std::to_string(m), std::to_string(m), std::to_string((m - 1) % kCounties + 1)});
    for (int w = 1; w <= kWards; ++w)
        layers[2].rows.push_back({"Seniūnija " + std::to_string(w), std::to_string(w),
                                  std::to_string(municipalityOfWard(w))});
    for (int s = 1; s <= kSettlements; ++s) {
        const int ward = (s - 1) % kWards + 1;
        layers[3].rows.push_back({"Gyvenvietė " + std::to_string(s), std::to_string(s),
                                  std::to_string(municipalityOfWard(ward)), std::to_string(ward)});
    }
    return layers;
}

class CBenchMap {
public:
    CBenchMap()
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-admin-" + std::to_string(::getpid()));
        CDemoOptions options;
        options.streets = kStreets;
        if (!MakeDemoMap(folder.string(), options, error))
            return;
        if (!doc.OnOpenDocument(folder.string() + "/" + CDemoMapWriter::kMapFile)) {
            error = "the demo map does not open";
            return;
        }
        for (const CAdminLayerData& data : BenchLayers()) {
            if (!WriteAdminLayerFile(folder.string() + "/" + data.file, data)) {
                error = "cannot write " + data.file;
                return;
            }
            doc.AddLayer(MakeAdminLayer(folder.string(), data), false);
        }
        SetAdminFixtureKeys(settings);
        settings.Set(kStreetLayer, Utf8ToCp1257("Gatvės"));
        settings.Set(kStreetCodeField, "KODAS");
        settings.Set(kStreetPlaceCodeField, "KODAS");
        // The levels and the streets loaded once, as the program loads them.
        settings.FillCounties(doc);
        Choose(kMunicipalityLevel, 0);
    }
    ~CBenchMap()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // The entry of the level's list with that index chosen; the next level filled.
    void Choose(AdminLevel level, intptr_t index)
    {
        CFakeToolbarBox& box = bar.Box(level);
        for (int i = 0; i < box.GetCount(); ++i)
            if (box.GetItemData(i) == index)
                box.SetCurSel(i);
        if (level == kCountyLevel)
            settings.FillMunicipalities(doc);
        else
            settings.FillWards(doc);
    }
    // The settlements of municipality index, worked out apart.
    std::set<int64_t> SettlementsOfMunicipality(size_t index) const
    {
        const CAdminLevelLists& settlements = settings.Lists(kSettlementLevel);
        const int64_t municipality = settings.Lists(kMunicipalityLevel).codes[0][index];
        std::set<int64_t> codes;
        for (size_t i = 0; i < settlements.size(); ++i)
            if (settlements.codes[1][i] == municipality)
                codes.insert(settlements.codes[0][i]);
        return codes;
    }
    // Their streets.
    size_t StreetsOfMunicipality(size_t index) const
    {
        const std::set<int64_t> codes = SettlementsOfMunicipality(index);
        const CAdminLevelLists& streets = settings.Lists(kStreetLevel);
        return static_cast<size_t>(std::count_if(streets.codes[1].begin(), streets.codes[1].end(),
                                                 [&](int64_t code) { return codes.count(code) > 0; }));
    }

    std::filesystem::path folder;
    std::string error;
    // In the order entries come: the real combos' sorting is the widgets' cost.
    CAdminBar bar{false};
    CDrelDoc doc;
    CAdminSearchSettings settings;
};

CBenchMap& Map()
{
    static CBenchMap map;
    return map;
}

bool Ready(benchmark::State& state)
{
    if (!Map().error.empty()) {
        state.SkipWithError(Map().error.c_str());
        return false;
    }
    return true;
}

void BM_FillCounties(benchmark::State& state)
{
    if (!Ready(state))
        return;
    CBenchMap& map = Map();
    map.settings.FillCounties(map.doc);
    if (map.bar.Box(kCountyLevel).GetCount() != kCounties + 1 ||
        map.bar.Box(kMunicipalityLevel).GetCount() != kMunicipalities + 1 ||
        map.bar.Box(kStreetLevel).GetCount() != 0) {
        state.SkipWithError("the counties or municipalities listed are wrong");
        return;
    }
    for (auto _ : state)
        map.settings.FillCounties(map.doc);
}
BENCHMARK(BM_FillCounties)->Unit(benchmark::kMicrosecond);

void BM_ChooseCounty(benchmark::State& state)
{
    if (!Ready(state))
        return;
    CBenchMap& map = Map();
    map.settings.FillCounties(map.doc);
    map.Choose(kCountyLevel, 3);
    if (map.bar.Box(kMunicipalityLevel).GetCount() != kMunicipalities / kCounties + 1) {
        state.SkipWithError("the county's municipalities listed are wrong");
        return;
    }
    for (auto _ : state)
        map.Choose(kCountyLevel, 3);
}
BENCHMARK(BM_ChooseCounty)->Unit(benchmark::kMicrosecond);

// The municipality's wards and settlements, and with the placeholder
// settlement the streets of all its settlements.
void BM_ChooseMunicipalityStreets(benchmark::State& state)
{
    if (!Ready(state))
        return;
    CBenchMap& map = Map();
    map.settings.FillCounties(map.doc);
    map.Choose(kMunicipalityLevel, 7);
    const size_t expected = map.StreetsOfMunicipality(7);
    const int listed = map.bar.Box(kStreetLevel).GetCount();
    const size_t settlements = map.SettlementsOfMunicipality(7).size();
    if (static_cast<size_t>(map.bar.Box(kSettlementLevel).GetCount()) != settlements + 1 || expected == 0 ||
        static_cast<size_t>(listed) != expected) {
        state.SkipWithError("the municipality's settlements or streets listed are wrong");
        return;
    }
    state.counters["streets"] = static_cast<double>(listed);
    for (auto _ : state)
        map.Choose(kMunicipalityLevel, 7);
}
BENCHMARK(BM_ChooseMunicipalityStreets)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
