#pragma once

#include <functional>
#include <string>

class QWidget;

// The application's own message box: (text, type, help id) -> the button
// pressed. Start-up hands in the one that chooses between the program's
// box and the system's and adds what the application adds (caption, icon).
using MessageBoxHandler = std::function<int(const std::string& text, unsigned type, unsigned helpId)>;

// Puts the windowed user services in place of the headless ones: messages
// through the handler, or without one in the program's own box
// (MessageBoxFromTemplate) captioned with the application's name; progress
// windows (CProgressDlg) over the active window; Qt's beep and wait cursor.
void InstallShellUserServices(MessageBoxHandler handler = {});
// The headless services again (at shutdown, after tests).
void RemoveShellUserServices();
// The window that message boxes and progress windows belong to: the
// active window, else the main frame; null when there is neither.
QWidget* GetUserServicesOwner();
