#include "tests/shell/widgets/app/AppFixture.h"

#include "mapdoc/AddressTable.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/ToolbarTable.h"
#include "shell/BarState.h"
#include "shell/BestMapChoice.h"
#include "shell/MainFrameBarTable.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/CommErrorsDlg.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/CustomToolBar.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MdiChild.h"
#include "shell/widgets/ToleranceDlg.h"
#include "shell/widgets/ToolbarCustomizeDialog.h"
#include "tests/shell/FakeGps.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <set>

namespace {

using Ids = std::vector<int>;
using Texts = std::vector<std::string>;

// The program started with its toolbars.
class MainFrameBarsTest : public CAppFixture {
protected:
    MainFrameBarsTest() { InstallMainFrameBars(); }
    ~MainFrameBarsTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
    }

    CMainFrameBars& Bars() { return dynamic_cast<CMainFrameBars&>(MainToolbars()); }
    CCustomToolBar* Bar(int id) { return Bars().Bar(id); }
    bool Shown(int id) { return !Bar(id)->isHidden(); }
    std::string ConfigName() const { return app.ConfigFile().GetFileName(); }
    void WriteConfig(const std::string& text) const { WriteWholeFile(ProgramFile(ConfigName()), text); }
    template <class Box = QWidget>
    Box* FindBox(int id)
    {
        return FindControl<Box>(frame, id);
    }
    // The command ids of a bar's buttons, 0 for separators, the box ids of its boxes.
    static Ids Buttons(QToolBar* bar)
    {
        Ids ids;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                ids.push_back(0);
            else if (const QWidget* widget = bar->widgetForAction(action); widget && !action->data().isValid())
                ids.push_back(GetControlId(widget) ? GetControlId(widget)
                                                   : GetControlId(widget->findChild<QWidget*>()));
            else
                ids.push_back(action->data().toInt());
        }
        return ids;
    }
    static QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
    // Room for every bar of a row: an overflowing bar tucks its boxes away.
    void Widen()
    {
        frame->showNormal();
        frame->resize(1400, 800);
        QCoreApplication::processEvents();
    }
};

TEST_F(MainFrameBarsTest, BarsByTheConfigurationFile)
{
    struct Case {
        const char* config;
        Ids shown;
        bool cityBox;
        bool houseBox;
        bool adminListed;
    };
    const Case cases[] = {
        {"", {kMainBar, kScaleBar}, false, false, false},
        {"[AddressToolbar]\r\nInitiallyVisible=1\r\nCityList=1\r\nHouseNumbers=1\r\n",
         {kAddressBar, kMainBar, kScaleBar},
         true,
         true,
         false},
        {"[AddressToolbar]\r\nInitiallyVisible=1\r\nCityList=0\r\nHouseNumbers=2\r\n",
         {kAddressBar, kMainBar, kScaleBar},
         false,
         false,
         false},
        {"[AdminToolbar]\r\nHidden=0\r\n[BookmarkToolbar]\r\nInitiallyVisible=1\r\n[LayerToolbar]\r\nInitiallyVisible=1\r\n",
         {kLayerWorkBar, kMainBar, kScaleBar, kAdminSearchBar, kPlacesBar},
         false,
         false,
         true},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        ASSERT_TRUE(Start());
        Ids shown;
        for (const CMainFrameBarInfo& info : MainFrameBars())
            if (Shown(info.resourceId))
                shown.push_back(info.resourceId);
        EXPECT_EQ(shown, c.shown) << c.config;
        EXPECT_EQ(Bars().BoxSlot(kCityBox)->isVisible(), c.cityBox) << c.config;
        EXPECT_EQ(Bars().BoxSlot(kHouseNumberBox)->isVisible(), c.houseBox) << c.config;
        EXPECT_TRUE(Bars().BoxSlot(kStreetBox)->isVisible());
        std::vector<CCustomToolBar*> listed = Bars().ToolbarListBars();
        EXPECT_EQ(std::find(listed.begin(), listed.end(), Bar(kAdminSearchBar)) != listed.end(), c.adminListed)
            << c.config;
        Stop();
    }
}

TEST_F(MainFrameBarsTest, TheAddressBarShowsFromTheStartAfterTheFirstStreetBoxEnabling)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Shown(kAddressBar));
    MainToolbars().EnableStreetBox(false);
    EXPECT_FALSE(PathExists(UserFile(ConfigName())));
    MainToolbars().EnableStreetBox(true);
    MainToolbars().EnableHouseNumbers(true);
    EXPECT_TRUE(FindBox(kStreetBox)->isEnabled());
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "InitiallyVisible", -1, UserFile(ConfigName())), 1);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "HouseNumbers", -1, UserFile(ConfigName())), 1);
    EXPECT_EQ(GetPrivateProfileInt("AddressToolbar", "CityList", -1, UserFile(ConfigName())), -1);
    EXPECT_FALSE(Shown(kAddressBar)); // from the next start
    Stop();

    ASSERT_TRUE(Start());
    EXPECT_TRUE(Shown(kAddressBar));
    EXPECT_TRUE(Bars().BoxSlot(kHouseNumberBox)->isVisible());
    EXPECT_FALSE(Bars().BoxSlot(kCityBox)->isVisible());
    auto* house = FindBox<QLineEdit>(kHouseNumberBox);
    house->setText("12");
    MainToolbars().EnableHouseNumbers(false);
    EXPECT_EQ(house->text(), "");
    EXPECT_FALSE(house->isEnabled());
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainFrameBarsTest, DockingSidesCustomisationAndTheMainBarsButtons)
{
    ASSERT_TRUE(Start());
    std::set<int> customisable;
    for (const CMainFrameBarInfo& info : MainFrameBars()) {
        CCustomToolBar* bar = Bar(info.resourceId);
        ASSERT_TRUE(bar) << info.resourceId;
        EXPECT_EQ(bar->windowTitle(), ToQString(LoadString(info.captionId)));
        const Qt::ToolBarAreas areas = info.topBottomOnly ? Qt::TopToolBarArea | Qt::BottomToolBarArea
                                                          : Qt::AllToolBarAreas;
        EXPECT_EQ(bar->allowedAreas(), areas) << info.resourceId;
        if (bar->IsCustomisable())
            customisable.insert(info.resourceId);
    }
    EXPECT_EQ(customisable, (std::set<int>{kLayerWorkBar, kMainBar, kRouteSearchBar, kObjectEditingBar,
                                           kLineEditingBar, kAttributeTableBar}));
    EXPECT_EQ(Bar(kMainBar)->objectName(), "59392");
    const Ids main = Buttons(Bar(kMainBar));
    for (const int removed : {57603, 30091, 57609, 30336, 30018})
        EXPECT_EQ(std::count(main.begin(), main.end(), removed), 0) << removed;
    EXPECT_EQ(main.front(), kCmdFileOpen);
    EXPECT_EQ(Buttons(Bar(kScaleBar)), (Ids{kScaleLabelBox, kScaleBox}));
    EXPECT_EQ(Buttons(Bar(kAddressBar)), (Ids{kCityBox, kStreetBox, kHouseNumberBox, 30331}));
    EXPECT_EQ(FindBox<QLabel>(kScaleLabelBox)->text(), "1: ");
}

TEST_F(MainFrameBarsTest, BoxesTakeTheirWidthsFromTheToolbarFont)
{
    ASSERT_TRUE(Start());
    const QFontMetrics metrics(Bars().GetToolbarFont());
    const auto width = [&metrics](const char* text) { return metrics.horizontalAdvance(QString::fromLatin1(text)); };
    const int name = width("Xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
    ASSERT_LT(frame->screen()->geometry().width(), 1000); // the offscreen screen
    const std::pair<int, int> widths[] = {
        {kCityBox, width("XAdresas:") * 5 / 2},
        {kStreetBox, width("XAdresas:") * 7 / 2},
        {kHouseNumberBox, width("9999999")},
        {kPlacesBox, name},
        {kScaleLabelBox, std::max(10, width("1: ") + 1)},
        {kScaleBox, 80},
        {kAdminCountyBox, name * 4 / 5},
        {kAdminStreetBox, name * 4 / 5},
        {kAdminHouseNumberBox, width("9999999")},
        {kReplaySpeedBox, 52},
        {kReplayPointBox, 48},
    };
    for (const auto& [id, expected] : widths) {
        QWidget* box = FindBox(id);
        ASSERT_TRUE(box) << id;
        EXPECT_EQ(box->width(), expected) << id;
        EXPECT_EQ(box->font().family(), Bars().GetToolbarFont().family()) << id;
    }
    EXPECT_EQ(Bars().BoxSlot(kReplaySpeedBox)->parent(), Bar(kPlaybackBar));
    EXPECT_EQ(Bar(kPlaybackBar)->widgetForAction(Bars().BoxSlot(kReplaySpeedBox))->width(), 60);
    EXPECT_EQ(Bar(kPlaybackBar)->widgetForAction(Bars().BoxSlot(kReplayPointBox))->width(), 54);

    const std::pair<int, int> limits[] = {{kScaleBox, 12}, {kHouseNumberBox, 5}, {kReplayPointBox, 6},
                                          {kAdminHouseNumberBox, 5}};
    for (const auto& [id, limit] : limits)
        EXPECT_EQ(FindBox<QLineEdit>(id)->maxLength(), limit) << id;
    EXPECT_EQ(FindBox<QComboBox>(kStreetBox)->lineEdit()->maxLength(), 50);
    EXPECT_EQ(FindBox<QComboBox>(kAdminStreetBox)->lineEdit()->maxLength(), 50);

    // Enabled at the start: the street box, the house numbers, the scale and replay boxes.
    const std::pair<int, bool> enabled[] = {{kCityBox, false},       {kPlacesBox, false},     {kAdminCountyBox, false},
                                            {kAdminStreetBox, false}, {kAdminHouseNumberBox, false},
                                            {kReplaySpeedBox, true},  {kReplayPointBox, true}};
    for (const auto& [id, on] : enabled)
        EXPECT_EQ(FindBox(id)->isEnabled(), on) << id;
}

TEST_F(MainFrameBarsTest, SortedCombosInLithuanianOrderWithListsTallerThanTheirSlot)
{
    ASSERT_TRUE(Start());
    IToolbarBox* county = MainToolbars().FindBox(kAdminCountyBox);
    ASSERT_TRUE(county);
    const char* names[] = {"Zarasai", "Šiauliai", "Alytus", "Žiežmariai", "Sėdos", "Čekiškė", "Cirkliškis", "Ąžuolynas",
                           " <Apskritis>"};
    intptr_t data = 0;
    for (const char* name : names)
        county->AddString(FromQString(QString::fromUtf8(name)), data++);
    Texts order;
    for (int i = 0; i < county->GetCount(); ++i)
        order.push_back(ToQString(county->GetItemText(i)).toStdString());
    EXPECT_EQ(order, (Texts{" <Apskritis>", "Alytus", "Ąžuolynas", "Cirkliškis", "Čekiškė", "Sėdos", "Šiauliai",
                            "Zarasai", "Žiežmariai"}));
    EXPECT_EQ(county->GetItemData(0), 8);
    EXPECT_EQ(county->GetItemData(2), 7);
    county->SetCurSel(2);
    EXPECT_EQ(ToQString(county->GetText()), QString::fromUtf8("Ąžuolynas"));

    // The replay speeds keep their order.
    auto* speed = FindBox<QComboBox>(kReplaySpeedBox);
    EXPECT_EQ(speed->itemText(4), "x100");

    auto* places = FindBox<QComboBox>(kPlacesBox);
    for (int i = 0; i < 60; ++i)
        MainToolbars().FindBox(kPlacesBox)->AddString("Vieta " + std::to_string(100 + i));
    places->setEnabled(true);
    frame->resize(800, 600);
    QCoreApplication::processEvents();
    places->showPopup();
    QWidget* popup = places->view()->window();
    ASSERT_TRUE(WaitFor([popup] { return popup->isVisible(); }));
    EXPECT_EQ(popup->height(), kDropDownListExtra);
    places->hidePopup();
}

TEST_F(MainFrameBarsTest, TheFirstLayoutDocksInTheGivenOrder)
{
    ASSERT_TRUE(Start());
    for (const CMainFrameBarInfo& info : MainFrameBars())
        MainToolbars().ShowBar(info.resourceId, true);
    QCoreApplication::processEvents();
    const auto y = [this](int id) { return Bar(id)->geometry().y(); };
    const auto x = [this](int id) { return Bar(id)->geometry().x(); };
    for (const int id : {kMainBar, kScaleBar, kAddressBar, kRouteSearchBar, kAdminSearchBar, kAttributeTableBar,
                         kDiagramBar})
        EXPECT_EQ(frame->toolBarArea(Bar(id)), Qt::TopToolBarArea) << id;
    EXPECT_EQ(y(kScaleBar), y(kMainBar));
    EXPECT_EQ(y(kAddressBar), y(kMainBar));
    EXPECT_EQ(y(kRouteSearchBar), y(kMainBar));
    EXPECT_LT(x(kMainBar), x(kScaleBar));
    EXPECT_LT(x(kScaleBar), x(kAddressBar));
    EXPECT_LT(x(kAddressBar), x(kRouteSearchBar));
    EXPECT_LT(y(kMainBar), y(kAdminSearchBar));
    EXPECT_LT(y(kAdminSearchBar), y(kAttributeTableBar));
    EXPECT_LT(y(kAttributeTableBar), y(kDiagramBar));
    EXPECT_EQ(frame->toolBarArea(Bar(kObjectEditingBar)), Qt::RightToolBarArea);
    EXPECT_EQ(frame->toolBarArea(Bar(kLineEditingBar)), Qt::RightToolBarArea);
    EXPECT_FALSE(frame->toolBarBreak(Bar(kLineEditingBar)));
    const std::pair<int, QPoint> floating[] = {
        {kPlaybackBar, {300, 150}}, {kLayerWorkBar, {260, 200}}, {kPlacesBar, {180, 150}}};
    for (const auto& [id, at] : floating) {
        EXPECT_TRUE(Bar(id)->isFloating()) << id;
        EXPECT_EQ(Bar(id)->pos(), at) << id;
        EXPECT_EQ(Bar(id)->orientation(), Qt::Horizontal);
    }
    SaveScreenshot(*frame, "main-frame-all-bars");
}

TEST_F(MainFrameBarsTest, TheSavedLayoutComesBackUnlessItNamesABarThatIsGone)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Run(30014)); // route search shown
    EXPECT_TRUE(Run(30023)); // object editing shown
    MainToolbars().ShowBar(kScaleBar, false);
    CloseAsUser();
    CBarState saved;
    ASSERT_TRUE(saved.Load("TB"));
    EXPECT_EQ(saved.bars.size(), 12u);
    EXPECT_TRUE(saved.Load("General"));

    ASSERT_TRUE(Start());
    EXPECT_TRUE(Shown(kRouteSearchBar));
    EXPECT_TRUE(Shown(kObjectEditingBar));
    EXPECT_FALSE(Shown(kScaleBar));
    frame->Actions().UpdateAll();
    EXPECT_TRUE(frame->Actions().Action(30014)->isChecked());
    EXPECT_FALSE(frame->Actions().Action(30087)->isChecked());
    Stop();

    // A build with one more bar saved it.
    saved.Load("TB");
    saved.bars.push_back("999");
    saved.Save("TB");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Shown(kRouteSearchBar));
    EXPECT_TRUE(Shown(kScaleBar));
}

TEST_F(MainFrameBarsTest, TheCustomiseDialogEditsTheBarAtOnceAndTheBarKeepsItsArrangement)
{
    // A saved arrangement naming a command the bar never had.
    CAppProfile::Instance().WriteString("Toolbars", "TB124", "30036,99999,0,30032");
    ASSERT_TRUE(Start());
    CCustomToolBar* route = Bar(kRouteSearchBar);
    EXPECT_EQ(Buttons(route), (Ids{30036, 0, 30032}));
    ASSERT_TRUE(app.UsesOwnMessageBox());

    WithModal([route] { route->Customize(); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(dialog.windowTitle(), Text("Įrankių juostos priderinimas"));
                  const std::pair<int, const char*> buttons[] = {
                      {1, "Pridėti ->"}, {204, "<- Pašalinti"}, {2, "Uždaryti"},
                      {202, "Pradinė"},  {206, "Aukštyn"},      {207, "Žemyn"}};
                  for (const auto& [id, text] : buttons)
                      EXPECT_EQ(FindControl<QPushButton>(&dialog, id)->text(), Text(text)) << id;
                  EXPECT_TRUE(FindControl<QPushButton>(&dialog, 205)->isHidden());
                  auto* offered = FindControl<QListWidget>(&dialog, 201);
                  auto* current = FindControl<QListWidget>(&dialog, 203);
                  const auto labelOf = [&dialog](QWidget* list) {
                      for (QLabel* label : dialog.findChildren<QLabel*>())
                          if (label->buddy() == list)
                              return label->text();
                      return QString();
                  };
                  EXPECT_EQ(labelOf(offered), Text("Neįtraukti mygtukai:"));
                  EXPECT_EQ(labelOf(current), Text("Įtraukti mygtukai:"));
                  // Offered: a separator, then the loaded buttons the bar does not show.
                  ASSERT_EQ(offered->count(), 6);
                  EXPECT_EQ(offered->item(0)->text(), Text("Skirtukas"));
                  EXPECT_EQ(offered->item(1)->text(), Text("Finišas"));
                  EXPECT_EQ(current->count(), 4); // three and the end row

                  // Add "Finišas" before the first, remove the separator, move the first down.
                  offered->setCurrentRow(1);
                  current->setCurrentRow(0);
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
                  EXPECT_EQ(Buttons(route), (Ids{30033, 30036, 0, 30032}));
                  current->setCurrentRow(2);
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 204), Qt::LeftButton);
                  current->setCurrentRow(0);
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 207), Qt::LeftButton);
                  EXPECT_EQ(Buttons(route), (Ids{30036, 30033, 30032}));
                  EXPECT_EQ(current->currentRow(), 1);
                  SaveScreenshot(dialog, "toolbar-customise");

                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 202), Qt::LeftButton);
                  EXPECT_EQ(Buttons(route), (Ids{30032, 30033, 30034, 30094, 0, 30035, 30036, 0, 30620}));
                  current->setCurrentRow(1);
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 204), Qt::LeftButton);
              });
    EXPECT_EQ(Buttons(route), (Ids{30032, 30034, 30094, 0, 30035, 30036, 0, 30620}));
    EXPECT_EQ(CAppProfile::Instance().GetString("Toolbars", "TB124"), "30036,99999,0,30032"); // when the bar goes
    Stop();
    EXPECT_EQ(CAppProfile::Instance().GetString("Toolbars", "TB124"), "30032,30034,30094,0,30035,30036,0,30620");

    ASSERT_TRUE(Start());
    EXPECT_EQ(Buttons(Bar(kRouteSearchBar)), (Ids{30032, 30034, 30094, 0, 30035, 30036, 0, 30620}));
}

TEST_F(MainFrameBarsTest, ResetNeverBringsBackTheMainBarsRemovedButtons)
{
    ASSERT_TRUE(Start());
    CCustomToolBar* main = Bar(kMainBar);
    const Ids loaded = Buttons(main);
    main->Model()->Remove(0);
    main->Model()->Reset();
    main->OnToolbarChanged();
    EXPECT_EQ(Buttons(main), loaded);
}

TEST_F(MainFrameBarsTest, TheBarMenuOffersCustomisingAlsoForAnEmptiedBar)
{
    ASSERT_TRUE(Start());
    const auto menuIds = [](CCustomToolBar* bar) {
        std::unique_ptr<QMenu> menu(bar->MakeContextMenu());
        Ids ids;
        for (const QAction* item : menu->actions())
            ids.push_back(GetControlId(item));
        return ids;
    };
    CCustomToolBar* editing = Bar(kObjectEditingBar);
    EXPECT_EQ(menuIds(editing), (Ids{30457, 30481}));
    while (!editing->Model()->GetButtons().empty())
        editing->Model()->Remove(0);
    editing->OnToolbarChanged();
    EXPECT_TRUE(editing->actions().isEmpty());
    EXPECT_EQ(menuIds(editing), (Ids{30457, 30481}));
    EXPECT_EQ(menuIds(Bar(kScaleBar)), Ids{30457}); // not one the user rearranges
    EXPECT_EQ(menuIds(Bar(kDiagramBar)), Ids{30457});

    std::unique_ptr<QMenu> menu(Bar(kScaleBar)->MakeContextMenu());
    EXPECT_EQ(menu->actions()[0]->text(), Text("Įrankių juostos..."));
    WithModal([&] { menu->actions()[0]->trigger(); },
              [](QWidget& dialog) { EXPECT_EQ(GetControlId(&dialog), 379); });
}

TEST_F(MainFrameBarsTest, EnglishLabelsWithoutTheOwnMessageBox)
{
    ASSERT_TRUE(Start());
    CToolbarCustomizeDialog dialog(*Bar(kMainBar), frame->Actions(), false, frame);
    EXPECT_EQ(dialog.windowTitle(), "Customize Toolbar");
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 1)->text(), "Add ->");
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 202)->text(), "Reset");
    EXPECT_EQ(FindControl<QListWidget>(&dialog, 201)->item(0)->text(), "Separator");
}

TEST_F(MainFrameBarsTest, TheToolbarListShowsHidesAndCustomises)
{
    WriteConfig("[AdminToolbar]\r\nHidden=1\r\n");
    ASSERT_TRUE(Start());
    MainToolbars().SetPlaybackBarFlag(true);
    EXPECT_TRUE(IsEnabled(30457));
    WithModal([this] { Run(30457); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(dialog.windowTitle(), Text("Įrankių juostos"));
                  auto* list = FindControl<QListWidget>(&dialog, 1014);
                  auto* customise = FindControl<QPushButton>(&dialog, 1055);
                  ASSERT_TRUE(list && customise);
                  QStringList captions;
                  for (int i = 0; i < list->count(); ++i)
                      captions << list->item(i)->text();
                  EXPECT_EQ(captions, (QStringList{Text("Pagrindinė"), Text("Mastelis"),
                                                   Text("Gatvių ir adresų paieška"), Text("Mano vietos"),
                                                   Text("Judėjimo atkūrimas")}));
                  EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
                  EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);

                  list->item(1)->setCheckState(Qt::Unchecked);
                  EXPECT_FALSE(Shown(kScaleBar)); // at once
                  list->item(2)->setCheckState(Qt::Checked);
                  EXPECT_TRUE(Shown(kAddressBar));

                  list->setCurrentRow(0);
                  EXPECT_TRUE(customise->isEnabled());
                  list->setCurrentRow(1);
                  EXPECT_FALSE(customise->isEnabled());
                  list->setCurrentRow(0);
                  EXPECT_EQ(FindControl<QPushButton>(&dialog, IDOK)->text(), Text("Uždaryti"));
                  // Customising: the list waits, disabled, and takes the focus back.
                  list->setFocus();
                  bool customised = false;
                  QTimer::singleShot(0, [&] {
                      QWidget* nested = QApplication::activeModalWidget();
                      ASSERT_TRUE(nested);
                      customised = nested->windowTitle() == Text("Įrankių juostos priderinimas");
                      EXPECT_FALSE(dialog.isEnabled());
                      nested->close();
                  });
                  customise->click(); // as its key would, leaving the focus where it is
                  EXPECT_TRUE(customised);
                  EXPECT_TRUE(dialog.isEnabled());
                  EXPECT_EQ(dialog.focusWidget(), list);
                  SaveScreenshot(dialog, "toolbar-list");
              });
    EXPECT_FALSE(Shown(kScaleBar));
    CloseAsUser();
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Shown(kScaleBar)); // the layout saved at exit
    EXPECT_TRUE(Shown(kAddressBar));
}

TEST_F(MainFrameBarsTest, ToleranceFromZeroToOneThousandMetres)
{
    ASSERT_TRUE(Start());
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {{"1000", true}, {"1000.5", false}, {"", false}, {"-1", false}, {"0", true},
                          {"25.5", true}, {"abc", false}};
    for (const Case& c : cases) {
        shown.clear();
        CToleranceDlg dialog(frame);
        EXPECT_EQ(GetControlId(&dialog), 287);
        EXPECT_EQ(dialog.windowTitle(), "Tolerancija");
        dialog.show();
        auto* edit = FindControl<QLineEdit>(&dialog, 1017);
        ASSERT_TRUE(edit);
        edit->setText(QString::fromLatin1(c.text));
        QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
        EXPECT_EQ(dialog.result() == IDOK, c.accepted) << c.text;
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.text;
        EXPECT_EQ(shown.empty(), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_EQ(dialog.GetTolerance(), std::atof(c.text)) << c.text;
        }
    }
    // The next one starts with the last accepted value.
    CToleranceDlg next(frame);
    EXPECT_EQ(next.GetTolerance(), 25.5);
}

// What a confirmed choice asked of the searches.
class CLoggingSearchHooks : public IToolbarSearchHooks {
public:
    CLoggingSearchHooks() { SetToolbarSearchHooks(this); }
    ~CLoggingSearchHooks() override { SetToolbarSearchHooks(nullptr); }
    void FillCityStreetCombos(CDrelDoc& owner, int refill) override
    {
        log.push_back({&owner, refill});
    }
    void OnAdminComboSelChange(CDrelDoc& activeMap, int comboId) override { log.push_back({&activeMap, comboId}); }
    std::vector<std::pair<CDrelDoc*, int>> log;
};

TEST_F(MainFrameBarsTest, CombosCompleteWhatIsTyped)
{
    ASSERT_TRUE(Start());
    MainToolbars().ShowBar(kAdminSearchBar, true);
    IToolbarBox* street = MainToolbars().FindBox(kAdminStreetBox);
    street->AddString("Visaginas");
    street->AddString("Vilnius");
    street->Enable(true);
    auto* combo = FindBox<QComboBox>(kAdminStreetBox);
    QLineEdit* edit = combo->lineEdit();
    Widen();
    ASSERT_TRUE(FocusOn(edit));

    QTest::keyClick(edit, Qt::Key_V, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "Vilnius");
    EXPECT_EQ(edit->selectedText(), "ilnius");
    QTest::keyClicks(edit, "is");
    EXPECT_EQ(edit->text(), "Visaginas");
    EXPECT_EQ(edit->selectedText(), "aginas");
    // Deleting never completes.
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "Vis");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "Vi");
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(edit->text(), "Vix"); // nothing begins so
    EXPECT_EQ(combo->count(), 2);   // typing adds nothing to the list

    // A box with an owner document leaves the text as typed.
    CDrelDoc owner;
    IToolbarBox* address = MainToolbars().FindBox(kStreetBox);
    address->AddString("Vilniaus g.");
    address->SetOwnerDocument(&owner);
    QLineEdit* addressEdit = FindBox<QComboBox>(kStreetBox)->lineEdit();
    MainToolbars().ShowBar(kAddressBar, true);
    FindBox<QComboBox>(kStreetBox)->setEnabled(true);
    QTest::keyClicks(addressEdit, "Vil");
    EXPECT_EQ(addressEdit->text(), "Vil");
    address->SetOwnerDocument(nullptr);
}

TEST_F(MainFrameBarsTest, AConfirmedChoiceTellsTheSearches)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    CDrelDoc* map = frame->GetActiveMapDocument();
    ASSERT_TRUE(map);
    CLoggingSearchHooks hooks;
    MainToolbars().ShowBar(kAdminSearchBar, true);
    MainToolbars().ShowBar(kAddressBar, true);

    IToolbarBox* county = MainToolbars().FindBox(kAdminCountyBox);
    county->AddString(" <Apskritis>", -1);
    county->AddString("Vilniaus apskritis", 0);
    county->Enable(true);
    auto* countyCombo = FindBox<QComboBox>(kAdminCountyBox);
    countyCombo->setCurrentIndex(0);
    QTest::keyClick(countyCombo, Qt::Key_Down);
    ASSERT_EQ(hooks.log.size(), 1u);
    EXPECT_EQ(hooks.log[0], std::make_pair(map, int{kAdminCountyBox}));
    EXPECT_EQ(county->GetItemData(county->GetCurSel()), 0);

    CDrelDoc owner;
    IToolbarBox* city = MainToolbars().FindBox(kCityBox);
    city->ResetContent(); // the demo map's own cities
    city->AddString("Kaunas");
    city->AddString("Alytus");
    city->SetOwnerDocument(&owner);
    auto* cityCombo = FindBox<QComboBox>(kCityBox);
    cityCombo->setEnabled(true);
    cityCombo->setCurrentIndex(0);
    QTest::keyClick(cityCombo, Qt::Key_Down);
    ASSERT_EQ(hooks.log.size(), 2u);
    EXPECT_EQ(hooks.log[1], std::make_pair(&owner, 1));
    EXPECT_EQ(city->GetText(), "Kaunas");

    // The owner goes: its boxes are emptied.
    city->SetOwnerDocument(map);
    app.DocManager().CloseAllDocuments();
    FlushDeletes();
    EXPECT_EQ(city->GetCount(), 0);
    EXPECT_EQ(city->GetOwnerDocument(), nullptr);
    EXPECT_EQ(county->GetCount(), 2); // no owner: not the map's
}

TEST_F(MainFrameBarsTest, TheReplaySpeedComboFollowsTheReplay)
{
    CLoggingGpsHooks hooks;
    hooks.speedFactor = 10;
    ASSERT_TRUE(Start());
    auto* speed = FindBox<QComboBox>(kReplaySpeedBox);
    EXPECT_EQ(speed->currentIndex(), 3);
    QStringList entries;
    for (int i = 0; i < speed->count(); ++i)
        entries << speed->itemText(i);
    EXPECT_EQ(entries, (QStringList{"x1", "x2", "x5", "x10", "x100"}));
    hooks.speedFactor = 3;
    MainToolbars().UpdateReplaySpeed();
    EXPECT_EQ(speed->currentIndex(), -1);

    MainToolbars().ShowBar(kPlaybackBar, true);
    speed->setCurrentIndex(1);
    QTest::keyClick(speed, Qt::Key_Down);
    EXPECT_EQ(hooks.speedFactor, 5);
    EXPECT_EQ(hooks.log, Texts{"speed 5"});
}

TEST_F(MainFrameBarsTest, EnterInTheBoxesAndTheirEnablingThroughTheRoute)
{
    CLoggingGpsHooks hooks;
    ASSERT_TRUE(Start({DemoMapPath()}));
    CMdiChild* child = frame->ActiveChild();
    ASSERT_TRUE(child);
    std::vector<int> ran;
    // Handlers in the map window in place of its own, and the address
    // search's rules, as the address search will register them.
    for (const int id : {30004, 30331})
        child->Commands().On(id, [&ran, id] { ran.push_back(id); });
    for (const int id : {static_cast<int>(kStreetBox), 30331})
        child->Commands().OnUpdate(id, [](CCommandState& state) { state.Enable(true); });

    auto* scale = FindBox<QLineEdit>(kScaleBox);
    auto* street = FindBox<QComboBox>(kStreetBox);
    auto* house = FindBox<QLineEdit>(kHouseNumberBox);
    frame->Actions().UpdateToolbarItems();
    EXPECT_TRUE(scale->isEnabled());
    EXPECT_TRUE(street->isEnabled());
    EXPECT_TRUE(house->isEnabled()); // the demo map names its streets and addresses
    EXPECT_TRUE(FindBox(kScaleLabelBox)->isEnabled()); // with the scale box, while a map window is active

    ViewHost().SetScaleText(25000);
    EXPECT_EQ(frame->GetScaleText(), 25000);
    Widen();
    ASSERT_TRUE(FocusOn(scale));
    QTest::keyClick(scale, Qt::Key_Return);
    MainToolbars().ShowBar(kAddressBar, true);
    ASSERT_TRUE(FocusOn(street->lineEdit()));
    const int streets = street->count(); // the demo map's
    QTest::keyClicks(street->lineEdit(), "Gedimino");
    QTest::keyClick(street->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(ran, (Ids{30004, 30331}));
    EXPECT_EQ(street->count(), streets);

    MainToolbars().ShowBar(kPlaybackBar, true);
    auto* point = FindBox<QLineEdit>(kReplayPointBox);
    point->setText("7");
    ASSERT_TRUE(FocusOn(point));
    QTest::keyClick(point, Qt::Key_Return);
    EXPECT_EQ(hooks.log, Texts{"replay point 6"});
    EXPECT_TRUE(shown.empty());
}

// The address bar as a new user meets it: switched on after the first map
// with streets, its boxes all there; a street picked from the list, typed
// whole or typed in part, then a house number, shows that house.
TEST_F(MainFrameBarsTest, TheAddressBarFindsAHouseAsTheUserTypesOrPicks)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    EXPECT_FALSE(Shown(kAddressBar));
    EXPECT_TRUE(Run(30356)); // "Rodymas": the address bar
    EXPECT_TRUE(Shown(kAddressBar));
    Widen();
    frame->Actions().UpdateToolbarItems();
    for (const int box : {kCityBox, kStreetBox, kHouseNumberBox}) {
        EXPECT_TRUE(Bars().BoxSlot(box)->isVisible()) << box;
        EXPECT_TRUE(FindBox(box)->isEnabled()) << box;
    }
    auto* street = FindBox<QComboBox>(kStreetBox);
    auto* house = FindBox<QLineEdit>(kHouseNumberBox);
    CDrelDoc* map = frame->GetActiveMapDocument();
    CDrelView* view = frame->GetActiveMapView();
    // Where house 12 of the street is.
    const auto houseOf = [&](const QString& name) {
        const int item = street->findText(name);
        EXPECT_GE(item, 0) << name.toStdString();
        CAddressResult result;
        EXPECT_TRUE(map->CollectStreetAddresses(map->GetStreetCode(street->itemData(item).toInt()), "12", result));
        EXPECT_EQ(result.status, 0) << name.toStdString();
        return result.point;
    };
    const QString dvaro = Text("Dvaro g."), strazdo = Text("Strazdo g.");
    const auto type = [&](const QString& text) {
        ASSERT_TRUE(FocusOn(street->lineEdit()));
        street->lineEdit()->selectAll();
        QTest::keyClicks(street->lineEdit(), text);
    };
    const struct {
        const char* how;
        QString typed;  // empty: picked from the list
        QString shown;  // in the box then
        QString street; // whose house is shown
    } cases[] = {
        {"picked", "", dvaro, dvaro},
        {"typed whole", strazdo, strazdo, strazdo},
        {"typed in part after another was chosen", Text("dvar"), Text("dvar"), dvaro},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        if (c.typed.isEmpty()) {
            ASSERT_TRUE(FocusOn(street));
            street->showPopup();
            QAbstractItemView* list = street->view();
            ASSERT_TRUE(WaitFor([list] { return list->isVisible(); }));
            list->setCurrentIndex(list->model()->index(street->findText(c.street), 0));
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            type(c.typed);
        }
        EXPECT_EQ(street->currentText(), c.shown);
        ASSERT_TRUE(FocusOn(house));
        EXPECT_EQ(street->currentText(), c.shown) << "the street stays when the focus moves on";
        house->clear();
        QTest::keyClicks(house, "12");
        QTest::keyClick(house, Qt::Key_Return);
        EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown.front());
        shown.clear();
        EXPECT_EQ(frame->GetPaneText(121), FromQString(c.shown) + " 12");
        const CMapRect extent = view->GetMapExtent();
        const CMapPoint found = houseOf(c.street);
        EXPECT_NEAR((extent.left + extent.right) / 2, found.x, 1e-6);
        EXPECT_NEAR((extent.top + extent.bottom) / 2, found.y, 1e-6);
    }
    SaveScreenshot(*frame, "address-bar-house-found");
}

TEST_F(MainFrameBarsTest, ConnectionErrorsCollectUntilCleared)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(frame->GetCommErrorsWindow(), nullptr);
    frame->AppendConnectionError("COM1: nepavyko atidaryti");
    frame->AppendConnectionError("COM1: ryšys nutrūko");
    CCommErrorsDlg* errors = frame->GetCommErrorsWindow();
    ASSERT_TRUE(errors);
    ASSERT_TRUE(WaitFor([errors] { return errors->isVisible(); }));
    EXPECT_EQ(GetControlId(errors), 1043);
    EXPECT_EQ(errors->windowTitle(), Text("Ryšio klaidos"));
    EXPECT_EQ(errors->GetText(), "COM1: nepavyko atidaryti\nCOM1: ryšys nutrūko");
    auto* clear = FindControl<QPushButton>(errors, 1);
    auto* close = FindControl<QPushButton>(errors, 2);
    EXPECT_EQ(clear->text(), Text("&Išvalyti"));
    EXPECT_EQ(close->text(), Text("&Uždaryti"));
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(errors->GetText(), "");
    EXPECT_TRUE(errors->isVisible());
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(errors->isVisible());
    frame->AppendConnectionError("COM2");
    EXPECT_EQ(frame->GetCommErrorsWindow(), errors);
    EXPECT_TRUE(errors->isVisible());
}

TEST_F(MainFrameBarsTest, TheViewHostOpensTheBestLinkedMapForAnExtent)
{
    WriteLink("demo.mln", "Demo", DemoMapPath());
    ASSERT_TRUE(Start({DemoMapPath()}));
    CDrelDoc* demo = frame->GetActiveMapDocument();
    ASSERT_TRUE(demo);
    const CMapRect limits = demo->Settings().limits;
    const int units = demo->Settings().mapUnits;
    app.DocManager().CloseAllDocuments();
    FlushDeletes();
    ASSERT_EQ(frame->GetActiveMapDocument(), nullptr);

    CMapRect inside = limits;
    inside.Scale(0.5);
    EXPECT_FALSE(ViewHost().OpenBestMapForExtent(inside, units, DemoMapPath(), 0, 1, 1)); // the caller's own
    EXPECT_TRUE(MapDocuments().empty());
    EXPECT_FALSE(ViewHost().OpenBestMapForExtent(inside, units, "", 1, 1, 1)); // not auto-loaded
    EXPECT_TRUE(ViewHost().OpenBestMapForExtent(inside, units, "", 0, 1, 1));
    ASSERT_EQ(MapDocuments().size(), 1u);
    ASSERT_TRUE(frame->GetActiveMapView());
    EXPECT_EQ(&BestMapService(), static_cast<IBestMapService*>(&frame->BestMap()));
    EXPECT_EQ(BestMapService().ChooseMapForPoint(CMapPoint(0, 0), false), -1);
}

TEST_F(MainFrameBarsTest, Screenshot)
{
    WriteConfig("[AddressToolbar]\r\nInitiallyVisible=1\r\nCityList=1\r\nHouseNumbers=1\r\n");
    ASSERT_TRUE(Start({DemoMapPath()}));
    // Enabled as a map window will enable them.
    CCommandTable& map = frame->ActiveChild()->Commands();
    for (const CMainFrameBarInfo& info : MainFrameBars())
        for (const int id : FindToolbarResource(info.resourceId)->buttons)
            if (id != 0) {
                map.On(id, [] {});
                map.OnUpdate(id, [](CCommandState& state) { state.Enable(true); });
            }
    IToolbarBox* city = MainToolbars().FindBox(kCityBox);
    for (const char* name : {"Vilnius", "Kaunas", "Šiauliai"})
        city->AddString(FromQString(QString::fromUtf8(name)));
    city->SetCurSel(2);
    MainToolbars().FindBox(kStreetBox)->SetText(FromQString(QString::fromUtf8("Gedimino pr.")));
    MainToolbars().FindBox(kHouseNumberBox)->SetText("9");
    MainToolbars().ShowBar(kRouteSearchBar, true);
    MainToolbars().ShowBar(kObjectEditingBar, true);
    frame->showNormal();
    frame->resize(1280, 800);
    ViewHost().SetScaleText(10000);
    frame->Actions().UpdateAll();
    QCoreApplication::processEvents();
    EXPECT_TRUE(FindBox(kCityBox)->isEnabled());
    SaveScreenshot(*frame, "main-frame-bars");
}

} // namespace
