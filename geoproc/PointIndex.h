#pragma once

#include "core/MapPoint.h"

#include <vector>

class CSpatialIndex;

// An index over the points (CSpatialIndex, kSourceCellCount cells, item i
// for point i) made afresh; points that are no numbers are not indexed.
// Left empty, and true, when no point can be indexed; false when the index
// could not be made.
bool IndexPoints(const std::vector<CMapPoint>& points, CSpatialIndex& index);
