#pragma once

#include <string>

// Starts "program arguments" as a new process. The arguments are split at
// blanks, double quotes grouping. With wait set, returns after the process
// ended. True when the process started.
bool StartProgram(const std::string& program, const std::string& arguments, bool wait);

// The platform's text for an error number, in code page 1257.
std::string SystemErrorText(int error);
