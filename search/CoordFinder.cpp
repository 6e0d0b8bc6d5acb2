#include "search/CoordFinder.h"

#include "core/CoordConverter.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"
#include "search/FindState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kOutsideLimits = 2028;

bool IsUsableGeographic(const CMapPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= 180 && std::fabs(p.y) <= 90;
}

bool IsUsablePlanar(const CMapPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= CCoordFinder::kPlanarLimit &&
           std::fabs(p.y) <= CCoordFinder::kPlanarLimit;
}

bool Convert(CMapPoint& point, int from, int to)
{
    if (from != to) {
        const std::unique_ptr<CCoordConverter> converter = CreateCoordConverter(from, to);
        if (!converter)
            return false;
        converter->ConvertPoint(point);
    }
    return std::isfinite(point.x) && std::isfinite(point.y);
}

} // namespace

CCoordFinder::CCoordFinder(const CDrelDoc& document)
    : m_document(document), m_geographicMap(document.Settings().mapUnits == kUnitsDegrees)
{
    const auto add = [this](const char* utf8, int form, int system = kMapSystem) {
        m_formats.push_back({Utf8ToCp1257(utf8), form, system});
    };
    add("Ilguma/Platuma (DD°MM'SS.S\")", kDegMinSec);
    add("Ilguma/Platuma (DD°MM.MMMM')", kDegMin);
    add("Ilguma/Platuma (DD.DDDDDD°)", kDecimal);
    if (m_geographicMap) {
        add("LKS94 (metrai)", kPlanar, kCoordTm);
        add("UTM (metrai)", kPlanar, kCoordUtm);
        add("Latvisjo LKS-92 (metrai)", kPlanar, kCoordTm96);
    } else {
        add("Žemėlapio koordinatės (metrai)", kPlanar, kMapSystem);
    }
    add("Šiaulių vietinė (metrai)", kPlanar, kCoordLocal);
}

bool CCoordFinder::IsPlanar(int format) const
{
    return format >= 0 && format < static_cast<int>(m_formats.size()) &&
           m_formats[static_cast<size_t>(format)].form == kPlanar;
}

void CCoordFinder::Start(const CMapRect& viewExtent)
{
    const CFindState& last = FindState();
    int format = last.lastCoordFormat;
    if (!m_geographicMap && format > 3)
        format = 3;
    m_format = std::clamp(format, 0, static_cast<int>(m_formats.size()) - 1);
    m_geographic = CMapPoint(last.lastLongitude, last.lastLatitude);
    m_planar = CMapPoint(last.lastX, last.lastY);
    const bool nothingShown = m_planar.x == 0 && m_planar.y == 0 && m_geographic.x == 0 && m_geographic.y == 0;
    if (nothingShown && viewExtent.IsValid()) {
        const CMapPoint centre = viewExtent.Center();
        if (m_geographicMap) {
            m_geographic = centre;
        } else {
            m_format = 3;
            m_planar = CMapPoint(std::round(centre.x), std::round(centre.y));
        }
    }
    m_typedPlanar = IsPlanar(m_format);
    m_planarFormat = m_typedPlanar ? m_format : -1;
    ShowSource();
}

void CCoordFinder::SetGeographic(const CMapPoint& point)
{
    m_geographic = point;
    m_typedPlanar = false;
}

void CCoordFinder::SetPlanar(const CMapPoint& point)
{
    if (!IsPlanar(m_format))
        return;
    m_planar = m_shownPlanar = point;
    m_planarFormat = m_format;
    m_typedPlanar = true;
}

void CCoordFinder::SelectFormat(int format)
{
    if (format < 0 || format >= static_cast<int>(m_formats.size()))
        return;
    m_format = format;
    ShowSource();
}

// The current format's values from those typed last.
void CCoordFinder::ShowSource()
{
    CMapPoint point = m_typedPlanar ? m_planar : m_geographic;
    if (!IsPlanar(m_format)) {
        if (m_typedPlanar && ToGeographic(point, m_planarFormat) && IsUsableGeographic(point))
            m_geographic = point;
        return;
    }
    const bool carried = m_typedPlanar ? ToPlanar(point, m_planarFormat, m_format) : FromGeographic(point, m_format);
    m_shownPlanar = carried ? point : CMapPoint();
}

// The system of a format; the map's own coordinates are those of the
// map's system when it has one.
int CCoordFinder::SystemOf(int format) const
{
    const int system = m_formats[static_cast<size_t>(format)].system;
    if (system == kMapSystem && m_document.GetCoordSystem() != kCoordGeographic)
        return m_document.GetCoordSystem();
    return system;
}

bool CCoordFinder::ToGeographic(CMapPoint& point, int format) const
{
    const int system = SystemOf(format);
    if (system != kMapSystem)
        return Convert(point, system, kCoordGeographic);
    m_document.MapToGeo(point);
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool CCoordFinder::FromGeographic(CMapPoint& point, int format) const
{
    const int system = SystemOf(format);
    if (system != kMapSystem)
        return Convert(point, kCoordGeographic, system);
    m_document.GeoToMap(point);
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool CCoordFinder::ToPlanar(CMapPoint& point, int from, int to) const
{
    const int fromSystem = SystemOf(from);
    const int toSystem = SystemOf(to);
    if (fromSystem != kMapSystem && toSystem != kMapSystem)
        return Convert(point, fromSystem, toSystem);
    if (fromSystem == toSystem)
        return true;
    return ToGeographic(point, from) && FromGeographic(point, to);
}

int CCoordFinder::MapFormat() const
{
    for (size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i].form == kPlanar && m_formats[i].system == kMapSystem)
            return static_cast<int>(i);
    return -1;
}

bool CCoordFinder::TakeMapPoint(CMapPoint& point)
{
    CFindState& last = FindState();
    last.lastPage = CFindState::kCoordPage;
    last.lastCoordFormat = m_format;
    if (IsPlanar(m_format)) {
        if (!IsUsablePlanar(m_shownPlanar))
            return false;
        last.lastX = m_shownPlanar.x;
        last.lastY = m_shownPlanar.y;
        point = m_shownPlanar;
        if (m_geographicMap)
            return ToGeographic(point, m_format) && IsUsableGeographic(point);
        return ToPlanar(point, m_format, MapFormat());
    }
    if (!IsUsableGeographic(m_geographic))
        return false;
    last.lastLongitude = m_geographic.x;
    last.lastLatitude = m_geographic.y;
    point = m_geographic;
    if (!m_geographicMap)
        m_document.GeoToMap(point);
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool CCoordFinder::IsInsideLimits(const CMapRect& limits, const CMapPoint& point)
{
    if (!limits.IsValid())
        return true;
    return point.x >= limits.left && point.x <= limits.right && point.y <= limits.top && point.y >= limits.bottom;
}

bool CCoordFinder::Show(CDrelView& view, const CMapPoint& point) const
{
    if (!IsInsideLimits(m_document.Settings().limits, point) &&
        AppMessageBox(kOutsideLimits, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    view.GoToPoint(point);
    return true;
}

std::string CCoordFinder::DecimalText(double value)
{
    return value == 0 ? std::string("0.0") : FormatC("%.15g", value);
}

std::string CCoordFinder::PlanarText(double value)
{
    return FormatC("%.15g", value);
}
