#pragma once

// What every picture fuzz target checks of one decode: a failure leaves
// no picture and says why; a picture has a depth, size and block that
// agree, and its pixels can be read, turned and drawn.
#include "platform/DC.h"
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "render/XImage.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

inline int FuzzPicture(const uint8_t* data, size_t size, int format, int frame = 0)
{
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CxImage image;
    image.SetFrame(frame);
    if (!image.Decode(stream, format)) {
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
