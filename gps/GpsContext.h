#pragma once

#include "gps/GpsStatusWindow.h"
#include "gps/SerialPort.h"
#include "gps/TrackRecorder.h"
#include "gps/TrackReplay.h"
#include "gps/VehicleMarker.h"
#include "mapdoc/MapGps.h"
#include "shell/GpsHooks.h"

#include <cstdint>
#include <functional>

class CGpsReceiverPort;

// The GPS part of the program, one per process: the track recorder, the
// track replay and the status window, fed by the main window's GPS
// handling (IGpsHooks) and drawn into the map views (IMapGpsPainter):
// the trail and the vehicle marker of the current fix. It also holds the
// vehicle that automation places and the emulation that passes it on as
// "$GPRMC" sentences on the port "EmulateGPS", one every main-window
// timer 3 tick.
class CGpsContext : public IGpsHooks, public IMapGpsPainter {
public:
    // The receiver is the program's (its log switch is a track setting);
    // null without one.
    explicit CGpsContext(CGpsReceiverPort* receiver = nullptr);
    ~CGpsContext() override;
    CGpsContext(const CGpsContext&) = delete;
    CGpsContext& operator=(const CGpsContext&) = delete;

    CTrackRecorder& Recorder() { return m_recorder; }
    CTrackReplay& Replay() { return m_replay; }
    CGpsReceiverPort* Receiver() const { return m_receiver; }
    IGpsStatusWindow& StatusWindow() const { return *m_statusWindow; }
    // The caller keeps ownership; null puts back the one that shows nothing.
    void SetStatusWindow(IGpsStatusWindow* window);
    IGpsTerminalWindow& TerminalWindow() const { return *m_terminalWindow; }
    // The caller keeps ownership; null puts back the one that is none.
    void SetTerminalWindow(IGpsTerminalWindow* window);
    // A monotonic clock in milliseconds for the saving period and the
    // replay's steps (tests give their own).
    void SetClock(std::function<int64_t()> milliseconds);

    CVehicleMarker& Vehicle() { return m_vehicle; }
    CSerialPort& EmulationPort() { return m_emulationPort; }
    // Closes the emulation first; false for a port of 0 or less, without a
    // main window, or when the port did not open (the port says why).
    // Opened for writing only, with timer 3 started at 2000 ms.
    bool OpenEmulationPort(int port);
    // Closes the port and stops timer 3.
    void CloseEmulationPort();
    bool IsEmulationTimerRunning() const { return m_emulationTimerRunning; }

    // IGpsHooks.
    void RecordTrackFix(const CGpsPosition& fix) override;
    void ShowFixInStatusWindow(const CGpsPosition& fix) override;
    void ShowStatusWindow(bool show) override;
    void CloseTrackReplay() override;
    // Only the receiver's own port is drained, and only into a window.
    void ShowTerminalText(uintptr_t port) override;
    void OnEmulationTimer() override;
    void OnReplayTimer() override;
    void GoToReplayPoint(int index) override;
    int GetReplaySpeedFactor() override;
    void SetReplaySpeedFactor(int factor) override;
    void OnApplicationExit() override;

    // IMapGpsPainter.
    void DrawRecentTrack(CDC& dc, CDrelView& view) override;
    void DrawVehicleMarker(CDC& dc, CDrelView& view, const CMapGpsFix& fix, double course, int lost) override;
    void DrawAutomationVehicle(CDC& dc, CDrelView& view) override;

private:
    CGpsReceiverPort* m_receiver;
    IGpsStatusWindow m_noStatusWindow;
    IGpsStatusWindow* m_statusWindow = &m_noStatusWindow;
    IGpsTerminalWindow m_noTerminalWindow;
    IGpsTerminalWindow* m_terminalWindow = &m_noTerminalWindow;
    CTrackRecorder m_recorder;
    CTrackReplay m_replay;
    CVehicleMarker m_vehicle;
    CSerialPort m_emulationPort{"EmulateGPS"};
    bool m_emulationTimerRunning = false;
};

// The program's context once InstallGps made it; null before.
CGpsContext* GetGpsContext();
// The caller keeps ownership.
void SetGpsContext(CGpsContext* context);
