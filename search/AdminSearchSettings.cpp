#include "search/AdminSearchSettings.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/NameFolding.h"
#include "mapdoc/SearchDialogs.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "platform/UserServices.h"
#include "shell/MainToolbars.h"

#include <algorithm>

namespace {

constexpr char kSection[] = "AdminSearch";
// The values were read into buffers of 100 characters.
constexpr size_t kValueCap = 100;
constexpr size_t kTextCodeCap = 9;
constexpr size_t kNameCap = 256;

constexpr const char* kKeyNames[kAdminKeyCount] = {
    "ApskLayer",         "SavLayer",          "SenLayer",          "PlaceLayer",           "StreetLayer",
    "AddressLayer",      "ApskCodeField",     "SavCodeField",      "SenCodeField",         "PlaceCodeField",
    "StreetCodeField",   "SavApskCodeField",  "SenSavCodeField",   "PlaceSavCodeField",    "PlaceSenCodeField",
    "StreetPlaceCodeField", "AddrStreetCodeField", "AddrStreetCodeField2", "AddrNumField", "AddrNumField2",
};

constexpr AdminKey kNone = kAdminKeyCount;
constexpr CAdminLevelFields kLevelFields[kAdminLevelCount] = {
    {kApskLayer, {kNone, kNone, kNone}, kApskCodeField},
    {kSavLayer, {kSavCodeField, kNone, kNone}, kSavApskCodeField},
    {kSenLayer, {kSenCodeField, kSenSavCodeField, kNone}, kNone},
    {kPlaceLayer, {kPlaceCodeField, kPlaceSavCodeField, kPlaceSenCodeField}, kNone},
    {kStreetLayer, {kStreetCodeField, kStreetPlaceCodeField, kNone}, kNone},
};

// Where each level's parent codes stand among its integer codes.
constexpr int kOwnCode = 0;
constexpr int kWardMunicipality = 1;
constexpr int kSettlementMunicipality = 1;
constexpr int kSettlementWard = 2;
constexpr int kStreetSettlement = 1;

constexpr int kLevelBoxes[kAdminLevelCount] = {30455, 30443, 30445, 30447, 30449};
constexpr const char* kPlaceholders[kAdminLevelCount] = {" <Apskritis>", " <Savivaldybė>", " <Seniūnija>",
                                                         " <Gyvenvietė>", " <Gatvė>"};

std::string Placeholder(AdminLevel level)
{
    return Utf8ToCp1257(kPlaceholders[level]);
}

IToolbarBox* LevelBox(AdminLevel level)
{
    return MainToolbars().FindBox(kLevelBoxes[level]);
}

int FindNamedField(const CDbfTable& table, const std::string& name)
{
    return name.empty() ? -1 : table.FindField(name);
}

std::string FieldText(const CDbfTable& table, int field, size_t cap)
{
    std::string text;
    if (field >= 0)
        table.GetFieldText(field, text, cap);
    return text;
}

} // namespace

const char* AdminKeyName(AdminKey key)
{
    return key >= 0 && key < kAdminKeyCount ? kKeyNames[key] : "";
}

const CAdminLevelFields& AdminLevelFields(AdminLevel level)
{
    return kLevelFields[level];
}

int AdminLevelBox(AdminLevel level)
{
    return kLevelBoxes[level];
}

int64_t ReadAdminCode(const std::string& text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos || text[i] < '0' || text[i] > '9')
        return kNoCode;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > UINT32_MAX)
            return kNoCode;
    }
    return value;
}

// ------------------------------------------------------------ settings file

bool CAdminSearchSettings::Save(const std::string& iniPath)
{
    CIniFile ini(iniPath);
    // A file that cannot be read would lose its other sections.
    if (!ini.Load())
        return false;
    for (int key = 0; key < kAdminSavedKeyCount; ++key)
        ini.SetString(kSection, kKeyNames[key], m_values[key]);
    return ini.Save();
}

void CAdminSearchSettings::Load(const std::string& iniPath)
{
    CIniFile ini(iniPath);
    if (!ini.Load())
        return;
    for (int key = 0; key < kAdminKeyCount; ++key)
        m_values[key] = ini.GetString(kSection, kKeyNames[key], m_values[key], kValueCap);
}

// ------------------------------------------------------------ levels

bool CAdminSearchSettings::LoadLevel(AdminLevel level, const CLayer& layer)
{
    CWaitCursor wait;
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& table = source.GetTable();
    const int nameField = FindNamedField(table, layer.GetIdField());
    if (nameField < 0)
        return false;
    const CAdminLevelFields& fields = kLevelFields[level];
    std::array<int, 3> codeFields{-1, -1, -1};
    for (size_t i = 0; i < codeFields.size(); ++i)
        if (fields.codes[i] != kNone)
            codeFields[i] = FindNamedField(table, m_values[fields.codes[i]]);
    const int textField = fields.textCode != kNone ? FindNamedField(table, m_values[fields.textCode]) : -1;

    CAdminLevelLists lists;
    const size_t expected = static_cast<size_t>(std::max(table.GetRecordCount(), 0));
    lists.names.reserve(expected);
    lists.records.reserve(expected);
    while (source.MoveNext()) {
        std::string name = FieldText(table, nameField, kNameCap);
        if (name.empty())
            continue;
        lists.names.push_back(std::move(name));
        lists.records.push_back(source.GetCurrentRecord());
        for (size_t i = 0; i < codeFields.size(); ++i)
            if (fields.codes[i] != kNone)
                lists.codes[i].push_back(codeFields[i] >= 0 ? ReadAdminCode(FieldText(table, codeFields[i], kNameCap))
                                                            : kNoCode);
        if (fields.textCode != kNone)
            // Blanks first: a right-aligned number would leave only them.
            lists.textCodes.push_back(FieldText(table, textField, kTextCodeCap));
    }
    m_lists[level] = std::move(lists);
    return true;
}

bool CAdminSearchSettings::LoadLevels(const CDrelDoc& document)
{
    for (const AdminLevel level : {kCountyLevel, kMunicipalityLevel, kWardLevel, kSettlementLevel}) {
        const CLayer* layer = document.Layers().FindByName(m_values[kLevelFields[level].layer]);
        if (!layer) {
            if (level == kCountyLevel || level == kMunicipalityLevel)
                return false;
            continue;
        }
        if (!LoadLevel(level, *layer))
            return false;
    }
    return true;
}

// ------------------------------------------------------------ the cascade

int64_t CAdminSearchSettings::ChosenIndex(const IToolbarBox& box)
{
    const int selection = box.GetCurSel();
    return selection < 0 ? -1 : static_cast<int64_t>(box.GetItemData(selection));
}

void CAdminSearchSettings::FinishLevelBox(IToolbarBox& box, AdminLevel level)
{
    box.Enable(box.GetCount() > 0);
    box.SetCurSel(box.AddString(Placeholder(level), -1));
}

void CAdminSearchSettings::FillCounties(CDrelDoc& document)
{
    IToolbarBox* counties = LevelBox(kCountyLevel);
    if (!counties)
        return;
    counties->ResetContent();
    if (IToolbarBox* municipalities = LevelBox(kMunicipalityLevel))
        municipalities->ResetContent();
    DocumentHost().SetAdminSearchBarSettings(this);
    if (m_lists[kMunicipalityLevel].names.empty())
        LoadLevels(document);
    if (IToolbarBox* house = MainToolbars().FindBox(kAdminHouseBox))
        house->Enable(!m_values[kAddressLayer].empty());
    const CAdminLevelLists& lists = m_lists[kCountyLevel];
    for (size_t i = 0; i < lists.size(); ++i)
        counties->AddString(lists.names[i], static_cast<intptr_t>(i));
    FinishLevelBox(*counties, kCountyLevel);
    FillMunicipalities(document);
}

void CAdminSearchSettings::FillMunicipalities(CDrelDoc& document)
{
    IToolbarBox* box = LevelBox(kMunicipalityLevel);
    const IToolbarBox* counties = LevelBox(kCountyLevel);
    if (!box || !counties)
        return;
    box->ResetContent();
    const CAdminLevelLists& counted = m_lists[kCountyLevel];
    const CAdminLevelLists& lists = m_lists[kMunicipalityLevel];
    const int64_t county = ChosenIndex(*counties);
    const bool all = county < 0 || static_cast<size_t>(county) >= counted.textCodes.size();
    for (size_t i = 0; i < lists.size(); ++i)
        if (all || lists.textCodes[i] == counted.textCodes[county])
            box->AddString(lists.names[i], static_cast<intptr_t>(i));
    FinishLevelBox(*box, kMunicipalityLevel);
    FillWards(document);
}

void CAdminSearchSettings::FillWards(CDrelDoc& document)
{
    IToolbarBox* box = LevelBox(kWardLevel);
    const IToolbarBox* municipalities = LevelBox(kMunicipalityLevel);
    if (!box || !municipalities)
        return;
    box->ResetContent();
    const std::vector<int64_t>& municipalityCodes = m_lists[kMunicipalityLevel].codes[kOwnCode];
    const CAdminLevelLists& lists = m_lists[kWardLevel];
    if (const int64_t chosen = ChosenIndex(*municipalities);
        chosen >= 0 && static_cast<size_t>(chosen) < municipalityCodes.size()) {
        const int64_t code = municipalityCodes[chosen];
        for (size_t i = 0; i < lists.size(); ++i)
            if (code != kNoCode && lists.codes[kWardMunicipality][i] == code)
                box->AddString(lists.names[i], static_cast<intptr_t>(i));
    }
    FinishLevelBox(*box, kWardLevel);
    FillSettlements(document);
}

void CAdminSearchSettings::FillSettlements(CDrelDoc& document)
{
    IToolbarBox* box = LevelBox(kSettlementLevel);
    const IToolbarBox* wards = LevelBox(kWardLevel);
    const IToolbarBox* municipalities = LevelBox(kMunicipalityLevel);
    if (!box || !wards || !municipalities)
        return;
    box->ResetContent();
    const CAdminLevelLists& lists = m_lists[kSettlementLevel];
    const auto addWhere = [&](int parent, int64_t code) {
        for (size_t i = 0; i < lists.size(); ++i)
            if (code != kNoCode && lists.codes[parent][i] == code)
                box->AddString(lists.names[i], static_cast<intptr_t>(i));
    };
    const std::vector<int64_t>& wardCodes = m_lists[kWardLevel].codes[kOwnCode];
    const std::vector<int64_t>& municipalityCodes = m_lists[kMunicipalityLevel].codes[kOwnCode];
    if (const int64_t ward = ChosenIndex(*wards); ward >= 0 && static_cast<size_t>(ward) < wardCodes.size())
        addWhere(kSettlementWard, wardCodes[ward]);
    else if (const int64_t municipality = ChosenIndex(*municipalities);
             municipality >= 0 && static_cast<size_t>(municipality) < municipalityCodes.size())
        addWhere(kSettlementMunicipality, municipalityCodes[municipality]);
    FinishLevelBox(*box, kSettlementLevel);
    // A single settlement is the choice at once.
    if (box->GetCount() == 2)
        box->SetCurSel(box->GetItemData(0) == -1 ? 1 : 0);
    FillStreets(document);
}

std::vector<int64_t> CAdminSearchSettings::ListedSettlementCodes(const IToolbarBox& box) const
{
    const std::vector<int64_t>& codes = m_lists[kSettlementLevel].codes[kOwnCode];
    std::vector<int64_t> listed;
    for (int i = 0; i < box.GetCount(); ++i)
        if (const intptr_t index = box.GetItemData(i); index >= 0 && static_cast<size_t>(index) < codes.size())
            if (codes[index] != kNoCode)
                listed.push_back(codes[index]);
    std::sort(listed.begin(), listed.end());
    return listed;
}

void CAdminSearchSettings::FillStreets(CDrelDoc& document)
{
    IToolbarBox* box = LevelBox(kStreetLevel);
    const IToolbarBox* settlements = LevelBox(kSettlementLevel);
    if (!box || !settlements)
        return;
    box->ResetContent();
    if (!m_streetsLoaded) {
        m_streetsLoaded = true;
        if (const CLayer* layer = document.Layers().FindByName(m_values[kStreetLayer]))
            LoadLevel(kStreetLevel, *layer);
    }
    const CAdminLevelLists& lists = m_lists[kStreetLevel];
    const std::vector<int64_t>& settlementCodes = m_lists[kSettlementLevel].codes[kOwnCode];
    const std::vector<int64_t>& streetSettlements = lists.codes[kStreetSettlement];
    if (const int64_t chosen = ChosenIndex(*settlements);
        chosen >= 0 && static_cast<size_t>(chosen) < settlementCodes.size()) {
        const int64_t code = settlementCodes[chosen];
        for (size_t i = 0; i < lists.size(); ++i)
            if (code != kNoCode && streetSettlements[i] == code)
                box->AddString(lists.names[i], static_cast<intptr_t>(i));
    } else if (settlements->GetCurSel() >= 0) {
        const std::vector<int64_t> listed = ListedSettlementCodes(*settlements);
        for (size_t i = 0; i < lists.size() && !listed.empty(); ++i)
            if (std::binary_search(listed.begin(), listed.end(), streetSettlements[i]))
                box->AddString(lists.names[i], static_cast<intptr_t>(i));
    }
    box->Enable(box->GetCount() > 0);
    box->SetText(Placeholder(kStreetLevel));
}

void CAdminSearchSettings::OnParametersChanged(CDrelDoc& document)
{
    document.SetModifiedFlag(true);
    for (CAdminLevelLists& lists : m_lists)
        lists = {};
    m_streetsLoaded = false;
    FillCounties(document);
}

// ------------------------------------------------------------ showing

void CAdminSearchSettings::ShowRecordOf(AdminLevel level, int64_t index, CDrelView& view) const
{
    const CAdminLevelLists& lists = m_lists[level];
    if (index < 0 || static_cast<size_t>(index) >= lists.size())
        return;
    if (CLayer* layer = view.GetDocument().Layers().FindByName(m_values[kLevelFields[level].layer]))
        layer->ShowRecord(lists.records[index], view, true);
}

void CAdminSearchSettings::ShowUnit(AdminLevel level, CDrelView& view)
{
    if (const IToolbarBox* box = LevelBox(level))
        ShowRecordOf(level, ChosenIndex(*box), view);
}

void CAdminSearchSettings::ShowStreet(CDrelView& view)
{
    IToolbarBox* box = LevelBox(kStreetLevel);
    if (!box)
        return;
    int entry = box->GetCurSel();
    if (entry < 0) {
        const std::string typed = box->GetText();
        std::vector<std::string> texts;
        for (int i = 0; i < box->GetCount(); ++i)
            texts.push_back(box->GetItemText(i));
        const auto exact = std::find(texts.begin(), texts.end(), typed);
        if (exact != texts.end()) {
            entry = static_cast<int>(exact - texts.begin());
        } else {
            const std::vector<int> candidates = FindNameCandidates(texts, typed);
            if (candidates.empty())
                return;
            std::vector<std::string> offered;
            for (const int candidate : candidates)
                offered.push_back(texts[candidate]);
            const int chosen = SearchDialogs().ChooseText(offered);
            if (chosen < 0 || static_cast<size_t>(chosen) >= candidates.size())
                return;
            entry = candidates[chosen];
            box->SetText(texts[entry]);
        }
    }
    ShowRecordOf(kStreetLevel, box->GetItemData(entry), view);
}
