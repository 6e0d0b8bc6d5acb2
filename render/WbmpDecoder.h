#pragma once

#include "render/XImage.h"

// Wireless bitmaps of type 0: one bit a pixel, rows top first, the width
// and height in the format's multi-byte integers.
class CxImageWBMP : public CxImage {
public:
    CxImageWBMP() : CxImage(CXIMAGE_FORMAT_WBMP) {}

    // Reads one picture from the stream's position; false with the reason
    // in the last error.
    bool Decode(CxStream& stream);
};
