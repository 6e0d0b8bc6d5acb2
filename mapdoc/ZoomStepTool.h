#pragma once

#include "mapdoc/MapTool.h"

// Modes 1 and 2: a click zooms in (or out) by 2 about the clicked point;
// Shift swaps the two, and the cursor follows.
class CZoomStepTool : public CMapTool {
public:
    static constexpr int kCursorZoomIn = 114;
    static constexpr int kCursorZoomOut = 115;

    CZoomStepTool(CDrelView* view, bool zoomIn) : CMapTool(view), m_zoomIn(zoomIn) {}

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;

private:
    bool ZoomsIn(unsigned flags) const;

    bool m_zoomIn;
};

class CZoomInTool : public CZoomStepTool {
public:
    explicit CZoomInTool(CDrelView* view) : CZoomStepTool(view, true) {}
};

class CZoomOutTool : public CZoomStepTool {
public:
    explicit CZoomOutTool(CDrelView* view) : CZoomStepTool(view, false) {}
};
