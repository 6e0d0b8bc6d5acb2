#include "layers/ShapefileSource.h"

#include "core/FileUtil.h"
#include "core/SpatialFilter.h"
#include "platform/Path.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/layers/ShapefileTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string AsText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Hand-made main and index files beside a table of as many records,
// record i named "R<i>" with N = i.
void WriteLayer(const std::string& path, const CWrittenFiles& files, int records)
{
    WriteWholeFile(path, AsText(files.main));
    WriteWholeFile(ChangeExtensionCopy(path, "shx"), AsText(files.index));
    CDbfTable table;
    const std::vector<CDbfFieldInfo> fields = TestFields();
    ASSERT_TRUE(table.Create(ChangeExtensionCopy(path, "dbf"), fields.data()));
    for (int i = 0; i < records; ++i) {
        table.AppendBlank();
        table.SetField(0, "R" + std::to_string(i));
        table.SetFieldLong(1, i);
        ASSERT_TRUE(table.WriteRecord());
    }
}

std::string NameOf(CFeatureSource& source, int n)
{
    std::string name;
    source.GetFieldText(n, 0, name);
    return name;
}

const CMapRect kBox(0, 100, 100, 0);

} // namespace

TEST(ShapefileSource, WrittenLayersReadBackWithTheirAttributes)
{
    CTempDir dir;
    struct Case {
        int type;
        std::vector<std::string> shapes; // points as one-point shapes
    };
    const Case cases[] = {
        {CFeatureSource::kPoint, {"1 2", "-3 60.5", "24.25 54.75"}},
        {CFeatureSource::kLine, {"0 0, 1 1, 2 0 | 5 5, 6 7", "10 10, 11 12"}},
        {CFeatureSource::kArea, {"0 0, 0 10, 10 10, 10 0, 0 0 | 2 2, 4 2, 4 4, 2 2"}},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("layer" + std::to_string(c.type) + ".shp");
        {
            CShapefileSource source;
            const std::vector<CDbfFieldInfo> fields = TestFields();
            ASSERT_TRUE(source.Create(path, c.type, fields.data()));
            // Nothing is in place until the files are closed.
            EXPECT_FALSE(PathExists(path));
            for (size_t i = 0; i < c.shapes.size(); ++i) {
                const CShape shape = Shape(c.shapes[i]);
                AppendWithAttributes(source, c.type == CFeatureSource::kPoint ? nullptr : &shape,
                                     &shape.GetPoint(0), "S" + std::to_string(i), static_cast<int>(i));
            }
        }
        EXPECT_FALSE(PathExists(dir.File("~layer" + std::to_string(c.type) + ".shp")));
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path)) << c.type;
        EXPECT_EQ(source.GetShapeType(), c.type);
        CMapRect extent, expected;
        EXPECT_TRUE(source.GetExtent(extent));
        for (size_t i = 0; i < c.shapes.size(); ++i) {
            const int n = static_cast<int>(i);
            const CShape want = Shape(c.shapes[i]);
            expected.UnionRect(expected, want.GetExtent());
            CMapRect box;
            ASSERT_TRUE(source.GetRecordBox(n, box));
            EXPECT_EQ(box, want.GetExtent());
            if (c.type == CFeatureSource::kPoint) {
                CMapPoint point;
                ASSERT_TRUE(source.ReadPoint(n, point));
                EXPECT_EQ(point, want.GetPoint(0));
            } else {
                CShape shape;
                ASSERT_TRUE(source.ReadShape(n, shape));
                EXPECT_EQ(shape.Points(), want.Points());
                EXPECT_EQ(shape.PartSizes(), want.PartSizes());
            }
            EXPECT_EQ(NameOf(source, n), "S" + std::to_string(i));
        }
        EXPECT_EQ(extent, expected);
        const std::vector<int> all = c.type == CFeatureSource::kPoint ? PointRecords(source) : ShapeRecords(source);
        EXPECT_EQ(all.size(), c.shapes.size());
        EXPECT_EQ(source.GetError(), 0);
    }
}

TEST(ShapefileSource, ClosedWithoutAppendsKeepsTheCreationHeader)
{
    CTempDir dir;
    const std::string path = dir.File("empty.shp");
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, nullptr));
        EXPECT_EQ(source.GetTable().FindField("ID"), 0);
    }
    const std::string main = ReadWholeFile(path);
    ASSERT_EQ(main.size(), 100u);
    EXPECT_EQ(main, ReadWholeFile(dir.File("empty.shx")));
    const auto* b = reinterpret_cast<const unsigned char*>(main.data());
    EXPECT_EQ(GetBigEndian<int32_t>(b), 9994);
    EXPECT_EQ(GetBigEndian<int32_t>(b + 24), 50);
    EXPECT_EQ(GetLittleEndian<int32_t>(b + 32), 3);
    EXPECT_EQ(GetLittleEndian<double>(b + 52), -1.0);
    CShapefileSource source;
    ASSERT_TRUE(source.Open(path));
    CShape shape;
    EXPECT_FALSE(source.ReadNextShape(shape));
    EXPECT_EQ(source.GetError(), 0);
}

TEST(ShapefileSource, FailedCreationLeavesTheOldFiles)
{
    CTempDir dir;
    const std::string path = dir.File("keep.shp");
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, nullptr));
        ASSERT_TRUE(source.AppendPoint({1, 1}, true));
    }
    const std::string before = ReadWholeFile(path) + ReadWholeFile(dir.File("keep.shx")) + ReadWholeFile(dir.File("keep.dbf"));
    {
        CScriptedUserServices ui;
        CShapefileSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, nullptr));
        ASSERT_TRUE(source.AppendPoint({2, 2}, true));
        // A shape in a point file is refused and spoils the whole creation.
        EXPECT_FALSE(source.AppendShape(Shape("0 0, 1 1"), true));
        EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
    }
    EXPECT_EQ(ReadWholeFile(path) + ReadWholeFile(dir.File("keep.shx")) + ReadWholeFile(dir.File("keep.dbf")), before);
    EXPECT_FALSE(PathExists(dir.File("~keep.shp")));
    EXPECT_FALSE(PathExists(dir.File("~keep.dbf")));

    CShapefileSource source;
    EXPECT_FALSE(source.Create(dir.File("text.shp"), CFeatureSource::kText, nullptr));
    EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
    // Files opened for reading take no appends.
    ASSERT_TRUE(source.Open(path));
    EXPECT_FALSE(source.AppendPoint({3, 3}, true));
    EXPECT_FALSE(source.CanWrite());
}

TEST(ShapefileSource, ReadersPassOverNullAndEmptyRecordsWithoutLosingStep)
{
    CTempDir dir;
    const std::string path = dir.File("lines.shp");
    // Null and box-only records between lines; the middle line lies far away.
    WriteLayer(path,
               Files(CShpFile::kPolyLine,
                     {Record(1, ShapeContent(3, {{{1, 1}, {2, 2}}})), Record(2, NullContent()),
                      Record(3, ShapeContent(3, {})), Record(4, ShapeContent(3, {{{80, 80}, {90, 90}}})),
                      Record(5, NullContent()), Record(6, ShapeContent(3, {{{3, 3}, {4, 5}}, {{6, 6}, {7, 7}}}))},
                     kBox),
               6);
    CShapefileSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 3, 5}));
    // A record that fails the rectangle or the filter is passed over by its
    // stated length, whatever kind it is.
    const CMapRect window(0, 10, 10, 0);
    source.SetQueryRect(&window);
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 5}));
    CShape shape;
    source.Rewind();
    ASSERT_TRUE(source.ReadNextShape(shape));
    ASSERT_TRUE(source.ReadNextShape(shape));
    EXPECT_EQ(shape.PartSizes(), (std::vector<uint32_t>{2, 2}));
    EXPECT_EQ(NameOf(source, source.GetCurrentRecord()), "R5");
    source.SetQueryRect(nullptr);
    ASSERT_TRUE(source.SetFilter("N > 2"));
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{3, 5}));
    // By number the empty records read as empty shapes.
    CShape empty;
    ASSERT_TRUE(source.ReadShape(2, empty));
    EXPECT_EQ(empty.GetPointCount(), 0);
    EXPECT_FALSE(empty.GetExtent().IsValid());
    CMapRect box;
    EXPECT_FALSE(source.GetRecordBox(1, box));
    EXPECT_EQ(source.GetError(), 0);
}

TEST(ShapefileSource, NullPointsAreSkippedAndMultipointsGiveTheirFirstPoint)
{
    CTempDir dir;
    const std::string points = dir.File("points.shp");
    WriteLayer(points,
               Files(CShpFile::kPoint, {Record(1, PointContent({1, 1})), Record(2, NullContent()),
                                        Record(3, PointContent({2, 2})), Record(4, PointContent({3, 3}))},
                     kBox),
               4);
    CScriptedUserServices ui;
    CShapefileSource source;
    ASSERT_TRUE(source.Open(points));
    // Every later point is still drawn, and nobody is asked to click anything.
    EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 2, 3}));
    EXPECT_TRUE(ui.messages.empty());
    // Asked for by number, the null point says what it is.
    CMapPoint point(5, 5);
    EXPECT_FALSE(source.ReadPoint(1, point));
    EXPECT_EQ(point, CMapPoint(0, 0));
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1078});
    EXPECT_EQ(source.GetError(), 0);

    const std::string multi = dir.File("multi.shp");
    WriteLayer(multi,
               Files(CShpFile::kMultiPoint,
                     {Record(1, MultiPoint({{7, 8}, {9, 10}})), Record(2, MultiPoint({})), Record(3, MultiPoint({{1, 2}}))},
                     kBox),
               3);
    ASSERT_TRUE(source.Open(multi));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kPoint);
    EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 2}));
    ASSERT_TRUE(source.ReadPoint(0, point));
    EXPECT_EQ(point, CMapPoint(7, 8));
}

TEST(ShapefileSource, OtherShapeTypesServeNoLayer)
{
    CTempDir dir;
    for (const int32_t type : {11, 13, 15, 18, 21, 23, 25, 28, 31}) {
        const std::string path = dir.File("z" + std::to_string(type) + ".shp");
        WriteLayer(path, Files(type, {}, kBox), 0);
        CScriptedUserServices ui;
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path));
        EXPECT_EQ(source.GetShapeType(), -1) << type;
        EXPECT_FALSE(source.AcceptType(CFeatureSource::kPoint));
        EXPECT_FALSE(source.OpenTyped(path, CFeatureSource::kLine));
        CMapPoint point;
        EXPECT_FALSE(source.ReadNextPoint(point));
        EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
        ASSERT_TRUE(source.Open(path));
        CShape shape;
        EXPECT_FALSE(source.ReadNextShape(shape));
        EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
        EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1034});
    }
}

TEST(ShapefileSource, AMalformedRecordIsPassedOverToTheNextSoundOne)
{
    CTempDir dir;
    const Bytes first = ShapeContent(3, {{{0, 0}, {1, 1}}});
    const Bytes second = ShapeContent(3, {{{2, 2}, {3, 3}}, {{4, 4}, {5, 5}}, {{6, 6}, {7, 7}}});
    const Bytes third = ShapeContent(3, {{{8, 8}, {9, 9}}});
    const CWrittenFiles good = Files(3, {Record(1, first), Record(2, second), Record(3, third)}, kBox);
    // Where the second record's head and content lie, and its index entry.
    const size_t head = 100 + 8 + first.size(), content = head + 8, entry = 100 + 8;
    const auto putInt = [](Bytes& b, size_t at, int32_t v) { PutLittleEndian<int32_t>(b.data() + at, v); };
    const auto putWords = [](Bytes& b, size_t at, int32_t v) { PutBigEndian<int32_t>(b.data() + at, v); };
    struct Case {
        const char* what;
        std::function<void(CWrittenFiles&)> spoil;
        std::vector<int> delivered;
        int error;
        bool secondReads; // by number
    };
    const Case cases[] = {
        {"a length past the end of the file", [&](CWrittenFiles& f) { putWords(f.main, head + 4, 0x40000000); },
         {0, 2}, CFeatureSource::kBadStructure, false},
        {"a length that lies inside the file", [&](CWrittenFiles& f) { putWords(f.main, head + 4, 80); },
         {0, 1, 2}, CFeatureSource::kNoError, true},
        {"a length too short for the content", [&](CWrittenFiles& f) { putWords(f.main, head + 4, 30); },
         {0, 2}, CFeatureSource::kBadStructure, false},
        {"a huge part count", [&](CWrittenFiles& f) { putInt(f.main, content + 36, 1 << 28); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        {"a negative point count", [&](CWrittenFiles& f) { putInt(f.main, content + 40, -3); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        {"a part start past the points", [&](CWrittenFiles& f) { putInt(f.main, content + 48, 7); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        {"descending part starts", [&](CWrittenFiles& f) { putInt(f.main, content + 52, 1); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        {"a point record among lines", [&](CWrittenFiles& f) { putInt(f.main, content, CShpFile::kPoint); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        {"a coordinate that is no number",
         [&](CWrittenFiles& f) { PutLittleEndian<double>(f.main.data() + content + 56 + 24, std::nan("")); },
         {0, 2}, CFeatureSource::kBadStructure, false},
        {"a box that is no number",
         [&](CWrittenFiles& f) { PutLittleEndian<double>(f.main.data() + content + 4, std::nan("")); }, {0, 2},
         CFeatureSource::kBadStructure, false},
        // The walk finds the record where the first one ends; by number it is lost.
        {"an index entry past the end", [&](CWrittenFiles& f) { putWords(f.index, entry, 0x30000000); },
         {0, 1, 2}, CFeatureSource::kNoError, false},
        // Neither the head nor the index tells where the third record starts.
        {"a lying length and an index that ends there",
         [&](CWrittenFiles& f) {
             putWords(f.main, head + 4, 0x40000000);
             putWords(f.index, entry + 8, 0x30000000);
         },
         {0}, CFeatureSource::kBadStructure, false},
        {"a file cut short", [&](CWrittenFiles& f) { f.main.resize(head + 40); }, {0},
         CFeatureSource::kReadError, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CWrittenFiles files = good;
        c.spoil(files);
        const std::string path = dir.File("broken.shp");
        WriteLayer(path, files, 3);
        CScriptedUserServices ui;
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path));
        EXPECT_EQ(ShapeRecords(source), c.delivered);
        EXPECT_EQ(source.GetError(), c.error);
        EXPECT_FALSE(source.HasStoppingError());
        // Searching sees what drawing sees.
        CRecordArray records;
        source.SelectWithin(kBox, records);
        EXPECT_EQ(std::vector<int>(records.begin(), records.end()), c.delivered);
        // The objects around it still read by number.
        CShape shape;
        EXPECT_EQ(source.ReadShape(1, shape), c.secondReads);
        EXPECT_TRUE(source.ReadShape(0, shape));
        EXPECT_EQ(ShapeText(shape), "0 0, 1 1");
        if (c.delivered.back() == 2) {
            ASSERT_TRUE(source.ReadShape(2, shape));
            EXPECT_EQ(ShapeText(shape), "8 8, 9 9");
            EXPECT_EQ(NameOf(source, 2), "R2");
        }
        EXPECT_TRUE(ui.messages.empty());
    }

    // A length that spans the next record lands on a sound head of the
    // wrong number: the index puts the walk back in step.
    {
        CWrittenFiles files = Files(3, {Record(1, first), Record(2, third), Record(3, first), Record(4, third)}, kBox);
        putWords(files.main, head + 4, static_cast<int32_t>((third.size() + 8 + first.size()) / 2));
        const std::string path = dir.File("spanning.shp");
        WriteLayer(path, files, 4);
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path));
        std::vector<std::string> shapes;
        source.Rewind();
        CShape shape;
        while (source.ReadNextShape(shape))
            shapes.push_back(std::to_string(source.GetCurrentRecord()) + ": " + ShapeText(shape));
        EXPECT_EQ(shapes, (std::vector<std::string>{"0: 0 0, 1 1", "1: 8 8, 9 9", "2: 0 0, 1 1", "3: 8 8, 9 9"}));
        EXPECT_EQ(source.GetError(), CFeatureSource::kNoError);
    }

    // Points that do not read are passed over the same way.
    Bytes nanPoint = PointContent({2, 2});
    PutLittleEndian<double>(nanPoint.data() + 4, std::nan(""));
    const std::string points = dir.File("points.shp");
    WriteLayer(points,
               Files(CShpFile::kPoint,
                     {Record(1, PointContent({1, 1})), Record(2, nanPoint),
                      Record(3, ShapeContent(3, {{{3, 3}, {4, 4}}})), Record(4, PointContent({4, 4}))},
                     kBox),
               4);
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Open(points));
        EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 3}));
        EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
        CMapPoint point;
        EXPECT_TRUE(source.ReadPoint(3, point));
        EXPECT_EQ(point, CMapPoint(4, 4));
    }

    // Files that are no Shapefile.
    const std::string path = dir.File("junk.shp");
    WriteLayer(path, Files(3, {}, kBox), 0);
    WriteWholeFile(path, "not a shapefile");
    CShapefileSource source;
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kReadError);
    EXPECT_FALSE(source.IsOpen());
    RemoveFile(dir.File("junk.shx"));
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
}

TEST(ShapefileSource, ListedRecordsAndSearches)
{
    CTempDir dir;
    const std::string path = dir.File("areas.shp");
    {
        CShapefileSource source;
        MakeShapeLayer(source, path, CFeatureSource::kArea,
                       {"0 0, 0 10, 10 10, 10 0 | 2 2, 4 2, 4 4, 2 4", "20 20, 20 30, 30 30, 30 20",
                        "5 5, 5 6, 6 6, 6 5"});
    }
    CShapefileSource source;
    ASSERT_TRUE(source.Open(path));
    const int32_t list[] = {2, 0};
    source.SetRecordList(list, 2);
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{2, 0}));
    source.SetRecordList(nullptr, 0);

    CRecordArray records;
    EXPECT_TRUE(source.FindAreasAt({5.5, 5.5}, records));
    EXPECT_EQ(records, (CRecordArray{0, 2}));
    EXPECT_FALSE(source.FindAreasAt({3, 3}, records)); // in the hole
    EXPECT_TRUE(source.SelectWithin(CMapRect(0, 10, 10, 0), records));
    EXPECT_EQ(records, (CRecordArray{0, 2}));
    double distance = 0;
    EXPECT_TRUE(source.FindNearestLine({25, 31}, records, &distance));
    EXPECT_EQ(records, CRecordArray{1});
    EXPECT_NEAR(distance, 1.0, 1e-6);
    CMapPoint vertex;
    EXPECT_TRUE(source.FindNearestVertex({29, 29}, vertex));
    EXPECT_EQ(vertex, CMapPoint(30, 30));
    // A point shapefile answers point searches.
    const std::string points = dir.File("points.shp");
    {
        CShapefileSource writer;
        MakePointLayer(writer, points, {{1, 1}, {5, 5}, {9, 9}});
    }
    ASSERT_TRUE(source.Open(points));
    EXPECT_TRUE(source.SelectInRect(CMapRect(0, 6, 6, 0), records));
    EXPECT_EQ(records, (CRecordArray{0, 1}));
    EXPECT_TRUE(source.FindNearestVertex({8, 8.5}, vertex));
    EXPECT_EQ(vertex, CMapPoint(9, 9));
}

TEST(ShapefileSource, LargeLayersAnswerSmallWindowsFromTheSpatialIndex)
{
    CTempDir dir;
    const std::string path = dir.File("many.shp");
    constexpr int kCount = CFeatureSource::kIndexMinRecords + 1;
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, nullptr));
        for (int i = 0; i < kCount; ++i)
            ASSERT_TRUE(source.AppendPoint({static_cast<double>(i % 100), static_cast<double>(i / 100)}, true));
    }
    const CMapRect window(10.5, 20.5, 20.5, 10.5);
    std::vector<int> scanned;
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path));
        source.SetQueryRect(&window);
        EXPECT_FALSE(source.IsIndexInUse());
        scanned = PointRecords(source);
        ASSERT_TRUE(source.BuildSpatialIndex());
    }
    EXPECT_EQ(scanned.size(), 100u);
    CShapefileSource source;
    ASSERT_TRUE(source.Open(path));
    source.SetQueryRect(&window);
    EXPECT_TRUE(source.IsIndexInUse());
    EXPECT_EQ(PointRecords(source), scanned);
}

TEST(ShapefileSource, IndexQueriesDeliverWhatTheWalkDelivers)
{
    // Two records in the small window spoilt, which the index does not
    // stamp: a lying point count and a negative part count.
    CTempDir dir;
    const std::string path = dir.File("l.shp");
    {
        CShapefileSource source;
        MakeScatteredLines(source, path);
    }
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Open(path));
        ASSERT_TRUE(source.BuildSpatialIndex());
    }
    const std::vector<int> inSmall = IndexHitsOf<CShapefileSource>(path, kSmallWindow);
    ASSERT_GT(inSmall.size(), 1100u); // more than one batch read ahead
    const std::string shx = ReadWholeFile(dir.File("l.shx"));
    const auto contentOf = [&](int record) {
        const auto* entry = reinterpret_cast<const unsigned char*>(shx.data()) + 100 + 8 * record;
        return 2 * static_cast<size_t>(GetBigEndian<int32_t>(entry)) + 8;
    };
    std::string shp = ReadWholeFile(path);
    PutInt32At(shp, contentOf(inSmall[10]) + 40, 1 << 28);
    PutInt32At(shp, contentOf(inSmall[100]) + 36, -1);
    WriteWholeFile(path, shp);
    ExpectIndexReadsAsTheWalk<CShapefileSource>(path, dir.File("l.spx"), inSmall.size() - 2);
}
