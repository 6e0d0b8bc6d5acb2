#include "render/WbmpDecoder.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>

namespace {

// A frame one pixel wide around a diagonal: both sides need two bytes in
// the file's integers.
bool FramedDiagonal(int x, int y)
{
    return x == 0 || y == 0 || x == 199 || y == 149 || x == y;
}

TEST(WbmpDecoder, TwoHundredByOneHundredFifty)
{
    const std::string file = Wbmp(200, 150, FramedDiagonal);
    ASSERT_EQ(file.substr(0, 6), std::string("\0\0\x81\x48\x81\x16", 6));
    CxImage image;
    ASSERT_TRUE(DecodeBytes(image, file, CXIMAGE_FORMAT_WBMP)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_WBMP);
    EXPECT_EQ(image.GetBpp(), 1);
    ASSERT_EQ(image.GetWidth(), 200);
    ASSERT_EQ(image.GetHeight(), 150);
    EXPECT_EQ(ColourOf(image.GetPaletteColor(0)), RGB(0, 0, 0));
    EXPECT_EQ(ColourOf(image.GetPaletteColor(1)), RGB(255, 255, 255));
    int wrong = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            wrong += PictureColour(image, x, y) != (FramedDiagonal(x, y) ? RGB(255, 255, 255) : RGB(0, 0, 0));
    EXPECT_EQ(wrong, 0);
}

TEST(WbmpDecoder, BadFilesFailWithTheirReason)
{
    const auto white = [](int, int) { return true; };
    std::string rowsCut = Wbmp(9, 4, white);
    rowsCut.pop_back();
    const struct {
        const char* what;
        std::string file;
        const char* error;
    } cases[] = {
        {"empty", "", "Not a WBMP"},
        {"header cut", std::string("\0\0\x81", 3), "Not a WBMP"},
        {"type 1", std::string("\1\0\2\2\xFF\xFF", 6), "Unsupported WBMP type"},
        {"type of five bytes", std::string("\x80\x80\x80\x80\0\0\2\2", 8), "Unsupported WBMP type"},
        {"no width", std::string("\0\0\0\2\xFF", 5), "Corrupted WBMP"},
        {"width of five bytes", std::string("\0\0\x81\x81\x81\x81\1\2\xFF", 9), "Corrupted WBMP"},
        {"rows cut", rowsCut, "Corrupted WBMP"},
        {"too large", std::string("\0\0\x8F\xFF\xFF\x7F\x8F\xFF\xFF\x7F", 10), "CXIMAGE_MAX_MEMORY exceeded"},
    };
    for (const auto& c : cases) {
        CxImage image;
        EXPECT_FALSE(DecodeBytes(image, c.file, CXIMAGE_FORMAT_WBMP)) << c.what;
        EXPECT_EQ(image.GetLastError(), c.error) << c.what;
    }
}

} // namespace
