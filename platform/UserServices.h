#pragma once

#include <memory>
#include <string>
#include <vector>

// What the core and the data layers ask of the application shell: message
// boxes, questions, the beep, the wait cursor and progress windows. The
// shell installs its windowed implementation; without it a headless one
// answers (messages to stderr, questions answered No), and tests install a
// scripted double. Texts are code page 1257.

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_USERICON = 0x80,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00, // the default button's place in the row, from 0
    MB_SYSTEMMODAL = 0x1000,
    MB_HELP = 0x4000, // a Help button last, which does not close the box
    MB_SETFOREGROUND = 0x10000,
    MB_TOPMOST = 0x40000,
    MB_RIGHT = 0x80000, // the text right-aligned
};

enum { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7, IDCLOSE = 8, IDHELP = 9 };

// A progress window with a cancel button. Every call first lets waiting
// window messages through; CheckCancel answers true once after the user
// pressed cancel.
class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetStep(int step) = 0;
    virtual void SetPos(int position) = 0;
    virtual void StepIt() = 0;
    virtual bool CheckCancel() = 0;
};

// A progress window of work in two levels: the calls drive the first bar;
// the second bar follows the work within one step of the first, and a
// text line says what is being done. Both bars share the window's cancel.
class IDoubleProgress : public IProgress {
public:
    virtual IProgress& SecondBar() = 0;
    virtual void SetText(const std::string& text) = 0;
};

class IUserServices {
public:
    virtual ~IUserServices() = default;
    // Shows the text modally and returns the button pressed.
    virtual int MessageBox(const std::string& text, unsigned type, unsigned helpId) = 0;
    virtual void Beep() {}
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // A new progress window captioned by a string id; null when none could be made.
    virtual std::unique_ptr<IProgress> CreateProgress(int captionId) = 0;
    // The same with two bars; by default one that shows nothing and is never cancelled.
    virtual std::unique_ptr<IDoubleProgress> CreateDoubleProgress(int captionId);
};

IUserServices& UserServices();
// Installs services; null restores the headless ones. The caller keeps ownership.
void SetUserServices(IUserServices* services);

int AppMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpId = 0);
// Shown by string id, the help id defaults to the string id (so the box,
// and a test double, know which message it was).
constexpr unsigned kHelpIdFromString = static_cast<unsigned>(-1);
int AppMessageBox(int stringId, unsigned type = MB_OK, unsigned helpId = kHelpIdFromString);
// The string with "%1" replaced by arg, shown in the application's box.
int AppMessageBoxArg(int stringId, const std::string& arg, unsigned type = MB_OK,
                     unsigned helpId = kHelpIdFromString);
// What a run without a user answers a box of the type: OK, No, else Cancel.
int HeadlessAnswer(unsigned type);
bool AskYesNo(const std::string& text);
bool AskYesNo(int stringId);
void AppBeep();

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    CWaitCursor() { UserServices().BeginWaitCursor(); }
    ~CWaitCursor() { UserServices().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Services installed over those installed before for the object's
// lifetime (or until Release), handing everything to them unless a
// derived class answers itself.
class CServicesOverlay : public IUserServices {
public:
    CServicesOverlay();
    ~CServicesOverlay() override;
    CServicesOverlay(const CServicesOverlay&) = delete;
    CServicesOverlay& operator=(const CServicesOverlay&) = delete;

    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override
    {
        return m_previous->MessageBox(text, type, helpId);
    }
    void Beep() override { m_previous->Beep(); }
    void BeginWaitCursor() override { m_previous->BeginWaitCursor(); }
    void EndWaitCursor() override { m_previous->EndWaitCursor(); }
    std::unique_ptr<IProgress> CreateProgress(int captionId) override { return m_previous->CreateProgress(captionId); }
    std::unique_ptr<IDoubleProgress> CreateDoubleProgress(int captionId) override
    {
        return m_previous->CreateDoubleProgress(captionId);
    }

    // The services before come back. Called by the destructor too.
    void Release();

private:
    IUserServices* m_installedBefore;
    IUserServices* m_previous;
    bool m_released = false;
};

// Keeps the messages shown during its lifetime instead of showing them,
// for work that repeats and should complain once (every drawing pass
// opening a file that is broken); the caller decides what to show. Boxes
// that ask are answered as a headless run answers them. Everything else
// goes to the services installed before. Installed for its lifetime.
class CHeldMessages : public CServicesOverlay {
public:
    struct Message {
        std::string text;
        unsigned type;
        unsigned helpId;
    };

    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override;

    const std::vector<Message>& Messages() const { return m_messages; }
    // Releases, then shows the messages held, in order.
    void Show();

private:
    std::vector<Message> m_messages;
};

// Counts the messages shown during its lifetime, which are shown as ever:
// for work that tells of a failure only when nothing it called has told
// of it already. Installed for its lifetime.
class CMessageCounter : public CServicesOverlay {
public:
    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override
    {
        ++m_count;
        return CServicesOverlay::MessageBox(text, type, helpId);
    }

    int GetCount() const { return m_count; }

private:
    int m_count = 0;
};
