#include "render/PaletteLookup.h"

namespace {

std::uint32_t ColourOf(const RGBQUAD& entry)
{
    return (std::uint32_t(entry.rgbRed) << 16) | (std::uint32_t(entry.rgbGreen) << 8) | entry.rgbBlue;
}

} // namespace

std::uint8_t NearestPaletteIndex(const RGBQUAD* palette, unsigned count, std::uint8_t red, std::uint8_t green,
                                 std::uint8_t blue)
{
    int best = 200000;
    unsigned found = 0;
    for (unsigned i = 0; i < count; ++i) {
        const int dr = palette[i].rgbRed - red;
        const int dg = palette[i].rgbGreen - green;
        const int db = palette[i].rgbBlue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
            best = distance;
            found = i;
            if (distance == 0)
                break;
        }
    }
    return static_cast<std::uint8_t>(found);
}

CPaletteLookup::CPaletteLookup(const RGBQUAD* palette, unsigned count)
    : m_palette(palette), m_count(count > 256 ? 256 : count), m_lastColour(count > 0 ? ColourOf(palette[0]) : 0)
{
    for (unsigned i = 0; i < m_count; ++i)
        m_known.emplace(ColourOf(palette[i]), static_cast<std::uint8_t>(i));
}

std::uint8_t CPaletteLookup::IndexOf(std::uint32_t colour)
{
    colour &= 0xFFFFFF;
    if (colour == m_lastColour) {
        ++m_counts.lastColour;
        return m_lastIndex;
    }
    m_lastColour = colour;
    const auto known = m_known.find(colour);
    if (known != m_known.end()) {
        ++m_counts.known;
        m_lastIndex = known->second;
        return m_lastIndex;
    }
    ++m_counts.searched;
    m_lastIndex = NearestPaletteIndex(m_palette, m_count, static_cast<std::uint8_t>(colour >> 16),
                                      static_cast<std::uint8_t>(colour >> 8), static_cast<std::uint8_t>(colour));
    m_known.emplace(colour, m_lastIndex);
    return m_lastIndex;
}
