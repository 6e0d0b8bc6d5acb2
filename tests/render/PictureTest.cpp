#include "render/Picture.h"

#include "layers/PointStyle.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "render/MetafilePicture.h"
#include "render/PictureCache.h"
#include "render/SymbolLibrary.h"
#include "render/XImage.h"
#include "tests/render/GifFixtures.h"
#include "tests/render/PixelArt.h"
#include "tests/render/PngFixtures.h"
#include "tests/render/SymbolFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);

CRect NotPaper(const QImage& image)
{
    return Ink(image, [](COLORREF c) { return c != kPaper; });
}

// A 24-bit BMP; colour(x, y) with y = 0 the top row.
std::string Bmp24(int width, int height, const std::function<COLORREF(int, int)>& colour)
{
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 24;
    const std::string dib = InfoHeader(f) + FixtureRows(width, height, 24, false, [&](int x, int y) {
                                const COLORREF c = colour(x, y);
                                return (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                            });
    return WithFileHeader(dib, 54);
}

std::string SolidBmp(int width, int height, COLORREF colour)
{
    return Bmp24(width, height, [colour](int, int) { return colour; });
}

// An 8-bit BMP whose palette is the given colours; index(x, y), y = 0 the top row.
std::string Bmp8(int width, int height, const std::vector<COLORREF>& palette,
                 const std::function<int(int, int)>& index)
{
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 8;
    f.clrUsed = static_cast<std::uint32_t>(palette.size());
    CByteWriter table;
    for (COLORREF c : palette)
        table.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c)).U8(0);
    const std::string dib = InfoHeader(f) + table.Str() + FixtureRows(width, height, 8, false, [&](int x, int y) {
                                return static_cast<std::uint32_t>(index(x, y));
                            });
    return WithFileHeader(dib, static_cast<std::uint32_t>(54 + table.Size()));
}

CPointStyle PictureStyle(const std::string& name, int anchorX = 0, int anchorY = 0)
{
    CPointStyle style;
    style.kind = CPointStyle::kPicture;
    style.SetName(name);
    style.anchorX = static_cast<int16_t>(anchorX);
    style.anchorY = static_cast<int16_t>(anchorY);
    return style;
}

// The metafile the fake player was last asked to play.
struct PlayCall {
    int calls = 0;
    CMetafilePicture::Kind kind = CMetafilePicture::kNone;
    CRect rect;
};
PlayCall g_played;

bool RecordPlay(CDC& dc, const CMetafilePicture& metafile, const CRect& rect)
{
    ++g_played.calls;
    g_played.kind = metafile.GetKind();
    g_played.rect = rect;
    dc.FillSolidRect(rect, RGB(255, 0, 0));
    return true;
}

// An enhanced metafile of a header and an end record, with these bounds.
std::string Emf(const CRect& bounds)
{
    CByteWriter w;
    const std::uint32_t total = 88 + 20;
    w.U32(1).U32(88);
    for (int v : {bounds.left, bounds.top, bounds.right, bounds.bottom})
        w.U32(static_cast<std::uint32_t>(v));
    w.U32(0).U32(0).U32(2540).U32(1270); // frame
    w.U32(0x464D4520).U32(0x10000).U32(total).U32(2).U16(1).U16(0).U32(0).U32(0).U32(0);
    w.U32(1024).U32(768).U32(320).U32(240);
    w.U32(14).U32(20).U32(0).U32(16).U32(20); // EMR_EOF
    return w.Str();
}

} // namespace

TEST(Picture, TypesComeFromTheExtensionInAnyCase)
{
    const struct {
        const char* name;
        int type;
        int format;
    } cases[] = {
        {"a.bmp", PICTURE_BMP, CXIMAGE_FORMAT_BMP},       {"A.GIF", PICTURE_GIF, CXIMAGE_FORMAT_GIF},
        {"c:\\x\\p.Jpg", PICTURE_JPEG, CXIMAGE_FORMAT_JPG}, {"p.jpeg", PICTURE_JPEG, CXIMAGE_FORMAT_JPG},
        {"p.png", PICTURE_PNG, CXIMAGE_FORMAT_PNG},       {"p.TIF", PICTURE_TIFF, CXIMAGE_FORMAT_TIF},
        {"p.tiff", PICTURE_TIFF, CXIMAGE_FORMAT_TIF},     {"m.emf", PICTURE_METAFILE, 0},
        {"m.WMF", PICTURE_METAFILE, 0},                   {"i.ico", PICTURE_ICON, 0},
        {"picture", PICTURE_NONE, 0},                     {"picture.", PICTURE_NONE, 0},
        {"p.wbmp", PICTURE_NONE, 0},                      {"maps.png/picture", PICTURE_NONE, 0},
        {"p.bmp.txt", PICTURE_NONE, 0},
    };
    for (const auto& c : cases) {
        int format = -1;
        EXPECT_EQ(GetPictureType(c.name, &format), c.type) << c.name;
        EXPECT_EQ(format, c.format) << c.name;
    }
}

TEST(Picture, KindsSizesMemoryAndOpacity)
{
    NeedGuiApplication();
    CTempDir dir;
    WriteWholeFile(dir.File("a.bmp"), SolidBmp(10, 6, kRed));
    WriteWholeFile(dir.File("a.ico"), SolidIco(32, 0x00FF00));
    WriteWholeFile(dir.File("a.emf"), Emf(CRect(10, 20, 110, 70)));
    PngFixture keyed;
    keyed.colourType = PNG_COLOR_TYPE_PALETTE;
    keyed.bitDepth = 8;
    keyed.palette = {PngRgb(1, 2, 3), PngRgb(200, 0, 0)};
    keyed.paletteAlpha = {0};
    keyed.pixel = [](int x, int) { return std::vector<unsigned>{unsigned(x % 2)}; };
    WriteWholeFile(dir.File("keyed.png"), WritePng(keyed));
    PngFixture plain = keyed;
    plain.paletteAlpha.clear();
    WriteWholeFile(dir.File("plain.png"), WritePng(plain));
    WriteWholeFile(dir.File("picture"), SolidBmp(4, 4, kRed));
    WriteWholeFile(dir.File("picture.txt"), SolidBmp(4, 4, kRed));

    CPicture picture;
    ASSERT_EQ(picture.Load(dir.File("a.bmp")), 1);
    EXPECT_EQ(picture.GetKind(), CPicture::kRaster);
    EXPECT_EQ(picture.GetSize(), CSize(10, 6));
    EXPECT_EQ(picture.GetMemorySize(), 32u * 6 + 424) << "rows of 32 bytes";
    EXPECT_TRUE(picture.IsOpaque());

    ASSERT_EQ(picture.Load(dir.File("keyed.png")), 1);
    EXPECT_EQ(picture.GetPictureType(), PICTURE_PNG);
    EXPECT_FALSE(picture.IsOpaque());
    EXPECT_EQ(picture.GetMemorySize(), 4u * 3 + 424);
    ASSERT_EQ(picture.Load(dir.File("plain.png")), 1);
    EXPECT_TRUE(picture.IsOpaque());

    ASSERT_EQ(picture.Load(dir.File("a.ico")), 1);
    EXPECT_EQ(picture.GetKind(), CPicture::kIcon);
    EXPECT_EQ(picture.GetSize(), CSize(32, 32));
    EXPECT_EQ(picture.GetMemorySize(), 0u);
    EXPECT_FALSE(picture.IsOpaque());

    ASSERT_EQ(picture.Load(dir.File("a.emf")), 1);
    EXPECT_EQ(picture.GetKind(), CPicture::kMetafile);
    EXPECT_EQ(picture.GetPictureType(), PICTURE_METAFILE);
    EXPECT_EQ(picture.GetSize(), CSize(100, 50));
    EXPECT_EQ(picture.GetMemorySize(), 0u);

    // No extension, an unknown one, a missing or broken file: nothing.
    for (const char* name : {"picture", "picture.txt", "missing.bmp", "a.ico.png"}) {
        EXPECT_EQ(picture.Load(dir.File(name)), 0) << name;
        EXPECT_EQ(picture.GetKind(), CPicture::kEmpty) << name;
        EXPECT_EQ(picture.GetSize(), CSize()) << name;
    }
    WriteWholeFile(dir.File("broken.png"), "\x89PNG\r\n\x1a\n and then nothing");
    EXPECT_EQ(picture.Load(dir.File("broken.png")), 0);
}

TEST(Picture, RelativeNamesLieBesideTheProgramTheUserFolderFirst)
{
    CSymbolWorld world;
    MakeFolder(world.ProgramFolder().File("Pictures"));
    WriteWholeFile(world.ProgramFolder().File("Pictures/p.bmp"), SolidBmp(3, 3, kRed));
    WriteWholeFile(world.ProgramFolder().File("Pictures/q.bmp"), SolidBmp(3, 3, kRed));
    world.WriteUserFile("Pictures/q.bmp", SolidBmp(5, 5, kBlue));
    CPicture picture;
    ASSERT_EQ(picture.Load("Pictures/p.bmp"), 1);
    EXPECT_EQ(picture.GetSize(), CSize(3, 3));
    ASSERT_EQ(picture.Load("Pictures\\q.bmp"), 1);
    EXPECT_EQ(picture.GetSize(), CSize(5, 5));
    EXPECT_EQ(picture.GetFileName(), "Pictures\\q.bmp") << "kept as given";
    ASSERT_EQ(picture.Load(world.ProgramFolder().File("Pictures/q.bmp")), 1);
    EXPECT_EQ(picture.GetSize(), CSize(3, 3));
}

TEST(PictureCache, NamesInAnyCaseHitOnePictureMostRecentlyUsedFirst)
{
    CTempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 18; ++i) {
        names.push_back(dir.File("p" + std::to_string(i) + ".bmp"));
        WriteWholeFile(names.back(), SolidBmp(4, 4, FixtureColour(i)));
    }
    CPictureCache cache(kSymbolPictureCount, kSymbolPictureBytes);
    std::vector<CPicture*> pictures;
    for (int i = 0; i < 16; ++i)
        pictures.push_back(cache.Get(names[i]));
    for (CPicture* p : pictures)
        ASSERT_NE(p, nullptr);
    EXPECT_EQ(cache.GetCount(), 16);
    EXPECT_EQ(cache.GetMemoryTotal(), 16u * (12 * 4 + 424));
    // Cached pictures are not read again: their files may go.
    for (int i = 0; i < 17; ++i)
        RemoveFile(names[i]);
    std::string upper = names[0];
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(cache.Get(upper), pictures[0]);
    EXPECT_EQ(cache.Get(names[0]), pictures[0]);

    // A seventeenth picture evicts the least recently used: p1, now that p0 was used.
    EXPECT_EQ(cache.Get(names[17]) != nullptr, true);
    EXPECT_EQ(cache.GetCount(), 16);
    EXPECT_EQ(cache.Get(names[1]), nullptr) << "evicted, and its file is gone";
    for (int i : {0, 2, 15})
        EXPECT_EQ(cache.Get(names[i]), pictures[i]) << i;
    EXPECT_EQ(cache.GetMemoryTotal(), 16u * (12 * 4 + 424));
}

TEST(PictureCache, LockedPicturesStayOverTheLimit)
{
    CTempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back(dir.File("p" + std::to_string(i) + ".png.bmp"));
        WriteWholeFile(names.back(), SolidBmp(2, 2, kRed));
    }
    CPictureCache cache(4, kSymbolPictureBytes);
    std::vector<CPicture*> pictures;
    for (int i = 0; i < 4; ++i)
        pictures.push_back(cache.Get(names[i]));
    pictures[0]->Lock();
    // p0 is the least recently used but locked: p1 goes.
    cache.Get(names[4]);
    EXPECT_EQ(cache.GetCount(), 4);
    RemoveFile(names[1]);
    RemoveFile(names[0]);
    EXPECT_EQ(cache.Get(names[1]), nullptr);
    EXPECT_EQ(cache.Get(names[0]), pictures[0]);

    // All locked: the cache grows past its limit.
    for (int i = 0; i < 4; ++i)
        pictures[i] = cache.Get(names[i == 0 ? 0 : i + 1]);
    for (CPicture* p : pictures)
        p->Lock();
    cache.Get(names[10]);
    EXPECT_EQ(cache.GetCount(), 5);
    // The next load evicts the one unlocked picture that is not the newest.
    cache.Get(names[11]);
    EXPECT_EQ(cache.GetCount(), 5);
    RemoveFile(names[10]);
    EXPECT_EQ(cache.Get(names[10]), nullptr);
    // Unlocked again, the next load brings it back to the limit.
    for (CPicture* p : pictures)
        while (p->GetLockCount())
            p->Unlock();
    cache.Get(names[12]);
    EXPECT_EQ(cache.GetCount(), 4);
    CPicture alone;
    alone.Unlock();
    EXPECT_EQ(alone.GetLockCount(), 0) << "never below zero";
}

TEST(PictureCache, APictureAboveTheMemoryLimitStillLoadsAndStaysAlone)
{
    NeedGuiApplication();
    CTempDir dir;
    WriteWholeFile(dir.File("a.bmp"), SolidBmp(10, 10, kRed));  // 32 x 10 + 424 = 744
    WriteWholeFile(dir.File("b.bmp"), SolidBmp(10, 10, kBlue)); // 744
    WriteWholeFile(dir.File("c.bmp"), SolidBmp(40, 20, kRed));  // 120 x 20 + 424 = 2824
    WriteWholeFile(dir.File("d.ico"), SolidIco(32, 0xFF0000));  // counts nothing
    WriteWholeFile(dir.File("e.emf"), Emf(CRect(0, 0, 10, 10)));
    CPictureCache cache(kRasterPictureCount, 2000);
    cache.Get(dir.File("a.bmp"));
    cache.Get(dir.File("b.bmp"));
    EXPECT_EQ(cache.GetMemoryTotal(), 1488u);
    cache.Get(dir.File("d.ico"));
    cache.Get(dir.File("e.emf"));
    EXPECT_EQ(cache.GetMemoryTotal(), 1488u);
    CPicture* big = cache.Get(dir.File("c.bmp"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(cache.GetCount(), 1) << "every older picture is evicted, the icon and metafile too";
    EXPECT_EQ(cache.GetMemoryTotal(), 2824u);
    EXPECT_EQ(cache.Get(dir.File("C.BMP")), big);
    // Failures take no place among the pictures.
    EXPECT_EQ(cache.Get(dir.File("missing.bmp")), nullptr);
    EXPECT_EQ(cache.Get(dir.File("c")), nullptr);
    EXPECT_EQ(cache.GetCount(), 1);
    cache.RemoveAll();
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_EQ(cache.GetMemoryTotal(), 0u);

    EXPECT_EQ(SymbolPictureCache().GetMaxCount(), 16);
    EXPECT_EQ(SymbolPictureCache().GetMaxBytes(), 20971520u);
    EXPECT_EQ(RasterPictureCache().GetMaxCount(), 10);
    EXPECT_EQ(RasterPictureCache().GetMaxBytes(), 8388608u);
}

TEST(PictureCache, AFileThatFailsIsNotDecodedAgainUntilItChanges)
{
    CTempDir dir;
    const std::string hostile = dir.File("hostile.gif");
    WriteWholeFile(hostile, FramesLargerThanTheirDataGif(2, 0));
    PngFixture small;
    small.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(x * 50 + y)}; };
    const std::string huge = dir.File("huge.png");
    WriteWholeFile(huge, WithPngSize(WritePng(small), 60000, 60000));
    CPictureCache cache(kRasterPictureCount, kRasterPictureBytes);
    const auto runs = [](int format) { return CxImage::GetDecodeRuns(format); };

    const struct {
        std::string name;
        int format;
        bool tooLarge;
    } cases[] = {
        {hostile, CXIMAGE_FORMAT_GIF, false},
        {huge, CXIMAGE_FORMAT_PNG, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = runs(c.format), others = runs(CXIMAGE_FORMAT_BMP);
        std::string upper = c.name;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        for (const std::string& name : {c.name, c.name, upper}) {
            bool tooLarge = !c.tooLarge;
            EXPECT_EQ(cache.Get(name, &tooLarge), nullptr);
            EXPECT_EQ(tooLarge, c.tooLarge) << "remembered with the reason";
        }
        EXPECT_EQ(runs(c.format), before + 1) << "its own decoder ran once";
        EXPECT_EQ(runs(CXIMAGE_FORMAT_BMP), others + 1) << "and each of the others once";
    }
    EXPECT_EQ(cache.GetCount(), 0);

    // Changed, the file is read again, and is a picture now.
    const int before = runs(CXIMAGE_FORMAT_GIF);
    WriteWholeFile(hostile, CGifBuilder(3, 2, GifTestTable(4)).Frame(GifTestFrame(3, 2, 4)).Bytes());
    ASSERT_NE(cache.Get(hostile), nullptr);
    EXPECT_EQ(runs(CXIMAGE_FORMAT_GIF), before + 1);
    // Emptied, the cache forgets its failures too.
    const int pngBefore = runs(CXIMAGE_FORMAT_PNG);
    cache.RemoveAll();
    EXPECT_EQ(cache.Get(huge), nullptr);
    EXPECT_EQ(runs(CXIMAGE_FORMAT_PNG), pngBefore + 1);
}

TEST(Picture, DrawPartShrinksWithHalftoneAndCopiesOtherwiseSourceEdgesIncluded)
{
    CTempDir dir;
    // Columns black and white by turns, rows the same: 8 x 2.
    WriteWholeFile(dir.File("stripes.bmp"), Bmp24(8, 2, [](int x, int) { return x % 2 ? kWhite : kBlack; }));
    CPicture picture;
    ASSERT_EQ(picture.Load(dir.File("stripes.bmp")), 1);

    QImage image = MakeImageAt(20, 4, 96, kPaper);
    CDC dc(image);
    dc.SetStretchBltMode(BLACKONWHITE);
    dc.SetBrushOrg(3, 5);
    // Shrinking eight columns into four: each pixel mixes black and white.
    ASSERT_EQ(picture.DrawPart(dc, CRect(0, 0, 4, 1), CRect(0, 0, 7, 1)), 1);
    for (int x = 0; x < 4; ++x) {
        const COLORREF c = At(image, x, 0);
        EXPECT_TRUE(GetRValue(c) > 60 && GetRValue(c) < 195) << x << ": " << std::hex << c;
    }
    EXPECT_EQ(dc.GetStretchBltMode(), BLACKONWHITE);
    EXPECT_EQ(dc.GetBrushOrg(), CPoint(3, 5));
    // Columns 2 to 5 (right edge included) twice as wide: whole pixels.
    ASSERT_EQ(picture.DrawPart(dc, CRect(4, 1, 12, 2), CRect(2, 0, 5, 0)), 1);
    EXPECT_EQ(PixelArt(image.copy(4, 1, 8, 1), kPaper), "##ww##ww\n");
    // At the same size nothing is mixed either.
    ASSERT_EQ(picture.DrawPart(dc, CRect(12, 2, 16, 3), CRect(4, 1, 7, 1)), 1);
    EXPECT_EQ(PixelArt(image.copy(12, 2, 4, 1), kPaper), "#w#w\n");
    // Only raster pictures, only real rectangles.
    EXPECT_EQ(picture.DrawPart(dc, CRect(0, 0, 4, 1), CRect(5, 0, 4, 0)), 0);
    EXPECT_EQ(picture.DrawPart(dc, CRect(0, 0, 0, 1), CRect(0, 0, 7, 1)), 0);
    NeedGuiApplication();
    WriteWholeFile(dir.File("i.ico"), SolidIco(16, 0xFF0000));
    ASSERT_EQ(picture.Load(dir.File("i.ico")), 1);
    EXPECT_EQ(picture.DrawPart(dc, CRect(0, 0, 4, 1), CRect(0, 0, 7, 1)), 0);
}

TEST(Picture, DrawStretchesTheWholePictureWithBlackTextOnWhite)
{
    NeedGuiApplication();
    CTempDir dir;
    // A monochrome picture draws in the text and background colours... of the picture: here a
    // 24-bit one, whose colours stay, and the context's colours come back.
    WriteWholeFile(dir.File("two.bmp"), Bmp24(2, 1, [](int x, int) { return x ? kBlue : kRed; }));
    WriteWholeFile(dir.File("i.ico"), SolidIco(16, 0x00FF00));
    QImage image = MakeImageAt(20, 10, 96, kPaper);
    CDC dc(image);
    dc.SetTextColor(kGreen);
    dc.SetBkColor(kYellow);
    CPicture picture;
    ASSERT_EQ(picture.Load(dir.File("two.bmp")), 1);
    ASSERT_EQ(picture.Draw(dc, CRect(2, 2, 10, 4)), 1);
    EXPECT_EQ(PixelArt(image.copy(2, 2, 8, 2), kPaper), "rrrrbbbb\nrrrrbbbb\n");
    EXPECT_EQ(dc.GetTextColor(), kGreen);
    EXPECT_EQ(dc.GetBkColor(), kYellow);
    ASSERT_EQ(picture.Load(dir.File("i.ico")), 1);
    ASSERT_EQ(picture.Draw(dc, CRect(12, 2, 18, 8)), 1);
    EXPECT_EQ(NotPaper(image.copy(12, 0, 8, 10)), CRect(0, 2, 6, 8));
    EXPECT_EQ(picture.Draw(dc, CRect(12, 2, 12, 8)), 0) << "no width";
}

TEST(PictureSymbol, SizesAndAnchorsAreNinetySixDpiPixelsOfTheContext)
{
    CSymbolWorld world;
    const std::string path = world.ProgramFolder().File("sym.bmp");
    WriteWholeFile(path, SolidBmp(10, 6, kRed));
    struct Case {
        bool thousandths;
        int dpi;
        CRect ink; // device pixels, the point at (60, 40)
    } cases[] = {
        {false, 96, CRect(57, 38, 67, 44)},   // anchor (3, 2)
        {false, 192, CRect(54, 36, 74, 48)},  // twice
        {true, 96, CRect(57, 38, 67, 44)},    // 104 and 31 thousandths
        {true, 300, CRect(51, 34, 83, 53)},   // 31 and 9 pixels
    };
    for (const Case& c : cases) {
        QImage image = MakeImageAt(120, 80, c.dpi, kPaper);
        CDC dc(image);
        CPoint at(60, 40);
        if (c.thousandths) {
            SetThousandths(dc, c.dpi);
            dc.DPtoLP(&at);
        }
        EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, at.x, at.y, PictureStyle(path, 3, 2), 0), 1);
        EXPECT_NEAR(NotPaper(image).left, c.ink.left, 1) << c.dpi << " " << c.thousandths;
        EXPECT_NEAR(NotPaper(image).top, c.ink.top, 1) << c.dpi << " " << c.thousandths;
        EXPECT_NEAR(NotPaper(image).right, c.ink.right, 1) << c.dpi << " " << c.thousandths;
        EXPECT_NEAR(NotPaper(image).bottom, c.ink.bottom, 1) << c.dpi << " " << c.thousandths;
    }
    EXPECT_EQ(SymbolPictureCache().GetCount(), 1) << "one picture for every drawing";

    // Relative to the program, and a missing picture draws nothing.
    QImage image = MakeImageAt(40, 40, 96, kPaper);
    CDC dc(image);
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 20, 20, PictureStyle("sym.bmp"), 0), 1);
    EXPECT_EQ(NotPaper(image), CRect(20, 20, 30, 26));
    image.fill(QColor(200, 200, 200));
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 20, 20, PictureStyle("none.bmp"), 0), 0);
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 20, 20, PictureStyle("sym"), 0), 0);
    EXPECT_TRUE(NotPaper(image).IsRectEmpty());
}

TEST(PictureSymbol, TheTransparentColourOptionKeysTheNearestPaletteColourForThisDrawingOnly)
{
    CSymbolWorld world;
    // A white frame around a blue middle, on a palette of red, white, blue and near-white.
    const std::vector<COLORREF> palette = {kRed, kWhite, kBlue, RGB(240, 240, 240)};
    const std::string eight = world.ProgramFolder().File("eight.bmp");
    WriteWholeFile(eight, Bmp8(6, 6, palette, [](int x, int y) { return x == 0 || y == 0 || x == 5 || y == 5 ? 1 : 2; }));
    const std::string deep = world.ProgramFolder().File("deep.bmp");
    WriteWholeFile(deep, Bmp24(6, 6, [](int x, int y) { return x == 0 || y == 0 || x == 5 || y == 5 ? kWhite : kBlue; }));

    const std::string frame = Rows({"......", ".bbbb.", ".bbbb.", ".bbbb.", ".bbbb.", "......"});
    const std::string whole = Rows({"wwwwww", "wbbbbw", "wbbbbw", "wbbbbw", "wbbbbw", "wwwwww"});
    for (const std::string& path : {eight, deep}) {
        for (bool printer : {false, true}) {
            CPointStyle style = PictureStyle(path);
            style.options = CPointStyle::kTransparentColour;
            style.color = RGB(250, 251, 252); // nearest to white, of the palette
            QImage image = MakeImageAt(6, 6, 96, kPaper);
            CDC dc(image);
            dc.SetPrinting(printer);
            dc.SetStretchBltMode(HALFTONE);
            ASSERT_EQ(SymbolLibrary().DrawPointStyle(dc, 0, 0, style, 0), 1);
            const bool palettePicture = path == eight;
            // The palette picture keys its nearest entry; the 24-bit one the style's colour itself.
            EXPECT_EQ(PixelArt(image, kPaper), palettePicture ? frame : whole) << path << " " << printer;
            if (printer) {
                EXPECT_EQ(dc.GetStretchBltMode(), HALFTONE) << "a printer's mode is kept";
            }

            const CxImage* picture = SymbolPictureCache().Get(path)->GetImage();
            EXPECT_EQ(picture->GetTransIndex(), -1) << "put back";
            EXPECT_EQ(ColourOf(picture->GetTransColor()), RGB(0, 0, 0));

            style.color = kWhite;
            image.fill(QColor(200, 200, 200));
            SymbolLibrary().DrawPointStyle(dc, 0, 0, style, 0);
            EXPECT_EQ(PixelArt(image, kPaper), frame) << path << " " << printer;
            style.options = 0;
            image.fill(QColor(200, 200, 200));
            SymbolLibrary().DrawPointStyle(dc, 0, 0, style, 0);
            EXPECT_EQ(PixelArt(image, kPaper), whole) << "without the option";
        }
    }
}

TEST(PictureSymbol, IconPicturesDrawAtTheirOwnSizeOnTheAnchor)
{
    NeedGuiApplication();
    CSymbolWorld world;
    const std::string path = world.ProgramFolder().File("sign.ico");
    WriteWholeFile(path, SolidIco(16, 0x0000FF));
    QImage image = MakeImageAt(60, 60, 96, kPaper);
    CDC dc(image);
    ASSERT_EQ(SymbolLibrary().DrawPointStyle(dc, 30, 30, PictureStyle(path, 8, 16), 0), 1);
    EXPECT_EQ(NotPaper(image), CRect(22, 14, 38, 30));
    EXPECT_EQ(At(image, 30, 20), kBlue);
}

TEST(PictureSymbol, MetafilesScaleByTheSizeAndTheMapAndPlayThroughTheInstalledPlayer)
{
    CSymbolWorld world;
    const std::string path = world.ProgramFolder().File("m.emf");
    WriteWholeFile(path, Emf(CRect(0, 0, 40, 20))); // 40 x 20 pixels
    QImage image = MakeImageAt(200, 200, 96, kPaper);
    CDC dc(image);
    CPointStyle style = PictureStyle(path, 10, 4);
    style.size = 10000;
    // The platform's player plays it; the picture holds no drawing.
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 100, 100, style, 0), 1);
    EXPECT_TRUE(NotPaper(image).IsRectEmpty());

    SetMetafilePlayer(RecordPlay);
    struct Case {
        int size;
        uint32_t options;
        int referenceScale;
        int scale;
        CRect rect;
    } cases[] = {
        {10000, 0, 0, 0, CRect(90, 96, 130, 116)},
        {5000, 0, 0, 0, CRect(95, 98, 115, 108)},
        {20000, CPointStyle::kScalesWithMap, 10000, 20000, CRect(90, 96, 130, 116)},
        {10000, CPointStyle::kScalesWithMap, 20000, 10000, CRect(80, 92, 160, 132)},
        {10000, CPointStyle::kScalesWithMap, 20000, 0, CRect(90, 96, 130, 116)},
    };
    for (const Case& c : cases) {
        style.size = c.size;
        style.options = c.options;
        style.referenceScale = c.referenceScale;
        g_played = PlayCall();
        EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 100, 100, style, c.scale), 1) << c.size;
        EXPECT_EQ(g_played.calls, 1);
        EXPECT_EQ(g_played.kind, CMetafilePicture::kEnhanced);
        EXPECT_EQ(g_played.rect, c.rect) << c.size << " at 1:" << c.scale;
    }
    style.size = 0;
    g_played = PlayCall();
    EXPECT_EQ(SymbolLibrary().DrawPointStyle(dc, 100, 100, style, 0), 0);
    EXPECT_EQ(g_played.calls, 0) << "a size of 0 draws nothing";
    // In thousandths of an inch.
    SetThousandths(dc, 96);
    style.size = 10000;
    SymbolLibrary().DrawPointStyle(dc, 1000, 1000, style, 0);
    EXPECT_EQ(g_played.rect, CRect(1000 - 104, 1000 - 42, 1000 - 104 + 417, 1000 - 42 + 208));
    SetMetafilePlayer(nullptr);
}
