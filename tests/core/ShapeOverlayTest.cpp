#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "core/ShapeOverlay.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

int Relation(const char* a, const char* b)
{
    const std::vector<CMapPoint> pa = ParsePoints(a), pb = ParsePoints(b);
    return ClassifyRingRelation(pa.data(), static_cast<int>(pa.size()), pb.data(), static_cast<int>(pb.size()));
}

constexpr const char* kSquare = "0 0, 10 0, 10 10, 0 10";

} // namespace

TEST(ShapeOverlay, BooleanOperationsOfTwoSquares)
{
    const CShape a = Shape(kSquare);
    const CShape b = Shape("5 5, 15 5, 15 15, 5 15");
    CShape out;
    ASSERT_TRUE(a.Intersect(b, &out));
    EXPECT_DOUBLE_EQ(out.Area(), 25);
    EXPECT_EQ(out.GetExtent(), CMapRect(5, 10, 10, 5));
    ASSERT_TRUE(a.Union(b, out));
    EXPECT_DOUBLE_EQ(out.Area(), 175);
    ASSERT_TRUE(a.Subtract(b, out));
    EXPECT_DOUBLE_EQ(out.Area(), 75);
    ASSERT_TRUE(b.Subtract(a, out));
    EXPECT_DOUBLE_EQ(out.Area(), 75);
    EXPECT_TRUE(out.PointInPolygon({12, 12}) == 1 && out.PointInPolygon({7, 7}) == 0);
    EXPECT_TRUE(a.Intersect(b));

    // Apart: nothing in common, and the out shape is emptied.
    const CShape far = Shape("20 20, 30 20, 30 30");
    EXPECT_FALSE(a.Intersect(far));
    EXPECT_FALSE(a.Intersect(far, &out));
    EXPECT_EQ(out.GetPointCount(), 0);
    // Only an edge in common is no intersection.
    EXPECT_FALSE(a.Intersect(Shape("10 0, 20 0, 20 10, 10 10")));
    // A square minus itself leaves nothing.
    EXPECT_FALSE(a.Subtract(a, out));
    EXPECT_EQ(out.GetPointCount(), 0);
}

TEST(ShapeOverlay, OutShapeMayBeAnOperandAndStaysWhenTheOverlayFails)
{
    CShape a = Shape(kSquare);
    ASSERT_TRUE(a.Union(Shape("10 0, 20 0, 20 10, 10 10"), a));
    EXPECT_DOUBLE_EQ(a.Area(), 200);
    EXPECT_EQ(a.GetPartCount(), 1);

    // A coordinate that is not a number cannot be overlaid: the result is
    // a failure, not an empty shape written over the caller's.
    CShape broken = Shape(kSquare);
    broken.Points()[1].x = std::numeric_limits<double>::quiet_NaN();
    CShape out = Shape("1 1, 2 2, 3 1");
    EXPECT_FALSE(a.Intersect(broken, &out));
    EXPECT_FALSE(broken.Union(a, out));
    EXPECT_FALSE(a.Subtract(broken, out));
    EXPECT_EQ(ShapeText(out), "1 1, 2 2, 3 1");
}

TEST(ShapeOverlay, RingRelations)
{
    struct Case {
        const char* what;
        const char* a;
        const char* b;
        int code;
    };
    const Case cases[] = {
        {"identical", kSquare, kSquare, kRingsEqual},
        {"the same ring closed explicitly", kSquare, "0 0, 10 0, 10 10, 0 10, 0 0", kRingsEqual},
        {"the same ring from another start", kSquare, "10 10, 0 10, 0 0, 10 0", kRingsEqual},
        {"sharing one edge", kSquare, "10 0, 20 0, 20 10, 10 10", kRingsTouch},
        {"sharing one corner", kSquare, "10 10, 20 10, 20 20, 10 20", kRingsTouch},
        {"apart", kSquare, "20 0, 30 0, 30 10", kRingsApart},
        {"extents meet, rings apart", "0 0, 10 0, 0 10", "10 10, 6 10, 10 6", kRingsApart},
        {"inside without contact", kSquare, "2 2, 4 2, 4 4, 2 4", kRingAContainsB},
        {"around without contact", "2 2, 4 2, 4 4, 2 4", kSquare, kRingBContainsA},
        {"inside touching at a vertex", kSquare, "0 0, 5 2, 2 5", kRingAContainsBTouching},
        {"around touching at a vertex", "0 0, 5 2, 2 5", kSquare, kRingBContainsATouching},
        {"inside sharing an edge", kSquare, "0 0, 10 0, 10 5, 0 5", kRingAContainsBTouching},
        {"crossing", kSquare, "5 5, 15 5, 15 15, 5 15", kRingsCross},
        // Only the edge that closes the triangle crosses the square.
        {"crossing the implicit closing edge", "0 0, 10 0, 0 10", "-1 4, 1 4, 1 6, -1 6", kRingsCross},
        {"a ring of two points", kSquare, "1 1, 2 2", kRingsApart},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Relation(c.a, c.b), c.code) << c.what;

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CMapPoint a[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const CMapPoint b[] = {{1, 1}, {nan, 2}, {5, 5}, {1, 5}};
    EXPECT_EQ(ClassifyRingRelation(a, 4, b, 4), kRingsFailed);
}

TEST(ShapeOverlay, RingRelationMatrixGivesNestingDepth)
{
    std::vector<int> m;
    ASSERT_TRUE(Shape("0 0, 10 0, 10 10, 0 10 | 2 2, 8 2, 8 8, 2 8").RingRelationMatrix(m));
    EXPECT_EQ(m, (std::vector<int>{0, kRingAContainsB, kRingBContainsA, 1}));

    // An island in a lake in an island, and a ring beside them.
    ASSERT_TRUE(Shape("0 0, 10 0, 10 10, 0 10 | 2 2, 8 2, 8 8, 2 8 | 4 4, 6 4, 6 6, 4 6 | 20 0, 30 0, 30 5")
                    .RingRelationMatrix(m));
    ASSERT_EQ(m.size(), 16u);
    EXPECT_EQ(m[0], 0);
    EXPECT_EQ(m[5], 1);
    EXPECT_EQ(m[10], 2);
    EXPECT_EQ(m[15], 0);
    EXPECT_EQ(m[2], kRingAContainsB);
    EXPECT_EQ(m[8], kRingBContainsA);
    EXPECT_EQ(m[3], kRingsApart);

    // Two crossing rings leave the nesting undefined.
    ASSERT_TRUE(Shape("0 0, 10 0, 10 10, 0 10 | 5 5, 15 5, 15 15, 5 15").RingRelationMatrix(m));
    EXPECT_EQ(m, (std::vector<int>{-1, kRingsCross, kRingsCross, -1}));

    CShape broken = Shape("0 0, 10 0, 10 10, 0 10 | 2 2, 8 2, 8 8, 2 8");
    broken.Points()[5].y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(broken.RingRelationMatrix(m));
}

TEST(ShapeOverlay, ShapeIntersectsByMode)
{
    struct Case {
        const char* what;
        const char* s;
        const char* o;
        int mode;
        bool expected;
    };
    const Case cases[] = {
        {"sharing an edge, contact counts", kSquare, "10 0, 20 0, 20 10, 10 10", 1, true},
        {"sharing an edge, interiors apart", kSquare, "10 0, 20 0, 20 10, 10 10", 0, false},
        // The corner of one lies inside the other's edge: still only a touch.
        {"sharing half an edge", "0 0, 1 0, 1 1, 0 1", "2 0.5, 2 1.5, 1 1.5, 1 0.5", 0, false},
        {"a vertex on the other's edge", kSquare, "15 0, 15 10, 10 5", 0, false},
        {"a vertex on the other's edge, contact counts", kSquare, "15 0, 15 10, 10 5", 1, true},
        {"overlapping", kSquare, "5 5, 15 5, 15 15, 5 15", 0, true},
        {"small inside large", "2 2, 4 2, 4 4", kSquare, 0, true},
        {"large around small", kSquare, "2 2, 4 2, 4 4", 0, true},
        {"in the hole of the other", "4 4, 6 4, 6 6", "0 0, 10 0, 10 10, 0 10 | 2 2, 8 2, 8 8, 2 8", 0, false},
        {"extents apart", kSquare, "20 20, 30 20, 30 30", 1, false},
        {"a line crossing the area", "-5 5, 15 5", kSquare, 2, true},
        {"a line along the boundary", "0 -5, 0 15", kSquare, 2, true},
        {"a line beside the area", "-5 -5, -5 15, 15 15", kSquare, 2, false},
        // The first part lies far away; the second wholly inside.
        {"a later part inside the area", "-50 -50, -40 -40 | 4 4, 6 6", kSquare, 2, true},
        {"a line crossing only the closing edge", "-1 5, 1 5", "0 0, 10 0, 0 10", 2, true},
        // A line around an area does not meet it: the line is not a ring.
        {"a line around the area", "-1 -1, 11 -1, 11 11, -1 11", kSquare, 2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Shape(c.s).ShapeIntersects(Shape(c.o), c.mode), c.expected) << c.what;
}

TEST(ShapeOverlay, AreasOverlapCountsTouching)
{
    const CShape a = Shape(kSquare);
    EXPECT_TRUE(a.AreasOverlap(Shape("10 0, 20 0, 20 10, 10 10")));
    EXPECT_TRUE(a.AreasOverlap(Shape("10 10, 20 10, 20 20")));
    EXPECT_TRUE(a.AreasOverlap(Shape("2 2, 4 2, 4 4")));
    EXPECT_TRUE(Shape("2 2, 4 2, 4 4").AreasOverlap(a));
    EXPECT_FALSE(a.AreasOverlap(Shape("11 11, 20 11, 20 20")));
    EXPECT_FALSE(Shape("0 0, 10 0, 0 10").AreasOverlap(Shape("10 10, 6 10, 10 6")));
}

TEST(ShapeOverlay, UnionAllOfOneTwoAndSevenShapes)
{
    CShapeArray shapes;
    CShape out;
    EXPECT_FALSE(shapes.UnionAll(out));

    // One shape comes back as it is, normalised.
    shapes.AddCopy(Shape("0 0, 10 0, 10 10, 0 10, 0 0"));
    ASSERT_TRUE(shapes.UnionAll(out));
    EXPECT_TRUE(shapes.IsEmpty());
    EXPECT_DOUBLE_EQ(out.Area(), 100);

    shapes.AddCopy(Shape(kSquare));
    shapes.AddCopy(Shape("5 5, 15 5, 15 15, 5 15"));
    ASSERT_TRUE(shapes.UnionAll(out));
    EXPECT_DOUBLE_EQ(out.Area(), 175);
    EXPECT_EQ(out.GetPartCount(), 1);

    // Six unit-overlapping squares in a row and one apart: an odd count
    // leaves a set without partner in every pass.
    for (int i = 0; i < 6; ++i) {
        CShape s;
        s.SetFromRect(CMapRect(i * 3, 4, i * 3 + 4, 0));
        shapes.AddCopy(s);
    }
    shapes.AddCopy(Shape("100 100, 101 100, 101 101"));
    ASSERT_TRUE(shapes.UnionAll(out));
    EXPECT_EQ(shapes.GetSize(), 0);
    EXPECT_DOUBLE_EQ(out.Area(), 4 * 19 + 0.5);
    EXPECT_EQ(out.GetPartCount(), 2);

    // Shapes with nothing in common with anything: no area, no points.
    shapes.AddCopy(Shape("0 0, 1 1"));
    EXPECT_FALSE(shapes.UnionAll(out));
    EXPECT_EQ(out.GetPointCount(), 0);
}
