#include "render/PackedDib.h"

#include "platform/ByteOrder.h"
#include "platform/DC.h"
#include "platform/Stream.h"
#include "render/XImage.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::int32_t kPixelsPerMetre = 2834;
// The used-colour count the pixel offset takes: its low 14 bits.
constexpr std::uint32_t kColourCountMask = 0x3FFF;

std::uint32_t HeaderSize(const void* header)
{
    std::uint32_t size = 0;
    std::memcpy(&size, header, sizeof size);
    return size;
}

std::uint64_t RowBytes(std::uint64_t width, unsigned bits)
{
    return (width * bits + 31) / 32 * 4;
}

// Bytes of the colour table that FindDibPixels steps over.
std::size_t ColourTableBytes(const void* header)
{
    if (HeaderSize(header) == kInfoHeaderSize) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, header, sizeof h);
        if (h.biClrUsed != 0)
            return std::size_t(h.biClrUsed & kColourCountMask) * 4;
        switch (h.biBitCount) {
        case 1: return 8;
        case 4: return 64;
        case 8: return 1024;
        default: return 0;
        }
    }
    BITMAPCOREHEADER h;
    std::memcpy(&h, header, sizeof h);
    switch (h.bcBitCount) {
    case 1: return 6;
    case 4: return 48;
    case 8: return 768;
    default: return 0;
    }
}

// Width and height as either header kind stores them.
CSize StoredSize(const void* header)
{
    if (HeaderSize(header) == kInfoHeaderSize) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, header, sizeof h);
        return CSize(h.biWidth, h.biHeight);
    }
    BITMAPCOREHEADER h;
    std::memcpy(&h, header, sizeof h);
    return CSize(h.bcWidth, h.bcHeight);
}

// What a DIB header says of its pixels.
struct DibShape {
    std::uint64_t width = 0;
    std::uint64_t height = 0; // rows, whichever way they are stored
    bool topDown = false;
    unsigned bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t sizeImage = 0;
};

DibShape ShapeOf(const void* header)
{
    DibShape shape;
    if (HeaderSize(header) == kInfoHeaderSize) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, header, sizeof h);
        shape.width = h.biWidth > 0 ? std::uint64_t(h.biWidth) : 0;
        shape.topDown = h.biHeight < 0;
        shape.height = std::uint64_t(std::llabs(std::int64_t(h.biHeight)));
        shape.bits = h.biBitCount;
        shape.compression = h.biCompression;
        shape.sizeImage = h.biSizeImage;
    } else {
        BITMAPCOREHEADER h;
        std::memcpy(&h, header, sizeof h);
        shape.width = h.bcWidth;
        shape.height = h.bcHeight;
        shape.bits = h.bcBitCount;
    }
    return shape;
}

// Pixel bytes the header needs; 0 for a header that makes no sense.
std::uint64_t PixelBytes(const DibShape& shape)
{
    if (shape.width == 0 || shape.height == 0)
        return 0;
    if (shape.compression == BI_RLE8 || shape.compression == BI_RLE4)
        return shape.sizeImage;
    switch (shape.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return 0;
    }
    if (shape.compression != BI_RGB && shape.compression != BI_BITFIELDS)
        return 0;
    const std::uint64_t bytes = RowBytes(shape.width, shape.bits) * shape.height;
    return bytes > CXIMAGE_MAX_MEMORY ? 0 : bytes;
}

} // namespace

std::unique_ptr<CPackedDib> CPackedDib::Allocate(std::size_t size)
{
    if (size == 0 || size > CXIMAGE_MAX_MEMORY)
        return nullptr;
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]());
    if (!bytes)
        return nullptr;
    return std::unique_ptr<CPackedDib>(new (std::nothrow) CPackedDib(std::move(bytes), size));
}

HDIB AllocDib(int width, int height, int bitCount)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    unsigned bits = 4;
    if (bitCount <= 1)
        bits = 1;
    else if (bitCount <= 4)
        bits = 4;
    else if (bitCount <= 8)
        bits = 8;
    else if (bitCount <= 24)
        bits = 24;
    const std::size_t entries = bits == 24 ? 0 : std::size_t(1) << bits;
    const std::uint64_t pixels = RowBytes(std::uint64_t(width), bits) * std::uint64_t(height);
    const std::uint64_t size = pixels + 4 * entries + kInfoHeaderSize;
    if (size > CXIMAGE_MAX_MEMORY)
        return nullptr;
    HDIB dib = CPackedDib::Allocate(static_cast<std::size_t>(size));
    if (!dib)
        return nullptr;
    BITMAPINFOHEADER header;
    header.biSize = kInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = BI_RGB;
    // Unpadded, as the callers have always had it.
    header.biSizeImage = static_cast<std::uint32_t>(std::uint64_t(width) * bits * std::uint64_t(height) / 8);
    header.biXPelsPerMeter = kPixelsPerMetre;
    header.biYPelsPerMeter = kPixelsPerMetre;
    std::memcpy(dib->Data(), &header, sizeof header);
    return dib;
}

int GetDibWidth(const void* header)
{
    return StoredSize(header).cx;
}

int GetDibHeight(const void* header)
{
    return StoredSize(header).cy;
}

std::uint8_t* FindDibPixels(void* header)
{
    return static_cast<std::uint8_t*>(header) + HeaderSize(header) + ColourTableBytes(header);
}

const std::uint8_t* FindDibPixels(const void* header)
{
    return static_cast<const std::uint8_t*>(header) + HeaderSize(header) + ColourTableBytes(header);
}

int CreateDibPalette(const CPackedDib* dib, CDibPalette& palette)
{
    if (!dib || dib->Size() < kCoreHeaderSize)
        return 0;
    const std::uint8_t* header = dib->Data();
    const bool core = HeaderSize(header) != kInfoHeaderSize;
    if (!core && dib->Size() < kInfoHeaderSize)
        return 0;
    const std::size_t entrySize = core ? 3 : 4;
    const std::size_t tableBytes = ColourTableBytes(header);
    const std::size_t start = HeaderSize(header);
    if (tableBytes == 0 || start > dib->Size() || tableBytes > dib->Size() - start)
        return 0;
    CDibPalette made;
    const std::uint8_t* table = header + start;
    for (std::size_t at = 0; at + entrySize <= tableBytes; at += entrySize)
        made.entries.push_back(RGBQUAD{table[at], table[at + 1], table[at + 2], 0});
    palette = std::move(made);
    return 1;
}

int PaintDibToDc(CDC& dc, const CRect& dest, const CPackedDib& dib, const CRect& source, const CDibPalette* palette,
                 bool mask)
{
    // A palette selected into a true-colour target changes nothing.
    (void)palette;
    const std::uint8_t* header = dib.Data();
    if (dib.Size() < kCoreHeaderSize || (HeaderSize(header) == kInfoHeaderSize && dib.Size() < kInfoHeaderSize))
        return 0;
    const std::size_t offset = HeaderSize(header) + ColourTableBytes(header);
    if (offset > dib.Size())
        return 0;
    const DibData data{header, offset, header + offset, dib.Size() - offset};

    const std::int64_t destWidth = std::int64_t(dest.right) - dest.left;
    const std::int64_t destHeight = std::int64_t(dest.bottom) - dest.top;
    const std::int64_t sourceWidth = std::int64_t(source.right) - source.left;
    const std::int64_t sourceHeight = std::int64_t(source.bottom) - source.top;
    if (destWidth > INT_MAX || destHeight > INT_MAX || sourceWidth > INT_MAX || sourceHeight > INT_MAX ||
        destWidth < INT_MIN || destHeight < INT_MIN || sourceWidth <= 0 || sourceHeight <= 0)
        return 0;
    // The source's rows from the top; the calls count stored rows.
    const int height = GetDibHeight(header);
    const std::int64_t rows = std::llabs(std::int64_t(height));
    const std::int64_t storedY = height < 0 ? source.top : rows - source.bottom;
    if (storedY < INT_MIN || storedY > INT_MAX)
        return 0;

    const int mode = dc.SetStretchBltMode(COLORONCOLOR);
    int result = 0;
    if (!mask && destWidth == sourceWidth && destHeight == sourceHeight)
        result = dc.SetDIBitsToDevice(dest.left, dest.top, int(destWidth), int(destHeight), source.left, int(storedY),
                                      0, static_cast<unsigned>(rows), data, DIB_RGB_COLORS);
    else
        result = dc.StretchDIBits(dest.left, dest.top, int(destWidth), int(destHeight), source.left, int(storedY),
                                  int(sourceWidth), int(sourceHeight), data, DIB_RGB_COLORS, mask ? SRCAND : SRCCOPY);
    dc.SetStretchBltMode(mode);
    return result;
}

HDIB ReadDibFromStream(CStream& file)
{
    const std::int64_t start = file.Tell();
    const std::int64_t end = file.Size();
    if (start < 0 || end < start)
        return nullptr;
    const std::uint64_t length = std::uint64_t(end - start);
    std::uint8_t fileHeader[kFileHeaderSize];
    if (length < kFileHeaderSize || !file.ReadExact(fileHeader, sizeof fileHeader) || fileHeader[0] != 'B' ||
        fileHeader[1] != 'M')
        return nullptr;
    const std::uint32_t pixelOffset = GetLittleEndian<std::uint32_t>(fileHeader + 10);

    // The header: the core one, the 40-byte one, or a longer one whose first 40 bytes are the 40-byte one.
    std::uint8_t sizeBytes[4];
    if (!file.ReadExact(sizeBytes, sizeof sizeBytes))
        return nullptr;
    const std::uint32_t headerSize = GetLittleEndian<std::uint32_t>(sizeBytes);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize)
        return nullptr;
    if (headerSize > length - kFileHeaderSize)
        return nullptr;
    const std::uint32_t keptSize = headerSize == kCoreHeaderSize ? kCoreHeaderSize : kInfoHeaderSize;
    std::uint8_t header[kInfoHeaderSize] = {};
    std::memcpy(header, sizeBytes, sizeof sizeBytes);
    if (!file.ReadExact(header + 4, keptSize - 4))
        return nullptr;
    PutLittleEndian<std::uint32_t>(header, keptSize);
    if (keptSize == kInfoHeaderSize) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, header, sizeof h);
        if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN)
            return nullptr;
    }

    const DibShape shape = ShapeOf(header);
    const std::uint64_t pixelBytes = PixelBytes(shape);
    const std::uint64_t tableBytes = ColourTableBytes(header);
    const std::uint64_t tableStart = kFileHeaderSize + std::uint64_t(headerSize);
    if (pixelBytes == 0 || tableStart + tableBytes > length)
        return nullptr;
    // Pixels where the file header says, else (no offset given) right after the colour table.
    const std::uint64_t pixelsAt = pixelOffset == 0 ? tableStart + tableBytes : pixelOffset;
    if (pixelsAt < tableStart + tableBytes || pixelsAt > length || pixelBytes > length - pixelsAt)
        return nullptr;

    const std::uint64_t size = keptSize + tableBytes + pixelBytes;
    if (size > CXIMAGE_MAX_MEMORY)
        return nullptr;
    HDIB dib = CPackedDib::Allocate(static_cast<std::size_t>(size));
    if (!dib)
        return nullptr;
    std::uint8_t* block = dib->Data();
    std::memcpy(block, header, keptSize);
    const bool read = file.Seek(start + std::int64_t(tableStart)) &&
                      file.ReadExact(block + keptSize, static_cast<std::size_t>(tableBytes)) &&
                      file.Seek(start + std::int64_t(pixelsAt)) &&
                      file.ReadExact(block + keptSize + tableBytes, static_cast<std::size_t>(pixelBytes));
    return read ? std::move(dib) : nullptr;
}
