#pragma once

#include "core/MapPoint.h"
#include "core/MapPointArray.h"
#include "mapdoc/MapTool.h"

#include <memory>

class IDistanceBox;

// Mode 5: the length of a line clicked point by point, with a rubber
// band from the last point to the pointer; the distance box shows the
// band's length and the total.
class CDistanceTool : public CMapTool {
public:
    static constexpr int kCursor = 113;
    static constexpr int kCmdClearMeasurement = 30628;

    explicit CDistanceTool(CDrelView* view);
    ~CDistanceTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    int OnSetCursor() override;
    void OnCommand(int id) override;
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    const CMapPointArray& GetPoints() const { return m_points; }
    double GetTotalKm() const { return m_totalKm; }
    const CMapPoint& GetCursorPoint() const { return m_cursor; }
    IDistanceBox* GetBox() const { return m_box.get(); }

private:
    void ShowDistances(double segmentKm, double totalKm);
    void DrawLine(CDC* dc);
    void DrawBand(CDC* dc);

    CMapPointArray m_points;
    std::unique_ptr<IDistanceBox> m_box;
    CMapPoint m_cursor;
    double m_totalKm = 0;
};
