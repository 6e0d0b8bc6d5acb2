#pragma once

#include "platform/UserServices.h"

#include <deque>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes. Path() is a stored-form path ending in '/'.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Lets Qt's events through until the condition holds; false after two seconds.
bool WaitFor(const std::function<bool()>& condition);

// Fonts need a GUI application; one is made for the whole program, on the
// offscreen platform, the first time a test asks (none when the program
// has an application already).
void NeedGuiApplication();

// Writes and reads whole files by stored-form path.
void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

// The folder of small test fixtures (tests/data/), ending in '/'.
std::string TestDataFolder();

// Compiles a comma-decimal locale (lt_LT) into a temporary folder and
// switches LC_NUMERIC to it for the object's lifetime. Active() is false
// when the machine cannot build it.
class CCommaLocale {
public:
    CCommaLocale();
    ~CCommaLocale();
    CCommaLocale(const CCommaLocale&) = delete;
    CCommaLocale& operator=(const CCommaLocale&) = delete;
    bool Active() const { return m_active; }

private:
    CTempDir m_dir;
    std::string m_old, m_oldLocpath;
    bool m_hadLocpath = false;
    bool m_active = false;
};

// User services that record every message and answer from a script.
// Installed for its lifetime.
class CScriptedUserServices : public IUserServices {
public:
    struct Message {
        std::string text;
        unsigned type;
        unsigned helpId; // the string id for messages shown by id
    };

    CScriptedUserServices();
    ~CScriptedUserServices() override;

    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override;
    void Beep() override { ++beeps; }
    std::unique_ptr<IProgress> CreateProgress(int captionId) override;
    // Its first bar is recorded as a plain window's bar; the second bar
    // counts its steps and shares the cancel script.
    std::unique_ptr<IDoubleProgress> CreateDoubleProgress(int captionId) override;

    // Answers handed out in order; when none is left, OK/Yes-No boxes get IDOK/IDNO.
    std::deque<int> answers;
    std::vector<Message> messages;
    int beeps = 0;
    // The progress windows cancel after this many CheckCancel calls (-1: never).
    int cancelAfterChecks = -1;
    int progressSteps = 0;
    int cancelChecks = 0;
    // The range and position a window's (first) bar was given last.
    int progressHigh = 0;
    int progressPosition = 0;
    int secondBarSteps = 0;

    std::vector<unsigned> MessageIds() const;

private:
    IUserServices* m_previous;
};

// Child processes, each running one piece of work: several programs on one
// file. The children wait until the first AnyRunning or WaitAll and then
// start together. A child ends with code 0 when its work answers true; it
// must not use the test macros. Children still running when the object
// goes are waited for.
class CChildProcesses {
public:
    CChildProcesses();
    ~CChildProcesses();
    CChildProcesses(const CChildProcesses&) = delete;
    CChildProcesses& operator=(const CChildProcesses&) = delete;

    // False when no process could be made.
    bool Start(const std::function<bool()>& work);
    bool AnyRunning();
    // Waits for every child; true when each ended with code 0.
    bool WaitAll();

private:
    void Release();

    std::vector<pid_t> m_running;
    int m_gate[2] = {-1, -1}; // the children read one byte each before they work
    bool m_allSucceeded = true;
};
