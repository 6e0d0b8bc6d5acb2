#pragma once

#include "layers/DrawStyle.h"
#include "layers/LabelStyle.h"
#include "layers/PointStyle.h"
#include "layers/TrackStyle.h"
#include "platform/Gdi.h"
#include "platform/Rect.h"
#include "shell/ControlDrawing.h"

class CDC;
class CFont;

// What a style sample button shows: a point symbol, a line or area style,
// a text style, a plain colour or a symbol over a background (the symbol
// and the line of a track style).
struct StyleSample {
    enum Kind { kPointStyle = 1, kLineStyle = 2, kAreaStyle = 3, kTextStyle = 4, kPlainColor = 5, kMarker = 6 };
    // The text of a text style's sample.
    static constexpr const char* kText = "AaBbCc";

    int kind = kPlainColor;
    // Centre lines under the sample.
    bool crosshair = false;
    // "<Nėra>" (string 3000) in place of the sample.
    bool none = false;
    CPointStyle point;
    CDrawStyle line; // only the pens (the first 16 bytes) count
    CDrawStyle area;
    // A text style: its font and colour, and the frame's pen and brush
    // (the brush colour is the halo's).
    CLabelStyle font;
    CDrawStyle frameStyle;
    bool frame = false;
    bool halo = false;
    COLORREF colour = 0;
    // Only the first 24 bytes of a track style count: the symbol and the line.
    CTrackStyle marker;
};

// The part of a button's face the sample draws in: 2 pixels in from the
// frame, or 3 from the left and top and 1 from the right and bottom
// while the button is pressed.
CRect StyleSampleContent(const CRect& client, bool pressed, bool disabled);
// The sample clipped to the content rectangle. The text of "none" is
// drawn in textFont; a text style's font height is in points.
void DrawStyleSample(CDC& dc, const CRect& content, const StyleSample& sample, const ControlColors& colours,
                     const CFont& textFont);
