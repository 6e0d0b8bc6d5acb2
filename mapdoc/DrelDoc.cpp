#include "mapdoc/DrelDoc.h"

#include "core/FileUtil.h"
#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "layers/DtmLayer.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/LayerDataAccess.h"
#include "mapdoc/PlacemarkRecord.h"
#include "mapdoc/SearchDialogs.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"
#include "render/GeoRaster.h"
#include "render/SymbolLibrary.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kLayerNotFound = 1006;
constexpr int kCannotOpenFile = 1007;
constexpr int kAddressesLayerNotSet = 1009;
constexpr int kStreetsLayerNotSet = 1010;
constexpr int kRoutesLayerNotSet = 1011;
constexpr int kAddressesNotPoints = 1015;
constexpr int kStreetsNotLines = 1016;
constexpr int kRoutesNotLines = 1017;
constexpr int kReadError = 1028;
constexpr int kFileExists = 1074;
constexpr int kBadFileFormat = 1030;
constexpr int kWriteError = 1045;
constexpr int kLayerBeingEdited = 1056;
constexpr int kCloseAttributeTable = 1087;

constexpr int kBookmarkSlots = 100;
constexpr size_t kTextCap = 80;
constexpr size_t kLimitsCap = 90;
constexpr size_t kBookmarkCap = 100;

// The text keys of the layers the map names, in the settings file's order.
struct TextKey {
    const char* section;
    const char* key;
    std::string CMapSettings::*member;
};
constexpr TextKey kLayerKeys[] = {
    {"Routes", "Layer", &CMapSettings::routesLayer},
    {"Routes", "FromNodeField", &CMapSettings::fromNodeField},
    {"Routes", "ToNodeField", &CMapSettings::toNodeField},
    {"Routes", "ArcLengthField", &CMapSettings::arcLengthField},
    {"Routes", "DirMaskField", &CMapSettings::dirMaskField},
    {"Routes", "WeightField", &CMapSettings::weightField},
    {"Routes", "SignificanceField", &CMapSettings::significanceField},
    {"Streets", "Layer", &CMapSettings::streetsLayer},
    {"Streets", "StreetNameField", &CMapSettings::streetNameField},
    {"Streets", "CodeField", &CMapSettings::codeField},
    {"Streets", "CityNameField", &CMapSettings::cityNameField},
    {"Addresses", "Layer", &CMapSettings::addressesLayer},
    {"Addresses", "StreetCodeField", &CMapSettings::streetCodeField},
    {"Addresses", "NumField", &CMapSettings::numField},
    {"Addresses", "LetterField", &CMapSettings::letterField},
    {"Addresses", "StreetCodeField2", &CMapSettings::streetCodeField2},
    {"Addresses", "NumField2", &CMapSettings::numField2},
    {"Addresses", "LetterField2", &CMapSettings::letterField2},
    {"Placemarks", "Layer", &CMapSettings::placemarksLayer},
};

// Reads up to count integers the way "%d %d ..." does; the number read.
int ScanInts(std::string_view text, int* out, int count)
{
    size_t pos = 0;
    int n = 0;
    while (n < count) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        const size_t start = pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        const size_t digits = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        if (pos == digits)
            break;
        out[n++] = AtoiC(text.substr(start, pos - start));
    }
    return n;
}

// The empty extent is written as +-1.79769313486232e+308, one step beyond
// the largest double: read back it overflows to infinity, which stands for
// the largest double again.
double FromStoredReal(double value)
{
    if (std::isinf(value))
        return value > 0 ? DBL_MAX : -DBL_MAX;
    return value;
}

static_assert(std::endian::native == std::endian::little, "extents are stored as little-endian doubles");
constexpr size_t kRectBytes = 4 * sizeof(double);

// An extent that can take part in the map's: neither empty nor the unbounded one of unread data.
bool IsUsableExtent(const CMapRect& r)
{
    return r.IsValid() && r.IsFinite() && r != CLayer::kUnboundedExtent;
}

bool IsGroup(const CLayer* entry)
{
    return entry && entry->HasFlag(CLayer::kGroup);
}

// The whole file; exists is false for a missing file, which is no error.
bool ReadFileBytes(const std::string& path, std::string& bytes, bool& exists)
{
    int error = 0;
    auto stream = CFileStream::Open(path, FileMode::Read, &error);
    exists = stream != nullptr;
    if (!stream)
        return error == ENOENT || error == ENOTDIR;
    const int64_t size = stream->Size();
    if (size < 0)
        return false;
    try {
        bytes.assign(static_cast<size_t>(size), '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    return stream->ReadExact(bytes.data(), bytes.size());
}

// Puts a file back as it was before a failed save.
void RestoreFile(const std::string& path, const std::string& bytes, bool existed)
{
    if (!existed) {
        RemoveFile(path);
        return;
    }
    WriteFileAtomically(path, [&](CStream& s) { return s.WriteExact(bytes.data(), bytes.size()); });
}

} // namespace

CDrelDoc::CDrelDoc()
{
    // Raster layers of the map take their extents from their pictures.
    InstallGeoRasters();
    m_adminSearch = DocumentHost().CreateAdminSearchSettings(*this);
    m_bufferZones.RegisterCommands(*this);
    ExtensionOnNewDocument(this);
}

CDrelDoc::~CDrelDoc()
{
    DocumentHost().OnDocumentDestroyed(*this);
}

std::string CDrelDoc::GetSettingsFilePath(const std::string& mapPath)
{
    return MakePathWithExtension(mapPath, ".ini");
}

// ------------------------------------------------------------ open, save, close

bool CDrelDoc::OnOpenDocument(const std::string& givenPath)
{
    // Paths in the map are relative to its folder, whatever the current one.
    const std::string path = MakeFullPath(givenPath);
    try {
        if (!m_layers.ReadMapFile(path)) {
            AppMessageBoxArg(kCannotOpenFile, path);
            return false;
        }
    } catch (const CArchiveException&) {
        AppMessageBox(kBadFileFormat);
        return false;
    } catch (const std::bad_alloc&) {
        AppMessageBox(kOutOfMemory);
        return false;
    } catch (const std::exception&) {
        AppMessageBox(kBadFileFormat);
        return false;
    }
    m_pathName = path;

    const std::string iniPath = GetSettingsFilePath(path);
    CIniFile ini(iniPath);
    if (!ini.Load())
        ini = CIniFile(); // unreadable: every setting keeps its default
    ReadSettings(ini);

    ExtensionOnOpenDocument(this, path);
    FillCityStreetCombos(false);
    if (m_adminSearch) {
        m_adminSearch->Load(iniPath);
        if (DocumentHost().HasAdminSearchBar())
            m_adminSearch->FillCounties(*this);
    }
    FillBookmarkCombo();
    SetModifiedFlag(false);
    return true;
}

bool CDrelDoc::OnSaveDocument(const std::string& givenPath)
{
    const std::string path = MakeFullPath(givenPath);
    const std::string iniPath = GetSettingsFilePath(path);
    // Kept to be put back should the map file fail, so the pair stays as it was.
    std::string oldIni;
    bool hadIni = false;
    if (!ReadFileBytes(iniPath, oldIni, hadIni)) {
        // Writing over a settings file that cannot be read would lose its other keys.
        AppMessageBox(kReadError);
        return false;
    }
    CIniFile ini(iniPath);
    ini.LoadFromText(oldIni);
    WriteSettings(ini);
    if (!ini.Save()) {
        AppMessageBox(kWriteError);
        return false;
    }
    if (m_adminSearch && DocumentHost().HasAdminSearchBar())
        m_adminSearch->Save(iniPath);
    ExtensionOnSaveDocument(this, path);

    if (!m_layers.WriteMapFile(path)) {
        RestoreFile(iniPath, oldIni, hadIni);
        AppMessageBox(kWriteError);
        return false;
    }
    m_pathName = path;
    SetModifiedFlag(false);
    return true;
}

void CDrelDoc::OnCloseDocument()
{
    DocumentHost().CloseTableDocuments(*this);
}

bool CDrelDoc::SaveModified()
{
    if (!DocumentHost().CanLeaveTools(*this))
        return false;
    return DocumentHost().SaveModifiedDocument(*this);
}

// ------------------------------------------------------------ settings file

double ParseOptimScale(std::string_view text)
{
    // A scale that is no positive number would leave the views nothing to zoom to.
    const double scale = AtofC(text);
    return std::isfinite(scale) && scale > 0 ? scale : 10000;
}

void CDrelDoc::ReadSettings(const CIniFile& ini)
{
    CMapSettings& s = m_settings;
    s.name = ini.GetString("Map", "Name", "", kTextCap);
    s.autoLoad = ini.GetInt("Map", "AutoLoad", s.autoLoad);
    s.autoRecalcMapExtent = ini.GetInt("Map", "AutoRecalcMapExtent", s.autoRecalcMapExtent);
    s.mapUnits = ini.GetInt("Map", "MapUnits", s.mapUnits);
    const int cs = ini.GetInt("Map", "CS", -1);
    SetCoordSystem(s.mapUnits == kUnitsDegrees ? 0 : (cs <= 0 ? 1 : cs));

    double limits[4];
    if (ScanRealsC(ini.GetString("Map", "Limits", "", kLimitsCap), limits, 4) == 4)
        s.limits = CMapRect(FromStoredReal(limits[0]), FromStoredReal(limits[1]), FromStoredReal(limits[2]),
                            FromStoredReal(limits[3]));
    if (s.mapUnits == kUnitsDegrees)
        ComputeMetresPerDegree();

    m_bookmarkNames.clear();
    m_bookmarkExtents.clear();
    for (int n = 0; n < kBookmarkSlots; ++n) {
        std::string name = ini.GetString("Bookmarks", FormatC("Bookmark%d", n), "", kBookmarkCap);
        unsigned char bytes[kRectBytes];
        if (name.empty() || !ini.GetStruct("Bookmarks", FormatC("Extent%d", n), bytes, sizeof bytes))
            continue;
        double v[4];
        std::memcpy(v, bytes, sizeof v);
        const CMapRect extent(v[0], v[1], v[2], v[3]);
        // The views cannot zoom to a place that is not a number.
        if (extent.IsFinite())
            AddBookmark(name, extent);
    }

    s.optimScale = ParseOptimScale(ini.GetString("Map", "OptimScale", "10000", kTextCap));
    s.legendAutoUpdate = ini.GetInt("Legend", "AutoUpdate", 1);
    s.legendType = ini.GetInt("Legend", "Type", 1);
    for (const TextKey& key : kLayerKeys)
        s.*key.member = ini.GetString(key.section, key.key, "", kTextCap);
    s.scaleBarShow = ini.GetInt("ScaleBar", "Show", 0);
    int pos[4] = {s.scaleBarOffsetX, s.scaleBarOffsetY, s.scaleBarFromLeft, s.scaleBarFromTop};
    ScanInts(ini.GetString("ScaleBar", "Pos", "", kTextCap), pos, 4);
    s.scaleBarOffsetX = pos[0];
    s.scaleBarOffsetY = pos[1];
    s.scaleBarFromLeft = pos[2];
    s.scaleBarFromTop = pos[3];
}

void CDrelDoc::WriteSettings(CIniFile& ini) const
{
    const CMapSettings& s = m_settings;
    ini.SetString("Map", "Name", s.name);
    ini.SetInt("Map", "MapUnits", s.mapUnits);
    ini.SetInt("Map", "CS", m_coordSystem);
    ini.SetInt("Map", "AutoRecalcMapExtent", s.autoRecalcMapExtent);
    ini.SetInt("Map", "AutoLoad", s.autoLoad);
    ini.SetString("Map", "Limits",
                  FormatC("%.15g %.15g %.15g %.15g", s.limits.left, s.limits.top, s.limits.right, s.limits.bottom));
    ini.SetString("Map", "OptimScale", FormatC("%.15g", s.optimScale));
    ini.SetString("Legend", "AutoUpdate", FormatC("%1d", s.legendAutoUpdate));
    ini.SetString("Legend", "Type", FormatC("%1d", s.legendType));
    for (const TextKey& key : kLayerKeys)
        ini.SetString(key.section, key.key, s.*key.member);

    ini.DeleteSection("Bookmarks");
    for (size_t n = 0; n < m_bookmarkNames.size(); ++n) {
        const CMapRect& r = m_bookmarkExtents[n];
        const double v[4] = {r.left, r.top, r.right, r.bottom};
        ini.SetString("Bookmarks", FormatC("Bookmark%zu", n), m_bookmarkNames[n]);
        ini.SetStruct("Bookmarks", FormatC("Extent%zu", n), v, kRectBytes);
    }

    ini.SetString("ScaleBar", "Show", FormatC("%d", s.scaleBarShow));
    ini.SetString("ScaleBar", "Pos", FormatC("%d %d %d %d", s.scaleBarOffsetX, s.scaleBarOffsetY,
                                             s.scaleBarFromLeft, s.scaleBarFromTop));
}

void CDrelDoc::ComputeMetresPerDegree()
{
    // An empty extent is reversed by the largest double: its centre is (0, 0).
    const CMapRect& r = m_settings.limits;
    const double cx = (r.left + r.right) / 2;
    const double cy = (r.top + r.bottom) / 2;
    if (!(cx >= -180 && cx <= 180 && cy >= -90 && cy <= 90))
        return;
    m_metresPerDegreeX = 1000 * GreatCircleDistanceKm(cx - 0.5, cy, cx + 0.5, cy);
    m_metresPerDegreeY = 1000 * GreatCircleDistanceKm(cx, cy - 0.5, cx, cy + 0.5);
}

// ------------------------------------------------------------ views

void CDrelDoc::AddObserver(IDocumentObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CDrelDoc::RemoveObserver(IDocumentObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CDrelDoc::UpdateAllViews(uint32_t hint, const IDocumentObserver* sender)
{
    // A view may leave while it is told.
    const std::vector<IDocumentObserver*> observers = m_observers;
    for (IDocumentObserver* observer : observers)
        if (observer != sender && std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            observer->OnUpdate(*this, hint);
}

// ------------------------------------------------------------ layer list

int CDrelDoc::SpanAt(int index) const
{
    const CLayer* entry = GetLayer(index);
    if (!IsGroup(entry))
        return 0;
    // Member counts come from the map file: each entry takes one member
    // and a nested group adds its own, but never beyond the list.
    int64_t pending = std::max(entry->GetMemberCount(), 0);
    const int count = GetLayerCount();
    int next = index + 1;
    while (pending > 0 && next < count) {
        --pending;
        const CLayer* member = GetLayer(next);
        if (IsGroup(member))
            pending += std::max(member->GetMemberCount(), 0);
        ++next;
    }
    return next - index - 1;
}

int CDrelDoc::ParentIndexOf(int index) const
{
    int64_t counter = 0;
    for (int k = std::min(index, GetLayerCount()) - 1; k >= 0; --k) {
        const CLayer* entry = GetLayer(k);
        const int64_t members = IsGroup(entry) ? entry->GetMemberCount() : 0;
        if (IsGroup(entry) && counter < members)
            return k;
        counter = counter - members + 1;
    }
    return -1;
}

int CDrelDoc::GetGroupSpan(const CLayer* entry) const
{
    return SpanAt(FindLayerIndex(entry));
}

CLayer* CDrelDoc::GetParentGroup(const CLayer* entry) const
{
    const int index = FindLayerIndex(entry);
    return index < 0 ? nullptr : GetLayer(ParentIndexOf(index));
}

bool CDrelDoc::MakeUniqueLayerName(std::string& name) const
{
    if (!m_layers.FindByName(name))
        return false;
    for (int n = 2;; ++n) {
        std::string candidate = FormatC("%s (%1d)", name.c_str(), n);
        if (!m_layers.FindByName(candidate)) {
            name = std::move(candidate);
            return true;
        }
    }
}

int CDrelDoc::AddLayer(std::unique_ptr<CLayer> layer, bool notify)
{
    if (!layer)
        return -1;
    std::string name = layer->GetName();
    if (MakeUniqueLayerName(name))
        layer->SetName(name);
    const uint32_t flags = layer->GetFlags();

    int index;
    CLayer* group = DocumentHost().GetOpenLegendGroup(*this);
    const int groupIndex = IsGroup(group) ? FindLayerIndex(group) : -1;
    if (groupIndex >= 0) {
        index = groupIndex + 1 + SpanAt(groupIndex);
        m_layers.InsertAt(index, std::move(layer));
        const int32_t members = std::max(group->GetMemberCount(), 0);
        group->SetMemberCount(members < INT32_MAX ? members + 1 : members);
        UpdateGroupVisibility(group);
    } else {
        index = m_layers.Add(std::move(layer));
    }

    if (notify) {
        UpdateAllViews(MakeHint(index, kHintLayerAdded));
        if (flags & CLayer::kInOverview)
            UpdateAllViews(kHintOverview);
        if (flags & CLayer::kShown)
            UpdateAllViews(MakeHint(index, kHintRedraw));
        SetModifiedFlag();
    }
    return index;
}

bool CDrelDoc::InsertLayerAt(std::unique_ptr<CLayer> layer, int index)
{
    if (!layer)
        return false;
    std::string name = layer->GetName();
    if (MakeUniqueLayerName(name))
        layer->SetName(name);
    return m_layers.InsertAt(index, std::move(layer));
}

void CDrelDoc::MoveLayer(CLayer* entry, CLayer* target, bool after)
{
    const int from = FindLayerIndex(entry);
    if (from < 0)
        return;
    const int count = 1 + SpanAt(from);
    // The index in the present list before which the block is to stand.
    int before = GetLayerCount();
    if (target) {
        const int t = FindLayerIndex(target);
        if (t < 0)
            return;
        before = after ? t + 1 + SpanAt(t) : t;
    }
    // A block cannot move into itself.
    if (before > from && before < from + count)
        return;
    m_layers.MoveItems(from, before > from ? before - count : before, count);
    SetModifiedFlag();
}

bool CDrelDoc::MoveLayerIntoGroup(CLayer* entry, CLayer* group)
{
    const int from = FindLayerIndex(entry);
    const int to = group ? FindLayerIndex(group) : -1;
    if (from < 0 || (group && (to < 0 || !IsGroup(group))))
        return false;
    if (group && to >= from && to <= from + SpanAt(from))
        return false;
    CLayer* previousParent = GetLayer(ParentIndexOf(from));
    MoveLayer(entry, group, true);
    const auto addMembers = [](CLayer* counted, int delta) {
        if (!counted)
            return;
        const int64_t count = static_cast<int64_t>(std::max(counted->GetMemberCount(), 0)) + delta;
        counted->SetMemberCount(static_cast<int32_t>(std::clamp<int64_t>(count, 0, INT32_MAX)));
    };
    addMembers(group, 1);
    addMembers(previousParent, -1);
    UpdateGroupVisibility(group);
    // The group left behind may now be all shown or all hidden.
    UpdateGroupVisibility(previousParent);
    return true;
}

bool CDrelDoc::RemoveLayer(CLayer* entry, bool deleteFiles, bool withMembers, bool redraw)
{
    const int index = FindLayerIndex(entry);
    if (index < 0)
        return false;
    const bool group = IsGroup(entry);
    if (group && withMembers) {
        // From the last member back, so every member still finds its parent.
        for (int i = index + SpanAt(index); i > index; --i)
            RemoveLayer(GetLayer(i), deleteFiles, withMembers, redraw);
    } else if (!group && deleteFiles) {
        LayerDataAccess().DeleteLayerFiles(*entry);
    }
    UpdateAllViews(MakeHint(index, kHintLayerRemoving));

    const int parentIndex = ParentIndexOf(index);
    CLayer* parent = GetLayer(parentIndex);
    if (parent) {
        // A group removed without its members leaves them to its parent.
        int64_t members = static_cast<int64_t>(parent->GetMemberCount()) - 1;
        if (group)
            members += entry->GetMemberCount();
        parent->SetMemberCount(static_cast<int32_t>(std::clamp<int64_t>(members, 0, INT32_MAX)));
    }
    const uint32_t flags = entry->GetFlags();
    m_layers.RemoveAt(index);
    UpdateGroupVisibility(parent);

    if (redraw) {
        if (flags & CLayer::kInOverview)
            UpdateAllViews(kHintOverview);
        if (flags & CLayer::kShown)
            UpdateAllViews(kHintRedraw);
    }
    SetModifiedFlag();
    return true;
}

bool CDrelDoc::CanRemoveLayer(const CLayer& layer) const
{
    if (DocumentHost().IsLayerBeingEdited(layer)) {
        AppMessageBox(kLayerBeingEdited);
        return false;
    }
    if (DocumentHost().IsAttributeTableOpen(layer)) {
        AppMessageBox(kCloseAttributeTable);
        return false;
    }
    return true;
}

void CDrelDoc::SetLayerVisible(CLayer* entry, bool visible)
{
    const int index = FindLayerIndex(entry);
    if (index < 0)
        return;
    entry->SetFlag(CLayer::kShown, visible);
    if (IsGroup(entry)) {
        entry->SetFlag(CLayer::kPartlyVisibleGroup, false);
        const int span = SpanAt(index);
        for (int i = index + 1; i <= index + span; ++i) {
            CLayer* member = GetLayer(i);
            member->SetFlag(CLayer::kShown, visible);
            member->SetFlag(CLayer::kPartlyVisibleGroup, false);
            UpdateAllViews(MakeHint(i, kHintVisibility));
        }
    }
    UpdateGroupVisibility(GetLayer(ParentIndexOf(index)));
    UpdateAllViews(MakeHint(index, kHintVisibility));
    if (m_settings.legendAutoUpdate)
        UpdateAllViews(kHintRedraw);
    SetModifiedFlag();
}

int CDrelDoc::UpdateGroupVisibility(CLayer* group)
{
    int index = IsGroup(group) ? FindLayerIndex(group) : -1;
    if (index < 0)
        return -1;
    int first = -1;
    for (bool given = true; index >= 0; given = false, index = ParentIndexOf(index)) {
        CLayer* entry = GetLayer(index);
        const int span = SpanAt(index);
        int shown = 0;
        for (int i = index + 1; i <= index + span; ++i)
            shown += GetLayer(i)->HasFlag(CLayer::kShown) ? 1 : 0;
        const int state = span == 0 ? -1 : shown == span ? 1 : shown > 0 ? 2 : 0;
        const int before =
            entry->HasFlag(CLayer::kPartlyVisibleGroup) ? 2 : (entry->HasFlag(CLayer::kShown) ? 1 : 0);
        if (state >= 0)
            entry->SetFlag(CLayer::kShown, state != 0);
        entry->SetFlag(CLayer::kPartlyVisibleGroup, state == 2);
        if (before != state)
            UpdateAllViews(MakeHint(index, kHintVisibility));
        if (given)
            first = state;
    }
    return first;
}

bool CDrelDoc::PassesLegendType(const CLayer& layer) const
{
    switch (m_settings.legendType) {
    case 1:
        return layer.HasFlag(CLayer::kWorking);
    case 2:
        return layer.HasFlag(CLayer::kWorking) && layer.HasFlag(CLayer::kShown);
    default:
        return true;
    }
}

bool CDrelDoc::IsLayerShownInLegend(const CLayer* layer, bool withGroups) const
{
    if (!layer || !PassesLegendType(*layer))
        return false;
    if (withGroups) {
        for (int index = ParentIndexOf(FindLayerIndex(layer)); index >= 0; index = ParentIndexOf(index))
            if (!PassesLegendType(*GetLayer(index)))
                return false;
    }
    return true;
}

bool CDrelDoc::GetLayersExtent(CMapRect& extent)
{
    extent.SetEmpty();
    for (int i = 0; i < GetLayerCount(); ++i) {
        CLayer* layer = GetLayer(i);
        if (IsGroup(layer))
            continue;
        CMapRect own = layer->GetExtent();
        if (!own.IsValid() || own == CLayer::kUnboundedExtent || layer->HasFlag(CLayer::kManyFiles)) {
            CMapRect computed;
            if (LayerDataAccess().ComputeLayerExtent(*layer, computed)) {
                layer->SetExtent(computed);
                own = computed;
            }
        }
        if (IsUsableExtent(own))
            extent.UnionRect(extent, own);
    }
    return extent.IsValid();
}

namespace {

// Folder and title: the files of one layer's data share it.
std::string DataStem(const std::string& path)
{
    return GetPathFolder(path) + GetPathTitle(path);
}

bool HoldsDataOf(const CLayer& layer, const std::string& stem)
{
    if (layer.HasFlag(CLayer::kGroup))
        return false;
    if (!layer.GetPath().empty() && EqualPathsNoCase(DataStem(layer.GetPath()), stem))
        return true;
    return std::any_of(layer.Files().begin(), layer.Files().end(), [&](const CLayerFileEntry& file) {
        return !file.path.empty() && EqualPathsNoCase(DataStem(file.path), stem);
    });
}

} // namespace

bool CDrelDoc::CheckNewLayerPath(const std::string& path) const
{
    std::vector<CDrelDoc*> maps = DocumentHost().GetOpenMaps();
    if (std::find(maps.begin(), maps.end(), this) == maps.end())
        maps.push_back(const_cast<CDrelDoc*>(this));
    const std::string stem = DataStem(path);
    for (const CDrelDoc* map : maps) {
        const std::string& own = map->GetPathName();
        bool taken = !own.empty() && (EqualPathsNoCase(path, own) || EqualPathsNoCase(path, GetSettingsFilePath(own)));
        for (int i = 0; !taken && i < map->GetLayerCount(); ++i)
            taken = HoldsDataOf(*map->GetLayer(i), stem);
        if (taken) {
            AppMessageBoxArg(kFileExists, path, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    return true;
}

std::string CDrelDoc::GetMapDirectory() const
{
    const size_t separator = m_pathName.find_last_of("\\/");
    if (separator != std::string::npos)
        return m_pathName.substr(0, separator + 1);
    std::string folder;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        folder = FromNativePath(cwd);
        std::free(cwd);
    }
    if (folder.empty() || !IsPathSeparator(folder.back()))
        folder += '/';
    return folder;
}

void CDrelDoc::SuggestNewLayerNames(std::string& name, std::string& path, const std::string& base) const
{
    const std::string folder = GetMapDirectory();
    if (!base.empty()) {
        std::string stem = base;
        for (int n = 2; FileExists(folder + stem + ".*"); ++n)
            stem = FormatC("%s_%1d", base.c_str(), n);
        name = base;
        MakeUniqueLayerName(name);
        path = folder + stem + ".gdb";
        return;
    }
    for (int n = 1;; ++n) {
        std::string stem = FormatC("Layer%1d", n);
        if (!m_layers.FindByName(stem) && !FileExists(folder + stem + ".*")) {
            name = stem;
            path = folder + stem + ".gdb";
            return;
        }
    }
}

CLayer* CDrelDoc::AddLayerFromFile(const std::string& path, int kind, const std::string& name)
{
    const std::string layerName = name.empty() ? GetPathTitle(path) : name;
    std::unique_ptr<CLayer> layer;
    ILayerDataAccess& data = LayerDataAccess();
    if (kind == kPictureFile || kind == kPictureFile2) {
        CMapRect extent;
        if (!data.ReadRasterExtent(path, extent))
            return nullptr;
        layer = std::make_unique<CLayer>(layerName, path, CLayer::kRaster);
        layer->SetExtent(extent);
    } else if (kind == kGridFile) {
        CMapRect extent;
        int cellKind = 0;
        if (!data.ReadGridInfo(path, extent, cellKind))
            return nullptr;
        auto dtm = std::make_unique<CDtmLayer>(layerName, path);
        dtm->SetFlag(CLayer::kFieldStrength, cellKind == 3);
        dtm->SetDefaultClasses();
        if (dtm->AddFile(path, &extent) < 0)
            return nullptr;
        dtm->SetExtent(extent);
        layer = std::move(dtm);
    } else {
        CVectorFileInfo info;
        if (!data.ReadVectorFileInfo(path, info))
            return nullptr;
        // A track file is a track whatever its source calls its objects.
        if (!EqualsNoCase1257(GetPathExtension(path), "trk") &&
            (info.geometryKind < CLayer::kPoint || info.geometryKind > CLayer::kArea))
            return nullptr;
        layer = std::make_unique<CLayer>(layerName, path, info.geometryKind);
        layer->SetIdField(info.firstField);
        layer->SetExtent(info.extent);
    }
    CLayer* added = layer.get();
    AddLayer(std::move(layer), true);
    GrowMapExtent(*added);
    return added;
}

bool CDrelDoc::GrowMapExtent(const CLayer& layer)
{
    const CMapRect& extent = layer.GetExtent();
    if (!IsUsableExtent(extent) || !m_settings.autoRecalcMapExtent)
        return false;
    CMapRect& limits = m_settings.limits;
    const CMapRect before = limits;
    if (!limits.IsValid())
        limits = extent;
    else
        limits.UnionRect(limits, extent);
    if (limits == before)
        return false;
    SetModifiedFlag();
    UpdateAllViews(kHintOverview);
    return true;
}

// ------------------------------------------------------------ settings layers

CLayer* CDrelDoc::FindSettingsLayer(const std::string& name, int notSetMessage, int wrongTypeMessage,
                                    int type) const
{
    if (name.empty()) {
        AppMessageBox(notSetMessage);
        return nullptr;
    }
    CLayer* layer = m_layers.FindByName(name);
    if (!layer) {
        AppMessageBoxArg(kLayerNotFound, name);
        return nullptr;
    }
    if (layer->GetType() != type) {
        AppMessageBox(wrongTypeMessage);
        return nullptr;
    }
    return layer;
}

CLayer* CDrelDoc::GetRoutesLayer() const
{
    return FindSettingsLayer(m_settings.routesLayer, kRoutesLayerNotSet, kRoutesNotLines, CLayer::kLine);
}

CLayer* CDrelDoc::GetStreetsLayer() const
{
    return FindSettingsLayer(m_settings.streetsLayer, kStreetsLayerNotSet, kStreetsNotLines, CLayer::kLine);
}

CLayer* CDrelDoc::GetAddressesLayer() const
{
    return FindSettingsLayer(m_settings.addressesLayer, kAddressesLayerNotSet, kAddressesNotPoints, CLayer::kPoint);
}

bool CDrelDoc::GetRouteSettings(CRouteSettings& settings) const
{
    settings.unitKind = m_settings.mapUnits != kUnitsDegrees ? 4 : 0;
    settings.layer = GetRoutesLayer();
    static_cast<CRouteFields&>(settings) = m_settings;
    return settings.layer != nullptr;
}

// ------------------------------------------------------------ placemarks

namespace {

constexpr char kDefaultPlacemarksLayer[] = "My Placemarks";
constexpr char kPlacemarksFileBase[] = "MyWpt";

bool IsPlacemarkLayer(const CLayer* layer)
{
    return layer && layer->GetType() == CLayer::kPoint && layer->IsDbfLayer();
}

} // namespace

bool CDrelDoc::HasPlacemarksLayer() const
{
    return IsPlacemarkLayer(m_layers.FindByName(m_settings.placemarksLayer));
}

CLayer* CDrelDoc::GetPlacemarksLayer()
{
    CLayer* layer = m_settings.placemarksLayer.empty() ? nullptr : m_layers.FindByName(m_settings.placemarksLayer);
    if (!layer) {
        layer = m_layers.FindByName(kDefaultPlacemarksLayer);
        if (layer) {
            if (!IsPlacemarkLayer(layer))
                return nullptr;
            m_settings.placemarksLayer = kDefaultPlacemarksLayer;
            SetModifiedFlag();
        }
    }
    if (!layer)
        layer = CreatePlacemarksLayer();
    return IsPlacemarkLayer(layer) ? layer : nullptr;
}

CLayer* CDrelDoc::CreatePlacemarksLayer()
{
    std::string path = GetMapDirectory() + kPlacemarksFileBase + ".dbf";
    if (FileExists(path)) {
        std::string name;
        SuggestNewLayerNames(name, path, kPlacemarksFileBase);
        path = MakePathWithExtension(path, ".dbf");
    }
    CDbfTable table;
    const CDbfFieldInfo fields[] = {{"NAME", 'C', 30, 0},  {"DESCR", 'C', 100, 0}, {"LON", 'N', 13, 8},
                                    {"LAT", 'N', 13, 8},   {"SYMBOL", 'N', 8, 0},  {"", 0, 0, 0}};
    if (!table.Create(path, fields))
        return nullptr;
    table.Close();

    if (m_settings.placemarksLayer.empty())
        m_settings.placemarksLayer = kDefaultPlacemarksLayer;
    auto layer = std::make_unique<CLayer>(m_settings.placemarksLayer, path, CLayer::kPoint);
    layer->SetIdField("NAME");
    // Each symbol of the library is a class of the SYMBOL field; other values get symbol 0.
    if (CSublayer* sublayer = layer->GetSublayer(0)) {
        sublayer->m_kind = CSublayer::kClassified;
        sublayer->m_classField = "SYMBOL";
        sublayer->m_classes.SetKind(true, true);
        CSymbolLibrary& symbols = SymbolLibrary();
        for (int i = 0, count = symbols.GetSymbolCount(); i < count; ++i) {
            const int symbol = symbols.GetSymbolId(i);
            if (CThemeNumberClass* c = sublayer->m_classes.InsertNumberClass(sublayer->m_classes.GetCount(),
                                                                            CLayer::kPoint, symbol)) {
                CPointStyle style = c->m_style.Point();
                style.kind = CPointStyle::kLibrary;
                style.symbol = static_cast<uint16_t>(symbol);
                c->m_style = CStyleRecord(style);
            }
        }
        if (CThemeClass* other = sublayer->m_classes.AddClass(CLayer::kPoint)) {
            CPointStyle style = other->m_style.Point();
            style.kind = CPointStyle::kLibrary;
            style.symbol = 0;
            other->m_style = CStyleRecord(style);
        }
    }
    CLayer* added = layer.get();
    const int index = AddLayer(std::move(layer), false);
    UpdateAllViews(MakeHint(index, kHintLayerAdded));
    // The new layer is part of the map now: it must not be lost for want of a save.
    SetModifiedFlag();
    return added;
}

bool CDrelDoc::AddPlacemark(const CMapPoint& point)
{
    CLayer* layer = GetPlacemarksLayer();
    return layer && !layer->CheckReadOnly() && AppendPlacemark(*layer, point, true);
}

bool CDrelDoc::AddPlacemarkAt(const CMapPoint& point)
{
    CLayer* layer = GetPlacemarksLayer();
    return layer && !layer->CheckReadOnly() && AppendPlacemark(*layer, point, false);
}

bool CDrelDoc::AppendPlacemark(CLayer& layer, const CMapPoint& point, bool transform)
{
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    if (transform) {
        source.SetReadConverter(GetGeoToMapConverter());
        source.SetWriteConverter(GetMapToGeoConverter());
    }
    if (!AppendPlacemarkRecord(source, point))
        return false;
    const int record = source.GetCurrentRecord();
    if (!SearchDialogs().EditPlacemark(source.GetTable(), layer)) {
        // A cancelled placemark leaves nothing behind.
        source.DeleteRecord(record);
        return false;
    }
    source.GetTable().WriteRecord();
    reader.Close();
    UpdateAllViews(kHintRedraw);
    return true;
}

// ------------------------------------------------------------ saved places

void CDrelDoc::AddBookmark(const std::string& name, const CMapRect& extent)
{
    m_bookmarkNames.push_back(name);
    m_bookmarkExtents.push_back(extent);
}

bool CDrelDoc::FindBookmark(const std::string& name, CMapRect& extent) const
{
    auto it = std::find(m_bookmarkNames.begin(), m_bookmarkNames.end(), name);
    if (it == m_bookmarkNames.end())
        return false;
    extent = m_bookmarkExtents[static_cast<size_t>(it - m_bookmarkNames.begin())];
    return true;
}

bool CDrelDoc::DeleteBookmark(const std::string& name)
{
    auto it = std::find(m_bookmarkNames.begin(), m_bookmarkNames.end(), name);
    return DeleteBookmarkAt(static_cast<int>(it - m_bookmarkNames.begin()));
}

bool CDrelDoc::DeleteBookmarkAt(int index)
{
    if (index < 0 || index >= GetBookmarkCount())
        return false;
    m_bookmarkNames.erase(m_bookmarkNames.begin() + index);
    m_bookmarkExtents.erase(m_bookmarkExtents.begin() + index);
    return true;
}

void CDrelDoc::DeleteAllBookmarks()
{
    m_bookmarkNames.clear();
    m_bookmarkExtents.clear();
}

void CDrelDoc::FillBookmarkCombo()
{
    DocumentHost().FillPlacesBox(*this, m_bookmarkNames);
}

// ------------------------------------------------------------ coordinate system

void CDrelDoc::SetCoordSystem(int code)
{
    if (code == m_coordSystem)
        return;
    m_toMap.reset();
    m_toGeo.reset();
    m_coordSystem = code;
    if (code != 0) {
        m_toMap = CreateCoordConverter(kCoordGeographic, code);
        m_toGeo = CreateCoordConverter(code, kCoordGeographic);
    }
}

void CDrelDoc::GeoToMap(CMapPoint& point) const
{
    if (m_toMap)
        m_toMap->ConvertPoint(point);
}

void CDrelDoc::MapToGeo(CMapPoint& point) const
{
    if (m_toGeo)
        m_toGeo->ConvertPoint(point);
}

// ------------------------------------------------------------ measures

double CDrelDoc::UnitFactor() const
{
    switch (m_settings.mapUnits) {
    case kUnitsKilometres:
        return 1000;
    case kUnitsNauticalMiles:
        return 1853;
    default:
        return 1;
    }
}

void CDrelDoc::GetMetresPerUnit(double& x, double& y) const
{
    if (m_settings.mapUnits == kUnitsDegrees) {
        x = m_metresPerDegreeX;
        y = m_metresPerDegreeY;
    } else {
        x = y = UnitFactor();
    }
}

double CDrelDoc::GetDistanceKm(const CMapPoint& a, const CMapPoint& b) const
{
    if (m_settings.mapUnits == kUnitsDegrees)
        return GreatCircleDistanceKm(a.x, a.y, b.x, b.y);
    const double f = UnitFactor();
    return std::hypot((b.x - a.x) * f, (b.y - a.y) * f) * 0.001;
}

double CDrelDoc::GetShapeLengthKm(const CShape& shape) const
{
    const CMapPoint* points = shape.Points().GetData();
    const int count = shape.GetPointCount();
    double total = 0;
    int start = 0;
    for (int part = 0; part < shape.GetPartCount() && start < count; ++part) {
        // Part sizes may claim more points than there are.
        const int size = static_cast<int>(std::min<int64_t>(shape.PartSizes()[static_cast<size_t>(part)], count - start));
        if (m_settings.mapUnits == kUnitsDegrees) {
            for (int i = start + 1; i < start + size; ++i)
                total += GetDistanceKm(points[i - 1], points[i]);
        } else {
            total += PolylineLength(points + start, size) * UnitFactor() * 0.001;
        }
        start += size;
    }
    return total;
}

double CDrelDoc::GetShapeAreaKm2(const CShape& shape) const
{
    double x, y;
    GetMetresPerUnit(x, y);
    return shape.Area() * x * y * 1e-6;
}

double CDrelDoc::GetRingAreaKm2(const CMapPointArray& points) const
{
    if (points.GetSize() < 3)
        return 0;
    double x, y;
    GetMetresPerUnit(x, y);
    return PolygonArea(points.GetData(), points.GetSize()) * x * y * 1e-6;
}

double CDrelDoc::GetRingPerimeterKm(const CMapPointArray& points) const
{
    const int n = points.GetSize();
    if (n < 2)
        return 0;
    double total = 0;
    for (int i = 1; i < n; ++i)
        total += GetDistanceKm(points[i - 1], points[i]);
    if (n >= 3)
        total += GetDistanceKm(points[n - 1], points[0]);
    return total;
}

double CDrelDoc::GetAzimuth(const CMapPoint& a, const CMapPoint& b) const
{
    if (m_settings.mapUnits == kUnitsDegrees)
        return GeoAzimuthDegrees(a, b);
    const double f = UnitFactor();
    return VectorAngleDegrees((b.x - a.x) * f, (b.y - a.y) * f);
}

std::string CDrelDoc::FormatCoordinates(const CMapPoint& point) const
{
    if (m_settings.mapUnits == kUnitsMetres)
        return FormatC("(%4.2lf; %4.2lf)", point.x, point.y);
    if (m_settings.mapUnits != kUnitsDegrees)
        return FormatC("(%5.3lf; %5.3lf)", point.x, point.y);
    std::string lon, lat;
    point.FormatLonLat(lon, lat, 0);
    if (lon.empty() || lat.empty())
        return std::string();
    return lon + "  " + lat;
}

void CDrelDoc::ShowCoordinates(const CMapPoint& point) const
{
    DocumentHost().SetCoordinateText(FormatCoordinates(point));
}
