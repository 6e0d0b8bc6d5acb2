#pragma once

#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// The places manager of a map (dialog 389 "Vietų tvarkymas") without its
// window. Places are taken by their position in the list, so names that
// differ in letter case only are never confused.
class CPlacesManager {
public:
    // Which buttons may be pressed.
    struct CButtons {
        bool remove = false;    // "Pašalinti"
        bool removeAll = false; // "Pašalinti visas"
        bool show = false;      // "Parodyti"
    };

    explicit CPlacesManager(CDrelDoc& document) : m_document(document) {}

    // The names in the document's order.
    std::vector<std::string> GetNames() const;
    // With the place at selection (-1 none) selected.
    CButtons GetButtons(int selection) const;
    // Each removal marks the map modified and refills the places box.
    // Remove answers the place selected afterwards: the one now at the
    // same position, else the one before, -1 when none is left or the
    // index is no place.
    int Remove(int index);
    void RemoveAll();
    // The view zooms to the place; false for an index that is no place.
    bool Show(int index, CDrelView& view) const;

private:
    bool IsPlace(int index) const;
    void Changed();

    CDrelDoc& m_document;
};
