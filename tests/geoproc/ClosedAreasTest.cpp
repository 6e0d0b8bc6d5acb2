// Closed areas from a link network: faces, outlines, pruning and the
// command through dialog 102 and question 2016.
#include "geoproc/ClosedAreas.h"

#include "core/MapGeometry.h"
#include "core/ShapeArray.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

// One link: its points and its node values.
struct CLink {
    const char* points;
    int from;
    int to;
};

class ClosedAreasTest : public CGeoprocFixture {
protected:
    // A GDB line layer of the links with the node fields named so.
    CLayer& AddLinks(const std::string& name, const std::vector<CLink>& links, const char* fromName = "Fnode_",
                     const char* toName = "Tnode_")
    {
        {
            std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 8, 0}});
            if (fromName)
                fields.insert(fields.end() - 1, CDbfFieldInfo().Set(fromName, 'N', 6, 0));
            if (toName)
                fields.insert(fields.end() - 1, CDbfFieldInfo().Set(toName, 'N', 6, 0));
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(name + ".gdb"), CFeatureSource::kLine, fields.data()));
            CDbfTable& table = source.GetTable();
            for (const CLink& link : links) {
                EXPECT_TRUE(source.AppendShape(Shape(link.points), false));
                if (fromName)
                    table.SetFieldLong(table.FindField(fromName), link.from);
                if (toName)
                    table.SetFieldLong(table.FindField(toName), link.to);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        return Add(name, name + ".gdb", CLayer::kLine);
    }

    // The areas of the links as "ID: area" texts (areas rounded), read back.
    std::vector<std::string> Areas(const std::vector<CLink>& links, bool merge)
    {
        CLayer& layer = AddLinks("links" + std::to_string(++m_runs), links);
        const std::string path = dir.File("areas" + std::to_string(m_runs) + ".gdb");
        EXPECT_EQ(BuildAreasFromLines(layer, doc, path, merge), EOperationEnd::kDone);
        std::vector<std::string> texts;
        for (const CReadObject& object : ReadObjects(path, CLayer::kArea))
            texts.push_back(object.fields.at("Id") + ": " + FormatArea(object.shape.Area()));
        return texts;
    }
    static std::string FormatArea(double area)
    {
        return std::to_string(static_cast<long>(std::lround(area)));
    }

    int m_runs = 0;
};

// A 10 × 10 square from node 1 to 4, counter-clockwise from the origin.
const std::vector<CLink> kSquare = {
    {"0 0, 10 0", 1, 2}, {"10 0, 10 10", 2, 3}, {"10 10, 0 10", 3, 4}, {"0 10, 0 0", 4, 1}};

std::vector<CLink> With(std::vector<CLink> links, const std::vector<CLink>& more)
{
    links.insert(links.end(), more.begin(), more.end());
    return links;
}

TEST_F(ClosedAreasTest, FacesAndOutlinesOfNetworks)
{
    struct Case {
        const char* what;
        std::vector<CLink> links;
        std::vector<std::string> faces;
        std::vector<std::string> merged;
    };
    const std::vector<CLink> twoSquares = With(kSquare, {{"10 0, 20 0", 2, 5}, {"20 0, 20 10", 5, 6},
                                                          {"20 10, 10 10", 6, 3}});
    const Case cases[] = {
        {"a square", kSquare, {"1: 100"}, {"1: 100"}},
        {"two squares sharing a side", twoSquares, {"1: 100", "2: 100"}, {"1: 200"}},
        {"a dangling chain is pruned", With(kSquare, {{"10 10, 5 5", 3, 7}, {"5 5, 4 4", 7, 8}, {"4 4, 3 3", 8, 9}}),
         {"1: 100"}, {"1: 100"}},
        {"a line whose node values are equal forms its own ring", {{"0 0, 4 0, 4 4, 0 0", 1, 1}}, {"1: 8"},
         {"1: 8"}},
        {"equal coordinates under other node numbers do not connect",
         {{"0 0, 10 0", 1, 2}, {"10 0, 10 10", 2, 3}, {"10 10, 0 10", 3, 4}, {"0 10, 0 0", 4, 5}}, {}, {}},
        {"multi-part, one-point and all-equal lines give no half-edges",
         With(kSquare, {{"0 0, 5 5 | 5 5, 10 10", 1, 3}, {"3 3", 1, 3}, {"4 4, 4 4, 4 4", 1, 3}}), {"1: 100"},
         {"1: 100"}},
        {"a network inside a face is its hole",
         With(kSquare, {{"2 2, 4 2", 11, 12}, {"4 2, 4 4", 12, 13}, {"4 4, 2 4", 13, 14}, {"2 4, 2 2", 14, 11}}),
         {"1: 96", "2: 4"}, {"1: 100", "2: 4"}},
        {"nested networks: each a hole of the face right around it",
         With(kSquare, {{"2 2, 8 2", 11, 12}, {"8 2, 8 8", 12, 13}, {"8 8, 2 8", 13, 14}, {"2 8, 2 2", 14, 11},
                        {"4 4, 6 4", 21, 22}, {"6 4, 6 6", 22, 23}, {"6 6, 4 6", 23, 24}, {"4 6, 4 4", 24, 21}}),
         {"1: 64", "2: 32", "3: 4"}, {"1: 100", "2: 36", "3: 4"}},
        {"no links, no areas", {}, {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Areas(c.links, false), c.faces) << c.what;
        EXPECT_EQ(Areas(c.links, true), c.merged) << c.what;
    }
}

TEST_F(ClosedAreasTest, LinksLeavingANodeInOneDirectionGiveTheSameFacesEveryRun)
{
    // Two links from node 1 to node 2 over the same first stretch.
    const std::vector<CLink> links = {{"0 0, 5 0, 5 5", 1, 2}, {"0 0, 5 0, 10 5, 5 5", 1, 2},
                                      {"0 0, 0 5, 5 5", 1, 2}};
    const std::vector<std::string> first = Areas(links, false);
    EXPECT_EQ(first.size(), 2u);
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(Areas(links, false), first);
}

TEST_F(ClosedAreasTest, NodeFieldsWithoutTheUnderscoreStandIn)
{
    CLayer& plain = AddLinks("plain", kSquare, "Fnode", "Tnode");
    EXPECT_EQ(BuildAreasFromLines(plain, doc, dir.File("plain_polyg.gdb"), false), EOperationEnd::kDone);
    EXPECT_EQ(ReadObjects(dir.File("plain_polyg.gdb"), CLayer::kArea).size(), 1u);
    EXPECT_TRUE(user.messages.empty());

    CLayer& half = AddLinks("half", kSquare, "Fnode_", nullptr);
    EXPECT_EQ(BuildAreasFromLines(half, doc, dir.File("half_polyg.gdb"), false), EOperationEnd::kFailed);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1079}));
    EXPECT_FALSE(FileExists(dir.File("half_polyg.gdb")));
}

TEST_F(ClosedAreasTest, ALongDanglingChainIsPrunedWithoutDeepRecursion)
{
    CShapeArray lines;
    FillShapes(lines, {"0 0, 10 0", "10 0, 10 10", "10 10, 0 10", "0 10, 0 0"});
    std::vector<int> from = {1, 2, 3, 4}, to = {2, 3, 4, 1};
    const int length = 100000;
    for (int i = 0; i < length; ++i) {
        const CMapPoint points[2] = {{10.0 + i, 0}, {11.0 + i, 0}};
        auto line = std::make_unique<CShape>();
        line->SetPoints(2, points);
        lines.Add(std::move(line));
        from.push_back(i == 0 ? 2 : 100 + i);
        to.push_back(101 + i);
    }
    std::vector<CHalfEdge> edges;
    BuildHalfEdges(lines, from, to, nullptr, edges);
    CAreaWriter writer;
    ASSERT_TRUE(writer.Create(dir.File("chain.gdb")));
    EXPECT_EQ(TraceFaces(edges, lines, &writer, false, nullptr, nullptr, nullptr), EOperationEnd::kDone);
    ASSERT_TRUE(writer.Close());
    const std::vector<CReadObject> faces = ReadObjects(dir.File("chain.gdb"), CLayer::kArea);
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_EQ(faces[0].shape.Area(), 100);
}

TEST_F(ClosedAreasTest, TheCommandAsksForTheLayerAndWhetherToMerge)
{
    CLayer& links = AddLinks("tinklas", With(kSquare, {{"10 0, 20 0", 2, 5}, {"20 0, 20 10", 5, 6},
                                                        {"20 10, 10 10", 6, 3}}));
    user.answers = {IDNO};
    ASSERT_EQ(CreateClosedAreas(links, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(newLayer.offeredName, "tinklas_polyg");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2016}));
    CLayer* faces = doc.Layers().FindByName("tinklas_polyg");
    ASSERT_TRUE(faces);
    EXPECT_EQ(faces->GetType(), CLayer::kArea);
    const std::vector<CReadObject> written = ReadObjects(faces->GetPath(), CLayer::kArea);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].fields.at("Id"), "1");
    EXPECT_EQ(written[1].fields.at("Id"), "2");

    user.answers = {IDYES};
    newLayer.chosenName = "kontūras";
    newLayer.chosenPath = dir.File("konturas.gdb");
    ASSERT_EQ(CreateClosedAreas(links, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(ReadObjects(dir.File("konturas.gdb"), CLayer::kArea).size(), 1u);
}

TEST_F(ClosedAreasTest, TheCommandRefusesOtherTypesAndManyFiles)
{
    CLayer& links = AddLinks("tinklas", kSquare);
    newLayer.chosenType = CLayer::kLine;
    EXPECT_EQ(CreateClosedAreas(links, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1062}));
    const int layers = doc.GetLayerCount();

    user.messages.clear();
    newLayer.chosenType = -1;
    links.SetFlag(CLayer::kManyFiles, true);
    EXPECT_EQ(CreateClosedAreas(links, doc, newLayer.Dialogs()), 0);
    links.SetFlag(CLayer::kManyFiles, false);
    CLayer& areas = AddShapeLayer("sritys", "sritys.gdb", CLayer::kArea, {"0 0, 1 0, 1 1"});
    EXPECT_EQ(CreateClosedAreas(areas, doc, newLayer.Dialogs()), 0);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(newLayer.runs, 1);
    EXPECT_EQ(doc.GetLayerCount(), layers + 1);
}

TEST_F(ClosedAreasTest, ALayerWithoutNodeFieldsAddsNothing)
{
    CLayer& lines = AddShapeLayer("linijos", "linijos.gdb", CLayer::kLine, {"0 0, 10 0"});
    const int layers = doc.GetLayerCount();
    user.answers = {IDNO};
    EXPECT_EQ(CreateClosedAreas(lines, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2016, 1079}));
    EXPECT_EQ(doc.GetLayerCount(), layers);
    EXPECT_TRUE(FindMatchingFiles(dir.File("linijos_polyg.*")).empty());
}

// A progress that cancels at its n-th step.
class CCancellingProgress : public IProgress {
public:
    explicit CCancellingProgress(int at) : m_at(at) {}
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void SetPos(int) override {}
    void StepIt() override { ++m_steps; }
    bool CheckCancel() override { return m_steps >= m_at; }

private:
    int m_at;
    int m_steps = 0;
};

TEST_F(ClosedAreasTest, CancelKeepsTheFacesTracedSoFar)
{
    CShapeArray lines;
    FillShapes(lines, {"0 0, 10 0", "10 0, 10 10", "10 10, 0 10", "0 10, 0 0", "10 0, 20 0", "20 0, 20 10",
                       "20 10, 10 10"});
    const std::vector<int> from = {1, 2, 3, 4, 2, 5, 6}, to = {2, 3, 4, 1, 5, 6, 3};
    std::vector<CHalfEdge> edges;
    BuildHalfEdges(lines, from, to, nullptr, edges);
    ASSERT_EQ(edges.size(), 14u);
    CAreaWriter writer;
    ASSERT_TRUE(writer.Create(dir.File("cut.gdb")));
    CCancellingProgress progress(2);
    EXPECT_EQ(TraceFaces(edges, lines, &writer, false, nullptr, nullptr, &progress), EOperationEnd::kCancelled);
    ASSERT_TRUE(writer.Close());
    EXPECT_LE(ReadObjects(dir.File("cut.gdb"), CLayer::kArea).size(), 1u);
}

TEST_F(ClosedAreasTest, CancelInTheCommandAddsTheLayerOfWhatWasWritten)
{
    CLayer& links = AddLinks("tinklas", With(kSquare, {{"10 0, 20 0", 2, 5}, {"20 0, 20 10", 5, 6},
                                                        {"20 10, 10 10", 6, 3}}));
    user.answers = {IDNO};
    user.cancelAfterChecks = 1;
    ASSERT_EQ(CreateClosedAreas(links, doc, newLayer.Dialogs()), 1);
    CLayer* faces = doc.Layers().FindByName("tinklas_polyg");
    ASSERT_TRUE(faces);
    EXPECT_LT(ReadObjects(faces->GetPath(), CLayer::kArea).size(), 2u);
    EXPECT_EQ(FindMatchingFiles(dir.File("*.gdb")).size(), 2u);
}

TEST_F(ClosedAreasTest, ALineWithACoordinateThatIsNoNumberGivesNoHalfEdges)
{
    CShapeArray lines;
    FillShapes(lines, {"0 0, 10 0", "10 0, 10 10", "10 10, 0 10", "0 10, 0 0", "0 0, 5 5"});
    lines[4]->Points()[1] = CMapPoint(std::nan(""), 5);
    std::vector<CHalfEdge> edges;
    BuildHalfEdges(lines, {1, 2, 3, 4, 1}, {2, 3, 4, 1, 3}, nullptr, edges);
    EXPECT_EQ(edges.size(), 8u);
}

TEST_F(ClosedAreasTest, AFailedWriteStopsTheTracing)
{
    CShapeArray lines;
    FillShapes(lines, {"0 0, 10 0", "10 0, 10 10", "10 10, 0 10", "0 10, 0 0"});
    std::vector<CHalfEdge> edges;
    BuildHalfEdges(lines, {1, 2, 3, 4}, {2, 3, 4, 1}, nullptr, edges);
    // A writer whose file was never made refuses every area.
    CAreaWriter writer;
    EXPECT_EQ(TraceFaces(edges, lines, &writer, false, nullptr, nullptr, nullptr), EOperationEnd::kFailed);
    EXPECT_FALSE(writer.Close());
}

TEST(CornerPiece, FillsTheOuterCornerOfTwoStreets)
{
    CShape piece;
    // Along +x into the node at the origin, then on along +y: the face on
    // the right has a corner of 270 degrees.
    ASSERT_EQ(MakeCornerPiece({0, 0}, {-1, 0}, {0, 1}, 2, 2, 1, 1, piece), 1);
    // The node, the current end's corner, the arc every 10 degrees, the next end's corner.
    ASSERT_EQ(piece.GetPointCount(), 2 + 8 + 1);
    EXPECT_EQ(piece.GetPoint(0), CMapPoint(0, 0));
    EXPECT_NEAR(piece.GetPoint(1).x, 0, 1e-12);
    EXPECT_NEAR(piece.GetPoint(1).y, -2, 1e-12);
    for (int i = 1; i < piece.GetPointCount(); ++i)
        EXPECT_NEAR(std::hypot(piece.GetPoint(i).x, piece.GetPoint(i).y), 2, 1e-9) << i;
    EXPECT_NEAR(piece.GetPoint(10).x, 2, 1e-12);
    EXPECT_NEAR(piece.GetPoint(10).y, 0, 1e-12);
    for (int i = 2; i < piece.GetPointCount(); ++i) {
        const double a = std::atan2(piece.GetPoint(i - 1).y, piece.GetPoint(i - 1).x);
        const double b = std::atan2(piece.GetPoint(i).y, piece.GetPoint(i).x);
        EXPECT_NEAR(b - a, 10 * kDegToRad, 1e-9) << i;
    }

    struct Case {
        const char* what;
        CMapPoint next;
        double half;
        double nextHalf;
        int points; // 0: no piece
    };
    const double ratio = std::asin(1.0 / 2) * kRadToDeg; // 30 degrees for 1 and 2
    auto direction = [](double cornerDegrees) {
        // The face's corner clockwise from the next street to the back one (-x).
        const double a = (180 + cornerDegrees) * kDegToRad;
        return CMapPoint(std::cos(a), std::sin(a));
    };
    const Case cases[] = {
        {"a straight street needs none", {1, 0}, 2, 2, 0},
        {"a turn towards the face needs none", {0, -1}, 2, 2, 0},
        {"different widths: four points", {0, 1}, 1, 2, 4},
        {"not above 90 plus the arcsine", direction(180 + ratio - 1), 1, 2, 0},
        {"just above it", direction(180 + ratio + 1), 1, 2, 4},
        {"a width of 0", {0, 1}, 0, 2, 0},
    };
    for (const Case& c : cases) {
        CShape out;
        EXPECT_EQ(MakeCornerPiece({0, 0}, {-1, 0}, c.next, c.half, c.nextHalf, 1, 1, out), c.points ? 1 : 0)
            << c.what;
        if (c.points) {
            EXPECT_EQ(out.GetPointCount(), c.points) << c.what;
        }
    }
}

} // namespace
