#pragma once

#include "layers/Layer.h"
#include "tests/core/FieldLists.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

// An area layer over a small attribute table of every field type, two of
// its fields with aliases: what the settings pages show and filter.
struct CParcelLayer {
    CParcelLayer()
    {
        MakeTable(dir.File("sklypai.dbf"),
                  FieldList({{"PAV", 'C', 20, 0},
                             {"PLOTAS", 'N', 10, 2},
                             {"KAINA", 'F', 12, 3},
                             {"ARCHYV", 'L', 1, 0},
                             {"DATA", 'D', 8, 0},
                             {"PASTABA", 'M', 10, 0},
                             {"KODAS", 'C', 6, 0}}),
                  {{"Ber\xFE" "ynas", "12.5", "100", "T", "20050617", "", "B1"},
                   {"\xC0\xFE" "uolynas", "3", "", "F", "", "", "A2"},
                   {"Ber\xFE" "ynas", "7", "", "F", "", "", "B1"},
                   {"", "0", "", "F", "", "", "C3"},
                   {"Alksnynas", "1", "", "T", "", "", "A1"}});
        layer = std::make_unique<CLayer>("Sklypai", dir.File("sklypai.gdb"), CLayer::kArea);
        layer->FieldAliases().SetAt("PAV", "Pavadinimas");
        layer->FieldAliases().SetAt("PLOTAS", "Plotas, ha");
        layer->SetFlag(CLayer::kHasAliases, true);
    }

    CTempDir dir;
    std::unique_ptr<CLayer> layer;
};
