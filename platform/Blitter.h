#pragma once

#include "platform/Rect.h"

#include <cstdint>
#include <functional>

// The pixels a blit reads: a picture whose row 0 is its top row.
class IBlitSource {
public:
    virtual ~IBlitSource() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels x0 .. x1 - 1 of row y as 0xRRGGBB; the range lies inside the picture.
    virtual void ReadRow(int y, int x0, int x1, std::uint32_t* colours) const = 0;
    // Their palette indexes; false for pictures without a palette.
    virtual bool ReadIndexes(int y, int x0, int x1, std::uint8_t* indexes) const { return false; }
};

// Which source pixels a transparent blit leaves out.
struct BlitKey {
    enum Kind { None, Colour, Index } kind = None;
    std::uint32_t value = 0; // 0xRRGGBB, or a palette index
};

// Stretches a source rectangle onto a destination rectangle and hands out
// the destination's pixels row by row. A destination pixel takes the
// source pixel under its centre (COLORONCOLOR), the area-weighted mean of
// the source pixels it covers (HALFTONE), or, when shrinking, the AND
// (BLACKONWHITE) or OR (WHITEONBLACK) of them. Transparent blits always
// take the pixel under the centre, so a keyed pixel is never mixed in.
class CBlitter {
public:
    struct Geometry {
        CRect dest;   // device pixels, normalised
        CRect source; // picture pixels, normalised; may reach beyond the picture
        bool mirrorX = false;
        bool mirrorY = false;
    };
    // Pixels x0 .. x0 + count - 1 of row y; a pixel whose mask byte is 0
    // has no source pixel (outside the picture or keyed out) and stays.
    using RowSink =
        std::function<void(int y, int x0, int count, const std::uint32_t* colours, const std::uint8_t* mask)>;

    // Produces the rows of geometry.dest that lie inside visible.
    static void Stretch(const IBlitSource& source, const Geometry& geometry, const CRect& visible, int mode,
                        const BlitKey& key, const RowSink& sink);

    // A ternary raster operation (its bits 16..23) on 0xRRGGBB values.
    static std::uint32_t Rop3(std::uint32_t rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);
    static bool UsesSource(std::uint32_t rop);
    static bool UsesPattern(std::uint32_t rop);
    static bool UsesDest(std::uint32_t rop);
};
