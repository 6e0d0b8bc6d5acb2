#include "core/FileUtil.h"
#include "tests/support/TestSupport.h"

#include "platform/Path.h"
#include "platform/Stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(FileUtil, ExtensionsFoldersAndTitles)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* title;
        const char* fileName;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\maps\\roads.dbf", "C:\\maps\\", "roads", "roads.dbf", "dbf"},
        {"roads.dbf", "roads.dbf", "roads", "roads.dbf", "dbf"},
        {"C:\\a.b\\file", "C:\\a.b\\", "file", "file", ""},
        {"/home/u/maps/x.tar.gz", "/home/u/maps/", "x.tar", "x.tar.gz", "gz"},
        {"\\x.gdb", "\\x.gdb", "x", "x.gdb", "gdb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPathFolder(c.path), c.folder) << c.path;
        EXPECT_EQ(GetPathTitle(c.path), c.title) << c.path;
        EXPECT_EQ(GetPathFileName(c.path), c.fileName) << c.path;
        EXPECT_EQ(GetPathExtension(c.path), c.extension) << c.path;
    }
    // The last point anywhere counts for ChangeExtension, a folder's too.
    EXPECT_EQ(ChangeExtensionCopy("C:\\a.b\\file", "dbf"), "C:\\a.dbf");
    EXPECT_EQ(ChangeExtensionCopy("C:\\maps\\roads.gdb", "vec"), "C:\\maps\\roads.vec");
    EXPECT_EQ(ChangeExtensionCopy("roads", "dbf"), "roads.dbf");
    EXPECT_EQ(CopyWithDefaultExtension("roads", "map"), "roads.map");
    EXPECT_EQ(CopyWithDefaultExtension("roads.x", "map"), "roads.x");
    EXPECT_EQ(MakePathWithExtension("C:\\a.b\\file.dbf", ".FPT"), "C:\\a.b\\file.FPT");
    EXPECT_EQ(MakePathWithExtension("C:\\a.b\\file", ".FPT"), "C:\\a.b\\file.FPT");
    EXPECT_EQ(MakeTildePath("C:\\maps\\roads.dbf"), "C:\\maps\\~roads.dbf");
    EXPECT_EQ(MakeTildePath("/maps/roads.dbf"), "/maps/~roads.dbf");
    EXPECT_EQ(MakeTildePath("roads.dbf"), "~roads.dbf");
}

TEST(FileUtil, RelativeAndAbsolutePaths)
{
    struct Case {
        const char* path;
        const char* base;
        const char* relative;
    };
    const Case relative[] = {
        {"C:\\Maps\\Data\\x.dbf", "c:\\maps\\city\\", "..\\Data\\x.dbf"},
        {"D:\\x.dbf", "C:\\maps\\", "D:\\x.dbf"},
        {"C:\\maps\\city\\x.dbf", "C:\\maps\\city\\", "x.dbf"},
        {"C:\\x.dbf", "C:\\maps\\", "..\\x.dbf"},
        {"/home/u/data/x.gdb", "/home/u/maps/", "..\\data\\x.gdb"},
        {"/home/u/maps/sub/x.gdb", "/home/u/maps/", "sub\\x.gdb"},
        {"/data/x.gdb", "/maps/", "/data/x.gdb"},
    };
    for (const Case& c : relative)
        EXPECT_EQ(MakeRelativePath(c.path, c.base), c.relative) << c.path << " from " << c.base;

    const Case absolute[] = {
        {"..\\data\\roads.dbf", "C:\\maps\\city\\", "C:\\maps\\data\\roads.dbf"},
        {"roads.dbf", "C:\\maps\\city\\", "C:\\maps\\city\\roads.dbf"},
        {"..\\..\\..\\x.dbf", "C:\\a\\", "..\\..\\..\\x.dbf"},
        {"D:\\x.dbf", "C:\\maps\\", "D:\\x.dbf"},
        {"\\\\server\\x.dbf", "C:\\maps\\", "\\\\server\\x.dbf"},
        {"/srv/x.dbf", "/home/u/maps/", "/srv/x.dbf"},
        {"..\\data\\x.gdb", "/home/u/maps/", "/home/u/data\\x.gdb"},
        {"../../x.gdb", "/a/b/", "/x.gdb"},
        {"..\\..\\..\\x.gdb", "/a/b/", "..\\..\\..\\x.gdb"},
        {"\\data\\x.gdb", "C:\\maps\\", "C:\\data\\x.gdb"},
    };
    for (const Case& c : absolute)
        EXPECT_EQ(MakeAbsolutePath(c.path, c.base), c.relative) << c.path << " from " << c.base;
}

TEST(FileUtil, WindowsWrittenRelativePathResolvesOnDisk)
{
    CTempDir dir;
    ASSERT_EQ(::mkdir(ResolvePath(dir.File("Data")).c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(ResolvePath(dir.File("maps")).c_str(), 0755), 0);
    WriteWholeFile(dir.File("Data/X.GDB"), "gdb");
    std::string absolute = MakeAbsolutePath("..\\data\\x.gdb", dir.File("maps/"));
    EXPECT_EQ(ReadWholeFile(absolute), "gdb");
    EXPECT_EQ(MakeRelativePath(dir.File("Data/X.GDB"), dir.File("maps/")), "..\\Data\\X.GDB");
}

TEST(FileUtil, SplitLinesAndTrim)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\r\n\r\nb\n", {"a", "", "b"}},
        {"", {}},
        {"\n", {""}},
        {"last", {"last"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines{"kept"};
        SplitLines(c.text, lines);
        std::vector<std::string> expected{"kept"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(lines, expected) << c.text;
    }
    std::string t = "Vilnius   ";
    TrimTrailingBlanks(t);
    EXPECT_EQ(t, "Vilnius");
    t = "   ";
    TrimTrailingBlanks(t);
    EXPECT_EQ(t, "");
}

TEST(FileUtil, Checksum16RotatesAndAdds)
{
    const uint16_t one[] = {0x8001};
    const uint16_t two[] = {0x8000, 0x0001};
    EXPECT_EQ(Checksum16(one, 1), 0x8001);
    EXPECT_EQ(Checksum16(two, 2), 0x0002);
    EXPECT_EQ(Checksum16(two, 0), 0);
    const unsigned char bytes[] = {0x00, 0x80, 0x01, 0x00};
    EXPECT_EQ(Checksum16Bytes(bytes, 2), 0x0002);
    // The sum wraps modulo 65536.
    const uint16_t wrap[] = {0xFFFF, 0x0003};
    EXPECT_EQ(Checksum16(wrap, 2), static_cast<uint16_t>(0xFFFF + 0x0003));
}

TEST(FileUtil, TemporaryFilesAndReadOnlyTest)
{
    std::string temp = MakeTempFileName();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(GetPathFileName(temp).substr(0, 2), "dr");
    EXPECT_TRUE(FileExists(temp));
    EXPECT_EQ(ReadWholeFile(temp), "");
    EXPECT_FALSE(IsFileReadOnly(temp));
    std::string second = MakeTempFileName();
    EXPECT_NE(second, temp);
    RemoveFile(second);
    RemoveFile(temp);
    EXPECT_TRUE(IsFileReadOnly(temp)); // cannot be examined: counts as read-only

    CTempDir dir;
    WriteWholeFile(dir.File("Roads.dbf"), "");
    EXPECT_TRUE(FileExists(dir.File("*.DBF")));
    EXPECT_TRUE(FileExists(dir.File("road?.dbf")));
    EXPECT_FALSE(FileExists(dir.File("*.shp")));
    WriteWholeFile(dir.File("b.MLN"), "");
    WriteWholeFile(dir.File("a.mln"), "");
    WriteWholeFile(dir.File("C.mln"), "");
    MakeFolder(dir.File("folder.mln"));
    EXPECT_EQ(FindMatchingFiles(dir.File("*.mln")), (std::vector<std::string>{"a.mln", "b.MLN", "C.mln"}));
    EXPECT_TRUE(FindMatchingFiles(dir.File("*.shp")).empty());
    EXPECT_TRUE(FindMatchingFiles(dir.File("missing/*.mln")).empty());
    EXPECT_TRUE(EqualPathsNoCase("C:\\maps\\A.map", "c:/MAPS/a.map"));
    EXPECT_FALSE(EqualPathsNoCase("C:\\maps\\A.map", "C:\\maps\\A.mapx"));
    EXPECT_FALSE(EqualPathsNoCase("C:\\maps\\A.map", "C:\\mapsXA.map"));
    if (::geteuid() != 0) { // root writes anything
        ::chmod(ResolvePath(dir.File("Roads.dbf")).c_str(), 0444);
        EXPECT_TRUE(IsFileReadOnly(dir.File("Roads.dbf")));
    }
}

TEST(FileUtil, GuardedWritesReportThroughMessages)
{
    CScriptedUserServices ui;
    CTempDir dir;
    std::string path = dir.File("t.dbf");
    WriteWholeFile(path, "0123456789");
    auto reader = CFileStream::Open(path, FileMode::Read);
    auto a = CFileStream::Open(path, FileMode::ReadWrite);
    auto b = CFileStream::Open(path, FileMode::ReadWrite);
    EXPECT_TRUE(RefuseIfReadOnly(*reader));
    EXPECT_FALSE(RefuseIfReadOnly(*a));

    ASSERT_TRUE(a->Seek(7));
    EXPECT_TRUE(LockFileForWrite(*a));
    EXPECT_EQ(a->Tell(), 7); // the position is kept
    EXPECT_FALSE(LockFileForWrite(*b)); // after the (shortened) retries
    EXPECT_TRUE(UnlockFileForWrite(*a));
    EXPECT_TRUE(LockFileForWrite(*b));
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>{1044, 1054}));
}

TEST(FileUtil, ProgramPathsAndNamedRecords)
{
    EXPECT_EQ(MakeProgramPath("Symbols\\1.ico"), GetModuleFolder() + "Symbols\\1.ico");
    EXPECT_EQ(MakeProgramPath("C:\\x\\y.ico"), "C:\\x\\y.ico");
    EXPECT_EQ(MakeProgramPath("/x/y.ico"), "/x/y.ico");
    EXPECT_EQ(MakeProgramPath("ab"), GetModuleFolder() + "ab");

    CNamedRecordArray a;
    CNamedRecordArray::Data d{};
    d[0] = 7;
    EXPECT_EQ(a.Add("NAME", d), 0);
    EXPECT_EQ(a.Add("PAV", d), 1);
    CNamedRecordArray b;
    b.CopyFrom(a);
    a.Clear();
    EXPECT_EQ(a.GetSize(), 0);
    ASSERT_EQ(b.GetSize(), 2);
    EXPECT_EQ(b[1].name, "PAV");
    EXPECT_EQ(b[1].data[0], 7);
}
