#pragma once

#include <string>

// What the find sheet keeps of its last searches for the rest of the
// process (never saved): the page the last search was started on and the
// values the text, coordinate and address pages start with.
struct CFindState {
    enum Page { kObjectPage = 0, kAddressPage = 1, kTextPage = 2, kCoordPage = 3 };
    enum FieldScope { kAllFields = 0, kNameField = 1 };
    enum LayerScope { kActiveLayer = 0, kAllLayers = 1, kChosenLayers = 2 };

    int lastPage = kObjectPage;
    std::string lastText;
    int lastFieldScope = kAllFields;
    int lastLayerScope = kActiveLayer;
    // Index into the coordinate page's format list.
    int lastCoordFormat = 0;
    // In the planar format last shown.
    double lastX = 0;
    double lastY = 0;
    // Degrees.
    double lastLongitude = 0;
    double lastLatitude = 0;
    std::string lastTown;
};

CFindState& FindState();
