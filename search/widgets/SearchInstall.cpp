#include "search/widgets/SearchInstall.h"

#include "platform/CommandTarget.h"
#include "search/TableDoc.h"
#include "search/widgets/CoordTransformDlg.h"
#include "search/widgets/DbfFrame.h"
#include "search/widgets/FindSheet.h"
#include "search/widgets/MeasureBoxDlg.h"
#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/SearchDialogs.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"

#include <QTimer>

namespace {

void InstallDialogs()
{
    // One for the process, over whatever is installed when the installer
    // runs (installing it again changes nothing).
    static CSearchDialogs dialogs;
    if (ISearchDialogs& before = SearchDialogs(); &before != &dialogs)
        dialogs.SetSearchBefore(&before);
    if (IQueryDialogs& before = QueryDialogs(); &before != &dialogs)
        dialogs.SetQueryBefore(&before);
    SetSearchDialogs(&dialogs);
    SetQueryDialogs(&dialogs);
}

void InstallObjectInfo()
{
    MainFrameHooks().makeObjectInfo = [](CMainFrame& frame) -> IObjectInfoWindow* { return new CObjectInfoDlg(&frame); };
}

constexpr int kCmdFind = 30431;

// 30431 of a map window: the find sheet for its map view.
void AddFindCommand(CMapFrame& frame, CCommandTable& table)
{
    table.On(kCmdFind, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            RunFindSheet(*view, &frame);
    });
    table.OnUpdate(kCmdFind, [&frame](CCommandState& state) { state.Enable(frame.GetMapView() != nullptr); });
}

void InstallFindCommand()
{
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddFindCommand);
        return true;
    }();
    (void)registered;
}

// The attribute-table windows (template 130) in the main window's area.
void InstallTableWindow(CDrelApp& app)
{
    app.SetTableFactories([]() -> std::unique_ptr<CShellDocument> { return std::make_unique<CTableDoc>(); },
                          [&app](CShellDocument& document, CDocTemplate& docTemplate) -> IDocFrame* {
                              CMainFrame* main = app.GetMainFrame();
                              if (!main || !dynamic_cast<CTableDoc*>(&document))
                                  return nullptr;
                              auto* child = new CDbfFrame(document, docTemplate);
                              main->AddChild(child);
                              return child;
                          });
}

constexpr int kCmdCoordTransform = 30611;

// The command runs once the handler that posts it has returned: carrying
// it out may delete the box whose button posted it.
void PostToMainFrame(int command)
{
    const CDrelApp* app = CDrelApp::Instance();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (frame)
        QTimer::singleShot(0, frame, [frame, command] { frame->Actions().Execute(command); });
}

template <class Box, class... Args>
std::unique_ptr<Box> CreateBox(QWidget& owner, Args&&... args)
{
    auto box = std::make_unique<Box>(owner, std::forward<Args>(args)...);
    box->Create();
    return box;
}

void InstallMeasureBoxes()
{
    CMeasureBoxMakers& boxes = CMapFrame::Hooks().boxes;
    boxes.distance = [](QWidget& owner) -> std::unique_ptr<IDistanceBox> {
        return CreateBox<CDistanceDlg>(owner, PostToMainFrame);
    };
    boxes.areaPerimeter = [](QWidget& owner) -> std::unique_ptr<IAreaPerimeterBox> {
        return CreateBox<CAreaPerimeterDlg>(owner, PostToMainFrame);
    };
    boxes.azimuth = [](QWidget& owner) -> std::unique_ptr<IAzimuthBox> { return CreateBox<CAzimuthDlg>(owner); };
    boxes.objectArea = [](QWidget& owner) -> std::unique_ptr<IObjectMeasureBox> {
        return CreateBox<CObjectAreaDlg>(owner);
    };
    boxes.objectLength = [](QWidget& owner) -> std::unique_ptr<IObjectMeasureBox> {
        return CreateBox<CObjectLengthDlg>(owner);
    };
    boxes.routeLength = [](QWidget& owner) -> std::unique_ptr<IRouteLengthBox> {
        return CreateBox<CRouteLengthDlg>(owner);
    };
}

void AddMainFrameCommands(CMainFrame& frame, CCommandTable& c)
{
    c.On(kCmdCoordTransform, [&frame] {
        CCoordTransformDlg dialog(&frame);
        dialog.DoModal();
    });
}

} // namespace

void InstallSearchDialogs(CDrelApp& app)
{
    InstallDialogs();
    InstallObjectInfo();
    InstallFindCommand();
    InstallTableWindow(app);
    InstallMeasureBoxes();
    static const bool registered = [] {
        CCommandRegistry<CMainFrame>::Instance().Add(AddMainFrameCommands);
        return true;
    }();
    (void)registered;
}
