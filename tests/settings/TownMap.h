#pragma once

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "tests/core/FieldLists.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

// A map of a small town as the map sheet sees it: two line layers (the
// roads with the six routing fields, one aliased; the streets with a name,
// a code, a city and one routing field of the same name), an address
// point layer, an area layer and a group entry, and the settings naming
// the roads, the streets and the addresses.
struct CTownMap {
    CTownMap()
    {
        MakeTable(dir.File("keliai.dbf"),
                  FieldList({{"FNODE", 'N', 10, 0},
                             {"TNODE", 'N', 10, 0},
                             {"ILGIS", 'N', 10, 2},
                             {"KRYPTIS", 'N', 2, 0},
                             {"SVORIS", 'N', 6, 2},
                             {"SVARBA", 'N', 2, 0},
                             {"PASTABA", 'M', 10, 0}}),
                  {{"1", "2", "120.5", "0", "1", "3", ""}});
        MakeTable(dir.File("gatves.dbf"),
                  FieldList({{"PAV", 'C', 40, 0}, {"KODAS", 'N', 10, 0}, {"MIESTAS", 'C', 30, 0}, {"FNODE", 'N', 10, 0}}),
                  {{"Liepu g.", "7", "Alytus", "1"}});
        MakeTable(dir.File("adresai.dbf"),
                  FieldList({{"GKODAS", 'N', 10, 0}, {"NR", 'N', 5, 0}, {"RAIDE", 'C', 1, 0}}), {{"7", "12", "A"}});
        roads = Add("Keliai", "keliai.gdb", CLayer::kLine);
        roads->FieldAliases().SetAt("ILGIS", "Ilgis, m");
        roads->SetFlag(CLayer::kHasAliases, true);
        streets = Add(Utf8ToCp1257("Gatvės"), "gatves.gdb", CLayer::kLine);
        addresses = Add("Adresai", "adresai.gdb", CLayer::kPoint);
        Add("Sklypai", "sklypai.gdb", CLayer::kArea);
        Add(Utf8ToCp1257("Grupė"), "", CLayer::kLine)->SetFlag(CLayer::kGroup, true);

        CMapSettings& s = doc.Settings();
        s.routesLayer = "Keliai";
        s.fromNodeField = "FNODE";
        s.toNodeField = "TNODE";
        s.arcLengthField = "ILGIS";
        s.dirMaskField = "KRYPTIS";
        s.weightField = "SVORIS";
        s.significanceField = "SVARBA";
        s.streetsLayer = Utf8ToCp1257("Gatvės");
        s.streetNameField = "PAV";
        s.codeField = "KODAS";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "GKODAS";
        s.numField = "NR";
        s.letterField = "RAIDE";
    }

    CLayer* Add(const std::string& name, const std::string& file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, file.empty() ? std::string() : dir.File(file), type);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    CTempDir dir;
    CDrelDoc doc;
    CLayer* roads;
    CLayer* streets;
    CLayer* addresses;
};
