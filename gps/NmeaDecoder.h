#pragma once

#include "gps/GpsFix.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// NMEA 0183 input of a GPS receiver: received text is cut into lines at
// carriage returns, and "$GPRMC" and "$GPGGA" lines are decoded. Pure
// functions over the text; the receiver applies the results to its fix.

enum class NmeaKind { None, Gga, Rmc };

struct NmeaSentence {
    NmeaKind kind = NmeaKind::None;
    int hhmmss = -1;          // the time field rounded to whole seconds; -1 when unusable
    int satellites = -1;      // GGA: satellites in use; -1 not reported
    int64_t time = kNoFixTime; // RMC: UTC date and time
    bool hasPosition = false; // RMC: both coordinates present and sound
    double longitude = 0;
    double latitude = 0;
    double speed = 0;         // km/h
    double course = 0;        // degrees
    bool valid = false;       // status "A"
};

// NMEA allows 82 characters; a longer line is noise or another protocol.
constexpr size_t kMaxNmeaLine = 128;

// Decodes one line (without its carriage return). False for lines that are
// no usable "$GPRMC" or "$GPGGA": other sentences, a wrong checksum, NUL
// bytes, over-long lines, an RMC with fewer than 12 fields.
bool DecodeNmeaSentence(std::string_view line, NmeaSentence& out);

// What a decoded sentence changes in the fix. A position is taken only when
// the sentence has one; an RMC of another second forgets the GGA's
// satellites.
void ApplyNmeaSentence(const NmeaSentence& sentence, GpsFix& fix);

// Calls onLine for every line of received that ends in a carriage return
// and returns how many bytes that used up; the unfinished rest stays.
template <class OnLine>
size_t SplitNmeaLines(std::string_view received, OnLine&& onLine)
{
    size_t start = 0;
    for (size_t end; (end = received.find('\r', start)) != std::string_view::npos; start = end + 1)
        onLine(received.substr(start, end - start));
    return start;
}
