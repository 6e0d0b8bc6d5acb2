#include "render/XImage.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(XImage, CreateNormalisesDepthStrideAndHeader)
{
    const struct {
        int bpp, bits, colours;
        std::uint32_t stride; // for a width of 5
    } cases[] = {
        {0, 1, 2, 4},  {1, 1, 2, 4},   {2, 4, 16, 4},  {3, 4, 16, 4}, {4, 4, 16, 4},
        {5, 8, 256, 8}, {8, 8, 256, 8}, {16, 24, 0, 16}, {24, 24, 0, 16}, {32, 24, 0, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bpp);
        CxImage image(5, 3, c.bpp, CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(image.IsValid());
        EXPECT_EQ(image.GetBpp(), c.bits);
        EXPECT_EQ(image.GetNumColors(), c.colours);
        EXPECT_EQ(image.GetEffWidth(), c.stride);
        EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_PNG);
        EXPECT_EQ(image.GetSize(), 40u + 4u * c.colours + 3u * c.stride);
        BITMAPINFOHEADER stored;
        std::memcpy(&stored, image.GetDIB(), sizeof stored);
        EXPECT_EQ(stored.biSize, 40u);
        EXPECT_EQ(stored.biWidth, 5);
        EXPECT_EQ(stored.biHeight, 3);
        EXPECT_EQ(stored.biPlanes, 1);
        EXPECT_EQ(stored.biBitCount, c.bits);
        EXPECT_EQ(stored.biCompression, 0u);
        EXPECT_EQ(stored.biClrUsed, static_cast<std::uint32_t>(c.colours));
        EXPECT_EQ(stored.biSizeImage, 3 * c.stride);
        EXPECT_EQ(stored.biXPelsPerMeter, 3780);
        EXPECT_EQ(image.GetBits(0), image.GetDIB() + 40 + 4 * c.colours);
        EXPECT_EQ(image.GetBits(2), image.GetBits(0) + 2 * c.stride);
        EXPECT_EQ(image.GetBits(3), nullptr);
        EXPECT_EQ(image.GetBits(-1), nullptr);
    }
}

TEST(XImage, CreateRefusesWhatCannotBeHeld)
{
    CxImage image;
    EXPECT_EQ(image.Create(100000, 100000, 24, CXIMAGE_FORMAT_BMP), nullptr);
    EXPECT_EQ(image.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_EQ(image.Create(0x7FFFFFFF, 0x7FFFFFFF, 32, CXIMAGE_FORMAT_BMP), nullptr);
    EXPECT_EQ(image.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_EQ(image.Create(0, 5, 8, CXIMAGE_FORMAT_BMP), nullptr);
    EXPECT_EQ(image.Create(5, -5, 8, CXIMAGE_FORMAT_BMP), nullptr);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetBits(), nullptr);
    EXPECT_EQ(image.GetSize(), 0u);
}

TEST(XImage, NearestColour)
{
    CxImage image(2, 2, 8, CXIMAGE_FORMAT_BMP);
    image.SetPaletteColor(0, 200, 200, 200);
    image.SetPaletteColor(3, 10, 0, 0);
    image.SetPaletteColor(4, 30, 0, 0);
    image.SetPaletteColor(9, 20, 0, 0);
    image.SetPaletteColor(10, 20, 0, 0);
    // Every other entry is black.
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 9);   // exact: the first of two
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 25, 0}), 4);   // 30 and 20 tie: the lower index
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 5, 0}), 1);    // black (1) and 10 (3) tie
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{250, 250, 250, 0}), 0);

    // One colour is cached: a palette changed behind the object's back is
    // not seen until a palette call clears the cache.
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 9);
    image.GetPalette()[9] = RGBQUAD{255, 255, 255, 0};
    image.GetPalette()[10] = RGBQUAD{255, 255, 255, 0};
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 9);
    image.SetPaletteColor(200, RGB(20, 0, 0));
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 200);

    // SetPixelColor on a palette image stores the nearest index.
    image.SetPixelColor(1, 1, RGBQUAD{0, 0, 29, 0});
    EXPECT_EQ(image.GetPixelIndex(1, 1), 4);
    CxImage trueColour(2, 2, 24, CXIMAGE_FORMAT_BMP);
    EXPECT_EQ(trueColour.GetNearestIndex(RGBQUAD{1, 2, 3, 0}), 0);
}

TEST(XImage, PixelsOutsideThePicture)
{
    CxImage image(3, 2, 8, CXIMAGE_FORMAT_BMP);
    image.SetPaletteColor(5, RGB(1, 2, 3));
    image.SetPaletteColor(7, RGB(7, 8, 9));
    image.SetPixelIndex(0, 0, 5);
    image.SetPixelIndex(2, 1, 7);
    image.SetPixelIndex(3, 0, 9); // ignored
    EXPECT_EQ(image.GetPixelIndex(2, 1), 7);
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 5); // the first byte of the bottom row
    EXPECT_EQ(image.GetPixelIndex(0, 2), 5);
    EXPECT_EQ(ColourOf(image.GetPixelColor(9, 9)), RGB(1, 2, 3)); // pixel (0, 0)
    image.SetTransIndex(7);
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 7);
    EXPECT_EQ(ColourOf(image.GetPixelColor(9, 9)), RGB(7, 8, 9));
    EXPECT_EQ(ColourOf(image.GetTransColor()), RGB(7, 8, 9));

    CxImage rgb(2, 2, 24, CXIMAGE_FORMAT_BMP);
    rgb.SetPixelColor(0, 0, RGBQUAD{30, 20, 10, 99});
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0); // no palette
    const RGBQUAD stored = rgb.GetPixelColor(0, 0);
    EXPECT_EQ(ColourOf(stored), RGB(10, 20, 30));
    EXPECT_EQ(stored.rgbReserved, 0);
    EXPECT_EQ(ColourOf(rgb.GetPixelColor(5, 0)), RGB(10, 20, 30));
    rgb.SetTransColor(RGBQUAD{3, 2, 1, 0});
    rgb.SetTransIndex(0);
    EXPECT_EQ(ColourOf(rgb.GetPixelColor(5, 0)), RGB(1, 2, 3));
    EXPECT_EQ(ColourOf(rgb.GetTransColor()), RGB(1, 2, 3));
}

// The picture as rows of values (indexes, or 0xBBGGRR), stored row 0 first.
std::vector<std::vector<std::uint32_t>> Values(const CxImage& image)
{
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(image.GetHeight()));
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            rows[y].push_back(image.GetBpp() < 24 ? image.GetPixelIndex(x, y)
                                                  : ColourOf(image.GetPixelColor(x, y)));
    return rows;
}

// A 3 x 2 picture, stored row 0 = a b c, row 1 = d e f: distinct values,
// or 1 1 0 / 0 1 0 for 1 bit.
CxImage SmallPicture(int bpp)
{
    CxImage image(3, 2, bpp, CXIMAGE_FORMAT_TIF);
    image.SetPaletteColor(1, RGB(255, 0, 0));
    image.SetXDPI(100);
    image.SetYDPI(50);
    const std::uint32_t values[2][3] = {{1, 2, 3}, {4, 5, 6}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t v = bpp == 1 ? (y == 0 ? x < 2 : x == 1) : values[y][x];
            if (bpp < 24)
                image.SetPixelIndex(x, y, static_cast<std::uint8_t>(v));
            else
                image.SetPixelColor(x, y, RGBQUAD{static_cast<std::uint8_t>(v), 0, static_cast<std::uint8_t>(10 * v), 0});
        }
    return image;
}

TEST(XImage, FlipMirrorAndQuarterTurnsForEachDepth)
{
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        const auto before = Values(SmallPicture(bpp));
        const auto& a = before[0];
        const auto& d = before[1];
        using Rows = std::vector<std::vector<std::uint32_t>>;

        CxImage flipped = SmallPicture(bpp);
        ASSERT_TRUE(flipped.Flip());
        EXPECT_EQ(Values(flipped), (Rows{d, a}));

        CxImage mirrored = SmallPicture(bpp);
        ASSERT_TRUE(mirrored.Mirror());
        EXPECT_EQ(Values(mirrored), (Rows{{a[2], a[1], a[0]}, {d[2], d[1], d[0]}}));

        // On screen: d e f over a b c. Turned left, the right column comes
        // on top (f c / e b / d a); turned right, the left one (a d / b e /
        // c f). Stored rows are listed from the bottom.
        CxImage left = SmallPicture(bpp);
        ASSERT_TRUE(left.RotateLeft());
        EXPECT_EQ(Values(left), (Rows{{d[0], a[0]}, {d[1], a[1]}, {d[2], a[2]}}));
        CxImage right = SmallPicture(bpp);
        ASSERT_TRUE(right.RotateRight());
        EXPECT_EQ(Values(right), (Rows{{a[2], d[2]}, {a[1], d[1]}, {a[0], d[0]}}));
        for (CxImage* turned : {&left, &right}) {
            EXPECT_EQ(turned->GetBpp(), bpp);
            EXPECT_EQ(turned->GetType(), CXIMAGE_FORMAT_TIF);
            EXPECT_EQ(turned->GetXDPI(), 50);
            EXPECT_EQ(turned->GetYDPI(), 100);
            if (bpp < 24) {
                EXPECT_EQ(ColourOf(turned->GetPaletteColor(1)), RGB(255, 0, 0));
            }
        }
        CxImage back = SmallPicture(bpp);
        back.RotateLeft();
        back.RotateRight();
        EXPECT_EQ(Values(back), before);
    }
    CxImage empty;
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Mirror());
    EXPECT_FALSE(empty.RotateLeft());
    EXPECT_FALSE(empty.RotateRight());
}

TEST(XImage, ResolutionRoundsPelsPerMeter)
{
    CxImage image(1, 1, 24, CXIMAGE_FORMAT_BMP);
    const struct {
        int dpi, ppm;
    } cases[] = {{96, 3780}, {72, 2835}, {300, 11811}, {1, 39}, {0, 0}, {2, 79}};
    for (const auto& c : cases) {
        image.SetXDPI(c.dpi);
        image.SetYDPI(c.dpi + 1);
        EXPECT_EQ(image.GetXDPI(), c.dpi);
        EXPECT_EQ(image.GetHeader().biXPelsPerMeter, c.ppm) << c.dpi;
        BITMAPINFOHEADER stored;
        std::memcpy(&stored, image.GetDIB(), sizeof stored);
        EXPECT_EQ(stored.biXPelsPerMeter, c.ppm);
    }
    image.SetXDPI(0x7FFFFFFF); // beyond what the field holds: the largest value
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 0x7FFFFFFF);
}

TEST(XImage, TransferCopyAndCopyInfo)
{
    CxImage source = SmallPicture(8);
    source.SetTransIndex(4);
    source.SetFrame(3);
    const auto values = Values(source);

    CxImage target(7, 7, 24, CXIMAGE_FORMAT_JPG);
    const std::uint8_t* block = source.GetDIB();
    target.Transfer(source);
    EXPECT_EQ(target.GetDIB(), block); // taken over, not copied
    EXPECT_EQ(Values(target), values);
    EXPECT_EQ(target.GetTransIndex(), 4);
    EXPECT_EQ(target.GetFrame(), 3);
    EXPECT_EQ(target.GetType(), CXIMAGE_FORMAT_TIF);
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0);
    EXPECT_EQ(source.GetDIB(), nullptr);
    EXPECT_EQ(source.GetFrame(), 0);

    CxImage copy(target, true);
    EXPECT_NE(copy.GetDIB(), target.GetDIB());
    EXPECT_EQ(Values(copy), values);
    EXPECT_EQ(copy.GetTransIndex(), 4);
    CxImage paletteOnly(target, false);
    EXPECT_EQ(paletteOnly.GetWidth(), 3);
    EXPECT_EQ(ColourOf(paletteOnly.GetPaletteColor(1)), RGB(255, 0, 0));
    EXPECT_EQ(paletteOnly.GetPixelIndex(2, 1), 0);

    // Only an image without pixels takes another's information.
    CxImage request;
    request.SetFrame(2);
    request.SetEscape(1);
    CxImage fresh(CXIMAGE_FORMAT_GIF);
    fresh.CopyInfo(request);
    EXPECT_EQ(fresh.GetFrame(), 2);
    EXPECT_EQ(fresh.GetEscape(), 1);
    target.CopyInfo(request);
    EXPECT_EQ(target.GetFrame(), 3);
    EXPECT_EQ(target.GetEscape(), 0);
}

TEST(XImage, PaletteSetters)
{
    CxImage image(1, 1, 4, CXIMAGE_FORMAT_BMP);
    const std::uint8_t red[3] = {10, 20, 30}, green[3] = {40, 50, 60};
    image.SetPalette(3, red);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(2)), RGB(30, 30, 30));
    image.SetPalette(3, red, green);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(2)), RGB(30, 60, 60));
    const std::uint8_t blue[3] = {70, 80, 90};
    image.SetPalette(3, red, green, blue);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(1)), RGB(20, 50, 80));

    std::vector<CxRgbTriple> triples(20, CxRgbTriple{1, 2, 3}); // more than the table holds
    image.SetPalette(triples.data(), 20);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(15)), RGB(1, 2, 3));
    std::vector<RGBQUAD> quads(20, RGBQUAD{9, 8, 7, 6});
    image.SetPalette(quads.data(), 20);
    EXPECT_EQ(image.GetPaletteColor(15).rgbReserved, 6);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(16)), RGB(0, 0, 0)); // beyond the table
    image.SetPaletteColor(16, RGB(1, 1, 1));                        // ignored

    image.SetGrayPalette();
    EXPECT_EQ(ColourOf(image.GetPaletteColor(1)), RGB(17, 17, 17));
    EXPECT_EQ(ColourOf(image.GetPaletteColor(15)), RGB(255, 255, 255));

    CxImage rgb(1, 1, 24, CXIMAGE_FORMAT_BMP);
    EXPECT_EQ(rgb.GetPalette(), nullptr);
    rgb.SetPalette(3, red); // nothing to set
    rgb.SetGrayPalette();
    EXPECT_EQ(ColourOf(rgb.GetPixelColor(0, 0)), RGB(0, 0, 0));
}

TEST(XImage, ClearAndRgbSwap)
{
    CxImage image(2, 2, 24, CXIMAGE_FORMAT_JPG);
    image.Clear(0x40);
    EXPECT_EQ(ColourOf(image.GetPixelColor(1, 1)), RGB(0x40, 0x40, 0x40));
    image.SetPixelColor(0, 0, RGBQUAD{1, 2, 3, 0});
    image.RGBtoBGR(image.GetBits(0), 1000);
    EXPECT_EQ(ColourOf(image.GetPixelColor(0, 0)), RGB(1, 2, 3));
}

} // namespace
