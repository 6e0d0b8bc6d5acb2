#pragma once

#include "layers/DrawStyle.h"
#include "platform/Brush.h"
#include "platform/Pen.h"
#include "platform/Point.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDC;
class CLineStroke;

// Draws lines in the look of a line style record for one drawing pass:
// the style's code and width become pens and stroke objects, and every
// call draws into the context and, when given, a second one in parallel
// (the view's back buffer, or a printer beside the screen). The contexts
// get their pens and brushes back when the style changes and when the
// painter goes.
//
// Widths and lengths of the style are thousandths of an inch: logical units
// of the view's contexts, pixels only in MM_TEXT contexts. Points are
// logical; parts lie one after another in one buffer, which drawing may
// thin and snap in place.
class CLinePainter {
public:
    CLinePainter(CDC& dc, CDC* second = nullptr);
    virtual ~CLinePainter();
    CLinePainter(const CLinePainter&) = delete;
    CLinePainter& operator=(const CLinePainter&) = delete;

    // The pen of the record: its code (the whole first word; a double line
    // is split by the caller), width (low 16 bits of the second) and colour.
    void SetStyle(const CDrawStyle& style);
    // A width in device pixels.
    void SetStyleFromPixels(int code, double pixels, COLORREF colour);
    void Reset();

    bool DrawPolyPolyline(CPoint* points, const int* counts, int partCount);
    bool DrawPolyPolyline(CPoint* points, const std::uint32_t* counts, int partCount);
    bool DrawPolyline(CPoint* points, int count);
    bool DrawSegment(int x1, int y1, int x2, int y2);

    CDC& GetDC() const { return m_dc; }
    CDC* GetSecondDC() const { return m_second; }

protected:
    // Parts above this many points in all are thinned before drawing.
    static constexpr int kThinAbove = 2000;
    static constexpr int kMaxChunk = 1600;

    int ToThousandths(double pixels) const;
    // Part counts as ints; false for a null buffer, no parts, or a count
    // that is negative or too big.
    static bool PartCounts(const CPoint* points, const int* counts, int partCount, std::vector<int>& out);
    static bool PartCounts(const CPoint* points, const std::uint32_t* counts, int partCount, std::vector<int>& out);
    // The outline needs more than one pen call (strokes, dots, marks).
    bool HasSpecialOutline() const { return m_first || m_endMarks || m_pattern; }
    // The dot or arrow brush of the line, when the style has one.
    const CBrush& LineBrush() const { return m_brush; }
    bool HasLineBrush() const { return m_brush.GetSafeHandle() != nullptr; }
    // Thins each part in place (counts change); the points left in all.
    int ThinParts(CPoint* points, int* counts, int partCount);
    void SelectBoth(const CPen& pen);
    void SelectBoth(const CBrush& brush);

    CDC& m_dc;
    CDC* m_second;
    int m_mapMode;
    int m_logPixelsX;
    // The area painter draws its outlines unthinned: the fill took the
    // thinned points already.
    bool m_thin = true;

private:
    struct Saved {
        CPen pen;
        CBrush brush;
        bool brushSaved = false;
    };

    int DeviceLength(int logical) const;
    int LogicalLength(int device) const;
    bool IsPrinter() const;
    void SetDashPens(int code, int width, COLORREF colour);
    void SetDots(int width, COLORREF colour);
    void SetDoubleLine(int code, int width, COLORREF colour);
    void SetEndMarks(int code, int width, int recordWidth, COLORREF colour);
    void SelectLineBrush(COLORREF colour);
    std::vector<int> DoubleLineDashes(int on, int off, int inner) const;

    bool DrawParts(CPoint* points, int* counts, int partCount);
    void DrawPatterned(const CPoint* points, int count);
    void DrawEndMarks(const CPoint* points, int count);
    void Snap(CPoint* points, int count) const;

    CPen m_pen;
    CPen m_secondPen;
    CBrush m_brush;
    Saved m_saved[2];
    bool m_styled = false;
    int m_width = 0;
    // End marks: bit 0 at the end of each part, bit 1 at its start.
    int m_endMarks = 0;
    int m_markSize = 0;
    bool m_snap = false;
    bool m_pattern = false;
    std::unique_ptr<CLineStroke> m_first;
    std::unique_ptr<CLineStroke> m_secondStroke;
    std::vector<CPoint> m_scratch;
};
