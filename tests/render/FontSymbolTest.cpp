#include "layers/PointStyle.h"
#include "platform/DC.h"
#include "render/SymbolLibrary.h"
#include "tests/render/PixelArt.h"
#include "tests/render/SymbolFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);
constexpr const char* kFace = "DejaVu Sans";

CPointStyle FontStyle(int character, int size, COLORREF colour = kBlue, uint32_t options = 0, int angle = 0)
{
    CPointStyle style;
    style.kind = CPointStyle::kFontCharacter;
    style.symbol = static_cast<uint16_t>(character);
    style.SetName(kFace);
    style.size = size;
    style.color = colour;
    style.options = options;
    style.angle = angle;
    return style;
}

CRect NotPaper(const QImage& image)
{
    return Ink(image, [](COLORREF c) { return c != kPaper; });
}

// What a font symbol covers, drawn alone at the middle of a fresh picture.
struct Drawn {
    QImage image;
    int result = 0;
    CRect ink;
};

Drawn DrawAlone(const CPointStyle& style, int size = 200, int dpi = 96, bool thousandths = false, int scale = 0)
{
    Drawn d;
    d.image = MakeImageAt(size, size, dpi, kPaper);
    CDC dc(d.image);
    CPoint centre(size / 2, size / 2);
    if (thousandths) {
        SetThousandths(dc, dpi);
        dc.DPtoLP(&centre);
    }
    d.result = SymbolLibrary().DrawFontSymbol(dc, centre.x, centre.y, style, scale);
    d.ink = NotPaper(d.image);
    return d;
}

} // namespace

TEST(FontSymbol, TheHeightIsTheSizeInTenthsOfAPointAsLogicalUnits)
{
    NeedGuiApplication();
    CSymbolWorld world;
    struct Case {
        int size;
        uint32_t options;
        int referenceScale;
        int scale;
        bool thousandths;
        int height; // 0: nothing drawn
    } cases[] = {
        {120, 0, 0, 0, false, 16},                  // 96 x 120 / 720
        {120, 0, 0, 0, true, 167},                  // 1000 x 120 / 720
        {120, CPointStyle::kScalesWithMap, 10000, 20000, false, 8},
        {120, CPointStyle::kScalesWithMap, 10000, 5000, true, 333},
        {120, CPointStyle::kScalesWithMap, 10000, 0, false, 16}, // no scale: as set
        {120, 0, 10000, 20000, false, 16},          // not scaled without the option
        {4, 0, 0, 0, false, 1},
        {3, 0, 0, 0, false, 0},
        {0, 0, 0, 0, true, 0},
        {120, CPointStyle::kScalesWithMap, 100, 1000000, false, 0},
    };
    for (const Case& c : cases) {
        CPointStyle style = FontStyle('A', c.size, kBlue, c.options);
        style.referenceScale = c.referenceScale;
        const Drawn d = DrawAlone(style, 200, 96, c.thousandths, c.scale);
        const std::string what = std::to_string(c.size) + " at 1:" + std::to_string(c.scale);
        EXPECT_EQ(d.result, c.height ? 1 : 0) << what;
        if (c.height)
            EXPECT_EQ(SymbolLibrary().GetSymbolFont().LogFont().lfHeight, c.height) << what;
        else
            EXPECT_TRUE(d.ink.IsRectEmpty()) << what;
    }
    const Drawn bold = DrawAlone(FontStyle('A', 120, kBlue, CPointStyle::kBold));
    const LOGFONT& font = SymbolLibrary().GetSymbolFont().LogFont();
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(std::string(font.lfFaceName), kFace);
    DrawAlone(FontStyle('A', 120));
    EXPECT_EQ(SymbolLibrary().GetSymbolFont().LogFont().lfWeight, FW_NORMAL);
}

TEST(FontSymbol, TheCharacterIsCentredAndTurnedAboutThePoint)
{
    NeedGuiApplication();
    CSymbolWorld world;
    const Drawn upright = DrawAlone(FontStyle('L', 480));
    ASSERT_EQ(upright.result, 1);
    ASSERT_FALSE(upright.ink.IsRectEmpty());
    EXPECT_EQ(At(upright.image, upright.ink.left + 2, upright.ink.top + 4), kBlue) << "the stem, in the colour";
    EXPECT_EQ(SymbolLibrary().GetSymbolFont().LogFont().lfEscapement, 0);
    // The glyph's box lies about the middle of its cell, the cell's about the point.
    EXPECT_NEAR(upright.ink.left + upright.ink.Width() / 2.0, 100, 8);
    EXPECT_NEAR(upright.ink.top + upright.ink.Height() / 2.0, 100, 12);

    // Half a turn mirrors the box through the point; a quarter turn (counter-clockwise) swaps its sides.
    const Drawn half = DrawAlone(FontStyle('L', 480, kBlue, 0, 1800));
    EXPECT_EQ(SymbolLibrary().GetSymbolFont().LogFont().lfEscapement, 1800);
    EXPECT_EQ(SymbolLibrary().GetSymbolFont().LogFont().lfOrientation, 1800);
    EXPECT_NEAR(half.ink.left, 200 - upright.ink.right, 2);
    EXPECT_NEAR(half.ink.right, 200 - upright.ink.left, 2);
    EXPECT_NEAR(half.ink.top, 200 - upright.ink.bottom, 2);
    EXPECT_NEAR(half.ink.bottom, 200 - upright.ink.top, 2);
    const Drawn quarter = DrawAlone(FontStyle('L', 480, kBlue, 0, 900));
    EXPECT_NEAR(quarter.ink.left, upright.ink.top, 2);
    EXPECT_NEAR(quarter.ink.right, upright.ink.bottom, 2);
    EXPECT_NEAR(quarter.ink.top, 200 - upright.ink.right, 2);
    EXPECT_NEAR(quarter.ink.bottom, 200 - upright.ink.left, 2);
}

TEST(FontSymbol, ShadowAndHaloOffsetsFollowTheSizeAndAreAtLeastAPixel)
{
    NeedGuiApplication();
    CSymbolWorld world;
    constexpr uint32_t kShadow = CPointStyle::kShadow;
    constexpr uint32_t kWhite = CPointStyle::kWhiteHalo;
    constexpr uint32_t kBlack = CPointStyle::kBlackHalo;
    struct Case {
        int size;
        int dpi;
        bool thousandths;
        int offset; // device pixels
    } cases[] = {
        // Up to 8 and 16 points the size ranges give no logical offset: one pixel.
        {80, 96, false, 1},
        {160, 96, false, 1},
        {160, 300, true, 1},
        // Above: a fortieth of the height, in logical units.
        {1200, 96, false, 4},  // 160 / 40
        {600, 300, true, 6},   // 833 / 40 = 20 thousandths
    };
    for (const Case& c : cases) {
        const int side = c.dpi == 300 ? 400 : 240;
        const std::string what = std::to_string(c.size) + " at " + std::to_string(c.dpi);
        const CRect plain = DrawAlone(FontStyle('H', c.size), side, c.dpi, c.thousandths).ink;
        const CRect shadow = DrawAlone(FontStyle('H', c.size, kBlue, kShadow), side, c.dpi, c.thousandths).ink;
        const CRect white = DrawAlone(FontStyle('H', c.size, kBlue, kWhite), side, c.dpi, c.thousandths).ink;
        const CRect both = DrawAlone(FontStyle('H', c.size, kBlue, kShadow | kBlack), side, c.dpi, c.thousandths).ink;
        // Corners snap to pixels with a shadow or halo, so a pixel either way.
        EXPECT_NEAR(shadow.right - plain.right, c.offset, 1) << what;
        EXPECT_NEAR(shadow.bottom - plain.bottom, c.offset, 1) << what;
        EXPECT_NEAR(shadow.left, plain.left, 1) << what;
        EXPECT_NEAR(plain.left - white.left, c.offset, 1) << what;
        EXPECT_NEAR(white.right - plain.right, c.offset, 1) << what;
        EXPECT_NEAR(plain.top - white.top, c.offset, 1) << what;
        EXPECT_NEAR(white.bottom - plain.bottom, c.offset, 1) << what;
        EXPECT_NEAR(both.right - plain.right, 2 * c.offset, 1) << what << ": the shadow goes twice as far";
        EXPECT_NEAR(plain.left - both.left, c.offset, 1) << what;
    }

    // Colours: a grey shadow, a white or black halo, the character over them.
    const auto has = [](const Drawn& d, COLORREF colour) { return !Ink(d.image, [&](COLORREF c) { return c == colour; }).IsRectEmpty(); };
    const Drawn shadow = DrawAlone(FontStyle('H', 1200, kRed, kShadow), 240);
    EXPECT_TRUE(has(shadow, kGrey));
    EXPECT_TRUE(has(shadow, kRed));
    const Drawn white = DrawAlone(FontStyle('H', 1200, kRed, kWhite), 240);
    EXPECT_TRUE(has(white, RGB(255, 255, 255)));
    EXPECT_FALSE(has(white, kGrey));
    const Drawn black = DrawAlone(FontStyle('H', 1200, kRed, kBlack), 240);
    EXPECT_TRUE(has(black, RGB(0, 0, 0)));
    EXPECT_TRUE(has(black, kRed));
    EXPECT_FALSE(has(black, RGB(255, 255, 255)));
}

TEST(FontSymbol, OneFontIsKeptAndMadeAgainOnlyWhenItChanges)
{
    NeedGuiApplication();
    CSymbolWorld world;
    QImage image = MakeImageAt(100, 100, 96, kPaper);
    CDC dc(image);
    const CFont own = dc.GetCurrentFont();
    dc.SetTextColor(kGreen);
    dc.SetBkMode(OPAQUE);
    dc.SetTextAlign(TA_BASELINE | TA_RIGHT);
    CSymbolLibrary& library = SymbolLibrary();
    ASSERT_EQ(library.DrawFontSymbol(dc, 50, 50, FontStyle('A', 120), 0), 1);
    const void* first = library.GetSymbolFont().GetSafeHandle();
    library.DrawFontSymbol(dc, 20, 30, FontStyle('B', 120, kRed), 0);
    EXPECT_EQ(library.GetSymbolFont().GetSafeHandle(), first) << "another character, place or colour";
    library.DrawFontSymbol(dc, 20, 30, FontStyle('B', 140), 0);
    const void* second = library.GetSymbolFont().GetSafeHandle();
    EXPECT_NE(second, first);
    library.DrawFontSymbol(dc, 20, 30, FontStyle('B', 140, kBlue, CPointStyle::kShadow), 0);
    EXPECT_EQ(library.GetSymbolFont().GetSafeHandle(), second) << "the shadow is not in the font";
    library.DrawFontSymbol(dc, 20, 30, FontStyle('B', 140, kBlue, 0, 450), 0);
    EXPECT_NE(library.GetSymbolFont().GetSafeHandle(), second);
    // The context's own things come back.
    EXPECT_TRUE(dc.GetCurrentFont() == own);
    EXPECT_EQ(dc.GetTextColor(), kGreen);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetTextAlign(), TA_BASELINE | TA_RIGHT);
}

TEST(FontSymbol, CharactersOutsideTheCodePageOrWithoutAFaceDrawNothingAndReturnZero)
{
    NeedGuiApplication();
    CSymbolWorld world;
    for (int character : {0, 31, 256, 0xF041}) {
        const Drawn d = DrawAlone(FontStyle(character, 240));
        EXPECT_EQ(d.result, 0) << character;
        EXPECT_TRUE(d.ink.IsRectEmpty()) << character;
    }
    EXPECT_EQ(DrawAlone(FontStyle(255, 240)).result, 1);
    EXPECT_EQ(DrawAlone(FontStyle(32, 240)).result, 1);
    CPointStyle faceless = FontStyle('A', 240);
    faceless.nameRef = 0;
    EXPECT_EQ(DrawAlone(faceless).result, 0);
}

TEST(FontSymbol, AFaceThatIsNotInstalledDrawsNothingAndIsReportedOnce)
{
    NeedGuiApplication();
    CSymbolWorld world;
    CScriptedUserServices user;
    CPointStyle missing = FontStyle('A', 240);
    missing.SetName("Wingdings");
    for (int i = 0; i < 3; ++i) {
        const Drawn d = DrawAlone(missing);
        EXPECT_EQ(d.result, 0);
        EXPECT_TRUE(d.ink.IsRectEmpty());
        DrawAlone(FontStyle('A', 240)); // an installed face between
    }
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{61920});
    EXPECT_NE(user.messages[0].text.find("Wingdings"), std::string::npos);
    CPointStyle other = FontStyle('A', 240);
    other.SetName("WINGDINGS");
    DrawAlone(other);
    EXPECT_EQ(user.messages.size(), 1u) << "a face in another case is the same face";
    other.SetName("Webdings");
    DrawAlone(other);
    EXPECT_EQ(user.messages.size(), 2u);
    // Faces drawn in the Liberation faces' place are there.
    other.SetName("Arial");
    EXPECT_EQ(DrawAlone(other).result, 1);
    EXPECT_EQ(user.messages.size(), 2u);
}

TEST(FontSymbol, PointStylesOfTheFontKindDrawThroughIt)
{
    NeedGuiApplication();
    CSymbolWorld world;
    QImage image = MakeImageAt(100, 100, 96, kPaper);
    CDC dc(image);
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 50, 50, FontStyle('W', 240), 0), 1);
    EXPECT_FALSE(NotPaper(image).IsRectEmpty());
}
