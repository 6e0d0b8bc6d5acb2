#include "render/PngDecoder.h"
#include "tests/render/PictureFixtures.h"
#include "tests/render/PngFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

std::string Decoded(const std::string& bytes, CxImage& image)
{
    return DecodeBytes(image, bytes, CXIMAGE_FORMAT_PNG) ? "" : image.GetLastError();
}

std::vector<png_color> FixturePng(int n)
{
    std::vector<png_color> palette;
    for (int i = 0; i < n; ++i) {
        const COLORREF c = FixtureColour(i);
        palette.push_back(PngRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    return palette;
}

// Each picture with what its pixels must show; the pixel samples and the
// colour they stand for come from one index (x + 3y) mod levels.
TEST(PngDecoder, DepthsAndColourTypes)
{
    struct Case {
        const char* name;
        int colourType, bitDepth, bpp;
        // The samples of a pixel of index i, and the colour it shows.
        std::function<std::vector<unsigned>(int)> samples;
        std::function<COLORREF(int)> colour;
        int levels;
    };
    const auto paletteCase = [](int depth, int bpp) {
        return Case{"palette", PNG_COLOR_TYPE_PALETTE, depth, bpp,
                    [](int i) { return std::vector<unsigned>{unsigned(i)}; }, FixtureColour, 1 << depth};
    };
    const std::vector<Case> cases = {
        paletteCase(1, 1),
        paletteCase(2, 4),
        paletteCase(4, 4),
        paletteCase(8, 8),
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1, 1, [](int i) { return std::vector<unsigned>{unsigned(i)}; },
         [](int i) { return Grey(255 * i); }, 2},
        {"grey 2 without PLTE", PNG_COLOR_TYPE_GRAY, 2, 4, [](int i) { return std::vector<unsigned>{unsigned(i)}; },
         [](int i) { return Grey(85 * i); }, 4},
        {"grey 4", PNG_COLOR_TYPE_GRAY, 4, 4, [](int i) { return std::vector<unsigned>{unsigned(i)}; },
         [](int i) { return Grey(17 * i); }, 16},
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, 8, [](int i) { return std::vector<unsigned>{unsigned(i * 13)}; },
         [](int i) { return Grey(i * 13); }, 19},
        {"grey 16 by its high bytes", PNG_COLOR_TYPE_GRAY, 16, 8,
         [](int i) { return std::vector<unsigned>{unsigned(i * 3001 + 0xFF)}; },
         [](int i) { return Grey((i * 3001 + 0xFF) >> 8); }, 21},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8, 24,
         [](int i) {
             const COLORREF c = FixtureColour(i);
             return std::vector<unsigned>{unsigned(GetRValue(c)), unsigned(GetGValue(c)), unsigned(GetBValue(c))};
         },
         FixtureColour, 16},
        {"rgb 16", PNG_COLOR_TYPE_RGB, 16, 24,
         [](int i) {
             const COLORREF c = FixtureColour(i);
             return std::vector<unsigned>{GetRValue(c) * 256u + 77, GetGValue(c) * 256u + 200, GetBValue(c) * 256u};
         },
         FixtureColour, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", " << c.bitDepth << " bits");
        PngFixture f;
        f.width = 9;
        f.height = 4;
        f.colourType = c.colourType;
        f.bitDepth = c.bitDepth;
        if (c.colourType == PNG_COLOR_TYPE_PALETTE)
            f.palette = FixturePng(c.levels);
        f.pixel = [&](int x, int y) { return c.samples(FixtureIndex(x, y, c.levels)); };
        CxImage image;
        ASSERT_EQ(Decoded(WritePng(f), image), "");
        EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_PNG);
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetTransIndex(), -1);
        EXPECT_EQ(image.GetXDPI(), 96);
        ASSERT_EQ(image.GetWidth(), 9);
        ASSERT_EQ(image.GetHeight(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(PictureColour(image, x, y), c.colour(FixtureIndex(x, y, c.levels))) << x << "," << y;
    }
}

TEST(PngDecoder, TwoBitPaletteKeepsItsIndicesInAFourBitImage)
{
    PngFixture f;
    f.width = 5;
    f.height = 2;
    f.colourType = PNG_COLOR_TYPE_PALETTE;
    f.bitDepth = 2;
    f.palette = FixturePng(4);
    f.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned((x + y) % 4)}; };
    CxImage image;
    ASSERT_EQ(Decoded(WritePng(f), image), "");
    EXPECT_EQ(image.GetBpp(), 4);
    EXPECT_EQ(image.GetNumColors(), 16);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ColourOf(image.GetPaletteColor(i)), FixtureColour(i));
    EXPECT_EQ(ColourOf(image.GetPaletteColor(4)), RGB(0, 0, 0));
    // Top row 0 1 2 3 0, packed two a byte.
    const std::uint8_t* top = image.GetBits(1);
    EXPECT_EQ(top[0], 0x01);
    EXPECT_EQ(top[1], 0x23);
    EXPECT_EQ(top[2], 0x00);
    EXPECT_EQ(image.GetPixelIndex(4, 0), 1);
}

TEST(PngDecoder, PaletteTransparency)
{
    struct Case {
        std::vector<png_byte> alpha;
        int transIndex;
        bool alphaPalette;
        std::vector<int> fourthBytes; // of entries 0 to 3
    };
    const Case cases[] = {
        {{0}, 0, false, {0, 0, 0, 0}},
        {{255}, -1, true, {255, 255, 255, 255}},
        {{0, 128}, -1, true, {0, 128, 255, 255}},
        {{10, 0, 0, 30}, -1, true, {10, 0, 0, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.alpha.size() << " alpha values");
        PngFixture f;
        // The library composites its own copy of the palette on the
        // background; the picture keeps the file's colours and indices.
        f.background = PngColour16(0, 0, 0, 0, 3);
        f.colourType = PNG_COLOR_TYPE_PALETTE;
        f.bitDepth = 8;
        f.palette = FixturePng(4);
        f.paletteAlpha = c.alpha;
        f.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(FixtureIndex(x, y, 4))}; };
        CxImage image;
        ASSERT_EQ(Decoded(WritePng(f), image), "");
        EXPECT_EQ(image.GetTransIndex(), c.transIndex);
        EXPECT_EQ(image.AlphaPaletteIsEnabled(), c.alphaPalette);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(image.GetPaletteColor(i).rgbReserved, c.fourthBytes[i]) << i;
            EXPECT_EQ(ColourOf(image.GetPaletteColor(i)), FixtureColour(i)) << i;
        }
        EXPECT_EQ(PictureColour(image, 1, 0), FixtureColour(1));
    }
}

// A picture decoded into an object that held another takes nothing of the
// first one's transparency, palette alpha or resolution.
TEST(PngDecoder, ReusedObjectKeepsNothingOfTheEarlierPicture)
{
    PngFixture transparent;
    transparent.colourType = PNG_COLOR_TYPE_PALETTE;
    transparent.bitDepth = 8;
    transparent.palette = FixturePng(4);
    transparent.paletteAlpha = {0};
    transparent.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(FixtureIndex(x, y, 4))}; };
    PngFixture opaque = transparent;
    opaque.paletteAlpha.clear();

    CxImage image;
    ASSERT_EQ(Decoded(WritePng(transparent), image), "");
    ASSERT_EQ(image.GetTransIndex(), 0);
    ASSERT_EQ(Decoded(WritePng(opaque), image), "");
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_FALSE(image.AlphaPaletteIsEnabled());
}

// Pixels of alpha 0, 255 and about half, each over a stored colour that
// must not show where the pixel is transparent.
TEST(PngDecoder, AlphaAndTransparentColoursAreCompositedOnTheBackground)
{
    const COLORREF stored = RGB(20, 200, 40);
    struct Case {
        const char* name;
        int colourType, bitDepth;
        std::optional<png_color_16> background;
        COLORREF shows; // where the picture is transparent
        int bpp;
    };
    const png_color_16 blue = PngColour16(0, 0, 255);
    const Case cases[] = {
        {"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, std::nullopt, Grey(192), 24},
        {"rgba 8 on bKGD", PNG_COLOR_TYPE_RGB_ALPHA, 8, blue, RGB(0, 0, 255), 24},
        {"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, std::nullopt, Grey(192), 24},
        {"rgba 16 on bKGD", PNG_COLOR_TYPE_RGB_ALPHA, 16, PngColour16(0, 0, 65535), RGB(0, 0, 255), 24},
        {"grey alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, std::nullopt, Grey(192), 8},
        {"grey alpha 8 on bKGD", PNG_COLOR_TYPE_GRAY_ALPHA, 8, PngColour16(0, 0, 0, 30), Grey(30), 8},
        {"grey alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, std::nullopt, Grey(192), 24},
        {"grey alpha 16 on bKGD", PNG_COLOR_TYPE_GRAY_ALPHA, 16, PngColour16(0, 0, 0, 30 * 257), Grey(30), 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool grey = c.colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
        const unsigned scale = c.bitDepth == 16 ? 257 : 1;
        PngFixture f;
        f.width = 3;
        f.height = 1;
        f.colourType = c.colourType;
        f.bitDepth = c.bitDepth;
        f.background = c.background;
        f.pixel = [&](int x, int) {
            const unsigned alpha = (x == 0 ? 0 : x == 1 ? 255 : 128) * scale;
            if (grey)
                return std::vector<unsigned>{GetGValue(stored) * scale, alpha};
            return std::vector<unsigned>{GetRValue(stored) * scale, GetGValue(stored) * scale,
                                         GetBValue(stored) * scale, alpha};
        };
        CxImage image;
        ASSERT_EQ(Decoded(WritePng(f), image), "");
        EXPECT_EQ(image.GetBpp(), c.bpp);
        const COLORREF opaque = grey ? Grey(GetGValue(stored)) : stored;
        EXPECT_EQ(PictureColour(image, 0, 0), c.shows);
        EXPECT_EQ(PictureColour(image, 1, 0), opaque);
        const COLORREF half = RGB((GetRValue(opaque) + GetRValue(c.shows)) / 2,
                                  (GetGValue(opaque) + GetGValue(c.shows)) / 2,
                                  (GetBValue(opaque) + GetBValue(c.shows)) / 2);
        EXPECT_TRUE(Near(PictureColour(image, 2, 0), half, 2)) << std::hex << PictureColour(image, 2, 0);
    }

    // A tRNS grey or colour: those pixels take the background.
    struct Keyed {
        const char* name;
        int colourType, bitDepth;
        png_color_16 key;
        std::vector<unsigned> keyed, other;
        COLORREF shows, otherShows;
        std::optional<png_color_16> background = std::nullopt;
    };
    const Keyed keyed[] = {
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, PngColour16(0, 0, 0, 7), {7}, {100}, Grey(192), Grey(100)},
        {"grey 2", PNG_COLOR_TYPE_GRAY, 2, PngColour16(0, 0, 0, 1), {1}, {3}, Grey(170), Grey(255)},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8, PngColour16(1, 2, 3), {1, 2, 3}, {9, 8, 7}, Grey(192), RGB(9, 8, 7)},
        {"rgb 8 on bKGD", PNG_COLOR_TYPE_RGB, 8, PngColour16(1, 2, 3), {1, 2, 3}, {9, 8, 7}, RGB(250, 0, 100),
         RGB(9, 8, 7), PngColour16(250, 0, 100)},
        {"grey 8 on bKGD", PNG_COLOR_TYPE_GRAY, 8, PngColour16(0, 0, 0, 7), {7}, {100}, Grey(60), Grey(100),
         PngColour16(0, 0, 0, 60)},
    };
    for (const Keyed& k : keyed) {
        SCOPED_TRACE(k.name);
        PngFixture f;
        f.width = 2;
        f.height = 1;
        f.colourType = k.colourType;
        f.bitDepth = k.bitDepth;
        f.transparentColour = k.key;
        f.background = k.background;
        f.pixel = [&](int x, int) { return x == 0 ? k.keyed : k.other; };
        CxImage image;
        ASSERT_EQ(Decoded(WritePng(f), image), "");
        EXPECT_EQ(PictureColour(image, 0, 0), k.shows);
        EXPECT_EQ(PictureColour(image, 1, 0), k.otherShows);
    }
}

TEST(PngDecoder, ResolutionInBothUnits)
{
    struct Case {
        int unit;
        png_uint_32 x, y;
        int dpiX, dpiY;
    };
    const Case cases[] = {
        {PNG_RESOLUTION_METER, 3780, 11811, 96, 300},
        {PNG_RESOLUTION_METER, 2834, 2835, 72, 72},
        {PNG_RESOLUTION_UNKNOWN, 2, 3, 2, 3},
        {PNG_RESOLUTION_UNKNOWN, 0x7FFFFFFF, 1, 0x7FFFFFFF, 1},
    };
    for (const Case& c : cases) {
        PngFixture f;
        f.physUnit = c.unit;
        f.physX = c.x;
        f.physY = c.y;
        f.pixel = [](int, int) { return std::vector<unsigned>{50}; };
        CxImage image;
        ASSERT_EQ(Decoded(WritePng(f), image), "");
        EXPECT_EQ(image.GetXDPI(), c.dpiX) << c.x;
        EXPECT_EQ(image.GetYDPI(), c.dpiY) << c.y;
    }
}

// Each interlaced picture must decode exactly as the same picture stored plainly.
TEST(PngDecoder, InterlacedPassesMergeIntoThePicture)
{
    struct Case {
        int colourType, bitDepth, channels;
    };
    const Case cases[] = {
        {PNG_COLOR_TYPE_PALETTE, 2, 1}, {PNG_COLOR_TYPE_PALETTE, 1, 1}, {PNG_COLOR_TYPE_GRAY, 4, 1},
        {PNG_COLOR_TYPE_GRAY, 8, 1},    {PNG_COLOR_TYPE_RGB, 8, 3},     {PNG_COLOR_TYPE_RGB_ALPHA, 16, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colourType << "/" << c.bitDepth);
        PngFixture f;
        f.width = 13;
        f.height = 11;
        f.colourType = c.colourType;
        f.bitDepth = c.bitDepth;
        if (c.colourType == PNG_COLOR_TYPE_PALETTE)
            f.palette = FixturePng(1 << c.bitDepth);
        const unsigned top = (1u << c.bitDepth) - 1;
        f.pixel = [&](int x, int y) {
            std::vector<unsigned> samples;
            for (int k = 0; k < c.channels; ++k)
                samples.push_back(unsigned((x * 7 + y * 5 + k * 3) * (c.bitDepth == 16 ? 2749 : 1)) % (top + 1));
            if (c.channels == 4)
                samples[3] = top; // opaque
            return samples;
        };
        CxImage plain, interlaced;
        ASSERT_EQ(Decoded(WritePng(f), plain), "");
        f.interlaced = true;
        const std::string file = WritePng(f);
        ASSERT_EQ(Decoded(file, interlaced), "");
        ASSERT_EQ(interlaced.GetBpp(), plain.GetBpp());
        ASSERT_EQ(interlaced.GetSize(), plain.GetSize());
        EXPECT_EQ(std::memcmp(interlaced.GetDIB(), plain.GetDIB(), plain.GetSize()), 0);
        // And not all one colour: the passes carried different pixels.
        std::set<COLORREF> colours;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                colours.insert(PictureColour(interlaced, x, y));
        EXPECT_GE(colours.size(), std::min(2u << c.bitDepth, 8u) / 2);
    }
}

TEST(PngDecoder, FoundByEveryDecoderInTurnWhenNamedAsBmp)
{
    CTempDir dir;
    PngFixture f;
    f.colourType = PNG_COLOR_TYPE_PALETTE;
    f.bitDepth = 4;
    f.palette = FixturePng(16);
    f.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(FixtureIndex(x, y, 16))}; };
    WriteWholeFile(dir.File("vaizdas.bmp"), WritePng(f));
    CxImage image(dir.File("vaizdas.bmp"), CXIMAGE_FORMAT_BMP);
    ASSERT_TRUE(image.IsValid()) << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_PNG);
    EXPECT_EQ(PictureColour(image, 2, 1), FixtureColour(FixtureIndex(2, 1, 16)));

    CxImage chain;
    ASSERT_TRUE(DecodeBytes(chain, WritePng(f), CXIMAGE_FORMAT_UNKNOWN)) << chain.GetLastError();
    EXPECT_EQ(chain.GetType(), CXIMAGE_FORMAT_PNG);
}

TEST(PngDecoder, DamagedFilesFailWithTheLibrarysReason)
{
    PngFixture f;
    f.width = 6;
    f.height = 5;
    f.colourType = PNG_COLOR_TYPE_RGB;
    f.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(x * 40), unsigned(y * 50), 7}; };
    const std::string good = WritePng(f);
    ASSERT_FALSE(good.empty());

    // Every cut short file fails, and says why.
    for (std::size_t size = 0; size < good.size(); ++size) {
        CxImage image;
        const std::string reason = Decoded(good.substr(0, size), image);
        ASSERT_NE(reason, "") << size;
        EXPECT_FALSE(image.IsValid());
    }
    CxImage image;
    EXPECT_EQ(Decoded("", image), "Read Error");
    EXPECT_EQ(Decoded(good.substr(0, 20), image), "Read Error");
    EXPECT_EQ(Decoded("GIF89a and more bytes", image), "Not a PNG file");

    std::string badCrc = good;
    badCrc[29] ^= 0x01; // inside the header's CRC
    EXPECT_EQ(Decoded(badCrc, image), "IHDR: CRC error");

    // A header of 60000 x 60000 colour pixels is refused before anything is read.
    EXPECT_EQ(Decoded(WithPngSize(good, 60000, 60000), image), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_TRUE(image.LastErrorIsTooLarge());

    // Cancelled: false without a message; the caller knows why.
    CxImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_EQ(Decoded(good, cancelled), "");
    EXPECT_FALSE(cancelled.IsValid());
}

} // namespace
