#pragma once

#include "layers/GdbSource.h"
#include "platform/ByteOrder.h"
#include "platform/Path.h"
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

// What ReadNextShape delivers, object by object.
inline std::vector<std::string> DeliveredShapes(CFeatureSource& source)
{
    std::vector<std::string> shapes;
    source.Rewind();
    CShape shape;
    while (source.ReadNextShape(shape))
        shapes.push_back(std::to_string(source.GetCurrentRecord()) + ": " + ShapeText(shape));
    return shapes;
}

// Lines of 2 to 41 vertices scattered over 100 x 100, some far longer than
// their neighbours, record i named "L<i>" with N = i. The small window
// meets hits far apart in the files, the large one hits close together;
// both take the index.
constexpr int kScatteredLines = 24000;
inline const CMapRect kSmallWindow(37, 63, 63, 37), kLargeWindow(10, 58, 58, 10);

inline void MakeScatteredLines(CFeatureSource& source, const std::string& path)
{
    const std::vector<CDbfFieldInfo> fields = TestFields();
    ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, fields.data()));
    for (int i = 0; i < kScatteredLines; ++i) {
        const int vertices = i % 997 == 5 ? 300 : 2 + (i * 37) % 40;
        std::vector<CMapPoint> points;
        const double x = (i * 7919 % 1000) / 10.0, y = (int64_t{i} * 104729 % 1000) / 10.0;
        for (int k = 0; k < vertices; ++k)
            points.emplace_back(x + 0.01 * k, y + 0.005 * k * (k % 3));
        CShape shape;
        shape.SetPoints(vertices, points.data());
        AppendWithAttributes(source, &shape, nullptr, "L" + std::to_string(i), i);
    }
}

template <class Source>
std::vector<int> IndexHitsOf(const std::string& path, const CMapRect& window)
{
    Source source;
    EXPECT_TRUE(source.Open(path));
    source.SetQueryRect(&window);
    EXPECT_TRUE(source.IsIndexInUse());
    return ShapeRecords(source);
}

// Through both windows, with and without a filter, the index delivers what
// the walk does; the small window delivers so many and reports the bad
// objects among its hits. (The walk may report bad objects outside the
// window too: it reads every box there is.)
template <class Source>
void ExpectIndexReadsAsTheWalk(const std::string& path, const std::string& index, size_t inSmall)
{
    int error = 0;
    const auto read = [&](const CMapRect& window, const char* filter, bool indexed) {
        Source source;
        EXPECT_TRUE(source.Open(path));
        if (filter) {
            EXPECT_TRUE(source.SetFilter(filter));
        }
        source.SetQueryRect(&window);
        EXPECT_EQ(source.IsIndexInUse(), indexed);
        std::vector<std::string> shapes = DeliveredShapes(source);
        error = source.GetError();
        return shapes;
    };
    for (const CMapRect& window : {kSmallWindow, kLargeWindow})
        for (const char* filter : {static_cast<const char*>(nullptr), "N > 4000"}) {
            SCOPED_TRACE(window.left);
            SCOPED_TRACE(filter ? filter : "");
            const std::vector<std::string> indexed = read(window, filter, true);
            ASSERT_TRUE(RenameFile(index, index + ".off"));
            const std::vector<std::string> walked = read(window, filter, false);
            ASSERT_TRUE(RenameFile(index + ".off", index));
            EXPECT_GT(walked.size(), 100u);
            EXPECT_EQ(indexed, walked);
        }
    EXPECT_EQ(read(kSmallWindow, nullptr, true).size(), inSmall);
    EXPECT_EQ(error, CFeatureSource::kBadStructure);
}
