#pragma once

#include "platform/DrawInterrupt.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QEvent;
class QWidget;

// The waiting input of one top-level window while a map is drawn. Qt
// cannot look into its queue without taking events out, so the drawing's
// check lets all waiting events through, and a filter catches the user
// input addressed to the window on the way: what the check keeps is held
// and posted again when the drawing is over, in the order it came.
// Requests to quit or to close a window that holds the drawing map count
// as input too: they would take the map away under the drawing, so they
// wait for its end. Other windows, as a dialog up meanwhile, close at once.
class CDrawInputFilter : public QObject {
public:
    // The widget the map draws in; its top-level window's input is judged.
    explicit CDrawInputFilter(QWidget* drawing);
    ~CDrawInputFilter() override;

    // Processes the waiting events; the window's key downs and right
    // button presses go to judge. A call from inside does nothing.
    void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge);
    // Posts what was held to its receivers again, and closes the windows
    // asked to close meanwhile.
    void ReleaseHeld();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    QPointer<QWidget> m_drawing;
    QPointer<QWidget> m_window;
    const std::function<WaitingInputAction(const CWaitingInput&)>* m_judge = nullptr;
    std::vector<Held> m_held;
    std::vector<QPointer<QWidget>> m_closing;
};
