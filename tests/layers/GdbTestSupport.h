#pragma once

#include "layers/GdbSource.h"
#include "platform/ByteOrder.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Attribute fields of the test layers: a name and a number.
inline std::vector<CDbfFieldInfo> TestFields()
{
    return FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}});
}

// A table of the fields with the rows as field texts; "" leaves a field
// blank (numbers too).
inline void MakeTable(const std::string& path, const std::vector<CDbfFieldInfo>& fields,
                      const std::vector<std::vector<std::string>>& rows)
{
    CDbfTable table;
    ASSERT_TRUE(table.Create(path, fields.data()));
    for (const auto& row : rows) {
        table.AppendBlank();
        for (size_t i = 0; i < row.size(); ++i)
            if (!row[i].empty())
                table.SetField(static_cast<int>(i), row[i]);
        ASSERT_TRUE(table.WriteRecord());
    }
}

// Appends the shape (or point) with NAME and N filled in.
inline void AppendWithAttributes(CFeatureSource& source, const CShape* shape, const CMapPoint* point,
                                 const std::string& name, int n)
{
    const bool appended = shape ? source.AppendShape(*shape, false) : source.AppendPoint(*point, false);
    ASSERT_TRUE(appended) << name;
    CDbfTable& table = source.GetTable();
    table.SetField(table.FindField("NAME"), name);
    table.SetFieldLong(table.FindField("N"), n);
    ASSERT_TRUE(table.WriteRecord());
}

// A layer of the shapes (texts as GeometryText reads them), record i named
// "S<i>" with N = i.
inline void MakeShapeLayer(CFeatureSource& source, const std::string& path, int type,
                           const std::vector<std::string>& shapes)
{
    const std::vector<CDbfFieldInfo> fields = TestFields();
    ASSERT_TRUE(source.Create(path, type, fields.data()));
    for (size_t i = 0; i < shapes.size(); ++i) {
        const CShape shape = Shape(shapes[i]);
        AppendWithAttributes(source, &shape, nullptr, "S" + std::to_string(i), static_cast<int>(i));
    }
}

inline void MakePointLayer(CFeatureSource& source, const std::string& path, const std::vector<CMapPoint>& points)
{
    const std::vector<CDbfFieldInfo> fields = TestFields();
    ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, fields.data()));
    for (size_t i = 0; i < points.size(); ++i)
        AppendWithAttributes(source, nullptr, &points[i], "P" + std::to_string(i), static_cast<int>(i));
}

// Little-endian values of file bytes.
inline int32_t Int32At(const std::string& bytes, size_t offset)
{
    return GetLittleEndian<int32_t>(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}

inline double DoubleAt(const std::string& bytes, size_t offset)
{
    return GetLittleEndian<double>(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}

inline void PutInt32At(std::string& bytes, size_t offset, int32_t value)
{
    PutLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(bytes.data()) + offset, value);
}

inline void PutDoubleAt(std::string& bytes, size_t offset, double value)
{
    PutLittleEndian<double>(reinterpret_cast<unsigned char*>(bytes.data()) + offset, value);
}

// The check word of a header whose bytes 0 to 91 were changed.
inline void ResealHeader(std::string& vec)
{
    PutInt32At(vec, 92, static_cast<int32_t>(CGdbSource::ComputeCheckWord(
                            reinterpret_cast<const unsigned char*>(vec.data()))));
}

// Records the sequential shape reader delivers, from the first.
inline std::vector<int> ShapeRecords(CFeatureSource& source)
{
    std::vector<int> records;
    source.Rewind();
    CShape shape;
    while (source.ReadNextShape(shape))
        records.push_back(source.GetCurrentRecord());
    return records;
}

inline std::vector<int> PointRecords(CFeatureSource& source)
{
    std::vector<int> records;
    source.Rewind();
    CMapPoint point;
    while (source.ReadNextPoint(point))
        records.push_back(source.GetCurrentRecord());
    return records;
}
