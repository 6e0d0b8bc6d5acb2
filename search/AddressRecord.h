#pragma once

#include "mapdoc/NameFolding.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CLayer;

// What the address entry (dialog 196) edits: the street codes (0 none)
// and the house-number texts of the first address and, when enabled, of
// the second; the largest number each number field holds.
struct CAddressEntryValues {
    int32_t streetCode = 0;
    int32_t streetCode2 = 0;
    std::string number;
    std::string number2;
    bool secondAddress = false;
    long maxNumber = 9999;
    long maxNumber2 = 9999;
};

// The address entry over the values, with the map's street layer; true on OK.
using CAddressEntryPrompt = std::function<bool(CAddressEntryValues& values, CLayer& streets, CDrelDoc& document)>;

// What the step before the record form did with the record the table
// stands on: nothing (it does not apply, or the user cancelled), some of
// its fields, or every field (the form need not show).
enum AddressRecordResult : int { kRecordNotHandled = 0, kRecordPartlyHandled = 1, kRecordHandled = 2 };

// Records of the map's placemark layer (a point layer named as
// [Placemarks] Layer, its file a ".dbf") go through the placemark dialog
// (SearchDialogs().EditPlacemark), the views redrawn after its OK; records
// of the address layer through the address entry, which needs the street
// layer with its code and name fields and the address table's street code
// and number fields. The values set stay in the record buffer, unwritten.
int EditAddressRecord(CDbfTable& table, CDrelDoc& document, CLayer& layer, const CAddressEntryPrompt& prompt);

// The street boxes of the address entry: name and code (as the entry's
// record) of each street, in the boxes' order, and the entries of the
// current codes (-1 none).
struct CStreetChoice {
    std::vector<CNameEntry> entries;
    int selected = -1;
    int selected2 = -1;
};

// Every street of the layer with a name (its id field) and a code above 0
// ([Streets] CodeField), under the wait cursor; false after message 1004
// when either field is missing, or when the table does not open.
bool ReadStreetEntries(const CLayer& streets, const std::string& codeField, std::vector<CNameEntry>& entries);
// The entries sorted, the first of each current code selected, and
// neighbours of equal name and code merged into one, the selected ones kept.
CStreetChoice MakeStreetChoice(std::vector<CNameEntry> entries, int32_t code, int32_t code2);
// The code of the street the user means: the selected entry's, else that
// of the entry whose name is the typed text, else 0.
int32_t ResolveStreetCode(const std::vector<CNameEntry>& entries, int selection, const std::string& typed);
