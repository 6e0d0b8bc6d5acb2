// bench-deps: drel_geoproc
// The attribute import as the user runs it: a table of 100k records joined
// by a text key to a layer of 100k points, into a new layer (index, read,
// look up, write). The first run checks every joined value.
#include "core/DbfTable.h"
#include "geoproc/DbfImport.h"
#include "geoproc/GeoprocDialogs.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"
#include "platform/NumberText.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCount = 100000;

// Accented keys, so that their bytes sort above the plain letters.
std::string Key(int i)
{
    return FormatC("\xDE%07d", i);
}

class CImportData {
public:
    CImportData()
    {
        m_folder = (std::filesystem::temp_directory_path() / ("drel-bench-import-" + std::to_string(::getpid())))
                       .string() +
                   "/";
        std::filesystem::create_directories(m_folder);
        m_document.SetPathName(m_folder + "map.map");
        m_document.Settings().mapUnits = kUnitsMetres;
        m_ready = WritePoints() && WriteTable();
        m_document.AddLayer(std::make_unique<CLayer>("Taskai", m_folder + "taskai.gdb", CLayer::kPoint), false);
    }
    ~CImportData()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    bool IsReady() const { return m_ready; }
    CDrelDoc& Document() { return m_document; }
    CLayer& Points() { return *m_document.GetLayer(0); }
    std::string Table() const { return m_folder + "duomenys.dbf"; }

private:
    bool WritePoints()
    {
        std::vector<CDbfFieldInfo> fields(2);
        fields[0].Set("KEY", 'C', 12, 0);
        fields[1].Set("", 0, 0, 0);
        CGdbSource source;
        if (!source.Create(m_folder + "taskai.gdb", CLayer::kPoint, fields.data()) || !source.BeginWrites())
            return false;
        for (int i = 0; i < kCount; ++i) {
            if (!source.AppendPoint(CMapPoint{static_cast<double>(i % 1000), static_cast<double>(i / 1000)}, false))
                return false;
            source.GetTable().SetField(0, Key(i));
            if (!source.GetTable().WriteRecord())
                return false;
        }
        return source.EndWrites();
    }
    // The keys in a shuffled order, each record's value its key's number.
    bool WriteTable()
    {
        std::vector<int> order(kCount);
        for (int i = 0; i < kCount; ++i)
            order[static_cast<size_t>(i)] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(7));
        std::vector<CDbfFieldInfo> fields(3);
        fields[0].Set("RAKTAS", 'C', 12, 0);
        fields[1].Set("VERTE", 'N', 8, 0);
        fields[2].Set("", 0, 0, 0);
        CDbfTable table;
        if (!table.Create(Table(), fields.data()) || !DbfLock(*table.GetHandle()))
            return false;
        for (const int i : order) {
            table.AppendBlank();
            table.SetField(0, Key(i));
            table.SetFieldLong(1, i);
            if (!table.WriteRecord())
                return false;
        }
        return DbfUnlock(*table.GetHandle());
    }

    std::string m_folder;
    CDrelDoc m_document;
    bool m_ready = false;
};

class CKeys : public IGeoprocDialogs {
public:
    bool AskImportKeys(const CDbfTable&, const CDbfTable&, CImportKeys& keys) override
    {
        keys = {"KEY", "RAKTAS", false};
        return true;
    }
};

// Every object has its own key's value.
bool JoinedRight(const CLayer& joined)
{
    CLayerReader reader;
    if (!reader.Open(joined.GetPath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    int count = 0;
    for (CMapPoint point; source.ReadNextPoint(point); ++count) {
        CDbfTable* table = source.GetRecordTable(source.GetCurrentRecord());
        if (!table || table->GetFieldCount() != 3)
            return false;
        std::string key, value;
        table->GetFieldText(0, key, 64);
        table->GetFieldText(2, value, 64);
        if (key != Key(source.GetCurrentRecord()) || value != std::to_string(source.GetCurrentRecord()))
            return false;
    }
    return count == kCount;
}

void BM_AttachByTextKey(benchmark::State& state)
{
    static CImportData data;
    if (!data.IsReady()) {
        state.SkipWithError("the data could not be written");
        return;
    }
    CKeys keys;
    SetGeoprocDialogs(&keys);
    CDocCommandDialogs dialogs;
    dialogs.layerFile = [](CDrelDoc&, std::string&, std::string&, CLayerFileOptions&) { return true; };
    CDrelDoc& map = data.Document();
    bool checked = false;
    for (auto _ : state) {
        const int done = AttachDbfData(data.Points(), map, data.Table(), dialogs);
        state.PauseTiming();
        CLayer* joined = map.GetLayerCount() == 2 ? map.GetLayer(1) : nullptr;
        if (!done || !joined || (!checked && !JoinedRight(*joined))) {
            state.SkipWithError("the join went wrong");
            break;
        }
        checked = true;
        map.RemoveLayer(joined, true, false, false);
        state.ResumeTiming();
    }
    SetGeoprocDialogs(nullptr);
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_AttachByTextKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
