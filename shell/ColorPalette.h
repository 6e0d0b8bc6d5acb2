#pragma once

#include "platform/Font.h"
#include "platform/Gdi.h"
#include "platform/Rect.h"
#include "shell/ControlDrawing.h"

#include <string>

class CDC;

// The colour palette that drops down from a colour button: 144 colours in
// 16 columns of 16-pixel boxes, an optional default entry above them and
// an optional custom entry (the colour dialog) below. The rules without
// the window: where each entry lies, which entry a colour marks, the
// keyboard moves and the drawing.

constexpr int kPaletteColorCount = 144;
constexpr int kPaletteColumns = 16;
constexpr int kPaletteRows = (kPaletteColorCount + kPaletteColumns - 1) / kPaletteColumns;
constexpr int kPaletteBoxSize = 16;
// The colour value "default": drawn in the button's default colour.
constexpr COLORREF kDefaultColorValue = 0xFF000000;

// Row by row; entries 1 to 15 and 17 to 47 are the default layer colours.
extern const COLORREF kPaletteColors[kPaletteColorCount];
// The first entry holding the colour; -1 when none does.
int FindPaletteColor(COLORREF colour);

class CColorPalette {
public:
    // Entries: 0..143 the palette boxes, and these.
    enum : int { kNoEntry = -1, kCustomEntry = -2, kDefaultEntry = -3 };

    // Empty texts leave their entries out. The margin is the system's edge
    // width; the font draws and measures the texts.
    CColorPalette(COLORREF initial, std::string defaultText, std::string customText, int margin = 2,
                  const CFont& font = CFont());

    bool HasDefaultEntry() const { return !m_defaultText.empty(); }
    bool HasCustomEntry() const { return !m_customText.empty(); }
    COLORREF GetInitialColor() const { return m_initial; }

    // Layout, in the popup's client pixels.
    CSize GetWindowSize() const { return m_windowSize; }
    CRect GetEntryRect(int entry) const;
    // kNoEntry off the entries (the margins, the separator).
    int EntryAt(CPoint point) const;

    // The entry the initial colour marks: the default entry for
    // kDefaultColorValue when there is one, else its first palette box,
    // else the custom entry, else none.
    int GetInitialEntry() const { return m_initialEntry; }
    // What choosing the entry gives: a box its colour, the custom entry the
    // initial colour, the default entry kDefaultColorValue.
    COLORREF GetEntryColor(int entry) const;

    // Keyboard moves, wrapping around at both ends. Left and Right step
    // through the order default entry, boxes row by row, custom entry; Up
    // and Down go a row up or down in the same column, the default entry
    // being a row above the palette and the custom entry one below it
    // (coming back from them lands in the first column). From no entry
    // the first step goes to the first or the last entry.
    int MoveHorizontal(int entry, int step) const;
    int MoveVertical(int entry, int step) const;

    // The whole popup, current being the entry under the mouse.
    void Draw(CDC& dc, int current, const ControlColors& colours) const;
    void DrawEntry(CDC& dc, int entry, int current, const ControlColors& colours) const;

private:
    bool IsEntry(int entry) const;
    // Entries in the order of the Left and Right keys.
    int OrderOf(int entry) const;
    int EntryOfOrder(int order) const;
    int OrderCount() const;

    COLORREF m_initial;
    std::string m_defaultText;
    std::string m_customText;
    int m_margin;
    CFont m_font;
    CSize m_windowSize;
    CRect m_defaultRect;
    CRect m_customRect;
    CPoint m_boxOrigin;
    int m_initialEntry = kNoEntry;
};

// The inside of a colour button (within its frame): the colour framed in
// grey, an etched edge, and a small arrow at the right; a disabled button
// shows no colour and a grey arrow. kDefaultColorValue shows the default
// colour.
void DrawColorButtonFace(CDC& dc, const CRect& content, COLORREF colour, COLORREF defaultColour, bool enabled,
                         const ControlColors& colours);

// Where a popup of the size goes below the button (screen rectangles):
// at its lower-left corner, moved left or right to stay on the screen,
// and above the button when it would pass the bottom.
CPoint PlacePopupBelow(const CRect& button, CSize size, const CRect& screen);
