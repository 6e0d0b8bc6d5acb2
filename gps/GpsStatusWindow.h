#pragma once

#include "gps/GpsFix.h"

#include <span>
#include <string_view>

// The GPS status window as the live fixes and the track replay feed it:
// the last fix and the trip figures. The window itself comes with the GPS
// windows; until then the program has this one, which shows nothing.
class IGpsStatusWindow {
public:
    virtual ~IGpsStatusWindow() = default;
    // Shown (made on first use) or hidden.
    virtual void Show(bool show) {}
    virtual bool IsVisible() const { return false; }
    // The fix is shown and joins the trip figures.
    virtual void ShowFix(const GpsFix& fix) {}
    // The trip figures anew over fixes 0 to n - 1; fix n - 1 shown.
    virtual void ShowTripUpTo(std::span<const GpsFix> fixes, int n) {}
    virtual void ResetTrip() {}
};

// The terminal window as the receiver's text reaches it; until the GPS
// windows come, none exists and the text waits in the port.
class IGpsTerminalWindow {
public:
    virtual ~IGpsTerminalWindow() = default;
    virtual bool Exists() const { return false; }
    // The port's text: pieces separated by NUL bytes.
    virtual void AppendText(std::string_view pieces) {}
};
