#pragma once

class CDC;
class CDrelView;

// Point symbols of the vehicle marker.
enum VehicleSymbol : int {
    kSymbolGpsLost = 118,
    kSymbolVehicleCentre = 119,
    kSymbolVehicleNoCourse = 121,
};

// The vehicle at a position in decimal degrees: nothing when the position
// is unset or outside the view's extent; symbol 118 when lost is set,
// symbol 121 for a negative course; else a red arrowhead pointing along
// the course (degrees clockwise from north), its tip 19 pixels from the
// point, and symbol 119 on the point.
void DrawVehicleMarker(CDC& dc, CDrelView& view, double longitude, double latitude, double course, int lost);
