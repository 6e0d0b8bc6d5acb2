#pragma once

#include <string>

// The program folder holds what ships with the program; on Linux it is
// read-only. What the program keeps beside itself and writes (map links,
// the configuration file, GPS settings and logs, tracks, planning files)
// lives in a per-user folder that is read first and written instead.
// All paths are in the system's stored form and end with '/'.

// The folder of the running executable.
std::string GetProgramFolder();
// The file name of the running executable, without its folder ("drel").
std::string GetProgramFileName();
// The per-user data folder ($DREL_USER_DIR, else $XDG_DATA_HOME/drel,
// else ~/.local/share/drel); created on first use.
std::string GetUserFolder();
// The per-user configuration folder of the application profile
// ($DREL_CONFIG_DIR, else $XDG_CONFIG_HOME/drel, else ~/.config/drel).
std::string GetUserConfigFolder();

// A program file to read: the user folder's copy when there is one,
// else the program folder's. name is relative ("GPS.ini", "Symbols/12.ico").
std::string FindProgramFile(const std::string& name);
// Where a program file is written: always the user folder.
std::string WritableProgramFile(const std::string& name);

// Tests point the folders elsewhere; an empty text restores the default.
void SetProgramFolderForTesting(const std::string& folder);
void SetUserFolderForTesting(const std::string& folder);
void SetUserConfigFolderForTesting(const std::string& folder);
