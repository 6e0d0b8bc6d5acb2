#pragma once

#include "mapdoc/DrelView.h"
#include "platform/CommandTarget.h"

#include <functional>

// The overview of a map window: the layers chosen for it (flag
// kInOverview, whether the map shows them or not) over the whole map, and
// a frame round the extent the map view shows. It keeps its picture while
// that frame moves; a right click opens the choice of overview layers.
class CContextView : public CDrelView {
public:
    // The choice of overview layers, which sets and clears their flag;
    // true on OK.
    using LayersDialog = std::function<bool(CDrelDoc& document)>;

    explicit CContextView(CDrelDoc& document);

    // The map view whose extent the frame shows; null draws no frame.
    void SetMainView(CDrelView* view) { m_mainView = view; }
    CDrelView* GetMainView() const { return m_mainView; }
    void SetLayersDialog(LayersDialog dialog) { m_layersDialog = std::move(dialog); }
    // The overview's own commands, for the window's route.
    CCommandTable& Commands() { return m_commands; }

    // The map's limits enlarged by 1.04 fill the overview, drawn anew;
    // false (nothing changes) while the limits are empty or the window is.
    bool FitToLimits();

    void OnInitialUpdate() override;
    void OnUpdate(CDrelDoc& document, uint32_t hint) override;
    void OnDraw(CDC& dc) override;
    // A new size refits the limits.
    void OnSize(int width, int height) override;
    // Keys and the moving mouse do nothing here.
    void OnKeyDown(int key, int repeat, unsigned flags) override {}
    void OnMouseMove(unsigned flags, int x, int y) override {}

protected:
    // The permanent tool of the overview (a zoom window that moves the
    // map view) is not there yet: a drag does nothing.
    std::unique_ptr<CMapTool> MakeTool(int mode) override { return nullptr; }
    void ShowContextMenu(int x, int y) override;

private:
    void DrawMainViewFrame(CDC& dc);

    CDrelView* m_mainView = nullptr;
    LayersDialog m_layersDialog;
    CCommandTable m_commands;
};
