#pragma once

#include "gps/GpsReceiver.h"
#include "shell/GpsReceiverPort.h"

// The GPS receiver as the main window starts and stops it: the serial
// port of section "GPS" opened for reading, its fixes posted to the window.
class CGpsReceiverPort : public IGpsReceiverPort {
public:
    bool Open(IMessageWindow& window, unsigned message) override;
    void Close() override;
    bool IsOpen() const override;
    CGpsPosition GetLastFix() const override;

    CGpsReceiver& Receiver() { return m_receiver; }

private:
    CGpsReceiver m_receiver;
};
