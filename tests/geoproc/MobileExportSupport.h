#pragma once

// Layers of a city map as the street data export reads them.
#include "core/DbfTable.h"
#include "core/MapPoint.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A street: its line (GeometryText) and fields.
struct CStreetRow {
    const char* line;
    const char* name; // UTF-8
    const char* direction;
    int type;
    int noName;
    int code;
    const char* id;
    const char* main;
};

// An address point and its fields.
struct CAddressRow {
    CMapPoint point;
    const char* text;
    int code;
    const char* number;
    const char* letter;
    int code2;
    const char* number2;
    const char* letter2;
};

// Two lines of street 26 that continue each other, one of street 27 of a
// type the network leaves out and without a name shown, and one of street
// 28 with a direction that fits no digit.
inline const std::vector<CStreetRow> kSampleStreets = {
    {"0 0, 100 0", "Vilniaus g.", "1", 1, 0, 26, "Centras", "1"},
    {"100 0, 350 0", "Vilniaus g.", "0", 1, 0, 26, "Sen (Kaunas) x", "0"},
    {"0 50, 0 300", "", "2", 7, 1, 27, "(A)", "0"},
    {"500 500, 600 500", "", "5", 2, 0, 28, "B (Ringaudai", "1"},
};

inline void WriteStreetLayer(const std::string& path, const std::vector<CStreetRow>& streets)
{
    const std::vector<CDbfFieldInfo> fields =
        FieldList({{"PAVADINIM", 'C', 30, 0}, {"KRYPTIS", 'N', 2, 0}, {"TIPAS", 'N', 4, 0}, {"PG_NONAME", 'N', 1, 0},
                   {"KODAS", 'N', 8, 0}, {"ID", 'C', 40, 0}, {"IS_MAIN", 'C', 1, 0}});
    CGdbSource source;
    ASSERT_TRUE(source.Create(path, CLayer::kLine, fields.data()));
    for (const CStreetRow& s : streets) {
        ASSERT_TRUE(source.AppendShape(Shape(s.line), false));
        CDbfTable& table = source.GetTable();
        table.SetField(0, Utf8ToCp1257(s.name));
        table.SetField(1, s.direction);
        table.SetFieldLong(2, s.type);
        table.SetFieldLong(3, s.noName);
        table.SetFieldLong(4, s.code);
        table.SetField(5, s.id);
        table.SetField(6, s.main);
        ASSERT_TRUE(table.WriteRecord());
    }
}

inline void WriteAddressLayer(const std::string& path, const std::vector<CAddressRow>& addresses)
{
    const std::vector<CDbfFieldInfo> fields =
        FieldList({{"UZRASAS", 'C', 20, 0}, {"G_KODAS", 'N', 8, 0}, {"NR", 'N', 5, 0}, {"RAIDE", 'C', 2, 0},
                   {"G_KODAS2", 'N', 8, 0}, {"NR2", 'N', 5, 0}, {"RAIDE2", 'C', 2, 0}});
    CGdbSource source;
    ASSERT_TRUE(source.Create(path, CLayer::kPoint, fields.data()));
    for (const CAddressRow& a : addresses) {
        ASSERT_TRUE(source.AppendPoint(a.point, false));
        CDbfTable& table = source.GetTable();
        table.SetField(0, a.text);
        table.SetFieldLong(1, a.code);
        table.SetField(2, a.number);
        table.SetField(3, a.letter);
        table.SetFieldLong(4, a.code2);
        table.SetField(5, a.number2);
        table.SetField(6, a.letter2);
        ASSERT_TRUE(table.WriteRecord());
    }
}
