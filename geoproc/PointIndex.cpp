#include "geoproc/PointIndex.h"

#include "core/MapRect.h"
#include "layers/SpatialIndex.h"

#include <cmath>

bool IndexPoints(const std::vector<CMapPoint>& points, CSpatialIndex& index)
{
    index.Free();
    CMapRect extent;
    for (const CMapPoint& point : points)
        // A point that is no number lies nowhere; it must not stretch the index.
        if (std::isfinite(point.x) && std::isfinite(point.y))
            extent.UnionPoint(point);
    if (!extent.IsValid())
        return true;
    const int count = static_cast<int>(points.size());
    if (!index.Create(extent, count, CSpatialIndex::kSourceCellCount))
        return false;
    for (int i = 0; i < count; ++i) {
        const CMapPoint& point = points[static_cast<size_t>(i)];
        if (std::isfinite(point.x) && std::isfinite(point.y))
            index.AddPoint(point, i);
    }
    return index.Build();
}
