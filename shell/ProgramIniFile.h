#pragma once

#include <functional>
#include <string>

class CIniFile;

// The small ini files kept beside the program (map links, the
// configuration file) by file name: read from the user folder's copy when
// there is one, else from the program folder's; a change is written into
// the user folder's copy, made from what was read, so the keys the change
// leaves alone stay. A write that fails shows message 1045; false.
bool UpdateProgramIniFile(const std::string& fileName, const std::function<void(CIniFile& ini)>& edit);
