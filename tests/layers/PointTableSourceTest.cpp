#include "layers/PointTableSource.h"

#include "core/DbfEngine.h"
#include "layers/DosGdbImportDialog.h"
#include "layers/GdbSource.h"
#include "platform/ByteOrder.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/layers/LegacyGdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// Blocks of packed points, each after a 16-byte header counting them at
// byte 2; the offsets of the blocks, after a preamble of 8 bytes.
std::vector<int32_t> WriteGeometry(const std::string& path, const std::vector<std::vector<int32_t>>& blocks,
                                   std::string* bytesOut = nullptr)
{
    std::string bytes(8, '\x55');
    std::vector<int32_t> offsets;
    for (const auto& block : blocks) {
        offsets.push_back(static_cast<int32_t>(bytes.size()));
        std::string head(16, '\x7F');
        PutLittleEndian<uint16_t>(reinterpret_cast<unsigned char*>(head.data()) + 2,
                                  static_cast<uint16_t>(block.size()));
        bytes += head;
        for (int32_t p : block) {
            unsigned char word[4];
            PutLittleEndian<int32_t>(word, p);
            bytes.append(reinterpret_cast<const char*>(word), 4);
        }
    }
    WriteWholeFile(path, bytes);
    if (bytesOut)
        *bytesOut = bytes;
    return offsets;
}

const char kDescription[] = "[MAP]\r\nOrig=500000.5,6000000.25\r\nUnit=2,4\r\n";

// A folder with the map description file "m.map" and a scripted question answering it.
struct CLegacyFolder {
    CTempDir dir;
    CScriptedMapQuestion question;
    std::string map = dir.File("m.map");

    explicit CLegacyFolder(const std::string& description = kDescription)
    {
        WriteWholeFile(map, description);
        question.answer = map;
    }
    std::string File(const std::string& name) const { return dir.File(name); }
};

std::string Field(const CFeatureSource& source, int field)
{
    std::string text;
    source.GetTable().GetFieldString(field, text);
    return text;
}

std::vector<std::string> FieldNames(const CDbfTable& table)
{
    std::vector<std::string> names;
    for (int i = 0; i < table.GetFieldCount(); ++i)
        names.push_back(table.GetHandle()->fields[static_cast<size_t>(i)].name);
    return names;
}

// The text blank-padded to the width, as a field holds it.
std::string Pad(const std::string& text, size_t width)
{
    std::string padded = text;
    padded.resize(width, ' ');
    return padded;
}

} // namespace

TEST(PointTableSource, DescriptionGivesOriginAndUnits)
{
    struct Case {
        const char* description;
        bool opens;
        CMapPoint origin = {};
        double dx = 0, dy = 0;
    };
    const Case cases[] = {
        // Unit_M in metres, one degree taken as 63.53 by 111.32 km.
        {"[MAP]\nOrig=10,20\nUnit_M=1\n", true, CMapPoint(10, 20), 1.5740594994490792e-05, 8.98311174991017e-06},
        {"[map]\norig=500000.5, 6000000.25\nunit_m=2.5\n", true, CMapPoint(500000.5, 6000000.25),
         2.5 * 1.5740594994490792e-05, 2.5 * 8.98311174991017e-06},
        // Unit wins when it gives two numbers, else Unit_M stands in.
        {"[MAP]\nOrig=-3.5,4\nUnit=0.5,0.25\nUnit_M=1\n", true, CMapPoint(-3.5, 4), 0.5, 0.25},
        {"[MAP]\nOrig=1,2\nUnit=0.5\nUnit_M=1\n", true, CMapPoint(1, 2), 1.5740594994490792e-05,
         8.98311174991017e-06},
        // Refused with 1030.
        {"[MAP]\nUnit=1,1\n", false},
        {"[OTHER]\nOrig=1,2\nUnit=1,1\n", false},
        {"[MAP]\nOrig=1\nUnit=1,1\n", false},
        {"[MAP]\nOrig=1 ,2\nUnit=1,1\n", false},
        {"[MAP]\nOrig=1;2\nUnit=1,1\n", false},
        {"[MAP]\nOrig=1,2\n", false},
        {"[MAP]\nOrig=1,2\nUnit=1\n", false},
        {"[MAP]\nOrig=1,2\nUnit_M=0\n", false},
        {"[MAP]\nOrig=1,2\nUnit_M=-1\n", false},
        {"[MAP]\nOrig=1,2\nUnit_M=metre\n", false},
        // Packed points would land beyond the doubles.
        {"[MAP]\nOrig=1e308,2\nUnit=1e305,1\n", false},
        {"[MAP]\nOrig=1e999,2\nUnit=1,1\n", false},
    };
    for (const bool comma : {false, true}) {
        std::optional<CCommaLocale> locale;
        if (comma) {
            locale.emplace();
            if (!locale->Active())
                continue;
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.description) + (comma ? " (comma locale)" : ""));
            CLegacyFolder folder(c.description);
            WriteObjectTable(folder.File("t.gdb"), true, {{"A", Packed(0, 0)}});
            CScriptedUserServices ui;
            CPointTableSource source;
            EXPECT_EQ(source.Open(folder.File("t.gdb")), c.opens);
            if (!c.opens) {
                EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
                EXPECT_FALSE(source.IsOpen());
                EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1030});
                continue;
            }
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_EQ(source.GetOrigin(), c.origin);
            EXPECT_EQ(source.GetUnitX(), c.dx);
            EXPECT_EQ(source.GetUnitY(), c.dy);
        }
    }
}

TEST(PointTableSource, PackedPointsCountStepsFromTheOrigin)
{
    CLegacyFolder folder("[MAP]\nOrig=100,200\nUnit=0.5,0.25\n");
    const std::string path = folder.File("p.gdb");
    WriteObjectTable(path, true,
                     {{"LowMinusOne", Packed(-1, 1)},
                      {"Gone", Packed(3, 3), true},
                      {"Origin", Packed(0, 0)},
                      {"Extremes", Packed(32767, -32768)},
                      {"Down", Packed(-32768, 32767)}});
    CPointTableSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kPoint);
    std::vector<CMapPoint> points;
    std::vector<int> records;
    std::vector<std::string> names;
    CMapPoint p;
    while (source.ReadNextPoint(p)) {
        points.push_back(p);
        records.push_back(source.GetCurrentRecord());
        names.push_back(Field(source, 0));
    }
    EXPECT_EQ(source.GetError(), 0);
    const std::vector<CMapPoint> expected = {CMapPoint(100 - 0.5, 200 - 0.25), CMapPoint(100, 200),
                                             CMapPoint(100 + 32767 * 0.5, 200 + 32768 * 0.25),
                                             CMapPoint(100 - 32768 * 0.5, 200 - 32767 * 0.25)};
    EXPECT_EQ(points, expected);
    EXPECT_EQ(records, (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(names, (std::vector<std::string>{"LowMinusOne", "Origin", "Extremes", "Down"}));

    // Unit_M alone: one step is dx and dy exactly.
    CLegacyFolder metres("[MAP]\nOrig=24,55\nUnit_M=1\n");
    WriteObjectTable(metres.File("p.gdb"), true, {{"A", Packed(-1, 1)}});
    CPointTableSource inMetres;
    ASSERT_TRUE(inMetres.Open(metres.File("p.gdb")));
    ASSERT_TRUE(inMetres.ReadNextPoint(p));
    EXPECT_EQ(p, CMapPoint(24 - 1.5740594994490792e-05, 55 - 8.98311174991017e-06));

    CMapRect extent(1, 2, 3, 4);
    EXPECT_FALSE(source.GetExtent(extent));
    EXPECT_FALSE(extent.IsValid());
}

TEST(PointTableSource, CancelledQuestionOpensNothingAndTheLastMapIsOfferedAgain)
{
    CLegacyFolder folder;
    const std::string path = folder.File("t.gdb");
    WriteObjectTable(path, true, {{"A", Packed(1, 1)}});
    CPointTableSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(CPointTableSource::GetLastMapPath(), folder.map);

    CScriptedUserServices ui;
    folder.question.answer.reset();
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(source.Open(path));
    ASSERT_EQ(folder.question.offered.size(), 3u);
    EXPECT_EQ(folder.question.offered[1], folder.map);
    EXPECT_EQ(folder.question.offered[2], folder.map);
    EXPECT_EQ(folder.question.tables[2], path);

    // Without the settings dialogs the question counts as cancelled.
    SetDosGdbImportDialog(nullptr);
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    SetDosGdbImportDialog(&folder.question);
}

TEST(PointTableSource, TablesOfPointsOrLinesOnly)
{
    CLegacyFolder folder;
    struct Case {
        const char* name;
        std::vector<CDbfFieldInfo> fields;
        int type; // -1: refused
    };
    const Case cases[] = {
        {"points", FieldList({{"NAME", 'C', 10, 0}, {"COORD", 'C', 4, 0}}), CFeatureSource::kPoint},
        {"lines", FieldList({{"RECT", 'C', 8, 0}, {"PTR", 'C', 4, 0}, {"NAME", 'C', 10, 0}}), CFeatureSource::kLine},
        {"name only", FieldList({{"NAME", 'C', 10, 0}}), -1},
        {"rect without ptr", FieldList({{"NAME", 'C', 10, 0}, {"RECT", 'C', 8, 0}}), -1},
        {"ptr without rect", FieldList({{"NAME", 'C', 10, 0}, {"PTR", 'C', 4, 0}}), -1},
        {"no name", FieldList({{"COORD", 'C', 4, 0}}), -1},
        {"wide coord", FieldList({{"NAME", 'C', 10, 0}, {"COORD", 'C', 8, 0}}), -1},
        {"current layer", FieldList({{"RECTD", 'C', 32, 0}, {"PTR", 'C', 4, 0}}), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File("t.gdb");
        {
            CDbfTable table;
            ASSERT_TRUE(table.Create(path, c.fields.data()));
        }
        WriteGeometry(folder.File("t.vec"), {});
        EXPECT_EQ(CPointTableSource::IsLegacyGdbTable(path), c.type >= 0);
        CScriptedUserServices ui;
        CPointTableSource source;
        EXPECT_EQ(source.Open(path), c.type >= 0);
        if (c.type < 0) {
            EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
            EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1030});
            EXPECT_FALSE(source.IsOpen());
            continue;
        }
        EXPECT_EQ(source.GetShapeType(), c.type);
    }

    // What is no table at all is no legacy table, silently.
    CScriptedUserServices ui;
    WriteWholeFile(folder.File("text.gdb"), "not a table");
    EXPECT_FALSE(CPointTableSource::IsLegacyGdbTable(folder.File("text.gdb")));
    EXPECT_FALSE(CPointTableSource::IsLegacyGdbTable(folder.File("missing.gdb")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(PointTableSource, LineTablesSwitchToAreasAndPointTablesStayPoints)
{
    CLegacyFolder folder;
    const std::string lines = folder.File("l.gdb");
    const std::vector<int32_t> at = WriteGeometry(folder.File("l.vec"), {{Packed(0, 0), Packed(1, 1)}});
    WriteObjectTable(lines, false, {{"L", at[0]}});
    CPointTableSource source;
    ASSERT_TRUE(source.OpenTyped(lines, CFeatureSource::kArea));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kArea);
    EXPECT_TRUE(source.AcceptType(CFeatureSource::kLine));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kLine);
    EXPECT_FALSE(source.AcceptType(CFeatureSource::kPoint));
    EXPECT_FALSE(source.AcceptType(CFeatureSource::kTrack));
    CMapPoint p;
    EXPECT_FALSE(source.ReadNextPoint(p));
    EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);

    const std::string points = folder.File("p.gdb");
    WriteObjectTable(points, true, {{"P", Packed(0, 0)}});
    ASSERT_TRUE(source.Open(points));
    EXPECT_FALSE(source.AcceptType(CFeatureSource::kLine));
    EXPECT_TRUE(source.AcceptType(CFeatureSource::kPoint));
    CShape shape;
    EXPECT_FALSE(source.ReadNextShape(shape));
    EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);

    // A line table needs its geometry file.
    CScriptedUserServices ui;
    WriteObjectTable(folder.File("lonely.gdb"), false, {{"L", 8}});
    EXPECT_FALSE(source.Open(folder.File("lonely.gdb")));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    ASSERT_EQ(ui.MessageIds(), std::vector<unsigned>{1007});
    EXPECT_NE(ui.messages[0].text.find(folder.File("lonely.vec")), std::string::npos);
}

TEST(PointTableSource, BlocksBecomeOnePartShapesAndEmptyOnesArePassedOver)
{
    CLegacyFolder folder("[MAP]\nOrig=100,200\nUnit=1,1\n");
    const std::vector<int32_t> at = WriteGeometry(
        folder.File("l.vec"), {{Packed(0, 0), Packed(10, 0), Packed(10, -10)}, {}, {Packed(-5, 5), Packed(5, 5)}});
    WriteObjectTable(folder.File("l.gdb"), false,
                     {{"First", at[0]}, {"Empty", at[1]}, {"Gone", at[0], true}, {"Third", at[2]}});
    CPointTableSource source;
    ASSERT_TRUE(source.Open(folder.File("l.gdb")));
    std::vector<std::string> shapes, names;
    std::vector<int> records;
    CShape shape;
    std::vector<CMapRect> boxes;
    while (source.ReadNextShape(shape)) {
        EXPECT_EQ(shape.GetPartCount(), 1);
        boxes.push_back(shape.GetExtent());
        shapes.push_back(ShapeText(shape));
        names.push_back(Field(source, 0));
        records.push_back(source.GetCurrentRecord());
    }
    EXPECT_EQ(source.GetError(), 0);
    EXPECT_EQ(shapes, (std::vector<std::string>{"100 200, 110 200, 110 210", "95 195, 105 195"}));
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Third"}));
    EXPECT_EQ(records, (std::vector<int>{0, 3}));
    EXPECT_EQ(boxes, (std::vector<CMapRect>{CMapRect(100, 210, 110, 200), CMapRect(95, 195, 105, 195)}));
}

TEST(PointTableSource, BrokenBlocksAreReadErrorsAndSoundOnesStillCome)
{
    CLegacyFolder folder;
    std::string bytes;
    const std::vector<int32_t> at =
        WriteGeometry(folder.File("l.vec"), {{Packed(0, 0), Packed(1, 1)}, {Packed(2, 2), Packed(3, 3)}}, &bytes);
    const int32_t size = static_cast<int32_t>(bytes.size());
    struct Case {
        const char* name;
        int32_t ptr;
    };
    const Case cases[] = {
        {"past the end", size + 100},
        {"header cut by the end", size - 8},
        {"points cut by the end", at[1] + 4}, // reads a count of points the file does not hold
        {"negative", -16},
        {"most negative", INT32_MIN},
        {"largest", INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteObjectTable(folder.File("l.gdb"), false, {{"Bad", c.ptr}, {"Good", at[0]}});
        // The count of points right after the second block's start claims more than there are.
        std::string cut = bytes;
        PutLittleEndian<uint16_t>(reinterpret_cast<unsigned char*>(cut.data()) + at[1] + 4 + 2, 9000);
        WriteWholeFile(folder.File("l.vec"), cut);
        CPointTableSource source;
        ASSERT_TRUE(source.Open(folder.File("l.gdb")));
        CShape shape;
        std::vector<std::string> names;
        while (source.ReadNextShape(shape))
            names.push_back(Field(source, 0));
        EXPECT_EQ(source.GetError(), CFeatureSource::kReadError);
        EXPECT_EQ(names, std::vector<std::string>{"Good"});
    }
}

TEST(PointTableSource, AttributesFollowTheNameAndEndWithTheirTable)
{
    CLegacyFolder folder;
    const std::string path = folder.File("p.gdb");
    WriteObjectTable(path, true, {{"  Vilnius  ", Packed(0, 0)}, {"Kaunas", Packed(1, 0)}, {"Alytus", Packed(2, 0)}});
    MakeTable(folder.File("p.dbf"),
                    FieldList({{"KIND", 'C', 6, 0}, {"N", 'N', 5, 1}, {"NOTE", 'M', 10, 0}}),
                    {{"city", "12.5", "first note"}, {"town", "", "second note"}});
    CPointTableSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(FieldNames(source.GetTable()), (std::vector<std::string>{"ID", "KIND", "N", "NOTE"}));
    const std::vector<CDbfFieldInfo> infos = source.GetFieldInfos();
    ASSERT_EQ(infos.size(), 5u);
    EXPECT_EQ(infos[0].type, 'C');
    EXPECT_EQ(infos[0].length, 30);
    EXPECT_EQ(infos[2].type, 'N');
    EXPECT_EQ(infos[3].type, 'M');

    // Copied out into a table of some of the names, in the target's own types.
    CDbfTable target;
    ASSERT_TRUE(target.Create("", FieldList({{"N", 'N', 8, 2}, {"ID", 'C', 12, 0}, {"NOTE", 'C', 20, 0}}).data()));
    std::vector<std::string> rows;
    CMapPoint p;
    while (source.ReadNextPoint(p)) {
        target.StartMemoryRecord(0);
        source.CopyAttributesTo(target);
        rows.push_back(Field(source, 0) + "|" + Field(source, 1) + "|" + Field(source, 2) + " -> " +
                       DbfGetString(*target.GetHandle(), 0) + "|" + DbfGetString(*target.GetHandle(), 1) + "|" +
                       DbfGetString(*target.GetHandle(), 2));
    }
    // The third object lies past the attribute table: blank, not the second's.
    const std::vector<std::string> expected = {
        "Vilnius|city|12.5 -> " + Pad("   12.50", 8) + "|" + Pad("Vilnius", 12) + "|" + Pad("first note", 20),
        "Kaunas|town| -> " + Pad("", 8) + "|" + Pad("Kaunas", 12) + "|" + Pad("second note", 20),
        "Alytus|| -> " + Pad("", 8) + "|" + Pad("Alytus", 12) + "|" + Pad("", 20),
    };
    EXPECT_EQ(rows, expected);

    // Random access builds the same record, whatever was read last.
    ASSERT_NE(source.GetRecordTable(0), nullptr);
    EXPECT_EQ(Field(source, 0) + Field(source, 1), "Vilniuscity");
    ASSERT_NE(source.GetRecordTable(2), nullptr);
    EXPECT_EQ(Field(source, 1), "");
    EXPECT_EQ(source.GetRecordTable(3), nullptr);

    // An ID of the attribute table's own moves the name to _ID.
    MakeTable(folder.File("p.dbf"), FieldList({{"ID", 'C', 8, 0}}), {{"A-1"}});
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(FieldNames(source.GetTable()), (std::vector<std::string>{"_ID", "ID"}));
    ASSERT_TRUE(source.ReadNextPoint(p));
    EXPECT_EQ(Field(source, 0) + "|" + Field(source, 1), "Vilnius|A-1");
}

TEST(PointTableSource, DosLettersBecomeBalticOnceOnly)
{
    const std::string dos = "\xDC\xDD\xDE\xDF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD";
    const std::string baltic = "\xC0\xE0\xC8\xE8\xC6\xE6\xCB\xEB\xC1\xE1\xD0\xF0\xD8\xF8\xDB\xFB\xDE\xFE";
    for (int byte = 0; byte < 256; ++byte) {
        char c = static_cast<char>(byte);
        CPointTableSource::ConvertDosLetters(&c, 1);
        const size_t at = dos.find(static_cast<char>(byte));
        EXPECT_EQ(c, at == std::string::npos ? static_cast<char>(byte) : baltic[at]) << byte;
    }

    // š (0xF7) becomes 0xF0, which is the DOS Ę, and stays š: in names,
    // fields and memo texts, however often the record is read.
    CLegacyFolder folder;
    const std::string path = folder.File("p.gdb");
    WriteObjectTable(path, true, {{"\xF7iauliai \xF0", Packed(0, 0)}});
    MakeTable(folder.File("p.dbf"), FieldList({{"STREET", 'C', 10, 0}, {"NOTE", 'M', 10, 0}}),
                    {{"\xF6ilo \xFD", "\xF7vent\xF0 \xDC"}});
    CPointTableSource source;
    ASSERT_TRUE(source.Open(path));
    CMapPoint p;
    ASSERT_TRUE(source.ReadNextPoint(p));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(Field(source, 0), "\xF0iauliai \xC6");
        EXPECT_EQ(Field(source, 1), "\xD0ilo \xFE");
        CDbfTable target;
        ASSERT_TRUE(target.Create("", FieldList({{"NOTE", 'C', 20, 0}}).data()));
        target.StartMemoryRecord(0);
        source.CopyAttributesTo(target);
        EXPECT_EQ(Field(source, 0), "\xF0iauliai \xC6");
        std::string note;
        target.GetFieldString(0, note);
        EXPECT_EQ(note, "\xF0vent\xC6 \xC0");
        ASSERT_NE(source.GetRecordTable(0), nullptr);
    }
    source.Rewind();
    ASSERT_TRUE(source.ReadNextPoint(p));
    EXPECT_EQ(Field(source, 0), "\xF0iauliai \xC6");
}

TEST(PointTableSource, CopiedIntoNewLayersWithEqualObjectsAndAttributes)
{
    CLegacyFolder folder("[MAP]\nOrig=100,200\nUnit=1,1\n");
    const std::vector<int32_t> at =
        WriteGeometry(folder.File("l.vec"), {{Packed(0, 0), Packed(10, 0), Packed(10, -10)}, {}, {Packed(-5, 5), Packed(5, 5)}});
    WriteObjectTable(folder.File("l.gdb"), false, {{"Ring", at[0]}, {"Empty", at[1]}, {"\xF7ilas", at[2]}});
    MakeTable(folder.File("l.dbf"),
                    FieldList({{"N", 'N', 6, 2}, {"DAY", 'D', 8, 0}, {"OK", 'L', 1, 0}, {"NOTE", 'M', 10, 0}}),
                    {{"1.25", "20240229", "T", "\xF7ilas memo"}, {"2", "", "F", ""}, {"", "19991231", "", ""}});
    WriteObjectTable(folder.File("p.gdb"), true, {{"Point", Packed(3, 4)}, {"Other", Packed(-3, -4)}});

    struct Case {
        const char* table;
        int type;
        std::vector<std::string> shapes;
    };
    const Case cases[] = {
        {"l.gdb", CFeatureSource::kArea, {"100 200, 110 200, 110 210", "95 195, 105 195"}},
        {"l.gdb", CFeatureSource::kLine, {"100 200, 110 200, 110 210", "95 195, 105 195"}},
        {"p.gdb", CFeatureSource::kPoint, {"103 196", "97 204"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " as " + std::to_string(c.type));
        CPointTableSource legacy;
        ASSERT_TRUE(legacy.OpenTyped(folder.File(c.table), c.type));
        const std::string target = folder.File("new.gdb");
        {
            CGdbSource gdb;
            ASSERT_TRUE(gdb.CreateFrom(target, legacy, true));
            EXPECT_EQ(legacy.GetError(), 0);
        }
        CGdbSource gdb;
        ASSERT_TRUE(gdb.Open(target));
        EXPECT_EQ(gdb.GetShapeType(), c.type);
        EXPECT_EQ(FieldNames(gdb.GetTable()), FieldNames(legacy.GetTable()));
        std::vector<std::string> shapes, copied, read;
        CShape shape;
        CMapPoint p;
        while (c.type == CFeatureSource::kPoint ? gdb.ReadNextPoint(p) : gdb.ReadNextShape(shape)) {
            if (c.type == CFeatureSource::kPoint)
                shape.SetPoints(1, &p);
            shapes.push_back(ShapeText(shape));
            CDbfTable* table = gdb.GetRecordTable(gdb.GetCurrentRecord());
            ASSERT_NE(table, nullptr);
            std::string row;
            for (int i = 0; i < table->GetFieldCount(); ++i) {
                std::string text;
                if (table->GetFieldType(i) == 'M')
                    table->GetMemo(i, text);
                else
                    text = DbfGetString(*table->GetHandle(), i);
                row += text + "|";
            }
            copied.push_back(row);
        }
        EXPECT_EQ(shapes, c.shapes);
        if (c.type == CFeatureSource::kPoint) {
            EXPECT_EQ(copied, (std::vector<std::string>{Pad("Point", 30) + "|", Pad("Other", 30) + "|"}));
        } else {
            // The empty block's record is left out, its attributes with it.
            EXPECT_EQ(copied, (std::vector<std::string>{Pad("Ring", 30) + "|  1.25|20240229|T|\xF0ilas memo|",
                                                        Pad("\xF0ilas", 30) + "|      |19991231| ||"}));
        }
    }

    // Attached to a layer of its own fields: what the names share.
    CGdbSource existing;
    ASSERT_TRUE(existing.Create(folder.File("old.gdb"), CFeatureSource::kLine,
                                FieldList({{"ID", 'C', 10, 0}, {"N", 'C', 8, 0}}).data()));
    CPointTableSource legacy;
    ASSERT_TRUE(legacy.Open(folder.File("l.gdb")));
    ASSERT_TRUE(existing.CopyFeaturesFrom(legacy, false));
    std::vector<std::string> rows;
    CShape shape;
    existing.Rewind();
    while (existing.ReadNextShape(shape)) {
        CDbfTable* table = existing.GetRecordTable(existing.GetCurrentRecord());
        ASSERT_NE(table, nullptr);
        rows.push_back(DbfGetString(*table->GetHandle(), 0) + "|" + DbfGetString(*table->GetHandle(), 1));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{Pad("Ring", 10) + "|" + Pad("1.25", 8), Pad("\xF0ilas", 10) + "|" + Pad("", 8)}));
}
