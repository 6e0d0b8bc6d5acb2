// fuzz-deps: drel_render
// Decodes a picture from bytes through every decoder in turn, then reads
// its pixels inside and outside, turns small pictures and draws it at its
// own size and stretched, with and without a transparent index.
#include "platform/DC.h"
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "render/XImage.h"

#include <QImage>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CxImage image;
    if (!image.Decode(stream, CXIMAGE_FORMAT_UNKNOWN)) {
        if (image.IsValid() || image.GetLastError().empty())
            __builtin_trap();
        return 0;
    }
    const int width = image.GetWidth(), height = image.GetHeight(), bpp = image.GetBpp();
    if (width <= 0 || height <= 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24))
        __builtin_trap();
    const std::size_t colours = bpp == 24 ? 0 : std::size_t(1) << bpp;
    if (image.GetSize() != 40 + 4 * colours + std::size_t(image.GetEffWidth()) * std::size_t(height))
        __builtin_trap();

    unsigned sum = 0;
    for (const int x : {-1, 0, width / 2, width - 1, width})
        for (const int y : {-1, 0, height / 2, height - 1, height})
            sum += image.GetPixelColor(x, y).rgbRed + image.GetPixelIndex(x, y);
    if (std::int64_t(width) * height <= 4096) {
        image.Mirror();
        image.RotateLeft();
        image.Flip();
        image.RotateRight();
        if (image.GetWidth() != width || image.GetHeight() != height)
            __builtin_trap();
    }

    // The blits read whole source rows, so only pictures of ordinary size
    // are drawn: a picture millions of pixels wide would take seconds.
    if (std::int64_t(width) * height <= (1 << 20)) {
        QImage target(24, 24, QImage::Format_RGB32);
        target.fill(Qt::white);
        CDC dc(target);
        image.Draw(&dc, 0, 0, 24, 24);
        image.Draw(&dc, 2, 2);
        image.SetTransIndex(0);
        image.Draw(&dc, -3, 5, 40, 7);
    }
    (void)sum;
    return 0;
}
