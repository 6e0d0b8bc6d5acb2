#include "geoproc/widgets/GeoprocInstall.h"

#include "geoproc/CoordGrid.h"
#include "geoproc/GeoprocCommands.h"
#include "geoproc/TrackArchive.h"
#include "geoproc/widgets/GeoprocDialogService.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/MapFrame.h"

void InstallGeoprocessing()
{
    static CGeoprocDialogService dialogs;
    SetGeoprocDialogs(&dialogs);
    SetBufferZoneDialogs(&dialogs);
    CMapFrameDialogs& frame = CMapFrame::Hooks().frame;
    if (!frame.document.coordinateGrid)
        frame.document.coordinateGrid = [](CDrelDoc& document) {
            RunGeoprocOperation(
                [](const CGeoprocCall& call) { return CreateCoordinateGrid(call.document, call.dialogs.document); },
                {document, nullptr, nullptr, CMapFrame::Hooks().frame});
        };
    if (!frame.services.archiveOldTrackData)
        frame.services.archiveOldTrackData = ArchiveOldTrackData;
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(
            [](CMapFrame& frame, CCommandTable& table) { InstallGeoprocCommands(table, frame, frame.Dialogs()); });
        return true;
    }();
    (void)registered;
}
