#pragma once

#include <string>
#include <vector>

// The text of a string-table id in code page 1257; empty when unknown.
std::string LoadString(int id);
// The text with every "%1" replaced by arg.
std::string LoadStringArg(int id, const std::string& arg);
// The text with every "%1" ... "%9" replaced by the argument of that number
// ("%n" stays when there are fewer arguments).
std::string LoadStringArgs(int id, const std::vector<std::string>& args);
