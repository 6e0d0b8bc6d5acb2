#pragma once

#include "mapdoc/NameFolding.h"
#include "search/NameList.h"

#include <string>
#include <vector>

class CDrelView;
class CLayer;

// The address page of the find sheet without its window: the streets of
// the map's streets layer, by town when the map names a town field, and
// showing a street or a house on it. Messages are the user's.
class CAddressFinder {
public:
    explicit CAddressFinder(CDrelView& view);

    // The [Streets] layer exists and is a line layer; without it the page
    // only says so.
    bool HasStreetLayer() const { return m_streetLayer != nullptr; }
    // An [Addresses] layer is named: house numbers can be looked for.
    bool HasHouseNumbers() const;
    // [Streets] names a town field: the streets are chosen by town.
    bool IsTownMode() const;

    // Reads the streets once for the document; false (message) when they
    // cannot be read. Without towns the list then holds every street.
    bool Load();
    // The towns in name order, each with its index in the document's
    // street lists as the record.
    const std::vector<CNameEntry>& Towns() const { return m_towns; }
    // The town of that name, letter case ignored; -1 when none.
    int FindTown(const std::string& name) const;
    // The streets of Towns()[index] become the list; the town is the
    // last town from now on.
    void ChooseTown(int index);
    // The streets shown, folded, each standing for its records in the
    // streets layer.
    const CNameList& Streets() const { return m_streets; }

    // "Parodyti" on an entry of Streets() with the house number typed
    // (ShowStreetAddress); true when something was shown.
    bool Show(int entry, const std::string& houseText);

private:
    CDrelView& m_view;
    CLayer* m_streetLayer = nullptr;
    std::vector<CNameEntry> m_towns;
    CNameList m_streets;
};
