#include "mapdoc/widgets/DrawInputFilter.h"

#include "platform/VirtualKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

CDrawInputFilter::CDrawInputFilter(QWidget* drawing) : m_drawing(drawing), m_window(drawing->window()) {}

CDrawInputFilter::~CDrawInputFilter() = default;

void CDrawInputFilter::Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (m_judge || !app)
        return;
    m_judge = &judge;
    app->installEventFilter(this);
    QCoreApplication::processEvents();
    app->removeEventFilter(this);
    m_judge = nullptr;
}

void CDrawInputFilter::ReleaseHeld()
{
    std::vector<Held> held = std::move(m_held);
    m_held.clear();
    for (Held& h : held) {
        if (h.receiver)
            QCoreApplication::postEvent(h.receiver, h.event.release());
    }
    std::vector<QPointer<QWidget>> closing = std::move(m_closing);
    m_closing.clear();
    for (const QPointer<QWidget>& window : closing)
        if (window)
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
}

bool CDrawInputFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_judge)
        return false;
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        m_held.push_back({watched, std::make_unique<QEvent>(QEvent::Quit)});
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::Close) {
        // Only a window that holds the map (the map's own window inside the
        // main one too): a dialog may close at any time.
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && m_drawing && (window == m_drawing || window->isAncestorOf(m_drawing))) {
            // Refused for now, the window closes once the drawing is over.
            if (std::find(m_closing.begin(), m_closing.end(), window) == m_closing.end())
                m_closing.emplace_back(window);
            event->ignore();
            return true;
        }
    }
    const bool shortcut = event->type() == QEvent::ShortcutOverride;
    if (!shortcut && !IsUserInput(event->type()))
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !m_window || widget->window() != m_window)
        return false;
    if (shortcut) {
        // Claimed for the widget, so the key comes as a key press to be
        // judged, not as a command run in the middle of the drawing.
        event->accept();
        return true;
    }
    WaitingInputAction action = WaitingInputAction::kKeep;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = VirtualKeyFromQtKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
        action = (*m_judge)(CWaitingInput{CWaitingInput::kKeyDown, code});
    } else if (event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        action = (*m_judge)(CWaitingInput{CWaitingInput::kRightButtonDown, 0});
    }
    if (action == WaitingInputAction::kKeep)
        m_held.push_back({widget, std::unique_ptr<QEvent>(event->clone())});
    return true;
}
