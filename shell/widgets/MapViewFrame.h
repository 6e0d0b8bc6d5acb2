#pragma once

#include "shell/MapFrameWindow.h"
#include "shell/widgets/MdiChild.h"

class CMapViewWidget;

// The window of a map document with its map view alone, until the map
// window with the overview and the legend takes its place. It opens
// maximised or restored as the map windows' show state says, and keeps
// that state while it shows.
class CMapViewFrame : public CMdiChild, public IMapFrameWindow {
public:
    CMapViewFrame(CShellDocument& document, CDocTemplate& docTemplate);
    ~CMapViewFrame() override;

    CDrelView* GetMapView() override;
    CMapViewWidget* GetViewWidget() const { return m_viewWidget; }
    void ActivateFrame() override;

protected:
    void OnInitialUpdate() override;
    void changeEvent(QEvent* event) override;

private:
    CMapViewWidget* m_viewWidget = nullptr;
};
