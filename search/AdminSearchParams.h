#pragma once

#include "search/AdminSearchSettings.h"

#include <array>
#include <span>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The rows of the parameters dialog: a layer list beside its label, the
// layer types it offers, the setting it stores, and its "Laukai..."
// button with the code fields that button's dialog edits (up to three,
// each a label and a setting; an empty label for none).
struct CAdminFieldRow {
    const char* label; // UTF-8
    AdminKey key;
};
struct CAdminLayerRow {
    int comboId;
    const char* label; // UTF-8
    std::array<int, 2> types; // -1 for none
    AdminKey layerKey;
    int buttonId;
    std::array<CAdminFieldRow, 3> fields;
    bool enabled; // the address row is shown disabled
};
std::span<const CAdminLayerRow> AdminLayerRows();

// "<Nėra>" first, then the names of the map's layers of the row's types
// in Lithuanian order.
std::vector<std::string> AdminLayerChoices(const CDrelDoc& document, const CAdminLayerRow& row);
// "<Nėra>" first, then the field names of the layer's attribute table.
std::vector<std::string> AdminFieldChoices(const CLayer& layer);
// The entry of a list that shows the stored name: 0 ("<Nėra>") when it is
// empty or not listed.
int AdminChoiceIndex(const std::vector<std::string>& choices, const std::string& stored);
// What a chosen entry stores: "<Nėra>" and no entry store an empty name.
std::string AdminStoredName(const std::string& chosen);
