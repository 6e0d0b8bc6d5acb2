// Islands, snapping of near vertices and thinning: the work in memory and
// the commands' frames.
#include "geoproc/Islands.h"
#include "geoproc/SnapVertices.h"
#include "geoproc/ThinVertices.h"
#include "geoproc/TopologyRules.h"

#include "core/ShapeArray.h"
#include "layers/SpatialIndex.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace {

void BuildIndex(const CShapeArray& shapes, CSpatialIndex& index)
{
    CMapRect all;
    for (int i = 0; i < shapes.GetSize(); ++i)
        all.UnionRect(all, shapes[i]->GetExtent());
    ASSERT_TRUE(index.Create(all, shapes.GetSize(), CSpatialIndex::kSourceCellCount));
    for (int i = 0; i < shapes.GetSize(); ++i)
        index.AddBox(shapes[i]->GetExtent(), i);
    ASSERT_TRUE(index.Build());
}

// The tolerances the commands remember, put back after each test.
class CToleranceKeeper {
public:
    CToleranceKeeper()
        : m_snap(CErrorToleranceRules::Last(CErrorToleranceRules::kSnapping)),
          m_thin(CErrorToleranceRules::Last(CErrorToleranceRules::kThinning))
    {
    }
    ~CToleranceKeeper()
    {
        CErrorToleranceRules::Remember(CErrorToleranceRules::kSnapping, m_snap);
        CErrorToleranceRules::Remember(CErrorToleranceRules::kThinning, m_thin);
    }

private:
    double m_snap, m_thin;
};

// ------------------------------------------------------------ islands

const char kFrame[] = "0 0, 100 0, 100 100, 0 100 | 20 20, 80 20, 80 80, 20 80";

TEST(MakeIslands, WhichAreasBecomeRingsOfAnother)
{
    struct Case {
        const char* name;
        std::vector<std::string> areas;
        std::vector<int> partsAfter; // 0: emptied
    };
    const Case cases[] = {
        {"an area inside becomes a hole", {"0 0, 10 0, 10 10, 0 10", "2 2, 4 2, 4 4, 2 4"}, {2, 0}},
        {"the inner one may come first", {"2 2, 4 2, 4 4, 2 4", "0 0, 10 0, 10 10, 0 10"}, {0, 2}},
        {"an area in a hole becomes a filled island", {kFrame, "40 40, 60 40, 60 60, 40 60"}, {3, 0}},
        {"a box reaching beyond stays apart", {"0 0, 10 0, 10 10, 0 10", "5 5, 12 5, 12 8, 5 8"}, {1, 1}},
        // A U whose notch holds half of the candidate: its box and first
        // vertex lie in the U, yet it would cross the U's outline.
        {"only partly inside a concave area stays apart",
         {"0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30", "5 20, 15 20, 15 25, 5 25"},
         {1, 1}},
        {"apart areas stay apart", {"0 0, 10 0, 10 10, 0 10", "20 0, 30 0, 30 10, 20 10"}, {1, 1}},
    };
    for (const Case& c : cases) {
        CShapeArray shapes;
        FillShapes(shapes, c.areas);
        CSpatialIndex index;
        BuildIndex(shapes, index);
        ASSERT_EQ(MakeIslands(shapes, index, nullptr), 1) << c.name;
        for (int i = 0; i < shapes.GetSize(); ++i) {
            const int parts = shapes[i]->GetPointCount() == 0 ? 0 : shapes[i]->GetPartCount();
            EXPECT_EQ(parts, c.partsAfter[static_cast<size_t>(i)]) << c.name << " " << i;
        }
    }
    // The island in the frame's hole is filled again by the even-odd rule.
    CShapeArray shapes;
    FillShapes(shapes, {kFrame, "40 40, 60 40, 60 60, 40 60"});
    CSpatialIndex index;
    BuildIndex(shapes, index);
    ASSERT_EQ(MakeIslands(shapes, index, nullptr), 1);
    EXPECT_EQ(shapes[0]->PointInPolygon({50, 50}), 1);
    EXPECT_EQ(shapes[0]->PointInPolygon({30, 30}), 0);
    EXPECT_EQ(shapes[0]->PointInPolygon({10, 10}), 1);
}

class IslandsCommandTest : public CGeoprocFixture {
protected:
    CLayer& AddLakes()
    {
        CLayer& layer = AddShapeLayer("Lakes", "lakes.gdb", CLayer::kArea,
                                      {"0 0, 10 0, 10 10, 0 10", "2 2, 4 2, 4 4, 2 4", "20 0, 30 0, 30 10, 20 10"});
        layer.SetFlag(CLayer::kObjectsEditable, true);
        return layer;
    }
    CScriptedGeoprocDialogs dialogs;
};

TEST_F(IslandsCommandTest, InPlaceTheInnerAreaLosesItsRecord)
{
    CLayer& layer = AddLakes();
    user.answers = {IDYES};
    ASSERT_EQ(CreateIslands(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2021});
    EXPECT_EQ(newLayer.runs, 0);
    const std::vector<CReadObject> objects = ReadObjects(layer.GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].fields.at("Name"), "S0");
    EXPECT_EQ(objects[0].shape.GetPartCount(), 2);
    EXPECT_EQ(objects[1].fields.at("Name"), "S2");
}

TEST_F(IslandsCommandTest, NoWritesANewAreaLayerAndCancelNothing)
{
    CLayer& layer = AddLakes();
    const auto before = Folder();
    user.answers = {IDCANCEL};
    EXPECT_EQ(CreateIslands(layer, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(Folder(), before);

    user.answers = {IDNO};
    ASSERT_EQ(CreateIslands(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(newLayer.offeredName, "lakes");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    CLayer* result = doc.Layers().FindByName("lakes");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetType(), CLayer::kArea);
    const std::vector<CReadObject> objects = ReadObjects(result->GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].shape.GetPartCount(), 2);
    // The source is as it was.
    EXPECT_EQ(ReadObjects(layer.GetPath(), CLayer::kArea).size(), 3u);
}

TEST_F(IslandsCommandTest, OnlyAreaLayersAreServed)
{
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 1 0"});
    EXPECT_EQ(CreateIslands(lines, doc, newLayer.Dialogs()), 0);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(newLayer.runs, 0);
}

// ------------------------------------------------------------ snapping

// The steps as written, every comparison made.
int64_t LiteralSnap(CShapeArray& shapes, double tx, double ty)
{
    const auto near = [&](const CMapPoint& v, const CMapPoint& w) {
        return std::fabs(w.x - v.x) < tx && std::fabs(w.y - v.y) < ty && !(w.x == v.x && w.y == v.y);
    };
    int64_t moved = 0;
    for (int a = 0; a < shapes.GetSize(); ++a) {
        CShape& s = *shapes[a];
        if (s.GetPointCount() == 0)
            continue;
        CMapPointArray& p = s.Points();
        for (int part = 0; part < s.GetPartCount(); ++part) {
            const int first = s.GetPartStart(part), last = first + s.GetPartSize(part) - 1;
            if (last > first && near(p[last], p[first])) {
                p[last] = p[first];
                ++moved;
            }
        }
        for (int v = 1; v < s.GetPointCount(); ++v)
            for (int w = 0; w < v; ++w)
                if (near(p[v], p[w])) {
                    p[v] = p[w];
                    ++moved;
                    break;
                }
        const CMapRect box = s.GetExtent();
        const CMapRect wide(box.left - tx, box.top + ty, box.right + tx, box.bottom - ty);
        for (int b = 0; b < a; ++b) {
            const CShape& o = *shapes[b];
            const CMapRect& ob = o.GetExtent();
            if (o.GetPointCount() == 0 || ob.left > wide.right || ob.right < wide.left || ob.bottom > wide.top ||
                ob.top < wide.bottom)
                continue;
            for (int v = 0; v < s.GetPointCount(); ++v) {
                if (p[v].x < ob.left - tx || p[v].x > ob.right + tx || p[v].y < ob.bottom - ty || p[v].y > ob.top + ty)
                    continue;
                for (int w = 0; w < o.GetPointCount(); ++w)
                    if (near(p[v], o.GetPoint(w))) {
                        p[v] = o.GetPoint(w);
                        ++moved;
                        break;
                    }
            }
        }
        s.RecalcBounds();
    }
    return moved;
}

TEST(SnapVertices, NearMeansStrictlyInsideTheBoxAndNotEqual)
{
    struct Case {
        const char* name;
        std::string second;
        int64_t moved;
        std::string after;
    };
    // tx = 1, ty = 0.5; the first line holds the vertex (0 0).
    const Case cases[] = {
        {"inside the box", "0.9 0.4, 5 5", 1, "0 0, 5 5"},
        {"on the box's x edge", "1 0, 5 5", 0, "1 0, 5 5"},
        {"on the box's y edge", "0 0.5, 5 5", 0, "0 0.5, 5 5"},
        {"equal is not near", "0 0, 5 5", 0, "0 0, 5 5"},
        {"a part nearly closed closes", "10 10, 20 10, 20 20, 10.5 10.25", 1, "10 10, 20 10, 20 20, 10 10"},
        {"the first near vertex of the shape wins", "10 10, 10.6 10, 10.3 10.1", 2, "10 10, 10 10, 10 10"},
    };
    for (const Case& c : cases) {
        CShapeArray shapes;
        FillShapes(shapes, {"0 0, -5 -5", c.second});
        EXPECT_EQ(SnapVertices(shapes, 1, 0.5, nullptr), c.moved) << c.name;
        EXPECT_EQ(ShapeText(*shapes[1]), c.after) << c.name;
        EXPECT_EQ(ShapeText(*shapes[0]), "0 0, -5 -5") << c.name;
    }
}

TEST(SnapVertices, AVertexTakesTheFirstNearVertexOfTheFirstEarlierShape)
{
    CShapeArray shapes;
    FillShapes(shapes, {"0.2 0, 9 9", "-0.2 0, -9 9", "0 0.1, 0 -9"});
    EXPECT_EQ(SnapVertices(shapes, 0.5, 0.5, nullptr), 2);
    // (-0.2 0) and (0 0.1) both to (0.2 0) of shape 0; shape 1 holds the
    // same point by then, which is not near.
    EXPECT_EQ(ShapeTexts(shapes), (std::vector<std::string>{"0.2 0, 9 9", "0.2 0, -9 9", "0.2 0, 0 -9"}));
    EXPECT_EQ(shapes[1]->GetExtent().right, 0.2);
}

TEST(SnapVertices, EqualsTheLiteralStepsOnSeededSets)
{
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> at(0, 20);
        std::vector<std::string> texts;
        const int count = 5 + static_cast<int>(random() % 10);
        for (int i = 0; i < count; ++i) {
            // Some long enough for the search through a grid.
            const int n = i % 3 == 0 ? 60 + static_cast<int>(random() % 40) : 2 + static_cast<int>(random() % 6);
            std::string text;
            for (int k = 0; k < n; ++k)
                text += FormatC("%s%.3f %.3f", k ? ", " : "", at(random), at(random));
            if (i % 4 == 1)
                text += " | " + FormatC("%.3f %.3f, %.3f %.3f, %.3f %.3f", at(random), at(random), at(random), at(random),
                                        at(random), at(random));
            texts.push_back(text);
        }
        CShapeArray fast, literal;
        FillShapes(fast, texts);
        FillShapes(literal, texts);
        const int64_t moved = SnapVertices(fast, 0.8, 0.6, nullptr);
        EXPECT_EQ(moved, LiteralSnap(literal, 0.8, 0.6)) << seed;
        EXPECT_GT(moved, 0) << seed;
        EXPECT_EQ(ShapeTexts(fast), ShapeTexts(literal)) << seed;
    }
}

// Short streets between the crossings of a grid, ends pulled apart by up
// to nearly the tolerance, in shuffled order: most ends snap onto ends of
// earlier streets, some in turn onto others, and a few streets bend.
TEST(SnapVertices, EqualsTheLiteralStepsOnShuffledStreetEnds)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> off(-0.45, 0.45);
        const auto end = [&](int c, int r) { return FormatC("%.3f %.3f", c * 10 + off(random), r * 10 + off(random)); };
        std::vector<std::string> texts;
        constexpr int kSide = 12;
        for (int r = 0; r <= kSide; ++r)
            for (int c = 0; c <= kSide; ++c) {
                const std::string bend = random() % 8 == 0 ? FormatC("%.3f %.3f, ", c * 10 + 5.0, r * 10 + 2.0) : "";
                if (c < kSide)
                    texts.push_back(end(c, r) + ", " + bend + end(c + 1, r));
                if (r < kSide)
                    texts.push_back(end(c, r) + ", " + end(c, r + 1));
            }
        std::shuffle(texts.begin(), texts.end(), random);
        CShapeArray fast, literal;
        FillShapes(fast, texts);
        FillShapes(literal, texts);
        const int64_t moved = SnapVertices(fast, 0.5, 0.5, nullptr);
        EXPECT_EQ(moved, LiteralSnap(literal, 0.5, 0.5)) << seed;
        EXPECT_GT(moved, static_cast<int64_t>(texts.size())) << seed;
        EXPECT_EQ(ShapeTexts(fast), ShapeTexts(literal)) << seed;
    }
}

class SnapCommandTest : public CGeoprocFixture {
protected:
    CScriptedGeoprocDialogs dialogs;
    CToleranceKeeper keeper;
};

TEST_F(SnapCommandTest, MovedVerticesGoToANewLayerAndAreTold)
{
    CLayer& layer = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 10 0", "10.0005 0, 20 0", "50 50, 60 60"});
    CErrorToleranceRules::Remember(CErrorToleranceRules::kSnapping, 0.001);
    dialogs.tolerance = 0.002;
    ASSERT_EQ(SnapAdjacentPoints(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"287"});
    EXPECT_EQ(dialogs.offeredTolerance, 0.001);
    EXPECT_EQ(CErrorToleranceRules::Last(CErrorToleranceRules::kSnapping), 0.002);
    EXPECT_EQ(newLayer.offeredName, "roads");
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pataisyta viršūnių: 1"));
    EXPECT_EQ(user.messages[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
    CLayer* result = doc.Layers().FindByName("roads");
    ASSERT_TRUE(result);
    const std::vector<CReadObject> objects = ReadObjects(result->GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(ShapeText(objects[1].shape), "10 0, 20 0");
    EXPECT_EQ(objects[1].fields.at("Name"), "S1");
}

TEST_F(SnapCommandTest, NothingNearIsToldWithZeroAndMakesNoLayer)
{
    CLayer& layer = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 10 0", "10.5 0, 20 0"});
    const auto before = Folder();
    dialogs.tolerance = 0.1;
    ASSERT_EQ(SnapAdjacentPoints(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pataisyta viršūnių: 0"));
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(Folder(), before);
}

TEST_F(SnapCommandTest, ATolerancesOfNoneOrCancelEndsWithoutAWord)
{
    CLayer& layer = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 10 0", "10.0005 0, 20 0"});
    CErrorToleranceRules::Remember(CErrorToleranceRules::kSnapping, 0.004);
    for (const auto& [tolerance, ok] : {std::pair{0.0, true}, {-1.0, true}, {0.5, false}}) {
        dialogs.tolerance = tolerance;
        dialogs.toleranceOk = ok;
        EXPECT_EQ(SnapAdjacentPoints(layer, doc, newLayer.Dialogs()), 0) << tolerance;
    }
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(CErrorToleranceRules::Last(CErrorToleranceRules::kSnapping), 0.004);
}

TEST_F(SnapCommandTest, AnAreaSourceWantsAnAreaResult)
{
    CLayer& layer = AddShapeLayer("Plots", "plots.gdb", CLayer::kArea, {"0 0, 10 0, 10 10"});
    newLayer.chosenType = CLayer::kLine;
    EXPECT_EQ(SnapAdjacentPoints(layer, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1062});
    EXPECT_TRUE(dialogs.log.empty());
}

// ------------------------------------------------------------ thinning

TEST(ThinShape, TheToleranceIsInMetresWhateverTheUnits)
{
    struct Case {
        const char* name;
        double mx, my;
        int removed;
    };
    // A line of map units with a bump of 0.004 units in its middle.
    const Case cases[] = {
        {"metres", 1, 1, 1},
        {"kilometres: the bump is 4 m", 1000, 1000, 0},
        {"units of 100 m: the bump is 0.4 m", 100, 100, 1},
        {"unequal factors: the bump is 6 m", 1000, 1500, 0},
        {"unequal factors: the bump is 0.6 m", 100, 150, 1},
    };
    for (const Case& c : cases) {
        CShape line = Shape("0 0, 1 0.004, 2 0");
        EXPECT_EQ(ThinShape(line, false, 1.0, c.mx, c.my), c.removed) << c.name;
    }
}

TEST(ThinShape, AreaRingsLeftFlatGo)
{
    // The sliver ring thins to two points; the square keeps its corners.
    CShape area = Shape("0 0, 10 0, 10 10, 0 10 | 20 0, 25 0.1, 30 0, 30.2 0");
    EXPECT_EQ(ThinShape(area, true, 1.0, 1, 1), 4);
    EXPECT_EQ(ShapeText(area), "0 0, 10 0, 10 10, 0 10");
    EXPECT_EQ(area.GetExtent().right, 10);
    CShape sliver = Shape("20 0, 25 0.1, 30 0, 30.2 0");
    EXPECT_EQ(ThinShape(sliver, true, 1.0, 1, 1), 4);
    EXPECT_EQ(sliver.GetPointCount(), 0);
    // A line keeps its two ends.
    CShape line = Shape("20 0, 25 0.1, 30 0, 30.2 0");
    EXPECT_EQ(ThinShape(line, false, 1.0, 1, 1), 2);
    EXPECT_EQ(ShapeText(line), "20 0, 30.2 0");
}

class ThinCommandTest : public CGeoprocFixture {
protected:
    CScriptedGeoprocDialogs dialogs;
    CToleranceKeeper keeper;
};

TEST_F(ThinCommandTest, TheThinnedCopyIsAddedAndTheCountTold)
{
    CLayer& layer = AddShapeLayer("Plots", "plots.gdb", CLayer::kArea,
                                  {"0 0, 5 0.1, 10 0, 10 10, 0 10", "20 0, 25 0.1, 30 0, 30.2 0", "40 0, 50 0, 50 10"});
    // The name taken by the user is made unique.
    AddShapeLayer("Taken", "taken.gdb", CLayer::kLine, {"0 0, 1 1"});
    newLayer.chosenName = "Taken";
    CErrorToleranceRules::Remember(CErrorToleranceRules::kThinning, 1.0);
    dialogs.tolerance = 0.5;
    ASSERT_EQ(ThinVertices(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.offeredTolerance, 1.0);
    EXPECT_EQ(CErrorToleranceRules::Last(CErrorToleranceRules::kThinning), 0.5);
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Pašalinta viršūnių: 5."));
    EXPECT_EQ(user.messages[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
    CLayer* result = doc.Layers().FindByName("Taken (2)");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetType(), CLayer::kArea);
    const std::vector<CReadObject> objects = ReadObjects(result->GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 10 0, 10 10, 0 10");
    EXPECT_EQ(objects[0].fields.at("Name"), "S0");
    EXPECT_EQ(objects[1].fields.at("Name"), "S2");
}

TEST_F(ThinCommandTest, AFailureIsToldInsteadOfTheCount)
{
    CLayer& layer = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 5 0.1, 10 0", "0 5, 10 5"});
    SpoilSecondBlock(dir.File("roads.gdb"));
    ASSERT_EQ(ThinVertices(layer, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_TRUE(FindMatchingFiles(dir.File("roads_2.*")).empty());
}

TEST_F(ThinCommandTest, OnlyLinesAndAreasAndAToleranceAboveZero)
{
    CLayer& points = AddPointLayer("Points", "points.gdb", {{1, 1}});
    EXPECT_EQ(ThinVertices(points, doc, newLayer.Dialogs()), 0);
    EXPECT_TRUE(dialogs.log.empty());
    CLayer& lines = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 5 0.1, 10 0"});
    dialogs.tolerance = 0;
    EXPECT_EQ(ThinVertices(lines, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
