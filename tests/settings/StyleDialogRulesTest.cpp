#include "settings/StyleDialogRules.h"

#include "platform/DC.h"
#include "shell/DialogFont.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(StyleDialogRules, MillimetresRoundOnceToThousandthsOfAnInch)
{
    const struct {
        double millimetres;
        int thousandths;
        const char* shown;
    } cases[] = {
        {2.54, 100, "2.5"}, // rounded twice this would be 101
        {0.3, 12, "0.3"},  {0.0, 0, "0.0"},    {0.1, 4, "0.1"},
        {1.0, 39, "1.0"},  {10.0, 394, "10.0"}, {0.01, 0, "0.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MillimetresToThousandths(c.millimetres), c.thousandths) << c.millimetres;
        EXPECT_EQ(FormatMillimetres(c.thousandths), c.shown) << c.millimetres;
    }
    EXPECT_EQ(FormatWidth(0), "0");
    EXPECT_EQ(FormatWidth(12), "0.3");
    EXPECT_EQ(FormatMillimetres(-39), "-1.0"); // an old file's offset shows as it is
}

TEST(StyleDialogRules, TypedMillimetresStayWithinTheSpinsRange)
{
    const struct {
        const char* typed;
        int thousandths;
        const char* left; // what the edit shows once left
    } cases[] = {
        {"0.3", 12, "0.3"},    {"-0.3", 0, "0.0"}, {"12", 394, "10.0"}, {"10", 394, "10"},
        {"0,3", 12, "0,3"},    {" 2.54", 100, " 2.54"}, {"", 0, ""},  {"abc", 0, "abc"},
        {"1.5mm", 59, "1.5mm"}, {"nan", 0, "nan"},
        {"1e9", 394, "10.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadThousandths(c.typed), c.thousandths) << c.typed;
        EXPECT_EQ(LeftMillimetres(c.typed), c.left) << c.typed;
    }
}

TEST(StyleDialogRules, SpinsStepATenthOfAMillimetreWithinTheRange)
{
    const struct {
        const char* text;
        int steps;
        const char* stepped;
    } cases[] = {
        {"9.95", 1, "10.0"}, {"0.05", -1, "0.0"}, {"0.3", 1, "0.4"}, {"0.3", -1, "0.2"}, {"10.0", 1, "10.0"},
        {"0", -1, "0.0"},    {"abc", 1, "0.1"},   {"", 1, "0.1"},    {"12", -1, "9.9"},  {"-3", 1, "0.1"},
        {"2.54", 1, "2.6"},  {"0.04", 1, "0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepMillimetres(c.text, c.steps), c.stepped) << c.text << " " << c.steps;
}

TEST(StyleDialogRules, TheCombosTables)
{
    EXPECT_EQ(kLineTypeCodes, (std::array<int, 15>{5, 0, 1, 2, 3, 4, 9, 10, 11, 15, 16, 12, 13, 14, 17}));
    EXPECT_EQ(FindLineType(5), 0);
    EXPECT_EQ(FindLineType(17), 14);
    EXPECT_EQ(FindLineType(6), -1);
    for (const int code : kLineTypeCodes) {
        const bool red = code == 10 || code == 11 || code == 15 || code == 16;
        EXPECT_EQ(LineTypeSampleColor(code), red ? kRed : kBlack) << code;
    }

    ASSERT_EQ(kFillPatterns.size(), 51u);
    const CFillPattern first[] = {{1, 0}, {0, 0}, {2, 3}, {2, 4}, {2, 5}, {2, 2}, {2, 0}, {2, 1}};
    for (size_t i = 0; i < std::size(first); ++i) {
        EXPECT_EQ(kFillPatterns[i].brushStyle, first[i].brushStyle) << i;
        EXPECT_EQ(kFillPatterns[i].hatch, first[i].hatch) << i;
    }
    for (int n = 0; n < 43; ++n) {
        EXPECT_EQ(kFillPatterns[static_cast<size_t>(8 + n)].brushStyle, 3);
        EXPECT_EQ(kFillPatterns[static_cast<size_t>(8 + n)].hatch, n);
    }
    EXPECT_EQ(FindFillPattern(1, 0), 0);
    EXPECT_EQ(FindFillPattern(2, 2), 5);
    EXPECT_EQ(FindFillPattern(3, 42), 50);
    EXPECT_EQ(FindFillPattern(3, 43), -1);
    EXPECT_EQ(FindFillPattern(1, 7), -1); // style and hatch must both match
}

// The colours found inside a rectangle.
std::set<COLORREF> ColoursIn(const QImage& image, const CRect& r)
{
    std::set<COLORREF> colours;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            colours.insert(At(image, x, y));
    return colours;
}

constexpr COLORREF kWindow = RGB(250, 250, 250);
constexpr COLORREF kSelection = RGB(0, 120, 215);

ControlColors Colours()
{
    ControlColors colours;
    colours.window = kWindow;
    colours.selection = kSelection;
    colours.windowText = kBlack;
    return colours;
}

TEST(StyleDialogRules, LineTypeEntriesDrawTheirLineOrNone)
{
    NeedGuiApplication();
    const CFont font = MakeDialogFont();
    for (const int code : kLineTypeCodes) {
        QImage image = MakeImageAt(100, 16, 96, kYellow);
        CDC dc(image);
        DrawLineTypeEntry(dc, CRect(0, 0, 100, 16), code, false, Colours(), font);
        const std::set<COLORREF> colours = ColoursIn(image, CRect(0, 0, 100, 16));
        EXPECT_FALSE(colours.count(kYellow)) << "the whole entry is painted, code " << code;
        if (code == kNoLineCode) {
            EXPECT_FALSE(colours.count(kRed));
            // "<Nėra>" in the middle, the ends left blank.
            EXPECT_TRUE(ColoursIn(image, CRect(30, 0, 70, 16)).count(kBlack)) << "no text";
            EXPECT_EQ(ColoursIn(image, CRect(0, 0, 10, 16)), (std::set<COLORREF>{kWindow}));
            continue;
        }
        const COLORREF ink = LineTypeSampleColor(code);
        EXPECT_TRUE(colours.count(ink)) << code << "\n" << PixelArt(image, kWindow);
        EXPECT_EQ(colours.count(kRed), ink == kRed) << code;
    }

    // Selected: the highlight, the line inverted on it.
    QImage selected = MakeImageAt(100, 16, 96, kYellow);
    CDC dc(selected);
    DrawLineTypeEntry(dc, CRect(0, 0, 100, 16), 0, true, Colours(), font);
    EXPECT_EQ(At(selected, 0, 0), kSelection);
    EXPECT_EQ(At(selected, 50, 8), kWhite);
}

TEST(StyleDialogRules, FillEntriesShowTheirBrushInBlackAndWhite)
{
    NeedGuiApplication();
    const CFont font = MakeDialogFont();
    const CRect entry(0, 0, 80, 20);
    const CRect inside(3, 3, 77, 17); // within the two frames and the black outline
    for (int index = 0; index < static_cast<int>(kFillPatterns.size()); ++index) {
        QImage image = MakeImageAt(80, 20, 96, kYellow);
        CDC dc(image);
        DrawFillPatternEntry(dc, entry, index, false, Colours(), font);
        EXPECT_EQ(At(image, 0, 0), kWindow) << index;
        EXPECT_EQ(At(image, 2, 10), kBlack) << "the box's outline, entry " << index;
        const std::set<COLORREF> colours = ColoursIn(image, inside);
        const int style = kFillPatterns[static_cast<size_t>(index)].brushStyle;
        if (style == kHollowBrush) {
            EXPECT_TRUE(colours.count(kWindow) && colours.count(kBlack)) << "<Nėra> on the window colour";
        } else if (style == kSolidBrush) {
            EXPECT_EQ(colours, (std::set<COLORREF>{kBlack}));
        } else {
            EXPECT_EQ(colours, (std::set<COLORREF>{kBlack, kWhite})) << index;
        }
    }
    // Pattern 7 is one bit in 64: white on black.
    QImage sparse = MakeImageAt(80, 20, 96);
    CDC dc(sparse);
    DrawFillPatternEntry(dc, entry, 8 + 7, true, Colours(), font);
    int white = 0;
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            white += At(sparse, x, y) == kWhite;
    EXPECT_GT(white, 0);
    EXPECT_LT(white, inside.Width() * inside.Height() / 16);
    EXPECT_EQ(At(sparse, 0, 0), kSelection);
    EXPECT_EQ(At(sparse, 1, 1), kSelection);
}

CDrawStyle Pens(uint32_t style, uint32_t width, COLORREF colour, COLORREF back)
{
    CDrawStyle pens;
    pens.penStyle = style;
    pens.penWidth = width;
    pens.penColor = colour;
    pens.backColor = back;
    pens.brushColor = RGB(1, 2, 3);
    return pens;
}

TEST(StyleDialogRules, LinePensSplitAndComposeBack)
{
    const struct {
        const char* what;
        CDrawStyle style;
        CLineStyleValues values;
    } cases[] = {
        {"single", Pens(2, 12, kRed, 0xFFFFFF), {{2, 12, kRed}, {}, false}},
        {"double", Pens(0x10000000 | (4 << 16) | 1, (8 << 16) | 44, kBlack, kYellow),
         {{1, 44, kBlack}, {4, 8, kYellow}, true}},
        {"second type above a byte", Pens(0x10000000 | 0x01000000 | (0x02 << 16) | 17, (1 << 16) | 2, kBlue, kGreen),
         {{17, 2, kBlue}, {0x102, 1, kGreen}, true}},
        {"no second width", Pens(0x10000000 | (5 << 16), 394, kRed, kBlack), {{0, 394, kRed}, {5, 0, kBlack}, true}},
    };
    for (const auto& c : cases) {
        const CLineStyleValues split = CLineStyleValues::Split(c.style);
        EXPECT_EQ(split.doubleLine, c.values.doubleLine) << c.what;
        EXPECT_EQ(split.first, c.values.first) << c.what;
        if (c.values.doubleLine) {
            EXPECT_EQ(split.second, c.values.second) << c.what;
        }
        const CDrawStyle composed = c.values.ComposedOver(c.style);
        EXPECT_EQ(composed, c.style) << c.what;
    }
    // A single line drops the second one's bits, its background none.
    CLineStyleValues single{{3, 20, kRed}, {4, 8, kYellow}, false};
    const CDrawStyle composed = single.ComposedOver(Pens(0x10000000 | (4 << 16) | 3, (8 << 16) | 20, kRed, kYellow));
    EXPECT_EQ(composed.penStyle, 3u);
    EXPECT_EQ(composed.penWidth, 20u);
    EXPECT_EQ(composed.backColor, 0xFFFFFFu);
    EXPECT_EQ(composed.brushColor, RGB(1, 2, 3)) << "the rest of the style stays";
}

TEST(StyleDialogRules, AnAreaStyleIsPreparedAndEnabledByItsFill)
{
    CDrawStyle doubled = Pens(0x10000000 | (4 << 16) | 3, (8 << 16) | 20, kRed, kYellow);
    doubled.backMode = 0;
    const CDrawStyle prepared = CAreaStyleRules::Prepared(doubled);
    EXPECT_EQ(prepared.penStyle, 3u) << "an outline is one line";
    EXPECT_EQ(prepared.penWidth, 20u);
    EXPECT_EQ(prepared.backMode, TRANSPARENT);
    doubled.backMode = OPAQUE;
    EXPECT_EQ(CAreaStyleRules::Prepared(doubled).backMode, OPAQUE);

    const struct {
        int32_t brushStyle;
        int32_t backMode;
        CAreaFillEnabling enabling;
    } cases[] = {
        {kHollowBrush, OPAQUE, {false, false, false}},  {kHollowBrush, TRANSPARENT, {false, false, false}},
        {kSolidBrush, OPAQUE, {true, false, false}},    {kHatchBrush, OPAQUE, {true, true, true}},
        {kHatchBrush, TRANSPARENT, {true, true, false}}, {kPatternBrush, OPAQUE, {true, true, true}},
        {kPatternBrush, TRANSPARENT, {true, true, false}},
    };
    for (const auto& c : cases) {
        CDrawStyle style;
        style.brushStyle = c.brushStyle;
        style.backMode = c.backMode;
        const CAreaFillEnabling e = CAreaStyleRules::Enabling(style);
        EXPECT_EQ(e.brushColor, c.enabling.brushColor) << c.brushStyle << " " << c.backMode;
        EXPECT_EQ(e.noBackground, c.enabling.noBackground) << c.brushStyle << " " << c.backMode;
        EXPECT_EQ(e.backColor, c.enabling.backColor) << c.brushStyle << " " << c.backMode;
    }

    CDrawStyle style;
    CAreaStyleRules::SetPattern(style, 50);
    EXPECT_EQ(style.brushStyle, 3);
    EXPECT_EQ(style.hatch, 42);
    CAreaStyleRules::SetPattern(style, 51); // no entry: nothing changes
    EXPECT_EQ(style.hatch, 42);
    CAreaStyleRules::SetNoBackground(style, true);
    EXPECT_EQ(style.backMode, TRANSPARENT);
    CAreaStyleRules::SetNoBackground(style, false);
    EXPECT_EQ(style.backMode, OPAQUE);
}

} // namespace
