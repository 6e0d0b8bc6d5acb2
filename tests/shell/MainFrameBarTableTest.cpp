#include "shell/BarState.h"
#include "shell/ConfigFile.h"
#include "shell/CustomToolBarModel.h"
#include "shell/MainFrameBarTable.h"
#include "shell/ReplaySpeed.h"
#include "shell/ToolbarBoxes.h"
#include "shell/TwoColumnLine.h"

#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Ids = std::vector<int>;

// A program folder with the configuration file "drel.cfg", a user folder
// and a profile of the test's own.
class ToolbarConfigTest : public ::testing::Test {
protected:
    ToolbarConfigTest()
    {
        MakeFolder(ProgramFile(""));
        MakeFolder(UserFile(""));
        SetProgramFolderForTesting(ProgramFile(""));
        SetUserFolderForTesting(UserFile(""));
        CAppProfile::Instance().SetFilePathForTesting(m_dir.File("Drel.ini"));
    }
    ~ToolbarConfigTest() override
    {
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }
    std::string ProgramFile(const std::string& name) const { return m_dir.File("program/" + name); }
    std::string UserFile(const std::string& name) const { return m_dir.File("user/" + name); }
    void WriteConfig(const std::string& text) const { WriteWholeFile(ProgramFile("drel.cfg"), text); }

    CTempDir m_dir;
    CScriptedUserServices ui;
    CConfigFile config{"drel"};
};

TEST_F(ToolbarConfigTest, WhichBarsShowAtTheStart)
{
    struct Case {
        const char* config;
        Ids shown;
    };
    const Case cases[] = {
        {"", {kMainBar, kScaleBar}},
        {"[AddressToolbar]\r\nInitiallyVisible=1\r\n", {kAddressBar, kMainBar, kScaleBar}},
        {"[AddressToolbar]\r\nInitiallyVisible=2\r\n", {kMainBar, kScaleBar}},
        {"[LayerToolbar]\r\nInitiallyVisible=3\r\n", {kLayerWorkBar, kMainBar, kScaleBar}},
        {"[BookmarkToolbar]\r\nInitiallyVisible=1\r\n", {kMainBar, kScaleBar, kPlacesBar}},
        {"[AdminToolbar]\r\nHidden=0\r\n", {kMainBar, kScaleBar, kAdminSearchBar}},
        {"[AdminToolbar]\r\nHidden=0\r\nInitiallyVisible=0\r\n", {kMainBar, kScaleBar}},
        {"[AdminToolbar]\r\nHidden=1\r\nInitiallyVisible=1\r\n", {kMainBar, kScaleBar}},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        CToolbarConfig bars;
        bars.Read(config);
        Ids shown;
        for (const CMainFrameBarInfo& bar : MainFrameBars())
            if (bars.IsInitiallyVisible(bar.resourceId))
                shown.push_back(bar.resourceId);
        EXPECT_EQ(shown, c.shown) << c.config;
    }
}

TEST_F(ToolbarConfigTest, TheCityAndHouseNumberBoxesShowOnlyWhenSwitchedOn)
{
    const std::pair<const char*, std::pair<bool, bool>> cases[] = {
        {"", {false, false}},
        {"[AddressToolbar]\r\nCityList=1\r\n", {true, false}},
        {"[AddressToolbar]\r\nCityList=0\r\nHouseNumbers=1\r\n", {false, true}},
        {"[AddressToolbar]\r\nCityList=2\r\nHouseNumbers=-1\r\n", {false, false}},
    };
    for (const auto& [text, shown] : cases) {
        WriteConfig(text);
        CToolbarConfig bars;
        bars.Read(config);
        EXPECT_EQ(bars.IsBoxShown(kCityBox), shown.first) << text;
        EXPECT_EQ(bars.IsBoxShown(kHouseNumberBox), shown.second) << text;
        EXPECT_TRUE(bars.IsBoxShown(kStreetBox));
    }
}

TEST_F(ToolbarConfigTest, TheFirstEnablingOfAnUnsetBoxWritesItsSwitchOnce)
{
    WriteConfig("[AddressToolbar]\r\nHouseNumbers=0\r\n");
    CAddressBarSwitches switches;
    switches.Read(config);
    EXPECT_EQ(switches.Get(kStreetBox), -1);

    switches.OnBoxEnabled(kStreetBox, config);
    switches.OnBoxEnabled(kCityBox, config);
    switches.OnBoxEnabled(kHouseNumberBox, config); // switched off by the user: stays
    EXPECT_EQ(switches.Get(kStreetBox), 1);
    const std::string written = UserFile("drel.cfg");
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "InitiallyVisible", -1, written), 1);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "CityList", -1, written), 1);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "HouseNumbers", -1, written), 0);

    // Written once: a later enabling leaves the file alone.
    WritePrivateProfileInt("AddressToolbar", "InitiallyVisible", 7, written);
    switches.OnBoxEnabled(kStreetBox, config);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "InitiallyVisible", -1, written), 7);

    CToolbarConfig next;
    next.Read(config);
    EXPECT_TRUE(next.IsBoxShown(kCityBox));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(MainFrameBarTable, BarsDockingSidesAndCustomisation)
{
    Ids order, topBottom, customisable;
    for (const CMainFrameBarInfo& bar : MainFrameBars()) {
        order.push_back(bar.resourceId);
        if (bar.topBottomOnly)
            topBottom.push_back(bar.resourceId);
        if (bar.customisable)
            customisable.push_back(bar.resourceId);
    }
    EXPECT_EQ(order, (Ids{345, 365, 371, 128, 381, 124, 378, 395, 126, 130, 320, 322}));
    EXPECT_EQ(topBottom, (Ids{kAddressBar, kPlaybackBar, kScaleBar, kAdminSearchBar, kPlacesBar}));
    // Six bars the user rearranges, the layer-work bar among them.
    EXPECT_EQ(customisable, (Ids{kLayerWorkBar, kMainBar, kRouteSearchBar, kObjectEditingBar, kLineEditingBar,
                                 kAttributeTableBar}));
    EXPECT_EQ(FindMainFrameBar(kMainBar)->controlId, 59392);
    EXPECT_EQ(FindMainFrameBar(kMainBar)->captionId, 3013);
    EXPECT_EQ(FindMainFrameBar(999), nullptr);
}

TEST(MainFrameBarTable, InitialDockingFollowsTheOrderOfDocking)
{
    const CDockPlan plan = InitialDockPlan();
    ASSERT_EQ(plan.rows.size(), 5u);
    // Each bar docked beside the main bar lands right after it.
    EXPECT_EQ(plan.rows[0].side, kDockTop);
    EXPECT_EQ(plan.rows[0].bars, (Ids{kMainBar, kScaleBar, kAddressBar, kRouteSearchBar}));
    EXPECT_EQ(plan.rows[1].bars, Ids{kAdminSearchBar});
    EXPECT_EQ(plan.rows[2].side, kDockRight);
    EXPECT_EQ(plan.rows[2].bars, (Ids{kObjectEditingBar, kLineEditingBar}));
    EXPECT_EQ(plan.rows[3].bars, Ids{kAttributeTableBar});
    EXPECT_EQ(plan.rows[4].bars, Ids{kDiagramBar});
    ASSERT_EQ(plan.floating.size(), 3u);
    EXPECT_EQ(plan.floating[0].bar, kPlaybackBar);
    EXPECT_EQ(plan.floating[0].x, 300);
    EXPECT_EQ(plan.floating[0].y, 150);
    EXPECT_EQ(plan.floating[1].bar, kLayerWorkBar);
    EXPECT_EQ(plan.floating[2].bar, kPlacesBar);
    EXPECT_EQ(plan.floating[2].x, 180);
}

TEST(MainFrameBarTable, TheToolbarListOffersItsBarsInOrder)
{
    EXPECT_EQ(ToolbarListBars(true, false, false, false), (Ids{kMainBar, kScaleBar, kAddressBar, kPlacesBar}));
    EXPECT_EQ(ToolbarListBars(true, true, false, false),
              (Ids{kMainBar, kScaleBar, kAddressBar, kAdminSearchBar, kPlacesBar}));
    EXPECT_EQ(ToolbarListBars(false, false, true, true),
              (Ids{kMainBar, kScaleBar, kAddressBar, kAdminSearchBar, kPlacesBar, kAttributeTableBar, kPlaybackBar}));
    EXPECT_EQ(ToolbarListBars(true, false, false, true),
              (Ids{kMainBar, kScaleBar, kAddressBar, kPlacesBar, kPlaybackBar}));
}

TEST(ToolbarBoxes, WidthsFromTheToolbarFont)
{
    // Each sample letter is 6 pixels wide.
    const TextWidthFunction width = [](std::string_view sample) { return static_cast<int>(sample.size()) * 6; };
    struct Case {
        int id;
        int screen;
        int slot;
        int inner;
    };
    const Case cases[] = {
        {kCityBox, 1280, 9 * 6 * 5 / 2, 9 * 6 * 5 / 2},
        {kStreetBox, 1280, 9 * 6 * 7 / 2, 9 * 6 * 7 / 2},
        {kHouseNumberBox, 800, 7 * 6, 7 * 6},
        {kPlacesBox, 800, 30 * 6, 30 * 6},
        {kScaleLabelBox, 800, 10, 10},
        {kScaleBox, 800, 80, 80},
        {kAdminCountyBox, 1280, 180, 180},
        {kAdminCountyBox, 1000, 180, 180},
        {kAdminCountyBox, 999, 144, 144},
        {kAdminStreetBox, 800, 144, 144},
        {kAdminHouseNumberBox, 800, 42, 42},
        {kReplaySpeedBox, 800, 60, 52},
        {kReplayPointBox, 1280, 54, 48},
    };
    for (const Case& c : cases) {
        const CToolbarBoxInfo* info = FindToolbarBoxInfo(c.id);
        ASSERT_TRUE(info) << c.id;
        EXPECT_EQ(ToolbarBoxSlotWidth(*info, width, c.screen), c.slot) << c.id << " on " << c.screen;
        EXPECT_EQ(ToolbarBoxWidth(*info, width, c.screen), c.inner) << c.id << " on " << c.screen;
    }
    const std::pair<int, int> limits[] = {{kCityBox, 50},     {kStreetBox, 50},           {kHouseNumberBox, 5},
                                          {kScaleBox, 12},    {kAdminWardBox, 50},        {kAdminHouseNumberBox, 5},
                                          {kReplayPointBox, 6}, {kPlacesBox, 0}};
    for (const auto& [id, limit] : limits)
        EXPECT_EQ(FindToolbarBoxInfo(id)->textLimit, limit) << id;
    EXPECT_EQ(FindToolbarBoxInfo(30331), nullptr);
}

class CustomToolBarTest : public ToolbarConfigTest {
protected:
    std::string Saved(const std::string& value) { return CAppProfile::Instance().GetString("Toolbars", value); }
};

TEST_F(CustomToolBarTest, TheMainBarDropsFiveButtonsAndResetNeverBringsThemBack)
{
    const Ids loaded = {57601, 57603, 0, 57607, 57609, 30091, 0, 30065, 30018, 30336};
    CCustomToolBarModel bar;
    bar.Init(59392, loaded);
    EXPECT_EQ(bar.GetValueName(), "TB59392");
    bar.RemoveHiddenButtons({57603, 30091, 57609, 30336, 30018});
    EXPECT_EQ(bar.GetButtons(), (Ids{57601, 0, 57607, 0, 30065}));
    EXPECT_FALSE(bar.IsChanged());
    EXPECT_FALSE(bar.RestoreSavedState()); // nothing saved: the loaded arrangement stays
    EXPECT_EQ(bar.GetButtons(), (Ids{57601, 0, 57607, 0, 30065}));

    EXPECT_TRUE(bar.Remove(0));
    EXPECT_TRUE(bar.Move(0, 1));
    EXPECT_FALSE(bar.Move(3, 1));
    EXPECT_FALSE(bar.Insert(9, 57601));
    EXPECT_FALSE(bar.Insert(0, 12345)); // not one of the bar's buttons
    EXPECT_EQ(bar.GetButtons(), (Ids{57607, 0, 0, 30065}));
    EXPECT_EQ(bar.GetOfferedButtons(), (Ids{57601, 57603, 57609, 30091, 30018, 30336}));
    EXPECT_TRUE(bar.IsChanged());

    bar.Reset();
    EXPECT_EQ(bar.GetButtons(), (Ids{57601, 0, 57607, 0, 30065}));
}

TEST_F(CustomToolBarTest, AChangedBarIsSavedAndReadBackSkippingUnknownCommands)
{
    const Ids loaded = {30032, 30033, 0, 30035};
    {
        CCustomToolBarModel bar;
        bar.Init(124, loaded);
        bar.SaveIfChanged();
        EXPECT_EQ(Saved("TB124"), ""); // unchanged: nothing written
        bar.Remove(2);
        bar.Insert(0, 30035);
        bar.SaveIfChanged();
    }
    EXPECT_EQ(Saved("TB124"), "30035,30032,30033,30035");

    CAppProfile::Instance().WriteString("Toolbars", "TB124", "30033,0,99999,,x,30032,30035 ,-1");
    CCustomToolBarModel bar;
    bar.Init(124, loaded);
    EXPECT_TRUE(bar.RestoreSavedState());
    EXPECT_EQ(bar.GetButtons(), (Ids{30033, 0, 30032}));
    EXPECT_FALSE(bar.IsChanged());

    // Emptied by the user, the bar still counts as one with buttons.
    while (!bar.GetButtons().empty())
        bar.Remove(0);
    EXPECT_TRUE(bar.HasButtons());
    CCustomToolBarModel none;
    none.Init(322, {});
    EXPECT_FALSE(none.HasButtons());

    CCustomToolBarModel many;
    many.Init(1, Ids(50, 30032));
    EXPECT_EQ(many.GetButtons().size(), 40u);
}

TEST_F(ToolbarConfigTest, ASavedLayoutIsAppliedOnlyWhenItsBarsExist)
{
    const std::vector<std::string> bars = {"59392", "381", "345"};
    EXPECT_FALSE(IsBarStateConsistent("TB", bars)); // none saved

    CBarState layout;
    layout.state = {1, 2, 3, 0xFF};
    layout.bars = {"59392", "345"};
    layout.Save("TB");
    CBarState read;
    ASSERT_TRUE(read.Load("TB"));
    EXPECT_EQ(read.state, layout.state);
    EXPECT_EQ(read.bars, layout.bars);
    EXPECT_TRUE(IsBarStateConsistent("TB", bars));

    layout.bars = {"59392", "345", "999"}; // saved by a build with another bar
    layout.Save("TB");
    EXPECT_FALSE(IsBarStateConsistent("TB", bars));
    EXPECT_FALSE(IsBarStateConsistent("General", bars));
}

TEST(ReplaySpeed, EntriesAndFactors)
{
    const std::pair<int, int> factors[] = {{1, 0}, {2, 1}, {5, 2}, {10, 3}, {100, 4}, {3, -1}, {0, -1}, {-5, -1}};
    for (const auto& [factor, index] : factors)
        EXPECT_EQ(ReplaySpeedIndex(factor), index) << factor;
    EXPECT_EQ(ReplaySpeedFactor(4), 100);
    EXPECT_EQ(ReplaySpeedFactor(5), 0);
    EXPECT_EQ(ReplaySpeedFactor(-1), 0);
    EXPECT_EQ(ReplaySpeedText(3), "x10");
}

TEST(TwoColumnLine, TheLineSplitsAtItsFirstTab)
{
    std::istringstream file("Vardas\tGedimino pr.\r\nPlotas\t12\t5\nBe tabuliacijos\n\n\tpo tabuliacijos");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Vardas", "Gedimino pr."}, {"Plotas", "12\t5"}, {"Be tabuliacijos", ""}, {"", ""}, {"", "po tabuliacijos"},
    };
    std::string first = "old", second = "old";
    for (const auto& [a, b] : expected) {
        ASSERT_TRUE(ReadTwoColumnLine(file, first, second));
        EXPECT_EQ(first, a);
        EXPECT_EQ(second, b);
    }
    EXPECT_FALSE(ReadTwoColumnLine(file, first, second));
}

} // namespace
