#include "mapdoc/RoutePoints.h"

namespace {
RoutePointsMaker& Maker()
{
    static RoutePointsMaker maker;
    return maker;
}
} // namespace

void SetRoutePointsMaker(RoutePointsMaker maker)
{
    Maker() = std::move(maker);
}

std::unique_ptr<IRoutePoints> MakeRoutePoints(CDrelView& view)
{
    return Maker() ? Maker()(view) : nullptr;
}
