#include "gps/GpsReceiverPort.h"

#include "platform/SerialDevice.h"

static_assert(kNoFixTime == CGpsPosition::kNoTime, "both sides mean the same unknown time");

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
    CGpsPosition position;
    position.longitude = fix.longitude;
    position.latitude = fix.latitude;
    position.speed = fix.speed;
    position.course = fix.course;
    position.time = fix.time;
    position.valid = fix.valid != 0;
    return position;
}
