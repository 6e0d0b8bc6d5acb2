#pragma once

#include "shell/ConfigFile.h"
#include "shell/DocTemplate.h"
#include "shell/MapLinks.h"
#include "shell/MessageBoxRules.h"
#include "shell/StartupChoice.h"
#include "shell/WindowPlacement.h"
#include "shell/widgets/FrameworkApp.h"

#include <functional>
#include <memory>
#include <string>

class CDrelDoc;
class CLayer;
class CMainFrame;
class ITableDocument;
class QPrinter;
class QWidget;

// The program's application object ("Drel Lite"): start-up and exit, the
// map and table document templates (138, 130), the map links and the
// configuration file, the message box rules, the map windows' show state,
// the layer order of the legends, the printer, and the application's
// commands: About (57664), new map (30015), the maps list (30202), the
// first linked map (30326), printer set-up (57606), the layer order
// (30482, 30485). The dialogs of the settings part (the new map's units,
// the map chooser), its printer refresh, the map window and the table
// window are plugged in before InitInstance; without them the map window
// is the program's own (CMapFrame) and attribute tables do not open.
class CDrelApp : public CFrameworkApp {
public:
    static constexpr int kMapTemplateId = 138;
    static constexpr int kTableTemplateId = 130;

    // The chosen link's index; -1 when cancelled.
    using MapChooser = std::function<int(CMapLinks& links)>;
    // The map units of a new map; false when cancelled.
    using MapUnitsPrompt = std::function<bool(int& units)>;
    // Shows the program's own message box in place of MessageBoxFromTemplate
    // (tests); the button pressed.
    using MessageBoxPresenter =
        std::function<int(QWidget* owner, const std::string& text, const std::string& caption, unsigned type)>;
    using TableDocumentFactory = CDocTemplate::DocumentFactory;
    // Puts the printable area of the printer (null: there is none) into
    // the page setup.
    using PrinterRefresh = std::function<void(QPrinter* printer)>;

    CDrelApp(int& argc, char** argv);
    ~CDrelApp() override;

    // Null when the application object is not one.
    static CDrelApp* Instance();

    void SetMapChooser(MapChooser chooser) { m_mapChooser = std::move(chooser); }
    void SetMapUnitsPrompt(MapUnitsPrompt prompt) { m_unitsPrompt = std::move(prompt); }
    void SetOwnMessageBox(MessageBoxPresenter presenter) { m_ownBox = std::move(presenter); }
    void SetMapFrameFactory(CDocTemplate::FrameFactory factory) { m_mapFrameFactory = std::move(factory); }
    void SetTableFactories(TableDocumentFactory document, CDocTemplate::FrameFactory frame);
    void SetPrinterRefresh(PrinterRefresh refresh) { m_printerRefresh = std::move(refresh); }

    // Start-up in its order, ending with the first map; 0 when the main
    // window could not be made (the program ends), else 1, also when the
    // first map did not open.
    int InitInstance(const CStartArguments& arguments);
    // Closes the GPS port, ends recording and writes the map windows' show
    // state when it changed; the exit code.
    int ExitInstance();

    // The message box of the program (the help id names the message).
    int DoMessageBox(const std::string& text, unsigned type, unsigned helpId);
    bool UsesOwnMessageBox() const { return m_messageBox.IsOwnBox(); }

    CMainFrame* GetMainFrame() const;
    CDocTemplate* GetMapTemplate() const;
    CMapLinks& MapLinks() { return m_links; }
    const CMapLinks& MapLinks() const { return m_links; }
    const CConfigFile& ConfigFile() const { return m_config; }
    // Opens the map of link n (an open one is activated); null when it fails.
    CShellDocument* OpenMapLink(int index);

    // The attribute-table window of the layer: the open one activated,
    // else a new one bound to the layer.
    void OpenAttributeTable(CLayer& layer, CDrelDoc& map);
    // A table document is bound to the layer or shows its table file.
    bool IsAttributeTableOpen(const CLayer& layer) const;
    // The table windows of the map's layers close.
    void CloseTableDocuments(CDrelDoc& map);
    // Every map view paints again over its kept picture.
    void InvalidateMapViews();
    // The printer that printing and printer set-up use: the system's
    // default printer at first, a PDF file when there is none.
    QPrinter& Printer();
    // The printer refresh: with the page outline on, the printable area
    // of the printer (of an A4 sheet without one) goes into the page
    // setup; then the map views paint again.
    void RefreshPrinter();
    bool IsMapDocumentOpen(const CDrelDoc* document) const;

    // 1: the first drawn layer at the bottom of the legend, 0 at the top.
    int GetLayerOrderInLegend() const { return m_layerOrderInLegend; }
    void SetLayerOrderInLegend(int order);
    int GetMapWindowShowState() const { return m_showState.Get(); }
    void SetMapWindowShowState(int showCmd) { m_showState.Set(showCmd); }

private:
    void RegisterCommands();
    void RegisterTemplates();
    void OpenFirstMap(const CStartArguments& arguments);
    void ChooseAndOpenMapLink();
    void NewMap();
    IDocFrame* MakeMapFrame(CShellDocument& document, CDocTemplate& docTemplate);
    int PresentMessageBox(const std::string& text, const std::string& caption, unsigned type, bool ownBox);
    std::vector<ITableDocument*> TableDocuments() const;

    CMapLinks m_links;
    CConfigFile m_config;
    CMessageBoxRules m_messageBox;
    int m_layerOrderInLegend = 1;
    CShowState m_showState;

    MapChooser m_mapChooser;
    MapUnitsPrompt m_unitsPrompt;
    MessageBoxPresenter m_ownBox;
    CDocTemplate::FrameFactory m_mapFrameFactory;
    TableDocumentFactory m_tableDocumentFactory;
    CDocTemplate::FrameFactory m_tableFrameFactory;
    PrinterRefresh m_printerRefresh;
    std::unique_ptr<QPrinter> m_printer;
    bool m_servicesInstalled = false;
};
