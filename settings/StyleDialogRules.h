#pragma once

#include "layers/DrawStyle.h"
#include "platform/Rect.h"
#include "shell/ControlDrawing.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CDC;
class CFont;

// ------------------------------------------------------------ millimetres

// Line widths, outline widths and label offsets are stored in thousandths
// of an inch and edited in millimetres with one decimal, 0.0 to 10.0.
constexpr double kMaxMillimetres = 10.0;
// Edits of millimetres take at most this many characters.
constexpr int kMillimetreLength = 5;

// Rounds once: 2.54 mm is 100, 0.3 mm is 12.
int MillimetresToThousandths(double millimetres);
// "%1.1f" of the millimetres: 12 shows "0.3", 100 "2.5".
std::string FormatMillimetres(int thousandths);
// A width: as FormatMillimetres, but "0" for none.
std::string FormatWidth(int thousandths);
// What an edit's text means: its leading number (a decimal comma read as
// a point; none is 0) held within 0.0 and 10.0, so a typed "-0.3" is 0.0
// and "12" is 10.0.
double ReadMillimetres(std::string_view text);
// The thousandths the text stands for.
int ReadThousandths(std::string_view text);
// What an edit shows once left: a number outside 0.0..10.0 as the one
// kept, any other text as typed.
std::string LeftMillimetres(std::string_view text);
// One spin: the text read in hundredths of a millimetre (rounded), moved
// by 0.1 mm a step (up counts positive), held within 0.0 and 10.0 and
// written as "%1.1f".
std::string StepMillimetres(std::string_view text, int steps);

// ------------------------------------------------------------ line types

// The line painter's codes in the order of the line type combos; 5 is no
// line.
constexpr std::array<int, 15> kLineTypeCodes = {5, 0, 1, 2, 3, 4, 9, 10, 11, 15, 16, 12, 13, 14, 17};
constexpr int kNoLineCode = 5;
// The first entry of the code; -1 when none has it.
int FindLineType(int code);
// The colour a combo entry draws its line in: red for the codes that draw
// in colour only (10, 11, 15, 16), black for the others.
COLORREF LineTypeSampleColor(int code);

// ------------------------------------------------------------ fill patterns

struct CFillPattern {
    int32_t brushStyle; // 0 solid, 1 hollow, 2 hatch, 3 the program's pattern
    int32_t hatch;      // the hatch or the pattern number
};
// Hollow ("<Nėra>"), solid, the six hatches, then the 43 patterns.
extern const std::array<CFillPattern, 51> kFillPatterns;
constexpr int32_t kSolidBrush = 0;
constexpr int32_t kHollowBrush = 1;
constexpr int32_t kHatchBrush = 2;
constexpr int32_t kPatternBrush = 3;
// The entry with the style and the hatch; -1 when none has both.
int FindFillPattern(int32_t brushStyle, int32_t hatch);

// ------------------------------------------------------------ combo entries

// One entry of a line type combo: the highlight behind a selected entry,
// "<Nėra>" for no line, else the code's line across the middle (one pixel
// in from each side, width 1, no background), inverted when selected.
void DrawLineTypeEntry(CDC& dc, const CRect& rect, int code, bool selected, const ControlColors& colours,
                       const CFont& font);
// One entry of a fill pattern combo: two frames (the highlight when
// selected), then a black-framed box in the entry's brush: a pattern white
// on black, a hatch or solid black on white, the hollow one with "<Nėra>".
void DrawFillPatternEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                          const CFont& font);

// ------------------------------------------------------------ line dialog

// What the line style dialog edits: the two pens of a style and whether
// the second one is drawn. The second pen stays while the style is not a
// double line, so the check can be set again.
struct CLineStyleValues {
    CDrawStyle::Line first;
    CDrawStyle::Line second;
    bool doubleLine = false;

    // The pens of a line part.
    static CLineStyleValues Split(const CDrawStyle& style);
    // The line part of the values, the rest of the style kept.
    CDrawStyle ComposedOver(CDrawStyle style) const;
};

// ------------------------------------------------------------ area dialog

// What the area style dialog may change of a style.
struct CAreaFillEnabling {
    bool brushColor;   // not for a hollow fill
    bool noBackground; // "Fonas nepiešiamas": hatches and patterns
    bool backColor;    // hatches and patterns drawn with their background
};

class CAreaStyleRules {
public:
    // An area outline is one line; a background mode other than opaque is
    // transparent.
    static CDrawStyle Prepared(CDrawStyle style);
    static CAreaFillEnabling Enabling(const CDrawStyle& style);
    // The fill of a pattern combo entry.
    static void SetPattern(CDrawStyle& style, int index);
    static void SetNoBackground(CDrawStyle& style, bool none);
};
