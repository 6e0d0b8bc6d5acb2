#include "routing/widgets/RoutingInstall.h"

#include "core/Shape.h"
#include "layers/Layer.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "routing/PlanningTask.h"
#include "routing/RoadRouting.h"
#include "routing/RoutePoints.h"
#include "routing/SaveRoute.h"
#include "routing/widgets/PlanningTaskDlg.h"
#include "routing/widgets/NetworkCommands.h"
#include "routing/widgets/SaveRouteDlg.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/MapFrame.h"

#include <vector>

namespace {

enum RouteCommand : int {
    kCmdComputeRoute = 30035,
    kCmdClearRoute = 30036,
    kCmdSaveRoute = 30620,
    kCmdClientVisits = 30279,
};

constexpr int kNoLayer = 1022;
constexpr int kNotPointLayer = 1060;

// The view's route points when they have legs to save.
CRoutePoints* ComputedRoute(CMapFrame& frame)
{
    CDrelView* view = frame.GetMapView();
    auto* points = view ? dynamic_cast<CRoutePoints*>(view->GetRoutePoints()) : nullptr;
    return points && points->GetLegCount() > 0 ? points : nullptr;
}

void SaveRoute(CMapFrame& frame)
{
    CRoutePoints* points = ComputedRoute(frame);
    if (!points)
        return;
    std::vector<const CShape*> legs;
    for (int i = 0; i < points->GetLegCount(); ++i)
        legs.push_back(&points->GetLeg(i));
    CDrelDoc& document = frame.GetMapDocument();
    SaveComputedRoute(document, legs, [&]() -> CLayer* {
        CSaveRouteDlg dialog(document, &frame);
        if (dialog.DoModal() != IDOK)
            return nullptr;
        return dialog.GetOrCreateLayer();
    });
}

bool IsPointLayer(const CLayer* layer)
{
    return layer && layer->GetType() == CLayer::kPoint && !layer->HasFlag(CLayer::kGroup);
}

void PlanClientVisits(CMapFrame& frame)
{
    CLayer* layer = frame.GetActiveLayer();
    if (!layer) {
        AppMessageBox(kNoLayer, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!IsPointLayer(layer)) {
        AppMessageBox(kNotPointLayer, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (CDrelView* view = frame.GetMapView())
        if (CRoutePoints* points = RoutePointsOf(*view))
            points->RunRoundTrip(*layer, *view);
}

void AddRouteCommands(CMapFrame& frame, CCommandTable& c)
{
    const auto withView = [&frame](CCommandState& state) { state.Enable(frame.GetMapView() != nullptr); };
    c.On(kCmdComputeRoute, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            if (CRoutePoints* points = RoutePointsOf(*view))
                points->ComputeRoute(*view);
    });
    c.OnUpdate(kCmdComputeRoute, withView);
    c.On(kCmdClearRoute, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            if (CRoutePoints* points = RoutePointsOf(*view))
                points->Clear(*view);
    });
    c.OnUpdate(kCmdClearRoute, withView);
    c.On(kCmdSaveRoute, [&frame] { SaveRoute(frame); });
    c.OnUpdate(kCmdSaveRoute, [&frame](CCommandState& state) { state.Enable(ComputedRoute(frame) != nullptr); });
    c.On(kCmdClientVisits, [&frame] { PlanClientVisits(frame); });
    c.OnUpdate(kCmdClientVisits, [&frame](CCommandState& state) {
        state.Enable(frame.GetMapView() != nullptr && IsPointLayer(frame.GetActiveLayer()));
    });
}

} // namespace

void InstallRouting()
{
    InstallRoadRouting();
    PlanningTaskDialog() = [](CPlanningTask& task) { return CPlanningTaskDlg(task).DoModal() == IDOK ? 1 : 0; };
    SetRoutePointsMaker([](CDrelView&) -> std::unique_ptr<IRoutePoints> { return std::make_unique<CRoutePoints>(); });
    InstallDistanceCalculator();
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddRouteCommands);
        CCommandRegistry<CMapFrame>::Instance().Add(AddNetworkCommands);
        return true;
    }();
    (void)registered;
}
