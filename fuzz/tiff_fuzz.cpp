// fuzz-deps: drel_render
// Decodes bytes as a TIFF picture, its first page and, when it has more,
// its second, and checks what each gives.
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzPicture(data, size, CXIMAGE_FORMAT_TIF);
    // A page beyond any file only has the pages counted.
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CxImage probe;
    probe.SetFrame(1 << 20);
    probe.Decode(stream, CXIMAGE_FORMAT_TIF);
    if (probe.GetNumFrames() > 1)
        FuzzPicture(data, size, CXIMAGE_FORMAT_TIF, 1);
    return 0;
}
