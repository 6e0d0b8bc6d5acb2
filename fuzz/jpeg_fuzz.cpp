// fuzz-deps: drel_render
// Decodes bytes as a JPEG picture and checks what it gives, as the
// picture caches would use it.
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPicture(data, size, CXIMAGE_FORMAT_JPG);
}
