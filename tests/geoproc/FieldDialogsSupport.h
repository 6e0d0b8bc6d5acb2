#pragma once

#include "geoproc/CoordGrid.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <functional>
#include <string>

// The questions of the measures, the attribute import and the grid
// answered from members, on top of the other operations' script.
class CScriptedFieldDialogs : public CScriptedGeoprocDialogs {
public:
    bool AskCalcParams(const CDbfTable&, CCalcParams& params) override
    {
        log.push_back("275");
        offeredMode = params.mode;
        params.field = calcField;
        params.unit = unit;
        return calcOk;
    }
    bool AskWriteCoords(const CDbfTable&, bool lines, CWriteCoordsRules::Choice& choice) override
    {
        log.push_back(lines ? "30778" : "30777");
        choice = coords;
        return coordsOk;
    }
    bool AskImportParams(CDrelDoc&, CLayer* active, const std::string& path, CLayer*& layer, int& mode) override
    {
        log.push_back("316");
        offeredActive = active;
        offeredPath = path;
        layer = importLayer ? importLayer : active;
        mode = importMode;
        return importOk;
    }
    bool AskImportKeys(const CDbfTable&, const CDbfTable&, CImportKeys& keys) override
    {
        log.push_back("30784");
        keys = this->keys;
        return keysOk;
    }
    void ShowImportReport(const std::string& skipped, const std::string& values) override
    {
        log.push_back("315");
        reportSkipped = skipped;
        reportValues = values;
    }
    bool AskCoordGrid(bool geographic, CCoordGridParams& params) override
    {
        log.push_back("358");
        offeredGeographic = geographic;
        offeredGrid = params;
        if (changeGrid)
            changeGrid(params);
        return gridOk;
    }

    int offeredMode = -1;
    std::string calcField;
    int unit = 0;
    bool calcOk = true;
    CWriteCoordsRules::Choice coords;
    bool coordsOk = true;
    std::string offeredPath;
    CLayer* importLayer = nullptr;
    int importMode = 0;
    bool importOk = true;
    CImportKeys keys;
    bool keysOk = true;
    std::string reportSkipped, reportValues;
    bool offeredGeographic = false;
    CCoordGridParams offeredGrid;
    std::function<void(CCoordGridParams&)> changeGrid;
    bool gridOk = true;
};
