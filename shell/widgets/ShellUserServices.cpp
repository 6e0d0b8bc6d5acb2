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
