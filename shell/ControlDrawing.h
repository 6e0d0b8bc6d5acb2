#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

class CDC;

// The dotted frame around the item that has the keyboard focus, inside rect.
void DrawFocusFrame(CDC& dc, const CRect& rect, COLORREF colour);

// The system colours self-drawn controls paint with (the widgets take them
// from their palette, shell/widgets/PaletteColors.h).
struct ControlColors {
    COLORREF face = RGB(240, 240, 240);       // button face
    COLORREF light = RGB(227, 227, 227);      // 3-D light
    COLORREF highlight = RGB(255, 255, 255);  // 3-D highlight
    COLORREF shadow = RGB(160, 160, 160);     // 3-D shadow
    COLORREF darkShadow = RGB(105, 105, 105); // 3-D dark shadow
    COLORREF text = RGB(0, 0, 0);             // button text
    COLORREF grayText = RGB(109, 109, 109);   // disabled text
    COLORREF window = RGB(255, 255, 255);     // list and edit background
    COLORREF windowText = RGB(0, 0, 0);
    COLORREF selection = RGB(0, 120, 215);    // selected items
};

// The 3-D edges of the Windows interface: each side a one-pixel line, the
// outer edge on the rectangle's border, the inner one a pixel inside.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
};
enum : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
};
void DrawEdge(CDC& dc, const CRect& rect, unsigned edge, unsigned sides, const ControlColors& colours);
// A one-pixel frame just inside the rectangle.
void FrameRect(CDC& dc, const CRect& rect, COLORREF colour);
