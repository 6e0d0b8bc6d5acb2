#include "gps/automation/AutomationHost.h"
#include "gps/automation/AutomationServer.h"
#include "gps/widgets/GpsInstall.h"
#include "shell/BestMapChoice.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"

#include <memory>

namespace {

// The running program as automation sees it: the main window's maps and
// views, looked up anew on every call (the window may have gone).
class CProgramAutomationHost : public IAutomationHost {
public:
    CDrelView* GetActiveMapView() override
    {
        IBestMapWindows* windows = Windows();
        return windows ? windows->GetActiveMapView() : nullptr;
    }
    std::vector<CDrelDoc*> GetOpenMaps() override
    {
        IBestMapWindows* windows = Windows();
        return windows ? windows->GetOpenMaps() : std::vector<CDrelDoc*>();
    }
    std::vector<std::string> GetLinkedMapPaths() override
    {
        IBestMapWindows* windows = Windows();
        return windows ? windows->GetLinkedMapPaths() : std::vector<std::string>();
    }
    void RepaintMapViews() override
    {
        if (CDrelApp* app = CDrelApp::Instance())
            app->InvalidateMapViews();
    }

private:
    static IBestMapWindows* Windows()
    {
        CDrelApp* app = CDrelApp::Instance();
        CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
        return frame ? &frame->BestMapWindows() : nullptr;
    }
};

CProgramAutomationHost g_host;
std::unique_ptr<CAutomationServer> g_server;

} // namespace

bool InstallAutomation(const std::string& busAddress)
{
    UninstallAutomation();
    auto server = std::make_unique<CAutomationServer>(g_host);
    if (!server->Register(busAddress))
        return false;
    g_server = std::move(server);
    return true;
}

void UninstallAutomation()
{
    g_server.reset();
}

CAutomationServer* GetAutomationServer()
{
    return g_server.get();
}
