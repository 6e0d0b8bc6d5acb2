#include "settings/widgets/ExportCommands.h"

#include "settings/HtmlExport.h"
#include "settings/MapExport.h"
#include "settings/widgets/HtmlExportDlg.h"
#include "settings/widgets/MapExportDlg.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/FilePrompt.h"
#include "shell/widgets/MapFrame.h"

namespace {

constexpr int kCmdExportMap = 30024;
constexpr int kCmdExportHtml = 30359;
constexpr char kHtmlFilter[] = "HTML File (*.htm,*html)|*.htm;*.html||";

void AddExportCommands(CMapFrame& frame, CCommandTable& table)
{
    table.On(kCmdExportMap, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            ExportMap(*view, {[](std::string& path, int& index) { return PromptSaveFile(kMapExportFilter, index, {}, path); },
                              EditMapExportSettings});
    });
    table.On(kCmdExportHtml, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            ExportMapToHtml(*view, {[](std::string& path) {
                                        int index = 1;
                                        return PromptSaveFile(kHtmlFilter, index, "html", path);
                                    },
                                    EditHtmlExportOptions,
                                    [](const std::string& path) {
                                        if (HtmlPageOpener())
                                            HtmlPageOpener()(path);
                                    }});
    });
    for (const int id : {kCmdExportMap, kCmdExportHtml})
        table.OnUpdate(id, [&frame](CCommandState& state) { state.Enable(frame.GetMapView() != nullptr); });
}

} // namespace

void RegisterExportCommands()
{
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddExportCommands);
        return true;
    }();
    (void)registered;
}

std::function<void(const std::string& path)>& HtmlPageOpener()
{
    static std::function<void(const std::string&)> opener;
    return opener;
}
