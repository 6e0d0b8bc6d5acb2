#pragma once

#include "mapdoc/MeasureLineTool.h"

#include <memory>

class IAreaPerimeterBox;

// Mode 6: area and perimeter of a ring clicked point by point; the band
// runs from the last point to the pointer and, from three points on, on
// to the first.
class CAreaPerimeterTool : public CMeasureLineTool {
public:
    static constexpr int kCursor = 118;

    explicit CAreaPerimeterTool(CDrelView* view);
    ~CAreaPerimeterTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    // The area of the ring (0 below three points) and the length of its
    // closed outline (two points make a ring there and back).
    double GetAreaKm2() const;
    double GetPerimeterKm() const;

protected:
    // On to the first point as well, from three points on.
    void DrawBand(CDC* dc) override;

private:
    void ShowValues();

    std::unique_ptr<IAreaPerimeterBox> m_box;
};
