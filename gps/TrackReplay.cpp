#include "gps/TrackReplay.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "gps/GpsContext.h"
#include "layers/Layer.h"
#include "shell/MainFrameBarTable.h"
#include "shell/MainFrameCore.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "platform/UserServices.h"

#include <chrono>
#include <cmath>
#include <string>

namespace {

constexpr int kBadTrackData = 1109;

int64_t MonotonicMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

CTrackReplay::CTrackReplay(CGpsContext& context) : m_context(context), m_clock(MonotonicMilliseconds) {}

void CTrackReplay::SetSpeedFactor(int factor)
{
    if (factor > 0)
        m_speedFactor = factor;
}

bool CTrackReplay::Load(const CLayer& layer)
{
    Close();
    CMainFrameCore* core = GetMainFrameCore();
    // Live fixes would be neither shown nor saved while the replay runs.
    if (core && core->CanStopGps())
        core->StopGps();
    MainToolbars().ShowBar(kPlaybackBar, true);
    MainToolbars().SetPlaybackBarFlag(true);
    if (core)
        core->SetReplayFlag(true);
    m_shown = true;
    UnsetFix();
    m_context.StatusWindow().Show(true);

    LoadRecords(layer);
    if (m_fixes.empty())
        return false;
    m_context.Recorder().SetReplayRunning(true);
    Start();
    return true;
}

void CTrackReplay::LoadRecords(const CLayer& layer)
{
    CDbfTable table;
    if (!layer.OpenTable(table))
        return;
    const int lon = table.FindField("Lon");
    const int lat = table.FindField("Lat");
    const int status = table.FindField("Status");
    const int course = table.FindField("Course");
    const int speed = table.FindField("Speed");
    const int date = table.FindField("Date");
    const int time = table.FindField("Time");
    const int start = table.FindField("Start");
    const int satellites = table.FindField("SATS_USED");
    if (lon < 0 || lat < 0 || date < 0 || time < 0) {
        AppMessageBox(kBadTrackData, MB_OK | MB_ICONWARNING);
        return;
    }
    const DbfHandle& record = *table.GetHandle();
    const int count = table.GetRecordCount();
    m_fixes.reserve(static_cast<size_t>(count));
    bool toldOutOfOrder = false;
    for (int n = 0; n < count; ++n) {
        if (!table.ReadRecordAhead(n))
            break;
        if (table.IsDeleted())
            continue;
        GpsFix fix;
        // A record without a real date and time has no place in the timing.
        if (!ParseTrackTime(DbfGetString(record, date), DbfGetString(record, time), fix.time))
            continue;
        if (!m_fixes.empty() && start >= 0 && DbfGetChar(record, start) == '*')
            break;
        fix.longitude = DbfGetDegrees(record, lon);
        fix.latitude = DbfGetDegrees(record, lat);
        if (!std::isfinite(fix.longitude) || !std::isfinite(fix.latitude))
            continue;
        std::string statusText;
        table.GetFieldString(status, statusText);
        fix.valid = statusText == "OK" ? 1 : 0;
        fix.speed = DbfGetDouble(record, speed);
        fix.course = DbfGetDouble(record, course);
        fix.satellites = satellites >= 0 ? DbfGetInt(record, satellites) : -1;
        if (!m_fixes.empty() && fix.time < m_fixes.back().time && !toldOutOfOrder) {
            toldOutOfOrder = true;
            AppMessageBox(kBadTrackData, MB_OK | MB_ICONWARNING);
        }
        m_fixes.push_back(fix);
    }
}

void CTrackReplay::Start()
{
    if (m_fixes.empty())
        return;
    if (CMainFrameCore* core = GetMainFrameCore())
        core->Timers().SetTimer(CMainFrameCore::kReplayTimer, kPeriodMs);
    m_timerRunning = true;
    m_lastTick = m_clock();
}

void CTrackReplay::Stop()
{
    KillTimer();
}

void CTrackReplay::KillTimer()
{
    if (m_timerRunning)
        if (CMainFrameCore* core = GetMainFrameCore())
            core->Timers().KillTimer(CMainFrameCore::kReplayTimer);
    m_timerRunning = false;
}

void CTrackReplay::Close()
{
    if (m_fixes.empty() && !m_shown)
        return;
    KillTimer();
    std::vector<GpsFix>().swap(m_fixes);
    m_lastTick = 0;
    m_elapsedMs = 0;
    m_current = -1;
    m_context.Recorder().SetReplayRunning(false);
    UnsetFix();
    IGpsStatusWindow& status = m_context.StatusWindow();
    if (status.IsVisible()) {
        status.ResetTrip();
        status.Show(false);
    }
    MainToolbars().ShowBar(kPlaybackBar, false);
    MainToolbars().SetPlaybackBarFlag(false);
    if (CMainFrameCore* core = GetMainFrameCore())
        core->SetReplayFlag(false);
    m_shown = false;
}

void CTrackReplay::UnsetFix()
{
    if (CMainFrameCore* core = GetMainFrameCore()) {
        core->UnsetFix();
        core->InvalidateMapViews();
    }
}

void CTrackReplay::PassOn(const GpsFix& fix)
{
    m_context.Recorder().RecordTrackFix(fix);
    m_context.StatusWindow().ShowFix(fix);
}

void CTrackReplay::MakeCurrent(int n)
{
    m_current = n;
    if (CMainFrameCore* core = GetMainFrameCore())
        core->SetFix(PositionFromFix(m_fixes[static_cast<size_t>(n)]));
    if (IToolbarBox* counter = MainToolbars().FindBox(kReplayPointBox))
        counter->SetText(std::to_string(n + 1));
}

void CTrackReplay::Step(int64_t tick)
{
    if (m_fixes.empty() || tick < m_lastTick)
        return;
    if (m_current + 1 >= GetCount()) {
        if (!m_loop) {
            KillTimer();
            return;
        }
        UnsetFix();
        m_context.StatusWindow().ResetTrip();
        m_current = -1;
        m_elapsedMs = 0;
        m_lastTick = tick;
    }
    // Track milliseconds, so the factor's fractions of a second add up.
    m_elapsedMs += (tick - m_lastTick) * m_speedFactor;
    m_lastTick = tick;
    const int64_t first = m_fixes.front().time;
    int passed = m_current;
    while (passed + 1 < GetCount() && (m_fixes[static_cast<size_t>(passed + 1)].time - first) * 1000 <= m_elapsedMs)
        PassOn(m_fixes[static_cast<size_t>(++passed)]);
    if (passed == m_current) {
        // A gap in the track is skipped, not waited for.
        PassOn(m_fixes[static_cast<size_t>(++passed)]);
        m_elapsedMs = (m_fixes[static_cast<size_t>(passed)].time - first) * 1000;
    }
    MakeCurrent(passed);
}

void CTrackReplay::Rewind()
{
    if (m_fixes.empty())
        return;
    UnsetFix();
    m_context.StatusWindow().ResetTrip();
    m_current = -1;
    m_elapsedMs = 0;
    m_lastTick = m_clock();
    Step(m_lastTick);
}

void CTrackReplay::GoTo(int n)
{
    if (n < 0 || n >= GetCount() || n == m_current)
        return;
    m_elapsedMs = 0;
    m_lastTick = m_clock();
    m_context.Recorder().RebuildTrail(m_fixes, n + 1);
    m_context.StatusWindow().ShowTripUpTo(m_fixes, n + 1);
    MakeCurrent(n);
}
