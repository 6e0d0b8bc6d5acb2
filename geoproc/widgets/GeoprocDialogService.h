#pragma once

#include "geoproc/GeoprocDialogs.h"
#include "mapdoc/BufferZoneDialogs.h"

// The questions of the layer operations and of the buffer-zone tool, asked
// in the dialogs of this folder over the window the user works in.
class CGeoprocDialogService : public IGeoprocDialogs, public IBufferZoneDialogs {
public:
    // IGeoprocDialogs.
    bool AskResultLayer(int& choice) override;
    bool AskLayerBuffer(const CLayer& layer, double& radius) override;
    bool AskBufferType(int& type) override;
    bool AskTopology(CTopologyOptions& options) override;
    bool AskTolerance(double& metres) override;
    bool AskOverlay(CDrelDoc& document, CLayer* active, COverlayChoice& choice) override;
    bool AskClassFields(const CLayer& points, const CLayer& areas, std::string& pointField,
                        std::string& areaField) override;
    bool AskMergeFields(const CLayer& layer, std::string& fieldNames) override;
    bool AskCalcParams(const CDbfTable& table, CCalcParams& params) override;
    bool AskWriteCoords(const CDbfTable& table, bool lines, CWriteCoordsRules::Choice& choice) override;
    bool AskImportParams(CDrelDoc& document, CLayer* active, const std::string& path, CLayer*& layer,
                         int& mode) override;
    bool AskImportKeys(const CDbfTable& layerTable, const CDbfTable& importTable, CImportKeys& keys) override;
    void ShowImportReport(const std::string& skipped, const std::string& values) override;
    bool AskCoordGrid(bool geographic, CCoordGridParams& params) override;
    bool AskLayerChoice(CDrelDoc& document, CLayer*& layer) override;
    bool AskSnapLayer(CDrelDoc& document, CLayer* active, CSnapLayerChoice& choice) override;
    bool AskSortRecords(const CLayer& layer, CRecordSortChoice& choice) override;
    bool AskCompareLayers(CDrelDoc& document, CLayer* active, CCompareChoice& choice) override;
    bool AskStreetBlocks(CDrelDoc& document, const CLayer& streets, CStreetBlockChoice& choice) override;
    // IBufferZoneDialogs.
    bool AskRadius(CBufferZoneSettings& settings) override;
    bool AskZoneType(int& type) override { return AskBufferType(type); }
    CLayer* GetResultLayer(CDrelDoc& document) override;
};
