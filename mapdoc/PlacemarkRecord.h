#pragma once

#include "core/MapPoint.h"

class CFeatureSource;

// Appends a placemark at the point to the open placemark source: NAME is
// the table's record count after the append plus one, SYMBOL -1 (the
// layer's style chooses the symbol). The new record is the current one;
// false when it could not be written.
bool AppendPlacemarkRecord(CFeatureSource& source, const CMapPoint& point);
