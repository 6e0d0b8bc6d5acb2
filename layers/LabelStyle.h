#pragma once

#include "platform/Gdi.h"

#include <string>
#include <type_traits>

// The 64-byte label style: text colour and font, laid out as the map file stores it.
struct CLabelStyle {
    COLORREF color = 0;
    LOGFONT font;

    // Colour 0, "Arial" 8 high, Baltic characters.
    static CLabelStyle Default();
    // The face name, read no further than its 32 bytes.
    std::string GetFaceName() const;
    void SetFaceName(const std::string& face);
};
static_assert(sizeof(CLabelStyle) == 64 && std::is_trivially_copyable_v<CLabelStyle>);
