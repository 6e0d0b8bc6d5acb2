#pragma once

#include "core/MapPoint.h"
#include "mapdoc/MapOverlay.h"

// A black line between two found points; only its piece inside the view
// is drawn.
class CLineOverlay : public CMapOverlay {
public:
    CLineOverlay(const CMapPoint& from, const CMapPoint& to) : m_from(from), m_to(to) {}

    void Draw(CDC& dc, CDrelView& view) override;
    // Where it was last drawn.
    bool GetRect(CDrelView& view, CRect& rect) override;

private:
    CMapPoint m_from;
    CMapPoint m_to;
    CRect m_drawn;
};
