// A dBASE table joined to a layer by a key: the key index, the join's
// field names, and both ways of writing the new layer.
#include "geoproc/DbfImport.h"

#include "platform/Codepage.h"
#include "tests/geoproc/FieldDialogsSupport.h"

namespace {

// The DOS (code page 775) bytes of a code page 1257 text.
std::string ToOem(const std::string& text)
{
    std::string oem;
    for (const char c : text) {
        char found = c;
        for (int b = 0; b < 256; ++b)
            if (OemToAnsi(std::string(1, static_cast<char>(b)))[0] == c) {
                found = static_cast<char>(b);
                break;
            }
        oem += found;
    }
    return oem;
}

std::vector<std::string> Names(const std::vector<CDbfFieldInfo>& fields)
{
    std::vector<std::string> names;
    for (const CDbfFieldInfo& f : fields)
        if (f.length != 0)
            names.emplace_back(f.name);
    return names;
}

TEST(DbfImportFields, ClashingImportedNamesAreRenamed)
{
    struct Case {
        std::vector<CDbfFieldInfo> layer, imported;
        std::vector<std::string> names;
    } const cases[] = {
        {FieldList({{"NAME", 'C', 10, 0}}), FieldList({{"NAME", 'C', 5, 0}, {"KITA", 'N', 4, 0}}),
         {"NAME", "NAME_", "KITA"}},
        {FieldList({{"ABCDEFGHIJ", 'C', 10, 0}}), FieldList({{"ABCDEFGHIJ", 'C', 5, 0}}),
         {"ABCDEFGHIJ", "ABCDEFGHI_"}},
        // The first new name stands in the imported table too.
        {FieldList({{"NAME", 'C', 10, 0}}), FieldList({{"NAME", 'C', 5, 0}, {"NAME_", 'C', 5, 0}}),
         {"NAME", "NAME__", "NAME_"}},
        {FieldList({{"ABCDEFGHIJ", 'C', 10, 0}, {"ABCDEFGHI_", 'C', 10, 0}}), FieldList({{"ABCDEFGHIJ", 'C', 5, 0}}),
         {"ABCDEFGHIJ", "ABCDEFGHI_", "ABCDEFGH__"}},
        {FieldList({{"NAME", 'C', 10, 0}}), FieldList({{"name", 'C', 5, 0}}), {"NAME", "name_"}},
    };
    for (const Case& c : cases) {
        const std::vector<CDbfFieldInfo> joined = JoinFieldList(c.layer, c.imported);
        EXPECT_EQ(Names(joined), c.names);
        EXPECT_EQ(joined.back().length, 0);
    }
}

class DbfImportTest : public CGeoprocFixture {
protected:
    DbfImportTest()
    {
        docDialogs = newLayer.Dialogs();
        docDialogs.layerFile = [this](CDrelDoc&, std::string& name, std::string& path, CLayerFileOptions& o) {
            offeredFileName = name;
            offeredFileOptions = o;
            if (!chosenPath.empty())
                path = chosenPath;
            return layerFileOk;
        };
    }
    // A plain table at the file.
    std::string Table(const std::string& file, const std::vector<CDbfFieldInfo>& fields,
                      const std::vector<std::vector<std::string>>& rows)
    {
        MakeTable(dir.File(file), fields, rows);
        return dir.File(file);
    }
    CLayer& Added() { return *doc.GetLayer(doc.GetLayerCount() - 1); }

    CScriptedFieldDialogs geo;
    CDocCommandDialogs docDialogs;
    std::string offeredFileName;
    CLayerFileOptions offeredFileOptions;
    std::string chosenPath;
    bool layerFileOk = true;
};

TEST_F(DbfImportTest, KeyIndexFindsNumbersByValueAndTextsByTheirBytes)
{
    const std::string path = Table("keys.dbf", FieldList({{"NUM", 'N', 8, 2}, {"TXT", 'C', 20, 0}}),
                                   {{"7.00", Utf8ToCp1257("Šilas")},
                                    {"-3", Utf8ToCp1257("Ąžuolas")},
                                    {"12.5", "alfa"},
                                    {"", "Beta"},
                                    {"100", ""}});
    const CLayer table(std::string(), path, CLayer::kPoint);
    CImportKeyIndex numbers;
    ASSERT_TRUE(numbers.Build(table, "NUM", true, false));
    EXPECT_EQ(numbers.Find(7.0), 0);
    EXPECT_EQ(numbers.FindText("7"), 0);
    EXPECT_EQ(numbers.Find(-3), 1);
    EXPECT_EQ(numbers.Find(12.5), 2);
    EXPECT_EQ(numbers.Find(100), 4);
    EXPECT_EQ(numbers.Find(0.0), -1); // the blank key is no 0
    EXPECT_EQ(numbers.Find(8), -1);

    CImportKeyIndex texts;
    ASSERT_TRUE(texts.Build(table, "TXT", false, false));
    const std::pair<std::string, int> cases[] = {{Utf8ToCp1257("Šilas"), 0}, {Utf8ToCp1257("Ąžuolas"), 1},
                                                 {"alfa", 2},  {"Beta", 3}, {"beta", -1}, {"", -1}, {"zzz", -1}};
    for (const auto& [key, record] : cases)
        EXPECT_EQ(texts.Find(key), record) << key;
    EXPECT_FALSE(texts.Build(table, "NERA", false, false));
}

TEST_F(DbfImportTest, DosKeysAreIndexedConverted)
{
    const std::string path =
        Table("dos.dbf", FieldList({{"TXT", 'C', 20, 0}}), {{ToOem(Utf8ToCp1257("Žvėrynas"))}, {"Antakalnis"}});
    const CLayer table(std::string(), path, CLayer::kPoint);
    CImportKeyIndex index;
    ASSERT_TRUE(index.Build(table, "TXT", false, true));
    EXPECT_EQ(index.Find(Utf8ToCp1257("Žvėrynas")), 0);
    EXPECT_EQ(index.Find("Antakalnis"), 1);
}

TEST_F(DbfImportTest, AttachJoinsEveryObjectAndLeavesTheUnmatchedBlank)
{
    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{1, 1}, {2, 2}, {3, 3}});
    const std::string path = Table("duomenys.dbf",
                                   FieldList({{"N", 'N', 8, 1}, {"NAME", 'C', 20, 0}, {"VIETA", 'C', 20, 0}}),
                                   {{"2.0", "antras", ToOem(Utf8ToCp1257("Šiauliai"))}, {"0", "nulinis", "Kaunas"}});
    geo.keys = {"N", "N", true};
    ASSERT_EQ(AttachDbfData(points, doc, path, docDialogs), 1);
    EXPECT_EQ(geo.log, std::vector<std::string>{"30784"});
    EXPECT_EQ(offeredFileName, "taskai");
    EXPECT_TRUE(offeredFileOptions.vectorFiles);
    ASSERT_EQ(doc.GetLayerCount(), 2);
    CLayer& joined = Added();
    EXPECT_EQ(joined.GetName(), "taskai");
    EXPECT_EQ(joined.GetType(), CLayer::kPoint);
    const std::vector<CReadObject> objects = ReadObjects(joined.GetPath(), CLayer::kPoint);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0].fields.at("Name_"), "nulinis");
    EXPECT_EQ(objects[0].fields.at("Vieta"), "Kaunas");
    EXPECT_EQ(objects[1].fields.at("Name"), "P1");
    EXPECT_EQ(objects[1].fields.at("N_"), "");
    EXPECT_EQ(objects[1].fields.at("Vieta"), "");
    EXPECT_EQ(objects[2].fields.at("N_"), "2.0");
    EXPECT_EQ(objects[2].fields.at("Vieta"), Utf8ToCp1257("Šiauliai"));
    EXPECT_EQ(objects[2].point, (CMapPoint{3, 3}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(DbfImportTest, AttachWritesLinesIntoGdbAndPointTablesWithCoordinates)
{
    CLayer& lines = AddShapeLayer("Gatves", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "0 5, 10 5"});
    // A coordinate field of the table takes no part in a point table's points.
    const std::string path = Table("d.dbf", FieldList({{"RAKTAS", 'C', 5, 0}, {"V", 'N', 3, 0}, {"LON", 'N', 5, 1}}),
                                   {{"S1", "42", "99.0"}, {"P0", "7", "99.0"}});
    geo.keys = {"NAME", "RAKTAS", false};
    chosenPath = dir.File("rezultatas.dbf");
    ASSERT_EQ(AttachDbfData(lines, doc, path, docDialogs), 1);
    EXPECT_EQ(Added().GetPath(), dir.File("rezultatas.gdb"));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("rezultatas.gdb"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[1].fields.at("V"), "42");

    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{24.5, 54.5}});
    geo.keys = {"NAME", "RAKTAS", false};
    chosenPath = dir.File("taskai2.dbf");
    ASSERT_EQ(AttachDbfData(points, doc, path, docDialogs), 1);
    const std::vector<CReadObject> table = ReadObjects(dir.File("taskai2.dbf"), CLayer::kPoint);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].point, (CMapPoint{24.5, 54.5}));
    EXPECT_EQ(table[0].fields.at("Name"), "P0");
    EXPECT_EQ(table[0].fields.at("V"), "7");
}

TEST_F(DbfImportTest, ObjectsForMatchedRecordsAndAReportOfTheRest)
{
    CLayer& lines = AddShapeLayer("Gatves", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "0 5, 10 5", "0 9, 10 9"});
    const std::string path = Table("d.dbf", FieldList({{"RAKTAS", 'C', 5, 0}, {"V", 'N', 3, 0}}),
                                   {{"S2", "1"}, {"X9", "2"}, {"S0", "3"}, {"", "4"}});
    geo.keys = {"NAME", "RAKTAS", false};
    ASSERT_EQ(CreateObjectsFromDbf(lines, doc, path, docDialogs), 1);
    EXPECT_EQ(newLayer.offeredName, "gatves");
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    EXPECT_EQ(geo.log, (std::vector<std::string>{"30784", "315"}));
    EXPECT_EQ(geo.reportSkipped, "2");
    EXPECT_EQ(geo.reportValues, "X9\r\n\r\n");
    const std::vector<CReadObject> objects = ReadObjects(Added().GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].fields.size(), 2u); // exactly the imported fields
    EXPECT_EQ(objects[0].fields.at("Raktas"), "S2");
    EXPECT_EQ(objects[0].shape.GetPoint(0), (CMapPoint{0, 9}));
    EXPECT_EQ(objects[1].fields.at("V"), "3");
    EXPECT_EQ(objects[1].shape.GetPoint(0), (CMapPoint{0, 0}));
}

TEST_F(DbfImportTest, NumericKeysAreReportedAsNumbersAndNoSkipShowsNoReport)
{
    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{1, 1}, {2, 2}});
    const std::string path = Table("d.dbf", FieldList({{"K", 'N', 6, 2}}), {{"1.00"}, {"7.50"}});
    geo.keys = {"N", "K", false};
    ASSERT_EQ(CreateObjectsFromDbf(points, doc, path, docDialogs), 1);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 2 | 8);
    EXPECT_EQ(geo.reportSkipped, "1");
    EXPECT_EQ(geo.reportValues, "7.5\r\n");

    geo.log.clear();
    const std::string all = Table("all.dbf", FieldList({{"K", 'N', 6, 2}, {"LON", 'N', 5, 1}}), {{"0"}, {"1"}});
    newLayer.chosenPath = dir.File("naujas.dbf");
    ASSERT_EQ(CreateObjectsFromDbf(points, doc, all, docDialogs), 1);
    EXPECT_EQ(geo.log, std::vector<std::string>{"30784"});
    const std::vector<CReadObject> objects = ReadObjects(dir.File("naujas.dbf"), CLayer::kPoint);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[1].point, (CMapPoint{2, 2}));
    EXPECT_TRUE(objects[1].fields.count("Lat"));
}

TEST_F(DbfImportTest, ADamagedTableIsToldAndAddsNothing)
{
    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{1, 1}});
    const std::string path = Table("d.dbf", FieldList({{"K", 'N', 6, 0}}), {{"0"}, {"1"}, {"2"}});
    std::string bytes = ReadWholeFile(path);
    bytes.resize(bytes.size() - 8);
    WriteWholeFile(path, bytes);
    geo.keys = {"N", "K", false};
    EXPECT_EQ(AttachDbfData(points, doc, path, docDialogs), 0);
    EXPECT_EQ(CreateObjectsFromDbf(points, doc, path, docDialogs), 0);
    EXPECT_TRUE(geo.log.empty());
    ASSERT_FALSE(user.messages.empty());
    EXPECT_EQ(doc.GetLayerCount(), 1);

    WriteWholeFile(path, "not a table at all");
    user.messages.clear();
    EXPECT_EQ(AttachDbfData(points, doc, path, docDialogs), 0);
    EXPECT_FALSE(user.messages.empty());
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(DbfImportTest, CancelsAndOtherTypesEndWithNothing)
{
    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{1, 1}});
    const std::string path = Table("d.dbf", FieldList({{"K", 'N', 6, 0}}), {{"0"}});
    geo.keys = {"N", "K", false};
    geo.keysOk = false;
    EXPECT_EQ(AttachDbfData(points, doc, path, docDialogs), 0);
    geo.keysOk = true;
    layerFileOk = false;
    EXPECT_EQ(AttachDbfData(points, doc, path, docDialogs), 0);
    newLayer.ok = false;
    EXPECT_EQ(CreateObjectsFromDbf(points, doc, path, docDialogs), 0);
    CLayer track("T", dir.File("t.trk"), CLayer::kTrack);
    geo.log.clear();
    EXPECT_EQ(CreateObjectsFromDbf(track, doc, path, docDialogs), 0);
    EXPECT_TRUE(geo.log.empty());
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
