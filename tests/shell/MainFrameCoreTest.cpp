#include "shell/MainFrameCore.h"

#include "mapdoc/ExtensionHooks.h"
#include "platform/AppProfile.h"
#include "platform/MessageWindow.h"
#include "tests/shell/FakeGps.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

class CNoWindow : public IMessageWindow {
public:
    void PostMessage(unsigned, uintptr_t, intptr_t) override {}
};

// An extension module that answers its message hook.
class CMessageExtension : public CExtensionHooks {
public:
    CMessageExtension() { SetExtension(this); }
    ~CMessageExtension() override { SetExtension(nullptr); }
    intptr_t OnMessage(int code, uintptr_t wParam, intptr_t lParam) override
    {
        calls.push_back(std::to_string(code) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
        return code * 10;
    }
    Log calls;
};

class MainFrameCoreTest : public ::testing::Test {
protected:
    MainFrameCoreTest()
    {
        core.SetInvalidateMapViews([this] { ++invalidations; });
        port.fix.longitude = 25.2797;
        port.fix.latitude = 54.6872;
        port.fix.speed = 41.5;
        port.fix.valid = true;
    }

    CFakeTimers timers;
    CNoWindow window;
    CFakeReceiverPort port;
    CLoggingGpsHooks hooks;
    CMainFrameCore core{timers, window};
    int invalidations = 0;
};

TEST_F(MainFrameCoreTest, ANewFixRestartsTheWatchdogWhoseExpiryMarksTheFixLost)
{
    port.open = true;
    EXPECT_FALSE(core.GetFix().HasPosition());
    EXPECT_EQ(core.OnMessage(WM_GPS_NEW_FIX, 0, 0), 1);
    EXPECT_EQ(core.GetFix().longitude, 25.2797);
    EXPECT_EQ(core.GetFix().speed, 41.5);
    EXPECT_EQ(timers.running, (std::map<int, int>{{4, 10000}}));
    EXPECT_EQ(core.GetWatchdogId(), 4);
    EXPECT_FALSE(core.IsGpsLost());
    EXPECT_EQ(invalidations, 1);
    EXPECT_EQ(hooks.log, (Log{"record 25.279", "status 25.279"}));

    core.OnTimer(4);
    EXPECT_TRUE(core.IsGpsLost());
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(core.GetWatchdogId(), 0);
    EXPECT_EQ(invalidations, 2);
    core.OnTimer(4); // a late tick of the killed timer
    EXPECT_EQ(invalidations, 2);

    port.fix.longitude = 25.3;
    core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    EXPECT_FALSE(core.IsGpsLost());
    EXPECT_TRUE(timers.IsRunning(4));
    EXPECT_EQ(core.GetFix().longitude, 25.3);
    EXPECT_EQ(timers.starts, 2);

    core.OnTimer(3);
    EXPECT_EQ(hooks.log.back(), "emulation");
    core.OnTimer(101);
    EXPECT_EQ(hooks.log.back(), "replay timer");
    EXPECT_FALSE(core.IsGpsLost());
}

TEST_F(MainFrameCoreTest, TheReplaysFixIsCurrentAndNotLost)
{
    port.open = true;
    core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    core.OnTimer(4);
    ASSERT_TRUE(core.IsGpsLost());
    CGpsPosition replayed;
    replayed.longitude = 24.1;
    replayed.latitude = 56.2;
    replayed.satellites = 6;
    const int before = invalidations;
    core.SetFix(replayed);
    EXPECT_FALSE(core.IsGpsLost());
    EXPECT_EQ(core.GetFix().longitude, 24.1);
    EXPECT_EQ(core.GetFix().satellites, 6);
    EXPECT_EQ(invalidations, before + 1);
}

TEST_F(MainFrameCoreTest, PrivateMessages)
{
    struct Case {
        unsigned message;
        intptr_t withExtension;
        intptr_t without;
    };
    const Case cases[] = {
        {0x401, 0, 0},     {0x402, 0, 0},     {0x403, 10270, 0}, {0x404, 10280, 0}, {0x405, 10290, 0},
        {0x406, 10300, 0}, {0x408, 1, 1},     {0x409, 0, 0},     {0x40A, 0, 0},
    };
    {
        CMessageExtension extension;
        for (const Case& c : cases)
            EXPECT_EQ(core.OnMessage(c.message, 7, -3), c.withExtension) << std::hex << c.message;
        EXPECT_EQ(extension.calls, (Log{"1027 7 -3", "1028 7 -3", "1029 7 -3", "1030 7 -3"}));
    }
    for (const Case& c : cases)
        EXPECT_EQ(core.OnMessage(c.message, 7, -3), c.without) << std::hex << c.message;
    EXPECT_EQ(hooks.log, (Log{"terminal 7", "terminal 7"}));
    EXPECT_TRUE(timers.running.empty());
    EXPECT_FALSE(core.GetFix().HasPosition());
}

TEST_F(MainFrameCoreTest, StartAndStop)
{
    EXPECT_TRUE(core.CanStartGps());
    EXPECT_FALSE(core.CanStopGps());
    core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    hooks.log.clear();

    port.opens = false;
    core.StartGps();
    EXPECT_EQ(hooks.log, (Log{"close replay"}));
    EXPECT_FALSE(core.GetFix().HasPosition());
    EXPECT_TRUE(core.CanStartGps());

    port.opens = true;
    core.StartGps();
    EXPECT_EQ(port.opened, &window);
    EXPECT_EQ(port.openMessage, WM_GPS_NEW_FIX);
    EXPECT_FALSE(core.CanStartGps());
    EXPECT_TRUE(core.CanStopGps());
    EXPECT_EQ(hooks.log.back(), "show status");

    core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    invalidations = 0;
    core.StopGps();
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(core.GetWatchdogId(), 0);
    EXPECT_FALSE(core.GetFix().HasPosition());
    EXPECT_EQ(invalidations, 1);
    EXPECT_EQ(hooks.log.back(), "hide status");
    EXPECT_TRUE(core.CanStartGps());

    // A fix posted before the stop and taken after it stays away.
    core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    EXPECT_FALSE(core.GetFix().HasPosition());
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(hooks.log.back(), "hide status");
    EXPECT_EQ(invalidations, 1);
}

TEST(MainFrameCoreNoReceiver, GpsCommandsHaveNothingToDo)
{
    CFakeTimers timers;
    CNoWindow window;
    CMainFrameCore core(timers, window);
    EXPECT_FALSE(core.CanStartGps());
    EXPECT_FALSE(core.CanStopGps());
    core.StartGps();
    // Fixes of the emulation still keep the watchdog.
    EXPECT_EQ(core.OnMessage(WM_GPS_NEW_FIX, 0, 0), 1);
    EXPECT_TRUE(timers.IsRunning(4));
}

TEST(MainFrameCoreProfile, TimeCorrectionAndViewType)
{
    CTempDir dir;
    CAppProfile& profile = CAppProfile::Instance();
    profile.SetFilePathForTesting(dir.File("Drel.ini"));
    CFakeTimers timers;
    CNoWindow window;
    CMainFrameCore core(timers, window);
    profile.WriteInt("GPS", "TimeCorrection", 3);
    profile.WriteInt("Map List", "View Type", 2);
    core.ReadProfile();
    EXPECT_EQ(core.GetTimeCorrection(), 3);
    EXPECT_EQ(core.GetMapListViewType(), 2);
    profile.WriteInt("GPS", "TimeCorrection", 40);
    core.ReadProfile();
    EXPECT_EQ(core.GetTimeCorrection(), 12);
    core.SetMapListViewType(1);
    core.WriteProfile();
    EXPECT_EQ(profile.GetInt("Map List", "View Type", 0), 1);
    profile.SetFilePathForTesting("");
}

} // namespace
