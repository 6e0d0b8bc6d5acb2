// A layer's files written under a temporary title and renamed onto the
// chosen name whole, or removed.
#include "mapdoc/ResultFiles.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Files = std::map<std::string, std::string>; // name -> contents

class ResultFilesTest : public ::testing::Test {
protected:
    Files Folder() const
    {
        Files files;
        for (const std::string& name : FindMatchingFiles(dir.File("*")))
            files[name] = ReadWholeFile(dir.File(name));
        return files;
    }
    // The layer's files written where the writers write, as a writer would.
    static void Write(const CResultFiles& files, const std::vector<std::string>& extensions, const std::string& text)
    {
        for (const std::string& extension : extensions)
            WriteWholeFile(ChangeExtensionCopy(files.GetWritePath(), extension), text + "." + extension);
    }

    CTempDir dir;
};

TEST_F(ResultFilesTest, WrittenFilesTakeTheChosenNameWhole)
{
    WriteWholeFile(dir.File("other.dbf"), "other");
    {
        CResultFiles files(dir.File("zones.gdb"));
        ASSERT_TRUE(files.Reserve());
        EXPECT_NE(files.GetWritePath(), files.GetPath());
        EXPECT_EQ(GetPathFolder(files.GetWritePath()), dir.Path());
        // Nothing of the chosen name exists before the commit.
        Write(files, {"gdb", "vec", "dbf"}, "new");
        EXPECT_FALSE(FileExists(dir.File("zones.*")));
        ASSERT_TRUE(files.Commit());
        EXPECT_TRUE(files.GetWritePath().empty());
    }
    EXPECT_EQ(Folder(), (Files{{"other.dbf", "other"},
                               {"zones.dbf", "new.dbf"},
                               {"zones.gdb", "new.gdb"},
                               {"zones.vec", "new.vec"}}));
}

TEST_F(ResultFilesTest, AReplacedLayerLosesTheFilesOfItsKindNotWrittenAgain)
{
    for (const char* name : {"zones.gdb", "zones.vec", "ZONES.DBF", "zones.spx", "zones.fpt", "zones.txt"})
        WriteWholeFile(dir.File(name), "old");
    CResultFiles files(dir.File("zones.gdb"));
    ASSERT_TRUE(files.Reserve());
    Write(files, {"gdb", "vec", "dbf"}, "new");
    ASSERT_TRUE(files.Commit());
    // The old index and memo file would not match the new data; a file of
    // another kind is no part of the layer.
    const Files after = Folder();
    EXPECT_EQ(after.size(), 4u);
    EXPECT_EQ(after.at("zones.gdb"), "new.gdb");
    EXPECT_EQ(after.at("zones.vec"), "new.vec");
    EXPECT_EQ(ReadWholeFile(dir.File("zones.dbf")), "new.dbf");
    EXPECT_EQ(after.at("zones.txt"), "old");
}

TEST_F(ResultFilesTest, WhatIsNotCommittedGoesAndTheOldLayerStays)
{
    for (const char* name : {"zones.gdb", "zones.vec", "zones.dbf"})
        WriteWholeFile(dir.File(name), "old");
    const Files before = Folder();
    {
        CResultFiles files(dir.File("zones.gdb"));
        ASSERT_TRUE(files.Reserve());
        Write(files, {"gdb", "vec", "dbf", "spx"}, "new");
        // A writer that writes beside its file and renames, stopped midway.
        WriteWholeFile(GetPathFolder(files.GetWritePath()) + "~" + GetPathFileName(files.GetWritePath()), "work");
    }
    EXPECT_EQ(Folder(), before);

    CResultFiles files(dir.File("zones.gdb"));
    ASSERT_TRUE(files.Reserve());
    Write(files, {"gdb"}, "new");
    files.Discard();
    EXPECT_EQ(Folder(), before);
    EXPECT_FALSE(files.Commit());
}

TEST_F(ResultFilesTest, AFolderOfTheNameIsNoFileToReplace)
{
    for (const char* name : {"zones.gdb", "zones.vec", "zones.spx"})
        WriteWholeFile(dir.File(name), "old");
    ASSERT_TRUE(MakeFolder(dir.File("zones.dbf")));
    WriteWholeFile(dir.File("zones.dbf/inside.txt"), "kept");
    const Files before = Folder();
    CResultFiles files(dir.File("zones.gdb"));
    ASSERT_TRUE(files.Reserve());
    Write(files, {"gdb", "vec", "dbf"}, "new");
    EXPECT_FALSE(files.Commit());
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(ReadWholeFile(dir.File("zones.dbf/inside.txt")), "kept");
}

TEST_F(ResultFilesTest, TwoWritersOfOneNameWriteApart)
{
    CResultFiles first(dir.File("zones.gdb"));
    CResultFiles second(dir.File("zones.gdb"));
    ASSERT_TRUE(first.Reserve());
    ASSERT_TRUE(second.Reserve());
    EXPECT_NE(first.GetWritePath(), second.GetWritePath());
    // A title left over from a program that ended abruptly is passed by.
    const std::string leftover = ChangeExtensionCopy(first.GetWritePath(), "spx");
    first.Discard();
    WriteWholeFile(leftover, "stale");
    CResultFiles third(dir.File("zones.gdb"));
    ASSERT_TRUE(third.Reserve());
    EXPECT_NE(GetPathTitle(third.GetWritePath()), GetPathTitle(leftover));
}

TEST_F(ResultFilesTest, NoFolderToWriteInReservesNothing)
{
    CResultFiles missing(dir.File("absent/zones.gdb"));
    EXPECT_FALSE(missing.Reserve());
    EXPECT_TRUE(missing.GetWritePath().empty());
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes in any folder";
    ASSERT_TRUE(MakeFolder(dir.File("locked")));
    std::filesystem::permissions(ResolvePath(dir.File("locked")), std::filesystem::perms::owner_read |
                                                                       std::filesystem::perms::owner_exec);
    CResultFiles locked(dir.File("locked/zones.gdb"));
    EXPECT_FALSE(locked.Reserve());
    std::filesystem::permissions(ResolvePath(dir.File("locked")), std::filesystem::perms::owner_all);
}

TEST(ResultFilesKinds, TheFilesOfALayerFollowItsDataFile)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"/m/a.gdb", {"/m/a.gdb", "/m/a.vec", "/m/a.dbf", "/m/a.fpt", "/m/a.spx"}},
        {"/m/a.shp", {"/m/a.shp", "/m/a.shx", "/m/a.dbf", "/m/a.fpt", "/m/a.spx"}},
        {"/m/a.dbf", {"/m/a.dbf", "/m/a.fpt", "/m/a.spx"}},
        {"/m/a.trk", {"/m/a.trk", "/m/a.fpt", "/m/a.spx"}},
        {"/m/a.rmp", {"/m/a.rmp"}},
    };
    for (const auto& [path, files] : cases)
        EXPECT_EQ(CResultFiles::LayerFiles(path), files) << path;
}

} // namespace
