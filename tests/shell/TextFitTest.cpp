#include "shell/ScrollRanges.h"
#include "shell/TextFit.h"

#include <gtest/gtest.h>

namespace {

// Six pixels a letter, as a plain font gives them.
int Width(std::string_view text)
{
    return 6 * static_cast<int>(text.size());
}

TEST(TextFit, NarrowColumnsCutTextToLettersAndDots)
{
    struct Case {
        std::string_view text;
        int width;
        int extra;
        const char* shown;
    };
    const Case cases[] = {
        {"Vilnius", 100, 12, "Vilnius"},
        {"Vilnius", 54, 12, "Vilnius"}, // fits to the pixel
        {"Vilnius", 53, 12, "Vil..."},
        {"Vilnius", 40, 7, "Vi..."},
        {"Vilnius", 31, 12, "..."},
        {"Vilnius", 20, 12, "..."}, // the dots even when they do not fit
        {"Vilnius", 12, 12, ""},   // no wider than its extra
        {"Vilnius", 3, 3, ""},
        {"Vilnius", -5, 3, ""},
        {"", 0, 3, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenText(c.text, c.width, c.extra, Width), c.shown) << c.width << " " << c.extra;
}

TEST(ScrollRanges, BarsOnlyForWhatDoesNotFit)
{
    struct Case {
        CSize content;
        CSize excess;
    };
    // A client area of 100 by 100, 84 by 84 with both bars.
    const Case cases[] = {
        {{50, 50}, {0, 0}},
        {{100, 100}, {0, 0}},
        {{200, 50}, {100, 0}},  // only the horizontal bar
        {{50, 200}, {0, 100}},  // only the vertical bar
        {{200, 90}, {116, 6}},  // the horizontal bar makes the height scroll
        {{90, 200}, {6, 116}},
        {{300, 300}, {216, 216}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetScrollExcess(c.content, CSize(100, 100), CSize(84, 84)), c.excess)
            << c.content.cx << " x " << c.content.cy;
}

} // namespace
