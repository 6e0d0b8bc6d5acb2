#pragma once

#include "render/LinePainter.h"

#include "platform/Rect.h"

#include <vector>

// The look of an area given piece by piece rather than as a style record.
struct CFillStyle {
    int penStyle = PS_SOLID;
    bool outline = true;
    double width = 1; // device pixels
    COLORREF penColor = RGB(0, 0, 0);
    COLORREF fillColor = RGB(255, 255, 255);
    double fill = 1;  // 0: not filled
    int hatch = 0;    // hatch number from 1 (hatch n - 1); 0 a solid fill
};

// Draws areas in the look of an area style record: the outline as the line
// painter draws lines, the inside with the record's brush (solid, hatched,
// or one of the pattern brushes, which stay aligned to the logical origin
// however the view scrolls). A styled outline that takes more than one
// pen (dashes, dots, marks, double lines) is drawn after the fill.
class CAreaPainter : public CLinePainter {
public:
    CAreaPainter(CDC& dc, CDC* second = nullptr);
    ~CAreaPainter() override;

    void SetStyle(const CDrawStyle& style);
    void SetFillStyle(const CFillStyle& fill);
    // Selects the brush that was there before the fill brush back.
    void ReleaseBrush();

    bool DrawPolyPolygon(CPoint* points, const int* counts, int partCount);
    bool DrawPolyPolygon(CPoint* points, const std::uint32_t* counts, int partCount);
    bool DrawPolygon(CPoint* points, int count);
    // The rectangle without its right and bottom edges, as a polygon.
    bool DrawRect(const CRect& rect);

    // The inside's brush of a style: solid, hatched, a pattern, or the
    // null brush for a style that fills nothing.
    static CBrush MakeFillBrush(const CDrawStyle& style);

private:
    bool DrawRings(CPoint* points, int* counts, int partCount);
    void SelectFill(CDC& dc, int index, const CDrawStyle& style, bool pattern);

    CBrush m_fill;
    CBrush m_beforeFill[2];
    std::vector<CPoint> m_outline;
    std::vector<int> m_outlineCounts;
};
