#include "settings/PageSetup.h"

#include "platform/DC.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Face(const LOGFONT& font)
{
    return font.lfFaceName;
}

TEST(PageSetup, InitialValues)
{
    const CPageSetup setup;
    const CMapPageSetup& map = setup.Map();
    EXPECT_EQ(map.scaleMode, 0);
    EXPECT_EQ(map.scale, 0);
    EXPECT_EQ(setup.GetMarginRect(), CRect(1000, 1000, 1000, 1000));
    EXPECT_EQ(map.title, "");
    EXPECT_EQ(map.footer, "");
    const struct {
        const LOGFONT& font;
        const char* face;
        int tenths;
    } fonts[] = {
        {map.titleFont, "Arial", -100},
        {map.footerFont, "Arial", -100},
        {map.titleBlockFont, "MS Sans Serif", -80},
        {setup.Table().font, "Arial", -70},
    };
    for (const auto& f : fonts) {
        EXPECT_EQ(Face(f.font), f.face);
        EXPECT_EQ(f.font.lfHeight, f.tenths);
        EXPECT_EQ(f.font.lfCharSet, 186);
    }
    EXPECT_EQ(map.frame, 1);
    EXPECT_EQ(map.onePageOnly, 0);
    EXPECT_EQ(map.showPageOutline, 0);
    EXPECT_EQ(map.titleBlock, 0);
    EXPECT_EQ(map.titleBlockTexts, (std::array<std::string, 9>{"Data: ", "Atliko: ", "Tvirtino: ", "M 1:",
                                                               "Lapas / Lapai ", "", "Objektas: ", "Kodas ",
                                                               "Dokumentas "}));
    EXPECT_EQ(setup.GetTableMarginRect(), CRect(1000, 1000, 1000, 1000));
    EXPECT_EQ(setup.GetPrintArea(), CSize(19000, 27700));
}

TEST(PageSetup, PrintingReadsLengthsInHundredthsOfAMillimetreAndFontsInThousandthsOfAnInch)
{
    CPageSetup setup;
    CMapPageSetup& map = setup.Map();
    map.scaleMode = CPageSetupValues::kFixedScale;
    map.scale = 25000;
    map.margins = {5, 15, 20, 25};
    map.title = "Antra\xF0t\xEB";
    map.footer = "Apa\xE8ia";
    map.titleBlock = 1;
    map.showPageOutline = 1;
    map.onePageOnly = 1;
    map.frame = 0;
    setup.SetPrintArea(CSize(17000, 25000));
    const CPageSetupValues values = setup.GetValues();
    EXPECT_EQ(values.margins, CRect(500, 2000, 1500, 2500));
    EXPECT_EQ(values.pageWidth, 17000);
    EXPECT_EQ(values.pageHeight, 25000);
    EXPECT_EQ(values.scaleMode, CPageSetupValues::kFixedScale);
    EXPECT_EQ(values.printScale, 25000);
    EXPECT_EQ(values.title, map.title);
    EXPECT_EQ(values.footer, map.footer);
    EXPECT_EQ((std::array<int, 4>{values.titleBlock, values.showPageOutline, values.onePageOnly, values.frame}),
              (std::array<int, 4>{1, 1, 1, 0}));
    EXPECT_EQ(values.titleBlockTexts, map.titleBlockTexts);
    EXPECT_EQ(values.titleFont.lfHeight, -139);
    EXPECT_EQ(values.footerFont.lfHeight, -139);
    EXPECT_EQ(values.titleBlockFont.lfHeight, -111);
    EXPECT_EQ(Face(values.titleBlockFont), "MS Sans Serif");
    const CTablePageSetupValues table = setup.GetTableValues();
    EXPECT_EQ(table.margins, CRect(1000, 1000, 1000, 1000));
    EXPECT_EQ(table.font.lfHeight, -97);
    EXPECT_EQ(Face(table.font), "Arial");
    EXPECT_EQ(table.font.lfCharSet, 186);
    // The program's printing without a page setup has the same table defaults.
    EXPECT_EQ(CTablePageSetupValues().font.lfHeight, -97);
    EXPECT_EQ(CTablePageSetupValues().margins, table.margins);
}

TEST(PageSetup, WithoutAPrinterTheAreaIsAnA4SheetLessTheMargins)
{
    const struct {
        CPageMargins margins;
        CSize area;
    } cases[] = {
        {{10, 10, 10, 10}, CSize(19000, 27700)},
        {{0, 0, 0, 0}, CSize(21000, 29700)},
        {{25, 15, 5, 100}, CSize(17000, 19200)},
        {{100, 100, 100, 100}, CSize(1000, 9700)},
    };
    for (const auto& c : cases) {
        CPageSetup setup;
        setup.Map().margins = c.margins;
        setup.Map().title = "Antra\xF0t\xEB"; // no printer: no caption line
        EXPECT_EQ(setup.GetPrintAreaSize(nullptr), c.area) << c.margins.left;
        CDC screen; // a context of no printer
        EXPECT_EQ(setup.GetPrintAreaSize(&screen), c.area) << c.margins.left;
    }
}

TEST(PageSetup, FontHeightsInTenthsOfAPoint)
{
    const struct {
        int tenths;
        int mils;
        int shownPoints;
    } heights[] = {{-100, -139, -10}, {-80, -111, -8}, {-70, -97, -7}, {-95, -132, -10}, {120, 167, -12}};
    for (const auto& h : heights) {
        EXPECT_EQ(TenthsToMils(h.tenths), h.mils) << h.tenths;
        LOGFONT font;
        font.lfHeight = h.tenths;
        EXPECT_EQ(FontInPoints(font).lfHeight, h.shownPoints) << h.tenths;
    }
    // The dialog's OK with the points unchanged keeps the tenths exactly.
    const struct {
        int before;
        int chosen;
        int after;
    } choices[] = {{-100, -10, -100}, {-95, -10, -95}, {-100, -12, -120}, {-80, -9, -90}, {120, -12, 120}};
    for (const auto& c : choices) {
        LOGFONT before = PageFont("Arial", c.before);
        LOGFONT chosen = FontInPoints(before);
        chosen.lfHeight = c.chosen;
        chosen.lfWeight = 700;
        const LOGFONT after = FontInTenths(before, chosen);
        EXPECT_EQ(after.lfHeight, c.after) << c.before << " " << c.chosen;
        EXPECT_EQ(after.lfWeight, 700);
    }
}

} // namespace
