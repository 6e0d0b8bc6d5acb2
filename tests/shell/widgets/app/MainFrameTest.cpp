#include "tests/shell/widgets/app/AppFixture.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/ViewHost.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MdiChild.h"
#include "tests/shell/FakeGps.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>

#include <atomic>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

class MainFrameTest : public CAppFixture {
protected:
    // A stand-in toolbar box named by its id, until the toolbars exist.
    template <class Box>
    Box* AddBox(int id)
    {
        if (!bar) {
            bar = new QToolBar(frame);
            frame->addToolBar(bar);
            bar->show();
        }
        auto* box = new Box(bar);
        SetControlId(box, id);
        bar->addWidget(box);
        return box;
    }
    QToolBar* bar = nullptr;
};

TEST_F(MainFrameTest, AFixPostedFromAnotherThreadRestartsTheWatchdog)
{
    CFakeReceiverPort port;
    port.fix.longitude = 25.28;
    port.fix.latitude = 54.69;
    port.open = true; // fixes of a closed port are dropped
    CFakeTimers timers;
    ASSERT_TRUE(Start());
    frame->SetTimerHostForTesting(&timers);
    EXPECT_EQ(GetMainMessageWindow(), frame);

    std::thread reader([this] { GetMainMessageWindow()->PostMessage(WM_GPS_NEW_FIX, 0, 0); });
    reader.join();
    EXPECT_FALSE(frame->Core().GetFix().HasPosition()); // queued for the window's thread
    ASSERT_TRUE(WaitFor([this] { return frame->Core().GetFix().HasPosition(); }));
    EXPECT_EQ(frame->Core().GetFix().longitude, 25.28);
    EXPECT_EQ(timers.running, (std::map<int, int>{{CMainFrameCore::kWatchdogTimer, 10000}}));
    EXPECT_FALSE(frame->Core().IsGpsLost());
    // The map views draw the same fix.
    EXPECT_EQ(MapGpsSource().GetFix().longitude, 25.28);
    EXPECT_EQ(MapGpsSource().GetFix().latitude, 54.69);
    EXPECT_EQ(MapGpsSource().GetFix().lost, 0);

    frame->OnTimer(CMainFrameCore::kWatchdogTimer);
    EXPECT_TRUE(frame->Core().IsGpsLost());
    EXPECT_EQ(MapGpsSource().GetFix().lost, 1);
    EXPECT_TRUE(timers.running.empty());
    frame->SetTimerHostForTesting(nullptr);
}

// The extension's message hook, with the thread it ran on.
class CThreadExtension : public CExtensionHooks {
public:
    CThreadExtension() { SetExtension(this); }
    ~CThreadExtension() override { SetExtension(nullptr); }
    intptr_t OnMessage(int code, uintptr_t wParam, intptr_t lParam) override
    {
        codes.push_back(code);
        thread = std::this_thread::get_id();
        return 5;
    }
    std::vector<int> codes;
    std::thread::id thread;
};

TEST_F(MainFrameTest, PrivateMessagesReachTheWindowsThread)
{
    CThreadExtension extension;
    ASSERT_TRUE(Start());
    std::thread sender([this] {
        for (unsigned message = 0x402; message <= 0x409; ++message)
            frame->PostMessage(message, 0, 0);
    });
    sender.join();
    ASSERT_TRUE(WaitFor([&] { return extension.codes.size() == 4; }));
    EXPECT_EQ(extension.codes, (std::vector<int>{1027, 1028, 1029, 1030}));
    EXPECT_EQ(extension.thread, std::this_thread::get_id());
    EXPECT_EQ(frame->SendMessage(0x404, 0, 0), 5);
    EXPECT_EQ(frame->SendMessage(0x408, 0, 0), 1);
    EXPECT_EQ(frame->SendMessage(0x402, 0, 0), 0);
}

TEST_F(MainFrameTest, EnterInTheToolbarBoxes)
{
    CLoggingGpsHooks hooks;
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* scale = AddBox<QLineEdit>(kScaleBox);
    auto* street = AddBox<QComboBox>(kStreetBox);
    street->setEditable(true);
    auto* county = AddBox<QComboBox>(kAdminCountyBox);
    county->setEditable(true);
    auto* replay = AddBox<QLineEdit>(kReplayPointBox);
    auto* places = AddBox<QComboBox>(kPlacesBox);

    // The map window's commands, as the map frame will have them.
    std::vector<int> ran;
    CMdiChild* child = frame->ActiveChild();
    ASSERT_TRUE(child);
    for (const int id : {30004, 30331, 30456}) {
        child->Commands().On(id, [&ran, id] { ran.push_back(id); });
        child->Commands().OnUpdate(id, [](CCommandState& state) { state.Enable(true); });
    }

    ASSERT_TRUE(FocusOn(scale));
    EXPECT_TRUE(Run(kIdOk));
    ASSERT_TRUE(FocusOn(street->lineEdit())); // the edit inside the combo
    EXPECT_TRUE(Run(kIdOk));
    ASSERT_TRUE(FocusOn(county->lineEdit()));
    EXPECT_TRUE(Run(kIdOk));
    EXPECT_EQ(ran, (std::vector<int>{30004, 30331, 30456}));

    replay->setText("1");
    ASSERT_TRUE(FocusOn(replay));
    EXPECT_TRUE(Run(kIdOk));
    EXPECT_EQ(hooks.log, Texts{"replay point 0"});

    ASSERT_TRUE(FocusOn(places));
    EXPECT_TRUE(Run(kIdOk));
    EXPECT_EQ(ran.size(), 3u);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainFrameTest, EnterInTheScaleBoxDoesNothingWithoutAMapWindow)
{
    ASSERT_TRUE(Start());
    auto* scale = AddBox<QLineEdit>(kScaleBox);
    int runs = 0;
    frame->Commands().On(30004, [&runs] { ++runs; });
    ASSERT_TRUE(FocusOn(scale));
    EXPECT_FALSE(IsEnabled(30004)); // the main window disables the map window's boxes
    EXPECT_TRUE(Run(kIdOk));
    EXPECT_EQ(runs, 0);
}

TEST_F(MainFrameTest, ScaleBoxAndStatusPanes)
{
    ASSERT_TRUE(Start());
    auto* scale = AddBox<QLineEdit>(kScaleBox);
    ViewHost().SetScaleText(99.94);
    EXPECT_EQ(scale->text(), "99.9");
    ViewHost().SetScaleText(12345.5);
    EXPECT_EQ(scale->text(), "12346");
    EXPECT_EQ(frame->GetScaleText(), 12346);
    int x = 0, y = 0;
    GetScreenLogPixels(x, y);
    EXPECT_GT(x, 0);

    QStatusBar* status = frame->statusBar();
    ASSERT_TRUE(status);
    EXPECT_EQ(GetControlId(status), 0xE801);
    auto* message = FindControl<QLabel>(status, 121);
    auto* coordinates = FindControl<QLabel>(status, 103);
    ASSERT_TRUE(message && coordinates);
    EXPECT_EQ(message->text(), "");
    EXPECT_GE(coordinates->minimumWidth(), coordinates->fontMetrics().horizontalAdvance(ToQString(LoadString(103))));
    EXPECT_GT(message->minimumWidth(), coordinates->minimumWidth());

    frame->SetMessageText("Gedimino pr. 9");
    DocumentHost().SetCoordinateText(LoadString(103));
    status->showMessage(QString::fromUtf8("Atverti žemėlapį"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(coordinates->isVisible());
    EXPECT_EQ(frame->GetPaneText(121), "Gedimino pr. 9");
    EXPECT_EQ(frame->GetPaneText(103), LoadString(103));
    EXPECT_EQ(status->currentMessage(), QString::fromUtf8("Atverti žemėlapį"));
    SaveScreenshot(*frame, "main-frame-status-panes");
}

TEST_F(MainFrameTest, PlacesBoxFollowsItsDocument)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* places = AddBox<QComboBox>(kPlacesBox);
    CDrelDoc& map = *frame->GetActiveMapDocument();
    DocumentHost().FillPlacesBox(map, {"Centras", "Stotis"});
    EXPECT_EQ(places->count(), 2);
    EXPECT_TRUE(places->isEnabled());
    {
        CDrelDoc other; // goes without touching the box it does not own
    }
    EXPECT_EQ(places->count(), 2);
    DocumentHost().FillPlacesBox(map, {});
    EXPECT_FALSE(places->isEnabled());
    DocumentHost().FillPlacesBox(map, {"Centras"});
    app.DocManager().CloseAllDocuments();
    FlushDeletes();
    EXPECT_EQ(places->count(), 0);
    EXPECT_FALSE(places->isEnabled());
}

TEST_F(MainFrameTest, MainWindowCommands)
{
    ASSERT_TRUE(Start());
    CCommandActions& actions = frame->Actions();

    // Tool buttons are checked by the one tool mode.
    QAction* pan = actions.Action(30057);
    QAction* zoomWindow = actions.Action(30065);
    QAction* placemark = actions.Action(30623);
    const int oldMode = MapToolMode;
    MapToolMode = 3;
    actions.UpdateAll();
    EXPECT_TRUE(pan->isChecked());
    EXPECT_FALSE(zoomWindow->isChecked());
    MapToolMode = 24;
    actions.UpdateAll();
    EXPECT_TRUE(placemark->isChecked());
    EXPECT_FALSE(pan->isChecked());
    EXPECT_FALSE(pan->isEnabled()); // no map window takes it
    MapToolMode = oldMode;

    // The map window's boxes wait for a map window.
    auto* street = AddBox<QComboBox>(kStreetBox);
    actions.BindWidget(kStreetBox, street);
    actions.UpdateToolbarItems();
    EXPECT_FALSE(street->isEnabled());

    // GPS start and stop only with a receiver.
    EXPECT_FALSE(IsEnabled(30303));
    EXPECT_FALSE(IsEnabled(30305));
    {
        CFakeReceiverPort port;
        CLoggingGpsHooks hooks;
        EXPECT_TRUE(IsEnabled(30303));
        EXPECT_TRUE(Run(30303));
        EXPECT_EQ(port.opened, frame);
        EXPECT_EQ(port.openMessage, unsigned{WM_GPS_NEW_FIX});
        EXPECT_FALSE(IsEnabled(30303));
        EXPECT_TRUE(Run(30305));
        EXPECT_FALSE(port.open);
        EXPECT_EQ(hooks.log, (Texts{"close replay", "show status", "hide status"}));
    }

    // Switches.
    QAction* autoPan = actions.Action(30308);
    actions.UpdateAll();
    EXPECT_TRUE(autoPan->isChecked());
    EXPECT_TRUE(Run(30308));
    EXPECT_FALSE(autoPan->isChecked());
    EXPECT_FALSE(frame->Core().GetAutoPan());
    EXPECT_FALSE(MapGpsSource().GetFollowVehicle()) << "the map views follow the switch";
    QAction* improved = actions.Action(30351);
    EXPECT_TRUE(Run(30351));
    EXPECT_EQ(frame->Core().GetDrawingQuality(), 1);
    EXPECT_TRUE(improved->isChecked());
    EXPECT_FALSE(actions.Action(30350)->isChecked());

    // What is not built yet is disabled.
    for (const int id : {30306, 30307, 30208, 30416, 30636, 30457, 30611, 30023, 30426, 30429})
        EXPECT_FALSE(IsEnabled(id)) << id;
    // The vehicle and radio commands wait for an extension, enabled and empty.
    EXPECT_TRUE(Run(30137));

    // The user-symbol editor and the help document are not here.
    EXPECT_TRUE(Run(30297));
    EXPECT_TRUE(Run(kCmdHelp));
    EXPECT_EQ(shown, (Texts{LoadString(1105), LoadStringArg(1007, ProgramFile("Atmintine2006.doc"))}));
}

} // namespace
