#include "search/widgets/NameCombo.h"

#include "search/NameList.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class NameComboTest : public ::testing::Test, private CWithApplication {
protected:
    NameComboTest()
    {
        list.Assign({{"Vilties g.", 4}, {"Vilniaus g.", 2}, {"Kauno g.", 1}, {"Vilniaus g.", 3}});
        combo.SetList(&list);
        combo.show();
        combo.activateWindow();
        WaitFor([this] { return combo.isActiveWindow(); });
        combo.lineEdit()->setFocus();
        combo.SetText("");
    }
    QString Text() const { return combo.lineEdit()->text(); }
    QString Selected() const { return combo.lineEdit()->selectedText(); }

    CNameList list;
    CNameCombo combo;
};

TEST_F(NameComboTest, TheListReachesTheComboAtOnce)
{
    EXPECT_EQ(combo.count(), 4);
    QSignalSpy resets(combo.model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(combo.model(), &QAbstractItemModel::rowsInserted);
    combo.SetText("Kauno g.");
    list.Fold();
    combo.Refresh();
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(combo.GetText(), "Kauno g.");
    EXPECT_EQ(combo.itemData(1).toInt(), 2);
    list.Unfold();
    combo.Refresh();
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemData(2).toInt(), 3);
}

TEST_F(NameComboTest, TypingCompletesFromTheList)
{
    QTest::keyClicks(combo.lineEdit(), "Vil");
    EXPECT_EQ(Text(), "Vilniaus g.");
    EXPECT_EQ(Selected(), "niaus g.");
    // Typing on replaces the added part.
    QTest::keyClicks(combo.lineEdit(), "t");
    EXPECT_EQ(Text(), "Vilties g.");
    EXPECT_EQ(Selected(), "ies g.");
    // Deleting never completes.
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(Text(), "Vil");
    EXPECT_EQ(combo.GetSelection(), -1);
    QTest::keyClicks(combo.lineEdit(), "x");
    EXPECT_EQ(Text(), "Vilx");
}

TEST_F(NameComboTest, TheChosenEntryHoldsOnlyWhileTheEditShowsIt)
{
    combo.setCurrentIndex(2);
    EXPECT_EQ(combo.GetSelection(), 2);
    EXPECT_EQ(combo.GetText(), "Vilniaus g.");
    EXPECT_EQ(combo.Resolve(1111), 2); // the second of the two equal names
    QTest::keyClicks(combo.lineEdit(), "x");
    EXPECT_EQ(combo.GetSelection(), -1);
    combo.SetText("Kauno g.");
    EXPECT_EQ(combo.Resolve(1111), 0);
}

} // namespace
