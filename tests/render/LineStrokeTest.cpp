#include "render/LineStroke.h"

#include "platform/DC.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Segment = std::array<int, 4>; // x1, y1, x2, y2

struct StrokeCase {
    const char* name;
    std::function<std::unique_ptr<CLineStroke>(CDC&)> make;
    std::vector<CPoint> points;
    std::vector<int> parts;
    bool drawn;
    std::vector<std::string> expected;
};

std::unique_ptr<CLineStroke> Dashes(CDC& dc, std::vector<int> lengths, int phase, bool path = false)
{
    auto stroke = std::make_unique<CDashStroke>(dc, nullptr);
    stroke->SetElements(lengths);
    stroke->SetPhase(phase);
    stroke->SetPath(path);
    return stroke;
}

std::unique_ptr<CLineStroke> Dots(CDC& dc, int spacing)
{
    auto stroke = std::make_unique<CDotStroke>(dc, nullptr);
    stroke->SetDot(1, 1, spacing, kBlack);
    return stroke;
}

// The segments a stroke draws, as its MoveTo and LineTo calls make them,
// zero-length ones left out.
template <class Stroke>
std::vector<Segment> RecordedSegments(int a, int b, const std::vector<CPoint>& points)
{
    QImage image = MakeImage(8, 8);
    CDC dc(image);
    Stroke stroke(dc, nullptr);
    stroke.SetOffsets(a, b);
    dc.BeginPath();
    stroke.Draw(points.data(), static_cast<int>(points.size()));
    dc.EndPath();
    std::vector<Segment> segments;
    for (const CDC::PathFigure& figure : dc.GetPath())
        for (std::size_t i = 1; i < figure.points.size(); ++i) {
            const CPoint p = figure.points[i - 1], q = figure.points[i];
            if (!(p == q))
                segments.push_back({p.x, p.y, q.x, q.y});
        }
    std::sort(segments.begin(), segments.end());
    return segments;
}

CSize Unit(int direction)
{
    switch (direction) {
    case 1: return {1, 0};
    case -1: return {-1, 0};
    case 2: return {0, 1};
    default: return {0, -1};
    }
}

} // namespace

TEST(LineStroke, DrawsTheTableOfCases)
{
    const std::vector<StrokeCase> cases = {
        {"dashes of 3 on and 2 off, the last one cut at the end",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0); },
         {{0, 1}, {9, 1}}, {2}, true,
         {"..........", "###..###..", ".........."}},
        {"the pattern runs on across a vertex",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0); },
         {{0, 1}, {4, 1}, {4, 5}}, {3}, true,
         {"......", "###...", "....#.", "....#.", "....#.", "......"}},
        {"the pattern starts again at each part",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0); },
         {{0, 1}, {4, 1}, {0, 3}, {4, 3}}, {2, 2}, true,
         {".....", "###..", ".....", "###..", "....."}},
        {"a dash ending on the last step of a segment is not extended",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0); },
         {{0, 1}, {3, 1}, {3, 5}}, {3}, true,
         {".....", "###..", ".....", "...#.", "...#.", "....."}},
        {"phase 1 draws the odd elements",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 1); },
         {{0, 1}, {9, 1}}, {2}, true,
         {"..........", "...##...#.", ".........."}},
        {"phase 2 draws solid",
         [](CDC& dc) { return Dashes(dc, {2, 2}, 2); },
         {{0, 1}, {6, 1}, {6, 4}}, {3}, true,
         {"........", "#######.", "......#.", "......#.", "........"}},
        {"phase 2 draws solid as a path too",
         [](CDC& dc) { return Dashes(dc, {2, 2}, 2, true); },
         {{0, 1}, {6, 1}, {6, 4}}, {3}, true,
         {"........", "#######.", "......#.", "......#.", "........"}},
        {"dashes as a path",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0, true); },
         {{0, 1}, {9, 1}}, {2}, true,
         {"..........", "###..###..", ".........."}},
        {"a one-point part draws no dash",
         [](CDC& dc) { return Dashes(dc, {3, 2}, 0); },
         {{1, 1}}, {1}, false,
         {"...", "...", "..."}},
        {"dots every 3 steps from the first point",
         [](CDC& dc) { return Dots(dc, 3); },
         {{0, 1}, {9, 1}}, {2}, true,
         {"..........", "#..#..#...", ".........."}},
        {"dots run on across a vertex",
         [](CDC& dc) { return Dots(dc, 3); },
         {{0, 1}, {4, 1}, {4, 6}}, {3}, true,
         {"......", "#..#..", "......", "....#.", "......", "......", "......"}},
        {"dots on slopes round the minor coordinate half away from zero",
         [](CDC& dc) { return Dots(dc, 2); },
         {{0, 0}, {4, 1}, {4, 3}, {0, 2}}, {2, 2}, true,
         {"#....", "..#..", "..#..", "....#"}},
        {"dots spaced 1 draw nothing",
         [](CDC& dc) { return Dots(dc, 1); },
         {{0, 1}, {4, 1}}, {2}, false,
         {".....", ".....", "....."}},
        {"a one-point part draws one dot",
         [](CDC& dc) { return Dots(dc, 3); },
         {{1, 1}}, {1}, true,
         {"...", ".#.", "..."}},
        {"the shifted copy makes a line two pixels wide",
         [](CDC& dc) { return std::make_unique<CShiftedStroke>(dc, nullptr); },
         {{1, 1}, {5, 1}, {5, 5}}, {3}, true,
         {"........", ".######.", ".######.", ".....##.", ".....##.", "........"}},
        {"the casing runs 2 outside and 1 inside, without the line",
         [](CDC& dc) { return std::make_unique<CCasingStroke>(dc, nullptr); },
         {{2, 2}, {7, 2}, {7, 7}}, {3}, true,
         {"...........", "..#######..", "......#..#.", "......#..#.", "..######.#.", "......#..#.",
          "......#..#.", "...........", "..........."}},
    };
    for (const StrokeCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = MakeImage(static_cast<int>(c.expected[0].size()), static_cast<int>(c.expected.size()));
        std::vector<CPoint> points = c.points;
        bool drawn;
        {
            CDC dc(image);
            dc.SelectObject(CPen(PS_SOLID, 0, kBlack));
            const std::unique_ptr<CLineStroke> stroke = c.make(dc);
            drawn = stroke->DrawParts(points.data(), c.parts.data(), static_cast<int>(c.parts.size()));
        }
        EXPECT_EQ(PixelArt(image), Rows(c.expected));
        EXPECT_EQ(drawn, c.drawn);
        EXPECT_EQ(points, c.points) << "the caller's points are left as they were";
    }
}

TEST(LineStroke, FiveDashWalksShiftedByOneStep)
{
    QImage image = MakeImage(14, 5);
    {
        CDC dc(image);
        dc.SelectObject(CPen(PS_SOLID, 0, kBlack));
        CPlusDashStroke stroke(dc, nullptr);
        stroke.SetElements({4, 3});
        stroke.SetShift(1, 1);
        const CPoint points[2] = {{2, 2}, {12, 2}};
        stroke.Draw(points, 2);
    }
    EXPECT_EQ(PixelArt(image), Rows({"..............",
                                     "..####...###..",
                                     ".######.#####.",
                                     "..####...###..",
                                     ".............."}));
}

// Two segments meeting at a vertex with every pair of directions: the
// copies and, where the direction changes, the joining strokes of the
// tables, and nothing else. Offsets a = 4 and b = 6 tell the offsets and
// their halves apart.
TEST(LineStroke, ShiftedAndCasingStrokesJoinAsTheirTablesSay)
{
    const int a = 4, b = 6;
    const CPoint vertex(20, 20);
    struct JoinCase {
        int previous;
        int current;
        std::vector<Segment> shifted; // relative to the vertex
        std::vector<Segment> casing;
    };
    // The shifted joins start at the end of the previous copy, E.
    const CSize alongX(0, b), alongY(a, 0);
    const std::vector<JoinCase> cases = {
        {1, -2, {{0, 6, 4, 6}, {4, 6, 4, 0}}, {{0, 6, 4, 6}, {4, 0, 4, 6}}},
        {1, -1, {}, {{2, 0, 2, 6}}},
        {1, 2, {{0, 6, 0, 0}}, {{0, -3, 4, -3}, {0, 6, 0, 3}}},
        {2, -2, {}, {{0, 3, 4, 3}}},
        {2, -1, {{4, 0, 4, 6}, {4, 6, 0, 6}}, {{0, 6, 4, 6}, {4, 0, 4, 6}}},
        {2, 1, {{4, 0, 0, 0}}, {{-2, 0, -2, 6}}},
        {-2, -1, {{4, 0, 0, 0}}, {{0, -3, 4, -3}, {4, 0, 4, 3}}},
        {-2, 1, {}, {{-2, 0, -2, 3}}},
        {-2, 2, {}, {{0, -3, 4, -3}}},
        {-1, -2, {{0, 6, 0, 0}}, {{0, 6, -2, 6}, {-2, 0, -2, 6}}},
        {-1, 1, {}, {{-2, 0, -2, 6}}},
        {-1, 2, {}, {{0, -3, 4, -3}, {4, 0, 4, -3}}},
    };
    auto relative = [&](Segment s) {
        return Segment{vertex.x + s[0], vertex.y + s[1], vertex.x + s[2], vertex.y + s[3]};
    };
    auto shiftedBy = [](CPoint p, CPoint q, CSize d) { return Segment{p.x + d.cx, p.y + d.cy, q.x + d.cx, q.y + d.cy}; };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.previous) + " then " + std::to_string(c.current));
        const CPoint start = vertex - CSize(Unit(c.previous).cx * 10, Unit(c.previous).cy * 10);
        const CPoint end = vertex + CSize(Unit(c.current).cx * 10, Unit(c.current).cy * 10);
        const std::vector<CPoint> points = {start, vertex, end};
        const bool firstAlongX = c.previous == 1 || c.previous == -1;
        const bool secondAlongX = c.current == 1 || c.current == -1;

        std::vector<Segment> shifted = {{start.x, start.y, vertex.x, vertex.y}, {vertex.x, vertex.y, end.x, end.y},
                                        shiftedBy(start, vertex, firstAlongX ? alongX : alongY),
                                        shiftedBy(vertex, end, secondAlongX ? alongX : alongY)};
        for (const Segment& s : c.shifted)
            shifted.push_back(relative(s));
        std::sort(shifted.begin(), shifted.end());
        EXPECT_EQ(RecordedSegments<CShiftedStroke>(a, b, points), shifted) << "shifted";

        auto copies = [&](CPoint p, CPoint q, bool x) {
            return std::vector<Segment>{shiftedBy(p, q, x ? CSize(0, b) : CSize(a, 0)),
                                        shiftedBy(p, q, x ? CSize(0, -b / 2) : CSize(-a / 2, 0))};
        };
        std::vector<Segment> casing = copies(start, vertex, firstAlongX);
        for (const Segment& s : copies(vertex, end, secondAlongX))
            casing.push_back(s);
        for (const Segment& s : c.casing)
            casing.push_back(relative(s));
        std::sort(casing.begin(), casing.end());
        EXPECT_EQ(RecordedSegments<CCasingStroke>(a, b, points), casing) << "casing";
    }
}
