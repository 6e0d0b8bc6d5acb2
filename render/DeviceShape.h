#pragma once

#include "core/MapRect.h"
#include "core/Shape.h"
#include "platform/Point.h"

#include <vector>

class IDrawingView;

// A shape in the logical units of a view's contexts, its parts as the
// painters take them. A shape that reaches out of the clipping rectangle
// is clipped first (as rings for areas, as lines otherwise), so points far
// outside the window never reach the conversion; one inside is converted
// as it is. The points may be changed by the painters.
class CDeviceShape {
public:
    // False when no point is left to draw.
    bool Convert(const CShape& shape, IDrawingView& view, const CMapRect& clip, bool area);

    CPoint* Points() { return m_points.data(); }
    const int* Counts() const { return m_counts.data(); }
    int PartCount() const { return static_cast<int>(m_counts.size()); }

    // Whether the box lies inside the rectangle, edges included.
    static bool LiesInside(const CMapRect& box, const CMapRect& rect);

private:
    CShape m_clipped;
    std::vector<CPoint> m_points;
    std::vector<int> m_counts;
};
