// The track recorder: trail, saving rules, the records it writes, a file
// that went missing, and the recorder over a day of fixes and under kills.

#include "core/CoordConverter.h"
#include "gps/TrackRecorder.h"
#include "tests/gps/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <numbers>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// Of the address sanitizer's allocator (sanitizer/allocator_interface.h,
// which GCC does not install).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

constexpr double kLon = 25.28;
constexpr double kLat = 54.69;

// Degrees of latitude for metres on the sphere the distances are taken on.
double NorthMetres(double metres)
{
    return metres / 6385543.0 * 180 / std::numbers::pi;
}

// Bytes of the heap in use now.
size_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

class TrackRecorderTest : public ::testing::Test {
protected:
    TrackRecorderTest()
    {
        recorder.SetClock([this] { return clock; });
    }

    CGpsFolders folders;
    CScriptedUserServices user;
    CTrackRecorder recorder;
    int64_t clock = 1000;
};

struct CFeed {
    double northMetres; // from kLat
    int64_t clock;      // monotonic seconds
    bool valid = true;
    bool timed = true;
    int shift = 0; // of the fix's time against the clock
};

TEST_F(TrackRecorderTest, TrailAndSavingRules)
{
    struct Case {
        const char* what;
        std::string settings;
        std::vector<CFeed> fixes;
        bool replay;
        size_t trailPoints;
        double firstTrailMetres;
        std::vector<double> savedMetres;
    };
    const std::string saving = "SaveTrack=1\r\n";
    const Case cases[] = {
        {"a repeated position is one trail point", "", {{0, 1}, {0, 2}}, false, 1, 0, {}},
        {"the sixth distinct position drops the first at trail length 5",
         "MaxPoints=0\r\n",
         {{0, 1}, {10, 2}, {20, 3}, {30, 4}, {40, 5}, {50, 6}},
         false,
         5,
         10,
         {}},
        {"period 2 s saves every second fix at 1 Hz",
         saving + "MinPeriod=1\r\n",
         {{0, 100}, {10, 101}, {20, 102}, {30, 103}, {40, 104}},
         false,
         5,
         0,
         {0, 20, 40}},
        {"the period follows the running clock, not the times of the fixes",
         saving + "MinPeriod=1\r\n",
         {{0, 100}, {10, 101, true, true, -3600}, {20, 102, true, true, -3600}, {30, 103}, {40, 104, true, true, 3600}},
         false,
         5,
         0,
         {0, 20, 40}},
        {"4 m from the last saved fix is skipped, 5 m saved",
         saving + "MinDistance=1\r\n",
         {{0, 1}, {4, 2}, {5.001, 3}, {9, 4}},
         false,
         4,
         0,
         {0, 5.0}},
        {"during a replay the trail follows and nothing is saved", saving, {{0, 1}, {10, 2}}, true, 2, 0, {}},
        {"an invalid fix with SkipInvalidData moves the trail only",
         saving,
         {{0, 1, false}, {10, 2}},
         false,
         2,
         0,
         {10}},
        {"without SkipInvalidData an invalid fix is saved", saving + "SkipInvalidData=0\r\n", {{0, 1, false}}, false,
         1, 0, {0}},
        {"a fix without a time is trail only", saving, {{0, 1, true, false}, {10, 2}}, false, 2, 0, {10}},
        {"without the trail fixes are still saved", saving + "ShowTrack=0\r\n", {{0, 1}, {10, 2}}, false, 0, 0,
         {0, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CGpsFolders own;
        own.WriteTrackSettings(c.settings);
        CTrackRecorder fresh;
        int64_t now = 0;
        fresh.SetClock([&now] { return now; });
        fresh.SetReplayRunning(c.replay);
        for (const CFeed& feed : c.fixes) {
            now = feed.clock;
            GpsFix fix = MakeFix(kLon, kLat + NorthMetres(feed.northMetres), static_cast<int>(feed.clock) + feed.shift,
                                 feed.valid);
            if (!feed.timed)
                fix.time = kNoFixTime;
            fresh.RecordTrackFix(fix);
        }
        ASSERT_EQ(fresh.Trail().size(), c.trailPoints);
        if (c.trailPoints > 0) {
            EXPECT_DOUBLE_EQ(fresh.Trail().front().y, kLat + NorthMetres(c.firstTrailMetres));
        }
        std::vector<double> saved;
        for (const auto& row : ReadTrackRows(own.DefaultTrackFile()))
            saved.push_back(std::round((std::stod(row.at("Lat")) - kLat) / NorthMetres(1) * 10) / 10);
        EXPECT_EQ(saved, c.savedMetres);
        EXPECT_TRUE(user.messages.empty());
    }
}

TEST_F(TrackRecorderTest, ARecordCountsOnFromTheFileAndKeepsTheReceiversDigits)
{
    folders.WriteTrackSettings("SaveTrack=1\r\nSkipInvalidData=0\r\n");
    const std::string path = folders.DefaultTrackFile();
    ASSERT_TRUE(CTrackRecorder::InitTrackLayerFile(path));
    // Another program wrote two records before.
    {
        CDbfTable table;
        ASSERT_TRUE(table.Open(path));
        for (int i = 0; i < 2; ++i) {
            table.AppendBlank();
            ASSERT_TRUE(table.WriteRecord());
        }
    }
    GpsFix late = MakeFix(25.12345678, -54.5, 0);
    late.time = MakeUtcTime(2005, 6, 17, 23, 59, 58);
    late.satellites = 9;
    late.speed = 41.48;
    late.course = 84.4;
    recorder.RecordTrackFix(late);
    GpsFix blind = MakeFix(-3.5, 40.25, 0, false);
    blind.satellites = -1;
    clock += 1;
    recorder.RecordTrackFix(blind);

    const CTrackRows rows = ReadTrackRows(path);
    ASSERT_EQ(rows.size(), 4u);
    const std::map<std::string, std::string> expected[] = {
        {{"Lon", "25.12345678"}, {"Lat", "-54.50000000"}, {"Status", "OK"}, {"Speed", "41.5"}, {"Course", "84.4"},
         {"Date", "2005.06.17"}, {"Time", "23:59:58"}, {"Id", "3"}, {"SATS_USED", "9"}},
        {{"Lon", "-3.50000000"}, {"Lat", "40.25000000"}, {"Status", "NOK"}, {"Speed", "36.0"}, {"Course", "90.0"},
         {"Date", "2005.06.17"}, {"Time", "12:00:00"}, {"Id", "4"}, {"SATS_USED", "-1"}},
    };
    EXPECT_EQ(rows[2], expected[0]);
    EXPECT_EQ(rows[3], expected[1]);
}

TEST_F(TrackRecorderTest, AMissingFileIsMadeWithItsFolderAndToldOfOnce)
{
    folders.WriteTrackSettings("SaveTrack=1\r\n");
    const std::string path = folders.DefaultTrackFile();
    recorder.Settings(); // read first by the track parameters dialog
    recorder.RecordTrackFix(MakeFix(kLon, kLat));
    EXPECT_TRUE(user.messages.empty()) << "the first fix makes the file quietly";
    ASSERT_EQ(ReadTrackRows(path).size(), 1u);

    ASSERT_TRUE(RemoveFile(path));
    ASSERT_EQ(::rmdir(ResolvePath(folders.User("Tracks")).c_str()), 0);
    recorder.RecordTrackFix(MakeFix(kLon + 0.001, kLat));
    recorder.RecordTrackFix(MakeFix(kLon + 0.002, kLat));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1007, 3043}));
    EXPECT_EQ(ReadTrackRows(path).size(), 2u);
}

// Answers its message boxes while more fixes come in, as the window's
// message loop does during a modal box.
class CFixesDuringMessages : public CScriptedUserServices {
public:
    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override
    {
        if (during)
            during();
        return CScriptedUserServices::MessageBox(text, type, helpId);
    }
    std::function<void()> during;
};

TEST_F(TrackRecorderTest, FixesArrivingUnderItsMessageMoveTheTrailOnly)
{
    folders.WriteTrackSettings("SaveTrack=1\r\n");
    CFixesDuringMessages boxes;
    recorder.RecordTrackFix(MakeFix(kLon, kLat));
    ASSERT_TRUE(RemoveFile(folders.DefaultTrackFile()));
    double east = 0;
    boxes.during = [&] { recorder.RecordTrackFix(MakeFix(kLon + (east += 0.001), kLat)); };
    recorder.RecordTrackFix(MakeFix(kLon + 1, kLat));

    EXPECT_EQ(boxes.MessageIds(), (std::vector<unsigned>{1007, 3043}));
    EXPECT_EQ(recorder.Trail().size(), 4u) << "both fixes under the boxes reached the trail";
    const CTrackRows rows = ReadTrackRows(folders.DefaultTrackFile());
    ASSERT_EQ(rows.size(), 1u) << "and neither was saved";
    EXPECT_EQ(rows[0].at("Lon"), "26.28000000");
}

TEST_F(TrackRecorderTest, SettingsOutsideTheirTablesReadAsDefaults)
{
    struct Case {
        std::string lines;
        int period, distance, points, periodSeconds, metres, trail;
    };
    const Case cases[] = {
        {"", 0, 0, 3, 0, 0, 100},
        {"MinPeriod=7\r\nMinDistance=7\r\nMaxPoints=5\r\n", 7, 7, 5, 600, 1000, 10000},
        {"MinPeriod=8\r\nMinDistance=-1\r\nMaxPoints=6\r\n", 0, 0, 3, 0, 0, 100},
        {"MinPeriod=2147483647\r\nMaxPoints=x\r\n", 0, 0, 0, 0, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        folders.WriteTrackSettings(c.lines);
        CTrackSettings settings;
        settings.Load(CTrackSettings::ReadPath());
        EXPECT_EQ(settings.minPeriod, c.period);
        EXPECT_EQ(settings.minDistance, c.distance);
        EXPECT_EQ(settings.maxPoints, c.points);
        EXPECT_EQ(settings.PeriodSeconds(), c.periodSeconds);
        EXPECT_EQ(settings.DistanceMetres(), c.metres);
        EXPECT_EQ(settings.TrailLength(), c.trail);
    }
}

TEST_F(TrackRecorderTest, TheTrackFileIsKeptRelativeToTheUserFolderWhenInsideIt)
{
    struct Case {
        std::string stored, path, storedAgain;
    };
    const Case cases[] = {
        {"", folders.User("Tracks\\Track0001.trk"), "Tracks\\Track0001.trk"},
        {"Keliones\\Birzelis.trk", folders.User("Keliones\\Birzelis.trk"), "Keliones\\Birzelis.trk"},
        {"/srv/tracks/a.trk", "/srv/tracks/a.trk", "/srv/tracks/a.trk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        folders.WriteTrackSettings("TrackFileName=" + c.stored + "\r\n");
        CTrackSettings settings;
        settings.Load(CTrackSettings::ReadPath());
        EXPECT_TRUE(EqualPathsNoCase(settings.TrackFilePath(), c.path)) << settings.TrackFilePath();
        ASSERT_TRUE(settings.Save(CTrackSettings::WritePath()));
        EXPECT_NE(ReadWholeFile(folders.User("GPS.ini")).find("TrackFileName=" + c.storedAgain + "\r\n"),
                  std::string::npos);
    }
}

TEST_F(TrackRecorderTest, RebuiltTrailHoldsTheLastDistinctPositionsOfTheFixes)
{
    folders.WriteTrackSettings("MaxPoints=0\r\n");
    std::vector<GpsFix> fixes;
    for (const double metres : {0, 10, 10, 20, 30, 30, 30, 40, 50, 60, 60})
        fixes.push_back(MakeFix(kLon, kLat + NorthMetres(metres)));
    recorder.RebuildTrail(fixes, 10);
    std::vector<double> trail;
    for (const CMapPoint& p : recorder.Trail())
        trail.push_back(std::round((p.y - kLat) / NorthMetres(1)));
    EXPECT_EQ(trail, (std::vector<double>{20, 30, 40, 50, 60}));
    recorder.RebuildTrail(fixes, 2);
    EXPECT_EQ(recorder.Trail().size(), 2u);
}

// A day of fixes once a second, each saved, with the longest trail: the
// heap holds as much after a day as after the first hours.
TEST_F(TrackRecorderTest, ADayOfFixesHoldsTheHeapSteady)
{
    folders.WriteTrackSettings("SaveTrack=1\r\nMaxPoints=5\r\n");
    constexpr int kDay = 86400;
    std::vector<size_t> heap;
    for (int i = 0; i < kDay; ++i) {
        clock = i;
        recorder.RecordTrackFix(MakeFix(kLon + (i % 5000) * 1e-5, kLat + (i / 5000) * 1e-4, i));
        if (i + 1 == 10000 || i + 1 == 40000 || i + 1 == kDay)
            heap.push_back(HeapInUse());
    }
    ASSERT_EQ(recorder.Trail().size(), 10000u);
    EXPECT_LE(std::max({heap[0], heap[1], heap[2]}) - std::min({heap[0], heap[1], heap[2]}), 8u * 1024)
        << heap[0] << " " << heap[1] << " " << heap[2];
    EXPECT_EQ(ReadTrackRows(folders.DefaultTrackFile()).size(), static_cast<size_t>(kDay));
}

// A recording child killed without warning at 30 moments: every record it
// reported as written is in the file, whole, and so is every record the
// file counts.
TEST_F(TrackRecorderTest, AKilledRecorderLeavesEveryReportedRecordWhole)
{
    folders.WriteTrackSettings("SaveTrack=1\r\n");
    const std::string path = folders.DefaultTrackFile();
    std::mt19937 random(59);
    for (int moment = 0; moment < 30; ++moment) {
        SCOPED_TRACE(moment);
        RemoveFile(path);
        int reports[2];
        ASSERT_EQ(::pipe(reports), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(reports[0]);
            CTrackRecorder writer;
            for (int32_t i = 0;; ++i) {
                writer.RecordTrackFix(MakeFix(kLon + i * 1e-5, kLat, i));
                if (::write(reports[1], &i, sizeof i) != sizeof i)
                    ::_exit(1);
            }
        }
        ::close(reports[1]);
        const int32_t killAfter = std::uniform_int_distribution<int32_t>(0, 150)(random);
        int32_t reported = -1, n;
        while (reported < killAfter && ::read(reports[0], &n, sizeof n) == sizeof n)
            reported = n;
        ::usleep(std::uniform_int_distribution<unsigned>(0, 2000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        while (::read(reports[0], &n, sizeof n) == sizeof n)
            reported = n;
        ::close(reports[0]);

        const CTrackRows rows = ReadTrackRows(path);
        ASSERT_GE(static_cast<int32_t>(rows.size()), reported + 1);
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(rows[i].at("Id"), std::to_string(i + 1));
            EXPECT_EQ(rows[i].at("Lon"), FormatC("%.8f", kLon + static_cast<double>(i) * 1e-5));
            EXPECT_EQ(rows[i].at("Status"), "OK");
            EXPECT_EQ(rows[i].at("SATS_USED"), "7");
        }
        EXPECT_TRUE(user.messages.empty());
    }
}

} // namespace
