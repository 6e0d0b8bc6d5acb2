#include "shell/widgets/DrelApp.h"

#include "layers/Layer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/PageSetup.h"
#include "mapdoc/ViewWindow.h"
#include "core/FileUtil.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "res/CommandIds.h"
#include "shell/GpsHooks.h"
#include "shell/MapFrameWindow.h"
#include "shell/TableDocument.h"
#include "shell/widgets/AboutDialog.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"
#include "shell/widgets/MessageBox.h"
#include "shell/widgets/PlainMessageBox.h"
#include "shell/widgets/QtTranslation.h"
#include "shell/widgets/ShellUserServices.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QLibraryInfo>

#include <cstdlib>
#include <ctime>

namespace {

constexpr char kApplicationName[] = "Drel Lite";
constexpr char kSettings[] = "Settings";
constexpr int kLanguageString = 136;
constexpr int kNoMapLink = 1075;

enum AppCommand : int {
    kCmdNewMap = 30015,
    kCmdMapList = 30202,
    kCmdOpenFirstLink = 30326,
    kCmdLayerOrderBottomUp = 30482,
    kCmdLayerOrderTopDown = 30485,
};

} // namespace

CDrelApp::CDrelApp(int& argc, char** argv)
    : CFrameworkApp(argc, argv),
      m_config(GetProgramFileName()),
      m_messageBox(kApplicationName, [this](const std::string& text, const std::string& caption, unsigned type,
                                            bool ownBox) { return PresentMessageBox(text, caption, type, ownBox); })
{
    setApplicationName(QString::fromLatin1(kApplicationName));
    setApplicationVersion(QStringLiteral("0.1"));
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // Qt's own dialogs and buttons speak the interface's language.
    if (::UsesOwnMessageBox(LoadString(kLanguageString)))
        InstallQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    RegisterCommands();
}

CDrelApp::~CDrelApp()
{
    if (m_servicesInstalled)
        RemoveShellUserServices();
}

CDrelApp* CDrelApp::Instance()
{
    return dynamic_cast<CDrelApp*>(QCoreApplication::instance());
}

CMainFrame* CDrelApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(CFrameworkApp::GetMainFrame());
}

CDocTemplate* CDrelApp::GetMapTemplate() const
{
    return const_cast<CDrelApp*>(this)->DocManager().FindTemplate(kMapTemplateId);
}

void CDrelApp::SetTableFactories(TableDocumentFactory document, CDocTemplate::FrameFactory frame)
{
    m_tableDocumentFactory = std::move(document);
    m_tableFrameFactory = std::move(frame);
}

int CDrelApp::InitInstance(const CStartArguments& arguments)
{
    InstallShellUserServices([this](const std::string& text, unsigned type, unsigned helpId) {
        return DoMessageBox(text, type, helpId);
    });
    m_servicesInstalled = true;
    m_messageBox.SetOwnBox(::UsesOwnMessageBox(LoadString(kLanguageString)));
    // The framework has set the locale. The current folder stays where the
    // program was started: a map named on the command line is taken from
    // there, and paths of the program folder are made absolute against it.
    DocManager().RecentFiles().Load();
    m_showState.Load();
    RegisterTemplates();
    m_layerOrderInLegend = CAppProfile::Instance().GetInt(kSettings, "LayerOrderInLegend", 1);

    auto frame = std::make_unique<CMainFrame>();
    if (!frame->Create())
        return 0;
    CMainFrame* mainFrame = frame.release();
    SetMainFrame(mainFrame);
    mainFrame->ShowWithSavedPlacement();
    m_links.LoadMapLinks();
    ExtensionOnInitInstance(mainFrame);
    OpenFirstMap(arguments);
    return 1;
}

int CDrelApp::ExitInstance()
{
    if (IGpsReceiverPort* port = GetGpsReceiverPort(); port && port->IsOpen())
        port->Close();
    GpsHooks().OnApplicationExit();
    m_showState.SaveIfChanged();
    return 0;
}

void CDrelApp::RegisterTemplates()
{
    CDocManager& manager = DocManager();
    if (!manager.FindTemplate(kMapTemplateId))
        manager.AddTemplate(std::make_unique<CDocTemplate>(
            kMapTemplateId, "\nDrel\nDrel\nDrel Map Files (*.map)\n.map\n\n",
            [] { return std::make_unique<CShellDocumentOf<CDrelDoc>>(); },
            [this](CShellDocument& document, CDocTemplate& docTemplate) { return MakeMapFrame(document, docTemplate); }));
    if (!manager.FindTemplate(kTableTemplateId))
        manager.AddTemplate(std::make_unique<CDocTemplate>(
            kTableTemplateId, "\n\nDBF\n\n",
            [this]() -> std::unique_ptr<CShellDocument> {
                if (m_tableDocumentFactory)
                    return m_tableDocumentFactory();
                return std::make_unique<CLayerTableDocument>();
            },
            [this](CShellDocument& document, CDocTemplate& docTemplate) -> IDocFrame* {
                return m_tableFrameFactory ? m_tableFrameFactory(document, docTemplate) : nullptr;
            }));
}

IDocFrame* CDrelApp::MakeMapFrame(CShellDocument& document, CDocTemplate& docTemplate)
{
    if (m_mapFrameFactory)
        return m_mapFrameFactory(document, docTemplate);
    CMainFrame* frame = GetMainFrame();
    if (!frame || !document.GetMapDocument())
        return nullptr;
    auto* child = new CMapFrame(document, docTemplate);
    frame->AddChild(child);
    return child;
}

void CDrelApp::OpenFirstMap(const CStartArguments& arguments)
{
    const CFirstMapChoice choice =
        ChooseFirstMap(arguments, m_links.GetCount(), DocManager().RecentFiles().GetAt(0));
    switch (choice.action) {
    case CFirstMapChoice::kOpenFile:
        DocManager().OpenDocumentFile(choice.path);
        break;
    case CFirstMapChoice::kOpenLink:
        OpenMapLink(choice.link);
        break;
    case CFirstMapChoice::kChooseLink:
        ChooseAndOpenMapLink();
        break;
    case CFirstMapChoice::kNothing:
        break;
    }
}

CShellDocument* CDrelApp::OpenMapLink(int index)
{
    const std::string path = m_links.GetMapPath(index);
    return path.empty() ? nullptr : DocManager().OpenDocumentFile(path);
}

void CDrelApp::ChooseAndOpenMapLink()
{
    if (!m_mapChooser)
        return;
    const int chosen = m_mapChooser(m_links);
    if (chosen >= 0)
        OpenMapLink(chosen);
}

void CDrelApp::RegisterCommands()
{
    CCommandTable& commands = Commands();
    commands.On(kCmdAppAbout, [this] {
        CAboutDialog about(GetMainFrame());
        about.DoModal();
    });
    commands.On(kCmdNewMap, [this] { NewMap(); });
    commands.OnUpdate(kCmdNewMap, [this](CCommandState& state) { state.Enable(m_unitsPrompt && GetMapTemplate()); });
    commands.On(kCmdMapList, [this] { ChooseAndOpenMapLink(); });
    commands.OnUpdate(kCmdMapList, [this](CCommandState& state) { state.Enable(static_cast<bool>(m_mapChooser)); });
    commands.On(kCmdFilePrintSetup, [this] {
        QPageSetupDialog dialog(&Printer(), GetMainFrame());
        dialog.exec();
        if (PageSetup().GetValues().showPageOutline)
            RefreshPrinter();
    });
    commands.OnUpdate(kCmdFilePrintSetup,
                      [this](CCommandState& state) { state.Enable(static_cast<bool>(m_printerRefresh)); });
    commands.On(kCmdOpenFirstLink, [this] {
        if (m_links.GetCount() == 0)
            AppMessageBox(kNoMapLink, MB_OK | MB_ICONWARNING);
        else
            OpenMapLink(0);
    });
    for (const int order : {0, 1}) {
        const int id = order ? kCmdLayerOrderBottomUp : kCmdLayerOrderTopDown;
        commands.On(id, [this, order] { SetLayerOrderInLegend(order); });
        commands.OnUpdate(id, [this, order](CCommandState& state) {
            state.SetCheck(m_layerOrderInLegend == order ? 1 : 0);
        });
    }
    commands.On(kCmdFileNew, [] {});
}

void CDrelApp::NewMap()
{
    CDocTemplate* mapTemplate = GetMapTemplate();
    int units = 0;
    if (!mapTemplate || !m_unitsPrompt || !m_unitsPrompt(units))
        return;
    DocManager().NewDocument(*mapTemplate, [units](CShellDocument& document) {
        if (CDrelDoc* map = document.GetMapDocument()) {
            map->Settings().mapUnits = units;
            if (units != kUnitsDegrees)
                map->SetCoordSystem(1);
        }
    });
}

void CDrelApp::SetLayerOrderInLegend(int order)
{
    m_layerOrderInLegend = order;
    CAppProfile::Instance().WriteInt(kSettings, "LayerOrderInLegend", order);
    if (CDocTemplate* mapTemplate = GetMapTemplate())
        for (CShellDocument* document : mapTemplate->GetDocuments())
            if (CDrelDoc* map = document->GetMapDocument())
                map->UpdateAllViews(kHintLegendRows);
}

int CDrelApp::DoMessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    return m_messageBox.DoMessageBox(text, type, helpId);
}

int CDrelApp::PresentMessageBox(const std::string& text, const std::string& caption, unsigned type, bool ownBox)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    if (!owner)
        owner = GetMainFrame();
    if (ownBox)
        return m_ownBox ? m_ownBox(owner, text, caption, type) : MessageBoxFromTemplate(owner, text, caption, type);
    return ShowPlainMessageBox(owner, text, caption, type, ownBox);
}

std::vector<ITableDocument*> CDrelApp::TableDocuments() const
{
    std::vector<ITableDocument*> tables;
    if (CDocTemplate* tableTemplate = const_cast<CDrelApp*>(this)->DocManager().FindTemplate(kTableTemplateId))
        for (CShellDocument* document : tableTemplate->GetDocuments())
            if (auto* table = dynamic_cast<ITableDocument*>(document))
                tables.push_back(table);
    return tables;
}

void CDrelApp::OpenAttributeTable(CLayer& layer, CDrelDoc& map)
{
    for (ITableDocument* table : TableDocuments()) {
        if (table->GetLayer() != &layer)
            continue;
        auto* document = dynamic_cast<CShellDocument*>(table);
        if (!document->GetFrames().empty())
            document->GetFrames().front()->ActivateFrame();
        if (CMainFrame* frame = GetMainFrame())
            frame->activateWindow();
        return;
    }
    CDocTemplate* tableTemplate = DocManager().FindTemplate(kTableTemplateId);
    if (!tableTemplate)
        return;
    bool bound = false;
    CShellDocument* document = DocManager().NewDocument(*tableTemplate, [&](CShellDocument& made) {
        if (auto* table = dynamic_cast<ITableDocument*>(&made))
            bound = table->LoadRecords(layer, map);
        made.SetTitle(layer.GetName());
    });
    if (document && !bound)
        DocManager().CloseDocument(*document);
}

bool CDrelApp::IsAttributeTableOpen(const CLayer& layer) const
{
    const std::string path = layer.GetTablePath();
    for (const ITableDocument* table : TableDocuments())
        if (table->GetLayer() == &layer || (!path.empty() && EqualPathsNoCase(table->GetTablePath(), path)))
            return true;
    return false;
}

void CDrelApp::CloseTableDocuments(CDrelDoc& map)
{
    for (ITableDocument* table : TableDocuments())
        if (table->GetSourceMap() == &map)
            DocManager().CloseDocument(*dynamic_cast<CShellDocument*>(table));
}

void CDrelApp::InvalidateMapViews()
{
    CDocTemplate* mapTemplate = GetMapTemplate();
    if (!mapTemplate)
        return;
    for (CShellDocument* document : mapTemplate->GetDocuments())
        for (IDocFrame* frame : document->GetFrames())
            if (auto* window = dynamic_cast<IMapFrameWindow*>(frame))
                if (CDrelView* view = window->GetMapView(); view && view->GetWindow())
                    view->GetWindow()->InvalidateView();
}

QPrinter& CDrelApp::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CDrelApp::RefreshPrinter()
{
    if (m_printerRefresh && PageSetup().GetValues().showPageOutline) {
        QPrinter& printer = Printer();
        m_printerRefresh(printer.outputFormat() == QPrinter::NativeFormat && printer.isValid() ? &printer : nullptr);
    }
    InvalidateMapViews();
}

bool CDrelApp::IsMapDocumentOpen(const CDrelDoc* document) const
{
    const CDocTemplate* mapTemplate = GetMapTemplate();
    if (!mapTemplate || !document)
        return false;
    for (CShellDocument* open : mapTemplate->GetDocuments())
        if (open->GetMapDocument() == document)
            return true;
    return false;
}
