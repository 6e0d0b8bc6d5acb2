// Line topology: lines made a network of numbered links, in memory and
// into a new layer through the command.
#include "geoproc/LineTopology.h"

#include "core/ShapeArray.h"
#include "geoproc/TopologyRules.h"
#include "platform/Codepage.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cmath>

namespace {

void AddShapes(CShapeArray& shapes, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        shapes.Add(std::make_unique<CShape>(Shape(text)));
}

// The links as "from-to: points" joined by "; ".
std::string LinksText(const CShapeArray& shapes, const std::vector<CTopologyLink>& links)
{
    std::string text;
    for (const CTopologyLink& link : links) {
        CShape piece;
        shapes[link.shape]->GetPart(link.part, piece);
        text += (text.empty() ? "" : "; ") + std::to_string(link.fromNode) + "-" + std::to_string(link.toNode) +
                ": " + ShapeText(piece);
    }
    return text;
}

class LineTopologyTest : public CGeoprocFixture {
protected:
    std::string Network(const std::vector<std::string>& lines, double tolerance, bool crossings)
    {
        CShapeArray shapes;
        AddShapes(shapes, lines);
        EXPECT_EQ(NodeLines(doc, shapes, tolerance, crossings, nullptr), EOperationEnd::kDone);
        CNodeNumbers nodes;
        std::vector<CTopologyLink> links;
        NumberLinks(doc, shapes, nodes, links);
        return LinksText(shapes, links);
    }
};

TEST_F(LineTopologyTest, LinesBecomeNumberedLinks)
{
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        double tolerance;
        bool crossings;
        const char* links;
    };
    const Case cases[] = {
        {"a crossing cuts with the crossings option", {"0 0, 10 10", "0 10, 10 0"}, 0, true,
         "1-2: 0 0, 5 5; 2-3: 5 5, 10 10; 4-2: 0 10, 5 5; 2-5: 5 5, 10 0"},
        {"and not without it", {"0 0, 10 10", "0 10, 10 0"}, 0, false, "1-2: 0 0, 10 10; 3-4: 0 10, 10 0"},
        {"an end on a line cuts it at tolerance 0", {"0 0, 10 0", "5 0, 5 10"}, 0, false,
         "1-2: 0 0, 5 0; 2-3: 5 0, 10 0; 2-4: 5 0, 5 10"},
        {"tolerance 0 joins no end", {"0 0, 10 0", "5 0.5, 5 10"}, 0, false, "1-2: 0 0, 10 0; 3-4: 5 0.5, 5 10"},
        {"an end within the tolerance is joined", {"0 0, 10 0", "5 0.5, 5 10"}, 1, false,
         "1-2: 0 0, 5 0; 2-3: 5 0, 10 0; 2-4: 5 0, 5 10"},
        {"a closed ring is one link", {"0 0, 10 0, 10 10, 0 0"}, 0, false, "1-1: 0 0, 10 0, 10 10, 0 0"},
        {"a nearly closed line closes", {"0 0, 10 0, 10 10, 0 0.5"}, 1, false, "1-1: 0 0, 10 0, 10 10, 0 0"},
        {"but not at tolerance 0", {"0 0, 10 0, 10 10, 0 0.5"}, 0, false, "1-2: 0 0, 10 0, 10 10, 0 0.5"},
        {"a piece of no length is none, its node counted", {"3 3, 3 3", "0 0, 1 0"}, 0, false, "2-3: 0 0, 1 0"},
        {"equal ends share a node", {"0 0, 10 0", "10 0, 20 0"}, 0, false, "1-2: 0 0, 10 0; 2-3: 10 0, 20 0"},
        {"ends one bit apart do not", {"0 0, 10 0", "10.000000000000002 0, 20 0"}, 0, false,
         "1-2: 0 0, 10 0; 3-4: 10 0, 20 0"},
        {"-0 and 0 are one place", {"0 0, 10 0", "-0 -0, 0 -10"}, 0, false, "1-2: 0 0, 10 0; 1-3: -0 -0, 0 -10"},
        {"the parts of a line cut where they cross", {"0 0, 10 0 | 5 -5, 5 5"}, 0, false,
         "1-2: 0 0, 5 0; 2-3: 5 0, 10 0; 4-2: 5 -5, 5 0; 2-5: 5 0, 5 5"},
        // The end already on the first later line stays there although
        // the next one is within the tolerance too.
        {"an earlier line's end joins once", {"0 0, -5 -5", "-10 0, 10 0", "0.8 -10, 0.8 10"}, 1, false,
         "1-2: 0 0, -5 -5; 3-1: -10 0, 0 0; 1-4: 0 0, 10 0; 5-6: 0.8 -10, 0.8 10"},
        // A later line's end goes to each earlier line near it in turn.
        {"a later line's end joins every time", {"-10 0, 10 0", "0.8 -10, 0.8 10", "0 0, -5 -5"}, 1, false,
         "1-2: -10 0, 0 0, 0.8 0; 2-3: 0.8 0, 10 0; 4-2: 0.8 -10, 0.8 0; 2-5: 0.8 0, 0.8 10; 2-6: 0.8 0, -5 -5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Network(c.lines, c.tolerance, c.crossings), c.links) << c.what;
}

TEST(SnapPointToLine, JoinsAtTheNearVertexOrANewOne)
{
    struct Case {
        const char* what;
        const char* line;
        CMapPoint point;
        int result;
        CMapPoint joined;
        const char* lineAfter;
    };
    const Case cases[] = {
        {"the start vertex nearer, inside the box", "0 0, 10 0", {0.5, 0.3}, 1, {0, 0}, "0 0, 10 0"},
        {"the end vertex nearer, inside the box", "0 0, 10 0", {9.6, -0.2}, 1, {10, 0}, "0 0, 10 0"},
        {"the nearest point is the start vertex", "0 0, 5 0, 5 10", {5.3, 0.2}, 1, {5, 0}, "0 0, 5 0, 5 10"},
        {"no vertex near: a new one", "0 0, 10 0", {5, 0.5}, 1, {5, 0}, "0 0, 5 0, 10 0"},
        {"the nearest point outside the box", "0 0, 10 0", {5, 1.5}, 0, {0, 0}, "0 0, 10 0"},
        {"a later part", "0 0, 10 0 | 0 20, 10 20", {3, 19.5}, 1, {3, 20}, "0 0, 10 0 | 0 20, 3 20, 10 20"},
    };
    CTopologyTolerance tolerance;
    tolerance.metres = tolerance.tx = tolerance.ty = 1;
    for (const Case& c : cases) {
        CShape line = Shape(c.line);
        CMapPoint joined;
        EXPECT_EQ(SnapPointToLine(line, c.point, tolerance, joined), c.result) << c.what;
        if (c.result) {
            EXPECT_EQ(joined, c.joined) << c.what;
        }
        EXPECT_EQ(ShapeText(line), c.lineAfter) << c.what;
    }
}

TEST(SnapPointToLine, ComparesTheVerticesInMetres)
{
    // One unit of y is ten metres: the end vertex is nearer in metres
    // although it is farther in map units.
    CTopologyTolerance tolerance;
    tolerance.metres = 5;
    tolerance.mx = 1;
    tolerance.my = 10;
    tolerance.tx = 5;
    tolerance.ty = 0.5;
    CShape line = Shape("0 0, 0 1");
    CMapPoint joined;
    ASSERT_EQ(SnapPointToLine(line, CMapPoint(0.1, 0.7), tolerance, joined), 1);
    EXPECT_EQ(joined, CMapPoint(0, 1));
}

TEST(NodeNumbers, NumbersPlacesInTheOrderFirstSeen)
{
    CNodeNumbers nodes;
    const double nan = std::nan("");
    EXPECT_EQ(nodes.Lookup({1, 2}), 1);
    EXPECT_EQ(nodes.Lookup({2, 1}), 2);
    EXPECT_EQ(nodes.Lookup({1, 2}), 1);
    EXPECT_EQ(nodes.Lookup({0.0, -0.0}), 3);
    EXPECT_EQ(nodes.Lookup({-0.0, 0.0}), 3);
    EXPECT_EQ(nodes.Lookup({nan, 0}), 4);
    EXPECT_EQ(nodes.Lookup({nan, 0}), 5);
    EXPECT_EQ(nodes.Lookup({std::nextafter(1.0, 2.0), 2}), 6);
    EXPECT_EQ(nodes.GetCount(), 6);
}

TEST(NodeNumbers, SortedInputStaysFast)
{
    // A list of a million places in order, as a coordinate-sorted layer
    // gives them: each looked up twice.
    CNodeNumbers nodes;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 1'000'000; ++i)
            ASSERT_EQ(nodes.Lookup(CMapPoint(i, i)), i + 1);
}

// Through the command into a layer.
class TopologyCommandTest : public CGeoprocFixture {
protected:
    TopologyCommandTest() { m_saved = CTopologyRules::Last(); }
    ~TopologyCommandTest() override { CTopologyRules::Remember(m_saved); }

    int Run(CLayer& layer) { return CreateTopology(layer, doc, newLayer.Dialogs()); }
    const CLayer* Added() const { return doc.GetLayerCount() > 1 ? doc.GetLayer(doc.GetLayerCount() - 1) : nullptr; }
    std::vector<std::string> FieldsOf(const std::string& path)
    {
        std::vector<std::string> fields;
        CGdbSource source;
        if (!source.Open(path))
            return fields;
        for (const CDbfFieldInfo& field : source.GetFieldInfos())
            if (field.length > 0)
                fields.push_back(FormatC("%s %c%d.%d", field.name, field.type, field.length, field.decimals));
        return fields;
    }

    CScriptedGeoprocDialogs dialogs;

private:
    CTopologyOptions m_saved;
};

TEST_F(TopologyCommandTest, TheLinkTableHoldsExactlyTheLinkFields)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "10 0, 10 25.5"});
    dialogs.topology.copyFields = 0;
    ASSERT_EQ(Run(streets), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30814"});
    EXPECT_EQ(newLayer.offeredName, "gatves_topo");
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    const CLayer* links = Added();
    ASSERT_TRUE(links);
    EXPECT_EQ(links->GetName(), "gatves_topo");
    EXPECT_EQ(links->GetType(), CLayer::kLine);
    EXPECT_EQ(FieldsOf(links->GetPath()),
              (std::vector<std::string>{"LINK_ID N8.0", "Fnode_ N6.0", "Tnode_ N6.0", "Length N8.0"}));
    const std::vector<CReadObject> objects = ReadObjects(links->GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 2u);
    const std::map<std::string, std::string> first{{"Link_id", "1"}, {"Fnode_", "1"}, {"Tnode_", "2"}, {"Length", "10"}};
    const std::map<std::string, std::string> second{{"Link_id", "2"}, {"Fnode_", "2"}, {"Tnode_", "3"}, {"Length", "26"}};
    EXPECT_EQ(objects[0].fields, first);
    EXPECT_EQ(objects[1].fields, second);
    EXPECT_EQ(ShapeText(objects[1].shape), "10 0, 10 25.5");
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TopologyCommandTest, CopiedFieldsComeFirstAndTheLinksValuesOverwriteTheirs)
{
    const std::string path = dir.File("roads.gdb");
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"NAME", 'C', 12, 0}, {"LINK_ID", 'N', 8, 0}, {"Length", 'N', 9, 1}});
        ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, fields.data()));
        const char* rows[][2] = {{"Liepu", "77"}, {"Beržų", "78"}};
        const char* lines[] = {"0 0, 20 0", "10 -5, 10 5"};
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(source.AppendShape(Shape(lines[i]), false));
            CDbfTable& table = source.GetTable();
            table.SetField(0, Utf8ToCp1257(rows[i][0]));
            table.SetField(1, rows[i][1]);
            table.SetField(2, "1234.5");
            ASSERT_TRUE(table.WriteRecord());
        }
    }
    CLayer& roads = Add("Roads", "roads.gdb", CLayer::kLine);
    dialogs.topology.copyFields = 1;
    dialogs.topology.addCrossings = 1;
    ASSERT_EQ(Run(roads), 1);
    const CLayer* links = Added();
    ASSERT_TRUE(links);
    EXPECT_EQ(FieldsOf(links->GetPath()), (std::vector<std::string>{"NAME C12.0", "LINK_ID N8.0", "Length N9.1",
                                                                   "Fnode_ N6.0", "Tnode_ N6.0"}));
    const std::vector<CReadObject> objects = ReadObjects(links->GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 4u);
    const char* expected[][5] = {{"Liepu", "77", "1", "2", "10.0"},
                                 {"Liepu", "77", "2", "3", "10.0"},
                                 {"Beržų", "78", "4", "2", "5.0"},
                                 {"Beržų", "78", "2", "5", "5.0"}};
    for (size_t i = 0; i < objects.size(); ++i) {
        // Read back, the names are spelled as captions.
        const std::map<std::string, std::string> fields{{"Name", Utf8ToCp1257(expected[i][0])},
                                                        {"Link_id", expected[i][1]},
                                                        {"Fnode_", expected[i][2]},
                                                        {"Tnode_", expected[i][3]},
                                                        {"Length", expected[i][4]}};
        EXPECT_EQ(objects[i].fields, fields) << i;
    }
}

TEST_F(TopologyCommandTest, NodeNumbersTooWideForTheirFieldsWriteNothing)
{
    // Separate lines, two nodes each, in a layer whose own "Fnode_" holds one digit.
    const auto roads = [this](const char* file, int count) -> CLayer& {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields = FieldList({{"Fnode_", 'N', 1, 0}});
        EXPECT_TRUE(source.Create(dir.File(file), CFeatureSource::kLine, fields.data()));
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(source.AppendShape(Shape(FormatC("0 %d, 5 %d", 10 * i, 10 * i)), true));
        source.Close();
        return Add(file, file, CLayer::kLine);
    };
    CLayer& tooMany = roads("ten.gdb", 5);
    CLayer& enough = roads("eight.gdb", 4);
    dialogs.topology.copyFields = 1;
    const auto before = Folder();
    EXPECT_EQ(Run(tooMany), 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text,
              Utf8ToCp1257("Mazgų daugiau nei 9: jų numeriai netelpa į laukus Fnode_ ir Tnode_."));
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 2);

    user.messages.clear();
    EXPECT_EQ(Run(enough), 1);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(doc.GetLayerCount(), 3);
}

TEST_F(TopologyCommandTest, TheNewLayerDialogComesFirstAndWantsALine)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0"});
    const auto before = Folder();
    for (const int type : {CLayer::kPoint, CLayer::kArea}) {
        newLayer.chosenType = type;
        EXPECT_EQ(Run(streets), 0);
    }
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1061, 1061}));
    EXPECT_TRUE(dialogs.log.empty());
    newLayer.chosenType = -1;
    newLayer.ok = false;
    EXPECT_EQ(Run(streets), 0);
    EXPECT_TRUE(dialogs.log.empty());
    newLayer.ok = true;
    dialogs.topologyOk = false;
    EXPECT_EQ(Run(streets), 0);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30814"});
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(TopologyCommandTest, OtherLayersAreRefusedWithoutAWord)
{
    CLayer& areas = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 10 0, 10 10"});
    CLayer& points = AddPointLayer("Points", "points.gdb", {{1, 1}});
    CLayer& group = Add("Group", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    for (CLayer* layer : {&areas, &points, &group})
        EXPECT_EQ(Run(*layer), 0) << layer->GetName();
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TopologyCommandTest, CancelWhileCuttingLeavesNoFile)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 10", "0 10, 10 0", "5 0, 5 10"});
    const auto before = Folder();
    user.cancelAfterChecks = 0;
    EXPECT_EQ(Run(streets), 0);
    EXPECT_EQ(user.cancelChecks, 1);
    EXPECT_EQ(user.progressHigh, 2);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(TopologyCommandTest, ADamagedSourceIsToldAndWritesNothing)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "0 5, 10 5", "0 9, 10 9"});
    SpoilSecondBlock(streets.GetPath());
    const auto before = Folder();
    EXPECT_EQ(Run(streets), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

} // namespace
