#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// Number text that every stored file holds must not depend on LC_NUMERIC
// (Qt switches the process locale on start). These run printf and strtod
// under the "C" locale of the calling thread only.

std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormatC(const char* format, va_list args);

// strtod under the C locale. Leading blanks are skipped; *consumed gets the
// number of characters read (0 when no number stands there).
double ParseDoubleC(std::string_view text, size_t* consumed = nullptr);

// atof and atoi as the stored texts expect them: leading blanks skipped,
// the longest number prefix read, 0 when none. atoi saturates at the int limits.
double AtofC(std::string_view text);
int AtoiC(std::string_view text);
long long AtollC(std::string_view text);
// Reads up to count reals the way sscanf's "%lf %lf ..." does; the number read.
int ScanRealsC(std::string_view text, double* out, int count);

// The value of a hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);
