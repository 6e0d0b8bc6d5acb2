#include "search/NameList.h"

#include <algorithm>

void CNameList::Assign(std::vector<CNameEntry> entries)
{
    m_entries = std::move(entries);
    SortNameEntries(m_entries);
    m_pairs.clear();
    m_folded = false;
}

const std::string& CNameList::GetText(int index) const
{
    static const std::string none;
    return IsEntry(index) ? m_entries[static_cast<size_t>(index)].text : none;
}

int32_t CNameList::GetRecord(int index) const
{
    return IsEntry(index) ? m_entries[static_cast<size_t>(index)].record : -1;
}

std::vector<std::string> CNameList::Texts() const
{
    std::vector<std::string> texts;
    texts.reserve(m_entries.size());
    for (const CNameEntry& entry : m_entries)
        texts.push_back(entry.text);
    return texts;
}

void CNameList::Fold()
{
    if (m_folded)
        return;
    m_pairs.clear();
    FoldEqualNames(m_entries, &m_pairs);
    m_folded = true;
}

void CNameList::Unfold()
{
    if (!m_folded)
        return;
    UnfoldNames(m_entries, m_pairs);
    m_pairs.clear();
    m_folded = false;
}

std::vector<int32_t> CNameList::Records(int index) const
{
    if (!IsEntry(index))
        return {};
    const int32_t record = GetRecord(index);
    return m_folded ? FoldedRecords(m_pairs, record) : std::vector<int32_t>{record};
}

bool CNameList::StandsForSeveral(int index) const
{
    return Records(index).size() > 1;
}

int CNameList::Resolve(int selection, const std::string& typed, int notFoundMessage) const
{
    return ResolveTypedName(Texts(), selection, typed, notFoundMessage);
}

int CNameList::ResolveExact(int selection, const std::string& typed) const
{
    if (IsEntry(selection))
        return selection;
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&typed](const CNameEntry& entry) { return entry.text == typed; });
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

int CNameList::Add(CNameEntry entry)
{
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, NameEntryLess);
    return static_cast<int>(m_entries.insert(at, std::move(entry)) - m_entries.begin());
}

void CNameList::Remove(int index)
{
    if (IsEntry(index))
        m_entries.erase(m_entries.begin() + index);
}
