// fuzz-deps: drel_render
// Decodes a GIF from bytes as its first frame, its second and the last the
// count names, and checks each picture is whole: a depth the image holds,
// the size its header gives, every index within its palette.
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "render/XImage.h"

#include <cstdint>

namespace {

void DecodeFrame(const uint8_t* data, size_t size, int frame, int* frames)
{
    CMemoryStream memory(data, size);
    CxPlatformStream stream(memory);
    CxImage image;
    image.SetFrame(frame);
    if (!image.Decode(stream, CXIMAGE_FORMAT_GIF)) {
        if (image.IsValid())
            __builtin_trap();
        if (frames)
            *frames = image.GetNumFrames();
        return;
    }
    if (frames)
        *frames = image.GetNumFrames();
    const int width = image.GetWidth(), height = image.GetHeight(), bpp = image.GetBpp();
    if (width <= 0 || height <= 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24))
        __builtin_trap();
    if (image.GetType() != CXIMAGE_FORMAT_GIF || image.GetFrame() != frame || frame >= image.GetNumFrames())
        __builtin_trap();
    const std::size_t colours = bpp == 24 ? 0 : std::size_t(1) << bpp;
    if (image.GetSize() != 40 + 4 * colours + std::size_t(image.GetEffWidth()) * std::size_t(height))
        __builtin_trap();
    if (bpp < 24 && std::int64_t(width) * height <= (1 << 16))
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (image.GetPixelIndex(x, y) >= colours)
                    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int frames = 0;
    DecodeFrame(data, size, 0, &frames);
    if (frames > 1) {
        DecodeFrame(data, size, 1, nullptr);
        DecodeFrame(data, size, frames - 1, nullptr);
    }
    return 0;
}
