#pragma once

// A routing network over an in-memory layer with the usual six fields.

#include "layers/Layer.h"
#include "routing/RouteNetwork.h"
#include "tests/routing/MemoryRouteSource.h"

#include <string>
#include <vector>

enum TestRouteField { kTestFrom, kTestTo, kTestLength, kTestDirection, kTestSignificance, kTestWeight };

// The field names as a map gives them; the layer's are upper case.
inline CRouteFields TestRouteFields()
{
    CRouteFields fields;
    fields.fromNodeField = "nuo";
    fields.toNodeField = "IKI";
    fields.arcLengthField = "Ilgis";
    fields.dirMaskField = "KRYPTIS";
    fields.significanceField = "RANGAS";
    fields.weightField = "SVORIS";
    return fields;
}

class CTestRouteNetwork : public CRouteNetwork {
public:
    CTestRouteNetwork() : layer("Keliai", "keliai.gdb", CLayer::kLine)
    {
        source.fieldNames = {"NUO", "IKI", "ILGIS", "KRYPTIS", "RANGAS", "SVORIS"};
        SetFields(TestRouteFields());
        SetLayer(&layer);
        SetLayerSource(&source);
        SetLengthUnit(4);
    }

    // A line of the layer; blank texts read as 0.
    void Line(std::vector<CMapPoint> points, long long from, long long to, std::string length, std::string direction = "",
              std::string significance = "", std::string weight = "")
    {
        source.Add(std::move(points), {std::to_string(from), std::to_string(to), std::move(length),
                                       std::move(direction), std::move(significance), std::move(weight)});
    }

    bool Build(bool useWeight = false) { return BuildGraph(useWeight, nullptr, 0, nullptr); }

    const CRouteEdge& Edge(size_t i) const { return *GetEdges().at(i); }

    CLayer layer;
    CMemoryRouteSource source;
};
