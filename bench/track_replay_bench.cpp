// bench-deps: drel_gps
// The track replay over a day of fixes once a second (86,400 records made
// once per run in the temporary folder): loading them, playing at x100
// with a trail of 10,000 points, and 1,000 jumps to seeded fixes.
#include "core/DbfEngine.h"
#include "gps/GpsContext.h"
#include "layers/Layer.h"
#include "layers/TrackFields.h"
#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kFixes = 86400;

// A folder of its own as the user folder: "GPS.ini" with the longest
// trail, and the day's track.
struct CDayTrack {
    std::filesystem::path folder;
    std::string path;
    bool made = false;

    CDayTrack()
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-gps-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const std::string user = FromNativePath(folder.string()) + "/";
        SetUserFolderForTesting(user);
        CIniFile ini(user + "GPS.ini");
        ini.SetInt("Track", "MaxPoints", 5);
        if (!ini.Save())
            return;
        path = user + "day.trk";
        const std::vector<CDbfFieldInfo> fields = TrackFieldList();
        auto h = DbfCreate(path, fields.data());
        if (!h)
            return;
        DbfLock(*h);
        const int64_t midnight = MakeUtcTime(2024, 6, 17, 0, 0, 0);
        for (int i = 0; i < kFixes; ++i) {
            DbfAppendBlank(*h);
            // A slow spiral, so every fix is a new trail point.
            DbfPutDouble(*h, kTrackLon, 25.0 + (i % 1000) * 1e-5);
            DbfPutDouble(*h, kTrackLat, 54.0 + (i / 1000) * 1e-4);
            DbfPutString(*h, kTrackStatus, "OK");
            DbfPutDouble(*h, kTrackSpeed, 40);
            DbfPutDouble(*h, kTrackCourse, 90);
            DbfPutString(*h, kTrackDate, FormatFixTime(midnight + i, "%Y.%m.%d"));
            DbfPutString(*h, kTrackTime, FormatFixTime(midnight + i, "%H:%M:%S"));
            DbfPutLong(*h, kTrackId, i + 1);
            DbfPutLong(*h, kTrackSatellites, 8);
            if (!DbfWriteHere(*h))
                return;
        }
        made = DbfFlush(*h);
        DbfUnlock(*h);
    }
    ~CDayTrack()
    {
        SetUserFolderForTesting("");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

CDayTrack& Day()
{
    static CDayTrack day;
    return day;
}

// A context whose replay holds the day, on a clock the benchmark moves.
struct CLoadedReplay {
    CGpsContext gps;
    int64_t now = 0;
    bool loaded = false;

    CLoadedReplay()
    {
        gps.SetClock([this] { return now; });
        loaded = Day().made && gps.Replay().Load(CLayer("diena", Day().path, CLayer::kTrack)) &&
                 gps.Replay().GetCount() == kFixes;
    }
};

void BM_LoadADayOfFixes(benchmark::State& state)
{
    if (!Day().made) {
        state.SkipWithError("the track could not be made");
        return;
    }
    const CLayer track("diena", Day().path, CLayer::kTrack);
    CGpsContext gps;
    for (auto _ : state) {
        if (!gps.Replay().Load(track) || gps.Replay().GetCount() != kFixes) {
            state.SkipWithError("the replay did not load every fix");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFixes);
}
BENCHMARK(BM_LoadADayOfFixes)->Unit(benchmark::kMillisecond);

// One timer tick each iteration: a hundred fixes to the trail and the fix.
void BM_ReplayAtX100(benchmark::State& state)
{
    CLoadedReplay replay;
    CTrackReplay& r = replay.gps.Replay();
    if (!replay.loaded) {
        state.SkipWithError("the replay did not load");
        return;
    }
    r.SetSpeedFactor(100);
    // The trail at its length before the timing.
    for (int tick = 0; tick < 101; ++tick) {
        replay.now += 1000;
        r.Step(replay.now);
    }
    if (r.GetCurrent() != 10100 || replay.gps.Recorder().Trail().size() != 10000) {
        state.SkipWithError("ticks at x100 did not pass a hundred fixes each to a trail of 10,000");
        return;
    }
    int64_t passed = 0;
    for (auto _ : state) {
        const int before = r.GetCurrent();
        replay.now += 1000;
        r.Step(replay.now);
        if (r.GetCurrent() <= before) {
            r.Rewind();
            continue;
        }
        passed += r.GetCurrent() - before;
    }
    state.SetItemsProcessed(passed);
}
BENCHMARK(BM_ReplayAtX100);

void BM_ThousandJumps(benchmark::State& state)
{
    CLoadedReplay replay;
    CTrackReplay& r = replay.gps.Replay();
    if (!replay.loaded) {
        state.SkipWithError("the replay did not load");
        return;
    }
    r.Stop();
    std::mt19937 random(59);
    std::uniform_int_distribution<int> fix(0, kFixes - 1);
    for (auto _ : state) {
        int target = 0;
        for (int i = 0; i < 1000; ++i)
            r.GoTo(target = fix(random));
        const auto trail = static_cast<size_t>(std::min(target + 1, 10000));
        if (r.GetCurrent() != target || replay.gps.Recorder().Trail().size() != trail) {
            state.SkipWithError("a jump did not land on its fix");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandJumps)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
