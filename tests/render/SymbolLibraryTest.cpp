#include "render/SymbolLibrary.h"

#include "layers/PointStyle.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "render/IconLibrary.h"
#include "render/PointSymbolHook.h"
#include "tests/render/PixelArt.h"
#include "tests/render/SymbolFixtures.h"

#include <QDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);

const std::vector<int> kDrawnShapes = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                       15, 16, 17, 18, 19, 20, 21, 22, 23, 25, 26, 27, 28, 29};

int SizeOf(int symbol)
{
    constexpr std::array<int, 6> kByFour = {7, 10, 7, 15, 10, 5};
    constexpr std::array<int, 5> kOthers = {8, 12, 3, 4, 4};
    return symbol < 24 ? kByFour[symbol / 4] : kOthers[symbol - 25];
}

CRect NotPaper(const QImage& image)
{
    return Ink(image, [](COLORREF c) { return c != kPaper; });
}

} // namespace

TEST(SymbolLibrary, TheUnitIs32DevicePixelsAndOnOtherDevicesAtLeast333)
{
    struct Case {
        bool thousandths;
        int dpi;
        int unit;
    } cases[] = {
        {false, 96, 32}, {false, 300, 32}, // pixels are the units
        {true, 96, 333},                   // 32 pixels are 333.3 thousandths
        {true, 150, 213},                  // above 200: as converted
        {true, 192, 333},                  // 167 is below 200
        {true, 300, 333},                  // 107 is below 200
        {true, 72, 444},
    };
    for (const Case& c : cases) {
        QImage image = MakeImageAt(10, 10, c.dpi);
        CDC dc(image);
        if (c.thousandths)
            SetThousandths(dc, c.dpi);
        EXPECT_EQ(CSymbolLibrary::GetSymbolUnit(dc), CSize(c.unit, c.unit)) << c.thousandths << " " << c.dpi;
    }
    QImage image = MakeImageAt(10, 10, 96);
    CDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC); // one unit a pixel, but not MM_TEXT
    EXPECT_EQ(CSymbolLibrary::GetSymbolUnit(dc), CSize(333, 333));
}

TEST(SymbolLibrary, ShapesAreKTimesTheUnitOver32WideCentredOnThePoint)
{
    CSymbolWorld world;
    struct Context {
        bool thousandths;
        int dpi;
    } contexts[] = {{false, 96}, {true, 96}, {true, 300}, {true, 150}};
    for (const Context& c : contexts) {
        for (int symbol : kDrawnShapes) {
            QImage image = MakeImageAt(200, 200, c.dpi, kPaper);
            CDC dc(image);
            CPoint at(100, 100);
            if (c.thousandths) {
                SetThousandths(dc, c.dpi);
                dc.DPtoLP(&at);
            }
            ASSERT_EQ(SymbolLibrary().DrawSymbol(dc, at.x, at.y, symbol), 1) << symbol;
            const CSize unit = CSymbolLibrary::GetSymbolUnit(dc);
            CSize expected(SizeOf(symbol) * unit.cx / 32, SizeOf(symbol) * unit.cy / 32);
            dc.LPtoDP(&expected);
            const CRect ink = NotPaper(image);
            const std::string what = std::to_string(symbol) + " at " + std::to_string(c.dpi) + " dpi" +
                                     (c.thousandths ? " in thousandths" : "");
            // Wide pens reach half their width beyond the shape, more at a sharp corner.
            CSize pen(unit.cx / (symbol == 25 ? 22 : symbol == 26 ? 23 : 48), 0);
            dc.LPtoDP(&pen);
            const int slack = 1 + pen.cx;
            EXPECT_NEAR(ink.Width(), expected.cx, slack) << what;
            EXPECT_NEAR(ink.Height(), expected.cy, slack) << what;
            EXPECT_NEAR(ink.left + ink.Width() / 2.0, 100, 1.0) << what;
            EXPECT_NEAR(ink.top + ink.Height() / 2.0, 100, 1.0) << what;
        }
    }
}

TEST(SymbolLibrary, ShapeColoursFollowTheNumberModFourAndTheStateComesBack)
{
    CSymbolWorld world;
    const COLORREF byRemainder[4] = {kRed, kGreen, kMagenta, kCyan};
    QImage image = MakeImageAt(40, 40, 96, kPaper);
    CDC dc(image);
    const CPen pen(PS_SOLID, 0, kBlue);
    const CBrush brush(kYellow);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    for (int symbol = 0; symbol < 24; ++symbol) {
        SymbolLibrary().DrawSymbol(dc, 20, 20, symbol);
        EXPECT_EQ(At(image, 20, 20), byRemainder[symbol % 4]) << symbol;
    }
    const std::pair<int, COLORREF> others[] = {{25, kBlack}, {26, kBlack}, {27, kBlack}, {28, kBlack}, {29, kWhite}};
    for (const auto& [symbol, colour] : others) {
        image.fill(QColor(200, 200, 200));
        SymbolLibrary().DrawSymbol(dc, 20, 20, symbol);
        EXPECT_EQ(At(image, 20, 20), colour) << symbol;
    }
    // The diamond is white inside, its strokes reach half-way to the corners.
    image.fill(QColor(200, 200, 200));
    SymbolLibrary().DrawSymbol(dc, 20, 20, 26);
    EXPECT_EQ(At(image, 20, 15), kWhite);
    EXPECT_EQ(At(image, 17, 17), kBlack);
    EXPECT_EQ(At(image, 15, 15), kPaper) << "outside the diamond";
    EXPECT_TRUE(dc.GetCurrentPen() == pen);
    EXPECT_TRUE(dc.GetCurrentBrush() == brush);
}

TEST(SymbolLibrary, EveryDrawnShapeOnASheetAt96And300Dpi)
{
    NeedGuiApplication();
    CSymbolWorld world;
    SetIconLibrary(nullptr); // the icons the program ships
    SetProgramFolderForTesting("");
    SymbolLibrary().Release();
    const int dpis[] = {96, 300};
    for (int dpi : dpis) {
        const int cell = dpi / 2; // half an inch
        QImage sheet = MakeImageAt(cell * 8, cell * 6, dpi, kPaper);
        CDC dc(sheet);
        SetThousandths(dc, dpi);
        std::vector<int> symbols = kDrawnShapes;
        for (int icon : {24, 30, 31, 32, 33, 34})
            symbols.push_back(icon);
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            const int column = static_cast<int>(i % 8), row = static_cast<int>(i / 8);
            CPoint at(column * cell + cell / 2, row * cell + cell / 2);
            dc.DPtoLP(&at);
            EXPECT_EQ(SymbolLibrary().DrawSymbol(dc, at.x, at.y, symbols[i]), 1) << symbols[i];
            CRect label(column * cell, row * cell + cell * 7 / 10, (column + 1) * cell, (row + 1) * cell);
            dc.DPtoLP(&label);
            dc.SetBkMode(TRANSPARENT);
            dc.DrawText(std::to_string(symbols[i]), &label, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
        }
        // A row of font symbols: plain, bold, turned, shadow, white and black halo, shadow and halo.
        const uint32_t options[] = {0, CPointStyle::kBold, 0, CPointStyle::kShadow, CPointStyle::kWhiteHalo,
                                    CPointStyle::kBlackHalo, CPointStyle::kShadow | CPointStyle::kWhiteHalo};
        for (int i = 0; i < 7; ++i) {
            CPointStyle font;
            font.kind = CPointStyle::kFontCharacter;
            font.symbol = 'R';
            font.SetName("DejaVu Sans");
            font.size = 200;
            font.color = RGB(0, 90, 200);
            font.options = options[i];
            font.angle = i == 2 ? 450 : 0;
            CPoint at(i * cell + cell / 2, 5 * cell + cell / 2);
            dc.DPtoLP(&at);
            EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, at.x, at.y, font, 0), 1) << i;
        }
        if (const char* folder = std::getenv("DREL_SCREENSHOT_DIR"))
            sheet.save(QDir(QString::fromLocal8Bit(folder)).filePath(QString("symbol-sheet-%1dpi.png").arg(dpi)));
    }
}

TEST(SymbolLibrary, LibraryIconsAre24And30UpCentredAtTheUnitsSize)
{
    CSymbolWorld world;
    world.icons.count = 40;
    QImage image = MakeImageAt(100, 100, 96, kPaper);
    CDC dc(image);
    for (int symbol : {24, 30, 39}) {
        image.fill(QColor(200, 200, 200));
        ASSERT_EQ(SymbolLibrary().DrawSymbol(dc, 50, 50, symbol), 1) << symbol;
        EXPECT_EQ(NotPaper(image), CRect(34, 34, 66, 66)) << symbol;
        EXPECT_EQ(At(image, 50, 50), CFakeIconLibrary::IconColourRef(symbol)) << symbol;
    }
    // Shapes keep their numbers although the library has icons there.
    for (int symbol : {0, 25, 29}) {
        image.fill(QColor(200, 200, 200));
        SymbolLibrary().DrawSymbol(dc, 50, 50, symbol);
        EXPECT_NE(At(image, 50, 50), CFakeIconLibrary::IconColourRef(symbol)) << symbol;
    }
    EXPECT_EQ(world.icons.extracted.count(25), 0u);
    // Beyond the library, and without one, nothing.
    image.fill(QColor(200, 200, 200));
    EXPECT_EQ(SymbolLibrary().DrawSymbol(dc, 50, 50, 40), 0);
    world.icons.count = 0;
    SymbolLibrary().Release();
    EXPECT_EQ(SymbolLibrary().DrawSymbol(dc, 50, 50, 24), 0);
    EXPECT_TRUE(NotPaper(image).IsRectEmpty());

    // On a 300-dpi page the icon keeps a third of an inch.
    world.icons.count = 40;
    SymbolLibrary().Release();
    QImage page = MakeImageAt(300, 300, 300, kPaper);
    CDC pageDc(page);
    SetThousandths(pageDc, 300);
    SymbolLibrary().DrawSymbol(pageDc, 500, 500, 30);
    const CRect ink = NotPaper(page);
    EXPECT_NEAR(ink.Width(), 100, 1);
    EXPECT_NEAR(ink.left + ink.Width() / 2.0, 150, 1);
}

TEST(SymbolLibrary, TheIconCacheReplacesTheLeastUsedButNeverTheLastDrawn)
{
    CSymbolWorld world;
    world.icons.count = 100;
    QImage image = MakeImageAt(40, 40, 96, kPaper);
    CDC dc(image);
    const auto draw = [&](int symbol) { return SymbolLibrary().DrawSymbol(dc, 20, 20, symbol); };
    for (int round = 0; round < 2; ++round)
        for (int symbol = 30; symbol < 60; ++symbol)
            ASSERT_EQ(draw(symbol), 1);
    for (int symbol = 30; symbol < 60; ++symbol)
        EXPECT_EQ(world.icons.extracted[symbol], 1) << "thirty icons are kept";

    // All used twice: the 31st takes the first entry and is used once.
    draw(60);
    // The 32nd: the 31st is now the least used, but it was drawn last.
    draw(61);
    draw(60);
    EXPECT_EQ(world.icons.extracted[60], 1) << "kept as the last drawn";
    draw(31);
    EXPECT_EQ(world.icons.extracted[31], 2) << "the least used after it went";
    draw(30);
    EXPECT_EQ(world.icons.extracted[30], 2) << "the first replaced";
    draw(45);
    EXPECT_EQ(world.icons.extracted[45], 1);

    // Release forgets the cache.
    SymbolLibrary().Release();
    draw(45);
    EXPECT_EQ(world.icons.extracted[45], 2);
}

TEST(SymbolLibrary, IconFilesAreNumbered1To10000WhateverTheirLeadingZeros)
{
    CSymbolWorld world;
    world.icons.count = 35;
    world.WriteUserFile("Symbols/0042.ico", SolidIco(32, 0x0000FF));
    world.WriteUserFile("Symbols/42.ico", SolidIco(32, 0x00FF00));
    world.WriteUserFile("Symbols/7.ICO", SolidIco(32, 0xFF0000));
    world.WriteUserFile("Symbols/10000.ico", SolidIco(16, 0xFFFF00));
    for (const char* ignored : {"Symbols/10001.ico", "Symbols/abc.ico", "Symbols/0.ico", "Symbols/-3.ico"})
        world.WriteUserFile(ignored, SolidIco(32, 0x000000));
    world.WriteUserFile("Symbols/5.bmp", PlainBmp(4, 4, 24));

    CSymbolLibrary& library = SymbolLibrary();
    EXPECT_EQ(library.GetSymbolCount(), 35) << "the files are listed when scanned";
    EXPECT_EQ(library.ScanIconFiles(), 4);
    EXPECT_EQ(library.ScanIconFiles(), 4);
    ASSERT_EQ(library.GetSymbolCount(), 39);
    EXPECT_EQ(library.GetSymbolId(0), 0);
    EXPECT_EQ(library.GetSymbolId(34), 34);
    EXPECT_EQ(library.GetSymbolId(35), 0x8000 + 7);
    EXPECT_EQ(library.GetSymbolId(36), 0x8000 + 42);
    EXPECT_EQ(library.GetSymbolId(37), 0x8000 + 42);
    EXPECT_EQ(library.GetSymbolId(38), 0x8000 + 10000);
    EXPECT_EQ(library.GetSymbolId(39), -1);

    QImage image = MakeImageAt(60, 60, 96, kPaper);
    CDC dc(image);
    ASSERT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 7), 1);
    EXPECT_EQ(At(image, 30, 30), kRed);
    EXPECT_EQ(NotPaper(image), CRect(14, 14, 46, 46));
    // The first of two files of one number, by name.
    ASSERT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 42), 1);
    EXPECT_EQ(At(image, 30, 30), kBlue);
    EXPECT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 1), 0);
    EXPECT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 10001), 0);
    // A small icon is stretched to the unit.
    image.fill(QColor(200, 200, 200));
    ASSERT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 10000), 1);
    EXPECT_EQ(NotPaper(image), CRect(14, 14, 46, 46));

    // A file with leading zeros alone still draws its symbol.
    RemoveFile(world.UserFolder().File("Symbols/42.ico"));
    world.WriteUserFile("Symbols/8.ico", SolidIco(32, 0x00FF00));
    EXPECT_EQ(library.ScanIconFiles(), 4) << "listed once until freed";
    library.FreeIcons();
    EXPECT_EQ(library.ScanIconFiles(), 4);
    EXPECT_EQ(library.GetSymbolId(36), 0x8000 + 8);
    image.fill(QColor(200, 200, 200));
    ASSERT_EQ(library.DrawSymbol(dc, 30, 30, 0x8000 + 42), 1);
    EXPECT_EQ(At(image, 30, 30), kBlue);
}

TEST(SymbolLibrary, TheSymbolsFolderOfTheUserComesBeforeTheProgramsAndAMissingOneListsNothing)
{
    CSymbolWorld world;
    EXPECT_EQ(SymbolLibrary().ScanIconFiles(), 0);
    EXPECT_EQ(SymbolLibrary().GetSymbolCount(), 0);

    MakeFolder(world.ProgramFolder().File("Symbols"));
    WriteWholeFile(world.ProgramFolder().File("Symbols/3.ico"), SolidIco(32, 0xFF0000));
    SymbolLibrary().Release();
    ASSERT_EQ(SymbolLibrary().ScanIconFiles(), 1);
    EXPECT_EQ(SymbolLibrary().GetSymbolId(0), 0x8003);

    world.WriteUserFile("Symbols/4.ico", SolidIco(32, 0x00FF00));
    SymbolLibrary().Release();
    ASSERT_EQ(SymbolLibrary().ScanIconFiles(), 1);
    EXPECT_EQ(SymbolLibrary().GetSymbolId(0), 0x8004);
    // A broken icon file draws nothing.
    world.WriteUserFile("Symbols/5.ico", "not an icon");
    SymbolLibrary().FreeIcons();
    QImage image = MakeImageAt(40, 40, 96, kPaper);
    CDC dc(image);
    EXPECT_EQ(SymbolLibrary().DrawSymbol(dc, 20, 20, 0x8005), 0);
    EXPECT_TRUE(NotPaper(image).IsRectEmpty());
}

TEST(SymbolLibrary, TheProgramsIconLibraryIsItsFolderOfNumberedIcons)
{
    CTempDir folder;
    CIconFolderLibrary none(folder.File("Vexil/"));
    EXPECT_EQ(none.GetIconCount(), 0);
    MakeFolder(folder.File("Vexil"));
    WriteWholeFile(folder.File("Vexil/24.ico"), SolidIco(32, 0xFF0000));
    WriteWholeFile(folder.File("Vexil/31.ICO"), SolidIco(32, 0x00FF00));
    WriteWholeFile(folder.File("Vexil/031.ico"), SolidIco(32, 0x0000FF)); // not as the index is written
    WriteWholeFile(folder.File("Vexil/40000.ico"), SolidIco(32, 0x0000FF));
    CIconFolderLibrary library(folder.File("Vexil/"));
    EXPECT_EQ(library.GetIconCount(), 32);
    CIcon icon;
    EXPECT_TRUE(library.ExtractIcon(24, icon));
    EXPECT_EQ(icon.GetSize(), CSize(32, 32));
    EXPECT_TRUE(library.ExtractIcon(31, icon));
    EXPECT_FALSE(library.ExtractIcon(30, icon));
    EXPECT_FALSE(icon.GetSafeHandle());

    // The icons the program ships beside itself.
    CSymbolWorld world;
    SetProgramFolderForTesting("");
    SetIconLibrary(nullptr);
    EXPECT_GE(IconLibrary().GetIconCount(), 31);
    for (int index : {24, 30})
        EXPECT_TRUE(IconLibrary().ExtractIcon(index, icon)) << index;
}

TEST(SymbolLibrary, IconFileNumbersAreReadAsAtoiReadsThem)
{
    const std::pair<const char*, int> cases[] = {
        {"42.ico", 42}, {"0042.ico", 42}, {" 7.ico", 7}, {"12abc.ico", 12}, {"abc.ico", 0},
        {"-5.ico", -5}, {"+3.ico", 3},    {"99999999999.ico", 0x7FFFFFFF},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(IconFileNumber(name), number) << name;
}

TEST(SymbolLibrary, StyleSwatchesDrawThroughTheLibrary)
{
    CSymbolWorld world;
    SetPointSymbolDrawer(nullptr);
    QImage image = MakeImageAt(40, 40, 96, kPaper);
    CDC dc(image);
    CPointStyle style;
    style.symbol = 9;
    EXPECT_EQ(DrawPointSymbol(dc, 20, 20, style, 0), 1);
    EXPECT_EQ(At(image, 20, 20), kGreen);
    style.kind = 7; // no such kind
    EXPECT_EQ(DrawPointSymbol(dc, 20, 20, style, 0), 0);
}
