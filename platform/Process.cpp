#include "platform/Process.h"

#include "platform/Codepage.h"
#include "platform/Path.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, have = false;
    for (char c : text) {
        if (c == '"') {
            inQuotes = !inQuotes;
            have = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (have)
                args.push_back(current);
            current.clear();
            have = false;
        } else {
            current += c;
            have = true;
        }
    }
    if (have)
        args.push_back(current);
    return args;
}

} // namespace

bool StartProgram(const std::string& program, const std::string& arguments, bool wait)
{
    return StartProgramWithArguments(program, SplitArguments(arguments), wait);
}

bool StartProgramWithArguments(const std::string& program, const std::vector<std::string>& arguments, bool wait)
{
    std::vector<std::string> args;
    args.push_back(ResolvePath(program));
    for (const std::string& a : arguments)
        args.push_back(Cp1257ToUtf8(a));
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, args[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    auto reap = [pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    };
    if (wait)
        reap();
    else
        std::thread(reap).detach(); // no zombie is left behind
    return true;
}

bool OpenFileWithDefaultProgram(const std::string& storedPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(ResolvePath(storedPath))));
}

bool OpenUrlWithDefaultProgram(const std::string& url)
{
    const QUrl parsed(QString::fromStdString(Cp1257ToUtf8(url)), QUrl::TolerantMode);
    return parsed.isValid() && QDesktopServices::openUrl(parsed);
}

std::string SystemErrorText(int error)
{
    return Utf8ToCp1257(std::strerror(error));
}
