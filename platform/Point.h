#pragma once

#include "platform/Size.h"

// A device or logical point: two 32-bit integers, y growing downwards on
// the device.
class CPoint {
public:
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}

    constexpr bool operator==(const CPoint&) const = default;
    constexpr void Offset(int dx, int dy)
    {
        x += dx;
        y += dy;
    }
    constexpr void Offset(CSize s) { Offset(s.cx, s.cy); }
    constexpr CPoint operator+(CSize s) const { return {x + s.cx, y + s.cy}; }
    constexpr CPoint operator-(CSize s) const { return {x - s.cx, y - s.cy}; }
    constexpr CSize operator-(CPoint p) const { return {x - p.x, y - p.y}; }
    constexpr CPoint& operator+=(CSize s)
    {
        Offset(s);
        return *this;
    }
    constexpr CPoint& operator-=(CSize s)
    {
        Offset(-s.cx, -s.cy);
        return *this;
    }
};
