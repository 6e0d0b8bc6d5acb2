#include "gps/automation/Application.h"

#include "core/DbfTable.h"
#include "core/MapRect.h"
#include "core/Shape.h"
#include "gps/GpsContext.h"
#include "gps/automation/AutomationHost.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "platform/NumberText.h"
#include "routing/RoutePoints.h"
#include "shell/BestMapChoice.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {

// A view shows a rectangle well when it lies inside the view's central 90 %.
constexpr double kInnerBand = 0.9;
constexpr double kMargin = 1.2;
// A line segment is padded across by a tenth of its length.
constexpr double kSegmentPadding = 0.1;

bool Contains(const CMapRect& outer, const CMapRect& inner)
{
    return outer.left <= inner.left && inner.right <= outer.right && outer.bottom <= inner.bottom
        && inner.top <= outer.top;
}

bool Contains(const CMapRect& outer, const CMapPoint& p)
{
    return Contains(outer, CMapRect(p));
}

bool IsGeographic(const CDrelDoc& map)
{
    return map.Settings().mapUnits == kUnitsDegrees;
}

// The geographic rectangle in the map's coordinates: the bounds of its
// converted corners.
CMapRect ToMap(const CDrelDoc& map, const CMapRect& geo)
{
    if (IsGeographic(map))
        return geo;
    CMapRect converted;
    for (CMapPoint corner : {CMapPoint(geo.left, geo.top), CMapPoint(geo.right, geo.top),
             CMapPoint(geo.left, geo.bottom), CMapPoint(geo.right, geo.bottom)}) {
        map.GeoToMap(corner);
        converted.UnionPoint(corner);
    }
    return converted;
}

CMapRect Enlarged(CMapRect r, double factor)
{
    r.Scale(factor);
    return r;
}

// The view moves to the rectangle with a margin; a single point keeps the
// scale and comes to the middle.
void ZoomTo(CDrelView& view, const CMapRect& r)
{
    if (r.Width() == 0 && r.Height() == 0)
        view.CenterOn(r.Center());
    else
        view.ZoomToRect(Enlarged(r, kMargin), 0);
}

} // namespace

void CApplication::UpdateAllMaps()
{
    m_host.RepaintMapViews();
}

void CApplication::ShowVehicle(double longitude, double latitude, int16_t course, int16_t follow)
{
    if (CGpsContext* gps = GetGpsContext())
        gps->Vehicle().Show(longitude, latitude, course, follow);
}

void CApplication::HideVehicle()
{
    if (CGpsContext* gps = GetGpsContext())
        gps->Vehicle().Hide();
}

bool CApplication::OpenSerialPort(int16_t port)
{
    CGpsContext* gps = GetGpsContext();
    return gps && gps->OpenEmulationPort(port);
}

void CApplication::CloseSerialPort()
{
    if (CGpsContext* gps = GetGpsContext())
        gps->CloseEmulationPort();
}

int32_t CApplication::SendMessage(int32_t code, int32_t, int32_t)
{
    if (code != kRunPlanningTask)
        return 0;
    CDrelView* view = m_host.GetActiveMapView();
    if (!view)
        return 0;
    CRoutePoints* points = RoutePointsOf(*view);
    return points ? points->RunPlanningFromIni(*view) : 0;
}

bool CApplication::EnsureVisible(double x1, double y1, double x2, double y2)
{
    const CMapRect wanted(std::min(x1, x2), std::max(y1, y2), std::max(x1, x2), std::min(y1, y2));
    if (CDrelView* view = m_host.GetActiveMapView()) {
        const CMapRect extent = view->GetMapExtent();
        const CMapRect inMap = ToMap(view->GetDocument(), wanted);
        if (Contains(extent, inMap) && !Contains(Enlarged(extent, kInnerBand), inMap)) {
            ZoomTo(*view, inMap);
            return true;
        }
    }

    CMapRect asked = Enlarged(wanted, kMargin);
    if (asked.Width() == 0 && asked.Height() != 0) {
        const CMapPoint centre = asked.Center();
        asked.left = centre.x - kSegmentPadding * asked.Height() / 2;
        asked.right = centre.x + kSegmentPadding * asked.Height() / 2;
    } else if (asked.Height() == 0 && asked.Width() != 0) {
        const CMapPoint centre = asked.Center();
        asked.bottom = centre.y - kSegmentPadding * asked.Width() / 2;
        asked.top = centre.y + kSegmentPadding * asked.Width() / 2;
    }
    BestMapService().OpenBestMapForExtent(asked, kUnitsDegrees, std::string(), false, true, false);

    CDrelView* view = m_host.GetActiveMapView();
    if (!view)
        return false;
    const CMapRect inMap = ToMap(view->GetDocument(), wanted);
    if (!Contains(Enlarged(view->GetMapExtent(), kInnerBand), inMap))
        ZoomTo(*view, inMap);
    return true;
}

std::string CApplication::GetNearestStreet(double x, double y, double radius)
{
    const CMapPoint position(x, y);
    std::vector<CDrelDoc*> maps;
    CDrelView* view = m_host.GetActiveMapView();
    if (view)
        maps.push_back(&view->GetDocument());
    for (CDrelDoc* map : m_host.GetOpenMaps())
        if (map && std::find(maps.begin(), maps.end(), map) == maps.end())
            maps.push_back(map);
    for (CDrelDoc* map : maps) {
        CStreetAnswer answer = FindNearestStreetInMap(*map, position, radius);
        if (answer.kind != CStreetAnswer::kNotThisMap)
            return answer.text;
    }

    const std::vector<std::string> paths = m_host.GetLinkedMapPaths();
    const int chosen = ::ChooseMapForPoint(paths, position, true);
    if (chosen < 0)
        return {};
    CDrelDoc map;
    if (!map.OnOpenDocument(paths[static_cast<size_t>(chosen)]))
        return {};
    std::string text = FindNearestStreetInMap(map, position, radius).text;
    map.OnCloseDocument();
    return text;
}

CStreetAnswer FindNearestStreetInMap(CDrelDoc& map, const CMapPoint& position, double radius)
{
    const CMapSettings& settings = map.Settings();
    if (settings.streetsLayer.empty())
        return {};
    const bool geographic = IsGeographic(map);
    CMapPoint at = position;
    if (!geographic)
        map.GeoToMap(at);
    if (!settings.limits.IsValid() || !Contains(settings.limits, at))
        return {};

    CStreetAnswer answer;
    answer.kind = CStreetAnswer::kNoStreet;
    const CLayer* streets = map.Layers().FindByName(settings.streetsLayer);
    if (!streets || streets->GetType() != CLayer::kLine)
        return answer;
    CLayer layer(streets->GetName(), streets->GetPath(), streets->GetType());
    layer.Copy(*streets);
    const std::string& idField = layer.GetIdField();
    if (!idField.empty())
        layer.SetFilter(FormatC("(%s <> \"\")", idField.c_str()));

    // The radius is in the map's planar unit: kilometres on a map in degrees.
    double kmX = 1, kmY = 1;
    if (geographic) {
        map.GetMetresPerUnit(kmX, kmY);
        kmX /= 1000;
        kmY /= 1000;
        if (!(kmX > 0) || !(kmY > 0))
            return answer;
    }
    const double halfX = radius / 2 / kmX;
    const double halfY = radius / 2 / kmY;
    const CMapRect square(at.x - halfX, at.y + halfY, at.x + halfX, at.y - halfY);

    // Every line in the square is measured on the ground, not only the one
    // nearest in map units: degrees of longitude are shorter than those of
    // latitude.
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return answer;
    CFeatureSource& source = *reader.GetSource();
    source.SetQueryRect(&square);
    const CMapPoint scaledAt(at.x * kmX, at.y * kmY);
    int best = -1;
    double bestDistance = DBL_MAX;
    for (CShape shape; source.ReadNextShape(shape);) {
        for (int i = 0; i < shape.GetPointCount(); ++i) {
            CMapPoint& p = shape.Points()[i];
            p = CMapPoint(p.x * kmX, p.y * kmY);
        }
        shape.RecalcBounds();
        int segment = 0;
        CMapPoint nearest;
        if (!shape.HitTestSegment(scaledAt, radius, -1, segment, &nearest))
            continue;
        const double distance = std::hypot(nearest.x - scaledAt.x, nearest.y - scaledAt.y);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = source.GetCurrentRecord();
        }
    }
    if (best < 0)
        return answer;
    const int field = idField.empty() ? -1 : source.GetTable().FindField(idField);
    if (field < 0 || !source.GetFieldText(best, field, answer.text))
        answer.text.clear();
    answer.kind = CStreetAnswer::kStreet;
    return answer;
}

const std::array<CTxObj::CProperty, 16> CTxObj::kProperties = {{
    {"Erp", RadioField::kErp, Kind::kDouble},
    {"Freq", RadioField::kFreq, Kind::kDouble},
    {"Ha", RadioField::kHa, Kind::kDouble},
    {"UserHloc", RadioField::kUserHloc, Kind::kDouble},
    {"FreqOffs", RadioField::kFreqOffs, Kind::kDouble},
    {"Azimuth", RadioField::kAzimuth, Kind::kDouble},
    {"Tilt", RadioField::kTilt, Kind::kDouble},
    {"Longitude", RadioField::kLongitude, Kind::kDouble},
    {"Latitude", RadioField::kLatitude, Kind::kDouble},
    {"AutoHloc", RadioField::kAutoHloc, Kind::kBoolean},
    {"Directional", RadioField::kDirectional, Kind::kBoolean},
    {"Digital", RadioField::kDigital, Kind::kBoolean},
    {"VertPol", RadioField::kVertPol, Kind::kBoolean},
    {"ChanelSpacing", RadioField::kChanelSpacing, Kind::kLong},
    {"AntDiagr", RadioField::kAntDiagr, Kind::kString},
    {"Name", RadioField::kName, Kind::kString},
}};

double CTxObj::GetDouble(RadioField field) const
{
    double value = 0;
    IRadioRecords* records = RadioRecords();
    return records && records->GetNumber(m_role, field, value) ? value : 0;
}

void CTxObj::SetDouble(RadioField field, double value)
{
    if (IRadioRecords* records = RadioRecords())
        records->SetNumber(m_role, field, value);
}

bool CTxObj::GetBoolean(RadioField field) const
{
    double value = 1;
    IRadioRecords* records = RadioRecords();
    return records && records->GetNumber(m_role, field, value) ? value != 0 : true;
}

void CTxObj::SetBoolean(RadioField field, bool value)
{
    SetDouble(field, value ? 1 : 0);
}

int32_t CTxObj::GetLong(RadioField field) const
{
    const double value = GetDouble(field);
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<int32_t>(value) : 0;
}

void CTxObj::SetLong(RadioField field, int32_t value)
{
    SetDouble(field, value);
}

std::string CTxObj::GetString(RadioField field) const
{
    std::string text;
    IRadioRecords* records = RadioRecords();
    return records && records->GetText(m_role, field, text) ? text : std::string();
}

void CTxObj::SetString(RadioField field, const std::string& value)
{
    if (IRadioRecords* records = RadioRecords())
        records->SetText(m_role, field, value);
}
