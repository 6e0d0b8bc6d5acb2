#include "mapdoc/widgets/MapViewWidget.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/widgets/DrawInputFilter.h"
#include "mapdoc/widgets/ResourceCursor.h"
#include "mapdoc/widgets/ScaleBarWidget.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <cmath>
#include <vector>

namespace {

QEvent::Type DrawEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// One drawing pass at a time in the program: a pass may let events
// through, and another window's pass started by them would clear the
// stop flag of this one.
bool g_passRunning = false;
std::vector<QPointer<CMapViewWidget>> g_waitingForPass;

unsigned MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

} // namespace

CMapViewWidget::CMapViewWidget(std::unique_ptr<CDrelView> view, QWidget* parent)
    : QWidget(parent), m_view(std::move(view)), m_surface(0, 0, m_view->GetLogPixelsX())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_surface.SetChangeHandler([this](const CRect& r) { update(ToWidget(r)); });
    m_view->SetWindow(this);
}

CMapViewWidget::~CMapViewWidget()
{
    ReleaseMouse();
    m_view->SetWindow(nullptr);
}

std::unique_ptr<IScaleBarWindow> CMapViewWidget::CreateScaleBarWindow(CScaleBar& bar)
{
    return std::make_unique<CScaleBarWidget>(bar, this);
}

void CMapViewWidget::SetCursor(int cursorId)
{
    const QCursor* cursor = cursorId ? ResourceCursor(cursorId) : nullptr;
    m_cursorId = cursor ? cursorId : 0;
    if (cursor)
        setCursor(*cursor);
    else
        unsetCursor();
}

void CMapViewWidget::UpdateCursor(Qt::KeyboardModifiers modifiers)
{
    m_view->OnSetCursor(MouseKeyFlags(QGuiApplication::mouseButtons(), modifiers));
}

void CMapViewWidget::InvalidateView()
{
    if (m_drawPosted)
        return;
    m_drawPosted = true;
    QCoreApplication::postEvent(this, new QEvent(DrawEventType()));
}

void CMapViewWidget::UpdateView()
{
    if (!m_drawPosted)
        return;
    m_drawPosted = false;
    RunDrawPass();
}

bool CMapViewWidget::event(QEvent* event)
{
    if (event->type() == DrawEventType()) {
        // The pass may have run already, at an update.
        UpdateView();
        return true;
    }
    return QWidget::event(event);
}

void CMapViewWidget::RunDrawPass()
{
    if (g_passRunning) {
        g_waitingForPass.emplace_back(this);
        return;
    }
    CDrawInputFilter filter(this);
    {
        // Undone however the pass ends.
        struct PassState {
            CMapViewWidget& widget;
            IDrawInputQueue* previous;
            PassState(CMapViewWidget& w, CDrawInputFilter& f) : widget(w), previous(SetDrawInputQueue(&w))
            {
                g_passRunning = true;
                widget.m_filter = &f;
            }
            ~PassState()
            {
                SetDrawInputQueue(previous);
                widget.m_filter = nullptr;
                g_passRunning = false;
            }
        } state(*this, filter);
        CDC dc(m_surface);
        m_view->OnDraw(dc);
    }

    if (m_sizePending)
        ApplySize();
    filter.ReleaseHeld();
    std::vector<QPointer<CMapViewWidget>> waiting = std::move(g_waitingForPass);
    g_waitingForPass.clear();
    for (const QPointer<CMapViewWidget>& widget : waiting) {
        if (widget)
            widget->InvalidateView();
    }
}

void CMapViewWidget::Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge)
{
    // Show what is drawn so far.
    m_surface.Flush();
    if (m_filter)
        m_filter->Poll(judge);
}

QSize CMapViewWidget::DeviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)));
}

QPoint CMapViewWidget::ToDevice(const QPointF& p) const
{
    const qreal ratio = devicePixelRatioF();
    return QPoint(static_cast<int>(std::floor(p.x() * ratio)), static_cast<int>(std::floor(p.y() * ratio)));
}

QRect CMapViewWidget::ToWidget(const CRect& r) const
{
    const qreal ratio = devicePixelRatioF();
    return QRectF(r.left / ratio, r.top / ratio, r.Width() / ratio, r.Height() / ratio).toAlignedRect();
}

void CMapViewWidget::ApplySize()
{
    m_sizePending = false;
    const QSize size = DeviceSize();
    m_surface.Resize(size.width(), size.height());
    m_view->OnSize(size.width(), size.height());
    InvalidateView();
}

void CMapViewWidget::paintEvent(QPaintEvent* event)
{
    // The surface holds device pixels: one to one on the screen.
    const qreal ratio = devicePixelRatioF();
    const QRectF target(event->rect());
    const QRectF source(target.left() * ratio, target.top() * ratio, target.width() * ratio, target.height() * ratio);
    QPainter painter(this);
    painter.drawImage(target, m_surface.Image(), source);
}

void CMapViewWidget::resizeEvent(QResizeEvent*)
{
    // The surface is being drawn into while this window's pass runs.
    if (m_filter)
        m_sizePending = true;
    else
        ApplySize();
}

void CMapViewWidget::keyPressEvent(QKeyEvent* event)
{
    const int key = VirtualKeyFromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (key)
        m_view->OnKeyDown(key, event->count(), 0);
    const std::string text = Utf8ToCp1257(event->text().toStdString());
    if (text.size() == 1)
        m_view->OnChar(static_cast<unsigned char>(text[0]), event->count(), 0);
    if (event->key() == Qt::Key_Shift)
        UpdateCursor(event->modifiers());
}

void CMapViewWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (const int key = VirtualKeyFromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier)))
        m_view->OnKeyUp(key, event->count(), 0);
    if (event->key() == Qt::Key_Shift)
        UpdateCursor(event->modifiers());
    QWidget::keyReleaseEvent(event);
}

void CMapViewWidget::focusOutEvent(QFocusEvent* event)
{
    m_view->OnKillFocus();
    QWidget::focusOutEvent(event);
}

void CMapViewWidget::leaveEvent(QEvent* event)
{
    m_view->OnMouseLeave();
    QWidget::leaveEvent(event);
}

void CMapViewWidget::ForwardLeftButton(QMouseEvent* event, void (CDrelView::*handler)(unsigned, int, int))
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = ToDevice(event->position());
        const unsigned flags = MouseKeyFlags(event->buttons(), event->modifiers());
        (m_view.get()->*handler)(flags, p.x(), p.y());
        // A click may have changed what lies under the pointer.
        m_view->OnSetCursor(flags);
    }
}

void CMapViewWidget::mousePressEvent(QMouseEvent* event)
{
    m_rightPressTaken = false;
    if (m_captured && event->button() == Qt::RightButton) {
        m_rightPressTaken = true;
        const QPoint p = ToDevice(event->position());
        m_view->OnRButtonDown(MouseKeyFlags(event->buttons(), event->modifiers()), p.x(), p.y());
        return;
    }
    ForwardLeftButton(event, &CDrelView::OnLButtonDown);
}

void CMapViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    ForwardLeftButton(event, &CDrelView::OnLButtonUp);
}

void CMapViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    ForwardLeftButton(event, &CDrelView::OnLButtonDblClk);
}

void CMapViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = ToDevice(event->position());
    const unsigned flags = MouseKeyFlags(event->buttons(), event->modifiers());
    m_view->OnMouseMove(flags, p.x(), p.y());
    m_view->OnSetCursor(flags);
}

CPoint CMapViewWidget::ClientToScreen(const CPoint& client)
{
    // The view's client pixels are device pixels; the screen's are the widget's.
    const qreal ratio = devicePixelRatioF();
    const QPoint global = mapToGlobal(QPointF(client.x / ratio, client.y / ratio)).toPoint();
    return CPoint(global.x(), global.y());
}

bool CMapViewWidget::CaptureMouse()
{
    if (QWidget* holder = QWidget::mouseGrabber(); holder && holder != this)
        return false;
    if (!m_captured)
        grabMouse();
    m_captured = true;
    return true;
}

void CMapViewWidget::ReleaseMouse()
{
    if (!m_captured)
        return;
    m_captured = false;
    releaseMouse();
}

void CMapViewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_captured || m_rightPressTaken) {
        m_rightPressTaken = false;
        return;
    }
    const QPoint p = ToDevice(QPointF(event->pos()));
    m_view->OnContextMenu(p.x(), p.y());
}
