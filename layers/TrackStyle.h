#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <type_traits>

// The 32-byte style of GPS tracks: a symbol at each fix and an optional line.
struct CTrackStyle {
    int32_t symbol = 0;
    int32_t lineShown = 1;
    int32_t penStyle = 0;
    int32_t penWidth = 0;
    COLORREF penColor = 0;
    COLORREF backColor = 0xFFFFFF; // none
    int32_t spare[2] = {};

    // A drawn shape at random, a line 4 wide in the next default line colour.
    static CTrackStyle Default();
    // What the style dialog resets to.
    static CTrackStyle Reset() { return CTrackStyle(); }
};
static_assert(sizeof(CTrackStyle) == 32 && std::is_trivially_copyable_v<CTrackStyle>);
