#pragma once

#include "platform/ByteOrder.h"
#include "platform/Stream.h"
#include "render/ImageStream.h"

#include <tiffio.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// TIFF files written by libtiff itself at test time, and by hand where a
// file must say what libtiff would never write.

struct TiffPage {
    int width = 4;
    int height = 3;
    int samples = 1;
    int bits = 8;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int compression = COMPRESSION_NONE;
    int planar = PLANARCONFIG_CONTIG;
    int rowsPerStrip = 0; // 0: the library's choice
    int tileWidth = 0;    // tiled when non-zero
    int tileLength = 0;
    int orientation = 0; // 0: no tag
    float xResolution = 0, yResolution = 0;
    // ColorMap, 2^bits entries a channel.
    std::vector<std::uint16_t> red, green, blue;
    // Sample s of pixel (x, y), y = 0 the top row.
    std::function<unsigned(int x, int y, int s)> sample;
};

namespace tiff_fixture_detail {

// Samples from pixel 'left' on, 'count' pixels of 'samples' samples each,
// packed as libtiff takes them: 16 and 32 bits in the machine's order,
// other depths most significant bit first.
inline std::vector<std::uint8_t> Pack(const TiffPage& p, int y, int left, int count, int firstSample, int samples)
{
    const std::size_t bits = std::size_t(count) * samples * p.bits;
    std::vector<std::uint8_t> out((bits + 7) / 8, 0);
    std::size_t at = 0;
    for (int x = left; x < left + count; ++x)
        for (int s = firstSample; s < firstSample + samples; ++s) {
            const unsigned v = x < p.width && y < p.height ? p.sample(x, y, s) : 0;
            if (p.bits == 16) {
                const auto w = static_cast<std::uint16_t>(v);
                std::memcpy(&out[at / 8], &w, 2);
            } else if (p.bits == 32) {
                const auto w = static_cast<std::uint32_t>(v);
                std::memcpy(&out[at / 8], &w, 4);
            } else {
                for (int b = p.bits - 1; b >= 0; --b, ++at)
                    if ((v >> b) & 1)
                        out[at / 8] |= static_cast<std::uint8_t>(0x80 >> (at % 8));
                continue;
            }
            at += static_cast<std::size_t>(p.bits);
        }
    return out;
}

inline bool WritePage(TIFF* tif, const TiffPage& p)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
    int colours = 1;
    if (p.photometric == PHOTOMETRIC_RGB || p.photometric == PHOTOMETRIC_CIELAB)
        colours = 3;
    else if (p.photometric == PHOTOMETRIC_SEPARATED)
        colours = 4;
    if (p.samples > colours) {
        const std::vector<std::uint16_t> extras(std::size_t(p.samples - colours), EXTRASAMPLE_UNASSALPHA);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, p.samples - colours, extras.data());
    }
    if (p.orientation)
        TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
    if (p.xResolution > 0) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, p.xResolution);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, p.yResolution);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    if (!p.red.empty())
        TIFFSetField(tif, TIFFTAG_COLORMAP, p.red.data(), p.green.data(), p.blue.data());
    const int planes = p.planar == PLANARCONFIG_SEPARATE ? p.samples : 1;
    const int perPlane = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samples;
    if (p.tileWidth) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, p.tileWidth);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, p.tileLength);
        for (int plane = 0; plane < planes; ++plane)
            for (int top = 0; top < p.height; top += p.tileLength)
                for (int left = 0; left < p.width; left += p.tileWidth) {
                    std::vector<std::uint8_t> tile;
                    for (int r = 0; r < p.tileLength; ++r) {
                        const std::vector<std::uint8_t> row =
                            Pack(p, top + r, left, p.tileWidth, plane, perPlane);
                        tile.insert(tile.end(), row.begin(), row.end());
                    }
                    if (TIFFWriteTile(tif, tile.data(), std::uint32_t(left), std::uint32_t(top), 0,
                                      std::uint16_t(plane)) < 0)
                        return false;
                }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                     p.rowsPerStrip ? std::uint32_t(p.rowsPerStrip) : TIFFDefaultStripSize(tif, 0));
        for (int plane = 0; plane < planes; ++plane)
            for (int y = 0; y < p.height; ++y) {
                std::vector<std::uint8_t> row = Pack(p, y, 0, p.width, plane, perPlane);
                if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), std::uint16_t(plane)) < 0)
                    return false;
            }
    }
    return TIFFWriteDirectory(tif) != 0;
}

} // namespace tiff_fixture_detail

// The pages as one file, little-endian unless asked; empty when libtiff
// refused a page.
inline std::string WriteTiff(const std::vector<TiffPage>& pages, bool bigEndian = false)
{
    CMemoryStream memory;
    CxPlatformStream stream(memory);
    TIFF* tif = OpenTiffOnStream(&stream, bigEndian ? "wb" : "wl");
    if (!tif)
        return std::string();
    bool written = true;
    for (const TiffPage& page : pages)
        written = written && tiff_fixture_detail::WritePage(tif, page);
    TIFFClose(tif);
    if (!written)
        return std::string();
    const auto& bytes = memory.Data();
    return std::string(bytes.begin(), bytes.end());
}

// A little-endian TIFF of one directory right after the header, every
// value a LONG held in its entry, then 'data'. A strip or tile offset,
// when listed, is set to where the data begins.
inline std::string HandMadeTiff(std::vector<std::pair<std::uint16_t, std::uint32_t>> tags, const std::string& data)
{
    const std::uint32_t dataOffset = 8 + 2 + 12 * std::uint32_t(tags.size()) + 4;
    std::string out("II*\0\x08\0\0\0", 8);
    unsigned char b[12];
    PutLittleEndian<std::uint16_t>(b, static_cast<std::uint16_t>(tags.size()));
    out.append(reinterpret_cast<char*>(b), 2);
    for (const auto& [tag, value] : tags) {
        PutLittleEndian<std::uint16_t>(b, tag);
        PutLittleEndian<std::uint16_t>(b + 2, 4); // LONG
        PutLittleEndian<std::uint32_t>(b + 4, 1);
        PutLittleEndian<std::uint32_t>(b + 8, tag == TIFFTAG_STRIPOFFSETS || tag == TIFFTAG_TILEOFFSETS ? dataOffset : value);
        out.append(reinterpret_cast<char*>(b), 12);
    }
    out.append(4, '\0');
    return out + data;
}
