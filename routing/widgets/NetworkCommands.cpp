#include "routing/widgets/NetworkCommands.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "routing/RoutePoints.h"
#include "routing/widgets/GrainDistanceDlg.h"
#include "routing/widgets/RouteImportedPointsDlg.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"

#include <string>

namespace {

enum NetworkCommand : int {
    kCmdRouteImportedPoints = 30196,
    kCmdCheckNetwork = 30354,
};

// The point file chosen last, offered again.
std::string& LastPointsPath()
{
    static std::string path;
    return path;
}

void RouteImportedPoints(CMapFrame& frame)
{
    CDrelView* view = frame.GetMapView();
    CRoutePoints* points = view ? RoutePointsOf(*view) : nullptr;
    if (!points)
        return;
    CRouteImportedPointsDlg dialog(LastPointsPath(), &frame);
    if (dialog.DoModal() != IDOK)
        return;
    LastPointsPath() = dialog.GetPointsPath();
    points->RouteImportedPoints(dialog.GetPointsPath(), dialog.GetResultsPath(), *view);
}

// A view of the document, the active one first.
CDrelView* ViewOf(CDrelDoc& document)
{
    CDrelApp* app = CDrelApp::Instance();
    CMainFrame* main = app ? app->GetMainFrame() : nullptr;
    CDrelView* view = main ? main->GetActiveMapView() : nullptr;
    return view && &view->GetDocument() == &document ? view : nullptr;
}

} // namespace

void AddNetworkCommands(CMapFrame& frame, CCommandTable& c)
{
    c.On(kCmdRouteImportedPoints, [&frame] { RouteImportedPoints(frame); });
    c.OnUpdate(kCmdRouteImportedPoints,
               [&frame](CCommandState& state) { state.Enable(frame.GetMapView() != nullptr); });
    c.On(kCmdCheckNetwork, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            if (CRoutePoints* points = RoutePointsOf(*view))
                points->CheckNetwork(*view);
    });
    c.OnUpdate(kCmdCheckNetwork, [&frame](CCommandState& state) {
        state.Enable(frame.GetMapView() != nullptr && !frame.GetMapDocument().Settings().routesLayer.empty());
    });
}

void InstallDistanceCalculator()
{
    CMapFrame::Hooks().frame.document.distanceCalculator = [](CDrelDoc& document) {
        CGrainDistanceDlg dialog(document, [&document] { return ViewOf(document); });
        dialog.DoModal();
    };
}
