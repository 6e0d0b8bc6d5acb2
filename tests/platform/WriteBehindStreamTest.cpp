#include "platform/WriteBehindStream.h"
#include "tests/support/NotingStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Bytes(const CMemoryStream& stream)
{
    return std::string(stream.Data().begin(), stream.Data().end());
}

std::string ReadAll(CStream& stream)
{
    std::string text(static_cast<size_t>(stream.Size()), '\0');
    stream.Seek(0);
    text.resize(stream.Read(text.data(), text.size()));
    return text;
}

bool WriteAt(CStream& stream, int64_t offset, const std::string& bytes)
{
    return stream.Seek(offset) && stream.WriteExact(bytes.data(), bytes.size());
}

// A table's writes: records appended one after another, each followed by
// its end mark (overwritten by the next record) and by the header.
void AppendRecords(CStream& stream, int from, int count)
{
    for (int k = from; k < from + count; ++k) {
        const std::string record = "rec" + std::to_string(1000 + k) + "|";
        ASSERT_TRUE(WriteAt(stream, 8 + int64_t(k) * 8, record));
        ASSERT_TRUE(WriteAt(stream, 16 + int64_t(k) * 8, "\x1A"));
        ASSERT_TRUE(WriteAt(stream, 0, "H" + std::to_string(10000000 + k - from).substr(1)));
    }
}

} // namespace

TEST(WriteBehindStream, HeldWritesGoOutInFewWritesRecordsBeforeTheHeader)
{
    auto inner = std::make_unique<CNotingStream>();
    CNotingStream& file = *inner;
    CMemoryStream plain;
    CWriteBehindStream stream(std::move(inner));
    stream.HoldWrites();
    AppendRecords(stream, 0, 1000);
    AppendRecords(plain, 0, 1000);
    EXPECT_TRUE(file.writes.empty());
    // This program reads what it wrote, though the file has none of it.
    EXPECT_EQ(stream.Size(), plain.Size());
    EXPECT_EQ(ReadAll(stream), Bytes(plain));
    std::string header(8, '\0');
    EXPECT_EQ(stream.ReadAt(header.data(), header.size(), 0), header.size());
    EXPECT_EQ(header, Bytes(plain).substr(0, 8));

    ASSERT_TRUE(stream.ReleaseWrites());
    EXPECT_EQ(Bytes(file), Bytes(plain));
    ASSERT_EQ(file.writes.size(), 2u);
    EXPECT_EQ(file.writes[0].offset, 8);
    EXPECT_EQ(file.writes[1].offset, 0);

    // Released, writes go straight through.
    ASSERT_TRUE(WriteAt(stream, 3, "x"));
    EXPECT_EQ(file.writes.size(), 3u);
}

TEST(WriteBehindStream, ReadsSizesAndTruncationsSeeEveryWriteAsAPlainStreamDoes)
{
    // Random writes, reads and truncations against a plain stream, the
    // hold taken and released now and then, with a bound small enough to
    // be met.
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        auto inner = std::make_unique<CNotingStream>();
        CNotingStream& file = *inner;
        CMemoryStream plain;
        CWriteBehindStream stream(std::move(inner), 300);
        const auto below = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
        for (int step = 0; step < 400; ++step) {
            const std::string what = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            const int size = static_cast<int>(plain.Size());
            switch (below(10)) {
            case 0:
                if (stream.IsHeld())
                    ASSERT_TRUE(stream.ReleaseWrites()) << what;
                else
                    stream.HoldWrites();
                break;
            case 1: {
                const int length = below(size + 20);
                ASSERT_TRUE(stream.Truncate(length)) << what;
                plain.Truncate(length);
                break;
            }
            case 2: {
                const int offset = below(size + 30), count = 1 + below(40);
                std::string got(static_cast<size_t>(count), '?'), want(static_cast<size_t>(count), '?');
                got.resize(stream.ReadAt(got.data(), got.size(), offset));
                want.resize(plain.ReadAt(want.data(), want.size(), offset));
                ASSERT_EQ(got, want) << what;
                break;
            }
            default: {
                // Mostly at or near the end, sometimes anywhere, sometimes past it.
                const int pick = below(4);
                const int offset = pick == 0 ? below(size + 1) : pick == 3 ? size + below(20) : std::max(0, size - below(8));
                std::string bytes(static_cast<size_t>(1 + below(30)), '\0');
                for (char& c : bytes)
                    c = static_cast<char>('a' + below(26));
                ASSERT_TRUE(WriteAt(stream, offset, bytes)) << what;
                ASSERT_TRUE(WriteAt(plain, offset, bytes));
                break;
            }
            }
            ASSERT_EQ(stream.Size(), plain.Size()) << what;
            ASSERT_LE(stream.WritesWaiting(), 300u + 30u) << what;
        }
        ASSERT_EQ(ReadAll(stream), Bytes(plain)) << seed;
        ASSERT_TRUE(stream.Flush()) << seed;
        ASSERT_EQ(Bytes(file), Bytes(plain)) << seed;
    }
}

TEST(WriteBehindStream, AFailedWriteDropsWhatFollowsItAndSaysSo)
{
    auto inner = std::make_unique<CNotingStream>();
    CNotingStream& file = *inner;
    CWriteBehindStream stream(std::move(inner));
    AppendRecords(stream, 0, 2);
    const std::string before = Bytes(file);
    // The file takes no more records: their header must not reach it either.
    file.failFrom = file.Size();
    stream.HoldWrites();
    AppendRecords(stream, 2, 5);
    EXPECT_FALSE(stream.ReleaseWrites());
    EXPECT_EQ(Bytes(file), before);
    EXPECT_EQ(stream.WritesWaiting(), 0u);
    EXPECT_EQ(ReadAll(stream), before);

    // A lock released sends what waits first, and says when it could not.
    stream.HoldWrites();
    ASSERT_TRUE(WriteAt(stream, 0, "Hxxxxxx"));
    EXPECT_TRUE(stream.UnlockRegion(0, 1));
    EXPECT_EQ(Bytes(file).substr(0, 7), "Hxxxxxx");
    AppendRecords(stream, 2, 1);
    EXPECT_FALSE(stream.UnlockRegion(0, 1));
}
