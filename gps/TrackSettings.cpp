#include "gps/TrackSettings.h"

#include "core/FileUtil.h"
#include "platform/AppFolders.h"
#include "platform/IniFile.h"

#include <algorithm>

namespace {

constexpr int kPeriods[CTrackSettings::kPeriodCount] = {0, 2, 5, 10, 30, 60, 300, 600};
constexpr int kDistances[CTrackSettings::kDistanceCount] = {0, 5, 10, 20, 50, 100, 500, 1000};
constexpr int kTrailLengths[CTrackSettings::kTrailLengthCount] = {5, 10, 50, 100, 1000, 10000};
// "TrackFileName" is read as into a buffer of MAX_PATH characters.
constexpr size_t kPathCap = 261;

int IndexOrDefault(int index, int count, int defaultIndex)
{
    return index >= 0 && index < count ? index : defaultIndex;
}

// Relative to the user folder when it lies inside it (with backslashes,
// as the default is written), else as it is.
std::string StoredTrackPath(const std::string& path)
{
    const std::string folder = GetUserFolder();
    if (path.size() <= folder.size() || !EqualPathsNoCase(std::string_view(path).substr(0, folder.size()), folder))
        return path;
    std::string relative = path.substr(folder.size());
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return relative;
}

} // namespace

const char* const kTrackPeriodTexts[CTrackSettings::kPeriodCount] = {
    "Nėra", "2 sekundės", "5 sekundės", "10 sekundžių", "30 sekundžių", "1 minutė", "5 minutės", "10 minučių"};
const char* const kTrackDistanceTexts[CTrackSettings::kDistanceCount] = {"Nėra",  "5 m",   "10 m",  "20 m",
                                                                          "50 m",  "100 m", "500 m", "1000 m"};
const char* const kTrackLengthTexts[CTrackSettings::kTrailLengthCount] = {"5", "10", "50", "100", "1000", "10000"};

int CTrackSettings::PeriodSeconds() const
{
    return kPeriods[IndexOrDefault(minPeriod, kPeriodCount, 0)];
}

int CTrackSettings::DistanceMetres() const
{
    return kDistances[IndexOrDefault(minDistance, kDistanceCount, 0)];
}

int CTrackSettings::TrailLength() const
{
    return kTrailLengths[IndexOrDefault(maxPoints, kTrailLengthCount, kDefaultMaxPoints)];
}

std::string CTrackSettings::TrackFilePath() const
{
    std::string path =
        MakeAbsolutePath(trackFileName.empty() ? std::string(kDefaultTrackFile) : trackFileName, GetUserFolder());
    // A folder of this system's own is shown with its own separators.
    if (!path.empty() && path[0] == '/')
        std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

void CTrackSettings::Load(const std::string& iniPath)
{
    CIniFile ini(iniPath);
    ini.Load();
    const CTrackSettings defaults;
    saveTrack = ini.GetInt(kSection, "SaveTrack", defaults.saveTrack) != 0;
    trackFileName = ini.GetString(kSection, "TrackFileName", {}, kPathCap);
    if (!trackFileName.empty())
        trackFileName = MakeAbsolutePath(trackFileName, GetUserFolder());
    minPeriod = IndexOrDefault(ini.GetInt(kSection, "MinPeriod", defaults.minPeriod), kPeriodCount, defaults.minPeriod);
    minDistance =
        IndexOrDefault(ini.GetInt(kSection, "MinDistance", defaults.minDistance), kDistanceCount, defaults.minDistance);
    skipInvalidData = ini.GetInt(kSection, "SkipInvalidData", defaults.skipInvalidData) != 0;
    showTrack = ini.GetInt(kSection, "ShowTrack", defaults.showTrack) != 0;
    maxPoints =
        IndexOrDefault(ini.GetInt(kSection, "MaxPoints", defaults.maxPoints), kTrailLengthCount, defaults.maxPoints);
}

bool CTrackSettings::Save(const std::string& iniPath) const
{
    CIniFile ini(iniPath);
    ini.Load();
    ini.SetInt(kSection, "SaveTrack", saveTrack ? 1 : 0);
    ini.SetString(kSection, "TrackFileName", StoredTrackPath(TrackFilePath()));
    ini.SetInt(kSection, "MinPeriod", minPeriod);
    ini.SetInt(kSection, "MinDistance", minDistance);
    ini.SetInt(kSection, "SkipInvalidData", skipInvalidData ? 1 : 0);
    ini.SetInt(kSection, "ShowTrack", showTrack ? 1 : 0);
    ini.SetInt(kSection, "MaxPoints", maxPoints);
    return ini.Save();
}

std::string CTrackSettings::ReadPath()
{
    return FindProgramFile(kIniName);
}

std::string CTrackSettings::WritePath()
{
    return WritableProgramFile(kIniName);
}
