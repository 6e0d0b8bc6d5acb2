#include "routing/RouteLayerSource.h"

std::unique_ptr<IRouteLayerSource> CreateRouteLayerSource()
{
    return nullptr;
}
