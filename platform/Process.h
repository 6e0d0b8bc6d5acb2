#pragma once

#include <string>
#include <vector>

// Starts "program arguments" as a new process. The arguments are split at
// blanks, double quotes grouping. With wait set, returns after the process
// ended. True when the process started.
bool StartProgram(const std::string& program, const std::string& arguments, bool wait);

// Starts the program with exactly these arguments (code page 1257), each
// handed over as it stands: no shell and no splitting, so blanks, quotes
// or a leading '-' inside one stay in that one argument.
bool StartProgramWithArguments(const std::string& program, const std::vector<std::string>& arguments, bool wait);

// Hands a file (a stored path) or an address with its scheme ("http:",
// "mailto:"; code page 1257) to the program the desktop opens it with;
// false when none took it.
bool OpenFileWithDefaultProgram(const std::string& storedPath);
bool OpenUrlWithDefaultProgram(const std::string& url);

// The platform's text for an error number, in code page 1257.
std::string SystemErrorText(int error);
