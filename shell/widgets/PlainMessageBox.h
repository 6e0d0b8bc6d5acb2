#pragma once

#include <string>

class QWidget;

// A message box over Qt's own: the system's button set and icon of the
// type (MB_OK ..., MB_ICONERROR ...), its default button, and the button
// pressed as the system's identifier (IDOK ...). With Lithuanian labels
// the buttons read "OK", "Atsisakyti", "&Taip", "&Ne" and so on. Texts are
// code page 1257.
int ShowPlainMessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type,
                        bool lithuanianLabels);
