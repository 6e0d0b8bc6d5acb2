#pragma once

#include <string>
#include <string_view>

// Degree texts of geographic coordinates (code page 1257, the degree sign
// is 0xB0), in ten forms. D degrees (longitude 3 digits, latitude 2, zero
// padded), M minutes, S seconds, L the hemisphere letter, " a double quote:
//   0  LDDD°MM'SS.s"      5  LDDD°MM.m (fraction of the minute, trailing zeros cut)
//   1  DDDLMMSS           6  DDDLMM.mmmm (DDDLMM when the fraction is 0)
//   2  DDDLMMSS.s         7  LDDD°MM'SS" (latitude degrees also 3 digits)
//   3  DDDLMMSS.ss        8  L-DDD°MM'SS.ss" (degrees negative for W and S)
//   4  LDDD°MM'SS.s       9  L-DDD°MM.mmmm' (degrees negative for W and S)
// Values are rounded once to the form's smallest unit; whole seconds
// carry into the minutes and degrees. A longitude beyond 180 is taken the
// other way round (190 is W170). The text is empty when |lat| > 90 or
// |lon| > 360, whichever text is asked for.

constexpr int kLatLonFormCount = 10;

// False, leaving text unchanged, for an unknown form.
bool FormatLongitudeText(double longitude, double latitude, int form, std::string& text);
bool FormatLatitudeText(double longitude, double latitude, int form, std::string& text);

// Reads a degree text as the user types it: an optional hemisphere letter
// (positive or negative), then degrees, minutes and seconds as up to three
// numbers, each followed by any one character, so that '\xB0', '*', '\''
// and '"' all separate: degrees + minutes / 60 + seconds / 3600. A minus
// sign before the degrees, the negative letter, or both make the value
// negative once, so the forms above read back. No range is checked. False,
// value unchanged, when not even the degrees can be read.
bool ParseDegreesText(std::string_view text, char positiveLetter, char negativeLetter, double& value);
