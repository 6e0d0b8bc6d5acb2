// Stands for a folder after the shell (search, geoprocessing, routing):
// it knows the main window's class and adds its commands at start-up; the
// shell names nothing of it.
#include "tests/shell/widgets/ShellWidgetSupport.h"


void RegisterOutsideCommands()
{
    CCommandRegistry<CTestMainFrame>::Instance().Add([](CTestMainFrame& frame, CCommandTable& table) {
        table.On(40100, [&frame] { ++frame.outsideRuns; });
        table.OnUpdate(40100, [](CCommandState& state) { state.SetCheck(1); });
    });
}
