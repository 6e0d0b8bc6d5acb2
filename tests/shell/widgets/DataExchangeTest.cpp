#include "shell/widgets/DataExchange.h"

#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DialogBase.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A dialog with one control of each kind the exchange knows.
class CFieldsDialog : public CDialogBase {
public:
    CFieldsDialog()
    {
        auto* layout = new QVBoxLayout(this);
        const auto add = [this, layout](QWidget* w, int id) {
            SetControlId(w, id);
            layout->addWidget(w);
        };
        add(new QLineEdit, 1004);
        add(new QLineEdit, 1008);
        add(new QLineEdit, 1013);
        add(new QLineEdit, 1017);
        add(new QCheckBox(QStringLiteral("Rodomas")), 1015);
        add(new QRadioButton(QStringLiteral("Visi")), 1024);
        add(new QRadioButton(QStringLiteral("Vardo laukas")), 1025);
        auto* units = new QComboBox;
        units->addItems({QStringLiteral("Laipsniai"), QStringLiteral("Metrai")});
        add(units, 1012);
        auto* street = new QComboBox;
        street->setEditable(true);
        add(street, 1021);
        add(new QPushButton(QStringLiteral("OK")), IDOK);
        add(new QPushButton(QStringLiteral("Atsisakyti")), IDCANCEL);
    }

    std::string name = "Keliai";
    int count = 5;
    double left = 25.5;
    double scale = 10000;
    int shown = 1;
    int scope = 1;
    int units = 1;
    std::string street = "Gedimino pr.";

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
        dx.Text(1004, name, 10);
        dx.Int(1008, count, 0, 100);
        dx.Real(1013, left);
        dx.Real(1017, scale, 1, 1e8);
        dx.Check(1015, shown);
        dx.Radio({1024, 1025}, scope);
        dx.ComboIndex(1012, units);
        dx.ComboText(1021, street);
    }
};

class DataExchangeTest : public ::testing::Test, private CWithApplication {
protected:
    DataExchangeTest()
    {
        NeedApplication();
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    QLineEdit* Edit(int id) { return FindControl<QLineEdit>(&dialog, id); }

    CScriptedUserServices user;
    CFieldsDialog dialog;
};

TEST_F(DataExchangeTest, LoadingFillsTheControls)
{
    EXPECT_EQ(Edit(1004)->text(), "Keliai");
    EXPECT_EQ(Edit(1004)->maxLength(), 10);
    EXPECT_EQ(Edit(1008)->text(), "5");
    EXPECT_EQ(Edit(1013)->text(), "25.5");
    EXPECT_TRUE(FindControl<QCheckBox>(&dialog, 1015)->isChecked());
    EXPECT_FALSE(FindControl<QRadioButton>(&dialog, 1024)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1025)->isChecked());
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentIndex(), 1);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1021)->currentText(), "Gedimino pr.");

    FindControl<QRadioButton>(&dialog, 1024)->setChecked(true);
    FindControl<QComboBox>(&dialog, 1012)->setCurrentIndex(0);
    FindControl<QCheckBox>(&dialog, 1015)->setChecked(false);
    Edit(1004)->setText("Up\xC4\x97s"); // "Upės"
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.scope, 0);
    EXPECT_EQ(dialog.units, 0);
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_EQ(dialog.name, "Up\xEBs");
    EXPECT_TRUE(user.messages.empty());
}

// A field's text, and whether the exchange takes it.
struct FieldCase {
    int id;
    const char* text;
    const char* message; // null: taken
};

TEST_F(DataExchangeTest, AFailureShowsItsMessageAndFocusesTheField)
{
    const FieldCase cases[] = {
        {1008, "12", nullptr},
        {1008, "12a", "\xC1veskite sveik\xE0j\xE1 skai\xE8i\xF8 nuo 0 iki 100."},
        {1008, "101", "\xC1veskite sveik\xE0j\xE1 skai\xE8i\xF8 nuo 0 iki 100."},
        {1008, "", "\xC1veskite sveik\xE0j\xE1 skai\xE8i\xF8 nuo 0 iki 100."},
        {1013, "24,5", "\xC1veskite skai\xE8i\xF8."},
        {1017, "1e9", "\xC1veskite skai\xE8i\xF8 nuo 1 iki 100000000."},
        {1013, "24.5 km", "\xC1veskite skai\xE8i\xF8."},
        {1013, "-24.5e1", nullptr},
        {1017, "0.5", "\xC1veskite skai\xE8i\xF8 nuo 1 iki 100000000."},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.text);
        dialog.UpdateData(false);
        user.messages.clear();
        FindControl(&dialog, IDOK)->setFocus();
        Edit(c.id)->setText(QString::fromUtf8(c.text));
        const bool taken = dialog.UpdateData(true);
        EXPECT_EQ(taken, c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(user.messages.size(), 1u);
            EXPECT_EQ(user.messages[0].text, c.message);
            EXPECT_EQ(dialog.focusWidget(), Edit(c.id));
            EXPECT_EQ(Edit(c.id)->selectedText(), Edit(c.id)->text());
        } else {
            EXPECT_TRUE(user.messages.empty());
        }
    }
    // The fields after a refused one are not read.
    dialog.UpdateData(false);
    Edit(1008)->setText("x");
    Edit(1013)->setText("1");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.left, -245);
}

TEST_F(DataExchangeTest, OkStaysOnARefusedField)
{
    Edit(1008)->setText("oops");
    FindControl<QPushButton>(&dialog, IDOK)->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.messages.size(), 1u);
    Edit(1008)->setText("7");
    FindControl<QPushButton>(&dialog, IDOK)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.count, 7);
}

TEST_F(DataExchangeTest, RealsKeepThePointUnderACommaLocale)
{
    CCommaLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << "no comma-decimal locale could be built (localedef lt_LT)";
    dialog.left = 54.687157;
    dialog.scale = 12500.25;
    dialog.UpdateData(false);
    EXPECT_EQ(Edit(1013)->text(), "54.687157");
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.left, 54.687157);
    EXPECT_EQ(Edit(1017)->text(), "12500.25");
    Edit(1013)->setText("54,5");
    EXPECT_FALSE(dialog.UpdateData(true));
}

TEST_F(DataExchangeTest, ComboTextSelectsTheItemOfAList)
{
    auto* units = FindControl<QComboBox>(&dialog, 1012);
    CDataExchange load(&dialog, false);
    std::string text = "Metrai";
    load.ComboText(1012, text);
    EXPECT_EQ(units->currentIndex(), 1);
    text = "lai"; // the first that begins with it, letter case aside
    load.ComboText(1012, text);
    EXPECT_EQ(units->currentIndex(), 0);
    text = "Mylios";
    load.ComboText(1012, text);
    EXPECT_EQ(units->currentIndex(), -1);
    // A control the dialog lacks fails the exchange without a message.
    CDataExchange save(&dialog, true);
    int missing = 0;
    save.Int(9999, missing);
    EXPECT_TRUE(save.Failed());
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
