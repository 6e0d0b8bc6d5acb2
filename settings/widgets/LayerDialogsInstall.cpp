#include "settings/widgets/LayerDialogsInstall.h"

#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"
#include "settings/widgets/GroupDialogs.h"
#include "settings/widgets/ImportDialogs.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "settings/widgets/LayerFileListDlg.h"
#include "settings/widgets/LayerListDlg.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/NewLayerDlg.h"
#include "settings/widgets/RemoveLayerDialogs.h"
#include "settings/widgets/SettingsCoordTableDialogs.h"
#include "settings/widgets/SettingsQueryDialogs.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/MapFrame.h"

#include <QApplication>

namespace {

constexpr int kCmdLayerList = 30483;

bool RunLayerImportDialog(CDrelDoc& document, const std::string& path, CLayerImportChoice& choice)
{
    CLayerImportDlg dialog(document.Layers(), path, true, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    choice.attach = dialog.GetValues().mode == 1;
    choice.layerName = dialog.GetValues().layerName;
    choice.converter = dialog.CreateCoordConverter();
    return true;
}

void AddLayerListCommand(CMapFrame& frame, CCommandTable& table)
{
    table.On(kCmdLayerList, [&frame] {
        RunLayerListDialog(frame.GetMapDocument(), frame.GetActiveLayer(), [&frame](CLayer* entry) {
            if (CLegendView* legend = frame.GetLegend())
                legend->SelectLayer(entry);
        });
    });
    table.OnUpdate(kCmdLayerList, [](CCommandState& state) { state.Enable(); });
}

} // namespace

void InstallLayerDialogs()
{
    CMapFrameHooks& hooks = CMapFrame::Hooks();
    hooks.frame.document.newLayer = RunNewLayerDialog;
    hooks.frame.document.layerFile = RunLayerFileDialog;
    hooks.frame.document.layerImport = RunLayerImportDialog;
    hooks.frame.document.groupName = RunGroupNameDialog;
    hooks.legend.groupProperties = RunGroupPropsDialog;
    hooks.legend.removeLayer = AskRemoveLayer;
    hooks.legend.removeGroup = AskRemoveGroup;
    hooks.legend.chooseLayerFile = ChooseOneLayerFile;
    hooks.overviewLayers = RunOverviewLayersDialog;
    LayerSheetHooks().layerFiles = EditLayerFileList;

    static CSettingsQueryDialogs queries;
    static CSettingsCoordTableDialogs coordTables;
    static CSettingsDosGdbImportDialog dosTables;
    SetQueryDialogs(&queries);
    SetCoordTableDialogs(&coordTables);
    SetDosGdbImportDialog(&dosTables);

    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddLayerListCommand);
        return true;
    }();
    (void)registered;
}
