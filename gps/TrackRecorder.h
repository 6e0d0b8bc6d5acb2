#pragma once

#include "core/MapPoint.h"
#include "gps/GpsFix.h"
#include "gps/TrackSettings.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>

class CDC;
class CDrelView;

// The track recorder: every fix moves the trail of recent positions that
// the map views draw behind the vehicle and, while saving is on, appends
// one record to the track file. The track file is opened for each record
// and closed again, so other programs see every record as soon as it is
// written. The settings are read on first use.
class CTrackRecorder {
public:
    // Monotonic seconds: the saving period does not follow the wall clock
    // (a clock change would stop saving for an hour).
    using Clock = std::function<int64_t()>;

    CTrackRecorder();

    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // The settings, read when not yet.
    const CTrackSettings& Settings();
    // What OK of the track parameters dialog does with the new settings:
    // keeps them, makes a missing track file while saving is on, fits or
    // frees the trail and writes "GPS.ini". True when the map views are to
    // paint again (the trail shown or hidden, or points dropped).
    bool ApplySettings(const CTrackSettings& settings);

    // A new fix: the trail follows it; it is saved unless saving is off, a
    // replay runs, SkipInvalidData refuses it, it has no time, the period
    // or the distance since the last saved fix is too short, or a message
    // of an earlier fix is still open.
    void RecordTrackFix(const GpsFix& fix);
    // While a replay runs the trail follows, nothing is saved.
    void SetReplayRunning(bool running) { m_replayRunning = running; }

    // Oldest first, in decimal degrees.
    const std::deque<CMapPoint>& Trail() const { return m_trail; }
    // The trail as fixes 0 to n - 1 leave it (the replay's jumps).
    void RebuildTrail(std::span<const GpsFix> fixes, int n);
    // A red polyline of the trail when it holds more than one point.
    void DrawRecentTrack(CDC& dc, CDrelView& view) const;

    // The current track file; it is made (with its folder) when missing.
    std::string GetTrackFileName();
    // The current track file exists and holds a record.
    bool TrackFileHasRecords();
    // The current track file's records as a new table at the path (replaced); false when it cannot.
    bool CopyTrackFile(const std::string& path);
    // All records of the file go (the current track file when empty).
    bool ClearTrackFile(const std::string& path = {});
    // A new empty track file (its folder made), replacing any there.
    static bool InitTrackLayerFile(const std::string& path);

private:
    // While saving is on, an empty track file where it is missing.
    void MakeMissingTrackFile();
    void AddToTrail(const CMapPoint& position);
    void FitTrail();
    bool IsDueForSaving(const GpsFix& fix, int64_t now) const;
    // Appends the fix; false when it was not written.
    bool SaveFix(const GpsFix& fix);

    Clock m_clock;
    CTrackSettings m_settings;
    bool m_settingsLoaded = false;
    bool m_fixSeen = false;
    std::deque<CMapPoint> m_trail;
    bool m_replayRunning = false;
    // A message box of the saving is open: fixes arriving meanwhile move the trail only.
    bool m_saving = false;
    bool m_hasLastSaved = false;
    int64_t m_lastSavedTime = 0;
    CMapPoint m_lastSavedPosition;
};
