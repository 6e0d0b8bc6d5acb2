// The coordinate transformation dialog (398) on the offscreen platform.
#include "search/widgets/CoordTransformDlg.h"

#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class CoordTransformDlgTest : public ::testing::Test, public CWithApplication {
protected:
    CoordTransformDlgTest()
    {
        dialog.show();
        QCoreApplication::processEvents();
        left = FindControl<QPlainTextEdit>(&dialog, 1017);
        right = FindControl<QPlainTextEdit>(&dialog, 1007);
        leftSystem = FindControl<QComboBox>(&dialog, 1012);
        rightSystem = FindControl<QComboBox>(&dialog, 1021);
    }
    // As the user types: the edit's text replaced through the keyboard.
    void Type(QPlainTextEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->insertPlainText(text);
    }
    void Click(int id) { QTest::mouseClick(FindControl<QPushButton>(&dialog, id), Qt::LeftButton); }

    CCoordTransformDlg dialog;
    QPlainTextEdit* left;
    QPlainTextEdit* right;
    QComboBox* leftSystem;
    QComboBox* rightSystem;
};

TEST_F(CoordTransformDlgTest, ControlsAndTheirStart)
{
    ASSERT_TRUE(left && right && leftSystem && rightSystem);
    EXPECT_EQ(GetControlId(&dialog), 398);
    EXPECT_EQ(dialog.windowTitle(), Text("Koordinačių transformavimas"));
    ASSERT_EQ(leftSystem->count(), 7);
    EXPECT_EQ(leftSystem->itemText(0), Text("WGS-84 (DD°MM'SS.SS\")"));
    EXPECT_EQ(leftSystem->itemText(6), Text("Vietinė (Šiaulių)"));
    EXPECT_EQ(rightSystem->count(), 7);
    EXPECT_EQ(leftSystem->currentIndex(), 0);
    EXPECT_EQ(rightSystem->currentIndex(), 3);
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 1055)->text(), Text("Perskaičiuoti  >>"));
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 1056)->text(), Text("<< Perskaičiuoti"));
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 2)->text(), Text("Uždaryti"));
    EXPECT_EQ(left->toPlainText(), Text("E024°00'00.00\" N56°00'00.00\" (pavyzdys)"));
    EXPECT_TRUE(right->toPlainText().isEmpty());
    dialog.resize(dialog.sizeHint());
    SaveScreenshot(dialog, "search-398-coord-transform");
}

TEST_F(CoordTransformDlgTest, TheExampleGivesWayToWhatTheUserTyped)
{
    leftSystem->setCurrentIndex(3);
    EXPECT_EQ(left->toPlainText(), Text("500000 6207321 (pavyzdys)"));
    // Two characters typed are not kept...
    Type(left, "24");
    leftSystem->setCurrentIndex(2);
    EXPECT_EQ(left->toPlainText(), Text("24.000000 56.000000 (pavyzdys)"));
    // ...three are.
    Type(left, "24 ");
    leftSystem->setCurrentIndex(6);
    EXPECT_EQ(left->toPlainText(), Text("24 "));
}

TEST_F(CoordTransformDlgTest, BothWays)
{
    Type(left, "E024*30*00 N56*00*00\nW024*30 S56*30\n\nE025 N55");
    rightSystem->setCurrentIndex(2);
    Click(1055);
    EXPECT_EQ(right->toPlainText(), Text("24.500000 56.000000\n-24.500000 -56.500000\n"));

    // Back into the left one's notation; then the example stays away.
    right->setPlainText("24.5 56.25\n-24.5 -56.25");
    leftSystem->setCurrentIndex(1);
    Click(1056);
    EXPECT_EQ(left->toPlainText(), Text("E024°30.0000' N56°15.0000'\nW-24°30.0000' S-56°15.0000'\n"));
    // Which reads back as it was.
    Click(1055);
    EXPECT_EQ(right->toPlainText(), Text("24.500000 56.250000\n-24.500000 -56.250000\n"));
    SaveScreenshot(dialog, "search-398-coord-transform-converted");
}

TEST_F(CoordTransformDlgTest, BadLinesGiveStarsTheOthersConvert)
{
    rightSystem->setCurrentIndex(2);
    const QString huge(10000, QLatin1Char('9'));
    Type(left, huge + "\nnan\nE999*\nE999* N56\n24 56\n" + huge + " 56\n25 56");
    Click(1055);
    EXPECT_EQ(right->toPlainText(),
              Text("********\n********\n********\n********\n24.000000 56.000000\n********\n25.000000 56.000000\n"));
    // The grid's values out of range, and words that are no numbers.
    leftSystem->setCurrentIndex(3);
    Type(left, "1e308 6207321\n-5 6207321\nabc def\n500000 6207321");
    Click(1055);
    const QStringList lines = right->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"********", "********", "********"}));
    EXPECT_TRUE(lines[3].startsWith("24.000000 5")) << lines[3].toStdString();
}

} // namespace
