#include "render/StyleSamples.h"

#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"
#include "layers/ThemeClassList.h"
#include "layers/TrackStyle.h"
#include "platform/DC.h"
#include "render/AreaPainter.h"
#include "render/LinePainter.h"
#include "render/PointSymbolHook.h"
#include "render/SavedDC.h"

#include <vector>

namespace {

CRect Normalized(CRect rect)
{
    rect.NormalizeRect();
    return rect;
}

void DrawPens(const CDrawStyle& style, CDC& dc, CPoint* points, int count)
{
    CSavedDC kept(dc);
    dc.SetBkMode(TRANSPARENT);
    CLinePainter painter(dc);
    painter.SetStyle(style.FirstPen());
    std::vector<CPoint> line(points, points + count); // drawing may thin the points in place
    painter.DrawPolyline(line.data(), count);
    if (style.IsDoubleLine()) {
        painter.SetStyle(style.SecondPen());
        painter.DrawPolyline(points, count);
    }
}

} // namespace

void DrawSample(const CPointStyle& style, CDC& dc, const CRect& rect)
{
    const CPoint centre = Normalized(rect).CenterPoint();
    CSavedDC kept(dc);
    DrawPointSymbol(dc, centre.x, centre.y, style, 0);
}

void DrawTrackLineSample(const CTrackStyle& style, CDC& dc, const CRect& rect)
{
    if (!style.lineShown)
        return;
    CDrawStyle line;
    line.penStyle = static_cast<uint32_t>(style.penStyle);
    line.penWidth = static_cast<uint32_t>(style.penWidth);
    line.penColor = style.penColor;
    line.backColor = style.backColor;
    DrawLineSample(line, dc, rect);
}

void DrawSample(const CTrackStyle& style, CDC& dc, const CRect& rect)
{
    DrawTrackLineSample(style, dc, rect);
    CPointStyle symbol;
    symbol.symbol = static_cast<uint16_t>(style.symbol);
    DrawSample(symbol, dc, rect);
}

void DrawLineSample(const CDrawStyle& style, CDC& dc, const CRect& rect)
{
    const CRect r = Normalized(rect);
    const int inset = r.Width() / 10;
    const int y = r.top + r.Height() / 2;
    CPoint points[2] = {{r.left + inset, y}, {r.right - inset, y}};
    DrawPens(style.FirstPen(), dc, points, 2);
}

void DrawZigzagSample(const CDrawStyle& style, CDC& dc, const CRect& rect)
{
    const CRect r = Normalized(rect);
    const int left = r.left + r.Width() / 10;
    const int right = r.right - r.Width() / 10;
    const int high = r.top + r.Height() / 4;
    const int low = r.bottom - r.Height() / 4;
    const int step = (right - left) / 3;
    CPoint points[4] = {{left, low}, {left + step, high}, {right - step, low}, {right, high}};
    DrawPens(style, dc, points, 4);
}

void DrawFillSample(const CDrawStyle& style, CDC& dc, const CRect& rect)
{
    CRect r = Normalized(rect);
    r.DeflateRect(r.Width() / 10, r.Height() / 10);
    CSavedDC kept(dc);
    CAreaPainter painter(dc);
    painter.SetStyle(style);
    // The pattern starts at the swatch's corner, wherever the swatch lies.
    CPoint corner = r.TopLeft();
    dc.LPtoDP(&corner);
    dc.SetBrushOrg(((corner.x % 8) + 8) % 8, ((corner.y % 8) + 8) % 8);
    painter.DrawRect(r);
}

void DrawClassSample(const CThemeClassList& classes, int geometryType, int index, CDC& dc, const CRect& rect)
{
    const CThemeClass* themeClass = classes.GetClass(index);
    if (!themeClass)
        return;
    switch (CThemeClassList::StyleTypeOf(geometryType)) {
    case CThemeClassList::kPointStyle:
        DrawSample(themeClass->m_style.Point(), dc, rect);
        break;
    case CThemeClassList::kLineStyle:
        DrawZigzagSample(themeClass->m_style.Draw(), dc, rect);
        break;
    case CThemeClassList::kAreaStyle:
        DrawFillSample(themeClass->m_style.Draw(), dc, rect);
        break;
    default:
        break;
    }
}
