#include "core/SegmentPairs.h"

#include "core/MapGeometry.h"
#include "core/Shape.h"

#include <algorithm>
#include <cmath>

void CollectShapeSegments(const CShape& shape, bool closed, std::vector<CShapeSegment>& segments,
                          std::vector<CSegmentBox>& boxes)
{
    segments.clear();
    boxes.clear();
    const CMapPointArray& points = shape.Points();
    const auto add = [&](int from, int to, int part) {
        const CMapPoint& a = points[from];
        const CMapPoint& b = points[to];
        if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
            return;
        if (std::fabs(a.x - b.x) <= kSegmentTolerance && std::fabs(a.y - b.y) <= kSegmentTolerance)
            return;
        boxes.push_back(CSegmentBox{std::min(a.x, b.x) - kSegmentTolerance, std::min(a.y, b.y) - kSegmentTolerance,
                                    std::max(a.x, b.x) + kSegmentTolerance, std::max(a.y, b.y) + kSegmentTolerance,
                                    static_cast<int>(segments.size())});
        segments.push_back(CShapeSegment{from, to, part});
    };
    const int count = shape.GetPointCount();
    for (int k = 0, first = 0; k < shape.GetPartCount() && first < count; ++k) {
        const int size = std::clamp(shape.GetPartSize(k), 0, count - first);
        for (int i = first; i + 1 < first + size; ++i)
            add(i, i + 1, k);
        if (closed && size >= 3 && !(points[first] == points[first + size - 1]))
            add(first + size - 1, first, k);
        first += size;
    }
}
