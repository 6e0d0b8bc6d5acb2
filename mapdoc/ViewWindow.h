#pragma once

#include "mapdoc/ScaleBar.h"

#include <memory>

class CDrelView;
class CLayer;
class CWindowSurface;

// The window of a map view and what the view reaches of its frame: the
// window's repaint, the frame's legend and overview. Without a window a
// view computes but shows nothing.
class IViewWindow {
public:
    virtual ~IViewWindow() = default;
    // Paints the view again soon, through its OnDraw.
    virtual void InvalidateView() = 0;
    // The legend lists again what it shows at the view's scale.
    virtual void RebuildLegend() {}
    // The overview of the frame; null when there is none.
    virtual CDrelView* GetOverview() { return nullptr; }
    // The layer the frame's legend has selected; null when none is.
    virtual CLayer* GetActiveLayer() { return nullptr; }
    // The pixels of the window, for drawing straight onto it; null when
    // the window has none.
    virtual CWindowSurface* GetSurface() { return nullptr; }
    // A child window over the view that shows the bar; null when the
    // window has none.
    virtual std::unique_ptr<IScaleBarWindow> CreateScaleBarWindow(CScaleBar& bar) { return nullptr; }
};
