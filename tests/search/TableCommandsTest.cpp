// The commands of the attribute table on its rows: value tokens,
// statistics, copying, deleting, record information and the print pages.
#include "core/DbfEngine.h"
#include "platform/Path.h"
#include "search/FieldValueChange.h"
#include "search/TablePrintLayout.h"
#include "search/TableRowCommands.h"
#include "search/TableStatistics.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/search/TableTestSupport.h"
#include "tests/shell/ClipboardDouble.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// Names, a short and a decimal number and codes; the fields' last record
// is record 3.
class TableCommands : public CTableFixture {
protected:
    void SetUp() override
    {
        MakeLayer({{"NAME", 'C', 12, 0}, {"N", 'N', 5, 0}, {"V", 'N', 8, 2}, {"CODE", 'C', 6, 0}},
                  {{"Šilas", "2", "1.5", "A1"},
                   {"ąžuolas", "", "", "B22"},
                   {"Müller", "4", "10", "C333"},
                   {"liepa", "7", "0.25", ""}});
    }
    int Change(const Rows& rows, const std::string& field, const std::string& value, int scope = 0)
    {
        return ChangeFieldValue(*model, rows, field, Utf8ToCp1257(value), scope);
    }
};

TEST_F(TableCommands, ValueTokensChangeTheSelectedRecords)
{
    struct Case {
        const char* value;
        const char* field;
        Texts after;
        int written;
    };
    const Case cases[] = {
        {"{=#101}", "NAME", {"Silas", "azuolas", "Müller", "liepa"}, 4},
        {"{=upper}", "NAME", {"ŠILAS", "ĄŽUOLAS", "MÜLLER", "LIEPA"}, 4},
        {"{=UPPER}", "NAME", {"ŠILAS", "ĄŽUOLAS", "MÜLLER", "LIEPA"}, 4},
        {"{=RECNO}", "N", {"1", "2", "3", "4"}, 4},
        {"{=recno}", "V", {"1.00", "2.00", "3.00", "4.00"}, 4},
        {"{=recno}", "CODE", {"1", "2", "3", "4"}, 4},
        {"{=[CODE]", "NAME", {"A1", "B22", "C333", ""}, 4},
        {"{=[CODE]}", "N", {"2", "", "4", "7"}, 4}, // no number there: nothing taken
        {"{=[NAME]", "NAME", {"Šilas", "ąžuolas", "Müller", "liepa"}, 0},
        {"{=[NERA]", "NAME", {"Šilas", "ąžuolas", "Müller", "liepa"}, 0},
        {"{=num(5", "N", {"5", "6", "7", "8"}, 4},
        {"{=NUM(", "N", {"1", "2", "3", "4"}, 4},
        {"{=num(-2)", "V", {"-2.00", "-1.00", "0.00", "1.00"}, 4},
        {"{=+", "N", {"3", "1", "5", "8"}, 4},
        {"{=+2.5", "V", {"4.00", "2.50", "12.50", "2.75"}, 4},
        {"{=kita}", "NAME", {"Šilas", "ąžuolas", "Müller", "liepa"}, 0},
        {"{=", "NAME", {"Šilas", "ąžuolas", "Müller", "liepa"}, 0},
        {"Kalnas", "NAME", {"Kalnas", "Kalnas", "Kalnas", "Kalnas"}, 4},
        {"12", "V", {"12.00", "12.00", "12.00", "12.00"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        model.reset();
        doc.reset();
        ASSERT_NO_FATAL_FAILURE(MakeLayer({{"NAME", 'C', 12, 0}, {"N", 'N', 5, 0}, {"V", 'N', 8, 2},
                                           {"CODE", 'C', 6, 0}},
                                          {{"Šilas", "2", "1.5", "A1"},
                                           {"ąžuolas", "", "", "B22"},
                                           {"Müller", "4", "10", "C333"},
                                           {"liepa", "7", "0.25", ""}}));
        ASSERT_TRUE(Open());
        EXPECT_EQ(Change(AllRows(), c.field, c.value), c.written);
        EXPECT_EQ(FileColumn(c.field), c.after);
        // The grid reads its cells again.
        EXPECT_EQ(Column(c.field), c.after);
        EXPECT_TRUE(user.messages.empty());
    }
}

TEST_F(TableCommands, NumbersFollowTheWalkSelectedRowsInDisplayOrderAllInListOrder)
{
    ASSERT_TRUE(Open());
    model->SortByColumn(0); // liepa, Müller, ąžuolas, Šilas
    ASSERT_EQ(RowRecordsOf({0, 1, 2, 3}), (Records{3, 2, 1, 0}));
    EXPECT_EQ(Change({1, 3}, "N", "{=num(5"), 2);
    EXPECT_EQ(FileColumn("N"), (Texts{"6", "", "5", "7"}));

    // Every record of the list, deleted entries passed over.
    doc->MarkDeleted(2);
    EXPECT_EQ(Change({0}, "N", "{=num(", 1), 3);
    EXPECT_EQ(FileColumn("N"), (Texts{"1", "2", "5", "3"}));
}

TEST_F(TableCommands, ANumberThatDoesNotFitStopsTheWalkWithOneMessage)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(Change(AllRows(), "N", "{=num(99998"), 2);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].text.find("100000"), std::string::npos);
    // The records before stay, the rest as they were: no "*" written.
    EXPECT_EQ(FileColumn("N"), (Texts{"99998", "99999", "4", "7"}));

    user.messages.clear();
    EXPECT_EQ(Change(AllRows(), "V", "123456789"), 0);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(FileColumn("V"), (Texts{"1.50", "", "10.00", "0.25"}));

    // A copied value too wide for its field leaves the record as it was,
    // in the file and in what the grid shows.
    user.messages.clear();
    ASSERT_EQ(Change({2}, "CODE", "999999"), 1);
    EXPECT_EQ(Change({1, 2}, "N", "{=[CODE]"), 1);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(FileColumn("N"), (Texts{"99998", "99999", "4", "7"}));
    EXPECT_EQ(Column("N"), (Texts{"99998", "99999", "4", "7"}));
}

TEST_F(TableCommands, ADamagedTableIsRefusedOnceAndNothingChanges)
{
    // A table cut short opens with its whole records, read-only.
    std::string bytes = ReadWholeFile(tablePath);
    bytes.resize(bytes.size() - 5);
    WriteWholeFile(tablePath, bytes);
    ASSERT_TRUE(Open());
    EXPECT_TRUE(doc->GetTable()->IsDamaged());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1030});
    EXPECT_EQ(AllRows().size(), 3u);
    user.messages.clear();
    EXPECT_EQ(Change(AllRows(), "N", "{=num(1"), 0);
    EXPECT_EQ(Change(AllRows(), "NAME", "{=upper}"), 0);
    EXPECT_EQ(DeleteTableRows(*model, {0, 1}), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1044, 1044, 1044}));
    EXPECT_EQ(model->RowCount(), 3);
    EXPECT_EQ(FileColumn("N"), (Texts{"2", "", "4"}));
    EXPECT_EQ(FileColumn("NAME"), (Texts{"Šilas", "ąžuolas", "Müller"}));
}

TEST_F(TableCommands, AReadOnlyTableIsRefusedOnceAndNothingChanges)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anything";
    ASSERT_EQ(::chmod(ResolvePath(tablePath).c_str(), 0444), 0);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Change(AllRows(), "NAME", "Kalnas"), 0);
    EXPECT_EQ(DeleteTableRows(*model, {0, 1}), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1044, 1044}));
    EXPECT_EQ(model->RowCount(), 4);
    EXPECT_EQ(FileColumn("NAME"), (Texts{"Šilas", "ąžuolas", "Müller", "liepa"}));
    ::chmod(ResolvePath(tablePath).c_str(), 0644);
}

TEST_F(TableCommands, TokensParse)
{
    struct Case {
        const char* value;
        CValueToken::Kind kind;
        const char* text;
        double number;
    };
    const Case cases[] = {
        {"Sodas", CValueToken::kPlain, "Sodas", 0},
        {"{=#101}", CValueToken::kLatin1, "", 0},
        {"{=#101} ", CValueToken::kNothing, "", 0},
        {"{=Upper}", CValueToken::kUpper, "", 0},
        {"{=ReCnO}", CValueToken::kRecordNumber, "", 0},
        {"{=[KODAS]", CValueToken::kCopyField, "KODAS", 0},
        {"{=[KODAS", CValueToken::kCopyField, "KODAS", 0},
        {"{=Num(12", CValueToken::kNumbering, "", 12},
        {"{=num(", CValueToken::kNumbering, "", 1},
        {"{=num()", CValueToken::kNumbering, "", 1},
        {"{=+", CValueToken::kIncrement, "", 1},
        {"{=+-0.5", CValueToken::kIncrement, "", -0.5},
        {"{=upper", CValueToken::kNothing, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const CValueToken token = ParseValueToken(c.value);
        EXPECT_EQ(token.kind, c.kind);
        EXPECT_EQ(token.text, c.text);
        EXPECT_DOUBLE_EQ(token.number, c.number);
    }
}

TEST_F(TableCommands, StatisticsCountEmptyValuesAsZeroOrPassThemOver)
{
    ASSERT_TRUE(Open(CLayer::kDefaultFlags, "N <> 7"));
    CFieldStatistics s;
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "N", true, s));
    EXPECT_EQ(s.caption, "N");
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.sum, 6);
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.maximum, 4);
    EXPECT_EQ(s.mean, "2");
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "N", false, s));
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.minimum, 2);
    EXPECT_EQ(s.maximum, 4);
    EXPECT_EQ(s.mean, "3");

    // The mean with the field's decimals.
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "V", false, s));
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.sum, 11.5);
    EXPECT_EQ(s.mean, "5.75");
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "V", true, s));
    EXPECT_EQ(s.mean, "3.83");

    // Texts only count; no counted record gives zeros.
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "Code", true, s));
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.sum, 0);
    EXPECT_EQ(s.mean, "0");
    ASSERT_EQ(Change(AllRows(), "N", "{=num(1"), 3);
    ASSERT_TRUE(doc->GetTable()->SetFilter("N > 100"));
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "V", false, s));
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.maximum, 0);
    EXPECT_EQ(s.mean, "0.00");
    EXPECT_FALSE(ComputeFieldStatistics(*doc->GetTable(), "NERA", false, s));
}

TEST_F(TableCommands, AMeanOfTwoAndAHalfWithTwoDecimalsShowsTwoFifty)
{
    MakeLayer({{"V", 'N', 8, 2}}, {{"2"}, {"3"}});
    ASSERT_TRUE(Open());
    CFieldStatistics s;
    ASSERT_TRUE(ComputeFieldStatistics(*doc->GetTable(), "V", true, s));
    EXPECT_EQ(s.mean, "2.50");
}

TEST_F(TableCommands, CopyingTakesTheCaptionsAndCellsOfColumnsWiderThanZero)
{
    ASSERT_TRUE(Open());
    model->SortByColumn(1);
    const std::vector<int> widths = {100, 0, 80, 60};
    EXPECT_EQ(Cp1257ToUtf8(TableCopyText(*model, AllRows(), widths)),
              "Name\tV\tCode\n"
              "ąžuolas\t\tB22\n"
              "Šilas\t1.50\tA1\n"
              "Müller\t10.00\tC333\n"
              "liepa\t0.25\t\n");
    EXPECT_EQ(Cp1257ToUtf8(TableCopyText(*model, {3, 1}, {0, 10, 0, 10})), "N\tCode\n7\t\n2\tA1\n");

    // Deleted rows are gone from the copy; the clipboard gets UTF-8 text.
    CTestClipboard clipboard;
    user.answers.push_back(IDYES);
    ASSERT_EQ(DeleteTableRows(*model, {0}), 1);
    EXPECT_TRUE(CopyTableRows(*model, AllRows(), widths));
    EXPECT_EQ(clipboard.held, "text/plain");
    EXPECT_EQ(clipboard.Text(), "Name\tV\tCode\nŠilas\t1.50\tA1\nMüller\t10.00\tC333\nliepa\t0.25\t\n");
}

TEST_F(TableCommands, DeletingAsksThenRemovesTheRowsWhoseRecordsWent)
{
    CCallLog log;
    CRecordingHost host(log);
    host.openMaps = {&map};
    CHintRecorder hints(map);

    // Objects that may not be edited.
    ASSERT_TRUE(Open(CLayer::kDefaultFlags & ~CLayer::kObjectsEditable));
    model->FetchAll();
    EXPECT_EQ(DeleteTableRows(*model, {1}), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1021});

    ASSERT_TRUE(Open());
    model->FetchAll();
    user.messages.clear();
    EXPECT_EQ(DeleteTableRows(*model, {}), 0);
    EXPECT_TRUE(user.messages.empty());
    // No.
    user.answers.push_back(IDNO);
    EXPECT_EQ(DeleteTableRows(*model, {1, 3}), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2024});
    EXPECT_EQ(model->RowCount(), 4);
    EXPECT_TRUE(hints.hints.empty());

    user.answers.push_back(IDYES);
    EXPECT_EQ(DeleteTableRows(*model, {1, 3}), 2);
    EXPECT_EQ(Column("NAME"), (Texts{"Šilas", "Müller"}));
    EXPECT_EQ(ListRecords(), (Records{0, -1, 2, -1}));
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{kHintRedraw});
    {
        CDbfTable table;
        ASSERT_TRUE(table.Open(tablePath));
        std::vector<int> live;
        while (table.NextRecord())
            live.push_back(table.GetCurrentRecord());
        EXPECT_EQ(live, (std::vector<int>{0, 2}));
    }

    // A layer not shown redraws nothing.
    layer->SetFlag(CLayer::kShown, false);
    user.answers.push_back(IDYES);
    EXPECT_EQ(DeleteTableRows(*model, {0}), 1);
    EXPECT_EQ(hints.hints.size(), 1u);
}

TEST_F(TableCommands, RecordInformationTakesOneRow)
{
    ASSERT_TRUE(Open());
    model->FetchAll();
    std::vector<std::string> lines;
    EXPECT_FALSE(RecordInfoLines(*model, {0, 1}, lines));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1069});
    EXPECT_FALSE(RecordInfoLines(*model, {}, lines));
    ASSERT_TRUE(RecordInfoLines(*model, {2}, lines));
    EXPECT_EQ(lines, (Texts{"Name\tM\xFCller", "N\t4", "V\t10.00", "Code\tC333"}));
    EXPECT_EQ(RowRecords(*model, {3, 0}), (Records{3, 0}));
}

TEST(TablePrintLayout, ColumnsScaleToThePrinterAndTheFontAndSplitIntoParts)
{
    // 600-dpi printer, 96-dpi screen, 14-point font: twelve and a half times wider.
    const CTablePrintLayout layout({40, 80, 0, 48}, 96, 600, 140, 1600, 1001, 100, 25);
    EXPECT_EQ(layout.GetColumnWidth(0), 500);
    EXPECT_EQ(layout.GetColumnWidth(1), 1000);
    EXPECT_EQ(layout.GetColumnWidth(2), 0);
    EXPECT_EQ(layout.GetColumnWidth(3), 600);
    // 500 + 1000 fit, the next passes the edge.
    ASSERT_EQ(layout.GetHorizontalPageCount(), 2);
    // (1001 - 1) / 100 rows less the header.
    EXPECT_EQ(layout.GetRowsPerPage(), 9);
    EXPECT_EQ(layout.GetPageCount(), 6);

    struct Part {
        int page, firstColumn, endColumn, firstRow, endRow;
    };
    const Part parts[] = {{1, 0, 3, 0, 9}, {2, 3, 4, 0, 9}, {3, 0, 3, 9, 18}, {6, 3, 4, 18, 25}, {7, 0, 0, 0, 0}};
    for (const Part& p : parts) {
        SCOPED_TRACE(p.page);
        const CTablePrintLayout::CPagePart part = layout.GetPagePart(p.page);
        EXPECT_EQ(part.firstColumn, p.firstColumn);
        EXPECT_EQ(part.endColumn, p.endColumn);
        EXPECT_EQ(part.firstRow, p.firstRow);
        EXPECT_EQ(part.endRow, p.endRow);
    }
}

TEST(TablePrintLayout, AHugeFontStillPrintsARowAndATooWideColumnStandsAlone)
{
    // A row taller than the page.
    const CTablePrintLayout tall({100}, 96, 96, 70, 1000, 500, 800, 3);
    EXPECT_EQ(tall.GetRowsPerPage(), 1);
    EXPECT_EQ(tall.GetPageCount(), 3);

    // The middle column is wider than the page: a part of its own.
    const CTablePrintLayout wide({100, 5000, 100, 100}, 96, 96, 70, 1000, 500, 50, 1);
    ASSERT_EQ(wide.GetHorizontalPageCount(), 3);
    EXPECT_EQ(wide.GetPagePart(1).endColumn, 1);
    EXPECT_EQ(wide.GetPagePart(2).firstColumn, 1);
    EXPECT_EQ(wide.GetPagePart(2).endColumn, 2);
    EXPECT_EQ(wide.GetPagePart(3).endColumn, 4);

    // No rows: the header on one page.
    EXPECT_EQ(CTablePrintLayout({10}, 96, 96, 70, 1000, 500, 50, 0).GetPageCount(), 1);

    // Font heights in thousandths of an inch: 7 points, none, 14 points.
    EXPECT_EQ(PrintFontTenths(-97), 70);
    EXPECT_EQ(PrintFontTenths(0), 70);
    EXPECT_EQ(PrintFontTenths(194), 140);
    EXPECT_EQ(PrintRowHeight(30, 2), 40);
}

} // namespace
