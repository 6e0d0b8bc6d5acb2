#pragma once

#include "mapdoc/MapTool.h"

// Mode 3: the map follows a drag; the view shows its picture moved while
// the button is held and pans once at the release.
class CPanTool : public CMapTool {
public:
    static constexpr int kCursor = 117;

    using CMapTool::CMapTool;
    ~CPanTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnLButtonUp(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
    // A drag the window lost ends without panning.
    void OnKillFocus() override;

    bool IsDragging() const { return m_dragging != 0; }

private:
    void EndDrag();

    int m_startX = 0, m_startY = 0;
    int m_lastX = 0, m_lastY = 0;
    int m_dragging = 0;
};
