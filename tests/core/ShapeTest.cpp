#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>

TEST(Shape, PartAndPointOperations)
{
    struct Case {
        const char* what;
        const char* before;
        std::function<void(CShape&)> op;
        const char* after;
    };
    const CShape joint = Shape("1 1, 2 0");
    const CShape twoParts = Shape("5 5, 6 6 | 7 7, 8 8");
    const Case cases[] = {
        {"AddPoint goes to the last part", "0 0 | 1 1", [](CShape& s) { s.AddPoint({2, 2}); }, "0 0 | 1 1, 2 2"},
        {"AddPoint to a new shape", "", [](CShape& s) { s.AddPoint({2, 2}); }, "2 2"},
        {"InsertPoint at the count appends to the last part", "0 0, 1 1 | 2 2",
         [](CShape& s) { EXPECT_TRUE(s.InsertPoint(3, {3, 3})); }, "0 0, 1 1 | 2 2, 3 3"},
        {"InsertPoint at a part start joins that part", "0 0, 1 1 | 2 2",
         [](CShape& s) { EXPECT_TRUE(s.InsertPoint(2, {9, 9})); }, "0 0, 1 1 | 9 9, 2 2"},
        {"InsertPoint past the end is refused", "0 0", [](CShape& s) { EXPECT_FALSE(s.InsertPoint(2, {9, 9})); },
         "0 0"},
        {"DeletePoint of the only point keeps one empty part", "4 4", [](CShape& s) { s.DeletePoint(0); }, ""},
        {"DeletePoint emptying one of several parts removes it", "0 0 | 4 4 | 5 5",
         [](CShape& s) { s.DeletePoint(1); }, "0 0 | 5 5"},
        {"DeletePoint inside a part", "0 0, 1 1, 2 2 | 3 3", [](CShape& s) { s.DeletePoint(1); }, "0 0, 2 2 | 3 3"},
        {"DeletePoint out of range", "0 0", [](CShape& s) { s.DeletePoint(1); }, "0 0"},
        {"DeletePart of the only part keeps it, empty", "0 0, 1 1", [](CShape& s) { s.DeletePart(0); }, ""},
        {"DeletePart in the middle", "0 0 | 1 1, 2 2 | 3 3", [](CShape& s) { s.DeletePart(1); }, "0 0 | 3 3"},
        {"AddEmptyPart, then AddPoint fills it", "0 0",
         [](CShape& s) {
             EXPECT_EQ(s.AddEmptyPart(), 1);
             s.AddPoint({1, 1});
         },
         "0 0 | 1 1"},
        {"AddPartPoints to a shape without points uses part 0", "",
         [](CShape& s) {
             const CMapPoint p[] = {{1, 1}, {2, 2}};
             s.AddPartPoints(2, p, true);
         },
         "1 1, 2 2"},
        {"AddPartPoints adds a part", "0 0",
         [](CShape& s) {
             const CMapPoint p[] = {{1, 1}, {2, 2}};
             s.AddPartPoints(2, p, true);
         },
         "0 0 | 1 1, 2 2"},
        {"Append continues the last part, the joint once", "0 0, 1 1",
         [&](CShape& s) { s.Append(joint, false); }, "0 0, 1 1, 2 0"},
        {"Append with prepend runs into the first part", "1 1, 2 0",
         [](CShape& s) { s.Append(Shape("0 0, 1 1"), true); }, "0 0, 1 1, 2 0"},
        {"Append of several parts", "0 0, 1 1 | 2 2, 3 3", [&](CShape& s) { s.Append(twoParts, false); },
         "0 0, 1 1 | 2 2, 3 3, 6 6 | 7 7, 8 8"},
        {"Append with prepend of several parts", "0 0, 1 1 | 2 2, 3 3", [&](CShape& s) { s.Append(twoParts, true); },
         "5 5, 6 6 | 7 7, 8 8, 1 1 | 2 2, 3 3"},
        {"Append to an empty shape copies", "", [&](CShape& s) { s.Append(twoParts, false); },
         "5 5, 6 6 | 7 7, 8 8"},
        {"Append of an empty shape changes nothing", "0 0", [](CShape& s) { s.Append(Shape(""), false); }, "0 0"},
        {"Append onto an empty last part keeps every point", "0 0 |", [&](CShape& s) { s.Append(joint, false); },
         "0 0 | 1 1, 2 0"},
        {"Append of itself", "0 0, 1 1", [](CShape& s) { s.Append(s, false); }, "0 0, 1 1, 1 1"},
        {"AppendParts", "0 0", [&](CShape& s) { s.AppendParts(twoParts); }, "0 0 | 5 5, 6 6 | 7 7, 8 8"},
        {"AppendParts to an empty shape copies", "", [&](CShape& s) { s.AppendParts(twoParts); },
         "5 5, 6 6 | 7 7, 8 8"},
        {"SplitPartAt copies the split point", "0 0, 1 1, 2 2, 3 3 | 9 9",
         [](CShape& s) { EXPECT_TRUE(s.SplitPartAt(0, 1)); }, "0 0, 1 1 | 1 1, 2 2, 3 3 | 9 9"},
        {"SplitPartAt a later part", "9 9 | 0 0, 1 1, 2 2", [](CShape& s) { EXPECT_TRUE(s.SplitPartAt(1, 1)); },
         "9 9 | 0 0, 1 1 | 1 1, 2 2"},
        {"SplitPartAt the first point does nothing", "0 0, 1 1, 2 2",
         [](CShape& s) { EXPECT_FALSE(s.SplitPartAt(0, 0)); }, "0 0, 1 1, 2 2"},
        {"SplitPartAt the last point does nothing", "0 0, 1 1, 2 2",
         [](CShape& s) { EXPECT_FALSE(s.SplitPartAt(0, 2)); }, "0 0, 1 1, 2 2"},
        {"SplitPartWithPoint puts the point at both ends", "0 0, 2 0, 2 2 | 9 9",
         [](CShape& s) { EXPECT_TRUE(s.SplitPartWithPoint(0, 0, {1, 0})); }, "0 0, 1 0 | 1 0, 2 0, 2 2 | 9 9"},
        {"SplitPartWithPoint on the closing segment of a ring", "0 0, 2 0, 2 2",
         [](CShape& s) { EXPECT_TRUE(s.SplitPartWithPoint(0, 2, {1, 1})); }, "0 0, 2 0, 2 2, 1 1 | 1 1"},
        {"RemoveDuplicatePoints within parts only", "0 0, 0 0, 1 1, 1 1, 1 1 | 1 1, 2 2, 2 2",
         [](CShape& s) { EXPECT_EQ(s.RemoveDuplicatePoints(), 4); }, "0 0, 1 1 | 1 1, 2 2"},
        {"Reverse turns points and parts round", "0 0, 1 1 | 2 2, 3 3, 4 4", [](CShape& s) { s.Reverse(); },
         "4 4, 3 3, 2 2 | 1 1, 0 0"},
        {"CloseRings repeats the first point of the open parts only",
         "0 0, 4 0, 4 4 | 5 5, 6 5, 6 6, 5 5 | 7 7 | | 8 8, 9 9", [](CShape& s) { s.CloseRings(); },
         "0 0, 4 0, 4 4, 0 0 | 5 5, 6 5, 6 6, 5 5 | 7 7 | | 8 8, 9 9, 8 8"},
        {"Densify: twice the maximum gets two points", "0 0, 6 0",
         [](CShape& s) { EXPECT_EQ(s.Densify(3, 1, 1), 2); }, "0 0, 2 0, 4 0, 6 0"},
        {"Densify: exactly the maximum gets none", "0 0, 3 0", [](CShape& s) { EXPECT_EQ(s.Densify(3, 1, 1), 0); },
         "0 0, 3 0"},
        {"Densify never joins two parts", "0 0, 0 4 | 10 0, 10 5",
         [](CShape& s) { EXPECT_EQ(s.Densify(2, 1, 1), 4); },
         "0 0, 0 1.333333333, 0 2.666666667, 0 4 | 10 0, 10 1.666666667, 10 3.333333333, 10 5"},
        {"Densify measures with the scale factors", "0 0, 1 0, 1 1",
         [](CShape& s) { EXPECT_EQ(s.Densify(1, 2, 0.5), 2); }, "0 0, 0.3333333333 0, 0.6666666667 0, 1 0, 1 1"},
        {"Densify without a positive maximum", "0 0, 5 0",
         [](CShape& s) {
             EXPECT_EQ(s.Densify(0, 1, 1), 0);
             EXPECT_EQ(s.Densify(-1, 1, 1), 0);
             EXPECT_EQ(s.Densify(NAN, 1, 1), 0);
         },
         "0 0, 5 0"},
        {"Densify refuses to make an absurd number of points", "0 0, 1e9 0",
         [](CShape& s) { EXPECT_EQ(s.Densify(1e-3, 1, 1), 0); }, "0 0, 1000000000 0"},
        {"GetPart", "0 0 | 1 1, 2 2", [](CShape& s) { EXPECT_TRUE(s.GetPart(1, s)); }, "1 1, 2 2"},
        {"SetFromRect repeats the first corner", "0 0",
         [](CShape& s) { s.SetFromRect(CMapRect(1, 4, 3, 2)); }, "1 4, 3 4, 3 2, 1 2, 1 4"},
        {"MakeCircle with a step of 90", "",
         [](CShape& s) { EXPECT_TRUE(s.MakeCircle({10, 20}, 2, 1, 90)); },
         "12 20, 10 21, 8 20, 10 19, 12 20"},
        {"MakeArc from 350 to 10 degrees crosses 0", "",
         [](CShape& s) { EXPECT_TRUE(s.MakeArc({10, 10}, 1, 350, 10, 10)); },
         "10.98480775 9.826351822, 11 10, 10.98480775 10.17364818"},
        {"MakeArc without a sweep gives its two ends", "",
         [](CShape& s) { EXPECT_TRUE(s.MakeArc({10, 10}, 1, 30, 30, 10)); }, "10.8660254 10.5, 10.8660254 10.5"},
        {"MakeArc shorter than half a step", "",
         [](CShape& s) { EXPECT_TRUE(s.MakeArc({10, 10}, 2, 0, 90, 1000)); }, "12 10, 10 12"},
        {"MakeCircle and MakeArc refuse a step that is not positive", "1 1",
         [](CShape& s) {
             EXPECT_FALSE(s.MakeCircle({0, 0}, 1, 0));
             EXPECT_FALSE(s.MakeCircle({0, 0}, 1, -5));
             EXPECT_FALSE(s.MakeCircle({0, 0}, 1, NAN));
             EXPECT_FALSE(s.MakeCircle({0, 0}, 1, 1e-9));
             EXPECT_FALSE(s.MakeArc({0, 0}, 1, 0, 90, 0));
             EXPECT_FALSE(s.MakeArc({0, 0}, 1, 0, 90, -1));
             EXPECT_FALSE(s.MakeArc({0, 0}, 1, 0, 1e300, 1));
         },
         "1 1"},
    };
    for (const Case& c : cases) {
        CShape shape = Shape(c.before);
        c.op(shape);
        EXPECT_EQ(ShapeText(shape), c.after) << c.what;
        int64_t total = 0;
        for (uint32_t size : shape.PartSizes())
            total += size;
        EXPECT_EQ(total, shape.GetPointCount()) << c.what;
        for (const CMapPoint& p : shape.Points())
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << c.what;
    }
}

TEST(Shape, Extent)
{
    CShape s;
    s.AddPoint({3, 4});
    EXPECT_EQ(s.GetExtent(), CMapRect(3, 4, 3, 4));
    s.AddPoint({1, 8});
    EXPECT_EQ(s.GetExtent(), CMapRect(1, 8, 3, 4));
    s.InsertPoint(0, {5, 0});
    EXPECT_EQ(s.GetExtent(), CMapRect(1, 8, 5, 0));
    s.DeletePoint(0); // the extent is kept as it was
    EXPECT_EQ(s.GetExtent(), CMapRect(1, 8, 5, 0));
    s.RecalcBounds();
    EXPECT_EQ(s.GetExtent(), CMapRect(1, 8, 3, 4));
    s.DeletePart(0);
    EXPECT_FALSE(s.GetExtent().IsValid());

    CShape a = Shape("0 0, 1 1");
    a.Append(Shape("1 1, 5 -2"), false);
    EXPECT_EQ(a.GetExtent(), CMapRect(0, 1, 5, -2));
    a.SplitPartWithPoint(0, 0, {-1, 9});
    EXPECT_EQ(a.GetExtent(), CMapRect(-1, 9, 5, -2));

    CShape circle;
    circle.MakeCircle({0, 0}, 2, 45);
    EXPECT_EQ(circle.GetPointCount(), 9);
    EXPECT_EQ(circle.GetPoint(0), circle.GetPoint(8));
    EXPECT_NEAR(circle.GetExtent().left, -2, 1e-12);
    EXPECT_NEAR(circle.GetExtent().top, 2, 1e-12);
}

TEST(Shape, IndexingAndEquality)
{
    const CShape s = Shape("0 0, 1 1, 2 2 | 3 3, 4 4 | | 5 5");
    const int expectedPart[] = {0, 0, 0, 1, 1, 3};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(s.PartFromPoint(i), expectedPart[i]) << i;
    EXPECT_EQ(s.PartFromPoint(6), -1); // one past the last point
    EXPECT_EQ(s.PartFromPoint(-1), -1);
    EXPECT_EQ(s.GetPartStart(0), 0);
    EXPECT_EQ(s.GetPartStart(-3), 0);
    EXPECT_EQ(s.GetPartStart(1), 3);
    EXPECT_EQ(s.GetPartStart(3), 5);
    EXPECT_EQ(s.GetPartStart(9), 6);

    CShape copy;
    copy.Copy(s);
    EXPECT_TRUE(copy.IsEqual(s));
    // The same points split into parts differently are a different shape.
    EXPECT_FALSE(Shape("0 0, 1 1 | 2 2").IsEqual(Shape("0 0 | 1 1, 2 2")));
    EXPECT_FALSE(Shape("0 0, 1 1").IsEqual(Shape("0 0, 1 1.5")));
    CShape stale = Shape("0 0, 1 1");
    stale.SetExtent(CMapRect(0, 2, 1, 0));
    EXPECT_FALSE(stale.IsEqual(Shape("0 0, 1 1")));

    // A shape whose part sizes claim more points than it holds is not read past its end.
    CShape broken = Shape("0 0, 1 1, 2 2");
    broken.PartSizes() = {2, 5};
    EXPECT_EQ(broken.PartFromPoint(2), 1);
    EXPECT_EQ(broken.PointInPolygon({5, 5}), 0);
    int index = -1;
    EXPECT_TRUE(broken.HitTestSegment({2, 2}, 1, -1, index));
    CMapPoint a, b;
    EXPECT_TRUE(broken.GetLongestSegment(a, b));
}

TEST(Shape, HitTests)
{
    const CShape s = Shape("0 0, 10 0 | 0 4, 10 4 | 20 20");
    int index = -1;
    CMapPoint nearest;
    // Equidistant from parts 0 and 1: the later part wins.
    ASSERT_TRUE(s.HitTestSegment({5, 2}, 3, -1, index, &nearest));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(nearest, CMapPoint(5, 4));
    ASSERT_TRUE(s.HitTestSegment({5, 1}, 3, -1, index, &nearest));
    EXPECT_EQ(index, 0);
    // The largest tolerance always finds the nearest feature, here a one-point part.
    ASSERT_TRUE(s.HitTestSegment({30, 30}, DBL_MAX, -1, index, &nearest));
    EXPECT_EQ(index, 4);
    ASSERT_TRUE(s.HitTestSegment({11, 5}, DBL_MAX, -1, index, &nearest));
    EXPECT_EQ(index, 3); // the final vertex of part 1
    // One part only.
    ASSERT_TRUE(s.HitTestSegment({5, 1}, 3, 1, index, &nearest));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(s.HitTestSegment({5, 1}, 3, 2, index));

    CMapPoint vertex;
    ASSERT_TRUE(s.HitTestVertex({9, 3}, 2, -1, index, &vertex));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(vertex, CMapPoint(10, 4));
    ASSERT_TRUE(s.HitTestVertex({9, 3}, 5, 0, index, &vertex));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(s.HitTestVertex({9, 3}, 5, 7, index));
    EXPECT_FALSE(CShape().HitTestSegment({0, 0}, DBL_MAX, -1, index));
}

TEST(Shape, PolygonQueriesAndArea)
{
    // A square with a square hole, the hole's ring turning the same way.
    const CShape holed = Shape("0 0, 10 0, 10 10, 0 10 | 3 3, 7 3, 7 7, 3 7");
    EXPECT_EQ(holed.PointInPolygon({1, 1}), 1);
    EXPECT_EQ(holed.PointInPolygon({5, 5}), 0);
    EXPECT_EQ(holed.PointInPolygon({7, 5}), 2);
    EXPECT_EQ(holed.PointInPolygon({0, 5}), 2);
    EXPECT_EQ(holed.PointInPolygon({15, 5}), 0);
    EXPECT_TRUE(holed.IsPointInAnyRing({5, 5}));
    EXPECT_FALSE(holed.IsPointInAnyRing({15, 5}));
    EXPECT_DOUBLE_EQ(holed.Area(), 84);

    EXPECT_DOUBLE_EQ(Shape("0 0, 0 10, 10 10, 10 0").Area(), 100);
    EXPECT_DOUBLE_EQ(Shape("0 0, 1 0, 1 1, 0 1 | 5 5, 7 5, 7 7, 5 7").Area(), 5);
    // An island in the hole counts again.
    EXPECT_DOUBLE_EQ(Shape("0 0, 10 0, 10 10, 0 10 | 2 2, 8 2, 8 8, 2 8 | 4 4, 6 4, 6 6, 4 6").Area(), 68);
    EXPECT_DOUBLE_EQ(Shape("").Area(), 0);

    CMapPoint a, b;
    const CShape lines = Shape("0 0, 3 0, 3 1 | 10 10, 10 20");
    ASSERT_TRUE(lines.GetLongestSegment(a, b));
    EXPECT_EQ(a, CMapPoint(10, 10));
    EXPECT_EQ(b, CMapPoint(10, 20));
    const CMapRect clip(0, 12, 10, 0);
    ASSERT_TRUE(lines.GetLongestSegment(a, b, &clip));
    EXPECT_EQ(a, CMapPoint(0, 0));
    EXPECT_EQ(b, CMapPoint(3, 0));
    const CMapRect away(50, 60, 60, 50);
    EXPECT_FALSE(lines.GetLongestSegment(a, b, &away));
    EXPECT_FALSE(Shape("1 1 | 2 2").GetLongestSegment(a, b));
}

TEST(ShapeArray, OwnsItsShapes)
{
    CShapeArray array;
    const CShape s = Shape("0 0, 1 1 | 2 2");
    EXPECT_TRUE(array.AddCopy(s));
    EXPECT_EQ(array.Add(std::make_unique<CShape>()), 1);
    ASSERT_EQ(array.GetSize(), 2);
    EXPECT_TRUE(array[0]->IsEqual(s));
    array.RemoveAt(1);
    array.RemoveAt(5);
    EXPECT_EQ(array.GetSize(), 1);
    array.RemoveAll();
    EXPECT_TRUE(array.IsEmpty());
}
