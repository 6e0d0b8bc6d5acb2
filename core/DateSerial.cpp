#include "core/DateSerial.h"

#include <cstdio>
#include <ctime>

namespace {

// Days from 1 January of year 0 (proleptic Gregorian) to the date; the
// civil-from-days arithmetic with March as the first month of the year.
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = y / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

const long kSerialBase = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

bool IsValidCalendarDate(int year, int month, int day)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    int last = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    return day <= last;
}

int DateToSerial(int year, int month, int day)
{
    return static_cast<int>(DaysFromCivil(year, month, day) - kSerialBase);
}

bool SerialToDate(int serial, CCalendarDate& date)
{
    static const long kFirst = DaysFromCivil(1, 1, 1) - kSerialBase;
    static const long kLast = DaysFromCivil(9999, 12, 31) - kSerialBase;
    if (serial < kFirst || serial > kLast)
        return false;
    const long z = serial + kSerialBase;
    const long era = z / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yoe + era * 400) + (month <= 2);
    date.month = month;
    date.day = day;
    return true;
}

CCalendarDate LocalToday()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CCalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FormatDbfDate(const CCalendarDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year % 10000, date.month % 100, date.day % 100);
    return text;
}

bool ParseDbfDate(std::string_view text, CCalendarDate& date)
{
    if (text.size() != 8)
        return false;
    int value[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    size_t pos = 0;
    for (int part = 0; part < 3; ++part) {
        for (int k = 0; k < widths[part]; ++k, ++pos) {
            char c = text[pos];
            if (c < '0' || c > '9')
                return false;
            value[part] = value[part] * 10 + (c - '0');
        }
    }
    if (!IsValidCalendarDate(value[0], value[1], value[2]))
        return false;
    date = CCalendarDate{value[0], value[1], value[2]};
    return true;
}
