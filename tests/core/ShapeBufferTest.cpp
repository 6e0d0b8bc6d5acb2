#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "platform/UserServices.h"
#include "tests/core/GeometryText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

CShape BufferOf(const char* text, double r, int kind, bool roundEnds = true, double sx = 1, double sy = 1)
{
    CShape out;
    EXPECT_TRUE(Shape(text).Buffer(r, sx, sy, out, kind, nullptr, roundEnds)) << text;
    return out;
}

// The area of a 36-gon of radius 1.
const double kPolygonDisc = 18 * std::sin(10 * kDegToRad);

// A progress window of the caller's that records what the buffer does with it.
class CRecordingProgress : public IProgress {
public:
    void SetRange(int l, int h) override
    {
        low = l;
        high = h;
    }
    void SetStep(int s) override { step = s; }
    void SetPos(int p) override { pos = p; }
    void StepIt() override { pos += step; }
    bool CheckCancel() override { return ++checks > cancelAfter && cancelAfter >= 0; }

    int low = -1, high = -1, step = 0, pos = -1, checks = 0, cancelAfter = -1;
};

} // namespace

TEST(ShapeBuffer, PointGivesThe36GonAtTheDistance)
{
    const CShape out = BufferOf("100 200", 2, CShape::kBufferBand);
    ASSERT_EQ(out.GetPartCount(), 1);
    ASSERT_EQ(out.GetPointCount(), 37);
    EXPECT_EQ(out.GetPoint(0), out.GetPoint(36));
    for (int i = 0; i < 36; ++i) {
        const double dx = out.GetPoint(i).x - 100, dy = out.GetPoint(i).y - 200;
        EXPECT_NEAR(std::hypot(dx, dy), 2, 1e-9);
        const double degrees = std::atan2(dy, dx) * kRadToDeg;
        EXPECT_NEAR(degrees / 10, std::round(degrees / 10), 1e-9);
    }
    EXPECT_NEAR(out.Area(), 4 * kPolygonDisc, 1e-9);
}

TEST(ShapeBuffer, UnequalScalesGiveAnEllipse)
{
    // y counts twice towards the distance: the circle is half as high.
    const CShape out = BufferOf("0 0", 2, CShape::kBufferBand, true, 1, 2);
    ASSERT_EQ(out.GetPointCount(), 37);
    for (const CMapPoint& p : out.Points())
        EXPECT_NEAR(std::hypot(p.x / 2, p.y), 1, 1e-9);
    EXPECT_EQ(out.GetExtent(), CMapRect(-2, 1, 2, -1));
}

TEST(ShapeBuffer, TwoPointLineGivesOneStadium)
{
    const CShape round = BufferOf("0 0, 10 0", 1, CShape::kBufferBand);
    ASSERT_EQ(round.GetPartCount(), 1);
    EXPECT_NEAR(round.Area(), 20 + kPolygonDisc, 1e-9);
    EXPECT_EQ(round.GetExtent(), CMapRect(-1, 1, 11, -1));
    for (const CMapPoint& p : round.Points()) {
        const double d = p.x < 0 ? std::hypot(p.x, p.y) : p.x > 10 ? std::hypot(p.x - 10, p.y) : std::fabs(p.y);
        EXPECT_NEAR(d, 1, 1e-9);
    }
    const CShape flat = BufferOf("0 0, 10 0", 1, CShape::kBufferBand, false);
    EXPECT_EQ(flat.GetPointCount(), 5);
    EXPECT_NEAR(flat.Area(), 20, 1e-9);
}

TEST(ShapeBuffer, BandsFollowBendsWithRoundJoins)
{
    // A zigzag: every point within the distance is in, nothing farther.
    const CShape line = Shape("0 0, 10 0, 10 10, 20 0, 30 10");
    const CShape out = BufferOf("0 0, 10 0, 10 10, 20 0, 30 10", 2, CShape::kBufferBand);
    ASSERT_EQ(out.GetPartCount(), 1);
    const double inner = 2 * std::cos(5 * kDegToRad) - 1e-9;
    for (double x = -3; x <= 33; x += 0.25) {
        for (double y = -3; y <= 13; y += 0.25) {
            // The Euclidean distance to the line.
            double d = 1e9;
            for (int i = 0; i + 1 < line.GetPointCount(); ++i) {
                const CMapPoint& a = line.GetPoint(i);
                const double ux = line.GetPoint(i + 1).x - a.x, uy = line.GetPoint(i + 1).y - a.y;
                const double t = std::clamp(((x - a.x) * ux + (y - a.y) * uy) / (ux * ux + uy * uy), 0.0, 1.0);
                d = std::min(d, std::hypot(x - a.x - t * ux, y - a.y - t * uy));
            }
            if (d < inner) {
                EXPECT_NE(out.PointInPolygon({x, y}), 0) << x << " " << y;
            } else if (d > 2 + 1e-9) {
                EXPECT_EQ(out.PointInPolygon({x, y}), 0) << x << " " << y;
            }
        }
    }
}

TEST(ShapeBuffer, GrowAndShrinkASquare)
{
    const char* square = "0 0, 10 0, 10 10, 0 10, 0 0";
    EXPECT_NEAR(BufferOf(square, 1, CShape::kBufferGrow).Area(), 140 + kPolygonDisc, 1e-9);
    // A ring that closes implicitly grows the same: its closing edge counts.
    EXPECT_NEAR(BufferOf("0 0, 10 0, 10 10, 0 10", 1, CShape::kBufferGrow).Area(), 140 + kPolygonDisc, 1e-9);
    // Round ends do not matter for rings.
    EXPECT_NEAR(BufferOf(square, 1, CShape::kBufferGrow, false).Area(), 140 + kPolygonDisc, 1e-9);

    const CShape shrunk = BufferOf(square, 1, CShape::kBufferShrink);
    EXPECT_NEAR(shrunk.Area(), 64, 1e-9);
    EXPECT_EQ(shrunk.GetExtent(), CMapRect(1, 9, 9, 1));
    EXPECT_NEAR(BufferOf("0 0, 10 0, 10 10, 0 10", 1, CShape::kBufferShrink, false).Area(), 64, 1e-9);

    // Past half the width nothing is left, and that is no failure.
    const CShape gone = BufferOf(square, 6, CShape::kBufferShrink);
    EXPECT_EQ(gone.GetPointCount(), 0);
    // The band alone is the frame around the boundary.
    EXPECT_NEAR(BufferOf(square, 1, CShape::kBufferBand).Area(), 140 + kPolygonDisc - 64, 1e-9);
}

TEST(ShapeBuffer, OneSidedAndFlatEndedKinds)
{
    struct Probe {
        CMapPoint p;
        bool in;
    };
    struct Case {
        const char* what;
        const char* line;
        int kind;
        double area;
        std::vector<Probe> probes;
    };
    const double quarter = kPolygonDisc / 4;
    const Case cases[] = {
        {"left band", "0 0, 10 0", CShape::kBufferLeft, 10,
         {{{5, 0.5}, true}, {{5, -0.5}, false}, {{10.5, 0.5}, false}}},
        {"left band round the outside of a right turn", "0 0, 10 0, 10 -10", CShape::kBufferLeft, 20 + quarter,
         {{{10.5, 0.5}, true}, {{9.5, -0.5}, false}, {{10.5, -5}, true}}},
        {"left band inside a left turn", "0 0, 10 0, 10 10", CShape::kBufferLeft, 19,
         {{{9.5, 0.5}, true}, {{10.5, 0.5}, false}, {{10.5, -0.5}, false}}},
        {"flat ends", "0 0, 10 0", CShape::kBufferFlatEnds, 20,
         {{{5, 0.9}, true}, {{5, -0.9}, true}, {{10.5, 0}, false}, {{-0.5, 0}, false}}},
        {"flat ends, round outside a left turn", "0 0, 10 0, 10 10", CShape::kBufferFlatEnds, 39 + quarter,
         {{{10.5, -0.5}, true}, {{10, 10.5}, false}}},
        {"flat ends, round outside a right turn", "0 0, 10 0, 10 -10", CShape::kBufferFlatEnds, 39 + quarter,
         {{{10.5, 0.5}, true}, {{10, -10.5}, false}}},
    };
    for (const Case& c : cases) {
        const CShape out = BufferOf(c.line, 1, c.kind);
        EXPECT_NEAR(out.Area(), c.area, 1e-9) << c.what;
        for (const Probe& probe : c.probes)
            EXPECT_EQ(out.PointInPolygon(probe.p) != 0, probe.in) << c.what << " at " << probe.p.x << " " << probe.p.y;
    }
}

TEST(ShapeBuffer, ProgressRunsOverPiecesAndUnions)
{
    CRecordingProgress progress;
    CShape out;
    ASSERT_TRUE(Shape("0 0, 10 0, 10 10, 20 10, 20 20").Buffer(1, 1, 1, out, 0, &progress, true, true));
    EXPECT_EQ(progress.low, 0);
    EXPECT_EQ(progress.high, 10);
    EXPECT_EQ(progress.step, 1);
    // Four pieces and three unions.
    EXPECT_EQ(progress.pos, 7);
    EXPECT_EQ(progress.checks, 7);

    // Without the flag the window is left alone.
    CRecordingProgress unused;
    ASSERT_TRUE(Shape("0 0, 10 0").Buffer(1, 1, 1, out, 0, &unused, true, false));
    EXPECT_EQ(unused.checks, 0);
}

TEST(ShapeBuffer, CancelFailsAndLeavesTheOutShape)
{
    const CShape line = Shape("0 0, 10 0, 10 10, 20 10, 20 20, 30 20");
    // Cancelled while the pieces are made, and while they are united.
    for (int after : {0, 2, 6}) {
        CRecordingProgress progress;
        progress.cancelAfter = after;
        CShape out = Shape("7 7, 8 8");
        EXPECT_FALSE(line.Buffer(1, 1, 1, out, 0, &progress, true, true));
        EXPECT_EQ(ShapeText(out), "7 7, 8 8");
    }
    // The progress service's own window.
    CScriptedUserServices services;
    services.cancelAfterChecks = 3;
    CShape out = Shape("7 7, 8 8");
    EXPECT_FALSE(line.Buffer(1, 1, 1, out, 0, nullptr, true, true));
    EXPECT_EQ(ShapeText(out), "7 7, 8 8");
    EXPECT_EQ(services.cancelChecks, 4);
    EXPECT_EQ(ShapeText(line), "0 0, 10 0, 10 10, 20 10, 20 20, 30 20");
}

TEST(ShapeBuffer, DegenerateInputGivesAnAnswerOrFailure)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        const char* shape;
        double r, sx, sy;
        int kind;
        bool ok;
        double area;
    };
    const Case cases[] = {
        {"zero distance", "0 0, 10 0", 0, 1, 1, CShape::kBufferBand, true, 0},
        {"zero distance grows nothing", "0 0, 10 0, 10 10, 0 10", 0, 1, 1, CShape::kBufferGrow, true, 100},
        {"repeated points", "0 0, 0 0, 10 0, 10 0, 10 0", 1, 1, 1, CShape::kBufferBand, true, 20 + kPolygonDisc},
        {"a part of two equal points is a point", "3 3, 3 3", 1, 1, 1, CShape::kBufferBand, true, kPolygonDisc},
        {"a line back over itself", "0 0, 10 0, 0 0, 10 0", 1, 1, 1, CShape::kBufferFlatEnds, true, 20 + kPolygonDisc},
        {"an empty shape", "", 1, 1, 1, CShape::kBufferBand, true, 0},
        {"distance not a number", "0 0, 10 0", nan, 1, 1, CShape::kBufferBand, false, 0},
        {"infinite distance", "0 0, 10 0", inf, 1, 1, CShape::kBufferBand, false, 0},
        {"negative distance", "0 0, 10 0", -1, 1, 1, CShape::kBufferBand, false, 0},
        {"zero scale", "0 0, 10 0", 1, 0, 1, CShape::kBufferBand, false, 0},
        {"scale not a number", "0 0, 10 0", 1, 1, nan, CShape::kBufferBand, false, 0},
        {"unknown kind", "0 0, 10 0", 1, 1, 1, 5, false, 0},
    };
    for (const Case& c : cases) {
        CShape out = Shape("7 7, 8 8");
        ASSERT_EQ(Shape(c.shape).Buffer(c.r, c.sx, c.sy, out, c.kind), c.ok) << c.what;
        if (c.ok)
            EXPECT_NEAR(out.Area(), c.area, 1e-9) << c.what;
        else
            EXPECT_EQ(ShapeText(out), "7 7, 8 8") << c.what;
    }
    CShape broken = Shape("0 0, 10 0");
    broken.Points()[1].y = nan;
    CShape out;
    EXPECT_FALSE(broken.Buffer(1, 1, 1, out, CShape::kBufferBand));
}

TEST(ShapeSimplify, SimplifyGeneralizeAndSmallParts)
{
    // The small closed ring comes out as two equal points and goes.
    CShape shape = Shape("0 0, 5 0.1, 10 0, 15 3 | 4 4, 4.1 4.05, 4 4 | 7 7");
    EXPECT_EQ(shape.Simplify(0.5), 4);
    EXPECT_EQ(ShapeText(shape), "0 0, 10 0, 15 3 | 7 7");
    EXPECT_EQ(shape.GetExtent(), CMapRect(0, 7, 15, 0));

    CShape same = Shape("0 0, 5 0.1, 10 0");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(same.Simplify(nan), 0);
    EXPECT_EQ(same.Simplify(-1), 0);
    EXPECT_EQ(same.GetPointCount(), 3);
    EXPECT_EQ(same.Simplify(0), 0);

    // A part of two equal points is gone; the last part gone leaves one empty.
    CShape twoEqual = Shape("1 1, 1 1");
    EXPECT_EQ(twoEqual.Simplify(1), 2);
    EXPECT_EQ(twoEqual.GetPartCount(), 1);
    EXPECT_EQ(twoEqual.GetPointCount(), 0);

    // The tolerance holds in the scaled space: 0.5 of y is 2 units at sy 4.
    CShape tall = Shape("0 0, 5 0.5, 10 0");
    EXPECT_EQ(tall.Generalize(1, 1, 4, 0), 0);
    EXPECT_EQ(tall.Generalize(1, 1, 1.5, 0), 1);
    // Equal factors ignore the minimum part size.
    CShape tiny = Shape("0 0, 10 0 | 20 20, 20.1 20.1");
    EXPECT_EQ(tiny.Generalize(0.01, 2, 2, 5), 0);
    EXPECT_EQ(tiny.GetPartCount(), 2);
    // Unequal ones remove parts that are small in the scaled space.
    EXPECT_EQ(tiny.Generalize(0.01, 2, 3, 1), 2);
    EXPECT_EQ(ShapeText(tiny), "0 0, 10 0");

    // Points that stay keep their coordinates exactly.
    const double x = 0.1, sx = 3;
    ASSERT_NE(x * sx / sx, x);
    CShape exact;
    const CMapPoint points[] = {{x, 0.7}, {5, 0.7 + 1e-6}, {10 + x, 0.7}};
    exact.SetPoints(3, points);
    EXPECT_EQ(exact.Generalize(0.01, sx, 7, 0), 1);
    EXPECT_EQ(exact.GetPoint(0), points[0]);
    EXPECT_EQ(exact.GetPoint(1), points[2]);
}

TEST(ShapeSimplify, RemoveSmallParts)
{
    struct Case {
        const char* what;
        const char* before;
        double size;
        int removed;
        const char* after;
    };
    const Case cases[] = {
        {"small in both directions", "0 0, 10 0, 10 10 | 20 20, 20.5 20, 20.5 20.5", 1, 1, "0 0, 10 0, 10 10"},
        {"narrow but long stays", "0 0, 0.5 0, 0.5 10", 1, 0, "0 0, 0.5 0, 0.5 10"},
        {"parts without points go", "0 0, 10 10 | | 5 5, 9 9", 1, 1, "0 0, 10 10 | 5 5, 9 9"},
        {"rings of fewer than 4 points", "0 0, 10 0, 10 10, 0 0 | 1 1, 2 1, 1 1", 0, 1, "0 0, 10 0, 10 10, 0 0"},
        {"a ring collapsed to a line", "0 0, 5 5, 5 5, 0 0 | 0 0, 5 0, 5 5, 0 0", 0, 1, "0 0, 5 0, 5 5, 0 0"},
        {"everything", "0 0, 1 1", 0, 1, ""},
    };
    for (const Case& c : cases) {
        CShape shape = Shape(c.before);
        EXPECT_EQ(shape.RemoveSmallParts(c.size), c.removed) << c.what;
        EXPECT_EQ(ShapeText(shape), c.after) << c.what;
    }
}

TEST(ShapeSimplify, InteriorPoint)
{
    struct Case {
        const char* what;
        const char* shape;
        CMapPoint expected;
    };
    const Case cases[] = {
        {"a square: its centre", "0 0, 10 0, 10 10, 0 10", {5, 5}},
        // The centre lies in the notch: the first inside stretch of the
        // centre line is the left arm.
        {"a U", "0 0, 10 0, 10 10, 7 10, 7 3, 3 3, 3 10, 0 10", {1.5, 5}},
        {"a ring with a hole at its centre", "0 0, 10 0, 10 10, 0 10 | 4 4, 6 4, 6 6, 4 6", {2, 5}},
        {"a C open to the right", "0 0, 10 0, 10 2, 2 2, 2 8, 10 8, 10 10, 0 10", {1, 5}},
    };
    for (const Case& c : cases) {
        CMapPoint p;
        const CShape shape = Shape(c.shape);
        ASSERT_TRUE(shape.GetInteriorPoint(p)) << c.what;
        EXPECT_EQ(p, c.expected) << c.what;
        EXPECT_NE(shape.PointInPolygon(p), 0) << c.what;
    }
    CMapPoint p(9, 9);
    EXPECT_FALSE(Shape("").GetInteriorPoint(p));
    EXPECT_EQ(p, CMapPoint(9, 9));

    // A stale extent does not mislead it.
    CShape stale = Shape("0 0, 10 0, 10 10, 7 10, 7 3, 3 3, 3 10, 0 10");
    stale.SetExtent(CMapRect(100, 200, 110, 190));
    ASSERT_TRUE(stale.GetInteriorPoint(p));
    EXPECT_EQ(p, CMapPoint(1.5, 5));
}
