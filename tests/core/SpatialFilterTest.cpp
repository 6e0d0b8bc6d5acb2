#include "core/SpatialFilter.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace {

enum { kPointObject = 0, kLineObject = CSpatialFilter::kObjectLine, kAreaObject = CSpatialFilter::kObjectArea };

CSpatialFilter PointFilter(double x, double y)
{
    CSpatialFilter filter;
    filter.SetPoint(CMapPoint(x, y));
    return filter;
}

CSpatialFilter ShapeFilter(int kind, const char* text)
{
    CSpatialFilter filter;
    filter.SetShape(kind, Shape(text));
    return filter;
}

constexpr const char* kSquare = "0 0, 10 0, 10 10, 0 10";

struct Case {
    const char* what;
    const char* object;
    int type;
    bool expected;
};

void Check(const CSpatialFilter& filter, bool within, const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const CShape object = Shape(c.object);
        EXPECT_EQ(within ? filter.TestWithin(object, c.type) : filter.TestIntersects(object, c.type), c.expected)
            << c.what;
    }
}

} // namespace

TEST(SpatialFilter, Bounds)
{
    EXPECT_EQ(PointFilter(3, 4).GetBounds(), CMapRect(3, 4, 3, 4));
    EXPECT_EQ(ShapeFilter(CSpatialFilter::kLine, "1 2, 5 -3").GetBounds(), CMapRect(1, 2, 5, -3));
    EXPECT_EQ(ShapeFilter(CSpatialFilter::kAreaOther, kSquare).GetBounds(), CMapRect(0, 10, 10, 0));

    CSpatialFilter other = ShapeFilter(CSpatialFilter::kArea, kSquare);
    other.SetKind(5);
    EXPECT_EQ(other.GetBounds(), CMapRect(-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX));
    for (int type : {kPointObject, kLineObject, kAreaObject}) {
        EXPECT_FALSE(other.TestIntersects(Shape("5 5"), type));
        EXPECT_FALSE(other.TestWithin(Shape("5 5"), type));
    }
}

TEST(SpatialFilter, PointFilter)
{
    Check(PointFilter(5, 5), false,
          {
              {"an area around it", kSquare, kAreaObject, true},
              {"an area with it on the boundary", "5 5, 9 5, 9 9", kAreaObject, true},
              {"an area elsewhere", "20 20, 30 20, 30 30", kAreaObject, false},
              {"a line through it", "0 0, 10 10", kLineObject, true},
              {"a line ending at it", "5 5, 10 7", kLineObject, true},
              {"a line beside it", "0 0, 10 0", kLineObject, false},
              // Read as a ring it would hold the point; a line does not.
              {"a line round it", kSquare, kLineObject, false},
              {"a point at it", "5 5", kPointObject, true},
              {"a point elsewhere", "5 6", kPointObject, false},
              {"an empty object", "", kAreaObject, false},
          });
    // A point filter has no inside.
    Check(PointFilter(5, 5), true, {{"within a point", "5 5", kPointObject, false}});
}

TEST(SpatialFilter, LineFilter)
{
    Check(ShapeFilter(CSpatialFilter::kLine, "0 5, 10 5"), false,
          {
              {"an area it crosses", "2 0, 8 0, 8 10, 2 10", kAreaObject, true},
              {"an area holding it", "-10 -10, 20 -10, 20 20, -10 20", kAreaObject, true},
              {"an area beside it", "0 6, 10 6, 10 9", kAreaObject, false},
              {"a line crossing it", "5 0, 5 10", kLineObject, true},
              {"a line ending on it", "5 5, 5 8", kLineObject, true},
              {"a parallel line", "0 6, 10 6", kLineObject, false},
              {"a line round it", "-1 -1, 11 -1, 11 11, -1 11", kLineObject, false},
              {"a lone point on it", "3 5 | 20 20, 30 30", kLineObject, true},
              {"a point on it", "3 5", kPointObject, true},
              {"a point off it", "3 6", kPointObject, false},
          });
}

TEST(SpatialFilter, AreaFilterIntersects)
{
    Check(ShapeFilter(CSpatialFilter::kArea, kSquare), false,
          {
              {"an overlapping area", "5 5, 15 5, 15 15, 5 15", kAreaObject, true},
              {"an area sharing an edge", "10 0, 20 0, 20 10, 10 10", kAreaObject, false},
              {"an area inside", "2 2, 4 2, 4 4", kAreaObject, true},
              {"an area around", "-5 -5, 15 -5, 15 15, -5 15", kAreaObject, true},
              {"a line crossing", "-5 5, 15 5", kLineObject, true},
              {"a line inside", "2 2, 8 8", kLineObject, true},
              {"a line touching the boundary", "10 5, 15 5", kLineObject, true},
              {"a line outside", "-5 -5, -5 15", kLineObject, false},
              {"a line round it", "-1 -1, 11 -1, 11 11, -1 11", kLineObject, false},
              {"points, one inside", "20 20 | 5 5", kPointObject, true},
              {"a point on the boundary", "0 5", kPointObject, true},
              {"a point outside", "11 5", kPointObject, false},
          });
}

TEST(SpatialFilter, AreaFilterWithin)
{
    const CSpatialFilter filter = ShapeFilter(CSpatialFilter::kArea, kSquare);
    Check(filter, true,
          {
              {"an area inside touching the boundary", "0 0, 5 0, 5 5", kAreaObject, true},
              {"the same area", kSquare, kAreaObject, true},
              {"an area reaching out", "5 5, 15 5, 15 15, 5 15", kAreaObject, false},
              {"an area around", "-5 -5, 15 -5, 15 15, -5 15", kAreaObject, false},
              {"a line inside", "2 2, 8 8, 2 8", kLineObject, true},
              {"a line along the boundary", "0 0, 10 0, 10 10", kLineObject, true},
              {"a line crossing out", "5 5, 15 5", kLineObject, false},
              {"points inside and on the boundary", "5 5 | 0 0", kPointObject, true},
              {"points, one outside", "5 5 | 11 5", kPointObject, false},
              {"an empty object", "", kPointObject, false},
          });
    // A filter area with a notch: a line whose ends are inside but which
    // leaves through the notch is not within.
    Check(ShapeFilter(CSpatialFilter::kArea, "0 0, 10 0, 10 10, 6 10, 6 4, 4 4, 4 10, 0 10"), true,
          {
              {"a line over the notch", "2 8, 8 8", kLineObject, false},
              {"a line below the notch", "2 2, 8 2", kLineObject, true},
              {"an area over the notch", "2 5, 8 5, 8 9, 2 9", kAreaObject, false},
          });

    // The mode picks the test.
    CSpatialFilter byMode = ShapeFilter(CSpatialFilter::kArea, kSquare);
    const CShape crossing = Shape("5 5, 15 5, 15 15, 5 15");
    EXPECT_TRUE(byMode.Test(crossing, kAreaObject));
    byMode.SetMode(CSpatialFilter::kModeWithin);
    EXPECT_FALSE(byMode.Test(crossing, kAreaObject));
}
