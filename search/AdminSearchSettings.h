#pragma once

#include "mapdoc/AdminSearchSettings.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;
class CLayer;
class IToolbarBox;

// The settings' texts, in the order of their keys in [AdminSearch]: the
// layers of the levels, each level's own code field, each level's code of
// the level above, and the address layer's fields.
enum AdminKey : int {
    kApskLayer,
    kSavLayer,
    kSenLayer,
    kPlaceLayer,
    kStreetLayer,
    kAddressLayer,
    kApskCodeField,
    kSavCodeField,
    kSenCodeField,
    kPlaceCodeField,
    kStreetCodeField,
    kSavApskCodeField,
    kSenSavCodeField,
    kPlaceSavCodeField,
    kPlaceSenCodeField,
    kStreetPlaceCodeField,
    kAddrStreetCodeField,
    kAddrStreetCodeField2,
    kAddrNumField,
    kAddrNumField2,
    kAdminKeyCount
};
// Save writes the keys before the address layer's fields; Load reads all.
constexpr int kAdminSavedKeyCount = kAddrStreetCodeField;
const char* AdminKeyName(AdminKey key);

enum AdminLevel : int { kCountyLevel, kMunicipalityLevel, kWardLevel, kSettlementLevel, kStreetLevel, kAdminLevelCount };

// A code read from a field: its text as an unsigned integer; a text that
// does not start with a digit, or is beyond 32 bits, is no code and
// matches nothing.
constexpr int64_t kNoCode = -1;
int64_t ReadAdminCode(const std::string& text);

// The lists of one level: one element per record with a name, in table
// order. codes[i] is the level's i-th integer code field (the table in
// AdminLevelFields); textCodes the text code, at most 8 characters.
struct CAdminLevelLists {
    std::vector<std::string> names;
    std::vector<int32_t> records;
    std::array<std::vector<int64_t>, 3> codes;
    std::vector<std::string> textCodes;

    size_t size() const { return names.size(); }
};

// What one level reads: its layer and up to three integer code fields and
// one text code field (kAdminKeyCount for none).
struct CAdminLevelFields {
    AdminKey layer;
    std::array<AdminKey, 3> codes;
    AdminKey textCode;
};
const CAdminLevelFields& AdminLevelFields(AdminLevel level);

// The boxes of the administrative-search bar, per level, and the house
// number's.
int AdminLevelBox(AdminLevel level);
constexpr int kAdminHouseBox = 30451;

// The administrative address search of one map document: which layers
// hold the counties, municipalities, wards, settlements, streets and
// addresses and which fields tie each level to the one above, the name
// and code lists loaded from them, and the cascade of the bar's combos
// (each choice narrows the next level). Nothing shows a message: missing
// layers or fields leave their levels empty and their combos disabled.
class CAdminSearchSettings : public IAdminSearchSettings {
public:
    const std::string& Get(AdminKey key) const { return m_values[key]; }
    void Set(AdminKey key, std::string value) { m_values[key] = std::move(value); }

    // Writes the keys up to the address layer's fields with one save of
    // the file, whose other keys and sections stay; false when it cannot
    // be read or written.
    bool Save(const std::string& iniPath) override;
    // Reads every key, the value held as the default, at most 99 characters.
    void Load(const std::string& iniPath) override;

    // The county, municipality, ward and settlement lists from the
    // document's layers: a missing county or municipality layer fails, a
    // missing ward or settlement layer is skipped, a level that fails
    // fails it.
    bool LoadLevels(const CDrelDoc& document);
    // One level from the layer; false, the lists untouched, when the
    // data do not open or the layer's name field is not in its table.
    bool LoadLevel(AdminLevel level, const CLayer& layer);
    const CAdminLevelLists& Lists(AdminLevel level) const { return m_lists[level]; }

    // The cascade; each fills its box and the ones after it. Without the
    // bar nothing happens.
    void FillCounties(CDrelDoc& document) override;
    void FillMunicipalities(CDrelDoc& document) override;
    void FillWards(CDrelDoc& document) override;
    void FillSettlements(CDrelDoc& document) override;
    void FillStreets(CDrelDoc& document) override;

    // The unit chosen in the level's box marked on the view and centred
    // on; nothing for no choice or a layer the view's map does not have.
    void ShowUnit(AdminLevel level, CDrelView& view);
    // The street chosen, else the entry of the typed text, else one of the
    // entries the typed text matches (as the object search matches), asked
    // for even when there is one; the chosen text replaces the typed one.
    void ShowStreet(CDrelView& view);

    // The parameters were changed: the map is modified, the lists go and
    // the bar is filled again from the counties.
    void OnParametersChanged(CDrelDoc& document);

private:
    // The level's index chosen in its box; -1 for none or the placeholder.
    static int64_t ChosenIndex(const IToolbarBox& box);
    // Enabled when it lists any; the placeholder added.
    static void FinishLevelBox(IToolbarBox& box, AdminLevel level);
    // The codes of the settlements the box lists, sorted.
    std::vector<int64_t> ListedSettlementCodes(const IToolbarBox& box) const;
    void ShowRecordOf(AdminLevel level, int64_t index, CDrelView& view) const;

    std::array<std::string, kAdminKeyCount> m_values;
    std::array<CAdminLevelLists, kAdminLevelCount> m_lists;
    bool m_streetsLoaded = false;
};
