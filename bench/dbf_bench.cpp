// bench-deps: drel_core
// Scans of a 1,000,000-record table of 20 fields, made once per run in the
// temporary folder from seeded random values.
#include "core/DbfEngine.h"
#include "platform/Path.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kRecords = 1000000;

struct CScanTable {
    std::string path;
    int live = 0;      // records not marked deleted
    double sumX = 0;   // of field X over live records, as stored
    bool made = false;

    CScanTable()
    {
        const std::string file = "drel-bench-" + std::to_string(::getpid()) + ".dbf";
        path = (std::filesystem::temp_directory_path() / file).string();
        std::vector<CDbfFieldInfo> fields(21);
        fields[0].Set("ID", 'N', 10, 0);
        fields[1].Set("NAME", 'C', 20, 0);
        fields[2].Set("X", 'N', 12, 3);
        fields[3].Set("Y", 'N', 12, 3);
        fields[4].Set("AREA", 'F', 19, 5);
        fields[5].Set("DAY", 'D', 8, 0);
        fields[6].Set("FLAG", 'L', 1, 0);
        for (int i = 7; i < 20; ++i)
            fields[static_cast<size_t>(i)].Set("F" + std::to_string(i), i % 2 ? 'C' : 'N', 8, i % 2 ? 0 : 2);
        fields[20].Set("", 0, 0, 0);

        auto h = DbfCreate(path, fields.data());
        if (!h)
            return;
        std::mt19937 random(20240229);
        std::uniform_real_distribution<double> coordinate(0, 700000);
        std::uniform_int_distribution<int> small(0, 99999);
        char name[32];
        DbfLock(*h); // one lock for the whole bulk append
        for (int n = 0; n < kRecords; ++n) {
            DbfAppendBlank(*h);
            DbfPutLong(*h, 0, n);
            std::snprintf(name, sizeof name, "Objektas %d", small(random));
            DbfPutString(*h, 1, name);
            DbfPutDouble(*h, 2, coordinate(random));
            DbfPutDouble(*h, 3, coordinate(random));
            DbfPutDouble(*h, 4, coordinate(random) * coordinate(random));
            DbfPutString(*h, 5, "20240229");
            DbfPutString(*h, 6, n % 3 ? "T" : "F");
            for (int i = 7; i < 20; ++i)
                i % 2 ? DbfPutString(*h, i, std::to_string(small(random))) : DbfPutDouble(*h, i, small(random) / 100.0);
            if (n % 97 == 0)
                h->record[0] = '*';
            else {
                ++live;
                sumX += DbfGetDouble(*h, 2);
            }
            if (!DbfWriteHere(*h))
                return;
        }
        made = DbfFlush(*h);
        DbfUnlock(*h);
    }
    ~CScanTable() { std::remove(path.c_str()); }
};

CScanTable& Table()
{
    static CScanTable table;
    return table;
}

std::unique_ptr<DbfHandle> OpenTable(benchmark::State& state)
{
    auto h = Table().made ? DbfOpen(FromNativePath(Table().path)) : nullptr;
    if (!h)
        state.SkipWithError("the table could not be made");
    return h;
}

void BM_ScanOneNumber(benchmark::State& state)
{
    const CScanTable& table = Table();
    auto h = OpenTable(state);
    if (!h)
        return;
    for (auto _ : state) {
        int live = 0;
        double sum = 0;
        for (DbfGoTop(*h); DbfReadNextUndeleted(*h);) {
            sum += DbfGetDouble(*h, 2);
            ++live;
        }
        if (live != table.live || sum != table.sumX) {
            state.SkipWithError("the scan read wrong values");
            return;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ScanOneNumber)->Unit(benchmark::kMillisecond);

void BM_ScanAllDisplayTexts(benchmark::State& state)
{
    const CScanTable& table = Table();
    auto h = OpenTable(state);
    if (!h)
        return;
    std::string text;
    for (auto _ : state) {
        size_t bytes = 0;
        int live = 0;
        for (DbfGoTop(*h); DbfReadNextUndeleted(*h); ++live)
            for (int i = 0; i < h->FieldCount(); ++i)
                bytes += static_cast<size_t>(DbfFieldText(*h, i, text));
        if (live != table.live) {
            state.SkipWithError("the scan missed records");
            return;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ScanAllDisplayTexts)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
