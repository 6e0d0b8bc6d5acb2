#pragma once

#include "gps/GpsContext.h"
#include "gps/GpsStatusWindow.h"
#include "platform/MessageWindow.h"
#include "shell/MainFrameBarTable.h"
#include "shell/MainFrameCore.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "tests/gps/TrackTestSupport.h"
#include "tests/shell/FakeGps.h"

#include <algorithm>
#include <string>
#include <vector>

// A status window that keeps what it was shown.
class CRecordingStatusWindow : public IGpsStatusWindow {
public:
    void Show(bool show) override { visible = show; }
    bool IsVisible() const override { return visible; }
    void ShowFix(const GpsFix& fix) override { shown.push_back(fix); }
    void ShowTripUpTo(std::span<const GpsFix> fixes, int n) override
    {
        shown.assign(fixes.begin(), fixes.begin() + n);
        tripRebuilds.push_back(n);
    }
    void ResetTrip() override
    {
        shown.clear();
        ++resets;
    }

    bool visible = false;
    std::vector<GpsFix> shown; // the fixes of the trip figures
    std::vector<int> tripRebuilds;
    int resets = 0;
};

// An edit box of a toolbar: its text.
class CTextBox : public IToolbarBox {
public:
    explicit CTextBox(int id) : m_id(id) {}
    int GetId() const override { return m_id; }
    void ResetContent() override { text.clear(); }
    int AddString(const std::string&, intptr_t) override { return -1; }
    int GetCount() const override { return 0; }
    std::string GetItemText(int) const override { return {}; }
    intptr_t GetItemData(int) const override { return 0; }
    int GetCurSel() const override { return -1; }
    void SetCurSel(int) override {}
    std::string GetText() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    void Enable(bool) override {}
    bool IsEnabled() const override { return true; }
    CDrelDoc* GetOwnerDocument() const override { return nullptr; }
    void SetOwnerDocument(CDrelDoc*) override {}

    std::string text;

private:
    int m_id;
};

// The playback toolbar and its point counter; installed for its lifetime.
class CFakePlaybackBar : public IMainToolbars {
public:
    CFakePlaybackBar() { SetMainToolbars(this); }
    ~CFakePlaybackBar() override { SetMainToolbars(nullptr); }
    IToolbarBox* FindBox(int id) override { return id == kReplayPointBox ? &counter : nullptr; }
    void ShowBar(int id, bool show) override
    {
        if (id == kPlaybackBar)
            shown = show;
    }
    bool IsBarVisible(int id) const override { return id == kPlaybackBar && shown; }
    void SetPlaybackBarFlag(bool on) override { flag = on; }

    CTextBox counter{kReplayPointBox};
    bool shown = false;
    bool flag = false;
};

class CNoMessageWindow : public IMessageWindow {
public:
    void PostMessage(unsigned, uintptr_t, intptr_t) override {}
};

// The main window's core with test timers, the GPS context over it with
// a recording status window and a clock the test moves.
class CReplayBench {
public:
    CReplayBench()
    {
        SetMainFrameCore(&core);
        core.SetInvalidateMapViews([this] { ++repaints; });
        gps.SetStatusWindow(&status);
        gps.SetClock([this] { return now; });
        SetGpsHooks(&gps);
    }
    ~CReplayBench()
    {
        SetGpsHooks(nullptr);
        SetMainFrameCore(nullptr);
    }
    CReplayBench(const CReplayBench&) = delete;
    CReplayBench& operator=(const CReplayBench&) = delete;

    CTrackReplay& Replay() { return gps.Replay(); }
    bool TimerRuns() const { return timers.IsRunning(CMainFrameCore::kReplayTimer); }
    // The timer fires after so many milliseconds.
    void Tick(int64_t milliseconds = 1000)
    {
        now += milliseconds;
        core.OnTimer(CMainFrameCore::kReplayTimer);
    }

    CFakeTimers timers;
    CNoMessageWindow window;
    CMainFrameCore core{timers, window};
    CFakePlaybackBar bar;
    CRecordingStatusWindow status;
    CGpsContext gps;
    int64_t now = 5000;
    int repaints = 0;
};

// A track file of the recorder's fields and "Start": a fix every step
// seconds from 2005.06.17 08:00:00 going east; start marks given records.
inline std::string WriteSteppedTrack(const std::string& path, int count, int step,
                                     const std::vector<int>& starts = {})
{
    std::vector<std::vector<std::string>> records;
    for (int i = 0; i < count; ++i) {
        const int64_t time = MakeUtcTime(2005, 6, 17, 8, 0, 0) + int64_t(i) * step;
        const bool start = std::find(starts.begin(), starts.end(), i) != starts.end();
        records.push_back({FormatC("%.8f", 25.0 + i * 1e-4), "54.50000000", "OK", "36.0", "90.0",
                           FormatFixTime(time, "%Y.%m.%d"), FormatFixTime(time, "%H:%M:%S"), std::to_string(i + 1),
                           "8", start ? "*" : ""});
    }
    static const std::vector<CDbfFieldInfo> kTrackFields = TrackFieldList();
    std::vector<CTestField> fields;
    for (const CDbfFieldInfo& f : kTrackFields)
        if (f.length > 0)
            fields.push_back({f.name, f.type, f.length, f.decimals});
    fields.push_back({"Start", 'C', 1, 0});
    WriteTable(path, fields, records);
    return path;
}
