#pragma once

#include <string>

// The text of a string-table id in code page 1257; empty when unknown.
std::string LoadString(int id);
// The text with every "%1" replaced by arg.
std::string LoadStringArg(int id, const std::string& arg);
// The text with every "%1" replaced by arg1 and every "%2" by arg2.
std::string LoadStringArgs(int id, const std::string& arg1, const std::string& arg2);
// The same for a text of the code's own.
std::string InsertStringArgs(const std::string& text, const std::string& arg1, const std::string& arg2);
