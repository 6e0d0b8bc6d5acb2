#include "gps/TripStatistics.h"

#include "core/CoordConverter.h"
#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "gps/GpsFix.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/NumberText.h"

#include <cmath>

void CTripStatistics::AddPoint(double longitude, double latitude, int64_t time, double speed)
{
    if (m_count > 0 && time >= m_lastTime) {
        int64_t dt = time - m_lastTime;
        double d = GreatCircleDistanceKm(m_lastLongitude, m_lastLatitude, longitude, latitude);
        const bool moving = speed > kMovingSpeed || (d > kMovingDistance && dt < kShortStop);
        if (!m_moving && moving && m_pendingSeconds < kShortStop) {
            // The short stop was none: its time was moving time, and the
            // ground from where it began is counted once, to here.
            dt += m_pendingSeconds;
            m_standingTime -= m_pendingSeconds;
            m_totalDistance -= m_pendingDistance;
            d = GreatCircleDistanceKm(m_anchorLongitude, m_anchorLatitude, longitude, latitude);
        }
        if (moving) {
            m_movingTime += dt;
            m_movingDistance += d;
            m_pendingSeconds = 0;
            m_pendingDistance = 0;
        } else {
            m_standingTime += dt;
            m_pendingSeconds += dt;
            if (m_moving) {
                m_anchorLongitude = longitude;
                m_anchorLatitude = latitude;
                m_pendingDistance = 0;
            } else {
                m_pendingDistance += d;
            }
        }
        m_totalDistance += d;
        m_moving = moving;
    }
    if (speed > m_maxSpeed)
        m_maxSpeed = speed;
    m_lastLongitude = longitude;
    m_lastLatitude = latitude;
    m_lastTime = time;
    ++m_count;
}

double CTripStatistics::GetOverallAverage() const
{
    const int64_t total = GetTotalTime();
    return total > 0 ? m_totalDistance * 3600 / static_cast<double>(total) : 0;
}

double CTripStatistics::GetMovingAverage() const
{
    return m_movingTime > 0 ? m_movingDistance * 3600 / static_cast<double>(m_movingTime) : 0;
}

std::string FormatTripTime(int64_t seconds)
{
    return FormatC("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                   static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}

CTripSummaryTexts FormatTripSummary(const CTripStatistics& trip)
{
    return {FormatC("%d", trip.GetPointCount()),
            FormatC("%4.2f km", trip.GetTotalDistance()),
            FormatTripTime(trip.GetTotalTime()),
            FormatTripTime(trip.GetMovingTime()),
            FormatTripTime(trip.GetStandingTime()),
            FormatC("%3.1f km/h", trip.GetOverallAverage()),
            FormatC("%3.1f km/h", trip.GetMovingAverage()),
            FormatC("%3.1f km/h", trip.GetMaxSpeed())};
}

bool ComputeTrackStatistics(const CLayer& layer, CTripStatistics& trip)
{
    if (layer.GetType() != CLayer::kTrack)
        return false;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return false;
    CFeatureSource& source = *reader.GetSource();
    const int speedField = source.GetTable().FindField("SPEED");
    const int dateField = source.GetTable().FindField("DATE");
    const int timeField = source.GetTable().FindField("TIME");
    if (speedField < 0 || dateField < 0 || timeField < 0)
        return false;
    trip.Reset();
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        const CDbfTable* table = source.GetRecordTable(source.GetCurrentRecord());
        // A position that is no number would make every figure none.
        if (!point.IsFinite() || !table || !table->GetHandle())
            continue;
        const DbfHandle& record = *table->GetHandle();
        const double speed = DbfGetDouble(record, speedField);
        trip.AddPoint(point.x, point.y,
                      ReadTrackTime(DbfGetString(record, dateField), DbfGetString(record, timeField)),
                      std::isfinite(speed) ? speed : 0);
    }
    return true;
}
