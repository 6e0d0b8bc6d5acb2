#include "shell/ConfigFile.h"
#include "shell/MapLinks.h"

#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Ids = std::vector<unsigned>;

// A program folder and a user folder of the test's own.
class MapLinksTest : public ::testing::Test {
protected:
    MapLinksTest()
    {
        MakeFolder(ProgramFile(""));
        MakeFolder(UserFile(""));
        SetProgramFolderForTesting(ProgramFile(""));
        SetUserFolderForTesting(UserFile(""));
    }
    ~MapLinksTest() override
    {
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
    }

    std::string ProgramFile(const std::string& name) const { return m_dir.File("program/" + name); }
    std::string UserFile(const std::string& name) const { return m_dir.File("user/" + name); }
    static void WriteLink(const std::string& file, const std::string& title, const std::string& path)
    {
        WriteWholeFile(file, "[MapLink]\r\nTitle=" + title + "\r\nPath=" + path + "\r\n");
    }
    static std::string Key(const std::string& file, const char* key)
    {
        return GetPrivateProfileString("MapLink", key, "<none>", file);
    }
    // Writes into the user folder fail: its path runs through a file.
    void BreakUserFolder()
    {
        WriteWholeFile(m_dir.File("blocked"), "");
        SetUserFolderForTesting(m_dir.File("blocked/user/"));
    }

    CTempDir m_dir;
    CScriptedUserServices ui;
    CMapLinks links;
};

TEST_F(MapLinksTest, ScanReadsTheUserFolderFirstAndResolvesAgainstTheProgramFolder)
{
    WriteLink(ProgramFile("b.mln"), "Kaunas", "..\\data\\m.map");
    WriteLink(ProgramFile("A.MLN"), "Vilnius", "maps\\vilnius.map");
    WriteLink(ProgramFile("shadowed.mln"), "Old title", "old.map");
    WriteLink(UserFile("Shadowed.mln"), "New title", "/elsewhere/new.map");
    WriteLink(UserFile("empty.mln"), std::string(150, 'T'), "");
    WriteWholeFile(ProgramFile("notes.txt"), "");

    // Wherever the program was started.
    char old[4096];
    ASSERT_TRUE(getcwd(old, sizeof old));
    ASSERT_EQ(chdir("/"), 0);
    links.LoadMapLinks();
    ASSERT_EQ(chdir(old), 0);

    ASSERT_EQ(links.GetCount(), 4);
    EXPECT_EQ(links.GetTitle(0), std::string(99, 'T')); // the 100-character buffer
    EXPECT_EQ(links.GetMapPath(0), ProgramFile(""));    // an empty Path still makes a link
    EXPECT_EQ(links.GetLinkFilePath(0), UserFile("empty.mln"));
    EXPECT_EQ(links.GetTitle(1), "New title");
    EXPECT_EQ(links.GetMapPath(1), "/elsewhere/new.map");
    EXPECT_EQ(links.GetTitle(2), "Vilnius");
    EXPECT_EQ(links.GetLinkFilePath(2), ProgramFile("A.MLN"));
    EXPECT_EQ(links.GetTitle(3), "Kaunas");
    EXPECT_EQ(ResolvePath(links.GetMapPath(3)), ResolvePath(m_dir.File("data/m.map")));
    EXPECT_TRUE(links.IsMapLinked(m_dir.File("DATA/M.map")));
    EXPECT_FALSE(links.IsMapLinked(m_dir.File("data/n.map")));
    EXPECT_EQ(links.GetTitle(4), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MapLinksTest, SameFileTitlesAreNumberedAndTheFilesKeepThePlainTitle)
{
    EXPECT_EQ(links.AddMapLink(m_dir.File("north/Vilnius.map")), 0);
    EXPECT_EQ(links.AddMapLink(m_dir.File("south/Vilnius.map")), 1);
    EXPECT_EQ(links.AddMapLink("/maps/Vilnius.map"), 2);
    EXPECT_EQ(links.GetTitle(0), "Vilnius");
    EXPECT_EQ(links.GetTitle(1), "Vilnius (2)");
    EXPECT_EQ(links.GetTitle(2), "Vilnius (3)");
    EXPECT_EQ(links.GetLinkFilePath(0), UserFile("Vilnius.mln"));
    EXPECT_EQ(links.GetLinkFilePath(1), UserFile("Vilnius_2.mln"));
    EXPECT_EQ(links.GetLinkFilePath(2), UserFile("Vilnius_3.mln"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Key(links.GetLinkFilePath(i), "Title"), "Vilnius");
    // Relative to the program folder where they share a folder, else as given.
    EXPECT_EQ(Key(UserFile("Vilnius_2.mln"), "Path"), "..\\south\\Vilnius.map");
    EXPECT_EQ(Key(UserFile("Vilnius_3.mln"), "Path"), "/maps/Vilnius.map");

    CMapLinks again;
    again.LoadMapLinks();
    ASSERT_EQ(again.GetCount(), 3);
    EXPECT_EQ(ResolvePath(again.GetMapPath(1)), ResolvePath(m_dir.File("south/Vilnius.map")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MapLinksTest, ALinkFileOfTheProgramFolderIsNotShadowed)
{
    WriteLink(ProgramFile("Kaunas.mln"), "Kaunas", "kaunas.map");
    links.LoadMapLinks();
    EXPECT_EQ(links.AddMapLink("/other/Kaunas.map"), 1);
    EXPECT_EQ(links.GetTitle(1), "Kaunas (2)");
    EXPECT_EQ(links.GetLinkFilePath(1), UserFile("Kaunas_2.mln"));
    EXPECT_EQ(Key(ProgramFile("Kaunas.mln"), "Path"), "kaunas.map");
}

TEST_F(MapLinksTest, AMapLinkedTwiceInOtherLetterCaseIsRefused)
{
    EXPECT_EQ(links.AddMapLink("C:\\maps\\A.map"), 0);
    EXPECT_EQ(links.AddMapLink("c:\\MAPS\\a.map"), -1);
    EXPECT_EQ(links.AddMapLink("c:/maps/A.MAP"), -1);
    EXPECT_EQ(ui.MessageIds(), (Ids{1068, 1068}));
    EXPECT_EQ(links.GetCount(), 1);
    EXPECT_FALSE(PathExists(UserFile("a_2.mln")));
}

TEST_F(MapLinksTest, RenameWritesTheUserCopyAndDeleteRemovesTheFile)
{
    WriteLink(ProgramFile("Kaunas.mln"), "Kaunas", "kaunas.map");
    links.LoadMapLinks();
    EXPECT_TRUE(links.RenameMapLink(0, "Kauno centras"));
    EXPECT_EQ(links.GetTitle(0), "Kauno centras");
    EXPECT_EQ(links.GetLinkFilePath(0), UserFile("Kaunas.mln"));
    EXPECT_EQ(Key(UserFile("Kaunas.mln"), "Title"), "Kauno centras");
    EXPECT_EQ(Key(UserFile("Kaunas.mln"), "Path"), "kaunas.map");
    EXPECT_EQ(Key(ProgramFile("Kaunas.mln"), "Title"), "Kaunas");
    EXPECT_FALSE(links.RenameMapLink(1, "nothing there"));

    CMapLinks again;
    again.LoadMapLinks();
    ASSERT_EQ(again.GetCount(), 1);
    EXPECT_EQ(again.GetTitle(0), "Kauno centras");

    ASSERT_EQ(links.AddMapLink("/maps/Vilnius.map"), 1);
    EXPECT_TRUE(links.DeleteMapLink(1));
    EXPECT_EQ(links.GetCount(), 1);
    EXPECT_FALSE(PathExists(UserFile("Vilnius.mln")));
    EXPECT_FALSE(links.DeleteMapLink(5));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MapLinksTest, FailedWritesAreReportedAndChangeNothing)
{
    WriteLink(ProgramFile("Kaunas.mln"), "Kaunas", "kaunas.map");
    links.LoadMapLinks();
    BreakUserFolder();

    EXPECT_EQ(links.AddMapLink("/maps/Vilnius.map"), -1);
    EXPECT_EQ(links.GetCount(), 1);
    EXPECT_FALSE(links.RenameMapLink(0, "Kauno centras"));
    EXPECT_EQ(links.GetTitle(0), "Kaunas");
    EXPECT_EQ(links.GetLinkFilePath(0), ProgramFile("Kaunas.mln"));

    CConfigFile config("drel");
    EXPECT_FALSE(config.WriteInt("AddressToolbar", "InitiallyVisible", 1));
    EXPECT_EQ(ui.MessageIds(), (Ids{1045, 1045, 1045}));
}

TEST_F(MapLinksTest, ConfigurationFileIsNamedAfterTheProgramAndWrittenAsACopy)
{
    EXPECT_EQ(CConfigFile("drel").GetFileName(), "drel.cfg");
    EXPECT_EQ(CConfigFile("Other.bin").GetFileName(), "Other.cfg");

    WriteWholeFile(ProgramFile("Other.cfg"), "[Options]\r\nLB_DBLCLK=1\r\n[AdminToolbar]\r\nHidden=0\r\n");
    const CConfigFile config("Other.bin");
    EXPECT_EQ(config.GetPath(), ProgramFile("Other.cfg"));
    EXPECT_EQ(config.GetInt("Options", "LB_DBLCLK", 0), 1);
    EXPECT_EQ(config.GetInt("AddressToolbar", "InitiallyVisible", -1), -1);

    EXPECT_TRUE(config.WriteInt("AddressToolbar", "InitiallyVisible", 1));
    EXPECT_EQ(config.GetPath(), UserFile("Other.cfg"));
    EXPECT_EQ(config.GetInt("AddressToolbar", "InitiallyVisible", -1), 1);
    EXPECT_EQ(config.GetInt("Options", "LB_DBLCLK", 0), 1);
    EXPECT_EQ(config.GetInt("AdminToolbar", "Hidden", 1), 0);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "InitiallyVisible", -1, ProgramFile("Other.cfg")), -1);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
