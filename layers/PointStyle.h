#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// The 32-byte style of point objects, laid out as the map file stores it.
// A symbol-font face or a picture file name lives in one process-wide list
// of names that only grows; the record holds a reference into that list,
// which means nothing in a file (the name follows the record there).
struct CPointStyle {
    enum SymbolKind : int16_t { kLibrary = 0, kFontCharacter = 1, kPicture = 2 };
    enum Options : uint32_t {
        kScalesWithMap = 0x01,
        kBold = 0x02,
        kShadow = 0x04,
        kWhiteHalo = 0x08,
        kBlackHalo = 0x10,
        kTransparentColour = 0x20, // pictures: the colour field is their transparent colour
    };
    static constexpr int kDrawnShapes = 24; // library symbols 0..23 are drawn shapes

    uint16_t symbol = 0;       // library symbol number, or the character code of a font symbol
    int16_t kind = kLibrary;   // SymbolKind
    uint32_t nameRef = 0;      // the font face or picture name in the name list; 0 = none
    int32_t size = 0;          // font symbols: tenths of a point; metafile pictures: 10000 = 100 %
    int32_t angle = 0;         // tenths of a degree
    COLORREF color = 0;
    uint32_t options = 0;      // Options
    int32_t referenceScale = 0; // of kScalesWithMap
    int16_t anchorX = 0;       // pictures: the picture pixel placed on the point
    int16_t anchorY = 0;

    // The font face or picture name; empty when none.
    std::string GetName() const;
    // Looks the name up ignoring case and adds it when new; a picture name
    // under the program folder is kept relative to it.
    void SetName(std::string_view name);
    bool HasName() const { return kind == kFontCharacter || kind == kPicture; }

    // All zero but a drawn shape taken at random.
    static CPointStyle Default();
};
static_assert(sizeof(CPointStyle) == 32 && std::is_trivially_copyable_v<CPointStyle>);
