#include "tests/layers/GdbTestSupport.h"

#include "core/CoordConverter.h"
#include "core/SpatialFilter.h"
#include "layers/SpatialIndex.h"
#include "platform/Path.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<CMapPoint> Diagonal(int count)
{
    std::vector<CMapPoint> points;
    for (int i = 0; i < count; ++i)
        points.emplace_back(i, i);
    return points;
}

class CShiftConverter : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& point) const override { point.x += 100; }
};

} // namespace

TEST(FeatureSource, TheReadersDeliverWhatTheRestrictionsLetThrough)
{
    CTempDir dir;
    const std::string path = dir.File("p.gdb");
    {
        CGdbSource source;
        MakePointLayer(source, path, Diagonal(10));
        ASSERT_TRUE(source.DeleteRecord(4));
    }
    static const int32_t list[] = {9, 3, 99, -1, 8, 4};
    CSpatialFilter area;
    area.SetShape(CSpatialFilter::kArea, Shape("0.5 0.5, 3.5 0.5, 3.5 3.5, 0.5 3.5"));
    const struct {
        const char* what;
        std::function<void(CFeatureSource&)> restrict;
        std::vector<int> records;
    } cases[] = {
        {"nothing", [](CFeatureSource&) {}, {0, 1, 2, 3, 5, 6, 7, 8, 9}},
        {"a query rectangle, edges included",
         [](CFeatureSource& s) {
             const CMapRect r(2, 7, 7, 2);
             s.SetQueryRect(&r);
         },
         {2, 3, 5, 6, 7}},
        {"a second rectangle narrows the first",
         [](CFeatureSource& s) {
             const CMapRect a(2, 7, 7, 2), b(5, 9, 9, 5);
             s.SetQueryRect(&a);
             s.SetQueryRect(&b);
         },
         {5, 6, 7}},
        {"rectangles that do not meet leave nothing",
         [](CFeatureSource& s) {
             const CMapRect a(0, 3, 3, 0), b(5, 9, 9, 5);
             s.SetQueryRect(&a);
             s.SetQueryRect(&b);
         },
         {}},
        {"no rectangle after one",
         [](CFeatureSource& s) {
             const CMapRect a(0, 3, 3, 0);
             s.SetQueryRect(&a);
             s.SetQueryRect(nullptr);
         },
         {0, 1, 2, 3, 5, 6, 7, 8, 9}},
        {"a filter", [](CFeatureSource& s) { EXPECT_TRUE(s.SetFilter("N > 6")); }, {7, 8, 9}},
        {"a filter that does not compile", [](CFeatureSource& s) { EXPECT_FALSE(s.SetFilter("N >")); },
         {0, 1, 2, 3, 5, 6, 7, 8, 9}},
        {"an excluded record", [](CFeatureSource& s) { s.SetExcludedRecord(8); }, {0, 1, 2, 3, 5, 6, 7, 9}},
        {"a record list",
         [](CFeatureSource& s) {
             s.SetRecordList(list, 6);
             s.SetExcludedRecord(8);
         },
         {9, 3}},
        {"a record list and a filter",
         [](CFeatureSource& s) {
             s.SetRecordList(list, 6);
             s.SetFilter("N > 5");
         },
         {9, 8}},
        {"the last record only", [](CFeatureSource& s) { EXPECT_TRUE(s.SetLastRecordMode()); }, {9}},
        {"a spatial filter", [&](CFeatureSource& s) { s.SetSpatialFilter(&area); }, {1, 2, 3}},
        {"a spatial filter with a query rectangle",
         [&](CFeatureSource& s) {
             const CMapRect r(2, 9, 9, 2);
             s.SetQueryRect(&r);
             s.SetSpatialFilter(&area);
         },
         {2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CGdbSource source;
        ASSERT_TRUE(source.Open(path));
        c.restrict(source);
        EXPECT_EQ(PointRecords(source), c.records);
        EXPECT_EQ(source.GetError(), 0);
        // The searches see the same objects.
        CRecordArray within;
        source.SelectWithin(CMapRect(-1, 20, 20, -1), within);
        EXPECT_EQ(std::vector<int>(within.begin(), within.end()), c.records);
    }

    // Last-record mode holds for the attribute table alone too, once.
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.SetLastRecordMode());
    ASSERT_TRUE(source.MoveNext());
    EXPECT_EQ(source.GetCurrentRecord(), 9);
    EXPECT_FALSE(source.MoveNext());
    // Without a list MoveNext steps the live records that pass the filter.
    source.SetRecordList(nullptr, 0);
    source.Rewind();
    ASSERT_TRUE(source.SetFilter("N > 2 .AND. N < 6"));
    std::vector<int> moved;
    while (source.MoveNext())
        moved.push_back(source.GetCurrentRecord());
    EXPECT_EQ(moved, (std::vector<int>{3, 5}));
}

TEST(FeatureSource, NearestObjectsAndTies)
{
    CTempDir dir;
    CGdbSource points;
    MakePointLayer(points, dir.File("p.gdb"), {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {5, 5}});
    CRecordArray records;
    double distance = 0;
    // All records at the smallest |dx| + |dy|, in reading order.
    ASSERT_TRUE(points.FindNearestPoints(CMapPoint(1, 0), records, &distance));
    EXPECT_EQ(records, (CRecordArray{0, 1, 2}));
    EXPECT_EQ(distance, 1.0);
    CMapPoint vertex;
    ASSERT_TRUE(points.FindNearestVertex(CMapPoint(1, 0), vertex));
    EXPECT_EQ(vertex, CMapPoint(1, 1)); // ties go to the later
    points.SetExcludedRecord(2);
    ASSERT_TRUE(points.FindNearestVertex(CMapPoint(1, 0), vertex));
    EXPECT_EQ(vertex, CMapPoint(2, 0));

    CGdbSource lines;
    MakeShapeLayer(lines, dir.File("l.gdb"), CFeatureSource::kLine, {"0 0, 10 0", "0 2, 10 2", "0 5, 10 5"});
    ASSERT_TRUE(lines.FindNearestLine(CMapPoint(5, 1), records, &distance));
    EXPECT_EQ(records, (CRecordArray{0, 1}));
    EXPECT_NEAR(distance, 1.0, 1e-8);
    lines.SetExcludedRecord(0);
    ASSERT_TRUE(lines.FindNearestLine(CMapPoint(5, 1), records, nullptr));
    EXPECT_EQ(records, CRecordArray{1});
    lines.SetExcludedRecord(-1);
    // Vertices by the larger of |dx| and |dy|, the later of equals.
    ASSERT_TRUE(lines.FindNearestVertex(CMapPoint(9, 1), vertex));
    EXPECT_EQ(vertex, CMapPoint(10, 2));
    // With a query rectangle the vertex lies in it.
    const CMapRect window(9.5, 1.5, 11, -1);
    lines.SetQueryRect(&window);
    ASSERT_TRUE(lines.FindNearestVertex(CMapPoint(9, 1), vertex));
    EXPECT_EQ(vertex, CMapPoint(10, 0));
    const CMapRect away(50, 60, 60, 50);
    lines.SetQueryRect(&away);
    EXPECT_FALSE(lines.FindNearestVertex(CMapPoint(9, 1), vertex));
    EXPECT_FALSE(lines.FindNearestLine(CMapPoint(9, 1), records, nullptr));

    CGdbSource areas;
    MakeShapeLayer(areas, dir.File("a.gdb"), CFeatureSource::kArea,
                   {"0 0, 4 0, 4 4, 0 4", "2 2, 6 2, 6 6, 2 6", "10 10, 12 10, 12 12, 10 12"});
    ASSERT_TRUE(areas.FindAreasAt(CMapPoint(3, 3), records));
    EXPECT_EQ(records, (CRecordArray{0, 1}));
    ASSERT_TRUE(areas.FindAreasAt(CMapPoint(4, 3), records)); // on the first's edge, inside the second
    EXPECT_EQ(records, (CRecordArray{0, 1}));
    ASSERT_TRUE(areas.FindAreasAt(CMapPoint(6, 6), records)); // a corner counts
    EXPECT_EQ(records, CRecordArray{1});
    EXPECT_FALSE(areas.FindAreasAt(CMapPoint(8, 8), records));
    EXPECT_FALSE(areas.FindAreasAt(CMapPoint(100, 100), records));
    ASSERT_TRUE(areas.SelectWithin(CMapRect(0, 6, 6, 0), records));
    EXPECT_EQ(records, (CRecordArray{0, 1}));
    ASSERT_TRUE(areas.SelectInRect(CMapRect(1, 13, 13, 1), records));
    EXPECT_EQ(records, (CRecordArray{1, 2}));
    EXPECT_FALSE(areas.SelectWithin(CMapRect(20, 30, 30, 20), records));

    // Label points: the interior point of each shape, inside the query rectangle.
    const CMapRect labels(0, 7, 7, 0);
    areas.SetQueryRect(&labels);
    areas.Rewind();
    std::vector<CMapPoint> found;
    CMapPoint point;
    while (areas.ReadNextLabelPoint(point))
        found.push_back(point);
    EXPECT_EQ(found, (std::vector<CMapPoint>{{2, 2}, {4, 4}}));
    EXPECT_EQ(areas.GetError(), 0);
}

TEST(FeatureSource, FiltersMeasureTheObjectTheyTest)
{
    CTempDir dir;
    CGdbSource lines;
    MakeShapeLayer(lines, dir.File("l.gdb"), CFeatureSource::kLine,
                   {"0 0, 1 0", "0 0, 1 0, 1 1", "0 0, 1 0, 1 1, 0 0", "0 0, 3 4 | 5 5, 6 6"});
    const struct {
        const char* filter;
        std::vector<int> records;
    } lineCases[] = {
        {"OBJ_NUMPOINTS() > 2", {1, 2, 3}},
        {"OBJ_NUMPARTS() = 2", {3}},
        {"OBJ_ISCLOSED()", {2}},
        {"OBJ_LENGTH() > 5", {3}},
        {"OBJ_AREA() = 0 .AND. N > 1", {2, 3}},
    };
    for (const auto& c : lineCases) {
        SCOPED_TRACE(c.filter);
        ASSERT_TRUE(lines.SetFilter(c.filter));
        EXPECT_EQ(ShapeRecords(lines), c.records);
    }

    CGdbSource areas;
    MakeShapeLayer(areas, dir.File("a.gdb"), CFeatureSource::kArea,
                   {"0 0, 2 0, 2 2, 0 2", "0 0, 4 0, 4 4, 0 4", "0 0, 4 0, 4 4, 0 4 | 1 1, 3 1, 3 3, 1 3"});
    const struct {
        const char* filter;
        std::vector<int> records;
    } areaCases[] = {
        {"OBJ_AREA() > 5 .AND. OBJ_AREA() < 13", {2}},
        {"OBJ_LENGTH() > 7.9 .AND. OBJ_LENGTH() < 8.1", {0}},
        {"OBJ_ISCLOSED() .AND. OBJ_NUMPARTS() = 1", {0, 1}},
    };
    for (const auto& c : areaCases) {
        SCOPED_TRACE(c.filter);
        ASSERT_TRUE(areas.SetFilter(c.filter));
        EXPECT_EQ(ShapeRecords(areas), c.records);
        // The shapes delivered are the ones measured.
        areas.Rewind();
        CShape shape;
        ASSERT_TRUE(areas.ReadNextShape(shape));
        CShape direct;
        ASSERT_TRUE(areas.ReadShape(areas.GetCurrentRecord(), direct));
        EXPECT_TRUE(shape.IsEqual(direct));
    }
}

TEST(FeatureSource, CopiesFeaturesClippedConvertedAndWithTheirAttributes)
{
    CTempDir dir;
    CGdbSource lines;
    MakeShapeLayer(lines, dir.File("l.gdb"), CFeatureSource::kLine,
                   {"2 2, 8 8", "-5 5, 15 5", "0 25, 25 0", "20 20, 30 30"});
    const CMapRect window(0, 10, 10, 0);
    lines.SetQueryRect(&window);

    CGdbSource clipped;
    ASSERT_TRUE(clipped.CreateFrom(dir.File("c.gdb"), lines, true));
    // The line whose box meets the window but not the line itself is dropped.
    const char* expected[] = {"2 2, 8 8", "0 5, 10 5"};
    ASSERT_EQ(clipped.GetTable().GetRecordCount(), 2);
    for (int n = 0; n < 2; ++n) {
        CShape shape;
        ASSERT_TRUE(clipped.ReadShape(n, shape));
        EXPECT_EQ(ShapeText(shape), expected[n]);
        EXPECT_EQ(shape.GetExtent(), (CMapRect(n ? 0 : 2, n ? 5 : 8, n ? 10 : 8, n ? 5 : 2)));
        std::string name;
        clipped.GetFieldText(n, 0, name);
        EXPECT_EQ(name, "S" + std::to_string(n));
    }
    EXPECT_EQ(clipped.GetFieldInfos().size(), 3u);

    CGdbSource whole;
    ASSERT_TRUE(whole.CreateFrom(dir.File("w.gdb"), lines, false));
    EXPECT_EQ(ShapeRecords(whole), (std::vector<int>{0, 1, 2}));

    CGdbSource points;
    MakePointLayer(points, dir.File("p.gdb"), Diagonal(4));
    ASSERT_TRUE(points.SetFilter("N > 1"));
    const CShiftConverter shift;
    points.SetCoordConverter(&shift);
    CGdbSource copy;
    ASSERT_TRUE(copy.CreateFrom(dir.File("q.gdb"), points, true));
    CShape all;
    ASSERT_TRUE(copy.ReadAllPoints(all));
    EXPECT_EQ(ShapeText(all), "102 2, 103 3");
    std::string name;
    copy.GetFieldText(1, 0, name);
    EXPECT_EQ(name, "P3");
    CMapRect extent;
    copy.GetExtent(extent);
    EXPECT_EQ(extent, CMapRect(102, 3, 103, 2));

    // A copy short of a malformed object says so, not in silence, and
    // holds every object before and after it.
    CGdbSource broken;
    MakeShapeLayer(broken, dir.File("b.gdb"), CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    broken.Close();
    std::string vec = ReadWholeFile(dir.File("b.vec"));
    PutInt32At(vec, 164 + 16, -1);
    WriteWholeFile(dir.File("b.vec"), vec);
    ASSERT_TRUE(broken.Open(dir.File("b.gdb")));
    CGdbSource partial;
    EXPECT_FALSE(partial.CreateFrom(dir.File("x.gdb"), broken, false));
    EXPECT_EQ(broken.GetError(), CFeatureSource::kBadStructure);
    ASSERT_EQ(partial.GetTable().GetRecordCount(), 2);
    partial.GetFieldText(1, 0, name);
    EXPECT_EQ(name, "S2");
}

TEST(FeatureSource, TheSpatialIndexServesOnlyLargeTablesAndOnlyItsOwnTable)
{
    CTempDir dir;
    const std::string path = dir.File("p.gdb");
    std::vector<CMapPoint> grid;
    for (int i = 0; i < 8000; ++i)
        grid.emplace_back(i % 100, i / 100);
    {
        CGdbSource source;
        MakePointLayer(source, path, grid);
        // Built with a filter in force, the index still holds every object.
        ASSERT_TRUE(source.SetFilter("N < 10"));
        const CMapRect window(0, 1, 1, 0);
        source.SetQueryRect(&window);
        ASSERT_TRUE(source.BuildSpatialIndex());
        EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 1}));
    }
    ASSERT_TRUE(PathExists(dir.File("p.spx")));
    const CMapRect small(10.5, 20.5, 12.5, 18.5); // well under a quarter of the extent
    const std::vector<int> inSmall = {1911, 1912, 2011, 2012};
    {
        // 8000 records: never the index.
        CGdbSource source;
        ASSERT_TRUE(source.Open(path));
        source.SetQueryRect(&small);
        EXPECT_FALSE(source.IsIndexInUse());
        EXPECT_EQ(PointRecords(source), inSmall);
    }
    {
        CGdbSource source;
        ASSERT_TRUE(source.Open(path));
        const CMapPoint extra(50.5, 50.5);
        AppendWithAttributes(source, nullptr, &extra, "P8000", 8000);
        // The index no longer matches the table and is passed by.
        source.SetQueryRect(&small);
        EXPECT_FALSE(source.IsIndexInUse());
        ASSERT_TRUE(source.BuildSpatialIndex());
    }
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    source.SetQueryRect(&small);
    EXPECT_TRUE(source.IsIndexInUse());
    EXPECT_EQ(PointRecords(source), inSmall);
    source.SetExcludedRecord(1912);
    EXPECT_EQ(PointRecords(source), (std::vector<int>{1911, 2011, 2012}));
    source.SetExcludedRecord(-1);
    // A big window walks the table.
    CGdbSource wide;
    ASSERT_TRUE(wide.Open(path));
    const CMapRect big(0, 99, 99, 0);
    wide.SetQueryRect(&big);
    EXPECT_FALSE(wide.IsIndexInUse());
    EXPECT_EQ(PointRecords(wide).size(), 8001u);

    // Appended in this session: the hits are dropped and the walk finds it.
    const CMapPoint inside(11, 20);
    AppendWithAttributes(source, nullptr, &inside, "P8001", 8001);
    EXPECT_FALSE(source.IsIndexInUse());
    EXPECT_EQ(PointRecords(source), (std::vector<int>{1911, 1912, 2011, 2012, 8001}));
    source.Close();

    // An index of another table, or no index at all, is not used; nor is
    // one with damage the query meets: the readers walk the table.
    const std::string own = ReadWholeFile(dir.File("p.spx"));
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.BuildSpatialIndex());
    source.Close();
    std::string damaged = ReadWholeFile(dir.File("p.spx"));
    const auto* bytes = reinterpret_cast<const unsigned char*>(damaged.data());
    size_t item = 64 + 12 * static_cast<size_t>(GetLittleEndian<int32_t>(bytes + 48));
    while (item + 8 <= damaged.size() && GetLittleEndian<int32_t>(bytes + item + 4) != 1912)
        item += 8;
    ASSERT_LT(item, damaged.size());
    PutInt32At(damaged, item + 4, 9000); // past the table
    for (const std::string& foreign : {std::string("not an index"), own.substr(0, 40), own, damaged}) {
        WriteWholeFile(dir.File("p.spx"), foreign);
        ASSERT_TRUE(source.Open(path));
        source.SetQueryRect(&small);
        EXPECT_FALSE(source.IsIndexInUse());
        EXPECT_EQ(PointRecords(source), (std::vector<int>{1911, 1912, 2011, 2012, 8001}));
        source.Close();
    }

    // Moving an object drops the index it made wrong.
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.BuildSpatialIndex());
    ASSERT_TRUE(source.ReplacePoint(CMapPoint(70, 70), 1911));
    EXPECT_FALSE(PathExists(dir.File("p.spx")));
}
