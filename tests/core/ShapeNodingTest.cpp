#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "core/ShapeOverlay.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

double TotalLength(const CShape& shape)
{
    double length = 0;
    for (int k = 0, first = 0; k < shape.GetPartCount(); first += shape.GetPartSize(k), ++k)
        length += PolylineLength(shape.Points().GetData() + first, shape.GetPartSize(k));
    return length;
}

// A random walk of n steps from a place in the 100 x 100 square.
CShape RandomWalk(std::mt19937_64& random, int n)
{
    std::uniform_real_distribution<double> place(0, 100), step(-12, 12);
    CMapPoint p(place(random), place(random));
    CShape line;
    line.SetSize(0, 1);
    for (int i = 0; i <= n; ++i) {
        line.AddPoint(p);
        p = CMapPoint(p.x + step(random), p.y + step(random));
    }
    return line;
}

// Segments of different parts that cross inside both.
int ProperCrossings(const CShape& a, const CShape& b)
{
    int count = 0;
    for (int i = 0, ka = 0, fa = 0; ka < a.GetPartCount(); fa += a.GetPartSize(ka), ++ka)
        for (i = fa; i + 1 < fa + a.GetPartSize(ka); ++i)
            for (int j = 0, kb = 0, fb = 0; kb < b.GetPartCount(); fb += b.GetPartSize(kb), ++kb)
                for (j = fb; j + 1 < fb + b.GetPartSize(kb); ++j) {
                    CMapPoint out[2];
                    if (IntersectSegmentsExact(a.GetPoint(i), a.GetPoint(i + 1), b.GetPoint(j), b.GetPoint(j + 1),
                                               out) == (kInsideAB | kInsideCD))
                        ++count;
                }
    return count;
}

} // namespace

TEST(ShapeNoding, SplitAtIntersections)
{
    struct Case {
        const char* what;
        const char* t;
        const char* o;
        bool splitOther;
        bool crossings;
        const char* tAfter;
        const char* oAfter;
    };
    const Case cases[] = {
        {"crossing lines split with the flag", "0 0, 10 10", "0 10, 10 0", false, true, "0 0, 5 5 | 5 5, 10 10",
         "0 10, 10 0"},
        {"crossing lines stay whole without it", "0 0, 10 10", "0 10, 10 0", true, false, "0 0, 10 10",
         "0 10, 10 0"},
        {"both split", "0 0, 10 10", "0 10, 10 0", true, true, "0 0, 5 5 | 5 5, 10 10", "0 10, 5 5 | 5 5, 10 0"},
        // The other ends on this line: the end splits even without the flag.
        {"a line ending on this one", "0 0, 10 0", "5 5, 5 0", true, false, "0 0, 5 0 | 5 0, 10 0", "5 5, 5 0"},
        {"ending on the other", "5 5, 5 0", "0 0, 10 0", true, false, "5 5, 5 0", "0 0, 5 0 | 5 0, 10 0"},
        {"at an inner vertex of this line", "0 0, 5 0, 10 0", "5 -5, 5 5", false, true, "0 0, 5 0 | 5 0, 10 0",
         "5 -5, 5 5"},
        {"lines meeting at their ends only", "0 0, 5 0", "5 0, 5 5", true, true, "0 0, 5 0", "5 0, 5 5"},
        {"two crossings on one segment, in order", "0 0, 10 0", "2 -1, 2 1 | 7 1, 7 -1", false, true,
         "0 0, 2 0 | 2 0, 7 0 | 7 0, 10 0", "2 -1, 2 1 | 7 1, 7 -1"},
        {"a collinear overlap splits at both ends", "0 0, 10 0", "3 0, 6 0", false, true,
         "0 0, 3 0 | 3 0, 6 0 | 6 0, 10 0", "3 0, 6 0"},
        // The shared stretch becomes a two-point part of both; this shape
        // loses its copy.
        {"the shared piece stays only in the other", "0 0, 10 0", "3 0, 6 0, 6 5", true, true,
         "0 0, 3 0 | 6 0, 10 0", "3 0, 6 0 | 6 0, 6 5"},
        {"an identical line is left to the other", "0 0, 5 0, 10 0", "10 0, 5 0, 0 0", true, true, "",
         "10 0, 5 0 | 5 0, 0 0"},
        {"extents apart", "0 0, 1 1", "5 5, 6 6", true, true, "0 0, 1 1", "5 5, 6 6"},
        {"a lone point of the other changes nothing", "0 0, 10 0", "5 0", true, true, "0 0, 10 0", "5 0"},
    };
    for (const Case& c : cases) {
        CShape t = Shape(c.t);
        CShape o = Shape(c.o);
        EXPECT_TRUE(t.SplitAtIntersections(o, c.splitOther, 0, c.crossings));
        EXPECT_EQ(ShapeText(t), c.tAfter) << c.what;
        EXPECT_EQ(ShapeText(o), c.oAfter) << c.what;
    }
}

TEST(ShapeNoding, RandomLinesNodedLeaveNoCrossingAndKeepTheirLength)
{
    std::mt19937_64 random(11);
    for (int round = 0; round < 5; ++round) {
        CShape a = RandomWalk(random, 60);
        CShape b = RandomWalk(random, 60);
        const int crossings = ProperCrossings(a, b);
        const double lengthA = TotalLength(a), lengthB = TotalLength(b);
        ASSERT_TRUE(a.SplitAtIntersections(b, true, 0, true));
        EXPECT_EQ(ProperCrossings(a, b), 0);
        EXPECT_EQ(a.GetPartCount(), 1 + crossings);
        EXPECT_EQ(b.GetPartCount(), 1 + crossings);
        EXPECT_NEAR(TotalLength(a), lengthA, 1e-9 * lengthA);
        EXPECT_NEAR(TotalLength(b), lengthB, 1e-9 * lengthB);
        // Each piece starts where the one before it ends.
        for (int k = 1, first = b.GetPartSize(0); k < b.GetPartCount(); first += b.GetPartSize(k), ++k)
            EXPECT_EQ(b.GetPoint(first), b.GetPoint(first - 1));
    }
}

TEST(ShapeNoding, SplitAtSelfIntersections)
{
    struct Case {
        const char* what;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"a figure of eight", "0 0, 10 10, 10 0, 0 10", "0 0, 5 5 | 5 5, 10 10, 10 0, 5 5 | 5 5, 0 10"},
        {"consecutive segments split nothing", "0 0, 10 0, 10 10, 0 10", "0 0, 10 0, 10 10, 0 10"},
        {"a closed line splits nothing", "0 0, 10 0, 10 10, 0 0", "0 0, 10 0, 10 10, 0 0"},
        {"coming back to an inner vertex", "0 0, 5 0, 10 0, 10 5, 5 0, 5 -5",
         "0 0, 5 0 | 5 0, 10 0, 10 5, 5 0 | 5 0, 5 -5"},
        {"crossing itself", "0 0, 10 0, 10 5, 5 5, 5 -1", "0 0, 5 0 | 5 0, 10 0, 10 5, 5 5, 5 0 | 5 0, 5 -1"},
        {"ending on itself", "0 0, 10 0, 10 5, 5 5, 5 0", "0 0, 5 0 | 5 0, 10 0, 10 5, 5 5, 5 0"},
        {"parts crossing each other", "0 0, 10 0 | 5 -5, 5 5", "0 0, 5 0 | 5 0, 10 0 | 5 -5, 5 0 | 5 0, 5 5"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        CShape shape = Shape(c.before);
        shape.SplitAtSelfIntersections();
        EXPECT_EQ(ShapeText(shape), c.after) << c.what;
    }
}

TEST(ShapeNoding, InsertIntersectionVertices)
{
    CShape t = Shape("0 0, 10 0 | 0 5, 10 5");
    CShape o = Shape("3 -1, 3 6, 8 6, 8 0");
    CShape points;
    int here = -1, other = -1;
    ASSERT_TRUE(t.InsertIntersectionVertices(o, &here, &other, &points));
    // Crossings at x 3 on both lines; at (8, 0) o ends on t's segment.
    EXPECT_EQ(ShapeText(t), "0 0, 3 0, 8 0, 10 0 | 0 5, 3 5, 8 5, 10 5");
    EXPECT_EQ(ShapeText(o), "3 -1, 3 0, 3 5, 3 6, 8 6, 8 5, 8 0");
    EXPECT_EQ(here, 4);
    EXPECT_EQ(other, 3);
    EXPECT_EQ(ShapeText(points), "3 0, 8 0, 3 5, 8 5");

    // Nothing new on a second run.
    ASSERT_TRUE(t.InsertIntersectionVertices(o, &here, &other, &points));
    EXPECT_EQ(here, 0);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(points.GetPointCount(), 0);

    // Apart, or against itself: nothing.
    CShape far = Shape("50 50, 60 60");
    EXPECT_TRUE(t.InsertIntersectionVertices(far, &here, &other, nullptr));
    EXPECT_TRUE(t.InsertIntersectionVertices(t, &here, &other, nullptr));
    EXPECT_EQ(here + other, 0);
}

TEST(ShapeNoding, SplitLineByPolygon)
{
    struct Case {
        const char* what;
        const char* line;
        const char* inside;
        const char* outside;
    };
    const char* square = "0 0, 10 0, 10 10, 0 10";
    const Case cases[] = {
        {"through", "-5 5, 15 5", "0 5, 10 5", "-5 5, 0 5 | 10 5, 15 5"},
        {"along an edge counts inside", "-5 0, 15 0", "0 0, 10 0", "-5 0, 0 0 | 10 0, 15 0"},
        {"wholly inside, with a bend", "2 2, 5 8, 8 2", "2 2, 5 8, 8 2", ""},
        {"in and out by the closing edge", "-5 5, 5 5, 5 15", "0 5, 5 5, 5 10", "-5 5, 0 5 | 5 10, 5 15"},
        {"outside, extents apart", "20 20, 30 30", "", "20 20, 30 30"},
        {"outside, extents meet", "-5 5, 5 -5", "", "-5 5, 0 0 | 0 0, 5 -5"},
        {"a lone point inside", "5 5 | 20 5, 30 5", "5 5", "20 5, 30 5"},
    };
    const CShape polygon = Shape(square);
    for (const Case& c : cases) {
        CShape inside, outside;
        EXPECT_TRUE(SplitLineByPolygon(Shape(c.line), polygon, &inside, &outside));
        EXPECT_EQ(ShapeText(inside), c.inside) << c.what;
        EXPECT_EQ(ShapeText(outside), c.outside) << c.what;
    }
    // The line itself may take the outside pieces; an out shape may be left out.
    CShape line = Shape("-5 5, 15 5");
    SplitLineByPolygon(line, polygon, nullptr, &line);
    EXPECT_EQ(ShapeText(line), "-5 5, 0 5 | 10 5, 15 5");
    EXPECT_EQ(line.GetExtent(), CMapRect(-5, 5, 15, 5));
}

TEST(ShapeNoding, DegenerateInputEnds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CShape t = Shape("0 0, 0 0, 10 10, 10 10, 10 10, 20 0");
    CShape o = Shape("0 10, 10 0, 10 0, 20 10");
    t.Points()[4] = CMapPoint(nan, 5);
    t.RecalcBounds();
    t.SplitAtIntersections(o, true, 0, true);
    t.SplitAtSelfIntersections();
    int here = 0, other = 0;
    t.InsertIntersectionVertices(o, &here, &other, nullptr);
    CShape inside, outside;
    SplitLineByPolygon(t, o, &inside, &outside);
    EXPECT_GE(t.GetPartCount(), 2);
    EXPECT_EQ(o.GetPartCount(), 2);
}
