#pragma once

#include "core/DevicePoint.h"

// Integer geometry on device points (y down). Angles are in tenths of a
// degree. Products of coordinates are formed wide enough for any pair of
// 32-bit points, so large print coordinates do not wrap.

// Direction of p1 -> p2 within -900 ... 900: 0 for a horizontal segment,
// 900 for a vertical one, else the slope angle truncated towards zero.
int SegmentAngleTenths(const CDevicePoint& p1, const CDevicePoint& p2);
// The point turned about the centre; on the screen a positive angle turns
// it counter-clockwise.
CDevicePoint RotatePoint(const CDevicePoint& centre, const CDevicePoint& point, int angleTenths);
// The closed triangle tip, base corner, base corner, tip of an arrow head
// at the end of start -> end.
void ComputeArrowHead(const CDevicePoint& start, const CDevicePoint& end, int length, int width,
                      CDevicePoint out[4]);
// True when A-B and P1-P2 cross, touch or overlap.
bool DeviceSegmentsCross(const CDevicePoint& a, const CDevicePoint& b, const CDevicePoint& p1,
                         const CDevicePoint& p2);
// True when any segment of one line meets any of the other; closed lines
// include their last-to-first segments.
bool PolylinesIntersect(const CDevicePoint* line1, int n1, const CDevicePoint* line2, int n2, bool closed);
// True when p lies inside or on a convex polygon: no edge has it on the
// other side from the rest. A polygon without area holds nothing.
bool PointInConvexDevicePolygon(const CDevicePoint* polygon, int n, const CDevicePoint& p);

// Reduces a polyline before drawing; dst holds at least n points. Returns
// the number written. Mode 0 drops repeated points, mode 1 drops points
// that barely turn the line, mode 2 is the tolerance simplification with
// 0.5; any other mode writes only the first point.
int SimplifyDevicePolyline(const CDevicePoint* src, CDevicePoint* dst, int n, int mode);
// Window simplification keeping the ends, as for map polylines.
int SimplifyDevicePolylineTol(const CDevicePoint* src, CDevicePoint* dst, int n, double tolerance);
