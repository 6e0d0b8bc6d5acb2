#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "tests/platform/ImageProbe.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace {

struct Probe {
    const char* name;
    int x;
    int y;
    COLORREF expected;
};

struct PixelCase {
    const char* name;
    std::function<void(CDC&)> draw;
    std::vector<Probe> probes;
};

CPen GeometricPen(std::uint32_t style, int width, COLORREF colour)
{
    return CPen(static_cast<int>(PS_GEOMETRIC | style), width, LOGBRUSH{BS_SOLID, colour, 0});
}

} // namespace

TEST(DC, PixelRules)
{
    const CBrush grey(kGrey);
    const CBrush black(kBlack);
    const std::vector<PixelCase> cases = {
        {"one-pixel Rectangle(2,2,6,6) leaves out right and bottom",
         [&](CDC& dc) {
             dc.SelectObject(grey);
             dc.Rectangle(2, 2, 6, 6);
         },
         {{"top left corner", 2, 2, kBlack},
          {"top right corner", 5, 2, kBlack},
          {"bottom right corner", 5, 5, kBlack},
          {"bottom left corner", 2, 5, kBlack},
          {"inside", 3, 3, kGrey},
          {"inside near corner", 4, 4, kGrey},
          {"column 6", 6, 3, kWhite},
          {"row 6", 3, 6, kWhite},
          {"outside top left", 1, 1, kWhite}}},
        {"Rectangle with the null pen fills one pixel less",
         [&](CDC& dc) {
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(grey);
             dc.Rectangle(2, 2, 6, 6);
         },
         {{"top left", 2, 2, kGrey}, {"last filled", 4, 4, kGrey}, {"column 5", 5, 3, kWhite}, {"row 5", 3, 5, kWhite}}},
        {"LineTo from (0,0) to (5,0) sets x = 0..4",
         [](CDC& dc) {
             dc.MoveTo(0, 0);
             dc.LineTo(5, 0);
         },
         {{"start", 0, 0, kBlack}, {"x 4", 4, 0, kBlack}, {"end point", 5, 0, kWhite}, {"row below", 2, 1, kWhite}}},
        {"LineTo leftwards leaves out its own end",
         [](CDC& dc) {
             dc.MoveTo(5, 1);
             dc.LineTo(0, 1);
         },
         {{"start", 5, 1, kBlack}, {"x 1", 1, 1, kBlack}, {"end point", 0, 1, kWhite}}},
        {"a diagonal rounds to the nearest row",
         [](CDC& dc) {
             dc.MoveTo(0, 0);
             dc.LineTo(10, 4);
         },
         {{"x 1 stays on row 0", 1, 0, kBlack},
          {"x 2 rounds 0.8 up", 2, 1, kBlack},
          {"x 5 rounds 2.0", 5, 2, kBlack},
          {"x 7 rounds 2.8 up", 7, 3, kBlack},
          {"x 9", 9, 4, kBlack},
          {"end point", 10, 4, kWhite}}},
        {"Polyline draws the inner vertices once and leaves out the last point",
         [](CDC& dc) {
             const CPoint points[] = {{1, 1}, {8, 1}, {8, 8}};
             dc.SetROP2(R2_NOT);
             dc.Polyline(points, 3);
         },
         {{"start", 1, 1, kBlack}, {"corner inverted once", 8, 1, kBlack}, {"before end", 8, 7, kBlack}, {"end", 8, 8, kWhite}}},
        {"PolyPolygon of a square with a square hole leaves the hole",
         [&](CDC& dc) {
             const CPoint points[] = {{2, 2}, {18, 2}, {18, 18}, {2, 18}, {6, 6}, {14, 6}, {14, 14}, {6, 14}};
             const int counts[] = {4, 4};
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(black);
             dc.PolyPolygon(points, counts, 2);
         },
         {{"ring", 3, 3, kBlack}, {"ring far side", 16, 16, kBlack}, {"hole", 10, 10, kWhite}, {"hole corner", 6, 6, kWhite},
          {"right edge left out", 18, 10, kWhite}}},
        {"WINDING fills a hole of the same direction, not a reversed one",
         [&](CDC& dc) {
             const CPoint points[] = {{2, 2}, {18, 2}, {18, 18}, {2, 18}, {6, 6}, {14, 6}, {14, 14}, {6, 14},
                                      {22, 2}, {38, 2}, {38, 18}, {22, 18}, {26, 6}, {26, 14}, {34, 14}, {34, 6}};
             const int counts[] = {4, 4, 4, 4};
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(black);
             dc.SetPolyFillMode(WINDING);
             dc.PolyPolygon(points, counts, 4);
         },
         {{"same direction", 10, 10, kBlack}, {"reversed", 30, 10, kWhite}, {"ring", 23, 3, kBlack}}},
        {"geometric flat-cap line of width 5 from x = 10 to 30 covers x = 10..29",
         [](CDC& dc) {
             dc.SelectObject(GeometricPen(PS_SOLID | PS_ENDCAP_FLAT, 5, kBlack));
             dc.MoveTo(10, 10);
             dc.LineTo(30, 10);
         },
         {{"first", 10, 10, kBlack}, {"last", 29, 10, kBlack}, {"after", 30, 10, kWhite}, {"before", 9, 10, kWhite},
          {"top row", 20, 8, kBlack}, {"bottom row", 20, 12, kBlack}, {"above", 20, 7, kWhite}, {"below", 20, 13, kWhite}}},
        {"a square cap reaches half the width beyond the ends",
         [](CDC& dc) {
             dc.SelectObject(GeometricPen(PS_SOLID | PS_ENDCAP_SQUARE, 5, kBlack));
             dc.MoveTo(10, 10);
             dc.LineTo(30, 10);
         },
         {{"first", 8, 10, kBlack}, {"before", 7, 10, kWhite}, {"last", 31, 10, kBlack}, {"after", 33, 10, kWhite}}},
        {"an inside-frame pen keeps its width within the box",
         [&](CDC& dc) {
             dc.SelectObject(CPen(PS_INSIDEFRAME, 3, kBlack));
             dc.SelectObject(grey);
             dc.Rectangle(2, 2, 12, 12);
         },
         {{"outer corner", 2, 2, kBlack}, {"outside", 1, 5, kWhite}, {"inner frame", 4, 6, kBlack}, {"inside", 5, 6, kGrey},
          {"right frame", 11, 6, kBlack}, {"right of box", 12, 6, kWhite}, {"bottom frame", 6, 11, kBlack}}},
        {"Ellipse stays inside its box and fills its middle",
         [&](CDC& dc) {
             dc.SelectObject(grey);
             dc.Ellipse(2, 2, 14, 10);
         },
         {{"top", 8, 2, kBlack}, {"middle", 8, 6, kGrey}, {"box corner", 2, 2, kWhite}, {"right of box", 14, 6, kWhite},
          {"below box", 8, 10, kWhite}, {"bottom", 8, 9, kBlack}}},
        {"PS_DASH is 18 pixels on and 6 off; a transparent background keeps the gaps",
         [](CDC& dc) {
             dc.SelectObject(CPen(PS_DASH, 1, kBlack));
             dc.SetBkMode(TRANSPARENT);
             dc.SetBkColor(kRed);
             dc.MoveTo(0, 0);
             dc.LineTo(39, 0);
         },
         {{"first dash", 0, 0, kBlack}, {"end of dash", 17, 0, kBlack}, {"gap", 18, 0, kWhite}, {"gap end", 23, 0, kWhite},
          {"second dash", 24, 0, kBlack}}},
        {"PS_DOT is 3 on and 3 off; an opaque background fills the gaps",
         [](CDC& dc) {
             dc.SelectObject(CPen(PS_DOT, 0, kBlack));
             dc.SetBkColor(kRed);
             dc.MoveTo(0, 0);
             dc.LineTo(20, 0);
         },
         {{"dot", 2, 0, kBlack}, {"gap", 3, 0, kRed}, {"gap end", 5, 0, kRed}, {"next dot", 6, 0, kBlack}}},
        {"a dash pattern runs on across the vertices of a polyline",
         [](CDC& dc) {
             const CPoint points[] = {{0, 0}, {10, 0}, {10, 19}};
             dc.SelectObject(CPen(PS_DASH, 1, kBlack));
             dc.SetBkMode(TRANSPARENT);
             dc.Polyline(points, 3);
         },
         {{"step 17", 10, 7, kBlack}, {"step 18 is a gap", 10, 8, kWhite}, {"step 24 starts a dash", 10, 14, kBlack}}},
        {"PS_DASHDOT is 9, 6, 3, 6 pixels",
         [](CDC& dc) {
             dc.SelectObject(CPen(PS_DASHDOT, 1, kBlack));
             dc.SetBkMode(TRANSPARENT);
             dc.MoveTo(0, 0);
             dc.LineTo(39, 0);
         },
         {{"dash end", 8, 0, kBlack}, {"gap", 9, 0, kWhite}, {"dot", 15, 0, kBlack}, {"dot end", 17, 0, kBlack},
          {"second gap", 18, 0, kWhite}, {"next period", 24, 0, kBlack}}},
        {"a wide pen made by CreatePen is solid and round-ended",
         [](CDC& dc) {
             dc.SelectObject(CPen(PS_DASH, 5, kBlack));
             dc.MoveTo(10, 10);
             dc.LineTo(30, 10);
         },
         {{"solid where a dash would gap", 28, 10, kBlack}, {"round end", 31, 10, kBlack}, {"corner of a square end", 32, 8, kWhite}}},
        {"a hatch with a transparent background leaves the gaps",
         [](CDC& dc) {
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(CBrush(HS_HORIZONTAL, kBlue));
             dc.SetBkColor(kGreen);
             dc.SetBkMode(TRANSPARENT);
             dc.Rectangle(0, 0, 17, 17);
         },
         {{"hatch line", 3, 7, kBlue}, {"gap", 3, 3, kWhite}, {"next hatch line", 3, 15, kBlue}}},
        {"a hatch with an opaque background fills the gaps",
         [](CDC& dc) {
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(CBrush(HS_HORIZONTAL, kBlue));
             dc.SetBkColor(kGreen);
             dc.Rectangle(0, 0, 17, 17);
         },
         {{"hatch line", 3, 7, kBlue}, {"gap", 3, 3, kGreen}}},
        {"a transparent hatch meets a raster operation only on its lines",
         [](CDC& dc) {
             dc.SelectObject(CPen::FromStock(NULL_PEN));
             dc.SelectObject(CBrush(HS_VERTICAL, kBlack));
             dc.SetBkMode(TRANSPARENT);
             dc.SetROP2(R2_MASKPEN);
             dc.Rectangle(0, 0, 17, 17);
         },
         {{"hatch line", 7, 3, kBlack}, {"gap", 3, 3, kWhite}}},
        {"R2_NOP draws nothing",
         [&](CDC& dc) {
             dc.SetROP2(R2_NOP);
             dc.SelectObject(black);
             dc.Rectangle(0, 0, 10, 10);
         },
         {{"frame", 0, 0, kWhite}, {"inside", 5, 5, kWhite}}},
        {"FillRect ignores the raster operation and leaves out right and bottom",
         [&](CDC& dc) {
             dc.SetROP2(R2_NOT);
             dc.FillRect(CRect(2, 2, 5, 5), black);
         },
         {{"top left", 2, 2, kBlack}, {"last", 4, 4, kBlack}, {"right", 5, 4, kWhite}, {"bottom", 4, 5, kWhite}}},
        {"an intersected clip rectangle keeps drawing inside it",
         [&](CDC& dc) {
             dc.IntersectClipRect(5, 5, 10, 10);
             dc.FillRect(CRect(0, 0, 20, 20), black);
             dc.MoveTo(0, 7);
             dc.SelectObject(CPen(PS_SOLID, 0, kRed));
             dc.LineTo(20, 7);
         },
         {{"inside", 6, 6, kBlack}, {"line inside", 9, 7, kRed}, {"line outside", 12, 7, kWhite}, {"left of clip", 4, 6, kWhite},
          {"right edge left out", 10, 6, kWhite}}},
        {"an excluded rectangle makes a hole in the clip",
         [&](CDC& dc) {
             dc.ExcludeClipRect(5, 5, 10, 10);
             dc.FillRect(CRect(0, 0, 20, 20), black);
         },
         {{"hole", 6, 6, kWhite}, {"around", 3, 6, kBlack}, {"after hole", 10, 6, kBlack}}},
        {"a stroked path joins its corners with the geometric pen",
         [](CDC& dc) {
             dc.SelectObject(GeometricPen(PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 3, kBlack));
             dc.BeginPath();
             dc.MoveTo(5, 15);
             dc.LineTo(5, 5);
             dc.LineTo(15, 5);
             dc.EndPath();
             dc.StrokePath();
         },
         {{"mitred corner", 4, 4, kBlack}, {"along", 10, 4, kBlack}, {"flat end", 15, 5, kWhite}, {"inside corner", 7, 7, kWhite}}},
        {"a filled path uses the brush and closes its figure",
         [&](CDC& dc) {
             dc.SelectObject(black);
             dc.BeginPath();
             dc.MoveTo(2, 2);
             dc.LineTo(12, 2);
             dc.LineTo(12, 12);
             dc.LineTo(2, 12);
             dc.EndPath();
             dc.FillPath();
         },
         {{"inside", 6, 6, kBlack}, {"right edge left out", 12, 6, kWhite}}},
        {"anisotropic drawing in thousandths of an inch",
         [](CDC& dc) {
             dc.SetMapMode(MM_ANISOTROPIC);
             dc.SetWindowExt(1000, 1000);
             dc.SetViewportExt(96, 96);
             dc.MoveTo(0, 125);
             dc.LineTo(250, 125);
         },
         {{"start", 0, 12, kBlack}, {"end less one", 23, 12, kBlack}, {"end", 24, 12, kWhite}}},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = MakeImage(40, 20, kWhite);
        {
            CDC dc(image);
            c.draw(dc);
        }
        for (const Probe& p : c.probes)
            EXPECT_EQ(At(image, p.x, p.y), p.expected) << p.name << " at (" << p.x << ", " << p.y << ")";
    }
}

TEST(DC, PatternBrushIsSeamlessAndFollowsTheBrushOrigin)
{
    QImage image = MakeImage(16, 8, kWhite);
    CDC dc(image);
    CBrush checker;
    ASSERT_TRUE(checker.CreatePatternBrush({0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}));
    dc.SetTextColor(kRed);  // 0 bits
    dc.SetBkColor(kBlue);   // 1 bits
    dc.SetBkMode(TRANSPARENT); // does not matter for patterns
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(checker);
    dc.Rectangle(0, 0, 9, 9);
    dc.Rectangle(8, 0, 17, 9);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(At(image, x, y), (x + y) % 2 == 0 ? kBlue : kRed) << x << ", " << y;

    dc.SetBrushOrg(1, 0);
    dc.FillRect(CRect(0, 0, 16, 8), checker);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(At(image, x, y), (x + y) % 2 == 1 ? kBlue : kRed) << x << ", " << y;
}

TEST(DC, EveryRasterOperationCombinesBitwise)
{
    const COLORREF pen = RGB(0xF0, 0x3C, 0x55);
    const COLORREF dest = RGB(0xCC, 0x0F, 0x5A);
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        SCOPED_TRACE(rop);
        // The code less one is the truth table, indexed by pen bit * 2 + destination bit.
        COLORREF expected = 0;
        for (int bit = 0; bit < 24; ++bit) {
            const int p = (pen >> bit) & 1;
            const int d = (dest >> bit) & 1;
            expected |= static_cast<COLORREF>(((rop - 1) >> (p * 2 + d)) & 1) << bit;
        }
        QImage image = MakeImage(10, 10, dest);
        CDC dc(image);
        dc.SetROP2(rop);
        dc.SelectObject(CPen(PS_SOLID, 0, pen));
        dc.SelectObject(CBrush(pen));
        dc.MoveTo(0, 0);
        dc.LineTo(10, 0); // drawn by the DC itself
        dc.Rectangle(0, 2, 10, 10);  // filled through Qt
        dc.SelectObject(GeometricPen(PS_SOLID | PS_ENDCAP_FLAT, 1, pen));
        dc.MoveTo(0, 1);
        dc.LineTo(10, 1); // stroked through Qt
        EXPECT_EQ(At(image, 5, 0), expected) << "cosmetic line";
        EXPECT_EQ(At(image, 5, 1), expected) << "geometric line";
        EXPECT_EQ(At(image, 5, 5), expected) << "fill";
    }
}

TEST(DC, XorAndNotDrawnTwiceRestoreTheImage)
{
    std::mt19937 random(12);
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    const QImage original = image.copy();
    CBrush pattern;
    pattern.CreatePatternBrush({0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81});
    for (int rop : {R2_XORPEN, R2_NOT, R2_NOTXORPEN}) {
        SCOPED_TRACE(rop);
        for (int pass = 0; pass < 2; ++pass) {
            CDC dc(image);
            dc.SetROP2(rop);
            dc.SetBkColor(RGB(10, 200, 30));
            dc.SelectObject(CPen(PS_DASHDOT, 0, RGB(200, 100, 7)));
            dc.SelectObject(CBrush(HS_DIAGCROSS, RGB(90, 3, 250)));
            dc.Rectangle(3, 4, 40, 30);
            dc.SetBkMode(TRANSPARENT);
            dc.Ellipse(20, 20, 60, 50);
            const CPoint star[] = {{32, 2}, {40, 60}, {2, 20}, {62, 20}, {24, 60}};
            dc.SetPolyFillMode(WINDING);
            dc.Polygon(star, 5);
            dc.SelectObject(pattern);
            dc.SelectObject(GeometricPen(PS_DASH | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 4, RGB(1, 2, 3)));
            const CPoint zigzag[] = {{0, 63}, {20, 10}, {40, 50}, {63, 0}};
            dc.Polyline(zigzag, 4);
            dc.Rectangle(30, 30, 50, 45);
            dc.SelectObject(CPen(PS_SOLID, 0, RGB(255, 255, 255)));
            dc.MoveTo(63, 63);
            dc.LineTo(0, 5);
        }
        ASSERT_EQ(image, original);
    }
}

TEST(DC, AnisotropicThousandthsOfAnInch)
{
    CDC dc;
    EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(96, 96);
    CPoint p(1000, 500);
    dc.LPtoDP(&p);
    EXPECT_EQ(p, CPoint(96, 48));
    dc.DPtoLP(&p);
    EXPECT_EQ(p, CPoint(1000, 500));

    // Rounding to the nearest unit: 5 thousandths are 0.48 pixels, 6 are 0.576.
    CPoint small[] = {{5, 6}, {-6, -5}};
    dc.LPtoDP(small, 2);
    EXPECT_EQ(small[0], CPoint(0, 1));
    EXPECT_EQ(small[1], CPoint(-1, 0));

    // Origins, and a viewport whose y grows upwards.
    dc.SetViewportExt(96, -96);
    dc.SetViewportOrg(10, 200);
    dc.SetWindowOrg(1000, 0);
    p = CPoint(2000, 1000);
    dc.LPtoDP(&p);
    EXPECT_EQ(p, CPoint(106, 104));

    // Sizes are lengths.
    CSize size(1000, 1000);
    dc.LPtoDP(&size);
    EXPECT_EQ(size, CSize(96, 96));
    dc.DPtoLP(&size);
    EXPECT_EQ(size, CSize(1000, 1000));

    // Zero extents and extents outside the scalable modes are refused.
    EXPECT_EQ(dc.SetWindowExt(0, 5), CSize(1000, 1000));
    EXPECT_EQ(dc.GetWindowExt(), CSize(1000, 1000));
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowExt(7, 7);
    EXPECT_EQ(dc.GetWindowExt(), CSize(1, 1));
    EXPECT_EQ(dc.SetMapMode(99), 0);
}

TEST(DC, FixedAndIsotropicModes)
{
    QImage image = MakeImage(200, 100, kWhite);
    image.setDotsPerMeterX(3937); // 100 dpi
    image.setDotsPerMeterY(3937);
    CDC dc(image);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 100);
    dc.SetMapMode(MM_LOENGLISH);
    CPoint p(100, -50);
    dc.LPtoDP(&p);
    EXPECT_EQ(p, CPoint(100, 50));

    // The isotropic mode shrinks one viewport extent so both axes scale alike.
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, 100);
    EXPECT_EQ(dc.GetViewportExt(), CSize(100, 100));
}

TEST(DC, MulDivRoundsHalfAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {1, 1, 2, 1},          {-1, 1, 2, -1},         {3, 1, 2, 2},           {-3, 1, 2, -2},
        {1, 1, 3, 0},          {2, 1, 3, 1},           {5, 1, -2, -3},         {-5, -1, -2, -3},
        {7, 0, 3, 0},          {100000, 96, 2540, 3780}, {1, 1, 0, -1},        {0x40000000, 4, 2, -1},
        {0x40000000, 2, 1, -1}, {-0x40000000, 2, 1, -1}, {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
        {-0x7FFFFFFF - 1, -0x7FFFFFFF - 1, -0x7FFFFFFF - 1, -1}, {1000, 96, 1000, 96},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(DC, RestoreGivesTheWholeStateBack)
{
    QImage image = MakeImage(50, 50, kWhite);
    CDC dc(image);
    const CPen pen(PS_DOT, 0, kRed);
    const CBrush brush(HS_CROSS, kBlue);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(96, 96);
    dc.SetWindowOrg(3, 4);
    dc.SetViewportOrg(5, 6);
    dc.SetTextColor(kGreen);
    dc.SetBkColor(kGrey);
    dc.SetBkMode(TRANSPARENT);
    dc.SetROP2(R2_XORPEN);
    dc.SetPolyFillMode(WINDING);
    dc.SetBrushOrg(3, 2);
    dc.MoveTo(7, 8);
    dc.SetMiterLimit(4);
    dc.IntersectClipRect(0, 0, 250, 250);

    const int level = dc.SaveDC();
    EXPECT_EQ(level, 1);
    dc.SelectObject(CPen::FromStock(WHITE_PEN));
    dc.SelectObject(CBrush::FromStock(BLACK_BRUSH));
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    dc.SetTextColor(kBlack);
    dc.SetBkColor(kWhite);
    dc.SetBkMode(OPAQUE);
    dc.SetROP2(R2_COPYPEN);
    dc.SetPolyFillMode(ALTERNATE);
    dc.SetBrushOrg(0, 0);
    dc.MoveTo(0, 0);
    dc.SetMiterLimit(10);
    dc.SelectClipRgn(nullptr);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.SetTextColor(kRed);

    EXPECT_TRUE(dc.RestoreDC(level)); // drops level 2 as well
    EXPECT_FALSE(dc.RestoreDC(-1));
    EXPECT_TRUE(dc.GetCurrentPen() == pen);
    EXPECT_TRUE(dc.GetCurrentBrush() == brush);
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt(), CSize(1000, 1000));
    EXPECT_EQ(dc.GetViewportExt(), CSize(96, 96));
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(3, 4));
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(5, 6));
    EXPECT_EQ(dc.GetTextColor(), kGreen);
    EXPECT_EQ(dc.GetBkColor(), kGrey);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
    EXPECT_EQ(dc.GetPolyFillMode(), WINDING);
    EXPECT_EQ(dc.GetBrushOrg(), CPoint(3, 2));
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(7, 8));
    EXPECT_EQ(dc.GetMiterLimit(), 4.0f);
    CRect clip;
    dc.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(3, 4, 253, 254)); // (5, 6) .. (29, 30) in pixels
    EXPECT_FALSE(dc.PtVisible(300, 10));
    EXPECT_FALSE(dc.RestoreDC(0));
    EXPECT_FALSE(dc.RestoreDC(5));
}

TEST(DC, ObjectsAndSettingsRefuseBadValues)
{
    CDC dc;
    const CPen before = dc.GetCurrentPen();
    EXPECT_EQ(dc.SelectObject(CPen()).GetSafeHandle(), nullptr);
    EXPECT_TRUE(dc.GetCurrentPen() == before);
    EXPECT_TRUE(dc.GetCurrentPen() == CPen::FromStock(BLACK_PEN));
    EXPECT_TRUE(dc.GetCurrentBrush() == CBrush::FromStock(WHITE_BRUSH));
    EXPECT_EQ(dc.SetROP2(0), 0);
    EXPECT_EQ(dc.SetROP2(17), 0);
    EXPECT_EQ(dc.SetBkMode(3), 0);
    EXPECT_EQ(dc.SetPolyFillMode(0), 0);
    EXPECT_FALSE(dc.SetMiterLimit(0.5f));

    CBrush brush;
    EXPECT_FALSE(brush.CreateHatchBrush(6, kRed));
    EXPECT_FALSE(brush.CreateBrushIndirect(LOGBRUSH{BS_PATTERN, 0, 0}));
    CPen pen;
    const std::uint32_t zeros[] = {0, 0};
    EXPECT_FALSE(pen.CreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, LOGBRUSH{BS_SOLID, 0, 0}, 2, zeros));
    EXPECT_FALSE(pen.CreatePen(PS_COSMETIC | PS_SOLID, 3, LOGBRUSH{BS_SOLID, 0, 0}));
    EXPECT_FALSE(pen.CreatePen(PS_GEOMETRIC | PS_ALTERNATE, 3, LOGBRUSH{BS_SOLID, 0, 0}));
    EXPECT_TRUE(pen.CreatePen(PS_COSMETIC | PS_ALTERNATE, 1, LOGBRUSH{BS_SOLID, 0, 0}));
    // Style codes CreatePen does not know draw solid.
    EXPECT_EQ(CPen(14, 1, kRed).GetStyle(), PS_SOLID);

    // Polygons and lines need two points; negative counts are refused.
    const CPoint one[] = {{1, 1}};
    const int bad[] = {-1};
    EXPECT_FALSE(dc.Polyline(one, 1));
    EXPECT_FALSE(dc.Polygon(one, 1));
    EXPECT_FALSE(dc.PolyPolygon(one, bad, 1));
    EXPECT_FALSE(dc.Polygon(nullptr, 3));
}

TEST(DC, ClippingAndVisibility)
{
    QImage image = MakeImage(30, 30, kWhite);
    CDC dc(image);
    EXPECT_TRUE(dc.RectVisible(CRect(25, 25, 40, 40)));
    EXPECT_FALSE(dc.RectVisible(CRect(30, 0, 40, 10)));
    CRgn ring;
    ring.CreateRectRgn(0, 0, 20, 20);
    CRgn hole;
    hole.CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(ring.CombineRgn(ring, hole, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(dc.SelectClipRgn(&ring), COMPLEXREGION);
    EXPECT_FALSE(dc.RectVisible(CRect(6, 6, 14, 14)));
    EXPECT_TRUE(dc.RectVisible(CRect(6, 6, 16, 14)));
    EXPECT_TRUE(dc.PtVisible(2, 2));
    EXPECT_FALSE(dc.PtVisible(10, 10));
    EXPECT_FALSE(dc.PtVisible(20, 2));
    CRect box;
    EXPECT_EQ(dc.GetClipBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 0, 20, 20));

    dc.SelectObject(CPen(PS_SOLID, 0, kRed));
    dc.MoveTo(0, 10);
    dc.LineTo(30, 10);
    EXPECT_EQ(At(image, 3, 10), kRed);
    EXPECT_EQ(At(image, 10, 10), kWhite);
    EXPECT_EQ(At(image, 17, 10), kRed);
    EXPECT_EQ(At(image, 25, 10), kWhite);
    EXPECT_EQ(dc.SetPixel(10, 10, kBlue), CLR_INVALID);
    EXPECT_EQ(dc.SetPixel(2, 3, kBlue), kBlue);
    EXPECT_EQ(dc.GetPixel(2, 3), kBlue);
    EXPECT_EQ(dc.GetPixel(10, 10), CLR_INVALID);

    // A region clip from a path.
    dc.SelectClipRgn(nullptr);
    dc.BeginPath();
    dc.Rectangle(22, 22, 28, 28);
    dc.EndPath();
    EXPECT_TRUE(dc.SelectClipPath(RGN_COPY));
    dc.FillRect(CRect(0, 0, 30, 30), CBrush(kGreen));
    EXPECT_EQ(At(image, 22, 22), kGreen);
    EXPECT_EQ(At(image, 26, 26), kGreen);
    EXPECT_EQ(At(image, 27, 27), kWhite);
    EXPECT_EQ(At(image, 21, 22), kWhite);
}

TEST(DC, FarCoordinatesDrawOnlyTheirVisiblePart)
{
    QImage image = MakeImage(20, 20, kWhite);
    CDC dc(image);
    dc.SelectObject(CPen(PS_DOT, 0, kBlack));
    dc.MoveTo(-1000000000, 5);
    dc.LineTo(1000000000, 5);
    // The dots keep their phase: x = 0 is step 1000000000, 4 into a period of 6.
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(At(image, x, 5), (x + 4) % 6 < 3 ? kBlack : kWhite) << x;
    EXPECT_EQ(At(image, 5, 4), kWhite);
    const CPoint huge[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {2000000000, 10}, {-2000000000, 10}};
    dc.SelectObject(CBrush(kBlue));
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.Polygon(huge, 4);
    EXPECT_EQ(At(image, 3, 3), kBlue);
    EXPECT_EQ(At(image, 3, 12), kWhite);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(100000, 100000);
    dc.SelectObject(GeometricPen(PS_SOLID, 2000000000, kRed));
    dc.MoveTo(0, 0);
    dc.LineTo(1, 1);
    EXPECT_EQ(At(image, 10, 10), kRed);
}

TEST(DC, WindowSurfaceCollectsWhatWasDrawn)
{
    CWindowSurface surface(100, 50);
    CRect reported;
    surface.SetChangeHandler([&](const CRect& r) { reported = r; });
    {
        CDC dc(surface);
        EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 100);
        EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 50);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
        EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
        EXPECT_FALSE(dc.IsPrinting());
        // A rubber band drawn twice in inverting mode leaves nothing.
        dc.SetROP2(R2_NOT);
        dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
        dc.Rectangle(10, 10, 30, 20);
        EXPECT_EQ(dc.GetPixel(10, 10), kBlack);
        dc.Rectangle(10, 10, 30, 20);
        EXPECT_EQ(dc.GetPixel(10, 10), kWhite);
    }
    EXPECT_FALSE(reported.IsRectEmpty());
    EXPECT_LE(reported.left, 10);
    EXPECT_GE(reported.right, 30);
    EXPECT_TRUE(surface.TakeChanged().IsRectEmpty());

    surface.Resize(120, 60);
    EXPECT_EQ(surface.Width(), 120);
    const CRect grown = surface.TakeChanged();
    EXPECT_EQ(grown, CRect(0, 0, 120, 60));
}

TEST(DC, DevicesWithoutDirectPixelsDrawThroughQt)
{
    // An image format the DC does not write itself stands for printers and
    // other paint devices: plain copying, the same dashes and fills.
    QImage image(40, 20, QImage::Format_ARGB4444_Premultiplied);
    image.fill(Qt::white);
    {
        CDC dc(image);
        EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
        dc.SelectObject(CPen(PS_DASH, 0, kBlack));
        dc.SetBkMode(TRANSPARENT);
        dc.MoveTo(0, 2);
        dc.LineTo(39, 2);
        dc.SelectObject(CBrush(kBlue));
        dc.Rectangle(2, 5, 12, 15);
        dc.SetPixel(30, 10, kRed);
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(At(rgb, 5, 2), kBlack);
    EXPECT_EQ(At(rgb, 20, 2), kWhite);
    EXPECT_EQ(At(rgb, 30, 2), kBlack);
    EXPECT_EQ(At(rgb, 2, 5), kBlack);
    EXPECT_EQ(At(rgb, 6, 9), kBlue);
    EXPECT_EQ(At(rgb, 12, 9), kWhite);
    EXPECT_EQ(At(rgb, 30, 10), kRed);
}
