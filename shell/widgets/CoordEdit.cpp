#include "shell/widgets/CoordEdit.h"

#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// One byte for every character of the edit, so positions agree; what the
// code page lacks becomes '?'.
std::string EditBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        const int byte = UnicodeToCp1257(c.unicode());
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return bytes;
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

} // namespace

CCoordEdit::CCoordEdit(bool withSeconds, QWidget* parent) : QLineEdit(parent), m_rules(withSeconds)
{
    // Composed input would pass by the keys' rules.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CCoordEdit::SetValue(int mode, double value)
{
    setText(ToQString(m_rules.SetValue(mode, value)));
    SelectSection(-1);
}

void CCoordEdit::SetLongitude(double value)
{
    SetValue(CCoordEditRules::kLongitude, value);
}

void CCoordEdit::SetLatitude(double value)
{
    SetValue(CCoordEditRules::kLatitude, value);
}

double CCoordEdit::GetDegrees()
{
    return m_rules.Parse(EditBytes(text()));
}

void CCoordEdit::SelectSection(int section)
{
    CCoordEditRules::Edit edit = CurrentEdit();
    m_rules.SelectSection(section, edit);
    Apply(edit);
}

CCoordEditRules::Edit CCoordEdit::CurrentEdit() const
{
    CCoordEditRules::Edit edit;
    edit.text = EditBytes(text());
    if (hasSelectedText()) {
        edit.selStart = selectionStart();
        edit.selEnd = selectionEnd();
    } else {
        edit.selStart = edit.selEnd = cursorPosition();
    }
    return edit;
}

void CCoordEdit::Apply(const CCoordEditRules::Edit& edit)
{
    const QString shown = ToQString(edit.text);
    if (shown != text())
        setText(shown);
    if (edit.selEnd > edit.selStart)
        setSelection(edit.selStart, edit.selEnd - edit.selStart);
    else
        setCursorPosition(edit.selStart);
}

void CCoordEdit::keyPressEvent(QKeyEvent* event)
{
    // Shortcuts (copy, paste, select all) and dialog keys are the edit's
    // and the dialog's.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers != Qt::NoModifier || IsNavigationKey(event->key())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    CCoordEditRules::Edit edit = CurrentEdit();
    bool accepted = true;
    bool handled = true;
    switch (event->key()) {
    case Qt::Key_Home: accepted = m_rules.PressKey(CCoordEditRules::kHome, false, edit); break;
    case Qt::Key_End: accepted = m_rules.PressKey(CCoordEditRules::kEnd, false, edit); break;
    case Qt::Key_Left: accepted = m_rules.PressKey(CCoordEditRules::kLeft, false, edit); break;
    case Qt::Key_Right: accepted = m_rules.PressKey(CCoordEditRules::kRight, false, edit); break;
    case Qt::Key_Up: accepted = m_rules.PressKey(CCoordEditRules::kUp, false, edit); break;
    case Qt::Key_Down: accepted = m_rules.PressKey(CCoordEditRules::kDown, false, edit); break;
    case Qt::Key_Delete:
        accepted = m_rules.PressKey(CCoordEditRules::kDelete, (event->modifiers() & Qt::ShiftModifier) != 0, edit);
        break;
    case Qt::Key_Backspace: accepted = m_rules.TypeChar(CCoordEditRules::kBackspace, edit); break;
    default: {
        const QString typed = event->text();
        if (typed.size() == 1 && typed[0].isPrint())
            accepted = m_rules.TypeChar(EditBytes(typed)[0], edit);
        else
            handled = false;
        break;
    }
    }
    if (!handled) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!accepted) {
        AppBeep();
        return;
    }
    Apply(edit);
}

void CCoordEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    SelectSection(m_rules.SectionAt(cursorPositionAt(event->position().toPoint())));
    event->accept();
}

// Dragging and double clicks would select across the sections.
void CCoordEdit::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void CCoordEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CCoordEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    SelectSection(-1);
}
