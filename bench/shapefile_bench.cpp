// bench-deps: drel_layers
// Reading a Shapefile of the benchmark lines (bench/LineWindowBench.h)
// through windows of its extent, as the GDB benchmark reads the same lines.
// The files are made once per run in the temporary folder, or kept in the
// folder DREL_BENCH_SHP_FOLDER names, for other readers of the same file.
#include "bench/LineWindowBench.h"
#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "layers/ShapefileSource.h"
#include "layers/ShpFile.h"
#include "platform/Stream.h"

#include <cstdlib>
#include <unistd.h>

namespace {

struct CLineShapefile : CBenchLineLayer {
    bool keep = false;

    CLineShapefile()
    {
        const char* named = std::getenv("DREL_BENCH_SHP_FOLDER");
        keep = named && *named;
        folder = keep ? std::filesystem::path(named)
                      : std::filesystem::temp_directory_path() / ("drel-bench-shp-" + std::to_string(::getpid()));
        path = (folder / "lines.shp").string();
        index = (folder / "lines.spx").string();
        std::filesystem::create_directories(folder);
        // The geometry through the file writer, the attributes straight into
        // the table: appending a million objects through the source would
        // write and lock the table once per object.
        CShpFile file;
        if (file.Create(CFileStream::Open(path, FileMode::CreateAlways),
                        CFileStream::Open(ChangeExtensionCopy(path, "shx"), FileMode::CreateAlways),
                        CShpFile::kPolyLine) != 0)
            return;
        auto attributes = DbfCreate(ChangeExtensionCopy(path, "dbf"), BenchAttributeFields().data());
        if (!attributes || !DbfLock(*attributes))
            return;
        CShape shape;
        shape.SetSize(kBenchVertices, 1);
        const bool written = ForEachLine([&](int n, const CMapPoint* points, const CMapRect&) {
            std::copy(points, points + kBenchVertices, shape.Points().GetData());
            return file.AppendShape(shape) == 0 && AppendBenchAttributes(*attributes, n);
        });
        made = written && DbfFlush(*attributes) && file.WriteHeaders() == 0 && file.Flush();
    }
    ~CLineShapefile()
    {
        std::error_code ignored;
        if (!keep)
            std::filesystem::remove_all(folder, ignored);
    }
};

DREL_BENCH_WINDOWS(CLineShapefile, CShapefileSource);

} // namespace

BENCHMARK_MAIN();
