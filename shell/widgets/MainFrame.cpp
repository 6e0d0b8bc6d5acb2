#include "shell/widgets/MainFrame.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "res/CommandIds.h"
#include "shell/BestMapChoice.h"
#include "shell/FrameworkDocumentHost.h"
#include "shell/GpsHooks.h"
#include "shell/MainToolbars.h"
#include "shell/MapToolCommands.h"
#include "shell/MapFrameWindow.h"
#include "shell/ToolbarBoxes.h"
#include "shell/WindowPlacement.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/CommErrorsDlg.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MdiChild.h"
#include "shell/widgets/ToolbarCombo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cstdlib>
#include <map>

namespace {

constexpr char kSettings[] = "Settings";
constexpr char kWindowPos[] = "WindowPos";
constexpr int kCannotOpenFile = 1007;
constexpr int kNoSymbolEditor = 1105;
constexpr char kSymbolEditor[] = "Pikso.exe";
constexpr char kHelpDocument[] = "Atmintine2006.doc";
constexpr unsigned kRestoreToMaximized = 2;

enum MainFrameCommand : int {
    kCmdGpsStart = 30303,
    kCmdGpsStop = 30305,
    kCmdAutoPan = 30308,
    kCmdQualityStandard = 30350,
    kCmdQualityImproved = 30351,
    kCmdUserSymbols = 30297,
};

// The vehicle and radio commands: only an extension module gives them work.
constexpr int kExtensionOnlyCommands[] = {
    30137, 30139, 30143, 30148, 30152, 30197, 30141, 30145, 30181, 30182, 30185,
    20021, 20022, 20023, 20024, 20025, 20051, 20052, 20413, 20414, 20420,
};

// A message posted to the window, delivered on its thread.
class CWindowMessageEvent : public QEvent {
public:
    CWindowMessageEvent(unsigned message, uintptr_t wParam, intptr_t lParam)
        : QEvent(EventType()), message(message), wParam(wParam), lParam(lParam)
    {
    }
    static QEvent::Type EventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    const unsigned message;
    const uintptr_t wParam;
    const intptr_t lParam;
};

std::vector<std::string> LinkedMapPaths()
{
    std::vector<std::string> paths;
    if (const CDrelApp* app = CDrelApp::Instance())
        for (int i = 0; i < app->MapLinks().GetCount(); ++i)
            paths.push_back(app->MapLinks().GetMapPath(i));
    return paths;
}

bool OpenMapFile(const std::string& path)
{
    CDrelApp* app = CDrelApp::Instance();
    return app && app->DocManager().OpenDocumentFile(path);
}

std::vector<CDrelDoc*> OpenMapDocuments()
{
    std::vector<CDrelDoc*> maps;
    if (const CDrelApp* app = CDrelApp::Instance(); app && app->GetMapTemplate())
        for (CShellDocument* document : app->GetMapTemplate()->GetDocuments())
            if (CDrelDoc* map = document->GetMapDocument())
                maps.push_back(map);
    return maps;
}

CWindowPlacement PlacementOf(const QWidget& window)
{
    CWindowPlacement placement;
    const bool maximized = window.isMaximized();
    placement.flags = maximized ? kRestoreToMaximized : 0;
    placement.showCmd = maximized ? kShowMaximized : kShowNormal;
    const QRect normal = maximized || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    placement.left = normal.x();
    placement.top = normal.y();
    placement.right = normal.x() + normal.width();
    placement.bottom = normal.y() + normal.height();
    return placement;
}

} // namespace

CMainFrameHooks& MainFrameHooks()
{
    static CMainFrameHooks hooks;
    return hooks;
}

// The window's own timers, one Qt timer per id.
class CMainFrame::CTimers : public ITimerHost {
public:
    explicit CTimers(CMainFrame& frame) : m_frame(frame) {}
    void SetTimer(int id, int milliseconds) override
    {
        QTimer*& timer = m_timers[id];
        if (!timer) {
            timer = new QTimer(&m_frame);
            QObject::connect(timer, &QTimer::timeout, &m_frame, [this, id] { m_frame.OnTimer(id); });
        }
        timer->start(milliseconds);
    }
    void KillTimer(int id) override
    {
        if (QTimer* timer = m_timers[id])
            timer->stop();
    }

private:
    CMainFrame& m_frame;
    std::map<int, QTimer*> m_timers;
};

class CMainFrame::CViewHost : public IViewHost {
public:
    explicit CViewHost(CMainFrame& frame) : m_frame(frame) {}
    void GetScreenLogPixels(int& x, int& y) override
    {
        if (const QScreen* screen = m_frame.screen()) {
            // The views draw in device pixels.
            const qreal ratio = screen->devicePixelRatio();
            x = static_cast<int>(screen->logicalDotsPerInchX() * ratio + 0.5);
            y = static_cast<int>(screen->logicalDotsPerInchY() * ratio + 0.5);
        }
    }
    void SetScaleText(double denominator) override { m_frame.SetScaleText(denominator); }
    double GetScaleText() override { return m_frame.GetScaleText(); }
    void SetMessageText(const std::string& text) override { m_frame.SetMessageText(text); }
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string& folder) override
    {
        m_frame.ShowObjectInfo(lines, folder);
    }
    void CloseObjectInfo() override { m_frame.CloseObjectInfo(); }
    bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath, int autoLoadOnly,
                              int convert, int zoom) override
    {
        return m_frame.BestMap().OpenBestMapForExtent(extent, units, ownPath, autoLoadOnly != 0, convert != 0,
                                                      zoom != 0);
    }
    bool IsMapLinked(const std::string& path) override
    {
        const CDrelApp* app = CDrelApp::Instance();
        return app && app->MapLinks().IsMapLinked(path);
    }
    std::vector<std::string> GetLinkedMapPaths() override { return LinkedMapPaths(); }
    bool OpenMapDocument(const std::string& path) override { return OpenMapFile(path); }
    std::string GetConfigFilePath() override
    {
        const CDrelApp* app = CDrelApp::Instance();
        return app ? app->ConfigFile().GetPath() : std::string();
    }
    int GetLayerOrderInLegend() override
    {
        const CDrelApp* app = CDrelApp::Instance();
        return app ? app->GetLayerOrderInLegend() : 1;
    }

private:
    CMainFrame& m_frame;
};

// The position the map views draw and follow: the main window's fix.
class CMainFrame::CGpsSource : public IMapGpsSource {
public:
    explicit CGpsSource(const CMainFrameCore& core) : m_core(core) {}
    CMapGpsFix GetFix() const override
    {
        const CGpsPosition& position = m_core.GetFix();
        CMapGpsFix fix;
        fix.longitude = position.longitude;
        fix.latitude = position.latitude;
        fix.speed = position.speed;
        fix.course = position.course;
        fix.lost = m_core.IsGpsLost() ? 1 : 0;
        return fix;
    }
    bool GetFollowVehicle() const override { return m_core.GetAutoPan(); }

private:
    const CMainFrameCore& m_core;
};

class CMainFrame::CDocumentHost : public CFrameworkDocumentHost {
public:
    CDocumentHost(CMainFrame& frame, CDocManager& manager) : CFrameworkDocumentHost(manager), m_frame(frame) {}

    CLayer* GetOpenLegendGroup(const CDrelDoc& document) override
    {
        IMapFrameWindow* map = m_frame.ActiveMapFrame();
        return map && m_frame.GetActiveMapDocument() == &document ? map->GetOpenLegendGroup() : nullptr;
    }
    void FillPlacesBox(CDrelDoc& document, const std::vector<std::string>& names) override
    {
        m_placesOwner = &document;
        auto* box = FindControl<QComboBox>(&m_frame, kPlacesBox);
        if (!box)
            return;
        box->clear();
        for (const std::string& name : names)
            AddComboItem(box, ToQString(name), 0, true);
        box->setEnabled(!names.empty());
    }
    std::unique_ptr<IAdminSearchSettings> CreateAdminSearchSettings(CDrelDoc& document) override
    {
        const auto& make = MainFrameHooks().makeAdminSearch;
        return make ? make(document) : nullptr;
    }
    bool HasAdminSearchBar() const override { return MainToolbars().FindBox(kAdminCountyBox) != nullptr; }
    const IAdminSearchSettings* GetAdminSearchBarSettings() const override { return m_adminBarSettings; }
    void SetAdminSearchBarSettings(const IAdminSearchSettings* settings) override { m_adminBarSettings = settings; }
    void OnDocumentDestroyed(CDrelDoc& document) override
    {
        if (m_adminBarSettings && document.GetAdminSearchSettings() == m_adminBarSettings) {
            m_adminBarSettings = nullptr;
            for (const int id : {kAdminCountyBox, kAdminMunicipalityBox, kAdminWardBox, kAdminSettlementBox,
                                 kAdminStreetBox, kAdminHouseNumberBox})
                if (IToolbarBox* box = MainToolbars().FindBox(id)) {
                    box->ResetContent();
                    box->Enable(false);
                }
        }
        for (const int id : {kCityBox, kStreetBox})
            if (IToolbarBox* box = MainToolbars().FindBox(id); box && box->GetOwnerDocument() == &document) {
                box->SetOwnerDocument(nullptr);
                box->ResetContent();
                box->Enable(false);
                // The house number was typed for one of its streets.
                if (IToolbarBox* house = MainToolbars().FindBox(kHouseNumberBox); house && id == kStreetBox)
                    house->SetText({});
            }
        if (m_placesOwner != &document)
            return;
        m_placesOwner = nullptr;
        if (auto* box = FindControl<QComboBox>(&m_frame, kPlacesBox)) {
            box->clear();
            box->setEnabled(false);
        }
    }
    IToolbarBox* GetAddressBox(AddressBox which) override { return MainToolbars().FindBox(BoxId(which)); }
    void EnableAddressBox(AddressBox which, bool on) override
    {
        switch (which) {
        case AddressBox::kCity:
            MainToolbars().EnableCityList(on);
            break;
        case AddressBox::kStreet:
            MainToolbars().EnableStreetBox(on);
            break;
        case AddressBox::kHouseNumber:
            MainToolbars().EnableHouseNumbers(on);
            break;
        }
    }
    void SetCoordinateText(const std::string& text) override { m_frame.SetCoordinateText(text); }
    std::vector<CDrelDoc*> GetOpenMaps() override { return OpenMapDocuments(); }
    bool IsAttributeTableOpen(const CLayer& layer) override
    {
        const CDrelApp* app = CDrelApp::Instance();
        return app && app->IsAttributeTableOpen(layer);
    }
    void CloseTableDocuments(CDrelDoc& document) override
    {
        if (CDrelApp* app = CDrelApp::Instance())
            app->CloseTableDocuments(document);
    }
    void OpenAttributeTable(CLayer& layer, CDrelDoc& document) override
    {
        if (CDrelApp* app = CDrelApp::Instance())
            app->OpenAttributeTable(layer, document);
    }

private:
    static int BoxId(AddressBox which)
    {
        return which == AddressBox::kCity ? kCityBox : which == AddressBox::kStreet ? kStreetBox : kHouseNumberBox;
    }

    CMainFrame& m_frame;
    const CDrelDoc* m_placesOwner = nullptr;
    const IAdminSearchSettings* m_adminBarSettings = nullptr;
};

// A confirmed choice in a toolbar box reaches the map's street lookup or
// its administrative search.
class CMainFrame::CSearchHooks : public IToolbarSearchHooks {
public:
    void FillCityStreetCombos(CDrelDoc& owner, int refill) override { owner.FillCityStreetCombos(refill != 0); }
    void OnAdminComboSelChange(CDrelDoc& activeMap, int comboId) override { activeMap.OnAdminComboSelChange(comboId); }
};

// The open maps and their views for the choice of the best map.
class CMainFrame::CBestMapWindows : public IBestMapWindows {
public:
    explicit CBestMapWindows(CMainFrame& frame) : m_frame(frame) {}

    std::vector<std::string> GetLinkedMapPaths() override { return LinkedMapPaths(); }
    bool OpenMap(const std::string& path) override { return OpenMapFile(path); }
    bool IsMapWindowActive() override { return m_frame.ActiveMapFrame() != nullptr; }
    CDrelView* GetActiveMapView() override { return m_frame.GetActiveMapView(); }
    std::vector<CDrelDoc*> GetOpenMaps() override { return OpenMapDocuments(); }
    std::vector<CDrelView*> GetMapViews(CDrelDoc& map) override
    {
        std::vector<CDrelView*> views;
        for (CMdiChild* child : m_frame.Children())
            if (auto* window = dynamic_cast<IMapFrameWindow*>(child))
                if (CDrelView* view = window->GetMapView(); view && &view->GetDocument() == &map)
                    views.push_back(view);
        return views;
    }
    void ActivateView(CDrelView& view) override
    {
        for (CMdiChild* child : m_frame.Children())
            if (auto* window = dynamic_cast<IMapFrameWindow*>(child); window && window->GetMapView() == &view) {
                m_frame.MdiArea()->setActiveSubWindow(child);
                break;
            }
        m_frame.activateWindow();
    }

private:
    CMainFrame& m_frame;
};

IBestMapWindows& CMainFrame::BestMapWindows()
{
    return *m_bestMapWindows;
}

CMainFrame::CMainFrame()
    : CMdiFrame(128),
      m_timers(std::make_unique<CTimers>(*this)),
      m_core(*m_timers, *this),
      m_viewHost(std::make_unique<CViewHost>(*this)),
      m_documentHost(std::make_unique<CDocumentHost>(*this, CFrameworkApp::Instance()->DocManager())),
      m_bestMapWindows(std::make_unique<CBestMapWindows>(*this)),
      m_bestMap(std::make_unique<CBestMapChoice>(*m_bestMapWindows)),
      m_gpsSource(std::make_unique<CGpsSource>(m_core)),
      m_searchHooks(std::make_unique<CSearchHooks>())
{
    m_core.SetInvalidateMapViews([] {
        if (CDrelApp* app = CDrelApp::Instance())
            app->InvalidateMapViews();
    });
    SetViewHost(m_viewHost.get());
    SetDocumentHost(m_documentHost.get());
    SetToolbarSearchHooks(m_searchHooks.get());
    SetBestMapService(m_bestMap.get());
    SetMapGpsSource(m_gpsSource.get());
    SetMainFrameCore(&m_core);
    SetMainMessageWindow(this);
    RegisterCommands();
    InstallRegisteredCommands(*this);
    // Once the last map window is gone the panes and the scale box have no
    // map left to speak of.
    connect(MdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        for (CMdiChild* child : Children())
            if (dynamic_cast<IMapFrameWindow*>(child))
                return;
        SetMessageText({});
        SetCoordinateText({});
        if (auto* box = FindControl<QLineEdit>(this, kScaleBox))
            box->clear();
    });
}

CMainFrame::~CMainFrame()
{
    // The map windows go while the bars and hosts they use are still here.
    DestroyChildren();
    // The reader thread posts here: it ends before the window goes.
    if (IGpsReceiverPort* port = GetGpsReceiverPort(); port && port->IsOpen())
        port->Close();
    if (GetMainMessageWindow() == this)
        SetMainMessageWindow(nullptr);
    if (&ViewHost() == m_viewHost.get())
        SetViewHost(nullptr);
    if (&DocumentHost() == m_documentHost.get())
        SetDocumentHost(nullptr);
    if (&ToolbarSearchHooks() == m_searchHooks.get())
        SetToolbarSearchHooks(nullptr);
    if (&BestMapService() == m_bestMap.get())
        SetBestMapService(nullptr);
    if (&MapGpsSource() == m_gpsSource.get())
        SetMapGpsSource(nullptr);
    if (GetMainFrameCore() == &m_core)
        SetMainFrameCore(nullptr);
    ExtensionDestroy(1);
}

void CMainFrame::RegisterCommands()
{
    CCommandTable& commands = Commands();
    commands.On(kIdOk, [this] { OnEnterInBox(); });

    commands.On(kCmdGpsStart, [this] { m_core.StartGps(); });
    commands.OnUpdate(kCmdGpsStart, [this](CCommandState& state) { state.Enable(m_core.CanStartGps()); });
    commands.On(kCmdGpsStop, [this] { m_core.StopGps(); });
    commands.OnUpdate(kCmdGpsStop, [this](CCommandState& state) { state.Enable(m_core.CanStopGps()); });
    commands.On(kCmdAutoPan, [this] { m_core.SetAutoPan(!m_core.GetAutoPan()); });
    commands.OnUpdate(kCmdAutoPan, [this](CCommandState& state) { state.SetCheck(m_core.GetAutoPan() ? 1 : 0); });
    for (const int quality : {0, 1}) {
        commands.On(kCmdQualityStandard + quality, [this, quality] { m_core.SetDrawingQuality(quality); });
        commands.OnUpdate(kCmdQualityStandard + quality, [this, quality](CCommandState& state) {
            state.SetRadio(m_core.GetDrawingQuality() == quality);
        });
    }
    commands.On(kCmdUserSymbols, [this] { RunUserSymbolEditor(); });
    commands.On(kCmdHelp, [this] { OpenHelpDocument(); });

    for (const CMapToolCommand& tool : MapToolCommands())
        commands.OnUpdate(tool.id, [mode = tool.mode](CCommandState& state) { state.SetCheck(MapToolMode == mode ? 1 : 0); });
    for (const int id : MapWindowBoxes())
        commands.OnUpdate(id, [](CCommandState& state) { state.Enable(false); });
    for (const int id : kExtensionOnlyCommands) {
        commands.On(id, [] {});
        commands.OnUpdate(id, [](CCommandState&) {});
    }
}

bool CMainFrame::Create()
{
    auto* bar = new QStatusBar(this);
    SetControlId(bar, kStatusBarId);
    setStatusBar(bar);
    for (const int id : {kMessagePaneId, kCoordinatePaneId}) {
        auto* pane = new QLabel(bar);
        SetControlId(pane, id);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(ToQString(LoadString(id))) + 8);
        bar->addPermanentWidget(pane);
    }

    if (MainFrameHooks().makeBars) {
        m_bars = MainFrameHooks().makeBars(*this);
        if (!m_bars || !m_bars->CreateBars())
            return false;
    }
    ExtensionOnFrameCreate(this);
    if (m_bars)
        m_bars->LoadBarState();
    m_core.ReadProfile();
    return true;
}

void CMainFrame::ShowWithSavedPlacement()
{
    CWindowPlacement placement;
    if (placement.Parse(CAppProfile::Instance().GetString(kSettings, kWindowPos))) {
        setGeometry(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
        if (placement.showCmd == kShowMaximized)
            showMaximized();
        else
            showNormal();
    } else {
        showMaximized();
    }
    if (m_bars)
        m_bars->LoadBarState();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    ExtensionOnFrameClose(this);
    m_core.WriteProfile();
    if (m_bars)
        m_bars->SaveBarState();
    if (!isMinimized())
        CAppProfile::Instance().WriteString(kSettings, kWindowPos, PlacementOf(*this).Format());
    CMdiFrame::closeEvent(event);
}

IMapFrameWindow* CMainFrame::ActiveMapFrame() const
{
    return dynamic_cast<IMapFrameWindow*>(ActiveChild());
}

CDrelDoc* CMainFrame::GetActiveMapDocument() const
{
    const CMdiChild* child = ActiveChild();
    return child ? child->GetDocument()->GetMapDocument() : nullptr;
}

CDrelView* CMainFrame::GetActiveMapView() const
{
    IMapFrameWindow* map = ActiveMapFrame();
    return map ? map->GetMapView() : nullptr;
}

CLayer* CMainFrame::GetSelectedLayer() const
{
    IMapFrameWindow* map = ActiveMapFrame();
    return map ? map->GetActiveLayer() : nullptr;
}

QLabel* CMainFrame::Pane(int id) const
{
    return statusBar() ? FindControl<QLabel>(statusBar(), id) : nullptr;
}

void CMainFrame::SetMessageText(const std::string& text)
{
    if (QLabel* pane = Pane(kMessagePaneId))
        pane->setText(ToQString(text));
}

void CMainFrame::SetCoordinateText(const std::string& text)
{
    if (QLabel* pane = Pane(kCoordinatePaneId))
        pane->setText(ToQString(text));
}

std::string CMainFrame::GetPaneText(int paneId) const
{
    const QLabel* pane = Pane(paneId);
    return pane ? FromQString(pane->text()) : std::string();
}

void CMainFrame::SetScaleText(double scale)
{
    if (auto* box = FindControl<QLineEdit>(this, kScaleBox))
        box->setText(ToQString(FormatScaleText(scale)));
}

double CMainFrame::GetScaleText() const
{
    const auto* box = FindControl<QLineEdit>(this, kScaleBox);
    return box ? ParseScaleText(FromQString(box->text())) : 0;
}

void CMainFrame::AppendConnectionError(const std::string& text)
{
    if (!m_commErrors)
        m_commErrors = new CCommErrorsDlg(this);
    m_commErrors->AppendText(text);
    m_commErrors->show();
}

void CMainFrame::ShowObjectInfo(const std::vector<std::string>& lines, const std::string& folder)
{
    if (!m_objectInfoWindow) {
        m_objectInfo = MainFrameHooks().makeObjectInfo ? MainFrameHooks().makeObjectInfo(*this) : nullptr;
        if (!m_objectInfo)
            return;
        m_objectInfoWindow = m_objectInfo->Window();
        QWidget& window = *m_objectInfoWindow;
        const CDrelView* view = GetActiveMapView();
        IViewWindow* viewWindow = view ? view->GetWindow() : nullptr;
        if (viewWindow) {
            const CPoint corner = viewWindow->ClientToScreen(CPoint(0, 0));
            window.move(corner.x, corner.y);
        } else {
            window.move(geometry().center() - window.rect().center());
        }
    }
    m_objectInfo->SetInfo(lines, folder);
    m_objectInfoWindow->show();
    m_objectInfoWindow->raise();
    m_objectInfoWindow->activateWindow();
    m_objectInfoWindow->setFocus();
}

void CMainFrame::CloseObjectInfo()
{
    if (QWidget* window = m_objectInfoWindow.data()) {
        // It may be closing from inside one of its own handlers.
        m_objectInfoWindow = nullptr;
        m_objectInfo = nullptr;
        window->hide();
        window->deleteLater();
    }
}

IObjectInfoWindow* CMainFrame::GetObjectInfoWindow() const
{
    return m_objectInfoWindow ? m_objectInfo : nullptr;
}

void CMainFrame::OnEnterInBox()
{
    QWidget* focus = QApplication::focusWidget();
    QWidget* parent = focus ? focus->parentWidget() : nullptr;
    const int box = FindEnterBox(GetControlId(focus), GetControlId(parent));
    if (box == kReplayPointBox) {
        const auto* edit = qobject_cast<const QLineEdit*>(GetControlId(focus) == box ? focus : parent);
        if (edit)
            GpsHooks().GoToReplayPoint(std::atoi(FromQString(edit->text()).c_str()) - 1);
        return;
    }
    if (const int command = EnterCommandOfBox(box))
        Actions().Execute(command);
}

void CMainFrame::RunUserSymbolEditor()
{
    const std::string symbols = GetUserFolder() + "Symbols";
    if (!StartProgram(GetProgramFolder() + kSymbolEditor, "\"" + symbols + "\"", true)) {
        AppMessageBox(kNoSymbolEditor, MB_OK | MB_ICONWARNING);
        return;
    }
    if (MainFrameHooks().reloadUserSymbols)
        MainFrameHooks().reloadUserSymbols();
}

void CMainFrame::OpenHelpDocument()
{
    const std::string path = FindProgramFile(kHelpDocument);
    if (!PathExists(path) || !OpenFileWithDefaultProgram(path))
        AppMessageBoxArg(kCannotOpenFile, path, MB_OK | MB_ICONWARNING);
}

void CMainFrame::PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    QCoreApplication::postEvent(this, new CWindowMessageEvent(message, wParam, lParam));
}

intptr_t CMainFrame::SendMessage(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return m_core.OnMessage(message, wParam, lParam);
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == CWindowMessageEvent::EventType()) {
        const auto* posted = static_cast<const CWindowMessageEvent*>(event);
        SendMessage(posted->message, posted->wParam, posted->lParam);
        return true;
    }
    return CMdiFrame::event(event);
}

void CMainFrame::OnTimer(int id)
{
    m_core.OnTimer(id);
}

void CMainFrame::SetTimerHostForTesting(ITimerHost* timers)
{
    m_core.SetTimerHost(timers ? *timers : *m_timers);
}
