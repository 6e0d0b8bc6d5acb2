// The automation vehicle passed on as "$GPRMC" sentences: the sentence
// text, the port and its timer, and the repaints of showing and hiding.

#include "gps/NmeaDecoder.h"
#include "gps/VehicleMarker.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "tests/gps/PseudoTerminal.h"
#include "tests/gps/ReplayTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {

TEST(VehicleSentenceTest, FieldsHemispheresAndRounding)
{
    struct Case {
        double longitude, latitude, course;
        const char* sentence;
    };
    const Case cases[] = {
        {25.2797, 54.6872, 90, "$GPRMC,000000,A,5441.2320,N,02516.7820,E,0.0,90.0,010100,0.0,E\r\n"},
        {-25.2797, -54.6872, 90, "$GPRMC,000000,A,5441.2320,S,02516.7820,W,0.0,90.0,010100,0.0,E\r\n"},
        {25.2797, 54.6872, -1, "$GPRMC,000000,A,5441.2320,N,02516.7820,E,0.0,0.0,010100,0.0,E\r\n"},
        {0, 0, 359, "$GPRMC,000000,A,0000.0000,N,00000.0000,E,0.0,359.0,010100,0.0,E\r\n"},
        // Minutes that round up to 60 carry into the degrees.
        {179.999999999, 54.99999999, 0, "$GPRMC,000000,A,5500.0000,N,18000.0000,E,0.0,0.0,010100,0.0,E\r\n"},
        {-7.5, -0.00000001, 12.5, "$GPRMC,000000,A,0000.0000,S,00730.0000,W,0.0,12.5,010100,0.0,E\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        CVehicleMarker marker;
        marker.Show(c.longitude, c.latitude, c.course, 0);
        EXPECT_EQ(marker.RmcSentence(), c.sentence);
    }
    CVehicleMarker unset;
    EXPECT_EQ(unset.RmcSentence(), "");
    EXPECT_EQ(unset.GetCourse(), -1);
}

// The emulation port on a pseudo-terminal mapped as COM11; the test reads
// what the program writes through the master side.
class GpsEmulationTest : public ::testing::Test {
protected:
    static constexpr int kPort = 11;

    GpsEmulationTest()
    {
        CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
        SetUserFolderForTesting(dir.File("user/"));
        EXPECT_TRUE(line.IsOpen());
        line.MapAs(kPort);
        CAppProfile::Instance().WriteString("SerialPorts", "COM12", dir.File("no such device"));
    }
    ~GpsEmulationTest() override
    {
        bench.gps.CloseEmulationPort();
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }

    void Tick() { bench.core.OnTimer(CMainFrameCore::kEmulationTimer); }
    bool TimerRuns() const { return bench.timers.IsRunning(CMainFrameCore::kEmulationTimer); }
    std::string ReadLine(int milliseconds = 2000) { return line.ReadLine(milliseconds); }

    CTempDir dir;
    CScriptedUserServices user;
    CReplayBench bench;
    CPseudoTerminal line;
};

TEST_F(GpsEmulationTest, OneSentencePerTickThatTheDecoderReadsBack)
{
    CGpsContext& gps = bench.gps;
    ASSERT_TRUE(gps.OpenEmulationPort(kPort));
    EXPECT_TRUE(gps.EmulationPort().IsOpen());
    EXPECT_FALSE(gps.EmulationPort().IsReaderRunning()) << "written only, never read";
    ASSERT_TRUE(TimerRuns());
    EXPECT_EQ(bench.timers.running[CMainFrameCore::kEmulationTimer], 2000);

    // Unset: the timer runs and writes nothing.
    Tick();
    EXPECT_EQ(ReadLine(100), "");

    gps.Vehicle().Show(25.2797, 54.6872, 90, 0);
    Tick();
    const std::string line = ReadLine();
    ASSERT_FALSE(line.empty());
    // The line discipline may turn the CR LF around; the fields are what count.
    NmeaSentence sentence;
    ASSERT_TRUE(DecodeNmeaSentence(line.substr(0, line.find_first_of("\r\n")), sentence)) << line;
    EXPECT_EQ(sentence.kind, NmeaKind::Rmc);
    EXPECT_TRUE(sentence.valid);
    EXPECT_NEAR(sentence.longitude, 25.2797, 1e-6);
    EXPECT_NEAR(sentence.latitude, 54.6872, 1e-6);
    EXPECT_NEAR(sentence.course, 90, 1e-9);

    gps.Vehicle().Show(-3.25, -40.5, -1, 0);
    Tick();
    const std::string southWest = ReadLine();
    ASSERT_TRUE(DecodeNmeaSentence(southWest.substr(0, southWest.find_first_of("\r\n")), sentence)) << southWest;
    EXPECT_NEAR(sentence.longitude, -3.25, 1e-6);
    EXPECT_NEAR(sentence.latitude, -40.5, 1e-6);
    EXPECT_EQ(sentence.course, 0);

    // Hidden: nothing more.
    gps.Vehicle().Hide();
    Tick();
    EXPECT_EQ(ReadLine(100), "");

    gps.Vehicle().Show(25.2797, 54.6872, 90, 0);
    gps.CloseEmulationPort();
    EXPECT_FALSE(TimerRuns());
    EXPECT_FALSE(gps.IsEmulationTimerRunning());
    EXPECT_FALSE(gps.EmulationPort().IsOpen());
    Tick();
    EXPECT_EQ(ReadLine(100), "");
}

TEST_F(GpsEmulationTest, RefusedPortsOpenNothingAndStartNoTimer)
{
    CGpsContext& gps = bench.gps;
    for (int port : {0, -1, -32768, 128, 32767}) {
        SCOPED_TRACE(port);
        EXPECT_FALSE(gps.OpenEmulationPort(port));
        EXPECT_FALSE(gps.EmulationPort().IsOpen());
        EXPECT_FALSE(TimerRuns());
    }
    EXPECT_TRUE(user.messages.empty());

    // A device that is not there: the port says so, no timer.
    EXPECT_FALSE(gps.OpenEmulationPort(12));
    EXPECT_FALSE(TimerRuns());
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, "Unable to open COM12 port");

    // An open emulation closes when the next open fails.
    ASSERT_TRUE(gps.OpenEmulationPort(kPort));
    EXPECT_FALSE(gps.OpenEmulationPort(0));
    EXPECT_FALSE(gps.EmulationPort().IsOpen());
    EXPECT_FALSE(TimerRuns());

    // Without a main window nothing opens.
    SetMainFrameCore(nullptr);
    EXPECT_FALSE(gps.OpenEmulationPort(kPort));
    EXPECT_FALSE(gps.EmulationPort().IsOpen());
    SetMainFrameCore(&bench.core);
}

TEST_F(GpsEmulationTest, ShowAndHideRepaintTheMapViews)
{
    CVehicleMarker& vehicle = bench.gps.Vehicle();
    vehicle.Hide();
    EXPECT_EQ(bench.repaints, 0) << "hidden already";
    vehicle.Show(25, 54, 10, 0x10000);
    EXPECT_EQ(bench.repaints, 0) << "only the low 16 bits ask to follow";
    EXPECT_TRUE(vehicle.IsSet());
    vehicle.Show(25, 54, 10, 1);
    EXPECT_EQ(bench.repaints, 1);
    vehicle.Hide();
    vehicle.Hide();
    EXPECT_EQ(bench.repaints, 2) << "hiding twice repaints once";
    EXPECT_FALSE(vehicle.IsSet());
    EXPECT_EQ(vehicle.GetLatitude(), DBL_MAX);
}

} // namespace
