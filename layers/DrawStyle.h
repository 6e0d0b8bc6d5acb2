#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <type_traits>

// The 32-byte style of lines, area outlines and fills, laid out as the map
// file stores it. A double line carries bit kDoubleLine in the pen style:
// its second pen style is in bits 16..23 and bits 24..31 (less that bit),
// its width in the high half of penWidth, its colour in backColor.
struct CDrawStyle {
    static constexpr uint32_t kDoubleLine = 0x10000000;
    static constexpr COLORREF kNone = 0xFFFFFF;

    uint32_t penStyle = 0;  // style code in the low 16 bits
    uint32_t penWidth = 0;  // thousandths of an inch in the low 16 bits
    COLORREF penColor = 0;
    COLORREF backColor = kNone; // background of styled pens
    int32_t brushStyle = 0;     // 0 solid, 1 hollow
    COLORREF brushColor = kNone;
    int32_t hatch = 0;
    int32_t backMode = TRANSPARENT;

    // Defaults of new line and area layers, with the next default colour.
    static CDrawStyle DefaultLine();
    static CDrawStyle DefaultArea();
    // What the style dialogs reset to, and the look of a lone shape drawn without a layer.
    static CDrawStyle ResetLine();
    static CDrawStyle ResetArea();
    static CDrawStyle LoneLine();
    static CDrawStyle LoneArea();
    // Pen and brush of label frames and letter outlines.
    static CDrawStyle DefaultLabelFrame();

    // One pen of a line style, as the line style dialog shows it.
    struct Line {
        uint32_t style = 0;
        uint32_t width = 0;
        COLORREF color = 0;
        friend bool operator==(const Line&, const Line&) = default;
    };
    // The first pen, and the second one of a double line (left as it was
    // otherwise); true for a double line.
    bool SplitLines(Line& first, Line& second) const;
    // The pen fields rebuilt from the pens: the first alone with no
    // background, or a double line. The second style takes bits 16..23 for
    // its low byte and 24..31 for the next (bit 28 being the mark), so a
    // code above 0xFFF does not come back whole.
    void ComposeLines(const Line& first, const Line& second, bool doubleLine);
    bool IsDoubleLine() const { return (penStyle & kDoubleLine) != 0; }
    // The pens the line painter takes: the first with the record's
    // background, and the second of a double line, without one.
    CDrawStyle FirstPen() const;
    CDrawStyle SecondPen() const;

    friend bool operator==(const CDrawStyle&, const CDrawStyle&) = default;
};
static_assert(sizeof(CDrawStyle) == 32 && std::is_trivially_copyable_v<CDrawStyle>);

// A default line colour: the colour cycle is drawn again while it gives white.
COLORREF NextDefaultLineColor();
