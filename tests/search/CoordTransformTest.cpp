// The coordinate transformation's lines: reading, converting, writing.
#include "search/CoordTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <string>
#include <vector>

namespace {

#define DEG "\xB0"

using Lines = std::vector<std::string>;

Lines Transform(const std::string& text, int from, int to)
{
    Lines lines{"left over"};
    EXPECT_TRUE(TransformCoordLines(text, from, to, lines)) << text;
    return lines;
}

TEST(CoordTransform, LinesFromOneSystemToAnother)
{
    struct Case {
        int from, to;
        std::string text;
        Lines expected;
    };
    const std::string stars = "********";
    const Case cases[] = {
        {0, 2, "E024*30*00 N56*00*00", {"24.500000 56.000000"}},
        {0, 2, "024" DEG "30'00.0\" 56" DEG "00'00\"", {"24.500000 56.000000"}},
        // West and south are negative, once, however they are written.
        {0, 2, "W024*30*00 S56*30", {"-24.500000 -56.500000"}},
        {0, 2, "-24*30 -56*30", {"-24.500000 -56.500000"}},
        {0, 2, "W-024" DEG "30'00.00\" S-56" DEG "30'00.00\"", {"-24.500000 -56.500000"}},
        {0, 2, "-0*30 0*30", {"-0.500000 0.500000"}},
        // Entries of one system: the point passes unchanged.
        {2, 0, "24.5 56.25", {"E024" DEG "30'00.00\" N56" DEG "15'00.00\""}},
        {2, 1, "-24.5 -56.25", {"W-24" DEG "30.0000' S-56" DEG "15.0000'"}},
        {1, 2, "E024" DEG "30.5000' N56" DEG "15.0000'", {"24.508333 56.250000"}},
        {3, 3, "500000 6207321", {"500000.00 6207321.00"}},
        {6, 6, "-10000 16000", {"-10000.00 16000.00"}},
        // Out of range.
        {0, 2, "E200*00 N56", {stars}},
        {0, 2, "E024 N91", {stars}},
        {0, 2, "E999* N56", {stars}},
        {3, 3, "1000001 6207321", {stars}},
        {3, 3, "-1 6207321", {stars}},
        {6, 6, "-10001 0", {stars}},
        {4, 4, "61000001 0", {stars}},
        {3, 2, "1e308 56", {stars}},
        // A northing far beyond the pole makes no geographic point.
        {3, 2, "500000 99999999", {stars}},
        // Words: one is no point, a third is left.
        {2, 2, "24.5", {stars}},
        {2, 2, "24.5 56 57 58", {"24.500000 56.000000"}},
        {3, 3, "abc 6207321", {stars}},
        {3, 3, "500000 abc", {stars}},
        {0, 2, "24 abc", {stars}},
        {2, 2, "nan", {stars}},
        // Blanks of any length between and around the words; a line of blanks gives nothing.
        {2, 2, "\t 24.5 \t 56  ", {"24.500000 56.000000"}},
        {2, 2, "     \n24 56", {"24.000000 56.000000"}},
        // The list ends at a line shorter than three characters...
        {2, 2, "24 56\n\n25 56", {"24.000000 56.000000"}},
        {2, 2, "24 56\n  \n25 56", {"24.000000 56.000000"}},
        {2, 2, "24 56\r\n25 57\r\n", {"24.000000 56.000000", "25.000000 57.000000"}},
        // ...and where not even a longitude's degrees can be read.
        {0, 2, "24 56\nabc 56\n25 56", {"24.000000 56.000000"}},
        {0, 2, "nan 56\n25 56", {}},
        {2, 2, "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Transform(c.text, c.from, c.to), c.expected) << c.text << " from " << c.from << " to " << c.to;
}

TEST(CoordTransform, OnlyTheFirstFiftyCharactersOfALineAreRead)
{
    // The latitude beyond the fiftieth character is not there.
    const std::string far = "24.5" + std::string(46, ' ') + "56";
    EXPECT_EQ(Transform(far, 2, 2), Lines{"********"});
    const std::string near = "24.5" + std::string(44, ' ') + "56";
    EXPECT_EQ(Transform(near, 2, 2), Lines{"24.500000 56.000000"});
    // A line of ten thousand characters is one word cut short; the next line counts.
    const std::string huge = std::string(10000, '7') + "\n24 56";
    EXPECT_EQ(Transform(huge, 2, 2), (Lines{"********", "24.000000 56.000000"}));
}

TEST(CoordTransform, ThereAndBackAgain)
{
    const auto degrees = [](const std::string& line) {
        double lon = NAN, lat = NAN;
        EXPECT_EQ(std::sscanf(line.c_str(), "%lf %lf", &lon, &lat), 2) << line;
        return std::pair{lon, lat};
    };
    struct Case {
        int grid;
        const char* point;
    };
    const Case cases[] = {
        {3, "24.5 56"}, {3, "21.0859 55.7056"}, {3, "26.6667 54"},  {4, "24.5 56"},
        {4, "21.0859 55.7056"}, {5, "24.5 56"}, {5, "26.6667 54"}, {6, "23.3167 55.9333"},
    };
    for (const Case& c : cases) {
        const Lines there = Transform(c.point, 2, c.grid);
        ASSERT_EQ(there.size(), 1u);
        ASSERT_NE(there[0], "********") << c.point << " to " << c.grid;
        const Lines back = Transform(there[0], c.grid, 2);
        ASSERT_EQ(back.size(), 1u);
        const auto [lon, lat] = degrees(back[0]);
        const auto [lon0, lat0] = degrees(c.point);
        // Within the converters' own accuracy, some decimetres.
        EXPECT_NEAR(lon, lon0, 5e-6) << c.point << " through " << c.grid;
        EXPECT_NEAR(lat, lat0, 5e-6) << c.point << " through " << c.grid;
    }
}

TEST(CoordTransform, TheSystemsMustBeChosen)
{
    Lines lines{"kept"};
    EXPECT_FALSE(TransformCoordLines("24 56", -1, 2, lines));
    EXPECT_FALSE(TransformCoordLines("24 56", 2, 7, lines));
    EXPECT_EQ(lines, Lines{"kept"});
}

TEST(CoordTransform, TheLeftEditShowsAnExampleUntilTheUserTypes)
{
    EXPECT_EQ(CoordTransformSample(0, false), "E024" DEG "00'00.00\" N56" DEG "00'00.00\" (pavyzdys)");
    EXPECT_EQ(CoordTransformSample(6, false), "0 0 (pavyzdys)");
    EXPECT_EQ(CoordTransformSample(3, true), "500000 6207321 (sample)");
    EXPECT_EQ(CoordTransformSample(7, false), "");
    // Each example converts as it stands.
    for (int entry = 0; entry < kCoordTransformEntryCount; ++entry) {
        Lines lines;
        ASSERT_TRUE(TransformCoordLines(CoordTransformSample(entry, false), entry, entry, lines));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0], "********") << entry;
    }
    EXPECT_TRUE(TakesCoordTransformSample(false, 500));
    EXPECT_TRUE(TakesCoordTransformSample(true, 2));
    EXPECT_FALSE(TakesCoordTransformSample(true, 3));
}

} // namespace
