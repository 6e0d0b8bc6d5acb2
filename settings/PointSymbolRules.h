#pragma once

#include "layers/PointStyle.h"
#include "platform/Rect.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CDC;
class CSymbolLibrary;
struct ControlColors;

// ------------------------------------------------------------ the sheet

// A style's symbol before one is chosen: the sheet shows nothing for it.
constexpr uint16_t kNoSymbol = 0xFFFF;

// The sheet's pages in their order, and the one a style starts on.
enum SymbolPage { kIconPage = 0, kFontPage = 1, kPicturePage = 2 };
SymbolPage StartPageFor(const CPointStyle& style);

// String 107 "Ženklo numeris: %d" of the symbol (a font character's code).
std::string SymbolNumberText(int symbol);

// The pages' styles before the sheet seeds them: a font character of
// "Symbol" at 16 points; a picture at 100 %; neither with a symbol.
CPointStyle DefaultFontStyle();
CPointStyle DefaultPictureStyle();

// ------------------------------------------------------------ the library list

// The list box's item data: the library's symbol numbers in its order
// (icon files as 0x8000 + their number).
std::vector<int> LibrarySymbols(CSymbolLibrary& library);
// The item of the symbol; -1 when none has it.
int FindSymbolItem(const std::vector<int>& items, int symbol);
// The symbol number of an item; -1 with no item (or one past the list).
int SymbolOfItem(const std::vector<int>& items, int item);

// Items are squares of this side, in columns.
constexpr int kSymbolItemSize = 36;
// One item: the window colour, the symbol at the centre, a two-pixel frame
// in the selection colour when selected, the focus frame when focused.
void DrawSymbolListItem(CDC& dc, const CRect& rect, int symbol, bool selected, bool focused,
                        const ControlColors& colours, CSymbolLibrary& library);

// ------------------------------------------------------------ the font page

// The faces offered: scalable ones only, each once whatever its case, in
// the order given. Each face comes with whether it is scalable.
std::vector<std::string> SymbolFaces(const std::vector<std::pair<std::string, bool>>& faces);
// The entry of the face, compared ignoring case; -1 when none.
int FindFace(const std::vector<std::string>& faces, std::string_view face);

// The size combo's entries, in points.
constexpr std::array<int, 16> kFontSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The size (tenths of a point) as shown: whole points.
std::string FontSizeText(int32_t size);
// The entry of the size; -1 when the list has none of it.
int FindFontSize(int32_t size);
// A typed size or angle: its leading number times 10; false (and nothing
// written) when the text starts with no number.
bool ReadTenths(std::string_view text, int32_t& value);

// The outline radios and what they store of flags 0x08 (white) and 0x10 (black).
enum OutlineRadio { kOutlineNone = 1003, kOutlineWhite = 1004, kOutlineBlack = 1005 };
OutlineRadio OutlineRadioFor(const CPointStyle& style);
void SetOutline(CPointStyle& style, OutlineRadio radio);
// Flag 0x01 on or off.
void SetScalesWithMap(CPointStyle& style, bool on);

// What the base scale edit shows: the stored base scale of a symbol that
// follows the map's scale, else the proposed one (SetSymbolBaseScale).
int ShownBaseScale(const CPointStyle& style);

// ------------------------------------------------------------ the picture page

// Raster pictures may have a transparent colour; sizes are set for
// metafiles only.
bool TakesTransparentColour(int pictureKind);
bool TakesSize(int pictureType);

// A file chosen: its name, symbol 0 and the anchor at the picture's centre.
void SetPictureFile(CPointStyle& style, std::string_view path, CSize picture);
void CentreAnchor(CPointStyle& style, CSize picture);
// A typed anchor coordinate, held within 0 and the picture's side.
int16_t HeldAnchor(int value, int side);

// What the page shows for the style and its loaded picture. Refreshing
// also clears flag 0x20 for a picture without a transparent colour.
struct CPicturePageState {
    bool anchor = false;               // edits, spins, centre and the anchor pick
    int anchorWidth = 0;               // the spins' ranges
    int anchorHeight = 0;
    bool transparency = false;         // its check, button, sample and pick shown
    bool transparentPick = false;      // the colour pick enabled
    bool transparentColourShown = false; // the sample shows the colour
    bool size = false;                 // the size and base scale controls shown
    bool baseScale = false;            // its edit enabled
};
CPicturePageState RefreshPicturePage(CPointStyle& style, bool loaded, int pictureKind, int pictureType,
                                     CSize picture);

// The size (hundredths of a percent) as the edit shows it, "%.2f" percent.
std::string PercentText(int32_t size);
// A typed percentage times 100; false (nothing written) for no number
// or a negative one.
bool ReadPercent(std::string_view text, int32_t& size);
// One spin of the shown percentage by 10 a step (up positive); false, and
// nothing written, when that would go below 0.
bool StepPercent(std::string_view shown, int steps, int32_t& size);

// The picture control's pick mode after one of the two pick buttons was
// pressed or released: pressing one releases the other.
enum PickButton { kNoPickButton = 0, kTransparentPickButton = 133, kAnchorPickButton = 134 };
int PickModeAfter(int mode, PickButton button, bool pressed);
// Flag 0x20; clearing it ends a colour pick.
void SetTransparentColour(CPointStyle& style, bool on, int& pickMode);
