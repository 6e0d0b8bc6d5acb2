#include "shell/MapFrameCommands.h"

#include "core/FileUtil.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/AddressSearch.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ResultFiles.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/Clipboard.h"
#include "platform/Codepage.h"
#include "platform/CommandTarget.h"
#include "platform/UserServices.h"
#include "shell/LayerClipboard.h"
#include "shell/MapToolCommands.h"

namespace {

enum MapFrameCommand : int {
    kCmdScaleEdit = 30004,
    kCmdRedraw = 30018,
    kCmdZoomPrevious = 30021,
    kCmdFullExtent = 30027,
    kCmdCopyMap = 30104,
    kCmdCopyLayer = 30105,
    kCmdPasteLayer = 30106,
    kCmdPack = 30128,
    kCmdTrackLength = 30207,
    kCmdScaleBar = 30281,
    kCmdTrackPlayback = 30295,
    kCmdZoomToLayer = 30336,
    kCmdContextZoomIn = 30121,
    kCmdContextZoomOut = 30122,
    kCmdContextCenter = 30123,
    kCmdContextCancel = 30124,
    kCmdGoToCoordinates = 30277,
    kCmdFindAddress = 30331,
    kCmdStreetBox = 30328,
    kCmdHouseNumberBox = 30332,
    kCmdCityBox = 30438,
    kCmdPointInformation = 30610,
    kCmdCreatePlacemark = 30621,
    kCmdZoomNext = 30339,
    kCmdClearOverlays = 30439,
    kCmdShowAddress = 30452,
    kCmdNewLayerByExample = 30484,
    kCmdNewLayer = 30069,
    kCmdAddLayer = 30070,
    kCmdImportLayer = 30088,
    kCmdNewGroup = 30302,
    kCmdArchiveTracks = 30278,
    kCmdSaveFix = 30340,
    kCmdSaveTrack = 30629,
    kCmdStreetInfo = 30012,
    kCmdMapProperties = 30025,
    kCmdGpsSaveParams = 30341,
    kCmdCoordinateGrid = 30358,
    kCmdAddressImport = 30412,
    kCmdAdminSearchParams = 30453,
    kCmdDistanceCalculator = 30635,
    kCmdRememberPlace = 30489,
    kCmdPlaces = 30490,
    kCmdFirstPlace = 30491,
    kCmdLastPlace = 30590,
    kCmdShowNamedPlace = 30608,
    kCmdClearRoadDistance = 30627,
    kCmdClearMeasurements = 30628,
};

enum MapFrameMessage : int {
    kNoLayerSelected = 1022,
    kCloseAttributeTable = 1087,
    kLayerFilesNotCreated = 1088,
};

constexpr char kTooManyPlaces[] = "Saugomų vietų skaičius neturi viršyti 100.";
constexpr char kPlaceExists[] = "Vieta su šiuo vardu jau yra.";

// The scale box and the boxes beside it: usable while a map window is active.
constexpr int kAlwaysEnabledBoxes[] = {30003, kCmdScaleEdit, 30327};

// Commands whose work other parts of the program bring: printing and
// export, the settings dialogs, geoprocessing, search and the address
// search, routing, GPS and tracks. Disabled until those parts register
// their handlers for the map window.
constexpr int kWorkNotHere[] = {
    30024, 30359, 30091,                                                  // export, HTML, page setup
    30244, 30245, 30266, 30235, 30260, 30265, 30325, 30614, 30264, 30342, // layer operations
    30349, 30348, 30352, 30347, 30355, 30408, 30409, 30415, 30414, 30440,
    30263, 30632, 30344, 30612, 30619, 30280, 30483,                      //
    30431, 30456, 30444, 30446, 30448, 30450,                             // search
    30035, 30036, 30196, 30279, 30354, 30620,                             // routing
    30417, 30418, 30419, 30420, 30421, 30422, 30423,                      // tracks and their replay
};

// Commands that only an extension module gives work.
constexpr int kExtensionOnly[] = {30162, 30179, kCmdTrackLength, 30246, 30248, 30249, 30250,
                                  30251, 30252, 30253, kCmdTrackPlayback, 30634};

bool IsGroup(const CLayer* entry)
{
    return entry && entry->HasFlag(CLayer::kGroup);
}

constexpr int kStreetInfoTool = 12;

// The filters chosen last, for the rest of the process.
int g_addLayerFilter = 1;
int g_importFilter = 1;

} // namespace

CMapFrameCommands::CMapFrameCommands(IMapFrameContext& frame, const CMapFrameDialogs& dialogs)
    : m_frame(frame), m_dialogs(dialogs)
{
}

void CMapFrameCommands::Install(CCommandTable& c)
{
    const auto onView = [this](void (CDrelView::*operation)()) {
        return [this, operation] {
            if (CDrelView* view = m_frame.GetMapView())
                (view->*operation)();
        };
    };
    const auto withView = [this](CCommandState& state) { state.Enable(m_frame.GetMapView() != nullptr); };

    for (const int id : kWorkNotHere)
        c.OnUpdate(id, [](CCommandState& state) { state.Enable(false); });

    // The check marks are the main window's, which shows them also
    // without a map window.
    for (const CMapToolCommand& tool : MapToolCommands())
        c.On(tool.id, [this, mode = tool.mode] {
            if (CDrelView* view = m_frame.GetMapView())
                view->SetToolMode(mode);
        });

    c.On(kCmdFullExtent, onView(&CDrelView::ZoomToFullExtent));
    c.On(kCmdRedraw, onView(&CDrelView::Redraw));
    c.On(kCmdZoomPrevious, onView(&CDrelView::ZoomPrevious));
    c.OnUpdate(kCmdZoomPrevious, [this](CCommandState& state) {
        const CDrelView* view = m_frame.GetMapView();
        state.Enable(view && view->GetHistory().CanGoBack());
    });
    c.On(kCmdZoomNext, onView(&CDrelView::ZoomNext));
    c.OnUpdate(kCmdZoomNext, [this](CCommandState& state) {
        const CDrelView* view = m_frame.GetMapView();
        state.Enable(view && view->GetHistory().CanGoForward());
    });

    c.On(kCmdScaleEdit, [this] {
        const double scale = ViewHost().GetScaleText();
        if (CDrelView* view = m_frame.GetMapView(); view && scale > 0)
            view->SetScale(scale);
    });
    for (const int id : kAlwaysEnabledBoxes)
        c.OnUpdate(id, withView);

    c.On(kCmdScaleBar, onView(&CDrelView::ToggleScaleBar));
    c.OnUpdate(kCmdScaleBar, [this](CCommandState& state) {
        const CDrelView* view = m_frame.GetMapView();
        state.Enable(view != nullptr);
        state.SetCheck(view && view->IsScaleBarVisible() ? 1 : 0);
    });
    c.On(kCmdClearOverlays, onView(&CDrelView::ClearOverlays));
    c.OnUpdate(kCmdClearOverlays, [this](CCommandState& state) {
        const CDrelView* view = m_frame.GetMapView();
        state.Enable(view && view->GetOverlayCount() > 0);
    });
    c.On(kCmdFindAddress, [this] {
        if (CDrelView* view = m_frame.GetMapView(); view && FindToolbarAddress(*view) && view->GetWindow())
            view->GetWindow()->FocusView();
    });
    c.OnUpdate(kCmdFindAddress, withView);
    // The address boxes serve while the map names what they look up.
    const auto streetsNamed = [this](CCommandState& state, bool addresses, bool city) {
        const CMapSettings& s = m_frame.GetMapDocument().Settings();
        state.Enable(m_frame.GetMapView() && !s.streetsLayer.empty() && (!addresses || !s.addressesLayer.empty()) &&
                     (!city || !s.cityNameField.empty()));
    };
    c.OnUpdate(kCmdStreetBox, [streetsNamed](CCommandState& state) { streetsNamed(state, false, false); });
    c.OnUpdate(kCmdHouseNumberBox, [streetsNamed](CCommandState& state) { streetsNamed(state, true, false); });
    c.OnUpdate(kCmdCityBox, [streetsNamed](CCommandState& state) { streetsNamed(state, false, true); });
    c.On(kCmdGoToCoordinates, onView(&CDrelView::GoToCoordinates));
    c.OnUpdate(kCmdGoToCoordinates, withView);
    c.On(kCmdContextZoomIn, onView(&CDrelView::ContextZoomIn));
    c.On(kCmdContextZoomOut, onView(&CDrelView::ContextZoomOut));
    c.On(kCmdContextCenter, onView(&CDrelView::ContextCenter));
    c.On(kCmdContextCancel, onView(&CDrelView::ContextCancelTool));
    c.On(kCmdPointInformation, onView(&CDrelView::ShowObjectsAt));
    c.On(kCmdCreatePlacemark, onView(&CDrelView::ContextCreatePlacemark));
    for (const int id : {kCmdContextZoomIn, kCmdContextZoomOut, kCmdContextCenter, kCmdContextCancel,
                         kCmdPointInformation, kCmdCreatePlacemark})
        c.OnUpdate(id, withView);
    c.On(kCmdCopyMap, [this] { CopyMap(); });
    c.OnUpdate(kCmdCopyMap, withView);

    c.On(kCmdCopyLayer, [this] { CopyLayer(); });
    c.OnUpdate(kCmdCopyLayer, [this](CCommandState& state) { state.Enable(m_frame.GetActiveLayer() != nullptr); });
    c.On(kCmdPasteLayer, [this] { PasteLayer(); });
    c.OnUpdate(kCmdPasteLayer, [](CCommandState& state) { state.Enable(LayerClipboard::CanPaste(Clipboard())); });

    c.On(kCmdZoomToLayer, [this] {
        CDrelView* view = m_frame.GetMapView();
        if (CLayer* layer = m_frame.GetActiveLayer(); layer && view)
            view->ZoomToLayer(*layer);
    });
    c.OnUpdate(kCmdZoomToLayer, [this](CCommandState& state) {
        const CLayer* layer = m_frame.GetActiveLayer();
        state.Enable(layer && !IsGroup(layer) && layer->GetType() != CLayer::kTrack &&
                     !(layer->GetType() == CLayer::kPoint && layer->IsDbfLayer()));
    });
    c.On(kCmdPack, [this] {
        CLayer* layer = LayerOrMessage();
        if (!layer)
            return;
        if (DocumentHost().IsAttributeTableOpen(*layer)) {
            AppMessageBox(kCloseAttributeTable, MB_OK | MB_ICONWARNING);
            return;
        }
        CDrelDoc& document = m_frame.GetMapDocument();
        if (layer->Pack())
            document.UpdateAllViews(MakeHint(document.FindLayerIndex(layer), kHintRedraw));
    });
    c.OnUpdate(kCmdPack, [this](CCommandState& state) {
        const CLayer* layer = m_frame.GetActiveLayer();
        state.Enable(layer && !IsGroup(layer) && layer->HasFlag(CLayer::kObjectsEditable));
    });
    c.On(kCmdNewLayerByExample, [this] { NewLayerByExample(); });
    c.OnUpdate(kCmdNewLayerByExample, [this](CCommandState& state) {
        const CLayer* layer = m_frame.GetActiveLayer();
        state.Enable(m_dialogs.document.newLayer && layer && !IsGroup(layer) && layer->IsVectorType());
    });

    const auto enableWhen = [&c](int id, auto rule) {
        c.OnUpdate(id, [rule](CCommandState& state) { state.Enable(rule()); });
    };
    const CMapFrameDialogs& d = m_dialogs;
    c.On(kCmdNewLayer, [this] { DocumentCommands().CreateNewLayer(); });
    enableWhen(kCmdNewLayer, [&d] { return static_cast<bool>(d.document.newLayer); });
    c.On(kCmdAddLayer, [this] { AddExistingLayers(); });
    enableWhen(kCmdAddLayer, [&d] { return static_cast<bool>(d.openFiles); });
    c.On(kCmdImportLayer, [this] { ImportLayer(); });
    // Every import ends in the new-layer dialog.
    enableWhen(kCmdImportLayer, [&d] { return d.openFiles && d.document.newLayer; });
    c.On(kCmdNewGroup, [this] { DocumentCommands().CreateGroup(); });
    enableWhen(kCmdNewGroup, [&d] { return static_cast<bool>(d.document.groupName); });
    c.On(kCmdArchiveTracks, [this] { DocumentCommands().ArchiveTrackLayers(); });
    enableWhen(kCmdArchiveTracks, [&d] { return d.document.archiveDate && d.services.archiveOldTrackData; });
    c.On(kCmdSaveFix, [this] { DocumentCommands().SaveFixAsPlacemark(); });
    enableWhen(kCmdSaveFix, [this] { return DocumentCommands().CanSaveFixAsPlacemark(); });
    c.On(kCmdSaveTrack, [this] { DocumentCommands().SaveTrack(); });
    enableWhen(kCmdSaveTrack, [&d] { return d.services.trackFileHasRecords && d.services.copyTrackFile; });
    c.On(kCmdMapProperties, [this] { DocumentCommands().EditMapProperties(); });
    enableWhen(kCmdMapProperties, [&d] { return static_cast<bool>(d.document.mapProperties); });
    c.On(kCmdGpsSaveParams, [this] { DocumentCommands().EditGpsSaveParams(); });
    enableWhen(kCmdGpsSaveParams, [&d] { return static_cast<bool>(d.document.gpsSaveParams); });
    using DocumentDialog = std::function<void(CDrelDoc&)> CDocCommandDialogs::*;
    for (const auto& [id, dialog] : {std::pair<int, DocumentDialog>{kCmdCoordinateGrid, &CDocCommandDialogs::coordinateGrid},
                                     {kCmdAdminSearchParams, &CDocCommandDialogs::adminSearchParams},
                                     {kCmdDistanceCalculator, &CDocCommandDialogs::distanceCalculator}}) {
        c.On(id, [this, dialog] {
            if (const auto& open = m_dialogs.document.*dialog)
                open(m_frame.GetMapDocument());
        });
        enableWhen(id, [&d, dialog] { return static_cast<bool>(d.document.*dialog); });
    }
    c.On(kCmdAddressImport, [this] {
        int filter = 1;
        std::vector<std::string> paths;
        if (m_dialogs.document.addressImport && m_dialogs.openFiles &&
            m_dialogs.openFiles(CDocCommands::kAddressFilter, filter, false, paths) && !paths.empty())
            m_dialogs.document.addressImport(m_frame.GetMapDocument(), paths.front());
    });
    enableWhen(kCmdAddressImport, [&d] { return d.openFiles && d.document.addressImport; });
    // Update only: the street-information tool's button.
    c.OnUpdate(kCmdStreetInfo, [this](CCommandState& state) {
        state.Enable(DocumentCommands().HasStreetsLayer());
        state.SetCheck(MapToolMode == kStreetInfoTool ? 1 : 0);
    });

    c.On(kCmdRememberPlace, [this] { RememberPlace(); });
    c.OnUpdate(kCmdRememberPlace, [this](CCommandState& state) {
        state.Enable(m_dialogs.placeName && m_frame.GetMapView());
    });
    c.On(kCmdPlaces, [this] {
        if (m_dialogs.places)
            m_dialogs.places(m_frame.GetMapDocument());
    });
    c.OnUpdate(kCmdPlaces, [this](CCommandState& state) { state.Enable(static_cast<bool>(m_dialogs.places)); });
    c.OnRange(kCmdFirstPlace, kCmdLastPlace, [this](int id) { ShowPlace(id - kCmdFirstPlace); });
    c.OnUpdate(kCmdFirstPlace, [this](CCommandState& state) {
        const CDrelDoc& document = m_frame.GetMapDocument();
        std::vector<CCommandState::MenuEntry> entries;
        for (int i = 0; i < document.GetBookmarkCount() && i <= kCmdLastPlace - kCmdFirstPlace; ++i)
            entries.push_back({kCmdFirstPlace + i, document.GetBookmarkName(i)});
        state.Enable(!entries.empty());
        state.SetMenuEntries(std::move(entries));
    });
    c.On(kCmdShowNamedPlace, [this] { ShowNamedPlace(); });
    c.On(kCmdShowAddress, [] {});

    c.On(kCmdClearRoadDistance, [this] {
        if (CDrelView* view = m_frame.GetMapView())
            view->ClearRoadDistance();
    });
    c.OnUpdate(kCmdClearRoadDistance, [this](CCommandState& state) {
        const CDrelView* view = m_frame.GetMapView();
        state.Enable(view && view->HasRoadDistance());
    });
    c.On(kCmdClearMeasurements, [this] {
        if (CDrelView* view = m_frame.GetMapView())
            view->SendCommandToTool(kCmdClearMeasurements);
    });
    for (const auto& [first, last] : {std::pair{21000, 21099}, std::pair{30209, 30230}}) {
        c.OnRange(first, last, [this](int id) {
            if (CDrelView* view = m_frame.GetMapView())
                view->SendCommandToTool(id);
        });
        c.OnUpdateRange(first, last, [this](CCommandState& state) {
            if (CDrelView* view = m_frame.GetMapView())
                view->UpdateToolCommand(state);
            else
                state.Enable(false);
        });
    }
    c.OnRange(20400, 20599, [this](int id) { ExtensionOnCommand(id, m_frame.GetMapView()); });
    c.OnRange(20200, 20399, [this](int id) { ExtensionOnCommand(id, &m_frame.GetMapDocument()); });

    for (const int id : kExtensionOnly)
        c.On(id, [] {});
    c.OnUpdate(kCmdTrackLength, [this](CCommandState& state) {
        const CLayer* layer = m_frame.GetActiveLayer();
        state.Enable(layer && layer->GetType() == CLayer::kTrack && !IsGroup(layer));
    });
    c.OnUpdate(kCmdTrackPlayback, [this](CCommandState& state) { state.Enable(m_frame.GetActiveLayer() != nullptr); });
}

CLayer* CMapFrameCommands::LayerOrMessage()
{
    CLayer* layer = m_frame.GetActiveLayer();
    if (!layer)
        AppMessageBox(kNoLayerSelected, MB_OK | MB_ICONWARNING);
    return layer;
}

int CMapFrameCommands::FindPlaceNoCase(const std::string& name) const
{
    const CDrelDoc& document = m_frame.GetMapDocument();
    for (int i = 0; i < document.GetBookmarkCount(); ++i)
        if (EqualsNoCase1257(document.GetBookmarkName(i), name))
            return i;
    return -1;
}

void CMapFrameCommands::RememberPlace()
{
    CDrelDoc& document = m_frame.GetMapDocument();
    CDrelView* view = m_frame.GetMapView();
    if (!view)
        return;
    if (document.GetBookmarkCount() >= kMaxPlaces) {
        AppMessageBox(Utf8ToCp1257(kTooManyPlaces), MB_OK | MB_ICONWARNING);
        return;
    }
    if (!m_dialogs.placeName)
        return;
    std::string name;
    for (;;) {
        if (!m_dialogs.placeName(name))
            return;
        if (name.empty())
            continue;
        if (FindPlaceNoCase(name) < 0)
            break;
        AppMessageBox(Utf8ToCp1257(kPlaceExists), MB_OK | MB_ICONWARNING);
    }
    document.AddBookmark(name, view->GetMapExtent());
    document.SetModifiedFlag();
    document.FillBookmarkCombo();
}

void CMapFrameCommands::ShowPlace(int index)
{
    const CDrelDoc& document = m_frame.GetMapDocument();
    if (CDrelView* view = m_frame.GetMapView(); view && index >= 0 && index < document.GetBookmarkCount())
        view->ZoomToRect(document.GetBookmarkExtent(index), 0);
}

void CMapFrameCommands::ShowNamedPlace()
{
    const int index = FindPlaceNoCase(m_frame.GetPlacesBoxText());
    if (index >= 0)
        ShowPlace(index);
}

void CMapFrameCommands::CopyLayer()
{
    if (const CLayer* entry = m_frame.GetActiveLayer())
        LayerClipboard::Copy(m_frame.GetMapDocument(), *entry, Clipboard());
}

void CMapFrameCommands::PasteLayer()
{
    LayerClipboard::Paste(m_frame.GetMapDocument(), Clipboard());
}

void CMapFrameCommands::CopyMap()
{
    if (CDrelView* view = m_frame.GetMapView())
        view->CopyToClipboard();
}

void CMapFrameCommands::NewLayerByExample()
{
    CLayer* example = LayerOrMessage();
    if (!example || IsGroup(example) || !example->IsVectorType() || !m_dialogs.document.newLayer)
        return;
    CDrelDoc& document = m_frame.GetMapDocument();
    const int type = example->GetType();
    const bool track = type == CLayer::kTrack;
    std::string name;
    std::string path;
    document.SuggestNewLayerNames(name, path, GetPathTitle(example->GetPath()));
    if (example->IsDbfLayer())
        ChangeExtension(path, "dbf");
    else if (track)
        ChangeExtension(path, "trk");
    name = example->GetName();
    document.MakeUniqueLayerName(name);
    // The example's type stands.
    int chosenType = type;
    CNewLayerOptions options;
    options.typeChoice = false;
    if (!m_dialogs.document.newLayer(document, name, path, chosenType, options))
        return;
    // A new file never writes over what an open map holds, nor over other
    // files unless the user agreed to replace them.
    if (!CheckNewLayerFiles(document, path, options.replaceConfirmed))
        return;
    CLayerReader reader;
    if (!reader.OpenLayer(example) || EndsWithNoCase1257(path, "trk") != track) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return;
    }
    auto layer = std::make_unique<CLayer>(*example);
    layer->SetName(name);
    layer->SetPath(path);
    if (layer->HasFlag(CLayer::kManyFiles)) {
        layer->Files().clear();
        layer->SetFlag(CLayer::kManyFiles, false);
    }
    CFeatureSource& source = *reader.GetSource();
    std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
    // Written beside the chosen file and renamed onto it once whole.
    CResultFiles files(path);
    const bool created = files.Reserve() && source.Create(files.GetWritePath(), track ? CLayer::kPoint : type,
                                                          fields.empty() ? nullptr : fields.data());
    reader.Close();
    if (!created || !files.Commit()) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return;
    }
    document.AddLayer(std::move(layer), true);
}

CDocCommands CMapFrameCommands::DocumentCommands()
{
    return CDocCommands(m_frame.GetMapDocument(), m_dialogs.document, m_dialogs.services);
}

void CMapFrameCommands::AddExistingLayers()
{
    CDocCommands commands = DocumentCommands();
    std::vector<std::string> paths;
    if (m_dialogs.openFiles && m_dialogs.openFiles(commands.GetAddLayerFilter(), g_addLayerFilter, true, paths))
        commands.AddLayerFiles(paths);
}

void CMapFrameCommands::ImportLayer()
{
    std::vector<std::string> paths;
    if (!m_dialogs.openFiles || !m_dialogs.openFiles(CDocCommands::kImportFilter, g_importFilter, false, paths) ||
        paths.empty())
        return;
    if (DocumentCommands().ImportLayer(paths.front(), g_importFilter) == CDocCommands::kDoneFirstExtent)
        if (CDrelView* view = m_frame.GetMapView())
            view->ZoomToFullExtent();
}
