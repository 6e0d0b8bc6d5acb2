#pragma once

#include "platform/SerialDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class CFileStream;
class IMessageWindow;

// A serial port "COM1" to "COM127" with its settings in the application
// profile (section = the port's name). Opened with read access it runs one
// reader thread that hands every received chunk to DataReceived, keeps the
// raw daily log of received bytes and, when asked, a copy of the text for
// the terminal window.
//
// Open, Close, Write and the settings belong to the user-interface thread.
// The reader is joined before Close returns; a derived class that overrides
// DataReceived closes the port in its own destructor, so the reader never
// runs into a half-destroyed object.
class CSerialPort {
public:
    static constexpr int kMaxPort = 127;
    static constexpr size_t kReceiveCapacity = 4000;
    static constexpr size_t kTerminalCapacity = 8192;
    static constexpr size_t kReadChunk = 512;

    explicit CSerialPort(std::string name);
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    const std::string& Name() const { return m_name; }
    int GetPort() const { return m_port; }
    void SetPort(int port) { m_port = port; }
    const SerialLineSettings& GetLineSettings() const { return m_line; }
    void SetLineSettings(const SerialLineSettings& line) { m_line = line; }
    bool GetWriteToLog() const { return m_writeToLog; }

    // Reads "Port", "BaudRate", "ByteSize", "StopBits", "Parity",
    // "FlowControl" and "WriteToLog"; a missing or impossible value keeps
    // the current one.
    void LoadSettings();
    // Writes the line settings ("WriteToLog" only SetWriteToLog writes).
    void SaveSettings() const;

    // Opens the port for the access bits (GENERIC_READ, GENERIC_WRITE);
    // notifyWindow gets the derived class's notifyMessage. Port numbers
    // outside 1 to 127 are refused without a message; a device that cannot
    // be opened shows "Unable to open COM<n> port". An open port is closed first.
    bool Open(IMessageWindow* notifyWindow, unsigned notifyMessage, unsigned access);
    // Stops and joins the reader, closes the log and the device.
    bool Close();
    // What OK of the port-parameters dialog does with its choice: the
    // settings taken and saved; an open port is closed, and reopened for
    // reading and writing with its notify window and message unless the
    // new number is 0. False when that reopen failed.
    bool ApplyConfiguration(int port, const SerialLineSettings& line);
    bool IsOpen() const { return m_device != nullptr; }

    // False when the port is not open for writing or not every byte went
    // out within the port's write time-out.
    bool Write(const void* bytes, size_t length);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Per byte 19200 / baud ms (integer), plus 100 ms.
    static std::chrono::milliseconds WriteTimeout(unsigned baudRate, size_t length);

    // Stores the flag in the profile and opens or closes the raw log.
    void SetWriteToLog(bool on);

    // Copies received bytes into the terminal buffer and posts
    // WM_GPS_TERMINAL_TEXT to the main window for each chunk that fits.
    void SetTerminalEcho(bool on) { m_terminalEcho.store(on); }
    bool GetTerminalEcho() const { return m_terminalEcho.load(); }
    // The terminal text waiting, emptied.
    std::string TakeTerminalText();

    // Drops the first n received bytes; false (and nothing dropped) when
    // fewer are held. Reader thread only.
    bool ConsumeReceived(size_t n);

    // The reader runs until Close or until the device hangs up.
    bool IsReaderRunning() const { return m_readerRunning.load(); }
    // Waits until the reader has ended; false on time-out.
    bool WaitForReaderEnd(std::chrono::milliseconds timeout);

    // The clock that dates the raw log (tests give their own days).
    void SetClockForTesting(std::function<int64_t()> clock) { m_clock = std::move(clock); }

protected:
    // Runs on the reader thread after every chunk, with the bytes held in
    // ReceivedText(); consumes what it used.
    virtual int DataReceived() { return 0; }
    std::string_view ReceivedText() const { return m_received; }
    IMessageWindow* NotifyWindow() const { return m_notifyWindow; }
    unsigned NotifyMessage() const { return m_notifyMessage; }
    // Starts the reader thread; false when the system refused it.
    virtual bool StartReaderThread();
    // What the reader does with every chunk: holds it for DataReceived,
    // logs it and echoes it to the terminal. Tests feed chunks here while
    // no reader runs.
    void ReceiveChunk(const char* chunk, size_t length);
    void SetNotifyTarget(IMessageWindow* window, unsigned message)
    {
        m_notifyWindow = window;
        m_notifyMessage = message;
    }

private:
    void ReaderLoop();
    bool OpenRawLog();
    void CloseRawLog();
    void StopReader();

    std::string m_name;
    int m_port = 0;
    SerialLineSettings m_line;
    bool m_writeToLog = true;

    std::unique_ptr<CSerialDevice> m_device;
    IMessageWindow* m_notifyWindow = nullptr;
    unsigned m_notifyMessage = 0;

    std::thread m_reader;
    std::atomic<bool> m_stopReader{false};
    std::atomic<bool> m_readerRunning{false};
    std::mutex m_readerEndLock;
    std::condition_variable m_readerEnded;

    std::string m_received; // reader thread only while open

    std::mutex m_logLock; // the raw log is opened on the interface thread and written by the reader
    std::unique_ptr<CFileStream> m_log;
    std::function<int64_t()> m_clock;

    std::atomic<bool> m_terminalEcho{false};
    std::mutex m_terminalLock;
    std::string m_terminal;
};
