#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

// Access bits of a port open, as callers name them.
enum : unsigned {
    GENERIC_READ = 0x80000000u,
    GENERIC_WRITE = 0x40000000u,
};

// The line settings of a serial port, in the codes the port settings keep.
struct SerialLineSettings {
    unsigned baudRate = 4800;
    int byteSize = 8;    // data bits, 4 to 8 (a line of 4 runs with 8)
    int parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 0;    // 0 one, 1 one and a half, 2 two
    int flowControl = 0; // 0 none, 1 XON/XOFF, 2 hardware handshake
};

// The Linux device behind port "COM<n>": the application profile's
// [SerialPorts] "COM<n>", else /dev/ttyS<n-1>.
std::string SerialDeviceName(int portNumber);

// One open serial device (termios). Reads wait in poll beside a wake-up
// descriptor, so another thread can end a wait at once; the device's own
// settings are put back when it closes.
class CSerialDevice {
public:
    ~CSerialDevice();
    CSerialDevice(const CSerialDevice&) = delete;
    CSerialDevice& operator=(const CSerialDevice&) = delete;

    // Opens the device for the access bits (GENERIC_READ, GENERIC_WRITE),
    // denying other opens; null on failure with *error set to errno.
    static std::unique_ptr<CSerialDevice> Open(const std::string& nativePath, unsigned access, int* error = nullptr);

    bool CanRead() const { return m_canRead; }
    bool CanWrite() const { return m_canWrite; }

    // Raw binary line with the given settings.
    bool Apply(const SerialLineSettings& settings);
    // Drops what waits in the driver in both directions.
    void Purge();
    void ClearDtr();

    // Waits up to timeoutMs (-1: no limit) for input and reads at most size
    // bytes. Returns the count read; 0 when woken, timed out or interrupted;
    // -1 when the device hung up or failed.
    long Read(void* buffer, size_t size, int timeoutMs);
    // Ends the waits of Read, now and later, until ResetWake.
    void Wake();
    void ResetWake();

    // Writes all bytes within the time; false when they could not all go.
    bool Write(const void* data, size_t size, std::chrono::milliseconds timeout);

private:
    CSerialDevice(int fd, int wakeFd, bool canRead, bool canWrite);

    int m_fd;
    int m_wakeFd;
    bool m_canRead;
    bool m_canWrite;
    struct SavedSettings;
    std::unique_ptr<SavedSettings> m_saved; // the settings found at open
};
