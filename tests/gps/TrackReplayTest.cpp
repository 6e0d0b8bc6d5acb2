// The track replay: what a load takes, the steps at their speed, the end,
// the jumps, and its exclusion of live tracking.

#include "gps/TrackReplay.h"
#include "layers/Layer.h"
#include "tests/gps/ReplayTestSupport.h"

#include <gtest/gtest.h>

namespace {

class TrackReplayTest : public ::testing::Test {
protected:
    bool Load(const std::string& path) { return bench.Replay().Load(CLayer("trasa", path, CLayer::kTrack)); }
    std::string Stepped(int count, int step, const std::vector<int>& starts = {})
    {
        return WriteSteppedTrack(dir.File("stepped.trk"), count, step, starts);
    }
    // Longitudes of the fixes as the replay's east steps: 0, 1, 2...
    static int Step(const GpsFix& fix) { return static_cast<int>(std::lround((fix.longitude - 25.0) / 1e-4)); }
    static int Step(double longitude) { return static_cast<int>(std::lround((longitude - 25.0) / 1e-4)); }
    std::vector<int> Shown() const
    {
        std::vector<int> steps;
        for (const GpsFix& fix : bench.status.shown)
            steps.push_back(Step(fix));
        return steps;
    }
    int CurrentFixStep() const { return Step(bench.core.GetFix().longitude); }

    CGpsFolders folders;
    CScriptedUserServices user;
    CReplayBench bench;
    CTempDir dir;
};

TEST_F(TrackReplayTest, ATableWithoutTheTrackFieldsLoadsNothingUntilClosed)
{
    const std::vector<CTestField> all = {
        {"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}, {"Date", 'C', 10, 0}, {"Time", 'C', 8, 0}, {"Speed", 'N', 6, 1}};
    for (const char* missing : {"Lon", "Lat", "Date", "Time"}) {
        SCOPED_TRACE(missing);
        std::vector<CTestField> fields;
        std::vector<std::string> record;
        const std::vector<std::string> values = {"25", "54", "2005.06.17", "08:00:00", "10"};
        for (size_t i = 0; i < all.size(); ++i)
            if (std::string(all[i].name) != missing) {
                fields.push_back(all[i]);
                record.push_back(values[i]);
            }
        const std::string path = dir.File(std::string("be_") + missing + ".trk");
        ASSERT_TRUE(WriteTable(path, fields, {record, record}));
        user.messages.clear();
        EXPECT_FALSE(Load(path));
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1109});
        EXPECT_FALSE(bench.Replay().IsLoaded());
        EXPECT_FALSE(bench.TimerRuns());
        EXPECT_TRUE(bench.bar.shown && bench.bar.flag && bench.core.GetReplayFlag()) << "until the user closes it";
        bench.Replay().Close();
        EXPECT_FALSE(bench.bar.shown || bench.bar.flag || bench.core.GetReplayFlag());
    }
}

TEST_F(TrackReplayTest, WhatALoadTakes)
{
    struct Record {
        const char* date;
        const char* time;
        const char* start;
    };
    struct Case {
        const char* what;
        std::vector<Record> records;
        std::vector<int> loaded; // the records, by number
        std::vector<unsigned> messages;
    };
    const Case cases[] = {
        {"a trip ends before the next record marked in Start",
         {{"2005.06.17", "08:00:00", "*"},
          {"2005.06.17", "08:00:01", ""},
          {"2005.06.17", "08:00:02", ""},
          {"2005.06.17", "08:00:03", ""},
          {"2005.06.17", "08:00:04", "*"},
          {"2005.06.17", "08:00:05", ""}},
         {0, 1, 2, 3},
         {}},
        {"times out of order are told of once and kept in file order",
         {{"2005.06.17", "08:00:10", ""},
          {"2005.06.17", "08:00:05", ""},
          {"2005.06.17", "08:00:20", ""},
          {"2005.06.17", "08:00:01", ""}},
         {0, 1, 2, 3},
         {1109}},
        {"records without a real date and time are passed over",
         {{"2005.06.17", "08:00:00", ""},
          {"2005.02.29", "08:00:01", ""},
          {"2005.06.17", "24:00:02", ""},
          {"2005.06", "08:00:03", ""},
          {"2005.06.17", "08:04", ""},
          {"", "", ""},
          {"2005.06.17", "08:00:06", ""}},
         {0, 6},
         {}},
        {"an unreadable first record leaves the next one first", {{"x", "y", ""}, {"2005.06.17", "08:00:00", "*"}},
         {1},
         {}},
    };
    const std::vector<CTestField> fields = {
        {"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}, {"Date", 'C', 10, 0}, {"Time", 'C', 8, 0}, {"Start", 'C', 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::vector<std::string>> records;
        for (size_t i = 0; i < c.records.size(); ++i)
            records.push_back({FormatC("%.8f", 25.0 + static_cast<double>(i) * 1e-4), "54.5", c.records[i].date,
                               c.records[i].time, c.records[i].start});
        const std::string path = dir.File("irasai.trk");
        ASSERT_TRUE(WriteTable(path, fields, records));
        user.messages.clear();
        EXPECT_TRUE(Load(path));
        std::vector<int> loaded;
        for (const GpsFix& fix : bench.Replay().Fixes())
            loaded.push_back(Step(fix));
        EXPECT_EQ(loaded, c.loaded);
        EXPECT_EQ(user.MessageIds(), c.messages);
        EXPECT_TRUE(bench.TimerRuns());
    }
}

TEST_F(TrackReplayTest, AtFactorTenAboutTenFixesASecondReachTrailAndWindowTheLastTheFix)
{
    ASSERT_TRUE(Load(Stepped(60, 1)));
    EXPECT_EQ(bench.Replay().GetSpeedFactor(), 10);
    EXPECT_TRUE(bench.status.visible);
    bench.Tick();
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(bench.gps.Recorder().Trail().size(), 11u);
    EXPECT_EQ(bench.Replay().GetCurrent(), 10);
    EXPECT_EQ(CurrentFixStep(), 10);
    EXPECT_EQ(bench.bar.counter.text, "11");
    for (int tick = 2; tick <= 4; ++tick) {
        bench.Tick();
        EXPECT_EQ(bench.Replay().GetCurrent(), 10 * tick);
        EXPECT_EQ(bench.status.shown.size(), 10u * tick + 1);
    }
    EXPECT_FALSE(bench.core.IsGpsLost());
    EXPECT_EQ(bench.core.GetFix().satellites, 8);
}

TEST_F(TrackReplayTest, FractionsOfASecondAddUpAndTheClockDoesNotWrap)
{
    bench.now = 0xFFFFFFFFLL - 600;
    ASSERT_TRUE(Load(Stepped(60, 1)));
    bench.Replay().SetSpeedFactor(2);
    for (int tick = 0; tick < 4; ++tick)
        bench.Tick(1250);
    EXPECT_EQ(bench.Replay().GetCurrent(), 10) << "four ticks of 2.5 track seconds";
}

TEST_F(TrackReplayTest, GapsAreSkippedOneFixATick)
{
    ASSERT_TRUE(Load(Stepped(5, 600)));
    bench.Replay().SetSpeedFactor(1);
    for (int tick = 0; tick < 5; ++tick) {
        bench.Tick();
        EXPECT_EQ(bench.Replay().GetCurrent(), tick);
    }
}

TEST_F(TrackReplayTest, TheEndPausesOnTheLastFixOrWithLoopStartsAgain)
{
    ASSERT_TRUE(Load(Stepped(3, 1)));
    bench.Tick();
    EXPECT_EQ(bench.Replay().GetCurrent(), 2);
    bench.Tick();
    EXPECT_FALSE(bench.TimerRuns());
    EXPECT_FALSE(bench.Replay().IsRunning());
    EXPECT_EQ(CurrentFixStep(), 2) << "paused on the last fix";

    bench.Replay().SetLoop(true);
    bench.Replay().Start();
    const int repaints = bench.repaints;
    bench.Tick();
    EXPECT_EQ(bench.status.resets, 1);
    EXPECT_GT(bench.repaints, repaints);
    EXPECT_EQ(bench.Replay().GetCurrent(), 0);
    EXPECT_EQ(bench.bar.counter.text, "1");
    EXPECT_TRUE(bench.TimerRuns());
}

TEST_F(TrackReplayTest, GoToRebuildsTrailAndTripOverTheFixesUpToIt)
{
    folders.WriteTrackSettings("MaxPoints=0\r\n");
    ASSERT_TRUE(Load(Stepped(30, 1)));
    bench.Replay().Stop();
    bench.Replay().GoTo(12);
    EXPECT_EQ(bench.status.tripRebuilds, std::vector<int>{13});
    EXPECT_EQ(Shown().size(), 13u);
    std::vector<int> trail;
    for (const CMapPoint& p : bench.gps.Recorder().Trail())
        trail.push_back(Step(p.x));
    EXPECT_EQ(trail, (std::vector<int>{8, 9, 10, 11, 12}));
    EXPECT_EQ(CurrentFixStep(), 12);
    EXPECT_EQ(bench.bar.counter.text, "13");

    for (const int n : {12, -1, 30}) {
        bench.Replay().GoTo(n);
        EXPECT_EQ(bench.status.tripRebuilds.size(), 1u) << n;
    }
    EXPECT_EQ(bench.Replay().GetCurrent(), 12);
    bench.Replay().Last();
    EXPECT_EQ(bench.Replay().GetCurrent(), 29);
    bench.Replay().Next();
    EXPECT_EQ(bench.Replay().GetCurrent(), 29);
    bench.Replay().Previous();
    EXPECT_EQ(bench.Replay().GetCurrent(), 28);
    EXPECT_FALSE(bench.TimerRuns()) << "jumps leave a paused replay paused";

    bench.Replay().Rewind();
    EXPECT_EQ(bench.Replay().GetCurrent(), 0);
    EXPECT_EQ(bench.bar.counter.text, "1");
}

TEST_F(TrackReplayTest, CloseLeavesNothingBehind)
{
    ASSERT_TRUE(Load(Stepped(30, 1)));
    bench.Tick();
    bench.Replay().Close();
    EXPECT_FALSE(bench.Replay().IsLoaded());
    EXPECT_FALSE(bench.TimerRuns());
    EXPECT_FALSE(bench.core.GetFix().HasPosition());
    EXPECT_FALSE(bench.status.visible);
    EXPECT_TRUE(bench.status.shown.empty());
    EXPECT_FALSE(bench.bar.shown || bench.bar.flag || bench.core.GetReplayFlag());
}

TEST_F(TrackReplayTest, ReplayAndLiveTrackingEndEachOther)
{
    folders.WriteTrackSettings("SaveTrack=1\r\n");
    CFakeReceiverPort port;
    bench.core.StartGps();
    ASSERT_TRUE(port.open);

    ASSERT_TRUE(Load(Stepped(30, 1)));
    EXPECT_FALSE(port.open) << "a replay ends live tracking";
    bench.Tick();
    EXPECT_TRUE(ReadTrackRows(folders.DefaultTrackFile()).empty()) << "replayed fixes are not saved";

    bench.core.StartGps();
    EXPECT_TRUE(port.open);
    EXPECT_FALSE(bench.Replay().IsLoaded()) << "GPS start ends the replay";
    port.fix = PositionFromFix(MakeFix(24.5, 55.5));
    bench.core.OnMessage(WM_GPS_NEW_FIX, 0, 0);
    EXPECT_EQ(ReadTrackRows(folders.DefaultTrackFile()).size(), 1u) << "live fixes are saved again";
}

} // namespace
