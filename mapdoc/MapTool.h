#pragma once

#include <memory>

class CDC;
class CDrelView;
class CLayer;

// The current mouse tool of the map views, one for all of them: 0 zoom
// window, 1 zoom in, 2 zoom out, 3 pan, 4 information, ...; 100 to 199
// belong to the extension module.
extern int MapToolMode;

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
class CMapTool : public CMapFeedback {
public:
    explicit CMapTool(CDrelView* view) : m_view(view) {}
    ~CMapTool() override;
    CMapTool(const CMapTool&) = delete;
    CMapTool& operator=(const CMapTool&) = delete;

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
    virtual int OnKeyDown(int key, int repeat, unsigned flags);
    virtual int OnKeyUp(int key, int repeat, unsigned flags);
    // The legend's selection changed; not passed to the child.
    virtual void OnActiveLayerChanged() {}
    // The tool's own commands (21000 to 21099, 30209 to 30230).
    virtual void OnCommand(int id) {}
    // Zero keeps the tool (and the mode) when the user picks another one.
    virtual int MayQuit() { return 1; }

    CDrelView* GetView() const { return m_view; }
    CMapTool* GetChild() const { return m_child.get(); }
    void SetChild(std::unique_ptr<CMapTool> child) { m_child = std::move(child); }
    // The layer whose objects the tool edits; null for tools that edit nothing.
    CLayer* GetEditedLayer() const { return m_editedLayer; }

protected:
    CDrelView* m_view;
    CLayer* m_editedLayer = nullptr;
    std::unique_ptr<CMapTool> m_child;
};
