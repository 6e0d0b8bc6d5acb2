// fuzz-deps: drel_render
// Decodes a picture from bytes through every decoder in turn, then reads
// its pixels inside and outside, turns small pictures and draws it at its
// own size and stretched, with and without a transparent index.
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPicture(data, size, CXIMAGE_FORMAT_UNKNOWN);
}
