// fuzz-deps: drel_render
// Reads bytes as a ".bmp" file into a packed DIB and, when it is one,
// checks that its pixels lie inside the block, makes its palette and
// paints it at its own size, stretched and as a mask.
#include "fuzz/FuzzSupport.h"
#include "platform/DC.h"
#include "render/PackedDib.h"

#include <QImage>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryStream memory(data, size);
    HDIB dib = ReadDibFromStream(memory);
    if (!dib)
        return 0;
    if (dib->Size() < 12 || FindDibPixels(dib->Data()) > dib->Data() + dib->Size())
        __builtin_trap();
    CDibPalette palette;
    CreateDibPalette(dib.get(), palette);
    const int width = GetDibWidth(dib->Data());
    const int height = std::abs(GetDibHeight(dib->Data()));
    if (width <= 0 || height <= 0)
        __builtin_trap();
    // The blits read whole source rows: only pictures of ordinary size are painted.
    if (std::int64_t(width) * height > (1 << 20))
        return 0;
    QImage target(16, 16, QImage::Format_RGB32);
    target.fill(Qt::white);
    CDC dc(target);
    const CRect whole(0, 0, width, height);
    PaintDibToDc(dc, whole, *dib, whole, &palette, false);
    PaintDibToDc(dc, CRect(0, 0, 16, 16), *dib, whole, nullptr, false);
    PaintDibToDc(dc, CRect(2, 3, 9, 5), *dib, CRect(width / 2, height / 2, width, height), nullptr, true);
    PaintDibToDc(dc, CRect(0, 0, 8, 8), *dib, CRect(-5, -5, width + 5, height + 5), nullptr, false);
    return 0;
}
