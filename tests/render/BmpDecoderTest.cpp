#include "render/BmpDecoder.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Stored palette indexes, bottom row first.
using IndexRows = std::vector<std::vector<int>>;

void ExpectIndexes(const CxImage& image, const IndexRows& rows)
{
    ASSERT_EQ(image.GetHeight(), static_cast<int>(rows.size()));
    for (int y = 0; y < image.GetHeight(); ++y) {
        ASSERT_EQ(image.GetWidth(), static_cast<int>(rows[y].size()));
        for (int x = 0; x < image.GetWidth(); ++x)
            EXPECT_EQ(image.GetPixelIndex(x, y), rows[y][x]) << "x " << x << " stored row " << y;
    }
}

// Every pixel against the colour the test picture gives it.
void ExpectPicture(const CxImage& image, int width, int height, int colours)
{
    ASSERT_TRUE(image.IsValid()) << image.GetLastError();
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(PictureColour(image, x, y), FixtureColour(FixtureIndex(x, y, colours))) << x << "," << y;
}

// A file with a full palette of 2^bits entries and the given pixel data.
std::string EncodedBmp(int width, int height, int bits, std::uint32_t compression, const std::string& data)
{
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = static_cast<unsigned>(bits);
    f.compression = compression;
    f.sizeImage = static_cast<std::uint32_t>(data.size());
    const int colours = 1 << bits;
    return WithFileHeader(InfoHeader(f) + FixturePalette(colours) + data,
                          static_cast<std::uint32_t>(14 + 40 + 4 * colours));
}

std::string Decoded(const std::string& bytes, CxImage& image)
{
    return DecodeBytes(image, bytes, CXIMAGE_FORMAT_BMP) ? "" : image.GetLastError();
}

TEST(BmpDecoder, PlainFilesOfEachPaletteDepthAndTrueColour)
{
    struct Case {
        int bits, width, height, colours;
        bool topDown;
    };
    const Case cases[] = {
        {1, 13, 3, 2, false}, {4, 7, 5, 16, false}, {8, 5, 4, 256, false}, {24, 5, 3, 16, false},
        {8, 6, 3, 256, true}, {24, 3, 4, 16, true}, {1, 9, 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits" << (c.topDown ? ", top-down" : ""));
        CxImage image;
        ASSERT_EQ(Decoded(PlainBmp(c.width, c.height, c.bits, c.topDown), image), "");
        EXPECT_EQ(image.GetBpp(), c.bits);
        EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_BMP);
        EXPECT_EQ(image.GetXDPI(), 96);
        ExpectPicture(image, c.width, c.height, c.colours);
    }
}

TEST(BmpDecoder, SixteenBitWithoutMasksIsFiveFiveFive)
{
    const int width = 5, height = 3;
    const auto r = [](int x, int y) { return (x * 7 + y * 3) & 31; };
    const auto g = [](int x, int y) { return (x * 5 + y * 11) & 31; };
    const auto b = [](int x, int y) { return (x + y * 13) & 31; };
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 16;
    const std::string dib = InfoHeader(f) + FixtureRows(width, height, 16, false, [&](int x, int y) {
                                return std::uint32_t(r(x, y) << 10 | g(x, y) << 5 | b(x, y));
                            });
    CxImage image;
    ASSERT_EQ(Decoded(WithFileHeader(dib, 54), image), "");
    EXPECT_EQ(image.GetBpp(), 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(PictureColour(image, x, y), RGB(r(x, y) << 3, g(x, y) << 3, b(x, y) << 3)) << x << "," << y;
}

// 5-6-5 masks after a 40-byte header, or inside a V5 header.
TEST(BmpDecoder, SixteenBitWithMasksInEitherPlace)
{
    const int width = 4, height = 3;
    const auto r = [](int x, int y) { return (x * 9 + y) & 31; };
    const auto g = [](int x, int y) { return (x * 17 + y * 5) & 63; };
    const auto b = [](int x, int y) { return (x * 3 + y * 7) & 31; };
    const std::string rows = FixtureRows(width, height, 16, false, [&](int x, int y) {
        return std::uint32_t(r(x, y) << 11 | g(x, y) << 5 | b(x, y));
    });
    CByteWriter masks;
    masks.U32(0xF800).U32(0x07E0).U32(0x001F);
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 16;
    f.compression = BI_BITFIELDS;
    const std::string afterHeader = WithFileHeader(InfoHeader(f) + masks.Str() + rows, 14 + 40 + 12);
    f.size = 124;
    const std::string v5 = InfoHeader(f) + masks.Str() + std::string(124 - 52, '\0');
    const std::string insideHeader = WithFileHeader(v5 + rows, 14 + 124);
    for (const std::string& file : {afterHeader, insideHeader}) {
        CxImage image;
        ASSERT_EQ(Decoded(file, image), "");
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(PictureColour(image, x, y), RGB(r(x, y) << 3, g(x, y) << 2, b(x, y) << 3));
    }
}

TEST(BmpDecoder, ThirtyTwoBitPlainAndWithOtherMasks)
{
    const int width = 3, height = 2;
    const auto colour = [](int x, int y) { return FixtureColour(FixtureIndex(x, y, 16)); };
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 32;
    const std::string plain = WithFileHeader(
        InfoHeader(f) + FixtureRows(width, height, 32, false, [&](int x, int y) {
            const COLORREF c = colour(x, y);
            return 0xAA000000u | std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }),
        54);
    // Red, green, blue in the top three bytes, alpha in the lowest.
    f.compression = BI_BITFIELDS;
    CByteWriter masks;
    masks.U32(0xFF000000).U32(0x00FF0000).U32(0x0000FF00);
    const std::string shifted = WithFileHeader(
        InfoHeader(f) + masks.Str() + FixtureRows(width, height, 32, false, [&](int x, int y) {
            const COLORREF c = colour(x, y);
            return std::uint32_t(GetRValue(c)) << 24 | GetGValue(c) << 16 | GetBValue(c) << 8 | 0x55;
        }),
        14 + 40 + 12);
    for (const std::string& file : {plain, shifted}) {
        CxImage image;
        ASSERT_EQ(Decoded(file, image), "");
        EXPECT_EQ(image.GetBpp(), 24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(PictureColour(image, x, y), colour(x, y));
    }
}

// Deltas, odd literal runs with their pad byte, runs past the row's end
// and past the picture's top.
TEST(BmpDecoder, Rle8)
{
    CByteWriter data;
    data.Bytes({3, 1, 0, 3, 2, 3, 4, 0, 2, 5, 0, 0}); // row 0
    data.Bytes({2, 6, 0, 2, 3, 1});                   // row 1, then to row 2 column 5
    data.Bytes({10, 7, 0, 0});                        // past the row's end
    data.Bytes({0, 5, 1, 2, 3, 4, 5, 0, 255, 9, 0, 0}); // row 3
    data.Bytes({5, 8, 0, 2, 0, 200, 4, 4, 0, 1});     // above the picture
    CxImage image;
    ASSERT_EQ(Decoded(EncodedBmp(8, 4, 8, BI_RLE8, data.Str()), image), "");
    ExpectIndexes(image, {{1, 1, 1, 2, 3, 4, 5, 5},
                          {6, 6, 0, 0, 0, 0, 0, 0},
                          {0, 0, 0, 0, 0, 7, 7, 7},
                          {1, 2, 3, 4, 5, 9, 9, 9}});
}

// Runs start on their high nibble wherever they land; literal runs pad
// their bytes to a whole word; a delta moves whole pixels.
TEST(BmpDecoder, Rle4)
{
    CByteWriter data;
    data.Bytes({3, 0x12, 2, 0x34, 0, 3, 0x56, 0x70, 0, 0});      // row 0
    data.Bytes({0, 5, 0x89, 0xAB, 0xC0, 0, 0, 2, 1, 0, 4, 0xDE}); // row 1: pad, delta, past the end
    data.Bytes({0, 0, 8, 0xF0, 0, 1});                            // row 2
    CxImage image;
    ASSERT_EQ(Decoded(EncodedBmp(8, 3, 4, BI_RLE4, data.Str()), image), "");
    ExpectIndexes(image, {{1, 2, 1, 3, 4, 5, 6, 7},
                          {8, 9, 10, 11, 12, 0, 13, 14},
                          {15, 0, 15, 0, 15, 0, 15, 0}});
}

TEST(BmpDecoder, RleWithoutEndMarkAfterTheLastRow)
{
    CByteWriter data;
    data.Bytes({4, 1, 0, 0, 4, 2}); // the last row full, then the file ends
    CxImage image;
    ASSERT_EQ(Decoded(EncodedBmp(4, 2, 8, BI_RLE8, data.Str()), image), "");
    ExpectIndexes(image, {{1, 1, 1, 1}, {2, 2, 2, 2}});
}

TEST(BmpDecoder, CoreHeaderWithThreeByteColours)
{
    const int width = 5, height = 3;
    CByteWriter header;
    header.U32(12).U16(width).U16(height).U16(1).U16(4);
    const std::string dib = header.Str() + FixturePalette(16, true) +
                            FixtureRows(width, height, 4, false, [](int x, int y) {
                                return std::uint32_t(FixtureIndex(x, y, 16));
                            });
    CxImage image;
    ASSERT_EQ(Decoded(WithFileHeader(dib, 14 + 12 + 48), image), "");
    EXPECT_EQ(image.GetBpp(), 4);
    ExpectPicture(image, width, height, 16);
    EXPECT_EQ(image.GetPaletteColor(5).rgbReserved, 0);
}

// The header counts 16 colours: the table holds 16 entries, the rest of
// the image's 256 stay black, and the pixels are found either at the
// file's offset (with a gap before them) or right after the table.
TEST(BmpDecoder, EightBitsWithSixteenColours)
{
    const int width = 6, height = 4;
    InfoHeaderFields f;
    f.width = width;
    f.height = height;
    f.bits = 8;
    f.clrUsed = 16;
    const std::string rows = FixtureRows(width, height, 8, false, [](int x, int y) {
        return std::uint32_t(FixtureIndex(x, y, 16));
    });
    const std::string head = InfoHeader(f) + FixturePalette(16);
    const std::string withGap = WithFileHeader(head + std::string(10, '\x77') + rows, 14 + 40 + 64 + 10);
    const std::string bare = head + rows;
    for (const std::string& file : {withGap, bare}) {
        CxImage image;
        ASSERT_EQ(Decoded(file, image), "");
        EXPECT_EQ(image.GetNumColors(), 256);
        ExpectPicture(image, width, height, 16);
        EXPECT_EQ(ColourOf(image.GetPaletteColor(16)), RGB(0, 0, 0));
        EXPECT_EQ(ColourOf(image.GetPaletteColor(255)), RGB(0, 0, 0));
    }
}

TEST(BmpDecoder, HeaderlessDib)
{
    const std::string file = PlainBmp(7, 3, 8);
    CxImage image;
    ASSERT_EQ(Decoded(file.substr(14), image), "");
    ExpectPicture(image, 7, 3, 256);
}

// V4 and V5 headers with a plain picture, and the sizes other than the
// known ones, which need an exact image size.
TEST(BmpDecoder, LongerHeaders)
{
    for (std::uint32_t size : {52u, 56u, 108u, 124u, 72u}) {
        SCOPED_TRACE(size);
        InfoHeaderFields f;
        f.size = size;
        f.width = 5;
        f.height = 2;
        f.bits = 24;
        f.sizeImage = 16 * 2;
        const std::string rows = FixtureRows(5, 2, 24, false, [](int x, int y) {
            const COLORREF c = FixtureColour(FixtureIndex(x, y, 16));
            return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
        });
        const std::string dib = InfoHeader(f) + std::string(size - 40, '\x11') + rows;
        CxImage image;
        ASSERT_EQ(Decoded(WithFileHeader(dib, 14 + size), image), "");
        ExpectPicture(image, 5, 2, 16);
        // The bare DIB needs no offset: the pixels follow the whole header.
        CxImage bare;
        ASSERT_EQ(Decoded(dib, bare), "");
        ExpectPicture(bare, 5, 2, 16);
    }
    InfoHeaderFields f;
    f.size = 72;
    f.width = 5;
    f.height = 2;
    f.bits = 24;
    f.sizeImage = 33;
    CxImage image;
    EXPECT_EQ(Decoded(WithFileHeader(InfoHeader(f) + std::string(32 + 32, '\0'), 14 + 72), image),
              "Error reading BMP info");
}

TEST(BmpDecoder, ResolutionFromPelsPerMeter)
{
    std::string file = PlainBmp(2, 2, 24);
    PutLittleEndian<std::int32_t>(reinterpret_cast<unsigned char*>(file.data()) + 14 + 24, 2835);
    PutLittleEndian<std::int32_t>(reinterpret_cast<unsigned char*>(file.data()) + 14 + 28, 11811);
    CxImage image;
    ASSERT_EQ(Decoded(file, image), "");
    EXPECT_EQ(image.GetXDPI(), 72);
    EXPECT_EQ(image.GetYDPI(), 300);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 2835);
    EXPECT_EQ(image.GetHeader().biYPelsPerMeter, 11811);
}

// An image-size field far beyond the rows: exactly the rows are read.
TEST(BmpDecoder, OversizedImageSizeField)
{
    std::string file = PlainBmp(5, 3, 8);
    PutLittleEndian<std::uint32_t>(reinterpret_cast<unsigned char*>(file.data()) + 14 + 20, 0x7FFFFFF0);
    CxImage image;
    ASSERT_EQ(Decoded(file, image), "");
    ExpectPicture(image, 5, 3, 256);
}

TEST(BmpDecoder, RleRunningPastThePictureWritesNothingOutside)
{
    CByteWriter data;
    data.Bytes({255, 3, 255, 3, 0, 2, 255, 255, 0, 255});
    for (int i = 0; i < 300; ++i)
        data.Bytes({0, 2, 255, 255, 255, 4, 0, 0});
    data.Bytes({0, 1});
    CxImage image;
    ASSERT_EQ(Decoded(EncodedBmp(3, 2, 8, BI_RLE8, data.Str()), image), "");
    ExpectIndexes(image, {{3, 3, 3}, {0, 0, 0}});
    CxImage image4;
    ASSERT_EQ(Decoded(EncodedBmp(3, 2, 4, BI_RLE4, data.Str()), image4), "");
    ExpectIndexes(image4, {{0, 3, 0}, {0, 0, 0}});
}

TEST(BmpDecoder, HostileFilesFailWithTheirReason)
{
    InfoHeaderFields huge;
    huge.width = 100000;
    huge.height = 100000;
    huge.bits = 24;
    InfoHeaderFields bits2;
    bits2.width = 4;
    bits2.height = 4;
    bits2.bits = 2;
    InfoHeaderFields rle8on4;
    rle8on4.width = 4;
    rle8on4.height = 1;
    rle8on4.bits = 4;
    rle8on4.compression = BI_RLE8;
    InfoHeaderFields rle24 = rle8on4;
    rle24.bits = 24;
    InfoHeaderFields jpeg32 = rle8on4;
    jpeg32.bits = 32;
    jpeg32.compression = 4;
    const auto masked = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        InfoHeaderFields f;
        f.width = 2;
        f.height = 2;
        f.bits = 16;
        f.compression = BI_BITFIELDS;
        CByteWriter w;
        w.U32(r).U32(g).U32(b).Zeros(16);
        return WithFileHeader(InfoHeader(f) + w.Str(), 14 + 52);
    };
    const auto headerSize = [](std::uint32_t size) {
        CByteWriter w;
        w.U32(size).Zeros(60);
        return WithFileHeader(w.Str(), 100);
    };
    std::string cut = PlainBmp(6, 5, 8);
    cut.resize(cut.size() - 3);
    CByteWriter rleCut;
    rleCut.Bytes({4, 1, 0, 0, 2, 7});
    const struct {
        const char* what;
        std::string file;
        const char* error;
    } cases[] = {
        {"too short", "BM\x10", "Not a BMP"},
        {"header of 20 bytes", headerSize(20), "Error reading BMP info"},
        {"header of 0xFFFFFFFF bytes", headerSize(0xFFFFFFFF), "Error reading BMP info"},
        {"header cut", PlainBmp(2, 2, 8).substr(0, 30), "Error reading BMP info"},
        {"2 bits a pixel", WithFileHeader(InfoHeader(bits2) + std::string(64, '\0'), 54), "Error reading BMP info"},
        {"100000 x 100000", WithFileHeader(InfoHeader(huge), 54), "CXIMAGE_MAX_MEMORY exceeded"},
        {"pixel rows cut", cut, "Corrupted BMP"},
        {"palette cut", PlainBmp(2, 2, 8).substr(0, 14 + 40 + 100), "Corrupted BMP"},
        {"pixel offset past the end", WithFileHeader(PlainBmp(2, 2, 24).substr(14), 5000), "Corrupted BMP"},
        {"truncated RLE", EncodedBmp(4, 3, 8, BI_RLE8, rleCut.Str()), "Corrupted BMP"},
        {"RLE8 on 4 bits", WithFileHeader(InfoHeader(rle8on4) + FixturePalette(16) + "\0\1", 14 + 40 + 64),
         "compression type not supported"},
        {"RLE on 24 bits", WithFileHeader(InfoHeader(rle24) + "\0\1", 54), "unknown compression"},
        {"JPEG inside", WithFileHeader(InfoHeader(jpeg32) + "\0\1", 54), "unknown compression"},
        {"empty mask", masked(0xF800, 0, 0x1F), "unknown compression"},
        {"mask wider than the pixel", masked(0x1F0000, 0x07E0, 0x1F), "unknown compression"},
        {"mask with a gap", masked(0xF800, 0x0660, 0x1F), "unknown compression"},
    };
    for (const auto& c : cases) {
        CxImage image;
        EXPECT_EQ(Decoded(c.file, image), c.error) << c.what;
        EXPECT_FALSE(image.IsValid()) << c.what;
    }
}

TEST(BmpDecoder, CancelledBeforeReadingPixels)
{
    CxImage image;
    image.SetEscape(1);
    EXPECT_EQ(Decoded(PlainBmp(3, 3, 8), image), "Cancelled");
    EXPECT_FALSE(image.IsValid());
}

} // namespace
