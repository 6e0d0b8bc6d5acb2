#pragma once

// Layers of administrative units written for the tests and the benchmark:
// counties, municipalities, wards, settlements and streets, each record a
// small object of its own, with a name field and code fields.
#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "search/AdminSearchSettings.h"
#include "shell/MainToolbars.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/AddressBoxes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// One layer: its name, file, type and fields (the name field "NAME"
// first), and the rows as field texts in UTF-8 ("" leaves a field blank).
struct CAdminLayerData {
    std::string layer;
    std::string file;
    int type;
    std::vector<FieldSpec> fields;
    std::vector<std::vector<std::string>> rows;
};

// Record i lies at origin + (i * 10, 0): a point, a line of 8 or a
// square of 8.
inline bool WriteAdminLayerFile(const std::string& path, const CAdminLayerData& data, const CMapPoint& origin = {})
{
    CGdbSource source;
    std::vector<CDbfFieldInfo> fields;
    for (const FieldSpec& f : data.fields)
        fields.emplace_back().Set(f.name, f.type, static_cast<unsigned>(f.length), static_cast<unsigned>(f.decimals));
    fields.emplace_back().Set("", 0, 0, 0);
    if (!source.Create(path, data.type, fields.data()))
        return false;
    double x = origin.x;
    const double y = origin.y;
    for (const auto& row : data.rows) {
        bool appended = false;
        if (data.type == CLayer::kPoint) {
            appended = source.AppendPoint(CMapPoint(x, y), false);
        } else {
            std::vector<CMapPoint> points{{x, y}, {x + 8, y}};
            if (data.type == CLayer::kArea)
                points.insert(points.end(), {{x + 8, y + 8}, {x, y + 8}});
            CShape shape;
            shape.SetPoints(static_cast<int>(points.size()), points.data());
            appended = source.AppendShape(shape, false);
        }
        if (!appended)
            return false;
        CDbfTable& table = source.GetTable();
        for (size_t i = 0; i < row.size() && i < data.fields.size(); ++i)
            if (!row[i].empty())
                table.SetField(static_cast<int>(i), Utf8ToCp1257(row[i]));
        if (!table.WriteRecord())
            return false;
        x += 10;
    }
    return true;
}

inline std::unique_ptr<CLayer> MakeAdminLayer(const std::string& folder, const CAdminLayerData& data)
{
    auto layer = std::make_unique<CLayer>(Utf8ToCp1257(data.layer), folder + "/" + data.file, data.type);
    layer->SetIdField("NAME");
    return layer;
}

// Four counties (one nameless) whose codes stand right-aligned in a wide
// number field, five municipalities, four wards, six settlements (one
// without a ward) and streets, one of them in two records and one nameless.
inline std::vector<CAdminLayerData> AdminFixtureLayers()
{
    return {
        {"Apskritys", "apskritys.gdb", CLayer::kArea,
         {{"NAME", 'C', 30, 0}, {"AKODAS", 'N', 10, 0}},
         {{"Vilniaus apskr.", "1"}, {"Kauno apskr.", "2"}, {"", "3"}, {"Alytaus apskr.", "4"}}},
        {"Savivaldybės", "savivaldybes.gdb", CLayer::kArea,
         {{"NAME", 'C', 30, 0}, {"SKODAS", 'N', 6, 0}, {"AKODAS", 'N', 10, 0}},
         {{"Vilniaus m. sav.", "13", "1"},
          {"Vilniaus r. sav.", "41", "1"},
          {"Kauno m. sav.", "19", "2"},
          {"Kauno r. sav.", "52", "2"},
          {"Alytaus m. sav.", "11", "4"}}},
        {"Seniūnijos", "seniunijos.gdb", CLayer::kArea,
         {{"NAME", 'C', 30, 0}, {"SENKOD", 'N', 8, 0}, {"SKODAS", 'N', 6, 0}},
         {{"Antakalnio sen.", "1301", "13"},
          {"Žirmūnų sen.", "1302", "13"},
          {"Avižienių sen.", "4101", "41"},
          {"Centro sen.", "1901", "19"}}},
        {"Gyvenvietės", "gyvenvietes.gdb", CLayer::kPoint,
         {{"NAME", 'C', 30, 0}, {"GKODAS", 'N', 8, 0}, {"SKODAS", 'N', 6, 0}, {"SENKOD", 'N', 8, 0}},
         {{"Vilnius", "100", "13", "1301"},
          {"Naujoji Vilnia", "101", "13", "1302"},
          {"Pavilnys", "102", "13", "1302"},
          {"Avižieniai", "200", "41", "4101"},
          {"Kaunas", "300", "19", "1901"},
          {"Garliava", "400", "52", ""}}},
        {"Gatvių ašys", "gatves.gdb", CLayer::kLine,
         {{"NAME", 'C', 30, 0}, {"GATKOD", 'N', 8, 0}, {"GKODAS", 'N', 8, 0}},
         {{"Gedimino pr.", "1", "100"},
          {"Pylimo g.", "2", "100"},
          {"Pylimo g.", "3", "100"},
          {"Vilniaus g.", "4", "101"},
          {"Lauko g.", "5", "102"},
          {"Vilniaus g.", "6", "102"},
          {"Laisvės al.", "7", "300"},
          {"Pievų g.", "8", "200"},
          {"", "9", "100"}}},
    };
}

// The settings that name the fixture's layers and fields, as [AdminSearch]
// holds them (UTF-8 values).
inline std::vector<std::pair<AdminKey, std::string>> AdminFixtureKeys()
{
    return {
        {kApskLayer, "Apskritys"},    {kSavLayer, "Savivaldybės"},    {kSenLayer, "Seniūnijos"},
        {kPlaceLayer, "Gyvenvietės"}, {kStreetLayer, "Gatvių ašys"},        {kApskCodeField, "AKODAS"},
        {kSavCodeField, "SKODAS"},    {kSenCodeField, "SENKOD"},       {kPlaceCodeField, "GKODAS"},
        {kStreetCodeField, "GATKOD"}, {kSavApskCodeField, "AKODAS"},   {kSenSavCodeField, "SKODAS"},
        {kPlaceSavCodeField, "SKODAS"}, {kPlaceSenCodeField, "SENKOD"}, {kStreetPlaceCodeField, "GKODAS"},
    };
}

inline void SetAdminFixtureKeys(CAdminSearchSettings& settings)
{
    for (const auto& [key, value] : AdminFixtureKeys())
        settings.Set(key, Utf8ToCp1257(value));
}

// The administrative-search bar's boxes in memory, sorted as the real
// combos are, or in the order entries come. Installed for its lifetime.
class CAdminBar : public IMainToolbars {
public:
    explicit CAdminBar(bool sorted = true)
        : boxes{{30455, sorted}, {30443, sorted}, {30445, sorted}, {30447, sorted}, {30449, sorted}, {30451, false}}
    {
        SetMainToolbars(this);
    }
    ~CAdminBar() override { SetMainToolbars(nullptr); }
    IToolbarBox* FindBox(int id) override
    {
        for (CFakeToolbarBox& box : boxes)
            if (box.GetId() == id)
                return &box;
        return nullptr;
    }
    CFakeToolbarBox& Box(AdminLevel level) { return static_cast<CFakeToolbarBox&>(*FindBox(AdminLevelBox(level))); }
    CFakeToolbarBox& House() { return static_cast<CFakeToolbarBox&>(*FindBox(kAdminHouseBox)); }

    std::vector<CFakeToolbarBox> boxes;
};
