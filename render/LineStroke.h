#pragma once

#include "platform/Point.h"
#include "platform/Gdi.h"

#include <vector>

class CDC;

// How a styled line puts one polyline of logical points onto a context and,
// when there is one, a second context with the same calls. The painter
// makes the strokes of a style, sets their lengths and offsets, selects the
// pen before each stroke draws, and deletes them when the style changes.
// Lengths along a line are chessboard steps (ChessboardWalk.h).
class CLineStroke {
public:
    CLineStroke(CDC& dc, CDC* second) : m_dc(dc), m_second(second) {}
    virtual ~CLineStroke() = default;
    CLineStroke(const CLineStroke&) = delete;
    CLineStroke& operator=(const CLineStroke&) = delete;

    // True when something was drawn.
    virtual bool Draw(const CPoint* points, int count) = 0;
    // The parts lie one after another; true only when every part drew.
    bool DrawParts(const CPoint* points, const int* counts, int partCount);

protected:
    void MoveTo(CPoint p);
    void LineTo(CPoint p);
    void MoveTo(int x, int y) { MoveTo(CPoint(x, y)); }
    void LineTo(int x, int y) { LineTo(CPoint(x, y)); }
    void Segment(CPoint a, CPoint b)
    {
        MoveTo(a);
        LineTo(b);
    }

    CDC& m_dc;
    CDC* m_second;
};

// The polyline as it is.
class CPolylineStroke : public CLineStroke {
public:
    using CLineStroke::CLineStroke;
    bool Draw(const CPoint* points, int count) override;
};

// Strokes made of copies of the polyline shifted by fixed offsets: a
// along x for lines closer to vertical, b along y for the others.
class CCopyStroke : public CLineStroke {
public:
    CCopyStroke(CDC& dc, CDC* second, int a, int b) : CLineStroke(dc, second), m_a(a), m_b(b) {}
    void SetOffsets(int a, int b)
    {
        m_a = a;
        m_b = b;
    }

protected:
    int m_a;
    int m_b;
};

// The polyline and one copy beside it, shifted down (b) along lines closer
// to horizontal and right (a) along the others, with the gaps at the
// vertices closed: a line two pixels wide made of hairlines.
class CShiftedStroke : public CCopyStroke {
public:
    CShiftedStroke(CDC& dc, CDC* second) : CCopyStroke(dc, second, 1, 1) {}
    bool Draw(const CPoint* points, int count) override;
};

// Two copies on both sides of the polyline, b (or a) on one side and half
// of it on the other, without the polyline itself: the casing of a thin
// double line.
class CCasingStroke : public CCopyStroke {
public:
    CCasingStroke(CDC& dc, CDC* second) : CCopyStroke(dc, second, 2, 2) {}
    bool Draw(const CPoint* points, int count) override;
};

// Dashes: the element lengths are walked along the line, running on across
// vertices and starting again at each part. Phase 0 draws the even
// elements, 1 the odd ones, 2 everything (a solid line). With the path
// flag the dashes are stroked as one path.
class CDashStroke : public CLineStroke {
public:
    using CLineStroke::CLineStroke;
    // Lengths below 1 count as 1.
    void SetElements(const std::vector<int>& lengths);
    // Phases above 2 draw solid, below 0 as 0.
    void SetPhase(int phase) { m_phase = phase < 0 ? 0 : (phase > 2 ? 2 : phase); }
    void SetPath(bool path) { m_path = path; }
    bool Draw(const CPoint* points, int count) override;

protected:
    bool CanWalk(int count) const { return count >= 2 && !m_elements.empty(); }
    // Opens and strokes the path around the walks when the path flag is set.
    void BeginStroke();
    void EndStroke();
    // The walk over one part.
    void Walk(const CPoint* points, int count);

private:
    bool Drawn(std::size_t element) const { return m_phase == 2 || static_cast<int>(element & 1) == m_phase; }

    std::vector<int> m_elements;
    int m_phase = 0;
    bool m_path = false;
};

// The dash walk five times: on the line and shifted by one step in +x, +y,
// -x and -y, so hairline dashes look three pixels wide.
class CPlusDashStroke : public CDashStroke {
public:
    using CDashStroke::CDashStroke;
    void SetShift(int x, int y)
    {
        m_shiftX = x;
        m_shiftY = y;
    }
    bool Draw(const CPoint* points, int count) override;

private:
    int m_shiftX = 0;
    int m_shiftY = 0;
    std::vector<CPoint> m_shifted;
};

// Dots along the line every spacing steps, from the first point on: single
// pixels when the dot width is below 2, else filled ellipses of the dot
// size with the selected pen and brush.
class CDotStroke : public CLineStroke {
public:
    using CLineStroke::CLineStroke;
    void SetDot(int width, int height, int spacing, COLORREF colour)
    {
        m_width = width;
        m_height = height;
        m_spacing = spacing;
        m_colour = colour;
    }
    // Sizes and spacing in device pixels of the context, so the dots come
    // out alike and evenly spaced however logical units round to pixels.
    void SetDeviceSpacing(bool device) { m_deviceSpacing = device; }
    bool Draw(const CPoint* points, int count) override;

private:
    void Walk(const CPoint* points, int count);
    void Dot(CPoint p);

    int m_width = 0;
    int m_height = 0;
    int m_spacing = 0;
    COLORREF m_colour = 0;
    bool m_deviceSpacing = false;
    std::vector<CPoint> m_device;
};
