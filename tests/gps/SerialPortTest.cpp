#include "gps/GpsReceiver.h"
#include "tests/gps/RecordingWindow.h"
#include "tests/support/TestSupport.h"

#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPort = 7;
const char kSentences[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                          "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

// A pseudo-terminal stands in for the receiver's line: the port opens the
// slave as COM7, the test talks through the master.
class SerialPortTest : public ::testing::Test {
protected:
    SerialPortTest()
    {
        CAppProfile::Instance().SetFilePathForTesting(m_dir.File("Drel.ini"));
        SetUserFolderForTesting(m_dir.File("user/"));
        EXPECT_EQ(::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr), 0);
        // The test keeps its slave open, so the line stays up between opens of the port.
        CAppProfile::Instance().WriteString("SerialPorts", "COM7", ::ttyname(m_slave));
        CAppProfile::Instance().WriteInt("GPS", "Port", kPort);
    }
    ~SerialPortTest() override
    {
        if (m_master >= 0)
            ::close(m_master);
        ::close(m_slave);
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }

    void SendToPort(std::string_view bytes)
    {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string ReadFromPort(size_t size)
    {
        std::string bytes(size, '\0');
        size_t got = 0;
        while (got < size) {
            ssize_t n = ::read(m_master, bytes.data() + got, size - got);
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }
    void HangUp()
    {
        ::close(m_master);
        m_master = -1;
    }
    std::string LogPath(const char* day) { return m_dir.File(std::string("user/GPSLog/GPS") + day + ".log"); }

    CTempDir m_dir;
    CScriptedUserServices ui;
    CRecordingWindow window;
    int m_master = -1;
    int m_slave = -1;
};

// Noon UTC falls on the same local day in every usual time zone.
constexpr int64_t kNoon17June2005 = 1119009600;

} // namespace

TEST_F(SerialPortTest, OpensReadsAndDecodesAStream)
{
    CGpsReceiver receiver;
    ASSERT_EQ(receiver.GetPort(), kPort);
    ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    EXPECT_TRUE(receiver.IsReaderRunning());
    SendToPort(kSentences);
    ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1));
    GpsFix fix;
    receiver.GetFix(fix);
    EXPECT_EQ(fix.satellites, 8);
    EXPECT_NEAR(fix.latitude, 48.1173, 1e-6);

    // A burst far larger than one read.
    std::string burst;
    int count = 0;
    while (burst.size() < 5000) {
        char line[96];
        std::snprintf(line, sizeof line, "$GPRMC,13%02d%02d,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1,W\r\n",
                      count / 60, count % 60);
        ++count;
        burst += line;
    }
    SendToPort(burst);
    ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1 + count));
    receiver.GetFix(fix);
    EXPECT_EQ(fix.time, MakeUtcTime(2005, 3, 23, 13, 0, count - 1));
    EXPECT_TRUE(receiver.Close());
    EXPECT_FALSE(receiver.IsOpen());
    EXPECT_FALSE(receiver.IsReaderRunning());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SerialPortTest, ClosingWhileStreaming)
{
    // The master side keeps sending without waiting for anyone.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += kSentences;
        size_t at = 0;
        while (!stop.load()) {
            ssize_t n = ::write(m_master, text.data() + at, text.size() - at);
            if (n > 0)
                at = (at + static_cast<size_t>(n)) % text.size();
            struct pollfd fd = {m_master, POLLOUT, 0};
            ::poll(&fd, 1, 10);
        }
    });
    CGpsReceiver receiver;
    size_t seen = 0;
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
        ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, seen + 1));
        receiver.Close();
        EXPECT_FALSE(receiver.IsReaderRunning());
        seen = window.Count(WM_GPS_NEW_FIX);
    }
    // Destroyed while open and streaming.
    {
        CGpsReceiver last;
        ASSERT_TRUE(last.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
        ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, seen + 1));
    }
    stop.store(true);
    sender.join();
}

TEST_F(SerialPortTest, HangUpEndsTheReader)
{
    CGpsReceiver receiver;
    ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    SendToPort(kSentences);
    ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1));
    HangUp();
    EXPECT_TRUE(receiver.WaitForReaderEnd(std::chrono::seconds(20)));
    EXPECT_TRUE(receiver.IsOpen());
    EXPECT_TRUE(receiver.Close());
}

TEST_F(SerialPortTest, WriteOnlyPortWritesAndTimesOut)
{
    CSerialPort port("EmulateGPS");
    port.SetPort(kPort);
    SerialLineSettings line;
    line.baudRate = 115200;
    port.SetLineSettings(line);
    ASSERT_TRUE(port.Open(nullptr, 0, GENERIC_WRITE));
    EXPECT_FALSE(port.IsReaderRunning());
    EXPECT_TRUE(port.Write("$GPRMC,000000,A\r\n"));
    EXPECT_EQ(ReadFromPort(17), "$GPRMC,000000,A\r\n");
    // Nobody reads the line: a megabyte cannot go out within 100 ms.
    EXPECT_FALSE(port.Write(std::string(1 << 20, 'x')));
    port.Close();
    EXPECT_FALSE(port.Write("late"));
    // Only received bytes are logged.
    EXPECT_FALSE(PathExists(m_dir.File("user/GPSLog")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SerialPortTest, DailyRawLog)
{
    CGpsReceiver receiver;
    ASSERT_TRUE(receiver.GetWriteToLog());
    int64_t now = kNoon17June2005;
    receiver.SetClockForTesting([&now] { return now; });
    auto receive = [&](std::string_view bytes, size_t fixes) {
        ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
        SendToPort(bytes);
        // The chunk holding the last sentence is logged before the reader can stop.
        ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, fixes));
        receiver.Close();
    };
    const std::string odd = std::string("\0\xff noise\r", 9) + kSentences;
    receive(odd, 1);
    receive(kSentences, 2);
    EXPECT_EQ(ReadWholeFile(LogPath("20050617")), odd + kSentences);
    now += 86400;
    receive(kSentences, 3);
    EXPECT_EQ(ReadWholeFile(LogPath("20050618")), kSentences);

    // Switched off: stored, and the next open logs nothing.
    receiver.SetWriteToLog(false);
    EXPECT_EQ(CAppProfile::Instance().GetInt("GPS", "WriteToLog", 1), 0);
    now += 86400;
    receive(kSentences, 4);
    EXPECT_FALSE(PathExists(LogPath("20050619")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SerialPortTest, LogThatCannotBeOpenedStillOpensThePort)
{
    // Another writer holds the day's log.
    auto other = CFileStream::Open(WritableProgramFile("GPSLog/GPS20050617.log"), FileMode::CreateAlways);
    ASSERT_TRUE(other && other->TryLockRegion(0, 1));
    CGpsReceiver receiver;
    receiver.SetClockForTesting([] { return kNoon17June2005; });
    ASSERT_TRUE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1007});
    SendToPort(kSentences);
    EXPECT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1));
}

TEST_F(SerialPortTest, PortsThatCannotBeOpened)
{
    CGpsReceiver receiver;
    for (int port : {0, 128, 200, -1}) {
        CAppProfile::Instance().WriteInt("GPS", "Port", port);
        receiver.SetPort(port);
        EXPECT_FALSE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ)) << port;
        EXPECT_FALSE(receiver.IsOpen());
    }
    EXPECT_TRUE(ui.messages.empty());

    CAppProfile::Instance().WriteString("SerialPorts", "COM9", m_dir.File("no-such-device"));
    receiver.SetPort(9);
    EXPECT_FALSE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to open COM9 port");
}

namespace {

class CThreadlessReceiver : public CGpsReceiver {
protected:
    bool StartReaderThread() override { return false; }
};

} // namespace

TEST_F(SerialPortTest, FailedThreadStartCleansUp)
{
    CThreadlessReceiver receiver;
    receiver.SetClockForTesting([] { return kNoon17June2005; });
    EXPECT_FALSE(receiver.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    EXPECT_FALSE(receiver.IsOpen());
    EXPECT_FALSE(receiver.IsReaderRunning());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to open COM7 port");
    // The log was let go.
    auto log = CFileStream::Open(LogPath("20050617"), FileMode::ReadWrite);
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->TryLockRegion(0, 1));
    // And the device: a sound receiver opens it at once.
    CGpsReceiver sound;
    ASSERT_TRUE(sound.Open(&window, WM_GPS_NEW_FIX, GENERIC_READ));
    SendToPort(kSentences);
    EXPECT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1));
}

TEST(SerialPort, WriteTimeoutFollowsTheBaudRate)
{
    EXPECT_EQ(CSerialPort::WriteTimeout(4800, 10).count(), 4 * 10 + 100);
    EXPECT_EQ(CSerialPort::WriteTimeout(57600, 10).count(), 100);
    EXPECT_EQ(CSerialPort::WriteTimeout(110, 2).count(), 174 * 2 + 100);
}

TEST(SerialPort, SettingsInTheProfile)
{
    CTempDir dir;
    CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
    WriteWholeFile(dir.File("Drel.ini"), "[GPS]\r\nPort=3\r\nBaudRate=0\r\nByteSize=9\r\nStopBits=2\r\n"
                                         "Parity=4\r\nFlowControl=7\r\nWriteToLog=0\r\n");
    CGpsReceiver receiver;
    EXPECT_EQ(receiver.GetPort(), 3);
    SerialLineSettings line = receiver.GetLineSettings();
    // Impossible values keep the defaults.
    EXPECT_EQ(line.baudRate, 4800u);
    EXPECT_EQ(line.byteSize, 8);
    EXPECT_EQ(line.flowControl, 0);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_EQ(line.parity, 4);
    EXPECT_FALSE(receiver.GetWriteToLog());
    line.baudRate = 9600;
    receiver.SetLineSettings(line);
    receiver.SaveSettings();
    CIniFile ini(dir.File("Drel.ini"));
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.GetInt("GPS", "BaudRate", 0), 9600);
    EXPECT_EQ(ini.GetInt("GPS", "FlowControl", -1), 0);
    CAppProfile::Instance().SetFilePathForTesting("");
}
