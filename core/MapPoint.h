#pragma once

#include "platform/ByteOrder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Reads count points stored as little-endian x, y doubles; false when a
// coordinate is no number. Shapes of many points are read by the million:
// the test goes without branches, both coordinates at once.
inline bool ReadLittleEndianPoints(const unsigned char* bytes, size_t count, CMapPoint* out)
{
    // All exponent bits set is no number; adding one to the exponent then
    // carries into the sign bit.
    using CPair = uint64_t __attribute__((vector_size(16)));
    constexpr uint64_t kExponent = 0x7FF0000000000000, kExponentOne = 0x0010000000000000;
    CPair carry = {0, 0};
    for (size_t i = 0; i < count; ++i, bytes += 16) {
        const CMapPoint p(GetLittleEndian<double>(bytes), GetLittleEndian<double>(bytes + 8));
        CPair bits;
        std::memcpy(&bits, &p, sizeof bits);
        carry |= (bits & kExponent) + kExponentOne;
        out[i] = p;
    }
    return ((carry[0] | carry[1]) >> 63) == 0;
}
