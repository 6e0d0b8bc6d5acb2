#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

class CDC;

// The dotted frame around the item that has the keyboard focus, inside rect.
void DrawFocusFrame(CDC& dc, const CRect& rect, COLORREF colour);
