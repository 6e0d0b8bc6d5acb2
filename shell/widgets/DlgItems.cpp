#include "shell/widgets/DlgItems.h"

#include "shell/widgets/ControlIds.h"

#include <QWidget>

namespace {

bool Holds(const QWidget* control, const QWidget* widget)
{
    return widget == control || control->isAncestorOf(widget);
}

// The focus to the next tab stop when it is on the control (or inside it).
void MoveFocusFrom(QWidget* control)
{
    QWidget* window = control->window();
    QWidget* focus = window->focusWidget();
    if (!focus || !Holds(control, focus))
        return;
    for (QWidget* next = focus->nextInFocusChain(); next && next != focus; next = next->nextInFocusChain()) {
        if (Holds(control, next) || next->window() != window || !(next->focusPolicy() & Qt::TabFocus))
            continue;
        if (next->isEnabled() && next->isVisibleTo(window)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

int EnableDlgItem(QWidget* dialog, int id, bool enable)
{
    QWidget* control = FindControl(dialog, id);
    if (!control)
        return 1;
    const bool wasDisabled = control->testAttribute(Qt::WA_ForceDisabled);
    if (!enable)
        MoveFocusFrom(control);
    control->setEnabled(enable);
    return wasDisabled ? 1 : 0;
}

int ShowDlgItem(QWidget* dialog, int id, bool show)
{
    QWidget* control = FindControl(dialog, id);
    if (!control)
        return 1;
    const bool wasShown = !control->isHidden();
    if (!show)
        MoveFocusFrom(control);
    control->setVisible(show);
    return wasShown ? 1 : 0;
}
