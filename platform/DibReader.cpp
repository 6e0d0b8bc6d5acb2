#include "platform/DibReader.h"

#include "platform/Gdi.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

// What the header says, before any check against the sizes.
struct Layout {
    bool core = false;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top-down
    int bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint64_t tableEntries = 0; // entries stored after the header
    std::uint32_t entrySize = 4;
};

bool ReadLayout(const void* info, std::size_t infoSize, Layout& layout)
{
    if (!info || infoSize < 4)
        return false;
    std::uint32_t size = 0;
    std::memcpy(&size, info, 4);
    if (size == kCoreHeaderSize && infoSize >= kCoreHeaderSize) {
        BITMAPCOREHEADER h;
        std::memcpy(&h, info, sizeof h);
        layout.core = true;
        layout.headerSize = size;
        layout.width = h.bcWidth;
        layout.height = h.bcHeight;
        layout.bitCount = h.bcBitCount;
        layout.entrySize = 3;
        layout.tableEntries = h.bcBitCount <= 8 ? (1u << h.bcBitCount) : 0;
        return true;
    }
    if (size < kInfoHeaderSize || size > infoSize)
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    layout.headerSize = size;
    layout.width = h.biWidth;
    layout.height = h.biHeight;
    layout.bitCount = h.biBitCount;
    layout.compression = h.biCompression;
    if (h.biClrUsed != 0)
        layout.tableEntries = h.biClrUsed;
    else
        layout.tableEntries = h.biBitCount <= 8 ? (1u << h.biBitCount) : 0;
    return true;
}

std::uint64_t Stride(std::int64_t width, int bitCount)
{
    return ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32) * 4;
}

} // namespace

DibData DibData::Packed(const void* block, std::size_t size)
{
    DibData dib;
    dib.info = block;
    dib.infoSize = size;
    Layout layout;
    if (!ReadLayout(block, size, layout) || layout.tableEntries > size)
        return dib;
    const std::uint64_t offset = layout.headerSize + layout.tableEntries * layout.entrySize;
    if (offset > size)
        return dib;
    dib.bits = static_cast<const std::uint8_t*>(block) + offset;
    dib.bitsSize = size - static_cast<std::size_t>(offset);
    return dib;
}

bool CDibReader::Open(const DibData& dib, unsigned usage)
{
    return Open(dib, usage, 0, UINT32_MAX);
}

bool CDibReader::Open(const DibData& dib, unsigned usage, std::uint32_t firstScan, std::uint32_t scanCount)
{
    *this = CDibReader();
    Layout layout;
    if (usage != DIB_RGB_COLORS || !ReadLayout(dib.info, dib.infoSize, layout) || !dib.bits)
        return false;
    const int bits = layout.bitCount;
    if (layout.compression != BI_RGB || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return false;
    const std::int64_t height = layout.height < 0 ? -layout.height : layout.height;
    if (layout.width <= 0 || height == 0 || layout.width > INT_MAX || height > INT_MAX)
        return false;
    if (firstScan >= height)
        return false;
    const std::uint64_t rows = std::min<std::uint64_t>(scanCount, static_cast<std::uint64_t>(height) - firstScan);
    const std::uint64_t stride = Stride(layout.width, bits);
    if (rows == 0 || stride * rows / rows != stride || stride * rows > dib.bitsSize)
        return false;

    // Only the entries an index can reach are read; the rest may be missing.
    const std::uint64_t used = bits <= 8 ? std::min<std::uint64_t>(layout.tableEntries, 1u << bits) : 0;
    if (layout.headerSize + used * layout.entrySize > dib.infoSize)
        return false;
    const auto* table = static_cast<const std::uint8_t*>(dib.info) + layout.headerSize;
    for (std::uint64_t i = 0; i < used; ++i) {
        const std::uint8_t* e = table + i * layout.entrySize;
        m_palette[i] = (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
    }

    m_bits = static_cast<const std::uint8_t*>(dib.bits);
    m_stride = static_cast<std::size_t>(stride);
    m_width = static_cast<int>(layout.width);
    m_fullHeight = static_cast<int>(height);
    m_rows = static_cast<int>(rows);
    m_topDown = layout.height < 0;
    m_bandTop = m_topDown ? static_cast<int>(firstScan) : static_cast<int>(height - firstScan - rows);
    m_bitCount = bits;
    m_colourCount = static_cast<int>(used);
    return true;
}

std::uint32_t CDibReader::PaletteColour(int index) const
{
    return index >= 0 && index < m_colourCount ? m_palette[static_cast<std::size_t>(index)] : 0;
}

const std::uint8_t* CDibReader::StoredRow(int y) const
{
    const int stored = m_topDown ? y : m_rows - 1 - y;
    return m_bits + m_stride * static_cast<std::size_t>(stored);
}

bool CDibReader::ReadIndexes(int y, int x0, int x1, std::uint8_t* indexes) const
{
    if (m_bitCount > 8)
        return false;
    const std::uint8_t* row = StoredRow(y);
    for (int x = x0; x < x1; ++x) {
        std::uint8_t index;
        if (m_bitCount == 8)
            index = row[x];
        else if (m_bitCount == 4)
            index = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        else
            index = (row[x >> 3] >> (7 - (x & 7))) & 1;
        *indexes++ = index;
    }
    return true;
}

void CDibReader::ReadRow(int y, int x0, int x1, std::uint32_t* colours) const
{
    if (m_bitCount == 24) {
        const std::uint8_t* p = StoredRow(y) + 3 * static_cast<std::size_t>(x0);
        for (int x = x0; x < x1; ++x, p += 3)
            *colours++ = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        return;
    }
    constexpr int kChunk = 256;
    std::uint8_t indexes[kChunk];
    for (int x = x0; x < x1; x += kChunk) {
        const int end = std::min(x1, x + kChunk);
        ReadIndexes(y, x, end, indexes);
        for (int i = 0; i < end - x; ++i)
            *colours++ = m_palette[indexes[i]];
    }
}
