#pragma once

#include "core/MapPointArray.h"
#include "mapdoc/RouteSettings.h"

#include <functional>
#include <memory>

class CDrelDoc;

// The route between two points over a map's road network, for the
// distance along the road; the routing part installs its maker.
class IRoadRouter {
public:
    virtual ~IRoadRouter() = default;
    // True when a route from a to b was found: leg gets its line, whose
    // last vertex is b snapped to the network. False leaves leg empty.
    virtual bool RouteBetween(const CMapPoint& a, const CMapPoint& b, CMapPointArray& leg) = 0;
};

// Makes the router of a document from its routing settings (a routing
// layer was found); null when it cannot route.
using RoadRouterMaker = std::function<std::unique_ptr<IRoadRouter>(const CDrelDoc& document, const CRouteSettings&)>;
// Null removes the maker. The previous one is returned.
RoadRouterMaker SetRoadRouterMaker(RoadRouterMaker maker);
// Null without a maker.
std::unique_ptr<IRoadRouter> MakeRoadRouter(const CDrelDoc& document, const CRouteSettings& settings);
