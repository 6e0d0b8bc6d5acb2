#include "shell/widgets/DegMinEdit.h"
#include "shell/widgets/DegMinSecEdit.h"

#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHBoxLayout>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kLongitudeId = 1017;
constexpr int kLatitudeId = 1007;
constexpr int kMinutesId = 1008;

// The edit's text with the selection in brackets, or a bar at the caret.
QString Show(const QLineEdit& edit)
{
    QString shown = edit.text();
    if (edit.hasSelectedText()) {
        shown.insert(edit.selectionEnd(), ']');
        shown.insert(edit.selectionStart(), '[');
    } else {
        shown.insert(edit.cursorPosition(), '|');
    }
    return shown;
}

// The coordinate edits of the geographic point dialog.
class CoordEditTest : public ::testing::Test, private CWithApplication {
protected:
    CoordEditTest()
    {
        auto* layout = new QHBoxLayout(&dialog);
        longitude = new CDegMinSecEdit(&dialog);
        latitude = new CDegMinSecEdit(&dialog);
        minutes = new CDegMinEdit(&dialog);
        SetControlId(longitude, kLongitudeId);
        SetControlId(latitude, kLatitudeId);
        SetControlId(minutes, kMinutesId);
        for (QWidget* edit : {static_cast<QWidget*>(longitude), static_cast<QWidget*>(latitude),
                              static_cast<QWidget*>(minutes)})
            layout->addWidget(edit);
        dialog.resize(600, 40);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    CCoordEdit* Edit(int id) { return FindControl<CCoordEdit>(&dialog, id); }
    // Clicks the middle of the character at the position.
    static void ClickAt(CCoordEdit& edit, int position)
    {
        const int y = edit.height() / 2;
        for (int x = 0; x < edit.width(); ++x)
            if (edit.cursorPositionAt(QPoint(x, y)) == position) {
                QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(x + 2, y));
                return;
            }
        ADD_FAILURE() << "no place for " << position;
    }

    QDialog dialog;
    CDegMinSecEdit* longitude;
    CDegMinSecEdit* latitude;
    CDegMinEdit* minutes;
    CScriptedUserServices user;
};

// Keys: "<Up>", "<Down>", "<Left>", "<Right>", "<Home>", "<End>", "<Del>",
// "<S-Del>", "<BS>", or one typed character.
void Press(CCoordEdit& edit, const std::string& key)
{
    struct Named {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Named named[] = {
        {"<Up>", Qt::Key_Up, {}},       {"<Down>", Qt::Key_Down, {}}, {"<Left>", Qt::Key_Left, {}},
        {"<Right>", Qt::Key_Right, {}}, {"<Home>", Qt::Key_Home, {}}, {"<End>", Qt::Key_End, {}},
        {"<Del>", Qt::Key_Delete, {}},  {"<S-Del>", Qt::Key_Delete, Qt::ShiftModifier},
        {"<BS>", Qt::Key_Backspace, {}},
    };
    for (const Named& n : named)
        if (key == n.name) {
            QTest::keyClick(&edit, n.key, n.modifiers);
            return;
        }
    QTest::keyClick(&edit, key[0]);
}

TEST_F(CoordEditTest, KeysAsTheUserTypesThem)
{
    enum Kind { kLongitude, kLatitude, kMinutes };
    struct Step {
        std::string key;
        const char* shown; // "!" first: the key beeps
    };
    struct Case {
        const char* what;
        Kind kind;
        double value;
        int section;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"longitude degrees", kLongitude, 0, 1, {{"2", "E[002]°00'00.0\""}, {"5", "E[025]°00'00.0\""}}},
        {"longitude degrees to 180", kLongitude, 0, 1,
         {{"9", "E[009]°00'00.0\""}, {"9", "E[099]°00'00.0\""}, {"9", "E[180]°00'00.0\""},
          {"3", "E[003]°00'00.0\""}}},
        {"latitude degrees", kLatitude, 0, 1, {{"9", "N[09]°00'00.0\""}, {"5", "N[90]°00'00.0\""}}},
        {"minutes", kLongitude, 25, 2,
         {{"1", "E025°[01]'00.0\""}, {"0", "E025°[10]'00.0\""}, {"5", "E025°[05]'00.0\""}}},
        {"up on seconds 59.5", kLongitude, 25 + 16 / 60.0 + 59.5 / 3600, 3, {{"<Up>", "E025°16'[00]"}}},
        {"down on seconds 0.0", kLatitude, 54.5, 3, {{"<Down>", "N54°30'[59]"}}},
        {"hemispheres swap", kLongitude, 25.5, 0,
         {{"<Up>", "[W]025°30'00.0\""}, {"<Down>", "[E]025°30'00.0\""}}},
        {"latitude hemispheres swap", kLatitude, -54.5, 0, {{"<Down>", "[N]54°30'00.0\""}}},
        {"degrees wrap", kLongitude, 180, 1, {{"<Up>", "E[000]°00'00.0\""}, {"<Down>", "E[180]°00'00.0\""}}},
        {"latitude degrees wrap", kLatitude, 90, 1, {{"<Up>", "N[00]°00'00.0\""}, {"<Down>", "N[90]°00'00.0\""}}},
        {"s in a longitude", kLongitude, 25.5, 0, {{"s", "![E]025°30'00.0\""}, {"w", "[W]025°30'00.0\""}}},
        {"s in a latitude", kLatitude, 54.5, 0, {{"s", "[S]54°30'00.0\""}}},
        {"home, end, left, right", kLongitude, 25.5, 2,
         {{"<Home>", "[E]025°30'00.0\""}, {"<End>", "E025°30'[00.0\"]"}, {"<Left>", "E025°[30]'00.0\""},
          {"<Left>", "E[025]°30'00.0\""}, {"<Left>", "[E]025°30'00.0\""}, {"<Left>", "E025°30'[00.0\"]"},
          {"<Right>", "[E]025°30'00.0\""}, {"<Right>", "E[025]°30'00.0\""}}},
        {"the caret in the seconds", kLatitude, 54.5, 3,
         {{"1", "N54°30'1|"}, {"2", "N54°30'12|"}, {"<Left>", "N54°30'1|2"}, {"<Left>", "N54°30'|12"},
          {"<Left>", "N54°[30]'12"}, {"<Right>", "N54°30'[12]"}, {"<Right>", "[N]54°30'12"}}},
        {"delete", kLongitude, 25.5, 3,
         {{"<S-Del>", "!E025°30'[00.0\"]"}, {"<Del>", "E025°30'|"}, {"<BS>", "!E025°30'|"},
          {"<Home>", "[E]025°30'"}, {"<Del>", "![E]025°30'"}}},
        {"decimal minutes", kMinutes, 25.279722, 2,
         {{"<Up>", "E025°[17]"}, {"5", "E025°5|"}, {".", "E025°5.|"}, {"x", "!E025°5.|"}}},
    };
    for (const Case& c : cases) {
        CCoordEdit& edit = *Edit(c.kind == kLongitude ? kLongitudeId : c.kind == kLatitude ? kLatitudeId : kMinutesId);
        if (c.kind == kLatitude)
            edit.SetLatitude(c.value);
        else
            edit.SetLongitude(c.value);
        edit.SelectSection(c.section);
        for (const Step& step : c.steps) {
            const int beepsBefore = user.beeps;
            Press(edit, step.key);
            const bool beeps = step.shown[0] == '!';
            EXPECT_EQ(user.beeps - beepsBefore, beeps ? 1 : 0) << c.what << ": " << step.key;
            EXPECT_EQ(Show(edit), QString::fromUtf8(step.shown + (beeps ? 1 : 0))) << c.what << ": " << step.key;
        }
    }
}

// Positions count characters: the degree sign is one, though two bytes in UTF-8.
TEST_F(CoordEditTest, AClickSelectsTheSectionUnderIt)
{
    longitude->SetLongitude(25.279694);
    latitude->SetLatitude(54.687194);
    struct Click {
        CCoordEdit* edit;
        int position;
        const char* shown;
    };
    const Click clicks[] = {
        {longitude, 0, "[E]025°16'46.9\""},  {longitude, 2, "E[025]°16'46.9\""},
        {longitude, 6, "E025°[16]'46.9\""},  {longitude, 10, "E025°16'[46.9\"]"},
        {latitude, 1, "N[54]°41'13.9\""},    {latitude, 5, "N54°[41]'13.9\""},
        {latitude, 8, "N54°41'[13.9\"]"},
    };
    for (const Click& c : clicks) {
        ClickAt(*c.edit, c.position);
        EXPECT_TRUE(c.edit->hasFocus()) << c.position;
        EXPECT_EQ(Show(*c.edit), QString::fromUtf8(c.shown)) << c.position;
    }
    // The focus coming back selects the current section.
    minutes->setFocus();
    latitude->setFocus();
    EXPECT_TRUE(WaitFor([&] { return latitude->hasFocus(); }));
    EXPECT_EQ(Show(*latitude), QString::fromUtf8("N54°41'[13.9\"]"));
}

TEST_F(CoordEditTest, ReadsBackAsDecimalDegrees)
{
    longitude->setText(QString::fromUtf8("W025°16'46.9\""));
    EXPECT_NEAR(longitude->GetDegrees(), -25.279694, 5e-7);
    longitude->clear();
    EXPECT_EQ(longitude->GetDegrees(), 0);
    latitude->SetLatitude(-54.687194);
    EXPECT_NEAR(latitude->GetDegrees(), -54.687194, 5e-7);
    minutes->SetLatitude(54.5);
    EXPECT_EQ(minutes->text(), QString::fromUtf8("N54°30.0"));
    EXPECT_NEAR(minutes->GetDegrees(), 54.5, 1e-9);
}

// Texts set or pasted: whatever they hold reads back within the
// hemisphere, and the arrows go on in a text put back in shape.
TEST_F(CoordEditTest, BadTextsReadWithinTheHemisphere)
{
    const QString nines(200, '9');
    const QString texts[] = {
        QString::fromUtf8("N90°30'00.0\""), "E02", QString::fromUtf8("E0x5°16'46.9\""), "E025 16'46.9\"", "W" + nines,
        "N" + nines, QString::fromUtf8("E025°16'") + nines, QString::fromUtf8("ž°'\"€"), QString::fromUtf8("N5😀4°41'"),
        "", nines,
    };
    for (const bool paste : {false, true}) {
        for (CCoordEdit* edit : {static_cast<CCoordEdit*>(longitude), static_cast<CCoordEdit*>(latitude),
                                 static_cast<CCoordEdit*>(minutes)}) {
            for (const QString& text : texts) {
                if (edit == latitude)
                    edit->SetLatitude(0);
                else
                    edit->SetLongitude(0);
                if (paste) {
                    QApplication::clipboard()->setText(text);
                    edit->selectAll();
                    edit->paste();
                } else {
                    edit->setText(text);
                }
                const double largest = edit == latitude ? 90 : 180;
                const double read = edit->GetDegrees();
                EXPECT_LE(std::abs(read), largest) << text.toStdString();
                edit->SelectSection(1);
                QTest::keyClick(edit, Qt::Key_Up);
                EXPECT_LE(std::abs(edit->GetDegrees()), largest) << text.toStdString();
                // The degrees section stands in shape before the degree sign.
                const int digits = edit == latitude ? 2 : 3;
                EXPECT_EQ(edit->selectionStart(), 1) << text.toStdString();
                EXPECT_EQ(edit->selectedText().size(), digits) << text.toStdString();
                EXPECT_EQ(edit->text().mid(1 + digits, 1), QString::fromUtf8("°")) << text.toStdString();
            }
        }
    }
}

} // namespace
