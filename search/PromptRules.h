#pragma once

#include "core/DateSerial.h"

#include <string>
#include <vector>

class CLayer;

// A date and time on the local clock.
struct CLocalDateTime {
    CCalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Dialog 308 "Įrašų archyvavimas" starts a week back on the calendar at
// the same clock time, so a daylight-saving change between keeps the hour.
CLocalDateTime ArchiveStartTime(const CLocalDateTime& now);
// Days since 30 December 1899, the time of day as the fraction.
double ToDaySerial(const CLocalDateTime& time);

// Dialog 30812 "Vietos įsiminimas": the longest place name, in characters.
constexpr int kPlaceNameMaxLength = 50;

// What dialog 30819 "Įrašų rikiavimas" answers.
struct CRecordSortChoice {
    std::string field; // the field's name, not its caption
    int direction = 0; // 0 ascending, 1 descending
    bool intoSource = false; // "Rezultatus rašyti į pradinį sluoksnį"
};
// The captions the sort dialog offers: the layer's fields of types C, D,
// F, L and N by alias, in table order.
std::vector<std::string> SortFieldCaptions(const CLayer& layer);
// OK on the caption chosen (empty when none): the field's name into the
// choice; false, the choice untouched, when none is chosen.
bool TakeSortField(const CLayer& layer, const std::string& caption, CRecordSortChoice& choice);
