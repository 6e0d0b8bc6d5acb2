#pragma once

#include "mapdoc/MapTool.h"
#include "mapdoc/RectTracker.h"
#include "platform/Rect.h"

// Mode 0: a rectangle dragged over the view waits on it; a click inside
// it zooms the frame's map view there, a click elsewhere starts another.
// A redraw of the map forgets the rectangle.
class CZoomWindowTool : public CMapTool {
public:
    static constexpr int kCursorInside = 114;

    explicit CZoomWindowTool(CDrelView* view);
    ~CZoomWindowTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnLButtonUp(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
    void OnKillFocus() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    bool HasPending() const { return m_hasPending; }
    const CRect& GetPending() const { return m_pending; }
    bool IsTracking() const { return m_tracker.IsTracking(); }

private:
    // Below 2 pixels in either direction the band is its first corner;
    // the second corner stays inside the client area.
    class CTracker : public CRectTracker {
    public:
        using CRectTracker::CRectTracker;

    protected:
        void AdjustRect(CRect& r) override;
    };

    CTracker m_tracker;
    CRect m_pending;
    bool m_hasPending = false;
};
