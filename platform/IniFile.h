#pragma once

#include <string>
#include <string_view>
#include <vector>

// Private-profile (ini) files as the system keeps them: sections and keys
// found ignoring letter case, values as raw code page 1257 bytes (blanks
// around them trimmed, one pair of enclosing quotes removed on reading),
// key order, comments and keys the program does not know kept as they were.
// A save writes beside the file and renames over it.
class CIniFile {
public:
    CIniFile() = default;
    explicit CIniFile(std::string path);

    // Reads the file; a missing file is an empty profile (true). False on a read error.
    bool Load();
    // Writes the whole profile beside the file and renames it over the old one.
    bool Save() const;
    void LoadFromText(std::string_view text);
    std::string ToText() const;

    const std::string& Path() const { return m_path; }
    void SetPath(std::string path) { m_path = std::move(path); }

    bool HasSection(std::string_view section) const;
    bool HasKey(std::string_view section, std::string_view key) const;

    // The value, or the default when the key is missing. A cap above 0 keeps
    // at most cap - 1 characters, as a fixed buffer of cap characters would.
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue = {},
                          size_t cap = 0) const;
    // The leading integer of the value (decimal, optional sign); the default
    // when the key is missing; 0 when the value does not start with a number.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // A binary structure in the private-profile struct form (see
    // EncodeProfileStruct). False, data untouched, when the key is missing
    // or its value is not exactly size bytes with a matching checksum.
    bool GetStruct(std::string_view section, std::string_view key, void* data, size_t size) const;

    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int value);
    void SetStruct(std::string_view section, std::string_view key, const void* data, size_t size);
    void DeleteKey(std::string_view section, std::string_view key);
    void DeleteSection(std::string_view section);

    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    // Key=value lines of a section, as they stand.
    std::vector<std::pair<std::string, std::string>> SectionEntries(std::string_view section) const;

private:
    struct Line {
        std::string text;   // the raw line without its line end
        std::string key;    // trimmed key, empty for comments and other lines
        std::string value;  // trimmed value
    };
    struct Section {
        std::string name;          // empty for lines before the first section header
        std::string header;        // the raw header line
        std::vector<Line> lines;
    };

    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::string m_path;
    std::vector<Section> m_sections;
    std::string m_lineEnd = "\r\n";
};

// The private-profile struct form: every byte as two upper-case hex
// digits, then one checksum byte the same way, the low byte of the sum of
// the data bytes. 32 bytes take 66 characters.
std::string EncodeProfileStruct(const void* data, size_t size);
// Reads either letter case. False, data untouched, when the text is not
// exactly size bytes plus checksum, holds a non-hex character, or the
// checksum does not match.
bool DecodeProfileStruct(std::string_view text, void* data, size_t size);

// One-call forms that read the file each time and write it at once, for
// code that touches one key at a time. Paths are stored-form paths.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& file, size_t cap = 0);
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& file);
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& file);
bool WritePrivateProfileInt(std::string_view section, std::string_view key, int value, const std::string& file);
bool GetPrivateProfileStruct(std::string_view section, std::string_view key, void* data, size_t size,
                             const std::string& file);
bool WritePrivateProfileStruct(std::string_view section, std::string_view key, const void* data, size_t size,
                               const std::string& file);
bool DeletePrivateProfileKey(std::string_view section, std::string_view key, const std::string& file);
bool DeletePrivateProfileSection(std::string_view section, const std::string& file);
