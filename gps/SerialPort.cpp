#include "gps/SerialPort.h"

#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/MessageWindow.h"
#include "platform/NumberText.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <ctime>
#include <system_error>

namespace {

int64_t SystemClock()
{
    return static_cast<int64_t>(std::time(nullptr));
}

} // namespace

CSerialPort::CSerialPort(std::string name) : m_name(std::move(name)), m_clock(SystemClock)
{
}

CSerialPort::~CSerialPort()
{
    Close();
}

void CSerialPort::LoadSettings()
{
    CAppProfile& profile = CAppProfile::Instance();
    auto read = [&](const char* key, int current, int low, int high) {
        int v = profile.GetInt(m_name, key, current);
        return v >= low && v <= high ? v : current;
    };
    m_port = read("Port", m_port, 0, 1 << 30);
    m_line.baudRate = static_cast<unsigned>(read("BaudRate", static_cast<int>(m_line.baudRate), 1, 1 << 30));
    m_line.byteSize = read("ByteSize", m_line.byteSize, 4, 8);
    m_line.stopBits = read("StopBits", m_line.stopBits, 0, 2);
    m_line.parity = read("Parity", m_line.parity, 0, 4);
    m_line.flowControl = read("FlowControl", m_line.flowControl, 0, 2);
    m_writeToLog = profile.GetInt(m_name, "WriteToLog", m_writeToLog ? 1 : 0) != 0;
}

void CSerialPort::SaveSettings() const
{
    CAppProfile& profile = CAppProfile::Instance();
    profile.WriteInt(m_name, "Port", m_port);
    profile.WriteInt(m_name, "BaudRate", static_cast<int>(m_line.baudRate));
    profile.WriteInt(m_name, "ByteSize", m_line.byteSize);
    profile.WriteInt(m_name, "StopBits", m_line.stopBits);
    profile.WriteInt(m_name, "Parity", m_line.parity);
    profile.WriteInt(m_name, "FlowControl", m_line.flowControl);
}

bool CSerialPort::Open(IMessageWindow* notifyWindow, unsigned notifyMessage, unsigned access)
{
    Close();
    if (m_port == 0)
        LoadSettings();
    SetNotifyTarget(notifyWindow, notifyMessage);
    if (m_port < 1 || m_port > kMaxPort)
        return false;

    std::string comName = FormatC("COM%d", m_port);
    auto failed = [&] {
        AppMessageBox(FormatC("Unable to open %s port", comName.c_str()));
        return false;
    };
    auto device = CSerialDevice::Open(SerialDeviceName(m_port), access);
    if (!device || !device->Apply(m_line))
        return failed();
    if (!device->CanRead()) {
        m_device = std::move(device);
        return true;
    }
    device->Purge();
    m_device = std::move(device);
    // Only received bytes are logged, so a port that only writes keeps no log.
    if (m_writeToLog)
        OpenRawLog();
    m_stopReader.store(false);
    m_readerRunning.store(true);
    if (!StartReaderThread()) {
        m_readerRunning.store(false);
        CloseRawLog();
        m_device.reset();
        return failed();
    }
    return true;
}

bool CSerialPort::StartReaderThread()
{
    try {
        m_reader = std::thread(&CSerialPort::ReaderLoop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CSerialPort::StopReader()
{
    if (m_reader.joinable()) {
        m_stopReader.store(true);
        m_device->Wake();
        m_reader.join();
        m_device->ResetWake();
        m_device->ClearDtr();
    }
    m_readerRunning.store(false);
    CloseRawLog();
}

bool CSerialPort::Close()
{
    if (m_device) {
        StopReader();
        m_device.reset();
    }
    m_received.clear();
    return true;
}

bool CSerialPort::ApplyConfiguration(int port, const SerialLineSettings& line)
{
    m_line = line;
    const bool wasOpen = IsOpen();
    if (wasOpen)
        Close();
    m_port = port;
    SaveSettings();
    if (!wasOpen || port == 0)
        return true;
    return Open(m_notifyWindow, m_notifyMessage, GENERIC_READ | GENERIC_WRITE);
}

void CSerialPort::ReaderLoop()
{
    char chunk[kReadChunk];
    while (!m_stopReader.load()) {
        long n = m_device->Read(chunk, sizeof chunk, -1);
        if (n < 0)
            break;
        if (n > 0)
            ReceiveChunk(chunk, static_cast<size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(m_readerEndLock);
        m_readerRunning.store(false);
    }
    m_readerEnded.notify_all();
}

bool CSerialPort::WaitForReaderEnd(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_readerEndLock);
    return m_readerEnded.wait_for(lock, timeout, [this] { return !m_readerRunning.load(); });
}

void CSerialPort::ReceiveChunk(const char* chunk, size_t length)
{
    // A held line that would overflow is lost rather than the new bytes.
    if (m_received.size() + length >= kReceiveCapacity)
        m_received.assign(chunk, length);
    else
        m_received.append(chunk, length);
    DataReceived();

    {
        std::lock_guard<std::mutex> lock(m_logLock);
        if (m_log)
            m_log->Write(chunk, length);
    }

    if (m_terminalEcho.load()) {
        bool copied = false;
        {
            std::lock_guard<std::mutex> lock(m_terminalLock);
            // A chunk that does not fit is left out of the terminal, not cut.
            if (kTerminalCapacity - m_terminal.size() > length) {
                m_terminal.append(chunk, length);
                copied = true;
            }
        }
        IMessageWindow* main = GetMainMessageWindow();
        if (copied && main)
            main->PostMessage(WM_GPS_TERMINAL_TEXT, reinterpret_cast<uintptr_t>(this), 0);
    }
}

std::string CSerialPort::TakeTerminalText()
{
    std::lock_guard<std::mutex> lock(m_terminalLock);
    std::string text;
    text.swap(m_terminal);
    return text;
}

bool CSerialPort::ConsumeReceived(size_t n)
{
    if (n > m_received.size())
        return false;
    m_received.erase(0, n);
    return true;
}

std::chrono::milliseconds CSerialPort::WriteTimeout(unsigned baudRate, size_t length)
{
    long long perByte = baudRate > 0 ? 19200 / baudRate : 0;
    return std::chrono::milliseconds(perByte * static_cast<long long>(length) + 100);
}

bool CSerialPort::Write(const void* bytes, size_t length)
{
    if (!m_device)
        return false;
    return m_device->Write(bytes, length, WriteTimeout(m_line.baudRate, length));
}

bool CSerialPort::OpenRawLog()
{
    CloseRawLog();
    time_t now = static_cast<time_t>(m_clock());
    struct tm local;
    char name[64];
    if (!localtime_r(&now, &local) || !std::strftime(name, sizeof name, "GPSLog/GPS%Y%m%d.log", &local))
        return false;
    std::string path = WritableProgramFile(name);
    auto log = CFileStream::Open(path, FileMode::ReadWrite);
    if (!log)
        log = CFileStream::Open(path, FileMode::CreateNew);
    if (!log)
        log = CFileStream::Open(path, FileMode::ReadWrite);
    // Other writers are kept out, as the log's sharing mode did.
    if (!log || !log->TryLockRegion(0, 1'000'000'000) || !log->Seek(0, CStream::End)) {
        AppMessageBoxArg(1007, path);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_logLock);
    m_log = std::move(log);
    return true;
}

void CSerialPort::CloseRawLog()
{
    std::unique_ptr<CFileStream> log;
    {
        std::lock_guard<std::mutex> lock(m_logLock);
        log.swap(m_log);
    }
}

void CSerialPort::SetWriteToLog(bool on)
{
    if (on == m_writeToLog)
        return;
    CAppProfile::Instance().WriteInt(m_name, "WriteToLog", on ? 1 : 0);
    m_writeToLog = on;
    bool logOpen;
    {
        std::lock_guard<std::mutex> lock(m_logLock);
        logOpen = m_log != nullptr;
    }
    if (on && !logOpen && m_device && m_device->CanRead())
        OpenRawLog();
    else if (!on)
        CloseRawLog();
}
