#include "shell/ConfigFile.h"

#include "core/FileUtil.h"
#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "shell/ProgramIniFile.h"

CConfigFile::CConfigFile(std::string_view programFileName)
    : m_fileName(ChangeExtensionCopy(GetPathFileName(programFileName), "cfg"))
{
}

std::string CConfigFile::GetPath() const
{
    return FindProgramFile(m_fileName);
}

int CConfigFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    return GetPrivateProfileInt(section, key, defaultValue, GetPath());
}

bool CConfigFile::WriteInt(std::string_view section, std::string_view key, int value) const
{
    return UpdateProgramIniFile(m_fileName, [&](CIniFile& ini) { ini.SetInt(section, key, value); });
}
