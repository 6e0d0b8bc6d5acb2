// Stands for a folder after the shell (search, geoprocessing, routing):
// it knows the main window's class and adds its commands at start-up; the
// shell names nothing of it.
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCoreApplication>
#include <QDir>

void RegisterOutsideCommands()
{
    CCommandRegistry<CTestMainFrame>::Instance().Add([](CTestMainFrame& frame, CCommandTable& table) {
        table.On(40100, [&frame] { ++frame.outsideRuns; });
        table.OnUpdate(40100, [](CCommandState& state) { state.SetCheck(1); });
    });
}

void SaveScreenshot(QWidget& window, const char* name)
{
    const QByteArray folder = qgetenv("DREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    // Pending layout requests first, so the picture shows what a user sees.
    QCoreApplication::processEvents();
    window.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromUtf8(name) + ".png"));
}
