#pragma once

// Data files of every kind the layer reader opens, made by the tests.

#include "core/Shape.h"
#include "layers/LonLatTableSource.h"
#include "layers/ShapefileSource.h"
#include "platform/Path.h"
#include "tests/layers/GdbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
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

// Group pairs "code value" separated by '|' as the lines of a drawing, the
// codes right-aligned in three columns as writers put them ("0 LINE|8 A"
// gives "  0", "LINE", "  8", "A"). The value is the rest after the first
// blank, empty when there is none.
inline std::string DxfLines(std::string_view pairs, std::string_view eol = "\n")
{
    std::string text;
    for (size_t start = 0; start <= pairs.size();) {
        size_t bar = pairs.find('|', start);
        if (bar == std::string_view::npos)
            bar = pairs.size();
        const std::string_view pair = pairs.substr(start, bar - start);
        const size_t blank = pair.find(' ');
        const std::string_view code = pair.substr(0, blank);
        const std::string_view value = blank == std::string_view::npos ? std::string_view() : pair.substr(blank + 1);
        text.append(3 - std::min<size_t>(code.size(), 3), ' ').append(code).append(eol).append(value).append(eol);
        start = bar + 1;
    }
    return text;
}

// A drawing of a header section and an entities section of those pairs.
inline std::string DxfDrawing(std::string_view entityPairs, std::string_view eol = "\n")
{
    return DxfLines("0 SECTION|2 HEADER|9 $ACADVER|1 AC1009|0 ENDSEC|0 SECTION|2 ENTITIES", eol) +
           (entityPairs.empty() ? std::string() : DxfLines(entityPairs, eol)) + DxfLines("0 ENDSEC|0 EOF", eol);
}

// The current attribute record, every field's text joined by '|'.
inline std::string Attributes(const CFeatureSource& source)
{
    const CDbfTable& table = source.GetTable();
    std::string all;
    for (int field = 0; field < table.GetFieldCount(); ++field) {
        std::string text;
        table.GetFieldText(field, text, 256);
        all += (field ? "|" : "") + text;
    }
    return all;
}

struct CRead {
    std::vector<std::string> attributes;
    std::vector<CShape> shapes;
    std::vector<CMapPoint> points;
};

// Everything one pass delivers, the records numbered 0, 1, 2, ...
inline CRead ReadPass(CFeatureSource& source, bool shapes)
{
    CRead read;
    source.Rewind();
    CShape shape;
    CMapPoint point;
    while (shapes ? source.ReadNextShape(shape) : source.ReadNextPoint(point)) {
        EXPECT_EQ(source.GetCurrentRecord(), static_cast<int>(read.attributes.size()));
        EXPECT_NE(source.GetRecordTable(source.GetCurrentRecord()), nullptr);
        read.attributes.push_back(Attributes(source));
        if (shapes)
            read.shapes.emplace_back().Copy(shape);
        else
            read.points.push_back(point);
    }
    return read;
}

inline CRead ReadShapes(CFeatureSource& source)
{
    return ReadPass(source, true);
}

inline CRead ReadPoints(CFeatureSource& source)
{
    return ReadPass(source, false);
}
