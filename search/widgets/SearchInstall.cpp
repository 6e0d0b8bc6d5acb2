#include "search/widgets/SearchInstall.h"

#include "search/widgets/FindSheet.h"
#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/SearchDialogs.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"

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

} // namespace

void InstallSearchDialogs(CDrelApp& app)
{
    InstallDialogs();
    InstallObjectInfo();
    InstallFindCommand();
}
