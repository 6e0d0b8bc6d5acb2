#include "gps/GpsReceiverPort.h"

#include "platform/SerialDevice.h"

bool CGpsReceiverPort::Open(IMessageWindow& window, unsigned message)
{
    return m_receiver.Open(&window, message, GENERIC_READ);
}

void CGpsReceiverPort::Close()
{
    m_receiver.Close();
}

bool CGpsReceiverPort::IsOpen() const
{
    return m_receiver.IsOpen();
}

CGpsPosition CGpsReceiverPort::GetLastFix() const
{
    GpsFix fix;
    m_receiver.GetFix(fix);
    return PositionFromFix(fix);
}
