#include "search/widgets/DbfFrame.h"

#include "mapdoc/PageSetup.h"
#include "res/CommandIds.h"
#include "search/TableDoc.h"
#include "search/widgets/TablePrinting.h"
#include "search/widgets/TableView.h"
#include "shell/MainToolbars.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"

#include <QMdiArea>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int kCmdTablePageSetup = 30091;
// A window made outside a multi-document area.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 400;

QPrinter* AppPrinter()
{
    CDrelApp* app = CDrelApp::Instance();
    return app ? &app->Printer() : nullptr;
}

// Once the activation that is going on is done: the table toolbar hides
// unless a table window is current. An application that merely lost the
// focus keeps its current window.
void HideTableBarUnlessTableCurrent()
{
    const CDrelApp* app = CDrelApp::Instance();
    QPointer<CMainFrame> main = app ? app->GetMainFrame() : nullptr;
    if (!main)
        return;
    QTimer::singleShot(0, main, [main] {
        if (main && !dynamic_cast<CDbfFrame*>(main->MdiArea()->currentSubWindow())) {
            MainToolbars().ShowBar(CDbfFrame::kTableBar, false);
            MainToolbars().SetAttributeTableBarFlag(false);
        }
    });
}

} // namespace

CDbfFrame::CDbfFrame(CShellDocument& document, CDocTemplate& docTemplate) : CMdiChild(document, docTemplate)
{
    if (auto* table = dynamic_cast<CTableDoc*>(&document)) {
        m_view = new CTableView(*table);
        setWidget(m_view);
        AddView(m_view, &m_view->Commands());
    }
    resize(kDefaultWidth, kDefaultHeight);
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        const bool active = now.testFlag(Qt::WindowActive);
        if (active != m_active)
            OnActivation(active);
    });

    const auto withView = [this](CCommandState& state) { state.Enable(GetView() != nullptr); };
    Commands().On(kCmdFilePrint, [this] {
        if (CTableView* view = GetView())
            RunPrintJob(TablePrintJob(*view), this, AppPrinter());
    });
    Commands().On(kCmdFilePrintDirect, [this] {
        if (CTableView* view = GetView())
            RunPrintJob(TablePrintJob(*view), this, AppPrinter(), true);
    });
    Commands().On(kCmdFilePrintPreview, [this] {
        if (CTableView* view = GetView())
            RunPrintPreview(TablePrintJob(*view), this, AppPrinter());
    });
    for (const int id : {kCmdFilePrint, kCmdFilePrintDirect, kCmdFilePrintPreview})
        Commands().OnUpdate(id, withView);
    Commands().On(kCmdTablePageSetup, [] { PageSetup().EditTableSetup(); });
    Commands().OnUpdate(kCmdTablePageSetup,
                        [](CCommandState& state) { state.Enable(PageSetup().CanEditTableSetup()); });
    InstallRegisteredCommands(*this);
}

CDbfFrame::~CDbfFrame()
{
    // The view goes before this frame's members.
    TearDown();
    HideTableBarUnlessTableCurrent();
}

CTableView* CDbfFrame::GetView() const
{
    return GetDocument() ? m_view.data() : nullptr;
}

CTableDoc* CDbfFrame::GetTableDocument() const
{
    return dynamic_cast<CTableDoc*>(GetDocument());
}

void CDbfFrame::OnInitialUpdate()
{
    if (CTableView* view = GetView())
        view->OnInitialUpdate();
}

void CDbfFrame::ActivateFrame()
{
    // Opened restored: a useful size, not the small one it was made with.
    const CDrelApp* app = CDrelApp::Instance();
    if (CMainFrame* main = app ? app->GetMainFrame() : nullptr;
        main && !isVisible() && !isMaximized() && mdiArea() == main->MdiArea())
        main->PlaceAtNextCascade(*this);
    CMdiChild::ActivateFrame();
}

void CDbfFrame::OnActivation(bool active)
{
    m_active = active;
    if (active) {
        MainToolbars().ShowBar(kTableBar, true);
        MainToolbars().SetAttributeTableBarFlag(true);
        return;
    }
    HideTableBarUnlessTableCurrent();
}
