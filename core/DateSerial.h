#pragma once

#include <string>
#include <string_view>

// Calendar dates as day numbers: day 0 is 30 December 1899, as the date
// values of tables and filter expressions count them. The Gregorian
// calendar is used for every year (years 1 to 9999).

struct CCalendarDate {
    int year = 0;
    int month = 0; // 1-12
    int day = 0;   // 1-31
};

bool IsValidCalendarDate(int year, int month, int day);
// Day number of a valid date.
int DateToSerial(int year, int month, int day);
// The date of a day number; false (and the date untouched) outside years 1-9999.
bool SerialToDate(int serial, CCalendarDate& date);
// Today's date on the local clock.
CCalendarDate LocalToday();

// The stored text of a date field: "YYYYMMDD". Parsing wants exactly eight
// digits forming a valid date.
std::string FormatDbfDate(const CCalendarDate& date);
bool ParseDbfDate(std::string_view text, CCalendarDate& date);
