#include "shell/widgets/ShellUserServices.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/FrameworkApp.h"
#include "shell/widgets/MdiFrame.h"
#include "shell/widgets/MessageBox.h"
#include "shell/widgets/ProgressDlg.h"

#include <QApplication>
#include <QCursor>

namespace {

// The two-bar window behind the services' interface.
class CDoubleProgressWindow : public IDoubleProgress {
public:
    explicit CDoubleProgressWindow(std::unique_ptr<CDoubleProgressDlg> window) : m_window(std::move(window)) {}
    void SetRange(int low, int high) override { m_window->SetRange(low, high); }
    void SetStep(int step) override { m_window->SetStep(step); }
    void SetPos(int position) override { m_window->SetPos(position); }
    void StepIt() override { m_window->StepIt(); }
    bool CheckCancel() override { return m_window->CheckCancel(); }
    IProgress& SecondBar() override { return m_window->SecondBar(); }
    void SetText(const std::string& text) override { m_window->SetText(text); }

private:
    std::unique_ptr<CDoubleProgressDlg> m_window;
};

class CShellUserServices : public IUserServices {
public:
    MessageBoxHandler handler;

    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override
    {
        if (handler)
            return handler(text, type, helpId);
        return MessageBoxFromTemplate(GetUserServicesOwner(), text, FromQString(QCoreApplication::applicationName()),
                                      type);
    }
    void Beep() override { QApplication::beep(); }
    void BeginWaitCursor() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void EndWaitCursor() override { QApplication::restoreOverrideCursor(); }
    std::unique_ptr<IProgress> CreateProgress(int captionId) override
    {
        auto progress = std::make_unique<CProgressDlg>(captionId);
        if (!progress->Create(GetUserServicesOwner()))
            return nullptr;
        return progress;
    }
    std::unique_ptr<IDoubleProgress> CreateDoubleProgress(int captionId) override
    {
        auto window = std::make_unique<CDoubleProgressDlg>(captionId);
        if (!window->Create(GetUserServicesOwner()))
            return nullptr;
        return std::make_unique<CDoubleProgressWindow>(std::move(window));
    }
};

CShellUserServices& Services()
{
    static CShellUserServices services;
    return services;
}

} // namespace

void InstallShellUserServices(MessageBoxHandler handler)
{
    Services().handler = std::move(handler);
    SetUserServices(&Services());
}

void RemoveShellUserServices()
{
    if (&UserServices() == &Services())
        SetUserServices(nullptr);
    Services().handler = {};
}

QWidget* GetUserServicesOwner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    CFrameworkApp* app = CFrameworkApp::Instance();
    return app ? app->GetMainFrame() : nullptr;
}
