// The GPS windows in the running program over the demo town, with the
// settings installer's layer sheet: the status window and the terminal,
// the port parameters, the UTC correction, the replay source, the saving
// target and the filter page of the track layer.

#include "tests/shell/widgets/app/AppFixture.h"

#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsInstall.h"
#include "layers/Layer.h"
#include "layers/LayerPropertySheet.h"
#include "layers/ClassEditDialogs.h"
#include "layers/CoordTableDialogs.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/shell/FakeGps.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <pty.h>
#include <unistd.h>

namespace {

class GpsWindowsAppTest : public CAppFixture {
protected:
    GpsWindowsAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
        InstallGps(receiver);
        GetGpsContext()->SetClock([this] { return now; });
        receiver.Receiver().SetWriteToLog(false);
    }
    ~GpsWindowsAppTest() override
    {
        Stop();
        receiver.Close();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
        SetClassEditDialogs(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
        SetLastLayerSheetPage(0);
        SetGpsHooks(nullptr);
        SetMapGpsPainter(nullptr);
        SetCoordTableDialogs(nullptr);
    }

    bool StartOn(const std::string& map)
    {
        if (!Start({map}))
            return false;
        frame->SetTimerHostForTesting(&timers);
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        return child != nullptr;
    }
    CDrelDoc& Map() { return child->GetMapDocument(); }
    CLayer* Layer(const char* utf8Name) { return Map().Layers().FindByName(Utf8ToCp1257(utf8Name)); }
    // The top-level window of the id; null while there is none.
    template <class T = QWidget>
    static T* Window(int id)
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (GetControlId(widget) == id)
                return dynamic_cast<T*>(widget);
        return nullptr;
    }
    bool Checked(int command)
    {
        frame->Actions().UpdateAll();
        return frame->Actions().Action(command)->isChecked();
    }
    static std::string Text(QWidget* window, int id)
    {
        auto* label = window ? FindControl<QLabel>(window, id) : nullptr;
        return label ? FromQString(label->text()) : std::string();
    }
    static void Click(QWidget& window, int id)
    {
        auto* button = FindControl<QAbstractButton>(&window, id);
        ASSERT_TRUE(button) << id;
        button->click();
    }

    struct CDecimalDegrees : ICoordTableDialogs {
        int AskCoordinateFormat() override { return kDecimalDegrees; }
    } decimalDegrees;
    CFakeReceiverPort port;
    CGpsReceiverPort receiver;
    CFakeTimers timers;
    CMapFrame* child = nullptr;
    int64_t now = 1000000;
};

TEST_F(GpsWindowsAppTest, TheStatusWindowFollowsTheReceiverAndItsCommand)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    EXPECT_FALSE(IsEnabled(30306)) << "no port open, no replay";
    ASSERT_TRUE(Run(30303));
    ASSERT_TRUE(IsEnabled(30306));
    QWidget* status = Window(330);
    ASSERT_TRUE(status) << "GPS start shows it";
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->parentWidget(), frame) << "owned by the main window";
    EXPECT_TRUE(Checked(30306));

    port.fix.longitude = 25.28;
    port.fix.latitude = 54.69;
    port.fix.valid = true;
    port.fix.satellites = 7;
    port.fix.time = MakeUtcTime(2024, 5, 3, 8, 0, 0);
    frame->PostMessage(WM_GPS_NEW_FIX, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Text(status, 1064) == "7 - OK"; }));
    EXPECT_EQ(Text(status, 1063), "08:00:00");

    EXPECT_TRUE(Run(30306));
    EXPECT_FALSE(status->isVisible());
    EXPECT_FALSE(Checked(30306));
    EXPECT_TRUE(Run(30306));
    EXPECT_EQ(Window(330), status) << "made once";
    EXPECT_TRUE(status->isVisible());

    // The UTC correction reaches the profile and the window.
    ASSERT_TRUE(IsEnabled(30208));
    WithModal([&] { EXPECT_TRUE(Run(30208)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 257);
                  auto* list = FindControl<QComboBox>(&dialog, 1012);
                  ASSERT_TRUE(list);
                  EXPECT_EQ(list->currentIndex(), 0);
                  list->setCurrentIndex(15);
                  Click(dialog, IDOK);
              });
    EXPECT_EQ(frame->Core().GetTimeCorrection(), -3);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "TimeCorrection", 0), -3);
    EXPECT_EQ(Text(status, 1063), "05:00:00");

    EXPECT_TRUE(Run(30305));
    EXPECT_FALSE(status->isVisible());
    EXPECT_FALSE(IsEnabled(30306));
    EXPECT_TRUE(shown.empty());
}

TEST_F(GpsWindowsAppTest, TheTerminalShowsTheReceiversText)
{
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    CAppProfile::Instance().WriteString("SerialPorts", "COM4", ::ttyname(slave));
    ASSERT_TRUE(StartOn(DemoMapPath()));
    ASSERT_TRUE(IsEnabled(30636));
    EXPECT_FALSE(Checked(30636));
    EXPECT_FALSE(receiver.Receiver().GetTerminalEcho());
    EXPECT_TRUE(Run(30636));
    auto* terminal = Window(30822);
    ASSERT_TRUE(terminal);
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_TRUE(Checked(30636));
    EXPECT_TRUE(receiver.Receiver().GetTerminalEcho());

    receiver.Receiver().SetPort(4);
    ASSERT_TRUE(receiver.Receiver().Open(frame, WM_GPS_NEW_FIX, GENERIC_READ));
    ASSERT_EQ(::write(master, "$GPTXT,hello*00\r\n", 17), 17);
    auto* view = FindControl<QPlainTextEdit>(terminal, 1109);
    ASSERT_TRUE(view);
    const char more[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    ASSERT_EQ(::write(master, more, sizeof more - 1), static_cast<ssize_t>(sizeof more - 1));
    EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains(QStringLiteral("W*6A")); }));
    EXPECT_TRUE(view->toPlainText().startsWith(QStringLiteral("$GPTXT,hello*00\n$GPRMC,123519,A,")))
        << view->toPlainText().toStdString();
    SaveScreenshot(*terminal, "gps-terminal-program");
    // A message from a port that is not the receiver's takes nothing.
    const QString before = view->toPlainText();
    frame->PostMessage(WM_GPS_TERMINAL_TEXT, 0x1234, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->toPlainText(), before);

    EXPECT_TRUE(Run(30636));
    EXPECT_FALSE(terminal->isVisible());
    EXPECT_FALSE(Checked(30636));
    EXPECT_TRUE(receiver.Receiver().GetTerminalEcho()) << "kept";
    EXPECT_TRUE(Run(30636));
    EXPECT_EQ(Window(30822), terminal);
    receiver.Close();
    ::close(master);
    ::close(slave);
}

TEST_F(GpsWindowsAppTest, PortParametersReopenTheReceiverAndUnsetTheFix)
{
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    CAppProfile::Instance().WriteString("SerialPorts", "COM4", ::ttyname(slave));
    ASSERT_TRUE(StartOn(DemoMapPath()));
    ASSERT_TRUE(IsEnabled(30307));
    // Closed: the settings are stored, nothing opens.
    WithModal([&] { EXPECT_TRUE(Run(30307)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 201);
                  FindControl<QComboBox>(&dialog, 544)->setCurrentIndex(4);
                  FindControl<QComboBox>(&dialog, 547)->setCurrentIndex(1);
                  SaveScreenshot(dialog, "gps-201-program");
                  Click(dialog, IDOK);
              });
    EXPECT_FALSE(receiver.IsOpen());
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", 0), 4);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Parity", 0), 2);

    ASSERT_TRUE(receiver.Receiver().Open(frame, WM_GPS_NEW_FIX, GENERIC_READ));
    CGpsPosition fix;
    fix.longitude = 25;
    fix.latitude = 54;
    frame->Core().SetFix(fix);
    WithModal([&] { EXPECT_TRUE(Run(30307)); }, [&](QWidget& dialog) { Click(dialog, IDOK); });
    EXPECT_TRUE(receiver.IsOpen());
    EXPECT_TRUE(receiver.Receiver().Write("x")) << "open for reading and writing";
    EXPECT_FALSE(frame->Core().GetFix().HasPosition());
    EXPECT_TRUE(shown.empty());
    receiver.Close();
    ::close(master);
    ::close(slave);
}

TEST_F(GpsWindowsAppTest, TheTrackLayerIsReplayedFromTheReplayDialog)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    CLayer* track = Layer("GPS trasa");
    ASSERT_TRUE(track);
    child->GetLegend()->SelectLayer(Layer("Adresai"));
    ASSERT_TRUE(IsEnabled(30418));
    WithModal([&] { EXPECT_TRUE(Run(30418)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30816);
                  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1024)->isChecked());
                  Click(dialog, 1025);
                  Click(dialog, IDOK);
              });
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1119)});
    EXPECT_FALSE(GetGpsContext()->Replay().IsLoaded());

    child->GetLegend()->SelectLayer(track);
    WithModal([&] { EXPECT_TRUE(Run(30418)); },
              [&](QWidget& dialog) {
                  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1025)->isChecked());
                  Click(dialog, IDOK);
              });
    CTrackReplay& replay = GetGpsContext()->Replay();
    ASSERT_TRUE(replay.IsLoaded());
    auto* status = Window(330);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(IsEnabled(30306));
    Click(*status, 1055);
    for (int i = 0; i < 4; ++i) {
        now += 1000;
        frame->OnTimer(CMainFrameCore::kReplayTimer);
    }
    const int current = replay.GetCurrent();
    ASSERT_GT(current, 0);
    EXPECT_EQ(Text(status, 1065), std::to_string(current + 1));
    EXPECT_EQ(Text(status, 1063), FormatFixTime(replay.Fixes()[static_cast<size_t>(current)].time, "%H:%M:%S"));
    SaveScreenshot(*status, "gps-status-replay");
    replay.Close();
}

TEST_F(GpsWindowsAppTest, TheCurrentTrackFileIsReplayedAsATrackLayer)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    // The demo track becomes the current track file.
    CGpsContext& gps = *GetGpsContext();
    const std::string file = gps.Recorder().GetTrackFileName();
    ASSERT_FALSE(file.empty());
    WriteWholeFile(file, ReadWholeFile(Layer("GPS trasa")->GetPath()));
    child->GetLegend()->SelectLayer(nullptr);
    WithModal([&] { EXPECT_TRUE(Run(30418)); },
              [&](QWidget& dialog) {
                  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1024)->isChecked());
                  Click(dialog, IDOK);
              });
    ASSERT_TRUE(gps.Replay().IsLoaded());
    EXPECT_GT(gps.Replay().GetCount(), 1);
    gps.Replay().Close();
    EXPECT_TRUE(shown.empty());
}

TEST_F(GpsWindowsAppTest, TheSavingTargetIsChosenAndANewLayerMade)
{
    // A town of its own: the new layer's file goes beside the map.
    CDemoOptions options;
    options.streets = 10;
    std::string error;
    ASSERT_TRUE(MakeDemoMap(dir.File("town/"), options, error)) << error;
    ASSERT_TRUE(StartOn(dir.File("town/") + CDemoMapWriter::kMapFile));
    ASSERT_TRUE(IsEnabled(30341));
    Map().SetModifiedFlag(false);
    std::vector<std::string> entries;
    WithModal([&] { EXPECT_TRUE(Run(30341)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 354);
                  auto* list = FindControl<QComboBox>(&dialog, 1012);
                  for (int i = 0; i < list->count(); ++i)
                      entries.push_back(FromQString(list->itemText(i)));
                  Click(dialog, IDCANCEL);
              });
    EXPECT_FALSE(Map().IsModified());
    std::vector<std::string> expected;
    for (int i = 0; i < Map().GetLayerCount(); ++i) {
        const CLayer* layer = Map().GetLayer(i);
        if ((layer->GetType() == CLayer::kPoint || layer->GetType() == CLayer::kTrack) &&
            !layer->HasFlag(CLayer::kGroup))
            expected.push_back(layer->GetName());
    }
    EXPECT_EQ(entries, expected);
    EXPECT_FALSE(entries.empty());

    // The search part would ask the new table's coordinate format.
    SetCoordTableDialogs(&decimalDegrees);
    const int layers = Map().GetLayerCount();
    WithModal([&] { EXPECT_TRUE(Run(30341)); },
              [&](QWidget& dialog) {
                  // "Sukurti naują..." asks for the new layer's names and file.
                  WithModalWindow([&] { Click(dialog, 1055); },
                                  [&](QWidget& names) {
                                      EXPECT_EQ(GetControlId(&names), 30772);
                                      Click(names, IDOK);
                                  });
                  auto* list = FindControl<QComboBox>(&dialog, 1012);
                  EXPECT_EQ(list->count(), static_cast<int>(entries.size()) + 1);
                  EXPECT_EQ(list->currentIndex(), list->count() - 1);
                  Click(dialog, IDOK);
              });
    ASSERT_EQ(Map().GetLayerCount(), layers + 1);
    EXPECT_TRUE(Map().IsModified());
    const std::string target = Map().Settings().gpsSaveLayer;
    const CLayer* made = Map().Layers().FindByName(target);
    ASSERT_TRUE(made) << target;
    EXPECT_EQ(made->GetType(), CLayer::kPoint);
    EXPECT_TRUE(PathExists(made->GetPath()));
}

TEST_F(GpsWindowsAppTest, TheTrackLayersSheetHasTheFilterPage)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    CLayer* track = Layer("GPS trasa");
    ASSERT_TRUE(track);
    child->GetLegend()->SelectLayer(track);
    WithModal([&] { EXPECT_TRUE(Run(30066)); },
              [&](QWidget& modal) {
                  auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                  ASSERT_TRUE(sheet);
                  CLayerSheetPage* page = sheet->FindPage(LayerSheetPage::kTrackFilter);
                  ASSERT_TRUE(page);
                  ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndex(page)));
                  EXPECT_EQ(page->GetCaption(), "Filtras");
                  auto* status = FindControl<QCheckBox>(page, 1015);
                  ASSERT_TRUE(status);
                  status->setChecked(true);
                  FindControl<QCheckBox>(page, 1069)->setChecked(true);
                  SaveScreenshot(*sheet, "gps-227-program");
                  sheet->GetOkButton()->click();
              });
    EXPECT_EQ(track->GetFilter(), "(Status = \"OK\")");
    EXPECT_TRUE(track->HasFlag(CLayer::kNewestRecordOnly));
}

} // namespace
