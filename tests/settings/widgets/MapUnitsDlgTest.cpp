#include "settings/widgets/MapUnitsDlg.h"

#include "settings/MapSheetRules.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

constexpr int kUnitsCombo = 1012;

class MapUnitsDlgTest : public ::testing::Test, private CWithApplication {
protected:
    ~MapUnitsDlgTest() override { SetNewMapUnits(0); }

    // AskMapUnits with the dialog answered: the units chosen (-1 leaves
    // them), then OK or Cancel.
    int Ask(int chosen, int button, const char* shot = nullptr)
    {
        int answer = -2;
        WithModalWindow([&] { answer = AskMapUnits(); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 333);
                            auto* units = FindControl<QComboBox>(&dialog, kUnitsCombo);
                            ASSERT_TRUE(units);
                            offered = units->currentIndex();
                            if (chosen >= 0)
                                units->setCurrentIndex(chosen);
                            if (shot)
                                SaveScreenshot(dialog, shot);
                            FindControl<QPushButton>(&dialog, button)->click();
                        });
        return answer;
    }

    int offered = -1;
};

TEST_F(MapUnitsDlgTest, TextsOfTheQuestion)
{
    CMapUnitsDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Žemėlapio sukūrimas"));
    bool asked = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        asked = asked ||
                label->text() == QString::fromUtf8("Nurodykite, kokiais vienetais bus vaizduojamos žemėlapio koordinatės");
    EXPECT_TRUE(asked);
    auto* units = FindControl<QComboBox>(&dialog, kUnitsCombo);
    ASSERT_TRUE(units);
    ASSERT_EQ(units->count(), 2);
    EXPECT_EQ(units->itemText(0), QString::fromUtf8("Laipsniai"));
    EXPECT_EQ(units->itemText(1), QString::fromUtf8("Metrai"));
}

TEST_F(MapUnitsDlgTest, CancelGivesMinusOneAndMetresChosenOnceAreOfferedAgain)
{
    EXPECT_EQ(Ask(1, IDCANCEL), -1);
    EXPECT_EQ(offered, 0);
    EXPECT_EQ(Ask(-1, IDCANCEL), -1);
    EXPECT_EQ(offered, 0) << "a cancelled choice is not kept";
    EXPECT_EQ(Ask(1, IDOK, "map-units"), 1);
    EXPECT_EQ(Ask(-1, IDOK), 1);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(Ask(0, IDOK), 0);
    EXPECT_EQ(GetNewMapUnits(), 0);
}

} // namespace
