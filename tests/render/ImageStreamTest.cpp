#include "render/ImageStream.h"
#include "render/XImage.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A temporary C stream that the test closes itself.
struct TempFile {
    TempFile() : file(std::tmpfile()) {}
    ~TempFile()
    {
        if (file)
            std::fclose(file);
    }
    std::FILE* file;
};

bool StillOpen(std::FILE* file)
{
    // A closed stream would be a use after free; ASan reports it.
    return std::fseek(file, 0, SEEK_END) == 0 && std::fputc('x', file) == 'x' && std::fflush(file) == 0;
}

TEST(ImageStream, StdioStreamWithoutFile)
{
    CxStdioStream stream;
    char buffer[4];
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(stream.Read(buffer, 1, 4), 0u);
    EXPECT_EQ(stream.Write(buffer, 1, 4), 0u);
    EXPECT_FALSE(stream.Seek(0, 0));
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_FALSE(stream.Flush());
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.Error(), -1);
    EXPECT_FALSE(stream.PutC('a'));
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_FALSE(stream.Open("/no/such/folder/picture.bmp", "rb"));
}

TEST(ImageStream, StdioStreamOverACallersFile)
{
    TempFile temp;
    ASSERT_NE(temp.file, nullptr);
    {
        CxStdioStream stream(temp.file);
        EXPECT_TRUE(stream.PutC('A'));
        EXPECT_EQ(stream.Write("BCDE", 1, 4), 4u);
        EXPECT_EQ(stream.Tell(), 5);
        ASSERT_TRUE(stream.Seek(1, 0));
        EXPECT_EQ(stream.Size(), 5);
        EXPECT_EQ(stream.Tell(), 1); // Size keeps the position
        EXPECT_EQ(stream.GetC(), 'B');
        char pair[2];
        EXPECT_EQ(stream.Read(pair, 2, 3), 1u); // whole items only
        EXPECT_EQ(stream.GetC(), -1);
        EXPECT_TRUE(stream.Eof());
        EXPECT_EQ(stream.Error(), 0);
        EXPECT_TRUE(stream.Close());
    }
    EXPECT_TRUE(StillOpen(temp.file));
    CxImage image;
    EXPECT_FALSE(image.Decode(temp.file, CXIMAGE_FORMAT_BMP));
    EXPECT_TRUE(StillOpen(temp.file));
}

TEST(ImageStream, PlatformStreamReadsWholeItemsAndRefusesWrappingSeeks)
{
    CMemoryStream memory(std::vector<unsigned char>{1, 2, 3, 4, 5});
    CxPlatformStream stream(memory);
    unsigned char two[4];
    EXPECT_EQ(stream.Read(two, 2, 2), 2u);
    EXPECT_FALSE(stream.Eof());
    EXPECT_EQ(stream.Read(two, 2, 2), 0u); // one byte left: no whole item
    EXPECT_TRUE(stream.Eof());
    EXPECT_TRUE(stream.Seek(-2, 2));
    EXPECT_FALSE(stream.Eof());
    EXPECT_EQ(stream.GetC(), 4);
    EXPECT_FALSE(stream.Seek(INT64_MAX, 1));
    EXPECT_FALSE(stream.Seek(-10, 1));
    EXPECT_FALSE(stream.Seek(0, 3));
    EXPECT_EQ(stream.Tell(), 4);
    EXPECT_TRUE(stream.PutC(9));
    EXPECT_EQ(memory.Data().back(), 9);
    EXPECT_EQ(stream.Size(), 5);
}

// Decoding from the middle of a stream: after each failed decoder the
// next starts where the first did, not at the stream's start.
TEST(ImageDispatch, FormatZeroTriesEachDecoderFromTheSamePlace)
{
    const std::string wbmp = Wbmp(20, 3, [](int x, int) { return x % 3 == 0; });
    const std::string bytes = "junk!" + wbmp;
    CMemoryStream memory(bytes.data(), bytes.size());
    CxPlatformStream stream(memory);
    ASSERT_TRUE(stream.Seek(5, 0));
    CxImage image;
    ASSERT_TRUE(image.Decode(stream, CXIMAGE_FORMAT_UNKNOWN)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_WBMP);
    EXPECT_EQ(image.GetWidth(), 20);
    EXPECT_EQ(PictureColour(image, 3, 1), RGB(255, 255, 255));
    EXPECT_EQ(PictureColour(image, 4, 1), RGB(0, 0, 0));

    // A BMP is taken by the first decoder.
    CxImage bmp;
    ASSERT_TRUE(DecodeBytes(bmp, PlainBmp(3, 2, 4), CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(bmp.GetType(), CXIMAGE_FORMAT_BMP);

    CxImage none;
    EXPECT_FALSE(DecodeBytes(none, "\x89PNG\r\n\x1A\n and the rest", CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(none.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(ImageDispatch, NamedFormats)
{
    // Another format fails at once and reads nothing.
    const std::string bmp = PlainBmp(2, 2, 8);
    CMemoryStream memory(bmp.data(), bmp.size());
    CxPlatformStream stream(memory);
    CxImage image;
    EXPECT_FALSE(image.Decode(stream, 7));
    EXPECT_EQ(image.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_FALSE(image.Decode(stream, -1));

    // A named decoder's own reason, and the caller's request passed on.
    EXPECT_FALSE(DecodeBytes(image, "BM", CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(image.GetLastError(), "Not a BMP");
    image.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(image, bmp, CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(image.GetLastError(), "Cancelled");
    image.SetEscape(0);
    EXPECT_TRUE(DecodeBytes(image, bmp, CXIMAGE_FORMAT_BMP));
    // A failed decode leaves the pixels it had.
    EXPECT_FALSE(DecodeBytes(image, "nothing", CXIMAGE_FORMAT_WBMP));
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 2);
}

TEST(ImageDispatch, LoadFallsBackToEveryDecoderAndKeepsTheNamedReason)
{
    CTempDir dir;
    const std::string wbmpAsBmp = dir.File("\xDE" "enklas.bmp"); // a Lithuanian name in code page 1257
    WriteWholeFile(wbmpAsBmp, Wbmp(130, 2, [](int x, int) { return x >= 128; }));
    CxImage loaded(wbmpAsBmp, CXIMAGE_FORMAT_BMP);
    ASSERT_TRUE(loaded.IsValid()) << loaded.GetLastError();
    EXPECT_EQ(loaded.GetType(), CXIMAGE_FORMAT_WBMP);
    EXPECT_EQ(loaded.GetWidth(), 130);

    std::string cut = PlainBmp(4, 4, 24);
    cut.resize(cut.size() - 1);
    WriteWholeFile(dir.File("cut.bmp"), cut);
    CxImage bad;
    EXPECT_FALSE(bad.Load(dir.File("cut.bmp"), CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(bad.GetLastError(), "Corrupted BMP");
    EXPECT_FALSE(bad.Load(dir.File("cut.bmp"), CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(bad.GetLastError(), "Decode: Unknown or wrong format");

    // A GIF without frames fails as GIF and in the chain; the GIF
    // decoder's reason is kept.
    WriteWholeFile(dir.File("anim.gif"), std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14));
    CxImage gif(dir.File("anim.gif"), CXIMAGE_FORMAT_GIF);
    EXPECT_FALSE(gif.IsValid());
    EXPECT_EQ(gif.GetLastError(), "No images in GIF");

    CxImage missing(dir.File("none.bmp"), CXIMAGE_FORMAT_BMP);
    EXPECT_FALSE(missing.IsValid());
    EXPECT_FALSE(missing.GetLastError().empty());

    // Any other format id loads through the chain.
    WriteWholeFile(dir.File("plain.bmp"), PlainBmp(3, 3, 1));
    CxImage other(dir.File("plain.bmp"), 9);
    EXPECT_TRUE(other.IsValid());
}

TEST(TiffGlue, ClosingTheTiffLeavesTheCallersFileOpen)
{
    TempFile temp;
    ASSERT_NE(temp.file, nullptr);
    {
        CxStdioStream stream(temp.file);
        TIFF* tif = OpenTiffOnStream(&stream, "wb");
        ASSERT_NE(tif, nullptr);
        EXPECT_STREQ(TIFFFileName(tif), "TIFF IMAGE");
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 3);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        unsigned char row[3] = {10, 20, 30};
        ASSERT_EQ(TIFFWriteScanline(tif, row, 0, 0), 1);
        ASSERT_EQ(TIFFWriteScanline(tif, row, 1, 0), 1);
        TIFFClose(tif);
    }
    ASSERT_EQ(std::fseek(temp.file, 0, SEEK_SET), 0);
    char head[4];
    ASSERT_EQ(std::fread(head, 1, 4, temp.file), 4u);
    EXPECT_EQ(std::string(head, 4), std::string("MM\0*", 4)); // big-endian, as written by "wb"

    ASSERT_EQ(std::fseek(temp.file, 0, SEEK_SET), 0);
    CxStdioStream stream(temp.file);
    TIFF* tif = OpenTiffOnStream(&stream, "r");
    ASSERT_NE(tif, nullptr);
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    unsigned char row[3] = {};
    ASSERT_EQ(TIFFReadScanline(tif, row, 1, 0), 1);
    EXPECT_EQ(row[2], 30);
    TIFFClose(tif);
    EXPECT_TRUE(StillOpen(temp.file));
}

// libtiff takes every other value as the offset reached.
TEST(TiffGlue, FailedSeeksReturnMinusOne)
{
    CMemoryStream memory;
    CxPlatformStream stream(memory);
    TIFF* tif = OpenTiffOnStream(&stream, "w");
    ASSERT_NE(tif, nullptr);
    const TIFFSeekProc seek = TIFFGetSeekProc(tif);
    const thandle_t handle = TIFFClientdata(tif);
    const auto failed = static_cast<toff_t>(-1);
    EXPECT_EQ(seek(handle, 100, SEEK_SET), 100u);
    EXPECT_EQ(seek(handle, 5, SEEK_CUR), 105u);
    EXPECT_EQ(seek(handle, static_cast<toff_t>(-200), SEEK_CUR), failed);
    EXPECT_EQ(seek(handle, static_cast<toff_t>(-5), SEEK_SET), failed);
    EXPECT_EQ(seek(handle, 0, 7), failed);
    EXPECT_EQ(TIFFGetSizeProc(tif)(handle), 8u); // the header, written at once
    TIFFCleanup(tif);

    EXPECT_EQ(TiffClientOpen(nullptr, "x", "r"), nullptr);
    CMemoryStream empty;
    CxPlatformStream emptyStream(empty);
    const TIFFErrorHandler quiet = TIFFSetErrorHandler(nullptr);
    EXPECT_EQ(OpenTiffOnStream(&emptyStream, "r"), nullptr);
    TIFFSetErrorHandler(quiet);
}

} // namespace
