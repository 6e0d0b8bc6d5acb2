#pragma once

class CDC;
class CDrelView;

// The interactive route points of one map view, as the view draws them;
// the routing part makes them and fills in the rest.
class IRoutePoints {
public:
    virtual ~IRoutePoints() = default;
    // The markers and the computed legs over the map.
    virtual void Draw(CDC& dc, CDrelView& view) = 0;
};
