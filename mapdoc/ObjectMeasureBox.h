#pragma once

#include <string>

// A small modeless box over a map view with the measure of a picked
// object: box 30739 "Objekto plotas" shows an area in km², box 30740
// "Objekto ilgis" a length in km, each formatting the value itself. The
// view makes each once and destroys both with its overlays.
class IObjectMeasureBox {
public:
    virtual ~IObjectMeasureBox() = default;
    // Shows the box with the object's name (code page 1257) and value.
    virtual void ShowMeasure(const std::string& name, double value) = 0;
};
