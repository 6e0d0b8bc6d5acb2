#include "geoproc/widgets/GeoprocInstall.h"

#include "geoproc/GeoprocCommands.h"
#include "geoproc/widgets/GeoprocDialogService.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/MapFrame.h"

void InstallGeoprocessing()
{
    static CGeoprocDialogService dialogs;
    SetGeoprocDialogs(&dialogs);
    SetBufferZoneDialogs(&dialogs);
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(
            [](CMapFrame& frame, CCommandTable& table) { InstallGeoprocCommands(table, frame, frame.Dialogs()); });
        return true;
    }();
    (void)registered;
}
