#include "core/MapGeometry.h"
#include "core/PolygonSet.h"
#include "core/RectClipper.h"
#include "core/Shape.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

const CMapRect kRect(0, 10, 10, 0);

std::string ClippedPolygon(const char* text, const CMapRect& rect = kRect)
{
    CShape out;
    CRectClipper(rect).ClipPolygon(Shape(text), out);
    return ShapeText(out);
}

std::string ClippedPolyline(const char* text, const CMapRect& rect = kRect)
{
    CShape out;
    CRectClipper(rect).ClipPolyline(Shape(text), out);
    return ShapeText(out);
}

double DistanceToSegment(const CMapPoint& p, const CMapPoint& a, const CMapPoint& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

bool OnSomeSegment(const CMapPoint& p, const CShape& shape, double tolerance)
{
    for (int k = 0, first = 0; k < shape.GetPartCount(); first += shape.GetPartSize(k++))
        for (int i = first; i + 1 < first + shape.GetPartSize(k); ++i)
            if (DistanceToSegment(p, shape.GetPoint(i), shape.GetPoint(i + 1)) <= tolerance)
                return true;
    return false;
}

bool OnBorder(const CMapPoint& p, const CMapRect& r, double tolerance)
{
    const bool withinX = p.x >= r.left - tolerance && p.x <= r.right + tolerance;
    const bool withinY = p.y >= r.bottom - tolerance && p.y <= r.top + tolerance;
    return (withinY && (std::fabs(p.x - r.left) <= tolerance || std::fabs(p.x - r.right) <= tolerance)) ||
           (withinX && (std::fabs(p.y - r.bottom) <= tolerance || std::fabs(p.y - r.top) <= tolerance));
}

} // namespace

TEST(RectClipper, Polygons)
{
    // A ring inside, as the first part, comes back explicitly closed; as a
    // later part it is copied as it stands.
    EXPECT_EQ(ClippedPolygon("1 1, 2 1, 2 2"), "1 1, 2 1, 2 2, 1 1");
    EXPECT_EQ(ClippedPolygon("1 1, 2 1, 2 2 | 3 3, 4 3, 4 4"), "1 1, 2 1, 2 2, 1 1 | 3 3, 4 3, 4 4");
    // Later parts wholly outside are dropped without clipping.
    EXPECT_EQ(ClippedPolygon("1 1, 2 1, 2 2 | 30 30, 40 30, 40 40"), "1 1, 2 1, 2 2, 1 1");
    // A ring around the rectangle gives its corners, first one repeated.
    EXPECT_EQ(ClippedPolygon("-5 -5, 15 -5, 15 15, -5 15"), "10 0, 10 10, 0 10, 0 0, 10 0");
    // A ring with its vertices on the border keeps them.
    EXPECT_EQ(ClippedPolygon("0 0, 10 0, 10 10, 0 10"), "0 0, 10 0, 10 10, 0 10, 0 0");
    EXPECT_EQ(ClippedPolygon("5 0, 10 5, 5 10, 0 5"), "5 0, 10 5, 5 10, 0 5, 5 0");
    // A ring across one corner.
    EXPECT_EQ(ClippedPolygon("8 8, 12 8, 12 12, 8 12"), "8 8, 10 8, 10 10, 8 10, 8 8");
    // A ring outside, touching the border along an edge, leaves only that
    // edge: kept as a flat ring, as drawing takes it.
    EXPECT_EQ(ClippedPolygon("10 2, 14 2, 14 6, 10 6"), "10 2, 10 6, 10 2");
    // Rings that vanish are dropped; nothing left is false.
    CShape out;
    EXPECT_FALSE(CRectClipper(kRect).ClipPolygon(Shape("20 20, 30 20, 30 30"), out));
    EXPECT_EQ(out.GetPointCount(), 0);
    EXPECT_EQ(ShapeText(out), "");
    EXPECT_FALSE(CRectClipper(kRect).ClipPolygon(Shape("11 -5, 12 -5, 12 15"), out));
    // Part sizes that claim more points than there are.
    CShape lying = Shape("1 1, 2 1, 2 2, 3 3, 4 4");
    lying.PartSizes() = {3, 0x80000000u, 9};
    ASSERT_TRUE(CRectClipper(kRect).ClipPolygon(lying, out));
    EXPECT_EQ(ShapeText(out), "1 1, 2 1, 2 2, 1 1 | 3 3, 4 4");
    ASSERT_TRUE(CRectClipper(kRect).ClipPolyline(lying, out));
    EXPECT_EQ(ShapeText(out), "1 1, 2 1, 2 2 | 3 3, 4 4");
    // The out shape may be the source; its extent is its own.
    CShape same = Shape("-5 5, 5 -5, 15 5, 5 15");
    ASSERT_TRUE(CRectClipper(kRect).ClipPolygon(same, same));
    EXPECT_EQ(same.GetExtent(), kRect);
}

// A comb whose teeth leave and enter the rectangle over and over: the
// clipped ring runs along the border between the teeth, so its area is the
// common area and every point well inside reads the same as in the source.
TEST(RectClipper, PolygonCrossingManyTimes)
{
    const CShape comb = Shape("-2 1, 12 1, 12 3, 1 3, 1 4, 12 4, 12 6, 1 6, 1 7, 12 7, 12 9, -2 9");
    CShape out;
    ASSERT_TRUE(CRectClipper(kRect).ClipPolygon(comb, out));
    ASSERT_EQ(out.GetPartCount(), 1);
    EXPECT_EQ(out.GetPoint(0), out.GetPoint(out.GetPointCount() - 1));
    for (int i = 0; i < out.GetPointCount(); ++i) {
        const CMapPoint& p = out.GetPoint(i);
        EXPECT_TRUE(p.x >= 0 && p.x <= 10 && p.y >= 0 && p.y <= 10) << p.x << " " << p.y;
    }
    CPolygonSet common;
    CShape rect;
    rect.SetFromRect(kRect);
    ASSERT_TRUE(CPolygonSet(comb).Intersect(CPolygonSet(rect), common));
    EXPECT_NEAR(PolygonArea(out.Points().GetData(), out.GetPointCount()), common.Area(), 1e-12);
    EXPECT_DOUBLE_EQ(common.Area(), 3 * 10 * 2 + 2 * 1);

    // The same for random rings, probed away from the border.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(-6, 16);
    std::uniform_real_distribution<double> inner(0.01, 9.99);
    for (int round = 0; round < 200; ++round) {
        std::vector<CMapPoint> ring(12);
        for (CMapPoint& p : ring)
            p = CMapPoint(coordinate(random), coordinate(random));
        CShape source;
        source.SetPoints(12, ring.data());
        CShape clipped;
        if (!CRectClipper(kRect).ClipPolygon(source, clipped))
            continue;
        for (int probe = 0; probe < 200; ++probe) {
            const CMapPoint p(inner(random), inner(random));
            const int s = source.PointInPolygon(p);
            const int c = clipped.PointInPolygon(p);
            if (s != 2 && c != 2) {
                ASSERT_EQ(c, s) << round << " at " << p.x << " " << p.y << "\n" << ShapeText(source);
            }
        }
    }
}

TEST(RectClipper, Polylines)
{
    // Inside, on the border and along an edge: unchanged.
    EXPECT_EQ(ClippedPolyline("1 1, 5 5, 9 2"), "1 1, 5 5, 9 2");
    EXPECT_EQ(ClippedPolyline("0 0, 10 0, 10 10"), "0 0, 10 0, 10 10");
    EXPECT_EQ(ClippedPolyline("-5 0, 15 0"), "0 0, 10 0");
    // Through the rectangle.
    EXPECT_EQ(ClippedPolyline("-5 5, 15 5"), "0 5, 10 5");
    // Touching the border from outside at a vertex leaves that point.
    EXPECT_EQ(ClippedPolyline("-5 5, 0 5, -5 6"), "0 5");
    // Leaving and coming back through the same side: one part, joined
    // along the border line.
    EXPECT_EQ(ClippedPolyline("2 5, 2 15, 8 15, 8 5"), "2 5, 2 10, 8 10, 8 5");
    // Out through the top, back through the right side: the join turns at
    // the corner.
    EXPECT_EQ(ClippedPolyline("5 5, 5 15, 15 15, 15 5, 5 5"), "5 5, 5 10, 10 10, 10 5, 5 5");
    // Runs outside at either end are cut off, not joined along the border.
    EXPECT_EQ(ClippedPolyline("-20 -20, -20 5, -10 5, 5 5, 15 5, 20 20, 30 20"), "0 5, 5 5, 10 5");
    // All outside: no part.
    CShape out;
    EXPECT_FALSE(CRectClipper(kRect).ClipPolyline(Shape("-5 -5, -5 15, -6 20"), out));
    EXPECT_EQ(out.GetPointCount(), 0);
    // One part per source part that keeps points; later parts inside are
    // copied, those outside dropped.
    EXPECT_EQ(ClippedPolyline("-5 5, 5 5 | 1 1, 2 2 | 20 20, 30 30 | 5 -5, 5 15"), "0 5, 5 5 | 1 1, 2 2 | 5 0, 5 10");
}

// Random walks: every clipped point lies in the rectangle, every source
// point inside lies on the clipped line, and every clipped segment runs
// along the source or along the border.
TEST(RectClipper, RandomPolylines)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> start(-10, 20);
    std::normal_distribution<double> step(0, 4);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr double kTolerance = 1e-9;
    for (int round = 0; round < 300; ++round) {
        std::vector<CMapPoint> walk(10);
        CMapPoint p(start(random), start(random));
        for (CMapPoint& q : walk) {
            q = p;
            p = CMapPoint(p.x + step(random), p.y + step(random));
        }
        CShape source;
        source.SetPoints(10, walk.data());
        CShape clipped;
        const bool kept = CRectClipper(kRect).ClipPolyline(source, clipped);
        CMapPoint a, b;
        EXPECT_EQ(kept, source.GetLongestSegment(a, b, &kRect)) << round;
        EXPECT_LE(clipped.GetPartCount(), 1);
        for (const CMapPoint& q : clipped.Points())
            ASSERT_TRUE(q.x >= -kTolerance && q.x <= 10 + kTolerance && q.y >= -kTolerance && q.y <= 10 + kTolerance)
                << round;
        for (int i = 0; i + 1 < 10; ++i)
            for (int s = 0; s <= 20; ++s) {
                const double t = s / 20.0;
                const CMapPoint q(walk[i].x + (walk[i + 1].x - walk[i].x) * t,
                                  walk[i].y + (walk[i + 1].y - walk[i].y) * t);
                if (q.x > 0 && q.x < 10 && q.y > 0 && q.y < 10) {
                    ASSERT_TRUE(OnSomeSegment(q, clipped, 1e-9)) << round << " " << ShapeText(source);
                }
            }
        for (int i = 0; i + 1 < clipped.GetPointCount(); ++i) {
            const double t = unit(random);
            const CMapPoint& c0 = clipped.GetPoint(i);
            const CMapPoint& c1 = clipped.GetPoint(i + 1);
            const CMapPoint q(c0.x + (c1.x - c0.x) * t, c0.y + (c1.y - c0.y) * t);
            ASSERT_TRUE(OnSomeSegment(q, source, 1e-9) || OnBorder(q, kRect, 1e-9))
                << round << " " << ShapeText(source) << "\n" << ShapeText(clipped);
        }
    }
}
