#include "search/widgets/SearchInstall.h"

#include "search/TableDoc.h"
#include "search/widgets/DbfFrame.h"
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

} // namespace

void InstallSearchDialogs(CDrelApp& app)
{
    InstallDialogs();
    InstallObjectInfo();
    InstallTableWindow(app);
}
