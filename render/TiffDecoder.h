#pragma once

#include "render/XImage.h"

struct tiff;

// TIFF pictures through libtiff, one page (the requested frame) at a time.
// Grey, bilevel and palette pages, stripped or tiled, keep their indices
// in 1-, 4- or 8-bit images; colour, separated, YCbCr and LogLuv pages go
// through the library's RGBA reader into 24-bit images; CIE L*a*b* pages
// are converted here.
class CxImageTIF : public CxImage {
public:
    CxImageTIF() : CxImage(CXIMAGE_FORMAT_TIF) {}

    // Reads the requested page of the TIFF at the stream's position; false
    // with the reason in the last error. The number of pages is kept as
    // the frame count either way.
    bool Decode(CxStream& stream);

private:
    struct Page;
    bool DecodePage(tiff* tif);
    bool ReadRgba(tiff* tif, const Page& page);
    bool ReadPalettePage(tiff* tif, const Page& page);
    void SetPagePalette(tiff* tif, const Page& page);
    // Stored row 'top' rows below the picture's top from one decoded line.
    void PutLine(const Page& page, const std::uint8_t* line, int top);
};
