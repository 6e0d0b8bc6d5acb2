#include "settings/widgets/MapChooserDialog.h"

#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "shell/MapLinks.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Texts = std::vector<std::string>;

constexpr int kCmdOpen = 30198, kCmdAdd = 30199, kCmdRemove = 30200, kCmdRename = 30201, kCmdLarge = 30203,
              kCmdSmall = 30205, kCmdDetails = 30206;

// Three links in a user folder of the test's own, and the chooser over them.
class MapChooserDialogTest : public ::testing::Test, private CWithApplication {
protected:
    MapChooserDialogTest()
    {
        MakeFolder(dir.File("program/"));
        MakeFolder(dir.File("user/"));
        SetProgramFolderForTesting(dir.File("program/"));
        SetUserFolderForTesting(dir.File("user/"));
        for (const char* name : {"Vilnius", "Kaunas", "Klaipeda"})
            WriteWholeFile(dir.File(std::string("user/") + name + ".mln"),
                           std::string("[MapLink]\r\nTitle=") + name + "\r\nPath=" + dir.File(name) + ".map\r\n");
        links.LoadMapLinks();
    }
    ~MapChooserDialogTest() override
    {
        dialog.reset();
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
    }
    CMapChooserDialog& Open(int viewType = 0)
    {
        dialog = std::make_unique<CMapChooserDialog>(links, viewType);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    Texts Rows() const
    {
        Texts rows;
        const QStandardItemModel* model = dialog->GetModel();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.push_back(model->item(row, 0)->text().toStdString() + " | " +
                           FromQString(model->item(row, 1)->text()).substr(dir.Path().size()) + " | " +
                           std::to_string(model->item(row, 0)->data(Qt::UserRole).toInt()));
        return rows;
    }
    QToolButton* Button(int id) const { return FindControl<QToolButton>(dialog.get(), id); }
    // The context menu as the right click opens it, its entries updated.
    QMenu* Menu() const
    {
        QMenu* menu = dialog->GetContextMenu();
        EXPECT_EQ(GetControlId(menu), 253);
        if (menu)
            emit menu->aboutToShow();
        return menu;
    }
    static QAction* Entry(QMenu* menu, int id)
    {
        for (QAction* action : menu->actions())
            if (GetControlId(action) == id)
                return action;
        return nullptr;
    }

    CTempDir dir;
    CScriptedUserServices user;
    CMapLinks links;
    std::unique_ptr<CMapChooserDialog> dialog;
};

TEST_F(MapChooserDialogTest, TheLinksInOrderAndOpenNeedsASelection)
{
    Open(kMapListDetails);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Žemėlapiai"));
    EXPECT_EQ(GetControlId(dialog.get()), 252);
    // The links are numbered by their file names.
    EXPECT_EQ(Rows(), (Texts{"Kaunas | Kaunas.map | 0", "Klaipeda | Klaipeda.map | 1", "Vilnius | Vilnius.map | 2"}));
    const QStandardItemModel* model = dialog->GetModel();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Žemėlapis"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Failas"));
    const struct {
        int id;
        const char* text;
    } buttons[] = {{IDOK, "At&verti"},
                   {IDCANCEL, "&Atsisakyti"},
                   {kCmdAdd, "Pridėti..."},
                   {kCmdRemove, "Pašalinti"},
                   {kCmdLarge, "Didelės piktogramos"},
                   {kCmdSmall, "Mažos piktogramos"},
                   {kCmdDetails, "Detalus sąrašas"}};
    for (const auto& b : buttons) {
        QToolButton* button = Button(b.id);
        ASSERT_TRUE(button) << b.id;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.text).remove(QLatin1Char('&')));
        EXPECT_FALSE(button->icon().isNull()) << b.id;
    }
    SaveScreenshot(*dialog, "map-chooser-details");

    EXPECT_FALSE(Button(IDOK)->isEnabled());
    QTest::keyClick(dialog->GetDetailView(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->GetChosenLink(), -1);
    dialog->SelectItem(1);
    Button(IDOK)->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->GetChosenLink(), 1);
    EXPECT_EQ(dialog->result(), IDOK);
}

TEST_F(MapChooserDialogTest, AddingAppendsOnlyWhatTheLinksTook)
{
    WriteWholeFile(dir.File("Alytus.map"), "");
    Open();
    std::vector<std::string> offered = {dir.File("Alytus.map"), dir.File("Kaunas.map")};
    dialog->chooseMapFile = [&offered](std::string& path) {
        if (offered.empty())
            return false;
        path = offered.front();
        offered.erase(offered.begin());
        return true;
    };
    Button(kCmdAdd)->click();
    EXPECT_EQ(Rows().back(), "Alytus | Alytus.map | 3");
    Button(kCmdAdd)->click(); // linked already
    Button(kCmdAdd)->click(); // cancelled
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1068});
}

TEST_F(MapChooserDialogTest, RemovingTheFirstOfThreeLeavesIndexesZeroAndOne)
{
    Open();
    EXPECT_FALSE(Button(kCmdRemove)->isEnabled());
    dialog->SelectItem(0);
    EXPECT_TRUE(Button(kCmdRemove)->isEnabled());
    user.answers = {IDNO, IDYES};
    Button(kCmdRemove)->click();
    EXPECT_EQ(Rows().size(), 3u);
    // The Delete key in the list does the same.
    QWidget* list = dialog->GetIconView();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2017, 2017}));
    EXPECT_EQ(Rows(), (Texts{"Klaipeda | Klaipeda.map | 0", "Vilnius | Vilnius.map | 1"}));
    EXPECT_EQ(links.GetCount(), 2);
    dialog->SelectItem(1);
    Button(IDOK)->click();
    EXPECT_EQ(dialog->GetChosenLink(), 1);
    EXPECT_EQ(links.GetTitle(1), "Vilnius");
}

TEST_F(MapChooserDialogTest, ARenameIsKeptOnlyWhenTheLinksTookIt)
{
    Open();
    QStandardItemModel* model = dialog->GetModel();
    EXPECT_TRUE(model->setData(model->index(0, 0), QString::fromUtf8("Kaunas ir rajonas"), Qt::EditRole));
    EXPECT_EQ(model->item(0, 0)->text(), QString::fromUtf8("Kaunas ir rajonas"));
    EXPECT_EQ(links.GetTitle(0), "Kaunas ir rajonas");
    // The link file cannot be written: the user folder runs through a file.
    WriteWholeFile(dir.File("blocked"), "");
    SetUserFolderForTesting(dir.File("blocked/user/"));
    EXPECT_FALSE(model->setData(model->index(2, 0), QString::fromUtf8("Sostinė"), Qt::EditRole));
    EXPECT_EQ(model->item(2, 0)->text(), QString::fromUtf8("Vilnius"));
    EXPECT_EQ(links.GetTitle(2), "Vilnius");
    EXPECT_FALSE(model->item(0, 1)->isEditable()) << "the path is no title";
}

TEST_F(MapChooserDialogTest, ViewModesPressTheirButtonAndCheckTheirMenuEntry)
{
    Open(3);
    const struct {
        int command;
        MapListView view;
        const char* shot;
    } modes[] = {
        {kCmdLarge, kMapListLargeIcons, "map-chooser-large-icons"},
        {kCmdSmall, kMapListSmallIcons, "map-chooser-small-icons"},
        {kCmdDetails, kMapListDetails, "map-chooser-details-selected"},
    };
    EXPECT_EQ(dialog->GetView(), kMapListSmallIcons);
    QMenu* menu = Menu();
    ASSERT_TRUE(menu);
    for (const int id : {kCmdOpen, kCmdRemove, kCmdRename})
        EXPECT_FALSE(Entry(menu, id)->isEnabled()) << id;
    EXPECT_TRUE(Entry(menu, kCmdAdd)->isEnabled());
    dialog->SelectItem(2);
    menu = Menu();
    for (const int id : {kCmdOpen, kCmdRemove, kCmdRename})
        EXPECT_TRUE(Entry(menu, id)->isEnabled()) << id;

    for (const auto& mode : modes) {
        Button(mode.command)->click();
        EXPECT_EQ(dialog->GetView(), mode.view);
        menu = Menu();
        for (const auto& other : modes) {
            EXPECT_EQ(Button(other.command)->isChecked(), other.command == mode.command) << other.command;
            EXPECT_EQ(Entry(menu, other.command)->isChecked(), other.command == mode.command) << other.command;
        }
        const bool details = mode.view == kMapListDetails;
        EXPECT_EQ(dialog->findChild<QStackedWidget*>(QStringLiteral("1014"))->currentWidget(),
                  details ? static_cast<QWidget*>(dialog->GetDetailView()) : dialog->GetIconView());
        if (!details) {
            EXPECT_EQ(dialog->GetIconView()->viewMode(),
                      mode.view == kMapListLargeIcons ? QListView::IconMode : QListView::ListMode);
        }
        EXPECT_EQ(dialog->GetSelectedItem(), 2) << "the selection stays";
        if (details) {
            EXPECT_NEAR(dialog->GetDetailView()->columnWidth(0), dialog->GetDetailView()->viewport()->width() / 3, 2);
        }
        SaveScreenshot(*dialog, mode.shot);
    }
    // The menu's entries switch too.
    Entry(Menu(), kCmdLarge)->trigger();
    EXPECT_EQ(dialog->GetView(), kMapListLargeIcons);
    EXPECT_TRUE(Button(kCmdLarge)->isChecked());
}

TEST_F(MapChooserDialogTest, TheListFollowsTheDialogsSize)
{
    Open(kMapListDetails);
    auto* list = dialog->findChild<QStackedWidget*>(QStringLiteral("1014"));
    const QSize before = list->size();
    dialog->resize(dialog->width() + 200, dialog->height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->width(), before.width() + 200);
    EXPECT_EQ(list->height(), before.height() + 100);
    const QTreeView* details = dialog->GetDetailView();
    EXPECT_NEAR(details->columnWidth(0), details->viewport()->width() / 3, 2);
}

} // namespace
