#pragma once

#include <cmath>
#include <string>

// A point in map units: degrees (x longitude, y latitude) on geographic maps,
// metres (x easting, y northing) on projected grids; y grows upwards.
// A plain 16-byte value: arrays of it are moved and written bytewise.
class CMapPoint {
public:
    double x = 0.0;
    double y = 0.0;

    constexpr CMapPoint() = default;
    constexpr CMapPoint(double px, double py) : x(px), y(py) {}

    friend constexpr bool operator==(const CMapPoint&, const CMapPoint&) = default;

    // Both coordinates are numbers (no NaN, no infinity).
    bool IsFinite() const { return std::isfinite(x) && std::isfinite(y); }

    // Degree texts of x (letter E/W) and y (letter N/S) in one of the ten
    // text forms 0 ... 9 of LatLonText.h. A coordinate out of range (|y| > 90
    // or |x| > 360, either one) gives the empty text; an unknown form leaves
    // the text as it was. The reference forms return their argument.
    std::string& FormatLongitude(std::string& text, int form) const;
    std::string& FormatLatitude(std::string& text, int form) const;
    // Both texts in one form; returns the latitude text.
    std::string& FormatLonLat(std::string& lonText, std::string& latText, int form) const;
    // The same as new strings (empty for an unknown form).
    std::string FormatLongitude(int form) const;
    std::string FormatLatitude(int form) const;
};

static_assert(sizeof(CMapPoint) == 16);
