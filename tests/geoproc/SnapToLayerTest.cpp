// Snapping of one layer onto another: the kernels that move a point onto
// the nearest point or edge and collect the points along a segment, and
// the snapped copy written as a new layer.
#include "geoproc/GeoprocFrame.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/PointIndex.h"
#include "geoproc/SnapLayerRules.h"
#include "geoproc/SnapToLayer.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

std::string PointText(const CMapPoint& p)
{
    return FormatC("%.10g %.10g", p.x, p.y);
}

CTopologyTolerance Metres(double metres, double mx = 1, double my = 1)
{
    CTopologyTolerance tolerance;
    tolerance.metres = metres;
    tolerance.mx = mx;
    tolerance.my = my;
    tolerance.tx = metres / mx;
    tolerance.ty = metres / my;
    return tolerance;
}

TEST(SnapKernels, APointTakesTheNearestPointWithinTheTolerance)
{
    const std::vector<CMapPoint> targets = {{10, 10}, {12, 10}, {10, 13}, {30, 30}};
    CSpatialIndex index;
    ASSERT_TRUE(IndexPoints(targets, index));
    struct Case {
        CMapPoint from;
        double metres, mx, my;
        const char* to;
    };
    const Case cases[] = {
        {{11.2, 10}, 1, 1, 1, "12 10"},      // the nearer of two
        {{10, 11.4}, 2, 1, 1, "10 10"},      //
        {{20, 20}, 5, 1, 1, "20 20"},        // nothing near
        {{10, 12}, 1, 1, 1, "10 12"},        // exactly at the tolerance: not below it
        {{10, 12.5}, 1, 1, 1, "10 13"},      //
        {{10.5, 10}, 1, 10, 1, "10.5 10"},   // 5 m apart in x
        {{10, 10.5}, 1, 10, 1, "10 10"},     // 0.5 m in y
    };
    for (const Case& c : cases) {
        CMapPoint p = c.from;
        const bool moved = SnapToNearestPoint(p, targets, index, Metres(c.metres, c.mx, c.my));
        EXPECT_EQ(PointText(p), c.to) << PointText(c.from);
        EXPECT_EQ(moved, PointText(p) != PointText(c.from)) << PointText(c.from);
    }
}

TEST(SnapKernels, OfEquallyNearPointsTheFirstTheIndexYieldsWins)
{
    const std::vector<CMapPoint> targets = {{0, 0}, {2, 0}, {1, 2}, {1, -2}};
    CSpatialIndex index;
    ASSERT_TRUE(IndexPoints(targets, index));
    CMapPoint middle(1, 0);
    int first = -1;
    const CMapRect box(-0.5, 1.5, 2.5, -1.5);
    for (int hit = index.BeginRectQuery(box); hit >= 0 && first < 0; hit = index.Next())
        if (hit < 2)
            first = hit;
    ASSERT_GE(first, 0);
    EXPECT_TRUE(SnapToNearestPoint(middle, targets, index, Metres(1.5)));
    EXPECT_EQ(PointText(middle), PointText(targets[static_cast<size_t>(first)]));
}

TEST(SnapKernels, APointTakesTheNearestPointOfAnEdge)
{
    // A segment from (0, 0) to (10, 0) and one from (20, 0) to (20, 10).
    std::vector<CMapPoint> points = {{0, 0}, {10, 0}, {20, 0}, {20, 10}};
    CVertexSegments segments;
    segments.ends = {{0, 1}, {2, 3}};
    ASSERT_TRUE(segments.index.Create(CMapRect(0, 10, 20, 0), 2, CSpatialIndex::kSourceCellCount));
    segments.index.AddBox(CMapRect(0, 0, 10, 0), 0);
    segments.index.AddBox(CMapRect(20, 10, 20, 0), 1);
    ASSERT_TRUE(segments.index.Build());
    struct Case {
        CMapPoint from;
        double metres;
        const char* to;
    };
    const Case cases[] = {
        {{4, 3}, 5, "4 0"},     // the foot
        {{4, 3}, 3, "4 3"},     // exactly at the tolerance
        {{-2, 1}, 5, "0 0"},    // beyond the start: the start vertex
        {{12, -1}, 5, "10 0"},  // beyond the end
        {{18, 5}, 5, "20 5"},   // the other segment
        {{15, 1}, 10, "20 1"},  // 5.1 m from the first's end, 5 from the second: the nearer
    };
    for (const Case& c : cases) {
        CMapPoint p = c.from;
        SnapToNearestEdge(p, points, segments, Metres(c.metres));
        EXPECT_EQ(PointText(p), c.to) << PointText(c.from);
    }
}

TEST(SnapKernels, PointsAlongASegmentComeInTheOrderOfTravel)
{
    const std::vector<CMapPoint> targets = {{60, 1}, {30, -1}, {50, 5}, {0, 0.5}, {100.5, 0}, {40, 0.2}};
    CSpatialIndex index;
    ASSERT_TRUE(IndexPoints(targets, index));
    const auto along = [&](CMapPoint a, CMapPoint b) {
        std::vector<const CMapPoint*> near;
        CollectPointsNearSegment(a, b, targets, index, Metres(2), near);
        std::vector<std::string> texts;
        for (const CMapPoint* p : near)
            texts.push_back(PointText(*p));
        return texts;
    };
    // Not the ones off the ends or farther than 2 m.
    EXPECT_EQ(along({0, 0}, {100, 0}), (std::vector<std::string>{"30 -1", "40 0.2", "60 1"}));
    EXPECT_EQ(along({100, 0}, {0, 0}), (std::vector<std::string>{"60 1", "40 0.2", "30 -1"}));
    // Steep: by y.
    EXPECT_EQ(along({30, -10}, {31, 10}), (std::vector<std::string>{"30 -1"}));
    EXPECT_EQ(along({50, 0}, {50, 0}), std::vector<std::string>{});

    const CMapPoint p(1, 2), q(2, 1);
    EXPECT_TRUE(PointXAscending(&p, &q));
    EXPECT_TRUE(PointXDescending(&q, &p));
    EXPECT_TRUE(PointYAscending(&q, &p));
    EXPECT_TRUE(PointYDescending(&p, &q));
}

class SnapToLayerTest : public CGeoprocFixture {
protected:
    SnapToLayerTest() : m_remembered(CSnapLayerRules::Initial()), m_target(CSnapLayerRules::LastTarget()) {}
    ~SnapToLayerTest() override { CSnapLayerRules::Remember(m_target, m_remembered); }

    // The copy of the layer added last, as text.
    std::vector<std::string> Copy()
    {
        const CLayer& copy = *doc.GetLayer(doc.GetLayerCount() - 1);
        std::vector<std::string> texts;
        for (const CReadObject& object : ReadObjects(copy.GetPath(), copy.GetType()))
            texts.push_back(copy.GetType() == CLayer::kPoint ? PointText(object.point) : ShapeText(object.shape));
        return texts;
    }

    CScriptedGeoprocDialogs geoprocDialogs;

private:
    CSnapLayerChoice m_remembered;
    std::string m_target;
};

TEST_F(SnapToLayerTest, WhatIsSnappedAndToWhat)
{
    CLayer& roads = AddShapeLayer("Roads", "roads.gdb", CLayer::kLine, {"0 0, 100 0", "200 0, 200 100"});
    CLayer& points = AddPointLayer("Points", "points.gdb", {{3, 4}, {60, 1}});
    struct Case {
        const char* what;
        std::vector<std::string> source;
        int snap, toWhat;
        double metres;
        std::vector<std::string> copy;
    };
    const Case cases[] = {
        {"ends onto edges, inner vertices stay", {"10 3, 50 3, 90 3"}, kSnapEnds, kToEdges, 5,
         {"10 0, 50 3, 90 0"}},
        {"ends of every part", {"-2 1, -10 10 | 205 50, 195 60"}, kSnapEnds, kToEnds, 3,
         {"0 0, -10 10 | 205 50, 195 60"}},
        {"vertices onto vertices", {"1 1, 99 -1, 150 50, 201 99"}, kSnapVertices, kToVertices, 2,
         {"0 0, 100 0, 150 50, 200 100"}},
        {"a vertex first, else an edge", {"1 1, 50 1, 199 50"}, kSnapVertices, kToVerticesOrEdges, 2,
         {"0 0, 50 0, 200 50"}},
        {"target vertices inserted, then all snapped", {"-3 0.6, 103 -0.6 | 190 100, 210 100"},
         kSnapInsertVertices, kToVertices, 1, {"-3 0.6, 0 0, 100 0, 103 -0.6 | 190 100, 200 100, 210 100"}},
    };
    for (const Case& c : cases) {
        const std::string file = "s" + std::to_string(&c - cases) + ".gdb";
        CLayer& source = AddShapeLayer("S", file, CLayer::kLine, c.source);
        ASSERT_EQ(SnapToLayer(source, roads, doc, newLayer.Dialogs(), c.metres, c.snap, c.toWhat), 1) << c.what;
        EXPECT_EQ(Copy(), c.copy) << c.what;
        // The source's records come along.
        EXPECT_EQ(ReadObjects(doc.GetLayer(doc.GetLayerCount() - 1)->GetPath(), CLayer::kLine)[0].fields.at("Name"),
                  "S0")
            << c.what;
    }

    // A point source ignores what is snapped; a point target means its points.
    CLayer& spots = AddPointLayer("Spots", "spots.gdb", {{1, 1}, {99, 2}, {60, 3}});
    ASSERT_EQ(SnapToLayer(spots, roads, doc, newLayer.Dialogs(), 2.5, kSnapEnds, kToVerticesOrEdges), 1);
    EXPECT_EQ(Copy(), (std::vector<std::string>{"0 0", "100 0", "60 3"}));
    ASSERT_EQ(SnapToLayer(spots, points, doc, newLayer.Dialogs(), 3, kSnapEnds, kToEdges), 1);
    EXPECT_EQ(Copy(), (std::vector<std::string>{"1 1", "99 2", "60 1"}));
    CLayer& line = AddShapeLayer("Line", "line.gdb", CLayer::kLine, {"4 5, 61 0"});
    ASSERT_EQ(SnapToLayer(line, points, doc, newLayer.Dialogs(), 2, kSnapVertices, kToEdges), 1);
    EXPECT_EQ(Copy(), std::vector<std::string>{"3 4, 60 1"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(SnapToLayerTest, AnEmptyTargetLeavesTheCopyAsItWas)
{
    CLayer& empty = AddShapeLayer("Empty", "empty.gdb", CLayer::kArea, {});
    CLayer& source = AddShapeLayer("S", "s.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 0"});
    for (int toWhat = kToEnds; toWhat <= kToVerticesOrEdges; ++toWhat) {
        ASSERT_EQ(SnapToLayer(source, empty, doc, newLayer.Dialogs(), 100, kSnapInsertVertices, toWhat), 1);
        EXPECT_EQ(Copy(), std::vector<std::string>{"0 0, 10 0, 10 10, 0 0"}) << toWhat;
    }
}

TEST_F(SnapToLayerTest, TheCopyIsProposedUnderTheTitleWithTheSourcesType)
{
    CLayer& areas = AddShapeLayer("Kvartalai", "kvartalai.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 0"});
    areas.SetIdField("NAME");
    CLayer& target = AddShapeLayer("T", "t.gdb", CLayer::kLine, {"0 0, 10 0"});
    newLayer.chosenPath = dir.File("copy.shp");
    ASSERT_EQ(SnapToLayer(areas, target, doc, newLayer.Dialogs(), 1, kSnapVertices, kToVertices), 1);
    EXPECT_EQ(newLayer.offeredName.rfind("kvartalai", 0), 0u) << newLayer.offeredName;
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    const CLayer& copy = *doc.GetLayer(doc.GetLayerCount() - 1);
    EXPECT_EQ(copy.GetType(), CLayer::kArea);
    EXPECT_EQ(copy.GetPath(), dir.File("copy.shp"));
    EXPECT_EQ(copy.GetIdField(), "NAME");

    // Cancel in dialog 102, or in the progress window, adds nothing.
    newLayer.chosenPath.clear();
    const int layers = doc.GetLayerCount();
    newLayer.ok = false;
    EXPECT_EQ(SnapToLayer(areas, target, doc, newLayer.Dialogs(), 1, kSnapVertices, kToVertices), 0);
    newLayer.ok = true;
    user.cancelAfterChecks = 0;
    const auto before = Folder();
    EXPECT_EQ(SnapToLayer(areas, target, doc, newLayer.Dialogs(), 1, kSnapVertices, kToVertices), 0);
    EXPECT_EQ(doc.GetLayerCount(), layers);
    EXPECT_EQ(Folder(), before);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(SnapToLayerTest, ADamagedSourceIsToldAndAddsNothing)
{
    CLayer& source = AddShapeLayer("S", "s.gdb", CLayer::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    CLayer& target = AddShapeLayer("T", "t.gdb", CLayer::kLine, {"0 0, 10 0"});
    SpoilSecondBlock(dir.File("s.gdb"));
    const auto before = Folder();
    EXPECT_EQ(SnapToLayer(source, target, doc, newLayer.Dialogs(), 1, kSnapVertices, kToVertices), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(doc.GetLayerCount(), 2);
    EXPECT_EQ(Folder(), before);
}

TEST_F(SnapToLayerTest, TheCommandAsksDialog30807WithTheActiveLayer)
{
    CLayer& source = AddShapeLayer("S", "s.gdb", CLayer::kLine, {"1 1, 9 1"});
    CLayer& target = AddShapeLayer("T", "t.gdb", CLayer::kLine, {"0 0, 10 0"});
    geoprocDialogs.snapOk = false;
    EXPECT_EQ(SnapLayerToLayer(&source, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(geoprocDialogs.offeredActive, &source);
    EXPECT_EQ(newLayer.runs, 0);
    geoprocDialogs.snapOk = true;
    geoprocDialogs.snap = {&source, &target, 2, kSnapEnds, kToEnds};
    EXPECT_EQ(SnapLayerToLayer(nullptr, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(geoprocDialogs.offeredActive, nullptr);
    EXPECT_EQ(Copy(), std::vector<std::string>{"0 0, 10 0"});
}

TEST_F(SnapToLayerTest, TheDialogsRulesStartFromTheLastOkAndNeedBothLayers)
{
    CLayer& points = AddPointLayer("P", "p.gdb", {{1, 1}});
    CLayer& lines = AddShapeLayer("L", "l.gdb", CLayer::kLine, {"0 0, 1 1"});
    CLayer& track = Add("Trk", "t.trk", CLayer::kTrack);
    const std::vector<CLayer*> sources = CSnapLayerRules::SourceLayers(doc);
    const std::vector<CLayer*> targets = CSnapLayerRules::TargetLayers(doc);
    EXPECT_EQ(sources, (std::vector<CLayer*>{&points, &lines}));
    EXPECT_EQ(targets, (std::vector<CLayer*>{&points, &lines, &track}));
    EXPECT_EQ(CSnapLayerRules::InitialSource(sources, &lines), 1);
    EXPECT_EQ(CSnapLayerRules::InitialSource(sources, &track), -1);
    EXPECT_EQ(CSnapLayerRules::InitialSource(sources, nullptr), -1);
    EXPECT_TRUE(CSnapLayerRules::AsksWhat(&lines));
    EXPECT_FALSE(CSnapLayerRules::AsksWhat(&points));
    EXPECT_TRUE(CSnapLayerRules::AsksToWhat(&lines));
    EXPECT_FALSE(CSnapLayerRules::AsksToWhat(&points));
    EXPECT_FALSE(CSnapLayerRules::AsksToWhat(&track));

    CSnapLayerRules::Remember("", CSnapLayerChoice{});
    const CSnapLayerChoice first = CSnapLayerRules::Initial();
    EXPECT_EQ(first.what, kSnapVertices);
    EXPECT_EQ(first.toWhat, kToVerticesOrEdges);
    EXPECT_EQ(first.tolerance, 1.0);
    EXPECT_EQ(CSnapLayerRules::InitialTarget(targets), -1);
    EXPECT_FALSE(CSnapLayerRules::Accept({&lines, nullptr, 5, 0, 2}));
    EXPECT_FALSE(CSnapLayerRules::Accept({nullptr, &lines, 5, 0, 2}));
    EXPECT_TRUE(CSnapLayerRules::Accept({&points, &track, 5, 0, 2}));
    EXPECT_EQ(CSnapLayerRules::InitialTarget(targets), 2);
    const CSnapLayerChoice last = CSnapLayerRules::Initial();
    EXPECT_EQ(last.tolerance, 5);
    EXPECT_EQ(last.what, 0);
    EXPECT_EQ(last.toWhat, 2);
    EXPECT_EQ(last.source, nullptr);
}

} // namespace
