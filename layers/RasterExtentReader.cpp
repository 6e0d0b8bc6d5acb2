#include "layers/RasterExtentReader.h"

#include <atomic>

namespace {
std::atomic<IRasterExtentReader*> g_reader{nullptr};
} // namespace

bool ReadRasterExtent(const std::string& path, CMapRect& extent)
{
    IRasterExtentReader* reader = g_reader.load();
    return reader && reader->ReadRasterExtent(path, extent);
}

void SetRasterExtentReader(IRasterExtentReader* reader)
{
    g_reader.store(reader);
}
