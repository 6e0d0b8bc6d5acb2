// bench-deps: drel_layers
// Reading a GDB layer of the benchmark lines (bench/LineWindowBench.h)
// through windows of its extent, with and without the spatial index and an
// attribute filter. The layer is made once per run in the temporary folder.
#include "bench/LineWindowBench.h"
#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "layers/GdbSource.h"
#include "platform/ByteOrder.h"
#include "platform/Stream.h"

#include <unistd.h>

namespace {

constexpr int kBlockSize = CGdbSource::kBlockHeaderSize + 4 + 16 * kBenchVertices;
constexpr size_t kChunk = size_t(4096) * kBlockSize; // blocks written at once

struct CLineLayer : CBenchLineLayer {
    CLineLayer()
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-gdb-" + std::to_string(::getpid()));
        path = (folder / "lines.gdb").string();
        index = (folder / "lines.spx").string();
        std::filesystem::create_directories(folder);
        {
            CGdbSource source;
            if (!source.Create(path, CFeatureSource::kLine, BenchAttributeFields().data()))
                return;
        }
        // The blocks and records go straight into the files: appending a
        // million objects one by one would take longer than every benchmark.
        auto vec = CFileStream::Open(ChangeExtensionCopy(path, "vec"), FileMode::ReadWrite);
        auto geo = DbfOpen(path);
        auto attributes = DbfOpen(ChangeExtensionCopy(path, "dbf"));
        if (!vec || !geo || !attributes || !DbfLock(*geo) || !DbfLock(*attributes))
            return;
        std::vector<unsigned char> blocks;
        blocks.reserve(kChunk);
        int64_t written = CGdbSource::kHeaderSize;
        const bool lines = ForEachLine([&](int n, const CMapPoint* points, const CMapRect& box) {
            unsigned char block[kBlockSize] = {};
            PutLittleEndian<int32_t>(block + 4, kBlockSize);
            PutLittleEndian<int32_t>(block + 16, 1);
            PutLittleEndian<int32_t>(block + 20, kBenchVertices);
            PutLittleEndian<int32_t>(block + 24, kBenchVertices);
            for (int i = 0; i < kBenchVertices; ++i) {
                PutLittleEndian<double>(block + 28 + 16 * i, points[i].x);
                PutLittleEndian<double>(block + 36 + 16 * i, points[i].y);
            }
            blocks.insert(blocks.end(), block, block + kBlockSize);

            DbfAppendBlank(*geo);
            auto* rect = reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 0));
            PutLittleEndian<double>(rect, box.left);
            PutLittleEndian<double>(rect + 8, box.top);
            PutLittleEndian<double>(rect + 16, box.right);
            PutLittleEndian<double>(rect + 24, box.bottom);
            PutLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 1)),
                                     static_cast<int32_t>(CGdbSource::kHeaderSize + int64_t(n) * kBlockSize));
            if (!DbfWriteHere(*geo) || !AppendBenchAttributes(*attributes, n))
                return false;
            if (blocks.size() == kChunk || n == kBenchLines - 1) {
                if (!vec->Seek(written) || !vec->WriteExact(blocks.data(), blocks.size()))
                    return false;
                written += static_cast<int64_t>(blocks.size());
                blocks.clear();
            }
            return true;
        });
        if (!lines || !DbfFlush(*geo) || !DbfFlush(*attributes))
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
};

DREL_BENCH_WINDOWS(CLineLayer, CGdbSource);

} // namespace

BENCHMARK_MAIN();
