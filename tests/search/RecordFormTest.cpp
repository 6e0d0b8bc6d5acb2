// The record form's rules: rows, visible rows, key moves and saving.
#include "search/RecordForm.h"

#include "core/DbfTable.h"
#include "platform/Path.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using RecordForm::Key;
using RecordForm::Move;

TEST(RecordForm, RowsAreTheShownFieldsInTableOrder)
{
    CDbfTable table;
    ASSERT_TRUE(table.Create("",
                             FieldList({{"A", 'C', 5, 0}, {"B", 'C', 5, 0}, {"C", 'N', 4, 0}, {"D", 'C', 5, 0}}).data()));
    const std::vector<std::string> hidden = {"b", "D"};
    table.SetHiddenFields(&hidden);
    EXPECT_EQ(RecordForm::RowFields(table), (std::vector<int>{0, 2}));
    table.SetHiddenFields(nullptr);
    EXPECT_EQ(RecordForm::RowFields(table), (std::vector<int>{0, 1, 2, 3}));
}

TEST(RecordForm, VisibleRowsFitTheAreaAndAreNeverFewerThanThree)
{
    struct Case {
        int area, rowHeight, rows, visible, scrollMax;
    };
    const Case cases[] = {
        {240, 20, 1, 3, 0},  {240, 20, 0, 3, 0},  {240, 20, 5, 5, 0},
        {240, 20, 12, 12, 0}, {240, 20, 40, 12, 28}, {250, 20, 40, 12, 28},
        {30, 20, 40, 3, 37},  {240, 0, 40, 3, 37},
    };
    for (const Case& c : cases) {
        const int visible = RecordForm::VisibleRows(c.area, c.rowHeight, c.rows);
        EXPECT_EQ(visible, c.visible) << c.area << " " << c.rows;
        EXPECT_EQ(RecordForm::ScrollMax(c.rows, visible), c.scrollMax) << c.area << " " << c.rows;
    }
}

TEST(RecordForm, KeysMoveTheFocusAndScrollByWholeRows)
{
    // 40 rows, 12 of them visible.
    struct Case {
        Key key;
        int row, scroll;
        Move::Kind kind;
        int toRow, toScroll;
    };
    const Case cases[] = {
        {Key::kTab, 0, 0, Move::kRow, 1, 0},
        {Key::kTab, 11, 0, Move::kRow, 12, 1},
        {Key::kTab, 39, 28, Move::kNextControl, 0, 28},
        {Key::kBacktab, 5, 0, Move::kRow, 4, 0},
        {Key::kBacktab, 12, 12, Move::kRow, 11, 11},
        {Key::kBacktab, 0, 0, Move::kPreviousControl, 0, 0},
        // Up and Down stop at the ends.
        {Key::kUp, 0, 0, Move::kRow, 0, 0},
        {Key::kUp, 20, 20, Move::kRow, 19, 19},
        {Key::kDown, 39, 28, Move::kRow, 39, 28},
        {Key::kDown, 11, 0, Move::kRow, 12, 1},
        // Pages scroll a page and move the focus a page, clamped.
        {Key::kPageDown, 0, 0, Move::kRow, 12, 12},
        {Key::kPageDown, 5, 0, Move::kRow, 17, 12},
        {Key::kPageDown, 30, 25, Move::kRow, 39, 28},
        {Key::kPageUp, 30, 25, Move::kRow, 18, 13},
        {Key::kPageUp, 5, 3, Move::kRow, 0, 0},
        // A focus row out of view first brings it in.
        {Key::kDown, 30, 0, Move::kRow, 31, 20},
    };
    for (const Case& c : cases) {
        const Move move = RecordForm::MoveFocus(c.key, c.row, 40, 12, c.scroll);
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.key) << " from " << c.row);
        EXPECT_EQ(move.kind, c.kind);
        if (c.kind == Move::kRow) {
            EXPECT_EQ(move.row, c.toRow);
        }
        EXPECT_EQ(move.scroll, c.toScroll);
    }
    // Three rows on a panel of three: nothing scrolls.
    EXPECT_EQ(RecordForm::MoveFocus(Key::kPageDown, 0, 1, 3, 0).row, 0);
    EXPECT_EQ(RecordForm::MoveFocus(Key::kTab, 0, 1, 3, 0).kind, Move::kNextControl);
    EXPECT_EQ(RecordForm::MoveFocus(Key::kTab, 0, 0, 3, 0).kind, Move::kNextControl);
}

TEST(RecordForm, ScrollToShowMovesTheLeast)
{
    EXPECT_EQ(RecordForm::ScrollToShow(10, 5, 40, 12), 5);
    EXPECT_EQ(RecordForm::ScrollToShow(10, 15, 40, 12), 10);
    EXPECT_EQ(RecordForm::ScrollToShow(10, 25, 40, 12), 14);
    EXPECT_EQ(RecordForm::ScrollToShow(0, 39, 40, 12), 28);
    EXPECT_EQ(RecordForm::ClampScroll(99, 40, 12), 28);
    EXPECT_EQ(RecordForm::ClampScroll(-4, 40, 12), 0);
}

class RecordFormSave : public ::testing::Test {
protected:
    RecordFormSave()
    {
        path = dir.File("t.dbf");
        CDbfTable table;
        EXPECT_TRUE(
            table.Create(path, FieldList({{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}, {"NOTE", 'M', 10, 0}}).data()));
        for (int i = 0; i < 3; ++i) {
            table.AppendBlank();
            table.SetField(0, "r" + std::to_string(i));
            table.SetFieldDouble(1, i);
            table.SetField(2, "memo " + std::to_string(i));
            EXPECT_TRUE(table.WriteRecord());
        }
    }
    std::string Text(CDbfTable& table, int record, int field)
    {
        EXPECT_TRUE(table.GoToRecord(record));
        std::string text;
        if (table.GetFieldType(field) == 'M')
            table.GetMemo(field, text);
        else
            table.GetFieldString(field, text);
        return text;
    }

    CTempDir dir;
    std::string path;
    CScriptedUserServices user;
};

TEST_F(RecordFormSave, OnlyChangedValuesAreWritten)
{
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(table.GoToRecord(1));
    // An edit left as it was sets nothing, whatever it holds.
    const std::vector<RecordForm::RowValue> rows = {
        {0, false, "kitas"}, {1, true, "7.5"}, {2, true, "naujas\r\ntekstas"}};
    ASSERT_TRUE(RecordForm::Save(table, 1, rows));
    CDbfTable check;
    ASSERT_TRUE(check.Open(path));
    EXPECT_EQ(Text(check, 1, 0), "r1");
    EXPECT_EQ(Text(check, 1, 1), "7.50");
    EXPECT_EQ(Text(check, 1, 2), "naujas\r\ntekstas");
    // No other record touched.
    EXPECT_EQ(Text(check, 0, 2), "memo 0");
    EXPECT_EQ(Text(check, 2, 0), "r2");
    EXPECT_EQ(Text(check, 2, 2), "memo 2");
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(RecordFormSave, ADamagedTableIsRefusedAndKeepsItsBytes)
{
    std::string bytes = ReadWholeFile(path);
    bytes.resize(bytes.size() - 5);
    WriteWholeFile(path, bytes);
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    user.messages.clear();
    EXPECT_FALSE(RecordForm::Save(table, 0, {{0, true, "x"}}));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1044});
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST_F(RecordFormSave, AMemoWithoutItsMemoFileIsRefusedAndTheRecordKept)
{
    ASSERT_EQ(std::remove(dir.File("t.FPT").c_str()), 0);
    const std::string bytes = ReadWholeFile(path);
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(table.GoToRecord(0));
    std::string memo = "?";
    EXPECT_FALSE(table.GetMemo(2, memo));
    EXPECT_EQ(memo, "");
    user.messages.clear();
    EXPECT_FALSE(RecordForm::Save(table, 0, {{0, true, "pakeistas"}, {2, true, "tekstas"}}));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1045});
    EXPECT_EQ(ReadWholeFile(path), bytes);
    // Without the memo changed the record is written.
    EXPECT_TRUE(RecordForm::Save(table, 0, {{0, true, "pakeistas"}, {2, false, "tekstas"}}));
    CDbfTable check;
    ASSERT_TRUE(check.Open(path));
    EXPECT_EQ(Text(check, 0, 0), "pakeistas");
    EXPECT_EQ(Text(check, 1, 0), "r1");
}

} // namespace
