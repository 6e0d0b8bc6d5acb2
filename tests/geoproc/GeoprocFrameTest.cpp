// The steps the layer operations share: the result layer's names, the
// shapes of a layer loaded and indexed, shapes written into a new file,
// and the source layer written in place.
#include "geoproc/GeoprocFrame.h"

#include "core/ShapeArray.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DocumentObserver.h"
#include "platform/Codepage.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <algorithm>
#include <random>
#include <set>

namespace {

class GeoprocFrameTest : public CGeoprocFixture {};

// ---------------------------------------------------------- proposals

TEST_F(GeoprocFrameTest, TheProposalIsTheTitleAndSuffixMadeFree)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0"});
    const CDocCommandDialogs dialogs = newLayer.Dialogs();
    struct Case {
        const char* what;
        std::vector<std::string> files; // in the map's folder beforehand
        std::string layerName;          // a layer of the map beforehand
        std::string name, file;         // proposed
    } cases[] = {
        {"free", {}, "", "gatves_buffer", "gatves_buffer.gdb"},
        {"a file of the title", {"gatves_buffer.dbf"}, "", "gatves_buffer", "gatves_buffer_2.gdb"},
        {"two taken", {"gatves_buffer.gdb", "gatves_buffer_2.txt"}, "", "gatves_buffer", "gatves_buffer_3.gdb"},
        {"a layer of the name", {}, "gatves_buffer", "gatves_buffer (2)", "gatves_buffer.gdb"},
    };
    for (const Case& c : cases) {
        for (const std::string& file : c.files)
            WriteWholeFile(dir.File(file), "x");
        if (!c.layerName.empty())
            Add(c.layerName, "elsewhere.gdb", CLayer::kArea);
        CResultLayerChoice choice;
        EXPECT_EQ(PromptResultLayer(doc, dialogs, ResultLayerBase(streets, "_buffer"), CLayer::kArea, choice), 1)
            << c.what;
        EXPECT_EQ(newLayer.offeredName, c.name) << c.what;
        EXPECT_EQ(newLayer.offeredPath, dir.File(c.file)) << c.what;
        EXPECT_EQ(newLayer.offeredType, CLayer::kArea) << c.what;
        EXPECT_EQ(choice.name, c.name) << c.what;
        EXPECT_EQ(choice.path, dir.File(c.file)) << c.what;
        for (const std::string& file : c.files)
            RemoveFile(dir.File(file));
        if (CLayer* named = doc.Layers().FindByName(c.layerName))
            doc.RemoveLayer(named, false, false, false);
    }
}

TEST_F(GeoprocFrameTest, ASourceWithoutTitleProposesTheSuffix)
{
    CLayer& untitled = Add("Untitled", ".gdb", CLayer::kLine);
    EXPECT_EQ(ResultLayerBase(untitled, "_buffer"), "_buffer");
    CResultLayerChoice choice;
    ASSERT_EQ(PromptResultLayer(doc, newLayer.Dialogs(), ResultLayerBase(untitled, "_buffer"), CLayer::kArea, choice),
              1);
    EXPECT_EQ(choice.name, "_buffer");
    EXPECT_EQ(choice.path, dir.File("_buffer.gdb"));
}

TEST_F(GeoprocFrameTest, AnotherTypeThanThePresetIsRefusedByName)
{
    const std::pair<int, unsigned> cases[] = {{CLayer::kPoint, 1060}, {CLayer::kLine, 1061}, {CLayer::kArea, 1062}};
    for (const auto& [type, message] : cases) {
        user.messages.clear();
        newLayer.chosenType = type == CLayer::kArea ? CLayer::kPoint : CLayer::kArea;
        CResultLayerChoice choice;
        EXPECT_EQ(PromptResultLayer(doc, newLayer.Dialogs(), "result", type, choice), 0) << type;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{message}) << type;
    }
    EXPECT_EQ(Folder().size(), 0u);
    // A type the operation also takes passes.
    newLayer.chosenType = CLayer::kLine;
    CResultLayerChoice choice;
    EXPECT_EQ(PromptResultLayer(doc, newLayer.Dialogs(), "result", CLayer::kArea, choice, 1u << CLayer::kLine), 1);
    EXPECT_EQ(choice.type, CLayer::kLine);
}

TEST_F(GeoprocFrameTest, TheChosenFileIsAlwaysAGdbLayer)
{
    // Yes to replace a file stands only for the file that is written.
    newLayer.confirmReplace = true;
    struct Case {
        std::string chosen, written;
        bool confirmed;
    } cases[] = {{"zones.shp", "zones.gdb", false},
                 {"zones", "zones.gdb", false},
                 {"zones.GDB", "zones.GDB", true},
                 {"zones.gdb", "zones.gdb", true},
                 {"my.maps/zones", "my.maps/zones.gdb", false}};
    for (const Case& c : cases) {
        newLayer.chosenPath = dir.File(c.chosen);
        CResultLayerChoice choice;
        ASSERT_EQ(PromptResultLayer(doc, newLayer.Dialogs(), "result", CLayer::kArea, choice), 1) << c.chosen;
        EXPECT_EQ(choice.path, dir.File(c.written)) << c.chosen;
        EXPECT_EQ(choice.options.replaceConfirmed, c.confirmed) << c.chosen;
    }
    // The operation's options go to the dialog.
    CResultLayerChoice fixed;
    fixed.options.typeChoice = false;
    fixed.options.fileTypes = 1;
    PromptResultLayer(doc, newLayer.Dialogs(), "result", CLayer::kLine, fixed);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1);
}

TEST_F(GeoprocFrameTest, CancelOrNoDialogEndsTheOperation)
{
    newLayer.ok = false;
    CResultLayerChoice choice;
    EXPECT_EQ(PromptResultLayer(doc, newLayer.Dialogs(), "result", CLayer::kArea, choice), 0);
    EXPECT_EQ(PromptResultLayer(doc, CDocCommandDialogs{}, "result", CLayer::kArea, choice), 0);
    EXPECT_TRUE(user.messages.empty());
}

// ------------------------------------------------------ loaded shapes

TEST_F(GeoprocFrameTest, ShapesLoadInReadingOrderUnderTheFilter)
{
    CLayer& layer = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea,
                                  {"0 0, 4 0, 4 4", "10 10, 12 10, 12 13", "-5 2, -1 2, -1 6", "3 -8, 6 -8, 6 -7"});
    layer.SetFilter("N <> 1");
    CShapeArray shapes;
    std::vector<int32_t> records;
    CSpatialIndex index;
    CMapRect box;
    ASSERT_EQ(LoadShapesIndexed(layer, shapes, &records, &index, &box), 1);
    EXPECT_EQ(records, (std::vector<int32_t>{0, 2, 3}));
    ASSERT_EQ(shapes.GetSize(), 3);
    EXPECT_EQ(ShapeText(*shapes[1]), "-5 2, -1 2, -1 6");
    EXPECT_EQ(box, CMapRect(-5, 6, 6, -8));
    EXPECT_EQ(index.GetItemCount(), 3);
    // Without the optional arrays the shapes alone.
    CShapeArray alone;
    ASSERT_EQ(LoadShapesIndexed(layer, alone, nullptr, nullptr), 1);
    EXPECT_EQ(alone.GetSize(), 3);
}

TEST_F(GeoprocFrameTest, IndexHitsAreTheShapesWhoseBoxesMeetTheQuery)
{
    std::mt19937 random(58);
    std::uniform_real_distribution<double> place(0, 1000), size(0, 40);
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        const double x = place(random), y = place(random), w = size(random), h = size(random);
        texts.push_back(FormatC("%.6f %.6f, %.6f %.6f, %.6f %.6f", x, y, x + w, y, x + w, y + h));
    }
    CLayer& layer = AddShapeLayer("Many", "many.gdb", CLayer::kArea, texts);
    CShapeArray shapes;
    CSpatialIndex index;
    ASSERT_EQ(LoadShapesIndexed(layer, shapes, nullptr, &index), 1);
    for (int q = 0; q < 50; ++q) {
        const double x = place(random), y = place(random), w = size(random) * 4, h = size(random) * 4;
        const CMapRect query(x, y + h, x + w, y);
        std::set<int> expected, hits;
        for (int i = 0; i < shapes.GetSize(); ++i) {
            const CMapRect& b = shapes[i]->GetExtent();
            if (b.left <= query.right && b.right >= query.left && b.bottom <= query.top && b.top >= query.bottom)
                expected.insert(i);
        }
        // The index answers candidates; the boxes decide.
        for (int i = index.BeginRectQuery(query); i >= 0; i = index.Next()) {
            const CMapRect& b = shapes[i]->GetExtent();
            if (b.left <= query.right && b.right >= query.left && b.bottom <= query.top && b.top >= query.bottom)
                hits.insert(i);
        }
        EXPECT_EQ(hits, expected) << q;
    }
}

TEST_F(GeoprocFrameTest, AnEmptyLayerAndALoneLevelLineLoad)
{
    CLayer& empty = AddShapeLayer("Empty", "empty.gdb", CLayer::kLine, {});
    CShapeArray shapes;
    std::vector<int32_t> records;
    CSpatialIndex index;
    CMapRect box;
    ASSERT_EQ(LoadShapesIndexed(empty, shapes, &records, &index, &box), 1);
    EXPECT_TRUE(shapes.IsEmpty());
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(box.IsValid());
    EXPECT_EQ(index.BeginRectQuery(CMapRect(-1e9, 1e9, 1e9, -1e9)), -1);

    CLayer& level = AddShapeLayer("Level", "level.gdb", CLayer::kLine, {"2 5, 9 5"});
    ASSERT_EQ(LoadShapesIndexed(level, shapes, &records, &index, &box), 1);
    EXPECT_EQ(box, CMapRect(2, 5, 9, 5));
    EXPECT_EQ(index.BeginRectQuery(CMapRect(3, 6, 4, 4)), 0);
    EXPECT_EQ(index.Next(), -1);
    EXPECT_EQ(index.BeginPointQuery(CMapPoint(9, 5)), 0);
}

TEST_F(GeoprocFrameTest, OnlyLineAndAreaLayersLoad)
{
    CLayer& points = AddPointLayer("Points", "points.gdb", {{1, 1}});
    CShapeArray shapes;
    EXPECT_EQ(LoadShapesIndexed(points, shapes, nullptr, nullptr), 0);
    CLayer& missing = Add("Missing", "missing.gdb", CLayer::kLine);
    EXPECT_EQ(LoadShapesIndexed(missing, shapes, nullptr, nullptr), 0);
    EXPECT_TRUE(shapes.IsEmpty());
}

TEST_F(GeoprocFrameTest, AMalformedObjectEndsTheLoadWith1028)
{
    CLayer& layer = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    SpoilSecondBlock(layer.GetPath());
    CShapeArray shapes;
    EXPECT_EQ(LoadShapesIndexed(layer, shapes, nullptr, nullptr), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
}

// -------------------------------------------------------- shapes written

TEST_F(GeoprocFrameTest, ShapesAreWrittenWithTheAttributesOfTheirRecords)
{
    CLayer& layer = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 4 0, 4 4", "10 10, 12 10, 12 13"});
    CShapeArray shapes;
    shapes.AddCopy(Shape("1 1, 2 1, 2 2"));
    shapes.AddCopy(Shape(""));
    shapes.AddCopy(Shape("5 5, 6 5, 6 6 | 7 7, 8 7, 8 8"));
    const std::vector<int32_t> records{1, 0, 0};
    ASSERT_EQ(WriteShapesToFile(layer, dir.File("out.gdb"), CLayer::kArea, shapes, &records), 1);
    const std::vector<CReadObject> written = ReadObjects(dir.File("out.gdb"), CLayer::kArea);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(ShapeText(written[0].shape), "1 1, 2 1, 2 2");
    EXPECT_EQ(written[0].fields.at("Name"), "S1");
    EXPECT_EQ(ShapeText(written[1].shape), "5 5, 6 5, 6 6 | 7 7, 8 7, 8 8");
    EXPECT_EQ(written[1].fields.at("Name"), "S0");
    EXPECT_EQ(written[1].fields.at("N"), "0");
}

// ---------------------------------------------------------- in place

TEST_F(GeoprocFrameTest, OnlyAnEditableLayerThatCanBeWrittenIsAskedToTakeTheResult)
{
    CLayer& gdb = AddShapeLayer("Gdb", "gdb.gdb", CLayer::kArea, {"0 0, 1 0, 1 1"});
    {
        CShapefileSource shapefile;
        MakeShapeLayer(shapefile, dir.File("shp.shp"), CLayer::kArea, {"0 0, 1 0, 1 1"});
    }
    CLayer& shp = Add("Shp", "shp.shp", CLayer::kArea);
    shp.SetFlag(CLayer::kObjectsEditable, true);

    user.answers = {IDYES, IDCANCEL, IDNO};
    EXPECT_EQ(AskWriteInPlace(gdb), IDYES);
    EXPECT_EQ(AskWriteInPlace(gdb), IDCANCEL);
    EXPECT_EQ(AskWriteInPlace(gdb), IDNO);
    ASSERT_EQ(user.messages.size(), 3u);
    EXPECT_EQ(user.messages[0].helpId, 2021u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Rezultatus rašyti į tą patį sluoksnį?"));
    EXPECT_EQ(user.messages[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));

    user.messages.clear();
    EXPECT_EQ(AskWriteInPlace(shp), IDNO);
    gdb.SetFlag(CLayer::kObjectsEditable, false);
    EXPECT_EQ(AskWriteInPlace(gdb), IDNO);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(GeoprocFrameTest, WritingBackDeletesEmptiedShapesAndReplacesTheRest)
{
    CLayer& layer = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea,
                                  {"0 0, 4 0, 4 4", "10 10, 12 10, 12 13", "20 20, 21 20, 21 21"});
    layer.SetFlags(CLayer::kDefaultFlags | CLayer::kInOverview);
    CHintRecorder hints(doc);
    CShapeArray shapes;
    shapes.AddCopy(Shape("0 0, 4 0, 4 4 | 1 1, 2 1, 2 2"));
    shapes.AddCopy(Shape(""));
    shapes.AddCopy(Shape("20 20, 21 20, 21 21"));
    ASSERT_TRUE(WriteShapesBack(layer, doc, shapes, {0, 1, 2}));
    const std::vector<CReadObject> objects = ReadObjects(layer.GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].record, 0);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 4 0, 4 4 | 1 1, 2 1, 2 2");
    EXPECT_EQ(objects[1].record, 2);
    EXPECT_EQ(objects[1].fields.at("Name"), "S2");
    const int index = doc.FindLayerIndex(&layer);
    EXPECT_EQ(hints.hints, (std::vector<uint32_t>{kHintOverview, MakeHint(index, kHintRedraw)}));

    // A layer only in the map window hears only of the map.
    layer.SetFlag(CLayer::kInOverview, false);
    hints.hints.clear();
    ASSERT_TRUE(WriteShapesBack(layer, doc, shapes, {0, 1, 2}));
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{MakeHint(index, kHintRedraw)});
}

TEST_F(GeoprocFrameTest, WritingBackStopsAtTheFirstFailureAndSaysSo)
{
    CLayer& layer = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 4 0, 4 4", "10 10, 12 10, 12 13"});
    CShapeArray shapes;
    shapes.AddCopy(Shape("0 0, 5 0, 5 5"));
    shapes.AddCopy(Shape("1 1, 2 1, 2 2"));
    shapes.AddCopy(Shape("3 3, 4 3, 4 4"));
    // Record 7 is not there: the third shape is never written.
    EXPECT_FALSE(WriteShapesBack(layer, doc, shapes, {0, 7, 1}));
    EXPECT_FALSE(user.messages.empty());
    const std::vector<CReadObject> objects = ReadObjects(layer.GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 5 0, 5 5");
    EXPECT_EQ(ShapeText(objects[1].shape), "10 10, 12 10, 12 13");
}

TEST_F(GeoprocFrameTest, TheResultGoesWhereTheUserSaid)
{
    CLayer& layer = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 4 0, 4 4", "10 10, 12 10, 12 13"});
    CShapeArray shapes;
    shapes.AddCopy(Shape("0 0, 9 0, 9 9"));
    shapes.AddCopy(Shape(""));
    const std::vector<int32_t> records{0, 1};
    const CDocCommandDialogs dialogs = newLayer.Dialogs();
    const auto before = Folder();

    // Cancel changes no byte and asks nothing more.
    user.answers = {IDCANCEL};
    CResultLayerChoice choice;
    EXPECT_EQ(AskResultPlace(layer, doc, dialogs, ResultLayerBase(layer, ""), choice), IDCANCEL);
    EXPECT_EQ(WriteResultShapes(IDCANCEL, layer, doc, choice, shapes, records), 0);
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_EQ(Folder(), before);

    // No: a new area layer, whatever type the dialog was about to offer.
    user.answers = {IDNO};
    const int place = AskResultPlace(layer, doc, dialogs, ResultLayerBase(layer, ""), choice);
    ASSERT_EQ(place, IDNO);
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_EQ(choice.path, dir.File("areas_2.gdb"));
    ASSERT_EQ(WriteResultShapes(place, layer, doc, choice, shapes, records), 1);
    const CLayer* added = doc.Layers().FindByName(choice.name);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->GetType(), CLayer::kArea);
    const std::vector<CReadObject> objects = ReadObjects(choice.path, CLayer::kArea);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].fields.at("Name"), "S0");
    EXPECT_EQ(ReadObjects(layer.GetPath(), CLayer::kArea).size(), 2u);

    // Yes: into the layer itself.
    user.answers = {IDYES};
    ASSERT_EQ(AskResultPlace(layer, doc, dialogs, "areas", choice), IDYES);
    ASSERT_EQ(WriteResultShapes(IDYES, layer, doc, choice, shapes, records), 1);
    EXPECT_EQ(ReadObjects(layer.GetPath(), CLayer::kArea).size(), 1u);
}

} // namespace
