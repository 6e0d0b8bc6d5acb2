#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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
