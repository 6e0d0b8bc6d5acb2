#pragma once

#include "core/MapRect.h"

class CShape;

// Clips shapes to a rectangle before they become device coordinates, so
// points far outside the window never reach the graphics calls. Points on
// the border are inside.
//
// Both clips pass points through four edge stages (left, top, right,
// bottom), each keeping what lies on its inner side and adding the crossing
// of its edge line. A clipped ring runs along the border where the source
// leaves and comes back, and is closed explicitly; a clipped line stays one
// part, its pieces joined along the border lines.
class CRectClipper {
public:
    explicit CRectClipper(const CMapRect& rect) : m_rect(rect) {}

    const CMapRect& GetRect() const { return m_rect; }

    // out = the parts of source clipped as rings; rings that vanish are
    // dropped. True when out has points. out may be source.
    bool ClipPolygon(const CShape& source, CShape& out);
    // out = the parts of source clipped as lines, one part for each that
    // keeps points. True when out has points. out may be source.
    bool ClipPolyline(const CShape& source, CShape& out);

private:
    struct Stage {
        CMapPoint first;
        CMapPoint last;
        bool empty = true;
    };

    bool Clip(const CShape& source, CShape& out, bool rings);
    void ClipRing(const CMapPoint* points, int n);
    void ClipLine(const CMapPoint* points, int n);
    bool Contains(const CMapPoint& p) const;
    // How far p lies on the inner side of the stage's edge line.
    double Side(int stage, const CMapPoint& p) const;
    CMapPoint Crossing(int stage, const CMapPoint& a, const CMapPoint& b) const;
    void ResetStages();
    void Feed(int stage, const CMapPoint& p);
    void Emit(const CMapPoint& p);

    CMapRect m_rect;
    CShape* m_out = nullptr;
    Stage m_stages[4];
};
