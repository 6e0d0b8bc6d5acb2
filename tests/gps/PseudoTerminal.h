#pragma once

#include "platform/AppProfile.h"
#include "platform/NumberText.h"

#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

// A pseudo-terminal standing in for a serial line: the program opens the
// slave side as a COM port, the test reads what was written through the
// master side.
class CPseudoTerminal {
public:
    CPseudoTerminal() { ::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr); }
    ~CPseudoTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0 && m_slave >= 0; }
    // The port of the number opens this line (in the profile in use now).
    void MapAs(int port) const
    {
        CAppProfile::Instance().WriteString("SerialPorts", FormatC("COM%d", port), ::ttyname(m_slave));
    }
    // One line as it came within the time; empty when nothing came.
    std::string ReadLine(int milliseconds = 2000) const
    {
        std::string text;
        while (text.find('\n') == std::string::npos) {
            pollfd wait{m_master, POLLIN, 0};
            if (::poll(&wait, 1, milliseconds) <= 0)
                break;
            char chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            text.append(chunk, static_cast<size_t>(n));
        }
        return text;
    }

private:
    int m_master = -1;
    int m_slave = -1;
};
