#pragma once

#include "core/MapPoint.h"
#include "core/MapPointArray.h"
#include "mapdoc/MapTool.h"

#include <memory>

class IDistanceBox;

// What the tools that measure clicked points share: the points, the map
// point of the pointer where the rubber band ends, and the segments drawn
// inverted on the window (drawn twice they are gone).
class CMeasureLineTool : public CMapTool {
public:
    const CMapPointArray& GetPoints() const { return m_points; }
    const CMapPoint& GetCursorPoint() const { return m_cursor; }

    // The band follows the pointer.
    int OnMouseMove(unsigned flags, int x, int y) override { return MoveBand(x, y) ? 1 : 0; }

protected:
    CMeasureLineTool(CDrelView* view, int cursorId) : CMapTool(view, cursorId) {}

    const CMapPoint& LastPoint() const { return m_points[m_points.GetUpperBound()]; }
    // On dc, or on the window when it is null.
    void DrawSegments(CDC* dc);
    // The band from the last point to the pointer.
    virtual void DrawBand(CDC* dc);
    // The band to the pointer at the client point; false without points.
    bool MoveBand(int x, int y);
    // After a redraw the band starts again from the last point.
    void BandHome();

    CMapPointArray m_points;
    CMapPoint m_cursor;
};

// The measures of a length (straight or along the roads): the band's
// length and the total in the distance box as the pointer moves.
class CDistanceMeasureTool : public CMeasureLineTool {
public:
    ~CDistanceMeasureTool() override;

    int OnMouseMove(unsigned flags, int x, int y) override;

    double GetTotalKm() const { return m_totalKm; }
    IDistanceBox* GetBox() const { return m_box.get(); }

protected:
    CDistanceMeasureTool(CDrelView* view, int cursorId);

    // Into the distance box, made on first need.
    void ShowDistances(double segmentKm, double totalKm);

    std::unique_ptr<IDistanceBox> m_box;
    double m_totalKm = 0;
};
