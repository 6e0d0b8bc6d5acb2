#include "shell/MainFrameCore.h"

#include "mapdoc/ExtensionHooks.h"
#include "platform/AppProfile.h"
#include "platform/MessageWindow.h"
#include "shell/GpsHooks.h"

#include <algorithm>

namespace {
constexpr int kExtensionCodeFirst = 1027;
CMainFrameCore* g_mainFrameCore = nullptr;
} // namespace

CMainFrameCore* GetMainFrameCore()
{
    return g_mainFrameCore;
}

void SetMainFrameCore(CMainFrameCore* core)
{
    g_mainFrameCore = core;
}

CMainFrameCore::CMainFrameCore(ITimerHost& timers, IMessageWindow& window) : m_timers(&timers), m_window(window) {}

intptr_t CMainFrameCore::OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_MAIN_EXTENSION_FIRST:
    case WM_MAIN_EXTENSION_FIRST + 1:
    case WM_MAIN_EXTENSION_FIRST + 2:
    case WM_MAIN_EXTENSION_LAST:
        return ExtensionOnMessage(kExtensionCodeFirst + static_cast<int>(message - WM_MAIN_EXTENSION_FIRST), wParam,
                                  lParam);
    case WM_GPS_NEW_FIX:
        OnNewFix();
        return 1;
    case WM_MAIN_ANSWER_ONE:
        return 1;
    case WM_GPS_TERMINAL_TEXT:
        GpsHooks().ShowTerminalText(wParam);
        return 0;
    default:
        return 0;
    }
}

void CMainFrameCore::OnNewFix()
{
    // The emulation posts fixes too; without a receiver the fix stays.
    if (IGpsReceiverPort* port = GetGpsReceiverPort()) {
        // Posted before GPS stop and taken after it: the vehicle stays gone.
        if (!port->IsOpen())
            return;
        m_fix = port->GetLastFix();
    }
    KillWatchdog();
    m_timers->SetTimer(kWatchdogTimer, kWatchdogMs);
    m_watchdogId = kWatchdogTimer;
    m_gpsLost = false;
    InvalidateMapViews();
    GpsHooks().RecordTrackFix(m_fix);
    GpsHooks().ShowFixInStatusWindow(m_fix);
}

void CMainFrameCore::OnTimer(int id)
{
    if (id == kEmulationTimer) {
        GpsHooks().OnEmulationTimer();
        return;
    }
    if (id == kReplayTimer) {
        GpsHooks().OnReplayTimer();
        return;
    }
    if (id == 0 || id != m_watchdogId)
        return;
    KillWatchdog();
    m_gpsLost = true;
    InvalidateMapViews();
}

void CMainFrameCore::KillWatchdog()
{
    if (m_watchdogId != 0)
        m_timers->KillTimer(m_watchdogId);
    m_watchdogId = 0;
}

bool CMainFrameCore::CanStartGps() const
{
    const IGpsReceiverPort* port = GetGpsReceiverPort();
    return port && !port->IsOpen();
}

bool CMainFrameCore::CanStopGps() const
{
    const IGpsReceiverPort* port = GetGpsReceiverPort();
    return port && port->IsOpen();
}

void CMainFrameCore::StartGps()
{
    IGpsReceiverPort* port = GetGpsReceiverPort();
    if (!port)
        return;
    GpsHooks().CloseTrackReplay();
    UnsetFix();
    if (!port->Open(m_window, WM_GPS_NEW_FIX))
        return;
    GpsHooks().ShowStatusWindow(true);
}

void CMainFrameCore::StopGps()
{
    KillWatchdog();
    if (IGpsReceiverPort* port = GetGpsReceiverPort())
        port->Close();
    GpsHooks().ShowStatusWindow(false);
    UnsetFix();
    InvalidateMapViews();
}

void CMainFrameCore::SetFix(const CGpsPosition& fix)
{
    m_fix = fix;
    m_gpsLost = false;
    InvalidateMapViews();
}

void CMainFrameCore::UnsetFix()
{
    m_fix.longitude = DBL_MAX;
    m_fix.latitude = DBL_MAX;
}

void CMainFrameCore::ReadProfile()
{
    CAppProfile& profile = CAppProfile::Instance();
    m_mapListViewType = profile.GetInt("Map List", "View Type", m_mapListViewType);
    m_timeCorrection = std::clamp(profile.GetInt("GPS", "TimeCorrection", 0), -12, 12);
}

void CMainFrameCore::SetTimeCorrection(int hours)
{
    m_timeCorrection = std::clamp(hours, -12, 12);
    CAppProfile::Instance().WriteInt("GPS", "TimeCorrection", m_timeCorrection);
}

void CMainFrameCore::WriteProfile() const
{
    CAppProfile::Instance().WriteInt("Map List", "View Type", m_mapListViewType);
}

void CMainFrameCore::InvalidateMapViews() const
{
    if (m_invalidate)
        m_invalidate();
}
