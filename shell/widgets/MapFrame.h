#pragma once

#include "mapdoc/ContextView.h"
#include "mapdoc/LegendView.h"
#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/ObjectMeasureBox.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "shell/MapFrameCommands.h"
#include "shell/MapFrameWindow.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MdiChild.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QSplitter;

// The result boxes of the measuring tools: each made over the map view's
// window, its owner, and deleted by the tool or view that asked for it.
// Without a maker the tool measures without a box.
struct CMeasureBoxMakers {
    template <class Box>
    using Maker = std::function<std::unique_ptr<Box>(QWidget& owner)>;
    Maker<IDistanceBox> distance;
    Maker<IAreaPerimeterBox> areaPerimeter;
    Maker<IAzimuthBox> azimuth;
    Maker<IObjectMeasureBox> objectArea;
    Maker<IObjectMeasureBox> objectLength;
    Maker<IRouteLengthBox> routeLength;
};

// The dialogs of other parts of the program that a map window and its
// legend and overview open, plugged in before the first map window is made.
struct CMapFrameHooks {
    CMapFrameDialogs frame;
    CMeasureBoxMakers boxes;
    // Without an attribute table of its own the legend opens the
    // application's (CDrelApp::OpenAttributeTable).
    CLegendDialogs legend;
    CContextView::LayersDialog overviewLayers;
};

// The window of a map document (template 138): the map view on the right
// and, on the left, the overview above the legend, in splitters; the left
// column a quarter of the window's width and the overview as tall as the
// column is wide, the map view taking the rest; the panes keep these
// proportions as the window's size changes until the user moves an edge
// between them. It is the frame side of its views (the legend rebuilt and the
// overview repainted for the map view, the legend's selection for both),
// the legend's frame, and the command hub of the map window
// (shell/MapFrameCommands.h); the legend's commands follow its own in
// the route. Activating it takes up the tool mode in its view and shows
// its map in the main frame's boxes; it opens maximised or restored as
// the map windows' show state says and keeps that state while it shows.
class CMapFrame : public CMdiChild, public IMapFrameWindow, public IMapFrameContext, private ILegendFrame {
public:
    static CMapFrameHooks& Hooks();

    CMapFrame(CShellDocument& document, CDocTemplate& docTemplate);
    ~CMapFrame() override;

    // IMapFrameWindow, IMapFrameContext.
    CDrelView* GetMapView() override;
    CLayer* GetActiveLayer() override;
    CLayer* GetOpenLegendGroup() override;
    CDrelDoc& GetMapDocument() override;
    std::string GetPlacesBoxText() override;

    // Null once the frame has let its document go.
    CContextView* GetOverview() const;
    CLegendView* GetLegend() const;
    CMapViewWidget* GetViewWidget() const { return m_viewWidget; }
    CMapViewWidget* GetOverviewWidget() const { return m_overviewWidget; }
    CDragCheckListBox* GetLegendList() const { return m_legendList; }
    QSplitter* GetOuterSplitter() const { return m_outer; }
    QSplitter* GetInnerSplitter() const { return m_inner; }
    CMapFrameCommands& FrameCommands() { return m_frameCommands; }
    // The dialogs of other folders this window's commands open.
    const CMapFrameDialogs& Dialogs() const { return m_dialogs; }

    void ActivateFrame() override;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCommandState& state) override;
    bool HandlesCommand(int id) const override;

protected:
    void OnInitialUpdate() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class CViewWindow;
    class CLegendHost;

    void Layout();
    void OnActivation(bool active);
    // ILegendFrame.
    void FocusMapView() override;
    void ShowGroupMenu() override;
    void SendToMapFrame(int id) override;

    CDrelDoc& m_map;
    QSplitter* m_outer = nullptr;
    QSplitter* m_inner = nullptr;
    QPointer<CMapViewWidget> m_viewWidget;
    QPointer<CMapViewWidget> m_overviewWidget;
    QPointer<CDragCheckListBox> m_legendList;
    QPointer<CLegendHost> m_legendHost;
    std::unique_ptr<CViewWindow> m_viewWindow;
    std::unique_ptr<CViewWindow> m_overviewWindow;
    CMapFrameDialogs m_dialogs;
    CMapFrameCommands m_frameCommands;
    bool m_active = false;
    bool m_laidOut = false;
    bool m_userSized = false;
};
