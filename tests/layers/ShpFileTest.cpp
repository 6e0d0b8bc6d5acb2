#include "core/MapGeometry.h"
#include "layers/ShpFile.h"

#include "core/Shape.h"
#include "platform/ByteOrder.h"
#include "platform/Stream.h"
#include "tests/layers/ShapefileTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

// New files written through CShpFile into memory; the bytes are taken
// before the files are closed.
CWrittenFiles Write(int32_t type, const std::function<void(CShpFile&)>& append)
{
    auto main = std::make_unique<CMemoryStream>();
    auto index = std::make_unique<CMemoryStream>();
    CMemoryStream* mainRaw = main.get();
    CMemoryStream* indexRaw = index.get();
    CShpFile file;
    EXPECT_EQ(file.Create(std::move(main), std::move(index), type), CShpFile::kNoError);
    append(file);
    EXPECT_EQ(file.WriteHeaders(), CShpFile::kNoError);
    return {mainRaw->Data(), indexRaw->Data()};
}

int OpenBytes(CShpFile& file, const Bytes& main, const Bytes& index)
{
    return file.Open(std::make_unique<CMemoryStream>(main, false), std::make_unique<CMemoryStream>(index, false));
}

int32_t Be(const Bytes& b, size_t at)
{
    return GetBigEndian<int32_t>(b.data() + at);
}
int32_t Le(const Bytes& b, size_t at)
{
    return GetLittleEndian<int32_t>(b.data() + at);
}
double Dbl(const Bytes& b, size_t at)
{
    return GetLittleEndian<double>(b.data() + at);
}

const CShape kLine = MakeShape({{{0, 0}, {1, 1}, {2, 0}}, {{5, 5}, {6, 7}}});
const CShape kHoled = MakeShape({{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{2, 2}, {4, 2}, {4, 4}, {2, 2}}});

} // namespace

TEST(ShpFile, NewFilesCarryTheCreationHeaderByteForByte)
{
    const CWrittenFiles files = Write(CShpFile::kPolygon, [](CShpFile&) {});
    for (const Bytes* b : {&files.main, &files.index}) {
        ASSERT_EQ(b->size(), 100u);
        EXPECT_EQ(Be(*b, 0), 9994);
        for (size_t i = 4; i < 24; ++i)
            EXPECT_EQ((*b)[i], 0) << i;
        EXPECT_EQ(Be(*b, 24), 50);
        EXPECT_EQ(Le(*b, 28), 1000);
        EXPECT_EQ(Le(*b, 32), 5);
        EXPECT_EQ(Dbl(*b, 36), 0.0);
        EXPECT_EQ(Dbl(*b, 44), 0.0);
        EXPECT_EQ(Dbl(*b, 52), -1.0);
        EXPECT_EQ(Dbl(*b, 60), -1.0);
        for (size_t i = 68; i < 100; ++i)
            EXPECT_EQ((*b)[i], 0) << i;
    }
    // Read back, the untouched file is a valid empty layer.
    CShpFile file;
    ASSERT_EQ(OpenBytes(file, files.main, files.index), CShpFile::kNoError);
    EXPECT_EQ(file.GetRecordCount(), 0);
    EXPECT_EQ(file.GetShapeType(), CShpFile::kPolygon);
    EXPECT_EQ(file.RecordsEnd(), 100);
}

TEST(ShpFile, PointRecordsAreNumberedFromOneWithOffsetsInWords)
{
    const CWrittenFiles files = Write(CShpFile::kPoint, [](CShpFile& f) {
        EXPECT_EQ(f.AppendPoint({24.5, 54.25}), 0);
        EXPECT_EQ(f.AppendPoint({-3, 60}), 0);
    });
    const Bytes& m = files.main;
    ASSERT_EQ(m.size(), 156u);
    EXPECT_EQ(Be(m, 24), 78);
    EXPECT_EQ(Dbl(m, 36), -3.0);
    EXPECT_EQ(Dbl(m, 44), 54.25);
    EXPECT_EQ(Dbl(m, 52), 24.5);
    EXPECT_EQ(Dbl(m, 60), 60.0);
    for (int r = 0; r < 2; ++r) {
        const size_t at = 100 + 28 * static_cast<size_t>(r);
        EXPECT_EQ(Be(m, at), r + 1);
        EXPECT_EQ(Be(m, at + 4), 10);
        EXPECT_EQ(Le(m, at + 8), 1);
    }
    EXPECT_EQ(Dbl(m, 112), 24.5);
    EXPECT_EQ(Dbl(m, 120), 54.25);

    const Bytes& x = files.index;
    ASSERT_EQ(x.size(), 116u);
    EXPECT_EQ(Be(x, 24), 58);
    EXPECT_EQ(Dbl(x, 36), -3.0);
    EXPECT_EQ(Be(x, 100), 50);
    EXPECT_EQ(Be(x, 104), 10);
    EXPECT_EQ(Be(x, 108), 64);
    EXPECT_EQ(Be(x, 112), 10);
}

TEST(ShpFile, ShapeRecordsHoldBoxCountsStartsAndPoints)
{
    const CWrittenFiles files = Write(CShpFile::kPolyLine, [](CShpFile& f) { EXPECT_EQ(f.AppendShape(kLine), 0); });
    const Bytes& m = files.main;
    // 52 + 4 x 2 parts + 16 x 5 points.
    ASSERT_EQ(m.size(), 100u + 140u);
    EXPECT_EQ(Be(m, 100), 1);
    EXPECT_EQ(Be(m, 104), 140 / 2 - 4);
    EXPECT_EQ(Le(m, 108), 3);
    EXPECT_EQ(Dbl(m, 112), 0.0); // Xmin
    EXPECT_EQ(Dbl(m, 120), 0.0); // Ymin
    EXPECT_EQ(Dbl(m, 128), 6.0); // Xmax
    EXPECT_EQ(Dbl(m, 136), 7.0); // Ymax
    EXPECT_EQ(Le(m, 144), 2);
    EXPECT_EQ(Le(m, 148), 5);
    EXPECT_EQ(Le(m, 152), 0);
    EXPECT_EQ(Le(m, 156), 3);
    EXPECT_EQ(Dbl(m, 160 + 16 * 3), 5.0);
    EXPECT_EQ(Be(files.index, 100), 50);
    EXPECT_EQ(Be(files.index, 104), 66);
}

TEST(ShpFile, WrittenShapesReadBackPartForPart)
{
    for (const int32_t type : {CShpFile::kPolyLine, CShpFile::kPolygon}) {
        const CShape& shape = type == CShpFile::kPolyLine ? kLine : kHoled;
        const CWrittenFiles files = Write(type, [&](CShpFile& f) {
            EXPECT_EQ(f.AppendShape(shape), 0);
            EXPECT_EQ(f.AppendShape(shape), 0);
        });
        CShpFile file;
        ASSERT_EQ(OpenBytes(file, files.main, files.index), 0);
        ASSERT_EQ(file.GetRecordCount(), 2);
        EXPECT_EQ(file.GetHeader().Box(), shape.GetExtent());
        CShpFile::CRecord record;
        int64_t offset = CShpFile::FirstRecord();
        for (int n = 0; n < 2; ++n) {
            ASSERT_EQ(file.ReadRecord(offset, record), 0);
            CShape read;
            ASSERT_EQ(file.ReadShape(record, read), 0);
            EXPECT_TRUE(read.IsEqual(shape));
            offset = record.End();
        }
        EXPECT_EQ(offset, file.RecordsEnd());
        ASSERT_EQ(file.ReadIndexedRecord(1, record), 0);
        EXPECT_EQ(record.offset, 100 + (file.RecordsEnd() - 100) / 2);
    }
}

TEST(ShpFile, PolygonRingsAreWrittenClosedOuterClockwiseHolesCounterClockwise)
{
    // Open rings in the wrong turn: an outer ring counter-clockwise, a hole
    // clockwise, and a second island inside the hole counter-clockwise.
    const CShape given = MakeShape({{{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                                    {{2, 2}, {2, 8}, {8, 8}, {8, 2}},
                                    {{4, 4}, {6, 4}, {6, 6}, {4, 6}}});
    const CWrittenFiles files = Write(CShpFile::kPolygon, [&](CShpFile& f) { EXPECT_EQ(f.AppendShape(given), 0); });
    CShpFile file;
    ASSERT_EQ(OpenBytes(file, files.main, files.index), 0);
    CShpFile::CRecord record;
    ASSERT_EQ(file.ReadRecord(CShpFile::FirstRecord(), record), 0);
    CShape read;
    ASSERT_EQ(file.ReadShape(record, read), 0);
    ASSERT_EQ(read.GetPartCount(), 3);
    const double expectedTurn[] = {-1, +1, -1}; // clockwise is negative with y up
    for (int part = 0; part < 3; ++part) {
        const int start = read.GetPartStart(part);
        const int size = static_cast<int>(read.PartSizes()[static_cast<size_t>(part)]);
        ASSERT_EQ(size, 5) << part;
        EXPECT_EQ(read.Points()[start], read.Points()[start + size - 1]) << part;
        EXPECT_GT(SignedRingArea(read.Points().GetData() + start, size) * expectedTurn[part], 0) << part;
    }
    EXPECT_DOUBLE_EQ(read.Area(), given.Area());
}

TEST(ShpFile, WriterRefusesWhatItCannotStore)
{
    CShpFile file;
    EXPECT_EQ(file.Create(std::make_unique<CMemoryStream>(), std::make_unique<CMemoryStream>(), CShpFile::kMultiPoint),
              CShpFile::kWrongType);
    ASSERT_EQ(file.Create(std::make_unique<CMemoryStream>(), std::make_unique<CMemoryStream>(), CShpFile::kPolyLine),
              0);
    EXPECT_EQ(file.AppendPoint({1, 1}), CShpFile::kWrongType);
    CShape bad;
    bad.Copy(kLine);
    bad.PartSizes()[0] = 7;
    EXPECT_EQ(file.AppendShape(bad), CShpFile::kWrongType);
    CShape nan;
    nan.Copy(kLine);
    nan.Points()[1].x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(file.AppendShape(nan), CShpFile::kWrongType);
    EXPECT_EQ(file.GetWrittenCount(), 0);
    // Empty parts are left out, so the starts keep increasing.
    CShape gaps = MakeShape({{}, {{0, 0}, {1, 1}}, {}, {{2, 2}, {3, 3}}});
    EXPECT_EQ(file.AppendShape(gaps), 0);
    CShpFile::CRecord record;
    CShape read;
    ASSERT_EQ(file.ReadIndexedRecord(0, record), 0);
    ASSERT_EQ(file.ReadShape(record, read), 0);
    EXPECT_EQ(read.PartSizes(), (std::vector<uint32_t>{2, 2}));
}


TEST(ShpFile, MultipointNullAndEmptyRecordsReadAsTheyShould)
{
    Bytes nullContent;
    AddInt(nullContent, CShpFile::kNullShape);
    const CWrittenFiles files = Files(CShpFile::kMultiPoint, {Record(1, MultiPoint({{7, 8}, {9, 10}})),
                                                               Record(2, nullContent), Record(3, MultiPoint({}))});
    CShpFile file;
    ASSERT_EQ(OpenBytes(file, files.main, files.index), 0);
    CShpFile::CRecord record;
    CMapPoint point;
    bool empty = true;
    ASSERT_EQ(file.ReadIndexedRecord(0, record), 0);
    ASSERT_EQ(file.ReadPoint(record, point, empty), 0);
    EXPECT_FALSE(empty);
    EXPECT_EQ(point, CMapPoint(7, 8));
    for (int n : {1, 2}) {
        ASSERT_EQ(file.ReadIndexedRecord(n, record), 0);
        ASSERT_EQ(file.ReadPoint(record, point, empty), 0);
        EXPECT_TRUE(empty) << n;
    }

    // A line file's null record and a box without parts read as empty shapes.
    Bytes boxOnly;
    AddInt(boxOnly, CShpFile::kPolyLine);
    for (int i = 0; i < 4; ++i)
        AddDouble(boxOnly, 1);
    AddInt(boxOnly, 0);
    AddInt(boxOnly, 0);
    const CWrittenFiles lines = Files(CShpFile::kPolyLine, {Record(1, nullContent), Record(2, boxOnly)});
    ASSERT_EQ(OpenBytes(file, lines.main, lines.index), 0);
    for (int n : {0, 1}) {
        CShape shape;
        shape.Copy(kLine);
        ASSERT_EQ(file.ReadIndexedRecord(n, record), 0);
        EXPECT_EQ(record.contentBytes, n == 0 ? 4 : 44);
        ASSERT_EQ(file.ReadShape(record, shape), 0);
        EXPECT_EQ(shape.GetPointCount(), 0);
        EXPECT_FALSE(shape.GetExtent().IsValid());
    }
}

TEST(ShpFile, BadFilesGiveAnErrorAndNoReadOutsideTheData)
{
    const CWrittenFiles good = Write(CShpFile::kPolygon, [](CShpFile& f) {
        EXPECT_EQ(f.AppendShape(kHoled), 0);
        EXPECT_EQ(f.AppendShape(kHoled), 0);
    });
    // Offsets into the first record: its head at 100, its content at 108.
    constexpr size_t kContent = 108, kParts = kContent + 36, kPoints = kContent + 40, kStarts = kContent + 44;
    constexpr size_t kFirstX = kStarts + 8;
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        int error;
    };
    const auto setBe = [](size_t at, int32_t v) { return [=](Bytes& b) { PutBigEndian<int32_t>(b.data() + at, v); }; };
    const auto setLe = [](size_t at, int32_t v) { return [=](Bytes& b) { PutLittleEndian<int32_t>(b.data() + at, v); }; };
    const Case cases[] = {
        {"content length past the end", setBe(104, 0x7FFFFFF0), CShpFile::kBadStructure},
        {"negative content length", setBe(104, -8), CShpFile::kBadStructure},
        {"content length without the type", setBe(104, 1), CShpFile::kBadStructure},
        {"part count beyond the content", setLe(kParts, 1000), CShpFile::kBadStructure},
        {"negative part count", setLe(kParts, -1), CShpFile::kBadStructure},
        {"point count that overflows", setLe(kPoints, 0x7FFFFFFF), CShpFile::kBadStructure},
        {"negative point count", setLe(kPoints, -2), CShpFile::kBadStructure},
        {"parts without points", setLe(kPoints, 0), CShpFile::kBadStructure},
        {"first start not 0", setLe(kStarts, 1), CShpFile::kBadStructure},
        {"starts not increasing", setLe(kStarts + 4, 0), CShpFile::kBadStructure},
        {"start past the point count", setLe(kStarts + 4, 10), CShpFile::kBadStructure},
        {"start at the point count", setLe(kStarts + 4, 9), CShpFile::kBadStructure},
        {"coordinate not a number",
         [](Bytes& b) { PutLittleEndian<double>(b.data() + kFirstX, std::numeric_limits<double>::quiet_NaN()); },
         CShpFile::kBadStructure},
        {"box not a number",
         [](Bytes& b) { PutLittleEndian<double>(b.data() + kContent + 4, std::numeric_limits<double>::infinity()); },
         CShpFile::kBadStructure},
        {"record of another type", setLe(kContent, CShpFile::kPoint), CShpFile::kBadStructure},
        {"file cut inside the record", [](Bytes& b) { b.resize(150); }, CShpFile::kReadError},
    };
    for (const Case& c : cases) {
        Bytes main = good.main;
        c.damage(main);
        CShpFile file;
        ASSERT_EQ(OpenBytes(file, main, good.index), 0) << c.name;
        CShpFile::CRecord record;
        CShape shape;
        int error = file.ReadIndexedRecord(0, record);
        if (error == 0)
            error = file.ReadShape(record, shape);
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST(ShpFile, BadHeadersAndIndexEntriesAreRefused)
{
    const CWrittenFiles good = Write(CShpFile::kPoint, [](CShpFile& f) { EXPECT_EQ(f.AppendPoint({1, 2}), 0); });
    CShpFile file;
    Bytes main = good.main;
    main[3] = 0;
    EXPECT_EQ(OpenBytes(file, main, good.index), CShpFile::kBadStructure);
    main = good.main;
    PutLittleEndian<int32_t>(main.data() + 28, 999);
    EXPECT_EQ(OpenBytes(file, main, good.index), CShpFile::kBadStructure);
    main = good.main;
    PutBigEndian<int32_t>(main.data() + 24, 10);
    EXPECT_EQ(OpenBytes(file, main, good.index), CShpFile::kBadStructure);
    EXPECT_EQ(OpenBytes(file, Bytes(good.main.begin(), good.main.begin() + 60), good.index), CShpFile::kReadError);
    EXPECT_FALSE(file.IsOpen());

    // Index entries that point outside the records, or at the header.
    for (const int32_t words : {-4, 0, 10, 49, 78, 0x7FFFFFFF}) {
        Bytes index = good.index;
        PutBigEndian<int32_t>(index.data() + 100, words);
        ASSERT_EQ(OpenBytes(file, good.main, index), 0);
        CShpFile::CRecord record;
        EXPECT_NE(file.ReadIndexedRecord(0, record), 0) << words;
    }
    // A point record whose content is too short for a point.
    main = good.main;
    PutBigEndian<int32_t>(main.data() + 104, 6);
    ASSERT_EQ(OpenBytes(file, main, good.index), 0);
    CShpFile::CRecord record;
    CMapPoint point;
    bool empty = false;
    ASSERT_EQ(file.ReadIndexedRecord(0, record), 0);
    EXPECT_EQ(file.ReadPoint(record, point, empty), CShpFile::kBadStructure);
    // Index records past the first are not there; a stated index length
    // longer than the file counts only what it holds.
    EXPECT_NE(file.ReadIndexedRecord(1, record), 0);
    Bytes index = good.index;
    PutBigEndian<int32_t>(index.data() + 24, 1000);
    ASSERT_EQ(OpenBytes(file, good.main, index), 0);
    EXPECT_EQ(file.GetRecordCount(), 1);
}
