#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>

class IMessageWindow;

// A GPS position as the main window keeps it. Times are seconds since
// 1970 of the receiver's UTC clock.
struct CGpsPosition {
    static constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();

    double longitude = DBL_MAX; // decimal degrees; DBL_MAX = unset
    double latitude = DBL_MAX;
    double speed = 0;  // km/h
    double course = 0; // degrees
    int64_t time = kNoTime;
    int satellites = -1; // in use; -1 not reported
    bool valid = false;

    bool HasPosition() const { return longitude != DBL_MAX && latitude != DBL_MAX; }
};

// The serial port of the GPS receiver, as the main window starts and
// stops it; the GPS folder implements it over its receiver and registers
// it at start. Opened for reading, the port posts the message to the
// window for every fix it decodes, from its reader thread.
class IGpsReceiverPort {
public:
    virtual ~IGpsReceiverPort() = default;
    // False when the port cannot be opened (the port reports why).
    virtual bool Open(IMessageWindow& window, unsigned message) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The last fix decoded, copied under the receiver's lock.
    virtual CGpsPosition GetLastFix() const = 0;
};

// Null while the program has no receiver; the caller keeps ownership.
IGpsReceiverPort* GetGpsReceiverPort();
void SetGpsReceiverPort(IGpsReceiverPort* port);
