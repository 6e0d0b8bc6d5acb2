#include "search/widgets/SearchInstall.h"

#include "mapdoc/DrelDoc.h"
#include "platform/CommandTarget.h"
#include "platform/UserServices.h"
#include "search/AdminSearchSettings.h"
#include "search/AttributeLinks.h"
#include "search/TableDoc.h"
#include "search/widgets/AddressSearchDlg.h"
#include "search/widgets/AdminSearchDlg.h"
#include "search/widgets/CoordTransformDlg.h"
#include "search/widgets/DbfFrame.h"
#include "search/widgets/FilterDlg.h"
#include "search/widgets/FindSheet.h"
#include "search/widgets/MeasureBoxDlg.h"
#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/ObjectListDlg.h"
#include "search/widgets/PlacesDlg.h"
#include "search/widgets/PromptDlgs.h"
#include "search/widgets/SearchDialogs.h"
#include "search/widgets/TableStructureDlg.h"
#include "settings/widgets/LayerPropSheet.h"
#include "shell/CommandRegistry.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"
#include "shell/widgets/PictureWindows.h"

#include <QTimer>

namespace {

void InstallDialogs()
{
    // One for the process, over whatever is installed when the installer
    // runs (installing it again changes nothing).
    static CSearchDialogs dialogs;
    if (ISearchDialogs& before = SearchDialogs(); &before != &dialogs)
        dialogs.SetSearchBefore(&before);
    if (IQueryDialogs& before = QueryDialogs(); &before != &dialogs)
        dialogs.SetQueryBefore(&before);
    if (ICoordTableDialogs& before = CoordTableDialogs(); &before != &dialogs)
        dialogs.SetCoordTableBefore(&before);
    SetSearchDialogs(&dialogs);
    SetQueryDialogs(&dialogs);
    SetCoordTableDialogs(&dialogs);
}

// The main window, which the dialogs and picture windows open over.
QWidget* MainWindow()
{
    const CDrelApp* app = CDrelApp::Instance();
    return app ? app->GetMainFrame() : nullptr;
}

// The legend's object list (134) and street search (30724), the places
// manager (389) and the prompts for a place's name (30812) and the archive
// date (308).
void InstallListsAndPrompts()
{
    CMapFrameHooks& hooks = CMapFrame::Hooks();
    hooks.legend.objectList = [](CLayer& layer, CDrelView& view) { RunObjectList(layer, view, MainWindow()); };
    hooks.legend.findStreet = [](CLayer& streets, CDrelView& view) { RunAddressSearch(streets, view, MainWindow()); };
    hooks.frame.places = [](CDrelDoc& document) {
        CPlacesDlg dialog(document, [] {
            const CDrelApp* app = CDrelApp::Instance();
            const CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
            return frame ? frame->GetActiveMapView() : nullptr;
        }, MainWindow());
        dialog.DoModal();
    };
    hooks.frame.placeName = AskPlaceName;
    hooks.frame.document.archiveDate = AskArchiveDate;
}

void InstallObjectInfo()
{
    MainFrameHooks().makeObjectInfo = [](CMainFrame& frame) -> IObjectInfoWindow* { return new CObjectInfoDlg(&frame); };
    // Pictures named by attribute values open in the program's own windows.
    PictureWindowHooks().openBitmap = [](const std::string& path) { OpenBitmapWindow(path, {}, MainWindow()); };
    PictureWindowHooks().openPicture = [](const std::string& path) { OpenPictureWindow(path, {}, MainWindow()); };
}

// The layer sheet's filter page and table page reach dialogs 319 and 160.
void InstallLayerSheetDialogs()
{
    CLayerSheetHooks& hooks = LayerSheetHooks();
    hooks.filterCondition = [](const CLayer& layer, CFilterCondition& condition, QWidget* parent) {
        CFilterDlg dialog(layer, parent);
        dialog.SetCondition(condition);
        if (dialog.DoModal() != IDOK)
            return false;
        condition = dialog.GetCondition();
        return true;
    };
    hooks.tableStructure = [](const std::string& tablePath, QWidget* parent) {
        CTableStructureDlg dialog(parent);
        dialog.SetTablePath(tablePath);
        return dialog.DoModal() == IDOK;
    };
}

constexpr int kCmdFind = 30431;

// 30431 of a map window: the find sheet for its map view.
void AddFindCommand(CMapFrame& frame, CCommandTable& table)
{
    table.On(kCmdFind, [&frame] {
        if (CDrelView* view = frame.GetMapView())
            RunFindSheet(*view, &frame);
    });
    table.OnUpdate(kCmdFind, [&frame](CCommandState& state) { state.Enable(frame.GetMapView() != nullptr); });
}

void InstallFindCommand()
{
    static const bool registered = [] {
        CCommandRegistry<CMapFrame>::Instance().Add(AddFindCommand);
        return true;
    }();
    (void)registered;
}

// The attribute-table windows (template 130) in the main window's area.
void InstallTableWindow(CDrelApp& app)
{
    app.SetTableFactories([]() -> std::unique_ptr<CShellDocument> { return std::make_unique<CTableDoc>(); },
                          [&app](CShellDocument& document, CDocTemplate& docTemplate) -> IDocFrame* {
                              CMainFrame* main = app.GetMainFrame();
                              if (!main || !dynamic_cast<CTableDoc*>(&document))
                                  return nullptr;
                              auto* child = new CDbfFrame(document, docTemplate);
                              main->AddChild(child);
                              return child;
                          });
}

constexpr int kCmdCoordTransform = 30611;

// The command runs once the handler that posts it has returned: carrying
// it out may delete the box whose button posted it.
void PostToMainFrame(int command)
{
    const CDrelApp* app = CDrelApp::Instance();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (frame)
        QTimer::singleShot(0, frame, [frame, command] { frame->Actions().Execute(command); });
}

template <class Box, class... Args>
std::unique_ptr<Box> CreateBox(QWidget& owner, Args&&... args)
{
    auto box = std::make_unique<Box>(owner, std::forward<Args>(args)...);
    box->Create();
    return box;
}

void InstallMeasureBoxes()
{
    CMeasureBoxMakers& boxes = CMapFrame::Hooks().boxes;
    boxes.distance = [](QWidget& owner) -> std::unique_ptr<IDistanceBox> {
        return CreateBox<CDistanceDlg>(owner, PostToMainFrame);
    };
    boxes.areaPerimeter = [](QWidget& owner) -> std::unique_ptr<IAreaPerimeterBox> {
        return CreateBox<CAreaPerimeterDlg>(owner, PostToMainFrame);
    };
    boxes.azimuth = [](QWidget& owner) -> std::unique_ptr<IAzimuthBox> { return CreateBox<CAzimuthDlg>(owner); };
    boxes.objectArea = [](QWidget& owner) -> std::unique_ptr<IObjectMeasureBox> {
        return CreateBox<CObjectAreaDlg>(owner);
    };
    boxes.objectLength = [](QWidget& owner) -> std::unique_ptr<IObjectMeasureBox> {
        return CreateBox<CObjectLengthDlg>(owner);
    };
    boxes.routeLength = [](QWidget& owner) -> std::unique_ptr<IRouteLengthBox> {
        return CreateBox<CRouteLengthDlg>(owner);
    };
}

CAdminSearchSettings* AdminSearchOf(CDrelDoc& document)
{
    return dynamic_cast<CAdminSearchSettings*>(document.GetAdminSearchSettings());
}

void InstallAdminSearch()
{
    MainFrameHooks().makeAdminSearch = [](CDrelDoc&) -> std::unique_ptr<IAdminSearchSettings> {
        return std::make_unique<CAdminSearchSettings>();
    };
    CMapFrame::Hooks().frame.document.adminSearchParams = [](CDrelDoc& document) {
        if (CAdminSearchSettings* settings = AdminSearchOf(document))
            EditAdminSearchParameters(*settings, document);
    };
}

// The show commands of the administrative-search bar, per level.
constexpr std::pair<int, AdminLevel> kAdminShowCommands[] = {
    {30456, kCountyLevel}, {30444, kMunicipalityLevel}, {30446, kWardLevel}, {30448, kSettlementLevel},
    {30450, kStreetLevel},
};

void AddMapFrameCommands(CMapFrame& frame, CCommandTable& c)
{
    for (const auto& [id, level] : kAdminShowCommands) {
        c.On(id, [&frame, level] {
            CAdminSearchSettings* settings = AdminSearchOf(frame.GetMapDocument());
            CDrelView* view = frame.GetMapView();
            if (!settings || !view)
                return;
            if (level == kStreetLevel)
                settings->ShowStreet(*view);
            else
                settings->ShowUnit(level, *view);
        });
        c.OnUpdate(id, [&frame](CCommandState& state) {
            state.Enable(AdminSearchOf(frame.GetMapDocument()) && frame.GetMapView());
        });
    }
}

void AddMainFrameCommands(CMainFrame& frame, CCommandTable& c)
{
    c.On(kCmdCoordTransform, [&frame] {
        CCoordTransformDlg dialog(&frame);
        dialog.DoModal();
    });
}

} // namespace

void InstallSearchDialogs(CDrelApp& app)
{
    InstallDialogs();
    InstallObjectInfo();
    InstallListsAndPrompts();
    InstallFindCommand();
    InstallTableWindow(app);
    InstallMeasureBoxes();
    InstallLayerSheetDialogs();
    InstallAdminSearch();
    static const bool registered = [] {
        CCommandRegistry<CMainFrame>::Instance().Add(AddMainFrameCommands);
        CCommandRegistry<CMapFrame>::Instance().Add(AddMapFrameCommands);
        return true;
    }();
    (void)registered;
}
