#pragma once

#include "core/MapRect.h"
#include "mapdoc/RouteSettings.h"

#include <string>
#include <string_view>

enum MapUnits : int { kUnitsDegrees = 0, kUnitsMetres = 1, kUnitsKilometres = 2, kUnitsNauticalMiles = 3 };

// [Map] "OptimScale" as the settings file holds it: 10000 for a text that
// is no positive number.
double ParseOptimScale(std::string_view text);

// The settings of one map that its settings file keeps (and the GPS
// target layer, which it does not), as the document holds them.
struct CMapSettings : CRouteFields {
    std::string name;
    int autoLoad = 0;
    int autoRecalcMapExtent = 1;
    int mapUnits = kUnitsDegrees;
    CMapRect limits; // the map extent; empty until known
    double optimScale = 10000;

    // Legend: 0 all layers, 1 working layers, 2 visible working layers.
    int legendType = 1;
    int legendAutoUpdate = 1;

    std::string routesLayer; // with the field names of the base

    std::string streetsLayer;
    std::string streetNameField;
    std::string cityNameField;
    std::string codeField;

    std::string addressesLayer;
    std::string streetCodeField;
    std::string numField;
    std::string letterField;
    std::string streetCodeField2;
    std::string numField2;
    std::string letterField2;

    std::string gpsSaveLayer;
    std::string placemarksLayer;

    int scaleBarShow = 0;
    int scaleBarOffsetX = 0; // hundredths of a millimetre
    int scaleBarOffsetY = 0;
    int scaleBarFromLeft = 0; // 1 measured from the left edge of the view, 0 from the right
    int scaleBarFromTop = 0;  // 1 from the top, 0 from the bottom
};
