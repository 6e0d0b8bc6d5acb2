#pragma once

#include "core/MapPoint.h"

#include <string>

// What a search found, as the view shows it: kind -1 nothing, 0 and 1 a
// point with its label, 2 a point between two others, each with its label
// (a house between its neighbours).
struct CFoundObject {
    int kind = -1;
    CMapPoint point;
    CMapPoint second;
    CMapPoint third;
    std::string label;
    std::string secondLabel;
};
