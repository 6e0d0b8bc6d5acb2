#include "search/widgets/SearchInstall.h"

#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/SearchDialogs.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"

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

} // namespace

void InstallSearchDialogs(CDrelApp& app)
{
    InstallDialogs();
    InstallObjectInfo();
}
