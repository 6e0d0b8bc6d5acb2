#pragma once

#include <array>
#include <cstdint>
#include <string>

class CLayer;

// The figures of a trip, point by point: length, moving and standing
// time, speeds. A step counts as moving above 5 km/h, or over more than
// 0.1 km in under 60 s; a stop shorter than 60 s is taken back when moving
// goes on (its time becomes moving time, and the ground from where it
// began counts once). Shared by the GPS status window, the replay and the
// track statistics.
class CTripStatistics {
public:
    static constexpr double kMovingSpeed = 5;     // km/h
    static constexpr double kMovingDistance = 0.1; // km
    static constexpr int64_t kShortStop = 60;     // seconds

    void Reset() { *this = CTripStatistics(); }
    // Position in decimal degrees, time in seconds, speed in km/h.
    void AddPoint(double longitude, double latitude, int64_t time, double speed);

    int GetPointCount() const { return m_count; }
    double GetTotalDistance() const { return m_totalDistance; } // km
    double GetMovingDistance() const { return m_movingDistance; }
    double GetMaxSpeed() const { return m_maxSpeed; }
    int64_t GetMovingTime() const { return m_movingTime; } // seconds
    int64_t GetStandingTime() const { return m_standingTime; }
    int64_t GetTotalTime() const { return m_movingTime + m_standingTime; }
    // km/h; 0 without time.
    double GetOverallAverage() const;
    double GetMovingAverage() const;

private:
    double m_lastLongitude = 0, m_lastLatitude = 0;
    int64_t m_lastTime = 0;
    int m_count = 0;
    double m_totalDistance = 0, m_movingDistance = 0, m_maxSpeed = 0;
    int64_t m_movingTime = 0, m_standingTime = 0;
    // The stop that moving may still take back: its seconds, and the
    // ground covered since it began (at the anchor).
    int64_t m_pendingSeconds = 0;
    double m_pendingDistance = 0;
    double m_anchorLongitude = 0, m_anchorLatitude = 0;
    bool m_moving = true;
};

// Seconds as "%02d:%02d:%02d" (hours, minutes, seconds).
std::string FormatTripTime(int64_t seconds);

// The texts of the track statistics (dialog 370), in the order of its
// controls 1059 to 1066: points, length, total, moving and standing time,
// overall and moving average, maximum speed.
using CTripSummaryTexts = std::array<std::string, 8>;
CTripSummaryTexts FormatTripSummary(const CTripStatistics& trip);

// Every object of a track layer in file order; false (and nothing added)
// for another layer type, a table without "SPEED", "DATE" or "TIME", or a
// file that cannot be read.
bool ComputeTrackStatistics(const CLayer& layer, CTripStatistics& trip);
