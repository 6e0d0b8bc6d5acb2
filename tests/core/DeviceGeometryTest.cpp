#include "core/DeviceGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Points = std::vector<CDevicePoint>;

std::string Text(const CDevicePoint* p, int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += (i ? ", " : "") + std::to_string(p[i].x) + " " + std::to_string(p[i].y);
    return text;
}

} // namespace

TEST(DeviceGeometry, AnglesRotationAndArrowHeads)
{
    const struct {
        CDevicePoint p1, p2;
        int tenths;
    } angles[] = {
        {{0, 0}, {10, -10}, 450},  // up and right on the screen
        {{0, 0}, {10, 10}, -450},
        {{0, 0}, {0, 10}, 900},
        {{0, 0}, {0, -10}, 900},   // vertical either way
        {{0, 0}, {-10, 0}, 0},
        {{0, 0}, {-10, 10}, 450},
        {{0, 0}, {100, -1}, 5},    // 0.573 degrees, truncated
        {{-2000000000, 2000000000}, {2000000000, -2000000000}, 450},
    };
    for (const auto& a : angles)
        EXPECT_EQ(SegmentAngleTenths(a.p1, a.p2), a.tenths) << Text(&a.p1, 1) << " -> " << Text(&a.p2, 1);

    const CDevicePoint origin(0, 0);
    EXPECT_EQ(RotatePoint(origin, {10, 0}, 900), CDevicePoint(0, -10));
    EXPECT_EQ(RotatePoint(origin, {10, 0}, -900), CDevicePoint(0, 10));
    EXPECT_EQ(RotatePoint(origin, {10, 0}, 1800), CDevicePoint(-10, 0));
    EXPECT_EQ(RotatePoint({5, 5}, {15, 5}, 900), CDevicePoint(5, -5));
    EXPECT_EQ(RotatePoint({5, 5}, {7, 9}, 0), CDevicePoint(7, 9));
    EXPECT_EQ(RotatePoint(origin, {100, 0}, 450), CDevicePoint(70, -70)); // 70.71 truncated

    // Length 30 gives h = 50; width 10 puts the base 32 - 50 = -18 behind the end.
    CDevicePoint head[4];
    ComputeArrowHead({0, 0}, {100, 0}, 30, 10, head);
    EXPECT_EQ(Text(head, 4), "150 0, 118 10, 118 -10, 150 0");
    ComputeArrowHead({0, 0}, {0, 100}, 30, 10, head);
    EXPECT_EQ(Text(head, 4), "0 150, -10 118, 10 118, 0 150");
    ComputeArrowHead({0, 0}, {100, 100}, 30, 0, head);
    EXPECT_EQ(Text(head, 4), "135 135, 135 135, 135 135, 135 135");
}

TEST(DeviceGeometry, SegmentsCross)
{
    const int big = 2000000000;
    const struct {
        CDevicePoint a, b, p1, p2;
        bool cross;
        const char* what;
    } cases[] = {
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true, "crossing"},
        {{0, 0}, {10, 0}, {10, 0}, {20, 5}, true, "meeting at an end point"},
        {{0, 0}, {10, 0}, {5, 0}, {5, 5}, true, "T junction"},
        {{5, 0}, {5, 5}, {0, 0}, {10, 0}, true, "T junction, the other way"},
        {{0, 0}, {10, 0}, {5, 0}, {15, 0}, true, "collinear overlap"},
        {{0, 0}, {10, 0}, {11, 0}, {15, 0}, false, "collinear, apart"},
        {{0, 0}, {10, 0}, {0, 1}, {10, 1}, false, "parallel"},
        {{0, 0}, {10, 0}, {5, 1}, {5, 5}, false, "above it"},
        {{0, 0}, {10, 0}, {12, -1}, {12, 5}, false, "crossing the line beyond the segment"},
        {{3, 3}, {3, 3}, {0, 0}, {6, 6}, true, "a point on the segment"},
        {{-big, -big}, {big, big}, {-big, big}, {big, -big}, true, "large print coordinates"},
        {{-big, -big}, {big, big}, {-big, -big + 1}, {big, big + 1}, false, "large, parallel one apart"},
        {{-big, -big}, {big, big - 1}, {-big, big}, {big, -big}, true, "large, nearly diagonal"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceSegmentsCross(c.a, c.b, c.p1, c.p2), c.cross) << c.what;

    const Points zigzag = {{0, 0}, {10, 10}, {20, 0}};
    const Points crossing = {{0, 5}, {20, 5}};
    const Points below = {{0, -5}, {20, -5}};
    EXPECT_TRUE(PolylinesIntersect(zigzag.data(), 3, crossing.data(), 2, false));
    EXPECT_FALSE(PolylinesIntersect(zigzag.data(), 3, below.data(), 2, false));
    // Only the closing segment (20, 0) -> (0, 0) of the ring meets it.
    const Points touching = {{5, 0}, {5, -5}};
    EXPECT_FALSE(PolylinesIntersect(zigzag.data(), 3, touching.data(), 2, false));
    EXPECT_TRUE(PolylinesIntersect(zigzag.data(), 3, touching.data(), 2, true));
    EXPECT_FALSE(PolylinesIntersect(zigzag.data(), 1, crossing.data(), 2, false));
}

TEST(DeviceGeometry, PointInConvexPolygon)
{
    const int big = 2000000000;
    const Points square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Points turned = {{0, 10}, {10, 10}, {10, 0}, {0, 0}}; // the other way round
    const Points huge = {{-big, -big}, {big, -big}, {big, big}, {-big, big}};
    const Points flat = {{0, 0}, {10, 0}, {10, 0}, {0, 0}};
    const Points dot = {{3, 3}, {3, 3}, {3, 3}, {3, 3}};
    const struct {
        const Points& polygon;
        CDevicePoint p;
        bool inside;
        const char* what;
    } cases[] = {
        {square, {5, 5}, true, "inside"},
        {turned, {5, 5}, true, "inside, turned the other way"},
        {square, {10, 5}, true, "on an edge"},
        {square, {0, 0}, true, "a corner"},
        {square, {11, 5}, false, "outside"},
        {huge, {big - 1, -big + 1}, true, "large coordinates"},
        {flat, {5, 0}, false, "a polygon without area"},
        {dot, {3, 3}, false, "a polygon of one point"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointInConvexDevicePolygon(c.polygon.data(), 4, c.p), c.inside) << c.what;
}

TEST(DeviceGeometry, SimplifyModes)
{
    struct Case {
        Points in;
        int mode;
        const char* out;
        const char* what;
    };
    Points staircase; // (0 0), (1 0), (1 1), (2 1), ... (12 12)
    for (int k = 0; k < 12; ++k) {
        staircase.push_back({k, k});
        staircase.push_back({k + 1, k});
    }
    staircase.push_back({12, 12});
    const int big = 2000000000;
    const Case cases[] = {
        {{{3, 3}, {3, 3}, {3, 3}}, 0, "3 3, 3 3", "mode 0, all equal: the ends"},
        {{{0, 0}, {0, 0}, {1, 1}, {1, 1}, {2, 0}}, 0, "0 0, 1 1, 2 0", "mode 0 drops repeats"},
        {{{0, 0}, {5, 5}}, 7, "0 0, 5 5", "two points are copied in any mode"},
        {staircase, 1, "0 0, 9 8, 12 12", "mode 1 keeps a step once the turn from the kept point exceeds 8"},
        {{{0, 0}, {big, 1}, {big, big}}, 1, "0 0, 2000000000 1, 2000000000 2000000000", "mode 1, large turn"},
        {{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}, 2, "0 0, 2 0, 4 1", "mode 2"},
        {{{0, 0}, {1, 0}, {2, 0}}, 5, "0 0", "unknown mode: the first point"},
    };
    for (const Case& c : cases) {
        Points out(c.in.size());
        const int n = SimplifyDevicePolyline(c.in.data(), out.data(), static_cast<int>(c.in.size()), c.mode);
        EXPECT_EQ(Text(out.data(), n), c.out) << c.what;
    }
}

TEST(DeviceGeometry, SimplifyWithTolerance)
{
    struct Case {
        Points in;
        double tolerance;
        const char* out;
        const char* what;
    };
    Points straight;
    for (int i = 0; i < 300; ++i)
        straight.push_back({i * 3, 1000 - i});
    const Case cases[] = {
        {straight, 0.5, "0 1000, 897 701", "a straight line keeps its ends"},
        {{{0, 0}, {5, 1}, {10, 0}}, 0.5, "0 0, 5 1, 10 0", "one pixel off with tolerance 0.5"},
        {{{0, 0}, {5, 1}, {10, 0}}, 1, "0 0, 10 0", "one pixel off with tolerance 1"},
        // 9 x 30000^2 does not fit 32 bits; wrapped, the point would stay.
        {{{0, 0}, {15000, 3}, {30000, 0}}, 3, "0 0, 30000 0", "a long chord"},
        {{{0, 0}, {15000, 4}, {30000, 0}}, 3, "0 0, 15000 4, 30000 0", "a long chord, too far off"},
        {{{1, 1}}, 1, "1 1", "one point"},
    };
    for (const Case& c : cases) {
        Points out(c.in.size());
        const int n = SimplifyDevicePolylineTol(c.in.data(), out.data(), static_cast<int>(c.in.size()), c.tolerance);
        EXPECT_EQ(Text(out.data(), n), c.out) << c.what;
    }
}
