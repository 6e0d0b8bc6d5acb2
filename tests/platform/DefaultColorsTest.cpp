#include "platform/DefaultColors.h"

#include <gtest/gtest.h>
#include <set>

TEST(DefaultColors, StepThroughBothCyclesFromTheSeed)
{
    SeedDefaultColors(0); // area index -2, line index -1
    EXPECT_EQ(GetNextDefaultColor(true), 0xD0D0FFu);
    EXPECT_EQ(GetNextDefaultColor(true), 0xD0E8FFu);
    EXPECT_EQ(GetNextDefaultColor(false), 0xC0C0C0u);
    EXPECT_EQ(GetNextDefaultColor(false), 0x808080u);

    // Stepping by two visits all 31 fills before one repeats.
    std::set<COLORREF> fills;
    for (int i = 0; i < 31; ++i)
        fills.insert(GetNextDefaultColor(true));
    EXPECT_EQ(fills.size(), 31u);
    std::set<COLORREF> basics;
    for (int i = 0; i < 15; ++i)
        basics.insert(GetNextDefaultColor(false));
    EXPECT_EQ(basics.size(), 15u);
}
