// bench-deps: drel_geoproc
// Comparison of two versions of a 100k-line layer with 1 % of the lines
// changed, spread out so that no run of changes comes near ten: three in
// five of them moved vertices (found in both results), one in five an
// object new in the second version where the first lost its record (found
// in the second result only), one in five an object the second version
// lost (found in the first only). Both modes; each run first checks the
// counts of differences found against those planted.
#include "core/DbfFieldInfo.h"
#include "core/DbfTable.h"
#include "core/Shape.h"
#include "geoproc/CompareLayers.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kLines = 100000;
constexpr int kSpacing = 100; // one change in this many lines

struct CPlanted {
    int moved = 0;
    int inserted = 0;
    int deleted = 0;
};

class CTwoVersions {
public:
    CTwoVersions()
    {
        m_folder = (std::filesystem::temp_directory_path() / ("drel-bench-compare-" + std::to_string(::getpid())))
                       .string() +
                   "/";
        std::filesystem::create_directories(m_folder);
        m_ready = Write();
    }
    ~CTwoVersions()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    bool IsReady() const { return m_ready; }
    CLayer& First() { return *m_first; }
    CLayer& Second() { return *m_second; }
    const CPlanted& Planted() const { return m_planted; }
    std::string File(const std::string& name) const { return m_folder + name; }

private:
    static CShape Line(int i, double lift)
    {
        const double x = (i % 1000) * 10.0, y = (i / 1000) * 10.0;
        CShape shape;
        shape.AddPoint({x, y});
        shape.AddPoint({x + 4, y + 3 + lift});
        shape.AddPoint({x + 8, y});
        return shape;
    }
    bool Write()
    {
        CDbfFieldInfo fields[3];
        fields[0].Set("ID", 'N', 8, 0);
        fields[1].Set("NAME", 'C', 16, 0);
        fields[2].Set("", 'C', 0, 0);
        CGdbSource a, b;
        if (!a.Create(File("a.gdb"), CLayer::kLine, fields) || !b.Create(File("b.gdb"), CLayer::kLine, fields))
            return false;
        a.BeginWrites();
        b.BeginWrites();
        std::vector<int> deleteFromA, deleteFromB;
        for (int i = 0; i < kLines; ++i) {
            const int change = i % kSpacing == kSpacing / 2 ? (i / kSpacing) % 5 : -1;
            const bool moved = change >= 0 && change <= 2;
            if (!Append(a, Line(i, 0), i) || !Append(b, Line(i, moved ? 0.5 : 0), i))
                return false;
            if (moved)
                ++m_planted.moved;
            else if (change == 3) {
                deleteFromA.push_back(i);
                ++m_planted.inserted;
            } else if (change == 4) {
                deleteFromB.push_back(i);
                ++m_planted.deleted;
            }
        }
        if (!a.EndWrites() || !b.EndWrites())
            return false;
        for (const int n : deleteFromA)
            if (!a.DeleteRecord(n))
                return false;
        for (const int n : deleteFromB)
            if (!b.DeleteRecord(n))
                return false;
        a.Close();
        b.Close();
        m_first = std::make_unique<CLayer>("A", File("a.gdb"), CLayer::kLine);
        m_second = std::make_unique<CLayer>("B", File("b.gdb"), CLayer::kLine);
        return true;
    }
    static bool Append(CGdbSource& source, const CShape& shape, int i)
    {
        if (!source.AppendShape(shape, false))
            return false;
        CDbfTable& table = source.GetTable();
        table.SetFieldLong(0, i);
        table.SetField(1, "L" + std::to_string(i));
        return table.WriteRecord();
    }

    std::string m_folder;
    bool m_ready = false;
    CPlanted m_planted;
    std::unique_ptr<CLayer> m_first, m_second;
};

CTwoVersions& Versions()
{
    static CTwoVersions versions;
    return versions;
}

int RecordCount(const std::string& gdb)
{
    CDbfTable table;
    std::string dbf = gdb;
    dbf.replace(dbf.size() - 3, 3, "dbf");
    return table.Open(dbf) ? table.GetRecordCount() : -1;
}

void BM_CompareLayers(benchmark::State& state)
{
    CTwoVersions& versions = Versions();
    const int mode = static_cast<int>(state.range(0));
    if (!versions.IsReady()) {
        state.SkipWithError("the layers could not be written");
        return;
    }
    const std::string diff1 = versions.File("diff1.gdb"), diff2 = versions.File("diff2.gdb");
    const CPlanted& planted = versions.Planted();
    if (CompareLayerData(versions.First(), versions.Second(), diff1, diff2, mode) != EOperationEnd::kDone ||
        RecordCount(diff1) != planted.moved + planted.deleted ||
        RecordCount(diff2) != planted.moved + planted.inserted) {
        state.SkipWithError("the differences found are not those planted");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareLayerData(versions.First(), versions.Second(), diff1, diff2, mode));
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<int64_t>(kLines));
    state.counters["found"] = planted.moved * 2 + planted.inserted + planted.deleted;
}

BENCHMARK(BM_CompareLayers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
