#pragma once

// A device or logical extent: two 32-bit integers.
class CSize {
public:
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int x, int y) : cx(x), cy(y) {}

    constexpr bool operator==(const CSize&) const = default;
    constexpr CSize operator+(CSize o) const { return {cx + o.cx, cy + o.cy}; }
    constexpr CSize operator-(CSize o) const { return {cx - o.cx, cy - o.cy}; }
    constexpr CSize operator-() const { return {-cx, -cy}; }
};
