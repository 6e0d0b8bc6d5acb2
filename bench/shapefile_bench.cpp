// bench-deps: drel_layers
// Reading a Shapefile of 1,000,000 lines of 20 vertices each through
// windows of 1 %, 10 % and 100 % of its extent, with and without the
// spatial index and an attribute filter: the lines and windows of the GDB
// benchmark, so the two formats compare. The files are made once per run
// in the temporary folder, or kept in the folder DREL_BENCH_SHP_FOLDER
// names, for other readers of the same file.
#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "layers/ShapefileSource.h"
#include "layers/ShpFile.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kVertices = 20;
constexpr double kSide = 1000.0;

std::filesystem::path BenchFolder(bool& keep)
{
    const char* named = std::getenv("DREL_BENCH_SHP_FOLDER");
    keep = named && *named;
    return keep ? std::filesystem::path(named)
                : std::filesystem::temp_directory_path() / ("drel-bench-shp-" + std::to_string(::getpid()));
}

struct CLineFile {
    bool keep = false;
    std::filesystem::path folder = BenchFolder(keep);
    std::string path = (folder / "lines.shp").string();
    std::string index = (folder / "lines.spx").string();
    std::vector<CMapRect> boxes;
    CMapRect extent;
    bool made = false;

    CLineFile()
    {
        std::filesystem::create_directories(folder);
        // The geometry through the file writer, the attributes straight into
        // the table: appending a million objects through the source would
        // write and lock the table once per object.
        CShpFile file;
        if (file.Create(CFileStream::Open(path, FileMode::CreateAlways),
                        CFileStream::Open(ChangeExtensionCopy(path, "shx"), FileMode::CreateAlways),
                        CShpFile::kPolyLine) != 0)
            return;
        CDbfFieldInfo fields[3];
        fields[0].Set("CLASS", 'C', 1, 0);
        fields[1].Set("N", 'N', 8, 0);
        fields[2].Set("", 0, 0, 0);
        auto attributes = DbfCreate(ChangeExtensionCopy(path, "dbf"), fields);
        if (!attributes || !DbfLock(*attributes))
            return;
        // The random walks of the GDB benchmark.
        std::mt19937 random(20240301);
        std::uniform_real_distribution<double> start(0, kSide), step(-0.5, 0.5);
        boxes.reserve(kLines);
        CShape shape;
        shape.SetSize(kVertices, 1);
        for (int n = 0; n < kLines; ++n) {
            CMapPoint p(start(random), start(random));
            CMapRect box;
            for (int i = 0; i < kVertices; ++i) {
                shape.Points()[i] = p;
                box.UnionPoint(p);
                p.x += step(random);
                p.y += step(random);
            }
            boxes.push_back(box);
            extent.UnionRect(extent, box);
            if (file.AppendShape(shape) != 0)
                return;
            DbfAppendBlank(*attributes);
            DbfPutString(*attributes, 0, std::string(1, "ABCD"[n % 4]));
            DbfPutLong(*attributes, 1, n);
            if (!DbfWriteHere(*attributes))
                return;
        }
        made = DbfFlush(*attributes) && file.WriteHeaders() == 0 && file.Flush();
    }
    ~CLineFile()
    {
        std::error_code ignored;
        if (!keep)
            std::filesystem::remove_all(folder, ignored);
    }

    // The index file present or put aside; built the first time it is wanted.
    bool UseIndex(bool use)
    {
        const std::string aside = index + ".off";
        if (use) {
            if (PathExists(aside))
                return RenameFile(aside, index);
            if (PathExists(index))
                return true;
            CShapefileSource source;
            return source.Open(path) && source.BuildSpatialIndex();
        }
        return !PathExists(index) || RenameFile(index, aside);
    }

    // The window of that share of the extent's area around its centre.
    CMapRect Window(int percent) const
    {
        const double f = std::sqrt(percent / 100.0);
        CMapRect window = extent;
        window.Scale(f);
        return window;
    }

    int Expected(const CMapRect& window, bool filtered) const
    {
        int count = 0;
        for (int n = 0; n < kLines; ++n) {
            const CMapRect& b = boxes[static_cast<size_t>(n)];
            if ((!filtered || n % 4 == 0) && b.left <= window.right && b.right >= window.left &&
                b.bottom <= window.top && b.top >= window.bottom)
                ++count;
        }
        return count;
    }
};

CLineFile& File()
{
    static CLineFile file;
    return file;
}

// Opens the layer as a drawing pass does and reads every line in the
// window; the number of lines, or -1.
int ReadWindow(const CLineFile& file, const CMapRect& window, bool filtered, int64_t& points, bool& indexed)
{
    CShapefileSource source;
    if (!source.Open(file.path) || (filtered && !source.SetFilter("CLASS = 'A'")))
        return -1;
    source.SetQueryRect(&window);
    indexed = source.IsIndexInUse();
    int lines = 0;
    CShape shape;
    while (source.ReadNextShape(shape)) {
        ++lines;
        points += shape.GetPointCount();
    }
    return source.GetError() == 0 ? lines : -1;
}

void BM_ReadWindow(benchmark::State& state)
{
    CLineFile& file = File();
    const int percent = static_cast<int>(state.range(0));
    const bool index = state.range(1) != 0, filtered = state.range(2) != 0;
    if (!file.made || !file.UseIndex(index)) {
        state.SkipWithError("the file could not be made");
        return;
    }
    const CMapRect window = file.Window(percent);
    const int expected = file.Expected(window, filtered);
    int64_t points = 0;
    bool indexed = false;
    if (ReadWindow(file, window, filtered, points, indexed) != expected || points != int64_t(expected) * kVertices) {
        state.SkipWithError("the lines read are not the lines in the window");
        return;
    }
    // Small windows of a large layer go through the index whenever there is one.
    if (indexed != (index && percent < 25)) {
        state.SkipWithError("the index was not used as it should be");
        return;
    }
    for (auto _ : state) {
        points = 0;
        benchmark::DoNotOptimize(ReadWindow(file, window, filtered, points, indexed));
    }
    state.counters["lines"] = expected;
    state.SetItemsProcessed(state.iterations() * expected);
}
BENCHMARK(BM_ReadWindow)
    ->ArgNames({"percent", "index", "filter"})
    ->ArgsProduct({{1, 10, 100}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
