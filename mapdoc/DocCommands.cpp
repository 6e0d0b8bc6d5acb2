#include "mapdoc/DocCommands.h"

#include "core/CoordConverter.h"
#include "core/FileUtil.h"
#include "layers/AsciiGridImport.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/LonLatTableSource.h"
#include "layers/PointTableSource.h"
#include "layers/TrackFields.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/ResultFiles.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "render/GeoRaster.h"

#include <algorithm>
#include <ctime>

namespace {

enum DocCommandMessage : int {
    kCannotOpenFile = 1007,
    kCannotCreateFile = 1027,
    kReadError = 1028,
    kWriteError = 1045,
    kFileExists = 1074,
    kArchiveFailed = 1085,
    kLayerFilesNotCreated = 1088,
    kWrongLayerType = 1112,
    kNoTrackRecords = 1121,
    kTrackSaved = 2030,
};

constexpr char kTextImportRefused[] = "Tekstinių failų importuoti negalima: šis formatas nepalaikomas.";
constexpr char kNmeaImportRefused[] = "NMEA failų importuoti negalima: šis formatas nepalaikomas.";
constexpr char kUnknownImportRefused[] = "Failo \"%1\" formatas nežinomas, todėl jo importuoti negalima.";

constexpr char kAddLayerFilter[] =
    "Vector Files (*.gdb;*.shp;*.trk)|*.gdb;*.shp;*.trk|Drel GDB Files (*.gdb)|*.gdb|ESRI Shapefiles "
    "(*.shp)|*.shp|Image Files (*.tif;*.png;*.bmp;*.gif;*.jpg;*.jpeg)|*.tif;*.png;*.bmp;*.gif;*.jpg;*.jpeg|Drel "
    "Elevation Model Files (*.rmp)|*.rmp|Drel Track Files (*.trk)|*.trk|DBF Files (*.dbf)|*.dbf|MrSID Files "
    "(*.sid)|*.sid||";

constexpr uint32_t kNewGroupFlags = CLayer::kGroup | CLayer::kShown | CLayer::kWorking;

// A waypoint layer's fields as a Lithuanian interface shows them.
const CStringMap::Pair kWaypointAliases[] = {
    {"Status", "Statusas"}, {"Date", "Data"},       {"Time", "Laikas"}, {"Speed", "Greitis"},
    {"Course", "Kryptis"},  {"Lon", "Ilguma"},      {"Lat", "Platuma"},
};

// Forwards to a progress window and remembers whether the user cancelled,
// which the window reports only once.
class CCancelWatch : public IProgress {
public:
    explicit CCancelWatch(int high) : m_window(UserServices().CreateProgress(0))
    {
        if (m_window) {
            m_window->SetRange(0, std::max(high, 1));
            m_window->SetStep(1);
            m_window->SetPos(0);
        }
    }
    void SetRange(int low, int high) override { if (m_window) m_window->SetRange(low, high); }
    void SetStep(int step) override { if (m_window) m_window->SetStep(step); }
    void SetPos(int position) override { if (m_window) m_window->SetPos(position); }
    void StepIt() override { if (m_window) m_window->StepIt(); }
    bool CheckCancel() override
    {
        if (m_window && m_window->CheckCancel())
            m_cancelled = true;
        return m_cancelled;
    }
    bool Cancelled() const { return m_cancelled; }

private:
    std::unique_ptr<IProgress> m_window;
    bool m_cancelled = false;
};

// A copy that stopped short of the end, not by the user.
void ReportCopyFailure(const CFeatureSource& source)
{
    AppMessageBox(source.GetError() != CFeatureSource::kNoError ? kReadError : kWriteError, MB_OK | MB_ICONWARNING);
}

int ObjectCount(CFeatureSource& source)
{
    if (const auto* legacy = dynamic_cast<const CPointTableSource*>(&source))
        return legacy->GetObjectCount();
    return source.GetTable().IsOpen() ? source.GetTable().GetRecordCount() : 0;
}

bool HasExtension(const std::string& path, const char* extension)
{
    return EqualsNoCase1257(GetPathExtension(path), extension);
}

// A table brought in from elsewhere names its coordinate fields as the
// user says, not as the program's own tables do.
bool OpenForImport(CLayerReader& reader, const std::string& path)
{
    if (!HasExtension(path, "dbf"))
        return reader.Open(path);
    auto table = std::make_unique<CLonLatTableSource>();
    table->SetCoordinateFields("", "");
    if (!table->Open(path))
        return false;
    reader.AttachSource(std::move(table));
    return true;
}

std::string LocalTimeText(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64];
    if (!localtime_r(&now, &local) || !std::strftime(text, sizeof text, format, &local))
        return "Track";
    return text;
}

} // namespace

const char CDocCommands::kImportFilter[] =
    "Vector Files (*.gdb;*.shp;*.dxf;*nmea)|*.gdb;*.shp;*.dxf;*nmea|Drel GDB Files (*.gdb)|*.gdb|ESRI Shapefiles "
    "(*.shp)|*.shp|AutoCAD Files (*.dxf)|*.dxf|DBF Files (*.dbf)|*.dbf|Text Files (*.txt)|*.txt|NMEA Files "
    "(*.nmea,*.txt)|*.nmea;*.txt|ESRI ASCII Grid Files (*.dem,*asc)|*.dem;*asc||";
const char CDocCommands::kTrackNameFormat[] = "Track_%Y%d%m_%H%M%S";
const char CDocCommands::kAddressFilter[] = "DBF Address Files (*.dbf)|*.dbf||";

CDocCommands::CDocCommands(CDrelDoc& document, const CDocCommandDialogs& dialogs,
                           const CDocCommandServices& services)
    : m_document(document), m_dialogs(dialogs), m_services(services)
{
}

bool CheckNewLayerFiles(const CDrelDoc& document, const std::string& path, bool replaceConfirmed)
{
    if (!document.CheckNewLayerPath(path))
        return false;
    // The user agreed to replace the data file, and with it what belongs
    // to it; a file of the kind standing alone is no one's to replace, and
    // without the user's word a new layer never takes over a file.
    if (replaceConfirmed && PathExists(path) && !IsFolder(path))
        return true;
    const std::string existing = CResultFiles::ExistingLayerFile(path);
    if (!existing.empty()) {
        AppMessageBoxArg(kFileExists, existing, MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

bool CDocCommands::CheckNewDataPath(const std::string& path, bool replaceConfirmed) const
{
    return CheckNewLayerFiles(m_document, path, replaceConfirmed);
}

// ------------------------------------------------------- settings dialogs

bool CDocCommands::EditMapProperties()
{
    if (!m_dialogs.mapProperties || !m_dialogs.mapProperties(m_document))
        return false;
    m_document.SetModifiedFlag();
    return true;
}

bool CDocCommands::EditGpsSaveParams()
{
    std::string name = m_document.Settings().gpsSaveLayer;
    if (!m_dialogs.gpsSaveParams || !m_dialogs.gpsSaveParams(m_document, name))
        return false;
    m_document.Settings().gpsSaveLayer = name;
    m_document.SetModifiedFlag();
    return true;
}

bool CDocCommands::HasStreetsLayer() const
{
    return !m_document.Settings().streetsLayer.empty();
}

// ------------------------------------------------------------- new layers

bool CDocCommands::CreateNewLayer()
{
    if (!m_dialogs.newLayer)
        return false;
    std::string name, path;
    m_document.SuggestNewLayerNames(name, path, {});
    int type = CLayer::kPoint;
    CNewLayerOptions options;
    if (!m_dialogs.newLayer(m_document, name, path, type, options) ||
        !CheckNewDataPath(path, options.replaceConfirmed))
        return false;
    CResultFiles files(path);
    bool created = files.Reserve();
    if (created) {
        CLayerReader writer;
        created = writer.Create(files.GetWritePath(), type);
        writer.Close();
    }
    if (!created || !files.Commit()) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return false;
    }
    m_document.AddLayer(std::make_unique<CLayer>(name, path, type), true);
    return true;
}

std::string CDocCommands::MakeAddLayerFilter(bool sidPluginPresent)
{
    std::string text = kAddLayerFilter;
    if (!sidPluginPresent) {
        text.resize(text.find("MrSID"));
        text += '|';
    }
    return text;
}

std::string CDocCommands::GetAddLayerFilter() const
{
    // The plug-in does not come or go while the program runs.
    static const std::string filter = MakeAddLayerFilter(
        (m_services.imagePluginPresent ? m_services.imagePluginPresent("SID") : IsImagePluginPresent("SID")) != 0);
    return filter;
}

int CDocCommands::GetFileKind(const std::string& path)
{
    for (const char* picture : {"tif", "tiff", "png", "bmp", "gif", "jpg", "jpeg"})
        if (HasExtension(path, picture))
            return CDrelDoc::kPictureFile;
    if (HasExtension(path, "sid"))
        return CDrelDoc::kPictureFile2;
    if (HasExtension(path, "rmp"))
        return CDrelDoc::kGridFile;
    return CDrelDoc::kVectorFile;
}

int CDocCommands::AddLayerFiles(const std::vector<std::string>& paths)
{
    int added = 0;
    for (const std::string& path : paths) {
        CHeldMessages held;
        const bool layerAdded = m_document.AddLayerFromFile(path, GetFileKind(path)) != nullptr;
        // What the file's reader said, else that it could not be read.
        const bool told = !held.Messages().empty();
        held.Show();
        if (layerAdded)
            ++added;
        else if (!told)
            AppMessageBoxArg(kCannotOpenFile, path, MB_OK | MB_ICONWARNING);
    }
    return added;
}

// ---------------------------------------------------------------- import

int CDocCommands::GetImportKind(int filterIndex, const std::string& path)
{
    if (filterIndex != kImportVector)
        return filterIndex >= kImportGdb && filterIndex <= kImportAsciiGrid ? filterIndex : kUnknownKind;
    const size_t dot = path.find_last_of('.');
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    if (EqualsNoCase1257(extension, ".gdb"))
        return kLegacyGdbKind;
    if (EqualsNoCase1257(extension, ".shp"))
        return kShapefileKind;
    if (EqualsNoCase1257(extension, ".dxf"))
        return kDxfKind;
    if (EqualsNoCase1257(extension, ".nmea"))
        return kNmeaKind;
    return kUnknownKind;
}

CDocCommands::Result CDocCommands::ImportLayer(const std::string& path, int filterIndex)
{
    switch (GetImportKind(filterIndex, path)) {
    case kAsciiGridKind:
        return ImportAsciiGridFile(path);
    case kLegacyGdbKind:
        return ImportLegacyTable(path);
    case kShapefileKind:
    case kDxfKind:
    case kDbfKind:
        return ImportThroughSource(path);
    case kTextKind:
        AppMessageBox(Utf8ToCp1257(kTextImportRefused), MB_OK | MB_ICONINFORMATION);
        return kNothing;
    case kNmeaKind:
        AppMessageBox(Utf8ToCp1257(kNmeaImportRefused), MB_OK | MB_ICONINFORMATION);
        return kNothing;
    default: {
        std::string text = Utf8ToCp1257(kUnknownImportRefused);
        text.replace(text.find("%1"), 2, path);
        AppMessageBox(text, MB_OK | MB_ICONINFORMATION);
        return kNothing;
    }
    }
}

CDocCommands::Result CDocCommands::ImportLegacyTable(const std::string& path)
{
    // Tables of the current generation share the extension: nothing to import.
    if (!CPointTableSource::IsLegacyGdbTable(path) || !m_dialogs.layerImport)
        return kNothing;
    CLayerImportChoice choice;
    if (!m_dialogs.layerImport(m_document, path, choice))
        return kNothing;
    CPointTableSource source;
    if (!source.Open(path))
        return kNothing;
    source.SetCoordConverter(choice.converter.get());
    if (!choice.attach)
        return ImportAsNewLayer(source, GetPathTitle(path));
    CLayer* layer = m_document.Layers().FindByName(choice.layerName);
    if (!layer || layer->HasFlag(CLayer::kGroup))
        return kNothing;
    return AttachTo(*layer, source);
}

CDocCommands::Result CDocCommands::ImportThroughSource(const std::string& path)
{
    CLayerReader reader;
    {
        CHeldMessages held;
        const bool opened = OpenForImport(reader, path);
        const bool told = !held.Messages().empty();
        held.Show();
        // A table's coordinate question cancelled says nothing more.
        if (!opened && !told && !HasExtension(path, "dbf"))
            AppMessageBoxArg(kCannotOpenFile, path, MB_OK | MB_ICONWARNING);
        if (!opened)
            return kNothing;
    }
    return ImportAsNewLayer(*reader.GetSource(), GetPathTitle(path));
}

CDocCommands::Result CDocCommands::AttachTo(CLayer& layer, CFeatureSource& source)
{
    // A source of points cannot fill a line layer nor lines a point layer.
    if (!source.AcceptType(layer.GetType())) {
        AppMessageBox(kWrongLayerType, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    if (layer.CheckReadOnly())
        return kNothing;
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return kNothing;
    CFeatureSource& target = *reader.GetSource();
    const int before = target.GetTable().GetRecordCount();
    CCancelWatch progress(ObjectCount(source));
    if (!target.CopyFeaturesFrom(source, false, &progress)) {
        // What came before the failure goes again, so the layer stays as it was.
        for (int n = target.GetTable().GetRecordCount() - 1; n >= before; --n)
            target.DeleteRecord(n);
        if (!progress.Cancelled())
            ReportCopyFailure(source);
        return kNothing;
    }
    reader.Close();
    RefreshExtent(layer);
    m_document.GrowMapExtent(layer);
    const int index = m_document.FindLayerIndex(&layer);
    if (layer.HasFlag(CLayer::kInOverview))
        m_document.UpdateAllViews(kHintOverview);
    if (layer.HasFlag(CLayer::kShown))
        m_document.UpdateAllViews(MakeHint(index, kHintRedraw));
    m_document.SetModifiedFlag();
    return kDone;
}

CDocCommands::Result CDocCommands::ImportAsNewLayer(CFeatureSource& source, const std::string& base)
{
    if (!m_dialogs.newLayer)
        return kNothing;
    int type = source.GetShapeType();
    if (type != CLayer::kPoint && type != CLayer::kLine && type != CLayer::kArea) {
        AppMessageBox(kWrongLayerType, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    std::string name, path;
    m_document.SuggestNewLayerNames(name, path, base);
    CNewLayerOptions options;
    if (!m_dialogs.newLayer(m_document, name, path, type, options))
        return kNothing;
    if (!source.AcceptType(type)) {
        AppMessageBox(kWrongLayerType, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    const std::string chosen = path;
    AddDefaultExtension(path, "gdb");
    // The user agreed to replace another file than the one written.
    if (path != chosen)
        options.replaceConfirmed = false;
    if (!CheckNewDataPath(path, options.replaceConfirmed))
        return kNothing;
    CResultFiles files(path);
    if (!files.Reserve()) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    CLayerReader writer;
    if (!writer.CreateSource(files.GetWritePath())) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    CCancelWatch progress(ObjectCount(source));
    // Nothing of a cancelled or failed copy stays on disk (files goes with it).
    const bool copied = writer.GetSource()->CreateFrom(files.GetWritePath(), source, false, &progress);
    writer.Close();
    if (!copied) {
        if (!progress.Cancelled())
            ReportCopyFailure(source);
        return kNothing;
    }
    if (!files.Commit()) {
        AppMessageBoxArg(kCannotCreateFile, path, MB_OK | MB_ICONWARNING);
        return kNothing;
    }
    auto layer = std::make_unique<CLayer>(name, path, type);
    RefreshExtent(*layer);
    const bool hadExtent = m_document.Settings().limits.IsValid();
    CLayer* added = layer.get();
    const int index = m_document.AddLayer(std::move(layer), false);
    m_document.UpdateAllViews(MakeHint(index, kHintLayerAdded));
    m_document.SetModifiedFlag();
    m_document.GrowMapExtent(*added);
    return hadExtent ? kDone : kDoneFirstExtent;
}

CDocCommands::Result CDocCommands::ImportAsciiGridFile(const std::string& asciiPath)
{
    if (!m_dialogs.layerFile)
        return kNothing;
    std::string name, path;
    m_document.SuggestNewLayerNames(name, path, "Terrain");
    ChangeExtension(path, "rmp");
    CLayerFileOptions options;
    options.elevationFiles = true;
    if (!m_dialogs.layerFile(m_document, name, path, options) || !CheckNewDataPath(path, options.replaceConfirmed))
        return kNothing;
    {
        CWaitCursor wait;
        CResultFiles files(path);
        if (!files.Reserve()) {
            AppMessageBoxArg(kCannotCreateFile, path, MB_OK | MB_ICONWARNING);
            return kNothing;
        }
        CCancelWatch progress(100);
        if (!ImportAsciiGrid(files.GetWritePath(), asciiPath, &progress))
            return kNothing;
        if (!files.Commit()) {
            AppMessageBoxArg(kCannotCreateFile, path, MB_OK | MB_ICONWARNING);
            return kNothing;
        }
    }
    return m_document.AddLayerFromFile(path, CDrelDoc::kGridFile, name) ? kDone : kNothing;
}

void CDocCommands::RefreshExtent(CLayer& layer)
{
    CMapRect extent;
    if (layer.GetExtent(extent) && extent.IsValid())
        layer.SetExtent(extent);
}

// ---------------------------------------------------------------- groups

bool CDocCommands::CreateGroup()
{
    if (!m_dialogs.groupName)
        return false;
    std::string name = "Group";
    m_document.MakeUniqueLayerName(name);
    if (!m_dialogs.groupName(m_document, name))
        return false;
    auto group = std::make_unique<CLayer>(name, std::string(), -1);
    group->SetFlags(kNewGroupFlags);
    const int index = m_document.AddLayer(std::move(group), false);
    m_document.UpdateAllViews(MakeHint(index, kHintLayerAdded));
    m_document.SetModifiedFlag();
    return true;
}

// ------------------------------------------------------- tracks and GPS

bool CDocCommands::ArchiveTrackLayers()
{
    if (!m_dialogs.archiveDate || !m_services.archiveOldTrackData)
        return false;
    double date = 0;
    if (!m_dialogs.archiveDate(date))
        return false;
    // Packing the file the recorder writes would lose the fixes it adds meanwhile.
    const std::string recorded = m_services.currentTrackFile ? m_services.currentTrackFile() : std::string();
    bool changed = false;
    {
        CWaitCursor wait;
        for (int i = 0; i < m_document.GetLayerCount(); ++i) {
            CLayer* layer = m_document.GetLayer(i);
            if (layer->GetType() != CLayer::kTrack || layer->HasFlag(CLayer::kGroup))
                continue;
            if (!recorded.empty() && IsSameFile(layer->GetPath(), recorded)) {
                AppMessageBox(Utf8ToCp1257("Sluoksnis \"") + layer->GetName() +
                                  Utf8ToCp1257("\" nearchyvuojamas: į jo failą dabar rašoma GPS trasa."),
                              MB_OK | MB_ICONINFORMATION);
                continue;
            }
            const int result = m_services.archiveOldTrackData(*layer, date);
            if (result == 1)
                changed = true;
            else if (result == 0 &&
                     AppMessageBoxArg(kArchiveFailed, layer->GetName(), MB_YESNO | MB_ICONQUESTION) != IDYES)
                break;
        }
    }
    if (changed)
        m_document.UpdateAllViews(kHintAll);
    return changed;
}

bool CDocCommands::SaveTrack()
{
    if (!m_services.trackFileHasRecords || !m_services.copyTrackFile)
        return false;
    if (!m_services.trackFileHasRecords()) {
        AppMessageBox(kNoTrackRecords, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    std::string name, path;
    m_document.SuggestNewLayerNames(name, path, LocalTimeText(kTrackNameFormat));
    ChangeExtension(path, "trk");
    if (!CheckNewDataPath(path))
        return false;
    auto layer = std::make_unique<CLayer>(name, path, CLayer::kTrack);
    if (!m_services.copyTrackFile(path)) {
        AppMessageBoxArg(kCannotCreateFile, path, MB_OK | MB_ICONWARNING);
        return false;
    }
    m_document.AddLayer(std::move(layer), true);
    if (AppMessageBox(kTrackSaved, MB_YESNO | MB_ICONQUESTION) == IDYES && m_services.clearTrackFile)
        m_services.clearTrackFile();
    return true;
}

bool CDocCommands::CanSaveFixAsPlacemark() const
{
    return MapGpsSource().GetFix().IsSet();
}

bool CDocCommands::SaveFixAsPlacemark()
{
    if (!CanSaveFixAsPlacemark())
        return false;
    const CMapGpsFix fix = MapGpsSource().GetFix();
    CMapPoint point(fix.longitude, fix.latitude);
    m_document.GeoToMap(point);
    return m_services.addPlacemark ? m_services.addPlacemark(m_document, point) : m_document.AddPlacemark(point);
}

CLayer* CDocCommands::CreateWaypointsLayer(std::string name, std::string path)
{
    CLayerFileOptions options;
    if (name.empty() || path.empty()) {
        if (!m_dialogs.layerFile)
            return nullptr;
        m_document.SuggestNewLayerNames(name, path, "Waypoints");
        ChangeExtension(path, "dbf");
        options.vectorFiles = true;
        if (!m_dialogs.layerFile(m_document, name, path, options))
            return nullptr;
    }
    if (!CheckNewDataPath(path, options.replaceConfirmed))
        return nullptr;
    const bool track = HasExtension(path, "trk");
    auto layer = std::make_unique<CLayer>(name, path, track ? CLayer::kTrack : CLayer::kPoint);
    // A track file has its own fields; a table of points gets its
    // coordinate layout asked.
    CResultFiles files(path);
    bool created = files.Reserve();
    if (created) {
        CLayerReader reader;
        created = track ? CreateTrackFile(files.GetWritePath()) : reader.Create(files.GetWritePath(), CLayer::kPoint);
        reader.Close();
    }
    if (!created || !files.Commit()) {
        AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    layer->SetIdField("Time");
    if (LoadString(136) != "English") {
        for (const auto& [field, alias] : kWaypointAliases)
            layer->FieldAliases().SetAt(field, Utf8ToCp1257(alias));
        layer->SetFlag(CLayer::kHasAliases, true);
    }
    CLayer* added = layer.get();
    m_document.AddLayer(std::move(layer), true);
    return added;
}
