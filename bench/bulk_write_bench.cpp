// bench-deps: drel_layers
// Writing a new GDB layer of 20,000 streets as the demo town and result
// layers are written: each object appended, its nine attributes filled and
// written, and the layer closed. "held" 1 holds the layer's writes for the
// whole run (BeginWrites), so they reach the files in blocks; 0 lets every
// object lock and write on its own. Each first checks the layer: every
// object reads back with its shape and attributes.
#include "core/DbfFieldInfo.h"
#include "layers/GdbSource.h"
#include "platform/Path.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStreets = 20000;
constexpr int kVertices = 8;

enum { kName, kCode, kTown, kFrom, kTo, kLength, kDirection, kWeight, kSignificance };

std::vector<CDbfFieldInfo> StreetFields()
{
    std::vector<CDbfFieldInfo> fields(10);
    fields[0].Set("PAVAD", 'C', 40, 0);
    fields[1].Set("KODAS", 'N', 8, 0);
    fields[2].Set("MIESTAS", 'C', 30, 0);
    fields[3].Set("NUO", 'N', 10, 0);
    fields[4].Set("IKI", 'N', 10, 0);
    fields[5].Set("ILGIS", 'N', 10, 1);
    fields[6].Set("KRYPTIS", 'N', 1, 0);
    fields[7].Set("SVORIS", 'N', 5, 1);
    fields[8].Set("RANGAS", 'N', 1, 0);
    fields[9].Set("", 0, 0, 0);
    return fields;
}

CShape Street(int k)
{
    CMapPoint points[kVertices];
    for (int i = 0; i < kVertices; ++i)
        points[i] = CMapPoint(k % 500 * 100.0 + i * 12.5, k / 500 * 100.0 + (i % 2) * 3.0);
    CShape shape;
    shape.SetPoints(kVertices, points);
    return shape;
}

std::string StreetName(int k)
{
    return "Gatve " + std::to_string(k);
}

bool WriteStreets(const std::string& path, bool held)
{
    const std::vector<CDbfFieldInfo> fields = StreetFields();
    CGdbSource source;
    if (!source.Create(path, CFeatureSource::kLine, fields.data()) || (held && !source.BeginWrites()))
        return false;
    CDbfTable& table = source.GetTable();
    for (int k = 0; k < kStreets; ++k) {
        if (!source.AppendShape(Street(k), false))
            return false;
        table.SetField(kName, StreetName(k));
        table.SetFieldLong(kCode, 1000 + k % 3000);
        table.SetField(kTown, "Demo");
        table.SetFieldLong(kFrom, 2 * k);
        table.SetFieldLong(kTo, 2 * k + 1);
        table.SetFieldDouble(kLength, 87.5);
        table.SetFieldLong(kDirection, k % 3);
        table.SetFieldDouble(kWeight, 1.5);
        table.SetFieldLong(kSignificance, k % 4);
        if (!table.WriteRecord())
            return false;
    }
    source.Close();
    return source.GetError() == CFeatureSource::kNoError;
}

bool ReadsBack(const std::string& path)
{
    CGdbSource source;
    if (!source.Open(path) || source.GetTable().GetRecordCount() != kStreets)
        return false;
    CShape shape;
    std::string name;
    for (int k = 0; k < kStreets; ++k) {
        if (!source.ReadShape(k, shape) || shape.GetPointCount() != kVertices ||
            shape.GetPoint(kVertices - 1) != Street(k).GetPoint(kVertices - 1) ||
            !source.GetFieldText(k, kName, name) || name != StreetName(k))
            return false;
    }
    return true;
}

void BM_WriteStreetLayer(benchmark::State& state)
{
    const bool held = state.range(0) != 0;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("drel-bench-write-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = FromNativePath((folder / "streets.gdb").string());
    if (!WriteStreets(path, held) || !ReadsBack(path)) {
        state.SkipWithError("the layer was not written whole");
    } else {
        for (auto _ : state)
            benchmark::DoNotOptimize(WriteStreets(path, held));
        state.counters["streets"] = kStreets;
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_WriteStreetLayer)->ArgName("held")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
