#pragma once

#include <memory>

class CDC;
class CDrelView;

// The current mouse tool of the map views, one for all of them: 0 zoom
// window, 1 zoom in, 2 zoom out, 3 pan, 4 information, ...; 100 to 199
// belong to the extension module.
extern int MapToolMode;

// What a mouse tool of a map view does with the view's mouse, key and
// drawing events. A tool may carry a child tool (a navigation tool over an
// editing tool); unless an override says otherwise, events go to the child
// and the tool itself does nothing. Results are nonzero when handled.
class CMapTool {
public:
    explicit CMapTool(CDrelView* view) : m_view(view) {}
    virtual ~CMapTool();
    CMapTool(const CMapTool&) = delete;
    CMapTool& operator=(const CMapTool&) = delete;

    // Feedback drawn last on the window, after the map was copied to the
    // window, and after the map was drawn anew.
    virtual void DrawFinal(CDC& dc);
    virtual void DrawAfterCopy(CDC& dc);
    virtual void DrawAfterRebuild(CDC& dc);
    virtual int OnLButtonDown(unsigned flags, int x, int y);
    virtual int OnLButtonUp(unsigned flags, int x, int y);
    // Nonzero ends the view's own double-click handling.
    virtual int OnLButtonDblClk(unsigned flags, int x, int y);
    virtual int OnMouseMove(unsigned flags, int x, int y);
    virtual int OnKeyDown(int key, int repeat, unsigned flags);
    virtual int OnKeyUp(int key, int repeat, unsigned flags);
    // The legend's selection changed; not passed to the child.
    virtual void OnActiveLayerChanged() {}
    // Zero keeps the tool (and the mode) when the user picks another one.
    virtual int MayQuit() { return 1; }

    CDrelView* GetView() const { return m_view; }
    CMapTool* GetChild() const { return m_child.get(); }
    void SetChild(std::unique_ptr<CMapTool> child) { m_child = std::move(child); }

protected:
    CDrelView* m_view;
    std::unique_ptr<CMapTool> m_child;
};
