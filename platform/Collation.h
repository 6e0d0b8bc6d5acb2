#pragma once

#include <string_view>

class QString;

// Names as a Lithuanian user expects them in sorted lists: Č after C,
// Š after S, Ž after Z, letter case only breaking ties. Code page 1257;
// below 0, 0 or above 0 as strcmp answers.
int CompareLithuanian(std::string_view a, std::string_view b);
int CompareLithuanian(const QString& a, const QString& b);
