#pragma once

#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/ObjectMeasureBox.h"
#include "mapdoc/ScaleBar.h"
#include "platform/Rect.h"

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
    // Paints the client rectangle again soon, without erasing it first.
    virtual void InvalidateRect(const CRect& rect) { InvalidateView(); }
    // Paints at once what waits to be painted.
    virtual void UpdateView() {}
    // The keyboard goes to the view.
    virtual void FocusView() {}
    // The frame becomes the active map window.
    virtual void ActivateFrame() {}
    // The first submenu of the menu resource at the client point, owned by
    // the main window; the command chosen goes to the frame.
    virtual void ShowContextMenu(int menuId, const CPoint& client) {}
    // A client point of the view in screen pixels.
    virtual CPoint ClientToScreen(const CPoint& client) { return client; }
    // The legend lists again what it shows at the view's scale.
    virtual void RebuildLegend() {}
    // The overview of the frame; null when there is none.
    virtual CDrelView* GetOverview() { return nullptr; }
    // The layer the frame's legend has selected; null when none is.
    virtual CLayer* GetActiveLayer() { return nullptr; }
    // The pixels of the window, for drawing straight onto it; null when
    // the window has none.
    virtual CWindowSurface* GetSurface() { return nullptr; }
    // The pointer over the window becomes the cursor picture of the id
    // (res/CursorTable.h); 0 is the default arrow.
    virtual void SetCursor(int cursorId) {}
    // A child window over the view that shows the bar; null when the
    // window has none.
    virtual std::unique_ptr<IScaleBarWindow> CreateScaleBarWindow(CScaleBar& bar) { return nullptr; }
    // The boxes with the area and the length of a picked object, over the
    // view; null when the window has none.
    virtual std::unique_ptr<IObjectMeasureBox> CreateObjectAreaBox() { return nullptr; }
    virtual std::unique_ptr<IObjectMeasureBox> CreateObjectLengthBox() { return nullptr; }
    // The result boxes of the distance (box 217), area and perimeter
    // (30737) and azimuth (30738) tools; null when the window has none.
    virtual std::unique_ptr<IDistanceBox> CreateDistanceBox() { return nullptr; }
    virtual std::unique_ptr<IAreaPerimeterBox> CreateAreaPerimeterBox() { return nullptr; }
    virtual std::unique_ptr<IAzimuthBox> CreateAzimuthBox() { return nullptr; }
    // The box of the route's length (30741); null when the window has none.
    virtual std::unique_ptr<IRouteLengthBox> CreateRouteLengthBox() { return nullptr; }
    // The mouse goes to this window alone, also outside it, until released;
    // false when another window holds it.
    virtual bool CaptureMouse() { return false; }
    virtual void ReleaseMouse() {}
    // The layer becomes the one the frame's legend has selected.
    virtual void SelectLayer(CLayer* layer) {}
};
