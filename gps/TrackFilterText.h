#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CLayer;

// What the filter page of a track layer (227) edits: the status, the
// records from and to a moment, and the table window's last record only.
struct CTrackFilterValues {
    struct Day {
        int year = 2000, month = 1, day = 1;
        bool operator==(const Day&) const = default;
    };
    struct TimeOfDay {
        int hour = 0, minute = 0, second = 0;
        bool operator==(const TimeOfDay&) const = default;
    };

    bool status = false;
    bool statusOk = true; // else "NOK"
    bool from = false;
    Day fromDay;
    TimeOfDay fromTime;
    bool to = false;
    Day toDay;
    TimeOfDay toTime{23, 59, 59};
    bool lastRecordOnly = false; // CLayer::kNewestRecordOnly

    bool operator==(const CTrackFilterValues&) const = default;
};

// The page's values read from a filter text made by TrackFilterText and
// the layer's flag word; both days start as today, a day or time that
// does not read as one keeps its default.
CTrackFilterValues ReadTrackFilter(std::string_view filter, uint32_t flags, CTrackFilterValues::Day today);
// The parts present joined with " .AND. ": (Status = "OK"),
// ((Date > "D") .OR. (Date = "D") .AND. (Time >= "T")) and the same with
// "<" and "<=" for the end; empty when none is.
std::string TrackFilterText(const CTrackFilterValues& values);

// The working layer's filter and flag, and into it.
CTrackFilterValues ReadTrackFilter(const CLayer& layer, CTrackFilterValues::Day today);
void WriteTrackFilter(const CTrackFilterValues& values, CLayer& layer);
