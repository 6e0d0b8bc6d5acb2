#include "settings/MapSheetRules.h"

#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "shell/FieldText.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

constexpr int kNoneText = 3000;

int g_newMapUnits = kUnitsDegrees;

// What a layer page edits in the document's settings.
struct CLayerPageSettings {
    int type;
    std::string CMapSettings::*layer;
    std::span<std::string CMapSettings::* const> fields;
};

constexpr std::string CMapSettings::* kRouteFields[] = {
    &CMapSettings::fromNodeField, &CMapSettings::toNodeField, &CMapSettings::arcLengthField,
    &CMapSettings::dirMaskField,  &CMapSettings::weightField, &CMapSettings::significanceField,
};
constexpr std::string CMapSettings::* kStreetFields[] = {
    &CMapSettings::streetNameField,
    &CMapSettings::codeField,
    &CMapSettings::cityNameField,
};
constexpr std::string CMapSettings::* kAddressFields[] = {
    &CMapSettings::streetCodeField,  &CMapSettings::numField,  &CMapSettings::letterField,
    &CMapSettings::streetCodeField2, &CMapSettings::numField2, &CMapSettings::letterField2,
};

const CLayerPageSettings& PageSettings(MapLayerPage page)
{
    static const std::array<CLayerPageSettings, 3> pages = {{
        {CLayer::kLine, &CMapSettings::routesLayer, kRouteFields},
        {CLayer::kLine, &CMapSettings::streetsLayer, kStreetFields},
        {CLayer::kPoint, &CMapSettings::addressesLayer, kAddressFields},
    }};
    return pages[static_cast<size_t>(page)];
}

// The stored value when the edited one is what the field showed of it:
// the text "%.15g" leaves would otherwise move every limit a little.
double KeptReal(double stored, double edited)
{
    double shown = 0;
    return ParseRealField(FormatRealField(stored), shown) && shown == edited ? stored : edited;
}

} // namespace

// ------------------------------------------------------------ general page

CMapDefValues ReadMapDefValues(const CDrelDoc& document)
{
    const CMapSettings& s = document.Settings();
    CMapDefValues values;
    values.name = s.name;
    values.limits = s.limits;
    values.units = s.mapUnits >= 0 && s.mapUnits < kUnitChoices ? s.mapUnits : -1;
    values.optimScale = s.optimScale;
    values.autoRecalcMapExtent = s.autoRecalcMapExtent;
    values.autoLoad = s.autoLoad;
    return values;
}

void WriteMapDefValues(const CMapDefValues& values, CDrelDoc& document)
{
    CMapSettings& s = document.Settings();
    s.name = values.name;
    const CMapRect before = s.limits;
    s.limits = CMapRect(KeptReal(before.left, values.limits.left), KeptReal(before.top, values.limits.top),
                        KeptReal(before.right, values.limits.right),
                        KeptReal(before.bottom, values.limits.bottom));
    s.optimScale = KeptReal(s.optimScale, values.optimScale);
    s.autoRecalcMapExtent = values.autoRecalcMapExtent;
    s.autoLoad = values.autoLoad;
    if (values.units >= 0 && values.units < kUnitChoices && values.units != s.mapUnits) {
        s.mapUnits = values.units;
        document.SetCoordSystem(values.units == kUnitsDegrees ? 0 : 1);
    }
    if (!(s.limits == before))
        document.UpdateAllViews(kHintOverview);
}

bool IsLimitShown(double side)
{
    double shown = 0;
    return ParseRealField(FormatRealField(side), shown);
}

bool RecalcMapLimits(CDrelDoc& document, CMapRect& limits)
{
    CMapRect extent;
    document.GetLayersExtent(extent);
    if (!(extent.left <= extent.right && extent.top >= extent.bottom))
        return false;
    limits = extent;
    return true;
}

int GetNewMapUnits()
{
    return g_newMapUnits;
}

void SetNewMapUnits(int units)
{
    g_newMapUnits = units;
}

// ------------------------------------------------------------ layer pages

int MapLayerPageType(MapLayerPage page)
{
    return PageSettings(page).type;
}

int MapLayerPageFieldCount(MapLayerPage page)
{
    return static_cast<int>(PageSettings(page).fields.size());
}

CMapLayerChoice::CMapLayerChoice(MapLayerPage page, const CDrelDoc& document)
    : m_page(page), m_document(document), m_none(LoadString(kNoneText))
{
    const CLayerPageSettings& settings = PageSettings(page);
    const CMapSettings& s = document.Settings();
    m_layer = s.*settings.layer;
    for (const auto field : settings.fields)
        m_fields.push_back(s.*field);
    m_fieldSelections.assign(m_fields.size(), 0);
}

void CMapLayerChoice::Fill()
{
    m_layerItems = {m_none};
    const int type = MapLayerPageType(m_page);
    for (int i = 0; i < m_document.GetLayerCount(); ++i) {
        const CLayer* layer = m_document.GetLayer(i);
        if (!layer->HasFlag(CLayer::kGroup) && layer->GetType() == type)
            m_layerItems.push_back(layer->GetName());
    }
    m_layerSelection = m_layer.empty() ? 0 : -1;
    for (size_t i = 1; i < m_layerItems.size() && !m_layer.empty(); ++i)
        if (EqualsNoCase1257(m_layerItems[i], m_layer)) {
            m_layerSelection = static_cast<int>(i);
            break;
        }
    RefreshFields(m_fields);
}

void CMapLayerChoice::ChooseLayer(int index)
{
    std::vector<std::string> names;
    for (const int selection : m_fieldSelections)
        names.push_back(selection > 0 ? m_choices[static_cast<size_t>(selection - 1)].name : std::string());
    m_layerSelection = index >= 0 && index < static_cast<int>(m_layerItems.size()) ? index : -1;
    RefreshFields(names);
    for (int& selection : m_fieldSelections)
        selection = std::max(selection, 0);
}

void CMapLayerChoice::RefreshFields(const std::vector<std::string>& names)
{
    m_choices.clear();
    m_fieldSelections.assign(m_fields.size(), 0);
    const CLayer* layer =
        m_layerSelection > 0 ? m_document.Layers().FindByName(m_layerItems[static_cast<size_t>(m_layerSelection)])
                             : nullptr;
    m_fieldsEnabled = layer != nullptr;
    if (!layer)
        return;
    m_choices = ChoosableFields(*layer);
    for (size_t f = 0; f < names.size(); ++f) {
        if (names[f].empty())
            continue;
        const std::string shown = layer->GetFieldAlias(names[f]);
        m_fieldSelections[f] = -1;
        for (size_t c = 0; c < m_choices.size(); ++c)
            if (EqualsNoCase1257(m_choices[c].alias, shown)) {
                m_fieldSelections[f] = static_cast<int>(c + 1);
                break;
            }
    }
}

std::vector<std::string> CMapLayerChoice::GetFieldItems() const
{
    std::vector<std::string> items = {m_none};
    for (const CFieldChoice& choice : m_choices)
        items.push_back(choice.alias);
    return items;
}

int CMapLayerChoice::GetFieldSelection(int field) const
{
    return field >= 0 && field < static_cast<int>(m_fieldSelections.size())
               ? m_fieldSelections[static_cast<size_t>(field)]
               : -1;
}

void CMapLayerChoice::ChooseField(int field, int index)
{
    if (field < 0 || field >= static_cast<int>(m_fieldSelections.size()))
        return;
    m_fieldSelections[static_cast<size_t>(field)] =
        index >= 0 && index <= static_cast<int>(m_choices.size()) ? index : -1;
}

void CMapLayerChoice::Leave()
{
    m_layer = m_layerSelection > 0 ? m_layerItems[static_cast<size_t>(m_layerSelection)] : std::string();
    for (size_t f = 0; f < m_fields.size(); ++f) {
        const int selection = m_fieldSelections[f];
        m_fields[f] = selection > 0 ? m_choices[static_cast<size_t>(selection - 1)].name : std::string();
    }
}

void CMapLayerChoice::Apply(CDrelDoc& document) const
{
    const CLayerPageSettings& settings = PageSettings(m_page);
    CMapSettings& s = document.Settings();
    s.*settings.layer = m_layer;
    for (size_t f = 0; f < m_fields.size(); ++f)
        s.*settings.fields[f] = m_fields[f];
}
