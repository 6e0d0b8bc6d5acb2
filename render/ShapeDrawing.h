#pragma once

class CDC;
class CShape;
class IDrawingView;
struct CDrawStyle;

// The looks of a lone shape drawn into a map view (selected, edited or
// found objects): the low three bits pick one, bit 8 draws into the view's
// back buffer as well, so the look outlasts the next repaint.
enum : int {
    kShapeGivenStyle = 0,     // the given style, or the context's pen and brush (7 the same)
    kShapeInvert = 1,         // an inverted hairline; areas unfilled
    kShapeHighlight = 2,      // the highlight styles (green)
    kShapeHighlightViolet = 3, // lines highlighted in violet; areas in the given style
    kShapeHighlightLine = 4,  // lines highlighted; areas in the given style
    kShapeWhite = 5,          // white at the given style's width; areas unfilled
    kShapeXorDotted = 6,      // a dotted hairline xor white; areas unfilled
    kShapeLookMask = 7,
    kShapeAlsoBackBuffer = 8,
};

// Draws the shape's parts as lines, or as one polygon set, into dc (the
// view's window when dc is null), clipped to a little more than the view's
// extent unless it lies inside it. The context is left prepared for map
// drawing, with its pens, brushes, raster operation, background and text
// colour as they were. An
// empty shape returns 0 and touches no context; otherwise the result is 1.
int DrawShapePolyline(const CShape& shape, IDrawingView& view, CDC* dc, const CDrawStyle* style, int mode);
int DrawShapePolygon(const CShape& shape, IDrawingView& view, CDC* dc, const CDrawStyle* style, int mode);
