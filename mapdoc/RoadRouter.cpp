#include "mapdoc/RoadRouter.h"

namespace {
RoadRouterMaker& Maker()
{
    static RoadRouterMaker maker;
    return maker;
}
} // namespace

RoadRouterMaker SetRoadRouterMaker(RoadRouterMaker maker)
{
    RoadRouterMaker previous = std::move(Maker());
    Maker() = std::move(maker);
    return previous;
}

std::unique_ptr<IRoadRouter> MakeRoadRouter(const CDrelDoc& document, const CRouteSettings& settings)
{
    return Maker() ? Maker()(document, settings) : nullptr;
}
