#pragma once

#include "gps/GpsFix.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class CGpsContext;
class CLayer;

// A recorded track played back as if the receiver sent it: the records of
// a track table become fixes, and on the main window's timer 101 (every
// second) the current fix moves on by the speed factor's track seconds,
// each fix passed to the trail and the status window (the recorder saves
// nothing meanwhile). A gap in the track is skipped, not waited for. The
// playback toolbar shows the fix number. Steps take a monotonic clock in
// milliseconds and carry the fractions of a second the factor leaves.
class CTrackReplay {
public:
    static constexpr int kPeriodMs = 1000;
    static constexpr int kDefaultSpeedFactor = 10;
    // Monotonic milliseconds.
    using Clock = std::function<int64_t()>;

    explicit CTrackReplay(CGpsContext& context);

    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Ends live tracking and any replay, shows the playback toolbar and
    // the status window, loads the layer's table and plays it; false when
    // nothing was loaded (message 1109 for a table that is no track).
    // Records without a real date and time are passed over; a record whose
    // "Start" begins with "*" after the first fix ends the trip.
    bool Load(const CLayer& layer);
    // Plays on (the timer restarted) / pauses, the position kept.
    void Start();
    void Stop();
    // Ends the replay: fixes freed, the fix unset, the toolbar hidden;
    // also after a load that loaded nothing.
    void Close();
    // From the first fix again, at once.
    void Rewind();
    // Fix n made current, with the trail and the trip figures as fixes 0
    // to n leave them; nothing for n outside the fixes or the current one.
    void GoTo(int n);
    void Next() { GoTo(m_current + 1); }
    void Previous() { GoTo(m_current - 1); }
    void Last() { GoTo(GetCount() - 1); }
    // The timer's tick at the clock's time.
    void Step(int64_t tick);
    void OnTimer() { Step(m_clock()); }

    int GetCount() const { return static_cast<int>(m_fixes.size()); }
    bool IsLoaded() const { return !m_fixes.empty(); }
    // The timer runs (not paused, not at the end).
    bool IsRunning() const { return m_timerRunning; }
    // The toolbar and the window's flag are set (from Load to Close).
    bool IsShown() const { return m_shown; }
    int GetCurrent() const { return m_current; }
    std::span<const GpsFix> Fixes() const { return m_fixes; }
    // Track seconds per real second: 1, 2, 5, 10 or 100.
    int GetSpeedFactor() const { return m_speedFactor; }
    void SetSpeedFactor(int factor);
    bool GetLoop() const { return m_loop; }
    void SetLoop(bool loop) { m_loop = loop; }

private:
    void LoadRecords(const CLayer& layer);
    void KillTimer();
    void PassOn(const GpsFix& fix);
    void MakeCurrent(int n);
    void UnsetFix();

    CGpsContext& m_context;
    Clock m_clock;
    std::vector<GpsFix> m_fixes;
    int m_speedFactor = kDefaultSpeedFactor;
    int m_current = -1;
    bool m_loop = false;
    bool m_timerRunning = false;
    bool m_shown = false;
    int64_t m_lastTick = 0;
    // Track milliseconds played since the first fix.
    int64_t m_elapsedMs = 0;
};
