#pragma once

#include <string>
#include <string_view>
#include <vector>

// One line of the object information: "name" TAB "value", or, without a
// TAB, a further line of the value above it (code page 1257).
struct CInfoEntry {
    std::string text;
    // The value names a web or mail address or a file of a known type.
    bool link = false;
};

// The lines of the object information window and the rules of their
// layout: the name column as wide as the longest name (at least 11
// characters), the links among the values, the lines between objects'
// values.
class CInfoLines {
public:
    static constexpr int kMinNameColumns = 11;

    // Replaces the lines; folder (of the layer's data, ending with its
    // separator) is where relative file names in values are looked for.
    void SetInfo(const std::vector<std::string>& lines, const std::string& folder);

    const std::vector<CInfoEntry>& Entries() const { return m_entries; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::string& GetFolder() const { return m_folder; }
    int GetNameColumns() const { return m_nameColumns; }
    // The column separator's x for the bold font's average character width.
    int SeparatorX(int averageCharWidth) const { return averageCharWidth * m_nameColumns; }
    // A line runs along the bottom of the entry when the next one is empty
    // or begins another value (a TAB after its first character): a value's
    // further lines stay joined to it. The last entry has one too.
    bool HasBottomLine(int index) const;
    bool IsLink(int index) const;
    // The value of a link entry; empty for any other.
    std::string LinkValue(int index) const;

    // Starts with "http:" or "mailto:" in any letter case, or its file
    // name's extension (from the last dot, lower-cased) is one of the
    // types the window opens.
    static bool IsLinkValue(std::string_view value);
    // The text before the TAB, and the text after it (the whole line
    // without one).
    static std::string_view NamePart(std::string_view line);
    static std::string_view ValuePart(std::string_view line);

private:
    std::vector<CInfoEntry> m_entries;
    std::string m_folder;
    int m_nameColumns = kMinNameColumns;
};

// The extension of the file name at the end of a path or an address, from
// its last dot, lower-cased (".pdf"); empty without one.
std::string LinkExtension(std::string_view target);
