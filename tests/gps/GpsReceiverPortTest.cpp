#include "gps/GpsReceiverPort.h"
#include "tests/gps/RecordingWindow.h"
#include "tests/support/TestSupport.h"

#include "platform/AppFolders.h"
#include "platform/AppProfile.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

namespace {

// The receiver as the main window sees it, over a pseudo-terminal as COM3.
TEST(GpsReceiverPort, OpensForReadingAndHandsOnTheDecodedFix)
{
    CTempDir dir;
    CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
    SetUserFolderForTesting(dir.File("user/"));
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    CAppProfile::Instance().WriteString("SerialPorts", "COM3", ::ttyname(slave));
    CAppProfile::Instance().WriteInt("GPS", "Port", 3);
    CScriptedUserServices ui;
    {
        CGpsReceiverPort port;
        CRecordingWindow window;
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.GetLastFix().HasPosition());
        ASSERT_TRUE(port.Open(window, WM_GPS_NEW_FIX));
        EXPECT_TRUE(port.IsOpen());

        const std::string rmc = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                                "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1,W\r\n";
        ASSERT_EQ(::write(master, rmc.data(), rmc.size()), static_cast<ssize_t>(rmc.size()));
        ASSERT_TRUE(window.WaitForCount(WM_GPS_NEW_FIX, 1));
        EXPECT_EQ(window.Messages()[0].lParam, reinterpret_cast<intptr_t>(&port.Receiver()));

        const CGpsPosition fix = port.GetLastFix();
        EXPECT_NEAR(fix.latitude, 48.1173, 1e-9);
        EXPECT_NEAR(fix.longitude, 11.516667, 1e-6);
        EXPECT_NEAR(fix.speed, 41.4848, 1e-9);
        EXPECT_EQ(fix.course, 84.4);
        EXPECT_TRUE(fix.valid);
        EXPECT_EQ(fix.time, MakeUtcTime(2005, 3, 23, 12, 35, 19));
        EXPECT_EQ(fix.satellites, 8);

        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_TRUE(ui.messages.empty());
    ::close(master);
    ::close(slave);
    SetUserFolderForTesting("");
    CAppProfile::Instance().SetFilePathForTesting("");
}

} // namespace
