#include "render/DibImage.h"
#include "render/PaletteLookup.h"
#include "tests/render/ExportFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::uint32_t PixelOf(const CDibImage& image, int x, int y)
{
    return image.GetBitmap()->GetRow(y)[x] & 0xFFFFFF;
}

TEST(DibImage, CreateRefusesSizesBeyondItsBound)
{
    struct Case {
        int width, height;
    };
    // 65536 x 65536 x 3 bytes is 0 in 32 bits; 10000 x 17896 is just past
    // the bound; 40000 is wider than a bitmap may be.
    const Case cases[] = {{0, 5}, {5, 0}, {-3, 5}, {65536, 65536}, {30000, 30000}, {10000, 17896}, {40000, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        CDibImage image;
        EXPECT_EQ(image.Create(c.width, c.height), nullptr);
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetBitmap(), nullptr);
        EXPECT_EQ(image.SaveBmp("/nonexistent/x.bmp"), 0);
        EXPECT_EQ(image.ReduceTo8Bit(), 0);
    }
}

TEST(DibImage, CreateMakesABlackTwentyFourBitPictureAtTheExportResolution)
{
    CDibImage image;
    CBitmap* bitmap = image.Create(7, 3);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap, image.GetBitmap());
    EXPECT_EQ(bitmap->GetSize(), CSize(7, 3));
    const BITMAPINFOHEADER& h = image.GetHeader();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 7);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biXPelsPerMeter, 3780); // 96 dpi
    EXPECT_EQ(h.biYPelsPerMeter, 3780);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(image.GetStride(), 24u);
    EXPECT_EQ(PixelOf(image, 6, 2), 0u);

    image.SetResolution(300, 150);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 11811);
    EXPECT_EQ(image.GetHeader().biYPelsPerMeter, 5906);
    // The resolution stays for the next picture.
    ASSERT_NE(image.Create(2, 2), nullptr);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 11811);
    EXPECT_EQ(image.GetXDpi(), 300);
}

TEST(DibImage, StoredRowsAreBottomUpBlueGreenRedPadded)
{
    CDibImage image;
    ASSERT_NE(image.Create(3, 2), nullptr);
    SetExportPixel(image, 0, 0, RGB(1, 2, 3));
    SetExportPixel(image, 2, 0, RGB(4, 5, 6));
    SetExportPixel(image, 1, 1, RGB(7, 8, 9));
    std::vector<std::uint8_t> row(image.GetStride(), 0xEE);
    image.CopyStoredRow(1, row.data());
    EXPECT_EQ(row, (std::vector<std::uint8_t>{3, 2, 1, 0, 0, 0, 6, 5, 4, 0, 0, 0}));
    image.CopyStoredRow(0, row.data());
    EXPECT_EQ(row, (std::vector<std::uint8_t>{0, 0, 0, 9, 8, 7, 0, 0, 0, 0, 0, 0}));
}

TEST(DibImage, ReductionMapsEveryPixelToItsNearestPaletteEntry)
{
    CDibImage image;
    ASSERT_NE(image.Create(240, 160), nullptr);
    DrawMapPicture(image, 3);
    // Many more colours than a palette holds.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 240; ++x)
            SetExportPixel(image, x, y, RGB(x, 6 * y, (x * y) % 256));
    std::vector<std::uint32_t> before;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x)
            before.push_back(PixelOf(image, x, y));

    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    const BITMAPINFOHEADER& h = image.GetHeader();
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biSizeImage, 240u * 160u);
    EXPECT_GT(h.biClrUsed, 200u);
    EXPECT_LE(h.biClrUsed, 256u);
    EXPECT_EQ(h.biClrImportant, h.biClrUsed);
    EXPECT_EQ(image.GetBitmap(), nullptr);
    std::vector<std::uint8_t> row(image.GetStride());
    for (int y = 0; y < 160; ++y) {
        image.CopyStoredRow(159 - y, row.data());
        for (int x = 0; x < 240; ++x) {
            const std::uint32_t c = before[std::size_t(y) * 240 + std::size_t(x)];
            ASSERT_EQ(row[x], NearestPaletteIndex(image.GetColorTable(), h.biClrUsed, std::uint8_t(c >> 16),
                                                  std::uint8_t(c >> 8), std::uint8_t(c)))
                << x << "," << y;
        }
    }
    // Once reduced, it stays so.
    EXPECT_EQ(image.ReduceTo8Bit(), 1);
    EXPECT_EQ(image.GetHeader().biBitCount, 8);
}

TEST(DibImage, ReductionOfFewColoursKeepsThemExactly)
{
    CDibImage image;
    ASSERT_NE(image.Create(160, 100), nullptr);
    DrawMapPicture(image, 8, false);
    std::set<std::uint32_t> colours;
    std::vector<std::uint32_t> before;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x) {
            before.push_back(PixelOf(image, x, y));
            colours.insert(before.back());
        }
    ASSERT_LT(colours.size(), 256u);
    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    EXPECT_EQ(image.GetHeader().biClrUsed, colours.size());
    std::vector<std::uint8_t> row(image.GetStride());
    for (int y = 0; y < 100; ++y) {
        image.CopyStoredRow(99 - y, row.data());
        for (int x = 0; x < 160; ++x) {
            const RGBQUAD e = image.GetColorTable()[row[x]];
            ASSERT_EQ((std::uint32_t(e.rgbRed) << 16) | (e.rgbGreen << 8) | e.rgbBlue,
                      before[std::size_t(y) * 160 + std::size_t(x)]);
        }
    }
}

} // namespace
