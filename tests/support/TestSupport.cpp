#include "tests/support/TestSupport.h"

#include "platform/Path.h"
#include "platform/Stream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
IUserServices* g_current = nullptr;
}

CTempDir::CTempDir()
{
    std::string templ = (std::filesystem::temp_directory_path() / "drel-test-XXXXXX").string();
    char* made = ::mkdtemp(templ.data());
    if (!made)
        throw std::runtime_error("mkdtemp failed");
    m_path = FromNativePath(templ) + "/";
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(ResolvePath(m_path), ec);
}

void NeedGuiApplication()
{
    static int argc = 1;
    static char name[] = "drel_test";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = []() -> std::unique_ptr<QGuiApplication> {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (QCoreApplication::instance())
            return nullptr;
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    auto s = CFileStream::Open(path, FileMode::CreateAlways);
    ASSERT_TRUE(s) << path;
    ASSERT_TRUE(s->WriteExact(bytes.data(), bytes.size()));
}

std::string ReadWholeFile(const std::string& path)
{
    auto s = CFileStream::Open(path, FileMode::Read);
    if (!s)
        return std::string();
    std::string bytes(static_cast<size_t>(s->Size()), '\0');
    s->ReadExact(bytes.data(), bytes.size());
    return bytes;
}

std::string TestDataFolder()
{
    const char* env = std::getenv("DREL_TEST_DATA");
    std::string folder = env && *env ? env : DREL_TEST_DATA_FOLDER;
    if (folder.back() != '/')
        folder += '/';
    return FromNativePath(folder);
}

bool WaitFor(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 2000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

CCommaLocale::CCommaLocale()
{
    std::string folder = ResolvePath(m_dir.Path());
    std::string cmd = "localedef -i lt_LT -f UTF-8 " + folder + "lt_LT.UTF-8 >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        return;
    const char* old = std::getenv("LOCPATH");
    m_oldLocpath = old ? old : "";
    m_hadLocpath = old != nullptr;
    setenv("LOCPATH", folder.c_str(), 1);
    m_old = std::setlocale(LC_NUMERIC, nullptr);
    m_active = std::setlocale(LC_NUMERIC, "lt_LT.UTF-8") != nullptr;
}

CCommaLocale::~CCommaLocale()
{
    if (m_old.empty() && !m_active)
        return;
    std::setlocale(LC_NUMERIC, m_old.empty() ? "C" : m_old.c_str());
    if (m_hadLocpath)
        setenv("LOCPATH", m_oldLocpath.c_str(), 1);
    else
        unsetenv("LOCPATH");
}

namespace {

class CScriptedProgress : public IProgress {
public:
    explicit CScriptedProgress(CScriptedUserServices& owner) : m_owner(owner) {}
    void SetRange(int, int high) override { m_owner.progressHigh = high; }
    void SetStep(int step) override { m_step = step; }
    void SetPos(int position) override { m_owner.progressPosition = position; }
    void StepIt() override
    {
        ++m_owner.progressSteps;
        m_owner.progressPosition += m_step;
    }
    bool CheckCancel() override
    {
        ++m_owner.cancelChecks;
        return m_owner.cancelAfterChecks >= 0 && m_owner.cancelChecks > m_owner.cancelAfterChecks;
    }

private:
    CScriptedUserServices& m_owner;
    int m_step = 10;
};

class CScriptedSecondBar : public IProgress {
public:
    explicit CScriptedSecondBar(CScriptedProgress& window, CScriptedUserServices& owner)
        : m_window(window), m_owner(owner)
    {
    }
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void SetPos(int) override {}
    void StepIt() override { ++m_owner.secondBarSteps; }
    bool CheckCancel() override { return m_window.CheckCancel(); }

private:
    CScriptedProgress& m_window;
    CScriptedUserServices& m_owner;
};

class CScriptedDoubleProgress : public IDoubleProgress {
public:
    explicit CScriptedDoubleProgress(CScriptedUserServices& owner) : m_first(owner), m_second(m_first, owner) {}
    void SetRange(int low, int high) override { m_first.SetRange(low, high); }
    void SetStep(int step) override { m_first.SetStep(step); }
    void SetPos(int position) override { m_first.SetPos(position); }
    void StepIt() override { m_first.StepIt(); }
    bool CheckCancel() override { return m_first.CheckCancel(); }
    IProgress& SecondBar() override { return m_second; }
    void SetText(const std::string&) override {}

private:
    CScriptedProgress m_first;
    CScriptedSecondBar m_second;
};

} // namespace

CScriptedUserServices::CScriptedUserServices() : m_previous(g_current)
{
    g_current = this;
    SetUserServices(this);
}

CScriptedUserServices::~CScriptedUserServices()
{
    g_current = m_previous;
    SetUserServices(m_previous);
}

int CScriptedUserServices::MessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    messages.push_back(Message{text, type, helpId});
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return HeadlessAnswer(type);
}

std::unique_ptr<IProgress> CScriptedUserServices::CreateProgress(int)
{
    return std::make_unique<CScriptedProgress>(*this);
}

std::unique_ptr<IDoubleProgress> CScriptedUserServices::CreateDoubleProgress(int)
{
    return std::make_unique<CScriptedDoubleProgress>(*this);
}

std::vector<unsigned> CScriptedUserServices::MessageIds() const
{
    std::vector<unsigned> ids;
    for (const Message& m : messages)
        ids.push_back(m.helpId);
    return ids;
}

CChildProcesses::CChildProcesses()
{
    if (::pipe(m_gate) != 0)
        m_gate[0] = m_gate[1] = -1;
}

CChildProcesses::~CChildProcesses()
{
    WaitAll();
    for (int fd : m_gate)
        if (fd >= 0)
            ::close(fd);
}

bool CChildProcesses::Start(const std::function<bool()>& work)
{
    if (m_gate[0] < 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::close(m_gate[1]); // a parent gone without releasing them ends them
        char go = 0;
        const bool released = ::read(m_gate[0], &go, 1) == 1;
        ::_exit(released && work() ? 0 : 1); // no test teardown, no exit handlers of the parent's
    }
    m_running.push_back(child);
    return true;
}

void CChildProcesses::Release()
{
    if (m_gate[1] < 0)
        return;
    const std::string go(m_running.size(), 'g');
    m_allSucceeded = m_allSucceeded && ::write(m_gate[1], go.data(), go.size()) == static_cast<ssize_t>(go.size());
    ::close(m_gate[1]);
    m_gate[1] = -1;
}

bool CChildProcesses::AnyRunning()
{
    Release();
    for (size_t i = 0; i < m_running.size();) {
        int status = 0;
        const pid_t done = ::waitpid(m_running[i], &status, WNOHANG);
        if (done == 0) {
            ++i;
            continue;
        }
        m_allSucceeded = m_allSucceeded && done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return !m_running.empty();
}

bool CChildProcesses::WaitAll()
{
    Release();
    for (pid_t child : m_running) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, 0);
        m_allSucceeded = m_allSucceeded && done == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    m_running.clear();
    return m_allSucceeded;
}
