#pragma once

#include <string>

class CLayer;

// The filter of the track records dated before the day of the date (days
// since 30 December 1899): (Date < "YYYY.MM.DD"). Empty for a date
// outside the calendar.
std::string TrackArchiveFilter(double date);
// Where the records of the track file go: "Archive", then the day as
// "YYYYMMDD", in the track's folder, under the track's file name.
std::string TrackArchivePath(const std::string& trackPath, double date);

// Moves the records of the track layer dated before the day out of its
// file into the archive table; an archive of that day already there
// keeps its records and gets these after them. The archive is written
// whole beside its place before it takes it, and only then do the records
// leave the track, whose file is packed. 1 when records were archived
// (the pack's result), 2 when none is older (no folder made), 0 on
// failure: a folder that cannot be made after the system's error, else
// without a message. The layer's own filter plays no part and stays.
int ArchiveOldTrackData(CLayer& layer, double date);
