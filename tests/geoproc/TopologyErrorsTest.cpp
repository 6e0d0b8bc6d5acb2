// Error points and topology error fixing: the places found and the changes
// made, in memory, and the two commands writing their layers.
#include "geoproc/TopologyErrors.h"

#include "core/ShapeArray.h"
#include "geoproc/TopologyFix.h"
#include "geoproc/TopologyRules.h"
#include "layers/PointStyle.h"
#include "layers/StyleRecord.h"
#include "layers/Sublayer.h"
#include "platform/Codepage.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

void AddShapes(CShapeArray& shapes, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        shapes.Add(std::make_unique<CShape>(Shape(text)));
}

std::string PointsText(const std::vector<CMapPoint>& points)
{
    return points.empty() ? std::string() : PointsText(points.data(), static_cast<int>(points.size()));
}

class TopologyErrorsTest : public CGeoprocFixture {
protected:
    std::string ErrorPoints(const std::vector<std::string>& objects, double tolerance)
    {
        CShapeArray shapes;
        AddShapes(shapes, objects);
        std::vector<CMapPoint> points;
        EXPECT_EQ(FindErrorPoints(doc, shapes, tolerance, points, nullptr), EOperationEnd::kDone);
        return PointsText(points);
    }
};

TEST_F(TopologyErrorsTest, ErrorPointsMarkWhereEndsAndVerticesNearlyMeet)
{
    struct Case {
        const char* what;
        std::vector<std::string> objects;
        double tolerance;
        const char* points;
    };
    const Case cases[] = {
        {"ends of a line 1 m apart at 2 m", {"0 0, 10 0, 10 10, 0 1"}, 2, "0 0, 0 1"},
        {"ends at the same place", {"0 0, 10 0, 10 10, 0 0"}, 2, ""},
        {"but farther than the tolerance", {"0 0, 10 0, 10 10, 0 3"}, 2, ""},
        {"an end near an end of a later part", {"0 0, 10 0 | 10.5 0, 20 0"}, 2, "10 0, 10.5 0"},
        {"a vertex near another line and the line's vertex near it", {"0 0.5, 0 5", "-5 0, 0 0, 5 0"}, 2,
         "0 0.5, 0 0"},
        {"a vertex on the other line's vertex is shared", {"0 0, 0 5", "-5 0, 0 0, 5 0"}, 2, ""},
        {"lines sharing an end", {"0 0, 10 0", "10 0, 10 10"}, 2, ""},
        {"of a run of near vertices the nearest", {"0 1.5, 1 1.2, 2 0.8, 3 1.1, 4 3", "-10 0, 10 0"}, 2, "2 0.8"},
        {"runs apart give one each", {"0 1, 5 1.5, 10 1.2", "-10 0, 20 0"}, 2, "0 1, 5 1.5, 10 1.2"},
        {"beyond the tolerance in metres, inside its box", {"0 1.5, 0 10", "-10 0, 10 0"}, 2, "0 1.5"},
        {"outside the circle of the tolerance", {"0 1.9, 9 9", "-10 0, 1.9 0"}, 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorPoints(c.objects, c.tolerance), c.points) << c.what;
}

TEST_F(TopologyErrorsTest, FixingMovesNodesAndVerticesAndTellsEachChange)
{
    struct Case {
        const char* what;
        std::vector<std::string> objects;
        const char* after; // the objects joined by " / "
        const char* changes;
        CTopologyFixCounts counts;
    };
    const Case cases[] = {
        {"three ends near one another, a fourth apart",
         {"0 0, -10 -10", "0.5 0.2, 10 -10", "0.2 0.6, 0.2 10", "3 3, 10 10"},
         "0 0, -10 -10 / 0 0, 10 -10 / 0 0, 0.2 10 / 3 3, 10 10", "11 0 0; 10 0.5 0.2; 10 0.2 0.6", {2, 0, 0}},
        // The node with the most near ends first; of those with as many,
        // the one with most ends on it.
        {"the node with the most near ends is the master", {"-0.9 0, -10 0", "0 0, 0 10", "0.5 0.5, 5 10", "0.5 -0.5, 5 -10"},
         "0 0, -10 0 / 0 0, 0 10 / 0 0, 5 10 / 0 0, 5 -10", "11 0 0; 10 -0.9 0; 10 0.5 0.5; 10 0.5 -0.5", {3, 0, 0}},
        {"then the one with most equal ends", {"0.6 0, 10 0", "0 0, -10 1", "0 0, -10 -1"},
         "0 0, 10 0 / 0 0, -10 1 / 0 0, -10 -1", "11 0 0; 10 0.6 0", {1, 0, 0}},
        {"a master whose near ends went to another",
         {"0 0, 0 -10", "0.9 0, 3 -10", "1.8 0, 1.8 10", "-0.5 0, -10 5", "-0.5 0.5, -10 10"},
         "0 0, 0 -10 / 0 0, 3 -10 / 1.8 0, 1.8 10 / 0 0, -10 5 / 0 0, -10 10",
         "11 0 0; 10 0.9 0; 10 -0.5 0; 10 -0.5 0.5; 99 1.8 0", {3, 0, 0}},
        {"an end onto the middle of a segment", {"0 0, 10 0", "5 0.5, 5 10"}, "0 0, 5 0, 10 0 / 5 0, 5 10",
         "30 5 0.5; 31 5 0", {1, 0, 1}},
        {"an end onto a vertex within a fifth of the tolerance", {"0 0, 5 0, 10 0", "5.15 0.1, 5.15 10"},
         "0 0, 5 0, 10 0 / 5 0, 5.15 10", "20 5.15 0.1; 21 5 0", {1, 0, 0}},
        {"a vertex farther than a fifth keeps the new one", {"0 0, 5 0, 10 0", "5.3 0.1, 5.3 10"},
         "0 0, 5 0, 5.3 0, 10 0 / 5.3 0, 5.3 10", "30 5.3 0.1; 31 5.3 0", {1, 0, 1}},
        {"a shared end stays and the line comes to it", {"0 0, 10 0", "5 0.5, 0 10", "5 0.5, 10 10"},
         "0 0, 5 0.5, 10 0 / 5 0.5, 0 10 / 5 0.5, 10 10", "32 5 0.5", {0, 0, 1}},
        {"a shared end pulls the line's vertex", {"0 0, 5.1 0, 10 0", "5 0.3, 0 10", "5 0.3, 10 10"},
         "0 0, 5 0.3, 10 0 / 5 0.3, 0 10 / 5 0.3, 10 10", "40 5.1 0; 41 5 0.3", {0, 1, 0}},
        // The first end joins the vertical line; the shared end beside it
        // then finds that line's new end nearest, which never moves.
        {"never another line's first or last vertex",
         {"1.5 0.2, 10 5", "0 0, 0 10", "0 0, -10 0", "0.8 -5, 0.8 2, 5 8"},
         "0.8 0.2, 10 5 / 0 0, 0 10 / 0 0, -10 0 / 0.8 -5, 0.8 0.2, 0.8 2, 5 8", "30 1.5 0.2; 31 0.8 0.2", {1, 0, 1}},
        {"an end lying on a segment stays and gives it a vertex", {"0 0, 10 0", "5 0, 5 10"},
         "0 0, 5 0, 10 0 / 5 0, 5 10", "32 5 0", {0, 0, 1}},
        // Each end finds the other line through it: that line is no target.
        {"ends meeting at their last vertices still join a line near", {"0 0, 10 0", "20 0, 10 0", "10.5 -5, 10.5 5"},
         "0 0, 10 0 / 20 0, 10 0 / 10.5 -5, 10 0, 10.5 5", "32 10 0", {0, 0, 1}},
        {"lines crossing get a vertex each", {"0 0, 10 10", "0 10, 10 0"}, "0 0, 5 5, 10 10 / 0 10, 5 5, 10 0",
         "s 5 5", {0, 0, 1}},
        {"nothing near", {"0 0, 10 0", "0 5, 10 5"}, "0 0, 10 0 / 0 5, 10 5", "", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CShapeArray shapes;
        AddShapes(shapes, c.objects);
        std::vector<CTopologyChange> changes;
        CTopologyFixCounts counts;
        ASSERT_EQ(FixTopology(doc, 1, true, shapes, &changes, counts, nullptr), EOperationEnd::kDone) << c.what;
        std::string after, told;
        for (int i = 0; i < shapes.GetSize(); ++i)
            after += (i ? " / " : "") + ShapeText(*shapes[i]);
        for (const CTopologyChange& change : changes)
            told += (told.empty() ? "" : "; ") + change.code + " " + PointsText(&change.point, 1);
        EXPECT_EQ(after, c.after) << c.what;
        EXPECT_EQ(told, c.changes) << c.what;
        EXPECT_EQ(counts.fixedNodes, c.counts.fixedNodes) << c.what;
        EXPECT_EQ(counts.fixedVertices, c.counts.fixedVertices) << c.what;
        EXPECT_EQ(counts.insertedVertices, c.counts.insertedVertices) << c.what;
    }
}

TEST_F(TopologyErrorsTest, AnEndMovedByTheNodePassStillFindsItsLine)
{
    // The third line's end moves from (0.9, 0.9) onto the master at the
    // origin; only then does its line pass near the end at (1.2, -0.2).
    CShapeArray shapes;
    AddShapes(shapes, {"0 0, -10 0", "-0.3 0.5, -10 10", "0.9 0.9, 10 10", "1.2 -0.2, 10 -5"});
    std::vector<CTopologyChange> changes;
    CTopologyFixCounts counts;
    ASSERT_EQ(FixTopology(doc, 1, false, shapes, &changes, counts, nullptr), EOperationEnd::kDone);
    std::string told;
    for (const CTopologyChange& change : changes)
        told += (told.empty() ? "" : "; ") + change.code + " " + PointsText(&change.point, 1);
    EXPECT_EQ(told, "11 0 0; 10 -0.3 0.5; 10 0.9 0.9; 30 1.2 -0.2; 31 0.5 0.5");
    EXPECT_EQ(ShapeText(*shapes[2]), "0 0, 0.5 0.5, 10 10");
    EXPECT_EQ(ShapeText(*shapes[3]), "0.5 0.5, 10 -5");
}

// The commands, writing their layers.
class ErrorCommandsTest : public CGeoprocFixture {
protected:
    ErrorCommandsTest()
    {
        m_points = CErrorToleranceRules::Last(CErrorToleranceRules::kErrorPoints);
        m_fixing = CErrorToleranceRules::Last(CErrorToleranceRules::kFixing);
    }
    ~ErrorCommandsTest() override
    {
        CErrorToleranceRules::Remember(CErrorToleranceRules::kErrorPoints, m_points);
        CErrorToleranceRules::Remember(CErrorToleranceRules::kFixing, m_fixing);
    }
    std::vector<std::string> FirstFields(const CLayer& layer)
    {
        std::vector<std::string> values;
        for (const CReadObject& object : ReadObjects(layer.GetPath(), CLayer::kPoint))
            values.push_back(object.fields.at("Id"));
        return values;
    }
    static int Symbol(const CLayer& layer)
    {
        const CSublayer* first = layer.GetSublayer(0);
        return first ? first->m_style.Point().symbol : -1;
    }

    CScriptedGeoprocDialogs dialogs;

private:
    double m_points, m_fixing;
};

TEST_F(ErrorCommandsTest, ErrorPointsGoIntoANewPointLayerNumberedFromNought)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine,
                                    {"0 0, 10 0, 10 10, 0 1", "20 0, 30 0", "25 0.5, 25 10"});
    CErrorToleranceRules::Remember(CErrorToleranceRules::kErrorPoints, 2.0);
    dialogs.tolerance = 2;
    ASSERT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"287"});
    EXPECT_EQ(dialogs.offeredTolerance, 2.0);
    EXPECT_EQ(newLayer.offeredName, "gatves_errors");
    EXPECT_EQ(newLayer.offeredType, CLayer::kPoint);
    const CLayer* errors = doc.Layers().FindByName("gatves_errors");
    ASSERT_TRUE(errors);
    EXPECT_EQ(errors->GetType(), CLayer::kPoint);
    EXPECT_EQ(Symbol(*errors), 95);
    EXPECT_EQ(FirstFields(*errors), (std::vector<std::string>{"0", "1", "2"}));
    std::vector<CMapPoint> points;
    for (const CReadObject& object : ReadObjects(errors->GetPath(), CLayer::kPoint))
        points.push_back(object.point);
    EXPECT_EQ(PointsText(points), "0 0, 0 1, 25 0.5");

    // The next run starts from the tolerance given.
    dialogs.tolerance = 0.3;
    ASSERT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 1);
    dialogs.tolerance = 2;
    ASSERT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.offeredTolerance, 0.3);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(ErrorCommandsTest, ErrorPointsWantAPointLayerAndATolerance)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0, 10 10, 0 1"});
    const auto before = Folder();
    newLayer.chosenType = CLayer::kLine;
    EXPECT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1060});
    EXPECT_TRUE(dialogs.log.empty());
    user.messages.clear();
    newLayer.chosenType = -1;
    for (const double tolerance : {0.0, -1.0}) {
        dialogs.tolerance = tolerance;
        EXPECT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 0);
    }
    dialogs.tolerance = 1;
    dialogs.toleranceOk = false;
    EXPECT_EQ(CreateErrorPointsLayer(streets, doc, newLayer.Dialogs()), 0);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
    // An empty layer has no result either.
    CLayer& empty = AddShapeLayer("Empty", "empty.gdb", CLayer::kLine, {});
    dialogs.toleranceOk = true;
    EXPECT_EQ(CreateErrorPointsLayer(empty, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(doc.GetLayerCount(), 2);
}

TEST_F(ErrorCommandsTest, FixingWritesTheRepairedLayerAndItsChanges)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "5 0.5, 5 10"});
    CErrorToleranceRules::Remember(CErrorToleranceRules::kFixing, 1.0);
    dialogs.tolerance = 1;
    ASSERT_EQ(FixTopologyErrors(streets, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"287"});
    EXPECT_EQ(dialogs.offeredTolerance, 1.0);
    EXPECT_EQ(newLayer.runs, 1);
    EXPECT_EQ(newLayer.offeredName, "gatves");
    EXPECT_EQ(newLayer.offeredPath, dir.File("gatves_2.gdb"));
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pataisyta mazgų: 1\nPataisyta viršūnių: 0\nĮterpta viršūnių: 1"));
    ASSERT_EQ(doc.GetLayerCount(), 3);
    const CLayer* repaired = doc.Layers().FindByName("gatves");
    const CLayer* errors = doc.Layers().FindByName("gatves_errors");
    ASSERT_TRUE(repaired && errors);
    EXPECT_EQ(repaired->GetType(), CLayer::kLine);
    EXPECT_EQ(errors->GetPath(), dir.File("gatves_errors.gdb"));
    EXPECT_EQ(Symbol(*errors), 95);
    const std::vector<CReadObject> lines = ReadObjects(repaired->GetPath(), CLayer::kLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(ShapeText(lines[0].shape), "0 0, 5 0, 10 0");
    EXPECT_EQ(ShapeText(lines[1].shape), "5 0, 5 10");
    EXPECT_EQ(lines[1].fields.at("Name"), "S1");
    EXPECT_EQ(FirstFields(*errors), (std::vector<std::string>{"30", "31"}));
}

TEST_F(ErrorCommandsTest, ALayerWithoutNearMissesStillGetsBothLayers)
{
    CLayer& areas = AddShapeLayer("Areas", "plotai.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 0", "20 0, 30 0, 30 10, 20 0"});
    ASSERT_EQ(FixTopologyErrors(areas, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3035});
    ASSERT_EQ(doc.GetLayerCount(), 3);
    EXPECT_EQ(ReadObjects(doc.GetLayer(1)->GetPath(), CLayer::kLine).size(), 2u);
    EXPECT_EQ(doc.GetLayer(1)->GetType(), CLayer::kLine);
    EXPECT_TRUE(ReadObjects(doc.GetLayer(2)->GetPath(), CLayer::kPoint).empty());
}

TEST_F(ErrorCommandsTest, FixingWantsALineLayerAndEndsOnCancel)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "5 0.5, 5 10"});
    const auto before = Folder();
    newLayer.chosenType = CLayer::kArea;
    EXPECT_EQ(FixTopologyErrors(streets, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1061});
    EXPECT_TRUE(dialogs.log.empty());
    user.messages.clear();
    newLayer.chosenType = -1;
    dialogs.tolerance = 0;
    EXPECT_EQ(FixTopologyErrors(streets, doc, newLayer.Dialogs()), 0);
    dialogs.tolerance = 1;
    // Cancelled in the progress window: nothing added, nothing left.
    user.cancelAfterChecks = 2;
    EXPECT_EQ(FixTopologyErrors(streets, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.cancelChecks, 3);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(ErrorCommandsTest, OtherLayersAreRefusedWithoutAWord)
{
    CLayer& points = AddPointLayer("Points", "points.gdb", {{1, 1}});
    CLayer& group = Add("Group", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    for (CLayer* layer : {&points, &group}) {
        EXPECT_EQ(CreateErrorPointsLayer(*layer, doc, newLayer.Dialogs()), 0);
        EXPECT_EQ(FixTopologyErrors(*layer, doc, newLayer.Dialogs()), 0);
    }
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
