#include "mapdoc/NameFolding.h"

#include "mapdoc/SearchDialogs.h"
#include "platform/Codepage.h"
#include "platform/Collation.h"
#include "platform/UserServices.h"

#include <algorithm>

bool NameEntryLess(const CNameEntry& a, const CNameEntry& b)
{
    return CompareLithuanian(a.text, b.text) < 0;
}

void SortNameEntries(std::vector<CNameEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), NameEntryLess);
}

void FoldEqualNames(std::vector<CNameEntry>& entries, CFoldedPairs* pairs)
{
    if (entries.size() < 2)
        return;
    // From the end, so that each pair names the entry that stays after it.
    std::vector<CNameEntry> folded;
    folded.reserve(entries.size());
    folded.push_back(std::move(entries.back()));
    for (size_t i = entries.size() - 1; i-- > 0;) {
        if (entries[i].text == folded.back().text) {
            if (pairs) {
                pairs->kept.push_back(entries[i].record);
                pairs->removed.push_back(folded.back().record);
            }
            folded.back() = std::move(entries[i]);
        } else {
            folded.push_back(std::move(entries[i]));
        }
    }
    std::reverse(folded.begin(), folded.end());
    entries = std::move(folded);
}

void UnfoldNames(std::vector<CNameEntry>& entries, const CFoldedPairs& pairs)
{
    if (pairs.empty())
        return;
    std::vector<CNameEntry> unfolded;
    unfolded.reserve(entries.size() + pairs.removed.size());
    for (CNameEntry& entry : entries) {
        const std::vector<int32_t> records = FoldedRecords(pairs, entry.record);
        for (size_t i = 1; i < records.size(); ++i)
            unfolded.push_back({entry.text, records[i]});
        // The entry first, its folded records after it.
        unfolded.insert(unfolded.end() - static_cast<std::ptrdiff_t>(records.size() - 1), std::move(entry));
    }
    entries = std::move(unfolded);
}

std::vector<int32_t> FoldedRecords(const CFoldedPairs& pairs, int32_t record)
{
    std::vector<int32_t> records{record};
    int32_t current = record;
    for (size_t i = pairs.kept.size(); i-- > 0;)
        if (pairs.kept[i] == current) {
            current = pairs.removed[i];
            records.push_back(current);
        }
    return records;
}

std::vector<int> FindNameCandidates(const std::vector<std::string>& entries, std::string_view typed)
{
    const std::string wanted = ReplaceLithuanianLetters(ToUpper1257(typed));
    std::vector<int> found;
    if (wanted.empty())
        return found;
    for (size_t i = 0; i < entries.size(); ++i)
        if (ReplaceLithuanianCapitals(ToUpper1257(entries[i])).find(wanted) != std::string::npos)
            found.push_back(static_cast<int>(i));
    return found;
}

int ResolveTypedName(const std::vector<std::string>& entries, int selection, const std::string& typed,
                     int notFoundMessage)
{
    if (selection >= 0 && selection < static_cast<int>(entries.size()))
        return selection;
    if (typed.empty())
        return -1;
    if (auto it = std::find(entries.begin(), entries.end(), typed); it != entries.end())
        return static_cast<int>(it - entries.begin());
    const std::vector<int> candidates = FindNameCandidates(entries, typed);
    if (candidates.empty()) {
        if (notFoundMessage)
            AppMessageBox(notFoundMessage);
        return -1;
    }
    if (candidates.size() == 1)
        return candidates.front();
    std::vector<std::string> texts;
    for (const int c : candidates)
        texts.push_back(entries[static_cast<size_t>(c)]);
    const int chosen = SearchDialogs().ChooseText(texts);
    return chosen >= 0 && chosen < static_cast<int>(candidates.size()) ? candidates[static_cast<size_t>(chosen)] : -1;
}
