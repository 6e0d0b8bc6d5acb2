#pragma once

#include <functional>
#include <memory>

class CDC;
class CDrelView;

// The interactive route points of one map view: the clicks of the route
// point modes and what the view draws of them; the routing part makes
// them and fills in the rest. Points are client pixels of the view.
class IRoutePoints {
public:
    virtual ~IRoutePoints() = default;
    // The markers and the computed legs over the map.
    virtual void Draw(CDC& dc, CDrelView& view) = 0;
    virtual void SetStart(CDrelView& view, int x, int y) {}
    virtual void SetFinish(CDrelView& view, int x, int y) {}
    virtual void AddIntermediate(CDrelView& view, int x, int y) {}
    // Drags the marker nearest to the point.
    virtual void MovePoint(CDrelView& view, int x, int y) {}
    virtual int GetPointCount() const { return 0; }

    // While a marker is dragged the view hands these to the route points
    // instead of its tool: the mouse is captured (IViewWindow::CaptureMouse)
    // until the drag ends.
    virtual bool IsDragging() const { return false; }
    virtual void OnDragMouseMove(CDrelView& view, int x, int y) {}
    virtual void OnDragLButtonUp(CDrelView& view, int x, int y) {}
    virtual void OnDragRButtonDown(CDrelView& view) {}
    virtual void OnDragKeyDown(CDrelView& view, int key) {}
    // The window lost the keyboard, and with it the drag.
    virtual void OnDragFocusLost(CDrelView& view) {}
};

// Makes the route points of a view on their first use; the routing part
// installs it. Without one, and when it gives null, the view has none.
using RoutePointsMaker = std::function<std::unique_ptr<IRoutePoints>(CDrelView& view)>;
void SetRoutePointsMaker(RoutePointsMaker maker);
std::unique_ptr<IRoutePoints> MakeRoutePoints(CDrelView& view);
