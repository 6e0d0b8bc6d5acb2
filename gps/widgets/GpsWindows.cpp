#include "gps/widgets/GpsWindows.h"

#include "gps/SerialPort.h"

void CGpsWindows::Show(bool show)
{
    if (!show) {
        if (m_status)
            m_status->hide();
        return;
    }
    if (!m_status) {
        QWidget* owner = m_owner ? m_owner() : nullptr;
        if (!owner)
            return;
        m_status = new CDlgGps(owner);
    }
    m_status->show();
}

bool CGpsWindows::IsVisible() const
{
    return m_status && m_status->isVisible();
}

void CGpsWindows::ShowFix(const GpsFix& fix)
{
    if (m_status)
        m_status->ShowFix(fix);
}

void CGpsWindows::ShowTripUpTo(std::span<const GpsFix> fixes, int n)
{
    if (m_status)
        m_status->ShowTripUpTo(fixes, n);
}

void CGpsWindows::ResetTrip()
{
    if (m_status)
        m_status->ResetTrip();
}

void CGpsWindows::RefreshFix()
{
    if (m_status)
        m_status->RefreshFix();
}

void CGpsWindows::AppendText(std::string_view pieces)
{
    if (m_terminal)
        m_terminal->AppendText(pieces);
}

void CGpsWindows::ToggleTerminal(CSerialPort* port)
{
    if (!m_terminal) {
        QWidget* owner = m_owner ? m_owner() : nullptr;
        if (!owner)
            return;
        m_terminal = new CDlgTerminal(owner);
        if (port)
            port->SetTerminalEcho(true);
        m_terminal->show();
        return;
    }
    m_terminal->setVisible(!m_terminal->isVisible());
}

bool CGpsWindows::IsTerminalVisible() const
{
    return m_terminal && m_terminal->isVisible();
}
