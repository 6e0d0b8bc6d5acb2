#include "platform/DC.h"
#include "tests/platform/ImageProbe.h"
#include "tests/platform/QtReference.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

// Polygon fills, which the DC works out itself, against what Qt drew for
// it before, pixel for pixel.

namespace {

// Qt's aliased fill of the rings in black on white.
QImage QtFill(int width, int height, const std::vector<Ring>& rings, bool winding)
{
    QImage image = MakeImage(width, height, kWhite);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path = ShiftedPath(rings, true);
    path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(path);
    return image;
}

QImage DcFill(int width, int height, const std::vector<Ring>& rings, bool winding)
{
    QImage image = MakeImage(width, height, kWhite);
    CDC dc(image);
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(CBrush(kBlack));
    dc.SetPolyFillMode(winding ? WINDING : ALTERNATE);
    std::vector<CPoint> points;
    std::vector<int> counts;
    for (const Ring& ring : rings) {
        points.insert(points.end(), ring.begin(), ring.end());
        counts.push_back(static_cast<int>(ring.size()));
    }
    if (rings.size() == 1)
        dc.Polygon(points.data(), counts[0]);
    else
        dc.PolyPolygon(points.data(), counts.data(), static_cast<int>(counts.size()));
    return image;
}

// A comb of n teeth one pixel wide and one apart, hanging from a spine
// two rows high along the bottom: every tooth edge crosses every row above it.
Ring Comb(int teeth, int height)
{
    Ring ring{{0, height}};
    for (int i = 0; i < teeth; ++i)
        ring.insert(ring.end(), {{2 * i, 0}, {2 * i + 1, 0}, {2 * i + 1, height - 2}, {2 * i + 2, height - 2}});
    ring.push_back(CPoint(2 * teeth + 2, height));
    return ring;
}

} // namespace

TEST(DCFill, CombOfFortyThousandTeethFillsEveryTooth)
{
    constexpr int kTeeth = 40000;
    constexpr int kHeight = 12;
    const Ring comb = Comb(kTeeth, kHeight);
    // The same teeth as separate rings of one PolyPolygon, without the spine.
    std::vector<CPoint> bars;
    std::vector<int> counts;
    for (int i = 0; i < kTeeth; ++i) {
        bars.insert(bars.end(), {{2 * i, 0}, {2 * i + 1, 0}, {2 * i + 1, kHeight - 2}, {2 * i, kHeight - 2}});
        counts.push_back(4);
    }
    for (int mode : {ALTERNATE, WINDING}) {
        for (bool polyPolygon : {false, true}) {
            SCOPED_TRACE(std::string(mode == WINDING ? "WINDING" : "ALTERNATE") +
                         (polyPolygon ? " PolyPolygon" : " Polygon"));
            QImage image = MakeImage(2 * kTeeth + 2, kHeight, kWhite);
            {
                CDC dc(image);
                dc.SelectObject(CPen::FromStock(NULL_PEN));
                dc.SelectObject(CBrush(kBlue));
                dc.SetPolyFillMode(mode);
                if (polyPolygon)
                    ASSERT_TRUE(dc.PolyPolygon(bars.data(), counts.data(), kTeeth));
                else
                    ASSERT_TRUE(dc.Polygon(comb.data(), static_cast<int>(comb.size())));
            }
            for (int y : {0, kHeight / 2, kHeight - 3})
                for (int x = 0; x < 2 * kTeeth; ++x)
                    ASSERT_EQ(At(image, x, y), x % 2 == 0 ? kBlue : kWhite) << x << ", " << y;
            for (int x : {1, kTeeth, 2 * kTeeth - 1})
                EXPECT_EQ(At(image, x, kHeight - 1), polyPolygon ? kWhite : kBlue) << "spine at " << x;
        }
    }
}

TEST(DCFill, PolygonsFillPixelForPixelAsQtFilledThem)
{
    // Seeded random rings: small and large, crossing themselves and each
    // other, reaching past the picture, some of them very far.
    std::mt19937 random(20240917);
    int drawings = 0;
    for (int trial = 0; trial < 240; ++trial) {
        const int width = 40 + static_cast<int>(random() % 160), height = 40 + static_cast<int>(random() % 160);
        const int spread = trial % 3 == 0 ? 2000 : (trial % 3 == 1 ? 400 : 40);
        std::uniform_int_distribution<int> coordinate(-spread / 4, spread);
        std::vector<Ring> rings(1 + random() % 3);
        for (Ring& ring : rings) {
            const int n = 2 + static_cast<int>(random() % (trial % 5 == 0 ? 200 : 10));
            for (int i = 0; i < n; ++i)
                ring.push_back(CPoint(coordinate(random) * width / spread, coordinate(random) * height / spread));
            if (trial % 7 == 0)
                for (CPoint& p : ring)
                    p = CPoint(p.x * 37 - 5000, p.y * 23 - 3000);
        }
        const bool winding = trial % 2 == 1;
        SCOPED_TRACE("trial " + std::to_string(trial));
        ASSERT_EQ(Differences(DcFill(width, height, rings, winding), QtFill(width, height, rings, winding)), 0);
        ++drawings;
    }
    EXPECT_EQ(drawings, 240);
}

TEST(DCFill, BrushesAndRasterOperationsOfPolygonsMatchThoseOfRectangles)
{
    // A polygon covering what a rectangle with the null pen fills gets the
    // same pixels from every brush, background mode and raster operation:
    // rectangles are still filled through Qt.
    std::mt19937 random(5);
    QImage noise(48, 40, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    std::vector<CBrush> brushes = {CBrush(RGB(200, 30, 90))};
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch)
        brushes.push_back(CBrush(hatch, RGB(20, 220, 60)));
    CBrush pattern;
    pattern.CreatePatternBrush({0xF0, 0x0F, 0xCC, 0x33, 0xAA, 0x55, 0x81, 0x7E});
    brushes.push_back(pattern);
    const CRect box(3, 5, 41, 33);
    const CPoint corners[] = {{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                              {box.left, box.bottom - 1}};
    for (std::size_t b = 0; b < brushes.size(); ++b)
        for (int bkMode : {OPAQUE, TRANSPARENT})
            for (int rop : {R2_COPYPEN, R2_XORPEN, R2_MASKPEN, R2_NOT, R2_MERGENOTPEN})
                for (CPoint origin : {CPoint(0, 0), CPoint(3, 6)}) {
                    SCOPED_TRACE("brush " + std::to_string(b) + " mode " + std::to_string(bkMode) + " rop " +
                                 std::to_string(rop) + " origin " + std::to_string(origin.x));
                    QImage polygon = noise.copy(), rectangle = noise.copy();
                    for (QImage* image : {&polygon, &rectangle}) {
                        CDC dc(*image);
                        dc.SelectObject(CPen::FromStock(NULL_PEN));
                        dc.SelectObject(brushes[b]);
                        dc.SetBkMode(bkMode);
                        dc.SetBkColor(RGB(250, 240, 10));
                        dc.SetTextColor(RGB(10, 20, 250));
                        dc.SetROP2(rop);
                        dc.SetBrushOrg(origin.x, origin.y);
                        if (image == &polygon)
                            dc.Polygon(corners, 4);
                        else
                            dc.Rectangle(box);
                    }
                    ASSERT_EQ(Differences(polygon, rectangle), 0);
                }
}

TEST(DCFill, DevicesWithoutDirectPixelsGetTheSameFill)
{
    // Raster devices the DC does not write itself get the rows of pixels as
    // rectangles: the same pixels as Qt's fill in that format.
    const std::vector<Ring> rings = {{{5, 3}, {70, 20}, {12, 50}, {60, 55}, {30, 2}}, {{20, 20}, {40, 20}, {30, 40}}};
    for (bool winding : {false, true}) {
        QImage dcImage(80, 60, QImage::Format_RGB16), qtImage(80, 60, QImage::Format_RGB16);
        dcImage.fill(Qt::white);
        qtImage.fill(Qt::white);
        {
            CDC dc(dcImage);
            dc.SelectObject(CPen::FromStock(NULL_PEN));
            dc.SelectObject(CBrush(RGB(0, 128, 255)));
            dc.SetPolyFillMode(winding ? WINDING : ALTERNATE);
            const CPoint points[] = {rings[0][0], rings[0][1], rings[0][2], rings[0][3], rings[0][4],
                                     rings[1][0], rings[1][1], rings[1][2]};
            const int counts[] = {5, 3};
            dc.PolyPolygon(points, counts, 2);
        }
        {
            QPainter painter(&qtImage);
            QPainterPath path = ShiftedPath(rings, true);
            path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 128, 255));
            painter.drawPath(path);
        }
        EXPECT_EQ(Differences(dcImage, qtImage), 0) << (winding ? "WINDING" : "ALTERNATE");
        int painted = 0;
        for (int y = 0; y < dcImage.height(); ++y)
            for (int x = 0; x < dcImage.width(); ++x)
                painted += dcImage.pixel(x, y) != dcImage.pixel(0, 0);
        EXPECT_GT(painted, 500);
    }
}

TEST(DCFill, PolygonRegionsHoldThePixelsTheFillCovers)
{
    std::mt19937 random(77);
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        std::uniform_int_distribution<int> coordinate(-20, 120);
        std::vector<Ring> rings(1 + random() % 3);
        std::vector<CPoint> points;
        std::vector<int> counts;
        for (Ring& ring : rings) {
            const int n = 3 + static_cast<int>(random() % 12);
            for (int i = 0; i < n; ++i)
                ring.push_back(CPoint(coordinate(random), coordinate(random)));
            points.insert(points.end(), ring.begin(), ring.end());
            counts.push_back(n);
        }
        const bool winding = trial % 2 == 0;
        const QImage filled = DcFill(100, 100, rings, winding);
        CRgn region;
        ASSERT_TRUE(region.CreatePolyPolygonRgn(points.data(), counts.data(), static_cast<int>(counts.size()),
                                                winding ? WINDING : ALTERNATE));
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(region.PtInRegion(x, y), At(filled, x, y) == kBlack) << x << ", " << y;
    }
    // A rectangle stays one rectangle; a comb of 40,000 teeth has them all.
    CRgn box;
    const CPoint corners[] = {{2, 3}, {12, 3}, {12, 9}, {2, 9}};
    EXPECT_EQ(box.CreatePolygonRgn(corners, 4, ALTERNATE), true);
    CRect bounds;
    EXPECT_EQ(box.GetRgnBox(&bounds), SIMPLEREGION);
    EXPECT_EQ(bounds, CRect(2, 3, 12, 9));
    const Ring comb = Comb(40000, 12);
    CRgn teeth;
    ASSERT_TRUE(teeth.CreatePolygonRgn(comb.data(), static_cast<int>(comb.size()), WINDING));
    EXPECT_EQ(teeth.GetRgnBox(&bounds), COMPLEXREGION);
    EXPECT_EQ(bounds, CRect(0, 0, 80001, 12));
    for (int x = 0; x < 80000; x += 997)
        for (int y : {0, 5, 9})
            EXPECT_EQ(teeth.PtInRegion(x, y), x % 2 == 0) << x << ", " << y;
    EXPECT_TRUE(teeth.PtInRegion(40001, 11));
}
