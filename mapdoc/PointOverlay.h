#pragma once

#include "core/MapPoint.h"
#include "mapdoc/MapOverlay.h"

// The marker of a found point: the picture kIcon with its top left corner
// just below and left of the point.
class CPointOverlay : public CMapOverlay {
public:
    static constexpr int kIcon = 136;
    static constexpr int kIconSize = 32;

    explicit CPointOverlay(const CMapPoint& point) : m_point(point) {}

    // Nothing while the point lies outside the view.
    void Draw(CDC& dc, CDrelView& view) override;
    bool GetRect(CDrelView& view, CRect& rect) override;

    const CMapPoint& GetPoint() const { return m_point; }

private:
    CMapPoint m_point;
};
