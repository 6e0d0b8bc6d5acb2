#pragma once

#include "core/DbfFieldInfo.h"

#include <string>
#include <vector>

// The fields of a GPS track file (".trk"), in the order the track recorder
// makes them; coordinates in decimal degrees, date and time as the
// receiver's UTC digits ("2005.06.17", "18:00:00").
enum TrackField : int {
    kTrackLon,
    kTrackLat,
    kTrackStatus,
    kTrackSpeed,
    kTrackCourse,
    kTrackDate,
    kTrackTime,
    kTrackId,
    kTrackSatellites,
    kTrackFieldCount
};

// The names of the fields above, by TrackField.
extern const char* const kTrackFieldNames[kTrackFieldCount];

// The field list of a new track file, ended by a length-0 entry: "Lon",
// "Lat" N(13,8), "Status" C(3), "Speed" N(6,1), "Course" N(5,1), "Date"
// C(10), "Time" C(8), "Id" N(10,0), "SATS_USED" N(2,0).
std::vector<CDbfFieldInfo> TrackFieldList();

// A new empty track file of these fields at the path (its folder must be
// there), made beside it and put in place whole; false when it cannot be.
bool CreateTrackFile(const std::string& path);
