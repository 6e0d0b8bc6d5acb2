#include "gps/VehicleMarker.h"

#include "core/MapPoint.h"
#include "gps/SerialPort.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Pen.h"
#include "platform/NumberText.h"
#include "render/SymbolLibrary.h"
#include "shell/BestMapChoice.h"
#include "shell/MainFrameCore.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr COLORREF kArrowColour = RGB(255, 0, 0);
// The arrowhead in pixels: the tip along the course, the other corners
// 20 degrees to either side, nearer the point.
constexpr int kTipDistance = 19;
constexpr int kCornerDistance = 13;
constexpr int kCornerAngle = 20;

constexpr double kKnotsPerKmh = 0.5399568034557235;
// The sentence's minutes have four decimals.
constexpr double kMinuteSteps = 10000;

// Whole degrees and minutes of an absolute coordinate, the minutes rounded
// as printed before the degrees are taken, so 54.99999999 gives 55 00.0000.
void SplitDegrees(double value, double& degrees, double& minutes)
{
    degrees = std::floor(value);
    minutes = std::round((value - degrees) * 60 * kMinuteSteps) / kMinuteSteps;
    if (minutes >= 60) {
        degrees += 1;
        minutes -= 60;
    }
}

void RepaintMapViews()
{
    if (const CMainFrameCore* core = GetMainFrameCore())
        core->InvalidateMapViews();
}

double PixelToLogical(int window, int viewport)
{
    return viewport != 0 ? std::abs(static_cast<double>(window) / viewport) : 1.0;
}

} // namespace

void DrawVehicleMarker(CDC& dc, CDrelView& view, double longitude, double latitude, double course, int lost)
{
    if (longitude == DBL_MAX || latitude == DBL_MAX)
        return;
    CMapPoint position(longitude, latitude);
    if (!position.IsFinite())
        return;
    view.GetDocument().GeoToMap(position);
    if (!position.IsFinite() || !view.IsPointInExtent(position))
        return;
    const CPoint at = view.MapToDevice(position);
    if (course < 0 || lost) {
        SymbolLibrary().DrawSymbol(dc, at.x, at.y, lost ? kSymbolGpsLost : kSymbolVehicleNoCourse);
        return;
    }

    const double scaleX = PixelToLogical(dc.GetWindowExt().cx, dc.GetViewportExt().cx);
    const double scaleY = PixelToLogical(dc.GetWindowExt().cy, dc.GetViewportExt().cy);
    // Whole degrees, as the course was always taken; a course past any
    // sense is no direction worth an arrow.
    const double degrees = std::fmod(course, 360.0);
    if (!std::isfinite(degrees)) {
        SymbolLibrary().DrawSymbol(dc, at.x, at.y, kSymbolVehicleNoCourse);
        return;
    }
    const int whole = static_cast<int>(degrees);
    const auto corner = [&](int angle, int distance) {
        const double radians = angle * std::numbers::pi / 180;
        return CPoint(at.x + static_cast<int>(std::lround(std::sin(radians) * distance * scaleX)),
                      at.y + static_cast<int>(std::lround(-std::cos(radians) * distance * scaleY)));
    };
    const CPoint arrow[3] = {corner(whole, kTipDistance), corner(whole - kCornerAngle, kCornerDistance),
                             corner(whole + kCornerAngle, kCornerDistance)};
    const CPen oldPen = dc.SelectObject(CPen(PS_SOLID, 1, kArrowColour));
    const CBrush oldBrush = dc.SelectObject(CBrush(kArrowColour));
    dc.Polygon(arrow, 3);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    SymbolLibrary().DrawSymbol(dc, at.x, at.y, kSymbolVehicleCentre);
}

void CVehicleMarker::Show(double longitude, double latitude, double course, int follow)
{
    m_longitude = longitude;
    m_latitude = latitude;
    m_course = course;
    if ((follow & 0xFFFF) != 0) {
        BestMapService().ShowPositionInActiveMap(longitude, latitude, true, false, false);
        RepaintMapViews();
    } else {
        BestMapService().ShowPointInBestView(CMapPoint(longitude, latitude), 2, true);
    }
}

void CVehicleMarker::Hide()
{
    if (!IsSet())
        return;
    m_longitude = DBL_MAX;
    m_latitude = DBL_MAX;
    RepaintMapViews();
}

void CVehicleMarker::Draw(CDC& dc, CDrelView& view) const
{
    DrawVehicleMarker(dc, view, m_longitude, m_latitude, m_course, 0);
}

std::string CVehicleMarker::RmcSentence() const
{
    if (!IsSet() || m_latitude == DBL_MAX)
        return {};
    double latDegrees, latMinutes, lonDegrees, lonMinutes;
    SplitDegrees(std::fabs(m_latitude), latDegrees, latMinutes);
    SplitDegrees(std::fabs(m_longitude), lonDegrees, lonMinutes);
    return FormatC("$GPRMC,%02d%02d%02d,%c,%02.0lf%07.4lf,%c,%03.0lf%07.4lf,%c,%3.1lf,%3.1lf,%02d%02d%02d,0.0,E\r\n",
                   m_time.hour, m_time.minute, m_time.second, 'A', latDegrees, latMinutes,
                   m_latitude >= 0 ? 'N' : 'S', lonDegrees, lonMinutes, m_longitude >= 0 ? 'E' : 'W',
                   m_speed * kKnotsPerKmh, m_course >= 0 ? m_course : 0.0, m_time.day, m_time.month,
                   m_time.year - 2000);
}

void CVehicleMarker::SendRmcSentence(CSerialPort& port) const
{
    if (!port.IsOpen() || !IsSet())
        return;
    port.Write(RmcSentence());
}
