#pragma once

#include <string>
#include <string_view>
#include <vector>

// File dialog filters written as the program's texts give them,
// "text|patterns|text|patterns||" (patterns separated by ';'), as Qt name
// filters, one per pair: the text as it stands, then the patterns in
// parentheses, each letter matching either case ("*.dbf" also lists
// "A.DBF", as the file system of the original platform did). A file
// dialog shows these with the pattern details hidden, so the user reads
// the text alone. Code page 1257 in and out.
std::vector<std::string> ToQtNameFilters(std::string_view filter);

// "*.dbf" -> "*.[dD][bB][fF]"; characters that are not letters stay.
std::string CaseBlindPattern(std::string_view pattern);
