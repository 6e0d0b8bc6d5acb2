#pragma once

#include <string>

// The track recorder's settings: section "Track" of "GPS.ini" in the
// per-user folder (read from the program folder while the user has none).
// The three lists are stored as indexes into their tables; an index
// outside its table reads as the default.
struct CTrackSettings {
    static constexpr int kPeriodCount = 8;
    static constexpr int kDistanceCount = 8;
    static constexpr int kTrailLengthCount = 6;
    static constexpr int kDefaultMaxPoints = 3;
    static constexpr char kIniName[] = "GPS.ini";
    static constexpr char kSection[] = "Track";
    static constexpr char kDefaultTrackFile[] = "Tracks\\Track0001.trk";

    bool saveTrack = false;
    // The track file, absolute; empty means the default.
    std::string trackFileName;
    int minPeriod = 0;   // index: seconds 0, 2, 5, 10, 30, 60, 300, 600
    int minDistance = 0; // index: metres 0, 5, 10, 20, 50, 100, 500, 1000
    bool skipInvalidData = true;
    bool showTrack = true;
    int maxPoints = kDefaultMaxPoints; // index: points 5, 10, 50, 100, 1000, 10000

    int PeriodSeconds() const;
    int DistanceMetres() const;
    int TrailLength() const;
    // The track file to use: trackFileName, else the default in the user folder.
    std::string TrackFilePath() const;

    // The seven keys; a missing file leaves the defaults. The file name is
    // stored relative to the user folder when it lies inside it.
    void Load(const std::string& iniPath);
    bool Save(const std::string& iniPath) const;
    // Where the settings are read and written.
    static std::string ReadPath();
    static std::string WritePath();
};

// The texts of the track parameters dialog's lists, by index.
extern const char* const kTrackPeriodTexts[CTrackSettings::kPeriodCount];
extern const char* const kTrackDistanceTexts[CTrackSettings::kDistanceCount];
extern const char* const kTrackLengthTexts[CTrackSettings::kTrailLengthCount];
