#pragma once

#include "core/MapPoint.h"
#include "mapdoc/MapTool.h"

#include <memory>

class IAzimuthBox;

// Mode 19: from a click, the line to the pointer with its forward and
// back azimuths in the azimuth box.
class CAzimuthTool : public CMapTool {
public:
    static constexpr int kCursor = 184;

    explicit CAzimuthTool(CDrelView* view);
    ~CAzimuthTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    int OnSetCursor() override;
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    bool IsShown() const { return m_shown != 0; }
    IAzimuthBox* GetBox() const { return m_box.get(); }

private:
    CMapPoint m_start;
    CMapPoint m_end;
    int m_shown = 0;
    std::unique_ptr<IAzimuthBox> m_box;
};
