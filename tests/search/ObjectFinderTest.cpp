// The object page of the find sheet without its window: the layers it
// offers, the names it lists, and its four buttons.
#include "search/ObjectFinder.h"

#include "layers/LayerReader.h"
#include "layers/ShapefileSource.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "tests/search/FindTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Names(const CObjectFinder& finder)
{
    std::ostringstream out;
    for (const CNameEntry& entry : finder.Names().Entries())
        out << (out.tellp() > 0 ? " " : "") << entry.text << ':' << entry.record;
    return out.str();
}

std::vector<std::string> LayerNames(const CObjectFinder& finder)
{
    std::vector<std::string> names;
    for (const CLayer* layer : finder.Layers())
        names.push_back(layer->GetName());
    return names;
}

class ObjectFinder : public CFindFixture {
protected:
    // Three objects named "Liepa", one "Klevas".
    CLayer& AddTrees()
    {
        return AddNamedPoints("Medziai", {"Liepa", "Klevas", "Liepa", "Liepa"});
    }
    bool IsLive(CLayer& layer, int record)
    {
        CLayerReader reader;
        EXPECT_TRUE(reader.Open(layer.GetPath()));
        CDbfTable& table = reader.GetSource()->GetTable();
        return table.GoToRecord(record) && !table.IsDeleted();
    }
};

TEST_F(ObjectFinder, TheLayersWithNamesOrTheActiveOneInNameOrder)
{
    CLayer& trees = AddTrees();
    AddNamedPoints("Alejos", {"A"});
    CLayer& nameless = AddLayer("Be vardu", CLayer::kPoint, {{"NAME", 'C', 10, 0}}, {{"X"}}, "");
    doc.AddLayer(std::make_unique<CLayer>("Rastras", dir.File("rastras.tif"), CLayer::kRaster), false);
    CLayer& hidden = AddNamedPoints("Nedarbinis", {"B"});
    hidden.SetFlag(CLayer::kWorking, false);
    doc.Settings().legendType = 1;
    {
        CObjectFinder finder(view);
        EXPECT_EQ(LayerNames(finder), (std::vector<std::string>{"Alejos", "Medziai"}));
        EXPECT_EQ(finder.GetStartLayer(), -1);
    }
    window.active = &trees;
    EXPECT_EQ(CObjectFinder(view).GetStartLayer(), 1);
    window.active = &nameless;
    CObjectFinder finder(view);
    EXPECT_EQ(LayerNames(finder), (std::vector<std::string>{"Alejos", "Be vardu", "Medziai"}));
    EXPECT_EQ(finder.GetStartLayer(), 1);
    // Its name field is not in its table.
    EXPECT_EQ(finder.LoadNames(1, true), CObjectFinder::kNoNameField);
    EXPECT_EQ(Names(finder), Cp("Neapibrėžtas vardo laukas.:-1"));
    EXPECT_EQ(finder.GetCountText(), "?");
    finder.Show(0);
    finder.ShowInfo(0);
    EXPECT_EQ(Marks(), 0);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ObjectFinder, AFileThatDoesNotOpenCountsNothing)
{
    CLayer& trees = AddTrees();
    trees.SetPath(dir.File("nera.gdb"));
    CObjectFinder finder(view);
    EXPECT_EQ(finder.LoadNames(0, false), CObjectFinder::kNotOpened);
    EXPECT_EQ(finder.GetCountText(), "0");
}

TEST_F(ObjectFinder, AFoldedNameStandsForAllItsObjects)
{
    AddTrees();
    CObjectFinder finder(view);
    ASSERT_EQ(finder.LoadNames(0, true), CObjectFinder::kLoaded);
    EXPECT_EQ(Names(finder), "Klevas:1 Liepa:0");
    EXPECT_EQ(finder.GetCountText(), "2");
    finder.Show(1);
    EXPECT_EQ(Marks(), 3);
    EXPECT_EQ(host.messageTexts.back(), "Liepa");
    EXPECT_EQ(FindState().lastPage, CFindState::kObjectPage);

    // Information, the record form and deleting refuse it, and do nothing else.
    form.newName = "Beržas";
    doc.Layers().GetAt(0)->SetFlags(CLayer::kDefaultFlags);
    finder.ShowInfo(1);
    EXPECT_EQ(finder.EditInfo(1), -1);
    EXPECT_FALSE(finder.Delete(1));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1038, 1038, 1038}));
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(form.editedRecords.empty());
    EXPECT_EQ(finder.GetCountText(), "2");

    // Unfolded, each object is one entry again.
    finder.SetFolded(false);
    EXPECT_EQ(Names(finder), "Klevas:1 Liepa:0 Liepa:2 Liepa:3");
    finder.Show(2);
    EXPECT_EQ(Marks(), 1);
    user.messages.clear();
    finder.ShowInfo(2);
    finder.ShowInfo(3);
    // The window closes before the first call only.
    EXPECT_EQ(host.log, (std::vector<std::string>{"close info", "info", "info"}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ObjectFinder, EditingAndDeletingNeedTheLayersLeave)
{
    CLayer& trees = AddTrees();
    CObjectFinder finder(view);
    ASSERT_EQ(finder.LoadNames(0, false), CObjectFinder::kLoaded);
    trees.SetFlags(CLayer::kShown | CLayer::kWorking);
    EXPECT_EQ(finder.EditInfo(0), -1);
    EXPECT_FALSE(finder.Delete(0));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1035, 1021}));
    EXPECT_TRUE(form.editedRecords.empty());
    EXPECT_EQ(finder.Names().GetCount(), 4);
}

TEST_F(ObjectFinder, ARenamedObjectMovesToItsNewPlace)
{
    AddTrees();
    CObjectFinder finder(view);
    ASSERT_EQ(finder.LoadNames(0, false), CObjectFinder::kLoaded);
    // Klevas:1 Liepa:0 Liepa:2 Liepa:3
    form.newName = "Uosis";
    EXPECT_EQ(finder.EditInfo(2), 3);
    EXPECT_EQ(form.editedRecords, (std::vector<int>{2}));
    EXPECT_EQ(Names(finder), "Klevas:1 Liepa:0 Liepa:3 Uosis:2");
    // An unchanged name stays where it was; a cancelled form changes nothing.
    form.newName.clear();
    EXPECT_EQ(finder.EditInfo(1), 1);
    form.accept = false;
    EXPECT_EQ(finder.EditInfo(0), -1);
    EXPECT_EQ(Names(finder), "Klevas:1 Liepa:0 Liepa:3 Uosis:2");
    // Folded again, the renamed object is no longer one of the Liepas.
    finder.SetFolded(true);
    EXPECT_EQ(finder.Names().Records(1), (std::vector<int32_t>{0, 3}));
}

TEST_F(ObjectFinder, AnEntryGoesOnlyWithItsObject)
{
    CLayer& trees = AddTrees();
    CObjectFinder finder(view);
    ASSERT_EQ(finder.LoadNames(0, false), CObjectFinder::kLoaded);
    CHintRecorder hints(doc);
    // No keeps everything.
    user.answers = {IDNO};
    EXPECT_FALSE(finder.Delete(0));
    EXPECT_TRUE(IsLive(trees, 1));
    // Yes deletes the object, the entry goes and the map is drawn anew.
    user.answers = {IDYES};
    EXPECT_TRUE(finder.Delete(0));
    EXPECT_FALSE(IsLive(trees, 1));
    EXPECT_EQ(Names(finder), "Liepa:0 Liepa:2 Liepa:3");
    EXPECT_EQ(Messages(), (std::vector<unsigned>{2006, 2006}));
    EXPECT_EQ(hints.hints, (std::vector<uint32_t>{kHintRedraw}));

    // A file that cannot be written: the engine's 1044, the entry stays.
    user.messages.clear();
    const std::string aside = trees.GetPath() + ".aside";
    std::filesystem::rename(trees.GetPath(), aside);
    user.answers = {IDYES};
    EXPECT_FALSE(finder.Delete(0));
    std::filesystem::rename(aside, trees.GetPath());
    EXPECT_EQ(Messages(), (std::vector<unsigned>{2006, 1044}));
    EXPECT_EQ(finder.Names().GetCount(), 3);
    EXPECT_TRUE(IsLive(trees, 0));
}

TEST_F(ObjectFinder, ASourceThatCannotDeleteKeepsTheEntry)
{
    const std::string path = dir.File("medziai.shp");
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, FieldList({{"NAME", 'C', 10, 0}}).data()));
        for (const char* name : {"Liepa", "Klevas"}) {
            ASSERT_TRUE(source.AppendPoint(CMapPoint(100, 500), false));
            source.GetTable().SetField(0, name);
            ASSERT_TRUE(source.GetTable().WriteRecord());
        }
    }
    auto layer = std::make_unique<CLayer>("Medziai", path, CLayer::kPoint);
    layer->SetIdField("NAME");
    layer->SetFlags(CLayer::kDefaultFlags);
    doc.AddLayer(std::move(layer), false);
    CObjectFinder finder(view);
    ASSERT_EQ(finder.LoadNames(0, false), CObjectFinder::kLoaded);
    user.answers = {IDYES};
    EXPECT_FALSE(finder.Delete(0));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{2006, 1021}));
    EXPECT_EQ(Names(finder), "Klevas:1 Liepa:0");
}

} // namespace
