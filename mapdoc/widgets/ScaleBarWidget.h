#pragma once

#include "mapdoc/ScaleBar.h"

#include <QPointer>
#include <QWidget>

// The scale bar's child window over a map view's window (id 100): it
// paints the bar and lets the user drag it with the left button; Escape or
// the right button cancels the drag.
class CScaleBarWidget : public QWidget, public IScaleBarWindow {
public:
    static constexpr int kControlId = 100;

    CScaleBarWidget(CScaleBar& bar, QWidget* parent);

    void MoveWindow(const CRect& rect) override;
    void ShowWindow(bool show) override { setVisible(show); }
    void Repaint() override { repaint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CPoint InParent(const QMouseEvent* event) const;
    void StopDrag(bool keep);

    CScaleBar& m_bar;
    QPointer<QWidget> m_focusBefore;
};
