#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDrelView;

// Find address from the address toolbar (command 30331, Enter in the street
// or house-number box): the street typed or chosen in the street box of
// the view's map, the house in the house-number box. True when something
// was shown (ShowStreetAddress).
bool FindToolbarAddress(CDrelView& view);

// A chosen street (its records in the streets layer, the first giving its
// code) with a house number or none: the house is shown when it is found
// (the nearest one after asking), else, after asking, the street with its
// house numbers. A street without a code has no houses to find. True when
// something was shown.
bool ShowStreetAddress(CDrelView& view, const std::vector<int32_t>& streetRecords, const std::string& streetText,
                       const std::string& houseText);
