#pragma once

// A point file of clients with the fields a client-visit run reads and
// writes: route MARS (0), flag POZ (1), number NR (2), time LAIKAS (3),
// length ILGIS (4), leg ATK (5), streets GATVES (6).

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "tests/core/FieldLists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct CClient {
    double x, y;
    const char* route;
    const char* flag;
};

inline void WriteClients(const std::string& path, const std::vector<CClient>& clients)
{
    const auto fields = FieldList({{"MARS", 'C', 10, 0},
                                   {"POZ", 'C', 4, 0},
                                   {"NR", 'N', 6, 0},
                                   {"LAIKAS", 'C', 5, 0},
                                   {"ILGIS", 'N', 10, 3},
                                   {"ATK", 'N', 10, 3},
                                   {"GATVES", 'C', 60, 0}});
    CLayerReader writer;
    ASSERT_TRUE(writer.CreateSource(path));
    CFeatureSource& source = *writer.GetSource();
    ASSERT_TRUE(source.Create(path, CLayer::kPoint, fields.data()));
    CDbfTable& table = source.GetTable();
    for (const CClient& c : clients) {
        ASSERT_TRUE(source.AppendPoint(CMapPoint(c.x, c.y), false));
        table.SetField(0, c.route);
        table.SetField(1, c.flag);
        ASSERT_TRUE(table.WriteRecord());
    }
    source.Close();
}
