#include "platform/IniFile.h"

#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Stream.h"

#include <cerrno>
#include <cstring>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return EqualsNoCase1257(a, b);
}

std::string_view Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

} // namespace

CIniFile::CIniFile(std::string path) : m_path(std::move(path)) {}

bool CIniFile::Load()
{
    m_sections.clear();
    int error = 0;
    auto stream = CFileStream::Open(m_path, FileMode::Read, &error);
    if (!stream)
        return error == ENOENT || error == ENOTDIR;
    int64_t size = stream->Size();
    if (size < 0)
        return false;
    std::string text(static_cast<size_t>(size), '\0');
    if (!stream->ReadExact(text.data(), text.size()))
        return false;
    LoadFromText(text);
    return true;
}

void CIniFile::LoadFromText(std::string_view text)
{
    m_sections.clear();
    m_sections.push_back(Section{});
    bool sawCrLf = false, sawLf = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string_view raw = end == std::string_view::npos ? text.substr(pos) : text.substr(pos, end - pos);
        if (end != std::string_view::npos) {
            if (!raw.empty() && raw.back() == '\r') {
                raw.remove_suffix(1);
                sawCrLf = true;
            } else {
                sawLf = true;
            }
        }
        pos = end == std::string_view::npos ? text.size() : end + 1;

        std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            Section section;
            section.name = std::string(Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1)));
            section.header = std::string(raw);
            m_sections.push_back(std::move(section));
            continue;
        }
        Line line;
        line.text = std::string(raw);
        if (!t.empty() && t.front() != ';') {
            size_t eq = t.find('=');
            if (eq != std::string_view::npos) {
                line.key = std::string(Trim(t.substr(0, eq)));
                line.value = std::string(Trim(t.substr(eq + 1)));
            }
        }
        m_sections.back().lines.push_back(std::move(line));
    }
    m_lineEnd = sawLf && !sawCrLf ? "\n" : "\r\n";
}

std::string CIniFile::ToText() const
{
    std::string out;
    for (const Section& section : m_sections) {
        if (!section.header.empty()) {
            out += section.header;
            out += m_lineEnd;
        }
        for (const Line& line : section.lines) {
            out += line.text;
            out += m_lineEnd;
        }
    }
    return out;
}

bool CIniFile::Save() const
{
    std::string text = ToText();
    return WriteFileAtomically(m_path, [&](CStream& s) { return s.WriteExact(text.data(), text.size()); });
}

CIniFile::Section* CIniFile::FindSection(std::string_view name)
{
    for (Section& s : m_sections)
        if (!s.header.empty() && EqualsNoCase(s.name, name))
            return &s;
    return nullptr;
}

const CIniFile::Section* CIniFile::FindSection(std::string_view name) const
{
    return const_cast<CIniFile*>(this)->FindSection(name);
}

bool CIniFile::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool CIniFile::HasKey(std::string_view section, std::string_view key) const
{
    const Section* s = FindSection(section);
    if (!s)
        return false;
    for (const Line& line : s->lines)
        if (!line.key.empty() && EqualsNoCase(line.key, key))
            return true;
    return false;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                size_t cap) const
{
    std::string value(defaultValue);
    if (const Section* s = FindSection(section)) {
        for (const Line& line : s->lines) {
            if (!line.key.empty() && EqualsNoCase(line.key, key)) {
                value = line.value;
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                    value.back() == value.front())
                    value = value.substr(1, value.size() - 2);
                break;
            }
        }
    }
    if (cap > 0 && value.size() > cap - 1)
        value.resize(cap - 1);
    return value;
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    if (!HasKey(section, key))
        return defaultValue;
    return AtoiC(GetString(section, key));
}

bool CIniFile::GetStruct(std::string_view section, std::string_view key, void* data, size_t size) const
{
    return HasKey(section, key) && DecodeProfileStruct(GetString(section, key), data, size);
}

void CIniFile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    if (m_sections.empty())
        m_sections.push_back(Section{});
    Section* s = FindSection(section);
    if (!s) {
        Section added;
        added.name = std::string(section);
        added.header = "[" + added.name + "]";
        m_sections.push_back(std::move(added));
        s = &m_sections.back();
    }
    for (Line& line : s->lines) {
        if (!line.key.empty() && EqualsNoCase(line.key, key)) {
            line.value = std::string(value);
            line.text = line.key + "=" + line.value;
            return;
        }
    }
    Line line;
    line.key = std::string(key);
    line.value = std::string(value);
    line.text = line.key + "=" + line.value;
    // New keys go after the section's last key, before trailing blank lines.
    auto at = s->lines.end();
    while (at != s->lines.begin() && Trim((at - 1)->text).empty())
        --at;
    s->lines.insert(at, std::move(line));
}

void CIniFile::SetInt(std::string_view section, std::string_view key, int value)
{
    SetString(section, key, FormatC("%d", value));
}

void CIniFile::SetStruct(std::string_view section, std::string_view key, const void* data, size_t size)
{
    SetString(section, key, EncodeProfileStruct(data, size));
}

void CIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    Section* s = FindSection(section);
    if (!s)
        return;
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (!it->key.empty() && EqualsNoCase(it->key, key)) {
            s->lines.erase(it);
            return;
        }
    }
}

void CIniFile::DeleteSection(std::string_view section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
        if (!it->header.empty() && EqualsNoCase(it->name, section)) {
            m_sections.erase(it);
            return;
        }
    }
}

std::vector<std::string> CIniFile::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& s : m_sections)
        if (!s.header.empty())
            names.push_back(s.name);
    return names;
}

std::vector<std::string> CIniFile::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    if (const Section* s = FindSection(section))
        for (const Line& line : s->lines)
            if (!line.key.empty())
                names.push_back(line.key);
    return names;
}

std::vector<std::pair<std::string, std::string>> CIniFile::SectionEntries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    if (const Section* s = FindSection(section))
        for (const Line& line : s->lines)
            if (!line.key.empty())
                entries.emplace_back(line.key, line.value);
    return entries;
}

// ------------------------------------------------------------ struct form

std::string EncodeProfileStruct(const void* data, size_t size)
{
    static const char kHex[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    text.reserve(2 * size + 2);
    unsigned char sum = 0;
    auto put = [&](unsigned char b) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    };
    for (size_t i = 0; i < size; ++i) {
        put(bytes[i]);
        sum = static_cast<unsigned char>(sum + bytes[i]);
    }
    put(sum);
    return text;
}

bool DecodeProfileStruct(std::string_view text, void* data, size_t size)
{
    if (size > (text.size() / 2) || text.size() != 2 * size + 2)
        return false;
    std::vector<unsigned char> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        int high = HexDigitValue(text[2 * i]);
        int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    unsigned char sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = static_cast<unsigned char>(sum + bytes[i]);
    if (sum != bytes[size])
        return false;
    if (size > 0)
        std::memcpy(data, bytes.data(), size);
    return true;
}

// ------------------------------------------------------------ one-call forms

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& file, size_t cap)
{
    CIniFile ini(file);
    ini.Load();
    return ini.GetString(section, key, defaultValue, cap);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& file)
{
    CIniFile ini(file);
    ini.Load();
    return ini.GetInt(section, key, defaultValue);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& file)
{
    CIniFile ini(file);
    if (!ini.Load())
        return false;
    ini.SetString(section, key, value);
    return ini.Save();
}

bool WritePrivateProfileInt(std::string_view section, std::string_view key, int value, const std::string& file)
{
    return WritePrivateProfileString(section, key, FormatC("%d", value), file);
}

bool GetPrivateProfileStruct(std::string_view section, std::string_view key, void* data, size_t size,
                             const std::string& file)
{
    CIniFile ini(file);
    ini.Load();
    return ini.GetStruct(section, key, data, size);
}

bool WritePrivateProfileStruct(std::string_view section, std::string_view key, const void* data, size_t size,
                               const std::string& file)
{
    CIniFile ini(file);
    if (!ini.Load())
        return false;
    ini.SetStruct(section, key, data, size);
    return ini.Save();
}

bool DeletePrivateProfileKey(std::string_view section, std::string_view key, const std::string& file)
{
    CIniFile ini(file);
    if (!ini.Load())
        return false;
    ini.DeleteKey(section, key);
    return ini.Save();
}

bool DeletePrivateProfileSection(std::string_view section, const std::string& file)
{
    CIniFile ini(file);
    if (!ini.Load())
        return false;
    ini.DeleteSection(section);
    return ini.Save();
}
