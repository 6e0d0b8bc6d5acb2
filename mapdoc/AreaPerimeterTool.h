#pragma once

#include "core/MapPoint.h"
#include "core/MapPointArray.h"
#include "mapdoc/MapTool.h"

#include <memory>

class IAreaPerimeterBox;

// Mode 6: area and perimeter of a ring clicked point by point; the band
// runs from the last point to the pointer and, from three points on, on
// to the first.
class CAreaPerimeterTool : public CMapTool {
public:
    static constexpr int kCursor = 118;

    explicit CAreaPerimeterTool(CDrelView* view);
    ~CAreaPerimeterTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    int OnSetCursor() override;
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    const CMapPointArray& GetPoints() const { return m_points; }
    // The area of the ring (0 below three points) and the length of its
    // closed outline (two points make a ring there and back).
    double GetAreaKm2() const;
    double GetPerimeterKm() const;

private:
    void ShowValues();
    void DrawOutline(CDC* dc);
    void DrawBand(CDC* dc);

    CMapPointArray m_points;
    std::unique_ptr<IAreaPerimeterBox> m_box;
    CMapPoint m_cursor;
};
