#include "layers/Layer.h"

#include "core/FileUtil.h"
#include "layers/FeatureSource.h"
#include "layers/GridFile.h"
#include "layers/LayerReader.h"
#include "layers/RasterExtentReader.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <string>
#include <string_view>

namespace {

constexpr int kPackFailed = 1041;
constexpr int kCannotPack = 1042;
constexpr int kDeleteFailed = 1114;
constexpr int kAskPack = 2007;
constexpr int kAskRemoveEmpty = 2020;
constexpr int kPackDone = 3011;
constexpr int kFilesRemoved = 3052;

// A three-letter extension has at most this many spellings by letter case.
constexpr int kCaseVariants = 8;

bool IsUnbounded(const CMapRect& extent)
{
    return extent == CLayer::kUnboundedExtent;
}

bool AskYesNoArg(int stringId, const std::string& arg)
{
    return AppMessageBoxArg(stringId, arg, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Removes the file beside the data file with that extension, in every
// letter case there is; message 1114 when asked for and none could be
// removed (a missing file included).
void DeleteSibling(const std::string& path, std::string_view extension, bool report)
{
    const std::string first = FindSiblingByExtension(path, extension);
    if (!RemoveFile(first)) {
        if (report)
            AppMessageBoxArg(kDeleteFailed, first);
        return;
    }
    for (int i = 0; i < kCaseVariants; ++i) {
        const std::string other = FindSiblingByExtension(path, extension);
        if (!PathExists(other) || !RemoveFile(other))
            break;
    }
}

} // namespace

CLayer::COneFileScope::COneFileScope(CLayer& layer)
    : m_layer(layer), m_path(layer.GetPath()), m_flags(layer.GetFlags())
{
    layer.SetFlag(kManyFiles, false);
}

CLayer::COneFileScope::~COneFileScope()
{
    m_layer.SetPath(m_path);
    m_layer.SetFlags(m_flags);
}

bool CLayer::GetExtent(CMapRect& extent)
{
    extent = kUnboundedExtent;
    if (m_flags & kGroup)
        return false;
    if (m_flags & kManyFiles) {
        CWaitCursor wait;
        CMapRect result = kUnboundedExtent;
        bool any = false;
        COneFileScope scope(*this);
        for (const CLayerFileEntry& entry : m_files) {
            CMapRect own = entry.extent;
            if (IsUnbounded(own)) {
                scope.SetFile(entry.path);
                if (!GetExtent(own))
                    return false;
            }
            if (IsUnbounded(own) || !own.IsValid())
                continue;
            if (any)
                result.UnionRect(result, own);
            else
                result = own;
            any = true;
        }
        extent = result;
        return true;
    }
    // What the file says while it opens is told once, as its drawing
    // tells it, not at every extent asked for.
    CHeldMessages held;
    bool opened = false;
    const bool read = ReadFileExtent(extent, opened);
    held.Release();
    if ((opened || !held.Messages().empty()) && ShouldReportOpenProblem(m_path, !held.Messages().empty()))
        held.Show();
    return read;
}

bool CLayer::ReadFileExtent(CMapRect& extent, bool& opened) const
{
    switch (m_type) {
    case kPoint:
    case kLine:
    case kArea: {
        CLayerReader reader;
        opened = reader.Open(m_path);
        return opened && reader.GetSource()->GetExtent(extent);
    }
    case kRaster:
        opened = ReadRasterExtent(m_path, extent);
        return opened;
    case kElevation: {
        CGridFile grid;
        opened = grid.Open(m_path);
        return opened && grid.GetBounds(extent);
    }
    default:
        return false;
    }
}

bool CLayer::CreateDataFiles() const
{
    CLayerReader reader;
    return reader.Create(m_path, m_type);
}

std::string CLayer::GetDataFolder() const
{
    return GetPathFolder(m_path);
}

bool CLayer::Pack()
{
    if (!(m_flags & kObjectsEditable)) {
        AppMessageBox(kCannotPack);
        return false;
    }
    const bool pack = AskYesNoArg(kAskPack, m_name);
    if (!(m_flags & kManyFiles)) {
        if (!pack)
            return false;
        bool packed = false;
        {
            CWaitCursor wait;
            CLayerReader reader;
            if (reader.Open(m_path)) {
                CFeatureSource& source = *reader.GetSource();
                CMapRect extent;
                if (source.GetExtent(extent) && extent.IsValid())
                    m_extent = extent;
                packed = source.Pack();
            }
        }
        AppMessageBox(packed ? kPackDone : kPackFailed);
        return packed;
    }

    const bool remove = AppMessageBox(kAskRemoveEmpty, MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (!pack && !remove)
        return false;
    int removed = 0;
    bool failed = false;
    {
        CWaitCursor wait;
        COneFileScope scope(*this);
        for (int i = GetFileCount() - 1; i >= 0; --i) {
            scope.SetFile(m_files[static_cast<size_t>(i)].path);
            CLayerReader reader;
            CMapRect extent;
            // A file that cannot be read is left alone: nothing says it is empty.
            if (!reader.Open(m_path) || !reader.GetSource()->GetExtent(extent))
                continue;
            if (extent.IsValid()) {
                m_files[static_cast<size_t>(i)].extent = extent;
                if (pack && !reader.GetSource()->Pack()) {
                    AppMessageBox(kPackFailed);
                    failed = true;
                    break;
                }
            } else if (remove && reader.GetSource()->GetTable().GetRecordCount() == 0) {
                // A header that lost its extent is no proof the file holds nothing.
                reader.Close();
                if (DeleteFiles()) {
                    m_files.erase(m_files.begin() + i);
                    ++removed;
                }
            }
        }
    }
    if (remove) {
        std::string text = LoadString(kFilesRemoved);
        if (const size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(removed));
        AppMessageBox(text, MB_OK | MB_ICONINFORMATION, kFilesRemoved);
    }
    // Only packing that was asked for is reported as done.
    if (pack && !failed)
        AppMessageBox(kPackDone);
    return true;
}

bool CLayer::DeleteFiles()
{
    if (m_flags & kManyFiles) {
        {
            COneFileScope scope(*this);
            for (const CLayerFileEntry& entry : m_files) {
                scope.SetFile(entry.path);
                DeleteFiles();
            }
        }
        m_files.clear();
        return true;
    }
    if (!IsVectorType(m_type) && m_type != kRaster && m_type != kElevation)
        return false;
    if (!RemoveFile(m_path)) {
        AppMessageBoxArg(kDeleteFailed, m_path);
        return false;
    }
    // The files of a table's layer that are worth a message when they stay.
    const char* reported[2] = {};
    bool table = m_type == kTrack;
    if (m_type == kPoint || m_type == kLine || m_type == kArea) {
        if (EndsWithNoCase1257(m_path, "gdb")) {
            reported[0] = "vec";
            reported[1] = "dbf";
        } else if (EndsWithNoCase1257(m_path, "shp")) {
            reported[0] = "shx";
            reported[1] = "dbf";
        }
        table = reported[0] || EndsWithNoCase1257(m_path, "dbf");
    }
    for (const char* extension : reported)
        if (extension)
            DeleteSibling(m_path, extension, true);
    // Neither the memo file nor the index may outlive the table.
    if (table) {
        DeleteSibling(m_path, "fpt", false);
        DeleteSibling(m_path, "spx", false);
    }
    return true;
}
