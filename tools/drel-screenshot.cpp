// tool-deps: drel_shell_widgets drel_settings_widgets drel_search_widgets drel_geoproc_widgets drel_routing_widgets drel_gps_widgets
// Opens a map in the program's main window on the offscreen platform, lets
// it draw and saves a picture of the whole window, for a person to look at.
// The program runs over a profile and a user folder of its own, so the
// picture does not depend on the user's settings, and nothing of them changes.
// Usage: drel-screenshot MAP OUT.png [--size WxH]

#include "geoproc/widgets/GeoprocInstall.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsInstall.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/UserServices.h"
#include "routing/widgets/RoutingInstall.h"
#include "search/widgets/SearchInstall.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/StartupChoice.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MainFrameBars.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] = "usage: drel-screenshot MAP OUT.png [--size WxH]\n";
constexpr int kMaxSide = 8000;
// The longest a map may take to draw before the picture is taken anyway.
constexpr int kMaxDrawMs = 60000;

struct Arguments {
    std::string map;
    std::string out;
    int width = 1280;
    int height = 800;
};

bool ParseSize(const std::string& text, int& width, int& height)
{
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || (*end != 'x' && *end != 'X'))
        return false;
    const char* rest = end + 1;
    const long h = std::strtol(rest, &end, 10);
    if (end == rest || *end != '\0' || w < 100 || h < 100 || w > kMaxSide || h > kMaxSide)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool Parse(int argc, char** argv, Arguments& arguments, std::string& error)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--size") {
            if (i + 1 >= argc || !ParseSize(argv[i + 1], arguments.width, arguments.height)) {
                error = "--size wants WxH, each from 100 to " + std::to_string(kMaxSide);
                return false;
            }
            ++i;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        error = "a map and a picture file are wanted";
        return false;
    }
    arguments.map = positional[0];
    arguments.out = positional[1];
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    std::string error;
    if (!Parse(argc, argv, arguments, error)) {
        std::fprintf(stderr, "drel-screenshot: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // An unopened receiver, as the program has one; made once the profile
    // is the tool's own and gone after the main window.
    std::optional<CGpsReceiverPort> receiver;
    CDrelApp app(argc, argv);
    QTemporaryDir settings;
    if (!settings.isValid()) {
        std::fprintf(stderr, "drel-screenshot: no temporary folder for the program's settings\n");
        return 1;
    }
    const std::string folder = FromNativePath(settings.path().toStdString()) + "/";
    CAppProfile::Instance().SetFilePathForTesting(folder + "Drel.ini");
    SetUserFolderForTesting(folder);
    // What the program would show goes to the error stream, and fails the
    // run: a layer that cannot be read is missing from the picture.
    int said = 0;
    app.SetOwnMessageBox([&said](QWidget*, const std::string& text, const std::string&, unsigned type) {
        ++said;
        std::fprintf(stderr, "drel-screenshot: the program says: %s\n", Cp1257ToUtf8(text).c_str());
        const unsigned buttons = type & MB_TYPEMASK;
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
    });
    receiver.emplace();
    SetGpsReceiverPort(&*receiver);
    InstallMainFrameBars();
    InstallSettingsDialogs(app);
    InstallSearchDialogs(app);
    InstallGeoprocessing();
    InstallRouting();
    InstallGps(*receiver);

    const std::string map = FromNativePath(arguments.map);
    if (!PathExists(map)) {
        std::fprintf(stderr, "drel-screenshot: no map %s\n", arguments.map.c_str());
        return 1;
    }
    if (!app.InitInstance(ParseStartArguments({map}))) {
        std::fprintf(stderr, "drel-screenshot: the main window could not be made\n");
        return 1;
    }
    CMainFrame* frame = app.GetMainFrame();
    int code = 0;
    if (!frame->GetActiveMapDocument()) {
        std::fprintf(stderr, "drel-screenshot: the map %s did not open\n", arguments.map.c_str());
        code = 1;
    } else {
        frame->showNormal();
        frame->setGeometry(0, 0, arguments.width, arguments.height);
        // Until every map view has drawn and nothing is left to do.
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        for (int idle = 0; idle < 3 && clock.elapsed() < kMaxDrawMs;) {
            const bool busy = loop.processEvents(QEventLoop::AllEvents);
            bool drawn = true;
            for (const QWidget* widget : frame->findChildren<QWidget*>())
                if (const auto* view = dynamic_cast<const CMapViewWidget*>(widget))
                    drawn = drawn && view->View().HasBackBuffer() && !view->View().IsDrawing();
            idle = busy || !drawn ? 0 : idle + 1;
        }
        if (!frame->grab().toImage().save(QString::fromStdString(arguments.out), "PNG")) {
            std::fprintf(stderr, "drel-screenshot: could not write %s\n", arguments.out.c_str());
            code = 1;
        } else {
            std::printf("drel-screenshot: wrote %s (%dx%d), drawn in %lld ms\n", arguments.out.c_str(),
                        arguments.width, arguments.height, static_cast<long long>(clock.elapsed()));
        }
    }
    app.DocManager().CloseAllDocuments();
    delete frame;
    app.ExitInstance();
    SetGpsReceiverPort(nullptr);
    return code != 0 || said == 0 ? code : 1;
}
