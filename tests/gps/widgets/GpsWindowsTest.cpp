// The GPS windows offscreen, their controls found by id: the status
// window, the terminal, the port parameters, the UTC correction, the
// replay source, the saving target and the filter page of track layers.

#include "gps/GpsContext.h"
#include "gps/GpsReceiver.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsLayerPPFiler.h"
#include "gps/widgets/GpsSettingsDialogs.h"
#include "gps/widgets/GpsStatusDlg.h"
#include "gps/widgets/PortParamsDlg.h"
#include "gps/widgets/TerminalDlg.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "shell/MainFrameCore.h"
#include "shell/widgets/ControlIds.h"
#include "tests/gps/RecordingWindow.h"
#include "tests/gps/TrackTestSupport.h"
#include "tests/shell/FakeGps.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

namespace {

class GpsWindowsTest : public ::testing::Test, protected CWithApplication {
protected:
    GpsWindowsTest() : core(timers, window) { SetMainFrameCore(&core); }
    ~GpsWindowsTest() override
    {
        SetMainFrameCore(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
    }

    template <class T = QWidget>
    static T* Control(const QWidget& dialog, int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static std::string Text(const QWidget& dialog, int id)
    {
        auto* label = Control<QLabel>(dialog, id);
        return label ? FromQString(label->text()) : std::string();
    }
    static void Choose(const QWidget& dialog, int id, int index)
    {
        if (auto* list = Control<QComboBox>(dialog, id))
            list->setCurrentIndex(index);
    }
    static int Chosen(const QWidget& dialog, int id)
    {
        auto* list = Control<QComboBox>(dialog, id);
        return list ? list->currentIndex() : -2;
    }
    static void Click(const QWidget& dialog, int id)
    {
        if (auto* button = Control<QAbstractButton>(dialog, id))
            button->click();
    }

    CGpsFolders folders;
    CScriptedUserServices user;
    CFakeTimers timers;
    CRecordingWindow window;
    CMainFrameCore core;
};

// ------------------------------------------------------------ status window

TEST_F(GpsWindowsTest, TheStatusWindowShowsTheFixWithTheCorrection)
{
    core.SetTimeCorrection(3);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "TimeCorrection", 0), 3);
    CDlgGps status;
    GpsFix fix = MakeFix(25.279652, 54.687157);
    fix.time = MakeUtcTime(2005, 6, 17, 22, 0, 0);
    fix.course = 271.6;
    fix.speed = 50.2;
    status.ShowFix(fix);
    EXPECT_EQ(Text(status, CDlgGps::kStatus), "7 - OK");
    EXPECT_EQ(Text(status, CDlgGps::kTime), "01:00:00");
    EXPECT_EQ(Text(status, CDlgGps::kDate), "2005.06.18");
    EXPECT_EQ(Text(status, CDlgGps::kCourse), "272\xB0");
    EXPECT_EQ(Text(status, CDlgGps::kSpeed), "50 km/h");
    EXPECT_EQ(Text(status, CDlgGps::kLongitude), CMapPoint(fix.longitude, fix.latitude).FormatLongitude(0));
    EXPECT_EQ(Text(status, CDlgGps::kLatitude), CMapPoint(fix.longitude, fix.latitude).FormatLatitude(0));
    EXPECT_EQ(Text(status, 1065), "1");

    fix.satellites = -1;
    fix.valid = 0;
    status.ShowFix(fix);
    EXPECT_EQ(Text(status, CDlgGps::kStatus), "NOK");
    fix.satellites = 0;
    status.ShowFix(fix);
    EXPECT_EQ(Text(status, CDlgGps::kStatus), "NOK");

    // A new correction reaches the fix shown.
    core.SetTimeCorrection(-2);
    status.RefreshFix();
    EXPECT_EQ(Text(status, CDlgGps::kTime), "20:00:00");
    EXPECT_EQ(Text(status, CDlgGps::kDate), "2005.06.17");
}

TEST_F(GpsWindowsTest, TheStatusWindowOpensFoldedAndTheFiguresReset)
{
    CDlgGps status;
    status.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));
    auto* fold = Control<QPushButton>(status, CDlgGps::kFold);
    auto* reset = Control<QPushButton>(status, CDlgGps::kReset);
    ASSERT_TRUE(fold && reset);
    EXPECT_EQ(fold->text(), ">>");
    EXPECT_FALSE(reset->isVisible());
    const int folded = status.width();

    for (int i = 0; i < 3; ++i)
        status.ShowFix(MakeFix(25, 54 + i * 0.001, i * 10));
    fold->click();
    EXPECT_EQ(fold->text(), "<<");
    EXPECT_TRUE(reset->isVisible());
    EXPECT_EQ(reset->text(), "0");
    EXPECT_EQ(status.width(), 2 * folded);
    EXPECT_EQ(Text(status, 1065), "3");
    EXPECT_EQ(Text(status, 1066), FormatC("%4.2f km", status.Trip().GetTotalDistance()));
    EXPECT_EQ(Text(status, 1069), "00:00:20");
    SaveScreenshot(status, "gps-status-unfolded");

    user.answers.push_back(IDNO);
    reset->click();
    EXPECT_EQ(Text(status, 1065), "3");
    user.answers.push_back(IDYES);
    reset->click();
    EXPECT_EQ(Text(status, 1065), "0");
    EXPECT_EQ(Text(status, 1066), "0.00 km");
    EXPECT_EQ(Text(status, 1069), "00:00:00");
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(user.messages[0].helpId, 2027u);

    fold->click();
    EXPECT_EQ(fold->text(), ">>");
    EXPECT_FALSE(reset->isVisible());
    EXPECT_EQ(status.width(), folded);
}

TEST_F(GpsWindowsTest, ShowTripUpToShowsTheFixBeforeItWithTheFiguresUpToThere)
{
    std::vector<GpsFix> fixes;
    for (int i = 0; i < 5; ++i) {
        fixes.push_back(MakeFix(25, 54 + i * 0.01, i * 60));
        fixes.back().speed = 10.0 * i;
    }
    CDlgGps status;
    status.ShowFix(fixes[4]);
    status.ShowTripUpTo(fixes, 3);
    EXPECT_EQ(Text(status, 1065), "3");
    EXPECT_EQ(Text(status, CDlgGps::kTime), "12:02:00");
    EXPECT_EQ(Text(status, CDlgGps::kSpeed), "20 km/h");
    CTripStatistics expected;
    for (int i = 0; i < 3; ++i)
        expected.AddPoint(fixes[i].longitude, fixes[i].latitude, fixes[i].time, fixes[i].speed);
    EXPECT_EQ(FormatTripSummary(status.Trip()), FormatTripSummary(expected));

    // Beyond the fixes, all of them; none, no figures.
    status.ShowTripUpTo(fixes, 9);
    EXPECT_EQ(Text(status, 1065), "5");
    status.ShowTripUpTo(fixes, 0);
    EXPECT_EQ(Text(status, 1065), "0");
    // A fix without a place or time joins no figures.
    status.ShowFix(GpsFix{});
    EXPECT_EQ(Text(status, 1065), "0");
    EXPECT_EQ(Text(status, 1066), "0.00 km");
}

// ------------------------------------------------------------ terminal

TEST_F(GpsWindowsTest, TheTerminalJoinsPiecesAndKeepsTheNewestText)
{
    CDlgTerminal terminal;
    auto* view = Control<QPlainTextEdit>(terminal, CDlgTerminal::kText);
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isReadOnly());
    terminal.AppendText(std::string_view("$GPGGA,1\0$GPRMC,2", 17));
    terminal.AppendText("\r\n$GPRMC,3\r");
    terminal.AppendText("\n");
    EXPECT_EQ(FromQString(view->toPlainText()), "$GPGGA,1 $GPRMC,2\n$GPRMC,3\n") << "one line break per CR LF";
    EXPECT_EQ(terminal.Text(), "$GPGGA,1 $GPRMC,2\r\n$GPRMC,3\r\n");
    terminal.AppendText(std::string(CTerminalText::kCapacity, 'x') + "END");
    EXPECT_EQ(terminal.Text().size(), CTerminalText::kCapacity);
    const QString shown = view->toPlainText();
    EXPECT_EQ(shown.size(), static_cast<qsizetype>(CTerminalText::kCapacity));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("xxEND")));
}

// ------------------------------------------------------------ port parameters

TEST_F(GpsWindowsTest, ThePortListsShowTheSettingsAndOkWritesThem)
{
    CAppProfile::Instance().WriteString("SerialPorts", "COM3", "/dev/ttyUSB0");
    CPortParamsDlg dialog(3, SerialLineSettings{4800, 8, 1, 1, 2});
    dialog.show();
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kPort), 3);
    EXPECT_EQ(Text(dialog, CPortParamsDlg::kDevice), "/dev/ttyUSB0");
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kBaudRate), 5);
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kByteSize), 4);
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kParity), 2) << "odd";
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kStopBits), 1);
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kFlowControl), 2);
    EXPECT_EQ(Control<QComboBox>(dialog, CPortParamsDlg::kPort)->itemText(12), "COM12");
    EXPECT_EQ(Control<QComboBox>(dialog, CPortParamsDlg::kPort)->itemText(0), "<None>");
    SaveScreenshot(dialog, "gps-port-parameters");

    Choose(dialog, CPortParamsDlg::kPort, 4);
    EXPECT_EQ(Text(dialog, CPortParamsDlg::kDevice), "/dev/ttyS3");
    Choose(dialog, CPortParamsDlg::kParity, 1);
    Choose(dialog, CPortParamsDlg::kBaudRate, 11);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetPort(), 4);
    EXPECT_EQ(dialog.GetLineSettings().parity, 2) << "even";
    EXPECT_EQ(dialog.GetLineSettings().baudRate, 115200u);
    EXPECT_EQ(dialog.GetLineSettings().flowControl, 2);
}

TEST_F(GpsWindowsTest, ListsWithoutASelectionKeepTheStoredValues)
{
    CPortParamsDlg dialog(20, SerialLineSettings{2000, 3, 0, 0, 0});
    dialog.show();
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kPort), -1);
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kBaudRate), -1);
    EXPECT_EQ(Chosen(dialog, CPortParamsDlg::kByteSize), -1);
    EXPECT_EQ(Text(dialog, CPortParamsDlg::kDevice), "/dev/ttyS19");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetPort(), 20);
    EXPECT_EQ(dialog.GetLineSettings().baudRate, 2000u);
    EXPECT_EQ(dialog.GetLineSettings().byteSize, 3);
}

TEST_F(GpsWindowsTest, ConfigureReopensAnOpenPortOrReportsTheDevice)
{
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    CAppProfile::Instance().WriteString("SerialPorts", "COM2", ::ttyname(slave));
    CAppProfile::Instance().WriteString("SerialPorts", "COM9", folders.dir.File("none"));
    CAppProfile::Instance().WriteInt("GPS", "WriteToLog", 0);
    {
        CGpsReceiver receiver;
        receiver.SetPort(2);
        ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
        int result = -1;
        // Cancel changes nothing.
        WithModalWindow([&] { result = ConfigureSerialPort(receiver); },
                        [](QWidget& dialog) {
                            Choose(dialog, CPortParamsDlg::kBaudRate, 0);
                            Click(dialog, IDCANCEL);
                        });
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(receiver.IsOpen());
        EXPECT_EQ(receiver.GetLineSettings().baudRate, 4800u);
        EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "BaudRate", -1), -1);

        WithModalWindow([&] { result = ConfigureSerialPort(receiver); },
                        [](QWidget& dialog) {
                            Choose(dialog, CPortParamsDlg::kBaudRate, 6);
                            Click(dialog, IDOK);
                        });
        EXPECT_EQ(result, 1);
        ASSERT_TRUE(receiver.IsOpen());
        EXPECT_TRUE(receiver.Write("ok")) << "reopened for writing too";
        EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "BaudRate", -1), 9600);

        WithModalWindow([&] { result = ConfigureSerialPort(receiver); },
                        [](QWidget& dialog) {
                            Choose(dialog, CPortParamsDlg::kPort, 9);
                            Click(dialog, IDOK);
                        });
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(receiver.IsOpen());
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, "Unable to open COM9 port");
        EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", -1), 9);
    }
    ::close(master);
    ::close(slave);
}

// ------------------------------------------------------------ UTC correction

TEST_F(GpsWindowsTest, TheCorrectionListSelectsAndReturnsTheHours)
{
    CTimeCorrectionDlg dialog(-3);
    dialog.show();
    auto* list = Control<QComboBox>(dialog, CTimeCorrectionDlg::kList);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 25);
    EXPECT_EQ(list->currentIndex(), 15);
    EXPECT_EQ(list->currentText(), "UTC-03:00");
    SaveScreenshot(dialog, "gps-utc-correction");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetHours(), -3);
    for (int entry = 0; entry < 25; ++entry) {
        CTimeCorrectionDlg each(0);
        each.show();
        Choose(each, CTimeCorrectionDlg::kList, entry);
        Click(each, IDOK);
        CTimeCorrectionDlg back(each.GetHours());
        back.show();
        EXPECT_EQ(Chosen(back, CTimeCorrectionDlg::kList), entry);
    }
}

// ------------------------------------------------------------ replay source

TEST_F(GpsWindowsTest, TheReplaySourceIsTheLayerForATrackLayerAndElseTheFile)
{
    const CLayer track("Trasa", folders.User("a.trk"), CLayer::kTrack);
    const CLayer points("Taškai", folders.User("a.dbf"), CLayer::kPoint);
    struct Case {
        const CLayer* layer;
        int checked;
    };
    for (const Case& c : {Case{&track, CDlgReplay::kActiveLayer}, Case{&points, CDlgReplay::kTrackFile},
                          Case{nullptr, CDlgReplay::kTrackFile}}) {
        CDlgReplay dialog(c.layer);
        dialog.show();
        EXPECT_TRUE(Control<QRadioButton>(dialog, c.checked)->isChecked());
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.GetSource(), c.checked);
    }

    CGpsReceiverPort receiver;
    CGpsContext gps(&receiver);
    WithModalWindow([&] { RunReplayDialog(gps, &points); },
                    [](QWidget& dialog) {
                        Click(dialog, CDlgReplay::kActiveLayer);
                        Click(dialog, IDOK);
                    });
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].helpId, 1119u);
    EXPECT_FALSE(gps.Replay().IsLoaded());
}

// ------------------------------------------------------------ saving target

class GpsSaveParamsTest : public GpsWindowsTest {
protected:
    GpsSaveParamsTest()
    {
        for (const auto& [name, type] : {std::pair{"Keliai", CLayer::kLine}, {"Taškai", CLayer::kPoint},
                                          {"Trasa", CLayer::kTrack}, {"Kvartalai", CLayer::kArea}}) {
            doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(name), folders.User(name), type), false);
        }
    }
    static std::vector<std::string> Entries(const QWidget& dialog)
    {
        std::vector<std::string> entries;
        auto* list = Control<QComboBox>(dialog, CDlgGpsSaveParams::kLayers);
        for (int i = 0; list && i < list->count(); ++i)
            entries.push_back(FromQString(list->itemText(i)));
        return entries;
    }
    CDrelDoc doc;
};

TEST_F(GpsSaveParamsTest, PointAndTrackLayersAreListedTheTargetChosen)
{
    CDlgGpsSaveParams dialog(doc, "Trasa", nullptr);
    dialog.show();
    EXPECT_EQ(Entries(dialog), (std::vector<std::string>{Utf8ToCp1257("Taškai"), "Trasa"}));
    EXPECT_EQ(Chosen(dialog, CDlgGpsSaveParams::kLayers), 1);
    EXPECT_FALSE(Control(dialog, CDlgGpsSaveParams::kCreate)->isEnabled());
    Choose(dialog, CDlgGpsSaveParams::kLayers, 0);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetLayerName(), Utf8ToCp1257("Taškai"));

    // A target the map no longer has stays while nothing is chosen.
    CDlgGpsSaveParams gone(doc, "Senas", nullptr);
    gone.show();
    EXPECT_EQ(Chosen(gone, CDlgGpsSaveParams::kLayers), -1);
    Click(gone, IDOK);
    EXPECT_EQ(gone.GetLayerName(), "Senas");
}

TEST_F(GpsSaveParamsTest, ANewWaypointsLayerIsAddedAndChosen)
{
    int made = 0;
    auto maker = [&](CDrelDoc& map) -> CLayer* {
        if (++made == 1)
            return nullptr;
        auto layer = std::make_unique<CLayer>("Waypoints", folders.User("Waypoints.dbf"), CLayer::kPoint);
        CLayer* added = layer.get();
        map.AddLayer(std::move(layer), true);
        return added;
    };
    CDlgGpsSaveParams dialog(doc, "Trasa", maker);
    dialog.show();
    Click(dialog, CDlgGpsSaveParams::kCreate);
    EXPECT_EQ(Entries(dialog).size(), 2u) << "nothing made";
    Click(dialog, CDlgGpsSaveParams::kCreate);
    EXPECT_EQ(Entries(dialog).back(), "Waypoints");
    EXPECT_EQ(Chosen(dialog, CDlgGpsSaveParams::kLayers), 2);
    SaveScreenshot(dialog, "gps-save-params");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetLayerName(), "Waypoints");
}

// ------------------------------------------------------------ filter page

class TrackFilterPageTest : public GpsWindowsTest {
protected:
    TrackFilterPageTest()
    {
        LayerSheetHooks().trackFilterPage = [](CLayerPropSheet& sheet) {
            return std::make_unique<CGpsLayerPPFiler>(sheet);
        };
    }
    ~TrackFilterPageTest() override { sheet.reset(); }
    // The sheet on its filter pages, as the modal run shows it.
    QWidget& Open()
    {
        sheet = std::make_unique<CLayerPropSheet>();
        sheet->SetLayer(track, nullptr, 2);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return *sheet->GetActivePage();
    }
    bool Ok()
    {
        sheet->GetOkButton()->click();
        if (sheet->isVisible())
            return false;
        sheet->ApplyToLayer(track);
        return true;
    }

    CLayer track{"Trasa", "trasa.trk", CLayer::kTrack};
    std::unique_ptr<CLayerPropSheet> sheet;
};

TEST_F(TrackFilterPageTest, AFilterTextFillsThePageAndOkWritesItBack)
{
    track.SetFilter("(Status = \"NOK\") .AND. "
                    "((Date < \"2005.06.17\") .OR. (Date = \"2005.06.17\") .AND. (Time <= \"18:00:00\"))");
    QWidget& page = Open();
    EXPECT_EQ(sheet->findChild<QTabBar*>()->tabText(0), "Filtras");
    EXPECT_TRUE(Control<QCheckBox>(page, CGpsLayerPPFiler::kStatus)->isChecked());
    EXPECT_EQ(Chosen(page, CGpsLayerPPFiler::kStatusList), 1);
    EXPECT_FALSE(Control<QCheckBox>(page, CGpsLayerPPFiler::kFrom)->isChecked());
    EXPECT_FALSE(Control(page, CGpsLayerPPFiler::kFromDate)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(page, CGpsLayerPPFiler::kTo)->isChecked());
    EXPECT_EQ(Control<QDateEdit>(page, CGpsLayerPPFiler::kToDate)->date(), QDate(2005, 6, 17));
    EXPECT_EQ(Control<QTimeEdit>(page, CGpsLayerPPFiler::kToTime)->time(), QTime(18, 0, 0));
    EXPECT_EQ(Control<QDateEdit>(page, CGpsLayerPPFiler::kFromDate)->date(), QDate::currentDate());
    EXPECT_EQ(Control<QTimeEdit>(page, CGpsLayerPPFiler::kFromTime)->time(), QTime(0, 0, 0));
    SaveScreenshot(*sheet, "gps-track-filter-page");

    Click(page, CGpsLayerPPFiler::kStatus);
    EXPECT_FALSE(Control(page, CGpsLayerPPFiler::kStatusList)->isEnabled());
    ASSERT_TRUE(Ok());
    EXPECT_EQ(track.GetFilter(),
              "((Date < \"2005.06.17\") .OR. (Date = \"2005.06.17\") .AND. (Time <= \"18:00:00\"))");
}

TEST_F(TrackFilterPageTest, TheFromCheckWritesItsMomentAndLastRecordDisablesTheRest)
{
    QWidget& page = Open();
    Click(page, CGpsLayerPPFiler::kFrom);
    EXPECT_TRUE(Control(page, CGpsLayerPPFiler::kFromDate)->isEnabled());
    Control<QDateEdit>(page, CGpsLayerPPFiler::kFromDate)->setDate(QDate(2006, 1, 2));
    Control<QTimeEdit>(page, CGpsLayerPPFiler::kFromTime)->setTime(QTime(3, 4, 5));
    Click(page, CGpsLayerPPFiler::kLastRecord);
    for (const int id : {1015, 1012, 1016, 1079, 1081, 1065, 1080, 1082})
        EXPECT_FALSE(Control(page, id)->isEnabled()) << id;
    ASSERT_TRUE(Ok());
    EXPECT_EQ(track.GetFilter(),
              "((Date > \"2006.01.02\") .OR. (Date = \"2006.01.02\") .AND. (Time >= \"03:04:05\"))");
    EXPECT_TRUE(track.HasFlag(CLayer::kNewestRecordOnly));

    QWidget& again = Open();
    EXPECT_TRUE(Control<QCheckBox>(again, CGpsLayerPPFiler::kLastRecord)->isChecked());
    EXPECT_FALSE(Control(again, CGpsLayerPPFiler::kFrom)->isEnabled());
    Click(again, CGpsLayerPPFiler::kLastRecord);
    EXPECT_TRUE(Control(again, CGpsLayerPPFiler::kFromTime)->isEnabled());
    EXPECT_FALSE(Control(again, CGpsLayerPPFiler::kToTime)->isEnabled());
    sheet->GetCancelButton()->click();
    EXPECT_TRUE(track.HasFlag(CLayer::kNewestRecordOnly)) << "Cancel leaves the layer";
}

} // namespace
