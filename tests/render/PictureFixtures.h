#pragma once

#include "platform/ByteOrder.h"
#include "platform/Gdi.h"
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "render/XImage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Picture files written byte by byte by the tests, and what they should
// decode to.

// Little-endian bytes appended one field at a time.
class CByteWriter {
public:
    CByteWriter& U8(unsigned v)
    {
        m_bytes.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    CByteWriter& U16(unsigned v)
    {
        unsigned char b[2];
        PutLittleEndian<std::uint16_t>(b, static_cast<std::uint16_t>(v));
        m_bytes.append(reinterpret_cast<char*>(b), 2);
        return *this;
    }
    CByteWriter& U32(std::uint32_t v)
    {
        unsigned char b[4];
        PutLittleEndian<std::uint32_t>(b, v);
        m_bytes.append(reinterpret_cast<char*>(b), 4);
        return *this;
    }
    CByteWriter& Bytes(std::initializer_list<unsigned> bytes)
    {
        for (unsigned b : bytes)
            U8(b);
        return *this;
    }
    CByteWriter& Raw(const std::string& bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    CByteWriter& Zeros(std::size_t count)
    {
        m_bytes.append(count, '\0');
        return *this;
    }
    const std::string& Str() const { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

// The colours of the test palettes: distinct, none grey.
inline COLORREF FixtureColour(int index)
{
    return RGB((index * 16 + 8) & 0xFF, (255 - index * 9) & 0xFF, (index * 37 + 3) & 0xFF);
}

// The test picture: a palette index at (x, y), y = 0 the top row, for a
// palette of 'colours' entries; 24-bit pictures take its colour.
inline int FixtureIndex(int x, int y, int colours)
{
    return (x + 3 * y) % colours;
}

// A colour table of n entries (blue, green, red, 0; or three bytes for the core header).
inline std::string FixturePalette(int n, bool core = false)
{
    CByteWriter w;
    for (int i = 0; i < n; ++i) {
        const COLORREF c = FixtureColour(i);
        w.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c));
        if (!core)
            w.U8(0);
    }
    return w.Str();
}

// Stored rows of the picture, padded to 4 bytes, bottom row first unless
// topDown. pixel(x, y) gives the index or, for 16 to 32 bits, the stored
// value; y = 0 is the top row.
inline std::string FixtureRows(int width, int height, int bits, bool topDown,
                               const std::function<std::uint32_t(int, int)>& pixel)
{
    const int stride = bits == 32 ? width * 4 : ((width * bits + 31) / 32) * 4;
    std::string out;
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::string row(static_cast<std::size_t>(stride), '\0');
        auto* r = reinterpret_cast<unsigned char*>(row.data());
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            switch (bits) {
            case 1: r[x / 8] |= static_cast<unsigned char>((v & 1) << (7 - x % 8)); break;
            case 4: r[x / 2] |= static_cast<unsigned char>(x % 2 ? v & 15 : (v & 15) << 4); break;
            case 8: r[x] = static_cast<unsigned char>(v); break;
            case 16: PutLittleEndian<std::uint16_t>(r + 2 * x, static_cast<std::uint16_t>(v)); break;
            case 24:
                r[3 * x] = static_cast<unsigned char>(v);
                r[3 * x + 1] = static_cast<unsigned char>(v >> 8);
                r[3 * x + 2] = static_cast<unsigned char>(v >> 16);
                break;
            default: PutLittleEndian<std::uint32_t>(r + 4 * x, v);
            }
        }
        out += row;
    }
    return out;
}

// The 40-byte header.
struct InfoHeaderFields {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    unsigned planes = 1;
    unsigned bits = 8;
    std::uint32_t compression = BI_RGB;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 3780; // 96 dpi
    std::int32_t yPelsPerMeter = 3780;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

inline std::string InfoHeader(const InfoHeaderFields& f)
{
    CByteWriter w;
    w.U32(f.size).U32(static_cast<std::uint32_t>(f.width)).U32(static_cast<std::uint32_t>(f.height));
    w.U16(f.planes).U16(f.bits).U32(f.compression).U32(f.sizeImage);
    w.U32(static_cast<std::uint32_t>(f.xPelsPerMeter)).U32(static_cast<std::uint32_t>(f.yPelsPerMeter));
    w.U32(f.clrUsed).U32(f.clrImportant);
    return w.Str();
}

// "BM", the file size, the reserved words and the pixel offset, before the rest.
inline std::string WithFileHeader(const std::string& dib, std::uint32_t pixelOffset)
{
    CByteWriter w;
    w.U16(0x4D42).U32(static_cast<std::uint32_t>(14 + dib.size())).U16(0).U16(0).U32(pixelOffset);
    return w.Str() + dib;
}

// A complete uncompressed file of the test picture: header, full palette
// (1 to 8 bits) and rows, the pixel offset right after the palette.
inline std::string PlainBmp(int width, int height, int bits, bool topDown = false)
{
    InfoHeaderFields f;
    f.width = width;
    f.height = topDown ? -height : height;
    f.bits = static_cast<unsigned>(bits);
    const int colours = bits <= 8 ? 1 << bits : 0;
    const std::string dib = InfoHeader(f) + FixturePalette(colours) +
                            FixtureRows(width, height, bits, topDown, [&](int x, int y) -> std::uint32_t {
                                if (bits <= 8)
                                    return static_cast<std::uint32_t>(FixtureIndex(x, y, colours));
                                const COLORREF c = FixtureColour(FixtureIndex(x, y, 16));
                                return (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                            });
    return WithFileHeader(dib, static_cast<std::uint32_t>(14 + 40 + 4 * colours));
}

inline COLORREF ColourOf(RGBQUAD q)
{
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// The colour of picture pixel (x, y), y = 0 the top row.
inline COLORREF PictureColour(const CxImage& image, int x, int y)
{
    return ColourOf(image.GetPixelColor(x, image.GetHeight() - 1 - y));
}

inline COLORREF Grey(int v)
{
    return RGB(v, v, v);
}

// Each component within the tolerance, for pictures that pass through lossy steps.
inline bool Near(COLORREF a, COLORREF b, int tolerance)
{
    const auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

// Decodes bytes from memory with a format id.
inline bool DecodeBytes(CxImage& image, const std::string& bytes, int format)
{
    CMemoryStream memory(bytes.data(), bytes.size());
    CxPlatformStream stream(memory);
    return image.Decode(stream, format);
}

// A WBMP of type 0 from rows given top first, ((width + 7) / 8) bytes each.
inline std::string MultiByte(std::uint32_t v)
{
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7)
        out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

inline std::string Wbmp(int width, int height, const std::function<bool(int, int)>& white)
{
    std::string out = std::string(2, '\0') + MultiByte(static_cast<std::uint32_t>(width)) +
                      MultiByte(static_cast<std::uint32_t>(height));
    for (int y = 0; y < height; ++y) {
        std::string row(static_cast<std::size_t>((width + 7) / 8), '\0');
        for (int x = 0; x < width; ++x)
            if (white(x, y))
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out += row;
    }
    return out;
}
