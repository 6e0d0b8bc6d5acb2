// The filter condition dialog (319) and the expression editor (357) on
// the offscreen platform, over a small table of every field type.
#include "search/widgets/ExpressionDlg.h"
#include "search/widgets/FilterDlg.h"

#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/settings/ParcelLayer.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class FilterDlgTest : public ::testing::Test, public CWithApplication {
protected:
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(dialog.get(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    void Open(const CFilterCondition& preset = {})
    {
        dialog = std::make_unique<CFilterDlg>(*parcels.layer);
        dialog->SetCondition(preset);
        dialog->show();
        QCoreApplication::processEvents();
    }
    void ChooseField(int list, const char* caption)
    {
        auto* fields = Control<QListWidget>(list);
        const QList<QListWidgetItem*> found = fields->findItems(Text(caption), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption;
        fields->setCurrentItem(found.front());
    }
    void Type(const char* utf8) { Control<QComboBox>(CFilterDlg::kValueCombo)->setEditText(Text(utf8)); }
    void ClickOk() { Control<QPushButton>(IDOK)->click(); }

    CParcelLayer parcels;
    CScriptedUserServices user;
    std::unique_ptr<CFilterDlg> dialog;
};

TEST_F(FilterDlgTest, ControlsAndTheFieldsByCaption)
{
    Open();
    EXPECT_EQ(GetControlId(dialog.get()), 319);
    EXPECT_EQ(dialog->windowTitle(), Text("Filtro sąlyga"));
    const std::pair<int, const char*> texts[] = {{1035, "="},         {1036, "<>"},      {1037, ">"},
                                                 {1038, ">="},        {1039, "<"},       {1040, "<="},
                                                 {1044, ">>"},        {1041, "&Reikšmė"}, {1042, "L&aukas"},
                                                 {1043, "&Užpildyti"}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(Control<QAbstractButton>(id)->text(), Text(text)) << id;
    for (const int list : {1034, 1049}) {
        auto* fields = Control<QListWidget>(list);
        QStringList shown;
        for (int i = 0; i < fields->count(); ++i)
            shown << fields->item(i)->text();
        EXPECT_EQ(shown, (QStringList{"Pavadinimas", "Plotas, ha", "KAINA", "ARCHYV", "DATA", "KODAS"}));
    }
    // Value mode at first: no second field list, OK only once a field is chosen.
    EXPECT_TRUE(Control<QRadioButton>(1041)->isChecked());
    EXPECT_TRUE(Control(1050)->isVisible());
    EXPECT_FALSE(Control(1049)->isVisible());
    EXPECT_FALSE(Control(IDOK)->isEnabled());
    ChooseField(1034, "Plotas, ha");
    EXPECT_TRUE(Control(IDOK)->isEnabled());
    SaveScreenshot(*dialog, "search-319-filter-condition");

    // Field mode wants the second field.
    Control<QRadioButton>(1042)->click();
    EXPECT_FALSE(Control(1050)->isVisible());
    EXPECT_FALSE(Control(1043)->isVisible());
    EXPECT_TRUE(Control(1049)->isVisible());
    EXPECT_FALSE(Control(IDOK)->isEnabled());
    ChooseField(1049, "KAINA");
    EXPECT_TRUE(Control(IDOK)->isEnabled());
    ClickOk();
    EXPECT_EQ(dialog->result(), IDOK);
    EXPECT_EQ(dialog->GetCondition().FormatExpr(), "(PLOTAS = KAINA)");
}

TEST_F(FilterDlgTest, ValuesAreWrittenByTypeAndRefusalsKeepTheDialogOpen)
{
    const struct {
        const char* caption;
        int operatorId;
        const char* typed;
        const char* expr; // null: message 1067
    } cases[] = {
        {"Plotas, ha", 1037, "3,5", "(PLOTAS > 3.5)"},
        {"Pavadinimas", 1044, "ber", "(PAV >> \"ber\")"},
        {"ARCHYV", 1035, "T", "(ARCHYV = .T.)"},
        {"DATA", 1038, "2005-06-17", "(DATA >= {2005-06-17})"},
        {"Plotas, ha", 1044, "3", nullptr},
        {"Pavadinimas", 1035, "both \" and '", nullptr},
        {"DATA", 1035, "17.06.2005", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        Open();
        ChooseField(1034, c.caption);
        Control<QRadioButton>(c.operatorId)->click();
        Type(c.typed);
        user.messages.clear();
        ClickOk();
        if (c.expr) {
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(dialog->GetCondition().FormatExpr(), c.expr);
            EXPECT_TRUE(user.messages.empty());
        } else {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1067}));
            EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Nekorektiška filtro sąlyga."));
        }
    }
}

TEST_F(FilterDlgTest, APresetIsShownWithoutWhatTheDialogAdded)
{
    const struct {
        const char* stored;
        const char* caption;
        int operatorId;
        const char* typed;
        const char* second;
    } cases[] = {
        {"(PAV = \"ab\")", "Pavadinimas", 1035, "ab", nullptr},
        {"(ARCHYV <> .F.)", "ARCHYV", 1036, "F", nullptr},
        {"(DATA < {2001-02-03})", "DATA", 1039, "2001-02-03", nullptr},
        {"(PAV >> KODAS)", "Pavadinimas", 1044, "", "KODAS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        CFilterCondition preset;
        ASSERT_GT(preset.Parse(c.stored), 0u);
        Open(preset);
        EXPECT_EQ(Control<QListWidget>(1034)->currentItem()->text(), Text(c.caption));
        EXPECT_TRUE(Control<QRadioButton>(c.operatorId)->isChecked());
        EXPECT_EQ(Control<QRadioButton>(1042)->isChecked(), c.second != nullptr);
        if (c.second) {
            EXPECT_EQ(Control<QListWidget>(1049)->currentItem()->text(), Text(c.second));
        } else {
            EXPECT_EQ(Control<QComboBox>(1050)->currentText(), Text(c.typed));
        }
        // OK unchanged writes the condition back as it was.
        ClickOk();
        EXPECT_EQ(dialog->GetCondition().FormatExpr(), c.stored);
    }
}

TEST_F(FilterDlgTest, FillListsEachValueOnceAndKeepsTheTypedText)
{
    Open();
    ChooseField(1034, "Pavadinimas");
    Type("zz");
    auto* values = Control<QComboBox>(1050);
    EXPECT_EQ(values->count(), 0);
    Control<QCheckBox>(1043)->click();
    QStringList listed;
    for (int i = 0; i < values->count(); ++i)
        listed << values->itemText(i);
    EXPECT_EQ(listed, (QStringList{"Alksnynas", Text("Beržynas"), Text("Ąžuolynas")}));
    EXPECT_EQ(values->currentText(), QStringLiteral("zz"));
    // Another field fills anew; dates as conditions take them.
    ChooseField(1034, "DATA");
    ASSERT_EQ(values->count(), 1);
    EXPECT_EQ(values->itemText(0), QStringLiteral("2005-06-17"));
    values->setCurrentIndex(0);
    ClickOk();
    EXPECT_EQ(dialog->GetCondition().FormatExpr(), "(DATA = {2005-06-17})");
}

// ---------------------------------------------------------------- 357

class ExpressionDlgTest : public ::testing::Test, public CWithApplication {
protected:
    ExpressionDlgTest()
    {
        dialog.show();
        QCoreApplication::processEvents();
        edit = FindControl<QPlainTextEdit>(&dialog, 1006);
    }
    template <class T = QWidget>
    T* Control(int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    // The entry of that name confirmed in the combo.
    void Choose(int combo, const char* name)
    {
        auto* box = Control<QComboBox>(combo);
        const int index = box->findText(QString::fromUtf8(name));
        ASSERT_GE(index, 0) << name;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void SetText(const char* text, int caret)
    {
        edit->setPlainText(QString::fromUtf8(text));
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(caret);
        edit->setTextCursor(cursor);
    }
    QString Shown() const { return edit->toPlainText(); }
    int Caret() const { return edit->textCursor().position(); }
    void DoubleClick(int listId, const char* text)
    {
        auto* list = Control<QListWidget>(listId);
        const QList<QListWidgetItem*> found = list->findItems(QString::fromUtf8(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        list->setCurrentItem(found.front());
        emit list->itemDoubleClicked(found.front());
    }

    CParcelLayer parcels;
    CScriptedUserServices user;
    CExpressionDlg dialog{*parcels.layer};
    QPlainTextEdit* edit;
};

TEST_F(ExpressionDlgTest, EntriesGoInAtTheCaretWithTheCaretWhereTheUserTypesNext)
{
    EXPECT_EQ(GetControlId(&dialog), 357);
    EXPECT_EQ(dialog.windowTitle(), Text("Reiškinys"));
    EXPECT_EQ(Control<QPushButton>(1012)->text(), Text("&Tikrinti"));
    SetText("PAV = ", 6);
    Choose(1001, "MID");
    EXPECT_EQ(Shown(), "PAV = MID(,,)");
    EXPECT_EQ(Caret(), 10);
    EXPECT_EQ(Control<QLabel>(1002)->text(), QStringLiteral("MID(C, N, N) -> C"));
    EXPECT_FALSE(Control<QLabel>(1003)->text().isEmpty());

    SetText("X", 0);
    Choose(1011, "PI");
    EXPECT_EQ(Shown(), "PI()X");
    EXPECT_EQ(Caret(), 4);
    Choose(1004, ".AND.");
    EXPECT_EQ(Shown(), "PI().AND.X");
    EXPECT_EQ(Caret(), 9);
    Choose(1005, "DAY");
    EXPECT_EQ(Shown(), "PI().AND.DAY()X");
    EXPECT_EQ(Caret(), 13);
    EXPECT_TRUE(edit->hasFocus() || !dialog.isActiveWindow());
    SaveScreenshot(dialog, "search-357-expression");
}

TEST_F(ExpressionDlgTest, FieldsAndTheirValuesGoInByType)
{
    SetText("", 0);
    DoubleClick(1008, "DATA");
    EXPECT_EQ(Shown(), "DATA");
    Control<QCheckBox>(1010)->click();
    auto* values = Control<QListWidget>(1009);
    ASSERT_EQ(values->count(), 1);
    EXPECT_EQ(values->item(0)->text(), QStringLiteral("2005-06-17"));
    edit->insertPlainText(" = ");
    DoubleClick(1009, "2005-06-17");
    EXPECT_EQ(Shown(), "DATA = {2005-06-17}");

    const struct {
        const char* field;
        const char* value;
        const char* inserted;
    } cases[] = {
        {"PAV", "Alksnynas", "\"Alksnynas\""},
        {"ARCHYV", "T", ".T."},
        {"ARCHYV", "F", ".F."},
        {"KODAS", "B1", "\"B1\""},
        {"PLOTAS", "12.50", "12.50"},
    };
    for (const auto& c : cases) {
        SetText("", 0);
        Control<QListWidget>(1008)->setCurrentItem(
            Control<QListWidget>(1008)->findItems(QString::fromUtf8(c.field), Qt::MatchExactly).front());
        DoubleClick(1009, c.value);
        EXPECT_EQ(Shown(), QString::fromUtf8(c.inserted)) << c.field;
    }
}

TEST_F(ExpressionDlgTest, TheCheckSaysWhatIsWrongAndWhere)
{
    const struct {
        const char* text;
        const char* message;
        unsigned icon;
        int caret;
    } cases[] = {
        {"", "Tuščias reiškinys.", MB_ICONWARNING, 0},
        {"PLOTAS > ", "Neužbaigtas reiškinys.", MB_ICONWARNING, 9},
        {"DATA = {2005-13-01}", "Klaidinga data.", MB_ICONWARNING, 7},
        {"PLOTAS > 3 .AND. PAV = \"Alksnynas\"", "Reiškinyje nėra klaidų.", MB_ICONINFORMATION, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetText(c.text, 0);
        user.messages.clear();
        Control<QPushButton>(1012)->click();
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, Utf8ToCp1257(c.message));
        EXPECT_EQ(user.messages[0].type & MB_ICONMASK, c.icon);
        if (c.caret >= 0) {
            EXPECT_EQ(Caret(), c.caret);
        }
    }
    SetText("PLOTAS > 3", 0);
    EXPECT_TRUE(dialog.CheckExpression());
    Control<QPushButton>(IDOK)->click();
    EXPECT_EQ(dialog.GetExpression(), "PLOTAS > 3");
}

} // namespace
