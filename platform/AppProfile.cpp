#include "platform/AppProfile.h"

#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <mutex>

namespace {
std::mutex g_profileMutex;
}

CAppProfile& CAppProfile::Instance()
{
    static CAppProfile profile;
    return profile;
}

std::string CAppProfile::FilePath() const
{
    if (!m_overridePath.empty())
        return m_overridePath;
    return GetUserConfigFolder() + "Drel.ini";
}

void CAppProfile::SetFilePathForTesting(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    m_overridePath = path;
}

std::string CAppProfile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return GetPrivateProfileString(section, key, defaultValue, FilePath());
}

int CAppProfile::GetInt(std::string_view section, std::string_view key, int defaultValue)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return GetPrivateProfileInt(section, key, defaultValue, FilePath());
}

bool CAppProfile::GetBinary(std::string_view section, std::string_view key, std::vector<unsigned char>& out)
{
    std::string text;
    {
        std::lock_guard<std::mutex> lock(g_profileMutex);
        CIniFile ini(FilePath());
        ini.Load();
        if (!ini.HasKey(section, key))
            return false;
        text = ini.GetString(section, key);
    }
    if (text.size() % 2 != 0)
        return false;
    std::vector<unsigned char> data;
    data.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigitValue(text[i]), lo = HexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        data.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    out = std::move(data);
    return true;
}

bool CAppProfile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return WritePrivateProfileString(section, key, value, FilePath());
}

bool CAppProfile::WriteInt(std::string_view section, std::string_view key, int value)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return WritePrivateProfileInt(section, key, value, FilePath());
}

bool CAppProfile::WriteBinary(std::string_view section, std::string_view key, const std::vector<unsigned char>& data)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char b : data) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return WriteString(section, key, text);
}

bool CAppProfile::DeleteKey(std::string_view section, std::string_view key)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return DeletePrivateProfileKey(section, key, FilePath());
}

bool CAppProfile::DeleteSection(std::string_view section)
{
    std::lock_guard<std::mutex> lock(g_profileMutex);
    return DeletePrivateProfileSection(section, FilePath());
}
