// fuzz-deps: drel_render
// Reads a metafile from bytes, placeable Windows or enhanced, and checks
// that what it kept lies inside what it was given.
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "render/MetafilePicture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CMetafilePicture metafile;
    const bool loaded = metafile.Load(stream);
    if (loaded != (metafile.GetKind() != CMetafilePicture::kNone))
        __builtin_trap();
    if (metafile.GetBytes().size() > size)
        __builtin_trap();
    if (metafile.GetKind() == CMetafilePicture::kWindows &&
        (metafile.GetUnitsPerInch() < 1 || metafile.GetUnitsPerInch() > 2540 || metafile.GetBytes().size() < 18))
        __builtin_trap();
    return 0;
}
