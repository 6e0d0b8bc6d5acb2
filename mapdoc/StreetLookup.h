#pragma once

#include "mapdoc/AddressTable.h"
#include "mapdoc/NameFolding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDrelDoc;
class CDrelView;
class CLayer;

// The street lists of a map document, filled from the streets layer its
// settings name: the streets with their record numbers and cities, the
// cities once each, and the pairs of equally named streets that the street
// box shows once.
struct CStreetLists {
    std::vector<std::string> streetNames;
    std::vector<int32_t> streetRecords;
    std::vector<int32_t> streetCities; // index into cities
    std::vector<std::string> cities;
    // The equal names the street box shows once.
    CFoldedPairs merged;
};

// The street and address lookup of a map document: the lists behind the
// address toolbar's city and street boxes (reached through the document
// host) and the address table that finds a house on a street by its
// number. Messages are the user's; the document owns it.
class CStreetLookup {
public:
    explicit CStreetLookup(CDrelDoc& document) : m_document(document) {}
    CStreetLookup(const CStreetLookup&) = delete;
    CStreetLookup& operator=(const CStreetLookup&) = delete;

    const CStreetLists& Lists() const { return m_lists; }

    // Reads the streets layer into the lists; false (message) without a
    // usable streets layer or name field.
    bool LoadStreetNames();
    // Fills the street box with the streets of the city chosen in the city
    // box, or, without streetsOnly, both boxes anew for this document;
    // whether the street box has items.
    bool FillCityStreetCombos(bool streetsOnly);
    // The addresses of the addresses layer, sorted: every street's when the
    // code is below 1, else only that street's. False when the layer or its
    // first street-code and number fields are missing.
    bool LoadAddressTable(CAddressTable& table, int64_t streetCode);
    // The street's table, then FindAddress; false (status -1) when nothing was found.
    bool CollectStreetAddresses(int64_t streetCode, std::string_view text, CAddressResult& result);
    // The house numbers of the street as text overlays of the view.
    void LabelStreetAddresses(int64_t streetCode, CDrelView& view);
    // [Streets] CodeField of a record of the streets layer; 0 when it
    // cannot be had (message 1008 when the field is missing).
    int64_t GetStreetCode(int record);
    // A map window became active: the boxes another document filled are
    // filled anew, and the administrative-search and places boxes.
    void OnMapFrameActivate(bool active);
    // A choice in the administrative-search bar refills the next box.
    void OnAdminComboSelChange(int id);

private:
    // The streets of the city of item data city (all for -1) into the
    // street box, then the equal names merged.
    void AddStreetsToBox(int64_t city);
    void AddNamedRecordsToBox();
    void MergeEqualNames(std::vector<CNameEntry>& items);

    CDrelDoc& m_document;
    CStreetLists m_lists;
};
