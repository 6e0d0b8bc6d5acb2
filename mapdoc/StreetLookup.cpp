#include "mapdoc/StreetLookup.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/TextOverlay.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr int kEnterStreet = 111;
constexpr int kNoNameField = 1004;
constexpr int kFieldMissing = 1008;
constexpr int kNoAddressFields = 1012;

// Boxes of the administrative-search bar whose choice refills the next one.
constexpr int kCountyBox = 30455;
constexpr int kMunicipalityBox = 30443;
constexpr int kWardBox = 30445;
constexpr int kSettlementBox = 30447;

constexpr size_t kFieldTextCap = 256;
// The letter of a number field without a letter field stands within its first six characters.
constexpr size_t kNumberTextCap = 7;

std::string FieldText(const CDbfTable& table, int field, size_t cap = kFieldTextCap)
{
    std::string text;
    if (field >= 0)
        table.GetFieldText(field, text, cap);
    return text;
}

int FindNamedField(const CDbfTable& table, const std::string& name)
{
    return name.empty() ? -1 : table.FindField(name);
}

// One address of a record: its street code, number and letter fields.
struct CAddressFields {
    int code = -1;
    int number = -1;
    int letter = -1;
};

bool ReadAddress(const CDbfTable& table, const CAddressFields& fields, uint32_t& code, uint32_t& key)
{
    if (fields.code < 0 || fields.number < 0)
        return false;
    const long long value = AtollC(FieldText(table, fields.code));
    if (value < 1 || value > UINT32_MAX)
        return false;
    code = static_cast<uint32_t>(value);
    const std::string number = FieldText(table, fields.number, kNumberTextCap);
    int letter = 0;
    if (fields.letter >= 0) {
        const std::string text = FieldText(table, fields.letter);
        if (!text.empty())
            letter = HouseLetterIndex(text[0]);
    } else if (table.GetFieldType(fields.number) == 'C' && !number.empty()) {
        const char last = number.back();
        if ((last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z'))
            letter = HouseLetterIndex(last);
    }
    return MakeAddressKey(AtollC(number), letter, key);
}

// The layer's data through the reader; null when there is no layer or its data do not open.
CFeatureSource* OpenLayerData(CLayer* layer, CLayerReader& reader)
{
    return layer && reader.OpenLayer(layer) ? reader.GetSource() : nullptr;
}

} // namespace

bool CStreetLookup::LoadStreetNames()
{
    CLayer* layer = m_document.GetStreetsLayer();
    CWaitCursor wait;
    CLayerReader reader;
    CFeatureSource* data = OpenLayerData(layer, reader);
    if (!data)
        return false;
    CFeatureSource& source = *data;
    const CDbfTable& table = source.GetTable();
    const int nameField = FindNamedField(table, layer->GetIdField());
    if (nameField < 0) {
        AppMessageBox(kNoNameField);
        return false;
    }
    const int cityField = FindNamedField(table, m_document.Settings().cityNameField);

    m_lists.streetNames.clear();
    m_lists.streetRecords.clear();
    m_lists.streetCities.clear();
    m_lists.cities.clear();
    std::string previousCity;
    int32_t city = -1;
    while (source.MoveNext()) {
        std::string name = FieldText(table, nameField);
        if (name.empty())
            continue;
        std::string cityName = FieldText(table, cityField);
        if (city < 0 || cityName != previousCity) {
            // Records of one city tend to stand together; the list is searched from its end.
            auto& cities = m_lists.cities;
            auto it = std::find_if(cities.rbegin(), cities.rend(),
                                   [&](const std::string& c) { return EqualsNoCase1257(c, cityName); });
            if (it == cities.rend()) {
                cities.push_back(cityName);
                city = static_cast<int32_t>(cities.size() - 1);
            } else {
                city = static_cast<int32_t>(cities.rend() - it - 1);
            }
            previousCity = std::move(cityName);
        }
        m_lists.streetNames.push_back(std::move(name));
        m_lists.streetRecords.push_back(source.GetCurrentRecord());
        m_lists.streetCities.push_back(city);
    }
    return true;
}

bool CStreetLookup::FillCityStreetCombos(bool streetsOnly)
{
    IDocumentHost& host = DocumentHost();
    IToolbarBox* streets = host.GetAddressBox(AddressBox::kStreet);
    if (!streets)
        return false;
    const CMapSettings& settings = m_document.Settings();
    streets->ResetContent();
    host.EnableAddressBox(AddressBox::kHouseNumber,
                          !settings.streetsLayer.empty() && !settings.addressesLayer.empty());
    IToolbarBox* cities = host.GetAddressBox(AddressBox::kCity);

    if (streetsOnly) {
        AddStreetsToBox(cities && cities->GetCurSel() >= 0 ? cities->GetItemData(cities->GetCurSel()) : -2);
    } else {
        if (cities) {
            cities->ResetContent();
            cities->SetOwnerDocument(&m_document);
        }
        streets->SetOwnerDocument(&m_document);
        host.EnableAddressBox(AddressBox::kCity, !settings.cityNameField.empty());
        host.EnableAddressBox(AddressBox::kStreet, !settings.streetsLayer.empty());
        if (!settings.cityNameField.empty()) {
            if (m_lists.cities.empty())
                LoadStreetNames();
            if (cities) {
                for (size_t i = 0; i < m_lists.cities.size(); ++i)
                    cities->AddString(m_lists.cities[i], static_cast<intptr_t>(i));
                if (cities->GetCount() > 0)
                    cities->SetCurSel(0);
            }
            AddStreetsToBox(cities && cities->GetCurSel() >= 0 ? cities->GetItemData(cities->GetCurSel()) : -2);
        } else if (!settings.streetsLayer.empty()) {
            AddNamedRecordsToBox();
        }
    }
    streets->SetText(LoadString(kEnterStreet));
    return streets->GetCount() > 0;
}

void CStreetLookup::AddStreetsToBox(int64_t city)
{
    std::vector<CNameEntry> items;
    for (size_t i = 0; i < m_lists.streetNames.size(); ++i)
        if (m_lists.streetCities[i] == city)
            items.push_back({m_lists.streetNames[i], m_lists.streetRecords[i]});
    MergeEqualNames(items);
}

void CStreetLookup::AddNamedRecordsToBox()
{
    std::vector<CNameEntry> items;
    if (CLayer* layer = m_document.GetStreetsLayer()) {
        CWaitCursor wait;
        CLayerReader reader;
        if (reader.OpenLayer(layer)) {
            CFeatureSource& source = *reader.GetSource();
            const int nameField = FindNamedField(source.GetTable(), layer->GetIdField());
            if (nameField < 0) {
                AppMessageBox(kNoNameField);
            } else {
                while (source.MoveNext())
                    if (std::string name = FieldText(source.GetTable(), nameField); !name.empty())
                        items.push_back({std::move(name), source.GetCurrentRecord()});
            }
        }
    }
    MergeEqualNames(items);
}

void CStreetLookup::MergeEqualNames(std::vector<CNameEntry>& items)
{
    // The search treats the records of one name as one street.
    SortNameEntries(items);
    m_lists.merged.clear();
    FoldEqualNames(items, &m_lists.merged);
    if (IToolbarBox* streets = DocumentHost().GetAddressBox(AddressBox::kStreet))
        for (const CNameEntry& item : items)
            streets->AddString(item.text, item.record);
}

bool CStreetLookup::LoadAddressTable(CAddressTable& table, int64_t streetCode)
{
    table.clear();
    CLayerReader reader;
    CFeatureSource* data = OpenLayerData(m_document.GetAddressesLayer(), reader);
    if (!data)
        return false;
    CFeatureSource& source = *data;
    const CMapSettings& s = m_document.Settings();
    const CDbfTable& fields = source.GetTable();
    const CAddressFields sets[2] = {
        {FindNamedField(fields, s.streetCodeField), FindNamedField(fields, s.numField),
         FindNamedField(fields, s.letterField)},
        {FindNamedField(fields, s.streetCodeField2), FindNamedField(fields, s.numField2),
         FindNamedField(fields, s.letterField2)},
    };
    if (sets[0].code < 0 || sets[0].number < 0)
        return false;
    CWaitCursor wait;
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        const CDbfTable* record = source.GetRecordTable(source.GetCurrentRecord());
        if (!record)
            continue;
        for (const CAddressFields& set : sets) {
            uint32_t code, key;
            if (!ReadAddress(*record, set, code, key))
                continue;
            // A one-street table keeps only that street, not the other street of a corner house.
            if (streetCode >= 1 && code != streetCode)
                continue;
            table.push_back({point, code, key});
        }
    }
    SortAddressTable(table);
    return true;
}

bool CStreetLookup::CollectStreetAddresses(int64_t streetCode, std::string_view text, CAddressResult& result)
{
    result = CAddressResult();
    if (m_document.Settings().addressesLayer.empty() || streetCode < 1 || streetCode > UINT32_MAX)
        return false;
    CAddressTable table;
    if (!LoadAddressTable(table, streetCode))
        return false;
    return FindAddress(table, static_cast<uint32_t>(streetCode), text, result);
}

void CStreetLookup::LabelStreetAddresses(int64_t streetCode, CDrelView& view)
{
    const CMapSettings& s = m_document.Settings();
    if (streetCode < 1 || s.addressesLayer.empty())
        return;
    CLayer* layer = m_document.GetAddressesLayer();
    CLayerReader reader;
    CFeatureSource* data = OpenLayerData(layer, reader);
    if (!data)
        return;
    CFeatureSource& source = *data;
    const CDbfTable& fields = source.GetTable();
    const int code = FindNamedField(fields, s.streetCodeField);
    const int number = FindNamedField(fields, s.numField);
    if (code < 0 || number < 0) {
        if (!s.streetCodeField.empty() && !s.numField.empty())
            AppMessageBox(LoadStringArgs(kFieldMissing, layer->GetName(), code < 0 ? s.streetCodeField : s.numField),
                          MB_OK, kFieldMissing);
        else
            AppMessageBox(kNoAddressFields);
        return;
    }
    const int letter = FindNamedField(fields, s.letterField);
    const int code2 = FindNamedField(fields, s.streetCodeField2);
    const int number2 = FindNamedField(fields, s.numField2);
    const int letter2 = FindNamedField(fields, s.letterField2);
    CWaitCursor wait;
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        const CDbfTable* record = source.GetRecordTable(source.GetCurrentRecord());
        if (!record)
            continue;
        std::string label;
        if (AtollC(FieldText(*record, code)) == streetCode)
            label = FieldText(*record, number) + FieldText(*record, letter);
        else if (code2 >= 0 && AtollC(FieldText(*record, code2)) == streetCode)
            label = FieldText(*record, number2) + FieldText(*record, letter2);
        else
            continue;
        view.AddOverlay(std::make_unique<CTextOverlay>(point, std::move(label), 0));
    }
}

int64_t CStreetLookup::GetStreetCode(int record)
{
    const std::string& field = m_document.Settings().codeField;
    if (field.empty())
        return 0;
    CLayer* layer = m_document.GetStreetsLayer();
    CLayerReader reader;
    CFeatureSource* data = OpenLayerData(layer, reader);
    if (!data)
        return 0;
    CFeatureSource& source = *data;
    const int index = source.GetTable().FindField(field);
    if (index < 0) {
        AppMessageBox(LoadStringArgs(kFieldMissing, layer->GetName(), field), MB_OK, kFieldMissing);
        return 0;
    }
    const CDbfTable* table = source.GetRecordTable(record);
    return table ? AtollC(FieldText(*table, index)) : 0;
}

void CStreetLookup::OnMapFrameActivate(bool active)
{
    if (!active)
        return;
    IDocumentHost& host = DocumentHost();
    if (IToolbarBox* streets = host.GetAddressBox(AddressBox::kStreet);
        streets && streets->GetOwnerDocument() != &m_document)
        FillCityStreetCombos(false);
    IAdminSearchSettings* admin = m_document.GetAdminSearchSettings();
    if (admin && host.HasAdminSearchBar() && host.GetAdminSearchBarSettings() != admin)
        admin->FillCounties(m_document);
    m_document.FillBookmarkCombo();
}

void CStreetLookup::OnAdminComboSelChange(int id)
{
    IAdminSearchSettings* admin = m_document.GetAdminSearchSettings();
    if (!admin)
        return;
    switch (id) {
    case kCountyBox:
        admin->FillMunicipalities(m_document);
        break;
    case kMunicipalityBox:
        admin->FillWards(m_document);
        break;
    case kWardBox:
        admin->FillSettlements(m_document);
        break;
    case kSettlementBox:
        admin->FillStreets(m_document);
        break;
    default:
        break;
    }
}
