#include "render/GeoRaster.h"

#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "platform/VirtualKeys.h"
#include "render/BitmapRaster.h"
#include "render/Picture.h"
#include "render/PictureCache.h"
#include "render/TiffStripRaster.h"
#include "tests/render/PictureFixtures.h"
#include "tests/render/PixelArt.h"
#include "tests/render/RasterFixtures.h"
#include "tests/render/TiffFixtures.h"
#include "tests/support/ScriptedInputQueue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>

namespace {

constexpr COLORREF kPaper = RGB(10, 20, 30);

// The big picture: each pixel tells its row in red and green, and its
// tenth of a column in blue.
COLORREF RowColour(int x, int y)
{
    return RGB(y % 256, y / 256, (x / 10) % 256);
}

// A stream whose reads of some bytes fail, as a bad disk's would.
class CFailingStream : public CxPlatformStream {
public:
    CFailingStream(CStream& stream, std::uint64_t from, std::uint64_t to)
        : CxPlatformStream(stream), m_from(from), m_to(to)
    {
    }
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override
    {
        const auto at = static_cast<std::uint64_t>(Tell());
        if (at < m_to && at + size * count > m_from)
            return 0;
        return CxPlatformStream::Read(buffer, size, count);
    }

private:
    std::uint64_t m_from, m_to;
};

// A picture in which each pixel tells its place.
COLORREF PlaceColour(int x, int y)
{
    return RGB(x * 7 % 256, y * 11 % 256, 100);
}

class GeoRasterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new CTempDir;
        RasterTiff big;
        big.width = 3000;
        big.height = 2000;
        big.colour = RowColour;
        ASSERT_TRUE(WriteRasterTiff(s_dir->File("big.tif"), big));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override { SetDrawStopFlag(0); }
    void TearDown() override { SetDrawStopFlag(0); }

    static std::unique_ptr<CTiffStripRaster> OpenTiff(const std::string& path)
    {
        auto raster = std::make_unique<CTiffStripRaster>();
        EXPECT_TRUE(raster->Open(path)) << path;
        return raster;
    }

    static CTempDir* s_dir;
    CTempDir dir;
    CScriptedUserServices user;
};

CTempDir* GeoRasterTest::s_dir = nullptr;

TEST_F(GeoRasterTest, WorldFilesPlaceThePictureOrItStandsAtTheOrigin)
{
    WriteWholeFile(dir.File("plain.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("six.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("six.WLD"), "2.5\n0\n0\n-2.5\n1000.25\n5000.75\n");
    WriteWholeFile(dir.File("ten.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("ten.wld"), "2 0 0 -2 101 299 3 1 4 2\r\n");
    WriteWholeFile(dir.File("tfw.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("tfw.Tfw"), "1\n0\n0\n-1\n7\n9\n");
    WriteWholeFile(dir.File("both.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("both.wld"), "3\n0\n0\n-3\n0\n0\n");
    WriteWholeFile(dir.File("both.tfw"), "5\n0\n0\n-5\n0\n0\n");
    WriteWholeFile(dir.File("short.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("short.wld"), "4\n0\n0\n");
    WriteWholeFile(dir.File("wild.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("wild.wld"), "1 0 0 -1 0 0 -5 99999999999 40 12");

    const struct {
        const char* file;
        bool read;
        double pixelX, pixelY, originX, originY;
        CRect margins;
        CMapRect extent;
    } cases[] = {
        {"plain.bmp", false, 1, -1, 0, 29, CRect(), CMapRect(-0.5, 29.5, 39.5, -0.5)},
        {"six.bmp", true, 2.5, -2.5, 1000.25, 5000.75, CRect(), CMapRect(999, 5002, 1099, 4927)},
        {"ten.bmp", true, 2, -2, 101, 299, CRect(3, 1, 4, 2), CMapRect(106, 298, 172, 244)},
        {"tfw.bmp", true, 1, -1, 7, 9, CRect(), CMapRect(6.5, 9.5, 46.5, -20.5)},
        {"both.bmp", true, 3, -3, 0, 0, CRect(), CMapRect(-1.5, 1.5, 118.5, -88.5)},
        {"short.bmp", true, 4, -1, 0, 29, CRect(), CMapRect(-2, 29.5, 158, -0.5)},
        {"wild.bmp", true, 1, -1, 0, 0, CRect(0, 30, 40, 12), CMapRect(-0.5, -29.5, -0.5, -17.5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CBitmapRaster raster;
        ASSERT_TRUE(raster.Open(dir.File(c.file)));
        EXPECT_EQ(raster.ReadWorldFile(dir.File(c.file)), c.read);
        EXPECT_EQ(raster.GetPixelSizeX(), c.pixelX);
        EXPECT_EQ(raster.GetPixelSizeY(), c.pixelY);
        EXPECT_EQ(raster.GetOriginX(), c.originX);
        EXPECT_EQ(raster.GetOriginY(), c.originY);
        EXPECT_EQ(raster.GetMargins(), c.margins);
        CMapRect extent;
        ASSERT_TRUE(raster.GetMapExtent(extent));
        EXPECT_EQ(extent, c.extent);
    }
    CBitmapRaster closed;
    CMapRect extent;
    EXPECT_FALSE(closed.GetMapExtent(extent));
}

TEST_F(GeoRasterTest, MapAndPixelRectanglesRoundTrip)
{
    WriteWholeFile(dir.File("map.bmp"), PlainBmp(40, 30, 24));
    WriteWholeFile(dir.File("map.wld"), "2 0 0 -2 101 299 3 1 4 2\n");
    CBitmapRaster raster;
    ASSERT_TRUE(raster.Open(dir.File("map.bmp")));

    // Whole pixels come back as the rectangle they cover.
    for (const CRect& pixels : {CRect(3, 1, 35, 27), CRect(10, 5, 10, 5), CRect(5, 6, 20, 9)}) {
        const CMapRect map = raster.PixelToMapRect(pixels);
        CRect back;
        ASSERT_TRUE(raster.MapToPixelRect(map, back));
        EXPECT_EQ(back, pixels);
        // Any rectangle inside one pixel is that pixel.
        ASSERT_TRUE(raster.MapToPixelRect(CMapRect(map.left + 0.1, map.top - 0.1, map.left + 0.2, map.top - 0.2), back));
        EXPECT_EQ(back, CRect(pixels.left, pixels.top, pixels.left, pixels.top));
    }
    EXPECT_EQ(raster.PixelToMapRect(CRect(0, 0, 39, 29)), CMapRect(100, 300, 180, 240));

    // Cut to the picture less its margins; outside it nothing.
    CRect pixels;
    ASSERT_TRUE(raster.MapToPixelRect(CMapRect(-1e300, 1e300, 1e300, -1e300), pixels));
    EXPECT_EQ(pixels, CRect(3, 1, 35, 27));
    ASSERT_TRUE(raster.MapToPixelRect(CMapRect(DBL_MAX, -DBL_MAX, -DBL_MAX, DBL_MAX), pixels) == false);
    EXPECT_TRUE(pixels.IsRectNull());
    for (const CMapRect& outside : {CMapRect(500, 300, 600, 200), CMapRect(100, 300, 104, 240),
                                    CMapRect(100, 1e12, 180, 1e11), CMapRect(NAN, 300, 180, 240)}) {
        pixels = CRect(1, 2, 3, 4);
        EXPECT_FALSE(raster.MapToPixelRect(outside, pixels));
        EXPECT_TRUE(pixels.IsRectNull());
    }
}

TEST_F(GeoRasterTest, PicturesOpenByTheirExtension)
{
    RasterTiff small;
    small.width = 8;
    small.height = 6;
    small.colour = PlaceColour;
    ASSERT_TRUE(WriteRasterTiff(dir.File("picture.TIFF"), small));
    WriteWholeFile(dir.File("picture.jpg"), PlainBmp(8, 6, 24)); // a BMP inside: the decoders find it
    WriteWholeFile(dir.File("picture.sid"), "MrSID");
    WriteWholeFile(dir.File("broken.tif"), "II*\0\x08\0\0\0");

    auto tiff = OpenGeoRaster(dir.File("picture.TIFF"));
    ASSERT_NE(dynamic_cast<CTiffStripRaster*>(tiff.get()), nullptr);
    EXPECT_EQ(tiff->GetWidth(), 8);
    EXPECT_EQ(tiff->GetHeight(), 6);

    {
        auto bitmap = OpenGeoRaster(dir.File("picture.jpg"));
        auto* raster = dynamic_cast<CBitmapRaster*>(bitmap.get());
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(raster->GetWidth(), 8);
        EXPECT_EQ(raster->GetPicture()->GetLockCount(), 1) << "locked in the cache while held";
        CPicture* cached = RasterPictureCache().Get(dir.File("picture.jpg"));
        EXPECT_EQ(cached, raster->GetPicture());
        bitmap.reset();
        EXPECT_EQ(cached->GetLockCount(), 0) << "let go on close";
    }

    EXPECT_EQ(IsImagePluginPresent("SID"), 0);
    EXPECT_EQ(IsImagePluginPresent("sid"), 0);
    EXPECT_EQ(OpenGeoRaster(dir.File("picture.sid")), nullptr);
    EXPECT_EQ(OpenGeoRaster(dir.File("broken.tif")), nullptr);
    EXPECT_EQ(OpenGeoRaster(dir.File("missing.png")), nullptr);
    EXPECT_EQ(OpenGeoRaster(dir.File("picture.txt")), nullptr);
    EXPECT_TRUE(user.messages.empty());

    const CImageHolder holder(dir.File("picture.TIFF"));
    ASSERT_TRUE(holder);
    EXPECT_TRUE(holder.Get()->IsOpen());
    EXPECT_FALSE(CImageHolder(dir.File("missing.tif")));
}

TEST_F(GeoRasterTest, BitmapRastersDrawBottomUpRowsOfTheirPicture)
{
    WriteWholeFile(dir.File("rows.bmp"), PlainBmp(6, 5, 24));
    CxImage decoded(dir.File("rows.bmp"), CXIMAGE_FORMAT_BMP);
    CBitmapRaster raster;
    ASSERT_TRUE(raster.Open(dir.File("rows.bmp")));

    QImage window = MakeImage(10, 6, kPaper), back = MakeImage(12, 8, kPaper);
    CDC dc(window), second(back);
    second.SetViewportOrg(2, 1);
    // Picture columns 1..3 and rows 1..2, from the top, one pixel a pixel.
    ASSERT_TRUE(raster.Draw(dc, CRect(4, 2, 7, 4), CRect(1, 1, 3, 2), nullptr));
    ASSERT_TRUE(raster.Draw(dc, CRect(0, 0, 3, 2), CRect(1, 1, 3, 2), &second));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const COLORREF expected = PictureColour(decoded, 1 + x, 1 + y);
            EXPECT_EQ(At(window, 4 + x, 2 + y), expected);
            EXPECT_EQ(At(window, x, y), expected) << "copied from the second context";
            EXPECT_EQ(At(back, 2 + x, 1 + y), expected);
        }

    // As a mask: white leaves what lies below.
    WriteWholeFile(dir.File("white.bmp"), WithFileHeader(InfoHeader([] {
                                                             InfoHeaderFields f;
                                                             f.width = 2;
                                                             f.height = 1;
                                                             f.bits = 24;
                                                             return f;
                                                         }()) + std::string(6, '\xFF') + std::string(2, '\0'),
                                                         54));
    CBitmapRaster white;
    ASSERT_TRUE(white.Open(dir.File("white.bmp")));
    white.SetDrawingFlag(1);
    ASSERT_TRUE(white.Draw(dc, CRect(0, 4, 2, 5), CRect(0, 0, 1, 0), nullptr));
    EXPECT_EQ(At(window, 0, 4), kPaper);
}

// What the big picture must show at device row y of a drawing of source
// rows top.. into device rows from destTop, of destHeight rows for
// sourceHeight rows: sampled when fewer, banded when as many or more.
int ExpectedRow(int top, int sourceHeight, std::int64_t destHeight, std::int64_t deviceRow)
{
    if (destHeight < sourceHeight)
        return static_cast<int>(top + deviceRow * sourceHeight / destHeight);
    for (int j = 0; j < sourceHeight; ++j)
        if ((j + 1) * destHeight / sourceHeight > deviceRow)
            return top + j;
    return -1;
}

TEST_F(GeoRasterTest, StripsAreSampledWhenShrunkAndBandedWhenStretched)
{
    auto raster = OpenTiff(s_dir->File("big.tif"));
    ASSERT_FALSE(raster->IsTiled());
    EXPECT_EQ(raster->GetBandRows(), 16);

    QImage small = MakeImage(300, 200, kPaper);
    {
        CDC dc(small);
        ASSERT_TRUE(raster->Draw(dc, CRect(0, 0, 300, 200), CRect(0, 0, 2999, 1999), nullptr));
    }
    EXPECT_EQ(raster->GetBandsRead(), 125) << "each strip once";
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; x += 7)
            ASSERT_EQ(At(small, x, y), RowColour(10 * x, 10 * y)) << x << ", " << y;

    // Into 6000 x 4000, seen through a window of 640 x 400 from (1000, 2000).
    QImage window = MakeImage(640, 400, kPaper);
    const int readBefore = raster->GetBandsRead();
    {
        CDC dc(window);
        ASSERT_TRUE(raster->Draw(dc, CRect(-1000, -2000, 5000, 2000), CRect(0, 0, 2999, 1999), nullptr));
    }
    EXPECT_EQ(raster->GetBandsRead() - readBefore, 13) << "only the strips of the rows in sight, each once";
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; x += 5)
            ASSERT_EQ(At(window, x, y), RowColour((x + 1000) / 2, ExpectedRow(0, 2000, 4000, y + 2000)))
                << x << ", " << y;

    // A part of the picture, shrunk in rows and stretched in columns, in a mapped context.
    QImage part = MakeImage(200, 50, kPaper);
    {
        CDC dc(part);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(10, 10);
        dc.SetViewportExt(1, 1);
        ASSERT_TRUE(raster->Draw(dc, CRect(0, 0, 2000, 500), CRect(100, 700, 199, 1299), nullptr));
    }
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; x += 3)
            ASSERT_EQ(At(part, x, y), RowColour(100 + x / 2, ExpectedRow(700, 600, 50, y))) << x << ", " << y;
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(GeoRasterTest, WithASecondContextTheRowsGoThereAndAreCopied)
{
    auto raster = OpenTiff(s_dir->File("big.tif"));
    for (const CRect& dest : {CRect(0, 0, 300, 200), CRect(0, 0, 600, 400)}) {
        SCOPED_TRACE(dest.Width());
        const CRect source(0, 0, 299, 299);
        QImage first = MakeImage(310, 210, kPaper), back = MakeImage(330, 240, kPaper);
        {
            CDC dc(first), second(back);
            second.SetViewportOrg(20, 30);
            ASSERT_TRUE(raster->Draw(dc, dest, source, &second));
            EXPECT_EQ(second.GetViewportOrg(), CPoint(20, 30)) << "put back";
        }
        const std::int64_t height = std::min(dest.Height(), 200);
        for (int y = 0; y < height; y += 3)
            for (int x = 0; x < 300; x += 11) {
                const COLORREF expected =
                    RowColour(x * 300 / dest.Width(), ExpectedRow(0, 300, dest.Height(), y));
                ASSERT_EQ(At(first, x, y), expected) << x << ", " << y;
                if (20 + x < 330 && 30 + y < 240) {
                    ASSERT_EQ(At(back, 20 + x, 30 + y), expected) << x << ", " << y;
                }
            }
    }
}

TEST_F(GeoRasterTest, WaitingInputStopsTheDrawingWithinEightRows)
{
    auto raster = OpenTiff(s_dir->File("big.tif"));
    for (const int destHeight : {200, 4000}) {
        SCOPED_TRACE(destHeight);
        SetDrawStopFlag(0);
        CScriptedInputQueue queue;
        queue.waiting.push_back({CWaitingInput::kKeyDown, VK_ESCAPE});
        QImage image = MakeImage(300, 4000, kPaper);
        {
            CDC dc(image);
            EXPECT_TRUE(raster->Draw(dc, CRect(0, 0, 300, destHeight), CRect(0, 0, 2999, 1999), nullptr));
        }
        EXPECT_EQ(queue.polls, 1);
        EXPECT_EQ(GetDrawStopFlag(), 1);
        const int rowsPerSource = destHeight / 2000 > 0 ? destHeight / 2000 : 1;
        EXPECT_NE(At(image, 0, 8 * rowsPerSource - 1), kPaper);
        EXPECT_EQ(At(image, 0, 8 * rowsPerSource), kPaper) << "nothing after the stop";
    }
}

// Uncompressed tiles are at least 32 pixels a side: libtiff 4.5.0's RGBA
// reader refuses uncompressed tiles whose bytes are not a multiple of 1024
// unless the file is mapped into memory, which the system never does.
TEST_F(GeoRasterTest, TiledAndBottomUpPicturesDrawAsStrippedOnes)
{
    const struct {
        const char* name;
        int tileSide, orientation, compression;
    } cases[] = {
        {"tiled.tif", 32, ORIENTATION_TOPLEFT, COMPRESSION_NONE},
        {"tiled-lzw.tif", 16, ORIENTATION_TOPLEFT, COMPRESSION_LZW},
        {"bottom-up.tif", 0, ORIENTATION_BOTLEFT, COMPRESSION_NONE},
        {"bottom-up-tiled.tif", 32, ORIENTATION_BOTLEFT, COMPRESSION_NONE},
        {"tiled-48-lzw.tif", 48, ORIENTATION_TOPLEFT, COMPRESSION_LZW},
        {"lzw.tif", 0, ORIENTATION_TOPLEFT, COMPRESSION_LZW},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RasterTiff picture;
        picture.width = 100;
        picture.height = 70;
        picture.rowsPerStrip = 9;
        picture.tileSide = c.tileSide;
        picture.orientation = c.orientation;
        picture.compression = c.compression;
        picture.colour = PlaceColour;
        ASSERT_TRUE(WriteRasterTiff(dir.File(c.name), picture));
        auto raster = OpenTiff(dir.File(c.name));
        EXPECT_EQ(raster->IsTiled(), c.tileSide != 0);
        EXPECT_EQ(raster->GetBandRows(), c.tileSide ? c.tileSide : 9);
        QImage image = MakeImage(100, 70, kPaper);
        {
            CDC dc(image);
            ASSERT_TRUE(raster->Draw(dc, CRect(0, 0, 100, 70), CRect(0, 0, 99, 69), nullptr));
        }
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(At(image, x, y), PlaceColour(x, y)) << x << ", " << y;
        const int bands = c.tileSide ? (70 + c.tileSide - 1) / c.tileSide : 8;
        EXPECT_EQ(raster->GetBandsRead(), bands);

        // A part that cuts through strips and tiles on every side.
        image = MakeImage(52, 50, kPaper);
        {
            CDC dc(image);
            ASSERT_TRUE(raster->Draw(dc, CRect(0, 0, 52, 50), CRect(37, 11, 88, 60), nullptr));
        }
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 52; ++x)
                ASSERT_EQ(At(image, x, y), PlaceColour(37 + x, 11 + y)) << x << ", " << y;
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(GeoRasterTest, HostileTiffsAreRefusedCleanly)
{
    // No RowsPerStrip: one strip of the whole picture.
    const std::string noRowsPerStrip = HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 4},
                                                     {TIFFTAG_IMAGELENGTH, 3},
                                                     {TIFFTAG_BITSPERSAMPLE, 8},
                                                     {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK},
                                                     {TIFFTAG_STRIPOFFSETS, 0},
                                                     {TIFFTAG_STRIPBYTECOUNTS, 12}},
                                                    std::string("\x00\x40\x80\xFF"
                                                                "\x10\x20\x30\x40"
                                                                "\xFF\xFF\x00\x00",
                                                                12));
    WriteWholeFile(dir.File("no-rows-per-strip.tif"), noRowsPerStrip);
    auto raster = OpenTiff(dir.File("no-rows-per-strip.tif"));
    EXPECT_EQ(raster->GetBandRows(), 3);
    QImage image = MakeImage(4, 3, kPaper);
    {
        CDC dc(image);
        ASSERT_TRUE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(0, 0, 3, 2), nullptr));
    }
    EXPECT_EQ(At(image, 1, 0), Grey(0x40));
    EXPECT_EQ(At(image, 3, 1), Grey(0x40));
    EXPECT_EQ(At(image, 0, 2), kWhite);
    EXPECT_TRUE(user.messages.empty());

    // One huge strip of a few bytes: the band is read and found short.
    const std::string hugeStrip = HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 60000},
                                                {TIFFTAG_IMAGELENGTH, 60000},
                                                {TIFFTAG_BITSPERSAMPLE, 8},
                                                {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK},
                                                {TIFFTAG_STRIPOFFSETS, 0},
                                                {TIFFTAG_ROWSPERSTRIP, 60000},
                                                {TIFFTAG_STRIPBYTECOUNTS, 16}},
                                               std::string(16, 'x'));
    WriteWholeFile(dir.File("huge-strip.tif"), hugeStrip);
    raster = OpenTiff(dir.File("huge-strip.tif"));
    EXPECT_LT(std::int64_t(raster->GetBandRows()) * 60000 * 4, 17 * 1024 * 1024) << "a band of bounded size";
    {
        CDC dc(image);
        EXPECT_FALSE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(0, 0, 59999, 59999), nullptr));
    }
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});

    // A row wider than any picture may be: no memory for it.
    user.messages.clear();
    const std::string wide = HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 100000000},
                                           {TIFFTAG_IMAGELENGTH, 1},
                                           {TIFFTAG_BITSPERSAMPLE, 8},
                                           {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK},
                                           {TIFFTAG_STRIPOFFSETS, 0},
                                           {TIFFTAG_STRIPBYTECOUNTS, 16}},
                                          std::string(16, 'x'));
    WriteWholeFile(dir.File("wide.tif"), wide);
    raster = OpenTiff(dir.File("wide.tif"));
    {
        CDC dc(image);
        EXPECT_FALSE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(0, 0, 99999999, 0), nullptr));
    }
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1005});

    // A strip that cannot be read: the rows before it are drawn, then the drawing ends.
    user.messages.clear();
    RasterTiff cut;
    cut.width = 50;
    cut.height = 40;
    cut.rowsPerStrip = 4;
    cut.colour = PlaceColour;
    ASSERT_TRUE(WriteRasterTiff(dir.File("cut.tif"), cut));
    std::uint64_t badFrom = 0, badTo = 0;
    {
        CxStdioStream file;
        ASSERT_TRUE(file.Open(dir.File("cut.tif"), "rb"));
        TIFF* tif = OpenTiffOnStream(&file, "r");
        ASSERT_NE(tif, nullptr);
        std::uint64_t* offsets = nullptr;
        ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets));
        badFrom = offsets[4];
        badTo = offsets[4] + 4 * 50 * 3;
        TIFFClose(tif);
    }
    const std::string bytes = ReadWholeFile(dir.File("cut.tif"));
    CMemoryStream memory(bytes.data(), bytes.size());
    CFailingStream stream(memory, badFrom, badTo);
    CTiffStripRaster failing;
    ASSERT_TRUE(failing.Open(stream, ""));
    QImage rows = MakeImage(50, 40, kPaper);
    {
        CDC dc(rows);
        EXPECT_FALSE(failing.Draw(dc, CRect(0, 0, 50, 40), CRect(0, 0, 49, 39), nullptr));
    }
    EXPECT_EQ(At(rows, 3, 15), PlaceColour(3, 15));
    EXPECT_EQ(At(rows, 3, 16), kPaper);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});

    // Source rectangles outside the picture draw nothing.
    raster = OpenTiff(dir.File("no-rows-per-strip.tif"));
    CDC dc(image);
    EXPECT_FALSE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(0, 0, 4, 2), nullptr));
    EXPECT_FALSE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(-1, 0, 3, 2), nullptr));
    EXPECT_FALSE(raster->Draw(dc, CRect(0, 0, 4, 3), CRect(2, 0, 1, 2), nullptr));
}

} // namespace
