#include "shell/widgets/MdiFrame.h"

#include "platform/QtText.h"
#include "res/CommandIds.h"
#include "shell/DocManager.h"
#include "shell/WindowPlacement.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/FrameworkApp.h"
#include "shell/widgets/MdiChild.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>

CMdiFrame::CMdiFrame(int resourceId, QWidget* parent)
    : QMainWindow(parent),
      m_resourceId(resourceId),
      m_area(new QMdiArea(this)),
      m_frameTitle(FromQString(QCoreApplication::applicationName()))
{
    SetControlId(this, resourceId);
    setCentralWidget(m_area);
    m_actions = new CCommandActions(this, [this] { return BuildRoute(); });

    const auto anyChild = [this](CCommandState& state) { state.Enable(!Children().isEmpty()); };
    m_commands.On(kCmdWindowCascade, [this] { CascadeChildren(); });
    m_commands.On(kCmdWindowTile, [this] { m_area->tileSubWindows(); });
    m_commands.On(kCmdWindowNext, [this] { m_area->activateNextSubWindow(); });
    m_commands.OnUpdateRange(kCmdWindowCascade, kCmdWindowTile, anyChild);
    m_commands.OnUpdate(kCmdWindowNext, anyChild);

    connect(m_area, &QMdiArea::subWindowActivated, this, [this] { OnChildActivated(); });
    OnChildActivated();
}

CMdiFrame::~CMdiFrame()
{
    // The area's windows go with the window's base, after this frame's
    // members: their activation must not reach them.
    disconnect(m_area, nullptr, this, nullptr);
    DestroyChildren();
}

int CMdiFrame::CascadeStep(const QMdiSubWindow& window)
{
    // The next window's caption shows below the one behind it.
    return window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
}

void CMdiFrame::CascadeChildren()
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::StackingOrder))
        if (window->isVisible() && !window->isMinimized())
            windows.append(window);
    if (windows.isEmpty())
        return;
    const int step = CascadeStep(*windows.front());
    const QSize area = m_area->viewport()->size();
    const std::vector<CRect> places =
        CascadeWindowRects(CSize(area.width(), area.height()), static_cast<int>(windows.size()), step);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const CRect& r = places[static_cast<size_t>(i)];
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(r.left, r.top, r.Width(), r.Height());
        window->raise();
    }
}

void CMdiFrame::DestroyChildren()
{
    for (CMdiChild* child : Children()) {
        child->DestroyFrame();
        // No event loop may come to delete it later.
        delete child;
    }
}

void CMdiFrame::AddChild(CMdiChild* child)
{
    m_area->addSubWindow(child);
    child->hide();
    // A document saved under another name renames its window, and so the caption.
    connect(child, &QWidget::windowTitleChanged, this, [this] { UpdateTitle(); });
}

void CMdiFrame::PlaceAtNextCascade(QMdiSubWindow& window)
{
    const QSize area = m_area->viewport()->size();
    if (area.isEmpty())
        return;
    int others = 0;
    for (QMdiSubWindow* other : m_area->subWindowList())
        others += other != &window && other->isVisible() && !other->isMinimized();
    const CRect place = CascadeWindowRects(CSize(area.width(), area.height()), others + 1, CascadeStep(window)).back();
    window.setGeometry(place.left, place.top, place.Width(), place.Height());
}

CMdiChild* CMdiFrame::ActiveChild() const
{
    // The current window, not the active one: it stays while a dialog or
    // a floating bar has the focus.
    auto* child = dynamic_cast<CMdiChild*>(m_area->currentSubWindow());
    return child && child->GetDocument() ? child : nullptr;
}

QList<CMdiChild*> CMdiFrame::Children() const
{
    QList<CMdiChild*> children;
    for (QMdiSubWindow* window : m_area->subWindowList())
        if (auto* child = dynamic_cast<CMdiChild*>(window); child && child->GetDocument())
            children.append(child);
    return children;
}

CCommandRoute CMdiFrame::BuildRoute() const
{
    CCommandRoute route;
    if (CMdiChild* child = ActiveChild()) {
        route.Add(child->GetActiveViewTarget());
        CShellDocument* document = child->GetDocument();
        route.Add(document->GetCommandTarget());
        if (CDocManager* manager = document->GetDocManager())
            route.Add(&manager->DocumentCommands(*document));
        route.Add(child);
    }
    route.Add(const_cast<CMdiFrame*>(this));
    route.Add(dynamic_cast<ICommandTarget*>(QCoreApplication::instance()));
    return route;
}

void CMdiFrame::SetFrameTitle(const std::string& title)
{
    m_frameTitle = title;
    UpdateTitle();
}

void CMdiFrame::UpdateTitle()
{
    QString title = ToQString(m_frameTitle);
    if (CMdiChild* child = ActiveChild())
        title += QStringLiteral(" - [") + child->windowTitle() + QStringLiteral("]");
    setWindowTitle(title);
}

void CMdiFrame::OnChildActivated()
{
    CMdiChild* child = ActiveChild();
    const int menuId = child ? child->GetResourceId() : m_resourceId;
    if (menuId != m_shownMenu) {
        m_actions->FillMenuBar(menuBar(), menuId);
        m_actions->ApplyAccelerators(menuId);
        m_shownMenu = menuId;
    }
    UpdateTitle();
    m_actions->UpdateAll();
}

void CMdiFrame::closeEvent(QCloseEvent* event)
{
    if (CFrameworkApp* app = CFrameworkApp::Instance()) {
        if (!app->DocManager().SaveAllModified()) {
            event->ignore();
            return;
        }
        app->DocManager().CloseAllDocuments();
    }
    QMainWindow::closeEvent(event);
}
