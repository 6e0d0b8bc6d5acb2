#include "settings/widgets/SettingsInstall.h"

#include "layers/DtmLayerPropertySheet.h"
#include "layers/Layer.h"
#include "layers/LayerPropertySheet.h"
#include "platform/Process.h"
#include "settings/BaseScales.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/DtmLayerSheet.h"
#include "settings/widgets/ExportCommands.h"
#include "settings/widgets/LayerDialogsInstall.h"
#include "settings/widgets/LayerLabelsPage.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/LayerSymbolPage.h"
#include "settings/widgets/MapChooserDialog.h"
#include "settings/widgets/MapPropSheet.h"
#include "settings/widgets/MapUnitsDlg.h"
#include "settings/widgets/PageSetupService.h"
#include "settings/widgets/SettingsClassEditDialogs.h"
#include "settings/widgets/SignListDlg.h"
#include "settings/widgets/ThemeDialogs.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MapFrame.h"
#include "shell/widgets/SymbolChoice.h"

#include <algorithm>
#include <climits>

namespace {

class CLayerSheetRunner : public ILayerPropertySheet {
public:
    bool Run(CLayer& layer, CDrelDoc* document, int pageGroup) override
    {
        return RunLayerPropSheet(layer, document, pageGroup);
    }
};

constexpr int kCmdPageSetup = 30091;

// 30091 of a map window: on OK, with the page outline on before or now,
// the printer refresh.
void AddMapFrameCommands(CMapFrame& frame, CCommandTable& table)
{
    table.On(kCmdPageSetup, [&frame] {
        CPageSetupService& service = PageSetupService();
        const bool outlined = service.Setup().Map().showPageOutline != 0;
        if (!service.EditPageSetup(&frame))
            return;
        if (CDrelApp* app = CDrelApp::Instance(); app && (outlined || service.Setup().Map().showPageOutline))
            app->RefreshPrinter();
    });
    table.OnUpdate(kCmdPageSetup, [](CCommandState& state) { state.Enable(); });
}

} // namespace

void InstallSettingsDialogs(CDrelApp& app)
{
    static CLayerSheetRunner sheet;
    SetLayerPropertySheet(&sheet);
    static CDtmSheetRunner dtmSheet;
    SetDtmLayerPropertySheet(&dtmSheet);
    CLayerSheetHooks& pages = LayerSheetHooks();
    pages.symbolPage = [](CLayerPropSheet& s) { return std::make_unique<CLayerSymbolPage>(s); };
    pages.labelsPage = [](CLayerPropSheet& s) { return std::make_unique<CLayerLabelsPage>(s); };
    SymbolPageHooks().pointSymbols = RunDlgSymbols;
    SymbolPageHooks().signList = RunSignList;
    SymbolPageHooks().thematic = RunThemeDlg;
    SymbolListDialog() = RunSignList;
    static CSettingsClassEditDialogs classDialogs;
    SetClassEditDialogs(&classDialogs);
    CMapFrame::Hooks().legend.layerProperties = [](CLayer& layer, CDrelDoc& document, double scale) {
        const int base = static_cast<int>(std::clamp(scale, 0.0, static_cast<double>(INT_MAX)));
        SetLabelBaseScale(base);
        SetSymbolBaseScale(base);
        return layer.EditProperties(&document, -1);
    };
    CMapFrame::Hooks().frame.document.mapProperties = [](CDrelDoc& document) { return RunMapPropSheet(document); };
    app.SetMapUnitsPrompt([](int& units) {
        units = AskMapUnits();
        return units >= 0;
    });
    app.SetMapChooser([](CMapLinks& links) { return ChooseMapLink(links); });
    InstallLayerDialogs();
    SetPageSetup(&PageSetupService());
    app.SetPrinterRefresh([](QPrinter* printer) { PageSetupService().SetPrintAreaFrom(printer); });
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddMapFrameCommands);
        return true;
    }();
    (void)registered;
    RegisterExportCommands();
    HtmlPageOpener() = [](const std::string& path) { OpenFileWithDefaultProgram(path); };
}
