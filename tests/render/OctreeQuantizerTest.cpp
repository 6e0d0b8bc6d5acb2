#include "render/OctreeQuantizer.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Colour = std::tuple<int, int, int, int>; // red, green, blue, alpha

std::vector<Colour> Table(const ColorQuantizer& q)
{
    std::vector<RGBQUAD> entries(256);
    const unsigned n = q.GetColorTable(entries.data());
    std::vector<Colour> out;
    for (unsigned i = 0; i < n; ++i)
        out.emplace_back(entries[i].rgbRed, entries[i].rgbGreen, entries[i].rgbBlue, entries[i].rgbReserved);
    return out;
}

std::vector<Colour> Sorted(std::vector<Colour> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

// A 24-bit bottom-up DIB of the colours, one a pixel, rows of 'width'.
struct Dib {
    BITMAPINFOHEADER header;
    std::vector<std::uint8_t> pixels;
};

Dib TrueColour(const std::vector<COLORREF>& colours, int width)
{
    Dib dib;
    const int height = static_cast<int>((colours.size() + std::size_t(width) - 1) / std::size_t(width));
    dib.header.biWidth = width;
    dib.header.biHeight = height;
    dib.header.biBitCount = 24;
    const std::string rows = FixtureRows(width, height, 24, false, [&](int x, int y) -> std::uint32_t {
        const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
        const COLORREF c = colours[std::min(i, colours.size() - 1)];
        return (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    });
    dib.pixels.assign(rows.begin(), rows.end());
    return dib;
}

TEST(OctreeQuantizer, FewerColoursThanAllowedAreKeptExactly)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < 200; ++i)
        colours.push_back(RGB(i * 37 % 256, i * 91 % 256, 255 - i));
    std::set<Colour> distinct;
    for (const COLORREF c : colours)
        distinct.emplace(GetRValue(c), GetGValue(c), GetBValue(c), 0);
    // Each colour twice, the picture 7 wide so rows are padded.
    std::vector<COLORREF> pixels = colours;
    pixels.insert(pixels.end(), colours.begin(), colours.end());
    Dib dib = TrueColour(pixels, 7);
    ColorQuantizer q(256, 8);
    ASSERT_TRUE(q.ProcessImage(dib.pixels.data(), dib.header, nullptr));
    EXPECT_EQ(q.GetColorCount(), distinct.size());
    EXPECT_EQ(Sorted(Table(q)), std::vector<Colour>(distinct.begin(), distinct.end()));
}

TEST(OctreeQuantizer, OneColourGivesOneEntry)
{
    Dib dib = TrueColour(std::vector<COLORREF>(50, RGB(12, 200, 7)), 10);
    ColorQuantizer q(256, 8);
    ASSERT_TRUE(q.ProcessImage(dib.pixels.data(), dib.header, nullptr));
    EXPECT_EQ(Table(q), (std::vector<Colour>{{12, 200, 7, 0}}));
}

TEST(OctreeQuantizer, PalettePicturesAddTheirEntriesWithAlpha)
{
    // A 4-bit picture of 5 x 2 using entries 0, 3 and 9.
    const RGBQUAD colours[16] = {{10, 20, 30, 40}, {}, {}, {1, 2, 3, 200}, {}, {}, {}, {}, {}, {9, 9, 9, 9}};
    BITMAPINFOHEADER h;
    h.biWidth = 5;
    h.biHeight = 2;
    h.biBitCount = 4;
    const std::string rows = FixtureRows(5, 2, 4, false, [](int x, int y) -> std::uint32_t {
        return y == 0 ? (x < 2 ? 3 : 9) : 0;
    });
    ColorQuantizer q(256, 8);
    ASSERT_TRUE(q.ProcessImage(reinterpret_cast<const std::uint8_t*>(rows.data()), h, colours));
    EXPECT_EQ(Sorted(Table(q)), (std::vector<Colour>{{3, 2, 1, 200}, {9, 9, 9, 9}, {30, 20, 10, 40}}));
}

TEST(OctreeQuantizer, FourColoursMergeSixteenLeavesIntoWeightedMeans)
{
    // Leaf i: red 16 i, green 255 - 16 i, blue 7, with i % 4 + 1 pixels.
    // The leaves lie in red order, so entry j merges leaves 4j .. 4j + 3 of
    // 1, 2, 3 and 4 pixels: red (16 * (4j * 10 + 0*1 + 1*2 + 2*3 + 3*4)) / 10
    // = 64 j + 32, green 255 minus that.
    ColorQuantizer q(4, 8);
    for (int i = 0; i < 16; ++i)
        for (int n = 0; n <= i % 4; ++n)
            q.AddColor(static_cast<std::uint8_t>(16 * i), static_cast<std::uint8_t>(255 - 16 * i), 7);
    EXPECT_EQ(q.GetColorCount(), 16u);
    EXPECT_EQ(Table(q), (std::vector<Colour>{{32, 223, 7, 0}, {96, 159, 7, 0}, {160, 95, 7, 0}, {224, 31, 7, 0}}));

    // No more leaves than asked: copied as they are.
    ColorQuantizer few(4, 8);
    few.AddColor(1, 2, 3);
    few.AddColor(200, 2, 3);
    EXPECT_EQ(Table(few), (std::vector<Colour>{{1, 2, 3, 0}, {200, 2, 3, 0}}));
}

TEST(OctreeQuantizer, ReductionTakesTheNewestNodeOfTheDeepestLevel)
{
    // Pairs k = 0 .. 8: red 28 k with blue 0 and 1 share their node above
    // the leaves. Pairs 0 .. 7 make the 16 leaves the tree may hold; the
    // first colour of pair 8 makes a 17th. The newest nodes above the
    // leaves go first: pair 8's own (one child: no leaf less), then pair
    // 7's, whose two colours become one leaf of their mean.
    ColorQuantizer q(16, 8);
    for (int k = 0; k < 8; ++k) {
        q.AddColor(static_cast<std::uint8_t>(28 * k), 0, 0);
        q.AddColor(static_cast<std::uint8_t>(28 * k), 0, 1);
    }
    EXPECT_EQ(q.GetColorCount(), 16u);
    q.AddColor(224, 0, 0);
    q.AddColor(224, 0, 1);
    EXPECT_EQ(q.GetColorCount(), 16u);
    std::vector<Colour> expected;
    for (int k = 0; k < 7; ++k) {
        expected.emplace_back(28 * k, 0, 0, 0);
        expected.emplace_back(28 * k, 0, 1, 0);
    }
    expected.emplace_back(196, 0, 0, 0); // (0 + 1) / 2
    expected.emplace_back(224, 0, 0, 0);
    EXPECT_EQ(Sorted(Table(q)), Sorted(expected));
}

TEST(OctreeQuantizer, LargePicturesStayWithinTheColours)
{
    ColorQuantizer q(256, 8);
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 7)
                q.AddColor(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b));
    EXPECT_LE(q.GetColorCount(), 256u);
    EXPECT_GT(q.GetColorCount(), 200u);
    EXPECT_EQ(Table(q).size(), q.GetColorCount());
}

TEST(OctreeQuantizer, OtherDepthsAreRefusedAndAddNothing)
{
    std::vector<std::uint8_t> pixels(64, 0x55);
    const RGBQUAD colours[256] = {};
    for (const int bits : {0, 2, 16, 32}) {
        SCOPED_TRACE(bits);
        BITMAPINFOHEADER h;
        h.biWidth = 4;
        h.biHeight = 2;
        h.biBitCount = static_cast<std::uint16_t>(bits);
        ColorQuantizer q(256, 8);
        EXPECT_FALSE(q.ProcessImage(pixels.data(), h, colours));
        EXPECT_EQ(q.GetColorCount(), 0u);
        EXPECT_TRUE(Table(q).empty());
    }
    // A palette picture needs its colours.
    BITMAPINFOHEADER h;
    h.biWidth = 4;
    h.biHeight = 2;
    h.biBitCount = 8;
    ColorQuantizer q(256, 8);
    EXPECT_FALSE(q.ProcessImage(pixels.data(), h, nullptr));
}

} // namespace
