#pragma once

#include "core/MapPoint.h"

class CShape;

// Relation codes of two rings A and B.
enum : int {
    kRingsFailed = -1,            // could not be computed
    kRingsApart = 0,              // also for rings of fewer than 3 points
    kRingAContainsB = 1,          // boundaries apart
    kRingBContainsA = 2,          // boundaries apart
    kRingsEqual = 3,
    kRingsTouch = 4,              // boundaries meet, interiors apart
    kRingAContainsBTouching = 5,
    kRingBContainsATouching = 6,
    kRingsCross = 7,              // each has area outside the other
};

// The relation of two rings (closed implicitly).
int ClassifyRingRelation(const CMapPoint* a, int na, const CMapPoint* b, int nb);

// The pieces of the line inside the polygon (its boundary included) and
// outside it, one part per piece. Either out shape may be null, or the
// line itself. Always true.
bool SplitLineByPolygon(const CShape& line, const CShape& polygon, CShape* inside, CShape* outside);
