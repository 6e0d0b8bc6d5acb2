#include "search/RecentSearches.h"

#include <algorithm>

void CRecentSearches::Add(const std::string& text)
{
    if (text.empty())
        return;
    if (auto it = std::find(m_texts.begin(), m_texts.end(), text); it != m_texts.end())
        m_texts.erase(it);
    m_texts.insert(m_texts.begin(), text);
}

CRecentSearches& RecentSearches()
{
    static CRecentSearches searches;
    return searches;
}
