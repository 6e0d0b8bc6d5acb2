#pragma once

#include "mapdoc/NameFolding.h"

#include <cstdint>
#include <string>
#include <vector>

// A sorted list of names, each with the record it stands for, as the
// search dialogs' name boxes show it: equal names may be folded into one
// entry that stands for all their records ("Be pasikartojimų") and
// unfolded again. Texts are code page 1257.
class CNameList {
public:
    // The entries in Lithuanian order (equal names in the order given);
    // unfolded.
    void Assign(std::vector<CNameEntry> entries);

    const std::vector<CNameEntry>& Entries() const { return m_entries; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    bool IsEntry(int index) const { return index >= 0 && index < GetCount(); }
    // Empty and -1 for an index that is no entry.
    const std::string& GetText(int index) const;
    int32_t GetRecord(int index) const;
    std::vector<std::string> Texts() const;

    bool IsFolded() const { return m_folded; }
    // Equal names become one entry; the records folded away are kept
    // (recorded anew each time, so folding twice records nothing twice).
    void Fold();
    // Every folded entry comes back after its name with its own record.
    void Unfold();
    // The records the entry stands for: its own, and while the list is
    // folded every record folded under it.
    std::vector<int32_t> Records(int index) const;
    // While folded, the entry stands for more records than its own: it
    // cannot be edited or deleted as one object.
    bool StandsForSeveral(int index) const;

    // The entry the user means (ResolveTypedName): the selection, the
    // exact text, the normalised match; -1 when none.
    int Resolve(int selection, const std::string& typed, int notFoundMessage) const;

    // The selection, else the first entry of exactly the typed text; -1
    // when neither is there.
    int ResolveExact(int selection, const std::string& typed) const;

    // An entry sorted in after its equals (a renamed object); its index.
    int Add(CNameEntry entry);
    // A deleted object's entry goes.
    void Remove(int index);

private:
    std::vector<CNameEntry> m_entries;
    CFoldedPairs m_pairs;
    bool m_folded = false;
};
