#include "settings/MapChooserList.h"

#include "core/FileUtil.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "shell/MapLinks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

// Three links in a user folder of the test's own.
class MapChooserListTest : public ::testing::Test {
protected:
    MapChooserListTest()
    {
        MakeFolder(dir.File("program/"));
        MakeFolder(dir.File("user/"));
        SetProgramFolderForTesting(dir.File("program/"));
        SetUserFolderForTesting(dir.File("user/"));
        for (const char* name : {"a", "b", "c"})
            WriteWholeFile(dir.File(std::string("user/") + name + ".mln"),
                           std::string("[MapLink]\r\nTitle=") + name + "\r\nPath=" + dir.File(name) + ".map\r\n");
        links.LoadMapLinks();
    }
    ~MapChooserListTest() override
    {
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
    }
    static Texts Titles(const CMapChooserList& list)
    {
        Texts titles;
        for (const CMapListItem& item : list.GetItems())
            titles.push_back(item.title);
        return titles;
    }
    static std::vector<int> Links(const CMapChooserList& list)
    {
        std::vector<int> indexes;
        for (const CMapListItem& item : list.GetItems())
            indexes.push_back(item.link);
        return indexes;
    }

    CTempDir dir;
    CScriptedUserServices ui;
    CMapLinks links;
};

TEST_F(MapChooserListTest, TheLinksInTheirOrder)
{
    const CMapChooserList list(links);
    EXPECT_EQ(Titles(list), (Texts{"a", "b", "c"}));
    EXPECT_EQ(Links(list), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.GetItems()[1].path, dir.File("b.map"));
}

TEST_F(MapChooserListTest, RemovingTheFirstOfThreeLeavesIndexesZeroAndOne)
{
    CMapChooserList list(links);
    ui.answers = {IDNO};
    EXPECT_FALSE(list.Remove(0));
    EXPECT_EQ(links.GetCount(), 3);
    ui.answers = {IDYES};
    EXPECT_TRUE(list.Remove(0));
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>{2017, 2017}));
    EXPECT_EQ(ui.messages[0].text, Utf8ToCp1257("Pašalinti žemėlapį iš sąrašo?"));
    EXPECT_EQ(ui.messages[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Titles(list), (Texts{"b", "c"}));
    EXPECT_EQ(Links(list), (std::vector<int>{0, 1}));
    EXPECT_EQ(links.GetTitle(1), "c");
    EXPECT_FALSE(FileExists(dir.File("user/a.mln")));
    EXPECT_FALSE(list.Remove(2));
    EXPECT_FALSE(list.Remove(-1));
}

TEST_F(MapChooserListTest, AMapIsAppendedOnlyWhenTheLinksTookIt)
{
    CMapChooserList list(links);
    WriteWholeFile(dir.File("naujas.map"), "");
    EXPECT_TRUE(list.Add(dir.File("naujas.map")));
    EXPECT_EQ(Titles(list), (Texts{"a", "b", "c", "naujas"}));
    EXPECT_EQ(list.GetItems().back().link, 3);
    EXPECT_EQ(ResolvePath(list.GetItems().back().path), ResolvePath(dir.File("naujas.map")));
    // Linked already: the links say so and nothing is added.
    EXPECT_FALSE(list.Add(dir.File("b.map")));
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1068});
    EXPECT_EQ(list.GetItems().size(), 4u);
}

TEST_F(MapChooserListTest, ARenameIsKeptOnlyWhenTheLinksTookIt)
{
    CMapChooserList list(links);
    EXPECT_TRUE(list.Rename(1, "Kaunas"));
    EXPECT_EQ(Titles(list), (Texts{"a", "Kaunas", "c"}));
    EXPECT_EQ(links.GetTitle(1), "Kaunas");
    // The link file cannot be written: the user folder runs through a file.
    WriteWholeFile(dir.File("blocked"), "");
    SetUserFolderForTesting(dir.File("blocked/user/"));
    EXPECT_FALSE(list.Rename(0, "Vilnius"));
    EXPECT_EQ(Titles(list), (Texts{"a", "Kaunas", "c"}));
    EXPECT_EQ(links.GetTitle(0), "a");
    EXPECT_FALSE(list.Rename(3, "Vilnius"));
}

TEST(MapListView, StoredViewTypes)
{
    const struct {
        int stored;
        MapListView view;
    } cases[] = {
        {0, kMapListLargeIcons}, {1, kMapListDetails},    {2, kMapListSmallIcons},
        {3, kMapListSmallIcons}, {4, kMapListLargeIcons}, {-1, kMapListSmallIcons},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapListViewOf(c.stored), c.view) << c.stored;
}

} // namespace
