#include "core/MapGeometry.h"
#include "core/PolygonSet.h"
#include "core/Shape.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

CPolygonSet Set(const char* text)
{
    CShape shape;
    ParseShape(text, shape);
    return CPolygonSet(shape);
}

CShape ShapeOf(const CPolygonSet& set)
{
    CShape shape;
    set.ToShape(shape);
    return shape;
}

const char* const kOpNames[4] = {"difference", "intersection", "exclusive-or", "union"};

bool Combine(int op, bool s, bool c)
{
    switch (op) {
    case CPolygonSet::kDifference:
        return s && !c;
    case CPolygonSet::kIntersection:
        return s && c;
    case CPolygonSet::kExclusiveOr:
        return s != c;
    default:
        return s || c;
    }
}

// Every contour a proper ring: 3 or more vertices, none repeated next to
// each other, outer rings counter-clockwise and holes clockwise.
void ExpectWellFormed(const CPolygonSet& set, const std::string& where)
{
    EXPECT_FALSE(set.Failed()) << where;
    for (const auto& c : set.Contours()) {
        const int n = static_cast<int>(c.points.size());
        ASSERT_GE(n, 3) << where;
        for (int i = 0; i < n; ++i)
            EXPECT_FALSE(c.points[static_cast<size_t>(i)] == c.points[static_cast<size_t>((i + 1) % n)]) << where;
        // Taken about the first vertex: far from the origin the products
        // of coordinates would drown a small ring's area.
        std::vector<CMapPoint> local;
        for (const CMapPoint& p : c.points)
            local.emplace_back(p.x - c.points[0].x, p.y - c.points[0].y);
        EXPECT_EQ(c.hole, SignedRingArea(local.data(), n) < 0) << where;
    }
}

// Compares the result with the operation applied to the even-odd
// membership of the operands at probe points off every boundary. Returns
// the number of probes compared.
int ExpectProbesAgree(int op, const CShape& subject, const CShape& clip, const CPolygonSet& result,
                      const std::vector<CMapPoint>& probes, const std::string& where)
{
    const CShape out = ShapeOf(result);
    int compared = 0;
    for (const CMapPoint& p : probes) {
        const int s = subject.PointInPolygon(p);
        const int c = clip.PointInPolygon(p);
        const int r = out.PointInPolygon(p);
        if (s == 2 || c == 2 || r == 2)
            continue;
        ++compared;
        EXPECT_EQ(r == 1, Combine(op, s == 1, c == 1))
            << where << " at " << p.x << " " << p.y << "\nresult: " << ShapeText(out);
    }
    return compared;
}

std::vector<CMapPoint> GridProbes(double x0, double y0, double x1, double y1, int steps)
{
    // Offsets no line through two small integer points passes through.
    std::vector<CMapPoint> probes;
    for (int i = 0; i <= steps; ++i)
        for (int j = 0; j <= steps; ++j)
            probes.emplace_back(x0 + (x1 - x0) * (i + 0.3137) / (steps + 1),
                                y0 + (y1 - y0) * (j + 0.5711) / (steps + 1));
    return probes;
}

// All four operations on the shapes: well-formed results that agree with
// the probes, and areas that add up, the operands' taken even-odd. The
// number of probes compared.
int ExpectOperationsAgree(const CShape& subjectShape, const CShape& clipShape, const std::vector<CMapPoint>& probes,
                          const std::string& where, double tolerance)
{
    const CPolygonSet subject(subjectShape);
    const CPolygonSet clip(clipShape);
    double area[4];
    int compared = 0;
    for (int op = 0; op < 4; ++op) {
        const std::string at = where + ", " + kOpNames[op];
        CPolygonSet result;
        EXPECT_TRUE(CPolygonSet::ClipPolygons(op, subject, clip, result)) << at;
        ExpectWellFormed(result, at);
        compared += ExpectProbesAgree(op, subjectShape, clipShape, result, probes, at);
        area[op] = result.Area();
        if (::testing::Test::HasFailure())
            return compared;
    }
    CPolygonSet normal;
    CPolygonSet::ClipPolygons(CPolygonSet::kUnion, subject, CPolygonSet(), normal);
    const double a = normal.Area();
    CPolygonSet::ClipPolygons(CPolygonSet::kUnion, clip, CPolygonSet(), normal);
    const double b = normal.Area();
    const auto [difference, intersection, exclusive, unite] = area;
    EXPECT_NEAR(unite + intersection, a + b, tolerance) << where;
    EXPECT_NEAR(difference, a - intersection, tolerance) << where;
    EXPECT_NEAR(exclusive, unite - intersection, tolerance) << where;
    return compared;
}

// Rings of a subject and a clip.
struct RingCase {
    const char* name;
    std::vector<std::vector<CMapPoint>> subject, clip;
};

// Probes thrown over the square of half side spread times scale about a centre.
std::vector<CMapPoint> RandomProbes(const CMapPoint& centre, double scale, double spread, int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-spread, spread);
    std::vector<CMapPoint> probes;
    for (int i = 0; i < count; ++i)
        probes.emplace_back(centre.x + scale * unit(random), centre.y + scale * unit(random));
    return probes;
}

// Each case's operations agree with the probes, more than least of them
// compared, and with their areas within 2 (square metres, of about 2e6).
void ExpectRingCasesAgree(const std::vector<RingCase>& cases, const std::vector<CMapPoint>& probes, int least)
{
    for (const auto& c : cases) {
        CShape shapes[2];
        for (int k = 0; k < 2; ++k)
            for (const auto& ring : k == 0 ? c.subject : c.clip)
                shapes[k].AddPartPoints(static_cast<int>(ring.size()), ring.data(), true);
        EXPECT_GT(ExpectOperationsAgree(shapes[0], shapes[1], probes, c.name, 2), least) << c.name;
        if (::testing::Test::HasFailure())
            return;
    }
}

struct ClipCase {
    const char* name;
    const char* subject;
    const char* clip;
    // Per operation (difference, intersection, exclusive-or, union): the
    // area and the number of outer rings and of holes (-1: not checked,
    // where rings touch in ways that may be linked either way).
    double area[4];
    int outers[4];
    int holes[4];
};

// Squares are written counter-clockwise or clockwise at will: the sets
// are read even-odd.
const ClipCase kCases[] = {
    {"disjoint", "0 0, 2 0, 2 2, 0 2", "5 5, 7 5, 7 7, 5 7", {4, 0, 8, 8}, {1, 0, 2, 2}, {0, 0, 0, 0}},
    {"nested", "0 0, 10 0, 10 10, 0 10", "2 2, 4 2, 4 4, 2 4", {96, 4, 96, 100}, {1, 1, 1, 1}, {1, 0, 1, 0}},
    {"corner overlap", "0 0, 2 0, 2 2, 0 2", "1 1, 3 1, 3 3, 1 3", {3, 1, 6, 7}, {1, 1, 2, 1}, {0, 0, 0, 0}},
    {"touching edges", "0 0, 1 0, 1 1, 0 1", "1 0, 2 0, 2 1, 1 1", {1, 0, 2, 2}, {1, 0, 1, 1}, {0, 0, 0, 0}},
    {"touching part of an edge", "0 0, 2 0, 2 4, 0 4", "2 1, 4 1, 4 3, 2 3", {8, 0, 12, 12}, {1, 0, 1, 1}, {0, 0, 0, 0}},
    {"shared vertex", "0 0, 1 0, 1 1, 0 1", "1 1, 2 1, 2 2, 1 2", {1, 0, 2, 2}, {1, 0, 2, 2}, {0, 0, 0, 0}},
    {"identical", "0 0, 3 0, 3 3, 0 3", "0 3, 3 3, 3 0, 0 0", {0, 9, 0, 9}, {0, 1, 0, 1}, {0, 0, 0, 0}},
    {"hole against a cover of the hole", "0 0, 10 0, 10 10, 0 10 | 3 3, 7 3, 7 7, 3 7", "2 2, 8 2, 8 8, 2 8",
     {64, 20, 80, 100}, {1, 1, 2, 1}, {1, 1, 1, 0}},
    {"hole filled exactly", "0 0, 10 0, 10 10, 0 10 | 3 3, 7 3, 7 7, 3 7", "3 3, 7 3, 7 7, 3 7",
     {84, 0, 100, 100}, {1, 0, 1, 1}, {1, 0, 0, 0}},
    {"self-touching bow", "0 0, 2 2, 4 0, 4 4, 2 2, 0 4", "1 0, 3 0, 3 4, 1 4", {6, 2, 12, 14}, {2, 2, -1, 1},
     {0, 0, -1, 0}},
    {"keyhole ring", "0 0, 6 0, 6 6, 3 6, 4 4, 2 4, 3 6, 0 6", "2 3, 4 3, 4 5, 2 5", {31.5, 2.5, 33, 35.5},
     {-1, 3, -1, 1}, {-1, 0, -1, 0}},
    {"collinear overlapping edges", "0 0, 4 0, 4 2, 0 2", "2 0, 6 0, 6 2, 2 2", {4, 4, 8, 12}, {1, 1, 2, 1},
     {0, 0, 0, 0}},
    {"spike on the subject", "0 0, 4 0, 4 2, 7 5, 4 2, 4 4, 0 4", "2 2, 8 2, 8 3, 2 3", {14, 2, 18, 20},
     {1, 1, -1, 1}, {0, 0, -1, 0}},
    {"crossing bars", "0 1, 3 1, 3 2, 0 2", "1 0, 2 0, 2 3, 1 3", {2, 1, 4, 5}, {2, 1, 4, 1}, {0, 0, 0, 0}},
    {"empty clip", "0 0, 2 0, 2 2, 0 2", "", {4, 0, 4, 4}, {1, 0, 1, 1}, {0, 0, 0, 0}},
    {"empty subject", "", "0 0, 2 0, 2 2, 0 2", {0, 0, 4, 4}, {0, 0, 1, 1}, {0, 0, 0, 0}},
    {"both empty", "", "", {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
};

} // namespace

TEST(PolygonSet, TableOfCases)
{
    for (const ClipCase& c : kCases) {
        CShape subjectShape;
        CShape clipShape;
        ParseShape(c.subject, subjectShape);
        ParseShape(c.clip, clipShape);
        const CPolygonSet subject(subjectShape);
        const CPolygonSet clip(clipShape);
        const std::vector<CMapPoint> probes = GridProbes(-1, -1, 11, 11, 60);
        for (int op = 0; op < 4; ++op) {
            const std::string where = std::string(c.name) + ", " + kOpNames[op];
            CPolygonSet result;
            const bool has = CPolygonSet::ClipPolygons(op, subject, clip, result);
            ASSERT_TRUE(has) << where;
            ExpectWellFormed(result, where);
            EXPECT_NEAR(result.Area(), c.area[op], 1e-9) << where;
            int outers = 0;
            int holes = 0;
            for (const auto& contour : result.Contours())
                ++(contour.hole ? holes : outers);
            if (c.outers[op] >= 0) {
                EXPECT_EQ(outers, c.outers[op]) << where << "\n" << ShapeText(ShapeOf(result));
            }
            if (c.holes[op] >= 0) {
                EXPECT_EQ(holes, c.holes[op]) << where << "\n" << ShapeText(ShapeOf(result));
            }
            ExpectProbesAgree(op, subjectShape, clipShape, result, probes, where);
        }
    }
}

TEST(PolygonSet, ShapesOfTheResults)
{
    const CPolygonSet a = Set("0 0, 2 0, 2 2, 0 2");
    const CPolygonSet b = Set("1 1, 3 1, 3 3, 1 3");
    CPolygonSet result;
    // Collinear vertices are merged away: the corners alone remain.
    ASSERT_TRUE(a.Intersect(b, result));
    ASSERT_EQ(result.GetContourCount(), 1);
    EXPECT_EQ(result.GetContour(0).points.size(), 4u);
    ASSERT_TRUE(a.Union(b, result));
    ASSERT_EQ(result.GetContourCount(), 1);
    EXPECT_EQ(result.GetContour(0).points.size(), 8u);
    ASSERT_TRUE(a.Subtract(b, result));
    ASSERT_EQ(result.GetContourCount(), 1);
    EXPECT_EQ(result.GetContour(0).points.size(), 6u);

    // Rings of a shape come out closed explicitly.
    CShape shape;
    Set("0 0, 4 0, 0 3").ToShape(shape);
    EXPECT_EQ(ShapeText(shape), "0 0, 4 0, 0 3, 0 0");
    EXPECT_EQ(shape.GetExtent(), CMapRect(0, 3, 4, 0));
    CPolygonSet().ToShape(shape);
    EXPECT_EQ(shape.GetPointCount(), 0);
    EXPECT_EQ(shape.GetPartCount(), 1);

    // The set built by vertices, and a copy of it.
    CPolygonSet built;
    built.InitSingleContour(4);
    built.AddVertex({0, 0});
    built.AddVertex({9, 9});
    built.ClearVertices();
    for (const CMapPoint& p : {CMapPoint(0, 0), CMapPoint(4, 0), CMapPoint(4, 4), CMapPoint(0, 4)})
        built.AddVertex(p);
    CPolygonSet copy;
    copy.CopyFrom(built);
    EXPECT_DOUBLE_EQ(copy.Area(), 16);
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_DOUBLE_EQ(built.Area(), 16);
}

TEST(PolygonSet, NormalisingFlagsHolesAndMergesSelfOverlaps)
{
    // A square with a square hole, both rings turning the same way.
    CPolygonSet set = Set("0 0, 10 0, 10 10, 0 10 | 3 3, 7 3, 7 7, 3 7");
    EXPECT_DOUBLE_EQ(set.Area(), 84);
    ASSERT_TRUE(set.UnionInPlace(CPolygonSet()));
    ASSERT_EQ(set.GetContourCount(), 2);
    EXPECT_NE(set.IsHole(0), set.IsHole(1));
    EXPECT_DOUBLE_EQ(set.Area(), 84);

    // A figure eight counts both lobes; a ring crossing itself by a spike
    // loses the spike.
    EXPECT_DOUBLE_EQ(Set("0 0, 2 2, 0 4, 4 4, 2 2, 4 0 | 10 10, 11 10, 11 11").Area(), 8.5);
    CPolygonSet spiky = Set("0 0, 4 0, 4 2, 9 2, 4 2, 4 4, 0 4");
    ASSERT_TRUE(spiky.UnionInPlace(CPolygonSet()));
    ASSERT_EQ(spiky.GetContourCount(), 1);
    EXPECT_EQ(spiky.GetContour(0).points.size(), 4u);
}

TEST(PolygonSet, NearlyCoincidentEdgesAreOne)
{
    // 1e-12 apart: one shared edge, so the union is one rectangle and the
    // intersection nothing.
    const CPolygonSet a = Set("0 0, 1 0, 1 1, 0 1");
    const CPolygonSet b = Set("1.000000000001 0, 2 0, 2 1, 1.000000000001 1");
    CPolygonSet result;
    ASSERT_TRUE(a.Union(b, result));
    ASSERT_EQ(result.GetContourCount(), 1);
    EXPECT_EQ(result.GetContour(0).points.size(), 4u);
    EXPECT_NEAR(result.Area(), 2, 1e-9);
    EXPECT_FALSE(a.Intersect(b, result));
    EXPECT_FALSE(result.Failed());
}

TEST(PolygonSet, FarContoursAndBadInput)
{
    // Subject contours far from the clip: an empty intersection, and the
    // difference keeps them whole.
    const CPolygonSet subject = Set("0 0, 1 0, 1 1, 0 1 | 5 0, 6 0, 6 1, 5 1");
    const CPolygonSet clip = Set("20 20, 21 20, 21 21, 20 21 | 0.5 0.5, 3 0.5, 3 3");
    CPolygonSet result;
    EXPECT_FALSE(subject.Intersect(Set("20 20, 21 20, 21 21"), result));
    EXPECT_FALSE(result.Failed());
    ASSERT_TRUE(subject.Subtract(clip, result));
    EXPECT_NEAR(result.Area(), 2 - 0.125, 1e-12);

    // Coordinates that are not finite fail instead of giving a wrong answer.
    CPolygonSet bad = Set("0 0, 1 0, 1 1");
    bad.AddVertex({std::numeric_limits<double>::quiet_NaN(), 0});
    EXPECT_FALSE(CPolygonSet::ClipPolygons(CPolygonSet::kUnion, bad, subject, result));
    EXPECT_TRUE(result.Failed());
    EXPECT_TRUE(result.IsEmpty());
    CPolygonSet inf = Set("0 0, 1 0, 1 1 | 2 2, 3 2, 3 3");
    inf.AddVertex({std::numeric_limits<double>::infinity(), 0});
    EXPECT_TRUE(std::isnan(inf.Area()));
    // Part sizes that claim more points than there are.
    CShape lying = ShapeOf(Set("0 0, 4 0, 4 4, 0 4"));
    lying.PartSizes() = {3, 0x80000000u, 9};
    EXPECT_DOUBLE_EQ(CPolygonSet(lying).Area(), 8);
    // An unknown operation code.
    EXPECT_FALSE(CPolygonSet::ClipPolygons(7, subject, clip, result));
    EXPECT_TRUE(result.Failed());
    // A good result clears the mark.
    EXPECT_TRUE(CPolygonSet::ClipPolygons(CPolygonSet::kUnion, subject, clip, result));
    EXPECT_FALSE(result.Failed());

    // The result may be an operand.
    CPolygonSet a = Set("0 0, 2 0, 2 2, 0 2");
    ASSERT_TRUE(CPolygonSet::ClipPolygons(CPolygonSet::kIntersection, a, Set("1 1, 3 1, 3 3, 1 3"), a));
    EXPECT_DOUBLE_EQ(a.Area(), 1);
}

// Small polygons on a coarse integer grid: collinear and coincident edges,
// shared vertices, spikes and self-crossings everywhere. Then the same with
// every vertex moved by up to 1e-9, near the origin and in grid coordinates
// (where that is about one unit of the clipper's grid): edges and vertices
// that almost meet, crossings a unit away from rows.
class PolygonSetRandom : public ::testing::TestWithParam<std::tuple<double, double, double>> {};

TEST_P(PolygonSetRandom, DegenerateCasesAgreeWithProbesAndAreas)
{
    const auto [x0, y0, noise] = GetParam();
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> coordinate(0, 5);
    std::uniform_real_distribution<double> shift(-noise, noise);
    std::uniform_int_distribution<int> vertexCount(3, 7);
    std::uniform_int_distribution<int> partCount(1, 2);
    const std::vector<CMapPoint> probes = GridProbes(x0 - 0.5, y0 - 0.5, x0 + 5.5, y0 + 5.5, 20);
    auto randomShape = [&](CShape& shape) {
        shape.SetSize(0, 0);
        const int parts = partCount(random);
        for (int k = 0; k < parts; ++k) {
            std::vector<CMapPoint> ring;
            const int n = vertexCount(random);
            for (int i = 0; i < n; ++i) {
                const double x = x0 + coordinate(random) + shift(random);
                ring.emplace_back(x, y0 + coordinate(random) + shift(random));
            }
            shape.AddPartPoints(n, ring.data(), true);
        }
    };
    int compared = 0;
    for (int round = 0; round < 300; ++round) {
        CShape subjectShape;
        CShape clipShape;
        randomShape(subjectShape);
        randomShape(clipShape);
        compared += ExpectOperationsAgree(subjectShape, clipShape, probes,
                                          "round " + std::to_string(round) + "\nsubject: " + ShapeText(subjectShape) +
                                              "\nclip: " + ShapeText(clipShape),
                                          1e-7);
        if (HasFailure())
            return;
    }
    EXPECT_GT(compared, 100000);
}

INSTANTIATE_TEST_SUITE_P(PolygonSet, PolygonSetRandom,
                         ::testing::Values(std::make_tuple(0.0, 0.0, 0.0), std::make_tuple(0.0, 0.0, 1e-9),
                                           std::make_tuple(500000.0, 6100000.0, 1e-9)));

// A sliver one grid unit high joins two triangles far from the origin; its
// crossings round onto one row, and the hole it closes off touches the
// outer boundary.
TEST(PolygonSet, SliverJoiningTrianglesInGridCoordinates)
{
    const double x0 = 500000;
    const double y0 = 6100000;
    const CMapPoint triangleA[3] = {{x0 + 4.0000000008731149, y0 + 2.0000000009313226},
                                    {x0 + 3.9999999990104698, y0 - 9.3132257461547852e-10},
                                    {x0 + 1.999999999650754, y0 + 4}};
    const CMapPoint sliver[3] = {{x0 + 2.0000000002910383, y0 + 1}, {x0 + 4.0000000007566996, y0 + 1},
                                 {x0 + 0.99999999947613105, y0 + 1.0000000009313226}};
    const CMapPoint triangleB[3] = {{x0 + 3.0000000008731149, y0 - 9.3132257461547852e-10},
                                    {x0 + 2.9999999997089617, y0 + 2},
                                    {x0 + 0.99999999994179234, y0 + 1.9999999990686774}};
    CPolygonSet a;
    a.AddContour(triangleA, 3, false);
    a.AddContour(sliver, 3, false);
    CPolygonSet b;
    b.AddContour(triangleB, 3, false);
    CPolygonSet result;
    ASSERT_TRUE(a.Union(b, result));
    EXPECT_NEAR(result.Area(), 4, 1e-6);
    const CShape out = ShapeOf(result);
    // Between the triangles above the sliver, and in either triangle.
    EXPECT_EQ(out.PointInPolygon({x0 + 3.2, y0 + 1.3}), 0);
    EXPECT_EQ(out.PointInPolygon({x0 + 3.8, y0 + 0.7}), 1);
    EXPECT_EQ(out.PointInPolygon({x0 + 2.5, y0 + 1.7}), 1);
}

// Many crossings at arbitrary points, rounded onto the grid.
TEST(PolygonSet, RandomSelfCrossingPolygons)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<CMapPoint> probes;
    for (int i = 0; i < 800; ++i)
        probes.emplace_back(unit(random), unit(random));
    for (int round = 0; round < 30; ++round) {
        CShape shapes[2];
        for (CShape& shape : shapes) {
            std::vector<CMapPoint> ring;
            for (int i = 0; i < 40; ++i)
                ring.emplace_back(unit(random), unit(random));
            shape.SetPoints(40, ring.data());
        }
        // Crossings are rounded to 5.8e-11.
        ExpectOperationsAgree(shapes[0], shapes[1], probes, "round " + std::to_string(round), 1e-9);
        if (HasFailure())
            return;
    }
}

// Rows of hundreds of edges, most of them passing through untouched, as
// with a star of many points against rings that cross every point; with
// points on a coarse grid too, so that rows also hold edges that meet,
// coincide or start and end at one x; and rings that cross themselves all
// over.
TEST(PolygonSet, LongRowsAgreeWithProbesAndAreas)
{
    const double x0 = 500000, y0 = 6100000, r0 = 1000;
    auto star = [&](int points, double inner, double turn, bool snapped) {
        std::vector<CMapPoint> ring;
        for (int i = 0; i < 2 * points; ++i) {
            const double t = kPi * i / points + turn, r = r0 * (i % 2 == 0 ? 1.0 : inner);
            CMapPoint p(x0 + r * std::cos(t), y0 + r * std::sin(t));
            if (snapped)
                p = CMapPoint(std::round(p.x / 10) * 10, std::round(p.y / 10) * 10);
            ring.push_back(p);
        }
        return ring;
    };
    auto ellipse = [&](int n, double a, double b) {
        std::vector<CMapPoint> ring;
        for (int i = 0; i < n; ++i)
            ring.emplace_back(x0 + a * r0 * std::cos(2 * kPi * i / n), y0 + b * r0 * std::sin(2 * kPi * i / n));
        return ring;
    };
    // Points thrown around the circle: a ring crossing itself all over.
    auto tangle = [&](int n, unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> jitter(0, 0.5), radius(0.2, 1);
        std::vector<CMapPoint> ring;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * kPi * i / n + jitter(random), r = r0 * radius(random);
            ring.emplace_back(x0 + r * std::cos(t), y0 + r * std::sin(t));
        }
        return ring;
    };
    const std::vector<RingCase> cases = {
        {"tangles", {tangle(200, 1)}, {tangle(150, 2), tangle(50, 3)}},
        {"star and ellipse", {star(300, 0.6, 0, false)}, {ellipse(500, 0.9, 0.7)}},
        {"two stars", {star(250, 0.5, 0, false)}, {star(250, 0.7, 0.004, false)}},
        {"ring with a hole and star", {ellipse(400, 0.95, 0.9), ellipse(300, 0.7, 0.65)}, {star(200, 0.5, 0.01, false)}},
        {"stars on a grid", {star(120, 0.6, 0, true)}, {star(120, 0.75, 0.013, true), ellipse(60, 0.8, 0.5)}},
    };
    ExpectRingCasesAgree(cases, RandomProbes({x0, y0}, r0, 1.05, 3000, 5), 4 * 2500);
}

TEST(PolygonSet, AreaOfShapesWithManyParts)
{
    // 40 x 40 unit squares with a hole each, plus one ring over the lot:
    // 3201 parts. Inside the big ring every square counts as a hole and
    // every hole as an island again.
    CShape shape;
    shape.SetSize(0, 0);
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) {
            const double x = i * 2;
            const double y = j * 2;
            const CMapPoint square[4] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
            const CMapPoint hole[4] = {{x + 0.25, y + 0.25}, {x + 0.75, y + 0.25}, {x + 0.75, y + 0.75},
                                       {x + 0.25, y + 0.75}};
            shape.AddPartPoints(4, square, false);
            shape.AddPartPoints(4, hole, false);
        }
    EXPECT_NEAR(shape.Area(), 1600 * 0.75, 1e-9);
    const CMapPoint cover[4] = {{-1, -1}, {81, -1}, {81, 81}, {-1, 81}};
    shape.AddPartPoints(4, cover, true);
    ASSERT_EQ(shape.GetPartCount(), 3201);
    EXPECT_NEAR(shape.Area(), 82 * 82 - 1600 * 0.75, 1e-9);
}

// Triangles of a fan taken in turn by the subject and the clip share every
// edge: the shared edges bring no vertices of their own.
TEST(PolygonSet, SharedEdgesBringNoExtraVertices)
{
    CPolygonSet subject;
    CPolygonSet clip;
    for (int i = 0; i < 64; ++i) {
        const double a0 = 2 * kPi * i / 64;
        const double a1 = 2 * kPi * (i + 1) / 64;
        const CMapPoint triangle[3] = {{0, 0}, {std::cos(a0), std::sin(a0)}, {std::cos(a1), std::sin(a1)}};
        (i % 2 == 0 ? subject : clip).AddContour(triangle, 3, false);
    }
    CPolygonSet result;
    ASSERT_TRUE(subject.Subtract(clip, result));
    ASSERT_EQ(result.GetContourCount(), 32);
    for (const auto& c : result.Contours())
        EXPECT_EQ(c.points.size(), 3u);
    EXPECT_NEAR(result.Area(), subject.Area(), 1e-9);
    EXPECT_FALSE(subject.Intersect(clip, result));
    ASSERT_TRUE(subject.Union(clip, result));
    ASSERT_EQ(result.GetContourCount(), 1);
    EXPECT_EQ(result.GetContour(0).points.size(), 64u);
}

// Big rings meeting in a few crossings, most of their chains far from
// anything else; on a coarse grid too, where many vertices share a row;
// and tall rings side by side, in long rows.
TEST(PolygonSet, BigRingsWithFewCrossingsAgreeWithProbesAndAreas)
{
    const double x0 = 500000, y0 = 6100000, r0 = 1000;
    auto ellipse = [&](int n, double a, double b, double turn, double cx, double cy, double snap) {
        std::vector<CMapPoint> ring;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * kPi * i / n, x = a * r0 * std::cos(t), y = b * r0 * std::sin(t);
            CMapPoint p(x0 + cx * r0 + x * std::cos(turn) - y * std::sin(turn),
                        y0 + cy * r0 + x * std::sin(turn) + y * std::cos(turn));
            if (snap > 0)
                p = CMapPoint(std::round(p.x / snap) * snap, std::round(p.y / snap) * snap);
            ring.push_back(p);
        }
        return ring;
    };
    std::vector<std::vector<CMapPoint>> side;
    for (int i = 0; i < 10; ++i)
        side.push_back(ellipse(300 + 7 * i, 0.04, 0.8, 0.001 * i, -0.9 + 0.2 * i, 0.01 * i, 0));
    const std::vector<RingCase> cases = {
        {"crossed ellipses", {ellipse(1500, 1, 0.5, 0.01, 0, 0, 0)}, {ellipse(1500, 1, 0.5, 1.58, 0, 0, 0)}},
        {"ring with a hole and an ellipse",
         {ellipse(1200, 0.95, 0.9, 0, 0, 0, 0), ellipse(900, 0.5, 0.45, 0.2, 0, 0, 0)},
         {ellipse(800, 0.3, 1.1, 0.4, 0.5, 0, 0)}},
        {"ellipses on a grid", {ellipse(1500, 1, 0.5, 0.3, 0, 0, 5)}, {ellipse(1500, 0.6, 0.9, 1.2, 0.2, 0, 5)}},
        {"tall rings side by side", side, {ellipse(700, 1.1, 0.06, 0.05, 0, 0.3, 0)}},
    };
    ExpectRingCasesAgree(cases, RandomProbes({x0, y0}, r0, 1.2, 1500, 8), 4 * 1000);
    if (HasFailure())
        return;

    // Whole metres lie on the grid: every vertex outside the other ring is
    // a vertex of the union, and every one inside it of the intersection,
    // but for those in line with their neighbours.
    const std::vector<CMapPoint> a = ellipse(2000, 1, 0.5, 0.01, 0, 0, 1), b = ellipse(2000, 1, 0.5, 1.58, 0, 0, 1);
    CShape shapeA, shapeB;
    shapeA.SetPoints(static_cast<int>(a.size()), a.data());
    shapeB.SetPoints(static_cast<int>(b.size()), b.data());
    CPolygonSet setA(shapeA), setB(shapeB), joined, common;
    ASSERT_TRUE(setA.Union(setB, joined));
    ASSERT_TRUE(setA.Intersect(setB, common));
    const CShape outJoined = ShapeOf(joined), outCommon = ShapeOf(common);
    const auto isVertex = [](const CShape& shape, const CMapPoint& p) {
        for (int i = 0; i < shape.GetPointCount(); ++i)
            if (shape.GetPoint(i) == p)
                return true;
        return false;
    };
    int outside = 0, inside = 0;
    for (const auto& [ring, other] : {std::pair{&a, &shapeB}, std::pair{&b, &shapeA}}) {
        const size_t n = ring->size();
        for (size_t i = 0; i < n; ++i) {
            const CMapPoint& p = (*ring)[i];
            const CMapPoint& before = (*ring)[(i + n - 1) % n];
            const CMapPoint& after = (*ring)[(i + 1) % n];
            if ((p.x - before.x) * (after.y - p.y) == (p.y - before.y) * (after.x - p.x))
                continue;
            const int where = other->PointInPolygon(p);
            if (where == 0) {
                ++outside;
                EXPECT_TRUE(isVertex(outJoined, p)) << p.x << " " << p.y;
            } else if (where == 1) {
                ++inside;
                EXPECT_TRUE(isVertex(outCommon, p)) << p.x << " " << p.y;
            }
            if (HasFailure())
                return;
        }
    }
    EXPECT_GT(outside, 1000);
    EXPECT_GT(inside, 500);
}
