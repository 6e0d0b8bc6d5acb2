#include "render/ShapeDrawing.h"

#include "core/Shape.h"
#include "layers/DrawStyle.h"
#include "layers/DrawingView.h"
#include "platform/DC.h"
#include "tests/render/FakeDrawingView.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(40, 80, 160);
constexpr COLORREF kInverted = RGB(215, 175, 95);
constexpr COLORREF kHighlight = RGB(0, 150, 0);
constexpr COLORREF kAreaHighlight = RGB(0, 255, 0);
constexpr COLORREF kViolet = RGB(128, 0, 255);

CShape MakeShape(const std::vector<CMapPoint>& points)
{
    CShape shape;
    shape.SetPoints(static_cast<int>(points.size()), points.data());
    return shape;
}

CDrawStyle GivenStyle()
{
    CDrawStyle style;
    style.penColor = kRed;
    style.brushStyle = BS_SOLID;
    style.brushColor = kBlue;
    return style;
}

} // namespace

// The line runs along pixel row 20; the area's outline along row 10 with
// its inside at row 25.
TEST(ShapeDrawing, EveryModeDrawsWithItsPensBrushesAndRasterOperation)
{
    struct Case {
        const char* name;
        int mode;
        bool styled;
        COLORREF line;      // at (40, 20)
        COLORREF outline;   // at (40, 10)
        COLORREF inside;    // at (40, 25)
    };
    const std::vector<Case> cases = {
        {"0 the given style", 0, true, kRed, kRed, kBlue},
        {"0 without a style: the context's pen and brush", 0, false, kBlack, kBlack, kYellow},
        {"1 inverted, areas unfilled", 1, true, kInverted, kInverted, kPaper},
        {"2 highlighted", 2, true, kHighlight, kAreaHighlight, kPaper},
        {"3 lines violet, areas as given", 3, true, kViolet, kRed, kBlue},
        {"4 lines highlighted, areas as given", 4, true, kHighlight, kRed, kBlue},
        {"5 white, areas unfilled", 5, true, kWhite, kWhite, kPaper},
        {"5 without a style: white, areas unfilled", 5, false, kWhite, kWhite, kPaper},
        {"7 as 0", 7, true, kRed, kRed, kBlue},
    };
    const CShape line = MakeShape({{10, -20}, {70, -20}});
    const CShape area = MakeShape({{10, -10}, {70, -10}, {70, -40}, {10, -40}});
    const CDrawStyle given = GivenStyle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool isArea : {false, true}) {
            CFakeDrawingView view(80, 50, kPaper);
            CDC dc(view.window);
            const CPen pen(PS_SOLID, 0, kBlack);
            const CBrush brush(kYellow);
            dc.SelectObject(pen);
            dc.SelectObject(brush);
            dc.SetBkMode(OPAQUE);
            dc.SetTextColor(kGreen);
            const int drawn = isArea ? DrawShapePolygon(area, view, &dc, c.styled ? &given : nullptr, c.mode)
                                     : DrawShapePolyline(line, view, &dc, c.styled ? &given : nullptr, c.mode);
            EXPECT_EQ(drawn, 1);
            if (isArea) {
                EXPECT_EQ(At(view.window, 40, 10), c.outline) << "outline";
                EXPECT_EQ(At(view.window, 40, 25), c.inside) << "inside";
            } else {
                EXPECT_EQ(At(view.window, 40, 20), c.line) << "line";
            }
            EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
            EXPECT_TRUE(dc.GetCurrentPen() == pen);
            EXPECT_TRUE(dc.GetCurrentBrush() == brush);
            EXPECT_EQ(dc.GetBkMode(), OPAQUE);
            EXPECT_EQ(dc.GetBkColor(), kWhite);
            EXPECT_EQ(dc.GetTextColor(), kGreen);
            EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC) << "left prepared for map drawing";
        }
    }
}

TEST(ShapeDrawing, XorModeDrawsADottedHairline)
{
    const CShape line = MakeShape({{10, -20}, {70, -20}});
    const CShape area = MakeShape({{10, -10}, {70, -10}, {70, -40}, {10, -40}});
    CFakeDrawingView view(80, 50, kPaper), areaView(80, 50, kPaper);
    CDC dc(view.window), areaDc(areaView.window);
    dc.SetROP2(R2_MERGEPEN);
    DrawShapePolyline(line, view, &dc, nullptr, kShapeXorDotted);
    DrawShapePolygon(area, areaView, &areaDc, nullptr, kShapeXorDotted);
    EXPECT_EQ(dc.GetROP2(), R2_MERGEPEN);
    EXPECT_EQ(RunsAlongRow(view.window, 20, 10, 28), (std::vector<int>{3, 3, 3, 3, 3, 3}));
    EXPECT_EQ(At(view.window, 11, 20), kInverted);
    EXPECT_EQ(At(view.window, 14, 20), kPaper);
    EXPECT_EQ(At(areaView.window, 11, 10), kInverted);
    EXPECT_EQ(At(areaView.window, 40, 25), kPaper);
    // Drawing again takes it away.
    DrawShapePolyline(line, view, &dc, nullptr, kShapeXorDotted);
    EXPECT_EQ(At(view.window, 11, 20), kPaper);
}

TEST(ShapeDrawing, ShapesReachingOutOfTheExtentAreClippedALittleBeyondIt)
{
    // The extent is 0 .. 100 across and 0 .. -60 up; a tenth more is
    // -5 .. 105 and 3 .. -63.
    struct Case {
        const char* name;
        bool area;
        std::vector<CMapPoint> points;
        std::vector<CMapPoint> converted;
    };
    const std::vector<Case> cases = {
        {"a line inside", false, {{10, -10}, {90, -50}}, {{10, -10}, {90, -50}}},
        {"a ring on the border is inside", true, {{0, 0}, {100, 0}, {100, -60}, {0, -60}},
         {{0, 0}, {100, 0}, {100, -60}, {0, -60}}},
        {"a line leaving the extent", false, {{50, -30}, {500, -30}}, {{50, -30}, {105, -30}}},
        {"a ring reaching out", true, {{50, -30}, {500, -30}, {500, -40}, {50, -40}},
         {{50, -30}, {105, -30}, {105, -40}, {50, -40}, {50, -30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeDrawingView view(100, 60, kPaper);
        const CShape shape = MakeShape(c.points);
        const CDrawStyle style = GivenStyle();
        CDC dc(view.window);
        if (c.area)
            DrawShapePolygon(shape, view, &dc, &style, 0);
        else
            DrawShapePolyline(shape, view, &dc, &style, 0);
        ASSERT_EQ(view.converted.size(), 1u);
        EXPECT_EQ(view.converted[0], c.converted);
    }
}

TEST(ShapeDrawing, BitEightDrawsIntoTheBackBufferToo)
{
    const CShape line = MakeShape({{10, -20}, {70, -20}});
    for (int mode : {int(kShapeHighlight), kShapeHighlight | kShapeAlsoBackBuffer}) {
        SCOPED_TRACE(mode);
        CFakeDrawingView view(80, 50, kPaper);
        view.hasBackBuffer = true;
        EXPECT_EQ(DrawShapePolyline(line, view, nullptr, nullptr, mode), 1);
        EXPECT_EQ(view.windowOpens, 1) << "no context given: the window's";
        EXPECT_EQ(At(view.window, 40, 20), kHighlight);
        EXPECT_EQ(At(view.backBuffer, 40, 20), mode & kShapeAlsoBackBuffer ? kHighlight : kPaper);
    }
    // No back buffer to draw into: the window still gets the shape.
    CFakeDrawingView view(80, 50, kPaper);
    DrawShapePolyline(line, view, nullptr, nullptr, kShapeInvert | kShapeAlsoBackBuffer);
    EXPECT_EQ(At(view.window, 40, 20), kInverted);
}

TEST(ShapeDrawing, AnEmptyShapeDrawsNothingAndTouchesNoContext)
{
    CFakeDrawingView view(80, 50, kPaper);
    view.hasBackBuffer = true;
    CDC dc(view.window);
    const CShape empty;
    const CDrawStyle style = GivenStyle();
    EXPECT_EQ(DrawShapePolyline(empty, view, &dc, &style, kShapeHighlight | kShapeAlsoBackBuffer), 0);
    EXPECT_EQ(DrawShapePolygon(empty, view, nullptr, &style, kShapeInvert), 0);
    EXPECT_EQ(view.windowOpens, 0);
    EXPECT_EQ(view.prepared, 0);
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_TRUE(view.converted.empty());
}

TEST(ShapeDrawing, PartSizesClaimingMorePointsThanThereAreStopAtTheLast)
{
    CShape shape = MakeShape({{10, -20}, {70, -20}, {70, -40}});
    shape.PartSizes() = {2, 1000};
    CFakeDrawingView view(80, 50, kPaper);
    const CDrawStyle style = GivenStyle();
    EXPECT_EQ(DrawShapePolyline(shape, view, nullptr, &style, 0), 1);
    EXPECT_EQ(At(view.window, 40, 20), kRed);
}
