#pragma once

#include "shell/GpsReceiverPort.h"

#include <cstdint>
#include <functional>

class IMessageWindow;

// Timers of a window by id: setting one that runs starts it anew; it
// fires until killed.
class ITimerHost {
public:
    virtual ~ITimerHost() = default;
    virtual void SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
};

// Private messages of the main window.
enum : unsigned {
    WM_MAIN_IGNORED = 0x402,
    WM_MAIN_EXTENSION_FIRST = 0x403, // to 0x406: handed to the extension as 1027 to 1030
    WM_MAIN_EXTENSION_LAST = 0x406,
    WM_MAIN_ANSWER_ONE = 0x408,
};

// The main window's state and GPS handling without the window: the
// current fix taken from the receiver, the watchdog that marks it lost
// when no fix came for ten seconds, the private messages, and the
// process-wide switches the main window owns.
class CMainFrameCore {
public:
    static constexpr int kEmulationTimer = 3;
    static constexpr int kWatchdogTimer = 4;
    static constexpr int kWatchdogMs = 10000;
    static constexpr int kReplayTimer = 101;

    // window: where the receiver posts its fixes.
    CMainFrameCore(ITimerHost& timers, IMessageWindow& window);

    void SetTimerHost(ITimerHost& timers) { m_timers = &timers; }
    // The window's timers, for the GPS part's own (the replay's 101).
    ITimerHost& Timers() { return *m_timers; }
    // The map views paint again (a new, a lost or no fix).
    void SetInvalidateMapViews(std::function<void()> invalidate) { m_invalidate = std::move(invalidate); }

    // 0x402 to 0x409; the message's result.
    intptr_t OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
    void OnTimer(int id);

    // A receiver is there and its port closed / open.
    bool CanStartGps() const;
    bool CanStopGps() const;
    void StartGps();
    void StopGps();

    const CGpsPosition& GetFix() const { return m_fix; }
    // The track replay's fix becomes the current one: not lost, and the
    // map views paint it.
    void SetFix(const CGpsPosition& fix);
    bool IsGpsLost() const { return m_gpsLost; }
    // The running watchdog's id; 0 when none runs.
    int GetWatchdogId() const { return m_watchdogId; }
    void UnsetFix();
    // Asks the map views to paint again now.
    void InvalidateMapViews() const;

    // Set while a track replay shows its toolbar.
    bool GetReplayFlag() const { return m_replayFlag; }
    void SetReplayFlag(bool on) { m_replayFlag = on; }

    // [GPS] "TimeCorrection" (hours, -12 to 12) and [Map List] "View Type",
    // read when the window is made; the view type is written at close.
    void ReadProfile();
    void WriteProfile() const;
    int GetTimeCorrection() const { return m_timeCorrection; }
    // Kept and written to [GPS] "TimeCorrection"; held to -12 to 12.
    void SetTimeCorrection(int hours);
    int GetMapListViewType() const { return m_mapListViewType; }
    void SetMapListViewType(int type) { m_mapListViewType = type; }

    // The map follows the vehicle.
    bool GetAutoPan() const { return m_autoPan; }
    void SetAutoPan(bool on) { m_autoPan = on; }
    // 0 standard, 1 improved.
    int GetDrawingQuality() const { return m_drawingQuality; }
    void SetDrawingQuality(int quality) { m_drawingQuality = quality; }

private:
    void OnNewFix();
    void KillWatchdog();

    ITimerHost* m_timers;
    IMessageWindow& m_window;
    std::function<void()> m_invalidate;
    CGpsPosition m_fix;
    bool m_gpsLost = false;
    int m_watchdogId = 0;
    int m_timeCorrection = 0;
    int m_mapListViewType = 0;
    bool m_autoPan = true;
    int m_drawingQuality = 0;
    bool m_replayFlag = false;
};

// The main window's core while the window lives, else null; the window
// registers itself.
CMainFrameCore* GetMainFrameCore();
void SetMainFrameCore(CMainFrameCore* core);
