#include "shell/WindowPlacement.h"

#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, RoundTripsThroughItsText)
{
    CWindowPlacement placement;
    placement.flags = 2;
    placement.showCmd = kShowMaximized;
    placement.left = -8;
    placement.top = 20;
    placement.right = 1032;
    placement.bottom = 788;
    const std::string text = placement.Format();
    EXPECT_EQ(text, "2,3,-1,-1,-1,-1,-8,20,1032,788");
    CWindowPlacement back;
    ASSERT_TRUE(back.Parse(text));
    EXPECT_EQ(back.Format(), text);
    ASSERT_TRUE(back.Parse(" 0 , 1,-1,-1,-1,-1, 10,10, 500 ,400"));
    EXPECT_EQ(back.Format(), "0,1,-1,-1,-1,-1,10,10,500,400");
}

TEST(WindowPlacement, MalformedTextsAreRefused)
{
    const char* texts[] = {
        "",
        "2,3,-1,-1,-1,-1,-8,20,1032",           // nine numbers
        "2,3,-1,-1,-1,-1,-8,20,1032,788,5",     // eleven
        "2,3,-1,-1,-1,-1,-8,20,1032,788,",      // a trailing comma
        "2;3;-1;-1;-1;-1;-8;20;1032;788",       // other separators
        "2,3,-1,-1,-1,-1,-8,20,10x32,788",      // not a number
        "2,3,-1,-1,-1,-1,-8,20,,788",           // an empty one
        "-2,3,-1,-1,-1,-1,-8,20,1032,788",      // negative flags
        "2,3,-1,-1,-1,-1,100,20,100,788",       // no width
        "2,3,-1,-1,-1,-1,0,500,100,20",         // upside down
        "2,3,-1,-1,-1,-1,0,0,99999999999,788",  // beyond an int
    };
    for (const char* text : texts) {
        CWindowPlacement placement;
        placement.left = 7;
        EXPECT_FALSE(placement.Parse(text)) << text;
        EXPECT_EQ(placement.left, 7) << text;
    }
}

TEST(WindowPlacement, ShowStateIsWrittenOnlyWhenItChanged)
{
    CTempDir dir;
    CAppProfile& profile = CAppProfile::Instance();
    profile.SetFilePathForTesting(dir.File("Drel.ini"));

    CShowState state;
    state.Load();
    EXPECT_EQ(state.Get(), kShowMaximized);
    EXPECT_FALSE(state.SaveIfChanged());
    EXPECT_FALSE(PathExists(dir.File("Drel.ini")));

    state.Set(kShowNormal);
    EXPECT_TRUE(state.SaveIfChanged());
    EXPECT_EQ(profile.GetInt("Settings", "ShowCmd", 0), kShowNormal);
    EXPECT_FALSE(state.SaveIfChanged());

    // Someone else's value stays while this one did not change.
    profile.WriteInt("Settings", "ShowCmd", kShowMaximized);
    CShowState loaded;
    loaded.Load();
    profile.WriteInt("Settings", "ShowCmd", 7);
    EXPECT_FALSE(loaded.SaveIfChanged());
    EXPECT_EQ(profile.GetInt("Settings", "ShowCmd", 0), 7);
    profile.SetFilePathForTesting("");
}

} // namespace

TEST(WindowPlacement, CascadedWindowsKeepAUsefulSize)
{
    const struct {
        CSize area;
        int count;
        std::vector<CRect> rects;
    } cases[] = {
        {{900, 600}, 0, {}},
        {{900, 600}, 1, {{0, 0, 900, 600}}},
        // Each step right and down; together they fill the area.
        {{900, 600}, 3, {{0, 0, 840, 540}, {30, 30, 870, 570}, {60, 60, 900, 600}}},
        // Too many for that: two thirds of the area, the steps starting
        // again at the top left once the room is used.
        {{900, 600}, 12, {}},
        // A tiny area still gets every window.
        {{10, 10}, 2, {{0, 0, 6, 6}, {0, 0, 6, 6}}},
    };
    for (const auto& c : cases) {
        const std::vector<CRect> rects = CascadeWindowRects(c.area, c.count, 30);
        ASSERT_EQ(rects.size(), static_cast<size_t>(c.count));
        if (!c.rects.empty() || c.count == 0) {
            EXPECT_EQ(rects, c.rects) << c.count;
            continue;
        }
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].Size(), CSize(600, 400)) << i;
            EXPECT_EQ(rects[i].left, static_cast<int>(i % 7) * 30) << i; // 200 / 30 steps, and the first
            EXPECT_EQ(rects[i].top, rects[i].left);
            EXPECT_LE(rects[i].bottom, 600);
        }
    }
}
