#pragma once

#include <QEvent>
#include <QPoint>

#include <string>

class QWidget;

// The program's own message box, drawn in place of the system's so that
// its buttons carry Lithuanian labels: the icon, the text and the buttons
// of a message-box type (platform/UserServices.h) laid out from the
// metrics of the dialog font. It takes and answers what the system's box
// does: the identifier of the button that closed it; 0 when it could not
// be shown. Text and caption are code page 1257; no caption keeps the
// window's own.
int MessageBoxFromTemplate(QWidget* owner, const std::string& text, const std::string& caption, unsigned type);

// What the Help button of a message box sends to the box's owner; the box stays open.
class CHelpRequestEvent : public QEvent {
public:
    static QEvent::Type EventType();
    CHelpRequestEvent(int controlId, QWidget* box, QPoint position)
        : QEvent(EventType()), controlId(controlId), box(box), position(position)
    {
    }

    int controlId;
    QWidget* box;
    QPoint position; // of the mouse, on the screen
};
