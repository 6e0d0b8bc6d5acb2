#pragma once

#include "platform/Blitter.h"

#include <array>
#include <cstddef>
#include <cstdint>

// A device-independent bitmap as the blits take it: the header
// (BITMAPINFOHEADER or BITMAPCOREHEADER) with its colour table, and the
// stored rows. Every read stays inside the sizes given here.
struct DibData {
    const void* info = nullptr;
    std::size_t infoSize = 0;
    const void* bits = nullptr;
    std::size_t bitsSize = 0;

    // A packed DIB: the rows follow the colour table in the same block.
    static DibData Packed(const void* block, std::size_t size);
};

// Reads the pixels of an uncompressed 1-, 4-, 8- or 24-bit DIB, bottom-up
// or top-down, as a picture whose row 0 is the top row. Indexes beyond the
// colour table read as black.
class CDibReader : public IBlitSource {
public:
    // False, and nothing to read, for a header this cannot draw (unknown
    // size, compression or bit count; no width or height; colours given as
    // palette indexes) or for a colour table or rows shorter than the
    // header needs. scanCount stored rows from firstScan onwards are present
    // (SetDIBitsToDevice bands); the picture is then only those rows.
    bool Open(const DibData& dib, unsigned usage);
    bool Open(const DibData& dib, unsigned usage, std::uint32_t firstScan, std::uint32_t scanCount);

    int Width() const override { return m_width; }
    // Rows present; FullHeight() is the height the header gives.
    int Height() const override { return m_rows; }
    int FullHeight() const { return m_fullHeight; }
    // The row of the whole picture (0 = top) that row 0 of this one is.
    int BandTop() const { return m_bandTop; }
    bool IsTopDown() const { return m_topDown; }
    int BitCount() const { return m_bitCount; }
    int ColourCount() const { return m_colourCount; }
    // 0xRRGGBB of a colour table entry; black beyond the table.
    std::uint32_t PaletteColour(int index) const;

    void ReadRow(int y, int x0, int x1, std::uint32_t* colours) const override;
    bool ReadIndexes(int y, int x0, int x1, std::uint8_t* indexes) const override;

private:
    const std::uint8_t* StoredRow(int y) const;

    const std::uint8_t* m_bits = nullptr;
    std::size_t m_stride = 0;
    int m_width = 0;
    int m_rows = 0;
    int m_fullHeight = 0;
    int m_bandTop = 0;
    bool m_topDown = false;
    int m_bitCount = 0;
    int m_colourCount = 0;
    std::array<std::uint32_t, 256> m_palette{};
};
