#include "layers/RasterExtentReader.h"

#include <atomic>

namespace {
std::atomic<IRasterExtentReader*> g_reader{nullptr};
std::atomic<IRasterExtentReader*> g_default{nullptr};
} // namespace

bool ReadRasterExtent(const std::string& path, CMapRect& extent)
{
    IRasterExtentReader* reader = g_reader.load();
    if (!reader)
        reader = g_default.load();
    return reader && reader->ReadRasterExtent(path, extent);
}

void SetRasterExtentReader(IRasterExtentReader* reader)
{
    g_reader.store(reader);
}

void SetDefaultRasterExtentReader(IRasterExtentReader* reader)
{
    g_default.store(reader);
}
