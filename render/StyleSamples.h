#pragma once

#include "platform/Rect.h"

class CDC;
class CThemeClassList;
struct CDrawStyle;
struct CPointStyle;
struct CTrackStyle;

// Swatches of styles for the legend and the style dialogs, each drawn into
// a rectangle of the context (logical units). The context's pen, brush,
// colours and background come back as they were.

// The symbol at the rectangle's centre.
void DrawSample(const CPointStyle& style, CDC& dc, const CRect& rect);
// The line of its pen when the line is shown, then the symbol at the centre.
void DrawSample(const CTrackStyle& style, CDC& dc, const CRect& rect);
// Only the line of a track style, when it is shown, as DrawLineSample draws it.
void DrawTrackLineSample(const CTrackStyle& style, CDC& dc, const CRect& rect);
// The first pen as a line through the middle, a tenth of the width in from
// each end, on a transparent background.
void DrawLineSample(const CDrawStyle& style, CDC& dc, const CRect& rect);
// A zigzag of four points across the rectangle; a double line draws its
// second pen over the first.
void DrawZigzagSample(const CDrawStyle& style, CDC& dc, const CRect& rect);
// The rectangle less a tenth of its width and height on each side, filled
// and outlined, a pattern starting at its corner.
void DrawFillSample(const CDrawStyle& style, CDC& dc, const CRect& rect);
// The swatch of a class's style by the geometry type: 0 and 10 a point,
// 1 a line (the zigzag, which shows double lines whole), 2 and 4 an area.
void DrawClassSample(const CThemeClassList& classes, int geometryType, int index, CDC& dc, const CRect& rect);
