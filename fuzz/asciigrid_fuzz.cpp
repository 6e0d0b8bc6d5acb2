// fuzz-deps: drel_layers
// Imports an ESRI ASCII grid from bytes into memory; a grid that imports
// must open as an elevation grid of the size its header named.
#include "layers/AsciiGridImport.h"
#include "layers/GridFile.h"
#include "platform/Stream.h"

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryStream ascii(data, size);
    auto rmp = std::make_unique<CMemoryStream>();
    if (!ImportAsciiGrid(*rmp, ascii))
        return 0;
    const size_t bytes = rmp->Data().size();
    CGridFile file;
    if (!file.Open(std::move(rmp)) ||
        bytes != CGridFile::kHeaderSize + 2u * file.GetColumnCount() * file.GetRowCount())
        __builtin_trap();
    return 0;
}
