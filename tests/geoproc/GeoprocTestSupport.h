#pragma once

#include "core/FileUtil.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/LineTopology.h"
#include "geoproc/StreetBlocks.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/ShapefileSource.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The operations' questions answered from members; every call logged.
// Installed for its lifetime.
class CScriptedGeoprocDialogs : public IGeoprocDialogs {
public:
    CScriptedGeoprocDialogs() { SetGeoprocDialogs(this); }
    ~CScriptedGeoprocDialogs() override { SetGeoprocDialogs(nullptr); }

    bool AskResultLayer(int& choice) override
    {
        log.push_back("311");
        choice = resultChoice;
        return resultOk;
    }
    bool AskLayerBuffer(const CLayer& layer, double& radius) override
    {
        log.push_back("30771 " + layer.GetName());
        offeredRadius = radius;
        radius = this->radius;
        return radiusOk;
    }
    bool AskBufferType(int& type) override
    {
        log.push_back("280");
        offeredType = type;
        type = zoneType;
        return zoneTypeOk;
    }
    bool AskTopology(CTopologyOptions& options) override
    {
        log.push_back("30814");
        offeredTopology = options;
        options = topology;
        return topologyOk;
    }
    bool AskTolerance(double& metres) override
    {
        log.push_back("287");
        offeredTolerance = metres;
        metres = tolerance;
        return toleranceOk;
    }
    bool AskOverlay(CDrelDoc&, CLayer* active, COverlayChoice& choice) override
    {
        log.push_back("288");
        offeredActive = active;
        choice = overlay;
        return overlayOk;
    }
    bool AskClassFields(const CLayer& points, const CLayer& areas, std::string& pointField,
                        std::string& areaField) override
    {
        log.push_back("312 " + points.GetName() + " " + areas.GetName());
        pointField = this->pointField;
        areaField = this->areaField;
        return classFieldsOk;
    }
    bool AskMergeFields(const CLayer& layer, std::string& fieldNames) override
    {
        log.push_back("30801 " + layer.GetName());
        fieldNames = mergeFields;
        return mergeFieldsOk;
    }

    bool AskLayerChoice(CDrelDoc&, CLayer*& layer) override
    {
        log.push_back("30799");
        layer = chosenLayer;
        return layerChoiceOk;
    }
    bool AskSnapLayer(CDrelDoc&, CLayer* active, CSnapLayerChoice& choice) override
    {
        log.push_back("30807");
        offeredActive = active;
        choice = snap;
        return snapOk;
    }
    bool AskStreetBlocks(CDrelDoc&, const CLayer& streets, CStreetBlockChoice& choice) override
    {
        log.push_back("30806 " + streets.GetName());
        offeredBlocks = choice;
        if (editBlocks)
            editBlocks(choice);
        return blocksOk;
    }

    std::vector<std::string> log;
    CLayer* chosenLayer = nullptr;
    bool layerChoiceOk = true;
    CSnapLayerChoice snap;
    bool snapOk = true;
    bool AskSortRecords(const CLayer& layer, CRecordSortChoice& choice) override
    {
        log.push_back("30819 " + layer.GetName());
        choice = sort;
        return sortOk;
    }
    bool AskCompareLayers(CDrelDoc&, CLayer* active, CCompareChoice& choice) override
    {
        log.push_back("30808");
        offeredActive = active;
        choice = compare;
        return compareOk;
    }

    CRecordSortChoice sort;
    bool sortOk = true;
    CCompareChoice compare;
    bool compareOk = true;
    int resultChoice = 0;
    bool resultOk = true;
    double radius = 0.01;
    double offeredRadius = 0;
    bool radiusOk = true;
    int zoneType = 0;
    int offeredType = -1;
    bool zoneTypeOk = true;
    CTopologyOptions topology;
    CTopologyOptions offeredTopology;
    bool topologyOk = true;
    double tolerance = 1;
    double offeredTolerance = 0;
    bool toleranceOk = true;
    COverlayChoice overlay;
    bool overlayOk = true;
    CLayer* offeredActive = nullptr;
    std::string pointField;
    std::string areaField;
    bool classFieldsOk = true;
    std::string mergeFields;
    bool mergeFieldsOk = true;
    CStreetBlockChoice offeredBlocks;
    std::function<void(CStreetBlockChoice&)> editBlocks;
    bool blocksOk = true;
};

// What dialog 102 was offered, and how it answers: OK with the proposals,
// changed as the members say.
struct CScriptedNewLayer {
    CDocCommandDialogs Dialogs()
    {
        CDocCommandDialogs dialogs;
        dialogs.newLayer = [this](CDrelDoc&, std::string& name, std::string& path, int& type,
                                  CNewLayerOptions& options) {
            ++runs;
            offeredName = name;
            offeredPath = path;
            offeredType = type;
            offeredOptions = options;
            if (!chosenName.empty())
                name = chosenName;
            if (!chosenPath.empty())
                path = chosenPath;
            if (chosenType >= 0)
                type = chosenType;
            options.replaceConfirmed = confirmReplace;
            return ok;
        };
        return dialogs;
    }

    bool ok = true;
    std::string chosenName;
    std::string chosenPath;
    int chosenType = -1;
    bool confirmReplace = false;
    int runs = 0;
    std::string offeredName;
    std::string offeredPath;
    int offeredType = -1;
    CNewLayerOptions offeredOptions;
};

// One object of a layer as read back: its geometry and field texts.
struct CReadObject {
    int record = -1;
    CShape shape;
    CMapPoint point;
    std::map<std::string, std::string> fields;
};

// Every live object of the file with its fields, in file order.
inline std::vector<CReadObject> ReadObjects(const std::string& path, int type)
{
    std::vector<CReadObject> objects;
    CLayerReader reader;
    if (!reader.Open(path))
        return objects;
    CFeatureSource& source = *reader.GetSource();
    for (;;) {
        CReadObject object;
        const bool read =
            type == CLayer::kPoint ? source.ReadNextPoint(object.point) : source.ReadNextShape(object.shape);
        if (!read)
            break;
        object.record = source.GetCurrentRecord();
        if (CDbfTable* table = source.GetRecordTable(object.record))
            for (int f = 0; f < table->GetFieldCount(); ++f) {
                std::string text;
                table->GetFieldText(f, text, 0x10000);
                object.fields[table->GetFieldName(f)] = text;
            }
        objects.push_back(std::move(object));
    }
    EXPECT_EQ(source.GetError(), CFeatureSource::kNoError) << path;
    return objects;
}

// Spoils the block of the second object of a GDB line layer, so that its
// reader passes over it.
inline void SpoilSecondBlock(const std::string& gdbPath)
{
    const std::string vec = ChangeExtensionCopy(gdbPath, "vec");
    std::string bytes = ReadWholeFile(vec);
    // The blocks follow the header in writing order; the second's point
    // count becomes -1.
    const int32_t firstBlock = CGdbSource::kHeaderSize;
    const int32_t second = firstBlock + Int32At(bytes, firstBlock + 4);
    bytes.replace(static_cast<size_t>(second + 20), 4, 4, '\xff');
    WriteWholeFile(vec, bytes);
}

// A map of metres in a folder of its own, its document messages answered
// from a script.
class CGeoprocFixture : public ::testing::Test {
protected:
    CGeoprocFixture()
    {
        doc.SetPathName(dir.File("map.map"));
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().limits = CMapRect(0, 1000, 1000, 0);
    }

    // A GDB layer of the shapes (GeometryText), record i named "S<i>"
    // with N = i, added to the map.
    CLayer& AddShapeLayer(const std::string& name, const std::string& file, int type,
                          const std::vector<std::string>& shapes)
    {
        {
            CGdbSource source;
            MakeShapeLayer(source, dir.File(file), type, shapes);
        }
        return Add(name, file, type);
    }
    CLayer& AddPointLayer(const std::string& name, const std::string& file, const std::vector<CMapPoint>& points)
    {
        {
            CGdbSource source;
            MakePointLayer(source, dir.File(file), points);
        }
        return Add(name, file, CLayer::kPoint);
    }
    CLayer& Add(const std::string& name, const std::string& file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(file), type);
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    // Every file of the folder with its bytes.
    std::map<std::string, std::string> Folder() const
    {
        std::map<std::string, std::string> files;
        for (const std::string& name : FindMatchingFiles(dir.File("*")))
            files[name] = ReadWholeFile(dir.File(name));
        return files;
    }

    CTempDir dir;
    CScriptedUserServices user;
    CDrelDoc doc;
    CScriptedNewLayer newLayer;
};
