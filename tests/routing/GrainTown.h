#pragma once

// The town's network with the delivery-distance calculator's three point
// layers: settlements "Ąžuolai" (0, 520) and "Beržai" (2000, 480); centres
// taking wheat at 2 and 1.5 km, one taking barley; free wheat warehouses
// at 2 and twice at 1.5 km, a taken one, and one on an island street the
// roads do not reach (the only one taking barley).

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "platform/Codepage.h"
#include "routing/GrainDistance.h"
#include "tests/routing/RouteTown.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct CGrainPlace {
    const char* name;
    CMapPoint at;
    const char* wheat = "";
    const char* barley = "";
    const char* occupied = "";
};

// A town whose map holds the calculator's layers, made from the places.
struct CGrainTown : CRouteTown {
    CGrainTown()
    {
        // An island the settlement is nearer to than to any road.
        Street({{0, 700}, {200, 700}}, 12, 13, "200");
    }

    CLayer& AddPlaces(const std::string& name, const std::vector<CGrainPlace>& places)
    {
        const std::string path = dir.File(std::to_string(doc.GetLayerCount()) + ".gdb");
        CDbfFieldInfo fields[5];
        fields[0].Set("PAV", 'C', 20, 0);
        fields[1].Set("KVIECIAI", 'C', 1, 0);
        fields[2].Set("MIEZIAI", 'C', 1, 0);
        fields[3].Set("UZIMTAS", 'C', 1, 0);
        fields[4].Set("", 0, 0, 0);
        CGdbSource source;
        EXPECT_TRUE(source.Create(path, CLayer::kPoint, fields));
        for (const CGrainPlace& p : places) {
            EXPECT_TRUE(source.AppendPoint(p.at, false));
            CDbfTable& table = source.GetTable();
            table.SetField(0, Utf8ToCp1257(p.name));
            table.SetField(1, p.wheat);
            table.SetField(2, p.barley);
            table.SetField(3, p.occupied);
            EXPECT_TRUE(table.WriteRecord());
        }
        source.Close();
        auto layer = std::make_unique<CLayer>(name, path, CLayer::kPoint);
        layer->SetIdField("PAV");
        CLayer& made = *layer;
        doc.AddLayer(std::move(layer), false);
        return made;
    }

    void AddAll()
    {
        AddPlaces(GrainDistance::SettlementsLayerName(), {{"Ąžuolai", {0, 520}}, {"Beržai", {2000, 480}}});
        AddPlaces(GrainDistance::CentresLayerName(), {{"C far", {2000, 500}, "+"},
                                       {"C near", {1000, 0}, "+", "+"},
                                       {"C barley", {1000, 1000}, "", "+"}});
        AddPlaces(GrainDistance::WarehousesLayerName(), {{"W far", {2000, 500}, "+"},
                                          {"W taken", {1000, 0}, "+", "", "+"},
                                          {"W north", {1000, 1000}, "+"},
                                          {"W south", {1000, 0}, "+"},
                                          {"W island", {0, 700}, "+", "+"}});
    }

    std::unique_ptr<CGrainDistance> Calculator()
    {
        auto calculator = std::make_unique<CGrainDistance>(doc);
        calculator->network.SetLayerSource(&source);
        return calculator;
    }

    CTempDir dir;
};

