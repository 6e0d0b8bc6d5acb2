#include "search/InfoLines.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::array<std::string_view, 26> kLinkExtensions = {
    ".dbf", ".trk", ".ico", ".emf", ".wmf", ".htm", ".html", ".pdf", ".rtf", ".wri", ".bmp", ".map", ".pcx",
    ".png", ".gif", ".txt", ".doc", ".jpg", ".tif", ".tiff", ".xls", ".wav", ".mp3", ".avi", ".dwg", "http:",
};

// The extensions are Latin letters; a Lithuanian one matches none anyway.
char ToLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (ToLowerAscii(text[i]) != prefix[i])
            return false;
    return true;
}

} // namespace

std::string LinkExtension(std::string_view target)
{
    const size_t name = target.find_last_of("\\/");
    const std::string_view fileName = name == std::string_view::npos ? target : target.substr(name + 1);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension(fileName.substr(dot));
    for (char& c : extension)
        c = ToLowerAscii(c);
    return extension;
}

bool CInfoLines::IsLinkValue(std::string_view value)
{
    if (StartsWithNoCase(value, "http:") || StartsWithNoCase(value, "mailto:"))
        return true;
    const std::string extension = LinkExtension(value);
    return !extension.empty() &&
           std::find(kLinkExtensions.begin(), kLinkExtensions.end(), extension) != kLinkExtensions.end();
}

std::string_view CInfoLines::NamePart(std::string_view line)
{
    const size_t tab = line.find('\t');
    return tab == std::string_view::npos ? std::string_view() : line.substr(0, tab);
}

std::string_view CInfoLines::ValuePart(std::string_view line)
{
    const size_t tab = line.find('\t');
    return tab == std::string_view::npos ? line : line.substr(tab + 1);
}

void CInfoLines::SetInfo(const std::vector<std::string>& lines, const std::string& folder)
{
    m_folder = folder;
    m_entries.clear();
    m_entries.reserve(lines.size());
    m_nameColumns = kMinNameColumns;
    for (const std::string& line : lines) {
        CInfoEntry entry{line, false};
        if (const size_t tab = line.find('\t'); tab != std::string::npos) {
            m_nameColumns = std::max(m_nameColumns, static_cast<int>(std::min<size_t>(tab, INT32_MAX)));
            entry.link = IsLinkValue(ValuePart(line));
        }
        m_entries.push_back(std::move(entry));
    }
}

bool CInfoLines::HasBottomLine(int index) const
{
    if (index + 1 >= GetCount())
        return true;
    const std::string& next = m_entries[static_cast<size_t>(index) + 1].text;
    return next.empty() || next.find('\t', 1) != std::string::npos;
}

bool CInfoLines::IsLink(int index) const
{
    return index >= 0 && index < GetCount() && m_entries[static_cast<size_t>(index)].link;
}

std::string CInfoLines::LinkValue(int index) const
{
    return IsLink(index) ? std::string(ValuePart(m_entries[static_cast<size_t>(index)].text)) : std::string();
}
