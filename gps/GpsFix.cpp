#include "gps/GpsFix.h"

#include "shell/GpsReceiverPort.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <ctime>

static_assert(kNoFixTime == CGpsPosition::kNoTime, "both sides mean the same unknown time");

CGpsPosition PositionFromFix(const GpsFix& fix)
{
    CGpsPosition position;
    position.longitude = fix.longitude;
    position.latitude = fix.latitude;
    position.speed = fix.speed;
    position.course = fix.course;
    position.time = fix.time;
    position.satellites = fix.satellites;
    position.valid = fix.valid != 0;
    return position;
}

GpsFix FixFromPosition(const CGpsPosition& position)
{
    GpsFix fix;
    fix.longitude = position.longitude;
    fix.latitude = position.latitude;
    fix.speed = position.speed;
    fix.course = position.course;
    fix.time = position.time;
    fix.satellites = position.satellites;
    fix.valid = position.valid ? 1 : 0;
    return fix;
}

bool IsValidDate(int year, int month, int day)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int64_t MakeUtcTime(int year, int month, int day, int hour, int minute, int second)
{
    // Days from 1970-01-01 of the proleptic Gregorian calendar (years counted from March).
    int64_t y = year - (month <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yearOfEra = y - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
}

std::string FormatFixTime(int64_t time, const char* format, int correctionHours)
{
    // Years 1 to 9999 only.
    constexpr int64_t kFirst = -62135596800, kLast = 253402300799;
    if (time == kNoFixTime)
        return std::string();
    int64_t shown = time + int64_t(correctionHours) * 3600;
    if (time < kFirst || time > kLast || shown < kFirst || shown > kLast)
        return std::string();
    time_t t = static_cast<time_t>(shown);
    struct tm fields;
    if (!gmtime_r(&t, &fields))
        return std::string();
    char text[128];
    size_t n = std::strftime(text, sizeof text, format, &fields);
    return std::string(text, n);
}

namespace {

// Up to three integers joined by the separator, as sscanf's "%d<sep>%d<sep>%d"
// takes them (blanks before a number skipped); values beyond int are held
// at its limits. The count read.
int ScanThree(std::string_view text, char separator, int values[3])
{
    size_t at = 0;
    for (int n = 0; n < 3; ++n) {
        if (n > 0) {
            if (at >= text.size() || text[at] != separator)
                return n;
            ++at;
        }
        while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
            ++at;
        bool negative = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            negative = text[at++] == '-';
        const size_t digits = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        if (at == digits)
            return n;
        unsigned long long magnitude = 0;
        const auto parsed = std::from_chars(text.data() + digits, text.data() + at, magnitude);
        long long value = parsed.ec == std::errc() && magnitude <= INT_MAX ? static_cast<long long>(magnitude)
                                                                            : INT_MAX + 1LL;
        value = std::clamp(negative ? -value : value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX));
        values[n] = static_cast<int>(value);
    }
    return 3;
}

} // namespace

bool ParseTrackTime(std::string_view date, std::string_view time, int64_t& seconds)
{
    int d[3], t[3];
    if (ScanThree(date, '.', d) != 3 || ScanThree(time, ':', t) != 3 || !IsValidDate(d[0], d[1], d[2]) ||
        t[0] < 0 || t[0] > 23 || t[1] < 0 || t[1] > 59 || t[2] < 0 || t[2] > 60)
        return false;
    seconds = MakeUtcTime(d[0], d[1], d[2], t[0], t[1], t[2]);
    return true;
}

int64_t ReadTrackTime(std::string_view date, std::string_view time)
{
    int d[3] = {2000, 1, 1}, t[3] = {0, 0, 0};
    ScanThree(date, '.', d);
    ScanThree(time, ':', t);
    // Nonsense stays a time, without overflow.
    constexpr int kMostClock = 1000000;
    return MakeUtcTime(std::clamp(d[0], 1, 9999), std::clamp(d[1], 1, 12), std::clamp(d[2], 1, 31),
                       std::clamp(t[0], 0, kMostClock), std::clamp(t[1], 0, kMostClock), std::clamp(t[2], 0, kMostClock));
}
