#include "shell/ColorPalette.h"

#include "platform/DC.h"
#include "platform/DefaultColors.h"
#include "platform/Strings.h"
#include "tests/platform/ImageProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ColorPalette, TheColoursRowByRow)
{
    const char* rows[kPaletteRows] = {
        "FFFFFF C0C0C0 808080 000000 0000FF 00FFFF 00FF00 FFFF00 FF0000 FF00FF 000080 008080 008000 808000 800000 800080",
        "F0F0F0 D0D0FF D0DCFF D0E8FF D0F4FF D0FFFF D0FFED D0FFD0 E8FFD0 FFFFD0 FFF0D0 FFE0D0 FFD0D0 FFD0E8 FFD0FF E8D0FF",
        "E0E0E0 B0B0FF B0C4FF B0D8FF B0ECFF B0FFFF B0FFE0 B0FFB0 D8FFB0 FFFFB0 FFE5B0 FFD5C0 FFC0C0 FFB0D8 FFB0FF D8B0FF",
        "D0D0D0 A0A0FF A0B8FF A0D0FF 90E4FF 90FFFF 90FFD3 A0FFA0 D0FFA0 FFFFA0 FFE0A0 FFC0A0 FFA0A0 FFA0D0 FFA0FF D0A0FF",
        "B0B0B0 8080FF 7094FF 60B0FF 60D8FF 40FFFF 60FFC0 70FF70 B8FF70 FFFF70 FFD580 FFAB80 FF8080 FF80C0 FF70FF C080FF",
        "909090 5050FF 4070FF 3098FF 00C0FF 00F0F0 00FF9A 50FF50 A8FF50 FFFF00 FFC550 FF8B50 FF6060 FF50A8 FF40FF A850FF",
        "606060 0000FF 0038E0 0068D0 0090C0 00B0B0 00C073 00D000 68D000 C0C000 E09500 FF5500 FF2020 FF0080 E000E0 8000FF",
        "404040 0000CC 002490 004080 006080 007070 00804D 008000 408000 9F8000 906000 903000 A00000 900048 900090 480090",
        "E1FFFF CEFAFE AFE6FF 8DCEFE 5B92C8 23D1F7 255DB1 639AED 4155C4 D0FFED B4F5E7 B2F3F1 B0EAB9 B9E3AC F4E1BC FF9900",
    };
    for (int row = 0; row < kPaletteRows; ++row) {
        std::string shown;
        for (int column = 0; column < kPaletteColumns; ++column) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%06X", kPaletteColors[row * kPaletteColumns + column]);
            shown += (column ? " " : "") + std::string(hex);
        }
        EXPECT_EQ(shown, rows[row]) << "row " << row + 1;
    }
}

// The basic colours step by one through 15, the fills by two through 31.
TEST(ColorPalette, HoldsTheDefaultLayerColours)
{
    for (int i = 0; i < 15; ++i) {
        SeedDefaultColors(i);
        EXPECT_EQ(GetNextDefaultColor(false), kPaletteColors[1 + i]) << i;
    }
    for (int i = 0; i < 31; ++i) {
        SeedDefaultColors(i);
        EXPECT_EQ(GetNextDefaultColor(true), kPaletteColors[17 + i]) << i;
    }
}

TEST(ColorPalette, TheInitialColourMarksItsEntry)
{
    struct Case {
        COLORREF colour;
        const char* defaultText;
        const char* customText;
        int entry;
    };
    const Case cases[] = {
        {0xFFFFFF, "", "", 0},
        {0x0000FF, "", "", 4},   // also entry 97
        {0xFFFF00, "", "", 7},   // also entry 89
        {0xFF9900, "", "", 143},
        {0x123456, "", "Kitos", CColorPalette::kCustomEntry},
        {0x123456, "Standartin\xEB", "", CColorPalette::kNoEntry},
        {kDefaultColorValue, "Standartin\xEB", "Kitos", CColorPalette::kDefaultEntry},
        {kDefaultColorValue, "", "Kitos", CColorPalette::kCustomEntry},
        {kDefaultColorValue, "", "", CColorPalette::kNoEntry},
        {0x0000FF, "Standartin\xEB", "Kitos", 4},
    };
    for (const Case& c : cases) {
        const CColorPalette palette(c.colour, c.defaultText, c.customText);
        EXPECT_EQ(palette.GetInitialEntry(), c.entry) << std::hex << c.colour << " " << c.defaultText;
    }
}

TEST(ColorPalette, EntriesGiveTheirColours)
{
    const CColorPalette palette(0x123456, "Standartin\xEB", "Kitos");
    EXPECT_EQ(palette.GetEntryColor(0), 0xFFFFFFu);
    EXPECT_EQ(palette.GetEntryColor(143), 0xFF9900u);
    EXPECT_EQ(palette.GetEntryColor(CColorPalette::kCustomEntry), 0x123456u);
    EXPECT_EQ(palette.GetEntryColor(CColorPalette::kDefaultEntry), kDefaultColorValue);
}

// 16 x 9 boxes of 16 pixels inside a margin of 2; the text entries above and below.
TEST(ColorPalette, BoxesAndTextEntriesLieWhereTheMouseFindsThem)
{
    const CColorPalette bare(0, "", "");
    EXPECT_EQ(bare.GetWindowSize(), CSize(16 * 16 + 4, 9 * 16 + 4));
    EXPECT_EQ(bare.GetEntryRect(0), CRect(2, 2, 18, 18));
    EXPECT_EQ(bare.GetEntryRect(17), CRect(18, 18, 34, 34));
    EXPECT_EQ(bare.GetEntryRect(143), CRect(242, 130, 258, 146));
    EXPECT_EQ(bare.GetEntryRect(CColorPalette::kCustomEntry), CRect());

    NeedGuiApplication();
    const CColorPalette full(0, "Standartin\xEB", "Kitos spalvos...");
    const CRect defaultRect = full.GetEntryRect(CColorPalette::kDefaultEntry);
    const CRect customRect = full.GetEntryRect(CColorPalette::kCustomEntry);
    const CRect first = full.GetEntryRect(0);
    const CRect last = full.GetEntryRect(143);
    EXPECT_GT(defaultRect.Height(), 4 * 2 + 2);
    EXPECT_EQ(customRect.Height(), defaultRect.Height());
    EXPECT_LE(defaultRect.bottom, first.top);
    EXPECT_GE(customRect.top, last.bottom + 2); // the separator between
    EXPECT_EQ(full.GetWindowSize().cy, customRect.bottom + 2);
    EXPECT_EQ(first.Width(), 16);

    struct Probe {
        CPoint point;
        int entry;
    };
    const Probe probes[] = {
        {defaultRect.CenterPoint(), CColorPalette::kDefaultEntry},
        {customRect.CenterPoint(), CColorPalette::kCustomEntry},
        {first.TopLeft(), 0},
        {CPoint(first.left + 15, first.top + 15), 0},
        {CPoint(first.left + 16, first.top), 1},
        {CPoint(first.left, first.top + 16), 16},
        {CPoint(last.right - 1, last.bottom - 1), 143},
        {CPoint(0, 0), CColorPalette::kNoEntry},
        {CPoint(first.left - 1, first.top + 5), CColorPalette::kNoEntry},
        {CPoint(last.right, last.top), CColorPalette::kNoEntry},
        {CPoint(first.left, last.bottom), CColorPalette::kNoEntry},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(full.EntryAt(p.point), p.entry) << p.point.x << "," << p.point.y;
}

TEST(ColorPalette, KeysWrapAroundThePalette)
{
    enum { kLeft, kRight, kUp, kDown };
    struct Move {
        bool texts;
        int from;
        int key;
        int to;
    };
    constexpr int kDefault = CColorPalette::kDefaultEntry;
    constexpr int kCustom = CColorPalette::kCustomEntry;
    constexpr int kNone = CColorPalette::kNoEntry;
    const Move moves[] = {
        {true, kDefault, kRight, 0},  {true, 0, kRight, 1},       {true, 15, kRight, 16},
        {true, 143, kRight, kCustom}, {true, kCustom, kRight, kDefault},
        {true, kDefault, kLeft, kCustom}, {true, 0, kLeft, kDefault}, {true, kCustom, kLeft, 143},
        {true, 5, kDown, 21},         {true, 133, kDown, kCustom}, {true, kCustom, kDown, kDefault},
        {true, kDefault, kDown, 0},   {true, 3, kUp, kDefault},   {true, kDefault, kUp, kCustom},
        {true, kCustom, kUp, 128},    {true, 21, kUp, 5},
        {false, 143, kRight, 0},      {false, 0, kLeft, 143},     {false, 133, kDown, 5},
        {false, 5, kUp, 133},         {false, kNone, kRight, 0},  {false, kNone, kLeft, 143},
        {true, kNone, kRight, kDefault}, {true, kNone, kDown, kDefault}, {true, kNone, kUp, kCustom},
    };
    const CColorPalette withTexts(0, "Standartin\xEB", "Kitos");
    const CColorPalette bare(0, "", "");
    for (const Move& m : moves) {
        const CColorPalette& palette = m.texts ? withTexts : bare;
        const int to = m.key == kLeft    ? palette.MoveHorizontal(m.from, -1)
                       : m.key == kRight ? palette.MoveHorizontal(m.from, 1)
                       : m.key == kUp    ? palette.MoveVertical(m.from, -1)
                                         : palette.MoveVertical(m.from, 1);
        EXPECT_EQ(to, m.to) << m.texts << " from " << m.from << " key " << m.key;
    }
}

TEST(ColorPalette, PopupStaysOnTheScreen)
{
    const CRect screen(0, 0, 800, 600);
    const CSize size(260, 200);
    struct Case {
        CRect button;
        CPoint at;
    };
    const Case cases[] = {
        {CRect(100, 100, 160, 124), CPoint(100, 124)},
        {CRect(700, 100, 760, 124), CPoint(540, 124)},  // moved left
        {CRect(-40, 100, 20, 124), CPoint(0, 124)},     // moved right
        {CRect(100, 500, 160, 524), CPoint(100, 300)},  // above the button
        {CRect(700, 500, 760, 524), CPoint(540, 300)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlacePopupBelow(c.button, size, screen), c.at) << c.button.left << "," << c.button.top;
}

constexpr ControlColors kColours = [] {
    ControlColors c;
    c.face = RGB(200, 200, 200);
    c.light = RGB(230, 230, 230);
    c.highlight = RGB(250, 250, 250);
    c.shadow = RGB(100, 100, 100);
    c.darkShadow = RGB(50, 50, 50);
    c.text = RGB(0, 0, 0);
    c.grayText = RGB(120, 120, 120);
    return c;
}();

// The initial box lies sunken on the highlight colour, the box under the
// mouse raised; each shows its colour framed in the shadow colour.
TEST(ColorPalette, BoxesShowTheirColourAndState)
{
    NeedGuiApplication();
    const CColorPalette palette(0x0000FF, "Standartin\xEB", "Kitos spalvos...");
    const CSize size = palette.GetWindowSize();
    QImage image = MakeImage(size.cx, size.cy);
    {
        CDC dc(image);
        palette.Draw(dc, 20, kColours);
    }
    const CRect initial = palette.GetEntryRect(4);
    const CRect current = palette.GetEntryRect(20);
    const CRect plain = palette.GetEntryRect(30);
    struct Probe {
        const char* what;
        int x, y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {"initial colour", initial.left + 8, initial.top + 8, 0x0000FF},
        {"initial frame", initial.left + 2, initial.top + 8, kColours.shadow},
        {"initial edge left", initial.left, initial.top + 8, kColours.shadow},
        {"initial edge right", initial.right - 1, initial.top + 8, kColours.highlight},
        {"initial ground", initial.left + 1, initial.top + 8, kColours.highlight},
        {"current colour", current.left + 8, current.top + 8, kPaletteColors[20]},
        {"current edge left", current.left, current.top + 8, kColours.highlight},
        {"current edge right", current.right - 1, current.top + 8, kColours.shadow},
        {"current ground", current.left + 1, current.top + 8, kColours.face},
        {"plain edge", plain.left, plain.top + 8, kColours.face},
        {"plain colour", plain.left + 8, plain.top + 8, kPaletteColors[30]},
        {"margin", 0, 0, kColours.face},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(At(image, p.x, p.y), p.colour) << p.what;

    // The separator above the custom entry, shadow over highlight.
    const CRect custom = palette.GetEntryRect(CColorPalette::kCustomEntry);
    EXPECT_EQ(At(image, custom.left + 4, custom.top - 2), kColours.shadow);
    EXPECT_EQ(At(image, custom.left + 4, custom.top - 1), kColours.highlight);
    // Texts in the entries.
    for (const int entry : {CColorPalette::kDefaultEntry, CColorPalette::kCustomEntry}) {
        const CRect r = palette.GetEntryRect(entry);
        int dark = 0;
        for (int y = r.top + 3; y < r.bottom - 3; ++y)
            for (int x = r.left + 3; x < r.right - 3; ++x)
                dark += GetRValue(At(image, x, y)) < 100 ? 1 : 0;
        EXPECT_GT(dark, 10) << entry;
    }
}

TEST(ColorPalette, TheButtonShowsItsColourUnlessDisabled)
{
    const CRect content(2, 2, 62, 22);
    struct Case {
        COLORREF colour;
        bool enabled;
        COLORREF swatch;
        COLORREF arrow;
    };
    const Case cases[] = {
        {0x00FF00, true, 0x00FF00, RGB(0, 0, 0)},
        {kDefaultColorValue, true, RGB(1, 2, 3), RGB(0, 0, 0)},
        {0x00FF00, false, kColours.face, kColours.grayText},
    };
    for (const Case& c : cases) {
        QImage image = MakeImage(64, 24, kColours.face);
        {
            CDC dc(image);
            DrawColorButtonFace(dc, content, c.colour, RGB(1, 2, 3), c.enabled, kColours);
        }
        EXPECT_EQ(At(image, 20, 12), c.swatch) << std::hex << c.colour << c.enabled;
        EXPECT_EQ(At(image, content.left + 3, 12), c.enabled ? RGB(128, 128, 128) : kColours.face);
        // The arrow in the last fifteen pixels.
        int arrow = 0;
        for (int x = content.right - 15; x < content.right; ++x)
            for (int y = content.top; y < content.bottom; ++y)
                arrow += At(image, x, y) == c.arrow ? 1 : 0;
        EXPECT_EQ(arrow, 7 + 5 + 3 + 1) << c.enabled;
    }
}

} // namespace
