// The text search of the find sheet: how a typed text compares with the
// attribute texts, the hits of a layer and of the checked layers of the
// search tree.
#include "search/TextSearch.h"

#include "tests/search/FindTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(TextPattern, LetterCaseCountsOnlyForMixedTextsAndOneCapital)
{
    const struct {
        std::string typed;
        bool keepsCase;
    } cases[] = {
        {"vilnius", false}, {"VILNIUS", false}, {"Vilnius", true}, {"V", true},  {"v", false},
        {"V1", false},      {Cp("Š"), true},    {Cp("ŠIAULIŲ"), false},       {Cp("šIAULIŲ"), true},
        {"12", false},      {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTextPattern::KeepsCaseOf(c.typed), c.keepsCase) << c.typed;
}

TEST(TextPattern, AccentsNeverCountCaseAsTheTextSays)
{
    const struct {
        std::string typed;
        char type;
        std::string text;
        bool matches;
    } cases[] = {
        {"vilnius", 'C', "VILNIUS G.", true},
        {"VILNIUS", 'C', "Vilnius", true},
        {"Vilnius", 'C', "VILNIUS", false},
        {"Vilnius", 'C', "Vilniaus", false},
        {"Vilnius", 'C', "g. Vilnius", true},
        {"V", 'C', "avilys", false},
        {"V", 'C', "Kaunas V.", true},
        {"siauliu", 'C', Cp("Šiaulių"), true},
        {"siauliu", 'C', Cp("ŠIAULIŲ"), true},
        {Cp("Šiaulių"), 'C', "Siauliu g.", true},
        {Cp("ąžuolas"), 'C', "AZUOLAS", true},
        {"azuolas", 'M', Cp("Senas Ąžuolas"), true},
        // Numbers and the other types as they are stored.
        {"12.5", 'N', "12.50", true},
        {"12,5", 'N', "12.50", false},
        {"2.50", 'F', "112.50", true},
        // The typed text is folded, the stored one is not.
        {"t", 'L', "T", true},
        {"Ab", 'D', "20240101", false},
        {"", 'C', "x", false},
        {"long text", 'C', "long", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTextPattern(c.typed).Matches(c.type, c.text), c.matches) << c.typed << " in " << c.text;
}

// "layer:record:field name:text" of every hit.
std::string Hits(const CTextSearchResults& results)
{
    std::ostringstream out;
    for (int i = 0; i < results.GetCount(); ++i) {
        const CTextHit& hit = results.GetHit(i);
        out << (i ? " | " : "") << results.GetLayerName(i) << ':' << hit.record << ':' << results.GetFieldName(i)
            << ':' << hit.text;
        if (hit.file >= 0)
            out << ":file" << hit.file;
    }
    return out.str();
}

class TextSearch : public CFindFixture {
protected:
    CLayer& AddStreets(const std::string& name = "Gatves", const std::string& nameField = "NAME")
    {
        return AddLayer(name, CLayer::kLine, {{"NAME", 'C', 30, 0}, {"CITY", 'C', 20, 0}, {"LEN", 'N', 8, 2}},
                        {{"Vilniaus g.", "Kaunas", "12.5"},
                         {"Kauno g.", "VILNIUS", "3"},
                         {Cp("Pylimo g."), Cp("Šiauliai"), "112.5"}},
                        nameField);
    }
    std::string Search(CLayer& layer, const std::string& text, bool nameOnly)
    {
        CTextSearchResults results;
        EXPECT_TRUE(SearchLayerText(layer, CTextPattern(text), nameOnly, results, nullptr));
        return Hits(results);
    }
};

TEST_F(TextSearch, EachRecordOnceByItsFirstMatchingField)
{
    CLayer& streets = AddStreets();
    streets.FieldAliases().SetAt("City", "Miestas");
    streets.SetFlag(CLayer::kHasAliases, true);
    EXPECT_EQ(Search(streets, "vilni", false),
              "Gatves:0:Name:Vilniaus g. | Gatves:1:Miestas:VILNIUS");
    EXPECT_EQ(Search(streets, "vilni", true), "Gatves:0:Name:Vilniaus g.");
    EXPECT_EQ(Search(streets, "Vilni", false), "Gatves:0:Name:Vilniaus g.");
    EXPECT_EQ(Search(streets, "siaul", false), Cp("Gatves:2:Miestas:Šiauliai"));
    // Numbers as the table stores them, with their decimals.
    EXPECT_EQ(Search(streets, "12.50", false), "Gatves:0:Len:12.50 | Gatves:2:Len:112.50");
    EXPECT_EQ(Search(streets, "Sodo", false), "");
}

TEST_F(TextSearch, LayersWithoutWhatIsAskedGiveNoHits)
{
    CLayer& unnamed = AddStreets("Be vardo", "NOPE");
    EXPECT_EQ(Search(unnamed, "vilni", true), "");
    EXPECT_EQ(Search(unnamed, "vilni", false), "Be vardo:0:Name:Vilniaus g. | Be vardo:1:City:VILNIUS");
    CLayer& missing = AddStreets("Dingo");
    missing.SetPath(dir.File("nera.gdb"));
    EXPECT_EQ(Search(missing, "vilni", false), "");
    CLayer& raster = AddStreets("Rastras");
    raster.SetType(CLayer::kRaster);
    EXPECT_EQ(Search(raster, "vilni", false), "");
}

TEST_F(TextSearch, ALayerOfSeveralFilesIsSearchedFileByFileItsPathKept)
{
    CLayer& tiles = AddLayer("Plyteles", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, {{"Liepa"}, {"Klevas"}}, "NAME",
                             "tile0");
    AddLayer("Antra", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, {{"Klevas"}, {"Liepa"}, {"Liepa"}}, "NAME", "tile1");
    const std::string own = dir.File("plyteles.gdb");
    tiles.SetPath(own);
    tiles.AddFile(dir.File("tile0.gdb"));
    tiles.AddFile(dir.File("tile1.gdb"));
    EXPECT_EQ(Search(tiles, "liepa", false),
              "Plyteles:0:Name:Liepa:file0 | Plyteles:1:Name:Liepa:file1 | Plyteles:2:Name:Liepa:file1");
    EXPECT_EQ(tiles.GetPath(), own);
    EXPECT_TRUE(tiles.HasFlag(CLayer::kManyFiles));

    // Stopped inside a file, the path comes back too.
    CTextSearchResults results;
    int asked = 0;
    std::vector<std::vector<std::string>> many(5000, {"Liepa"});
    CLayer& big = AddLayer("Didele", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, many, "NAME", "big0");
    big.SetPath(dir.File("didele.gdb"));
    big.AddFile(dir.File("big0.gdb"));
    EXPECT_FALSE(SearchLayerText(big, CTextPattern("liepa"), false, results, [&] { return ++asked == 1; }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(results.GetCount(), 4095);
    EXPECT_EQ(big.GetPath(), dir.File("didele.gdb"));
    EXPECT_TRUE(big.HasFlag(CLayer::kManyFiles));
}

TEST_F(TextSearch, TheSearchEndsAfterTheHitPastTheLimit)
{
    std::vector<std::vector<std::string>> rows(CTextSearchResults::kMostHits + 5, {"Liepa"});
    CLayer& first = AddLayer("Pirmas", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, rows);
    AddNamedPoints("Antras", {"Liepa"});
    const std::vector<CSearchTreeItem> tree = BuildSearchTree(doc);
    CTextSearchResults results;
    EXPECT_EQ(SearchCheckedLayers(tree, [](int) { return true; }, CTextPattern("liepa"), false, results, nullptr),
              TextSearchEnd::kFull);
    EXPECT_EQ(results.GetCount(), CTextSearchResults::kMostHits + 1);
    EXPECT_EQ(results.GetHit(results.GetCount() - 1).layer, &first);
    EXPECT_EQ(results.GetFieldNameCount(), 1);
}

// "parent:text:image" of every item.
std::string Tree(const std::vector<CSearchTreeItem>& tree)
{
    std::ostringstream out;
    for (size_t i = 0; i < tree.size(); ++i)
        out << (i ? " " : "") << tree[i].parent << ':' << tree[i].text << ':' << tree[i].image;
    return out.str();
}

TEST_F(TextSearch, TheTreeHoldsTheLegendsLayersAndGroups)
{
    auto layer = [](const std::string& name, int type, uint32_t flags = CLayer::kDefaultFlags) {
        auto made = std::make_unique<CLayer>(name, "/nowhere/" + name + ".gdb", type);
        made->SetFlags(flags);
        return made;
    };
    auto group = [](const std::string& name, int members, uint32_t flags) {
        auto made = std::make_unique<CLayer>(name, "", -1);
        made->SetFlags(CLayer::kGroup | flags);
        made->SetMemberCount(members);
        return made;
    };
    CLayerArray& layers = doc.Layers();
    layers.Add(layer("Taskai", CLayer::kPoint));
    layers.Add(group("Gamta", 2, CLayer::kWorking));
    layers.Add(layer("Upe", CLayer::kLine));
    layers.Add(group("Vidine", 1, CLayer::kWorking));
    layers.Add(layer("Parkai", CLayer::kArea));
    layers.Add(layer("Reljefas", CLayer::kRaster));
    layers.Add(group("Paslepta", 1, 0));
    layers.Add(layer("Namai", CLayer::kArea));
    layers.Add(layer("Nedarbinis", CLayer::kPoint, CLayer::kShown));
    layers.Add(layer("Trasa", CLayer::kTrack));
    doc.Settings().legendType = 1; // working layers only
    EXPECT_EQ(Tree(BuildSearchTree(doc)),
              "-1:[.]:0 0:Taskai:2 0:[Gamta]:1 2:Upe:3 2:[Vidine]:1 4:Parkai:4 0:Reljefas:1 0:Trasa:5");
}

TEST_F(TextSearch, TheCheckedLayersInTreeOrderUntilStopped)
{
    AddNamedPoints("A", {"Liepa", "Klevas"});
    AddNamedPoints("B", {"Liepa g."});
    const std::vector<CSearchTreeItem> tree = BuildSearchTree(doc);
    ASSERT_EQ(tree.size(), 3u);
    const CTextPattern liepa("liepa");
    const auto all = [](int) { return true; };
    const auto secondOnly = [](int item) { return item != 1; };
    CTextSearchResults results;
    EXPECT_EQ(SearchCheckedLayers(tree, secondOnly, liepa, false, results, nullptr), TextSearchEnd::kDone);
    EXPECT_EQ(Hits(results), "B:0:Name:Liepa g.");

    results.Clear();
    EXPECT_EQ(SearchCheckedLayers(tree, [](int item) { return item != 0; }, liepa, false, results, nullptr),
              TextSearchEnd::kNothingChecked);
    EXPECT_EQ(results.GetCount(), 0);

    // Asked before every checked layer: a yes before the second keeps the first's hits.
    int asked = 0;
    EXPECT_EQ(SearchCheckedLayers(tree, all, liepa, false, results, [&] { return ++asked == 2; }),
              TextSearchEnd::kStopped);
    EXPECT_EQ(Hits(results), "A:0:Name:Liepa");
}

TEST_F(TextSearch, AVeryLongTextRuns)
{
    CLayer& points = AddNamedPoints("A", {"Liepa"});
    EXPECT_EQ(Search(points, std::string(10000, 'a'), false), "");
}

} // namespace
