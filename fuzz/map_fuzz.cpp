// fuzz-deps: drel_layers
// Reads a map file's layer list from bytes; a list that reads is written
// back and must read again to the same bytes.
#include "layers/LayerArray.h"
#include "platform/Stream.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string mapPath = "/maps/fuzz/x.map";
    CMemoryStream input(data, size);
    CLayerArray layers;
    try {
        CArchive in(input, CArchive::load, mapPath);
        layers.Serialize(in);
    } catch (const CArchiveException&) {
        return 0;
    }

    CMemoryStream first, second;
    {
        CArchive out(first, CArchive::store, mapPath);
        layers.Serialize(out);
    }
    first.Seek(0);
    CLayerArray again;
    {
        CArchive in(first, CArchive::load, mapPath);
        again.Serialize(in);
        CArchive out(second, CArchive::store, mapPath);
        again.Serialize(out);
    }
    if (first.Data() != second.Data())
        std::abort();
    return 0;
}
