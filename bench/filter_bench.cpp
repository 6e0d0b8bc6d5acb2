// bench-deps: drel_core
// Filtered scans of a 1,000,000-record table through CDbfTable, the table made
// once per run in the temporary folder from seeded random values.
#include "core/DbfTable.h"
#include "platform/Path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kRecords = 1000000;
const char* const kPopulationAndName = "POPULATION > 1000 .AND. LEFT(NAME, 2) = 'Vi'";
const char* const kUpperContain = "CONTAIN('VIL', UPPER(NAME))";

struct CFilterTable {
    std::string path;
    int live = 0;
    int populationAndName = 0; // live records passing each filter, counted as made
    int upperContain = 0;
    bool made = false;

    CFilterTable()
    {
        const std::string file = "drel-filter-bench-" + std::to_string(::getpid()) + ".dbf";
        path = (std::filesystem::temp_directory_path() / file).string();
        std::vector<CDbfFieldInfo> fields(6);
        fields[0].Set("ID", 'N', 10, 0);
        fields[1].Set("NAME", 'C', 24, 0);
        fields[2].Set("POPULATION", 'N', 10, 0);
        fields[3].Set("AREA", 'N', 12, 3);
        fields[4].Set("FOUNDED", 'D', 8, 0);
        fields[5].Set("", 0, 0, 0);
        auto h = DbfCreate(path, fields.data());
        if (!h)
            return;
        static const char* const kNames[] = {"Vilnius", "Kaunas", "Klaipėda", "Šiauliai", "Panevėžys",
                                             "Vilkaviškis", "Visaginas", "Alytus", "Marijampolė", "Pavilnys",
                                             "vilkija", "Viekšniai", "Utena", "Kėdainiai", "Telšiai"};
        std::mt19937 random(20060102);
        std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(kNames)) - 1);
        std::uniform_int_distribution<int> population(0, 5000);
        char name[32];
        DbfLock(*h);
        for (int n = 0; n < kRecords; ++n) {
            const char* base = kNames[pick(random)];
            std::snprintf(name, sizeof name, "%s %d", base, n % 1000);
            const int people = population(random);
            DbfAppendBlank(*h);
            DbfPutLong(*h, 0, n);
            DbfPutString(*h, 1, name);
            DbfPutLong(*h, 2, people);
            DbfPutDouble(*h, 3, people / 7.0);
            DbfPutString(*h, 4, "20060102");
            if (n % 50 == 0) {
                h->record[0] = '*';
            } else {
                ++live;
                const std::string text = name;
                populationAndName += people > 1000 && text.compare(0, 2, "Vi") == 0;
                std::string upper = text;
                std::transform(upper.begin(), upper.end(), upper.begin(),
                               [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
                upperContain += upper.find("VIL") != std::string::npos;
            }
            if (!DbfWriteHere(*h))
                return;
        }
        made = DbfFlush(*h);
        DbfUnlock(*h);
    }
    ~CFilterTable() { std::remove(path.c_str()); }
};

CFilterTable& Table()
{
    static CFilterTable table;
    return table;
}

void Scan(benchmark::State& state, const char* filter, int expected)
{
    CDbfTable table;
    if (!Table().made || !table.Open(FromNativePath(Table().path)) || !table.SetFilter(filter)) {
        state.SkipWithError("the table could not be made or the filter compiled");
        return;
    }
    for (auto _ : state) {
        int passed = 0;
        table.SetPosition(0);
        while (table.NextRecord())
            ++passed;
        if (passed != expected) {
            state.SkipWithError("the scan passed the wrong records");
            return;
        }
        benchmark::DoNotOptimize(passed);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ScanUnfiltered(benchmark::State& state)
{
    Scan(state, "", Table().live);
}
BENCHMARK(BM_ScanUnfiltered)->Unit(benchmark::kMillisecond);

void BM_ScanPopulationAndName(benchmark::State& state)
{
    Scan(state, kPopulationAndName, Table().populationAndName);
}
BENCHMARK(BM_ScanPopulationAndName)->Unit(benchmark::kMillisecond);

void BM_ScanUpperContain(benchmark::State& state)
{
    Scan(state, kUpperContain, Table().upperContain);
}
BENCHMARK(BM_ScanUpperContain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
