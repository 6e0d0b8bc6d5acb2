#include "layers/DxfSource.h"

#include "core/SpatialFilter.h"
#include "layers/GdbSource.h"
#include "platform/Stream.h"
#include "platform/Strings.h"
#include "tests/layers/LayerFileSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CMemoryStream> StreamOf(const std::string& bytes)
{
    return std::make_unique<CMemoryStream>(std::vector<unsigned char>(bytes.begin(), bytes.end()), false);
}

void OpenDrawing(CDxfSource& source, const std::string& bytes)
{
    ASSERT_TRUE(source.OpenStream(StreamOf(bytes)));
    EXPECT_EQ(source.GetError(), 0);
}

std::string PointsText(const CShape& shape)
{
    std::string text;
    for (const CMapPoint& p : shape.Points())
        text += (text.empty() ? "" : ", ") + FormatC("%g %g", p.x, p.y);
    return text;
}

std::string PointsText(const std::vector<CMapPoint>& points)
{
    CShape shape;
    shape.SetPoints(static_cast<int>(points.size()), points.data());
    return PointsText(shape);
}

// Curves: the point count, the first and last points, and one between.
struct CCurve {
    int count;
    CMapPoint first, last;
    int probe;
    CMapPoint at;
};

void ExpectCurve(const CShape& shape, const CCurve& curve)
{
    ASSERT_EQ(shape.GetPointCount(), curve.count);
    const auto near = [](const CMapPoint& a, const CMapPoint& b) {
        EXPECT_NEAR(a.x, b.x, 1e-12);
        EXPECT_NEAR(a.y, b.y, 1e-12);
    };
    near(shape.GetPoint(0), curve.first);
    near(shape.GetPoint(curve.count - 1), curve.last);
    near(shape.GetPoint(curve.probe), curve.at);
    for (const CMapPoint& p : shape.Points())
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

// Every kind of shape, names in mixed case, codes with leading blanks.
const char* const kShapes = "0 line|8 Keliai|62 7|10 0|20 0|30 0|11 3|21 4|31 0"
                            "|0 POLYLINE|8 Ribos|66 1|10 0|20 0|70 0"
                            "|0 Vertex|10 0|20 0|0 VERTEX|10 1|20 0|0 vertex|10 1|20 1|0 SeqEnd"
                            "|0 polyline|70 1|62 3|0 VERTEX|10 5|20 5|0 VERTEX|10 6|20 5|0 VERTEX|10 6|20 6|0 SEQEND"
                            "|0 LwPolyline|8 Pastatai|90 4|70 1|10 0|20 0|10 2|20 0|10 2|20 2|10 0|20 2"
                            "|0 Circle|10 10|20 10|40 2"
                            "|0 ARC|10 0|20 0|40 2|50 0|51 90"
                            "|0 arc|10 0|20 0|40 1|50 350|51 10"
                            "|0 ARC|10 0|20 0|40 1|50 45|51 45"
                            "|0 SOLID|10 0|20 0|11 1|21 0|12 0|22 1|13 1|23 1"
                            "|0 LINE|10 7|20 7|11 7|21 7";

const CMapPoint kAt45(std::cos(M_PI / 4), std::sin(M_PI / 4));

} // namespace

TEST(DxfSource, ShapesOfEveryKindWithLfAndCrlf)
{
    const struct {
        const char* attributes;
        const char* points; // exact, or empty for a curve
        CCurve curve;
    } expected[] = {
        {"0001|Keliai|LINE|7||2", "0 0, 3 4", {}},
        {"0002|Ribos|POLYLINE|7||3", "0 0, 1 0, 1 1", {}},
        {"0003|Ribos|POLYLINE|3|1|4", "5 5, 6 5, 6 6, 5 5", {}},
        {"0004|Pastatai|POLYLINE|3|1|5", "0 0, 2 0, 2 2, 0 2, 0 0", {}},
        {"0005|Pastatai|CIRCLE|3|1|73", "", {73, {12, 10}, {12, 10}, 18, {10, 12}}},
        {"0006|Pastatai|ARC|3||19", "", {19, {2, 0}, {0, 2}, 9, {2 * kAt45.x, 2 * kAt45.y}}},
        // Across 0 degrees: from 350 up to 370.
        {"0007|Pastatai|ARC|3||5",
         "",
         {5, {std::cos(-M_PI / 18), std::sin(-M_PI / 18)}, {std::cos(M_PI / 18), std::sin(M_PI / 18)}, 2, {1, 0}}},
        // Equal angles: its two ends, which meet.
        {"0008|Pastatai|ARC|3|1|2", "", {2, kAt45, kAt45, 1, kAt45}},
        {"0009|Pastatai|SOLID|3|1|5", "0 0, 1 0, 0 1, 1 1, 0 0", {}},
        {"0010|Pastatai|LINE|3|1|2", "7 7, 7 7", {}},
    };
    for (const char* eol : {"\n", "\r\n"}) {
        SCOPED_TRACE(eol[0] == '\r' ? "CRLF" : "LF");
        CDxfSource source;
        OpenDrawing(source, DxfDrawing(kShapes, eol));
        EXPECT_TRUE(source.HasEntities());
        CShape first;
        ASSERT_TRUE(source.ReadNextShape(first));
        // The table stands on the object read, as its record.
        EXPECT_EQ(source.GetTable().GetCurrentRecord(), 0);
        const CRead read = ReadShapes(source);
        ASSERT_EQ(read.shapes.size(), std::size(expected));
        for (size_t i = 0; i < std::size(expected); ++i) {
            SCOPED_TRACE(expected[i].attributes);
            EXPECT_EQ(read.attributes[i], expected[i].attributes);
            const CShape& shape = read.shapes[i];
            EXPECT_EQ(shape.PartSizes(), std::vector<uint32_t>{static_cast<uint32_t>(shape.GetPointCount())});
            if (*expected[i].points)
                EXPECT_EQ(PointsText(shape), expected[i].points);
            else
                ExpectCurve(shape, expected[i].curve);
        }
        // The circle comes round exactly.
        EXPECT_EQ(read.shapes[4].GetPoint(0), read.shapes[4].GetPoint(72));
        EXPECT_EQ(source.GetError(), 0);
        // The texts' pass finds none among the shapes.
        EXPECT_TRUE(ReadPoints(source).points.empty());
    }
}

TEST(DxfSource, PointsAndTextsComeThroughTheirOwnPass)
{
    CDxfSource source;
    OpenDrawing(source, DxfDrawing("0 TEXT|8 Vardai|62 5|1 Vilnius|10 25.28|20 54.69"
                                   "|0 LINE|8 Keliai|10 0|20 0|11 1|21 1"
                                   "|0 point|10 1.5|20 -2"
                                   "|0 Text|10 3|20 4|40 2.5|1 Kaunas ir Klaipeda, miestai prie vandens"
                                   "|0 POINT|8 Taskai|10 5|20 6",
                                   "\r\n"));
    const CRead read = ReadPoints(source);
    EXPECT_EQ(PointsText(read.points), "25.28 54.69, 1.5 -2, 3 4, 5 6");
    // The layer goes on from the object before; a shape passed over gives
    // none. Points and texts have no colour, closing or point count.
    EXPECT_EQ(read.attributes, (std::vector<std::string>{
                                   "Vilnius|Vardai|TEXT|||",
                                   "0002|Vardai|POINT|||",
                                   "Kaunas ir Klaipeda, miestai pr|Vardai|TEXT|||",
                                   "0004|Taskai|POINT|||",
                               }));
    // The shapes' pass numbers its own objects.
    const CRead shapes = ReadShapes(source);
    EXPECT_EQ(shapes.attributes, std::vector<std::string>{"0001|Keliai|LINE|0||2"});
}

TEST(DxfSource, TheAttributeTableHoldsTheFieldsOfTheDrawing)
{
    CDxfSource source;
    OpenDrawing(source, DxfDrawing(""));
    const std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
    const std::vector<CDbfFieldInfo> expected = FieldList({{"LABEL", 'C', 30, 0},
                                                           {"LAYER", 'C', 30, 0},
                                                           {"SHAPE", 'C', 10, 0},
                                                           {"COLOR", 'N', 3, 0},
                                                           {"CLOSED", 'C', 1, 0},
                                                           {"NP", 'N', 6, 0}});
    ASSERT_EQ(fields.size(), expected.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_STREQ(fields[i].name, expected[i].name);
        EXPECT_EQ(fields[i].type, expected[i].type);
        EXPECT_EQ(fields[i].length, expected[i].length);
        EXPECT_EQ(fields[i].decimals, expected[i].decimals);
    }
    EXPECT_TRUE(source.GetTable().GetPath().empty()); // in memory
}

TEST(DxfSource, WhatTheDrawingHoldsOutsideItsEntitiesIsNotRead)
{
    const struct {
        const char* name;
        std::string bytes;
        bool entities;
        int shapes;
    } cases[] = {
        {"no entities section",
         DxfLines("0 SECTION|2 HEADER|9 $ACADVER|1 AC1009|0 ENDSEC|0 SECTION|2 BLOCKS|0 LINE|10 0|20 0|11 1|21 1|0 "
                  "ENDSEC|0 EOF"),
         false, 0},
        {"empty file", "", false, 0},
        {"SECTION not directly before ENTITIES", DxfLines("0 SECTION|9 X|2 ENTITIES|0 LINE|10 0|20 0|11 1|21 1"),
         false, 0},
        {"ENDSEC ends the reading",
         DxfLines("0 SECTION|2 entities|0 LINE|10 0|20 0|11 1|21 1|0 endsec|0 LINE|10 0|20 0|11 1|21 1"), true, 1},
        {"a new section ends it too",
         DxfLines("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0|11 1|21 1|0 SECTION|2 BLOCKS|0 LINE|10 0|20 0|11 1|21 1"),
         true, 1},
        {"a cut file ends with what it holds", DxfLines("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0|11 1|21 1"), true, 1},
        {"a code without its value", DxfLines("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0|11 1") + " 21\n", true, 0},
        {"pairs before the first entity", DxfLines("0 SECTION|2 ENTITIES|5 1F|0 LINE|10 0|20 0|11 1|21 1"), true,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDxfSource source;
        OpenDrawing(source, c.bytes);
        EXPECT_EQ(source.HasEntities(), c.entities);
        EXPECT_EQ(ReadShapes(source).shapes.size(), static_cast<size_t>(c.shapes));
        EXPECT_TRUE(ReadPoints(source).points.empty());
        EXPECT_EQ(source.GetError(), 0);
    }
}

TEST(DxfSource, BrokenEntitiesEndAtTheNextEntityAndAreDropped)
{
    const std::string longText(250, 'x');
    const struct {
        const char* name;
        std::string entities;
        bool points;          // the pass
        const char* expected; // the points delivered, shapes separated by " / "
    } cases[] = {
        {"TEXT without group 1", "0 TEXT|10 1|20 2|0 POINT|10 3|20 4", true, "3 4"},
        {"POINT without group 20", "0 POINT|10 1|0 POINT|10 3|20 4", true, "3 4"},
        {"a value over 200 characters", "0 TEXT|1 " + longText + "|10 1|20 2|0 POINT|10 3|20 4", true, "1 2, 3 4"},
        {"x that is no number", "0 POINT|10 abc|20 1|0 POINT|10 1e999|20 1|0 POINT|10 nan|20 1|0 POINT|10 3|20 4",
         true, "3 4"},
        {"x with a tail", "0 POINT|10 1.5.2|20 1|0 POINT|10 3  |20 4", true, "3 4"},
        {"LINE with an end beyond any number", "0 LINE|10 0|20 0|11 1e999|21 1|0 LINE|10 5|20 5|11 6|21 6", false,
         "5 5, 6 6"},
        {"POLYLINE with a vertex at infinity",
         "0 POLYLINE|0 VERTEX|10 inf|20 0|0 VERTEX|10 1|20 1|0 SEQEND|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"ARC with an angle that is no number", "0 ARC|10 0|20 0|40 1|50 nan|51 90|0 LINE|10 5|20 5|11 6|21 6", false,
         "5 5, 6 6"},
        {"LINE without group 21", "0 LINE|10 0|20 0|11 1|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"LWPOLYLINE without group 90", "0 LWPOLYLINE|70 0|10 0|20 0|10 1|20 1|0 LINE|10 5|20 5|11 6|21 6", false,
         "0 0, 1 1 / 5 5, 6 6"},
        {"LWPOLYLINE with fewer vertices than 90 says", "0 LWPOLYLINE|90 3|10 0|20 0|10 1|20 1|0 POINT|10 9|20 9",
         false, "0 0, 1 1"},
        {"LWPOLYLINE with more vertices than 90 says", "0 LWPOLYLINE|90 2|10 0|20 0|10 1|20 1|10 x|20 2", false,
         "0 0, 1 1"},
        {"LWPOLYLINE with a vertex that is no number",
         "0 LWPOLYLINE|90 2|10 0|20 0|10 1|20 -|0 LINE|10 5|20 5|11 6|21 6",
         false, "5 5, 6 6"},
        {"POLYLINE without SEQEND",
         "0 POLYLINE|70 1|0 VERTEX|10 0|20 0|0 VERTEX|10 1|20 0|0 LINE|10 5|20 5|11 6|21 6", false,
         "0 0, 1 0, 0 0 / 5 5, 6 6"},
        {"POLYLINE with a vertex without y",
         "0 POLYLINE|0 VERTEX|10 0|20 0|0 VERTEX|10 1|0 SEQEND|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"POLYLINE without vertices", "0 POLYLINE|70 1|0 SEQEND|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"VERTEX without POLYLINE", "0 VERTEX|10 0|20 0|0 SEQEND|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"SOLID of three corners", "0 SOLID|10 0|20 0|11 1|21 0|12 0|22 1", false, "0 0, 1 0, 0 1, 0 1, 0 0"},
        {"CIRCLE without a radius", "0 CIRCLE|10 0|20 0|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"CIRCLE that overflows", "0 CIRCLE|10 1e308|20 0|40 1e308|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
        {"ARC without an end angle", "0 ARC|10 0|20 0|40 1|50 0|0 LINE|10 5|20 5|11 6|21 6", false, "5 5, 6 6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDxfSource source;
        OpenDrawing(source, DxfDrawing(c.entities));
        std::string delivered;
        if (c.points) {
            delivered = PointsText(ReadPoints(source).points);
        } else {
            for (const CShape& shape : ReadShapes(source).shapes)
                delivered += (delivered.empty() ? "" : " / ") + PointsText(shape);
        }
        EXPECT_EQ(delivered, c.expected);
        EXPECT_EQ(source.GetError(), 0);
    }
}

TEST(DxfSource, ALongValueLineKeepsItsFirst200Characters)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('a' + i % 26);
    for (const char* eol : {"\n", "\r\n"}) {
        CMemoryStream stream;
        const std::string bytes =
            DxfDrawing("0 TEXT|10 1|20 2|1 " + text + "|0 TEXT|10 3|20 4|1 " + text.substr(0, 200), eol);
        stream.Write(bytes.data(), bytes.size());
        CDxfReader reader(stream);
        ASSERT_EQ(reader.FindEntities(), CDxfReader::kFound);
        CDxfEntity entity;
        for (const CMapPoint at : {CMapPoint(1, 2), CMapPoint(3, 4)}) {
            ASSERT_EQ(reader.Next(CDxfReader::kPoints, entity), CDxfReader::kFound);
            EXPECT_EQ(entity.text, text.substr(0, 200)); // the CR of a line of exactly 200 goes
            EXPECT_EQ(entity.point, at);
        }
        EXPECT_EQ(reader.Next(CDxfReader::kPoints, entity), CDxfReader::kEnd);
    }
}

TEST(DxfSource, ACodeLineThatIsNoNumberStopsTheReading)
{
    const struct {
        const char* name;
        std::string bytes;
        bool opens;
        size_t before; // lines delivered before the stop
    } cases[] = {
        {"letters", DxfDrawing("0 LINE|10 0|20 0|11 1|21 1|0 LINE|1O 5|20 5|11 6|21 6"), true, 1},
        {"empty", DxfDrawing("0 LINE|10 0|20 0|11 1|21 1|0 LINE| |20 5|11 6|21 6"), true, 1},
        {"a number with a tail", DxfDrawing("0 LINE|10 0|20 0|11 1|21 1|0 LINE|10x 5"), true, 1},
        {"too large", DxfDrawing("0 LINE|99999999999 5|10 0|20 0|11 1|21 1"), true, 0},
        {"in the header",
         DxfLines("0 SECTION|2 HEADER|9x $ACADVER|0 ENDSEC") + DxfDrawing("0 LINE|10 0|20 0|11 1|21 1"), false, 0},
        {"no drawing at all", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDxfSource source;
        EXPECT_EQ(source.OpenStream(StreamOf(c.bytes)), c.opens);
        EXPECT_EQ(source.IsOpen(), c.opens);
        EXPECT_EQ(source.GetError(), c.opens ? 0 : CFeatureSource::kBadStructure);
        EXPECT_EQ(ReadShapes(source).shapes.size(), c.before);
        if (!c.opens)
            continue;
        EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
        // The error state holds until the drawing is opened again.
        EXPECT_TRUE(ReadShapes(source).shapes.empty());
        CShape shape;
        EXPECT_FALSE(source.ReadShape(0, shape));
    }
}

TEST(DxfSource, HasNoExtentAcceptsEveryTypeAndAppliesNoRestriction)
{
    CScriptedUserServices user;
    CDxfSource source;
    OpenDrawing(source, DxfDrawing(kShapes));
    CMapRect extent;
    EXPECT_FALSE(source.GetExtent(extent));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kLine);
    for (const int type : {0, 2, 5, 7}) {
        EXPECT_TRUE(source.AcceptType(type));
        EXPECT_EQ(source.GetShapeType(), type);
    }
    EXPECT_FALSE(source.OpenTyped("/nera/brezinys.dxf", -1));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
    EXPECT_EQ(user.messages[0].text, LoadStringArg(1007, "/nera/brezinys.dxf"));

    OpenDrawing(source, DxfDrawing(kShapes));
    const CMapRect far(1000, 1001, 1001, 1000);
    source.SetQueryRect(&far);
    EXPECT_TRUE(source.SetFilter("LAYER = 'Niekur'"));
    const int32_t list[] = {3};
    source.SetRecordList(list, 1);
    CSpatialFilter filter;
    filter.SetPoint(CMapPoint(1000, 1000));
    source.SetSpatialFilter(&filter);
    source.SetExcludedRecord(0);
    EXPECT_EQ(ReadShapes(source).shapes.size(), 10u);
    EXPECT_FALSE(source.IsIndexInUse());
    EXPECT_FALSE(source.BuildSpatialIndex());
}

TEST(DxfSource, EveryPassAndSearchStartsAgainAtTheEntities)
{
    CDxfSource source;
    OpenDrawing(source, DxfDrawing("0 POINT|8 A|10 1|20 1|0 LINE|10 0|20 0|11 1|21 1|0 TEXT|10 2|20 2|1 Du"
                                   "|0 POINT|10 1|20 1"));
    const CRead first = ReadPoints(source);
    ASSERT_EQ(first.points.size(), 3u);
    const CRead again = ReadPoints(source);
    EXPECT_EQ(again.attributes, first.attributes); // the layer carried over starts afresh too
    CRecordArray records;
    double distance = -1;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(source.FindNearestPoints(CMapPoint(1, 1.5), records, &distance));
        EXPECT_EQ(records, (CRecordArray{0, 2}));
        EXPECT_EQ(distance, 0.5);
    }
    CShape all;
    EXPECT_TRUE(source.ReadAllPoints(all));
    EXPECT_EQ(PointsText(all), "1 1, 2 2, 1 1");
    // A pass of the other kind starts at the entities as well.
    EXPECT_EQ(ReadShapes(source).shapes.size(), 1u);
    EXPECT_EQ(ReadPoints(source).attributes, first.attributes);
}

TEST(DxfSource, RecordNIsReadByReadingOnOrFromTheStart)
{
    CDxfSource source;
    std::string entities;
    for (int i = 0; i < 6; ++i)
        entities += FormatC("0 TEXT|10 %d|20 0|1 T%d|", i, i) + FormatC("0 LINE|8 L%d|10 %d|20 0|11 %d|21 1|", i, i, i);
    entities.pop_back();
    OpenDrawing(source, DxfDrawing(entities));
    const CRead lines = ReadShapes(source);
    const CRead texts = ReadPoints(source);
    ASSERT_EQ(lines.shapes.size(), 6u);
    ASSERT_EQ(texts.points.size(), 6u);

    // Ahead, behind, the same again, and past the end.
    for (const int n : {3, 1, 1, 5, 0, 4}) {
        SCOPED_TRACE(n);
        CShape shape;
        ASSERT_TRUE(source.ReadShape(n, shape));
        EXPECT_TRUE(shape.IsEqual(lines.shapes[static_cast<size_t>(n)]));
        EXPECT_EQ(source.GetCurrentRecord(), n);
        EXPECT_EQ(Attributes(source), lines.attributes[static_cast<size_t>(n)]);
        std::string label;
        ASSERT_TRUE(source.GetFieldText(5 - n, CDxfSource::kLabelField, label));
        EXPECT_EQ(label, FormatC("%04d", 6 - n));
        EXPECT_EQ(source.GetCurrentRecord(), n); // the attributes alone move no reader
    }
    CShape shape;
    EXPECT_FALSE(source.ReadShape(6, shape));
    EXPECT_FALSE(source.ReadShape(-1, shape));
    EXPECT_EQ(source.GetError(), 0);

    // The sequence goes on undisturbed by reads of single records.
    source.Rewind();
    ASSERT_TRUE(source.ReadNextShape(shape));
    ASSERT_TRUE(source.ReadShape(4, shape));
    std::vector<std::string> lines4;
    ASSERT_TRUE(source.GetRecordLinesAt(2, lines4));
    ASSERT_TRUE(source.ReadNextShape(shape));
    EXPECT_EQ(source.GetCurrentRecord(), 1);
    EXPECT_TRUE(shape.IsEqual(lines.shapes[1]));
    EXPECT_EQ(Attributes(source), lines.attributes[1]);

    // Points by number, and record n of the points once they were read last.
    for (const int n : {2, 0, 5}) {
        CMapPoint point;
        ASSERT_TRUE(source.ReadPoint(n, point));
        EXPECT_EQ(point, texts.points[static_cast<size_t>(n)]);
        EXPECT_EQ(Attributes(source), texts.attributes[static_cast<size_t>(n)]);
    }
    std::vector<std::string> record;
    ASSERT_TRUE(source.GetRecordLinesAt(3, record));
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record[0].substr(record[0].find('\t')), "\tT3");
    CMapPoint point;
    EXPECT_FALSE(source.ReadPoint(6, point));
    EXPECT_EQ(source.GetRecordTable(6), nullptr);

    // Before any pass, the layer type says which objects the numbers count.
    CDxfSource typed;
    OpenDrawing(typed, DxfDrawing(entities));
    typed.AcceptType(CFeatureSource::kPoint);
    std::string label;
    ASSERT_TRUE(typed.GetFieldText(2, CDxfSource::kLabelField, label));
    EXPECT_EQ(label, "T2");
}

TEST(DxfSource, ADrawingCopiesIntoANewGdbLayerWithItsAttributes)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string drawing = dir.File("brezinys.dxf");
    WriteWholeFile(drawing, DxfDrawing(std::string(kShapes) + "|0 TEXT|8 Vardai|10 4|20 5|1 Vilnius|0 POINT|10 6|20 7",
                                       "\r\n"));
    for (const int type : {CFeatureSource::kLine, CFeatureSource::kArea, CFeatureSource::kPoint}) {
        SCOPED_TRACE(type);
        CDxfSource source;
        ASSERT_TRUE(source.OpenTyped(drawing, type));
        const bool points = type == CFeatureSource::kPoint;
        const CRead read = points ? ReadPoints(source) : ReadShapes(source);
        const std::string path = dir.File("kopija" + std::to_string(type) + ".gdb");
        {
            CGdbSource gdb;
            ASSERT_TRUE(gdb.CreateFrom(path, source, false));
        }
        CGdbSource copy;
        ASSERT_TRUE(copy.Open(path));
        EXPECT_EQ(copy.GetShapeType(), type);
        const CRead copied = points ? ReadPoints(copy) : ReadShapes(copy);
        EXPECT_EQ(copied.attributes, read.attributes);
        EXPECT_EQ(copied.points, read.points);
        ASSERT_EQ(copied.shapes.size(), read.shapes.size());
        for (size_t i = 0; i < read.shapes.size(); ++i)
            EXPECT_EQ(copied.shapes[i].Points(), read.shapes[i].Points()) << i;
    }
    EXPECT_TRUE(user.messages.empty());
}
