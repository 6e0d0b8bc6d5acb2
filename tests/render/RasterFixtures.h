#pragma once

#include "platform/Gdi.h"
#include "platform/Path.h"
#include "render/ImageStream.h"

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Pictures for the georeferenced rasters, written straight through libtiff
// a row at a time, so that a few thousand rows a side are made quickly.

struct RasterTiff {
    int width = 0;
    int height = 0;
    int rowsPerStrip = 16;
    int tileSide = 0; // tiled, tiles of this side, when non-zero
    int orientation = ORIENTATION_TOPLEFT;
    int compression = COMPRESSION_NONE;
    // The colour of pixel (x, y), y = 0 the top row of the picture.
    std::function<COLORREF(int x, int y)> colour;
};

// Writes the picture as an 8-bit RGB TIFF; false when libtiff refused it.
inline bool WriteRasterTiff(const std::string& path, const RasterTiff& p)
{
    CxStdioStream stream;
    if (!stream.Open(path, "wb"))
        return false;
    TIFF* tif = OpenTiffOnStream(&stream, "wl");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(p.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(p.height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
    const bool bottomUp = p.orientation == ORIENTATION_BOTLEFT || p.orientation == ORIENTATION_BOTRIGHT;
    // Stored row s holds picture row y.
    const auto pictureRow = [&](int stored) { return bottomUp ? p.height - 1 - stored : stored; };
    bool written = true;
    if (p.tileSide) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, std::uint32_t(p.tileSide));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, std::uint32_t(p.tileSide));
        std::vector<std::uint8_t> tile(std::size_t(p.tileSide) * p.tileSide * 3);
        for (int top = 0; written && top < p.height; top += p.tileSide)
            for (int left = 0; written && left < p.width; left += p.tileSide) {
                std::uint8_t* out = tile.data();
                for (int r = 0; r < p.tileSide; ++r)
                    for (int c = 0; c < p.tileSide; ++c, out += 3) {
                        const bool inside = top + r < p.height && left + c < p.width;
                        const COLORREF v = inside ? p.colour(left + c, pictureRow(top + r)) : 0;
                        out[0] = GetRValue(v);
                        out[1] = GetGValue(v);
                        out[2] = GetBValue(v);
                    }
                written = TIFFWriteTile(tif, tile.data(), std::uint32_t(left), std::uint32_t(top), 0, 0) >= 0;
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(p.rowsPerStrip));
        std::vector<std::uint8_t> row(std::size_t(p.width) * 3);
        for (int s = 0; written && s < p.height; ++s) {
            for (int x = 0; x < p.width; ++x) {
                const COLORREF v = p.colour(x, pictureRow(s));
                row[3 * x] = GetRValue(v);
                row[3 * x + 1] = GetGValue(v);
                row[3 * x + 2] = GetBValue(v);
            }
            written = TIFFWriteScanline(tif, row.data(), std::uint32_t(s), 0) >= 0;
        }
    }
    written = written && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return written;
}
