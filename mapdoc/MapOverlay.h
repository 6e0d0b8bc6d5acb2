#pragma once

#include "platform/Rect.h"

class CDC;
class CDrelView;

// Something drawn over the map in client pixels for a while: found
// objects, highlighted shapes, the outline a measuring tool drags. Never
// printed, never stored.
class CMapDrawable {
public:
    virtual ~CMapDrawable() = default;
    virtual void Draw(CDC& dc, CDrelView& view) = 0;
};

// A drawing of the view's overlay list, drawn over the map in list order.
class CMapOverlay : public CMapDrawable {
public:
    // The client pixels the overlay covers, for repainting just them; false
    // (and an empty rectangle) when it is not on the screen.
    virtual bool GetRect(CDrelView& view, CRect& rect) = 0;
};
