// bench-deps: drel_layers
// Reading a GDB layer of 1,000,000 lines of 20 vertices each through
// windows of 1 %, 10 % and 100 % of its extent, with and without the
// spatial index and an attribute filter. The layer is made once per run in
// the temporary folder from seeded random walks.
#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "layers/GdbSource.h"
#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kVertices = 20;
constexpr double kSide = 1000.0;
constexpr int kBlockSize = CGdbSource::kBlockHeaderSize + 4 + 16 * kVertices;
constexpr size_t kChunk = size_t(4096) * kBlockSize; // blocks written at once

struct CLineLayer {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("drel-bench-gdb-" + std::to_string(::getpid()));
    std::string path = (folder / "lines.gdb").string();
    std::string index = (folder / "lines.spx").string();
    std::vector<CMapRect> boxes;
    CMapRect extent;
    bool made = false;

    CLineLayer()
    {
        std::filesystem::create_directories(folder);
        CDbfFieldInfo fields[3];
        fields[0].Set("CLASS", 'C', 1, 0);
        fields[1].Set("N", 'N', 8, 0);
        fields[2].Set("", 0, 0, 0);
        {
            CGdbSource source;
            if (!source.Create(path, CFeatureSource::kLine, fields))
                return;
        }
        // The blocks and records go straight into the files: appending a
        // million objects one by one would take longer than every benchmark.
        auto vec = CFileStream::Open(ChangeExtensionCopy(path, "vec"), FileMode::ReadWrite);
        auto geo = DbfOpen(path);
        auto attributes = DbfOpen(ChangeExtensionCopy(path, "dbf"));
        if (!vec || !geo || !attributes || !DbfLock(*geo) || !DbfLock(*attributes))
            return;
        std::mt19937 random(20240301);
        std::uniform_real_distribution<double> start(0, kSide), step(-0.5, 0.5);
        std::vector<unsigned char> blocks;
        blocks.reserve(kChunk);
        int64_t written = CGdbSource::kHeaderSize;
        boxes.reserve(kLines);
        for (int n = 0; n < kLines; ++n) {
            unsigned char block[kBlockSize] = {};
            PutLittleEndian<int32_t>(block + 4, kBlockSize);
            PutLittleEndian<int32_t>(block + 16, 1);
            PutLittleEndian<int32_t>(block + 20, kVertices);
            PutLittleEndian<int32_t>(block + 24, kVertices);
            CMapPoint p(start(random), start(random));
            CMapRect box;
            for (int i = 0; i < kVertices; ++i) {
                PutLittleEndian<double>(block + 28 + 16 * i, p.x);
                PutLittleEndian<double>(block + 36 + 16 * i, p.y);
                box.UnionPoint(p);
                p.x += step(random);
                p.y += step(random);
            }
            blocks.insert(blocks.end(), block, block + kBlockSize);
            boxes.push_back(box);
            extent.UnionRect(extent, box);

            DbfAppendBlank(*geo);
            auto* rect = reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 0));
            PutLittleEndian<double>(rect, box.left);
            PutLittleEndian<double>(rect + 8, box.top);
            PutLittleEndian<double>(rect + 16, box.right);
            PutLittleEndian<double>(rect + 24, box.bottom);
            PutLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 1)),
                                     static_cast<int32_t>(CGdbSource::kHeaderSize + int64_t(n) * kBlockSize));
            DbfAppendBlank(*attributes);
            DbfPutString(*attributes, 0, std::string(1, "ABCD"[n % 4]));
            DbfPutLong(*attributes, 1, n);
            if (!DbfWriteHere(*geo) || !DbfWriteHere(*attributes))
                return;
            if (blocks.size() == kChunk || n == kLines - 1) {
                if (!vec->Seek(written) || !vec->WriteExact(blocks.data(), blocks.size()))
                    return;
                written += static_cast<int64_t>(blocks.size());
                blocks.clear();
            }
        }
        if (!DbfFlush(*geo) || !DbfFlush(*attributes))
            return;
        unsigned char header[CGdbSource::kHeaderSize];
        if (!vec->Seek(0) || !vec->ReadExact(header, sizeof header))
            return;
        PutLittleEndian<int32_t>(header + 24, static_cast<int32_t>(written));
        PutLittleEndian<double>(header + 40, extent.left);
        PutLittleEndian<double>(header + 48, extent.top);
        PutLittleEndian<double>(header + 56, extent.right);
        PutLittleEndian<double>(header + 64, extent.bottom);
        PutLittleEndian<int32_t>(header + 100, static_cast<int32_t>(written - kBlockSize));
        PutLittleEndian<uint32_t>(header + 92, CGdbSource::ComputeCheckWord(header));
        made = vec->Seek(0) && vec->WriteExact(header, sizeof header);
    }
    ~CLineLayer()
    {
        std::error_code ignored;
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
            CGdbSource source;
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

CLineLayer& Layer()
{
    static CLineLayer layer;
    return layer;
}

// Opens the layer as a drawing pass does and reads every line in the
// window; the number of lines, or -1.
int ReadWindow(const CLineLayer& layer, const CMapRect& window, bool filtered, int64_t& points, bool& indexed)
{
    CGdbSource source;
    if (!source.Open(layer.path) || (filtered && !source.SetFilter("CLASS = 'A'")))
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
    CLineLayer& layer = Layer();
    const int percent = static_cast<int>(state.range(0));
    const bool index = state.range(1) != 0, filtered = state.range(2) != 0;
    if (!layer.made || !layer.UseIndex(index)) {
        state.SkipWithError("the layer could not be made");
        return;
    }
    const CMapRect window = layer.Window(percent);
    const int expected = layer.Expected(window, filtered);
    int64_t points = 0;
    bool indexed = false;
    if (ReadWindow(layer, window, filtered, points, indexed) != expected || points != int64_t(expected) * kVertices) {
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
        benchmark::DoNotOptimize(ReadWindow(layer, window, filtered, points, indexed));
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
