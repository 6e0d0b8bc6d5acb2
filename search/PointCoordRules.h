#pragma once

#include <string>

// What the geographic point dialog (30783) keeps for the run of the
// program: the last point and the notation it was last shown in.
struct CGeoPointMemory {
    enum Notation { kDegMinSec = 0, kDegMin = 1, kDecimal = 2 };
    double longitude = 0;
    double latitude = 0;
    int notation = kDegMinSec;
};
CGeoPointMemory& GeoPointMemory();

// A value in decimal degrees as its edit shows it: "%.15g", "0.0" for 0.
std::string DecimalDegreesText(double value);

// The largest value a planar point (dialog 30775) may have, either way:
// far beyond any grid of the program, so that an absurd number is refused
// before the view goes there.
constexpr double kPlanarPointLimit = 1e9;
