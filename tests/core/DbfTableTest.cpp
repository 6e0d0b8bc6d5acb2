#include "core/DateSerial.h"
#include "core/DbfFieldInfoArray.h"
#include "core/DbfTable.h"
#include "core/Expr.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "platform/Strings.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <dirent.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

bool CreateTable(CDbfTable& table, const std::string& path, std::initializer_list<FieldSpec> specs)
{
    return table.Create(path, FieldList(specs).data());
}

// The raw bytes of a field in the record buffer.
std::string Raw(const CDbfTable& table, int index)
{
    return DbfGetString(*table.GetHandle(), index);
}

// Names of the files in a folder.
std::vector<std::string> FolderFiles(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(ResolvePath(folder).c_str())) {
        while (dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Records ID 0..count-1, NAME "R<id>", POP id * 100; every third deleted.
void FillNumbered(CDbfTable& table, int count)
{
    for (int i = 0; i < count; ++i) {
        table.AppendBlank();
        table.SetFieldLong(table.FindField("ID"), i);
        table.SetField(table.FindField("NAME"), "R" + std::to_string(i));
        table.SetFieldLong(table.FindField("POP"), i * 100L);
        ASSERT_TRUE(table.WriteRecord());
        if (i % 3 == 2) {
            ASSERT_TRUE(table.DeleteRecord(false));
        }
    }
}

std::vector<int> ScanIds(CDbfTable& table)
{
    std::vector<int> ids;
    table.SetPosition(0);
    while (table.NextRecord())
        ids.push_back(DbfGetInt(*table.GetHandle(), table.FindField("ID")));
    return ids;
}

const std::initializer_list<FieldSpec> kNumbered = {{"ID", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"POP", 'N', 8, 0}};

TEST(DbfTable, FindsFieldsByNameIgnoringCaseAndByCaptionExactly)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "", {{"GYVENTOJAI", 'N', 10, 0}, {"PAV", 'C', 5, 0}, {"kodas", 'N', 4, 0}}));
    const CDbfTable::CAliasMap aliases = {{"Pav", "Trumpas"}, {"Kodas", "Kodas savivaldybės"}};
    table.SetFieldAliases(&aliases);
    const struct {
        const char* name;
        int index;
    } cases[] = {
        {"gyventojai", 0}, {"PAV", 1}, {"Trumpas", 1}, {"trumpas", -1},
        {"KODAS", 2},       {"Kodas savivaldybės", 2}, {"Nėra", -1}, {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table.FindField(c.name), c.index) << c.name;
    table.SetFieldAliases(nullptr);
    EXPECT_EQ(table.FindField("Trumpas"), -1);
}

TEST(DbfTable, NamesTitlesCaptionsAndHiddenFields)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "", {{"NAME", 'C', 10, 0}, {"pop", 'N', 8, 0}, {"X_COORD", 'N', 8, 2}}));
    EXPECT_EQ(table.GetFieldName(0), "Name");
    EXPECT_EQ(table.GetFieldName(1), "pop");
    EXPECT_EQ(table.GetFieldTitle(1), "Pop");
    EXPECT_EQ(table.GetFieldTitle(2), "X_coord");
    EXPECT_EQ(table.GetFieldName(-1), "");
    EXPECT_EQ(table.GetFieldName(3), "");

    const CDbfTable::CAliasMap aliases = {{"Name", "Pavadinimas"}};
    const std::vector<std::string> hidden = {"x_Coord"};
    EXPECT_EQ(table.GetFieldCaption(0), "Name");
    EXPECT_TRUE(table.IsFieldShown(2));
    table.SetFieldAliases(&aliases);
    table.SetHiddenFields(&hidden);
    EXPECT_EQ(table.GetFieldCaption(0), "Pavadinimas");
    EXPECT_EQ(table.GetFieldCaption(1), "pop");
    EXPECT_TRUE(table.IsFieldShown(0));
    EXPECT_FALSE(table.IsFieldShown(2));

    table.SetField(0, "Vilnius");
    table.SetField(1, "42");
    table.SetField(2, "1.5");
    std::vector<std::string> lines;
    table.GetRecordLines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Pavadinimas\tVilnius", "pop\t42"}));
}

TEST(DbfTable, FieldTextsAreTrimmedAndCut)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "",
                            {{"NAME", 'C', 12, 0}, {"POP", 'N', 8, 2}, {"DAY", 'D', 8, 0}, {"EXP", 'F', 12, 3}}));
    table.SetField(0, "  Vilnius");
    table.SetField(1, "12.5");
    table.SetField(2, "20060315");
    table.SetField(3, "3.14159");
    const struct {
        int index;
        size_t size;
        const char* text;
        const char* string;
    } cases[] = {
        {0, 100, "Vilnius", "Vilnius"}, {0, 5, "Viln", "Vilnius"},  {0, 1, "", "Vilnius"}, {1, 100, "12.50", "12.50"},
        {2, 100, "06-03-15", "06-03-15"}, {3, 100, "3.142", "3.142"}, {-1, 100, "", ""},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(table.GetFieldText(c.index, text, c.size), static_cast<int>(strlen(c.text))) << c.index;
        EXPECT_EQ(text, c.text) << c.index;
        EXPECT_EQ(table.GetFieldString(c.index, text), c.index >= 0);
        EXPECT_EQ(text, c.string) << c.index;
    }
}

TEST(DbfTable, DatesFromDateAndCharacterFields)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "", {{"DAY", 'D', 8, 0}, {"WHEN", 'C', 20, 0}, {"POP", 'N', 8, 0}}));
    const double lastDay = DateToSerial(2006, 12, 31);
    const struct {
        int index;
        const char* text;
        bool valid;
        double date;
    } cases[] = {
        {0, "20061231", true, lastDay},
        {0, "", false, 0},
        {0, "20060230", false, 0},
        {0, "2006123", false, 0},
        {1, "2006-12-31 12:30:00", true, lastDay + 0.5 + 30.0 / 1440},
        {1, "2006-12-31", true, lastDay},
        {1, "2006-12-31 6", true, lastDay + 0.25},
        {1, "2006-12-32", false, 0},
        {1, "2006-12-31 25:00:00", false, 0},
        {1, "31.12.2006", false, 0},
        {1, "", false, 0},
        {2, "20061231", false, 0},
    };
    for (const auto& c : cases) {
        table.SetField(c.index, c.text);
        double date = -1;
        EXPECT_EQ(table.GetDate(c.index, date), c.valid) << c.text;
        EXPECT_NEAR(date, c.date, 1e-9) << c.text;
    }
}

TEST(DbfTable, MemoTextsAsLinesAndRecordLinesWithTheirContinuation)
{
    CTempDir dir;
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, dir.File("memo.dbf"), {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}}));
    const struct {
        const char* text;
        std::vector<std::string> lines;
        bool found;
    } cases[] = {
        {"a\r\n\r\nb", {"a", "", "b"}, true},
        {"a\n\rb\r", {"a", "b"}, true},
        {"one line", {"one line"}, true},
        {"\r\n", {""}, true},
        {"", {""}, false},
    };
    std::vector<std::string> lines;
    for (const auto& c : cases) {
        ASSERT_TRUE(table.SetField(1, c.text));
        EXPECT_EQ(table.GetMemoLines(1, lines), c.found) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }

    table.SetField(0, "Vilnius");
    table.SetField(1, "first\r\nsecond\r\nthird");
    table.GetRecordLines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Name\tVilnius", "Note\tfirst", "\tsecond", "\tthird"}));
    std::string text;
    EXPECT_TRUE(table.GetMemo(1, text));
    EXPECT_EQ(text, "first\r\nsecond\r\nthird");
    EXPECT_FALSE(table.GetMemo(0, text));
}

TEST(DbfTable, CoordinatesAsTextsByFieldWidthOrAsNumbers)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "",
                            {{"LON8", 'C', 8, 0},
                             {"LON10", 'C', 10, 0},
                             {"LON12", 'C', 12, 0},
                             {"LAT7", 'C', 7, 0},
                             {"LAT9", 'C', 9, 0},
                             {"LAT10", 'C', 10, 0},
                             {"NUM", 'N', 12, 6},
                             {"DAY", 'D', 8, 0},
                             {"LON6", 'C', 6, 0}}));
    const struct {
        int index;
        bool longitude;
        double value;
        const char* stored;
        bool whole;
    } cases[] = {
        {0, true, 24.5, "024E3000", true},
        {0, true, -23.75, "023W4500", true},
        {1, true, 24.5, "024E3000.0", true},
        {2, true, 24.50000123, "024E3000.00 ", true},
        {3, false, 54.5, "54N3000", true},
        {4, false, 54.5, "54N3000.0", true},
        {5, false, -54.5, "54S3000.00", true},
        {6, true, 24.5, "   24.500000", true},
        {6, false, 54.25, "   54.250000", true},
        {7, true, 24.5, "        ", false},
        {8, true, 24.5, "024E30", false},
        {0, true, 400, "        ", false},
        {3, false, 91, "       ", false},
        {0, true, std::nan(""), "        ", false},
    };
    for (const auto& c : cases) {
        table.SetField(c.index, "");
        EXPECT_EQ(c.longitude ? table.SetLongitude(c.index, c.value) : table.SetLatitude(c.index, c.value), c.whole)
            << c.stored;
        EXPECT_EQ(Raw(table, c.index), c.stored);
        if (c.whole) {
            EXPECT_NEAR(DbfGetDegrees(*table.GetHandle(), c.index), c.value, 0.5 / 3600) << c.stored;
        }
    }
}

TEST(DbfTable, CopiesRecordsBetweenTablesConvertingTypes)
{
    CTempDir dir;
    CDbfTable source, target;
    ASSERT_TRUE(CreateTable(source, dir.File("source.dbf"),
                            {{"CN", 'C', 8, 0},
                             {"NC", 'N', 8, 2},
                             {"CL", 'C', 3, 0},
                             {"CX", 'C', 3, 0},
                             {"MC", 'M', 10, 0},
                             {"CM", 'C', 10, 0},
                             {"NN", 'N', 8, 1},
                             {"DC", 'D', 8, 0},
                             {"LONGC", 'C', 10, 0},
                             {"ONLYSRC", 'C', 4, 0}}));
    ASSERT_TRUE(CreateTable(target, dir.File("target.dbf"),
                            {{"cn", 'N', 8, 3},
                             {"NC", 'C', 10, 0},
                             {"CL", 'L', 1, 0},
                             {"CX", 'L', 1, 0},
                             {"MC", 'C', 12, 0},
                             {"CM", 'M', 10, 0},
                             {"NN", 'N', 10, 3},
                             {"DC", 'C', 10, 0},
                             {"LONGC", 'C', 4, 0},
                             {"ONLYDST", 'C', 4, 0}}));
    const char* values[] = {"  12.5", "3.25", "yes", "x", "memo text", "to memo", "7.5", "20060315", "Vilniaus m.",
                            "abc"};
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(source.SetField(i, values[i])) << i;
    target.SetField(3, "T");
    target.SetField(9, "keep");
    target.CopyRecordFrom(source);

    const struct {
        const char* field;
        const char* raw;
    } expected[] = {
        {"CN", "  12.500"},     // text scanned as a number
        {"NC", "    3.25  "},   // the number's text, blank-padded
        {"CL", "T"},            // y is true
        {"CX", "T"},            // no logical value: unchanged
        {"MC", "memo text   "}, // the memo's text
        {"NN", "     7.500"},   // the number re-stored with the target's decimals
        {"DC", "20060315  "},   // the date's digits
        {"LONGC", "Viln"},      // cut to the target's length
        {"ONLYDST", "keep"},    // no field of that name in the source
    };
    for (const auto& e : expected)
        EXPECT_EQ(Raw(target, target.FindField(e.field)), e.raw) << e.field;
    std::string memo;
    EXPECT_TRUE(target.GetMemo(target.FindField("CM"), memo));
    EXPECT_EQ(memo, "to memo   "); // the field's text as stored

    // One field by index.
    EXPECT_TRUE(target.CopyFieldFrom(source, target.FindField("LONGC"), source.FindField("ONLYSRC")));
    EXPECT_EQ(Raw(target, target.FindField("LONGC")), "abc ");
    EXPECT_FALSE(target.CopyFieldFrom(source, -1, 0));
}

TEST(DbfTable, ScansSkipDeletedAndFilteredRecordsAndEditsHitTheFoundRecord)
{
    CTempDir dir;
    const std::string path = dir.File("scan.dbf");
    {
        CDbfTable table;
        ASSERT_TRUE(CreateTable(table, path, kNumbered));
        FillNumbered(table, 10);
    }
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    EXPECT_EQ(ScanIds(table), (std::vector<int>{0, 1, 3, 4, 6, 7, 9}));
    EXPECT_EQ(table.GetCurrentRecord(), -1);
    EXPECT_FALSE(table.NextRecord());

    ASSERT_TRUE(table.SetFilter("POP >= 300 .AND. RIGHT(NAME, 1) <> '7'"));
    EXPECT_EQ(ScanIds(table), (std::vector<int>{3, 4, 6, 9}));
    // RECNO counts the record's position from 1.
    ASSERT_TRUE(table.SetFilter("RECNO() < 3"));
    EXPECT_EQ(ScanIds(table), (std::vector<int>{0, 1}));
    ASSERT_TRUE(table.SetFilter("RECNO() = 5"));
    EXPECT_EQ(ScanIds(table), (std::vector<int>{4}));

    // Every record a scan finds is edited and written back while the scan goes on.
    ASSERT_TRUE(table.SetFilter(""));
    const int name = table.FindField("NAME");
    table.SetPosition(0);
    int found = 0;
    while (table.NextRecord() && found < 20) {
        ++found;
        ASSERT_TRUE(table.GoToRecord(table.GetCurrentRecord())); // the buffer holds it already
        std::string value;
        table.GetFieldString(name, value);
        ASSERT_TRUE(table.SetField(name, value + "x"));
        ASSERT_TRUE(table.WriteRecord());
    }
    EXPECT_EQ(found, 7);
    EXPECT_EQ(table.GetRecordCount(), 10);
    table.Close();

    ASSERT_TRUE(table.Open(path));
    for (int n = 0; n < 10; ++n) {
        ASSERT_TRUE(table.GoToRecord(n));
        std::string value;
        table.GetFieldString(name, value);
        EXPECT_EQ(value, "R" + std::to_string(n) + (n % 3 == 2 ? "" : "x")) << n;
        EXPECT_EQ(table.IsDeleted(), n % 3 == 2);
    }
    EXPECT_EQ(ReadWholeFile(path).back(), '\x1A');
}

TEST(DbfTable, DeletesWritesFieldsAndAppendsAtTheCurrentRecord)
{
    CTempDir dir;
    const std::string path = dir.File("edit.dbf");
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, path, {{"ID", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"POP", 'N', 8, 0},
                                          {"NOTE", 'M', 10, 0}}));
    FillNumbered(table, 6);
    const int name = table.FindField("NAME");
    const int pop = table.FindField("POP");
    const int note = table.FindField("NOTE");

    // Deleting the record a scan found marks it and no other.
    table.SetPosition(0);
    ASSERT_TRUE(table.NextRecord());
    ASSERT_TRUE(table.NextRecord());
    EXPECT_EQ(table.GetCurrentRecord(), 1);
    ASSERT_TRUE(table.DeleteRecord(true));
    ASSERT_TRUE(table.NextRecord());
    EXPECT_EQ(table.GetCurrentRecord(), 3);
    EXPECT_EQ(ScanIds(table), (std::vector<int>{0, 3, 4}));

    // A field written straight into the current record reaches the buffer too,
    // so writing the record later keeps it.
    ASSERT_TRUE(table.GoToRecord(3));
    ASSERT_TRUE(table.WriteFieldAt(3, pop, "1234.7"));
    ASSERT_TRUE(table.WriteFieldAt(3, note, "memo of three"));
    ASSERT_TRUE(table.WriteRecord());
    ASSERT_TRUE(table.WriteFieldAt(4, name, "Kaunas"));
    ASSERT_TRUE(table.WriteFieldAt(0, note, "memo of zero"));
    EXPECT_EQ(table.GetCurrentRecord(), 0); // a memo needs its record read
    ASSERT_TRUE(table.DeleteRecordAt(0));
    EXPECT_TRUE(table.IsDeleted());
    ASSERT_TRUE(table.WriteRecord());

    table.AppendBlank();
    EXPECT_EQ(table.GetCurrentRecord(), 6);
    table.SetFieldLong(table.FindField("ID"), 6);
    ASSERT_TRUE(table.WriteRecord());
    EXPECT_EQ(table.GetRecordCount(), 7);
    table.Close();

    ASSERT_TRUE(table.Open(path));
    std::string text;
    ASSERT_TRUE(table.GoToRecord(3));
    EXPECT_EQ(Raw(table, pop), "    1235");
    EXPECT_TRUE(table.GetMemo(note, text));
    EXPECT_EQ(text, "memo of three");
    ASSERT_TRUE(table.GoToRecord(4));
    EXPECT_EQ(Raw(table, name), "Kaunas    ");
    ASSERT_TRUE(table.GoToRecord(0));
    EXPECT_TRUE(table.IsDeleted());
    EXPECT_TRUE(table.GetMemo(note, text));
    EXPECT_EQ(text, "memo of zero");
    EXPECT_EQ(ScanIds(table), (std::vector<int>{3, 4, 6}));

    // Without a current record there is nothing to write.
    CScriptedUserServices services;
    EXPECT_EQ(table.GetCurrentRecord(), -1);
    EXPECT_FALSE(table.WriteRecord());
    EXPECT_FALSE(table.DeleteRecord(true));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1045});
    EXPECT_EQ(table.GetRecordCount(), 7);
}

TEST(DbfTable, FiltersThatDoNotCompileLeaveTheTableUnfiltered)
{
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, "", kNumbered));
    ASSERT_TRUE(table.SetFilter("POP > 5"));
    EXPECT_NE(table.GetFilter(), nullptr);
    for (const char* text : {"POP >", "POP + 1", "NAME = 5", "   "}) {
        EXPECT_FALSE(table.SetFilter(text)) << text;
        EXPECT_EQ(table.GetFilter(), nullptr);
        EXPECT_EQ(table.GetFilterText(), text);
    }
    EXPECT_TRUE(table.SetFilter(""));
    EXPECT_EQ(table.GetFilter(), nullptr);
}

class DbfTableSaveAs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateTable(table, dir.File("src.dbf"), {{"ID", 'N', 6, 0}, {"NAME", 'C', 10, 0},
                                                              {"POP", 'N', 8, 0}, {"NOTE", 'M', 10, 0}}));
        FillNumbered(table, 9);
        table.GoToRecord(4);
        table.SetField(table.FindField("NOTE"), "memo of four");
        ASSERT_TRUE(table.WriteRecord());
    }

    CTempDir dir;
    CDbfTable table;
    CScriptedUserServices services;
};

TEST_F(DbfTableSaveAs, CopiesLiveRecordsThatPassTheFilterOrAllWithTheirMarks)
{
    ASSERT_TRUE(table.SetFilter("POP >= 200"));
    const std::string live = dir.File("out/live.dbf");
    ASSERT_TRUE(table.SaveAs(live, false, false));
    const std::string all = dir.File("out/all.dbf");
    ASSERT_TRUE(table.SaveAs(all, true, false));
    EXPECT_TRUE(services.messages.empty());

    CDbfTable copy;
    ASSERT_TRUE(copy.Open(live));
    EXPECT_EQ(copy.GetRecordCount(), 4);
    EXPECT_EQ(ScanIds(copy), (std::vector<int>{3, 4, 6, 7}));
    ASSERT_TRUE(copy.GoToRecord(1));
    std::string memo;
    EXPECT_TRUE(copy.GetMemo(copy.FindField("NOTE"), memo));
    EXPECT_EQ(memo, "memo of four");

    ASSERT_TRUE(copy.Open(all));
    EXPECT_EQ(copy.GetRecordCount(), 7);
    std::vector<int> deleted;
    for (int n = 0; n < copy.GetRecordCount(); ++n) {
        ASSERT_TRUE(copy.GoToRecord(n));
        if (copy.IsDeleted())
            deleted.push_back(DbfGetInt(*copy.GetHandle(), 0));
    }
    EXPECT_EQ(deleted, (std::vector<int>{2, 5, 8}));
    EXPECT_EQ(FolderFiles(dir.File("out")), (std::vector<std::string>{"all.FPT", "all.dbf", "live.FPT", "live.dbf"}));
}

TEST_F(DbfTableSaveAs, RefusesToOverwriteUnlessAskedAndNeverItsOwnFiles)
{
    const std::string target = dir.File("target.dbf");
    WriteWholeFile(target, "old bytes");
    EXPECT_FALSE(table.SaveAs(target, false, false));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1074});
    EXPECT_EQ(ReadWholeFile(target), "old bytes");

    services.messages.clear();
    ASSERT_TRUE(table.SaveAs(target, false, true));
    EXPECT_TRUE(services.messages.empty());
    CDbfTable copy;
    ASSERT_TRUE(copy.Open(target));
    EXPECT_EQ(copy.GetRecordCount(), 6);
    // Replacing a table with a memo file replaces both.
    ASSERT_TRUE(table.SaveAs(target, true, true));
    ASSERT_TRUE(copy.Open(target));
    EXPECT_EQ(copy.GetRecordCount(), 9);
    std::string memo;
    ASSERT_TRUE(copy.GoToRecord(4));
    EXPECT_TRUE(copy.GetMemo(copy.FindField("NOTE"), memo));
    EXPECT_EQ(memo, "memo of four");

    // The table itself, under any letter case, and a table whose memo file
    // would be the table's own.
    const std::string before = ReadWholeFile(dir.File("src.dbf"));
    const std::string memoBefore = ReadWholeFile(dir.File("src.FPT"));
    for (const char* name : {"src.dbf", "SRC.DBF", "src.gdb"}) {
        services.messages.clear();
        EXPECT_FALSE(table.SaveAs(dir.File(name), false, true)) << name;
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1027}) << name;
    }
    EXPECT_EQ(ReadWholeFile(dir.File("src.dbf")), before);
    EXPECT_EQ(ReadWholeFile(dir.File("src.FPT")), memoBefore);
    EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"src.FPT", "src.dbf", "target.FPT", "target.dbf"}));

    CDbfTable closed;
    EXPECT_FALSE(closed.SaveAs(dir.File("none.dbf"), false, false));
}

TEST_F(DbfTableSaveAs, AFailedSaveLeavesNoFileAndTheOldOneWhole)
{
    // A folder in the way: the copy is made but cannot take its name, and
    // the memo file of that name stays as it was.
    ASSERT_TRUE(MakeFolder(dir.File("folder.dbf")));
    WriteWholeFile(dir.File("folder.FPT"), "old memo");
    EXPECT_FALSE(table.SaveAs(dir.File("folder.dbf"), false, true));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1027});
    EXPECT_EQ(ReadWholeFile(dir.File("folder.FPT")), "old memo");
    ASSERT_TRUE(RemoveFile(dir.File("folder.FPT")));
    EXPECT_FALSE(table.SaveAs(dir.File("folder.dbf"), false, true));
    EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"folder.dbf", "src.FPT", "src.dbf"}));
    ASSERT_EQ(::rmdir(ResolvePath(dir.File("folder.dbf")).c_str()), 0);
    services.messages.clear();

    const std::string target = dir.File("target.dbf");
    WriteWholeFile(target, "old bytes");
    // Another program cuts the table short: the read of its fifth record fails.
    {
        auto stream = CFileStream::Open(dir.File("src.dbf"), FileMode::ReadWrite);
        ASSERT_TRUE(stream);
        ASSERT_TRUE(stream->Truncate(table.GetHandle()->HeaderLength() + 4 * table.GetHandle()->RecordLength()));
    }
    EXPECT_FALSE(table.SaveAs(target, true, true));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(ReadWholeFile(target), "old bytes");
    EXPECT_FALSE(table.SaveAs(dir.File("new.dbf"), true, false));
    EXPECT_FALSE(PathExists(dir.File("new.dbf")));
    EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"src.FPT", "src.dbf", "target.dbf"}));
}

class CCancelProgress : public IProgress {
public:
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void SetPos(int position) override { last = position; }
    void StepIt() override {}
    bool CheckCancel() override { return true; }
    int last = -1;
};

TEST(DbfTable, ASaveCancelledFromItsProgressLeavesNothing)
{
    CTempDir dir;
    CDbfTable table;
    ASSERT_TRUE(CreateTable(table, dir.File("big.dbf"), kNumbered));
    ASSERT_TRUE(DbfLock(*table.GetHandle()));
    for (int i = 0; i < 10000; ++i) {
        DbfAppendBlank(*table.GetHandle());
        ASSERT_TRUE(DbfWriteHere(*table.GetHandle()));
    }
    ASSERT_TRUE(DbfFlush(*table.GetHandle()));
    CCancelProgress progress;
    EXPECT_FALSE(table.SaveAs(dir.File("copy.dbf"), true, false, &progress));
    EXPECT_GT(progress.last, 0);
    EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"big.dbf"});
}

TEST(DbfTable, OpenAndCreateReportFailures)
{
    CTempDir dir;
    CScriptedUserServices services;
    CDbfTable table;
    EXPECT_FALSE(table.Open(dir.File("missing.dbf")));
    EXPECT_FALSE(table.IsOpen());
    EXPECT_FALSE(table.Create(dir.File("no/such/folder/x.dbf"), FieldList({{"A", 'C', 1, 0}}).data()));
    EXPECT_EQ(services.MessageIds(), (std::vector<unsigned>{1007, 1007}));
    EXPECT_EQ(services.messages[0].text, LoadStringArg(1007, dir.File("missing.dbf")));
    EXPECT_FALSE(table.GoToRecord(0));
    EXPECT_FALSE(table.NextRecord());
    EXPECT_EQ(table.FindField("A"), -1);
}

TEST(DbfTable, FieldListsGoThroughInfoArrays)
{
    CTempDir dir;
    CDbfFieldInfoArray infos;
    CDbfFieldInfo info;
    EXPECT_EQ(infos.Add(info.Set("Name", 'C', 20, 0)), 0);
    EXPECT_TRUE(infos.SetAtGrow(2, info.Set("pop", 'N', 9, 2)));
    EXPECT_FALSE(infos.SetAtGrow(-1, info));
    infos.SetAtGrow(1, info.Set("Day", 'D', 8, 0));
    EXPECT_EQ(infos.FindField("POP"), 2);
    EXPECT_EQ(infos.FindField("x"), -1);

    CDbfTable table;
    ASSERT_TRUE(table.CreateFromInfoArray(dir.File("made.dbf"), infos));
    const std::vector<CDbfFieldInfo> list = table.GetFieldInfos();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_STREQ(list[2].name, "POP");
    EXPECT_EQ(list[2].length, 9);
    EXPECT_EQ(list[2].decimals, 2);
    EXPECT_EQ(list[3].length, 0);
    table.Close();

    CDbfFieldInfoArray loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("made.dbf")));
    ASSERT_EQ(loaded.GetSize(), 3);
    EXPECT_STREQ(loaded[0].name, "Name");
    EXPECT_STREQ(loaded[2].name, "Pop");
    EXPECT_EQ(loaded[1].type, 'D');
    CScriptedUserServices services;
    EXPECT_FALSE(loaded.LoadFromFile(dir.File("missing.dbf")));
}

} // namespace

TEST(DbfTable, ATableCutShortSaysSoOnceAndOpensReadOnly)
{
    CTempDir dir;
    const std::string path = dir.File("cut.dbf");
    {
        CDbfTable table;
        ASSERT_TRUE(CreateTable(table, path, kNumbered));
        FillNumbered(table, 4);
    }
    std::string bytes = ReadWholeFile(path);
    bytes.resize(bytes.size() - 10); // the last record cut in two
    WriteWholeFile(path, bytes);

    CScriptedUserServices services;
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    EXPECT_TRUE(table.IsDamaged());
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1030});
    EXPECT_EQ(table.GetRecordCount(), 3);
    EXPECT_EQ(ScanIds(table), (std::vector<int>{0, 1}));
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1030});

    services.messages.clear();
    table.AppendBlank();
    table.SetFieldLong(table.FindField("ID"), 9);
    EXPECT_FALSE(table.WriteRecord());
    ASSERT_TRUE(table.GoToRecord(0));
    EXPECT_FALSE(table.DeleteRecord(true));
    EXPECT_EQ(services.MessageIds(), (std::vector<unsigned>{1044, 1045, 1044}));
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST(DbfTable, SeveralProgramsAppendingToOneTableKeepEveryRecordOnce)
{
    CTempDir dir;
    const std::string path = dir.File("shared.dbf");
    const std::initializer_list<FieldSpec> fields = {
        {"WRITER", 'N', 2, 0}, {"SEQ", 'N', 6, 0}, {"NAME", 'C', 12, 0}, {"NOTE", 'M', 10, 0}};
    {
        CDbfTable table;
        ASSERT_TRUE(CreateTable(table, path, fields));
        table.AppendBlank();
        table.SetFieldLong(0, 0);
        table.SetField(2, "replace me");
        ASSERT_TRUE(table.WriteRecord());
    }
    // Contended locks are waited for, as long as it takes.
    FileRetryPolicy& policy = GetFileRetryPolicy();
    const int savedTries = policy.lockTries;
    policy.lockTries = 1000000;

    constexpr int kWriters = 4;
    constexpr int kEach = 400;
    const auto memoOf = [](long writer, long seq) {
        return "writer " + std::to_string(writer) + " record " + std::to_string(seq) + std::string(seq % 90, '.');
    };
    CScriptedUserServices services;
    CChildProcesses children;
    for (int writer = 1; writer <= kWriters; ++writer) {
        ASSERT_TRUE(children.Start([&, writer] {
            CDbfTable table;
            if (!table.Open(path))
                return false;
            for (int seq = 0; seq < kEach; ++seq) {
                table.AppendBlank();
                table.SetFieldLong(0, writer);
                table.SetFieldLong(1, seq);
                // A memo text before the record: it takes its block at once.
                if (!table.SetField(3, memoOf(writer, seq)) || !table.WriteRecord())
                    return false;
                // The record written stays current: writing again changes it only.
                if (seq % 50 == 0 && (!table.SetField(2, "again") || !table.WriteRecord()))
                    return false;
            }
            return services.messages.empty();
        }));
    }
    // Record 0 is replaced again and again while the others append.
    ASSERT_TRUE(children.Start([&] {
        CDbfTable table;
        if (!table.Open(path))
            return false;
        for (int i = 0; i < 200; ++i) {
            if (!table.GoToRecord(0) || !table.SetField(2, "replaced" + std::to_string(i)) || !table.WriteRecord())
                return false;
            table.SetPosition(0); // the next GoToRecord reads the file again
            table.NextRecord();
        }
        return services.messages.empty();
    }));

    // Opening meanwhile always succeeds and shows whole records.
    int opens = 0;
    // At least once after the children are let go, however fast they are.
    children.AnyRunning();
    do {
        CDbfTable reader;
        ASSERT_TRUE(reader.Open(path));
        ASSERT_FALSE(reader.IsDamaged());
        ++opens;
        const int count = reader.GetRecordCount();
        ASSERT_TRUE(reader.GoToRecord(count - 1));
        std::string memo;
        if (count > 1) {
            ASSERT_TRUE(reader.GetMemo(3, memo));
            EXPECT_EQ(memo, memoOf(DbfGetLong(*reader.GetHandle(), 0), DbfGetLong(*reader.GetHandle(), 1)));
        }
    } while (children.AnyRunning());
    EXPECT_TRUE(children.WaitAll());
    policy.lockTries = savedTries;
    EXPECT_GT(opens, 0);
    EXPECT_TRUE(services.messages.empty());

    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    ASSERT_EQ(table.GetRecordCount(), 1 + kWriters * kEach);
    std::vector<std::vector<int>> seen(kWriters + 1, std::vector<int>(kEach, 0));
    std::string text;
    ASSERT_TRUE(table.GoToRecord(0));
    table.GetFieldString(2, text);
    EXPECT_EQ(text, "replaced199");
    for (int n = 1; n < table.GetRecordCount(); ++n) {
        ASSERT_TRUE(table.GoToRecord(n));
        const long writer = DbfGetLong(*table.GetHandle(), 0), seq = DbfGetLong(*table.GetHandle(), 1);
        ASSERT_TRUE(writer >= 1 && writer <= kWriters && seq >= 0 && seq < kEach) << n;
        ++seen[static_cast<size_t>(writer)][static_cast<size_t>(seq)];
        ASSERT_TRUE(table.GetMemo(3, text));
        EXPECT_EQ(text, memoOf(writer, seq)) << n;
        table.GetFieldString(2, text);
        EXPECT_EQ(text, seq % 50 == 0 ? "again" : "") << n;
    }
    for (int writer = 1; writer <= kWriters; ++writer)
        EXPECT_EQ(std::count(seen[writer].begin(), seen[writer].end(), 1), kEach) << writer;
}
