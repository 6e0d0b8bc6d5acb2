#pragma once

#include "core/MapPoint.h"

#include <memory>

// The coordinate systems of map data. x is the longitude or easting, y the
// latitude or northing.
enum CoordSystem : int {
    kCoordGeographic = 0, // degrees, east and north positive
    kCoordTm = 1,         // Transverse Mercator 24 E, scale 0.9998, false easting 500 000 m
    kCoordUtm = 2,        // UTM, easting = zone * 1 000 000 + 500 000 m + scaled easting
    kCoordTm96 = 3,       // Transverse Mercator 24 E, scale 0.9996, false easting 500 000 m
    kCoordLocal = 4,      // a local grid, a similarity transformation of system 1
    kCoordSystemCount = 5,
};

// Converts points from one system to another, in place.
class CCoordConverter {
public:
    virtual ~CCoordConverter() = default;
    virtual void ConvertPoint(CMapPoint& point) const = 0;
    void ConvertPoints(CMapPoint* points, int count) const
    {
        for (int i = 0; i < count; ++i)
            ConvertPoint(points[i]);
    }
};

// The converter from one system to another; null for equal or unknown
// codes. Pairs without a direct step go through geographic degrees.
std::unique_ptr<CCoordConverter> CreateCoordConverter(int from, int to);

// Distance in kilometres on the sphere of radius 6385.543 km between two
// geographic points in degrees.
double GreatCircleDistanceKm(double lon1, double lat1, double lon2, double lat2);
