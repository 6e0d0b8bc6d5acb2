#pragma once

#include "core/MapRect.h"
#include "settings/LayerSheetRules.h"

#include <string>
#include <vector>

class CDrelDoc;

// ------------------------------------------------------------ general page

constexpr int kMapNameLength = 80;
// The units combos offer "Laipsniai" (0) and "Metrai" (1).
constexpr int kUnitChoices = 2;
// The optimal scale's denominator: a scale the views can zoom to.
constexpr double kMinOptimScale = 1;
constexpr double kMaxOptimScale = 1e9;

// What the general page edits, as the document holds it.
struct CMapDefValues {
    std::string name;
    CMapRect limits;
    // 0 degrees, 1 metres; -1 for the units the combo does not offer
    // (kilometres, nautical miles), which stay while nothing is chosen.
    int units = -1;
    double optimScale = 10000;
    int autoRecalcMapExtent = 1;
    int autoLoad = 0;
};

CMapDefValues ReadMapDefValues(const CDrelDoc& document);
// Into the document. A limit that reads as the stored one shows stays
// exactly the stored one. The units change only when another unit was
// chosen, and only then the coordinate system: 1 for metres, 0 for
// degrees; a map in another grid keeps its own while its units stay.
// A changed extent is told to the views.
void WriteMapDefValues(const CMapDefValues& values, CDrelDoc& document);
// The sides of the empty extent are the largest doubles, which no field
// can show: such a side shows as an empty field, and an empty field keeps it.
bool IsLimitShown(double side);
// "Perskaičiuoti": the union of the layers' extents into the limits when
// there is one (left <= right, top >= bottom); false leaves them.
bool RecalcMapLimits(CDrelDoc& document, CMapRect& limits);

// The units the new-map question offers: the last chosen in the run,
// degrees at first.
int GetNewMapUnits();
void SetNewMapUnits(int units);

// ------------------------------------------------------------ layer pages

// The pages that name a layer of the map and its fields.
enum class MapLayerPage : int { kRoutes, kStreets, kAddresses };

// The layer type a page lists (line for routes and streets, point for
// addresses) and how many field combos it has (6, 3, 6).
int MapLayerPageType(MapLayerPage page);
int MapLayerPageFieldCount(MapLayerPage page);

// One layer page: the layer combo ("<Nėra>" and the layers of the page's
// type in document order), the field combos of the layer chosen ("<Nėra>"
// and the fields by alias), and the texts the page stores (the layer's
// name and the fields' names), first the document's.
class CMapLayerChoice {
public:
    CMapLayerChoice(MapLayerPage page, const CDrelDoc& document);

    MapLayerPage GetPage() const { return m_page; }
    // The stored texts: as the document had them until the page was left.
    const std::string& GetLayer() const { return m_layer; }
    const std::vector<std::string>& GetFields() const { return m_fields; }

    // When the page is first shown: the combos filled, the stored layer
    // chosen (letter case ignored; none for an empty name, no selection
    // for a layer that is gone) and the stored fields chosen in it.
    void Fill();
    const std::vector<std::string>& GetLayerItems() const { return m_layerItems; }
    int GetLayerSelection() const { return m_layerSelection; }
    // Another layer chosen: its fields listed, the fields chosen so far
    // chosen again where it has them, "<Nėra>" where it has them not.
    void ChooseLayer(int index);
    // "<Nėra>" only, disabled, while no layer is chosen.
    bool FieldsEnabled() const { return m_fieldsEnabled; }
    std::vector<std::string> GetFieldItems() const;
    // -1 for a stored field the layer does not have.
    int GetFieldSelection(int field) const;
    void ChooseField(int field, int index);

    // Leaving the page: the choices become the stored texts, "<Nėra>" and
    // no selection an empty one; fields by their names, not their aliases.
    void Leave();
    // The stored texts into the document.
    void Apply(CDrelDoc& document) const;

private:
    void RefreshFields(const std::vector<std::string>& names);

    MapLayerPage m_page;
    const CDrelDoc& m_document;
    std::string m_none;
    std::string m_layer;
    std::vector<std::string> m_fields;
    std::vector<std::string> m_layerItems;
    int m_layerSelection = 0;
    std::vector<CFieldChoice> m_choices;
    std::vector<int> m_fieldSelections;
    bool m_fieldsEnabled = false;
};
