#pragma once

#include <string>
#include <string_view>

// The configuration file of the program: its executable's name with the
// extension ".cfg" (a program "drel" reads "drel.cfg"), holding switches of
// the toolbars and of the map view. Read from the user folder's copy when
// there is one, else from the program folder; written into the user
// folder's copy (ProgramIniFile.h), a failed write reported.
class CConfigFile {
public:
    explicit CConfigFile(std::string_view programFileName);

    const std::string& GetFileName() const { return m_fileName; }
    // The file to read now.
    std::string GetPath() const;

    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteInt(std::string_view section, std::string_view key, int value) const;

private:
    std::string m_fileName;
};
