#include "gps/GpsFix.h"

#include <ctime>

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
