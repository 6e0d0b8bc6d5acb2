// The attribute table's document and grid: loading on demand, columns,
// sorting, moving rows and the text search.
#include "search/TableTextSearch.h"
#include "tests/search/TableTestSupport.h"

#include <QPersistentModelIndex>

#include <string>

namespace {

class TableGrid : public CTableFixture {
protected:
    // Records "R0" ... with N = n.
    void MakeNumbered(int count)
    {
        std::vector<Texts> rows;
        for (int n = 0; n < count; ++n)
            rows.push_back({"R" + std::to_string(n), std::to_string(n)});
        MakeLayer({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}}, rows);
    }
};

TEST_F(TableGrid, AFilterPassingOverTenThousandRecordsListsThemAllReadAsTheViewScrolls)
{
    MakeNumbered(12000);
    ASSERT_TRUE(Open(CLayer::kDefaultFlags, "N >= 500"));
    // Nothing read until the view asks.
    EXPECT_EQ(model->RowCount(), 0);
    ASSERT_TRUE(model->canFetchMore({}));
    model->fetchMore({});
    const int firstScreen = model->RowCount();
    EXPECT_GT(firstScreen, 0);
    EXPECT_LT(firstScreen, 11500);
    EXPECT_EQ(model->RecordOfRow(0), 500);

    model->FetchAll();
    EXPECT_FALSE(model->canFetchMore({}));
    ASSERT_EQ(model->RowCount(), 11500);
    for (int row = 0; row < model->RowCount(); ++row)
        ASSERT_EQ(model->RecordOfRow(row), row + 500);
    EXPECT_EQ(Cp1257ToUtf8(model->CellText(11499, 0)), "R11999");
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TableGrid, TheNewestRecordFlagListsOnlyTheLastRecord)
{
    MakeNumbered(5);
    // The filter does not count then.
    ASSERT_TRUE(Open(CLayer::kDefaultFlags | CLayer::kNewestRecordOnly, "N < 2"));
    EXPECT_FALSE(model->canFetchMore({}));
    EXPECT_EQ(ListRecords(), Records{4});
    EXPECT_EQ(Column("NAME"), Texts{"R4"});
}

TEST_F(TableGrid, AnEmptyTableAndDeletedRecordsGiveNoRows)
{
    MakeNumbered(4);
    {
        CGdbSource source;
        ASSERT_TRUE(source.Open(path));
        ASSERT_TRUE(source.DeleteRecord(1));
    }
    ASSERT_TRUE(Open());
    EXPECT_EQ(Column("NAME"), (Texts{"R0", "R2", "R3"}));

    CTempDir other;
    path = other.File("tuscias.gdb");
    MakeNumbered(0);
    ASSERT_TRUE(Open(CLayer::kDefaultFlags | CLayer::kNewestRecordOnly));
    EXPECT_EQ(model->RowCount(), 0);
    EXPECT_FALSE(model->canFetchMore({}));
}

TEST_F(TableGrid, AFilterThatDoesNotCompileOpensNothing)
{
    MakeNumbered(3);
    EXPECT_FALSE(Open(CLayer::kDefaultFlags, "N >"));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1190});
    EXPECT_EQ(doc->GetSource(), nullptr);
}

TEST_F(TableGrid, ColumnsAreTheShownFieldsSizedByLengthOrCaptionAndNumbersAlignRight)
{
    MakeLayer({{"ID", 'N', 3, 0},
               {"NAME", 'C', 12, 0},
               {"SECRET", 'C', 4, 0},
               {"NOTE", 'C', 60, 0},
               {"SUM", 'F', 10, 2}},
              {{"1", "Vilnius", "x", "y", "2.5"}});
    auto made = std::make_unique<CLayer>("Taškai", path, CLayer::kPoint);
    made->SetFlags(CLayer::kDefaultFlags | CLayer::kHasAliases | CLayer::kHasHiddenFields);
    made->HiddenFields().push_back("secret");
    made->FieldAliases().SetAt("Name", Utf8ToCp1257("Pavadinimas su labai ilgu paaiškinimu"));
    layer = made.get();
    map.AddLayer(std::move(made), false);
    doc = std::make_unique<CTableDoc>();
    ASSERT_TRUE(doc->LoadRecords(*layer, map));
    model = std::make_unique<CTableGridModel>(*doc);

    struct Expected {
        const char* caption;
        int width;
        bool right;
    };
    const Expected expected[] = {
        {"Id", 40, true},                                      // 3 x 9 + 4 = 31, at least 40
        {"Pavadinimas su labai ilgu paaiškinimu", 200, false}, // the caption's 37 x 9 + 4, at most 200
        {"Note", 200, false},                                  // 60 x 9 + 4
        {"Sum", 94, true},                                     // 10 x 9 + 4
    };
    ASSERT_EQ(model->columnCount(), 4);
    model->FetchAll();
    for (int column = 0; column < 4; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(Cp1257ToUtf8(model->ColumnCaption(column)), expected[column].caption);
        EXPECT_EQ(model->ColumnWidth(column), expected[column].width);
        const auto alignment = model->data(model->index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(alignment.testFlag(Qt::AlignRight), expected[column].right);
        EXPECT_EQ(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
                  expected[column].caption);
    }
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString().toStdString(), "Vilnius");
    EXPECT_EQ(model->data(model->index(0, 3), Qt::DisplayRole).toString().toStdString(), "2.50");
}

TEST_F(TableGrid, SortingANumberTwiceReversesAndAnotherColumnStartsAscending)
{
    MakeLayer({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 1}},
              {{"beržas", "10"}, {"Ąžuolas", "-2.5"}, {"Uosis", "100"}, {"ąžuolas", "7"}, {"alksnis", "7"}});
    ASSERT_TRUE(Open());
    model->fetchMore({});
    const QPersistentModelIndex kept = model->index(2, 0); // "Uosis"

    model->SortByColumn(1);
    EXPECT_EQ(model->GetSortField(), 1);
    EXPECT_TRUE(model->IsSortAscending());
    // Equal values keep their order.
    EXPECT_EQ(Column("NAME"), (Texts{"Ąžuolas", "ąžuolas", "alksnis", "beržas", "Uosis"}));
    EXPECT_EQ(kept.row(), 4);
    model->SortByColumn(1);
    EXPECT_FALSE(model->IsSortAscending());
    EXPECT_EQ(Column("NAME"), (Texts{"Uosis", "beržas", "ąžuolas", "alksnis", "Ąžuolas"}));
    EXPECT_EQ(kept.row(), 0);

    // Texts ignore letter case, Lithuanian letters too; another column starts ascending.
    model->SortByColumn(0);
    EXPECT_TRUE(model->IsSortAscending());
    EXPECT_EQ(Column("NAME"), (Texts{"alksnis", "beržas", "Uosis", "ąžuolas", "Ąžuolas"}));
    model->SortByColumn(0);
    EXPECT_EQ(Column("NAME"), (Texts{"ąžuolas", "Ąžuolas", "Uosis", "beržas", "alksnis"}));
}

TEST_F(TableGrid, SortingReadsTheWholeListAndPassesOverDeletedEntries)
{
    MakeNumbered(3000);
    ASSERT_TRUE(Open());
    model->fetchMore({});
    ASSERT_LT(model->RowCount(), 3000);
    // An entry deleted from the window stands for no record.
    doc->MarkDeleted(0);
    model->SortByColumn(1);
    model->SortByColumn(1);
    ASSERT_EQ(model->RowCount(), 3000);
    EXPECT_EQ(model->RecordOfRow(0), 2999);
    EXPECT_EQ(model->RecordOfRow(2998), 1);
    EXPECT_EQ(model->RecordOfRow(2999), -1);
    EXPECT_EQ(model->CellText(2999, 0), "");
}

TEST_F(TableGrid, RowsMovedToTheTopKeepTheirOrderAndTheOthersTheirs)
{
    MakeNumbered(6);
    ASSERT_TRUE(Open());
    model->FetchAll();
    const QPersistentModelIndex focus = model->index(4, 0);
    const QPersistentModelIndex other = model->index(1, 0);
    model->MoveRowsToTop({2, 4, 5});
    EXPECT_EQ(Column("NAME"), (Texts{"R2", "R4", "R5", "R0", "R1", "R3"}));
    EXPECT_EQ(focus.row(), 1);
    EXPECT_EQ(other.row(), 4);
    // The list stays in table order.
    EXPECT_EQ(ListRecords(), (Records{0, 1, 2, 3, 4, 5}));
}

TEST_F(TableGrid, CellsComeFromASmallCacheThatForgetsWhatTheFileChanged)
{
    MakeNumbered(400);
    ASSERT_TRUE(Open());
    model->FetchAll();
    EXPECT_EQ(model->data(model->index(399, 0), Qt::DisplayRole).toString(), "R399");
    for (int row = 0; row < 400; row += CTableGridModel::kBlockRows)
        model->data(model->index(row, 0), Qt::DisplayRole);
    ASSERT_TRUE(doc->GetTable()->WriteFieldAt(0, 0, "Pakeista"));
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "R0");
    model->Refresh();
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "Pakeista");
}

// The text search over a sorted table with a memo field.
class TableTextSearch : public CTableFixture {
protected:
    void SetUp() override
    {
        MakeLayer({{"NAME", 'C', 16, 0}, {"CITY", 'C', 12, 0}, {"NOTE", 'M', 10, 0}},
                  {{"Sodo g.", "Vilnius", ""},
                   {"Liepų g.", "Kaunas", "prie upės"},
                   {"SODO G.", "Kaunas", ""},
                   {"Sodų g.", "Šiauliai", "Sodo kvartalas"},
                   {"sodo g.", "Vilnius", ""}});
        ASSERT_TRUE(Open());
    }
    Rows Find(const std::string& text, const std::string& field, bool whole, bool matchCase, bool all = false)
    {
        return search.Find(*model, {Utf8ToCp1257(text), Utf8ToCp1257(field), whole, matchCase, all});
    }

    CTableTextSearch search;
};

TEST_F(TableTextSearch, WholeOrPartWithOrWithoutCase)
{
    struct Case {
        const char* text;
        const char* field;
        bool whole;
        bool matchCase;
        Rows found;
    };
    const Case cases[] = {
        {"Sodo g.", "NAME", true, true, {0}},
        {"sodo g.", "NAME", true, false, {0, 2, 4}},
        {"Sodo", "NAME", true, false, {}},
        {"odo", "NAME", false, true, {0, 4}},
        {"ODO", "Name", false, false, {0, 2, 4}},
        {"ų", "NAME", false, false, {1, 3}},
        {"Ų", "NAME", false, true, {}},
        {"šiaul", "CITY", false, false, {3}},
        {"upės", "NOTE", false, true, {1}},              // the memo's text, not "<Memo>"
        {"sodo", "<Visi laukai>", false, false, {0, 2, 3, 4}}, // any field
        {"Vilnius", "NERA", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        user.messages.clear();
        EXPECT_EQ(Find(c.text, c.field, c.whole, c.matchCase, true), c.found);
        EXPECT_EQ(user.MessageIds(), c.found.empty() ? std::vector<unsigned>{1070} : std::vector<unsigned>{});
    }
}

TEST_F(TableTextSearch, SearchingAgainGoesOnBelowTheHitUntilNothingMoreIsFound)
{
    EXPECT_EQ(Find("Kaunas", "CITY", true, true), Rows{1});
    EXPECT_EQ(Find("Kaunas", "CITY", true, true), Rows{2});
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Find("Kaunas", "CITY", true, true), Rows{});
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1071});
    EXPECT_EQ(search.GetLastRow(), -1);
    // The place was forgotten: the next search starts at the top.
    EXPECT_EQ(Find("Kaunas", "CITY", true, true), Rows{1});

    // Another text starts at the top, and so does marking all.
    EXPECT_EQ(Find("Vilnius", "CITY", true, true), Rows{0});
    EXPECT_EQ(Find("Vilnius", "CITY", true, true), Rows{4});
    EXPECT_EQ(Find("Vilnius", "CITY", true, true, true), (Rows{0, 4}));

    // Nothing found from the top says so.
    user.messages.clear();
    EXPECT_EQ(Find("Klaipėda", "CITY", true, true), Rows{});
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1070});
}

TEST_F(TableTextSearch, TheSearchReadsTheListFurtherAsItGoes)
{
    std::vector<Texts> rows(3000, Texts{"x", "y", ""});
    rows[2500] = {"tikslas", "y", ""};
    path = dir.File("didele.gdb");
    MakeLayer({{"NAME", 'C', 16, 0}, {"CITY", 'C', 12, 0}, {"NOTE", 'M', 10, 0}}, rows);
    ASSERT_TRUE(Open());
    model->fetchMore({});
    ASSERT_LT(model->RowCount(), 2500);
    EXPECT_EQ(Find("tikslas", "<Visi laukai>", true, true), Rows{2500});
}

} // namespace
