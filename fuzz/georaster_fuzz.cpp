// fuzz-deps: drel_render
// Opens bytes as a TIFF strip raster and draws it: the whole picture
// shrunk into a small target, and a corner of it stretched, with a second
// context and as a mask; then converts rectangles both ways.
#include "fuzz/FuzzSupport.h"
#include "platform/DC.h"
#include "render/GeoRaster.h"
#include "render/TiffStripRaster.h"
#include "render/ImageStream.h"

#include <QImage>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietFileServices();
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CTiffStripRaster raster;
    if (!raster.Open(stream, ""))
        return 0;
    const int width = raster.GetWidth(), height = raster.GetHeight();
    if (width <= 0 || height <= 0 || raster.GetBandRows() <= 0)
        __builtin_trap();

    QImage target(24, 24, QImage::Format_RGB32), back(24, 24, QImage::Format_RGB32);
    target.fill(Qt::white);
    back.fill(Qt::white);
    CDC dc(target), second(back);
    raster.Draw(dc, CRect(0, 0, 24, 24), CRect(0, 0, width - 1, height - 1), nullptr);
    const CRect corner(0, 0, std::min(width, 3) - 1, std::min(height, 3) - 1);
    raster.Draw(dc, CRect(-5, 2, 40, 30), corner, &second);
    raster.SetDrawingFlag(1);
    raster.Draw(dc, CRect(0, 0, 24, 24), corner, nullptr);
    // Outside the picture: refused.
    if (raster.Draw(dc, CRect(0, 0, 24, 24), CRect(0, 0, width, height), nullptr))
        __builtin_trap();

    CMapRect extent;
    CRect pixels;
    if (!raster.GetMapExtent(extent))
        __builtin_trap();
    if (raster.MapToPixelRect(extent, pixels) &&
        (pixels.left < 0 || pixels.top < 0 || pixels.right >= width || pixels.bottom >= height))
        __builtin_trap();
    raster.PixelToMapRect(pixels);
    return 0;
}
