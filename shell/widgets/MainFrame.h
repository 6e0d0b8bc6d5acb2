#pragma once

#include "platform/MessageWindow.h"
#include "shell/MainFrameCore.h"
#include "shell/widgets/MdiFrame.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBestMapChoice;
class IBestMapWindows;
class CCommErrorsDlg;
class CDrelDoc;
class CDrelView;
class CLayer;
class CMainFrame;
class IAdminSearchSettings;
class IMapFrameWindow;
class QLabel;

// The main window's toolbars, made by the toolbar part of the program.
class IMainFrameBars {
public:
    virtual ~IMainFrameBars() = default;
    // Makes and docks the bars; false fails the main window's creation.
    virtual bool CreateBars() = 0;
    // The saved docking layout, when it names only bars there are.
    virtual void LoadBarState() {}
    virtual void SaveBarState() {}
};

// The object information window, made by the search part of the program.
class IObjectInfoWindow {
public:
    virtual ~IObjectInfoWindow() = default;
    virtual QWidget* Window() = 0;
    // Replaces the lines (name, TAB, value); folder, ending with its
    // separator, resolves the relative file names of the values.
    virtual void SetInfo(const std::vector<std::string>& lines, const std::string& folder) = 0;
};

// What the rest of the program plugs into the main window before the
// window is made.
struct CMainFrameHooks {
    std::function<std::unique_ptr<IMainFrameBars>(CMainFrame& frame)> makeBars;
    // The user-symbol editor has ended: the symbol library reads its icons again.
    std::function<void()> reloadUserSymbols;
    // The object information window, a window of its own owned by the
    // main window; without it no object information shows.
    std::function<IObjectInfoWindow*(CMainFrame& frame)> makeObjectInfo;
    // The administrative-search settings of a new map document; without
    // it the maps have none.
    std::function<std::unique_ptr<IAdminSearchSettings>(CDrelDoc& document)> makeAdminSearch;
};
CMainFrameHooks& MainFrameHooks();

// The program's main window (resource 128): the status bar with the
// message, tool-message and coordinate panes, the toolbars, the GPS
// receiver's fixes and watchdog, the private messages 0x402 to 0x409 (it
// is the window the serial reader posts to, from its own thread), the
// commands of the GPS, the drawing quality, the user symbols and the
// help, the Enter of the toolbar boxes, and the window placement kept in
// the profile. While it lives it is the host of the map views and the map
// documents (IViewHost, IDocumentHost) and the choice of the best map
// for a position or an extent (BestMapService()). The toolbar boxes are
// found by their resource ids.
class CMainFrame : public CMdiFrame, public IMessageWindow {
public:
    static constexpr int kStatusBarId = 0xE801;
    // The panes are named by the strings that size them.
    static constexpr int kMessagePaneId = 121;
    static constexpr int kCoordinatePaneId = 103;

    CMainFrame();
    ~CMainFrame() override;

    // The status bar, the toolbars, the extension's creation hook and the
    // profile's values; false when a bar could not be made.
    bool Create();
    // [Settings] "WindowPos" when it holds a placement, else maximised;
    // then the toolbars' saved layout.
    void ShowWithSavedPlacement();

    // Of the active map window; null when none is active.
    CDrelDoc* GetActiveMapDocument() const;
    CDrelView* GetActiveMapView() const;
    CLayer* GetSelectedLayer() const;

    // Status panes 1 and 2 (code page 1257).
    void SetMessageText(const std::string& text);
    void SetCoordinateText(const std::string& text);
    std::string GetPaneText(int paneId) const;
    // The scale box (30004).
    void SetScaleText(double scale);
    double GetScaleText() const;

    // Queued for the window's thread; any thread may post.
    void PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t SendMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
    void OnTimer(int id);

    // The most detailed map for a position or an extent.
    CBestMapChoice& BestMap() { return *m_bestMap; }
    // The maps and map views the choice works over.
    IBestMapWindows& BestMapWindows();
    // A connection error text joins the window of connection errors (made
    // and shown on first use).
    void AppendConnectionError(const std::string& text);
    CCommErrorsDlg* GetCommErrorsWindow() const { return m_commErrors; }
    // The object information window: made on first use at the top-left
    // corner of the active map view (centred over this window without
    // one), filled and given the focus; closing destroys it.
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string& folder);
    void CloseObjectInfo();
    // Null while there is none.
    IObjectInfoWindow* GetObjectInfoWindow() const;

    CMainFrameCore& Core() { return m_core; }
    // The test drives the timers; null gives the window its own back.
    void SetTimerHostForTesting(ITimerHost* timers);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    class CTimers;
    class CViewHost;
    class CDocumentHost;
    class CBestMapWindows;
    class CGpsSource;
    class CSearchHooks;

    void RegisterCommands();
    void OnEnterInBox();
    void RunUserSymbolEditor();
    void OpenHelpDocument();
    QLabel* Pane(int id) const;
    IMapFrameWindow* ActiveMapFrame() const;

    std::unique_ptr<CTimers> m_timers;
    CMainFrameCore m_core;
    std::unique_ptr<CViewHost> m_viewHost;
    std::unique_ptr<CDocumentHost> m_documentHost;
    std::unique_ptr<CBestMapWindows> m_bestMapWindows;
    std::unique_ptr<CBestMapChoice> m_bestMap;
    std::unique_ptr<CGpsSource> m_gpsSource;
    std::unique_ptr<CSearchHooks> m_searchHooks;
    CCommErrorsDlg* m_commErrors = nullptr;
    QPointer<QWidget> m_objectInfoWindow;
    IObjectInfoWindow* m_objectInfo = nullptr;
    std::unique_ptr<IMainFrameBars> m_bars;
};
