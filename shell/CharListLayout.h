#pragma once

#include "platform/Gdi.h"

#include <string_view>

class CDC;
class CFont;

// The character list of a symbol font: the codes 32 to 255 as a grid of
// glyphs drawn in a font 20 units high.
constexpr int kCharListFirstCode = 32;
constexpr int kCharListLastCode = 255;
constexpr int kCharListFontHeight = 20;

// The list's font: 20 high, the default character set, the face cut to
// the 31 characters a LOGFONT holds.
LOGFONT CharListFont(std::string_view face);

struct CharListCell {
    int itemHeight = 0;
    int columnWidth = 0;
};
// An item is the text height and 4 high; a column the widest character
// and 4 wide, but no wider than 5/4 of an item's height.
CharListCell CharListCellSize(int textHeight, int widestCharacter);
// The cell of the font as it measures on the context.
CharListCell MeasureCharListCell(CDC& dc, const CFont& font);
