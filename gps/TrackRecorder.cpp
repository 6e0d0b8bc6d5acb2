#include "gps/TrackRecorder.h"

#include "core/CoordConverter.h"
#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/TrackFields.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "platform/Pen.h"
#include "platform/UserServices.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace {

constexpr int kNewTrackFile = 3043;
constexpr COLORREF kTrailColour = RGB(255, 0, 0);
constexpr int kTrailWidth = 20; // thousandths of an inch

int64_t MonotonicSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool HasUsablePosition(const GpsFix& fix)
{
    return fix.HasPosition() && std::isfinite(fix.longitude) && std::isfinite(fix.latitude);
}

// Set for the lifetime of the object.
class CFlagScope {
public:
    explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CFlagScope() { m_flag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

CTrackRecorder::CTrackRecorder() : m_clock(MonotonicSeconds) {}

const CTrackSettings& CTrackRecorder::Settings()
{
    if (!m_settingsLoaded) {
        m_settings.Load(CTrackSettings::ReadPath());
        m_settingsLoaded = true;
    }
    return m_settings;
}

bool CTrackRecorder::ApplySettings(const CTrackSettings& settings)
{
    const bool wasShown = Settings().showTrack;
    m_settings = settings;
    MakeMissingTrackFile();
    const size_t before = m_trail.size();
    if (m_settings.showTrack)
        FitTrail();
    else
        std::deque<CMapPoint>().swap(m_trail);
    m_settings.Save(CTrackSettings::WritePath());
    return wasShown != m_settings.showTrack || m_trail.size() != before;
}

void CTrackRecorder::MakeMissingTrackFile()
{
    const std::string path = m_settings.TrackFilePath();
    if (m_settings.saveTrack && !PathExists(path))
        InitTrackLayerFile(path);
}

void CTrackRecorder::FitTrail()
{
    const auto length = static_cast<size_t>(m_settings.TrailLength());
    while (m_trail.size() > length)
        m_trail.pop_front();
}

void CTrackRecorder::AddToTrail(const CMapPoint& position)
{
    if (!m_trail.empty() && m_trail.back() == position)
        return;
    const auto length = static_cast<size_t>(m_settings.TrailLength());
    while (!m_trail.empty() && m_trail.size() >= length)
        m_trail.pop_front();
    m_trail.push_back(position);
}

void CTrackRecorder::RecordTrackFix(const GpsFix& fix)
{
    if (!m_fixSeen) {
        // The first fix makes the file quietly; a file gone later is told of.
        m_fixSeen = true;
        Settings();
        MakeMissingTrackFile();
    }
    if (!HasUsablePosition(fix))
        return;
    if (m_settings.showTrack)
        AddToTrail(CMapPoint(fix.longitude, fix.latitude));

    if (!m_settings.saveTrack || m_replayRunning || (m_settings.skipInvalidData && !fix.valid) || m_saving ||
        fix.time == kNoFixTime)
        return;
    const int64_t now = m_clock();
    if (!IsDueForSaving(fix, now))
        return;
    CFlagScope saving(m_saving);
    if (!SaveFix(fix))
        return;
    m_hasLastSaved = true;
    m_lastSavedTime = now;
    m_lastSavedPosition = CMapPoint(fix.longitude, fix.latitude);
}

bool CTrackRecorder::IsDueForSaving(const GpsFix& fix, int64_t now) const
{
    if (!m_hasLastSaved)
        return true;
    const int period = m_settings.PeriodSeconds();
    if (period > 0 && m_lastSavedTime + period > now)
        return false;
    const int distance = m_settings.DistanceMetres();
    return distance <= 0 || GreatCircleDistanceKm(m_lastSavedPosition.x, m_lastSavedPosition.y, fix.longitude,
                                                  fix.latitude) >= distance * 0.001;
}

bool CTrackRecorder::SaveFix(const GpsFix& fix)
{
    const std::string path = m_settings.TrackFilePath();
    CDbfTable table;
    if (!table.Open(path)) {
        if (!InitTrackLayerFile(path))
            return false;
        AppMessageBox(kNewTrackFile, MB_OK | MB_ICONINFORMATION);
        if (!table.Open(path))
            return false;
    }
    const auto field = [&table](int which) { return table.FindField(kTrackFieldNames[which]); };
    const long id = table.GetRecordCount() + 1L;
    table.AppendBlank();
    table.SetLongitude(field(kTrackLon), fix.longitude);
    table.SetLatitude(field(kTrackLat), fix.latitude);
    table.SetField(field(kTrackStatus), fix.valid ? "OK" : "NOK");
    table.SetFieldDouble(field(kTrackSpeed), fix.speed);
    table.SetFieldDouble(field(kTrackCourse), fix.course);
    table.SetField(field(kTrackDate), FormatFixTime(fix.time, "%Y.%m.%d"));
    table.SetField(field(kTrackTime), FormatFixTime(fix.time, "%H:%M:%S"));
    table.SetFieldLong(field(kTrackId), id);
    table.SetFieldLong(field(kTrackSatellites), fix.satellites);
    return table.WriteRecord();
}

void CTrackRecorder::RebuildTrail(std::span<const GpsFix> fixes, int n)
{
    if (!Settings().showTrack)
        return;
    m_trail.clear();
    n = std::min(n, static_cast<int>(fixes.size()));
    // Back from the last fix as far as the trail's length of distinct
    // positions reaches; then forward through them.
    const int length = m_settings.TrailLength();
    int first = n;
    int distinct = 0;
    const GpsFix* later = nullptr;
    for (int i = n - 1; i >= 0; --i) {
        const GpsFix& fix = fixes[static_cast<size_t>(i)];
        if (!HasUsablePosition(fix))
            continue;
        if (!later || later->longitude != fix.longitude || later->latitude != fix.latitude) {
            if (++distinct > length)
                break;
            later = &fix;
        }
        first = i;
    }
    for (int i = first; i < n; ++i)
        if (const GpsFix& fix = fixes[static_cast<size_t>(i)]; HasUsablePosition(fix))
            AddToTrail(CMapPoint(fix.longitude, fix.latitude));
}

void CTrackRecorder::DrawRecentTrack(CDC& dc, CDrelView& view) const
{
    if (m_trail.size() < 2)
        return;
    std::vector<CMapPoint> points(m_trail.begin(), m_trail.end());
    for (CMapPoint& point : points)
        view.GetDocument().GeoToMap(point);
    const std::vector<CPoint>& device = view.ShapeToDevicePoints(points.data(), static_cast<int>(points.size()));
    const CPen old = dc.SelectObject(CPen(PS_SOLID, kTrailWidth, kTrailColour));
    const COLORREF background = dc.SetBkColor(RGB(255, 255, 255));
    dc.Polyline(device.data(), static_cast<int>(device.size()));
    dc.SetBkColor(background);
    dc.SelectObject(old);
}

std::string CTrackRecorder::GetTrackFileName()
{
    const std::string path = Settings().TrackFilePath();
    if (!PathExists(path))
        InitTrackLayerFile(path);
    return path;
}

bool CTrackRecorder::TrackFileHasRecords()
{
    const std::string path = Settings().TrackFilePath();
    if (!PathExists(path))
        return false;
    const std::unique_ptr<DbfHandle> table = DbfOpen(path);
    return table && table->RecordCount() > 0;
}

bool CTrackRecorder::CopyTrackFile(const std::string& path)
{
    CDbfTable table;
    return table.Open(Settings().TrackFilePath()) && table.SaveAs(path, false, true);
}

bool CTrackRecorder::ClearTrackFile(const std::string& path)
{
    CDbfTable table;
    if (!table.Open(path.empty() ? Settings().TrackFilePath() : path))
        return false;
    return table.GetHandle() && DbfZap(*table.GetHandle());
}

bool CTrackRecorder::InitTrackLayerFile(const std::string& path)
{
    const std::string folder = GetPathFolder(path);
    if (folder != path && !PathExists(folder) && !MakeFolders(folder))
        return false;
    return CreateTrackFile(path);
}
