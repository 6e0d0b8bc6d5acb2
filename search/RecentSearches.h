#pragma once

#include <string>
#include <vector>

// The texts searched for in this run of the program, newest first, each
// once (code page 1257). No window lists them yet.
class CRecentSearches {
public:
    // An empty text is no search.
    void Add(const std::string& text);
    const std::vector<std::string>& Texts() const { return m_texts; }
    void Clear() { m_texts.clear(); }

private:
    std::vector<std::string> m_texts;
};

// The one list of the process.
CRecentSearches& RecentSearches();
