#include "platform/SerialDevice.h"

#include "platform/AppProfile.h"
#include "platform/NumberText.h"

// termios2 carries any baud rate (14400 has no Bxxx constant); it comes from
// the kernel's headers, which do not mix with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

struct CSerialDevice::SavedSettings {
    struct termios2 tio;
};

std::string SerialDeviceName(int portNumber)
{
    std::string key = FormatC("COM%d", portNumber);
    return CAppProfile::Instance().GetString("SerialPorts", key, FormatC("/dev/ttyS%d", portNumber - 1));
}

CSerialDevice::CSerialDevice(int fd, int wakeFd, bool canRead, bool canWrite)
    : m_fd(fd), m_wakeFd(wakeFd), m_canRead(canRead), m_canWrite(canWrite)
{
}

CSerialDevice::~CSerialDevice()
{
    if (m_saved)
        ::ioctl(m_fd, TCSETS2, &m_saved->tio);
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    ::close(m_wakeFd);
}

std::unique_ptr<CSerialDevice> CSerialDevice::Open(const std::string& nativePath, unsigned access, int* error)
{
    bool canRead = (access & GENERIC_READ) != 0;
    bool canWrite = (access & GENERIC_WRITE) != 0;
    int flags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    flags |= canRead && canWrite ? O_RDWR : canWrite ? O_WRONLY : O_RDONLY;
    int fd = ::open(nativePath.c_str(), flags);
    if (fd < 0) {
        if (error)
            *error = errno;
        return nullptr;
    }
    struct termios2 tio;
    if (::ioctl(fd, TCGETS2, &tio) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        int e = errno;
        ::close(fd);
        if (error)
            *error = e;
        return nullptr;
    }
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        int e = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        if (error)
            *error = e;
        return nullptr;
    }
    std::unique_ptr<CSerialDevice> device(new CSerialDevice(fd, wakeFd, canRead, canWrite));
    device->m_saved = std::make_unique<SavedSettings>();
    device->m_saved->tio = tio;
    return device;
}

namespace {

tcflag_t StandardBaud(unsigned baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return BOTHER;
    }
}

} // namespace

bool CSerialDevice::Apply(const SerialLineSettings& s)
{
    struct termios2 tio;
    if (::ioctl(m_fd, TCGETS2, &tio) != 0)
        return false;
    // Binary: no translation, no echo, no signals, bytes as they come.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    // Modem lines do not gate the data of a GPS receiver.
    tio.c_cflag |= CLOCAL | (m_canRead ? CREAD : 0);
    switch (s.byteSize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (s.parity != 0) {
        tio.c_cflag |= PARENB;
        tio.c_iflag |= INPCK;
        if (s.parity == 1 || s.parity == 3)
            tio.c_cflag |= PARODD;
        if (s.parity >= 3)
            tio.c_cflag |= CMSPAR;
    }
    // Linux has no one and a half stop bits; two is the nearest.
    if (s.stopBits != 0)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (s.flowControl == 1)
        tio.c_iflag |= IXON | IXOFF;
    else if (s.flowControl == 2)
        tio.c_cflag |= CRTSCTS;
    tcflag_t baud = StandardBaud(s.baudRate);
    tio.c_cflag |= baud | (baud << IBSHIFT);
    tio.c_ispeed = tio.c_ospeed = s.baudRate;
    if (::ioctl(m_fd, TCSETS2, &tio) != 0)
        return false;
    // DTR and RTS: on without handshake, off for XON/XOFF; the driver drives
    // them for hardware handshake. Not every device has modem lines.
    if (s.flowControl != 2) {
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(m_fd, s.flowControl == 0 ? TIOCMBIS : TIOCMBIC, &lines);
    }
    return true;
}

void CSerialDevice::Purge()
{
    ::ioctl(m_fd, TCFLSH, TCIOFLUSH);
}

void CSerialDevice::ClearDtr()
{
    int lines = TIOCM_DTR;
    ::ioctl(m_fd, TIOCMBIC, &lines);
}

long CSerialDevice::Read(void* buffer, size_t size, int timeoutMs)
{
    struct pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_fd, POLLIN, 0}};
    int ready = ::poll(fds, 2, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0 || (fds[0].revents & POLLIN))
        return 0;
    if (fds[1].revents & POLLNVAL)
        return -1;
    ssize_t n = ::read(m_fd, buffer, size);
    if (n > 0)
        return static_cast<long>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    // End of file or EIO: the line hung up.
    return -1;
}

void CSerialDevice::Wake()
{
    uint64_t one = 1;
    while (::write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void CSerialDevice::ResetWake()
{
    uint64_t count;
    while (::read(m_wakeFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

bool CSerialDevice::Write(const void* data, size_t size, std::chrono::milliseconds timeout)
{
    if (!m_canWrite)
        return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(m_fd, p, size);
        if (n > 0) {
            p += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        struct pollfd fd = {m_fd, POLLOUT, 0};
        if (::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 60'000))) < 0 && errno != EINTR)
            return false;
        if (fd.revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
    return true;
}
