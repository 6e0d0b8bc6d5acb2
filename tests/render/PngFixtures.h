#pragma once

#include "platform/ByteOrder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// PNG files written by libpng itself at test time.

struct PngFixture {
    int width = 4;
    int height = 3;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_GRAY;
    bool interlaced = false;
    // PLTE entries.
    std::vector<png_color> palette;
    // tRNS: alpha values of palette entries, or the one transparent grey or colour.
    std::vector<png_byte> paletteAlpha;
    std::optional<png_color_16> transparentColour;
    std::optional<png_color_16> background;
    // pHYs, written when the unit is 0 or 1.
    int physUnit = -1;
    png_uint_32 physX = 0, physY = 0;
    // The samples of pixel (x, y), y = 0 the top row, one per channel.
    std::function<std::vector<unsigned>(int x, int y)> pixel;
};

namespace png_fixture_detail {

inline void Append(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

inline void Flush(png_structp) {}

inline void Quiet(png_structp, png_const_charp) {}

inline void Fail(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

inline int Channels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    default: return 1;
    }
}

// One row as PNG stores it: samples under 8 bits most significant first,
// 16-bit samples big-endian.
inline std::vector<png_byte> PackRow(const PngFixture& f, int y)
{
    const int channels = Channels(f.colourType);
    const std::size_t bits = std::size_t(f.width) * channels * f.bitDepth;
    std::vector<png_byte> row((bits + 7) / 8, 0);
    std::size_t at = 0;
    for (int x = 0; x < f.width; ++x) {
        const std::vector<unsigned> samples = f.pixel(x, y);
        for (int c = 0; c < channels; ++c) {
            const unsigned v = samples.at(static_cast<std::size_t>(c));
            if (f.bitDepth == 16) {
                row[at / 8] = static_cast<png_byte>(v >> 8);
                row[at / 8 + 1] = static_cast<png_byte>(v);
            } else if (f.bitDepth == 8) {
                row[at / 8] = static_cast<png_byte>(v);
            } else {
                row[at / 8] |= static_cast<png_byte>(v << (8 - f.bitDepth - at % 8));
            }
            at += static_cast<std::size_t>(f.bitDepth);
        }
    }
    return row;
}

struct Writer {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    std::string out;
    ~Writer() { png_destroy_write_struct(&png, &info); }
};

// Everything that must be freed lives in the caller's Writer, so the
// library's jump skips nothing.
inline bool Write(Writer& w, const PngFixture& f)
{
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Quiet);
    if (!w.png)
        return false;
    w.info = png_create_info_struct(w.png);
    if (!w.info || setjmp(png_jmpbuf(w.png)))
        return false;
    png_set_write_fn(w.png, &w.out, Append, Flush);
    png_set_IHDR(w.png, w.info, png_uint_32(f.width), png_uint_32(f.height), f.bitDepth, f.colourType,
                 f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!f.palette.empty())
        png_set_PLTE(w.png, w.info, f.palette.data(), int(f.palette.size()));
    if (!f.paletteAlpha.empty() || f.transparentColour) {
        png_color_16 colour = f.transparentColour.value_or(png_color_16{});
        png_set_tRNS(w.png, w.info, f.paletteAlpha.empty() ? nullptr : f.paletteAlpha.data(),
                     f.paletteAlpha.empty() ? 1 : int(f.paletteAlpha.size()), f.transparentColour ? &colour : nullptr);
    }
    if (f.background) {
        png_color_16 colour = *f.background;
        png_set_bKGD(w.png, w.info, &colour);
    }
    if (f.physUnit >= 0)
        png_set_pHYs(w.png, w.info, f.physX, f.physY, f.physUnit);
    for (int y = 0; y < f.height; ++y)
        w.rows.push_back(PackRow(f, y));
    for (auto& row : w.rows)
        w.pointers.push_back(row.data());
    png_set_rows(w.png, w.info, w.pointers.data());
    png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

} // namespace png_fixture_detail

// The file's bytes; empty when libpng refused the description.
inline std::string WritePng(const PngFixture& f)
{
    png_fixture_detail::Writer w;
    return png_fixture_detail::Write(w, f) ? w.out : std::string();
}

// The file with its header claiming another size, its CRC made right.
inline std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height)
{
    auto* bytes = reinterpret_cast<unsigned char*>(png.data());
    PutBigEndian<std::uint32_t>(bytes + 16, width);
    PutBigEndian<std::uint32_t>(bytes + 20, height);
    PutBigEndian<std::uint32_t>(bytes + 29, static_cast<std::uint32_t>(crc32(0, bytes + 12, 17)));
    return png;
}

inline png_color PngRgb(int r, int g, int b)
{
    return png_color{png_byte(r), png_byte(g), png_byte(b)};
}

inline png_color_16 PngColour16(unsigned r, unsigned g, unsigned b, unsigned grey = 0, png_byte index = 0)
{
    return png_color_16{index, png_uint_16(r), png_uint_16(g), png_uint_16(b), png_uint_16(grey)};
}
