// The sizes, places and drags of the picture windows and the picture
// control, and bitmap files read for a window, without widgets.
#include "shell/PictureWindowRules.h"

#include "platform/Codepage.h"
#include "render/XImage.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureWindowRulesTest, TheClientAreaFitsThePictureUpToFourFifthsOfTheScreen)
{
    const struct {
        CSize picture, screen, client;
    } cases[] = {
        {{3000, 2000}, {1024, 768}, {819, 614}},
        {{100, 50}, {1024, 768}, {100, 50}},
        {{900, 100}, {1024, 768}, {819, 100}},
        {{100, 700}, {1024, 768}, {100, 614}},
        {{819, 614}, {1024, 768}, {819, 614}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureClientSize(c.picture, c.screen), c.client) << c.picture.cx << " x " << c.picture.cy;
}

TEST(PictureWindowRulesTest, TheFifthWindowOfAKindOpensWhereTheFirstDid)
{
    const CFrameMetrics frame{20, 4, 3};
    CPictureCascade cascade;
    const CSize expected[] = {{0, 32}, {24, 55}, {48, 78}, {72, 101}, {0, 32}, {24, 55}};
    for (const CSize& offset : expected) {
        const CSize next = cascade.Next(frame);
        EXPECT_EQ(next, offset) << offset.cx;
    }
    cascade.Reset();
    EXPECT_EQ(cascade.Next(frame), CSize(0, 32));
}

TEST(PictureWindowRulesTest, AWindowStartingOffTheScreenIsMovedBackOntoIt)
{
    const CRect screen(0, 0, 1024, 768);
    const struct {
        CRect window, placed;
    } cases[] = {
        {{10, 20, 110, 120}, {10, 20, 110, 120}},
        {{-30, 20, 70, 120}, {0, 20, 100, 120}},
        {{10, -5, 110, 95}, {10, 0, 110, 100}},
        {{-30, -5, 70, 95}, {0, 0, 100, 100}},
        // Running off right or below is the window manager's to mend.
        {{1000, 700, 1100, 800}, {1000, 700, 1100, 800}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepOnScreen(c.window, screen), c.placed) << c.window.left << "," << c.window.top;
}

TEST(PictureWindowRulesTest, APrintedPictureKeepsItsAspectAcrossThePage)
{
    const struct {
        int pageWidth, xDpi, yDpi;
        CSize picture;
        int height;
    } cases[] = {
        {4800, 600, 600, {200, 100}, 2400},
        {4800, 600, 300, {200, 100}, 1200},
        {4800, 600, 600, {3000, 2000}, 3200},
        {4800, 600, 600, {0, 100}, 0},
        {4800, 0, 600, {200, 100}, 0},
        // No overflow on absurd sizes.
        {100000, 1, 100000, {1, 100000}, INT32_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintedPictureHeight(c.pageWidth, c.xDpi, c.yDpi, c.picture), c.height) << c.picture.cx;
}

TEST(PictureWindowRulesTest, PicturesAreCentredAndOnlyLargeOnesFollowADrag)
{
    const CRect client(0, 0, 200, 100);
    EXPECT_EQ(CenterPicture({50, 40}, client), CRect(75, 30, 125, 70));
    EXPECT_EQ(CenterPicture({400, 300}, client), CRect(-100, -100, 300, 200));

    const struct {
        const char* what;
        CRect picture;
        CPoint mouse;
        CSize offset;
        CRect moved;
    } cases[] = {
        {"a small picture stays", {75, 30, 125, 70}, {10, 10}, {25, 20}, {75, 30, 125, 70}},
        {"a large one follows", {-100, -100, 300, 200}, {110, 60}, {200, 150}, {-90, -90, 310, 210}},
        {"no gap on the left or top", {-100, -100, 300, 200}, {250, 200}, {200, 150}, {0, 0, 400, 300}},
        {"no gap on the right or bottom", {-100, -100, 300, 200}, {-50, -100}, {200, 150}, {-200, -200, 200, 100}},
        {"wider only: only across", {-50, 30, 250, 70}, {100, 90}, {140, 20}, {-40, 30, 260, 70}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DragPicture(c.picture, client, c.mouse, c.offset), c.moved) << c.what;
}

class BitmapFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteWholeFile(dir.File(name), bytes);
        return dir.File(name);
    }
    CTempDir dir;
};

TEST_F(BitmapFileTest, FilesAreReadThroughTheDecoderAndBadOnesRefusedWithTheirReason)
{
    const std::string good = PlainBmp(6, 4, 8);
    InfoHeaderFields huge;
    huge.width = 100000;
    huge.height = 100000;
    huge.bits = 24;
    std::string lyingOffset = good;
    lyingOffset[10] = '\xF0'; // pixels said to lie past the end
    lyingOffset[11] = '\xFF';
    InfoHeaderFields tall;
    tall.width = 6;
    tall.height = 4000; // far more rows than the file has
    tall.bits = 8;
    const struct {
        const char* name;
        std::string bytes;
        BitmapFileError error;
    } cases[] = {
        {"good.bmp", good, BitmapFileError::kNone},
        {"top-down.bmp", PlainBmp(6, 4, 24, true), BitmapFileError::kNone},
        {"not-a-bitmap.bmp", "GIF89a" + good.substr(6), BitmapFileError::kNotBitmap},
        {"one-byte.bmp", "B", BitmapFileError::kReadError},
        {"empty.bmp", "", BitmapFileError::kReadError},
        {"cut-short.bmp", good.substr(0, good.size() - 7), BitmapFileError::kReadError},
        {"pixel-offset-past-end.bmp", lyingOffset, BitmapFileError::kReadError},
        {"height-past-end.bmp", WithFileHeader(InfoHeader(tall) + FixturePalette(256) + std::string(24, '\0'), 14 + 40 + 1024),
         BitmapFileError::kReadError},
        {"header-100000-square.bmp", WithFileHeader(InfoHeader(huge), 54), BitmapFileError::kTooLarge},
    };
    for (const auto& c : cases) {
        CxImage image;
        EXPECT_EQ(ReadBitmapFile(Write(c.name, c.bytes), image), c.error) << c.name;
        EXPECT_EQ(image.IsValid(), c.error == BitmapFileError::kNone) << c.name;
    }
    CxImage none;
    EXPECT_EQ(ReadBitmapFile(dir.File("missing.bmp"), none), BitmapFileError::kCannotOpen);
}

TEST_F(BitmapFileTest, ATopDownBitmapComesOutUpright)
{
    for (const bool topDown : {false, true}) {
        CxImage image;
        ASSERT_EQ(ReadBitmapFile(Write("picture.bmp", PlainBmp(5, 3, 24, topDown)), image), BitmapFileError::kNone);
        ASSERT_EQ(image.GetHeight(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(PictureColour(image, x, y), FixtureColour(FixtureIndex(x, y, 16))) << x << "," << y;
    }
}

TEST_F(BitmapFileTest, EachErrorIsToldInItsOwnWords)
{
    const std::string path = dir.File("kelias/paveikslas.bmp");
    const struct {
        BitmapFileError error;
        const char* text;
        unsigned icon;
    } cases[] = {
        {BitmapFileError::kCannotOpen, "Nepavyko atidaryti failo \"", 0},
        {BitmapFileError::kReadError, "Skaitymo iš failo klaida.", 0},
        {BitmapFileError::kNotBitmap, "Nepavyko įkrauti piešinio.", 0},
        {BitmapFileError::kTooLarge, "Per didelis", MB_ICONINFORMATION},
    };
    for (const auto& c : cases) {
        CScriptedUserServices services;
        ShowBitmapFileError(c.error, path);
        ASSERT_EQ(services.messages.size(), 1u);
        const std::string& text = services.messages[0].text;
        if (c.error == BitmapFileError::kCannotOpen)
            EXPECT_EQ(text, Utf8ToCp1257(c.text) + path + "\".");
        else
            EXPECT_EQ(text, Utf8ToCp1257(c.text));
        EXPECT_EQ(services.messages[0].type & MB_ICONMASK, c.icon);
    }
    CScriptedUserServices quiet;
    ShowBitmapFileError(BitmapFileError::kNone, path);
    EXPECT_TRUE(quiet.messages.empty());
}

} // namespace
