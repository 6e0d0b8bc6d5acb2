#include "render/BmpDecoder.h"

#include "platform/ByteOrder.h"
#include "render/ImageStream.h"

#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr std::uint16_t kBmpType = 0x4D42; // "BM"
// Pixel data missing or cut short; the header alone says nothing of it.
constexpr const char* kCorrupted = "Corrupted BMP";

// The header in its 40-byte form, and what the stored form added.
struct BmpInfo {
    BITMAPINFOHEADER h;
    bool core = false;
    // The masks of BI_BITFIELDS when the header itself holds them.
    bool headerMasks = false;
    std::uint32_t masks[3] = {0, 0, 0};
};

std::int64_t PaddedRowBytes(std::int64_t width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

// Padded rows times the height; false when that passes 64 bits.
bool ImageBytes(std::int32_t width, int bits, std::int32_t height, std::int64_t& bytes)
{
    return !__builtin_mul_overflow(PaddedRowBytes(width, bits), std::int64_t(height), &bytes);
}

bool ReadBytes(CxStream& stream, unsigned char* buffer, std::size_t count)
{
    return count == 0 || stream.Read(buffer, count, 1) == 1;
}

// Reads a BITMAPCOREHEADER, BITMAPINFOHEADER, OS/2 2.x header or one of
// the longer Windows headers (V2 to V5) at the stream's position and
// leaves the stream after it.
bool DibReadBitmapInfo(CxStream& stream, BmpInfo& info)
{
    unsigned char b[124] = {};
    if (!ReadBytes(stream, b, 4))
        return false;
    const std::uint32_t size = GetLittleEndian<std::uint32_t>(b);
    BITMAPINFOHEADER& h = info.h;
    if (size == 12) {
        if (!ReadBytes(stream, b + 4, 8))
            return false;
        h = BITMAPINFOHEADER();
        h.biWidth = GetLittleEndian<std::uint16_t>(b + 4);
        h.biHeight = GetLittleEndian<std::uint16_t>(b + 6);
        h.biPlanes = GetLittleEndian<std::uint16_t>(b + 8);
        h.biBitCount = GetLittleEndian<std::uint16_t>(b + 10);
        info.core = true;
    } else {
        if (size < 40 || !ReadBytes(stream, b + 4, 36))
            return false;
        h.biSize = 40;
        h.biWidth = GetLittleEndian<std::int32_t>(b + 4);
        h.biHeight = GetLittleEndian<std::int32_t>(b + 8);
        h.biPlanes = GetLittleEndian<std::uint16_t>(b + 12);
        h.biBitCount = GetLittleEndian<std::uint16_t>(b + 14);
        h.biCompression = GetLittleEndian<std::uint32_t>(b + 16);
        h.biSizeImage = GetLittleEndian<std::uint32_t>(b + 20);
        h.biXPelsPerMeter = GetLittleEndian<std::int32_t>(b + 24);
        h.biYPelsPerMeter = GetLittleEndian<std::int32_t>(b + 28);
        h.biClrUsed = GetLittleEndian<std::uint32_t>(b + 32);
        h.biClrImportant = GetLittleEndian<std::uint32_t>(b + 36);
        if (size == 64) {
            // OS/2 2.x: the rest is of no use here.
            if (!stream.Seek(24, 1))
                return false;
        } else if (size == 52 || size == 56 || size == 108 || size == 124) {
            // V2 to V5, as programs write them today: the masks follow the
            // 40-byte part; colour spaces and profiles are not used.
            if (!ReadBytes(stream, b + 40, size - 40))
                return false;
            if (h.biCompression == BI_BITFIELDS) {
                info.headerMasks = true;
                for (int i = 0; i < 3; ++i)
                    info.masks[i] = GetLittleEndian<std::uint32_t>(b + 40 + 4 * i);
            }
        } else if (size > 40) {
            std::int64_t exact = 0;
            if (!ImageBytes(h.biWidth, h.biBitCount, h.biHeight, exact) || exact != h.biSizeImage ||
                h.biPlanes != 1 || h.biCompression != BI_RGB || h.biClrUsed != 0)
                return false;
            if (!stream.Seek(std::int64_t(size) - 40, 1))
                return false;
        }
    }
    std::int64_t bytes = 0;
    if (h.biSizeImage == 0 && ImageBytes(h.biWidth, h.biBitCount, h.biHeight, bytes)) {
        bytes = bytes < 0 ? -bytes : bytes;
        h.biSizeImage = bytes <= UINT32_MAX ? static_cast<std::uint32_t>(bytes) : 0;
    }
    if (h.biClrUsed == 0 && h.biBitCount <= 8)
        h.biClrUsed = 1u << h.biBitCount;
    return true;
}

// Masks of one contiguous run of bits each, inside the pixel.
bool ValidMasks(const std::uint32_t masks[3], int bits)
{
    const std::uint32_t limit = bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t m = masks[i];
        if (m == 0 || (m & ~limit) != 0)
            return false;
        const std::uint32_t run = m >> std::countr_zero(m);
        if ((run & (run + 1)) != 0)
            return false;
    }
    return true;
}

// Bytes of the stream one at a time, read in blocks.
class ByteReader {
public:
    explicit ByteReader(CxStream& stream) : m_stream(stream) {}

    bool Next(std::uint8_t& byte)
    {
        if (m_position == m_length) {
            m_length = m_stream.Read(m_buffer, 1, sizeof m_buffer);
            m_position = 0;
            if (m_length == 0)
                return false;
        }
        byte = m_buffer[m_position++];
        return true;
    }

private:
    CxStream& m_stream;
    std::uint8_t m_buffer[4096];
    std::size_t m_position = 0;
    std::size_t m_length = 0;
};

// Run-length encoded rows, bottom row first. What would land outside the
// picture is dropped. False when the input ends before the picture does.
bool DecodeRle(CxStream& stream, CxImage& image, bool rle4)
{
    ByteReader in(stream);
    const std::int64_t width = image.GetWidth(), height = image.GetHeight();
    std::int64_t x = 0, y = 0;
    const auto put = [&](std::int64_t column, std::uint8_t value) {
        if (y >= height || column >= width)
            return;
        std::uint8_t* row = image.GetBits(static_cast<int>(y));
        if (!rle4) {
            row[column] = value;
        } else {
            std::uint8_t& b = row[column >> 1];
            b = (column & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F))
                             : static_cast<std::uint8_t>((b & 0x0F) | (value << 4));
        }
    };
    // A picture whose last row is full needs no end-of-line or end mark.
    const auto complete = [&] { return y >= height || (y == height - 1 && x >= width); };

    while (y < height) {
        std::uint8_t count = 0, value = 0;
        if (!in.Next(count) || !in.Next(value))
            return complete();
        if (count > 0) {
            // A run: the value's two nibbles take turns, high first.
            for (int i = 0; i < count && x + i < width; ++i)
                put(x + i, rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return true;
        case 2: { // move right and up
            std::uint8_t dx = 0, dy = 0;
            if (!in.Next(dx) || !in.Next(dy))
                return complete();
            x += dx;
            y += dy;
            break;
        }
        default: { // literal pixels, padded to a whole word
            std::uint8_t byte = 0;
            for (int i = 0; i < value; ++i) {
                if ((!rle4 || (i & 1) == 0) && !in.Next(byte))
                    return complete();
                put(x + i, rle4 ? ((i & 1) ? byte & 0x0F : byte >> 4) : byte);
            }
            x += value;
            const int bytes = rle4 ? (value + 1) / 2 : value;
            if ((bytes & 1) && !in.Next(byte))
                return complete();
        }
        }
    }
    return true;
}

} // namespace

bool CxImageBMP::Decode(CxStream& stream)
{
    const auto fail = [this](const char* text) {
        SetLastError(text);
        return false;
    };
    const std::int64_t start = stream.Tell();
    unsigned char fileHeader[14];
    if (!ReadBytes(stream, fileHeader, sizeof fileHeader))
        return fail("Not a BMP");
    std::uint32_t offset = GetLittleEndian<std::uint32_t>(fileHeader + 10);
    if (GetLittleEndian<std::uint16_t>(fileHeader) != kBmpType) {
        // A bare DIB: the header comes first.
        offset = 0;
        if (!stream.Seek(start, 0))
            return fail("Not a BMP");
    }

    BmpInfo info;
    if (!DibReadBitmapInfo(stream, info))
        return fail("Error reading BMP info");
    const BITMAPINFOHEADER& h = info.h;
    const int bits = h.biBitCount;
    const std::uint32_t compression = h.biCompression;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return fail("Error reading BMP info");
    const bool topDown = h.biHeight < 0;
    const int width = h.biWidth;
    const int height = topDown ? -h.biHeight : h.biHeight;
    // Absurd sizes are refused before the file's length is looked at, and
    // bound every size worked out below.
    if (!CanCreate(width, height, bits))
        return false;

    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (bits <= 8) {
        if (compression != BI_RGB && !(compression == BI_RLE8 && bits == 8) &&
            !(compression == BI_RLE4 && bits == 4))
            return fail("compression type not supported");
    } else if (compression != BI_RGB && !(compression == BI_BITFIELDS && bits != 24)) {
        return fail("unknown compression");
    } else if (compression == BI_BITFIELDS) {
        if (info.headerMasks) {
            std::memcpy(masks, info.masks, sizeof masks);
        } else {
            unsigned char b[12];
            if (!ReadBytes(stream, b, sizeof b))
                return fail("Error reading BMP info");
            for (int i = 0; i < 3; ++i)
                masks[i] = GetLittleEndian<std::uint32_t>(b + 4 * i);
        }
        if (!ValidMasks(masks, bits))
            return fail("unknown compression");
    }

    // The colour table: the entries the header counts, as far as the
    // depth can use them; pixels follow it unless the file header says
    // where they are.
    const std::int64_t entrySize = info.core ? 3 : 4;
    const std::int64_t maxEntries = bits <= 8 ? (1 << bits) : 0;
    const std::int64_t fileEntries = info.core ? maxEntries : std::int64_t(h.biClrUsed);
    const std::int64_t entries = std::min(fileEntries, maxEntries);
    const std::int64_t tablePosition = stream.Tell();
    if (tablePosition < 0)
        return fail(kCorrupted);
    const std::int64_t pixelStart =
        offset != 0 ? start + offset : tablePosition + fileEntries * entrySize;
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    const std::int64_t rowBytes = bits == 32 ? std::int64_t(width) * 4 : PaddedRowBytes(width, bits);
    const std::int64_t pixelBytes = rowBytes * height;
    const std::int64_t streamSize = stream.Size();
    // Refused before anything is allocated for it.
    if (streamSize >= 0 && pixelStart + (rle ? 2 : pixelBytes) > streamSize)
        return fail(kCorrupted);

    if (!Create(width, height, bits, CXIMAGE_FORMAT_BMP)) {
        SetCreateError("Can't allocate memory");
        return false;
    }
    SetXDPI(static_cast<int>(std::floor(h.biXPelsPerMeter * 0.0254 + 0.5)));
    SetYDPI(static_cast<int>(std::floor(h.biYPelsPerMeter * 0.0254 + 0.5)));
    if (GetEscape())
        return fail("Cancelled");

    if (entries > 0) {
        auto* table = reinterpret_cast<unsigned char*>(GetPalette());
        if (!ReadBytes(stream, table, static_cast<std::size_t>(entries * entrySize)))
            return fail(kCorrupted);
        if (info.core) {
            // Widen the 3-byte entries in place, last first.
            for (std::int64_t i = entries - 1; i >= 0; --i) {
                std::memmove(table + 4 * i, table + 3 * i, 3);
                table[4 * i + 3] = 0;
            }
        }
        for (std::int64_t i = 0; i < entries; ++i)
            table[4 * i + 3] = 0;
    }
    if (!stream.Seek(pixelStart, 0))
        return fail(kCorrupted);

    std::uint8_t* pixels = GetBits();
    switch (bits) {
    case 16:
        // Narrower than the 24-bit rows, so converted in place.
        if (!ReadBytes(stream, pixels, static_cast<std::size_t>(pixelBytes)))
            return fail(kCorrupted);
        Bitfield2RGB(pixels, masks[0], masks[1], masks[2], 16);
        break;
    case 32: {
        std::unique_ptr<std::uint8_t[]> raw(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(pixelBytes)]);
        if (!raw)
            return fail("can't allocate memory");
        if (!ReadBytes(stream, raw.get(), static_cast<std::size_t>(pixelBytes)))
            return fail(kCorrupted);
        Bitfield2RGB(raw.get(), masks[0], masks[1], masks[2], 32);
        break;
    }
    default:
        if (rle) {
            if (!DecodeRle(stream, *this, compression == BI_RLE4))
                return fail(kCorrupted);
        } else if (!ReadBytes(stream, pixels, static_cast<std::size_t>(pixelBytes))) {
            // Exactly the rows the image holds, whatever the header's image size says.
            return fail(kCorrupted);
        }
    }
    if (topDown)
        Flip();
    return true;
}
