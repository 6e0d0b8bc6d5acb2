#pragma once

class CDrelView;
class CLayer;

// What the main window and the application ask of the window of a map
// document: its map view (not the overview) and its legend's selection.
class IMapFrameWindow {
public:
    virtual ~IMapFrameWindow() = default;
    // Null while the window has no map view.
    virtual CDrelView* GetMapView() = 0;
    // The layer or group selected in the legend; null when none.
    virtual CLayer* GetActiveLayer() { return nullptr; }
    // The group the legend shows; null at the top of the layer list.
    virtual CLayer* GetOpenLegendGroup() { return nullptr; }
};
