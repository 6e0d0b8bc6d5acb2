#include "mapdoc/widgets/ScaleBarWidget.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CScaleBarWidget::CScaleBarWidget(CScaleBar& bar, QWidget* parent) : QWidget(parent), m_bar(bar)
{
    setObjectName(QString::number(kControlId));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setGeometry(0, 0, 120, 20);
    hide();
}

void CScaleBarWidget::MoveWindow(const CRect& rect)
{
    setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void CScaleBarWidget::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    // The resolution the map view measures the bar at.
    image.setDotsPerMeterX(MulDiv(m_bar.GetView().GetLogPixelsX(), 10000, 254));
    image.setDotsPerMeterY(MulDiv(m_bar.GetView().GetLogPixelsY(), 10000, 254));
    {
        CDC dc(image);
        m_bar.Paint(dc, CSize(width(), height()));
    }
    QPainter(this).drawImage(0, 0, image);
}

CPoint CScaleBarWidget::InParent(const QMouseEvent* event) const
{
    const QPoint p = mapToParent(event->position().toPoint());
    return CPoint(p.x(), p.y());
}

void CScaleBarWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_bar.IsDragging()) {
        m_bar.BeginDrag(InParent(event));
        // The mouse stays with the window that was pressed; Escape needs the keys.
        m_focusBefore = QApplication::focusWidget();
        setFocus(Qt::MouseFocusReason);
    } else if (event->button() == Qt::RightButton && m_bar.IsDragging()) {
        StopDrag(false);
    }
    event->accept();
}

void CScaleBarWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bar.IsDragging())
        m_bar.DragTo(InParent(event));
    event->accept();
}

void CScaleBarWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bar.IsDragging()) {
        m_bar.DragTo(InParent(event));
        StopDrag(true);
    }
    event->accept();
}

void CScaleBarWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_bar.IsDragging()) {
        StopDrag(false);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CScaleBarWidget::StopDrag(bool keep)
{
    if (m_focusBefore)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    m_focusBefore = nullptr;
    if (keep)
        m_bar.EndDrag();
    else
        m_bar.CancelDrag();
}
