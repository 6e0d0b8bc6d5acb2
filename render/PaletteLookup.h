#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <unordered_map>

// The palette index of each colour when a picture is reduced to a palette:
// the colour looked up last, then the colours met so far, then the nearest
// entry. Colours are 0xRRGGBB.
class CPaletteLookup {
public:
    // The first 'count' entries are searched; a colour that stands twice
    // in the palette keeps its first index. The colour looked up last
    // starts as entry 0.
    CPaletteLookup(const RGBQUAD* palette, unsigned count);

    std::uint8_t IndexOf(std::uint32_t colour);

    // How each look-up was answered.
    struct Counts {
        std::uint64_t lastColour = 0;
        std::uint64_t known = 0;
        std::uint64_t searched = 0;
    };
    const Counts& GetCounts() const { return m_counts; }

private:
    const RGBQUAD* m_palette;
    unsigned m_count;
    std::uint32_t m_lastColour;
    std::uint8_t m_lastIndex = 0;
    std::unordered_map<std::uint32_t, std::uint8_t> m_known;
    Counts m_counts;
};

// The entry of palette[0 .. count - 1] nearest to the colour by squared
// distance of red, green and blue; the lowest index wins ties.
std::uint8_t NearestPaletteIndex(const RGBQUAD* palette, unsigned count, std::uint8_t red, std::uint8_t green,
                                 std::uint8_t blue);
