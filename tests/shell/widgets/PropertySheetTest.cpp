#include "shell/widgets/PropertySheet.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using CLog = std::vector<std::string>;

// A page with one name edit that must not be left empty, as the general
// page of the layer sheet refuses an empty layer name.
class CNamePage : public CPropertyPage {
public:
    CNamePage(std::string caption, CLog& log) : CPropertyPage(std::move(caption)), m_log(log) {}

    std::string name = "Keliai";

protected:
    void OnInitDialog() override
    {
        m_log.push_back(GetCaption() + " made");
        auto* layout = new QFormLayout(this);
        auto* edit = new QLineEdit(this);
        SetControlId(edit, 1004);
        layout->addRow(QStringLiteral("&Sluoksnio vardas:"), edit);
        auto* other = new QLineEdit(this);
        SetControlId(other, 1005);
        layout->addRow(QStringLiteral("&Failo vardas:"), other);
        CPropertyPage::OnInitDialog();
    }
    bool OnKillActive() override
    {
        if (!CPropertyPage::OnKillActive())
            return false;
        if (name.empty()) {
            AppMessageBox(1000);
            FindControl(this, 1004)->setFocus();
            return false;
        }
        m_log.push_back(GetCaption() + " left");
        return true;
    }
    void OnOK() override { m_log.push_back(GetCaption() + " applied"); }
    void DoDataExchange(CDataExchange& dx) override { dx.Text(1004, name, 80); }

private:
    CLog& m_log;
};

class PropertySheetTest : public ::testing::Test, private CWithApplication {
protected:
    PropertySheetTest() : general("Apra\xF0" "as", log), symbol("\xDE" "enklas", log), notes("Pastabos", log)
    {
        NeedApplication();
        sheet.AddPage(&general);
        sheet.AddPage(&symbol);
        sheet.AddPage(&notes);
    }
    // Shows the sheet modeless, as the modal run would, and waits.
    void Show()
    {
        sheet.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
        sheet.activateWindow();
    }
    QTabBar* Tabs() { return sheet.findChild<QTabBar*>(); }

    CScriptedUserServices user;
    CLog log;
    CNamePage general;
    CNamePage symbol;
    CNamePage notes;
    CPropertySheet sheet{"Sluoksnio parametrai"};
};

TEST_F(PropertySheetTest, PagesAreMadeWhenFirstShownAndThereIsNoApply)
{
    sheet.SetActivePage(1);
    EXPECT_TRUE(log.empty());
    Show();
    EXPECT_EQ(log, CLog{"\xDE" "enklas made"});
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_FALSE(general.IsCreated());
    const QList<QPushButton*> buttons = sheet.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(sheet.GetOkButton()->text(), "OK");
    EXPECT_EQ(sheet.GetCancelButton()->text(), QString::fromUtf8("Atsisakyti"));
    EXPECT_EQ(GetControlId(sheet.GetCancelButton()), IDCANCEL);
    EXPECT_EQ(Tabs()->tabText(1), QString::fromUtf8("Ženklas"));
    SaveScreenshot(sheet, "property-sheet");
}

TEST_F(PropertySheetTest, TheStartPageIsHeldToThePageCount)
{
    // As the layer sheet starts on the last page left, counted in a
    // fuller sheet than a page group leaves.
    sheet.SetActivePage(5);
    sheet.RemovePage(&symbol);
    Show();
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActivePage(), &notes);
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    sheet.hide();

    CPropertySheet other("Kitas");
    CNamePage only("Vienas", log);
    other.AddPage(&only);
    other.SetActivePage(-3);
    other.show();
    EXPECT_EQ(other.GetActivePage(), &only);
}

TEST_F(PropertySheetTest, ARefusedPageChangeKeepsThePageAndItsFocus)
{
    Show();
    auto* edit = FindControl<QLineEdit>(&general, 1004);
    ASSERT_NE(edit, nullptr);
    FindControl(&general, 1005)->setFocus();
    edit->clear();
    Tabs()->setCurrentIndex(2);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1000});
    EXPECT_EQ(sheet.GetActivePage(), &general);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_TRUE(general.isVisible());
    EXPECT_EQ(sheet.focusWidget(), edit);
    EXPECT_FALSE(notes.IsCreated());

    // Too long a name is refused by the exchange itself.
    edit->setMaxLength(200);
    edit->setText(QString(81, 'x'));
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1000, 0}));
    EXPECT_EQ(sheet.focusWidget(), edit);

    edit->setText("Gatvės");
    Tabs()->setCurrentIndex(2);
    EXPECT_EQ(sheet.GetActivePage(), &notes);
    EXPECT_EQ(general.name, "Gatv\xEBs");
}

TEST_F(PropertySheetTest, OkLeavesTheCurrentPageThenAppliesTheShownOnes)
{
    Show();
    sheet.SetActivePage(2);
    log.clear();
    sheet.GetOkButton()->click();
    EXPECT_EQ(log, (CLog{"Pastabos left", "Apra\xF0" "as applied", "Pastabos applied"}));
    EXPECT_EQ(sheet.result(), IDOK);

    // A page that refuses to be left keeps the sheet open.
    CPropertySheet second("Antras");
    CNamePage page("Vienas", log);
    second.AddPage(&page);
    second.show();
    FindControl<QLineEdit>(&page, 1004)->clear();
    log.clear();
    second.GetOkButton()->click();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(second.isVisible());
}

TEST_F(PropertySheetTest, DoModalAnswersOkOrCancel)
{
    // The first page's controls show, and the sheet is as large as they need.
    QTimer::singleShot(0, &sheet, [this] {
        QWidget* edit = FindControl(&general, 1004);
        EXPECT_TRUE(edit && edit->isVisible());
        EXPECT_GE(general.height(), general.sizeHint().height());
        sheet.GetCancelButton()->click();
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    QTimer::singleShot(0, &sheet, [this] { sheet.GetOkButton()->click(); });
    EXPECT_EQ(sheet.DoModal(), IDOK);
}

} // namespace
