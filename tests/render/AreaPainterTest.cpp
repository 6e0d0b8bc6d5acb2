#include "render/AreaPainter.h"

#include "core/DeviceGeometry.h"
#include "platform/DC.h"
#include "render/PatternBrushes.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The fill patterns, rows top first, leftmost pixel in the high bit.
const char* const kPatternRows =
    "FF DD FF 77 FF DD FF 77|BB EE BB EE BB EE BB EE|AA 55 AA 55 AA 55 AA 55|00 55 00 55 00 55 00 55|"
    "11 44 11 44 11 44 11 44|00 44 00 11 00 44 00 11|40 00 04 00 40 00 04 00|00 00 00 00 00 04 00 00|"
    "11 11 11 11 11 11 11 11|00 FF 00 FF 00 FF 00 FF|00 00 FF 00 00 00 FF 00|33 33 33 33 33 33 33 33|"
    "30 30 30 30 30 30 30 30|00 00 FF FF 00 00 FF FF|00 00 FF FF 00 00 00 00|44 22 11 88 44 22 11 88|"
    "88 11 22 44 88 11 22 44|66 33 99 CC 66 33 99 CC|C0 60 30 18 0C 06 03 81|33 66 CC 99 33 66 CC 99|"
    "03 06 0C 18 30 60 C0 81|00 18 24 42 42 24 18 00|D8 C6 06 60 6C 8D 81 18|10 80 04 20 02 40 08 01|"
    "40 FF 04 04 04 FF 40 40|44 88 00 00 22 11 00 00|22 14 08 08 08 14 22 C9|A3 C7 8B 11 B8 7C 3A 11|"
    "02 AA 50 20 20 AA 05 02|FD 85 85 85 85 FD 00 FD|00 55 00 40 00 44 00 40|02 04 0E 11 E0 40 80 01|"
    "00 44 A0 11 0A 44 00 55|00 20 50 00 00 02 05 00|08 18 24 42 81 60 10 08|F1 40 40 A0 1F 04 04 0A|"
    "40 80 01 A2 55 FF 10 20|7C BB C4 C7 C7 BB 4C 7C|10 28 54 AA 54 28 10 00|81 42 24 18 81 42 24 18|"
    "00 F8 00 00 00 8F 00 00|40 E0 40 40 04 0E 04 04|60 F0 F0 60 00 00 00 00";

std::vector<std::vector<int>> PatternTable()
{
    std::vector<std::vector<int>> table;
    std::istringstream rows(kPatternRows);
    std::string row;
    while (std::getline(rows, row, '|')) {
        std::istringstream bytes(row);
        std::string word;
        table.emplace_back();
        while (bytes >> word)
            table.back().push_back(std::stoi(word, nullptr, 16));
    }
    return table;
}

CDrawStyle AreaStyle(int penStyle, int width, COLORREF pen, int brushStyle, COLORREF brush)
{
    CDrawStyle style;
    style.penStyle = static_cast<std::uint32_t>(penStyle);
    style.penWidth = static_cast<std::uint32_t>(width);
    style.penColor = pen;
    style.brushStyle = brushStyle;
    style.brushColor = brush;
    return style;
}

} // namespace

// Every pattern, bit for bit, with its 1 bits in the brush colour and its
// 0 bits in the background colour, anchored at the logical origin wherever
// the viewport puts it; the second context gets the same.
TEST(AreaPainter, PatternBrushesMatchTheTableAndStayOnTheLogicalOrigin)
{
    const std::vector<std::vector<int>> table = PatternTable();
    ASSERT_EQ(table.size(), static_cast<std::size_t>(kPatternBrushCount));
    const CPoint origins[3] = {{0, 0}, {3, 5}, {-11, 6}};
    for (int n = 0; n < kPatternBrushCount; ++n) {
        ASSERT_EQ(table[static_cast<std::size_t>(n)].size(), 8u);
        ASSERT_TRUE(GetPatternBrush(n).GetBits() ==
                    (CBrush::Pattern{static_cast<std::uint8_t>(table[n][0]), static_cast<std::uint8_t>(table[n][1]),
                                     static_cast<std::uint8_t>(table[n][2]), static_cast<std::uint8_t>(table[n][3]),
                                     static_cast<std::uint8_t>(table[n][4]), static_cast<std::uint8_t>(table[n][5]),
                                     static_cast<std::uint8_t>(table[n][6]), static_cast<std::uint8_t>(table[n][7])}))
            << "pattern " << n;
        for (const CPoint& origin : origins) {
            SCOPED_TRACE("pattern " + std::to_string(n) + ", origin " + std::to_string(origin.x) + "," +
                         std::to_string(origin.y));
            QImage first = MakeImage(24, 24, kGrey);
            QImage second = MakeImage(24, 24, kGrey);
            {
                CDC dc(first), dc2(second);
                dc.SetViewportOrg(origin);
                dc2.SetViewportOrg(origin.x + 1, origin.y + 2);
                CAreaPainter painter(dc, &dc2);
                CDrawStyle style = AreaStyle(PS_NULL, 0, kBlack, BS_PATTERN, kRed);
                style.hatch = n;
                style.backColor = kBlue;
                painter.SetStyle(style);
                for (CDC* context : {&dc, &dc2}) {
                    CPoint corner(2, 2);
                    context->DPtoLP(&corner);
                    CAreaPainter(*context).DrawRect(CRect(corner.x, corner.y, corner.x + 20, corner.y + 20));
                }
            }
            auto expected = [&](int x, int y, CPoint o) {
                const int lx = ((x - o.x) % 8 + 8) % 8, ly = ((y - o.y) % 8 + 8) % 8;
                return table[static_cast<std::size_t>(n)][static_cast<std::size_t>(ly)] & (0x80 >> lx) ? kRed : kBlue;
            };
            int wrong = 0;
            for (int y = 2; y < 20; ++y)
                for (int x = 2; x < 20; ++x) {
                    wrong += At(first, x, y) != expected(x, y, origin);
                    wrong += At(second, x, y) != expected(x, y, CPoint(origin.x + 1, origin.y + 2));
                }
            EXPECT_EQ(wrong, 0);
        }
    }
    EXPECT_EQ(GetPatternBrush(43).GetSafeHandle(), nullptr);
    EXPECT_EQ(GetPatternBrush(-1).GetSafeHandle(), nullptr);
}

// A dashed, dotted or marked outline is drawn after a fill made without a
// pen, over the closed rings.
TEST(AreaPainter, SpecialOutlinesFollowAFillWithoutAPen)
{
    const std::vector<CPoint> square = {{10, 10}, {50, 10}, {50, 50}, {10, 50}};
    struct Probe {
        int x, y;
        COLORREF colour;
        const char* what;
    };
    struct Case {
        const char* name;
        int code;
        int width;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"dashes 8 on 4 off along the top",
         1,
         21,
         {{12, 9, kRed, "a dash"}, {19, 9, kWhite, "a gap outside: no plain outline"},
          {19, 10, kGreen, "a gap inside: filled"}, {30, 30, kGreen, "inside"}}},
        {"dashes along the closing edge too", 1, 21, {{9, 46, kRed, "a dash"}, {9, 38, kWhite, "a gap"}}},
        {"dots", 9, 10, {{10, 10, kRed, "a dot"}, {11, 10, kGreen, "no outline between dots"}, {9, 12, kWhite, ""}}},
        {"arrows in the line's colour", 12, 52, {{10, 5, kRed, "the tip outside"}, {13, 20, kRed, "over the fill"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = MakeImageAt(60, 60, 96);
        {
            CDC dc(image);
            CAreaPainter painter(dc);
            painter.SetStyle(AreaStyle(c.code, c.width, kRed, BS_SOLID, kGreen));
            std::vector<CPoint> ring = square;
            painter.DrawPolygon(ring.data(), 4);
        }
        for (const Probe& p : c.probes)
            EXPECT_EQ(At(image, p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
    }
}

// Thinned areas of any size are drawn (the old platform stopped at 30000
// points), their parts closed up behind each other.
TEST(AreaPainter, DrawsAreasOfManyPointsAfterThinning)
{
    // 64 logical units a pixel: a ring of 40000 points 200 pixels across
    // whose radius zigzags by a quarter pixel, and a small square beside it.
    std::vector<CPoint> points;
    for (int i = 0; i < 40000; ++i) {
        const double t = 2 * std::numbers::pi * i / 40000;
        const double r = 12800 + (i % 2) * 16;
        points.emplace_back(static_cast<int>(std::lround(13440 + r * std::cos(t))),
                            static_cast<int>(std::lround(13440 + r * std::sin(t))));
    }
    const std::vector<CPoint> square = {{25000, 1000}, {26000, 1000}, {26000, 2000}, {25000, 2000}};
    points.insert(points.end(), square.begin(), square.end());
    const int counts[2] = {40000, 4};

    QImage image = MakeImageAt(420, 420, 96);
    {
        CDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(64, 64);
        dc.SetViewportExt(1, 1);
        std::vector<CPoint> thinned(points.size());
        ASSERT_GT(SimplifyDevicePolyline(points.data(), thinned.data(), 40000, 1), 30000)
            << "the area must keep more than 30000 points";
        CAreaPainter painter(dc);
        painter.SetStyle(AreaStyle(PS_NULL, 0, kBlack, BS_SOLID, kGreen));
        EXPECT_TRUE(painter.DrawPolyPolygon(points.data(), counts, 2));
    }
    EXPECT_EQ(At(image, 210, 210), kGreen);
    EXPECT_EQ(At(image, 210, 15), kGreen);
    EXPECT_EQ(At(image, 398, 23), kGreen) << "the part after the thinned one";
    EXPECT_EQ(At(image, 5, 5), kWhite);
}

TEST(AreaPainter, FillStylesTakePixelWidthsHatchNumbersAndFillValues)
{
    struct Case {
        const char* name;
        CFillStyle fill;
        std::uint32_t brushStyle;
        int hatch;
        std::uint32_t penStyle;
        int penWidth;
    };
    auto fill = [](double value, int hatch, bool outline, double width) {
        CFillStyle f;
        f.fill = value;
        f.hatch = hatch;
        f.outline = outline;
        f.width = width;
        f.fillColor = kGreen;
        return f;
    };
    // 1000 dpi: thousandths are pixels, so 2.6 px truncated is 2.
    const std::vector<Case> cases = {
        {"solid", fill(1, 0, true, 2.6), BS_SOLID, 0, PS_SOLID, 2},
        {"hatch number 3 is hatch 2", fill(0.5, 3, true, 1), BS_HATCHED, HS_FDIAGONAL, PS_SOLID, 1},
        {"fill 0: none, whatever the hatch", fill(0, 3, true, 1), BS_NULL, 0, PS_SOLID, 1},
        {"no outline", fill(1, 0, false, 3), BS_SOLID, 0, PS_NULL, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = MakeImageAt(10, 10, 1000);
        CDC dc(image);
        dc.SetBkMode(OPAQUE);
        CAreaPainter painter(dc);
        painter.SetFillStyle(c.fill);
        EXPECT_EQ(dc.GetCurrentBrush().GetStyle(), c.brushStyle);
        if (c.brushStyle == BS_HATCHED) {
            EXPECT_EQ(dc.GetCurrentBrush().GetHatch(), c.hatch);
        }
        EXPECT_EQ(dc.GetCurrentPen().GetStyle(), c.penStyle);
        EXPECT_EQ(dc.GetCurrentPen().GetWidth(), c.penWidth);
        EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    }
}

TEST(AreaPainter, RectanglesStopOneShortAndBrushesComeBack)
{
    QImage image = MakeImage(12, 12);
    CDC dc(image);
    const CBrush before(kBlue);
    dc.SelectObject(before);
    dc.SetTextColor(kRed);
    {
        CAreaPainter painter(dc);
        painter.SetStyle(AreaStyle(PS_SOLID, 0, kBlack, BS_SOLID, kGreen));
        painter.DrawRect(CRect(2, 2, 9, 9));
    }
    EXPECT_EQ(PixelArt(image), Rows({"............",
                                     "............",
                                     "..#######...",
                                     "..#ggggg#...",
                                     "..#ggggg#...",
                                     "..#ggggg#...",
                                     "..#ggggg#...",
                                     "..#ggggg#...",
                                     "..#######...",
                                     "............",
                                     "............",
                                     "............"}));
    EXPECT_TRUE(dc.GetCurrentBrush() == before);
    EXPECT_EQ(dc.GetTextColor(), kBlack);
}
