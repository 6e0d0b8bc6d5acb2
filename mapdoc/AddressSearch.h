#pragma once

#include "mapdoc/AddressTable.h"

#include <cstdint>
#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// Find address from the address toolbar (command 30331, Enter in the street
// or house-number box): the street typed or chosen in the street box of
// the view's map, the house in the house-number box. True when something
// was shown (ShowStreetAddress).
bool FindToolbarAddress(CDrelView& view);

// What a street search settled on once the user answered its questions:
// nothing, the house, or the street with its house numbers.
struct CStreetAddress {
    enum Kind : int { kNothing, kHouse, kStreet };
    int kind = kNothing;
    std::vector<int32_t> streetRecords;
    int64_t streetCode = 0;
    std::string streetText;
    std::string houseText;
    // Of kHouse: the house found, or the nearest one (status 1).
    CAddressResult address;

    // The street, and the house number after a blank when the house was found.
    std::string GetText() const;
};

// A chosen street (its records in the streets layer, the first giving its
// code) with a house number or none: the house when it is found (the
// nearest one after question 2001), else, after question 2002, the street.
// A street without a code has no houses to find.
CStreetAddress FindStreetAddress(CDrelDoc& document, const std::vector<int32_t>& streetRecords,
                                 const std::string& streetText, const std::string& houseText);
// The house as the view's found object, or the street's records marked
// with its house numbers as labels, zoomed to when asked; the text in the
// status bar's message pane. True when something was shown.
bool ShowFoundStreetAddress(CDrelView& view, const CStreetAddress& found, bool zoom);

// Both steps, zoomed: true when something was shown.
bool ShowStreetAddress(CDrelView& view, const std::vector<int32_t>& streetRecords, const std::string& streetText,
                       const std::string& houseText);
