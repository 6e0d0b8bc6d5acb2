#include "platform/Stream.h"
#include "tests/support/TestSupport.h"

#include "platform/Path.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(FileStream, OpensReadsWritesAndRefusesWhatItMust)
{
    CTempDir dir;
    std::string path = dir.File("a.bin");
    int error = 0;
    EXPECT_FALSE(CFileStream::Open(path, FileMode::Read, &error));
    EXPECT_NE(error, 0);

    auto s = CFileStream::Open(path, FileMode::CreateNew);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->WriteExact("hello", 5));
    EXPECT_EQ(s->Size(), 5);
    EXPECT_FALSE(CFileStream::Open(path, FileMode::CreateNew)); // exists already

    // 64-bit offsets: a sparse write past 4 GiB.
    ASSERT_TRUE(s->Seek(int64_t(5) << 30));
    EXPECT_TRUE(s->WriteExact("z", 1));
    EXPECT_EQ(s->Size(), (int64_t(5) << 30) + 1);
    EXPECT_TRUE(s->Truncate(5));

    auto r = CFileStream::Open(path, FileMode::Read);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->IsWritable());
    EXPECT_EQ(r->Write("x", 1), 0u);
    char buf[8] = {};
    EXPECT_EQ(r->Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_FALSE(CFileStream::Open(dir.Path(), FileMode::Read)); // a folder is no file
}

TEST(FileStream, TwoHandlesOfOneProcessExcludeEachOther)
{
    CTempDir dir;
    std::string path = dir.File("t.dbf");
    WriteWholeFile(path, "data");
    auto a = CFileStream::Open(path, FileMode::ReadWrite);
    auto b = CFileStream::Open(path, FileMode::ReadWrite);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->TryLockRegion(0, 1000000000));
    EXPECT_FALSE(b->TryLockRegion(0, 1000000000));
    {
        // Closing an unrelated handle of the same file keeps the lock.
        auto c = CFileStream::Open(path, FileMode::Read);
        ASSERT_TRUE(c);
    }
    EXPECT_FALSE(b->TryLockRegion(10, 10));
    EXPECT_FALSE(LockRegionWithRetry(*b, 0, 1000000000));
    EXPECT_TRUE(a->UnlockRegion(0, 1000000000));
    EXPECT_TRUE(b->TryLockRegion(0, 1000000000));
}

TEST(FileStream, AtomicWriteLeavesTheOldFileWholeOnFailure)
{
    CTempDir dir;
    std::string path = dir.File("map.ini");
    WriteWholeFile(path, "old");
    EXPECT_FALSE(WriteFileAtomically(path, [](CStream& s) {
        s.WriteExact("half", 4);
        return false;
    }));
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_TRUE(WriteFileAtomically(path, [](CStream& s) { return s.WriteExact("new", 3); }));
    EXPECT_EQ(ReadWholeFile(path), "new");
    // No temporary is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ResolvePath(dir.Path()))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(MemoryStream, BehavesLikeAFile)
{
    CMemoryStream m;
    EXPECT_TRUE(m.WriteExact("abc", 3));
    EXPECT_TRUE(m.Seek(1));
    char c = 0;
    EXPECT_TRUE(m.ReadExact(&c, 1));
    EXPECT_EQ(c, 'b');
    EXPECT_TRUE(m.Seek(10));
    EXPECT_EQ(m.Read(&c, 1), 0u);
    EXPECT_FALSE(m.Seek(-1));
    CMemoryStream readOnly("xyz", 3);
    EXPECT_EQ(readOnly.Write("a", 1), 0u);
}
