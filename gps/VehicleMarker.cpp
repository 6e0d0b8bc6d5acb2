#include "gps/VehicleMarker.h"

#include "core/MapPoint.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Pen.h"
#include "render/SymbolLibrary.h"

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
