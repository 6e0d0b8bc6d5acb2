#pragma once

#include "shell/GpsReceiverPort.h"

#include <cstdint>

// What the main window's GPS handling hands on to the track recorder, the
// GPS windows and the track replay. Until those are installed these do
// nothing.
class IGpsHooks {
public:
    virtual ~IGpsHooks() = default;
    // A new fix came (after the main window took it as the current one).
    virtual void RecordTrackFix(const CGpsPosition& fix) {}
    virtual void ShowFixInStatusWindow(const CGpsPosition& fix) {}
    // GPS start shows the status window (made on first use), stop hides it.
    virtual void ShowStatusWindow(bool show) {}
    // GPS start ends a running track replay.
    virtual void CloseTrackReplay() {}
    // Terminal text of the port (the message's wParam) waits to be shown.
    virtual void ShowTerminalText(uintptr_t port) {}
    // Timer 3 of the main window, while GPS emulation runs.
    virtual void OnEmulationTimer() {}
    // Timer 101 of the main window, while a track replay plays.
    virtual void OnReplayTimer() {}
    // Enter in the replay point box: point number (from 0).
    virtual void GoToReplayPoint(int index) {}
    // The replay's speed factor (1, 2, 5, 10 or 100 from the speed combo).
    virtual int GetReplaySpeedFactor() { return 1; }
    virtual void SetReplaySpeedFactor(int factor) {}
    // The program ends: recording and replay stop.
    virtual void OnApplicationExit() {}
};

IGpsHooks& GpsHooks();
// Null restores the ones that do nothing; the caller keeps ownership.
void SetGpsHooks(IGpsHooks* hooks);
