#pragma once

#include <string>
#include <string_view>

// The number texts of dialog fields. Reading is strict: blanks around the
// number are allowed, anything else after it (a decimal comma, a unit, a
// second number) refuses the field; reals are written as "%.15g" and
// read with the decimal point whatever the process locale.
bool ParseIntField(std::string_view text, int& value);
bool ParseRealField(std::string_view text, double& value);
std::string FormatIntField(int value);
std::string FormatRealField(double value);

// The messages of a refused field (code page 1257), with the range when
// the field has one.
std::string IntFieldMessage(bool ranged, int min, int max);
std::string RealFieldMessage(bool ranged, double min, double max);
std::string TextLengthMessage(int maxLength);
