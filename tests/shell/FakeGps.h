#pragma once

#include "shell/GpsHooks.h"
#include "shell/GpsReceiverPort.h"
#include "shell/MainFrameCore.h"

#include <map>
#include <string>
#include <vector>

// Timers that only run when the test fires them.
class CFakeTimers : public ITimerHost {
public:
    void SetTimer(int id, int milliseconds) override
    {
        running[id] = milliseconds;
        ++starts;
    }
    void KillTimer(int id) override { running.erase(id); }
    bool IsRunning(int id) const { return running.count(id) != 0; }

    std::map<int, int> running; // id -> period
    int starts = 0;
};

// A receiver port whose last fix the test sets; installed for its lifetime.
class CFakeReceiverPort : public IGpsReceiverPort {
public:
    CFakeReceiverPort() { SetGpsReceiverPort(this); }
    ~CFakeReceiverPort() override { SetGpsReceiverPort(nullptr); }

    bool Open(IMessageWindow& window, unsigned message) override
    {
        opened = &window;
        openMessage = message;
        open = opens;
        return opens;
    }
    void Close() override
    {
        open = false;
        ++closes;
    }
    bool IsOpen() const override { return open; }
    CGpsPosition GetLastFix() const override { return fix; }

    bool opens = true;
    bool open = false;
    int closes = 0;
    IMessageWindow* opened = nullptr;
    unsigned openMessage = 0;
    CGpsPosition fix;
};

// Hooks that log what reached them; installed for their lifetime.
class CLoggingGpsHooks : public IGpsHooks {
public:
    CLoggingGpsHooks() { SetGpsHooks(this); }
    ~CLoggingGpsHooks() override { SetGpsHooks(nullptr); }

    void RecordTrackFix(const CGpsPosition& fix) override { log.push_back("record " + Text(fix)); }
    void ShowFixInStatusWindow(const CGpsPosition& fix) override { log.push_back("status " + Text(fix)); }
    void ShowStatusWindow(bool show) override { log.push_back(show ? "show status" : "hide status"); }
    void CloseTrackReplay() override { log.push_back("close replay"); }
    void ShowTerminalText(uintptr_t port) override { log.push_back("terminal " + std::to_string(port)); }
    void OnEmulationTimer() override { log.push_back("emulation"); }
    void OnReplayTimer() override { log.push_back("replay timer"); }
    void GoToReplayPoint(int index) override { log.push_back("replay point " + std::to_string(index)); }
    int GetReplaySpeedFactor() override { return speedFactor; }
    void SetReplaySpeedFactor(int factor) override
    {
        speedFactor = factor;
        log.push_back("speed " + std::to_string(factor));
    }

    static std::string Text(const CGpsPosition& fix)
    {
        return fix.HasPosition() ? std::to_string(fix.longitude).substr(0, 6) : "unset";
    }

    std::vector<std::string> log;
    int speedFactor = 1;
};
