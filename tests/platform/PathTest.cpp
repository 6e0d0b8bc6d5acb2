#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

TEST(Path, StoredPathsFindFilesWhateverTheirCase)
{
    CTempDir dir;
    ASSERT_TRUE(PathExists(dir.Path()));
    WriteWholeFile(dir.File("Roads.DBF"), "x");
    WriteWholeFile(dir.File("roads.FPT"), "y");

    // Backslashes and letter case of the stored path do not matter.
    std::string stored = dir.Path() + "roads.dbf";
    for (char& c : stored)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(PathExists(stored));
    EXPECT_EQ(ReadWholeFile(stored), "x");

    EXPECT_EQ(FindSiblingByExtension(dir.File("roads.dbf"), "fpt"), dir.File("roads.FPT"));
    EXPECT_EQ(FindSiblingByExtension(dir.File("Roads.DBF"), ".shx"), dir.File("Roads.shx"));
}

TEST(Path, DriveLettersMapToFolders)
{
    CTempDir dir;
    WriteWholeFile(dir.File("x.gdb"), "g");
    SetDriveFolder('q', ResolvePath(dir.Path()));
    EXPECT_TRUE(PathExists("Q:\\X.GDB"));
    EXPECT_EQ(ReadWholeFile("q:/x.gdb"), "g");
    SetDriveFolder('Q', "/");
}

TEST(Path, ResolveKeepsWhatDoesNotExist)
{
    EXPECT_EQ(ResolvePath("relative\\name.txt"), "relative/name.txt");
    EXPECT_EQ(ResolvePath("/no/such//folder/"), "/no/such/folder/");
    EXPECT_EQ(ResolvePath(""), ".");
}

TEST(Path, FullPathsFoldTheirDotFoldersWhateverTheCurrentFolder)
{
    CTempDir dir;
    ASSERT_TRUE(MakeFolder(dir.File("work")));
    char* before = ::getcwd(nullptr, 0);
    ASSERT_TRUE(before);
    ASSERT_EQ(::chdir(ResolvePath(dir.File("work")).c_str()), 0);
    const std::string here = MakeFullPath(".");
    const std::string up = MakeFullPath("..");
    const struct {
        const char* given;
        std::string full;
    } cases[] = {
        {"./demo.map", here + "/demo.map"},
        {"demo.map", here + "/demo.map"},
        {"sub/../demo.map", here + "/demo.map"},
        {"..\\in\\.\\roads.shp", up + "/in/roads.shp"},
        {"/a/./b/../c.map", "/a/c.map"},
        {"/../../x.map", "/x.map"},
        {"C:\\maps\\..\\..\\x.map", "C:/x.map"},
        {"c:/maps/", "c:/maps/"},
        {"\\\\server\\maps\\x.map", "/server/maps/x.map"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeFullPath(c.given), c.full) << c.given;
    EXPECT_EQ(here, dir.File("work"));
    EXPECT_EQ(ResolvePath(MakeFullPath("demo.map")), ResolvePath(dir.File("work/demo.map")));
    ASSERT_EQ(::chdir(before), 0);
    std::free(before);
}
