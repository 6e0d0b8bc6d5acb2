#include "search/MeasureBoxRules.h"

#include "platform/NumberText.h"

#include <cmath>

std::string FormatLengthKm(double km)
{
    if (!(km >= 0.000001))
        return "0 m";
    if (km < 0.01)
        return FormatC("%5.3f m", km * 1000);
    if (km < 1)
        return FormatC("%1.0f m", km * 1000);
    return FormatC("%5.3f km", km);
}

std::string FormatAreaKm2(double km2)
{
    // Written so that NaN, an area of nothing sensible, shows as invalid.
    if (!(km2 >= 0))
        return "*****";
    if (km2 == 0)
        return "0 m\xB2";
    if (std::fabs(km2) >= 1)
        return FormatC("%.6g km\xB2", km2);
    return FormatC("%.6g m\xB2", km2 * 1000000);
}

std::string FormatAzimuths(double forward, double back)
{
    return FormatC("%3.1f\xB0 <--> %3.1f\xB0", forward, back);
}

std::string FormatRouteLengthKm(double km)
{
    return FormatC("%g km", km);
}
