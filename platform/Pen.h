#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <memory>
#include <vector>

// A pen as a small shared value: copies name the same pen, a DC keeps a
// copy while it is selected, and the pen lives as long as any copy does.
// Cosmetic pens are one device pixel wide; old-style pens wider than one
// pixel and geometric pens have a width in logical units.
class CPen {
public:
    CPen() = default;
    // CreatePen: PS_SOLID .. PS_INSIDEFRAME; any other style draws solid.
    CPen(int style, int width, COLORREF colour);
    // ExtCreatePen.
    CPen(int style, int width, const LOGBRUSH& brush, int styleCount = 0, const std::uint32_t* styles = nullptr);

    bool CreatePen(int style, int width, COLORREF colour);
    // Geometric pens take a solid or null brush, caps, joins and any style
    // but PS_ALTERNATE; cosmetic ones width 1 and no cap or join bits.
    // PS_USERSTYLE needs 1 to 16 lengths that are not all zero. False, and
    // no pen, when the request is not one of these.
    bool CreatePen(int style, int width, const LOGBRUSH& brush, int styleCount = 0,
                   const std::uint32_t* styles = nullptr);
    static CPen FromStock(int stockObject);
    void DeleteObject() { m_data.reset(); }

    // Null until created.
    const void* GetSafeHandle() const { return m_data.get(); }
    bool operator==(const CPen& other) const { return m_data == other.m_data; }

    // Full style word: type, join, cap and style.
    std::uint32_t GetStyle() const { return m_data ? m_data->style : PS_SOLID; }
    int GetWidth() const { return m_data ? m_data->width : 0; }
    COLORREF GetColor() const { return m_data ? m_data->colour : 0; }
    bool IsGeometric() const { return m_data && m_data->geometric; }
    const std::vector<std::uint32_t>& GetUserStyle() const;

private:
    struct Data {
        std::uint32_t style = PS_SOLID;
        int width = 0;
        COLORREF colour = 0;
        bool geometric = false;
        std::vector<std::uint32_t> userStyle;
    };
    std::shared_ptr<const Data> m_data;
};
