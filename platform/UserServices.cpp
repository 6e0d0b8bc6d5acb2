#include "platform/UserServices.h"

#include "platform/Codepage.h"
#include "platform/Strings.h"

#include <atomic>
#include <cstdio>

namespace {

// A progress window that shows nothing and is never cancelled.
template <class Progress>
class CSilentProgress : public Progress {
public:
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void SetPos(int) override {}
    void StepIt() override {}
    bool CheckCancel() override { return false; }
};

using CHeadlessProgress = CSilentProgress<IProgress>;

class CHeadlessDoubleProgress : public CSilentProgress<IDoubleProgress> {
public:
    IProgress& SecondBar() override { return m_second; }
    void SetText(const std::string&) override {}

private:
    CHeadlessProgress m_second;
};

class CHeadlessUserServices : public IUserServices {
public:
    int MessageBox(const std::string& text, unsigned type, unsigned) override
    {
        std::fprintf(stderr, "drel: %s\n", Cp1257ToUtf8(text).c_str());
        return HeadlessAnswer(type);
    }
    std::unique_ptr<IProgress> CreateProgress(int) override { return std::make_unique<CHeadlessProgress>(); }
};

CHeadlessUserServices g_headless;
std::atomic<IUserServices*> g_services{nullptr};

} // namespace

std::unique_ptr<IDoubleProgress> IUserServices::CreateDoubleProgress(int)
{
    return std::make_unique<CHeadlessDoubleProgress>();
}

CServicesOverlay::CServicesOverlay() : m_installedBefore(g_services.load()), m_previous(&UserServices())
{
    SetUserServices(this);
}

CServicesOverlay::~CServicesOverlay()
{
    Release();
}

void CServicesOverlay::Release()
{
    if (m_released)
        return;
    m_released = true;
    if (g_services.load() == this) {
        SetUserServices(m_installedBefore);
        return;
    }
    // Released before an overlay installed over it: that one takes over
    // what this one stood on, so it never hands messages to freed memory.
    for (auto* above = dynamic_cast<CServicesOverlay*>(g_services.load()); above;
         above = dynamic_cast<CServicesOverlay*>(above->m_installedBefore)) {
        if (above->m_installedBefore == this) {
            above->m_installedBefore = m_installedBefore;
            above->m_previous = m_previous;
            return;
        }
    }
}

void CHeldMessages::Show()
{
    Release();
    for (const Message& m : m_messages)
        AppMessageBox(m.text, m.type, m.helpId);
}

int CHeldMessages::MessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    m_messages.push_back({text, type, helpId});
    return HeadlessAnswer(type);
}

IUserServices& UserServices()
{
    IUserServices* s = g_services.load();
    return s ? *s : g_headless;
}

void SetUserServices(IUserServices* services)
{
    g_services.store(services);
}

int HeadlessAnswer(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int AppMessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    return UserServices().MessageBox(text, type, helpId);
}

int AppMessageBox(int stringId, unsigned type, unsigned helpId)
{
    return UserServices().MessageBox(LoadString(stringId), type,
                                     helpId == kHelpIdFromString ? static_cast<unsigned>(stringId) : helpId);
}

int AppMessageBoxArg(int stringId, const std::string& arg, unsigned type, unsigned helpId)
{
    return UserServices().MessageBox(LoadStringArg(stringId, arg), type,
                                     helpId == kHelpIdFromString ? static_cast<unsigned>(stringId) : helpId);
}

bool AskYesNo(const std::string& text)
{
    return AppMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskYesNo(int stringId)
{
    return AppMessageBox(stringId, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void AppBeep()
{
    UserServices().Beep();
}
