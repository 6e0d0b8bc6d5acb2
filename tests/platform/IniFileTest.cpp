#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include "platform/AppProfile.h"

#include <gtest/gtest.h>

namespace {
const char kHandWritten[] =
    "; written by hand\r\n"
    "[Map]\r\n"
    "MapUnits = 0\r\n"
    "Limits=21.0 53.9 26.8 56.45\r\n"
    "Title=\"Šiaurė\"\r\n"
    "Unknown=keep me\r\n"
    "\r\n"
    "[scalebar]\r\n"
    "Pos=10 20\r\n";
}

TEST(IniFile, ReadsHandWrittenFileIgnoringCase)
{
    CIniFile ini;
    ini.LoadFromText(kHandWritten);
    EXPECT_EQ(ini.GetInt("MAP", "mapunits", 5), 0);
    EXPECT_EQ(ini.GetString("map", "LIMITS"), "21.0 53.9 26.8 56.45");
    EXPECT_EQ(ini.GetString("Map", "Title"), "Šiaurė"); // one pair of quotes removed
    EXPECT_EQ(ini.GetString("ScaleBar", "Pos"), "10 20");
    EXPECT_EQ(ini.GetString("Map", "Missing", "def"), "def");
    EXPECT_EQ(ini.GetInt("Map", "Missing", 7), 7);
    EXPECT_EQ(ini.GetString("Map", "Limits", "", 5), "21.0"); // a 5-character buffer
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Map", "scalebar"}));
    EXPECT_EQ(ini.KeyNames("map").size(), 4u);
}

TEST(IniFile, UpdatingOneKeyLeavesEveryOtherLineAsItWas)
{
    CTempDir dir;
    std::string path = dir.File("x.ini");
    WriteWholeFile(path, kHandWritten);
    ASSERT_TRUE(WritePrivateProfileString("MAP", "mapunits", "1", path));
    std::string expected = kHandWritten;
    expected.replace(expected.find("MapUnits = 0"), 12, "MapUnits=1");
    EXPECT_EQ(ReadWholeFile(path), expected);

    ASSERT_TRUE(WritePrivateProfileString("Map", "NewKey", "v", path));
    ASSERT_TRUE(WritePrivateProfileString("Routes", "Layer", "streets", path));
    CIniFile ini(path);
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.GetString("Map", "NewKey"), "v");
    EXPECT_EQ(ini.GetString("Map", "Unknown"), "keep me");
    std::string text = ReadWholeFile(path);
    // The new key joins its section before the blank line; the new section goes last.
    EXPECT_NE(text.find("Unknown=keep me\r\nNewKey=v\r\n\r\n[scalebar]"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 25), "[Routes]\r\nLayer=streets\r\n");

    ASSERT_TRUE(DeletePrivateProfileKey("map", "unknown", path));
    ASSERT_TRUE(DeletePrivateProfileSection("SCALEBAR", path));
    ini.Load();
    EXPECT_FALSE(ini.HasKey("Map", "Unknown"));
    EXPECT_FALSE(ini.HasSection("ScaleBar"));
}

TEST(IniFile, FailedWriteLeavesTheOldFileWhole)
{
    CTempDir dir;
    std::string path = dir.File("ro/x.ini");
    // The folder does not exist: nothing can be written, and nothing is claimed.
    EXPECT_FALSE(WritePrivateProfileString("A", "b", "c", path));
    std::string good = dir.File("x.ini");
    WriteWholeFile(good, "[A]\nb=1\n");
    CIniFile ini(good);
    ASSERT_TRUE(ini.Load());
    ini.SetString("A", "b", "2");
    ini.SetPath(dir.File("missing/x.ini"));
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(ReadWholeFile(good), "[A]\nb=1\n");
    // A file with LF line ends keeps them.
    ASSERT_TRUE(WritePrivateProfileString("A", "c", "3", good));
    EXPECT_EQ(ReadWholeFile(good), "[A]\nb=1\nc=3\n");
}

TEST(AppProfile, KeepsValuesInTheUserConfigFile)
{
    CTempDir dir;
    CAppProfile& profile = CAppProfile::Instance();
    profile.SetFilePathForTesting(dir.File("Drel.ini"));
    EXPECT_EQ(profile.GetInt("Settings", "LayerOrderInLegend", 1), 1);
    EXPECT_TRUE(profile.WriteInt("Settings", "ShowCmd", 3));
    EXPECT_TRUE(profile.WriteBinary("Settings", "WindowPos", {0x00, 0x7F, 0xFF}));
    EXPECT_EQ(profile.GetInt("settings", "showcmd", 0), 3);
    std::vector<unsigned char> data;
    EXPECT_TRUE(profile.GetBinary("Settings", "WindowPos", data));
    EXPECT_EQ(data, (std::vector<unsigned char>{0x00, 0x7F, 0xFF}));
    EXPECT_TRUE(profile.WriteString("Settings", "Bad", "0G"));
    EXPECT_FALSE(profile.GetBinary("Settings", "Bad", data));
    profile.SetFilePathForTesting("");
}
