#pragma once

#include "core/MapPoint.h"
#include "core/MapPointArray.h"
#include "core/MapRect.h"

// Planar functions on runs of map points. Rings close implicitly: the edge
// from the last point back to the first belongs to the ring and the first
// point need not be repeated. Hit tests measure Chebyshev distances
// (max of |dx| and |dy|); among equal distances the later candidate wins.

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// Sum of the segment lengths; 0 for n < 2.
double PolylineLength(const CMapPoint* points, int n);
// Positive for a counter-clockwise ring (y up); 0 for n < 3.
double SignedRingArea(const CMapPoint* points, int n);
double PolygonArea(const CMapPoint* points, int n);

// 0 outside, 1 inside, 2 on the boundary (vertices and edges exactly).
int PointInRing(const CMapPoint* points, int n, const CMapPoint& p);

// True when a vertex lies within the tolerance; then the index of the
// nearest (the last of equals), its distance and a copy of it.
bool FindNearestVertex(const CMapPoint* points, int n, const CMapPoint& p, double tolerance, int& index,
                       double* distance = nullptr, CMapPoint* vertex = nullptr);
// True when a segment lies within the tolerance; index is the segment's
// start, or n - 1 when the final vertex is the nearest feature.
bool FindNearestSegment(const CMapPoint* points, int n, const CMapPoint& p, double tolerance, int& index,
                        double* distance = nullptr, CMapPoint* nearest = nullptr);

// Codes of the segment intersections. Low byte: the first common point,
// second byte: the second one (collinear overlaps only). Each byte has a
// group for A-B and one for C-D.
enum : int {
    kAtA = 1,
    kAtB = 2,
    kInsideAB = 4,
    kAtC = 16,
    kAtD = 32,
    kInsideCD = 64,
};
constexpr double kSegmentTolerance = 1e-8;

// Common points of the segments A-B and C-D (up to two, written to out);
// 0 when none. Tolerance 1e-8.
int IntersectSegments(const CMapPoint& a, const CMapPoint& b, const CMapPoint& c, const CMapPoint& d,
                      CMapPoint out[2]);
// The variant for noding: ends that coincide within the tolerance are
// reported first (A=C 17, A=D 33, then B=C 18 and B=D 34, a second match in
// the second byte), and collinear overlaps need strict inner points.
int IntersectSegmentsExact(const CMapPoint& a, const CMapPoint& b, const CMapPoint& c, const CMapPoint& d,
                           CMapPoint out[2]);

// True when q lies strictly right of the directed segment p0 -> p1.
bool PointRightOfSegment(const CMapPoint& p0, const CMapPoint& p1, const CMapPoint& q);

// atan2(u, v) in [0, 2 pi): with (dx, dy) the direction clockwise from +y.
double VectorAngle(double u, double v);
double VectorAngleDegrees(double u, double v);
// -1, 0 or 1 ordering two directions clockwise from the +y axis.
int CompareVectorAngles(double x1, double y1, double x2, double y2);

// Azimuth on the sphere from a to b (x longitude, y latitude), clockwise
// from north, in [0, 2 pi); the points in radians.
double GeoAzimuth(const CMapPoint& a, const CMapPoint& b);
// The same with the points and the result in degrees.
double GeoAzimuthDegrees(const CMapPoint& a, const CMapPoint& b);

// Window simplification keeping the ends: every dropped point lies within
// the tolerance of the chord that replaces it. dst holds at least n points.
// Returns the number written.
int SimplifyPolyline(const CMapPoint* src, CMapPoint* dst, int n, double tolerance);
