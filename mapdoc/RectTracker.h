#pragma once

#include "platform/Rect.h"

class CDC;
class CDrelView;

// The rubber band of a map view: a dotted frame drawn inverted straight
// onto the view's window, so that drawn twice it is gone and the window
// shows the map again as it was. Tracking follows the tool's mouse
// events: Begin at the press, Move while the button is held, End at the
// release (or Cancel).
class CRectTracker {
public:
    explicit CRectTracker(CDrelView& view) : m_view(view) {}
    virtual ~CRectTracker();
    CRectTracker(const CRectTracker&) = delete;
    CRectTracker& operator=(const CRectTracker&) = delete;

    void Begin(int x, int y);
    void Move(int x, int y);
    // The tracked rectangle, normalised; false when nothing was tracked.
    bool End(CRect& result);
    void Cancel();
    bool IsTracking() const { return m_tracking; }
    // The rectangle as it is drawn now.
    const CRect& GetRect() const { return m_rect; }

    // The frame of r inverted on dc in client pixels, as the tracker draws it.
    static void DrawInverted(CDC& dc, const CRect& r);
    // The same on the view's window.
    void DrawInverted(const CRect& r) const;
    // The band while tracking, on dc in client pixels (a repaint covered it).
    void DrawBand(CDC& dc) const;

protected:
    // The rectangle from the first corner (left, top) to the second
    // corner (right, bottom) as the pointer moved it; may change it.
    virtual void AdjustRect(CRect& r) {}

    CDrelView& m_view;

private:
    bool m_tracking = false;
    CRect m_rect; // first corner, then the second as moved
};
