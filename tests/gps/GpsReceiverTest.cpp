#include "gps/GpsReceiver.h"
#include "tests/gps/RecordingWindow.h"
#include "tests/support/TestSupport.h"

#include "platform/AppProfile.h"

#include <gtest/gtest.h>

namespace {

// The receiver fed chunk by chunk, as its reader thread feeds it.
class CFedReceiver : public CGpsReceiver {
public:
    explicit CFedReceiver(IMessageWindow* window) { SetNotifyTarget(window, WM_GPS_NEW_FIX); }
    void Feed(std::string_view chunk) { ReceiveChunk(chunk.data(), chunk.size()); }
    // Feeds text in pieces of at most the reader's chunk size.
    void FeedInReads(std::string_view text)
    {
        for (size_t i = 0; i < text.size(); i += kReadChunk)
            Feed(text.substr(i, kReadChunk));
    }
    using CSerialPort::ReceivedText;
};

std::string Rmc(int hhmmss, const char* lat = "4807.038")
{
    char line[128];
    std::snprintf(line, sizeof line, "$GPRMC,%06d,A,%s,N,01131.000,E,022.4,084.4,230305,003.1,W\r\n", hhmmss, lat);
    return line;
}

class GpsReceiverTest : public ::testing::Test {
protected:
    GpsReceiverTest() { CAppProfile::Instance().SetFilePathForTesting(m_dir.File("Drel.ini")); }
    ~GpsReceiverTest() override { CAppProfile::Instance().SetFilePathForTesting(""); }

    GpsFix Fix() const
    {
        GpsFix fix;
        receiver.GetFix(fix);
        return fix;
    }

    CTempDir m_dir;
    CScriptedUserServices ui;

public:
    CRecordingWindow window;
    CFedReceiver receiver{&window};
};

} // namespace

TEST_F(GpsReceiverTest, SentencesAcrossAndWithinChunks)
{
    std::string first = Rmc(123519);
    receiver.Feed(first.substr(0, 30));
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 0u);
    receiver.Feed(first.substr(30));
    ASSERT_EQ(window.Count(WM_GPS_NEW_FIX), 1u);
    EXPECT_EQ(window.Messages()[0].lParam, reinterpret_cast<intptr_t>(&receiver));
    EXPECT_EQ(window.Messages()[0].wParam, 0u);

    // GGA and RMC of one second in one read: both handled, satellites kept.
    receiver.Feed("$GPGGA,123520,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,\r\n" + Rmc(123520, "4808.000"));
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 2u);
    EXPECT_EQ(Fix().satellites, 7);
    EXPECT_NEAR(Fix().latitude, 48 + 8 / 60.0, 1e-9);
    // A GGA alone posts nothing.
    receiver.Feed("$GPGGA,123521,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,\r\n");
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 2u);
    EXPECT_EQ(receiver.ReceivedText(), "\n");
}

TEST_F(GpsReceiverTest, BurstOfSentences)
{
    std::string burst;
    int sentences = 0;
    while (burst.size() < 5000) {
        burst += "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n";
        burst += Rmc(100000 + sentences / 60 * 100 + sentences % 60);
        ++sentences;
    }
    receiver.FeedInReads(burst);
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), static_cast<size_t>(sentences));
    EXPECT_EQ(Fix().time, MakeUtcTime(2005, 3, 23, 10, 0, sentences - 1));
}

TEST_F(GpsReceiverTest, NoiseNulBytesAndOverlongLines)
{
    // NUL padding before a sentence is skipped; a NUL inside spoils its sentence.
    receiver.Feed(std::string("\0\0", 2) + Rmc(120000));
    std::string spoiled = Rmc(120001);
    spoiled[20] = '\0';
    receiver.Feed(spoiled);
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 1u);
    EXPECT_EQ(Fix().ggaTime, -1);
    EXPECT_EQ(FormatFixTime(Fix().time, "%H%M%S"), "120000");

    // Thousands of bytes without a carriage return: the held text is given
    // up once it would pass the buffer, and sentences after it still count.
    receiver.FeedInReads(std::string(4100, 'x'));
    EXPECT_LT(receiver.ReceivedText().size(), CSerialPort::kReceiveCapacity);
    receiver.Feed(std::string(3600 - receiver.ReceivedText().size(), 'y'));
    ASSERT_EQ(receiver.ReceivedText().size(), 3600u);
    receiver.Feed(std::string(512, 'z'));
    EXPECT_EQ(receiver.ReceivedText(), std::string(512, 'z'));
    receiver.Feed("\r\n" + Rmc(120002));
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 2u);

    // An over-long line that starts like a sentence is no sentence.
    receiver.Feed("$GPRMC,120003,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1,W" + std::string(200, ',') +
                  "\r\n");
    EXPECT_EQ(window.Count(WM_GPS_NEW_FIX), 2u);
    EXPECT_EQ(receiver.ReceivedText(), "\n");
}

TEST_F(GpsReceiverTest, TerminalEchoDropsWhatDoesNotFit)
{
    CRecordingWindow mainWindow;
    SetMainMessageWindow(&mainWindow);
    receiver.Feed("before echo");
    receiver.SetTerminalEcho(true);
    for (int i = 0; i < 16; ++i)
        receiver.Feed(std::string(500, 'a'));
    EXPECT_EQ(mainWindow.Count(WM_GPS_TERMINAL_TEXT), 16u);
    EXPECT_EQ(mainWindow.Messages()[0].wParam, reinterpret_cast<uintptr_t>(static_cast<CSerialPort*>(&receiver)));
    receiver.Feed(std::string(300, 'b'));
    EXPECT_EQ(mainWindow.Count(WM_GPS_TERMINAL_TEXT), 16u);
    EXPECT_EQ(receiver.TakeTerminalText(), std::string(8000, 'a'));
    receiver.Feed(std::string(300, 'c'));
    EXPECT_EQ(mainWindow.Count(WM_GPS_TERMINAL_TEXT), 17u);
    EXPECT_EQ(receiver.TakeTerminalText(), std::string(300, 'c'));
    SetMainMessageWindow(nullptr);
}
