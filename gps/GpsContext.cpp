#include "gps/GpsContext.h"

#include "gps/GpsReceiverPort.h"
#include "gps/VehicleMarker.h"

namespace {
CGpsContext* g_context = nullptr;
}

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
}

void CGpsContext::DrawRecentTrack(CDC& dc, CDrelView& view)
{
    m_recorder.DrawRecentTrack(dc, view);
}

void CGpsContext::DrawVehicleMarker(CDC& dc, CDrelView& view, const CMapGpsFix& fix, double course, int lost)
{
    ::DrawVehicleMarker(dc, view, fix.longitude, fix.latitude, course, lost);
}
