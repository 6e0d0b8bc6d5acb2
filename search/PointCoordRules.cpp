#include "search/PointCoordRules.h"

#include "platform/NumberText.h"

CGeoPointMemory& GeoPointMemory()
{
    static CGeoPointMemory memory;
    return memory;
}

std::string DecimalDegreesText(double value)
{
    return value == 0 ? "0.0" : FormatC("%.15g", value);
}
