#pragma once

#include "platform/Gdi.h"

#include <array>
#include <cstdint>
#include <memory>

// A brush as a small shared value (see CPen). Hatches and 8 x 8 patterns
// repeat every 8 device pixels from the DC's brush origin. A hatch paints
// its lines in the brush colour and its gaps in the background colour when
// the background mode is OPAQUE. A pattern's bits take their colours when
// drawn: 0 bits the text colour, 1 bits the background colour.
class CBrush {
public:
    using Pattern = std::array<std::uint8_t, 8>; // rows top first, leftmost pixel in the high bit

    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }

    bool CreateSolidBrush(COLORREF colour);
    // False, and no brush, for a hatch outside HS_HORIZONTAL .. HS_DIAGCROSS.
    bool CreateHatchBrush(int hatch, COLORREF colour);
    bool CreatePatternBrush(const Pattern& rows);
    // Solid, null and hatched brushes; false for the other styles.
    bool CreateBrushIndirect(const LOGBRUSH& brush);
    static CBrush FromStock(int stockObject);
    void DeleteObject() { m_data.reset(); }

    const void* GetSafeHandle() const { return m_data.get(); }
    bool operator==(const CBrush& other) const { return m_data == other.m_data; }

    std::uint32_t GetStyle() const { return m_data ? m_data->style : BS_NULL; }
    COLORREF GetColor() const { return m_data ? m_data->colour : 0; }
    int GetHatch() const { return m_data ? m_data->hatch : 0; }
    // The 8 x 8 bits of a hatch (1 = line) or pattern.
    const Pattern& GetBits() const;
    static const Pattern& HatchBits(int hatch);

private:
    struct Data {
        std::uint32_t style = BS_SOLID;
        COLORREF colour = 0;
        int hatch = 0;
        Pattern bits{};
    };
    std::shared_ptr<const Data> m_data;
};
