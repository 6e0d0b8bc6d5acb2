#pragma once

#include <memory>

class CCommandState;
class CDC;
class CDrelView;
class CLayer;

// The current mouse tool of the map views, one for all of them: 0 zoom
// window, 1 zoom in, 2 zoom out, 3 pan, 4 information, 5 distance, 6 area
// and perimeter, 7 to 11 object editing, 12 street information, 13 to 16
// route points, 17 object area, 18 object length, 19 azimuth, 21 buffer
// zone, 22 point coordinates, 23 distance along the road, 24 to 27
// placemarks; 100 to 199 belong to the extension module.
extern int MapToolMode;

// The tool modes.
enum : int {
    kModeZoomWindow = 0,
    kModeZoomIn = 1,
    kModeZoomOut = 2,
    kModePan = 3,
    kModeInfo = 4,
    kModeDistance = 5,
    kModeAreaPerimeter = 6,
    kModeDrawObject = 7,
    kModeSelectForEdit = 8,
    kModeEditGeometry = 9,
    kModeDeleteObjects = 10,
    kModeEditAttributes = 11,
    kModeStreetInfo = 12,
    kModeRouteStart = 13,
    kModeRouteFinish = 14,
    kModeRouteIntermediate = 15,
    kModeRouteMove = 16,
    kModeObjectArea = 17,
    kModeObjectLength = 18,
    kModeAzimuth = 19,
    kModeBufferZone = 21,
    kModePointCoordinates = 22,
    kModeRoadDistance = 23,
    kModeAddPlacemark = 24,
    kModeDeletePlacemark = 25,
    kModeMovePlacemark = 26,
    kModeEditPlacemark = 27,
    kModeFirstExtension = 100,
    kModeLastExtension = 199,
};

// Feedback drawn over a map view in the phases of its drawing: last on
// the window, after the map was copied to the window, and after the map
// was drawn anew. Tools are such feedback, and so is what a tool leaves
// behind it on the view (the measured road distance).
class CMapFeedback {
public:
    virtual ~CMapFeedback() = default;
    virtual void DrawFinal(CDC& dc) {}
    virtual void DrawAfterCopy(CDC& dc) {}
    virtual void DrawAfterRebuild(CDC& dc) {}
};

// What a mouse tool of a map view does with the view's mouse, key and
// drawing events. A tool may carry a child tool (a navigation tool over an
// editing tool); unless an override says otherwise, events go to the child
// and the tool itself does nothing. Results are nonzero when handled.
// Points are client pixels.
class CMapTool : public CMapFeedback {
public:
    explicit CMapTool(CDrelView* view) : m_view(view) {}
    ~CMapTool() override;
    CMapTool(const CMapTool&) = delete;
    CMapTool& operator=(const CMapTool&) = delete;

    // Not passed to the child.
    virtual int OnContextMenu(unsigned flags, int x, int y) { return 0; }
    // Feedback drawn last on the window, after the map was copied to the
    // window, and after the map was drawn anew.
    void DrawFinal(CDC& dc) override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;
    virtual int OnLButtonDown(unsigned flags, int x, int y);
    virtual int OnLButtonUp(unsigned flags, int x, int y);
    // Nonzero ends the view's own double-click handling.
    virtual int OnLButtonDblClk(unsigned flags, int x, int y);
    virtual int OnMouseMove(unsigned flags, int x, int y);
    // Nonzero when the tool has set the view's cursor.
    virtual int OnSetCursor();
    virtual int OnKeyDown(int key, int repeat, unsigned flags);
    virtual int OnKeyUp(int key, int repeat, unsigned flags);
    virtual void OnKillFocus();
    // The legend's selection changed; not passed to the child.
    virtual void OnActiveLayerChanged() {}
    // The tool's own commands (21000 to 21099, 30209 to 30230); not passed
    // to the child.
    virtual void OnCommand(int id) {}
    // Nonzero when the tool has set the command's state.
    virtual int OnUpdateCommandUI(CCommandState& state);
    // Zero keeps the tool (and the mode) when the user picks another one.
    virtual int MayQuit() { return 1; }
    // Whether a navigation tool may work over this one as its child.
    virtual int AcceptsNavigationChild() { return 0; }
    virtual int OnMouseLeave();
    // With changes, asks whether to save them into the edited layer
    // (message 2003): 0 on Cancel, Save's answer on Yes, 1 on No; 1 when
    // nothing changed.
    virtual int AskSave();
    virtual int Save();
    // Removes the tool's temporary marks.
    virtual void Clear() {}

    CDrelView* GetView() const { return m_view; }
    CMapTool* GetChild() const { return m_child.get(); }
    void SetChild(std::unique_ptr<CMapTool> child) { m_child = std::move(child); }
    // The layer whose objects the tool edits; null for tools that edit nothing.
    CLayer* GetEditedLayer() const { return m_editedLayer; }
    int IsModified() const { return m_modified; }
    void SetModified(int modified) { m_modified = modified; }

protected:
    CDrelView* m_view;
    CLayer* m_editedLayer = nullptr;
    std::unique_ptr<CMapTool> m_child;
    int m_modified = 0;
};
