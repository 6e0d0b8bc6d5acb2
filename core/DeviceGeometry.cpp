#include "core/DeviceGeometry.h"

#include "core/MapGeometry.h"
#include "core/SimplifyWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using Wide = __int128;

// Truncates towards zero into the device range.
int32_t TruncToDevice(double value)
{
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    return static_cast<int32_t>(std::clamp(t, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

int32_t ClampToDevice(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// (s1 - s0) x (q - s0), exact for any 32-bit points.
Wide Cross(const CDevicePoint& s0, const CDevicePoint& s1, const CDevicePoint& q)
{
    const int64_t ux = int64_t{s1.x} - s0.x, uy = int64_t{s1.y} - s0.y;
    const int64_t vx = int64_t{q.x} - s0.x, vy = int64_t{q.y} - s0.y;
    return Wide{ux} * vy - Wide{uy} * vx;
}

// 1 left, 2 right (by the sign of the cross product), 0 on the line.
int Side(const CDevicePoint& q, const CDevicePoint& s0, const CDevicePoint& s1)
{
    const Wide c = Cross(s0, s1, q);
    return c > 0 ? 1 : c < 0 ? 2 : 0;
}

bool InBox(const CDevicePoint& q, const CDevicePoint& s0, const CDevicePoint& s1)
{
    return q.x >= std::min(s0.x, s1.x) && q.x <= std::max(s0.x, s1.x) && q.y >= std::min(s0.y, s1.y) &&
           q.y <= std::max(s0.y, s1.y);
}

} // namespace

int SegmentAngleTenths(const CDevicePoint& p1, const CDevicePoint& p2)
{
    if (p1.y == p2.y)
        return 0;
    if (p1.x == p2.x)
        return 900;
    const double rise = static_cast<double>(int64_t{p1.y} - p2.y);
    const double run = static_cast<double>(int64_t{p2.x} - p1.x);
    return static_cast<int>(std::atan(rise / run) * kRadToDeg * 10);
}

CDevicePoint RotatePoint(const CDevicePoint& centre, const CDevicePoint& point, int angleTenths)
{
    if (angleTenths == 0)
        return point;
    const double t = -(angleTenths * 0.1 * kDegToRad);
    const double dx = static_cast<double>(int64_t{point.x} - centre.x);
    const double dy = static_cast<double>(int64_t{point.y} - centre.y);
    return CDevicePoint(TruncToDevice(std::cos(t) * dx + centre.x - dy * std::sin(t)),
                        TruncToDevice(std::cos(t) * dy + dx * std::sin(t) + centre.y));
}

void ComputeArrowHead(const CDevicePoint& start, const CDevicePoint& end, int length, int width,
                      CDevicePoint out[4])
{
    const double angle = VectorAngle(static_cast<double>(int64_t{end.x} - start.x),
                                     static_cast<double>(int64_t{end.y} - start.y));
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    const int64_t h = int64_t{length} * 5 / 3;
    const CDevicePoint tip(TruncToDevice(end.x + std::trunc(s * static_cast<double>(h))),
                           TruncToDevice(end.y + std::trunc(c * static_cast<double>(h))));
    const double k = width * 3.2 - static_cast<double>(h);
    const int64_t baseX = end.x - int64_t{TruncToDevice(s * k)};
    const int64_t baseY = end.y - int64_t{TruncToDevice(c * k)};
    const int64_t o = TruncToDevice(-width * c);
    const int64_t w = TruncToDevice(s * width);
    out[0] = tip;
    out[1] = CDevicePoint(ClampToDevice(baseX + o), ClampToDevice(baseY + w));
    out[2] = CDevicePoint(ClampToDevice(baseX - o), ClampToDevice(baseY - w));
    out[3] = tip;
}

bool DeviceSegmentsCross(const CDevicePoint& a, const CDevicePoint& b, const CDevicePoint& p1,
                         const CDevicePoint& p2)
{
    const int sideA = Side(a, p1, p2);
    const int sideB = Side(b, p1, p2);
    if (sideA != 0 && sideB != 0) {
        if (sideA == sideB)
            return false;
        const int side1 = Side(p1, a, b);
        const int side2 = Side(p2, a, b);
        return side1 == 0 || side2 == 0 || side1 != side2;
    }
    if (sideA == 0 && sideB != 0)
        return InBox(a, p1, p2);
    if (sideB == 0 && sideA != 0)
        return InBox(b, p1, p2);
    return InBox(a, p1, p2) || InBox(b, p1, p2) || InBox(p1, a, b) || InBox(p2, a, b);
}

bool PolylinesIntersect(const CDevicePoint* line1, int n1, const CDevicePoint* line2, int n2, bool closed)
{
    const int segments1 = closed && n1 >= 2 ? n1 : n1 - 1;
    const int segments2 = closed && n2 >= 2 ? n2 : n2 - 1;
    for (int j = 0; j < segments2; ++j) {
        const CDevicePoint& p1 = line2[j];
        const CDevicePoint& p2 = line2[j + 1 < n2 ? j + 1 : 0];
        for (int i = 0; i < segments1; ++i) {
            if (DeviceSegmentsCross(line1[i], line1[i + 1 < n1 ? i + 1 : 0], p1, p2))
                return true;
        }
    }
    return false;
}

bool PointInConvexDevicePolygon(const CDevicePoint* polygon, int n, const CDevicePoint& p)
{
    bool left = false, right = false;
    for (int i = 0; i < n; ++i) {
        const int side = Side(p, polygon[i], polygon[i + 1 < n ? i + 1 : 0]);
        left = left || side == 1;
        right = right || side == 2;
    }
    return left != right;
}

int SimplifyDevicePolyline(const CDevicePoint* src, CDevicePoint* dst, int n, int mode)
{
    if (n <= 2) {
        std::copy(src, src + std::max(n, 0), dst);
        return std::max(n, 0);
    }
    int out = 0;
    switch (mode) {
    case 0:
        dst[out++] = src[0];
        for (int i = 1; i < n; ++i) {
            if (!(src[i] == src[i - 1]))
                dst[out++] = src[i];
        }
        if (out == 1)
            dst[out++] = src[n - 1];
        return out;
    case 1: {
        // Compared with the last point kept, so a slow curve is not lost
        // to many small turns.
        dst[out++] = src[0];
        CDevicePoint kept = src[0];
        for (int i = 1; i + 1 < n; ++i) {
            // (i - kept) x (next - i): the turn of kept -> i -> next.
            const Wide turn = Cross(kept, src[i], src[i + 1]);
            if (turn > 8 || turn < -8) {
                dst[out++] = src[i];
                kept = src[i];
            }
        }
        dst[out++] = src[n - 1];
        return out;
    }
    case 2:
        return SimplifyDevicePolylineTol(src, dst, n, 0.5);
    default:
        dst[out++] = src[0];
        return out;
    }
}

int SimplifyDevicePolylineTol(const CDevicePoint* src, CDevicePoint* dst, int n, double tolerance)
{
    const double tolerance2 = tolerance * tolerance;
    const auto firstFailure = [tolerance2](const CDevicePoint* p, int anchor, int last) {
        const CDevicePoint& p0 = p[anchor];
        const CDevicePoint& p1 = p[last];
        const double dx = static_cast<double>(int64_t{p0.x} - p1.x);
        const double dy = static_cast<double>(int64_t{p0.y} - p1.y);
        const double limitValue = std::trunc((dy * dy + dx * dx) * tolerance2 + 0.5);
        const uint64_t limit = !(limitValue >= 0) ? 0
                               : limitValue >= 18446744073709551615.0
                                   ? std::numeric_limits<uint64_t>::max()
                                   : static_cast<uint64_t>(limitValue);
        for (int i = anchor + 1; i < last; ++i) {
            const Wide cross = Cross(p0, p1, p[i]);
            const Wide h = cross < 0 ? -cross : cross;
            const bool fails = h < 65536 ? static_cast<uint64_t>(h * h) > limit
                                         : static_cast<double>(h) * static_cast<double>(h) > static_cast<double>(limit);
            if (fails)
                return i;
        }
        return -1;
    };
    return SimplifyByWindows(src, dst, n, 5, firstFailure);
}
