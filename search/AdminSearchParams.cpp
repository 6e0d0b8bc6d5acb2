#include "search/AdminSearchParams.h"

#include "core/DbfFieldInfo.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Collation.h"
#include "platform/Strings.h"

#include <algorithm>

namespace {

constexpr int kNoneText = 3000;

constexpr CAdminLayerRow kRows[] = {
    {1012, "Apskričių sluoksnis:", {CLayer::kArea, -1}, kApskLayer, 1055,
     {{{"Apskrities kodas:", kApskCodeField}, {"", kAdminKeyCount}, {"", kAdminKeyCount}}}, true},
    {1021, "Savivaldybių sluoksnis:", {CLayer::kArea, -1}, kSavLayer, 1056,
     {{{"Savivaldybės kodas:", kSavCodeField}, {"Apskrities kodas:", kSavApskCodeField}, {"", kAdminKeyCount}}},
     true},
    {1022, "Seniūnijų sluoksnis:", {CLayer::kArea, -1}, kSenLayer, 1089,
     {{{"Seniūnijos kodas:", kSenCodeField}, {"Savivaldybės kodas:", kSenSavCodeField}, {"", kAdminKeyCount}}},
     true},
    {1024, "Gyvenviečių sluoksnis:", {CLayer::kArea, CLayer::kPoint}, kPlaceLayer, 1019,
     {{{"Gyvenvietės kodas:", kPlaceCodeField},
       {"Savivaldybės kodas:", kPlaceSavCodeField},
       {"Seniūnijos kodas:", kPlaceSenCodeField}}},
     true},
    {1025, "Gatvių sluoksnis:", {CLayer::kLine, -1}, kStreetLayer, 1020,
     {{{"Gatvės kodas:", kStreetCodeField}, {"Gyvenvietės kodas:", kStreetPlaceCodeField}, {"", kAdminKeyCount}}},
     true},
    {1026, "Adresų sluoksnis:", {CLayer::kPoint, -1}, kAddressLayer, 1092,
     {{{"", kAdminKeyCount}, {"", kAdminKeyCount}, {"", kAdminKeyCount}}}, false},
};

} // namespace

std::span<const CAdminLayerRow> AdminLayerRows()
{
    return kRows;
}

std::vector<std::string> AdminLayerChoices(const CDrelDoc& document, const CAdminLayerRow& row)
{
    std::vector<std::string> names;
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        const CLayer* layer = document.GetLayer(i);
        if (layer && !layer->HasFlag(CLayer::kGroup) &&
            std::find(row.types.begin(), row.types.end(), layer->GetType()) != row.types.end())
            names.push_back(layer->GetName());
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return CompareLithuanian(a, b) < 0; });
    names.insert(names.begin(), LoadString(kNoneText));
    return names;
}

std::vector<std::string> AdminFieldChoices(const CLayer& layer)
{
    std::vector<std::string> names{LoadString(kNoneText)};
    std::vector<CDbfFieldInfo> fields;
    if (layer.ReadFieldList(fields))
        for (const CDbfFieldInfo& field : fields)
            if (field.length > 0 && field.name[0] != '\0')
                names.emplace_back(field.name);
    return names;
}

int AdminChoiceIndex(const std::vector<std::string>& choices, const std::string& stored)
{
    if (stored.empty())
        return 0;
    const auto it = std::find(choices.begin() + (choices.empty() ? 0 : 1), choices.end(), stored);
    return it == choices.end() ? 0 : static_cast<int>(it - choices.begin());
}

std::string AdminStoredName(const std::string& chosen)
{
    return chosen == LoadString(kNoneText) ? std::string() : chosen;
}
