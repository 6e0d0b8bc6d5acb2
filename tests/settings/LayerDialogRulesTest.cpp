#include "settings/LayerDialogRules.h"

#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Path.h"
#include "tests/settings/GroupedMap.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(LayerDialogRules, FileFiltersFollowTheMaskAndTheForm)
{
    const struct {
        int mask;
        const char* filter;
    } masks[] = {
        {0, "|"},
        {1, "Drel GDB Files (*.gdb)|*.gdb||"},
        {3, "Drel GDB Files (*.gdb)|*.gdb|DBF Files (*.dbf)|*.dbf||"},
        {4, "Drel Track Files (*.trk)|*.trk||"},
        {9, "Drel GDB Files (*.gdb)|*.gdb|ESRI Shapefiles (*.shp)|*.shp||"},
        {15, "Drel GDB Files (*.gdb)|*.gdb|DBF Files (*.dbf)|*.dbf|Drel Track Files (*.trk)|*.trk|"
             "ESRI Shapefiles (*.shp)|*.shp||"},
    };
    for (const auto& m : masks)
        EXPECT_EQ(NewLayerFileFilter(m.mask), m.filter) << m.mask;

    const struct {
        bool vector, elevation;
        const char* filter;
    } forms[] = {
        {true, false, "Drel GDB Files (*.gdb)|*.gdb|DBF Files (*.dbf)|*.dbf|Drel TRK Files (*.trk)|*.trk||"},
        {true, true, "Drel GDB Files (*.gdb)|*.gdb|DBF Files (*.dbf)|*.dbf|Drel TRK Files (*.trk)|*.trk||"},
        {false, true, "Drel Elevation Model Files (*.rmp)|*.rmp||"},
        {false, false, "DBF Files (*.dbf)|*.dbf||"},
    };
    for (const auto& f : forms) {
        CLayerFileOptions options;
        options.vectorFiles = f.vector;
        options.elevationFiles = f.elevation;
        EXPECT_EQ(LayerFileFilter(options), f.filter) << f.vector << f.elevation;
    }
}

TEST(LayerDialogRules, ANewLayerNeedsAFreeNameAndAFileNoOpenMapHolds)
{
    CTempDir dir;
    CScriptedUserServices user;
    CDrelDoc doc;
    doc.SetPathName(dir.File("town.map"));
    doc.AddLayer(std::make_unique<CLayer>("Roads", dir.File("roads.gdb"), CLayer::kLine), false);
    WriteWholeFile(dir.File("old.gdb"), "old");
    struct Case {
        std::string name;
        std::string path;
        std::vector<int> answers;
        ENewLayerRefusal refusal;
        std::vector<unsigned> messages;
        std::string checkedPath; // the path afterwards
        bool replace;
    };
    const Case cases[] = {
        {"Roads", "new.gdb", {}, ENewLayerRefusal::kName, {1001}, "new.gdb", false},
        {"New", "new.gdb", {}, ENewLayerRefusal::kNone, {}, dir.File("new.gdb"), false},
        {"New", dir.File("sub/x.shp"), {}, ENewLayerRefusal::kNone, {}, dir.File("sub/x.shp"), false},
        // An open map's data and the map itself: refused before any question.
        {"New", "roads.gdb", {}, ENewLayerRefusal::kFile, {1074}, dir.File("roads.gdb"), false},
        {"New", "ROADS.dbf", {}, ENewLayerRefusal::kFile, {1074}, dir.File("ROADS.dbf"), false},
        {"New", "town.map", {}, ENewLayerRefusal::kFile, {1074}, dir.File("town.map"), false},
        // A file there: asked.
        {"New", "old.gdb", {IDNO}, ENewLayerRefusal::kFile, {2000}, dir.File("old.gdb"), false},
        {"New", "old.gdb", {IDYES}, ENewLayerRefusal::kNone, {2000}, dir.File("old.gdb"), true},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        user.answers.assign(c.answers.begin(), c.answers.end());
        std::string path = c.path;
        bool replace = !c.replace;
        EXPECT_EQ(CheckNewLayerChoice(doc, c.name, path, replace), c.refusal) << c.name << " " << c.path;
        EXPECT_EQ(user.MessageIds(), c.messages) << c.path;
        EXPECT_EQ(path, c.checkedPath);
        EXPECT_EQ(replace, c.replace) << c.path;
    }
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].type & MB_YESNO, unsigned(MB_YESNO));
    EXPECT_EQ(ReadWholeFile(dir.File("old.gdb")), "old") << "asking writes nothing";
}

TEST(LayerDialogRules, AGroupNameIsFreeOrTheGroupsOwn)
{
    CScriptedUserServices user;
    CGroupedMap map;
    struct Case {
        const char* name;
        const char* group; // null: a new group
        bool taken;
    };
    const Case cases[] = {
        {"Vanduo", nullptr, true}, {"Keliai", nullptr, true},  {"Parkai", nullptr, false},
        {"Vanduo", "Vanduo", false}, {"Miestas", "Vanduo", true}, {"Pastatai", "Miestas", true},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        EXPECT_EQ(CheckGroupName(map.doc, c.name, c.group ? map.L(c.group) : nullptr), !c.taken) << c.name;
        EXPECT_EQ(user.MessageIds(), c.taken ? std::vector<unsigned>{1001} : std::vector<unsigned>{}) << c.name;
    }
}

// The tree as "text(children)" lines, depth by indentation.
void Flatten(const CGroupTreeItem& item, int depth, Texts& lines)
{
    lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + item.text + " " + std::to_string(item.image) +
                    (item.group ? " " + item.group->GetName() : ""));
    for (const CGroupTreeItem& child : item.children)
        Flatten(child, depth + 1, lines);
}

TEST(LayerDialogRules, TheGroupTreeNestsGroupsByTheirSpans)
{
    CGroupedMap map;
    map.doc.AddLayer(MakeGroup("Tuscia", 0), false);
    Texts lines;
    Flatten(BuildGroupTree(map.doc), 0, lines);
    EXPECT_EQ(lines, (Texts{"[.] 0", "  [Miestas] 1 Miestas", "    [Vanduo] 1 Vanduo", "  [Tuscia] 1 Tuscia"}));

    // A count beyond the list ends with it.
    map.L("Vanduo")->SetMemberCount(100);
    lines.clear();
    Flatten(BuildGroupTree(map.doc), 0, lines);
    EXPECT_EQ(lines, (Texts{"[.] 0", "  [Miestas] 1 Miestas", "    [Vanduo] 1 Vanduo", "      [Tuscia] 1 Tuscia"}));

    CDrelDoc plain;
    plain.AddLayer(MakeLayer("Keliai", CLayer::kLine), false);
    lines.clear();
    Flatten(BuildGroupTree(plain), 0, lines);
    EXPECT_EQ(lines, Texts{"[.] 0"});
}

TEST(LayerDialogRules, ChoicesListLayersOfTheTypesAndFlags)
{
    CGroupedMap map;
    map.L("Upes")->SetFlag(CLayer::kObjectsEditable, false);
    const auto names = [](const std::vector<CLayer*>& layers) {
        Texts texts;
        for (const CLayer* layer : layers)
            texts.push_back(layer->GetName());
        return texts;
    };
    EXPECT_EQ(names(ChoosableLayers(map.doc.Layers(), LayerTypeBit(CLayer::kLine))), (Texts{"Keliai", "Upes"}));
    EXPECT_EQ(names(ChoosableLayers(map.doc.Layers(), LayerTypeBit(CLayer::kLine), CLayer::kObjectsEditable)),
              Texts{"Keliai"});
    EXPECT_EQ(names(ChoosableLayers(map.doc.Layers(), kVectorObjectTypes)),
              (Texts{"Keliai", "Pastatai", "Upes", "Ezerai", "Taskai"}));
    EXPECT_EQ(names(OverviewLayerChoices(map.doc)),
              (Texts{"Keliai", "Pastatai", "Upes", "Ezerai", "Taskai", "Trasa", "Ortofoto", "Reljefas"}));
}

TEST(LayerDialogRules, TheFolderSearchAddsMatchingFilesAndEndsOverLinkLoops)
{
    CTempDir dir;
    namespace fs = std::filesystem;
    for (const char* folder : {"sub", "sub/Deeper", ".hidden", "x.gdb"})
        ASSERT_TRUE(MakeFolders(dir.File(folder)));
    for (const char* file : {"a.gdb", "B.GDB", "c.shp", "a.gdb.bak", "sub/d.gdb", "sub/Deeper/e.Gdb",
                             ".hidden/f.gdb", "sub/.g.gdb"})
        WriteWholeFile(dir.File(file), "x");
    // A link back up: followed, it would never end.
    fs::create_directory_symlink(ResolvePath(dir.Path()), ResolvePath(dir.File("sub/loop")));
    fs::create_directory_symlink(ResolvePath(dir.File("sub")), ResolvePath(dir.File("sideways")));

    EXPECT_EQ(FindFilesInFolder(dir.Path(), "*.gdb", false), (Texts{dir.File("a.gdb"), dir.File("B.GDB")}));
    EXPECT_EQ(FindFilesInFolder(dir.File("sub"), "*.GDB", false), (Texts{dir.File("sub/.g.gdb"), dir.File("sub/d.gdb")}));
    EXPECT_EQ(FindFilesInFolder(dir.Path(), "*.gdb", true),
              (Texts{dir.File("a.gdb"), dir.File("B.GDB"), dir.File("sub/.g.gdb"), dir.File("sub/d.gdb"),
                     dir.File("sub/Deeper/e.Gdb")}));
    EXPECT_EQ(FindFilesInFolder(dir.Path(), "?.shp", true), Texts{dir.File("c.shp")});
    EXPECT_TRUE(FindFilesInFolder(dir.File("missing"), "*.gdb", true).empty());
    EXPECT_TRUE(FindFilesInFolder(dir.File("a.gdb"), "*", true).empty()) << "a file is no folder";
}

TEST(LayerDialogRules, TheLayerFileListChangesTheLayerOnlyWhenItHoldsFiles)
{
    CLayer layer("Tiles", "/maps/t1.gdb", CLayer::kArea);
    const CMapRect first{0, 10, 10, 0};
    layer.AddFile("/maps/t1.gdb", &first);
    layer.AddFile("/maps/t2.gdb");
    CLayerFileList list(&layer);
    EXPECT_EQ(list.GetFiles(), (Texts{"/maps/t1.gdb", "/maps/t2.gdb"}));
    EXPECT_EQ(list.GetExtension(), "gdb");
    EXPECT_EQ(list.GetOpenFilter(), "Files (*.gdb)|*.gdb||");
    EXPECT_EQ(list.GetSearchPattern(), "*.gdb");

    EXPECT_EQ(list.Add({"/maps/T2.GDB", "/maps/t3.gdb", "/maps/t3.gdb", ""}), 1);
    list.Remove(1);
    list.Remove(7);
    EXPECT_EQ(list.GetFiles(), (Texts{"/maps/t1.gdb", "/maps/t3.gdb"}));
    ASSERT_TRUE(list.ApplyTo(layer));
    ASSERT_EQ(layer.GetFileCount(), 2);
    EXPECT_EQ(layer.Files()[0].extent, first) << "a file kept keeps its extent";
    EXPECT_EQ(layer.Files()[1].path, "/maps/t3.gdb");

    list.RemoveAll();
    EXPECT_FALSE(list.ApplyTo(layer));
    EXPECT_EQ(layer.GetFileCount(), 2) << "an emptied list changes nothing";
    EXPECT_TRUE(layer.HasFlag(CLayer::kManyFiles));

    const CLayerFileList none(nullptr);
    EXPECT_TRUE(none.GetFiles().empty());
    EXPECT_EQ(none.GetOpenFilter(), "Files (*.*)|*.*||");
    EXPECT_EQ(none.GetSearchPattern(), "*.*");
}

} // namespace
