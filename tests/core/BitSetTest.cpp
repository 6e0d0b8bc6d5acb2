#include "core/BitSet.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Walk(const CBitSet& set)
{
    std::vector<int> bits;
    for (int i = set.FindNext(-1); i >= 0; i = set.FindNext(i))
        bits.push_back(i);
    return bits;
}

} // namespace

TEST(BitSet, AllocateAndWalkOverWordBorders)
{
    CBitSet set;
    EXPECT_EQ(set.FindNext(-1), -1);
    ASSERT_TRUE(set.Allocate(33));
    EXPECT_EQ(set.GetWordCount(), 2);
    EXPECT_EQ(set.GetBitCount(), 33);
    EXPECT_EQ(set.FindNext(-1), -1);
    set.Set(31);
    set.Set(32);
    EXPECT_EQ(set.FindNext(-1), 31);
    EXPECT_EQ(set.FindNext(31), 32);
    EXPECT_EQ(set.FindNext(32), -1);
    EXPECT_EQ(set.FindNext(1000), -1);

    // Empty words are skipped whole; the walk comes in record order.
    ASSERT_TRUE(set.Allocate(1000));
    EXPECT_EQ(set.GetWordCount(), 32);
    for (int i : {999, 0, 64, 65, 500, 31})
        set.Set(i);
    EXPECT_EQ(Walk(set), (std::vector<int>{0, 31, 64, 65, 500, 999}));
    EXPECT_EQ(set.FindNext(998), 999);
    EXPECT_EQ(set.FindNext(999), -1);
    // Bits outside the set are ignored.
    set.Set(1000);
    set.Set(-1);
    EXPECT_EQ(Walk(set).size(), 6u);
}

TEST(BitSet, EmptyAndFreed)
{
    CBitSet set;
    EXPECT_FALSE(set.Allocate(0));
    EXPECT_FALSE(set.Allocate(-5));
    EXPECT_EQ(set.GetWordCount(), 0);
    EXPECT_EQ(set.FindNext(-1), -1);
    set.Set(0);
    EXPECT_EQ(set.FindNext(-1), -1);

    ASSERT_TRUE(set.Allocate(1));
    set.Set(0);
    EXPECT_EQ(set.FindNext(-1), 0);
    EXPECT_EQ(set.FindNext(0), -1);
    // A new allocation starts clear.
    ASSERT_TRUE(set.Allocate(64));
    EXPECT_EQ(set.FindNext(-1), -1);
    set.Set(63);
    set.Free();
    EXPECT_EQ(set.GetBitCount(), 0);
    EXPECT_EQ(set.FindNext(-1), -1);
}
