// Drel Lite: the application with its main window. Usage: drel [MAP]

#include "geoproc/widgets/GeoprocInstall.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsInstall.h"
#include "platform/Path.h"
#include "routing/widgets/RoutingInstall.h"
#include "search/widgets/SearchInstall.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/StartupChoice.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrameBars.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Made before the application and gone after it: the main window
    // closes the port when it goes.
    CGpsReceiverPort receiver;
    CDrelApp app(argc, argv);
    SetGpsReceiverPort(&receiver);
    InstallMainFrameBars();
    InstallSettingsDialogs(app);
    InstallSearchDialogs(app);
    InstallGeoprocessing();
    InstallRouting();
    InstallGps(receiver);
    // A second instance finds the names taken and offers nothing.
    InstallAutomation();

    std::vector<std::string> arguments;
    const QStringList given = CDrelApp::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(FromNativePath(given[i].toStdString()));

    const int code = app.InitInstance(ParseStartArguments(arguments)) ? CDrelApp::exec() : 1;
    const int exitCode = app.ExitInstance();
    UninstallAutomation();
    SetGpsReceiverPort(nullptr);
    return code != 0 ? code : exitCode;
}
