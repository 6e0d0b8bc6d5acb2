#include "mapdoc/widgets/MapViewWidget.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/widgets/DrawInputFilter.h"
#include "mapdoc/widgets/ScaleBarWidget.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

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
    m_surface.SetChangeHandler([this](const CRect& r) { update(r.left, r.top, r.Width(), r.Height()); });
    m_view->SetWindow(this);
}

CMapViewWidget::~CMapViewWidget()
{
    m_view->SetWindow(nullptr);
}

std::unique_ptr<IScaleBarWindow> CMapViewWidget::CreateScaleBarWindow(CScaleBar& bar)
{
    return std::make_unique<CScaleBarWidget>(bar, this);
}

void CMapViewWidget::InvalidateView()
{
    if (m_drawPosted)
        return;
    m_drawPosted = true;
    QCoreApplication::postEvent(this, new QEvent(DrawEventType()));
}

bool CMapViewWidget::event(QEvent* event)
{
    if (event->type() == DrawEventType()) {
        m_drawPosted = false;
        RunDrawPass();
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
    CDrawInputFilter filter(window());
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

void CMapViewWidget::ApplySize()
{
    m_sizePending = false;
    m_surface.Resize(width(), height());
    m_view->OnSize(width(), height());
    InvalidateView();
}

void CMapViewWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface.Image(), event->rect());
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
}

void CMapViewWidget::ForwardLeftButton(QMouseEvent* event, void (CDrelView::*handler)(unsigned, int, int))
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        (m_view.get()->*handler)(MouseKeyFlags(event->buttons(), event->modifiers()), p.x(), p.y());
    }
}

void CMapViewWidget::mousePressEvent(QMouseEvent* event)
{
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
    const QPoint p = event->position().toPoint();
    m_view->OnMouseMove(MouseKeyFlags(event->buttons(), event->modifiers()), p.x(), p.y());
}

void CMapViewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    m_view->OnContextMenu(event->pos().x(), event->pos().y());
}
