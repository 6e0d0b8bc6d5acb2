// What the search result windows do with a hit or a candidate, without
// their windows: show, inform, delete on the hit's own file; the texts of
// the object choice; the calculation parameters' lists.
#include "search/CalcParams.h"
#include "search/ObjectActions.h"
#include "search/ObjectChoice.h"
#include "search/TextSearch.h"

#include "layers/LayerReader.h"
#include "tests/search/FindTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SearchResults : public CFindFixture {
protected:
    // A layer of two files: "Liepa", "Klevas" in the first, "Liepa" in the second.
    CLayer& AddTiles()
    {
        CLayer& tiles =
            AddLayer("Plyteles", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, {{"Liepa"}, {"Klevas"}}, "NAME", "tile0");
        AddLayer("Kita", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, {{"Uosis"}, {"Liepa"}}, "NAME", "tile1");
        tiles.SetPath(dir.File("plyteles.gdb"));
        tiles.AddFile(dir.File("tile0.gdb"));
        tiles.AddFile(dir.File("tile1.gdb"));
        return tiles;
    }
    bool IsLive(const std::string& path, int record)
    {
        CLayerReader reader;
        EXPECT_TRUE(reader.Open(path));
        CDbfTable& table = reader.GetSource()->GetTable();
        return table.GoToRecord(record) && !table.IsDeleted();
    }
};

TEST_F(SearchResults, EachHitOnTheFileItWasFoundIn)
{
    CLayer& tiles = AddTiles();
    CTextSearchResults results;
    ASSERT_TRUE(SearchLayerText(tiles, CTextPattern("liepa"), false, results, nullptr));
    ASSERT_EQ(results.GetCount(), 2);
    ASSERT_EQ(results.GetHit(1).file, 1);

    ShowTextHit(results, 1, view);
    ASSERT_EQ(Marks(), 1);
    // The second file's record 1 lies 50 metres east of the first's record 0.
    EXPECT_NEAR(view.GetMapExtent().Center().x, 150, 1);
    ShowTextHitInfo(results, 1, doc);
    ASSERT_FALSE(host.infoLines.empty());
    EXPECT_EQ(host.infoLines[0], "Name\tLiepa");
    EXPECT_EQ(tiles.GetPath(), dir.File("plyteles.gdb"));
    EXPECT_TRUE(tiles.HasFlag(CLayer::kManyFiles));

    user.answers = {IDYES};
    EXPECT_TRUE(DeleteTextHit(results, 1, doc));
    EXPECT_FALSE(IsLive(dir.File("tile1.gdb"), 1));
    EXPECT_TRUE(IsLive(dir.File("tile0.gdb"), 1));
    EXPECT_EQ(tiles.GetPath(), dir.File("plyteles.gdb"));
}

TEST_F(SearchResults, ADeleteRefusedOrFailedSaysWhy)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa"});
    CTextSearchResults results;
    ASSERT_TRUE(SearchLayerText(trees, CTextPattern("liepa"), false, results, nullptr));
    trees.SetFlag(CLayer::kObjectsEditable, false);
    EXPECT_FALSE(DeleteTextHit(results, 0, doc));
    trees.SetFlag(CLayer::kObjectsEditable, true);
    user.answers = {IDNO};
    EXPECT_FALSE(DeleteTextHit(results, 0, doc));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1021, 2006}));
    EXPECT_TRUE(IsLive(trees.GetPath(), 0));
}

TEST_F(SearchResults, TheObjectChoiceNamesItsCandidates)
{
    CLayer& tiles = AddTiles();
    CLayer& nameless = AddLayer("Be vardu", CLayer::kPoint, {{"NAME", 'C', 10, 0}}, {{"X"}, {"Y"}}, "KITAS");
    doc.AddLayer(std::make_unique<CLayer>("Rastras", dir.File("r.tif"), CLayer::kRaster), false);
    CLayer* raster = doc.Layers().FindByName("Rastras");
    const std::vector<CObjectCandidate> candidates = {
        {"Tekstas"}, {"", &tiles, 1, 0}, {"", &tiles, 0, 1}, {"", &nameless, -1, 1}, {"", raster, -1, 0},
    };
    EXPECT_EQ(ObjectCandidateTexts(candidates),
              (std::vector<std::string>{"Tekstas", "Uosis", "Klevas", "<0001>", "Rastras"}));
    EXPECT_EQ(tiles.GetPath(), dir.File("plyteles.gdb"));
}

TEST(CalcParams, UnitsByModeFieldsByCaption)
{
    EXPECT_EQ(CCalcParams::UnitTexts(CCalcParams::kLengths), (std::vector<std::string>{"m", "km"}));
    EXPECT_EQ(CCalcParams::UnitTexts(CCalcParams::kAreas), (std::vector<std::string>{"kv. m", "kv. km"}));
    CTempDir dir;
    CDbfTable table;
    ASSERT_TRUE(table.Create(dir.File("t.dbf"), FieldList({{"ILGIS", 'N', 10, 2}, {"NAME", 'C', 10, 0}}).data()));
    const CDbfTable::CAliasMap aliases{{"Ilgis", "Ilgis km"}};
    table.SetFieldAliases(&aliases);
    EXPECT_EQ(CCalcParams::FieldCaptions(table), (std::vector<std::string>{"Ilgis km", "Name"}));
}

} // namespace
