#include "render/AreaPainter.h"

#include "platform/DC.h"
#include "render/PatternBrushes.h"

#include <vector>

namespace {

// A brush origin within one pattern cell.
int CellOffset(int v)
{
    return ((v % 8) + 8) % 8;
}

} // namespace

CAreaPainter::CAreaPainter(CDC& dc, CDC* second) : CLinePainter(dc, second) {}

CAreaPainter::~CAreaPainter()
{
    ReleaseBrush();
}

void CAreaPainter::ReleaseBrush()
{
    if (!m_fill.GetSafeHandle())
        return;
    CDC* contexts[2] = {&m_dc, m_second};
    for (int i = 0; i < 2; ++i) {
        if (!contexts[i])
            continue;
        contexts[i]->SelectObject(m_beforeFill[i]);
        contexts[i]->SetTextColor(RGB(0, 0, 0));
    }
    m_fill = CBrush();
    m_beforeFill[0] = m_beforeFill[1] = CBrush();
}

void CAreaPainter::SetStyle(const CDrawStyle& style)
{
    ReleaseBrush();
    CLinePainter::SetStyle(style);
    const bool pattern = style.brushStyle == static_cast<std::int32_t>(BS_PATTERN);
    m_fill = MakeFillBrush(style);
    SelectFill(m_dc, 0, style, pattern);
    if (m_second)
        SelectFill(*m_second, 1, style, pattern);
}

CBrush CAreaPainter::MakeFillBrush(const CDrawStyle& style)
{
    CBrush fill;
    if (style.brushStyle == static_cast<std::int32_t>(BS_PATTERN)) {
        fill = GetPatternBrush(style.hatch);
    } else {
        const LOGBRUSH brush{static_cast<std::uint32_t>(style.brushStyle), style.brushColor,
                             static_cast<std::uint32_t>(style.hatch)};
        if (!fill.CreateBrushIndirect(brush)) {
            // A hatch the interface does not know still fills; a brush
            // style it does not know leaves the inside alone.
            if (brush.lbStyle == BS_HATCHED)
                fill.CreateSolidBrush(style.brushColor);
        }
    }
    if (!fill.GetSafeHandle())
        fill = CBrush::FromStock(NULL_BRUSH);
    return fill;
}

void CAreaPainter::SelectFill(CDC& dc, int index, const CDrawStyle& style, bool pattern)
{
    if (pattern && m_fill.GetStyle() == BS_PATTERN) {
        // The pattern stays put under the logical origin.
        CPoint origin(0, 0);
        dc.LPtoDP(&origin);
        dc.SetBrushOrg(CellOffset(origin.x), CellOffset(origin.y));
        m_beforeFill[index] = dc.SelectObject(m_fill);
        dc.SetTextColor(style.backColor);
        dc.SetBkColor(style.brushColor);
        return;
    }
    m_beforeFill[index] = dc.SelectObject(m_fill);
    dc.SetBkMode(style.backMode);
    dc.SetBkColor(style.backColor);
}

void CAreaPainter::SetFillStyle(const CFillStyle& fill)
{
    CDrawStyle style;
    style.penStyle = static_cast<std::uint32_t>(fill.outline ? fill.penStyle : static_cast<int>(PS_NULL));
    style.penWidth = static_cast<std::uint32_t>(ToThousandths(fill.width));
    style.penColor = fill.penColor;
    style.brushColor = fill.fillColor;
    if (!(fill.fill != 0))
        style.brushStyle = BS_NULL;
    else if (fill.hatch > 0)
        style.brushStyle = BS_HATCHED;
    else
        style.brushStyle = BS_SOLID;
    style.hatch = fill.hatch > 0 ? fill.hatch - 1 : 0;
    style.backColor = RGB(255, 255, 255);
    style.backMode = TRANSPARENT;
    SetStyle(style);
}

bool CAreaPainter::DrawPolyPolygon(CPoint* points, const int* counts, int partCount)
{
    std::vector<int> parts;
    return PartCounts(points, counts, partCount, parts) && DrawRings(points, parts.data(), partCount);
}

bool CAreaPainter::DrawPolyPolygon(CPoint* points, const std::uint32_t* counts, int partCount)
{
    std::vector<int> parts;
    return PartCounts(points, counts, partCount, parts) && DrawRings(points, parts.data(), partCount);
}

bool CAreaPainter::DrawPolygon(CPoint* points, int count)
{
    return DrawPolyPolygon(points, &count, 1);
}

bool CAreaPainter::DrawRect(const CRect& rect)
{
    CPoint corners[5] = {CPoint(rect.left, rect.top), CPoint(rect.right - 1, rect.top),
                         CPoint(rect.right - 1, rect.bottom - 1), CPoint(rect.left, rect.bottom - 1),
                         CPoint(rect.left, rect.top)};
    return DrawPolygon(corners, 5);
}

bool CAreaPainter::DrawRings(CPoint* points, int* counts, int partCount)
{
    std::int64_t total = 0;
    for (int i = 0; i < partCount; ++i)
        total += counts[i];
    // Big areas are thinned like lines, and drawn however many points
    // they keep.
    if (total > kThinAbove) {
        std::vector<int> starts(static_cast<std::size_t>(partCount));
        for (int i = 0, at = 0; i < partCount; at += counts[i], ++i)
            starts[static_cast<std::size_t>(i)] = at;
        ThinParts(points, counts, partCount);
        // The parts close up again behind each other.
        int at = 0;
        for (int i = 0; i < partCount; ++i) {
            std::copy(points + starts[static_cast<std::size_t>(i)],
                      points + starts[static_cast<std::size_t>(i)] + counts[i], points + at);
            at += counts[i];
        }
    }

    const bool special = HasSpecialOutline();
    CPen before[2];
    if (special) {
        before[0] = m_dc.SelectObject(CPen::FromStock(NULL_PEN));
        if (m_second)
            before[1] = m_second->SelectObject(CPen::FromStock(NULL_PEN));
    }
    bool drawn;
    if (partCount == 1) {
        drawn = m_dc.Polygon(points, counts[0]);
        if (m_second)
            m_second->Polygon(points, counts[0]);
    } else {
        drawn = m_dc.PolyPolygon(points, counts, partCount);
        if (m_second)
            m_second->PolyPolygon(points, counts, partCount);
    }
    if (!special)
        return drawn;

    m_dc.SelectObject(before[0]);
    if (m_second)
        m_second->SelectObject(before[1]);
    // The outline's dots and marks take the line's own brush.
    if (HasLineBrush())
        SelectBoth(LineBrush());
    // Rings close implicitly; drawn as lines they need their closing edge.
    m_outline.clear();
    m_outlineCounts.assign(counts, counts + partCount);
    const CPoint* ring = points;
    for (int i = 0; i < partCount; ++i) {
        const int n = counts[i];
        m_outline.insert(m_outline.end(), ring, ring + n);
        if (n >= 2 && !(ring[n - 1] == ring[0])) {
            m_outline.push_back(ring[0]);
            ++m_outlineCounts[static_cast<std::size_t>(i)];
        }
        ring += n;
    }
    m_thin = false;
    DrawPolyPolyline(m_outline.data(), m_outlineCounts.data(), partCount);
    m_thin = true;
    if (m_fill.GetSafeHandle())
        SelectBoth(m_fill);
    return drawn;
}
