// What the point symbol sheet, its pages and the sign list decide,
// without showing them.
#include "settings/PointSymbolRules.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "render/Picture.h"
#include "settings/BaseScales.h"
#include "shell/ControlDrawing.h"
#include "tests/render/SymbolFixtures.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

CPointStyle Style(int16_t kind, uint16_t symbol, uint32_t options = 0, int32_t referenceScale = 0)
{
    CPointStyle style;
    style.kind = kind;
    style.symbol = symbol;
    style.options = options;
    style.referenceScale = referenceScale;
    return style;
}

TEST(PointSymbolRulesTest, TheSheetStartsOnThePageOfTheStylesKindAndNamesItsNumber)
{
    EXPECT_EQ(StartPageFor(Style(CPointStyle::kLibrary, 5)), kIconPage);
    EXPECT_EQ(StartPageFor(Style(CPointStyle::kFontCharacter, 65)), kFontPage);
    EXPECT_EQ(StartPageFor(Style(CPointStyle::kPicture, 0)), kPicturePage);
    EXPECT_EQ(SymbolNumberText(65), Utf8ToCp1257("Ženklo numeris: 65"));
    EXPECT_EQ(SymbolNumberText(0x8003), Utf8ToCp1257("Ženklo numeris: 32771"));

    const CPointStyle font = DefaultFontStyle();
    EXPECT_EQ(font.kind, CPointStyle::kFontCharacter);
    EXPECT_EQ(font.symbol, kNoSymbol);
    EXPECT_EQ(font.GetName(), "Symbol");
    EXPECT_EQ(font.size, 160);
    const CPointStyle picture = DefaultPictureStyle();
    EXPECT_EQ(picture.kind, CPointStyle::kPicture);
    EXPECT_EQ(picture.symbol, kNoSymbol);
    EXPECT_EQ(picture.size, 10000);
}

TEST(PointSymbolRulesTest, TheListsItemsAreSymbolNumbersWithIconFilesAfterTheLibrary)
{
    CSymbolWorld world;
    world.icons.count = 30;
    world.WriteUserFile("Symbols/7.ico", SolidIco(32, 0x00FF00));
    world.WriteUserFile("Symbols/2.ico", SolidIco(32, 0x0000FF));
    const std::vector<int> items = LibrarySymbols(SymbolLibrary());
    ASSERT_EQ(items.size(), 32u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(items[static_cast<size_t>(i)], i);
    EXPECT_EQ(items[30], 0x8002);
    EXPECT_EQ(items[31], 0x8007);

    EXPECT_EQ(FindSymbolItem(items, 0x8007), 31);
    EXPECT_EQ(FindSymbolItem(items, 0x8005), -1);
    EXPECT_EQ(SymbolOfItem(items, 31), 0x8007) << "the number, not the index";
    EXPECT_EQ(SymbolOfItem(items, -1), -1) << "no selection";
    EXPECT_EQ(SymbolOfItem(items, 32), -1);
}

TEST(PointSymbolRulesTest, AnItemShowsItsSymbolAndASelectedOneItsFrame)
{
    CSymbolWorld world;
    world.icons.count = 30;
    world.WriteUserFile("Symbols/4.ico", SolidIco(32, 0x2040F0));
    ControlColors colours;
    colours.window = RGB(255, 255, 255);
    colours.selection = RGB(0, 0, 200);
    for (const bool selected : {false, true}) {
        QImage image(kSymbolItemSize, kSymbolItemSize, QImage::Format_RGB32);
        {
            CDC dc(image);
            DrawSymbolListItem(dc, CRect(0, 0, kSymbolItemSize, kSymbolItemSize), 0x8004, selected, false, colours,
                               SymbolLibrary());
        }
        const QColor centre = image.pixelColor(kSymbolItemSize / 2, kSymbolItemSize / 2);
        EXPECT_EQ(RGB(centre.red(), centre.green(), centre.blue()), RGB(0x20, 0x40, 0xF0)) << "the icon file's colour";
        for (const int edge : {0, 1}) {
            const QColor c = image.pixelColor(edge, kSymbolItemSize / 2);
            EXPECT_EQ(RGB(c.red(), c.green(), c.blue()), selected ? colours.selection : colours.window) << edge;
        }
    }
}

TEST(PointSymbolRulesTest, FacesAreScalableAndListedOnce)
{
    const std::vector<std::pair<std::string, bool>> installed = {
        {"DejaVu Sans", true}, {"Fixed", false}, {"Symbol", true}, {"dejavu sans", true}, {"", true}, {"Wingdings", true},
    };
    const std::vector<std::string> faces = SymbolFaces(installed);
    EXPECT_EQ(faces, (std::vector<std::string>{"DejaVu Sans", "Symbol", "Wingdings"}));
    EXPECT_EQ(FindFace(faces, "SYMBOL"), 1);
    EXPECT_EQ(FindFace(faces, "Fixed"), -1);
}

TEST(PointSymbolRulesTest, SizesAndAnglesAreTenthsFromTheListOrTyped)
{
    EXPECT_EQ(FontSizeText(160), "16");
    EXPECT_EQ(FontSizeText(165), "16");
    EXPECT_EQ(FindFontSize(160), 6);
    EXPECT_EQ(FindFontSize(720), 15);
    EXPECT_EQ(FindFontSize(165), -1);
    const struct {
        const char* text;
        bool read;
        int32_t value;
    } cases[] = {
        {"12", true, 120}, {"  7", true, 70}, {"33abc", true, 330}, {"", false, -1}, {"abc", false, -1},
        {"12.7", true, 120}, {"99999999999", true, INT32_MAX},
    };
    for (const auto& c : cases) {
        int32_t value = -1;
        EXPECT_EQ(ReadTenths(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(PointSymbolRulesTest, TheOutlineRadiosSetAndClearTheirFlags)
{
    const uint32_t other = CPointStyle::kBold | CPointStyle::kShadow;
    const struct {
        OutlineRadio radio;
        uint32_t options;
    } cases[] = {
        {kOutlineNone, other},
        {kOutlineWhite, other | CPointStyle::kWhiteHalo},
        {kOutlineBlack, other | CPointStyle::kBlackHalo},
    };
    for (const uint32_t before : {other, other | CPointStyle::kWhiteHalo, other | CPointStyle::kBlackHalo,
                                  other | CPointStyle::kWhiteHalo | CPointStyle::kBlackHalo}) {
        for (const auto& c : cases) {
            CPointStyle style = Style(CPointStyle::kFontCharacter, 65, before);
            SetOutline(style, c.radio);
            EXPECT_EQ(style.options, c.options) << before << " " << c.radio;
            EXPECT_EQ(OutlineRadioFor(style), c.radio);
        }
    }
    // A style with both shows white.
    EXPECT_EQ(OutlineRadioFor(Style(1, 65, CPointStyle::kWhiteHalo | CPointStyle::kBlackHalo)), kOutlineWhite);
}

TEST(PointSymbolRulesTest, TheBaseScaleShownIsTheStoredOneOrTheProposal)
{
    SetSymbolBaseScale(25000);
    EXPECT_EQ(ShownBaseScale(Style(1, 65, CPointStyle::kScalesWithMap, 10000)), 10000);
    EXPECT_EQ(ShownBaseScale(Style(1, 65, CPointStyle::kScalesWithMap, 0)), 25000);
    EXPECT_EQ(ShownBaseScale(Style(1, 65, 0, 10000)), 25000) << "not scale-dependent";
    SetSymbolBaseScale(0);
    CPointStyle style = Style(1, 65);
    SetScalesWithMap(style, true);
    EXPECT_EQ(style.options, uint32_t(CPointStyle::kScalesWithMap));
    SetScalesWithMap(style, false);
    EXPECT_EQ(style.options, 0u);
}

TEST(PointSymbolRulesTest, APageShowsWhatItsPictureTakes)
{
    const CSize size(40, 30);
    const struct {
        const char* what;
        bool loaded;
        int kind, type;
        uint32_t options;
        bool transparency, pick, sizeShown, baseScale;
        uint32_t after;
    } cases[] = {
        {"raster with colour", true, CPicture::kRaster, PICTURE_PNG, 0x20, true, true, false, false, 0x20},
        {"raster without", true, CPicture::kRaster, PICTURE_BMP, 0, true, false, false, false, 0},
        {"icon", true, CPicture::kIcon, PICTURE_ICON, 0x20, false, false, false, false, 0},
        {"metafile", true, CPicture::kMetafile, PICTURE_METAFILE, 0x21, false, false, true, true, 0x01},
        {"metafile fixed", true, CPicture::kMetafile, PICTURE_METAFILE, 0x00, false, false, true, false, 0},
        {"nothing loaded", false, CPicture::kEmpty, PICTURE_NONE, 0x21, false, false, false, false, 0x01},
    };
    for (const auto& c : cases) {
        CPointStyle style = Style(CPointStyle::kPicture, 0, c.options);
        const CPicturePageState state = RefreshPicturePage(style, c.loaded, c.kind, c.type, size);
        EXPECT_EQ(state.anchor, c.loaded) << c.what;
        EXPECT_EQ(state.anchorWidth, c.loaded ? 40 : 0) << c.what;
        EXPECT_EQ(state.anchorHeight, c.loaded ? 30 : 0) << c.what;
        EXPECT_EQ(state.transparency, c.transparency) << c.what;
        EXPECT_EQ(state.transparentPick, c.pick) << c.what;
        EXPECT_EQ(state.size, c.sizeShown) << c.what;
        EXPECT_EQ(state.baseScale, c.baseScale) << c.what;
        EXPECT_EQ(style.options, c.after) << c.what;
    }
}

TEST(PointSymbolRulesTest, AChosenFileAnchorsThePictureAtItsCentreAndTypedAnchorsStayInside)
{
    CPointStyle style = Style(CPointStyle::kPicture, kNoSymbol);
    SetPictureFile(style, "/tmp/x/vieta.png", CSize(41, 30));
    EXPECT_EQ(style.symbol, 0);
    EXPECT_EQ(style.GetName(), "/tmp/x/vieta.png");
    EXPECT_EQ(style.anchorX, 20);
    EXPECT_EQ(style.anchorY, 15);
    const struct {
        int value, side, held;
    } cases[] = {{5, 40, 5}, {40, 40, 40}, {41, 40, 40}, {-3, 40, 0}, {100000, 70000, 32767}, {3, -1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HeldAnchor(c.value, c.side), c.held) << c.value << " of " << c.side;
}

TEST(PointSymbolRulesTest, PercentagesShowTwoDecimalsAndTheSpinNeverGoesBelowNought)
{
    EXPECT_EQ(PercentText(10000), "100.00");
    EXPECT_EQ(PercentText(1234), "12.34");
    int32_t size = -1;
    EXPECT_TRUE(ReadPercent("12.5", size));
    EXPECT_EQ(size, 1250);
    EXPECT_FALSE(ReadPercent("x", size));
    EXPECT_FALSE(ReadPercent("-5", size));
    EXPECT_EQ(size, 1250);
    const struct {
        const char* shown;
        int steps;
        bool written;
        int32_t size;
    } cases[] = {
        {"100.00", 1, true, 11000}, {"100.00", -1, true, 9000}, {"5.00", -1, false, -1}, {"10.00", -1, true, 0},
        {"0.00", -1, false, -1}, {"", 1, true, 1000},
    };
    for (const auto& c : cases) {
        int32_t stepped = -1;
        EXPECT_EQ(StepPercent(c.shown, c.steps, stepped), c.written) << c.shown << " " << c.steps;
        EXPECT_EQ(stepped, c.size) << c.shown << " " << c.steps;
    }
}

TEST(PointSymbolRulesTest, ThePickButtonsExcludeEachOther)
{
    const struct {
        int mode;
        PickButton button;
        bool pressed;
        int after;
    } cases[] = {
        {kNoPickButton, kAnchorPickButton, true, kAnchorPickButton},
        {kAnchorPickButton, kTransparentPickButton, true, kTransparentPickButton},
        {kTransparentPickButton, kAnchorPickButton, true, kAnchorPickButton},
        {kAnchorPickButton, kAnchorPickButton, false, kNoPickButton},
        {kAnchorPickButton, kTransparentPickButton, false, kAnchorPickButton},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickModeAfter(c.mode, c.button, c.pressed), c.after) << c.mode << " " << c.button;

    CPointStyle style = Style(CPointStyle::kPicture, 0);
    int mode = kTransparentPickButton;
    SetTransparentColour(style, true, mode);
    EXPECT_EQ(style.options, uint32_t(CPointStyle::kTransparentColour));
    EXPECT_EQ(mode, kTransparentPickButton);
    SetTransparentColour(style, false, mode);
    EXPECT_EQ(style.options, 0u);
    EXPECT_EQ(mode, kNoPickButton) << "clearing ends the colour pick";
    mode = kAnchorPickButton;
    SetTransparentColour(style, false, mode);
    EXPECT_EQ(mode, kAnchorPickButton);
}

} // namespace
