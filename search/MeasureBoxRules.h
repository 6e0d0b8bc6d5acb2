#pragma once

#include <string>

// The rules of the measuring tools' result boxes: the texts of measured
// values, also in lists (code page 1257: the degree sign is 0xB0, the
// square 0xB2), and the commands their buttons send the main window.

// A length: below 0.01 km in metres with three decimals, below 1 km in
// whole metres, else in kilometres with three decimals; "0 m" below
// 0.000001 km, negative lengths included.
std::string FormatLengthKm(double km);
// An area: "*****" for a negative one (an invalid polygon), "0 m²" for
// none, six significant digits in km² from 1 km² on, else in m².
std::string FormatAreaKm2(double km2);
// The forward and the back azimuth in degrees, one decimal each.
std::string FormatAzimuths(double forward, double back);
// A route's length, as short as "%g" writes it.
std::string FormatRouteLengthKm(double km);

// The commands the boxes send: "Išvalyti" clears the distances measured
// with the distance tool (mode 5), else the distance along the road;
// closing the distance or the area box ends the measuring tool.
constexpr int kCmdClearMeasurements = 30628;
constexpr int kCmdClearRoadDistance = 30627;
constexpr int kCmdEndMeasuring = 30065;
constexpr int DistanceBoxClearCommand(int toolMode)
{
    return toolMode == 5 ? kCmdClearMeasurements : kCmdClearRoadDistance;
}
