#pragma once

#include "mapdoc/ViewWindow.h"
#include "platform/DrawInterrupt.h"
#include "platform/WindowSurface.h"

#include <QWidget>

#include <memory>

class CDrawInputFilter;
class CDrelView;

// The window of a map view. The view draws into the window's surface
// image through device contexts; the widget shows that image and hands
// its size, key and mouse events to the view. Drawing runs from a posted
// event, not from painting, so that a drawing pass may let waiting events
// through (to be stopped by them) while the window still paints: one pass
// at a time in the program, the window's input held back meanwhile, a
// resize taken only after the pass. The view draws in device pixels, so
// the map is sharp on a screen of high density: its client size and the
// mouse positions it gets are the widget's times the device pixel ratio.
class CMapViewWidget : public QWidget, public IViewWindow, private IDrawInputQueue {
public:
    explicit CMapViewWidget(std::unique_ptr<CDrelView> view, QWidget* parent = nullptr);
    ~CMapViewWidget() override;

    CDrelView& View() const { return *m_view; }
    const CWindowSurface& Surface() const { return m_surface; }

    // Asks for a drawing pass; several requests before it runs make one.
    void InvalidateView() override;
    // A drawing pass asked for runs now.
    void UpdateView() override;
    CWindowSurface* GetSurface() override { return &m_surface; }
    std::unique_ptr<IScaleBarWindow> CreateScaleBarWindow(CScaleBar& bar) override;
    void SetCursor(int cursorId) override;
    void FocusView() override { setFocus(); }
    CPoint ClientToScreen(const CPoint& client) override;
    // Qt's grab of the mouse; while it is held the right button goes to the
    // view's OnRButtonDown and opens no menu.
    bool CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasCapture() const { return m_captured; }
    // The cursor id shown now (0 the default arrow).
    int GetCursorId() const { return m_cursorId; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge) override;
    void ForwardLeftButton(QMouseEvent* event, void (CDrelView::*handler)(unsigned, int, int));
    void RunDrawPass();
    void ApplySize();
    QSize DeviceSize() const;
    QPoint ToDevice(const QPointF& p) const;
    QRect ToWidget(const CRect& r) const;
    // The view chooses the cursor for the keys held.
    void UpdateCursor(Qt::KeyboardModifiers modifiers);

    std::unique_ptr<CDrelView> m_view;
    CWindowSurface m_surface;
    CDrawInputFilter* m_filter = nullptr; // while this window draws
    bool m_drawPosted = false;
    bool m_sizePending = false;
    int m_cursorId = 0;
    bool m_captured = false;
    // The right press went to a drag: its context menu does not open.
    bool m_rightPressTaken = false;
};
