#include "render/LinePainter.h"

#include "core/DeviceGeometry.h"
#include "platform/DC.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);

// A context over the image: MM_TEXT, or with logical thousandths of an
// inch like the map view's, and a printer when asked.
struct Canvas {
    QImage image;
    CDC dc;
    Canvas(int width, int height, int dpi, COLORREF paper = kWhite, bool thousandths = false, bool printer = false)
        : image(MakeImageAt(width, height, dpi, paper)), dc(image)
    {
        if (printer) {
            CDC::DeviceInfo info = dc.GetDeviceInfo();
            info.technology = DT_RASPRINTER;
            dc.SetDeviceInfo(info);
        }
        if (thousandths) {
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(1000, 1000);
            dc.SetViewportExt(dpi, dpi);
        }
    }
};

void DrawLine(CLinePainter& painter, std::vector<CPoint> points)
{
    painter.DrawPolyline(points.data(), static_cast<int>(points.size()));
}

// The widest run of painted pixels down any column, and the painted
// columns' extent.
struct Extent {
    int tallest = 0;
    int left = -1;
    int right = -1;
};

Extent PaintedExtent(const QImage& image, COLORREF paper)
{
    Extent e;
    for (int x = 0; x < image.width(); ++x) {
        int top = -1, bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            if (At(image, x, y) != paper) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        if (top < 0)
            continue;
        e.tallest = std::max(e.tallest, bottom - top + 1);
        if (e.left < 0)
            e.left = x;
        e.right = x;
    }
    return e;
}

std::vector<int> Prefix(std::vector<int> runs, std::size_t n)
{
    runs.resize(std::min(runs.size(), n));
    return runs;
}

} // namespace

TEST(LinePainter, DashCodesUseCosmeticPensBelowTwoPixelsAndScaleWithTheWidthAbove)
{
    struct Case {
        int code;
        int pixels;
        bool geometric;
        std::vector<int> runs; // along the line, from a dash
    };
    const std::vector<Case> cases = {
        {PS_DASH, 1, false, {18, 6, 18, 6}},
        {PS_DOT, 1, false, {3, 3, 3, 3}},
        {PS_DASHDOT, 1, false, {9, 6, 3, 6, 9}},
        {PS_DASHDOTDOT, 1, false, {9, 3, 3, 3, 3, 3, 9}},
        {PS_DASH, 2, true, {8, 4, 8, 4}},
        {PS_DOT, 2, true, {2, 2, 2, 2}},
        {PS_DASHDOT, 2, true, {8, 2, 2, 2, 8}},
        {PS_DASHDOTDOT, 2, true, {8, 2, 2, 2, 2, 2, 8}},
        {PS_DASH, 5, true, {20, 10, 20, 10}},
        {PS_DOT, 5, true, {5, 5, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " at " + std::to_string(c.pixels) + " px");
        Canvas canvas(120, 20, 96);
        {
            CLinePainter painter(canvas.dc);
            painter.SetStyleFromPixels(c.code, c.pixels, kBlack);
            EXPECT_EQ(canvas.dc.GetCurrentPen().IsGeometric(), c.geometric);
            if (!c.geometric) {
                EXPECT_EQ(canvas.dc.GetCurrentPen().GetStyle(), static_cast<std::uint32_t>(c.code));
            }
            DrawLine(painter, {{0, 10}, {110, 10}});
        }
        EXPECT_EQ(Prefix(RunsAlongRow(canvas.image, 10, 0, 110), c.runs.size()), c.runs);
    }
}

TEST(LinePainter, DotsArePixelsEveryThreeAtOnePixelAndCirclesTwiceTheirWidthApartAbove)
{
    Canvas thin(40, 5, 96);
    {
        CLinePainter painter(thin.dc);
        painter.SetStyleFromPixels(9, 1, kBlack);
        EXPECT_EQ(thin.dc.GetCurrentPen().GetStyle(), static_cast<std::uint32_t>(PS_NULL));
        DrawLine(painter, {{1, 2}, {30, 2}});
    }
    EXPECT_EQ(PixelArt(thin.image), Rows({"........................................",
                                         "........................................",
                                         ".#..#..#..#..#..#..#..#..#..#...........",
                                         "........................................",
                                         "........................................"}));

    Canvas wide(80, 20, 96, kWhite, true);
    {
        CLinePainter painter(wide.dc);
        painter.SetStyleFromPixels(9, 5, kBlack);
        // Logical thousandths: 10 pixels are 104 units.
        DrawLine(painter, {{52, 104}, {729, 104}});
    }
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(At(wide.image, 5 + 10 * k, 10), kBlack) << "a dot centre";
        EXPECT_EQ(At(wide.image, 5 + 10 * k, 8), kBlack) << "a dot 5 pixels across";
        EXPECT_EQ(At(wide.image, 10 + 10 * k, 10), kWhite) << "between dots";
    }
}

TEST(LinePainter, DoubleLinesTakeTheirOuterWidthFromTheInnerOne)
{
    struct Case {
        int code;
        int pixels;
        bool printer;
        const char* across; // the column down through the line, rows 4 .. 16
    };
    const std::vector<Case> cases = {
        {15, 1, false, ".....rwwr...."}, // thin: hairlines side by side
        {15, 1, true, ".....rwr....."},  // a printer takes 3
        {15, 2, false, "....rwwr....."},
        {15, 3, false, "....rwwwr...."},
        {15, 4, false, "...rwwwwr...."},
        {15, 5, false, "..rrwwwwwr..."},
        {11, 1, false, ".....#rr#...."},
        {11, 3, false, "....#rrr#...."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " at " + std::to_string(c.pixels) + " px" +
                     (c.printer ? " on a printer" : ""));
        Canvas canvas(60, 20, 96, kPaper, false, c.printer);
        {
            CLinePainter painter(canvas.dc);
            painter.SetStyleFromPixels(c.code, c.pixels, kRed);
            DrawLine(painter, {{5, 10}, {55, 10}});
        }
        EXPECT_EQ(ColumnArt(canvas.image, 30, 4, 17, kPaper), c.across);
    }
}

// Thin double lines snap their points to pixels first, so the copies one
// and two pixels away stay apart however the logical units round.
TEST(LinePainter, ThinDoubleLinesSnapToPixels)
{
    Canvas canvas(40, 20, 96, kPaper, true);
    {
        CLinePainter painter(canvas.dc);
        painter.SetStyleFromPixels(15, 1, kRed);
        // y 109 is 10.46 pixels; unsnapped, the inner casing 10 units up
        // would round onto the line.
        DrawLine(painter, {{52, 109}, {365, 109}});
    }
    EXPECT_EQ(ColumnArt(canvas.image, 20, 7, 14, kPaper), "..rwwr.");
}

TEST(LinePainter, DashesOfDashedDoubleLinesGrowPastTheReferenceWidth)
{
    struct Case {
        const char* name;
        int code;
        int pixels;
        int dpi;
        bool thousandths;
        int row;            // offset from the line
        COLORREF dash;      // the colour of the drawn dashes
        std::vector<int> runs;
    };
    const std::vector<Case> cases = {
        // 96 dpi: 59 and 79 are 6 and 8 pixels, 39 is 4.
        {"white dashes inside, 2 px", 10, 2, 96, false, 0, kWhite, {6, 8, 6, 8}},
        {"white dashes inside, 8 px: twice", 10, 8, 96, false, 0, kWhite, {12, 16, 12, 16}},
        {"dashed casing, 3 px", 16, 3, 96, false, -2, kRed, {8, 4, 8, 4}},
        {"dashed casing, 8 px: twice", 16, 8, 96, false, -7, kRed, {16, 8, 16, 8}},
        // In logical thousandths the base lengths hold up to 39 units.
        {"dashed casing of 30 units", 16, 3, 100, true, -2, kRed, {8, 4, 8, 4}},
        {"dashed casing of 50 units", 16, 5, 100, true, -4, kRed, {10, 5, 10, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(120, 30, c.dpi, kPaper, c.thousandths);
        {
            CLinePainter painter(canvas.dc);
            painter.SetStyleFromPixels(c.code, c.pixels, kRed);
            std::vector<CPoint> line = {{10, 15}, {110, 15}};
            canvas.dc.DPtoLP(line.data(), 2);
            DrawLine(painter, line);
        }
        EXPECT_EQ(At(canvas.image, 10, 15 + c.row), c.dash);
        EXPECT_EQ(Prefix(RunsAlongRow(canvas.image, 15 + c.row, 10, 110), c.runs.size()), c.runs);
    }
}

// On a 1000-dpi context thousandths are pixels.
TEST(LinePainter, EndMarksAreArrowsOfOneAndAHalfTimesTheWidth)
{
    auto draw = [](int code, int width, std::vector<CPoint> line) {
        Canvas canvas(400, 200, 1000);
        {
            CLinePainter painter(canvas.dc);
            CDrawStyle style;
            style.penStyle = static_cast<std::uint32_t>(code);
            style.penWidth = static_cast<std::uint32_t>(width);
            painter.SetStyle(style);
            DrawLine(painter, line);
        }
        return PaintedExtent(canvas.image, kWhite);
    };
    struct Case {
        int code;
        int width;
        int markSize; // the arrow's half width
        bool atEnd;
        bool atStart;
    };
    const std::vector<Case> cases = {
        {12, 10, 28, true, false}, {12, 18, 28, true, false}, {12, 19, 28, true, false},
        {12, 30, 45, true, false}, {13, 10, 28, false, true}, {14, 30, 45, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " width " + std::to_string(c.width));
        const Extent e = draw(c.code, c.width, {{100, 100}, {300, 100}});
        EXPECT_NEAR(e.tallest, 2 * c.markSize, 2);
        // The tip lies 5/3 of the pen width beyond the line's end.
        const int reach = 5 * c.width / 3;
        EXPECT_NEAR(e.right, c.atEnd ? 300 + reach : 300 + c.width / 2, 2);
        EXPECT_NEAR(e.left, c.atStart ? 100 - reach : 100 - c.width / 2, 2);
    }
    EXPECT_EQ(draw(14, 10, {{50, 50}}).tallest, 0) << "a one-point part has no mark";
    EXPECT_NEAR(draw(12, 10, {{100, 100}, {300, 100}, {300, 100}}).right, 316, 2)
        << "a repeated last point still points the arrow along the line";
}

TEST(LinePainter, ArrowPiecesAreCutInLogicalUnits)
{
    // 197 skipped, 197 drawn, 394 skipped, ... even in pixels.
    Canvas canvas(1400, 40, 96);
    {
        CLinePainter painter(canvas.dc);
        painter.SetStyleFromPixels(17, 1, kBlack);
        DrawLine(painter, {{0, 20}, {1390, 20}});
    }
    const std::vector<std::pair<int, COLORREF>> along = {
        {100, kWhite}, {200, kBlack}, {390, kBlack}, {400, kWhite}, {780, kWhite},
        {790, kBlack}, {980, kBlack}, {1000, kWhite}, {1370, kWhite},
    };
    for (const auto& [x, colour] : along)
        EXPECT_EQ(At(canvas.image, x, 20), colour) << "x " << x;
    // Each drawn piece ends in an arrow, so pixels beside the line are
    // painted there and nowhere else.
    auto besideLine = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y : {17, 18, 22, 23})
                if (At(canvas.image, x, y) != kWhite)
                    return true;
        return false;
    };
    EXPECT_TRUE(besideLine(380, 400));
    EXPECT_TRUE(besideLine(970, 990));
    EXPECT_FALSE(besideLine(190, 370));
    EXPECT_FALSE(besideLine(400, 960));
}

TEST(LinePainter, PixelWidthsBecomeThousandthsTruncated)
{
    struct Case {
        int dpi;
        double pixels;
        int penWidth; // in pixels, after the MM_TEXT conversion back
    };
    // 2.6 px at 1000 dpi is 2.6 thousandths: truncated 2, rounded it would be 3.
    const std::vector<Case> cases = {{1000, 2.6, 2}, {300, 3, 3}, {96, 1.99, 2}, {96, 0.4, 0}, {96, -3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pixels) + " px at " + std::to_string(c.dpi) + " dpi");
        Canvas canvas(10, 10, c.dpi);
        CLinePainter painter(canvas.dc);
        painter.SetStyleFromPixels(PS_SOLID, c.pixels, kBlack);
        EXPECT_EQ(canvas.dc.GetCurrentPen().GetWidth(), c.penWidth);
    }
}

// Long lines are thinned, and drawn in chunks that share their ends, so
// they look as their thinned points drawn at once.
TEST(LinePainter, LongLinesAreThinnedAndDrawnInChunksThatJoinUp)
{
    // A Lissajous curve with a zigzag of 3 pixels that thinning keeps.
    std::vector<CPoint> points;
    for (int i = 0; i < 5000; ++i) {
        const double t = 2 * std::numbers::pi * i / 5000;
        const int zig = (i % 2) * 3;
        points.emplace_back(static_cast<int>(200 + 180 * std::cos(3 * t)) + zig,
                            static_cast<int>(200 + 180 * std::sin(2 * t)));
    }
    std::vector<CPoint> thinned(points.size());
    thinned.resize(static_cast<std::size_t>(
        SimplifyDevicePolyline(points.data(), thinned.data(), static_cast<int>(points.size()), 2)));
    ASSERT_GT(thinned.size(), 2000u) << "the line must still need chunks";
    ASSERT_LT(thinned.size(), points.size());

    Canvas drawn(400, 400, 96);
    {
        CLinePainter painter(drawn.dc);
        painter.SetStyleFromPixels(PS_SOLID, 1, kBlack);
        std::vector<CPoint> copy = points;
        painter.DrawPolyline(copy.data(), static_cast<int>(copy.size()));
    }
    Canvas expected(400, 400, 96);
    expected.dc.SelectObject(CPen(PS_SOLID, 0, kBlack));
    expected.dc.Polyline(thinned.data(), static_cast<int>(thinned.size()));
    EXPECT_TRUE(drawn.image == expected.image);
}

TEST(LinePainter, DrawsIntoBothContextsAndGivesTheirPensAndBrushesBack)
{
    Canvas first(80, 40, 96), second(80, 40, 96);
    const CPen pens[2] = {CPen(PS_SOLID, 0, kBlue), CPen(PS_SOLID, 0, kGreen)};
    const CBrush brushes[2] = {CBrush(kBlue), CBrush(kGreen)};
    first.dc.SelectObject(pens[0]);
    first.dc.SelectObject(brushes[0]);
    second.dc.SelectObject(pens[1]);
    second.dc.SelectObject(brushes[1]);
    {
        CLinePainter painter(first.dc, &second.dc);
        for (int code : {14, 16, 9}) { // each style replaces the one before
            painter.SetStyleFromPixels(code, 3, kRed);
            DrawLine(painter, {{10, 10 + 3 * code - 27}, {70, 30}});
        }
        EXPECT_FALSE(first.dc.GetCurrentPen() == pens[0]);
    }
    EXPECT_TRUE(first.image == second.image);
    EXPECT_NE(PaintedExtent(first.image, kWhite).tallest, 0);
    EXPECT_TRUE(first.dc.GetCurrentPen() == pens[0]);
    EXPECT_TRUE(first.dc.GetCurrentBrush() == brushes[0]);
    EXPECT_TRUE(second.dc.GetCurrentPen() == pens[1]);
    EXPECT_TRUE(second.dc.GetCurrentBrush() == brushes[1]);
}
