#pragma once

#include "gps/GpsFix.h"
#include "gps/SerialPort.h"

#include <mutex>

// The serial port of the GPS receiver (settings section "GPS"). On the
// reader thread it decodes "$GPRMC" and "$GPGGA" sentences into its fix and
// posts the notify message (lParam = the receiver) for every decoded
// "$GPRMC", valid or not. Opened with read access by the start-tracking command.
class CGpsReceiver : public CSerialPort {
public:
    CGpsReceiver();
    ~CGpsReceiver() override;

    // A copy of the fix taken under the fix lock.
    bool GetFix(GpsFix& out) const;

protected:
    int DataReceived() override;

private:
    mutable std::mutex m_fixLock;
    GpsFix m_fix;
};
