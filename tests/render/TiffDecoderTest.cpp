#include "render/TiffDecoder.h"
#include "tests/render/PictureFixtures.h"
#include "tests/render/TiffFixtures.h"

#include <gtest/gtest.h>


namespace {

std::string Decoded(const std::string& bytes, CxImage& image)
{
    return DecodeBytes(image, bytes, CXIMAGE_FORMAT_TIF) ? "" : image.GetLastError();
}

// A colour map of 2^bits entries from the test colours, as 8-bit values
// or as the standard's 16-bit ones.
void SetColourMap(TiffPage& p, bool wide)
{
    const int n = 1 << p.bits;
    for (int i = 0; i < n; ++i) {
        const COLORREF c = FixtureColour(i);
        const auto level = [wide](int v) { return static_cast<std::uint16_t>(wide ? v * 257 : v); };
        p.red.push_back(level(GetRValue(c)));
        p.green.push_back(level(GetGValue(c)));
        p.blue.push_back(level(GetBValue(c)));
    }
}

void ExpectPicture(const CxImage& image, int width, int height, const std::function<COLORREF(int, int)>& colour)
{
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(PictureColour(image, x, y), colour(x, y)) << x << "," << y;
}

struct PaletteCase {
    const char* name;
    TiffPage page;
    int bpp;
    std::function<COLORREF(int x, int y)> shows;
    bool bigEndian = false;
};

TiffPage GreyPage(int bits, int photometric, std::function<unsigned(int, int)> value)
{
    TiffPage p;
    p.width = 11;
    p.height = 5;
    p.bits = bits;
    p.photometric = photometric;
    p.rowsPerStrip = 2;
    p.sample = [value](int x, int y, int) { return value(x, y); };
    return p;
}

TiffPage PalettePage(int bits, bool wideMap)
{
    TiffPage p = GreyPage(bits, PHOTOMETRIC_PALETTE,
                          [bits](int x, int y) { return unsigned(FixtureIndex(x, y, 1 << bits)); });
    SetColourMap(p, wideMap);
    return p;
}

std::vector<PaletteCase> PaletteCases()
{
    const auto index = [](int levels) { return [levels](int x, int y) { return unsigned(FixtureIndex(x, y, levels)); }; };
    const auto mapped = [](int levels) {
        return [levels](int x, int y) { return FixtureColour(FixtureIndex(x, y, levels)); };
    };
    std::vector<PaletteCase> cases = {
        {"grey 8", GreyPage(8, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * 20 + y); }), 8,
         [](int x, int y) { return Grey(x * 20 + y); }},
        {"grey 8 min-is-white", GreyPage(8, PHOTOMETRIC_MINISWHITE, [](int x, int y) { return unsigned(x * 20 + y); }),
         8, [](int x, int y) { return Grey(255 - x * 20 - y); }},
        {"grey 16 by its high bytes",
         GreyPage(16, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * 5000 + y * 300 + 0xAB); }), 8,
         [](int x, int y) { return Grey((x * 5000 + y * 300 + 0xAB) >> 8); }},
        {"grey 4", GreyPage(4, PHOTOMETRIC_MINISBLACK, index(16)), 4,
         [](int x, int y) { return Grey(17 * FixtureIndex(x, y, 16)); }},
        {"grey 4 min-is-white", GreyPage(4, PHOTOMETRIC_MINISWHITE, index(16)), 4,
         [](int x, int y) { return Grey(255 - 17 * FixtureIndex(x, y, 16)); }},
        {"bilevel min-is-black", GreyPage(1, PHOTOMETRIC_MINISBLACK, index(2)), 1,
         [](int x, int y) { return Grey(FixtureIndex(x, y, 2) ? 255 : 0); }},
        {"bilevel min-is-white", GreyPage(1, PHOTOMETRIC_MINISWHITE, index(2)), 1,
         [](int x, int y) { return Grey(FixtureIndex(x, y, 2) ? 0 : 255); }},
        {"grey 2 unpacked", GreyPage(2, PHOTOMETRIC_MINISBLACK, index(4)), 8,
         [](int x, int y) { return Grey(85 * FixtureIndex(x, y, 4)); }},
        {"grey 6 unpacked", GreyPage(6, PHOTOMETRIC_MINISBLACK, index(64)), 8,
         [](int x, int y) { return Grey(FixtureIndex(x, y, 64) * 255 / 63); }},
        {"grey 12 by its top bits", GreyPage(12, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * 300 + y * 7); }),
         8, [](int x, int y) { return Grey((x * 300 + y * 7) >> 4); }},
        {"palette 8, 8-bit map kept", PalettePage(8, false), 8, mapped(256)},
        {"palette 8, 16-bit map scaled", PalettePage(8, true), 8, mapped(256)},
        {"palette 4", PalettePage(4, true), 4, mapped(16)},
        {"palette 2 unpacked", PalettePage(2, true), 8, mapped(4)},
        {"palette 1", PalettePage(1, false), 8, mapped(2)},
    };
    PaletteCase bigEndian{"grey 16 big-endian",
                          GreyPage(16, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * 5000 + y + 0x12); }), 8,
                          [](int x, int y) { return Grey((x * 5000 + y + 0x12) >> 8); }, true};
    cases.push_back(bigEndian);

    TiffPage greyAlpha = GreyPage(8, PHOTOMETRIC_MINISBLACK, nullptr);
    greyAlpha.samples = 2;
    greyAlpha.sample = [](int x, int y, int s) { return s == 0 ? unsigned(x * 9 + y) : 77u; };
    cases.push_back({"grey and alpha keep the grey", greyAlpha, 8, [](int x, int y) { return Grey(x * 9 + y); }});
    TiffPage greyExtras = greyAlpha;
    greyExtras.samples = 3;
    cases.push_back({"grey and two more keep the grey", greyExtras, 8, [](int x, int y) { return Grey(x * 9 + y); }});
    TiffPage rgb4 = GreyPage(4, PHOTOMETRIC_RGB, nullptr);
    rgb4.samples = 3;
    rgb4.sample = [](int x, int y, int s) { return unsigned((x + y + 5 * s) % 16); };
    cases.push_back({"rgb 4", rgb4, 24, [](int x, int y) {
                         return RGB(17 * ((x + y) % 16), 17 * ((x + y + 5) % 16), 17 * ((x + y + 10) % 16));
                     }});
    TiffPage planes = greyAlpha;
    planes.planar = PLANARCONFIG_SEPARATE;
    cases.push_back({"separate planes by the first", planes, 8, [](int x, int y) { return Grey(x * 9 + y); }});
    TiffPage lzw = GreyPage(8, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * 3 + y * 40); });
    lzw.compression = COMPRESSION_LZW;
    cases.push_back({"lzw", lzw, 8, [](int x, int y) { return Grey(x * 3 + y * 40); }});
    TiffPage packBits = PalettePage(4, false);
    packBits.compression = COMPRESSION_PACKBITS;
    cases.push_back({"packbits palette 4", packBits, 4, mapped(16)});
    return cases;
}

TEST(TiffDecoder, GreyBilevelAndPalettePages)
{
    for (const PaletteCase& c : PaletteCases()) {
        SCOPED_TRACE(c.name);
        const std::string file = WriteTiff({c.page}, c.bigEndian);
        ASSERT_FALSE(file.empty());
        CxImage image;
        ASSERT_EQ(Decoded(file, image), "");
        EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_TIF);
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetNumFrames(), 1);
        EXPECT_EQ(image.GetTransIndex(), -1);
        ExpectPicture(image, c.page.width, c.page.height, c.shows);
    }
}

TEST(TiffDecoder, ColourPagesThroughTheRgbaReader)
{
    const auto colour = [](int x, int y) { return FixtureColour(FixtureIndex(x, y, 16)); };
    const auto channel = [colour](int x, int y, int s) -> unsigned {
        const COLORREF c = colour(x, y);
        return s == 0 ? GetRValue(c) : s == 1 ? GetGValue(c) : s == 2 ? GetBValue(c) : 255;
    };
    TiffPage rgb;
    rgb.width = 7;
    rgb.height = 3;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.sample = channel;
    TiffPage rgba = rgb;
    rgba.samples = 4;
    TiffPage wide = rgb;
    wide.bits = 16;
    wide.sample = [channel](int x, int y, int s) { return channel(x, y, s) * 257; };
    TiffPage lzw = rgb;
    lzw.compression = COMPRESSION_LZW;
    // Inks: cyan, magenta, yellow, black; none black here.
    TiffPage cmyk = rgb;
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    cmyk.sample = [channel](int x, int y, int s) { return s == 3 ? 0u : 255 - channel(x, y, s); };
    for (const TiffPage& page : {rgb, rgba, wide, lzw, cmyk}) {
        SCOPED_TRACE(testing::Message() << page.samples << " samples of " << page.bits << " bits, photometric "
                                        << page.photometric);
        CxImage image;
        ASSERT_EQ(Decoded(WriteTiff({page}), image), "");
        EXPECT_EQ(image.GetBpp(), 24);
        ExpectPicture(image, 7, 3, colour);
    }

    // The reader itself shows the page the right way up.
    TiffPage upsideDown = rgb;
    upsideDown.orientation = ORIENTATION_BOTLEFT;
    CxImage image;
    ASSERT_EQ(Decoded(WriteTiff({upsideDown}), image), "");
    ExpectPicture(image, 7, 3, [colour](int x, int y) { return colour(x, 2 - y); });
}

// A 3 x 2 page of six greys under each orientation, against where the
// standard says each stored pixel shows.
TEST(TiffDecoder, OrientationsOfPalettePages)
{
    const int w = 3, h = 2;
    const auto grey = [](int c, int r) { return 30 + 40 * (c + 3 * r); };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(testing::Message() << "orientation " << orientation);
        TiffPage p = GreyPage(8, PHOTOMETRIC_MINISBLACK, nullptr);
        p.width = w;
        p.height = h;
        p.orientation = orientation;
        p.sample = [&](int c, int r, int) { return unsigned(grey(c, r)); };
        CxImage image;
        ASSERT_EQ(Decoded(WriteTiff({p}), image), "");
        const bool turned = orientation >= 5;
        ASSERT_EQ(image.GetWidth(), turned ? h : w);
        ASSERT_EQ(image.GetHeight(), turned ? w : h);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                int x = c, y = r;
                switch (orientation) {
                case 2: x = w - 1 - c; break;
                case 3: x = w - 1 - c, y = h - 1 - r; break;
                case 4: y = h - 1 - r; break;
                case 5: x = r, y = c; break;
                case 6: x = h - 1 - r, y = c; break;
                case 7: x = h - 1 - r, y = w - 1 - c; break;
                case 8: x = r, y = w - 1 - c; break;
                }
                EXPECT_EQ(PictureColour(image, x, y), Grey(grey(c, r))) << "stored " << c << "," << r;
            }
    }
}

TEST(TiffDecoder, TiledPages)
{
    struct Case {
        int bits, photometric, width, height, tile;
    };
    const Case cases[] = {
        {8, PHOTOMETRIC_MINISBLACK, 40, 21, 16},
        {1, PHOTOMETRIC_MINISBLACK, 37, 18, 16},
        {4, PHOTOMETRIC_PALETTE, 33, 17, 32},
        {16, PHOTOMETRIC_MINISBLACK, 20, 35, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits");
        const int levels = c.bits >= 8 ? 256 : 1 << c.bits;
        TiffPage p = GreyPage(c.bits, c.photometric, [&](int x, int y) {
            const unsigned v = unsigned(FixtureIndex(x, y, levels));
            return c.bits == 16 ? v << 8 : v;
        });
        p.width = c.width;
        p.height = c.height;
        p.tileWidth = p.tileLength = c.tile;
        if (c.photometric == PHOTOMETRIC_PALETTE)
            SetColourMap(p, true);
        CxImage image;
        ASSERT_EQ(Decoded(WriteTiff({p}), image), "");
        ExpectPicture(image, c.width, c.height, [&](int x, int y) {
            const int i = FixtureIndex(x, y, levels);
            return c.photometric == PHOTOMETRIC_PALETTE ? FixtureColour(i) : Grey(c.bits == 1 ? 255 * i : i);
        });
    }
}

// Reference colours of CIE L*a*b* (D65) in sRGB. The conversion takes
// the cube law down to black, so the darkest come out a few levels light.
TEST(TiffDecoder, LabPagesAreConverted)
{
    struct Colour {
        int l, a, b; // L in 0..255, a and b signed
        COLORREF rgb;
    };
    const Colour colours[] = {
        {255, 0, 0, RGB(255, 255, 255)}, {0, 0, 0, RGB(0, 0, 0)},         {128, 0, 0, RGB(119, 119, 119)},
        {136, 80, 67, RGB(255, 0, 0)},   {224, -86, 83, RGB(0, 255, 0)}, {82, 79, -108, RGB(0, 0, 255)},
    };
    TiffPage p;
    p.width = 6;
    p.height = 2;
    p.samples = 3;
    p.photometric = PHOTOMETRIC_CIELAB;
    p.sample = [&](int x, int, int s) {
        const Colour& c = colours[x];
        return unsigned(static_cast<std::uint8_t>(s == 0 ? c.l : s == 1 ? c.a : c.b));
    };
    CxImage image;
    ASSERT_EQ(Decoded(WriteTiff({p}), image), "");
    EXPECT_EQ(image.GetBpp(), 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(Near(PictureColour(image, x, y), colours[x].rgb, 10))
                << x << ": " << std::hex << PictureColour(image, x, y);
}

TEST(TiffDecoder, PagesAndResolution)
{
    TiffPage first = GreyPage(8, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x + y); });
    first.xResolution = 300;
    first.yResolution = 150.7f;
    TiffPage second = PalettePage(4, true);
    second.width = 5;
    second.height = 2;
    const std::string file = WriteTiff({first, second});

    CxImage image;
    ASSERT_EQ(Decoded(file, image), "");
    EXPECT_EQ(image.GetNumFrames(), 2);
    EXPECT_EQ(image.GetXDPI(), 300);
    EXPECT_EQ(image.GetYDPI(), 150);
    EXPECT_EQ(image.GetWidth(), 11);

    image.Destroy();
    image.SetFrame(1);
    image.SetXDPI(96);
    image.SetYDPI(96);
    ASSERT_EQ(Decoded(file, image), "");
    EXPECT_EQ(image.GetBpp(), 4);
    EXPECT_EQ(image.GetXDPI(), 96);
    ExpectPicture(image, 5, 2, [](int x, int y) { return FixtureColour(FixtureIndex(x, y, 16)); });

    // A missing page: the caller's picture stays, and learns how many there are.
    for (const int frame : {2, -1, 1000}) {
        image.SetFrame(frame);
        image.SetNumFrames(0);
        EXPECT_EQ(Decoded(file, image), "Error: page not present in TIFF file") << frame;
        EXPECT_EQ(image.GetNumFrames(), 2);
        EXPECT_EQ(image.GetWidth(), 5);
    }
}

// One strip of 16-bit samples is twice the size of the image it makes; a
// strip of more rows than the page, or no RowsPerStrip at all, is one strip.
TEST(TiffDecoder, StripsLongerThanThePage)
{
    const int w = 5, h = 3;
    std::string rows;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char b[2];
            PutLittleEndian<std::uint16_t>(b, static_cast<std::uint16_t>((x * 40 + y) << 8 | 0x5A));
            rows.append(reinterpret_cast<char*>(b), 2);
        }
    const auto tags = [&](std::uint32_t rowsPerStrip) {
        std::vector<std::pair<std::uint16_t, std::uint32_t>> t = {
            {TIFFTAG_IMAGEWIDTH, w}, {TIFFTAG_IMAGELENGTH, h}, {TIFFTAG_BITSPERSAMPLE, 16},
            {TIFFTAG_COMPRESSION, 1}, {TIFFTAG_PHOTOMETRIC, 1}, {TIFFTAG_STRIPOFFSETS, 0},
            {TIFFTAG_SAMPLESPERPIXEL, 1}};
        if (rowsPerStrip)
            t.push_back({TIFFTAG_ROWSPERSTRIP, rowsPerStrip});
        t.push_back({TIFFTAG_STRIPBYTECOUNTS, std::uint32_t(rows.size())});
        return t;
    };
    for (const std::uint32_t rowsPerStrip : {0u, 1000u, 0xFFFFFFFFu, 3u}) {
        SCOPED_TRACE(rowsPerStrip);
        CxImage image;
        ASSERT_EQ(Decoded(HandMadeTiff(tags(rowsPerStrip), rows), image), "");
        ExpectPicture(image, w, h, [](int x, int y) { return Grey(x * 40 + y); });
    }

    // The same strip cut short.
    CxImage image;
    EXPECT_EQ(Decoded(HandMadeTiff(tags(0), rows.substr(0, rows.size() - 3)), image), "Corrupted TIFF file!");
    EXPECT_FALSE(image.IsValid());
}

TEST(TiffDecoder, DamagedFilesFailCleanly)
{
    CxImage image;
    EXPECT_EQ(Decoded("", image), "Error encountered while opening TIFF file");
    EXPECT_EQ(Decoded("II*\0 not a directory", image), "Error encountered while opening TIFF file");
    EXPECT_EQ(Decoded(PlainBmp(3, 2, 8), image), "Error encountered while opening TIFF file");

    // libtiff writes the directory last, so a file cut anywhere has none;
    // the hand-made one has it first, and its cut strip fails the read.
    TiffPage p = GreyPage(8, PHOTOMETRIC_MINISBLACK, [](int x, int y) { return unsigned(x * y); });
    const std::string written = WriteTiff({p});
    std::string bytes(55, 'x');
    const std::string handMade = HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 11},
                                               {TIFFTAG_IMAGELENGTH, 5},
                                               {TIFFTAG_BITSPERSAMPLE, 8},
                                               {TIFFTAG_PHOTOMETRIC, 1},
                                               {TIFFTAG_STRIPOFFSETS, 0},
                                               {TIFFTAG_ROWSPERSTRIP, 5},
                                               {TIFFTAG_STRIPBYTECOUNTS, 55}},
                                              bytes);
    ASSERT_EQ(Decoded(handMade, image), "");
    for (const std::string* file : {&written, &handMade})
        for (std::size_t size = 0; size < file->size(); ++size) {
            CxImage cut;
            ASSERT_NE(Decoded(file->substr(0, size), cut), "") << size;
            EXPECT_FALSE(cut.IsValid());
        }

    // A tile shorter than its byte count says.
    const auto tiledFile = [](const std::string& data) {
        return HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 16},
                             {TIFFTAG_IMAGELENGTH, 16},
                             {TIFFTAG_BITSPERSAMPLE, 8},
                             {TIFFTAG_PHOTOMETRIC, 1},
                             {TIFFTAG_TILEWIDTH, 16},
                             {TIFFTAG_TILELENGTH, 16},
                             {TIFFTAG_TILEOFFSETS, 0},
                             {TIFFTAG_TILEBYTECOUNTS, 256}},
                            data);
    };
    ASSERT_EQ(Decoded(tiledFile(std::string(256, '\x40')), image), "");
    EXPECT_EQ(PictureColour(image, 15, 15), Grey(0x40));
    EXPECT_EQ(Decoded(tiledFile(std::string(100, '\x40')), image), "Corrupted tiled TIFF file!");

    // Sizes no picture may have are refused before anything is read.
    const std::string huge = HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 100000},
                                           {TIFFTAG_IMAGELENGTH, 100000},
                                           {TIFFTAG_BITSPERSAMPLE, 8},
                                           {TIFFTAG_PHOTOMETRIC, 1},
                                           {TIFFTAG_STRIPOFFSETS, 0},
                                           {TIFFTAG_ROWSPERSTRIP, 100000},
                                           {TIFFTAG_STRIPBYTECOUNTS, 10}},
                                          std::string(10, '\0'));
    EXPECT_EQ(Decoded(huge, image), "CXIMAGE_MAX_MEMORY exceeded");

    CxImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_EQ(Decoded(written, cancelled), "Cancelled");
}

TEST(TiffDecoder, FoundByEveryDecoderInTurn)
{
    CxImage image;
    ASSERT_TRUE(DecodeBytes(image, WriteTiff({PalettePage(8, false)}), CXIMAGE_FORMAT_UNKNOWN))
        << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_TIF);
    EXPECT_EQ(PictureColour(image, 3, 2), FixtureColour(FixtureIndex(3, 2, 256)));
}

} // namespace
