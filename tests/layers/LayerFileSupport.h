#pragma once

// Data files of every kind the layer reader opens, made by the tests.

#include "layers/LonLatTableSource.h"
#include "layers/ShapefileSource.h"
#include "platform/Path.h"
#include "tests/layers/GdbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// The names of the files in the folder, sorted.
inline std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(ResolvePath(folder)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An ID field and numeric coordinate fields.
inline std::vector<CDbfFieldInfo> CoordTableFields()
{
    return FieldList({{"ID", 'C', 10, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}});
}

// A coordinate table (".dbf" or ".trk") of the points.
inline void MakeCoordTable(const std::string& path, const std::vector<CMapPoint>& points)
{
    const std::vector<CDbfFieldInfo> fields = CoordTableFields();
    CLonLatTableSource table;
    ASSERT_TRUE(table.Create(path, CFeatureSource::kPoint, fields.data())) << path;
    for (const CMapPoint& point : points)
        ASSERT_TRUE(table.AppendPoint(point, true)) << path;
}

// A Shapefile of the shapes as GeometryText reads them.
inline void MakeShapefile(const std::string& path, int type, const std::vector<std::string>& shapes)
{
    const std::vector<CDbfFieldInfo> fields = CoordTableFields();
    CShapefileSource source;
    ASSERT_TRUE(source.Create(path, type, fields.data())) << path;
    for (const std::string& shape : shapes)
        ASSERT_TRUE(source.AppendShape(Shape(shape), true)) << path;
    source.Close(); // puts the files in place
}
