#pragma once

#include "search/CalcParams.h"
#include "search/PromptRules.h"
#include "search/WriteCoordsRules.h"

#include <string>

class CDbfTable;
class CDrelDoc;
class CLayer;
struct CCoordGridParams;
struct CStreetBlockChoice;
struct CTopologyOptions;

// The layers and the operation code (geoproc/Overlay.h) of an overlay.
struct COverlayChoice {
    CLayer* source = nullptr;
    CLayer* overlaying = nullptr;
    int code = 0;
};

// What dialog 30807 "Sluoksnio pritraukimas" chose: the layer snapped,
// the layer snapped to, the tolerance in metres, what is snapped (an item
// of ESnapWhat) and to what (ESnapToWhat; geoproc/SnapToLayer.h).
struct CSnapLayerChoice {
    CLayer* source = nullptr;
    CLayer* target = nullptr;
    double tolerance = 1.0;
    int what = 1;
    int toWhat = 3;
};

// The key fields of an attribute import and whether the imported text
// is converted from the DOS code page.
struct CImportKeys {
    std::string layerKey;
    std::string importKey;
    bool dosText = false;
};

// The layers of a comparison and its mode (0 geometry, 1 geometry and
// attributes).
struct CCompareChoice {
    CLayer* first = nullptr;
    CLayer* second = nullptr;
    int mode = 0;
};

// The questions the layer operations ask, answered by the dialogs of
// geoproc/widgets in the program; without them every question counts as
// cancelled. Tests install their own answers. True on OK.
class IGeoprocDialogs {
public:
    virtual ~IGeoprocDialogs() = default;
    // Dialog 311 "Rezultatų sluoksnis": 0 a new layer, 1 the source layer.
    virtual bool AskResultLayer(int& choice) { return false; }
    // Dialog 30771 "Buferinių zonų skaičiavimas" for the layer: the radius
    // in kilometres, from its own last one.
    virtual bool AskLayerBuffer(const CLayer& layer, double& radius) { return false; }
    // Dialog 280 "Buferinės zonos skaičiavimas": the zone around an area,
    // from the type given (CShape::kBufferBand, kBufferGrow, kBufferShrink).
    virtual bool AskBufferType(int& type) { return false; }
    // Dialog 30814 "Topologijos kūrimas", from the options given.
    virtual bool AskTopology(CTopologyOptions& options) { return false; }
    // Dialog 287 "Tolerancija": a tolerance in metres, from the one given.
    virtual bool AskTolerance(double& metres) { return false; }
    // Dialog 288 "Sluoksnių perklojimas" over the document's layers, the
    // active one (or none) offered as the source when no name is
    // remembered.
    virtual bool AskOverlay(CDrelDoc& document, CLayer* active, COverlayChoice& choice) { return false; }
    // Dialog 312 "Klasifikavimo laukai": a field of the points' and of the
    // areas' layer, by name.
    virtual bool AskClassFields(const CLayer& points, const CLayer& areas, std::string& pointField,
                                std::string& areaField)
    {
        return false;
    }
    // Dialog 30801 "Gretimų objektų apjungimas": the names of the layer's
    // key fields joined by TAB (empty for none).
    virtual bool AskMergeFields(const CLayer& layer, std::string& fieldNames) { return false; }
    // Dialog 275 "Skaičiavimo parametrai" over the table, in params' mode.
    virtual bool AskCalcParams(const CDbfTable& table, CCalcParams& params) { return false; }
    // Dialog 30777 (points) or 30778 (lines) over the table.
    virtual bool AskWriteCoords(const CDbfTable& table, bool lines, CWriteCoordsRules::Choice& choice) { return false; }
    // Dialog 316 "Importavimo parametrai" on the file: the layer linked,
    // the active one offered, and the mode (0 data joined to each object,
    // 1 an object for each record).
    virtual bool AskImportParams(CDrelDoc& document, CLayer* active, const std::string& path, CLayer*& layer,
                                 int& mode)
    {
        return false;
    }
    // Dialog 30784 "Duomenų importas" over both tables.
    virtual bool AskImportKeys(const CDbfTable& layerTable, const CDbfTable& importTable, CImportKeys& keys)
    {
        return false;
    }
    // Dialog 315 "Informacija apie importą": the count and the values as shown.
    virtual void ShowImportReport(const std::string& skipped, const std::string& values) {}
    // Dialog 30799 "Sluoksniai": one of the document's line layers.
    virtual bool AskLayerChoice(CDrelDoc& document, CLayer*& layer) { return false; }
    // Dialog 30807 "Sluoksnio pritraukimas" over the document's layers, the
    // active one (or none) offered as the layer snapped.
    virtual bool AskSnapLayer(CDrelDoc& document, CLayer* active, CSnapLayerChoice& choice) { return false; }
    // Dialog 30819 "Įrašų rikiavimas" over the layer's fields.
    virtual bool AskSortRecords(const CLayer& layer, CRecordSortChoice& choice) { return false; }
    // Dialog 30808 "Skirtumų tarp sluoksnių paieška" over the document's
    // layers, the active one (or none) offered first.
    virtual bool AskCompareLayers(CDrelDoc& document, CLayer* active, CCompareChoice& choice) { return false; }
    // Dialog 358 "Koordinačių tinklelio kūrimas" for the kind of map, from the values given.
    virtual bool AskCoordGrid(bool geographic, CCoordGridParams& params) { return false; }
    // Dialog 30806 "Kvartalų sluoksnio kūrimas" over the street layer's
    // fields and the document's layers, from the choice given.
    virtual bool AskStreetBlocks(CDrelDoc& document, const CLayer& streets, CStreetBlockChoice& choice)
    {
        return false;
    }
};

IGeoprocDialogs& GeoprocDialogs();
// Null restores the default; the caller keeps ownership.
void SetGeoprocDialogs(IGeoprocDialogs* dialogs);
