// Dialog 358 on the offscreen platform: its controls by id, the step
// lists of both kinds of map, what OK refuses, gives and remembers.
#include "geoproc/CoordGrid.h"
#include "geoproc/widgets/CoordGridDlg.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CoordGridDlgTest : public ::testing::Test, public CWithApplication {
protected:
    ~CoordGridDlgTest() override
    {
        CCoordGridRules::RememberStep(false, "1 km");
        CCoordGridRules::RememberStep(true, "1\xB0");
    }
    static void Open(CDialogBase& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    static QStringList Items(QComboBox& combo)
    {
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        return items;
    }
    static void Ok(QWidget& dialog)
    {
        auto* ok = FindControl<QPushButton>(&dialog, IDOK);
        ASSERT_TRUE(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    CScriptedUserServices user;
};

TEST_F(CoordGridDlgTest, ShowsTheValuesAndTheStepsOfTheMapKind)
{
    CCoordGridParams params = CCoordGridRules::Initial(false, CMapRect(500000, 6100000, 520000, 6080000));
    CCoordGridDlg dialog(false, params);
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 358);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Koordinačių tinklelio kūrimas"));
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, CCoordGridDlg::kRectanglesRadio)->isChecked());
    EXPECT_FALSE(FindControl<QRadioButton>(&dialog, CCoordGridDlg::kLinesRadio)->isChecked());
    auto* step = FindControl<QComboBox>(&dialog, CCoordGridDlg::kStepCombo);
    ASSERT_TRUE(step);
    EXPECT_EQ(Items(*step), (QStringList{"100 m", "500 m", "1 km", "5 km", "10 km"}));
    EXPECT_EQ(step->currentText(), "1 km");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CCoordGridDlg::kNorthEdit)->text(), "6100000");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CCoordGridDlg::kSouthEdit)->text(), "6080000");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CCoordGridDlg::kWestEdit)->text(), "500000");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CCoordGridDlg::kEastEdit)->text(), "520000");
    EXPECT_TRUE(FindControl<QCheckBox>(&dialog, CCoordGridDlg::kWholeStepsCheck)->isChecked());
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CCoordGridDlg::kExtraPointsEdit)->text(), "2");
    SaveScreenshot(dialog, "coord_grid_358");

    CCoordGridDlg degrees(true, CCoordGridRules::Initial(true, CMapRect()));
    Open(degrees);
    auto* degreeSteps = FindControl<QComboBox>(&degrees, CCoordGridDlg::kStepCombo);
    EXPECT_EQ(Items(*degreeSteps), (QStringList{"5'", "10'", "30'", QString::fromUtf8("1°"), QString::fromUtf8("5°"),
                                                QString::fromUtf8("10°")}));
    EXPECT_EQ(degreeSteps->currentText(), QString::fromUtf8("1°"));
    EXPECT_EQ(FindControl<QLineEdit>(&degrees, CCoordGridDlg::kNorthEdit)->text(), "0");
}

TEST_F(CoordGridDlgTest, OkGivesTheValuesAndKeepsTheStepForItsKindOfMap)
{
    CCoordGridDlg dialog(true, CCoordGridRules::Initial(true, CMapRect(23, 55, 24, 54)));
    Open(dialog);
    FindControl<QRadioButton>(&dialog, CCoordGridDlg::kLinesRadio)->setChecked(true);
    FindControl<QComboBox>(&dialog, CCoordGridDlg::kStepCombo)->setEditText("10\"");
    FindControl<QLineEdit>(&dialog, CCoordGridDlg::kWestEdit)->setText("23.5");
    FindControl<QLineEdit>(&dialog, CCoordGridDlg::kExtraPointsEdit)->setText("1001");
    Ok(dialog);
    // Too many extra points: the dialog stays.
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(dialog.result(), 0);
    FindControl<QLineEdit>(&dialog, CCoordGridDlg::kExtraPointsEdit)->setText("0");
    Ok(dialog);
    EXPECT_EQ(dialog.result(), IDOK);
    const CCoordGridParams& params = dialog.GetParams();
    EXPECT_EQ(params.objectType, CCoordGridParams::kLines);
    EXPECT_EQ(params.step, "10\"");
    EXPECT_EQ(params.west, 23.5);
    EXPECT_EQ(params.extraPoints, 0);
    EXPECT_EQ(CCoordGridRules::Initial(true, CMapRect()).step, "10\"");
    EXPECT_EQ(CCoordGridRules::Initial(false, CMapRect()).step, "1 km");
}

} // namespace
