#include "core/MapGeometry.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

void ExpectRect(const CMapRect& r, double left, double top, double right, double bottom)
{
    EXPECT_EQ(r, CMapRect(left, top, right, bottom))
        << r.left << " " << r.top << " " << r.right << " " << r.bottom;
}

} // namespace

TEST(MapRect, UnionIntersectAndScale)
{
    const CMapRect a(0, 10, 10, 0);
    const CMapRect b(5, 20, 30, 5);
    CMapRect r;
    EXPECT_FALSE(r.IsValid());
    EXPECT_EQ(r, CMapRect(DBL_MAX, -DBL_MAX, -DBL_MAX, DBL_MAX));

    // The empty rectangle leaves the other operand as it is, a point included.
    EXPECT_TRUE(r.UnionRect(CMapRect::Empty(), CMapRect(CMapPoint(3, 4))));
    ExpectRect(r, 3, 4, 3, 4);
    EXPECT_TRUE(r.UnionRect(r, CMapRect::Empty()));
    ExpectRect(r, 3, 4, 3, 4);
    EXPECT_FALSE(r.UnionRect(CMapRect::Empty(), CMapRect::Empty()));

    EXPECT_TRUE(r.UnionRect(a, b));
    ExpectRect(r, 0, 20, 30, 0);
    EXPECT_TRUE(r.IntersectRect(a, b));
    ExpectRect(r, 5, 10, 10, 5);
    // Disjoint: false, and the reversed rectangle stays in place.
    EXPECT_FALSE(r.IntersectRect(a, CMapRect(20, 40, 30, 30)));
    ExpectRect(r, 20, 10, 10, 30);
    // Touching edges meet in a degenerate rectangle.
    EXPECT_TRUE(r.IntersectRect(a, CMapRect(10, 10, 20, 0)));
    ExpectRect(r, 10, 10, 10, 0);
    // this as an operand.
    r = a;
    EXPECT_TRUE(r.UnionRect(r, b));
    ExpectRect(r, 0, 20, 30, 0);

    r = a;
    r.Scale(2);
    ExpectRect(r, -5, 15, 15, -5);
    r = CMapRect(0, 10, 20, 0);
    r.Scale(0.5);
    ExpectRect(r, 5, 7.5, 15, 2.5);
    EXPECT_DOUBLE_EQ(r.Area(), 50);
    EXPECT_DOUBLE_EQ(CMapRect(0, 0, 10, 5).Area(), 50); // reversed, still positive
}

TEST(MapRect, ClipSegment)
{
    const CMapRect r(0, 10, 10, 0);
    struct Case {
        const char* segment;
        bool inside;
        const char* clipped;
    };
    const Case cases[] = {
        {"2 2, 8 8", true, "2 2, 8 8"},
        {"-5 5, 15 5", true, "0 5, 10 5"},
        {"5 -5, 5 15", true, "5 0, 5 10"},
        {"0 0, 10 0", true, "0 0, 10 0"},           // on the border: unchanged
        {"-5 5, 5 15", true, "0 10, 0 10"},         // through the corner only
        {"-5 -5, -1 20", false, ""},                 // left of it
        {"-5 8, 8 25", false, ""},                   // past the corner
        {"5 5, 20 20", true, "5 5, 10 10"},
        {"20 5, 5 5", true, "10 5, 5 5"},
    };
    for (const Case& c : cases) {
        const auto s = ParsePoints(c.segment);
        CMapPoint p, q;
        ASSERT_EQ(r.ClipSegment(s[0], s[1], p, q), c.inside) << c.segment;
        if (c.inside) {
            const CMapPoint out[2] = {p, q};
            EXPECT_EQ(PointsText(out, 2), c.clipped) << c.segment;
        }
    }
    CMapPoint p, q;
    EXPECT_FALSE(CMapRect().ClipSegment(CMapPoint(0, 0), CMapPoint(1, 1), p, q));
}

TEST(MapPointArray, GrowsInsertsAndRemoves)
{
    CMapPointArray a;
    a.SetSize(0, 0);
    a.Add(CMapPoint(1, 1));
    EXPECT_EQ(a.GetCapacity(), 4); // size / 8 kept within 4 ... 1024
    a.SetSize(0, 100);
    a.Add(CMapPoint(1, 1));
    EXPECT_EQ(a.GetCapacity(), 100);

    a.SetSize(0);
    EXPECT_EQ(a.GetCapacity(), 0);
    const CMapPoint run[] = {{1, 1}, {2, 2}, {3, 3}};
    a.Append(run, 3);
    // Sources inside the array itself survive the move of its storage.
    a.InsertAt(0, a.GetData() + 1, 2);
    a.InsertAt(a.GetSize(), a[0], 2);
    a.Add(a[1]);
    EXPECT_EQ(PointsText(a.GetData(), a.GetSize()), "2 2, 3 3, 1 1, 2 2, 3 3, 2 2, 2 2, 3 3");
    a.RemoveAt(1, 3);
    EXPECT_EQ(PointsText(a.GetData(), a.GetSize()), "2 2, 3 3, 2 2, 2 2, 3 3");
    a.RemoveAt(3, 100);
    EXPECT_EQ(PointsText(a.GetData(), a.GetSize()), "2 2, 3 3, 2 2");
    a.InsertAt(99, CMapPoint(9, 9)); // past the end: appended
    EXPECT_EQ(a[3], CMapPoint(9, 9));
}

TEST(MapGeometry, LengthsAndAreas)
{
    const auto line = ParsePoints("0 0, 3 4, 3 10");
    EXPECT_DOUBLE_EQ(PolylineLength(line.data(), 3), 11);
    EXPECT_EQ(PolylineLength(line.data(), 1), 0);

    const auto ccw = ParsePoints("0 0, 10 0, 10 10, 0 10");
    const auto cw = ParsePoints("0 0, 0 10, 10 10, 10 0");
    const auto closed = ParsePoints("0 0, 10 0, 10 10, 0 10, 0 0");
    EXPECT_DOUBLE_EQ(SignedRingArea(ccw.data(), 4), 100);
    EXPECT_DOUBLE_EQ(SignedRingArea(cw.data(), 4), -100);
    EXPECT_DOUBLE_EQ(SignedRingArea(closed.data(), 5), 100);
    EXPECT_DOUBLE_EQ(PolygonArea(cw.data(), 4), 100);
    EXPECT_EQ(PolygonArea(cw.data(), 2), 0);
}

TEST(MapGeometry, PointInRing)
{
    struct Case {
        const char* ring;
        CMapPoint point;
        int expected;
        const char* what;
    };
    const char* square = "0 0, 10 0, 10 10, 0 10";
    const char* diamond = "5 0, 10 5, 5 10, 0 5";
    const Case cases[] = {
        {square, {5, 5}, 1, "inside"},
        {square, {15, 5}, 0, "right of it"},
        {square, {-1, 5}, 0, "left of it"},
        {square, {5, -1}, 0, "below it"},
        {square, {0, 0}, 2, "first vertex"},
        {square, {10, 10}, 2, "vertex"},
        {square, {10, 5}, 2, "vertical edge"},
        {square, {0, 5}, 2, "closing edge"},
        {square, {5, 0}, 2, "horizontal edge"},
        {square, {7.5, 10}, 2, "horizontal edge"},
        {diamond, {7, 5}, 1, "ray through a vertex where the ring goes on"},
        {diamond, {12, 5}, 0, "ray through two such vertices"},
        {diamond, {7.5, 7.5}, 2, "oblique edge"},
        {"5 0, 10 0, 5 5, 0 0", {8, 5}, 0, "ray through a vertex where the ring turns"},
        {"0 0, 10 0, 10 10, 5 5, 0 10", {8, 5}, 1, "ray through a notch"},
        {"0 0, 10 0, 10 10, 5 10, 5 5, 2 5, 2 8, 0 8", {8, 5}, 1, "turn with a horizontal edge between"},
        {"2 -5, 10 -5, 10 10, 5 10, 5 5, 2 5", {8, 5}, 1, "passing with a horizontal edge between"},
        {"2 -5, 10 -5, 10 10, 5 10, 5 5, 2 5", {12, 5}, 0, "passing, from outside"},
        {"2 -5, 10 -5, 10 10, 5 10, 5 5, 2 5", {4, 5}, 2, "on the horizontal edge"},
        {"0 5, 5 0, 10 5, 5 10", {7, 5}, 1, "first vertex on the ray, passing"},
        {"0 5, 5 0, 10 5, 5 10", {-1, 5}, 0, "first vertex on the ray line, behind it"},
        {"5 5, 0 0, 10 0", {8, 5}, 0, "first vertex on the ray, turning"},
        {"5 5, 0 0, 10 0", {5, 2}, 1, "inside a ring starting at its apex"},
        {"", {0, 0}, 0, "no points"},
    };
    for (const Case& c : cases) {
        const auto ring = ParsePoints(c.ring);
        EXPECT_EQ(PointInRing(ring.data(), static_cast<int>(ring.size()), c.point), c.expected)
            << c.what << ": " << c.ring << " at " << c.point.x << " " << c.point.y;
    }
}

TEST(MapGeometry, NearestVertexAndSegment)
{
    const auto dup = ParsePoints("0 0, 5 0, 5 0, 10 0");
    int index = -1;
    double distance = -1;
    CMapPoint vertex;
    ASSERT_TRUE(FindNearestVertex(dup.data(), 4, CMapPoint(5, 1), 2, index, &distance, &vertex));
    EXPECT_EQ(index, 2); // the later of two equal vertices
    EXPECT_EQ(distance, 1);
    EXPECT_EQ(vertex, CMapPoint(5, 0));
    EXPECT_FALSE(FindNearestVertex(dup.data(), 4, CMapPoint(5, 1), 0.5, index));
    // Chebyshev, not Euclidean: (3, 3) away is 3 away.
    ASSERT_TRUE(FindNearestVertex(dup.data(), 4, CMapPoint(13, 3), 3, index, &distance));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(distance, 3);

    struct Case {
        const char* line;
        CMapPoint p;
        double tolerance;
        int index; // -1: nothing found
        double distance;
        CMapPoint nearest;
    };
    const char* ell = "0 0, 10 0, 10 10";
    const Case cases[] = {
        {ell, {5, 2}, 5, 0, 2, {5, 0}},
        {ell, {12, 4}, 5, 1, 2, {10, 4}},
        {ell, {11, 12}, 5, 2, 2, {10, 10}},  // the final vertex: n - 1
        {"0 0, 10 0, 10 4, 0 4", {5, 2}, 10, 2, 2, {5, 4}}, // equidistant: the later segment
        {ell, {5, 5}, 10, 2, 5, {10, 10}},   // segment and vertices tie: the final vertex
        {ell, {-1, -2}, 5, 0, 2, {0, 0}},    // nearest the first vertex
        {ell, {5, 7}, 2, -1, 0, {}},
        {"0 0, 10 10", {0, 10}, 6, 0, 5, {5, 5}}, // oblique: the foot
        {"0 0, 10 10", {-3, 1}, 6, 0, 3, {0, 0}}, // foot off the segment: the vertex
        {"3 3", {4, 5}, 2, 0, 2, {3, 3}},
        {"3 3", {4, 6}, 2, -1, 0, {}},
        {"3 3, 3 3, 8 3", {2, 4}, 2, 1, 1, {3, 3}}, // degenerate segment, then the next one's start
        {"", {0, 0}, 1, -1, 0, {}},
    };
    for (const Case& c : cases) {
        const auto line = ParsePoints(c.line);
        int found = -1;
        double d = -1;
        CMapPoint nearest;
        const bool ok = FindNearestSegment(line.data(), static_cast<int>(line.size()), c.p, c.tolerance, found, &d,
                                           &nearest);
        ASSERT_EQ(ok, c.index >= 0) << c.line << " at " << c.p.x << " " << c.p.y;
        if (!ok)
            continue;
        EXPECT_EQ(found, c.index) << c.line << " at " << c.p.x << " " << c.p.y;
        EXPECT_DOUBLE_EQ(d, c.distance) << c.line << " at " << c.p.x << " " << c.p.y;
        EXPECT_DOUBLE_EQ(nearest.x, c.nearest.x) << c.line;
        EXPECT_DOUBLE_EQ(nearest.y, c.nearest.y) << c.line;
    }
}

TEST(MapGeometry, IntersectSegments)
{
    struct Case {
        bool exact; // IntersectSegmentsExact
        const char* segments; // A, B, C, D
        int code;
        const char* points;
        const char* what;
    };
    const Case cases[] = {
        {false, "0 0, 10 10, 0 10, 10 0", 68, "5 5", "proper crossing"},
        {false, "5 0, 5 10, 0 0, 10 0", 65, "5 0", "A inside C-D"},
        {false, "5 10, 5 0, 0 0, 10 0", 66, "5 0", "B inside C-D"},
        {false, "0 0, 10 0, 5 0, 5 10", 20, "5 0", "C inside A-B"},
        {false, "0 0, 10 0, 5 10, 5 0", 36, "5 0", "D inside A-B"},
        {false, "0 0, 10 0, 0 0, 0 10", 17, "0 0", "A at C"},
        {false, "0 0, 10 0, 0 10, 0 0", 33, "0 0", "A at D"},
        {false, "0 0, 10 0, 10 0, 10 10", 18, "10 0", "B at C"},
        {false, "0 0, 10 0, 10 10, 10 0", 34, "10 0", "B at D"},
        {false, "0 0, 0.5 0, 6e-9 -1, 6e-9 1", 65, "0 0", "inner crossing within 1e-8 of A"},
        {false, "-1 6e-9, 1 6e-9, 0 0, 0 0.5", 20, "0 0", "inner crossing within 1e-8 of C"},
        {false, "0 0, 1 1, 3 0, 2 1", 0, "", "lines cross beyond the segments"},
        {false, "0 0, 10 0, 0 1, 10 1", 0, "", "parallel"},
        {false, "0 0, 1 0, 2 0, 3 0", 0, "", "collinear, apart"},
        {false, "0 0, 10 0, 5 0, 15 0", 20 | 0x42 << 8, "5 0, 10 0", "collinear overlap"},
        {false, "0 0, 10 0, -5 0, 5 0", 36 | 0x41 << 8, "5 0, 0 0", "collinear overlap, D first"},
        {false, "0 0, 10 0, -5 0, 15 0", 0x41 | 0x42 << 8, "0 0, 10 0", "A-B inside C-D"},
        {false, "0 0, 10 0, 2 0, 8 0", 20 | 36 << 8, "2 0, 8 0", "C-D inside A-B"},
        {false, "0 0, 10 0, 0 0, 10 0", 17 | 34 << 8, "0 0, 10 0", "equal segments"},
        {false, "0 0, 10 0, 10 0, 0 0", 18 | 33 << 8, "10 0, 0 0", "equal, reversed"},
        {false, "0 0, 10 0, 10 0, 20 0", 18, "10 0", "collinear, touching at one end"},
        {false, "0 0, 0 10, 0 5, 0 15", 20 | 0x42 << 8, "0 5, 0 10", "vertical overlap"},
        {false, "0 0, 10 0, 10.000000005 0, 20 0", 0, "", "collinear, a hair apart"},
        {false, "1 1, 1 1, 0 0, 2 2", 0, "", "degenerate A-B"},
        {false, "0 0, 2 2, 1 1, 1.000000005 1", 0, "", "C-D shorter than the tolerance"},
        {true, "0 0, 10 10, 0 10, 10 0", 68, "5 5", "proper crossing"},
        {true, "0 0, 10 0, 0.000000005 0, 0 10", 17, "0 0", "A at C within 1e-8"},
        {true, "0 0, 10 0, 0 10, 0 0", 33, "0 0", "A at D"},
        {true, "0 0, 10 0, 10 0, 10 10", 18, "10 0", "B at C only: first byte"},
        {true, "0 0, 10 0, 10 10, 10 0", 34, "10 0", "B at D only"},
        {true, "0 0, 10 0, 0 0, 10 0", 17 | 34 << 8, "0 0, 10 0", "equal segments"},
        {true, "0 0, 10 0, 10 0, 0 0", 33 | 18 << 8, "0 0, 10 0", "equal, reversed"},
        {true, "0 0, 10 0, 10.000000005 0, 20 0", 18, "10 0", "collinear, touching within 1e-8"},
        {true, "0 0, 10 0, 5 0, 15 0", 20 | 0x42 << 8, "5 0, 10 0", "collinear overlap"},
        {true, "0 0, 10 0, -5 0, 15 0", 0x41 | 0x42 << 8, "0 0, 10 0", "A-B inside C-D"},
        {true, "5 0, 5 10, 0 0, 10 0", 65, "5 0", "A inside C-D"},
        {true, "1 1, 1 1, 1 1, 2 2", 0, "", "degenerate before the end test"},
    };
    for (const Case& c : cases) {
        const auto s = ParsePoints(c.segments);
        CMapPoint out[2];
        const int code = c.exact ? IntersectSegmentsExact(s[0], s[1], s[2], s[3], out)
                                 : IntersectSegments(s[0], s[1], s[2], s[3], out);
        EXPECT_EQ(code, c.code) << c.what << ": " << c.segments;
        const int count = code == 0 ? 0 : (code >> 8) != 0 ? 2 : 1;
        EXPECT_EQ(PointsText(out, count), c.points) << c.what << ": " << c.segments;
    }
}

TEST(MapGeometry, DirectionsAndSides)
{
    const CMapPoint p0(0, 0), p1(10, 0);
    EXPECT_TRUE(PointRightOfSegment(p0, p1, CMapPoint(5, -1)));
    EXPECT_FALSE(PointRightOfSegment(p0, p1, CMapPoint(5, 1)));
    EXPECT_FALSE(PointRightOfSegment(p0, p1, CMapPoint(20, 0)));

    struct Angle {
        double u, v, radians;
    };
    const Angle angles[] = {
        {0, 1, 0},           {1, 0, kPi / 2},         {0, -1, kPi},      {-1, 0, 3 * kPi / 2},
        {1, 1, kPi / 4},     {-1, 1, 7 * kPi / 4},    {0, 0, 0},         {1, -1, 3 * kPi / 4},
        {-1e-300, 1, 0},     {-1, -1, 5 * kPi / 4},
    };
    for (const Angle& a : angles) {
        const double angle = VectorAngle(a.u, a.v);
        EXPECT_NEAR(angle, a.radians, 1e-15) << a.u << " " << a.v;
        EXPECT_GE(angle, 0);
        EXPECT_LT(angle, 2 * kPi);
    }
    EXPECT_DOUBLE_EQ(VectorAngleDegrees(-1, 0), 270);

    EXPECT_EQ(CompareVectorAngles(0, 1, 1, 0), -1);
    EXPECT_EQ(CompareVectorAngles(1, 0, 0, 1), 1);
    EXPECT_EQ(CompareVectorAngles(1, 1, 2, 2), 0);
    EXPECT_EQ(CompareVectorAngles(-1, 1, 1, 1), 1);
    EXPECT_EQ(CompareVectorAngles(1, -1, -1, -1), -1);
    EXPECT_EQ(CompareVectorAngles(-1, -2, -2, -1), -1); // both in the third quadrant
}

TEST(MapGeometry, GeoAzimuth)
{
    struct Case {
        CMapPoint a, b; // degrees
        double azimuth; // degrees
    };
    // Expected values from atan2(sin dl cos f2, cos f1 sin f2 - sin f1 cos f2 cos dl).
    const Case cases[] = {
        {{24, 54}, {24, 55}, 0},
        {{24, 55}, {24, 54}, 180},
        {{0, 0}, {1, 0}, 90},
        {{0, 0}, {-1, 0}, 270}, // due west: 3 pi / 2, not -pi / 2
        {{25.2797, 54.6872}, {23.9036, 54.8985}, 285.47505094390},
        {{23.9036, 54.8985}, {25.2797, 54.6872}, 104.35065696916},
        {{21.1, 55.7}, {21.5, 55.2}, 155.43131236235},
        {{21.5, 55.2}, {21.1, 55.7}, 335.76076856577},
        {{179.5, 0}, {-179.5, 0}, 90}, // across 180 degrees the short way
        {{-179.5, 10}, {179.5, 10}, 270.08682622645},
    };
    for (const Case& c : cases) {
        const double azimuth = GeoAzimuthDegrees(c.a, c.b);
        EXPECT_NEAR(azimuth, c.azimuth, 1e-9) << c.a.x << " " << c.a.y << " -> " << c.b.x << " " << c.b.y;
    }
    EXPECT_DOUBLE_EQ(GeoAzimuth(CMapPoint(0, 0), CMapPoint(-0.1, 0)), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(GeoAzimuth(CMapPoint(0.3, 0.9), CMapPoint(0.3, 0.95)), 0);
    EXPECT_DOUBLE_EQ(GeoAzimuth(CMapPoint(0.3, 0.9), CMapPoint(0.3, 0.85)), kPi);
}

TEST(MapGeometry, SimplifyPolyline)
{
    struct Case {
        const char* line;
        double tolerance;
        const char* expected;
    };
    std::string straight, diagonal;
    for (int i = 0; i < 60; ++i) {
        straight += FormatC("%s%d 0", i ? ", " : "", i);
        diagonal += FormatC("%s%d %d", i ? ", " : "", 3 * i, 2 * i);
    }
    const Case cases[] = {
        {straight.c_str(), 0.01, "0 0, 59 0"},
        {diagonal.c_str(), 0, "0 0, 177 118"},
        {"0 0, 5 5", 100, "0 0, 5 5"},
        {"3 3", 1, "3 3"},
        {"", 1, ""},
        {"0 0, 1 0, 2 0, 3 5, 4 0, 5 0", 0.1, "0 0, 2 0, 3 5, 4 0, 5 0"},
        {"0 0, 1 0.05, 2 -0.05, 3 0.05, 4 0", 0.1, "0 0, 4 0"},
        {"0 0, 1 1, 2 0, 3 1, 4 0", 0.5, "0 0, 1 1, 2 0, 3 1, 4 0"},
        {"0 0, 1 1, 2 0, 3 1, 4 0", 2, "0 0, 4 0"},
    };
    for (const Case& c : cases) {
        const auto line = ParsePoints(c.line);
        std::vector<CMapPoint> out(line.size() + 1);
        const int n = SimplifyPolyline(line.data(), out.data(), static_cast<int>(line.size()), c.tolerance);
        EXPECT_EQ(PointsText(out.data(), n), c.expected) << c.line;
    }
}
