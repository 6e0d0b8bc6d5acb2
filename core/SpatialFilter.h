#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "core/Shape.h"

// A geometric condition of a layer that the data sources test each object
// against: at a point, along a line, or in an area. Its bounds narrow the
// index query.
//
// What an object must do, by the filter's kind and the object's geometry
// type (those of the data sources: 1 line, 2 area, any other a point type):
//   point filter: an area holds the point (boundary included); a line or a
//     point passes through it (within the segment tolerance, 1e-8);
//   line filter: an area holds a point of the line or meets it; a line
//     shares a point with it; a point lies on it;
//   area filter: an area's interior overlaps it (touching does not count);
//     a line or a point has a point in it or on its boundary.
// In the within mode an area filter asks for the whole object inside the
// area, boundary included; point and line filters have no inside and pass
// nothing in that mode.
class CSpatialFilter {
public:
    enum : int { kPoint = 0, kLine = 1, kArea = 2, kAreaOther = 3 };
    enum : int { kModeIntersects = 0, kModeWithin = 1 };
    // Geometry types of the objects tested.
    enum : int { kObjectLine = 1, kObjectArea = 2 };

    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    int GetMode() const { return m_mode; }
    void SetMode(int mode) { m_mode = mode; }
    const CMapPoint& GetPoint() const { return m_point; }
    // Makes a point filter.
    void SetPoint(const CMapPoint& point);
    const CShape& GetShape() const { return m_shape; }
    // Makes a line or area filter of a copy of the shape, its extent
    // recomputed.
    void SetShape(int kind, const CShape& shape);

    // Point: the zero-size rectangle at it; line and area: the shape's
    // extent; any other kind: the whole plane.
    CMapRect GetBounds() const;
    // The object meets the filter. The object's extent must be current
    // (as the data sources read it), here and in TestWithin.
    bool TestIntersects(const CShape& object, int objectType) const;
    // The object lies within the filter's area.
    bool TestWithin(const CShape& object, int objectType) const;
    // The test the mode asks for.
    bool Test(const CShape& object, int objectType) const;

private:
    int m_kind = kPoint;
    int m_mode = kModeIntersects;
    CMapPoint m_point;
    CShape m_shape;
};
