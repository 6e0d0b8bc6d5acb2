#include "render/PngDecoder.h"

#include "render/ImageStream.h"

#include <png.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

// libpng leaves a failing call through longjmp. Everything that needs
// freeing lives here, in the frame of Decode, so the jump skips no
// destructor; ReadPicture, which holds the jump target, owns nothing.
struct CxImagePNG::Reading {
    explicit Reading(CxStream& from) : stream(from) {}
    ~Reading() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    CxStream& stream;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> row;
    char message[256] = {};
};

namespace {

void PngRead(png_structp png, png_bytep data, size_t length)
{
    auto* stream = static_cast<CxStream*>(png_get_io_ptr(png));
    if (stream->Read(data, 1, length) != length)
        png_error(png, "Read Error");
}

void PngError(png_structp png, png_const_charp message)
{
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::strncpy(text, message ? message : "", 255);
    text[255] = '\0';
    png_longjmp(png, 1);
}

// Warnings change nothing in the result and would only reach stderr.
void PngWarning(png_structp, png_const_charp) {}

int DpiValue(double value)
{
    return static_cast<int>(std::min(value, double(INT_MAX)));
}

// Grey 192 in a grey picture's own sample range, as the library composites
// low depths before widening them.
png_uint_16 GreyBackground(int bitDepth)
{
    if (bitDepth >= 8)
        return 192;
    const int top = (1 << bitDepth) - 1;
    return static_cast<png_uint_16>((192 * top + 127) / 255);
}

// Four 2-bit pixels a byte become two 4-bit ones, the most significant first.
void WidenTwoBitRow(const png_byte* in, std::uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x) {
        const int value = (in[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        std::uint8_t& b = out[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | value) : static_cast<std::uint8_t>(value << 4);
    }
}

} // namespace

bool CxImagePNG::ReadPicture(Reading& reading)
{
    png_structp png = reading.png;
    png_infop info = reading.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &reading.stream, PngRead);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int pixelDepth = bitDepth * png_get_channels(png, info);

    // Every depth is composited, 32-bit pixels too: stripping their alpha
    // alone would show whatever colour the transparent areas store.
    png_color_16p fileBackground = nullptr;
    if (png_get_bKGD(png, info, &fileBackground) && fileBackground) {
        png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        if (pixelDepth == 32)
            SetTransColor(RGBQUAD{static_cast<std::uint8_t>(fileBackground->blue),
                                  static_cast<std::uint8_t>(fileBackground->green),
                                  static_cast<std::uint8_t>(fileBackground->red), 0});
    } else {
        png_color_16 grey = {0, 192, 192, 192, GreyBackground(bitDepth)};
        png_set_background(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    if (bitDepth == 16)
        png_set_strip_16(png);

    const int depth = pixelDepth == 16 ? 8 : pixelDepth <= 16 ? pixelDepth : 24;
    if (width > INT_MAX || height > INT_MAX || !Create(int(width), int(height), depth, CXIMAGE_FORMAT_PNG))
        return false;

    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xRes, &yRes, &unit)) {
        if (unit == PNG_RESOLUTION_METER) {
            SetXDPI(DpiValue(std::floor(xRes * 0.0254 + 0.5)));
            SetYDPI(DpiValue(std::floor(yRes * 0.0254 + 0.5)));
        } else {
            SetXDPI(DpiValue(xRes));
            SetYDPI(DpiValue(yRes));
        }
    }

    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) && palette) {
        for (int i = 0; i < paletteSize; ++i)
            SetPaletteColor(i, palette[i].red, palette[i].green, palette[i].blue);
    } else if (bitDepth == 2 && colourType == PNG_COLOR_TYPE_GRAY) {
        for (int i = 0; i < 4; ++i)
            SetPaletteColor(i, static_cast<std::uint8_t>(85 * i), static_cast<std::uint8_t>(85 * i),
                            static_cast<std::uint8_t>(85 * i));
    } else {
        SetGrayPalette();
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    // Grey and colour pictures have their tRNS colour composited already.
    if (colourType == PNG_COLOR_TYPE_PALETTE && png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) && alpha &&
        alphaCount > 0) {
        RGBQUAD* entries = GetPalette();
        const int n = GetNumColors();
        for (int i = 0; i < std::min(n, alphaCount); ++i)
            entries[i].rgbReserved = alpha[i];
        if (alphaCount == 1 && alpha[0] == 0) {
            SetTransIndex(0);
        } else {
            AlphaPaletteEnable(true);
            for (int i = alphaCount; i < n; ++i)
                entries[i].rgbReserved = 255;
        }
    }

    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA && pixelDepth == 32)
        png_set_gray_to_rgb(png);
    if (colourType & PNG_COLOR_MASK_ALPHA)
        png_set_strip_alpha(png);
    if (colourType & PNG_COLOR_MASK_COLOR)
        png_set_bgr(png);
    if (GetEscape())
        return false;

    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int outBits = png_get_bit_depth(png, info) * png_get_channels(png, info);
    if (outBits != (bitDepth == 2 && depth == 4 ? 2 : depth))
        png_error(png, "Unexpected PNG pixel layout");

    const std::size_t stride = GetEffWidth();
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    reading.row.assign(std::max({rowBytes, std::size_t((pixelDepth + 7) / 8) * width + 10, stride}), 0);
    png_bytep row = reading.row.data();
    const bool widen = outBits == 2;
    for (int pass = 0; pass < passes; ++pass) {
        const bool last = pass == passes - 1;
        for (png_uint_32 y = 0; y < height; ++y) {
            if (GetEscape())
                return false;
            std::uint8_t* bits = GetBits(int(height - 1 - y));
            // Later passes add their pixels to what the earlier ones left.
            if (pass > 0)
                std::memcpy(row, bits, stride);
            png_read_row(png, row, nullptr);
            if (widen && last)
                WidenTwoBitRow(row, bits, int(width));
            else
                std::memcpy(bits, row, stride);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

bool CxImagePNG::Decode(CxStream& stream)
{
    Reading reading(stream);
    reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, reading.message, PngError, PngWarning);
    if (!reading.png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    reading.info = png_create_info_struct(reading.png);
    if (!reading.info) {
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    if (ReadPicture(reading))
        return true;
    // A refused size keeps Create's own reason.
    if (reading.message[0] != '\0')
        SetLastError(reading.message);
    Destroy();
    return false;
}
