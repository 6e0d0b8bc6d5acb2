#include "geoproc/TrackArchive.h"

#include "core/DateSerial.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/ResultFiles.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/UserServices.h"

#include <cmath>
#include <vector>

namespace {

bool DayOf(double date, CCalendarDate& day)
{
    return std::isfinite(date) && std::fabs(date) < 4e6 && SerialToDate(static_cast<int>(std::floor(date)), day);
}

// The folder made when it is not there; false after the system's error.
bool MakeArchiveFolder(const std::string& folder)
{
    if (IsFolder(folder) || MakeFolder(folder))
        return true;
    ShowLastError();
    return false;
}

// Every live record of the table appended to the target, by field names.
bool AppendRecords(CDbfTable& target, CDbfTable& source, const std::vector<int>& records)
{
    for (const int n : records) {
        if (!source.GoToRecord(n))
            return false;
        target.AppendBlank();
        target.CopyRecordFrom(source);
        if (!target.WriteRecord())
            return false;
    }
    return true;
}

// The archive table whole: what the old one holds, then the records.
bool WriteArchive(const std::string& path, CDbfTable& track, const std::vector<int>& records)
{
    CResultFiles files(path);
    if (!files.Reserve())
        return false;
    {
        CDbfTable archive;
        const std::vector<CDbfFieldInfo> fields = track.GetFieldInfos();
        if (!archive.Create(files.GetWritePath(), fields.data()))
            return false;
        if (FileExists(path)) {
            CDbfTable old;
            if (!old.Open(path))
                return false;
            std::vector<int> kept;
            for (old.SetPosition(0); old.NextRecord();)
                kept.push_back(old.GetCurrentRecord());
            if (!AppendRecords(archive, old, kept))
                return false;
        }
        if (!AppendRecords(archive, track, records))
            return false;
    }
    return files.Commit();
}

} // namespace

std::string TrackArchiveFilter(double date)
{
    CCalendarDate day;
    if (!DayOf(date, day))
        return {};
    return FormatC("(Date < \"%04d.%02d.%02d\")", day.year, day.month, day.day);
}

std::string TrackArchivePath(const std::string& trackPath, double date)
{
    CCalendarDate day;
    if (!DayOf(date, day))
        return {};
    std::string folder = GetPathFolder(trackPath);
    const char separator = !folder.empty() && IsPathSeparator(folder.back()) ? folder.back() : '\\';
    return folder + "Archive" + separator + FormatC("%04d%02d%02d", day.year, day.month, day.day) + separator +
           GetPathFileName(trackPath);
}

int ArchiveOldTrackData(CLayer& layer, double date)
{
    const std::string filter = TrackArchiveFilter(date);
    if (layer.GetType() != CLayer::kTrack || layer.HasFlag(CLayer::kGroup) || filter.empty())
        return 0;
    // The track file itself: the layer's filter and its newest-record mode
    // would hide records the date takes.
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& track = source.GetTable();
    // A table cut short (told as it opened) could not lose the records.
    if (track.IsDamaged() || !track.SetFilter(filter))
        return 0;
    std::vector<int> records;
    for (track.SetPosition(0); track.NextRecord();)
        records.push_back(track.GetCurrentRecord());
    if (records.empty())
        return 2;

    const std::string path = TrackArchivePath(layer.GetPath(), date);
    const std::string dateFolder = GetPathFolder(path);
    const std::string archiveFolder = GetPathFolder(dateFolder.substr(0, dateFolder.size() - 1));
    if (!MakeArchiveFolder(archiveFolder.substr(0, archiveFolder.size() - 1)) ||
        !MakeArchiveFolder(dateFolder.substr(0, dateFolder.size() - 1)))
        return 0;
    if (!WriteArchive(path, track, records))
        return 0;
    for (const int n : records)
        if (!track.DeleteRecordAt(n))
            return 0;
    track.SetFilter({});
    return source.Pack() ? 1 : 0;
}
