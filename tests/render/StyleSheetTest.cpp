#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "layers/TrackStyle.h"
#include "platform/DC.h"
#include "render/LabelPainter.h"
#include "render/LinePainter.h"
#include "render/PointSymbolHook.h"
#include "render/StyleSamples.h"
#include "tests/render/FakeDrawingView.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// One sheet of labels and swatches as a user sees them, probed cell by cell
// and written to $DREL_SCREENSHOT_DIR/style-sheet.png when that is set.

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);

// A stand-in for the symbol library: a red disc with a black rim.
int DrawDisc(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    CSize radius(4, 4);
    dc.DPtoLP(&radius);
    const CPen pen(PS_SOLID, 0, RGB(0, 0, 0));
    const CBrush brush(style.color ? style.color : RGB(220, 0, 0));
    const CPen oldPen = dc.SelectObject(pen);
    const CBrush oldBrush = dc.SelectObject(brush);
    dc.Ellipse(x - radius.cx, y - radius.cy, x + radius.cx + 1, y + radius.cy + 1);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    return 1;
}

void Cross(CDC& dc, int x, int y)
{
    const CPen pen(PS_SOLID, 0, RGB(255, 0, 0));
    const CPen old = dc.SelectObject(pen);
    dc.MoveTo(x - 40, y);
    dc.LineTo(x + 41, y);
    dc.MoveTo(x, y - 40);
    dc.LineTo(x, y + 41);
    dc.SelectObject(old);
}

bool HasInk(const QImage& image, const CRect& r)
{
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, image.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, image.width()); ++x)
            if (At(image, x, y) != kPaper)
                return true;
    return false;
}

CSublayer Labels(int placement, int distance, uint32_t flags)
{
    CSublayer sublayer(0);
    sublayer.m_labelPlacement = static_cast<int16_t>(placement);
    sublayer.m_labelDistance = static_cast<int16_t>(distance);
    sublayer.m_labelFlags = flags;
    return sublayer;
}

} // namespace

TEST(StyleSheet, LabelPlacementsAndSwatchesOnOneSheet)
{
    NeedGuiApplication();
    SetPointSymbolDrawer(DrawDisc);
    CFakeDrawingView view(820, 640, kPaper);
    QImage& sheet = view.window;
    std::vector<CRect> cells; // in pixels, each must show something
    std::vector<CRect> placed;
    view.acceptLabel = [&](const CRect& r, int force) {
        CRect common;
        if (!force)
            for (const CRect& p : placed)
                if (common.IntersectRect(r, p))
                    return false;
        placed.push_back(r);
        return true;
    };

    {
        CDC dc(sheet);
        view.PrepareDCMapping(dc);
        // The nine fixed placements, framed, 2 mm from their anchors.
        const int fixed[9] = {10, 26, 2, 14, 30, 6, 8, 24, 0};
        for (int i = 0; i < 9; ++i) {
            const int x = 450 + i * 900, y = 600;
            Cross(dc, x, y);
            CLabelPainter painter(&view, dc);
            painter.SetLabelStyle(Labels(fixed[i], 79, CSublayer::kLabelFrame), 10000);
            EXPECT_EQ(painter.DrawLabel(x, y, std::to_string(fixed[i])), 1);
            cells.push_back(CRect(i * 90, 20, i * 90 + 90, 100));
        }

        // Automatic placement among crowded points: around each point, then
        // inside areas, with letter outlines over a dark ground.
        CSublayer around = Labels(CLabelPainter::kAroundPoint, 79, 0);
        around.m_labelStyle.font.lfWeight = FW_BOLD;
        {
            CLabelPainter painter(&view, dc);
            painter.SetLabelStyle(around, 10000);
            const char* names[] = {"Vilnius", "Kaunas", "Klaip\xEB" "da", "\xD0iauliai", "Panev\xEB\xFEys",
                                   "Alytus", "Marijampol\xEB", "Ma\xFE" "eikiai", "Utena", "Tel\xF0iai"};
            std::vector<CPoint> points;
            for (int i = 0; i < 10; ++i)
                points.emplace_back(700 + (i % 5) * 450, 1400 + (i / 5) * 250 + (i % 2) * 100);
            for (const CPoint& p : points)
                DrawDisc(dc, p.x, p.y, CPointStyle(), 0);
            int drawn = 0;
            for (int i = 0; i < 10; ++i)
                drawn += painter.DrawLabel(points[i].x, points[i].y, names[i]);
            EXPECT_GT(drawn, 5);
            EXPECT_LT(drawn, 10) << "some find no place";
        }
        cells.push_back(CRect(20, 120, 380, 220));

        dc.FillSolidRect(CRect(4000, 1200, 8000, 2400), RGB(30, 60, 110));
        CSublayer outlined = Labels(CLabelPainter::kInsideArea, 0, CSublayer::kLetterOutlines);
        outlined.m_labelStyle.color = RGB(0, 0, 0);
        outlined.m_labelStyle.font.lfHeight = -14;
        {
            CLabelPainter painter(&view, dc);
            painter.SetLabelStyle(outlined, 10000);
            EXPECT_EQ(painter.DrawLabel(6000, 1800, "Naujoji Akmen\xEB"), 1);
        }
        cells.push_back(CRect(400, 120, 800, 240));

        // Turned labels along lines, framed.
        CSublayer turned = Labels(0, 0, CSublayer::kLabelFrame);
        turned.m_labelFrameStyle.penColor = RGB(0, 120, 0);
        turned.m_labelFrameStyle.brushColor = RGB(255, 255, 200);
        CLabelPainter painter(&view, dc);
        painter.SetLabelStyle(turned, 10000);
        const int angles[5] = {0, 300, 450, 900, 1350};
        for (int i = 0; i < 5; ++i) {
            const int x = 900 + i * 1500, y = 3300;
            Cross(dc, x, y);
            const CSize size = painter.GetTextExtent("Nemunas");
            const double a = angles[i] * 3.14159265358979 / 1800;
            auto turn = [&](double dx, double dy) {
                return CPoint(x + static_cast<int>(std::lround(dx * std::cos(a) + dy * std::sin(a))),
                              y + static_cast<int>(std::lround(-dx * std::sin(a) + dy * std::cos(a))));
            };
            const CPoint corners[4] = {turn(0, 0), turn(size.cx, 0), turn(size.cx, size.cy), turn(0, size.cy)};
            EXPECT_EQ(painter.DrawRotatedText(x, y, "Nemunas", angles[i], corners), 1);
            cells.push_back(CRect(x / 10 - 10, y / 10 - 10, x / 10 + 10, y / 10 + 10));
        }
    }

    {
        // Swatches in pixels, as legend rows draw them.
        CDC dc(sheet);
        for (int code = 0; code <= 17; ++code) {
            const CRect r(10 + (code % 9) * 90, 420 + (code / 9) * 30, 90 + (code % 9) * 90, 444 + (code / 9) * 30);
            CDrawStyle line;
            line.penStyle = static_cast<uint32_t>(code);
            line.penWidth = 30;
            line.penColor = RGB(0, 0, 160);
            DrawLineSample(line, dc, r);
            // 5 draws nothing; 17 starts with a gap longer than a legend row.
            if (code != PS_NULL && code != 17)
                cells.push_back(r);
        }
        CDrawStyle road;
        road.penWidth = 90;
        road.penColor = RGB(60, 60, 60);
        CDrawStyle doubled = road;
        doubled.ComposeLines({0, 90, RGB(60, 60, 60)}, {0, 45, RGB(255, 210, 0)}, true);
        CDrawStyle dashedDouble = road;
        dashedDouble.ComposeLines({0, 90, RGB(60, 60, 60)}, {PS_DASH, 30, RGB(255, 255, 255)}, true);
        const CDrawStyle zigzags[3] = {road, doubled, dashedDouble};
        for (int i = 0; i < 3; ++i) {
            const CRect r(10 + i * 90, 490, 90 + i * 90, 530);
            DrawZigzagSample(zigzags[i], dc, r);
            cells.push_back(r);
        }
        CTrackStyle track;
        track.penWidth = 20;
        track.penColor = RGB(0, 160, 0);
        DrawSample(track, dc, CRect(280, 490, 360, 530));
        cells.push_back(CRect(280, 490, 360, 530));

        for (int i = 0; i < 9; ++i) {
            CDrawStyle fill;
            fill.penWidth = 10;
            fill.brushColor = RGB(120, 180, 240);
            if (i >= 1 && i <= 6) {
                fill.brushStyle = BS_HATCHED;
                fill.hatch = i - 1;
                fill.backMode = OPAQUE;
                fill.backColor = RGB(255, 255, 255);
            } else if (i > 6) {
                fill.brushStyle = BS_PATTERN;
                fill.hatch = i == 7 ? 21 : 27;
                fill.backColor = RGB(0, 90, 0);
            }
            const CRect r(10 + i * 90, 560, 90 + i * 90, 620);
            DrawFillSample(fill, dc, r);
            cells.push_back(r);
        }
    }
    SetPointSymbolDrawer(nullptr);

    for (const CRect& cell : cells)
        EXPECT_TRUE(HasInk(sheet, cell)) << cell.left << "," << cell.top;
    if (const char* folder = std::getenv("DREL_SCREENSHOT_DIR"))
        sheet.save(QDir(QString::fromLocal8Bit(folder)).filePath("style-sheet.png"));
}
