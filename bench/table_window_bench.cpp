// bench-deps: drel_search
// The attribute table window's grid over a point layer of 20 fields, made
// once per size in the temporary folder from seeded random values: opening
// to the first screen (10,000 and 1,000,000 records: the same cost), paging
// to the end, sorting a numeric and a text column, copying the whole table
// and numbering every record with "{=num(1".
#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "search/FieldValueChange.h"
#include "search/TableDoc.h"
#include "search/TableGridModel.h"
#include "search/TableRowCommands.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kScreenRows = 40;

// A point layer of count records in a map.
struct CBenchLayer {
    std::string folder;
    CDrelDoc map;
    CLayer* layer = nullptr;
    bool made = false;

    explicit CBenchLayer(int count)
    {
        folder = (std::filesystem::temp_directory_path() /
                  ("drel-table-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count)))
                     .string();
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/taskai.gdb";
        std::vector<CDbfFieldInfo> fields(21);
        fields[0].Set("ID", 'N', 10, 0);
        fields[1].Set("NAME", 'C', 24, 0);
        for (int i = 2; i < 20; ++i)
            fields[static_cast<size_t>(i)].Set("F" + std::to_string(i), i % 2 ? 'C' : 'N', 10, i % 2 ? 0 : 2);
        fields[20].Set("", 0, 0, 0);
        CGdbSource source;
        if (!source.Create(path, CFeatureSource::kPoint, fields.data()))
            return;
        source.BeginWrites();
        CDbfTable& table = source.GetTable();
        std::mt19937 random(20240229);
        std::uniform_int_distribution<int> small(0, 99999);
        for (int n = 0; n < count; ++n) {
            if (!source.AppendPoint(CMapPoint(n % 1000, n / 1000), false))
                return;
            table.SetFieldLong(0, n);
            table.SetField(1, "Gatve " + std::to_string(small(random)));
            for (int i = 2; i < 20; ++i)
                table.SetField(i, i % 2 ? std::to_string(small(random)) : std::to_string(small(random) / 100.0));
            if (!table.WriteRecord())
                return;
        }
        if (!source.EndWrites())
            return;
        auto made_ = std::make_unique<CLayer>("Taskai", path, CLayer::kPoint);
        layer = made_.get();
        map.AddLayer(std::move(made_), false);
        made = true;
    }
    ~CBenchLayer() { std::filesystem::remove_all(folder); }
};

CBenchLayer& Layer(int count)
{
    static std::map<int, std::unique_ptr<CBenchLayer>> layers;
    auto& slot = layers[count];
    if (!slot)
        slot = std::make_unique<CBenchLayer>(count);
    return *slot;
}

// The window's document and grid, as the view first shows them.
struct COpenTable {
    CTableDoc doc;
    std::unique_ptr<CTableGridModel> grid;

    bool Open(CBenchLayer& source)
    {
        if (!source.made || !doc.LoadRecords(*source.layer, source.map))
            return false;
        grid = std::make_unique<CTableGridModel>(doc);
        if (grid->canFetchMore({}))
            grid->fetchMore({});
        return ShowRows(0) && grid->RowCount() >= kScreenRows;
    }
    // The cells of a screen from the row, as the view draws them.
    bool ShowRows(int first)
    {
        const int end = std::min(first + kScreenRows, grid->RowCount());
        bool any = false;
        for (int row = first; row < end; ++row)
            for (int column = 0; column < grid->columnCount(); ++column)
                any |= !grid->data(grid->index(row, column), Qt::DisplayRole).toString().isEmpty();
        return any;
    }
};

void BM_OpenToTheFirstScreen(benchmark::State& state)
{
    CBenchLayer& source = Layer(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        COpenTable table;
        if (!table.Open(source)) {
            state.SkipWithError("the table did not open");
            return;
        }
        benchmark::DoNotOptimize(table.grid->RowCount());
    }
}
BENCHMARK(BM_OpenToTheFirstScreen)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ScrollToTheEndByPages(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    CBenchLayer& source = Layer(count);
    for (auto _ : state) {
        COpenTable table;
        if (!table.Open(source)) {
            state.SkipWithError("the table did not open");
            return;
        }
        for (int first = 0; first < table.grid->RowCount(); first += kScreenRows) {
            // The view asks for more as its last page comes into sight.
            if (first + 2 * kScreenRows >= table.grid->RowCount() && table.grid->canFetchMore({}))
                table.grid->fetchMore({});
            table.ShowRows(first);
        }
        if (table.grid->RowCount() != count) {
            state.SkipWithError("not every row was reached");
            return;
        }
    }
}
BENCHMARK(BM_ScrollToTheEndByPages)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Sort(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const int column = static_cast<int>(state.range(1));
    CBenchLayer& source = Layer(count);
    COpenTable table;
    if (!table.Open(source)) {
        state.SkipWithError("the table did not open");
        return;
    }
    for (auto _ : state) {
        table.grid->SortByColumn(column);
        state.PauseTiming();
        // The first rows in the order asked, either way round.
        const std::string a = table.grid->CellText(0, column), b = table.grid->CellText(1, column);
        const int order = table.grid->IsNumericColumn(column)
                              ? (std::atof(a.c_str()) > std::atof(b.c_str())) - (std::atof(a.c_str()) < std::atof(b.c_str()))
                              : ToUpper1257(a).compare(ToUpper1257(b));
        const bool ordered = table.grid->IsSortAscending() ? order <= 0 : order >= 0;
        if (table.grid->RowCount() != count || !ordered) {
            state.SkipWithError("the sort lost rows or order");
            return;
        }
        state.ResumeTiming();
    }
}
// ID (numeric), NAME (text).
BENCHMARK(BM_Sort)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond)->Iterations(2);

// The table opened and its list read whole, as copying all or changing
// every record does first.
bool OpenWhole(COpenTable& table, int count, benchmark::State& state)
{
    if (!table.Open(Layer(count))) {
        state.SkipWithError("the table did not open");
        return false;
    }
    table.grid->FetchAll();
    return true;
}

void BM_CopyAll(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    COpenTable table;
    if (!OpenWhole(table, count, state))
        return;
    std::vector<int> rows(static_cast<size_t>(table.grid->RowCount()));
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row] = static_cast<int>(row);
    const std::vector<int> widths(static_cast<size_t>(table.grid->columnCount()), 100);
    for (auto _ : state) {
        const std::string text = TableCopyText(*table.grid, rows, widths);
        if (std::count(text.begin(), text.end(), '\n') != count + 1) {
            state.SkipWithError("not every row was copied");
            return;
        }
    }
}
BENCHMARK(BM_CopyAll)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_NumberEveryRecord(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    COpenTable table;
    if (!OpenWhole(table, count, state))
        return;
    const std::vector<int32_t> records = table.doc.RecordList();
    CDbfTable& file = *table.doc.GetTable();
    const int field = file.FindField("F2");
    for (auto _ : state) {
        if (CFieldValueChange(file, field, "{=num(1").Apply(records) != count) {
            state.SkipWithError("not every record was written");
            return;
        }
    }
    std::string last;
    file.GoToRecord(count - 1);
    file.GetFieldString(field, last);
    if (std::atoi(last.c_str()) != count)
        state.SkipWithError("the last record was not numbered last");
}
BENCHMARK(BM_NumberEveryRecord)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
