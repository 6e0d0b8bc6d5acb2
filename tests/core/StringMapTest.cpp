#include "core/StringMap.h"

#include <gtest/gtest.h>

TEST(StringMap, KeepsTheOrderPairsWereFirstSetIn)
{
    CStringMap map;
    map.SetAt("PAV", "Pavadinimas");
    map.SetAt("KODAS", "Kodas");
    map.SetAt("ID", "Kodas");
    map.SetAt("PAV", "Vardas"); // replaced in place
    std::vector<CStringMap::Pair> pairs(map.begin(), map.end());
    EXPECT_EQ(pairs, (std::vector<CStringMap::Pair>{{"PAV", "Vardas"}, {"KODAS", "Kodas"}, {"ID", "Kodas"}}));
    EXPECT_EQ(*map.FindKeyOf("Kodas"), "KODAS");
    EXPECT_EQ(map.Find("pav"), nullptr);

    EXPECT_TRUE(map.RemoveKey("PAV"));
    EXPECT_FALSE(map.RemoveKey("PAV"));
    std::string value;
    ASSERT_TRUE(map.Lookup("ID", value));
    EXPECT_EQ(value, "Kodas");
    map.SetAt("ID", "Nr");
    EXPECT_EQ(map.begin()->first, "KODAS");
    EXPECT_EQ(*map.Find("ID"), "Nr");
    EXPECT_EQ(map.GetCount(), 2);

    CStringMap copy = map;
    EXPECT_EQ(copy, map);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(*copy.Find("KODAS"), "Kodas");
}
