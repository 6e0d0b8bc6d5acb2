#pragma once

class CDC;
class CDrelView;
class CRect;

// The scale bar of a map view as the map drawing reaches it. On the screen
// the bar is a window of its own over the map; in an exported picture it
// is drawn into the map.
class IScaleBarPainter {
public:
    virtual ~IScaleBarPainter() = default;
    // The map is drawn anew at the view's scale: the shown bar takes its
    // steps and its place again.
    virtual void OnMapRedrawn(CDrelView& view) {}
    // Draws the bar into an exported map, inside its device rectangle.
    virtual void DrawForExport(CDC& dc, CDrelView& view, const CRect& deviceRect) {}
};
