#pragma once

#include <string>
#include <string_view>
#include <vector>

// The application profile (what the registry key "Drel" held): sections and
// keys with string, integer and binary values, kept as an ini file
// "Drel.ini" in the user's configuration folder and saved on every write.
class CAppProfile {
public:
    static CAppProfile& Instance();

    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue = {});
    int GetInt(std::string_view section, std::string_view key, int defaultValue);
    // Binary values are stored as hex text; false when the key is missing or malformed.
    bool GetBinary(std::string_view section, std::string_view key, std::vector<unsigned char>& out);

    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);
    bool WriteBinary(std::string_view section, std::string_view key, const std::vector<unsigned char>& data);
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    std::string FilePath() const;
    // Points the profile at another file (tests); empty restores the default.
    void SetFilePathForTesting(const std::string& path);

private:
    CAppProfile() = default;
    std::string m_overridePath;
};
