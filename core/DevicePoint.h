#pragma once

#include <cstdint>

// A point in device units (pixels or logical units), y growing downwards.
class CDevicePoint {
public:
    int32_t x = 0;
    int32_t y = 0;

    constexpr CDevicePoint() = default;
    constexpr CDevicePoint(int32_t px, int32_t py) : x(px), y(py) {}

    friend constexpr bool operator==(const CDevicePoint&, const CDevicePoint&) = default;
};
