#include "render/ExifReader.h"
#include "render/JpegDecoder.h"
#include "tests/render/JpegFixtures.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>


namespace {

std::string Decoded(const std::string& bytes, CxImage& image)
{
    return DecodeBytes(image, bytes, CXIMAGE_FORMAT_JPG) ? "" : image.GetLastError();
}

// Four flat 16 x 16 squares, so the compression keeps their colours.
const COLORREF kSquares[4] = {RGB(200, 30, 40), RGB(20, 180, 60), RGB(30, 40, 210), RGB(240, 230, 20)};

COLORREF Square(int x, int y)
{
    return kSquares[(x / 16) + 2 * (y / 16)];
}

JpegFixture Squares()
{
    JpegFixture f;
    f.width = 32;
    f.height = 32;
    f.pixel = [](int x, int y) {
        const COLORREF c = Square(x, y);
        return std::vector<int>{GetRValue(c), GetGValue(c), GetBValue(c)};
    };
    return f;
}

void ExpectSquares(const CxImage& image, int tolerance)
{
    ASSERT_EQ(image.GetWidth(), 32);
    ASSERT_EQ(image.GetHeight(), 32);
    for (const int y : {1, 8, 14, 17, 24, 30})
        for (const int x : {1, 8, 14, 17, 24, 30})
            EXPECT_TRUE(Near(PictureColour(image, x, y), Square(x, y), tolerance))
                << x << "," << y << ": " << std::hex << PictureColour(image, x, y);
}

TEST(JpegDecoder, GreyColourAndCmyk)
{
    CxImage colour;
    ASSERT_EQ(Decoded(WriteJpeg(Squares()), colour), "");
    EXPECT_EQ(colour.GetType(), CXIMAGE_FORMAT_JPG);
    EXPECT_EQ(colour.GetBpp(), 24);
    ExpectSquares(colour, 6);
    JpegFixture progressive = Squares();
    progressive.progressive = true;
    CxImage scans;
    ASSERT_EQ(Decoded(WriteJpeg(progressive), scans), "");
    ExpectSquares(scans, 6);

    JpegFixture grey;
    grey.width = 24;
    grey.height = 8;
    grey.colourSpace = JCS_GRAYSCALE;
    grey.pixel = [](int x, int) { return std::vector<int>{x < 8 ? 10 : x < 16 ? 128 : 250}; };
    CxImage image;
    ASSERT_EQ(Decoded(WriteJpeg(grey), image), "");
    EXPECT_EQ(image.GetBpp(), 8);
    EXPECT_EQ(image.GetNumColors(), 256);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(77)), RGB(77, 77, 77));
    EXPECT_TRUE(Near(PictureColour(image, 3, 4), RGB(10, 10, 10), 3));
    EXPECT_TRUE(Near(PictureColour(image, 12, 4), RGB(128, 128, 128), 3));
    EXPECT_TRUE(Near(PictureColour(image, 20, 4), RGB(250, 250, 250), 3));

    // Adobe's programs store the inks inverted and say so in their marker;
    // without the marker the inks are as they are. Both show the squares.
    for (const bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "Adobe CMYK" : "plain CMYK");
        JpegFixture cmyk = Squares();
        cmyk.colourSpace = JCS_CMYK;
        cmyk.adobeMarker = adobe;
        cmyk.pixel = [adobe](int x, int y) {
            const COLORREF c = Square(x, y);
            // A fifth of black over every colour.
            std::vector<int> inks = {255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c), 51};
            if (adobe)
                for (int& v : inks)
                    v = 255 - v;
            return inks;
        };
        CxImage decoded;
        ASSERT_EQ(Decoded(WriteJpeg(cmyk), decoded), "");
        EXPECT_EQ(decoded.GetBpp(), 24);
        for (const int y : {4, 28})
            for (const int x : {4, 28}) {
                const COLORREF c = Square(x, y);
                const COLORREF dimmed = RGB(GetRValue(c) * 204 / 255, GetGValue(c) * 204 / 255,
                                            GetBValue(c) * 204 / 255);
                EXPECT_TRUE(Near(PictureColour(decoded, x, y), dimmed, 6))
                    << x << "," << y << ": " << std::hex << PictureColour(decoded, x, y);
            }
    }
}

JpegFixture WithExif(const std::string& payload, int jfifUnit = 1, int jfifDensity = 150)
{
    JpegFixture f = Squares();
    f.densityUnit = jfifUnit;
    f.xDensity = f.yDensity = jfifDensity;
    if (!payload.empty())
        f.app1.push_back(payload);
    return f;
}

TEST(JpegDecoder, ResolutionFromExifElseJfif)
{
    struct Case {
        const char* name;
        std::string exif;
        int jfifUnit, jfifDensity;
        int dpiX, dpiY;
    };
    std::vector<Case> cases;
    for (const bool big : {false, true}) {
        const ExifValues v(big);
        cases.push_back({big ? "300 dpi, inches, big-endian" : "300 dpi, inches",
                         v.Payload(v.Directory(8, {v.Resolution(282, 300, 1), v.Resolution(283, 600, 2), v.Unit(2)})),
                         1, 150, 300, 300});
        cases.push_back({"118.11 per centimetre",
                         v.Payload(v.Directory(8, {v.Resolution(282, 11811, 100), v.Resolution(283, 11811, 100),
                                                   v.Unit(3)})),
                         1, 150, 299, 299});
    }
    const ExifValues le(false);
    cases.push_back({"per millimetre",
                     le.Payload(le.Directory(8, {le.Resolution(282, 1181, 100), le.Resolution(283, 236, 10),
                                                 le.Unit(4)})),
                     1, 150, 299, 599});
    cases.push_back({"no unit: EXIF found, no resolution from it and none from JFIF",
                     le.Payload(le.Directory(8, {le.Resolution(282, 300, 1)})), 1, 150, 96, 96});
    cases.push_back({"first directory at 12", le.Payload(le.Directory(12, {le.Resolution(282, 200, 1), le.Unit(2)}), 12),
                     1, 150, 200, 96});
    // IFD0 then, through its next link, the thumbnail's own 72 dpi.
    {
        const std::uint32_t ifd1At =
            8 + std::uint32_t(le.Directory(8, {le.Resolution(282, 300, 1), le.Resolution(283, 300, 1), le.Unit(2)})
                                  .size());
        const std::string linked = le.Directory(
            8, {le.Resolution(282, 300, 1), le.Resolution(283, 300, 1), le.Unit(2)}, ifd1At);
        const std::string ifd1 = le.Directory(ifd1At, {le.Resolution(282, 72, 1), le.Resolution(283, 72, 1), le.Unit(2)});
        cases.push_back({"the thumbnail's resolution after it", le.Payload(linked + ifd1), 1, 150, 300, 300});
    }
    // Resolution inside the EXIF sub-directory.
    {
        const std::uint32_t subAt = 8 + 2 + 12 * 1 + 4;
        const std::string ifd0 = le.Directory(8, {le.Link(34665, subAt)});
        const std::string sub = le.Directory(subAt, {le.Resolution(282, 240, 1), le.Unit(2)});
        cases.push_back({"from the EXIF sub-directory", le.Payload(ifd0 + sub), 1, 150, 240, 96});
    }
    cases.push_back({"JFIF per centimetre", "", 2, 118, 300, 300});
    cases.push_back({"JFIF per inch", "", 1, 72, 72, 72});
    cases.push_back({"JFIF aspect only", "", 0, 1, 1, 1});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        ASSERT_EQ(Decoded(WriteJpeg(WithExif(c.exif, c.jfifUnit, c.jfifDensity)), image), "");
        EXPECT_EQ(image.GetXDPI(), c.dpiX);
        EXPECT_EQ(image.GetYDPI(), c.dpiY);
        ExpectSquares(image, 6);
    }
}

// Each damaged block holds a resolution of 300 dpi before its fault; the
// picture still decodes, with the JFIF resolution.
TEST(JpegDecoder, DamagedExifNeverFailsThePicture)
{
    const ExifValues v(false);
    const std::vector<ExifEntry> good = {v.Resolution(282, 300, 1), v.Unit(2)};
    const auto withEntry = [&](const ExifEntry& e) {
        std::vector<ExifEntry> entries = good;
        entries.push_back(e);
        return entries;
    };
    const std::string ifd = v.Directory(8, good);
    const std::uint32_t afterIfd = 8 + std::uint32_t(ifd.size());
    struct Case {
        const char* name;
        std::string payload;
        const char* reason;
    };
    std::vector<Case> cases = {
        {"header", std::string("Exif\0X", 6) + ifd, "Incorrect Exif header"},
        {"short header", std::string("Exif\0\0II", 8), "Incorrect Exif header"},
        {"byte order", std::string("Exif\0\0XX*\0\x08\0\0\0", 14) + ifd, "Invalid Exif alignment marker."},
        {"not 42", std::string("Exif\0\0II+\0\x08\0\0\0", 14) + ifd, "Invalid Exif start (1)"},
        {"first offset", v.Payload(v.Directory(20, good), 20), "Suspicious offset of first IFD value"},
        {"format", v.Payload(v.Directory(8, withEntry({700, 13, 1, v.U32(0)}))), "Illegal format code in EXIF dir"},
        {"format zero", v.Payload(v.Directory(8, withEntry({700, 0, 1, v.U32(0)}))),
         "Illegal format code in EXIF dir"},
        {"value past the block", v.Payload(v.Directory(8, withEntry({700, 2, 100, v.U32(40)}))),
         "Illegal pointer offset value in EXIF."},
        {"count that wraps", v.Payload(v.Directory(8, withEntry({700, 12, 0x20000001u, v.U32(40)}))),
         "Illegal pointer offset value in EXIF."},
        {"sub-directory past the block", v.Payload(v.Directory(8, withEntry(v.Link(34665, 5000)))),
         "Illegal subdirectory link"},
        {"sub-directory loops to itself", v.Payload(v.Directory(12, withEntry(v.Link(34665, 12))), 12),
         "Illegal subdirectory link"},
        {"interoperability link back",
         v.Payload(v.Directory(8, withEntry(v.Link(34665, afterIfd + 12))) +
                   v.Directory(afterIfd + 12, {v.Link(40965, afterIfd + 12)})),
         "Illegal subdirectory link"},
        {"next link to itself", v.Payload(v.Directory(8, good, 8)), "Illegal subdirectory link"},
        {"two directories linked in a ring",
         v.Payload(v.Directory(8, good, afterIfd) + v.Directory(afterIfd, {}, 8)), "Illegal subdirectory link"},
        {"directory larger than the block", v.Payload(v.U16(200) + std::string(30, '\0')),
         "Illegally sized directory"},
        {"next directory cut off", v.Payload(v.Directory(8, good, afterIfd) + v.U16(3)),
         "Illegally sized directory"},
    };
    // A chain of directories deeper than any camera writes.
    {
        std::string chain;
        std::uint32_t at = afterIfd;
        for (int i = 0; i < 12; ++i, at += 6)
            chain += v.Directory(at, {}, i < 11 ? at + 6 : 0);
        cases.push_back({"a chain twelve deep", v.Payload(v.Directory(8, good, afterIfd) + chain),
                         "Illegal subdirectory link"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = WriteJpeg(WithExif(c.payload));
        ASSERT_FALSE(file.empty());
        CxExifInfo info;
        CxExifReader reader(info);
        CMemoryStream memory(file.data(), file.size());
        CxPlatformStream stream(memory);
        EXPECT_FALSE(reader.DecodeExif(stream));
        EXPECT_EQ(reader.GetLastError(), c.reason);
        EXPECT_FALSE(info.isExif);

        CxImage image;
        ASSERT_EQ(Decoded(file, image), "");
        EXPECT_EQ(image.GetXDPI(), 150);
        ExpectSquares(image, 6);
    }
}

TEST(JpegDecoder, ExifScanStopsAtTheTwentyFirstSection)
{
    const ExifValues v(true);
    JpegFixture f = WithExif(v.Payload(v.Directory(8, {v.Resolution(282, 300, 1), v.Unit(2)})));
    // SOI is not a section: APP0, APP1 and 18 more make twenty, then DQT.
    f.app2Sections = 18;
    CxImage image;
    ASSERT_EQ(Decoded(WriteJpeg(f), image), "");
    EXPECT_EQ(image.GetXDPI(), 300);
    const std::string file = WriteJpeg(f);
    CxExifInfo info;
    CxExifReader reader(info);
    CMemoryStream memory(file.data(), file.size());
    CxPlatformStream stream(memory);
    EXPECT_TRUE(reader.DecodeExif(stream)); // what was found before the limit stays
    EXPECT_EQ(reader.GetLastError(), "Too many sections in jpg file");

    // With fewer the scan reaches the image data without complaint.
    f.app2Sections = 2;
    const std::string fewer = WriteJpeg(f);
    CMemoryStream fewerMemory(fewer.data(), fewer.size());
    CxPlatformStream fewerStream(fewerMemory);
    EXPECT_TRUE(reader.DecodeExif(fewerStream));
    EXPECT_EQ(reader.GetLastError(), "");
    EXPECT_FLOAT_EQ(info.xResolution, 300);
    EXPECT_FLOAT_EQ(info.resolutionUnit, 1);
}

TEST(JpegDecoder, TruncatedFileDecodesWithTheRestFilled)
{
    JpegFixture f;
    f.width = 48;
    f.height = 64;
    f.pixel = [](int x, int y) { return std::vector<int>{x * 5, (y * 4) & 255, (x * y) & 255}; };
    const std::string file = WriteJpeg(f);
    CxImage whole;
    ASSERT_EQ(Decoded(file, whole), "");
    // Cut halfway through the scan: the library warns, ends the image and
    // leaves the blocks it never got mid-grey.
    const std::size_t scan = file.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    CxImage cut;
    ASSERT_EQ(Decoded(file.substr(0, scan + (file.size() - scan) / 2), cut), "");
    ASSERT_EQ(cut.GetHeight(), 64);
    for (int x = 0; x < 48; ++x) {
        EXPECT_EQ(PictureColour(cut, x, 3), PictureColour(whole, x, 3)) << x;
        EXPECT_EQ(PictureColour(cut, x, 63), RGB(128, 128, 128)) << x;
    }
}

TEST(JpegDecoder, DamagedFilesFailWithTheLibrarysReason)
{
    const std::string good = WriteJpeg(Squares());
    CxImage image;
    EXPECT_EQ(Decoded("", image), "Empty input file");
    EXPECT_EQ(Decoded("GIF89a and more", image), "Not a JPEG file: starts with 0x47 0x49");

    // Every cut, anywhere: a clean failure or the picture's top.
    for (std::size_t size = 0; size < good.size(); ++size) {
        CxImage cut;
        if (!DecodeBytes(cut, good.substr(0, size), CXIMAGE_FORMAT_JPG)) {
            EXPECT_NE(cut.GetLastError(), "") << size;
            EXPECT_FALSE(cut.IsValid());
        }
    }

    // A frame header of 60000 x 60000 pixels is refused before decoding.
    EXPECT_EQ(Decoded(WithJpegSize(good, 60000, 60000), image), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_TRUE(image.LastErrorIsTooLarge());

    CxImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_EQ(Decoded(good, cancelled), "");
    EXPECT_FALSE(cancelled.IsValid());
}

TEST(JpegDecoder, FoundByEveryDecoderInTurn)
{
    CxImage image;
    ASSERT_TRUE(DecodeBytes(image, WriteJpeg(Squares()), CXIMAGE_FORMAT_UNKNOWN)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_JPG);
    ExpectSquares(image, 6);
}

} // namespace
