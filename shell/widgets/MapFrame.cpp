#include "shell/widgets/MapFrame.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PageSetup.h"
#include "mapdoc/ViewWindow.h"
#include "mapdoc/widgets/MapPrinting.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "res/CommandIds.h"
#include "platform/QtText.h"
#include "res/CommandIds.h"
#include "shell/WindowPlacement.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/FilePrompt.h"
#include "shell/widgets/MainFrame.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QMdiArea>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kPlacesBox = 30609;
constexpr int kGroupMenu = 388;
// The id of the splitter's first pane.
constexpr int kFirstPaneId = 0xE900;
// A window made outside a multi-document area.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

} // namespace

// The window side of one of the frame's views: its widget paints and
// holds the pixels, the frame answers for the legend and the overview.
class CMapFrame::CViewWindow : public IViewWindow {
public:
    CViewWindow(CMapFrame& frame, CMapViewWidget& widget, bool overview)
        : m_frame(frame), m_widget(&widget), m_overview(overview)
    {
    }
    void InvalidateView() override
    {
        if (m_widget)
            m_widget->InvalidateView();
    }
    void RebuildLegend() override
    {
        if (CLegendView* legend = m_frame.GetLegend(); legend && !m_overview)
            legend->RebuildList();
    }
    CDrelView* GetOverview() override { return m_overview ? nullptr : m_frame.GetOverview(); }
    CLayer* GetActiveLayer() override { return m_frame.GetActiveLayer(); }
    CWindowSurface* GetSurface() override { return m_widget ? m_widget->GetSurface() : nullptr; }
    std::unique_ptr<IScaleBarWindow> CreateScaleBarWindow(CScaleBar& bar) override
    {
        return m_widget && !m_overview ? m_widget->CreateScaleBarWindow(bar) : nullptr;
    }
    void InvalidateRect(const CRect& rect) override
    {
        if (m_widget)
            m_widget->InvalidateRect(rect);
    }
    void UpdateView() override
    {
        if (m_widget)
            m_widget->UpdateView();
    }
    void SetCursor(int cursorId) override
    {
        if (m_widget)
            m_widget->SetCursor(cursorId);
    }
    void FocusView() override { m_frame.FocusMapView(); }
    bool CaptureMouse() override { return m_widget && m_widget->CaptureMouse(); }
    void ReleaseMouse() override
    {
        if (m_widget)
            m_widget->ReleaseMouse();
    }
    void ActivateFrame() override { m_frame.ActivateFrame(); }
    CPoint ClientToScreen(const CPoint& client) override
    {
        return m_widget ? m_widget->ClientToScreen(client) : client;
    }
    std::unique_ptr<IDistanceBox> CreateDistanceBox() override { return MakeBox(Hooks().boxes.distance); }
    std::unique_ptr<IAreaPerimeterBox> CreateAreaPerimeterBox() override
    {
        return MakeBox(Hooks().boxes.areaPerimeter);
    }
    std::unique_ptr<IAzimuthBox> CreateAzimuthBox() override { return MakeBox(Hooks().boxes.azimuth); }
    std::unique_ptr<IObjectMeasureBox> CreateObjectAreaBox() override { return MakeBox(Hooks().boxes.objectArea); }
    std::unique_ptr<IObjectMeasureBox> CreateObjectLengthBox() override
    {
        return MakeBox(Hooks().boxes.objectLength);
    }
    std::unique_ptr<IRouteLengthBox> CreateRouteLengthBox() override { return MakeBox(Hooks().boxes.routeLength); }
    void SelectLayer(CLayer* layer) override
    {
        if (CLegendView* legend = m_frame.GetLegend())
            legend->SelectLayer(layer);
    }
    void ShowContextMenu(int menuId, const CPoint& client) override
    {
        const CDrelApp* app = CDrelApp::Instance();
        CMainFrame* main = app ? app->GetMainFrame() : nullptr;
        if (QMenu* menu = main ? main->Actions().PopupMenu(menuId, 0) : nullptr) {
            const CPoint screen = ClientToScreen(client);
            menu->popup(QPoint(screen.x, screen.y));
        }
    }

private:
    // The map view's boxes only; the overview measures nothing.
    template <class Box>
    std::unique_ptr<Box> MakeBox(const CMeasureBoxMakers::Maker<Box>& maker)
    {
        return maker && m_widget && !m_overview ? maker(*m_widget) : nullptr;
    }

    CMapFrame& m_frame;
    QPointer<CMapViewWidget> m_widget;
    bool m_overview;
};

// The legend's list box with the legend that owns it: both go with the
// frame's content, before the frame lets its document go.
class CMapFrame::CLegendHost : public QWidget {
public:
    CLegendHost(CDrelDoc& map, ILegendFrame& frame, QWidget* parent) : QWidget(parent)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        list = new CDragCheckListBox(this);
        layout->addWidget(list);
        legend = std::make_unique<CLegendView>(map, *list, frame);
        list->SetOwner(legend.get());
    }
    ~CLegendHost() override
    {
        list->SetOwner(nullptr);
        legend.reset();
    }

    CDragCheckListBox* list;
    std::unique_ptr<CLegendView> legend;
};

CMapFrameHooks& CMapFrame::Hooks()
{
    static CMapFrameHooks hooks;
    return hooks;
}

CMapFrame::CMapFrame(CShellDocument& document, CDocTemplate& docTemplate)
    : CMdiChild(document, docTemplate),
      m_map(*document.GetMapDocument()),
      m_dialogs(Hooks().frame),
      m_frameCommands(*this, m_dialogs)
{
    m_outer = new QSplitter(Qt::Horizontal);
    SetControlId(m_outer, kFirstPaneId);
    m_inner = new QSplitter(Qt::Vertical, m_outer);
    m_inner->setFrameStyle(QFrame::StyledPanel);

    auto overview = std::make_unique<CContextView>(m_map);
    CContextView* overviewView = overview.get();
    m_overviewWidget = new CMapViewWidget(std::move(overview), m_inner);
    m_legendHost = new CLegendHost(m_map, *this, m_inner);
    m_legendList = m_legendHost->list;
    m_inner->addWidget(m_overviewWidget);
    m_inner->addWidget(m_legendHost);

    m_viewWidget = new CMapViewWidget(std::make_unique<CDrelView>(m_map), m_outer);
    m_outer->addWidget(m_inner);
    m_outer->addWidget(m_viewWidget);
    m_outer->setStretchFactor(0, 0);
    m_outer->setStretchFactor(1, 1);
    m_inner->setStretchFactor(0, 0);
    m_inner->setStretchFactor(1, 1);
    m_outer->installEventFilter(this);
    for (QSplitter* splitter : {m_outer, m_inner})
        connect(splitter, &QSplitter::splitterMoved, this, [this] { m_userSized = true; });

    m_viewWindow = std::make_unique<CViewWindow>(*this, *m_viewWidget, false);
    m_overviewWindow = std::make_unique<CViewWindow>(*this, *m_overviewWidget, true);
    m_viewWidget->View().SetWindow(m_viewWindow.get());
    overviewView->SetWindow(m_overviewWindow.get());
    overviewView->SetMainView(&m_viewWidget->View());
    overviewView->SetLayersDialog(Hooks().overviewLayers);

    CLegendDialogs legendDialogs = Hooks().legend;
    if (!legendDialogs.attributeTable)
        legendDialogs.attributeTable = [this](CLayer& layer) {
            if (CDrelApp* app = CDrelApp::Instance())
                app->OpenAttributeTable(layer, m_map);
        };
    m_legendHost->legend->SetDialogs(std::move(legendDialogs));

    setWidget(m_outer);
    AddView(m_viewWidget, nullptr);
    AddView(m_legendList, m_legendHost->legend.get());
    AddView(m_overviewWidget, &overviewView->Commands());
    resize(kDefaultWidth, kDefaultHeight);

    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        const bool active = now.testFlag(Qt::WindowActive);
        if (active != m_active)
            OnActivation(active);
    });

    if (!m_dialogs.openFiles)
        m_dialogs.openFiles = PromptOpenFiles;
    m_frameCommands.Install(Commands());
    // Printing and its preview need the widgets, so they are the frame's.
    const auto withView = [this](CCommandState& state) { state.Enable(GetMapView() != nullptr); };
    // They use the application's printer, as printer set-up left it.
    Commands().On(kCmdFilePrint, [this] {
        CDrelApp* app = CDrelApp::Instance();
        if (CDrelView* view = GetMapView())
            PrintMapView(*view, this, app ? &app->Printer() : nullptr);
        if (app && PageSetup().GetValues().showPageOutline)
            app->RefreshPrinter();
    });
    Commands().OnUpdate(kCmdFilePrint, withView);
    Commands().On(kCmdFilePrintPreview, [this] {
        CDrelApp* app = CDrelApp::Instance();
        if (CDrelView* view = GetMapView())
            PreviewMapView(*view, this, app ? &app->Printer() : nullptr);
    });
    Commands().OnUpdate(kCmdFilePrintPreview, withView);
    InstallRegisteredCommands(*this);
}

CMapFrame::~CMapFrame()
{
    // The views and the legend go before this frame's members.
    TearDown();
}

CDrelView* CMapFrame::GetMapView()
{
    return m_viewWidget && GetDocument() ? &m_viewWidget->View() : nullptr;
}

CContextView* CMapFrame::GetOverview() const
{
    return m_overviewWidget && GetDocument() ? static_cast<CContextView*>(&m_overviewWidget->View()) : nullptr;
}

CLegendView* CMapFrame::GetLegend() const
{
    return m_legendHost && GetDocument() ? m_legendHost->legend.get() : nullptr;
}

CLayer* CMapFrame::GetActiveLayer()
{
    const CLegendView* legend = GetLegend();
    return legend ? legend->GetActiveLayer() : nullptr;
}

CLayer* CMapFrame::GetOpenLegendGroup()
{
    const CLegendView* legend = GetLegend();
    return legend ? legend->GetOpenGroup() : nullptr;
}

CDrelDoc& CMapFrame::GetMapDocument()
{
    return m_map;
}

std::string CMapFrame::GetPlacesBoxText()
{
    const CDrelApp* app = CDrelApp::Instance();
    const auto* box = app && app->GetMainFrame() ? FindControl<QComboBox>(app->GetMainFrame(), kPlacesBox) : nullptr;
    return box ? FromQString(box->currentText()) : std::string();
}

bool CMapFrame::OnCommand(int id)
{
    if (CMdiChild::OnCommand(id))
        return true;
    CLegendView* legend = GetLegend();
    return legend && legend->OnCommand(id);
}

bool CMapFrame::OnUpdateCommand(CCommandState& state)
{
    if (CMdiChild::OnUpdateCommand(state))
        return true;
    CLegendView* legend = GetLegend();
    return legend && legend->OnUpdateCommand(state);
}

bool CMapFrame::HandlesCommand(int id) const
{
    if (CMdiChild::HandlesCommand(id))
        return true;
    const CLegendView* legend = GetLegend();
    return legend && legend->HandlesCommand(id);
}

void CMapFrame::OnInitialUpdate()
{
    if (CDrelView* view = GetMapView())
        view->OnInitialUpdate();
    if (CContextView* overview = GetOverview())
        overview->OnInitialUpdate();
    if (CLegendView* legend = GetLegend())
        legend->OnInitialUpdate();
}

void CMapFrame::Layout()
{
    const int cx = m_outer->width() > 0 ? m_outer->width() : kDefaultWidth;
    const int column = cx / 4;
    m_outer->setSizes({column, std::max(cx - column - m_outer->handleWidth(), 1)});
    m_inner->setSizes({column, std::max(m_inner->height() - column - m_inner->handleWidth(), 1)});
}

bool CMapFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Until the user moves a pane's edge, the panes keep their proportions.
    if (watched == m_outer && event->type() == QEvent::Resize && m_laidOut && !m_userSized)
        Layout();
    return CMdiChild::eventFilter(watched, event);
}

void CMapFrame::ActivateFrame()
{
    const CDrelApp* app = CDrelApp::Instance();
    if (app && app->GetMapWindowShowState() == kShowMaximized) {
        showMaximized();
    } else if (isMaximized()) {
        showNormal();
    } else if (!m_laidOut && !isVisible()) {
        // Opened restored: a useful size, not the small one it was made with.
        if (CMainFrame* main = app ? app->GetMainFrame() : nullptr; main && mdiArea() == main->MdiArea())
            main->PlaceAtNextCascade(*this);
    }
    CMdiChild::ActivateFrame();
    // The splitters measure out their panes once they have their size.
    if (!m_laidOut) {
        m_laidOut = true;
        Layout();
    }
}

void CMapFrame::changeEvent(QEvent* event)
{
    // The window's own handling of a new state may show it.
    const bool visible = isVisible();
    CMdiChild::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !visible || isMinimized())
        return;
    if (CDrelApp* app = CDrelApp::Instance())
        app->SetMapWindowShowState(isMaximized() ? kShowMaximized : kShowNormal);
}

void CMapFrame::OnActivation(bool active)
{
    m_active = active;
    if (!GetDocument())
        return;
    if (CDrelView* view = GetMapView())
        view->SyncToolMode(active ? 1 : 0);
    m_map.OnMapFrameActivate(active);
}

void CMapFrame::FocusMapView()
{
    if (m_viewWidget)
        m_viewWidget->setFocus(Qt::OtherFocusReason);
}

void CMapFrame::ShowGroupMenu()
{
    const CDrelApp* app = CDrelApp::Instance();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (QMenu* menu = frame ? frame->Actions().PopupMenu(kGroupMenu, 0) : nullptr)
        menu->popup(QCursor::pos());
}

void CMapFrame::SendToMapFrame(int id)
{
    const CDrelApp* app = CDrelApp::Instance();
    if (CMainFrame* frame = app ? app->GetMainFrame() : nullptr)
        frame->Actions().Execute(id);
    else
        OnCommand(id);
}
