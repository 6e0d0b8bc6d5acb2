#pragma once

#include "platform/Brush.h"
#include "platform/Font.h"
#include "platform/Gdi.h"
#include "platform/Pen.h"
#include "platform/Rect.h"

#include <cstdint>
#include <string_view>
#include <vector>

class CDC;
class CSublayer;
class IDrawingView;

// Draws the labels of one layer in one drawing pass, into a context and,
// when given, a second one in parallel: at a point, where the placement
// puts it or at the first free place around the point or inside the area,
// or turned along a line. The view keeps labels inside its visible area
// and off each other; without a view every label is drawn where it falls.
// The contexts get their font, pen and brush back when the painter goes.
//
// Placements are text alignments of the label at its anchor: left 0,
// right 2, centre 6, plus top 0, bottom 8, baseline 24; a horizontal part
// of 4 or a vertical one of 16 keeps the offset set before. Distances and
// coordinates are logical units.
class CLabelPainter {
public:
    static constexpr int kAroundPoint = 256;
    static constexpr int kInsideArea = 512;

    CLabelPainter(IDrawingView* view, CDC& dc, CDC* second = nullptr);
    ~CLabelPainter();
    CLabelPainter(const CLabelPainter&) = delete;
    CLabelPainter& operator=(const CLabelPainter&) = delete;

    // Font, frame and placement of the sublayer's labels at a scale
    // denominator, which sizes them when they follow the scale.
    void SetLabelStyle(const CSublayer& sublayer, int scale);
    void SetPlacement(int placement, int distance);
    // 1 when drawn, 0 when no place was found.
    int DrawLabel(int x, int y, std::string_view text);
    // The text turned by the angle (tenths of a degree) about (x, y), its
    // frame the polygon of the corners; the caller has found the place.
    // 0 when the turned font could not be had.
    int DrawRotatedText(int x, int y, std::string_view text, int angle, const CPoint corners[4]);
    // Measured on the first context.
    CSize GetTextExtent(std::string_view text) const;

    const CFont& GetFont() const { return m_font; }
    const CRect& GetVisibleArea() const { return m_visible; }

private:
    struct Saved {
        CFont font;
        CPen pen;
        CBrush brush;
    };

    int TryAt(int x, int y, std::string_view text, const CSize& size);
    void DrawOn(CDC& dc, const CRect& frame, int x, int y, std::string_view text) const;
    void DrawText(CDC& dc, int x, int y, std::string_view text) const;
    void PutFrameBack();
    int Scaled(int value) const;
    CDC* Context(int i) const { return i == 0 ? &m_dc : m_second; }

    IDrawingView* m_view;
    CRect m_visible;
    CDC& m_dc;
    CDC* m_second;
    Saved m_saved[2];
    bool m_fontSelected = false;
    bool m_frameSelected = false;

    COLORREF m_colour = 0;
    LOGFONT m_logFont;
    CFont m_font;
    CPen m_framePen;
    CBrush m_frameBrush;
    bool m_frame = false;
    bool m_force = false;
    bool m_outline = false;
    COLORREF m_outlineColour = RGB(255, 255, 255);
    int m_frameBkMode = TRANSPARENT;

    int m_referenceScale = 0; // 0 when sizes do not follow the scale
    int m_scale = 0;
    int m_placement = 0;
    int m_distance = 0;
    int m_xOffset = 0;
    int m_yOffset = 0;
    // 1..9 the placements of the table, negative the same forced.
    std::vector<std::int8_t> m_candidates;
};

// Letter outlines: the text in the colour at its eight neighbours, (text
// height + 12) / 24 logical units away and at least one device pixel; the
// text colour is put back.
void DrawHaloText(CDC& dc, int x, int y, std::string_view text, COLORREF colour, int textHeight);
// The text in the colour at its eight neighbours dx and dy away; the text
// colour is put back.
void DrawTextAround(CDC& dc, int x, int y, std::string_view text, COLORREF colour, int dx, int dy);
