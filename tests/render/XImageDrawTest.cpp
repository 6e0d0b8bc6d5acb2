#include "platform/DC.h"
#include "render/XImage.h"
#include "tests/platform/ImageProbe.h"
#include "tests/render/PictureFixtures.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// A 4 x 3 picture of twelve palette colours (indexes 1 to 12) but for
// picture pixel (1, 1), y from the top, which has index 0.
CxImage PalettePicture()
{
    CxImage image(4, 3, 8, CXIMAGE_FORMAT_BMP);
    for (int i = 1; i <= 12; ++i)
        image.SetPaletteColor(i, FixtureColour(i));
    image.SetPaletteColor(0, RGB(255, 0, 255));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.SetPixelIndex(x, 2 - y, static_cast<std::uint8_t>((x == 1 && y == 1) ? 0 : 4 * y + x + 1));
    return image;
}

COLORREF Expected(int x, int y)
{
    return (x == 1 && y == 1) ? RGB(255, 0, 255) : FixtureColour(4 * y + x + 1);
}

TEST(XImageDraw, AtItsOwnSizeTheRightWayUp)
{
    const CxImage picture = PalettePicture();
    QImage target = MakeImage(12, 10, kWhite);
    CDC dc(target);
    ASSERT_EQ(picture.Draw(&dc, 2, 3), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(target, 2 + x, 3 + y), Expected(x, y)) << x << "," << y;
    EXPECT_EQ(At(target, 1, 3), kWhite);
    EXPECT_EQ(At(target, 6, 3), kWhite);
    EXPECT_EQ(At(target, 2, 6), kWhite);
}

TEST(XImageDraw, Stretched)
{
    const CxImage picture = PalettePicture();
    QImage target = MakeImage(12, 10, kWhite);
    CDC dc(target);
    ASSERT_EQ(picture.Draw(&dc, 1, 2, 8, 6), 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(target, 1 + x, 2 + y), Expected(x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(At(target, 9, 2), kWhite);
    EXPECT_EQ(At(target, 1, 8), kWhite);
    EXPECT_EQ(dc.GetStretchBltMode(), COLORONCOLOR);
}

TEST(XImageDraw, TransparentIndexLeavesTheTarget)
{
    CxImage picture = PalettePicture();
    picture.SetTransIndex(0);
    QImage target = MakeImage(12, 10, kYellow);
    CDC dc(target);
    ASSERT_EQ(picture.Draw(&dc, 0, 0, 8, 6), 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool hole = x / 2 == 1 && y / 2 == 1;
            EXPECT_EQ(At(target, x, y), hole ? kYellow : Expected(x / 2, y / 2)) << x << "," << y;
        }
}

TEST(XImageDraw, TransparentColourOfTrueColourPictures)
{
    CxImage picture(3, 2, 24, CXIMAGE_FORMAT_PNG);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{0, 0, 200, 0}); // red
    picture.SetPixelColor(2, 0, RGBQUAD{0, 200, 0, 0});      // bottom right green
    picture.SetTransColor(RGBQUAD{0, 200, 0, 0});
    QImage target = MakeImage(6, 4, kBlue);
    CDC dc(target);
    // The colour only counts once an index switches transparency on.
    ASSERT_EQ(picture.Draw(&dc, 0, 0), 1);
    EXPECT_EQ(At(target, 2, 1), RGB(0, 200, 0));
    picture.SetTransIndex(0);
    target.fill(QColor(0, 0, 255));
    ASSERT_EQ(picture.Draw(&dc, 0, 0), 1);
    EXPECT_EQ(At(target, 0, 0), RGB(200, 0, 0));
    EXPECT_EQ(At(target, 2, 1), kBlue);
}

TEST(XImageDraw, WhatItRefuses)
{
    QImage target = MakeImage(4, 4, kWhite);
    CDC dc(target);
    CxImage empty;
    EXPECT_EQ(empty.Draw(&dc, 0, 0), 0);
    CxImage picture = PalettePicture();
    EXPECT_EQ(picture.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(picture.Draw(&dc, 0, 0, 0, 3), 0);
    EXPECT_EQ(picture.Draw(&dc, 0, 0, 3, 0), 0);
    picture.Enable(false);
    EXPECT_EQ(picture.Draw(&dc, 0, 0), 0);
    picture.Enable(true);
    // Outside the clip there is nothing to draw, which is no failure.
    picture.SetTransIndex(0);
    EXPECT_EQ(picture.Draw(&dc, 40, 40), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(target, x, y), kWhite);
}

} // namespace
