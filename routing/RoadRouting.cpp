#include "routing/RoadRouting.h"

#include "routing/RouteNetwork.h"

CNetworkRoadRouter::CNetworkRoadRouter(const CDrelDoc& document) : m_document(document) {}

bool CNetworkRoadRouter::RouteBetween(const CMapPoint& a, const CMapPoint& b, CMapPointArray& leg)
{
    leg.RemoveAll();
    // Built anew for every leg: the layer may have changed in between.
    CRouteNetwork network;
    if (!network.LoadSettings(m_document))
        return false;
    const CMapPoint points[2] = {a, b};
    if (!network.RouteThroughPoints(points, 2) || network.legs.empty())
        return false;
    for (const std::unique_ptr<CShape>& shape : network.legs)
        leg.Append(shape->Points());
    return !leg.IsEmpty();
}

void InstallRoadRouting()
{
    SetRoadRouterMaker([](const CDrelDoc& document, const CRouteSettings&) -> std::unique_ptr<IRoadRouter> {
        return std::make_unique<CNetworkRoadRouter>(document);
    });
}
