#pragma once

#include "mapdoc/MeasureLineTool.h"

// Mode 5: the length of a line clicked point by point, with a rubber
// band from the last point to the pointer; the distance box shows the
// band's length and the total.
class CDistanceTool : public CDistanceMeasureTool {
public:
    static constexpr int kCursor = 113;
    static constexpr int kCmdClearMeasurement = 30628;

    explicit CDistanceTool(CDrelView* view);
    ~CDistanceTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    void OnCommand(int id) override;
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;
};
