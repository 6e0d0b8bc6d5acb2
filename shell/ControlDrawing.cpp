#include "shell/ControlDrawing.h"

#include "platform/DC.h"

void DrawFocusFrame(CDC& dc, const CRect& r, COLORREF colour)
{
    const CPen pen(PS_DOT, 1, colour);
    const CPen old = dc.SelectObject(pen);
    const CPoint corners[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                              {r.left, r.bottom - 1}, {r.left, r.top}};
    dc.Polyline(corners, 5);
    dc.SelectObject(old);
}

namespace {

// One ring of an edge: the top and left sides in one colour, the bottom
// and right ones in the other.
void DrawRing(CDC& dc, const CRect& r, unsigned sides, COLORREF topLeft, COLORREF bottomRight)
{
    if (r.IsRectEmpty())
        return;
    if (sides & BF_TOP)
        dc.FillSolidRect(CRect(r.left, r.top, r.right, r.top + 1), topLeft);
    if (sides & BF_LEFT)
        dc.FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom), topLeft);
    if (sides & BF_BOTTOM)
        dc.FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
    if (sides & BF_RIGHT)
        dc.FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
}

} // namespace

void DrawEdge(CDC& dc, const CRect& rect, unsigned edge, unsigned sides, const ControlColors& c)
{
    CRect r = rect;
    if (edge & BDR_RAISEDOUTER)
        DrawRing(dc, r, sides, c.light, c.darkShadow);
    else if (edge & BDR_SUNKENOUTER)
        DrawRing(dc, r, sides, c.shadow, c.highlight);
    // The inner ring starts a pixel inside on the sides drawn.
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (sides & BF_LEFT)
            ++r.left;
        if (sides & BF_TOP)
            ++r.top;
        if (sides & BF_RIGHT)
            --r.right;
        if (sides & BF_BOTTOM)
            --r.bottom;
    }
    if (edge & BDR_RAISEDINNER)
        DrawRing(dc, r, sides, c.highlight, c.shadow);
    else if (edge & BDR_SUNKENINNER)
        DrawRing(dc, r, sides, c.darkShadow, c.light);
}

void FrameRect(CDC& dc, const CRect& rect, COLORREF colour)
{
    DrawRing(dc, rect, BF_RECT, colour, colour);
}
