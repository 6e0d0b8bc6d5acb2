#pragma once

class QWidget;

// Enabling and showing a dialog's control (found by its id) without
// leaving the keyboard focus on a control that goes: disabling or hiding
// the control that has the focus first moves the focus to the next tab
// stop. Each returns 1 when the dialog or the control does not exist (and
// changes nothing); else whether the control was disabled before
// (EnableDlgItem) or shown before (ShowDlgItem), as 1 or 0.
int EnableDlgItem(QWidget* dialog, int id, bool enable);
int ShowDlgItem(QWidget* dialog, int id, bool show);
