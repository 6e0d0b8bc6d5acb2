#pragma once

#include "mapdoc/RoadRouter.h"

// The distance along the road of the map views, routed over the map's
// network as a route through two points is (CRouteNetwork::
// RouteThroughPoints: points off the network are joined to it straight).
class CNetworkRoadRouter : public IRoadRouter {
public:
    explicit CNetworkRoadRouter(const CDrelDoc& document);
    bool RouteBetween(const CMapPoint& a, const CMapPoint& b, CMapPointArray& leg) override;

private:
    const CDrelDoc& m_document;
};

// Makes the map views route their road distances so.
void InstallRoadRouting();
