#include "shell/ToolbarBoxes.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolbarBoxes, ScaleText)
{
    const std::pair<double, const char*> cases[] = {
        {0.5, "0.5"},       {12.3456, "12.3"}, {99.94, "99.9"},       {99.96, "100"}, {100, "100"},
        {100.4, "100"},     {100.5, "101"},    {12345.5, "12346"},    {5000, "5000"}, {25000000, "25000000"},
        {1234567.49, "1234567"},
    };
    for (const auto& [scale, text] : cases)
        EXPECT_EQ(FormatScaleText(scale), text) << scale;

    EXPECT_EQ(ParseScaleText("5000"), 5000);
    EXPECT_EQ(ParseScaleText(" 2500.5"), 2500.5);
    EXPECT_EQ(ParseScaleText("1:5000"), 1);
    EXPECT_EQ(ParseScaleText("mastelis"), 0);
    EXPECT_EQ(ParseScaleText(""), 0);
    EXPECT_EQ(ParseScaleText("12345678901234567890123"), 1234567890123456789.0); // 19 characters
}

TEST(ToolbarBoxes, EnterRouting)
{
    struct Case {
        int focused;
        int parent;
        int box;
        int command;
    };
    const Case cases[] = {
        {kScaleBox, 0, kScaleBox, 30004},
        {0, kStreetBox, kStreetBox, 30331}, // the edit inside the street combo
        {kHouseNumberBox, 59392, kHouseNumberBox, 30331},
        {0, kAdminMunicipalityBox, kAdminMunicipalityBox, 30444},
        {0, kAdminWardBox, kAdminWardBox, 30446},
        {0, kAdminSettlementBox, kAdminSettlementBox, 30448},
        {0, kAdminStreetBox, kAdminStreetBox, 30450},
        {kAdminHouseNumberBox, 0, kAdminHouseNumberBox, 30452},
        {0, kAdminCountyBox, kAdminCountyBox, 30456},
        {kReplayPointBox, 0, kReplayPointBox, 0},
        {kPlacesBox, 0, 0, 0},
        {0, kCityBox, 0, 0},
        {1234, 5678, 0, 0},
    };
    for (const Case& c : cases) {
        const int box = FindEnterBox(c.focused, c.parent);
        EXPECT_EQ(box, c.box) << c.focused << " in " << c.parent;
        EXPECT_EQ(EnterCommandOfBox(box), c.command) << c.focused << " in " << c.parent;
    }
}

} // namespace
