#include "render/PaletteLookup.h"

#include <gtest/gtest.h>

namespace {

RGBQUAD Entry(int r, int g, int b)
{
    return RGBQUAD{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r), 0};
}

constexpr std::uint32_t Rgb(int r, int g, int b)
{
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

TEST(PaletteLookup, EqualNeighboursHitTheLastColour)
{
    const RGBQUAD palette[] = {Entry(0, 0, 0), Entry(200, 10, 10), Entry(10, 200, 10)};
    CPaletteLookup lookup(palette, 3);
    // The last colour starts as entry 0.
    EXPECT_EQ(lookup.IndexOf(Rgb(0, 0, 0)), 0);
    EXPECT_EQ(lookup.GetCounts().lastColour, 1u);
    EXPECT_EQ(lookup.IndexOf(Rgb(200, 10, 10)), 1);
    EXPECT_EQ(lookup.IndexOf(Rgb(200, 10, 10)), 1);
    EXPECT_EQ(lookup.GetCounts().lastColour, 2u);
    EXPECT_EQ(lookup.GetCounts().known, 1u);
    EXPECT_EQ(lookup.GetCounts().searched, 0u);
    // The high byte of a pixel is not part of its colour.
    EXPECT_EQ(lookup.IndexOf(0xFF000000 | Rgb(200, 10, 10)), 1);
    EXPECT_EQ(lookup.GetCounts().lastColour, 3u);
}

TEST(PaletteLookup, AbsentColoursTakeTheNearestEntryTheLowestOnTies)
{
    const RGBQUAD palette[] = {Entry(0, 0, 0), Entry(10, 0, 0), Entry(20, 0, 0), Entry(0, 0, 40)};
    CPaletteLookup lookup(palette, 4);
    struct Case {
        std::uint32_t colour;
        int index;
    };
    const Case cases[] = {
        {Rgb(5, 0, 0), 0},  // as near 0 as 1
        {Rgb(15, 0, 0), 1}, // as near 1 as 2
        {Rgb(16, 0, 0), 2}, {Rgb(0, 0, 20), 0}, {Rgb(0, 0, 30), 3}, {Rgb(255, 255, 255), 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lookup.IndexOf(c.colour), c.index) << std::hex << c.colour;
    EXPECT_EQ(lookup.GetCounts().searched, 6u);
    // Found once, known afterwards.
    EXPECT_EQ(lookup.IndexOf(Rgb(5, 0, 0)), 0);
    EXPECT_EQ(lookup.GetCounts().searched, 6u);
    EXPECT_EQ(lookup.GetCounts().known, 1u);
    EXPECT_EQ(NearestPaletteIndex(palette, 4, 15, 0, 0), 1);
}

TEST(PaletteLookup, AColourTwiceInThePaletteKeepsItsFirstIndex)
{
    const RGBQUAD palette[] = {Entry(9, 9, 9), Entry(1, 1, 1), Entry(50, 50, 50), Entry(1, 1, 1)};
    CPaletteLookup lookup(palette, 4);
    EXPECT_EQ(lookup.IndexOf(Rgb(1, 1, 1)), 1);
    EXPECT_EQ(lookup.GetCounts().known, 1u);
    // Only the first 'count' entries are looked at.
    CPaletteLookup firstTwo(palette, 2);
    EXPECT_EQ(firstTwo.IndexOf(Rgb(50, 50, 50)), 0);
    EXPECT_EQ(firstTwo.GetCounts().searched, 1u);
}

} // namespace
