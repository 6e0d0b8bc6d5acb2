#include "gps/GpsContext.h"

#include "gps/GpsReceiverPort.h"
#include "gps/VehicleMarker.h"
#include "shell/MainFrameCore.h"

namespace {
constexpr int kEmulationPeriodMs = 2000;
CGpsContext* g_context = nullptr;
} // namespace

CGpsContext* GetGpsContext()
{
    return g_context;
}

void SetGpsContext(CGpsContext* context)
{
    g_context = context;
}

CGpsContext::CGpsContext(CGpsReceiverPort* receiver) : m_receiver(receiver), m_replay(*this) {}

CGpsContext::~CGpsContext()
{
    CloseEmulationPort();
    if (g_context == this)
        g_context = nullptr;
    if (&GpsHooks() == this)
        SetGpsHooks(nullptr);
    if (&MapGpsPainter() == this)
        SetMapGpsPainter(nullptr);
}

void CGpsContext::SetStatusWindow(IGpsStatusWindow* window)
{
    m_statusWindow = window ? window : &m_noStatusWindow;
}

void CGpsContext::SetTerminalWindow(IGpsTerminalWindow* window)
{
    m_terminalWindow = window ? window : &m_noTerminalWindow;
}

void CGpsContext::SetClock(std::function<int64_t()> milliseconds)
{
    m_recorder.SetClock([milliseconds] { return milliseconds() / 1000; });
    m_replay.SetClock(std::move(milliseconds));
}

bool CGpsContext::OpenEmulationPort(int port)
{
    CloseEmulationPort();
    CMainFrameCore* core = GetMainFrameCore();
    if (port <= 0 || !core)
        return false;
    m_emulationPort.LoadSettings();
    m_emulationPort.SetPort(port);
    if (m_emulationPort.Open(nullptr, 0, GENERIC_WRITE) && !m_emulationTimerRunning) {
        core->Timers().SetTimer(CMainFrameCore::kEmulationTimer, kEmulationPeriodMs);
        m_emulationTimerRunning = true;
        return true;
    }
    return m_emulationPort.IsOpen();
}

void CGpsContext::CloseEmulationPort()
{
    m_emulationPort.Close();
    if (!m_emulationTimerRunning)
        return;
    if (CMainFrameCore* core = GetMainFrameCore())
        core->Timers().KillTimer(CMainFrameCore::kEmulationTimer);
    m_emulationTimerRunning = false;
}

void CGpsContext::OnEmulationTimer()
{
    m_vehicle.SendRmcSentence(m_emulationPort);
}

void CGpsContext::RecordTrackFix(const CGpsPosition& fix)
{
    m_recorder.RecordTrackFix(FixFromPosition(fix));
}

void CGpsContext::ShowFixInStatusWindow(const CGpsPosition& fix)
{
    m_statusWindow->ShowFix(FixFromPosition(fix));
}

void CGpsContext::ShowStatusWindow(bool show)
{
    m_statusWindow->Show(show);
}

void CGpsContext::CloseTrackReplay()
{
    m_replay.Close();
}

void CGpsContext::ShowTerminalText(uintptr_t port)
{
    if (!m_receiver || !m_terminalWindow->Exists())
        return;
    CSerialPort& owned = m_receiver->Receiver();
    // The message may outlive the port that posted it: the address alone is compared.
    if (reinterpret_cast<uintptr_t>(&owned) != port)
        return;
    m_terminalWindow->AppendText(owned.TakeTerminalText());
}

void CGpsContext::OnReplayTimer()
{
    m_replay.OnTimer();
}

void CGpsContext::GoToReplayPoint(int index)
{
    m_replay.GoTo(index);
}

int CGpsContext::GetReplaySpeedFactor()
{
    return m_replay.GetSpeedFactor();
}

void CGpsContext::SetReplaySpeedFactor(int factor)
{
    m_replay.SetSpeedFactor(factor);
}

void CGpsContext::OnApplicationExit()
{
    m_replay.Close();
    CloseEmulationPort();
}

void CGpsContext::DrawRecentTrack(CDC& dc, CDrelView& view)
{
    m_recorder.DrawRecentTrack(dc, view);
}

void CGpsContext::DrawVehicleMarker(CDC& dc, CDrelView& view, const CMapGpsFix& fix, double course, int lost)
{
    ::DrawVehicleMarker(dc, view, fix.longitude, fix.latitude, course, lost);
}

void CGpsContext::DrawAutomationVehicle(CDC& dc, CDrelView& view)
{
    m_vehicle.Draw(dc, view);
}
