#pragma once

#include "tests/support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// A session bus of the test's own: a dbus-daemon listening in a temporary
// folder, ended (and waited for) when the object goes. Calls go through a
// client connection of their own; the program's side answers on this
// thread, so the calls keep its events running while they wait.
class CPrivateBus {
public:
    CPrivateBus()
    {
        const std::string socket = m_dir.File("bus");
        m_address = "unix:path=" + socket;
        const std::string addressArgument = "--address=" + m_address;
        m_pid = ::fork();
        if (m_pid == 0) {
            // Gone with the test, also when the test is killed.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            // Its complaints about resource limits are no concern of the test's.
            const int quiet = ::open("/dev/null", O_WRONLY);
            if (quiet >= 0)
                ::dup2(quiet, STDERR_FILENO);
            ::execl("/usr/bin/dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
                addressArgument.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        struct stat info;
        for (int i = 0; i < 500 && ::stat(socket.c_str(), &info) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        static int clients = 0;
        m_clientName = QStringLiteral("test-client-%1").arg(++clients);
        m_client = QDBusConnection::connectToBus(QString::fromStdString(m_address), m_clientName);
    }
    ~CPrivateBus()
    {
        m_client = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(m_clientName);
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }
    CPrivateBus(const CPrivateBus&) = delete;
    CPrivateBus& operator=(const CPrivateBus&) = delete;

    const std::string& Address() const { return m_address; }
    bool IsUp() const { return m_pid > 0 && m_client.isConnected(); }
    QDBusConnection& Client() { return m_client; }

    QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& member,
        const QVariantList& arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, member);
        call.setArguments(arguments);
        return m_client.call(call, QDBus::BlockWithGui, 20000);
    }

private:
    CTempDir m_dir;
    std::string m_address;
    pid_t m_pid = -1;
    QString m_clientName;
    QDBusConnection m_client{QString()};
};
