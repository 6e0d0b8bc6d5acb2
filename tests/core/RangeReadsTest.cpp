#include "core/RangeReads.h"

#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CRangeRead Range(int64_t offset, int64_t length)
{
    CRangeRead range;
    range.offset = offset;
    range.length = length;
    return range;
}

std::string Text(const CRangeRead& range)
{
    return std::string(range.bytes.begin(), range.bytes.end());
}

} // namespace

TEST(RangeReads, EachRangeGetsItsOwnBytesWhereverTheReadsJoin)
{
    // Bytes i % 251, so every offset tells what stands there.
    std::vector<unsigned char> data(300000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i % 251);
    const CMemoryStream stream(data.data(), data.size());
    std::vector<CRangeRead> ranges = {
        Range(0, 10),
        Range(12, 5),         // close by: read with the first
        Range(12, 5),         // the same again
        Range(8, 4),          // back before the last
        Range(5000, 0),       // nothing wanted
        Range(9000, 300),     // far on
        Range(9300, 70000),   // adjoining, but past the span of one read
        Range(299990, 50),    // cut short by the end
        Range(400000, 8),     // past the end
        Range(-5, 8),         // before the start
    };
    ReadRanges(stream, ranges, ranges.size());
    const auto expected = [&](int64_t offset, int64_t length) {
        std::string bytes;
        for (int64_t i = offset; i < offset + length && i < int64_t(data.size()); ++i)
            bytes += static_cast<char>(data[size_t(i)]);
        return bytes;
    };
    for (size_t i = 0; i < ranges.size(); ++i) {
        SCOPED_TRACE(i);
        const CRangeRead& r = ranges[i];
        EXPECT_EQ(Text(r), r.offset < 0 ? "" : expected(r.offset, r.length));
    }
    EXPECT_EQ(ranges[7].bytes.size(), 10u);

    // Lengths that would make the reader hold more than its budget are
    // left unread; the ranges before them, and small ones after that still
    // fit, are read.
    std::vector<CRangeRead> greedy;
    for (int i = 0; i < 40; ++i)
        greedy.push_back(Range(0, kRangeBudgetBytes / 16 + 1));
    greedy.push_back(Range(100, 10));
    ReadRanges(stream, greedy, greedy.size());
    size_t read = 0;
    for (const CRangeRead& r : greedy)
        read += r.bytes.size();
    EXPECT_LE(int64_t(read), kRangeBudgetBytes);
    EXPECT_EQ(Text(greedy[0]), expected(0, int64_t(data.size())));
    EXPECT_TRUE(greedy[15].bytes.empty());
    EXPECT_EQ(Text(greedy.back()), expected(100, 10));
}
