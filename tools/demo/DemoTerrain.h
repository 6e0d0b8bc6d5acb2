#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"

#include <cstdint>
#include <vector>

// The ground under the demo town: the town's own frame (metres east and
// north of its centre before the street grid is turned onto the map), the
// course of its river and the heights, low along the river and with hills
// that follow from the seed and their place alone.
class CDemoTerrain {
public:
    // Distance of neighbouring crossings, and crossings per side of the
    // square that one town of the grid covers.
    static constexpr double kBlock = 130;
    static constexpr int kTileNodes = 16;

    CDemoTerrain() = default;
    CDemoTerrain(uint64_t seed, const CMapPoint& centre);

    // Between the town's frame (u east, v north) and the map.
    CMapPoint ToMap(double u, double v) const;
    void ToLocal(const CMapPoint& point, double& u, double& v) const;

    // The middle of the river at u, and how far a point of the frame lies
    // from it (shortest, in metres).
    double RiverAt(double u) const;
    double DistanceToRiver(double u, double v) const;
    // Whether the point lies within that distance of the river's middle.
    bool NearRiver(double u, double v, double distance) const;

    // Metres above the sea at a map point.
    double Elevation(const CMapPoint& point) const;
    // The shaded relief of a map rectangle lit from the north-west, with
    // the river in it: width x height pixels, the top row first, three
    // bytes each (red, green, blue).
    std::vector<unsigned char> ReliefPicture(const CMapRect& area, int width, int height) const;

    const CMapPoint& Centre() const { return m_centre; }
    double Angle() const { return m_angle; }

private:
    double ElevationLocal(double u, double v) const;

    uint64_t m_seed = 0;
    CMapPoint m_centre;
    double m_angle = 0; // the grid turned anticlockwise, radians
    double m_cos = 1, m_sin = 0;
    // The river: v = offset + a1 sin(u / l1 + p1) + a2 sin(u / l2 + p2).
    double m_riverOffset = 0, m_a1 = 0, m_l1 = 1, m_p1 = 0, m_a2 = 0, m_l2 = 1, m_p2 = 0;
    double m_baseHeight = 100;
    double m_tiltU = 0, m_tiltV = 0;
};
