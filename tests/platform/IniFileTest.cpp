#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include "platform/AppProfile.h"

#include <cctype>
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

TEST(IniFile, StructFormIsHexDigitsAndAByteChecksum)
{
    // Four little-endian doubles 21.25, 56.5, 27.0, 53.75; the checksum is
    // 0x40 * 6 + 0x35 + 0x4C + 0x3B + 0xE0 + 0x4A = 0x366, low byte 0x66.
    const double rect[4] = {21.25, 56.5, 27.0, 53.75};
    const std::string encoded = "00000000004035400000000000404C400000000000003B400000000000E04A4066";
    EXPECT_EQ(EncodeProfileStruct(rect, sizeof rect), encoded);
    EXPECT_EQ(encoded.size(), 66u);

    double back[4] = {};
    ASSERT_TRUE(DecodeProfileStruct(encoded, back, sizeof back));
    EXPECT_EQ(std::vector<double>(back, back + 4), std::vector<double>(rect, rect + 4));
    std::string lower = encoded;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(DecodeProfileStruct(lower, back, sizeof back));

    struct Case {
        const char* what;
        std::string text;
    };
    const Case bad[] = {
        {"wrong checksum", encoded.substr(0, 64) + "67"},
        {"one byte short", encoded.substr(2)},
        {"one byte long", "00" + encoded},
        {"not hex", "0G" + encoded.substr(2)},
        {"empty", ""},
    };
    for (const Case& c : bad) {
        double untouched[4] = {1, 2, 3, 4};
        EXPECT_FALSE(DecodeProfileStruct(c.text, untouched, sizeof untouched)) << c.what;
        EXPECT_EQ(untouched[0], 1) << c.what;
    }

    CTempDir dir;
    std::string path = dir.File("s.ini");
    ASSERT_TRUE(WritePrivateProfileStruct("Bookmarks", "Extent0", rect, sizeof rect, path));
    EXPECT_EQ(ReadWholeFile(path), "[Bookmarks]\r\nExtent0=" + encoded + "\r\n");
    EXPECT_TRUE(GetPrivateProfileStruct("bookmarks", "extent0", back, sizeof back, path));
    EXPECT_FALSE(GetPrivateProfileStruct("Bookmarks", "Extent1", back, sizeof back, path));
    // A value of another size is refused.
    EXPECT_FALSE(GetPrivateProfileStruct("Bookmarks", "Extent0", back, 3 * sizeof(double), path));
}
