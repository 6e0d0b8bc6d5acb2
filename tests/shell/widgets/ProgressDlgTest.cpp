#include "shell/widgets/ProgressDlg.h"

#include "core/Shape.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MessageBox.h"
#include "shell/widgets/ShellUserServices.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A window whose layout the program does not have.
class CMissingTemplateDlg : public CProgressDlg {
public:
    CMissingTemplateDlg() : CProgressDlg(0, 125, 9999) {}
};

class ProgressDlgTest : public ::testing::Test, private CWithApplication {
protected:
    ProgressDlgTest()
    {
        owner.resize(400, 300);
        owner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&owner));
        child = new QWidget(&owner);
    }
    ~ProgressDlgTest() override { RemoveShellUserServices(); }

    static QProgressBar* Bar(CProgressDlg& dlg, int id) { return FindControl<QProgressBar>(&dlg, id); }
    static void Press(CProgressDlg& dlg, Qt::Key key) { QTest::keyClick(&dlg, key); }

    QWidget owner;
    QWidget* child;
};

TEST_F(ProgressDlgTest, OwnerDisabledWhileItShowsAlsoWhenTheOperationThrows)
{
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(child));
        EXPECT_EQ(dlg.GetOwner(), &owner);
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(dlg.isEnabled());
        EXPECT_EQ(dlg.windowTitle(), "Skaičiuojama...");
        EXPECT_EQ(FindControl<QPushButton>(&dlg, IDCANCEL)->text(), "Nutraukti");
        EXPECT_FALSE(dlg.Create(child));
        dlg.DestroyWindow();
        EXPECT_TRUE(owner.isEnabled());
        EXPECT_FALSE(dlg.isVisible());
        ASSERT_TRUE(dlg.Create(child));
        EXPECT_FALSE(owner.isEnabled());
    }
    EXPECT_TRUE(owner.isEnabled());

    try {
        CProgressDlg dlg(126);
        ASSERT_TRUE(dlg.Create(&owner));
        EXPECT_FALSE(owner.isEnabled());
        throw std::runtime_error("the operation failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(owner.isEnabled());

    // An owner disabled before stays so.
    owner.setEnabled(false);
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(&owner));
    }
    EXPECT_FALSE(owner.isEnabled());
    owner.setEnabled(true);

    // A window that cannot be made leaves the owner as it was.
    CMissingTemplateDlg missing;
    EXPECT_FALSE(missing.Create(&owner));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(missing.isVisible());
    EXPECT_FALSE(missing.IsCreated());

    // Without an owner nothing is disabled.
    CProgressDlg alone;
    EXPECT_TRUE(alone.Create(nullptr));
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(ProgressDlgTest, CancelIsReportedOnceAndOnlyAskedFor)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(&owner));
    auto* cancel = FindControl<QPushButton>(&dlg, IDCANCEL);
    EXPECT_FALSE(dlg.CheckCancel());
    cancel->click();
    cancel->click();
    EXPECT_TRUE(dlg.CheckCancel());
    EXPECT_FALSE(dlg.CheckCancel());
    EXPECT_TRUE(dlg.isVisible());

    // Enter on the focused button does not press it.
    QTest::keyClick(cancel, Qt::Key_Return);
    QTest::keyClick(cancel, Qt::Key_Enter);
    Press(dlg, Qt::Key_Return);
    EXPECT_FALSE(dlg.CheckCancel());
    Press(dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.CheckCancel());
    dlg.close();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.CheckCancel());
    EXPECT_FALSE(dlg.CheckCancel());
}

TEST_F(ProgressDlgTest, RangesPastSixteenBits)
{
    CProgressDlg dlg;
    dlg.SetRange(0, 200000);
    ASSERT_TRUE(dlg.Create(&owner));
    QProgressBar* bar = Bar(dlg, 1003);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 200000);
    EXPECT_EQ(bar->value(), 0);
    dlg.SetRange(-5, 100000);
    dlg.SetPos(70000);
    EXPECT_EQ(bar->value(), 70000);
    dlg.SetStep(20000);
    dlg.StepIt();
    EXPECT_EQ(bar->value(), 90000);
    dlg.StepIt();
    EXPECT_EQ(bar->value(), 100000);
    dlg.SetPos(-100);
    EXPECT_EQ(bar->value(), -5);
    dlg.SetRange(0, 2147483647);
    dlg.SetPos(2147483600);
    dlg.SetStep(1000);
    dlg.StepIt();
    EXPECT_EQ(bar->value(), 2147483647);
}

TEST_F(ProgressDlgTest, TheBufferDrivesTheSecondBarOfTheDoubleWindow)
{
    CDoubleProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(&owner));
    EXPECT_EQ(dlg.windowTitle(), "Skaičiuojama...");
    dlg.SetRange(0, 3);
    dlg.SetStep(1);
    dlg.StepIt();
    dlg.SetText("Objektas 2 i\xF0 3");
    EXPECT_EQ(FindControl<QLabel>(&dlg, 1005)->text(), "Objektas 2 iš 3");
    EXPECT_EQ(Bar(dlg, 1003)->value(), 1);

    CShape line;
    const int points = 300;
    for (int i = 0; i < points; ++i)
        line.AddPoint(CMapPoint{i * 1.0, (i % 2) * 3.0});
    CShape zone;
    ASSERT_TRUE(line.Buffer(0.5, 1, 1, zone, CShape::kBufferBand, &dlg.SecondBar(), true, true));
    QProgressBar* second = Bar(dlg, 1004);
    EXPECT_EQ(second->maximum(), 2 * points);
    EXPECT_GT(second->value(), points);
    // The first bar is the caller's.
    EXPECT_EQ(Bar(dlg, 1003)->value(), 1);
    SaveScreenshot(dlg, "progress-double");

    // Both bars take ranges past 16 bits.
    dlg.SecondBar().SetRange(0, 100000);
    dlg.SecondBar().SetPos(70000);
    EXPECT_EQ(second->value(), 70000);
    dlg.SetRange(0, 1000000);
    dlg.SetPos(999999);
    EXPECT_EQ(Bar(dlg, 1003)->value(), 999999);

    // Cancel stops the buffer at its next check.
    FindControl<QPushButton>(&dlg, IDCANCEL)->click();
    EXPECT_FALSE(line.Buffer(0.5, 1, 1, zone, CShape::kBufferBand, &dlg.SecondBar(), true, true));
}

TEST_F(ProgressDlgTest, InstalledServicesShowTheWindowsOfTheShell)
{
    owner.activateWindow();
    QApplication::setActiveWindow(&owner);
    InstallShellUserServices();
    {
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        ASSERT_TRUE(progress);
        auto* dlg = dynamic_cast<CProgressDlg*>(progress.get());
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->GetOwner(), &owner);
        EXPECT_FALSE(owner.isEnabled());
        progress->SetRange(0, 10);
        progress->SetPos(4);
        SaveScreenshot(*dlg, "progress");
    }
    EXPECT_TRUE(owner.isEnabled());

    // Messages in the program's own box, captioned with the application's name.
    QCoreApplication::setApplicationName("Drel Lite");
    QString caption, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box) {
            caption = box->windowTitle();
            FindControl<QPushButton>(box, IDNO)->click();
        }
    });
    EXPECT_EQ(AppMessageBox("Pa\xF0" "alinti?", MB_YESNO), IDNO);
    EXPECT_EQ(caption, "Drel Lite");

    // The application's own handler takes them once start-up hands it in.
    std::vector<std::string> shown;
    InstallShellUserServices([&](const std::string& message, unsigned type, unsigned helpId) {
        shown.push_back(message + " " + std::to_string(type) + " " + std::to_string(helpId));
        return IDYES;
    });
    EXPECT_TRUE(AskYesNo("Tikrai?"));
    EXPECT_EQ(shown, std::vector<std::string>{"Tikrai? 36 0"});
    RemoveShellUserServices();
    EXPECT_EQ(AppMessageBox("Headless", MB_YESNO), IDNO);
    EXPECT_EQ(shown.size(), 1u);
}

} // namespace
