#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// A fix time that is not known (the receiver sent no usable date or time).
constexpr int64_t kNoFixTime = std::numeric_limits<int64_t>::min();

// The current GPS position. Times are seconds since 1970 of the receiver's
// UTC clock; they are shown and stored through FormatFixTime, never through
// local-time conversions, so texts keep the receiver's digits.
struct GpsFix {
    double longitude = DBL_MAX; // decimal degrees, west negative; DBL_MAX = unset
    double latitude = DBL_MAX;  // decimal degrees, south negative; DBL_MAX = unset
    int64_t time = kNoFixTime;
    int ggaTime = -1;           // hhmmss of the "$GPGGA" of the same second; -1 none
    double speed = 0;           // km/h
    double course = 0;          // degrees as sent
    int satellites = -1;        // in use; -1 not reported
    int valid = 0;              // status "A"
    int lost = 0;               // no fix came for a while

    bool HasPosition() const { return longitude != DBL_MAX && latitude != DBL_MAX; }
};

struct CGpsPosition;
// The fix as the main window keeps it, and back; the GGA time and the lost
// flag are the receiver's and the window's own.
CGpsPosition PositionFromFix(const GpsFix& fix);
GpsFix FixFromPosition(const CGpsPosition& position);

// True for a real calendar day (years 1 to 9999).
bool IsValidDate(int year, int month, int day);
// Seconds since 1970 of a UTC calendar date and time of day; hour, minute
// and second carry over arithmetically (23:59:60 is the next day's 00:00:00).
int64_t MakeUtcTime(int year, int month, int day, int hour, int minute, int second);
// The time plus correctionHours, formatted by strftime's format as UTC;
// empty for kNoFixTime or a time the calendar cannot show.
std::string FormatFixTime(int64_t time, const char* format, int correctionHours = 0);

// The time of a track record from its "Date" ("%d.%d.%d": year, month,
// day) and "Time" ("%d:%d:%d") texts, read as sscanf reads them. False
// unless both are complete, a real calendar day and a time of day.
bool ParseTrackTime(std::string_view date, std::string_view time, int64_t& seconds);
// The same taking what is there: missing date parts as 2000, 1, 1,
// missing time parts as 0.
int64_t ReadTrackTime(std::string_view date, std::string_view time);
