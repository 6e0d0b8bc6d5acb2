#pragma once

#include <cstdint>

// A window that takes posted messages (a window handle with PostMessage):
// the message is queued for the window's own thread and the caller never
// waits for it, so any thread may post.
class IMessageWindow {
public:
    virtual ~IMessageWindow() = default;
    virtual void PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
};

// Private messages of the main frame sent from the serial reader thread.
enum : unsigned {
    WM_GPS_NEW_FIX = 0x407,       // wParam 0, lParam the receiver
    WM_GPS_TERMINAL_TEXT = 0x409, // wParam the port, lParam 0
};

// The application's main window; null while there is none. The main frame
// sets it when created and clears it before it goes.
IMessageWindow* GetMainMessageWindow();
void SetMainMessageWindow(IMessageWindow* window);
