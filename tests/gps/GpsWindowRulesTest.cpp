// The rules of the GPS windows without the windows: the status texts, the
// terminal text, the port dialog's lists, the UTC correction entries, the
// filter text of track layers, and what the port does with the dialog's OK.

#include "core/DbfTable.h"
#include "core/Expr.h"
#include "gps/GpsContext.h"
#include "gps/GpsReceiver.h"
#include "gps/GpsReceiverPort.h"
#include "gps/GpsWindowRules.h"
#include "gps/TrackFilterText.h"
#include "layers/Layer.h"
#include "tests/gps/RecordingWindow.h"
#include "tests/gps/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(GpsStatusTexts, SatellitesShowBesideTheStatusOnlyWhenReported)
{
    struct Case {
        int satellites;
        bool valid;
        const char* shown;
    };
    for (const Case& c : {Case{7, true, "7 - OK"}, Case{12, false, "12 - NOK"}, Case{1, true, "1 - OK"},
                          Case{0, true, "OK"}, Case{-1, false, "NOK"}, Case{0, false, "NOK"}})
        EXPECT_EQ(FormatFixStatus(c.satellites, c.valid), c.shown) << c.satellites << " " << c.valid;
}

TEST(GpsStatusTexts, TimeAndDateTakeTheCorrectionAndFiguresTheirFormats)
{
    GpsFix fix = MakeFix(25.279652, 54.687157);
    fix.time = MakeUtcTime(2005, 6, 17, 22, 30, 5);
    fix.speed = 41.6;
    fix.course = 84.4;
    struct Case {
        int correction;
        const char* time;
        const char* date;
    };
    for (const Case& c : {Case{0, "22:30:05", "2005.06.17"}, Case{3, "01:30:05", "2005.06.18"},
                          Case{-12, "10:30:05", "2005.06.17"}, Case{12, "10:30:05", "2005.06.18"}}) {
        const CGpsStatusTexts texts = FormatGpsStatus(fix, c.correction);
        EXPECT_EQ(texts.time, c.time) << c.correction;
        EXPECT_EQ(texts.date, c.date) << c.correction;
    }
    const CGpsStatusTexts texts = FormatGpsStatus(fix, 0);
    EXPECT_EQ(texts.course, "84\xB0");
    EXPECT_EQ(texts.speed, "42 km/h");
    EXPECT_EQ(texts.status, "7 - OK");
    EXPECT_EQ(texts.longitude, CMapPoint(fix.longitude, fix.latitude).FormatLongitude(0));
    EXPECT_EQ(texts.latitude, CMapPoint(fix.longitude, fix.latitude).FormatLatitude(0));
    EXPECT_FALSE(texts.longitude.empty());
}

TEST(GpsStatusTexts, AFixWithoutPlaceOrTimeShowsNoneOfThem)
{
    const CGpsStatusTexts texts = FormatGpsStatus(GpsFix{}, 2);
    EXPECT_EQ(texts.longitude, "");
    EXPECT_EQ(texts.latitude, "");
    EXPECT_EQ(texts.time, "");
    EXPECT_EQ(texts.date, "");
    EXPECT_EQ(texts.status, "NOK");
}

TEST(TerminalText, PiecesAreJoinedByOneBlank)
{
    CTerminalText terminal;
    EXPECT_FALSE(terminal.Append(std::string_view("$GPRMC\0$GPGGA", 13)));
    EXPECT_EQ(terminal.Text(), "$GPRMC $GPGGA");
    EXPECT_FALSE(terminal.Append("\r\nmore"));
    EXPECT_EQ(terminal.Text(), "$GPRMC $GPGGA\r\nmore");
    EXPECT_FALSE(terminal.Append(std::string_view("a\0\0b", 4)));
    EXPECT_EQ(terminal.Text(), "$GPRMC $GPGGA\r\nmorea  b");
    EXPECT_FALSE(terminal.Append({}));
    EXPECT_EQ(terminal.Text(), "$GPRMC $GPGGA\r\nmorea  b");
}

TEST(TerminalText, OnlyTheNewestBytesAreKept)
{
    CTerminalText terminal;
    const std::string first(CTerminalText::kCapacity - 10, 'a');
    EXPECT_FALSE(terminal.Append(first));
    EXPECT_TRUE(terminal.Append("0123456789XYZ"));
    ASSERT_EQ(terminal.Text().size(), CTerminalText::kCapacity);
    EXPECT_EQ(terminal.Text().substr(CTerminalText::kCapacity - 13), "0123456789XYZ");
    EXPECT_EQ(terminal.Text().substr(0, 3), "aaa");
    // One piece larger than the whole text: its end stays.
    std::string huge(3 * CTerminalText::kCapacity, 'b');
    huge.back() = 'E';
    EXPECT_TRUE(terminal.Append(huge));
    EXPECT_EQ(terminal.Text(), huge.substr(huge.size() - CTerminalText::kCapacity));
}

TEST(PortChoice, EachListMapsToItsSetting)
{
    struct Case {
        const char* name;
        CPortChoice choice;
        int port;
        SerialLineSettings line;
    };
    const Case cases[] = {
        {"none and the first entries", {0, 0, 0, 0, 0, 0}, 0, {110, 4, 0, 0, 0}},
        {"even parity is code 2", {3, 5, 4, 1, 1, 1}, 3, {4800, 8, 2, 1, 1}},
        {"odd parity is code 1", {12, 11, 3, 2, 2, 2}, 12, {115200, 7, 1, 2, 2}},
        {"mark and space", {1, 6, 2, 3, 0, 0}, 1, {9600, 6, 3, 0, 0}},
        {"space", {5, 7, 1, 4, 0, 0}, 5, {14400, 5, 4, 0, 0}},
    };
    for (const Case& c : cases) {
        int port = 99;
        SerialLineSettings line{1, 1, 9, 9, 9};
        ApplyPortChoice(c.choice, port, line);
        EXPECT_EQ(port, c.port) << c.name;
        EXPECT_EQ(line.baudRate, c.line.baudRate) << c.name;
        EXPECT_EQ(line.byteSize, c.line.byteSize) << c.name;
        EXPECT_EQ(line.parity, c.line.parity) << c.name;
        EXPECT_EQ(line.stopBits, c.line.stopBits) << c.name;
        EXPECT_EQ(line.flowControl, c.line.flowControl) << c.name;
        // And the same settings select the same entries.
        const CPortChoice back = PortChoiceFromSettings(c.port, c.line);
        EXPECT_EQ(back.port, c.choice.port) << c.name;
        EXPECT_EQ(back.baudRate, c.choice.baudRate) << c.name;
        EXPECT_EQ(back.byteSize, c.choice.byteSize) << c.name;
        EXPECT_EQ(back.parity, c.choice.parity) << c.name;
        EXPECT_EQ(back.stopBits, c.choice.stopBits) << c.name;
        EXPECT_EQ(back.flowControl, c.choice.flowControl) << c.name;
    }
}

TEST(PortChoice, AValueNoEntryStandsForSelectsNoneAndIsKept)
{
    const SerialLineSettings stored{2000, 3, 7, 5, 3};
    const CPortChoice choice = PortChoiceFromSettings(20, stored);
    EXPECT_EQ(choice.port, -1);
    EXPECT_EQ(choice.baudRate, -1);
    EXPECT_EQ(choice.byteSize, -1);
    EXPECT_EQ(choice.parity, -1);
    EXPECT_EQ(choice.stopBits, -1);
    EXPECT_EQ(choice.flowControl, -1);
    int port = 20;
    SerialLineSettings line = stored;
    ApplyPortChoice(choice, port, line);
    EXPECT_EQ(port, 20);
    EXPECT_EQ(line.baudRate, 2000u);
    EXPECT_EQ(line.byteSize, 3);
    EXPECT_EQ(line.parity, 7);
    EXPECT_EQ(line.stopBits, 5);
    EXPECT_EQ(line.flowControl, 3);
}

TEST(TimeCorrectionEntries, EveryEntryGoesBothWays)
{
    EXPECT_EQ(TimeCorrectionEntry(-3), 15);
    EXPECT_EQ(TimeCorrectionText(15), "UTC-03:00");
    EXPECT_EQ(TimeCorrectionFromEntry(15, 0), -3);
    EXPECT_EQ(TimeCorrectionText(0), "UTC");
    EXPECT_EQ(TimeCorrectionText(1), "UTC+01:00");
    EXPECT_EQ(TimeCorrectionText(12), "UTC+12:00");
    EXPECT_EQ(TimeCorrectionText(13), "UTC-01:00");
    EXPECT_EQ(TimeCorrectionText(24), "UTC-12:00");
    std::vector<std::string> texts;
    for (int entry = 0; entry < kTimeCorrectionEntries; ++entry) {
        const int hours = TimeCorrectionFromEntry(entry, 99);
        EXPECT_GE(hours, -12) << entry;
        EXPECT_LE(hours, 12) << entry;
        EXPECT_EQ(TimeCorrectionEntry(hours), entry);
        const std::string sign = hours < 0 ? "-" : "+";
        EXPECT_EQ(TimeCorrectionText(entry), hours == 0 ? "UTC" : FormatC("UTC%s%02d:00", sign.c_str(), std::abs(hours)));
    }
}

TEST(TimeCorrectionEntries, OutsideTheListTheValueIsKept)
{
    EXPECT_EQ(TimeCorrectionEntry(13), -1);
    EXPECT_EQ(TimeCorrectionEntry(-13), -1);
    EXPECT_EQ(TimeCorrectionFromEntry(-1, 5), 5);
    EXPECT_EQ(TimeCorrectionFromEntry(25, -7), -7);
}

// ------------------------------------------------------------ track filter

constexpr CTrackFilterValues::Day kToday{2024, 5, 3};

TEST(TrackFilterText, OnlyTheEndGivesTheRangeOfThatEnd)
{
    CTrackFilterValues values;
    values.to = true;
    values.toDay = {2005, 6, 17};
    values.toTime = {18, 0, 0};
    EXPECT_EQ(TrackFilterText(values),
              "((Date < \"2005.06.17\") .OR. (Date = \"2005.06.17\") .AND. (Time <= \"18:00:00\"))");
    EXPECT_EQ(TrackFilterText(CTrackFilterValues{}), "");
}

TEST(TrackFilterText, PartsAreJoinedByAnd)
{
    CTrackFilterValues values;
    values.status = true;
    values.statusOk = false;
    values.from = true;
    values.fromDay = {2005, 6, 1};
    values.fromTime = {6, 5, 4};
    values.to = true;
    values.toDay = {2005, 6, 17};
    EXPECT_EQ(TrackFilterText(values),
              "(Status = \"NOK\") .AND. "
              "((Date > \"2005.06.01\") .OR. (Date = \"2005.06.01\") .AND. (Time >= \"06:05:04\")) .AND. "
              "((Date < \"2005.06.17\") .OR. (Date = \"2005.06.17\") .AND. (Time <= \"23:59:59\"))");
}

TEST(TrackFilterText, EveryCombinationComesBackFromItsText)
{
    for (int bits = 0; bits < 32; ++bits) {
        CTrackFilterValues values;
        values.fromDay = values.toDay = kToday;
        values.status = bits & 1;
        values.statusOk = !(bits & 16);
        values.from = bits & 2;
        values.to = bits & 4;
        values.lastRecordOnly = bits & 8;
        if (values.from) {
            values.fromDay = {2004, 2, 29};
            values.fromTime = {7, 8, 9};
        }
        if (values.to) {
            values.toDay = {2005, 12, 31};
            values.toTime = {20, 0, 1};
        }
        // An unchecked status reads back as "OK".
        CTrackFilterValues expected = values;
        if (!values.status)
            expected.statusOk = true;
        const std::string text = TrackFilterText(values);
        const uint32_t flags = CLayer::kDefaultFlags | (values.lastRecordOnly ? CLayer::kNewestRecordOnly : 0u);
        EXPECT_EQ(ReadTrackFilter(text, flags, kToday), expected) << bits << ": " << text;
    }
}

TEST(TrackFilterText, ADayOrTimeThatDoesNotReadKeepsTheDefaults)
{
    struct Case {
        const char* text;
        bool from, to;
        CTrackFilterValues::Day fromDay, toDay;
        CTrackFilterValues::TimeOfDay fromTime, toTime;
    };
    const CTrackFilterValues::TimeOfDay midnight{0, 0, 0}, late{23, 59, 59};
    const Case cases[] = {
        {"(Date > \"x\") .AND. (Time >= \"y\")", true, false, kToday, kToday, midnight, late},
        {"(Date > \"2005.02.30\") .OR. (Time >= \"25:00:00\")", true, false, kToday, kToday, midnight, late},
        {"(Date < \"2005.06\") .AND. (Time <= \"18:00\")", false, true, kToday, kToday, midnight, late},
        {"(Date < \"2005.06.17\") .AND. (Time <= \"18:00:60\")", false, true, kToday, {2005, 6, 17}, midnight, late},
        {"Date > ", false, false, kToday, kToday, midnight, late},
        {"(Date > \"2005.06.17\")", false, false, kToday, kToday, midnight, late},
        {"Date > \"2001.01.02\" Time >= \"01:02:03\" Date < \"2002.03.04\" Time <= \"04:05:06\"", true, true,
         {2001, 1, 2}, {2002, 3, 4}, {1, 2, 3}, {4, 5, 6}},
    };
    for (const Case& c : cases) {
        const CTrackFilterValues values = ReadTrackFilter(c.text, 0, kToday);
        EXPECT_EQ(values.from, c.from) << c.text;
        EXPECT_EQ(values.to, c.to) << c.text;
        EXPECT_EQ(values.fromDay, c.fromDay) << c.text;
        EXPECT_EQ(values.toDay, c.toDay) << c.text;
        EXPECT_EQ(values.fromTime, c.fromTime) << c.text;
        EXPECT_EQ(values.toTime, c.toTime) << c.text;
        EXPECT_FALSE(values.status) << c.text;
    }
}

TEST(TrackFilterText, TheStatusIsNokUnlessQuotedOk)
{
    for (const auto& [text, ok] : {std::pair{"(Status = \"OK\")", true}, {"(Status = \"NOK\")", false},
                                    {"(Status = 'OK')", false}, {"Status = ", false}, {"(Status = \"OK", false}}) {
        const CTrackFilterValues values = ReadTrackFilter(text, 0, kToday);
        EXPECT_TRUE(values.status) << text;
        EXPECT_EQ(values.statusOk, ok) << text;
    }
}

TEST(TrackFilterText, TheTextsSelectTheRecordsOfATrackTable)
{
    CTempDir dir;
    const std::string path = dir.File("track.dbf");
    ASSERT_TRUE(WriteTable(path, {{"Status", 'C', 3, 0}, {"Date", 'C', 10, 0}, {"Time", 'C', 8, 0}},
                           {{"OK", "2005.06.16", "23:00:00"},
                            {"OK", "2005.06.17", "06:00:00"},
                            {"NOK", "2005.06.17", "17:59:59"},
                            {"OK", "2005.06.17", "18:00:00"},
                            {"OK", "2005.06.17", "18:00:01"},
                            {"NOK", "2005.06.18", "00:00:00"}}));
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    auto selected = [&table](const CTrackFilterValues& values) {
        const std::string text = TrackFilterText(values);
        CExpr expr(&table, text);
        expr.RequireLogical();
        EXPECT_TRUE(expr.IsCompiled()) << text << " error " << expr.GetErrorCode();
        std::vector<int> records;
        for (int n = 0; n < table.GetRecordCount(); ++n)
            if (table.GoToRecord(n) && expr.EvalBool())
                records.push_back(n);
        return records;
    };
    CTrackFilterValues to;
    to.to = true;
    to.toDay = {2005, 6, 17};
    to.toTime = {18, 0, 0};
    EXPECT_EQ(selected(to), (std::vector<int>{0, 1, 2, 3}));

    CTrackFilterValues from;
    from.from = true;
    from.fromDay = {2005, 6, 17};
    from.fromTime = {17, 59, 59};
    EXPECT_EQ(selected(from), (std::vector<int>{2, 3, 4, 5}));

    CTrackFilterValues both = from;
    both.to = true;
    both.toDay = to.toDay;
    both.toTime = to.toTime;
    EXPECT_EQ(selected(both), (std::vector<int>{2, 3}));
    both.status = true;
    EXPECT_EQ(selected(both), (std::vector<int>{3}));
    both.statusOk = false;
    EXPECT_EQ(selected(both), (std::vector<int>{2}));

    CTrackFilterValues status;
    status.status = true;
    status.statusOk = false;
    EXPECT_EQ(selected(status), (std::vector<int>{2, 5}));
}

TEST(TrackFilterText, TheLayerTakesTheTextAndTheLastRecordFlag)
{
    CLayer layer("Trasa", "trasa.trk", CLayer::kTrack);
    CTrackFilterValues values;
    values.status = true;
    values.lastRecordOnly = true;
    WriteTrackFilter(values, layer);
    EXPECT_EQ(layer.GetFilter(), "(Status = \"OK\")");
    EXPECT_TRUE(layer.HasFlag(CLayer::kNewestRecordOnly));
    EXPECT_EQ(ReadTrackFilter(layer, kToday).lastRecordOnly, true);
    values.lastRecordOnly = false;
    values.status = false;
    WriteTrackFilter(values, layer);
    EXPECT_EQ(layer.GetFilter(), "");
    EXPECT_FALSE(layer.HasFlag(CLayer::kNewestRecordOnly));
    EXPECT_TRUE(layer.HasFlag(CLayer::kShown));
}

// ------------------------------------------------------------ port configuration

// The receiver's line is a pseudo-terminal mapped to COM5.
class PortConfigurationTest : public ::testing::Test {
protected:
    PortConfigurationTest()
    {
        EXPECT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        CAppProfile::Instance().WriteString("SerialPorts", "COM5", ::ttyname(slave));
        CAppProfile::Instance().WriteString("SerialPorts", "COM6", folders.dir.File("no such device"));
        CAppProfile::Instance().WriteInt("GPS", "WriteToLog", 0);
    }
    ~PortConfigurationTest() override
    {
        receiver.Close();
        ::close(master);
        ::close(slave);
    }

    CGpsFolders folders;
    CScriptedUserServices ui;
    CRecordingWindow window;
    CGpsReceiver receiver;
    int master = -1, slave = -1;
};

TEST_F(PortConfigurationTest, AnOpenPortIsReopenedForReadingAndWritingWithItsNotifyWindow)
{
    receiver.SetPort(5);
    ASSERT_TRUE(receiver.Open(&window, 0x407, GENERIC_READ));
    EXPECT_FALSE(receiver.Write("x")) << "opened for reading only";
    const SerialLineSettings line{9600, 7, 2, 2, 0};
    EXPECT_TRUE(receiver.ApplyConfiguration(5, line));
    ASSERT_TRUE(receiver.IsOpen());
    EXPECT_TRUE(receiver.Write("$PING\r\n"));
    char got[16] = {};
    EXPECT_EQ(::read(master, got, 7), 7);
    EXPECT_EQ(std::string(got, 7), "$PING\r\n");
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "BaudRate", 0), 9600);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Parity", 0), 2);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", 0), 5);

    // The reader still posts its fixes to the window it had.
    const char rmc[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    ASSERT_EQ(::write(master, rmc, sizeof rmc - 1), static_cast<ssize_t>(sizeof rmc - 1));
    EXPECT_TRUE(window.WaitForCount(0x407, 1));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PortConfigurationTest, NumberZeroClosesAndAClosedPortOnlyStores)
{
    receiver.SetPort(5);
    ASSERT_TRUE(receiver.Open(&window, 0x407, GENERIC_READ));
    EXPECT_TRUE(receiver.ApplyConfiguration(0, SerialLineSettings{}));
    EXPECT_FALSE(receiver.IsOpen());
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", -1), 0);

    EXPECT_TRUE(receiver.ApplyConfiguration(5, SerialLineSettings{19200, 8, 0, 0, 2}));
    EXPECT_FALSE(receiver.IsOpen());
    EXPECT_EQ(receiver.GetPort(), 5);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", -1), 5);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "FlowControl", -1), 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PortConfigurationTest, ADeviceThatCannotBeOpenedIsReportedAndSaved)
{
    receiver.SetPort(5);
    ASSERT_TRUE(receiver.Open(&window, 0x407, GENERIC_READ));
    EXPECT_FALSE(receiver.ApplyConfiguration(6, SerialLineSettings{}));
    EXPECT_FALSE(receiver.IsOpen());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.front().text, "Unable to open COM6 port");
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "Port", -1), 6);
}

// ------------------------------------------------------------ terminal routing

class CLoggingTerminal : public IGpsTerminalWindow {
public:
    bool Exists() const override { return exists; }
    void AppendText(std::string_view pieces) override { text += pieces; }
    bool exists = true;
    std::string text;
};

TEST_F(PortConfigurationTest, TerminalTextIsTakenOnlyFromTheReceiversOwnPortIntoAWindow)
{
    CGpsReceiverPort owned;
    CGpsContext gps(&owned);
    CLoggingTerminal terminal;
    gps.SetTerminalWindow(&terminal);
    SetMainMessageWindow(&window);
    CSerialPort& port = owned.Receiver();
    port.SetWriteToLog(false);
    port.SetPort(5);
    port.SetTerminalEcho(true);
    ASSERT_TRUE(port.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    ASSERT_EQ(::write(master, "hello", 5), 5);
    ASSERT_TRUE(window.WaitForCount(WM_GPS_TERMINAL_TEXT, 1));
    const uintptr_t address = window.Messages().back().wParam;
    EXPECT_EQ(address, reinterpret_cast<uintptr_t>(&port));

    // Another address, or no window: the text waits in the port.
    gps.ShowTerminalText(address + 8);
    terminal.exists = false;
    gps.ShowTerminalText(address);
    EXPECT_EQ(terminal.text, "");
    terminal.exists = true;
    // The line may bring the bytes in more than one chunk.
    for (int i = 0; i < 200 && terminal.text.size() < 5; ++i) {
        gps.ShowTerminalText(address);
        if (terminal.text.size() < 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(terminal.text, "hello");
    EXPECT_EQ(port.TakeTerminalText(), "") << "drained";
    port.Close();
    SetMainMessageWindow(nullptr);
    gps.SetTerminalWindow(nullptr);
}

} // namespace
