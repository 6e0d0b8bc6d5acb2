// The table structure dialog (160) and the field description (161) on
// the offscreen platform, over a table file with a memo field.
#include "search/widgets/FieldDescDlg.h"
#include "search/widgets/TableStructureDlg.h"

#include "core/DbfTable.h"
#include "platform/Path.h"
#include "shell/widgets/ControlIds.h"
#include "tests/search/widgets/ModalAnswers.h"
#include "shell/widgets/ListViewEx.h"
#include "tests/core/FieldLists.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Look = ModalLook;

// A field description answered: the name typed, the type's radio, the
// size typed, then OK.
Look Describe(const char* name, int typeRadio, const char* size = nullptr, const char* decimals = nullptr)
{
    return [=](QWidget& modal) {
        In<QLineEdit>(modal, 1078)->setText(QString::fromUtf8(name));
        In<QRadioButton>(modal, typeRadio)->click();
        if (size)
            In<QLineEdit>(modal, 1084)->setText(QString::fromUtf8(size));
        if (decimals)
            In<QLineEdit>(modal, 1087)->setText(QString::fromUtf8(decimals));
        In<QPushButton>(modal, IDOK)->click();
    };
}

class TableStructureDlgTest : public ::testing::Test, public CWithApplication {
protected:
    TableStructureDlgTest()
    {
        MakeTable(table, FieldList({{"NAME", 'C', 10, 0}, {"AREA", 'N', 8, 2}, {"NOTE", 'M', 10, 0}}),
                  {{"Alpha", "1.5", "a note"}, {"Beta", "2", ""}});
        dialog.SetTablePath(table);
        dialog.show();
        QCoreApplication::processEvents();
        list = FindControl<CListViewEx>(&dialog, 1073);
    }
    QStringList Row(int row) const
    {
        QStringList texts;
        for (int column = 0; column < 4; ++column)
            texts << list->model()->index(row, column).data().toString();
        return texts;
    }
    void Select(int row)
    {
        list->clearSelection();
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void Click(int id) { In<QPushButton>(dialog, id)->click(); }

    CTempDir dir;
    std::string table = dir.File("t.dbf");
    CScriptedUserServices user;
    CTableStructureDlg dialog;
    CListViewEx* list;
};

TEST_F(TableStructureDlgTest, TheFieldsAndWhatEditsThem)
{
    EXPECT_EQ(GetControlId(&dialog), 160);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Duomenų bazės struktūra"));
    ASSERT_TRUE(list);
    const QStringList titles = {"Vardas", "Tipas", "Dydis", "Tikslumas"};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(), titles[column]);
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(Row(0), (QStringList{"Name", "C", "10", ""}));
    EXPECT_EQ(Row(1), (QStringList{"Area", "N", "8", "2"}));
    EXPECT_EQ(Row(2), (QStringList{"Note", "M", "10", ""}));
    const std::pair<int, const char*> buttons[] = {
        {1074, "&Redaguoti..."}, {1075, "&Pridėti..."}, {1076, "Į&terpti..."}, {1077, "Pašalinti"}};
    for (const auto& [id, text] : buttons)
        EXPECT_EQ(In<QPushButton>(dialog, id)->text(), QString::fromUtf8(text));
    EXPECT_FALSE(In(dialog, IDOK)->isEnabled()) << "nothing changed yet";
    SaveScreenshot(dialog, "search-160-table-structure");

    // Edit on the second row: the field as it is, shown and changed.
    Select(1);
    AnswerModals([this] { Click(1074); },
                 {[](QWidget& modal) {
                     EXPECT_EQ(GetControlId(&modal), 161);
                     EXPECT_EQ(modal.windowTitle(), QString::fromUtf8("Lauko aprašas"));
                     EXPECT_EQ(In<QLineEdit>(modal, 1078)->text(), QStringLiteral("Area"));
                     EXPECT_TRUE(In<QRadioButton>(modal, 1080)->isChecked());
                     EXPECT_EQ(In<QLineEdit>(modal, 1084)->text(), QStringLiteral("8"));
                     EXPECT_EQ(In<QLineEdit>(modal, 1087)->text(), QStringLiteral("2"));
                     EXPECT_TRUE(In(modal, 1087)->isVisible());
                     SaveScreenshot(modal, "search-161-field-description");
                     Describe("plotas", 1080, "10", "3")(modal);
                 }});
    EXPECT_EQ(Row(1), (QStringList{"Plotas", "N", "10", "3"}));
    EXPECT_EQ(list->model()->index(1, 0).data(Qt::UserRole).toInt(), 1) << "the old field carried over";
    EXPECT_TRUE(In(dialog, IDOK)->isEnabled());
}

TEST_F(TableStructureDlgTest, ADuplicateNameReopensTheFieldWithWhatWasEntered)
{
    // Add, Insert and Edit alike.
    const struct {
        int button;
        int selected;
        int rowMade;
    } cases[] = {{1075, -1, 3}, {1076, 1, 1}, {1074, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        if (c.selected >= 0)
            Select(c.selected);
        else
            list->clearSelection();
        user.messages.clear();
        const int before = list->model()->rowCount();
        AnswerModals([&] { Click(c.button); },
                     {Describe("note", 1079, "30"),
                      [](QWidget& modal) {
                          EXPECT_EQ(In<QLineEdit>(modal, 1078)->text(), QStringLiteral("Note"));
                          EXPECT_TRUE(In<QRadioButton>(modal, 1079)->isChecked());
                          EXPECT_EQ(In<QLineEdit>(modal, 1084)->text(), QStringLiteral("30"));
                          Describe("remark", 1079)(modal);
                      }});
        EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1120}));
        EXPECT_EQ(list->model()->rowCount(), before + (c.button == 1074 ? 0 : 1));
        EXPECT_EQ(Row(c.rowMade), (QStringList{"Remark", "C", "30", ""}));
        // The name is taken now: the next case makes it again.
        Select(c.rowMade);
        Click(1077);
    }
}

TEST_F(TableStructureDlgTest, TheFieldDescriptionRefusesWhatNoTableTakes)
{
    const struct {
        const char* name;
        int radio;
        const char* size;
        const char* decimals;
        unsigned message;
        int focus;
    } cases[] = {
        {"1abc", 1079, "10", "0", 1047, 1078},
        {"a b", 1079, "10", "0", 1047, 1078},
        {"abc", 1079, "0", "0", 1048, 1084},
        {"abc", 1079, "abc", "0", 1048, 1084},
        {"abc", 1080, "999", "0", 1049, 1084},
        {"abc", 1080, "6", "5", 1050, 1087},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.size);
        CFieldDescDlg field;
        field.show();
        QCoreApplication::processEvents();
        user.messages.clear();
        Describe(c.name, c.radio, c.size, c.decimals)(field);
        EXPECT_TRUE(field.isVisible());
        EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{c.message}));
        EXPECT_EQ(QApplication::focusWidget() == In(field, c.focus) || !field.isActiveWindow(), true);
    }
    // Fixed sizes are written and locked; decimals only for Numeric.
    CFieldDescDlg field;
    field.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(In<QRadioButton>(field, 1079)->isChecked()) << "a new field is Character";
    EXPECT_EQ(In<QLineEdit>(field, 1084)->text(), QStringLiteral("10"));
    EXPECT_FALSE(In(field, 1087)->isVisible());
    const struct {
        int radio;
        const char* size;
        bool locked;
        bool decimals;
    } types[] = {{1081, "10", true, false}, {1082, "1", true, false}, {1083, "8", true, false},
                 {1080, "8", false, true}, {1079, "8", false, false}};
    for (const auto& t : types) {
        In<QRadioButton>(field, t.radio)->click();
        EXPECT_EQ(In<QLineEdit>(field, 1084)->text(), QString::fromUtf8(t.size)) << t.radio;
        EXPECT_EQ(In<QLineEdit>(field, 1084)->isReadOnly(), t.locked) << t.radio;
        EXPECT_EQ(In(field, 1087)->isVisible(), t.decimals) << t.radio;
        EXPECT_EQ(In(field, 1088)->isVisible(), t.decimals) << t.radio;
    }
}

TEST_F(TableStructureDlgTest, OkAsksAndRebuildsTheTable)
{
    AnswerModals([this] { Click(1075); }, {Describe("extra", 1082)});
    EXPECT_TRUE(In(dialog, IDOK)->isEnabled());
    // Cancel stays, No closes without a change.
    user.answers = {IDCANCEL};
    Click(IDOK);
    EXPECT_TRUE(dialog.isVisible());
    user.answers = {IDYES};
    user.messages.clear();
    Click(IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2004}));
    CDbfTable rebuilt;
    ASSERT_TRUE(rebuilt.Open(table));
    EXPECT_EQ(rebuilt.GetFieldCount(), 4);
    EXPECT_EQ(rebuilt.GetFieldType(rebuilt.FindField("EXTRA")), 'L');
    EXPECT_TRUE(PathExists(dir.File("t.~db")));
    ASSERT_TRUE(rebuilt.GoToRecord(0));
    std::string note;
    EXPECT_TRUE(rebuilt.GetMemo(rebuilt.FindField("NOTE"), note));
    EXPECT_EQ(note, "a note");
}

TEST_F(TableStructureDlgTest, RemovingEveryFieldLeavesNothingToWrite)
{
    for (int row = 0; row < 3; ++row)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Click(1077);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_FALSE(In(dialog, IDOK)->isEnabled());
    EXPECT_FALSE(In(dialog, 1074)->isEnabled());
    EXPECT_FALSE(In(dialog, 1077)->isEnabled());
}

} // namespace
