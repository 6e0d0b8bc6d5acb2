// The point coordinate dialogs (30783, 30775) and the coordinate field
// dialogs (30777, 30778) on the offscreen platform.
#include "search/PointCoordRules.h"
#include "search/widgets/GeoPointDlg.h"
#include "search/widgets/PlanarPointDlg.h"
#include "search/widgets/WriteCoordsDlg.h"

#include "core/DbfTable.h"
#include "shell/FieldText.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DegMinEdit.h"
#include "shell/widgets/DegMinSecEdit.h"
#include "tests/core/FieldLists.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class PointCoordDlgsTest : public ::testing::Test, public CWithApplication {
protected:
    PointCoordDlgsTest() { GeoPointMemory() = {}; }
    ~PointCoordDlgsTest() override { GeoPointMemory() = {}; }

    static void Open(CDialogBase& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Type(QWidget& dialog, int id, const QString& text)
    {
        auto* edit = FindControl<QLineEdit>(&dialog, id);
        ASSERT_TRUE(edit) << id;
        edit->setText(text);
    }
    static QString Shown(QWidget& dialog, int id)
    {
        auto* edit = FindControl<QLineEdit>(&dialog, id);
        return edit && edit->isVisible() ? edit->text() : QStringLiteral("<hidden>");
    }

    CScriptedUserServices user;
};

TEST_F(PointCoordDlgsTest, TheGeographicDialogRemembersThePointAndTheNotation)
{
    {
        CGeoPointDlg dialog;
        Open(dialog);
        EXPECT_EQ(GetControlId(&dialog), 30783);
        EXPECT_EQ(dialog.windowTitle(), Text("Įveskite taško koordinates"));
        EXPECT_TRUE(dynamic_cast<CDegMinSecEdit*>(FindControl<QLineEdit>(&dialog, 1017)));
        EXPECT_TRUE(dynamic_cast<CDegMinEdit*>(FindControl<QLineEdit>(&dialog, 1009)));
        EXPECT_EQ(FindControl<QRadioButton>(&dialog, 1024)->text(), Text("LL°MM'&SS.D\""));
        EXPECT_EQ(FindControl<QRadioButton>(&dialog, 1025)->text(), Text("LL°&MM.DDDD'"));
        EXPECT_EQ(FindControl<QRadioButton>(&dialog, 1026)->text(), Text("&LL.DDDDDD°"));
        // At first: the origin in degrees, minutes and seconds.
        EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1024)->isChecked());
        EXPECT_EQ(Shown(dialog, 1017), Text("E000°00'00.0\""));
        EXPECT_EQ(Shown(dialog, 1007), Text("N00°00'00.0\""));
        for (const int hidden : {1008, 1009, 1010, 1011})
            EXPECT_EQ(Shown(dialog, hidden), "<hidden>") << hidden;
        SaveScreenshot(dialog, "search-30783-geo-point");

        // 25°30' typed, shown in decimal degrees: 25.5. A zero shows "0.0".
        Type(dialog, 1017, Text("E025°30'00.0\""));
        Click(dialog, 1026);
        EXPECT_EQ(Shown(dialog, 1010), "25.5");
        EXPECT_EQ(Shown(dialog, 1011), "0.0");
        EXPECT_EQ(Shown(dialog, 1017), "<hidden>");
        SaveScreenshot(dialog, "search-30783-geo-point-decimal");
        Type(dialog, 1011, "-54.25");
        Click(dialog, 1025);
        EXPECT_EQ(Shown(dialog, 1008), Text("E025°30.0"));
        EXPECT_EQ(Shown(dialog, 1009), Text("S54°15.0"));
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_EQ(dialog.GetPoint(), CMapPoint(25.5, -54.25));
    }
    // Reopened: the last point in the last notation.
    CGeoPointDlg dialog;
    Open(dialog);
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1025)->isChecked());
    EXPECT_EQ(Shown(dialog, 1008), Text("E025°30.0"));
    EXPECT_EQ(Shown(dialog, 1009), Text("S54°15.0"));
    EXPECT_EQ(Shown(dialog, 1017), "<hidden>");
}

TEST_F(PointCoordDlgsTest, WhatTheUserLeftAloneKeepsItsValue)
{
    // More digits than the notation shows.
    GeoPointMemory() = {24.123456789, 55.987654321, CGeoPointMemory::kDegMinSec};
    CGeoPointDlg dialog;
    Open(dialog);
    Click(dialog, 1025);
    Click(dialog, 1026);
    EXPECT_EQ(Shown(dialog, 1010), "24.123456789");
    Type(dialog, 1011, "55.5");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetPoint(), CMapPoint(24.123456789, 55.5));
}

TEST_F(PointCoordDlgsTest, ADecimalThatIsNoDegreeIsRefused)
{
    GeoPointMemory() = {24, 56, CGeoPointMemory::kDecimal};
    CGeoPointDlg dialog;
    Open(dialog);
    struct Case {
        int id;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {1010, "abc", RealFieldMessage(true, -180, 180)},
        {1010, "1e308", RealFieldMessage(true, -180, 180)},
        {1010, "180.5", RealFieldMessage(true, -180, 180)},
        {1011, "-90.01", RealFieldMessage(true, -90, 90)},
        {1011, "nan", RealFieldMessage(true, -90, 90)},
    };
    for (const Case& c : cases) {
        Type(dialog, 1010, "24");
        Type(dialog, 1011, "56");
        Type(dialog, c.id, c.text);
        user.messages.clear();
        Click(dialog, IDOK);
        ASSERT_EQ(user.messages.size(), 1u) << c.text;
        EXPECT_EQ(user.messages[0].text, c.message) << c.text;
        EXPECT_TRUE(dialog.isVisible()) << c.text;
        // Nor does another notation take it.
        user.messages.clear();
        Click(dialog, 1024);
        EXPECT_EQ(user.messages.size(), 1u) << c.text;
        EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1026)->isChecked()) << c.text;
    }
    EXPECT_EQ(GeoPointMemory().longitude, 24);
    EXPECT_EQ(GeoPointMemory().latitude, 56);
}

TEST_F(PointCoordDlgsTest, ThePlanarDialogStartsAtTheOriginAndTakesNumbersOnly)
{
    CPlanarPointDlg dialog;
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30775);
    EXPECT_EQ(dialog.windowTitle(), Text("Įveskite taško koordinates"));
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "0");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1007)->text(), "0");
    SaveScreenshot(dialog, "search-30775-planar-point");
    for (const char* bad : {"abc", "1e308", "", "12,5"}) {
        Type(dialog, 1017, bad);
        user.messages.clear();
        Click(dialog, IDOK);
        EXPECT_EQ(user.messages.size(), 1u) << bad;
        EXPECT_TRUE(dialog.isVisible()) << bad;
    }
    Type(dialog, 1017, "512345.5");
    Type(dialog, 1007, "6123456");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetPoint(), CMapPoint(512345.5, 6123456));
}

class WriteCoordsDlgTest : public PointCoordDlgsTest {
protected:
    WriteCoordsDlgTest()
    {
        const std::string path = dir.File("objektai.dbf");
        CDbfTable create;
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"PAVAD", 'C', 20, 0}, {"X", 'N', 12, 2}, {"Y", 'F', 12, 2}, {"DATA", 'D', 8, 0}});
        EXPECT_TRUE(create.Create(path, fields.data()));
        create.Close();
        EXPECT_TRUE(table.Open(path));
        for (const bool lines : {false, true})
            CWriteCoordsRules(lines).Remembered() = {};
    }
    static QStringList Items(QWidget& dialog, int id)
    {
        QStringList items;
        auto* list = FindControl<QComboBox>(&dialog, id);
        for (int i = 0; list && i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }
    static void Choose(QWidget& dialog, int id, int index)
    {
        FindControl<QComboBox>(&dialog, id)->setCurrentIndex(index);
    }
    static bool SystemsEnabled(QWidget& dialog)
    {
        return FindControl<QComboBox>(&dialog, 1022)->isEnabled() && FindControl<QComboBox>(&dialog, 1024)->isEnabled();
    }

    CTempDir dir;
    CDbfTable table;
};

TEST_F(WriteCoordsDlgTest, PointsNeedBothFields)
{
    const QStringList systems{Text("Geografinė (WGS-84)"), "LKS-94", "UTM", "LKS-92 (Latvijos)",
                              Text("Vietinė (Šiaulių)")};
    {
        CWriteCoordsDlg dialog(table);
        Open(dialog);
        EXPECT_EQ(GetControlId(&dialog), 30777);
        EXPECT_EQ(dialog.windowTitle(), Text("Koordinačių įrašymas į duomenų bazę"));
        EXPECT_EQ(Items(dialog, 1012), (QStringList{"X", "Y"}));
        EXPECT_EQ(Items(dialog, 1021), (QStringList{"X", "Y"}));
        EXPECT_FALSE(FindControl<QComboBox>(&dialog, 1013));
        EXPECT_EQ(Items(dialog, 1022), systems);
        EXPECT_EQ(Items(dialog, 1024), systems);
        EXPECT_FALSE(FindControl<QCheckBox>(&dialog, 1015)->isChecked());
        EXPECT_FALSE(SystemsEnabled(dialog));
        SaveScreenshot(dialog, "search-30777-write-coords");

        // "&Transformuoti koordinates" leads the lists.
        Click(dialog, 1015);
        EXPECT_TRUE(SystemsEnabled(dialog));
        Click(dialog, 1015);
        EXPECT_FALSE(SystemsEnabled(dialog));
        Click(dialog, 1015);

        Choose(dialog, 1012, 0);
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible()) << "one field is not enough";
        Choose(dialog, 1021, 1);
        Choose(dialog, 1022, 3);
        Choose(dialog, 1024, 4);
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.result(), IDOK);
        const CWriteCoordsRules::Choice& choice = dialog.GetChoice();
        EXPECT_EQ(choice.xField, "X");
        EXPECT_EQ(choice.yField, "Y");
        EXPECT_EQ(choice.transform, 1);
        EXPECT_EQ(choice.fromSystem, 3);
        EXPECT_EQ(choice.toSystem, 4);
    }
    // The next one starts from that choice of systems.
    CWriteCoordsDlg dialog(table);
    Open(dialog);
    EXPECT_TRUE(FindControl<QCheckBox>(&dialog, 1015)->isChecked());
    EXPECT_TRUE(SystemsEnabled(dialog));
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1022)->currentIndex(), 3);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1024)->currentIndex(), 4);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentIndex(), -1);
}

TEST_F(WriteCoordsDlgTest, LinesNeedAnyOneFieldTheirListsLackLatvia)
{
    CWriteCoordsTransformDlg dialog(table);
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30778);
    const QStringList fields{"Pavad", "X", "Y", "Data"};
    for (const int id : {1012, 1021, 1013, 1023})
        EXPECT_EQ(Items(dialog, id), fields) << id;
    EXPECT_EQ(Items(dialog, 1022),
              (QStringList{Text("Geografinė (WGS-84)"), "LKS-94", "UTM", Text("Vietinė (Šiaulių)")}));
    EXPECT_FALSE(SystemsEnabled(dialog));
    SaveScreenshot(dialog, "search-30778-write-coords-lines");

    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible()) << "no field at all";
    Choose(dialog, 1023, 2);
    Click(dialog, 1015);
    // The lists' entries stand for codes 0, 1, 2 and 4.
    Choose(dialog, 1022, 0);
    Choose(dialog, 1024, 3);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    const CWriteCoordsRules::Choice& choice = dialog.GetChoice();
    EXPECT_EQ(choice.lastYField, "Y");
    EXPECT_EQ(choice.xField, "");
    EXPECT_EQ(choice.fromSystem, 0);
    EXPECT_EQ(choice.toSystem, 4);

    // Each entry's code.
    CWriteCoordsRules points(false), lines(true);
    for (int entry = -1; entry <= 5; ++entry) {
        EXPECT_EQ(points.SystemCode(entry), entry >= 0 && entry <= 4 ? entry : -1) << entry;
        const int lineCodes[] = {-1, 0, 1, 2, 4, -1, -1};
        EXPECT_EQ(lines.SystemCode(entry), lineCodes[entry + 1]) << entry;
    }
}

} // namespace
