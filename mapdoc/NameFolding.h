#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Sorted lists of names with the record each stands for, as the street
// box and the search dialogs show them (code page 1257).
struct CNameEntry {
    std::string text;
    int32_t record = -1;

    bool operator==(const CNameEntry&) const = default;
};

// Of each entry that folding took out: the record of the entry that
// stayed, and its own; in the order the pairs arose (from the list's end
// towards its start).
struct CFoldedPairs {
    std::vector<int32_t> kept;
    std::vector<int32_t> removed;

    void clear()
    {
        kept.clear();
        removed.clear();
    }
    bool empty() const { return kept.empty(); }
};

// The order of the lists: Lithuanian (CompareLithuanian); sorting keeps
// equal texts in the order given.
bool NameEntryLess(const CNameEntry& a, const CNameEntry& b);
void SortNameEntries(std::vector<CNameEntry>& entries);

// Equal neighbours of a sorted list fold into the first of them; each
// entry taken out is recorded as a pair unless pairs is null.
void FoldEqualNames(std::vector<CNameEntry>& entries, CFoldedPairs* pairs);
// Every entry the pairs took out comes back right after the ones of its
// name, with its own record, in the order it had before folding.
void UnfoldNames(std::vector<CNameEntry>& entries, const CFoldedPairs& pairs);
// The record and every record folded under it: walking the pairs from the
// last to the first, a pair whose kept record is the current one adds its
// removed record, which becomes the current one.
std::vector<int32_t> FoldedRecords(const CFoldedPairs& pairs, int32_t record);

// The entries whose text holds the typed text, both upper-cased and the
// typed text's Lithuanian letters, the entries' capitals replaced by Latin
// ones ("vilniaus" finds "VILNIAUS G." and "Vilniaus pl.").
std::vector<int> FindNameCandidates(const std::vector<std::string>& entries, std::string_view typed);

// The entry the user means: the selection; else, for a typed text, the
// entry of exactly that text, else the normalised match: one candidate is
// taken, several go to the object choice (SearchDialogs().ChooseText).
// -1 when the text is empty, the choice is cancelled, or nothing matches;
// then message notFoundMessage is shown unless it is 0.
int ResolveTypedName(const std::vector<std::string>& entries, int selection, const std::string& typed,
                     int notFoundMessage);
