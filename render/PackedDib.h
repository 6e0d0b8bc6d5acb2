#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CDC;
class CStream;

// A packed DIB in a block of its own: the header (a BITMAPINFOHEADER, or
// the older BITMAPCOREHEADER of any other size field), the colour table
// and the pixel rows. The block knows its size, so nothing reading it goes
// past its end.
class CPackedDib {
public:
    // A zero-filled block; null when the memory cannot be had.
    static std::unique_ptr<CPackedDib> Allocate(std::size_t size);

    std::uint8_t* Data() { return m_bytes.get(); }
    const std::uint8_t* Data() const { return m_bytes.get(); }
    std::size_t Size() const { return m_size; }

private:
    CPackedDib(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size) : m_bytes(std::move(bytes)), m_size(size) {}

    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size;
};

using HDIB = std::unique_ptr<CPackedDib>;

// A logical palette (version 0x300) made from a DIB's colour table. Our
// targets are true colour, so painting with one selected looks the same.
struct CDibPalette {
    std::uint16_t version = 0x300;
    std::vector<RGBQUAD> entries;
};

// Bits rounded up to 1, 4, 8 or 24 (above 24: 4); rows padded to 4 bytes,
// the colour table zeroed, 2834 pixels a metre. Null for a size that is not
// positive, would pass the largest picture, or cannot be had.
HDIB AllocDib(int width, int height, int bitCount);

// Sizes of either header kind (the core header's are 16-bit).
int GetDibWidth(const void* header);
int GetDibHeight(const void* header);
// The first pixel byte: after the header and its colour table (the used
// colour count's low 14 bits, else the full table of 1-, 4- and 8-bit DIBs).
std::uint8_t* FindDibPixels(void* header);
const std::uint8_t* FindDibPixels(const void* header);

// The colour table as a palette; 0, and the palette left as it was, for a
// true-colour DIB or none.
int CreateDibPalette(const CPackedDib* dib, CDibPalette& palette);

// The source rectangle (DIB pixels, y from the top of the picture) into the
// destination (logical units), COLORONCOLOR. At equal sizes the rows are set
// one pixel a pixel; otherwise stretched with SRCCOPY, or with SRCAND when
// the mask flag is set (also at equal sizes, so a mask never turns into a
// copy). 0 when nothing was drawn: a block the context cannot draw (RLE,
// 16 or 32 bits) draws nothing.
int PaintDibToDc(CDC& dc, const CRect& dest, const CPackedDib& dib, const CRect& source, const CDibPalette* palette,
                 bool mask);

// A ".bmp" file from its start: its header checked against the file, its
// pixels taken from where the file header says they are. Headers longer
// than 40 bytes are kept as their first 40. Null for a file not beginning
// "BM", shorter than its header, colour table or pixels, with sizes out of
// range, or when the memory cannot be had.
HDIB ReadDibFromStream(CStream& file);
