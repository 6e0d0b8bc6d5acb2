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
