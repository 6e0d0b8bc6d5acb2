// Dialog 310 on the offscreen platform, its controls found by their ids:
// the field combos, the edits they enable, the start time both ways and
// what OK leaves in the task.

#include "routing/PlanningTask.h"
#include "routing/widgets/PlanningTaskDlg.h"
#include "shell/widgets/ControlIds.h"
#include "tests/routing/ClientLayer.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class PlanningTaskDlgTest : public ::testing::Test, public CWithApplication {
protected:
    PlanningTaskDlgTest() : layer("Klientai", dir.File("klientai.gdb"), CLayer::kPoint)
    {
        WriteClients(layer.GetPath(), {{0, 0, "1", "s"}});
        task.layer = &layer;
        task.routeField = "mars";
        task.flagField = "NERA";
        task.numberField = "NR";
        task.timeField.clear();
        task.startTime = 25 * 60 + 5;
        task.lengthField = "ILGIS";
        task.addSeg = 1;
        task.taskId = 2;
        dialogOwner = std::make_unique<CPlanningTaskDlg>(task);
    }

    QComboBox* Combo(int id) { return FindControl<QComboBox>(&dialog(), id); }
    QLineEdit* Edit(int id) { return FindControl<QLineEdit>(&dialog(), id); }
    void Ok()
    {
        auto* ok = FindControl<QAbstractButton>(&dialog(), 1);
        ASSERT_TRUE(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer;
    CPlanningTask task;
    std::unique_ptr<CPlanningTaskDlg> dialogOwner;
    CPlanningTaskDlg& dialog() { return *dialogOwner; }
};

TEST_F(PlanningTaskDlgTest, CombosEditsAndOk)
{
    dialog().show();
    QCoreApplication::processEvents();
    SaveScreenshot(dialog(), "planning-task-310");
    EXPECT_EQ(FindControl<QLabel>(&dialog(), 1059)->text(), "Klientai");
    for (int id : {1012, 1021, 1022, 1024}) {
        ASSERT_TRUE(Combo(id)) << id;
        ASSERT_EQ(Combo(id)->count(), 8) << id;
        EXPECT_EQ(Combo(id)->itemText(0), QString::fromUtf8("<Nėra>")) << id;
    }
    EXPECT_EQ(Combo(1012)->currentText(), "Mars");
    EXPECT_EQ(Combo(1021)->currentIndex(), 0);
    EXPECT_EQ(Combo(1022)->currentText(), "Nr");
    EXPECT_EQ(Combo(1024)->currentIndex(), 0);
    EXPECT_EQ(Edit(1009)->text(), "01:05");
    EXPECT_TRUE(Edit(1017)->isEnabled());
    EXPECT_TRUE(Edit(1008)->isEnabled());
    EXPECT_FALSE(Edit(1009)->isEnabled());
    EXPECT_FALSE(Edit(1010)->isEnabled());

    Combo(1024)->setCurrentIndex(4);
    Combo(1012)->setCurrentIndex(0);
    EXPECT_TRUE(Edit(1009)->isEnabled());
    EXPECT_TRUE(Edit(1010)->isEnabled());
    EXPECT_FALSE(Edit(1017)->isEnabled());

    Edit(1009)->setText("25:75");
    Edit(1010)->setText("0");
    Ok();
    EXPECT_TRUE(dialog().isVisible()); // no clients per hour, no times to compute
    EXPECT_EQ(user.MessageIds().size(), 1u);
    Edit(1010)->setText("7");
    Edit(1008)->setText("5");
    Ok();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(task.startTime, 75);
    EXPECT_EQ(task.clientsPerHour, 7);
    EXPECT_EQ(task.step, 5);
    EXPECT_EQ(task.routeField, "");
    EXPECT_EQ(task.flagField, "");
    EXPECT_EQ(task.numberField, "Nr");
    EXPECT_EQ(task.timeField, "Laikas");
    EXPECT_EQ(task.lengthField, "");
    EXPECT_EQ(task.addSeg, 0);
    EXPECT_EQ(task.taskId, 0);
}

} // namespace
