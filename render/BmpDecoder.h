#pragma once

#include "render/XImage.h"

// Windows bitmaps: files with the "BM" header and bare DIBs; 1, 4 and 8
// bits plain or run-length encoded, 16 and 32 bits with or without
// bit-field masks, 24 bits. 16- and 32-bit pictures become 24-bit images.
class CxImageBMP : public CxImage {
public:
    CxImageBMP() : CxImage(CXIMAGE_FORMAT_BMP) {}

    // Reads one picture from the stream's position; false with the reason
    // in the last error.
    bool Decode(CxStream& stream);
};
