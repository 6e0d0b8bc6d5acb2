#pragma once

#include <istream>
#include <string>

// Reads one line of a text file of two columns: the text before the first
// TAB into first, the rest into second; a line without a TAB is all first,
// with second empty. The line end (LF or CR LF) is not kept. False at the
// end of the file.
bool ReadTwoColumnLine(std::istream& file, std::string& first, std::string& second);
