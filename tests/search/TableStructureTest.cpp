// Table structure editing: one field's description, the field list, and
// the rebuild of a table file with its memo file and backups.
#include "search/TableStructure.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "tests/core/FieldLists.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string NameOf(const CDbfFieldInfo& f)
{
    return std::string(f.name, strnlen(f.name, sizeof f.name));
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

CDbfFieldInfo Info(const char* name, char type, int length, int decimals = 0)
{
    CDbfFieldInfo info{};
    return info.Set(name, type, static_cast<unsigned>(length), static_cast<unsigned>(decimals));
}

TEST(FieldDescTest, OneTableOfLimitsAndMessages)
{
    using F = FieldDescControl;
    const std::string eleven(11, 'A');
    const struct {
        std::string name;
        char type;
        const char* size;
        const char* decimals;
        int message;
        F focus;
        const char* madeName = "";
        int length = 0;
        int madeDecimals = 0;
    } cases[] = {
        {"gatve", 'C', "30", "0", 0, F::Name, "Gatve", 30, 0},
        {"_x1", 'C', "1", "5", 0, F::Name, "_x1", 1, 0},
        {"AAAAAAAAAA", 'C', "254", "", 0, F::Name, "Aaaaaaaaaa", 254, 0},
        {"plotas", 'N', "20", "18", 0, F::Name, "Plotas", 20, 18},
        {"plotas", 'N', " 6 ", "4", 0, F::Name, "Plotas", 6, 4},
        {"kiekis", 'N', "1", "0", 0, F::Name, "Kiekis", 1, 0},
        {"kaina", 'F', "12", "3", 0, F::Name, "Kaina", 12, 3},
        {"pastaba", 'M', "abc", "7", 0, F::Name, "Pastaba", 10, 0},
        {"yra", 'L', "0", "", 0, F::Name, "Yra", 1, 0},
        {"data", 'D', "999", "", 0, F::Name, "Data", 8, 0},
        // 1047: the name.
        {"", 'C', "10", "0", 1047, F::Name},
        {eleven, 'C', "10", "0", 1047, F::Name},
        {"1gatve", 'C', "10", "0", 1047, F::Name},
        {"gat ve", 'C', "10", "0", 1047, F::Name},
        {" gatve", 'C', "10", "0", 1047, F::Name},
        {"gatv\xEB", 'C', "10", "0", 1047, F::Name}, // a Lithuanian letter
        {"a-b", 'C', "10", "0", 1047, F::Name},
        // 1048 and 1049: the size.
        {"a", 'C', "0", "0", 1048, F::Size},
        {"a", 'C', "255", "0", 1048, F::Size},
        {"a", 'C', "999", "0", 1048, F::Size},
        {"a", 'C', "abc", "0", 1048, F::Size},
        {"a", 'C', "", "0", 1048, F::Size},
        {"a", 'C', "-5", "0", 1048, F::Size},
        {"a", 'N', "0", "0", 1049, F::Size},
        {"a", 'N', "21", "0", 1049, F::Size},
        {"a", 'N', "abc", "0", 1049, F::Size},
        {"a", 'F', "999", "0", 1049, F::Size},
        // 1050: decimals above size - 2.
        {"a", 'N', "6", "5", 1050, F::Decimals},
        {"a", 'N', "2", "1", 1050, F::Decimals},
        {"a", 'N', "10", "abc", 1050, F::Decimals},
        {"a", 'N', "10", "-1", 1050, F::Decimals},
        {"a", 'N', "10", "", 1050, F::Decimals},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + c.type + " " + c.size + " " + c.decimals);
        CDbfFieldInfo field = Info("OLD", 'C', 3);
        F focus = F::Name;
        EXPECT_EQ(CheckFieldDesc(c.name, c.type, c.size, c.decimals, field, focus), c.message);
        if (c.message) {
            EXPECT_EQ(focus, c.focus);
            EXPECT_EQ(NameOf(field), "OLD");
            continue;
        }
        EXPECT_EQ(NameOf(field), c.madeName);
        EXPECT_EQ(field.type, c.type);
        EXPECT_EQ(field.length, c.length);
        EXPECT_EQ(field.decimals, c.madeDecimals);
    }
    EXPECT_EQ(ShownFieldType('F'), 'N');
    EXPECT_EQ(ShownFieldType('C'), 'C');
}

TEST(TableStructureListTest, RowsKeepTheOldFieldTheyAreMadeFrom)
{
    CTempDir dir;
    MakeTable(dir.File("t.dbf"),
              FieldList({{"NAME", 'C', 10, 0}, {"AREA", 'N', 10, 2}, {"RATE", 'F', 8, 3}, {"SEEN", 'L', 1, 0}}), {});
    CTableStructure list;
    ASSERT_TRUE(list.Load(dir.File("t.dbf")));
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_FALSE(list.CanApply());
    const std::vector<std::vector<std::string>> texts = {
        {"Name", "C", "10", ""}, {"Area", "N", "10", "2"}, {"Rate", "F", "8", "3"}, {"Seen", "L", "1", ""}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(CTableStructure::RowTexts(list.GetRows()[row]), texts[row]);
        EXPECT_EQ(list.GetRows()[row].oldIndex, row);
    }

    EXPECT_EQ(list.FindName("area"), 1);
    EXPECT_EQ(list.FindName("Area", 1), -1);
    EXPECT_EQ(list.FindName("NONE"), -1);

    list.Edit(1, Info("Surface", 'N', 12, 3));
    EXPECT_TRUE(list.CanApply());
    EXPECT_EQ(list.GetRows()[1].oldIndex, 1);
    list.Insert(0, Info("First", 'C', 5));
    list.Insert(99, Info("Last", 'D', 8));
    list.Add(Info("Added", 'C', 5));
    std::vector<std::string> names;
    std::vector<int> olds;
    for (const CStructureRow& row : list.GetRows()) {
        names.push_back(NameOf(row.info));
        olds.push_back(row.oldIndex);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Name", "Surface", "Rate", "Seen", "Last", "Added"}));
    EXPECT_EQ(olds, (std::vector<int>{-1, 0, 1, 2, 3, -1, -1}));

    // Removed in any order, rows outside passed over.
    list.Remove({4, 0, 99, 4, -1});
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(NameOf(list.GetRows()[0].info), "Name");
    EXPECT_EQ(NameOf(list.GetRows()[3].info), "Last");
    EXPECT_TRUE(list.CanApply());
    list.Remove({0, 1, 2, 3, 4});
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.CanApply()) << "a table without fields";
    list.Add(Info("Only", 'C', 5));
    EXPECT_TRUE(list.CanApply());

    EXPECT_FALSE(list.Load(dir.File("missing.dbf")));
}

// ------------------------------------------------------------ rebuilds

class RebuildTest : public ::testing::Test {
protected:
    RebuildTest()
    {
        MakeTable(table, FieldList({{"NAME", 'C', 10, 0}, {"VAL", 'C', 8, 0}, {"NUM", 'N', 5, 0},
                                    {"NOTE", 'M', 10, 0}}),
                  {{"Alpha", "12.5", "7", "first note"},
                   {"Beta", "3", "8", ""},
                   {"Gamma", "x", "9", "third note"},
                   {"Delta", "", "10", ""}});
        CDbfTable t;
        EXPECT_TRUE(t.Open(table));
        EXPECT_TRUE(t.DeleteRecordAt(1));
        t.Close();
        memo = dir.File("T.fpt");
        EXPECT_TRUE(PathExists(memo));
        oldTable = ReadWholeFile(table);
        oldMemo = ReadWholeFile(memo);
    }
    // The rows of the old fields, each as it is.
    std::vector<CStructureRow> Unchanged() const
    {
        CTableStructure list;
        EXPECT_TRUE(list.Load(table));
        return list.GetRows();
    }
    // The old files as they were, and nothing else of the rebuild's left
    // but what is named.
    void ExpectUntouched() const
    {
        EXPECT_EQ(ReadWholeFile(table), oldTable);
        EXPECT_EQ(ReadWholeFile(memo), oldMemo);
    }
    std::string Field(CDbfTable& t, int record, const char* name)
    {
        EXPECT_TRUE(t.GoToRecord(record));
        std::string text;
        if (t.GetFieldType(t.FindField(name)) == 'M')
            t.GetMemo(t.FindField(name), text);
        else
            t.GetFieldString(t.FindField(name), text);
        return text;
    }

    CTempDir dir;
    CScriptedUserServices user;
    std::string table = dir.File("T.dbf");
    std::string memo;
    std::string oldTable, oldMemo;
};

TEST_F(RebuildTest, RecordsKeepTheirPlacesMarksAndConvertedValues)
{
    std::vector<CStructureRow> rows = Unchanged();
    rows[1].info = Info("VAL", 'N', 6, 2); // C "12.5" into N(6,2)
    rows.erase(rows.begin() + 2);          // NUM removed...
    rows.push_back({Info("NUM", 'N', 5), -1}); // ...and added again: blank
    ASSERT_TRUE(RebuildTable(table, rows));
    EXPECT_TRUE(user.messages.empty());

    EXPECT_EQ(ReadWholeFile(dir.File("T.~db")), oldTable);
    EXPECT_EQ(ReadWholeFile(dir.File("T.~fp")), oldMemo);
    EXPECT_FALSE(PathExists(dir.File("~T.dbf")));
    EXPECT_FALSE(PathExists(dir.File("~T.fpt")));

    CDbfTable t;
    ASSERT_TRUE(t.Open(table));
    ASSERT_EQ(t.GetRecordCount(), 4);
    ASSERT_EQ(t.GetFieldCount(), 4);
    EXPECT_EQ(t.GetFieldType(t.FindField("VAL")), 'N');
    const char* names[] = {"Alpha", "Beta", "Gamma", "Delta"};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(Field(t, n, "NAME"), names[n]);
        EXPECT_EQ(t.IsDeleted(), n == 1) << n;
        EXPECT_EQ(Field(t, n, "NUM"), "") << n;
    }
    EXPECT_EQ(Field(t, 0, "VAL"), "12.50");
    EXPECT_EQ(Field(t, 0, "NOTE"), "first note");
    EXPECT_EQ(Field(t, 2, "NOTE"), "third note");
    EXPECT_EQ(Field(t, 3, "NOTE"), "");
}

TEST_F(RebuildTest, ADroppedMemoFieldLeavesOnlyTheMemoBackup)
{
    std::vector<CStructureRow> rows = Unchanged();
    rows.pop_back();
    ASSERT_TRUE(RebuildTable(table, rows));
    EXPECT_EQ(ReadWholeFile(dir.File("T.~fp")), oldMemo);
    EXPECT_FALSE(PathExists(memo));
    CDbfTable t;
    ASSERT_TRUE(t.Open(table));
    EXPECT_EQ(t.GetHandle()->Version(), kDbfVersionPlain);
    EXPECT_EQ(Field(t, 2, "NAME"), "Gamma");
}

TEST_F(RebuildTest, ASecondRebuildReplacesTheFirstBackup)
{
    std::vector<CStructureRow> rows = Unchanged();
    rows.push_back({Info("EXTRA", 'C', 4), -1});
    ASSERT_TRUE(RebuildTable(table, rows));
    const std::string first = ReadWholeFile(table);
    const std::string firstMemo = ReadWholeFile(memo);
    CTableStructure second;
    ASSERT_TRUE(second.Load(table));
    second.Add(Info("MORE", 'L', 1));
    ASSERT_TRUE(RebuildTable(table, second.GetRows()));
    EXPECT_EQ(ReadWholeFile(dir.File("T.~db")), first);
    EXPECT_EQ(ReadWholeFile(dir.File("T.~fp")), firstMemo);
    CDbfTable t;
    ASSERT_TRUE(t.Open(table));
    EXPECT_EQ(t.GetFieldCount(), 6);
    EXPECT_EQ(Field(t, 0, "NOTE"), "first note");
}

TEST_F(RebuildTest, AFailedMoveShowsTheSystemsTextAndPutsEverythingBack)
{
    // A folder that holds a file takes no file's name: the table's move,
    // then the memo file's.
    const struct {
        const char* blocked;
    } cases[] = {{"T.~db"}, {"T.~fp"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        ASSERT_TRUE(MakeFolder(dir.File(c.blocked)));
        WriteWholeFile(dir.File(c.blocked) + "/x", "x");
        user.messages.clear();
        EXPECT_FALSE(RebuildTable(table, Unchanged()));
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_FALSE(user.messages[0].text.empty());
        EXPECT_EQ(user.messages[0].type & MB_ICONMASK, MB_ICONERROR);
        ExpectUntouched();
        EXPECT_TRUE(PathExists(dir.File("~T.dbf"))) << "the new table stays on disk";
        RemoveFile(dir.File(c.blocked) + "/x");
        ::rmdir(ResolvePath(dir.File(c.blocked)).c_str());
        RemoveFile(dir.File("~T.dbf"));
        RemoveFile(dir.File("~T.fpt"));
    }
}

TEST_F(RebuildTest, BadFilesAreRefusedBeforeAnythingIsWritten)
{
    const struct {
        const char* name;
        std::function<void(const std::string& table, const std::string& memo)> spoil;
        std::vector<unsigned> messages;
    } cases[] = {
        {"a table cut short",
         [](const std::string& t, const std::string&) {
             const std::string bytes = ReadWholeFile(t);
             WriteWholeFile(t, bytes.substr(0, bytes.size() - 30));
         },
         {1044}},
        {"a missing memo file", [](const std::string&, const std::string& m) { RemoveFile(m); }, {1007}},
        {"a memo file cut to its header",
         [](const std::string&, const std::string& m) { WriteWholeFile(m, ReadWholeFile(m).substr(0, 512)); },
         {1028}},
        {"no table", [](const std::string& t, const std::string&) { RemoveFile(t); }, {1007}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(table, oldTable);
        WriteWholeFile(memo, oldMemo);
        const std::vector<CStructureRow> rows = Unchanged();
        c.spoil(table, memo);
        const std::string spoiltTable = PathExists(table) ? ReadWholeFile(table) : "";
        const std::string spoiltMemo = PathExists(memo) ? ReadWholeFile(memo) : "";
        user.messages.clear();
        EXPECT_FALSE(RebuildTable(table, rows));
        EXPECT_EQ(user.MessageIds(), c.messages);
        EXPECT_EQ(PathExists(table) ? ReadWholeFile(table) : "", spoiltTable);
        EXPECT_EQ(PathExists(memo) ? ReadWholeFile(memo) : "", spoiltMemo);
        EXPECT_FALSE(PathExists(dir.File("~T.dbf")));
        EXPECT_FALSE(PathExists(dir.File("~T.fpt")));
        EXPECT_FALSE(PathExists(dir.File("T.~db")));
    }
}

TEST_F(RebuildTest, TheQuestionDecidesAndAReadOnlyTableStaysAsItIs)
{
    std::vector<CStructureRow> rows = Unchanged();
    rows.pop_back();
    user.answers = {IDCANCEL};
    EXPECT_EQ(ApplyTableStructure(table, rows), StructureAnswer::StayOpen);
    user.answers = {IDNO};
    EXPECT_EQ(ApplyTableStructure(table, rows), StructureAnswer::CloseUnchanged);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2004, 2004}));
    EXPECT_EQ(user.messages[0].type & MB_TYPEMASK, MB_YESNOCANCEL);
    ExpectUntouched();

    if (::geteuid() != 0) { // root writes anything
        ::chmod(ResolvePath(table).c_str(), 0444);
        user.messages.clear();
        user.answers = {IDYES};
        EXPECT_EQ(ApplyTableStructure(table, rows), StructureAnswer::StayOpen);
        EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2004, 1044}));
        ExpectUntouched();
        ::chmod(ResolvePath(table).c_str(), 0644);
    }

    user.messages.clear();
    user.answers = {IDYES};
    EXPECT_EQ(ApplyTableStructure(table, rows), StructureAnswer::Rebuilt);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2004}));
    EXPECT_EQ(ReadWholeFile(dir.File("T.~db")), oldTable);
}

// A table whose bytes in one range cannot be read.
class CHoledStream : public CMemoryStream {
public:
    CHoledStream(std::vector<unsigned char> data, int64_t from, int64_t to)
        : CMemoryStream(std::move(data)), m_from(from), m_to(to)
    {
    }
    size_t Read(void* buffer, size_t count) override
    {
        if (Hits(Tell(), count))
            return 0;
        return CMemoryStream::Read(buffer, count);
    }
    size_t ReadAt(void* buffer, size_t count, int64_t offset) const override
    {
        return Hits(offset, count) ? 0 : CMemoryStream::ReadAt(buffer, count, offset);
    }

private:
    bool Hits(int64_t offset, size_t count) const
    {
        return offset < m_to && offset + static_cast<int64_t>(count) > m_from;
    }
    int64_t m_from, m_to;
};

TEST(RebuildCopyTest, AnUnreadableRecordKeepsItsPlaceBlankAndDeleted)
{
    const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 10, 0}, {"N", 'N', 4, 0}});
    auto memory = std::make_unique<CMemoryStream>();
    CMemoryStream* bytes = memory.get();
    {
        std::unique_ptr<DbfHandle> made = DbfCreateStream(std::move(memory), nullptr, fields.data());
        ASSERT_TRUE(made);
        const char* names[] = {"one", "two", "three"};
        for (int n = 0; n < 3; ++n) {
            DbfAppendBlank(*made);
            DbfPutString(*made, 0, names[n]);
            DbfPutLong(*made, 1, n + 1);
            ASSERT_TRUE(DbfWriteRecord(*made));
        }
        std::vector<unsigned char> data = bytes->Data();
        const int64_t second = DbfRecordOffset(*made, 1);
        // One byte of the second record's name cannot be read.
        std::unique_ptr<DbfHandle> source =
            DbfOpenStream(std::make_unique<CHoledStream>(data, second + 2, second + 3), nullptr);
        ASSERT_TRUE(source);
        std::unique_ptr<DbfHandle> target = DbfCreateStream(std::make_unique<CMemoryStream>(), nullptr, fields.data());
        ASSERT_TRUE(target);
        const std::vector<CStructureRow> rows = {{fields[0], 0}, {fields[1], 1}};
        CScriptedUserServices user;
        int unreadable = -1;
        ASSERT_TRUE(CopyIntoStructure(*source, *target, rows, unreadable));
        EXPECT_EQ(unreadable, 1);
        EXPECT_TRUE(user.messages.empty());
        ASSERT_EQ(target->RecordCount(), 3);
        const struct {
            bool deleted;
            const char* name;
            const char* n;
        } expected[] = {{false, "one", "1"}, {true, "", ""}, {false, "three", "3"}};
        for (int n = 0; n < 3; ++n) {
            ASSERT_TRUE(DbfReadRecord(*target, n));
            EXPECT_EQ(target->IsDeleted(), expected[n].deleted) << n;
            EXPECT_EQ(Trimmed(DbfGetString(*target, 0)), expected[n].name) << n;
            EXPECT_EQ(Trimmed(DbfGetString(*target, 1)), expected[n].n) << n;
        }
    }
}

} // namespace
