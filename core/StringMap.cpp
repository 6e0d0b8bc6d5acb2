#include "core/StringMap.h"

CStringMap::CStringMap(std::initializer_list<Pair> pairs)
{
    for (const Pair& pair : pairs)
        SetAt(pair.first, pair.second);
}

const std::string* CStringMap::Find(std::string_view key) const
{
    auto it = m_index.find(std::string(key));
    return it == m_index.end() ? nullptr : &m_pairs[it->second].second;
}

bool CStringMap::Lookup(std::string_view key, std::string& value) const
{
    const std::string* found = Find(key);
    if (!found)
        return false;
    value = *found;
    return true;
}

void CStringMap::SetAt(std::string_view key, std::string_view value)
{
    auto [it, added] = m_index.emplace(std::string(key), m_pairs.size());
    if (!added) {
        m_pairs[it->second].second = value;
        return;
    }
    try {
        m_pairs.emplace_back(std::string(key), std::string(value));
    } catch (...) {
        m_index.erase(it);
        throw;
    }
}

bool CStringMap::RemoveKey(std::string_view key)
{
    auto it = m_index.find(std::string(key));
    if (it == m_index.end())
        return false;
    size_t position = it->second;
    m_index.erase(it);
    m_pairs.erase(m_pairs.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& entry : m_index)
        if (entry.second > position)
            --entry.second;
    return true;
}

void CStringMap::RemoveAll()
{
    m_pairs.clear();
    m_index.clear();
}

const std::string* CStringMap::FindKeyOf(std::string_view value) const
{
    for (const Pair& pair : m_pairs)
        if (pair.second == value)
            return &pair.first;
    return nullptr;
}
