#include "shell/BestMapChoice.h"

#include "core/CoordConverter.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "mapdoc/ViewWindow.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

namespace {

constexpr size_t kLimitsCap = 90;
constexpr size_t kTextCap = 80;
// Square metres to the square degree at the latitude of the data.
constexpr double kSquareMetresPerSquareDegree = 7072159600.0;
// The band of the view that a position may move in before the view follows.
constexpr double kInnerBand = 0.9;
// How far the view's scale may stray from the map's optimum.
constexpr double kScaleSlack = 4;

IBestMapService g_noService;
IBestMapService* g_service = nullptr;

bool Contains(const CMapRect& r, const CMapPoint& p)
{
    return r.left <= p.x && p.x <= r.right && r.bottom <= p.y && p.y <= r.top;
}

void Convert(int from, int to, CMapPoint& p)
{
    if (const auto converter = CreateCoordConverter(from, to))
        converter->ConvertPoint(p);
}

// The rectangle of two corners converted between degrees and the grid.
CMapRect ConvertCorners(const CMapRect& r, int from, int to)
{
    CMapPoint a(r.left, r.top), b(r.right, r.bottom);
    Convert(from, to, a);
    Convert(from, to, b);
    return CMapRect(std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y));
}

} // namespace

IBestMapService& BestMapService()
{
    return g_service ? *g_service : g_noService;
}

void SetBestMapService(IBestMapService* service)
{
    g_service = service;
}

CLinkedMapSettings CLinkedMapSettings::Read(const std::string& mapPath)
{
    CLinkedMapSettings settings;
    CIniFile ini(CDrelDoc::GetSettingsFilePath(mapPath));
    if (!ini.Load())
        return settings;
    double limits[4] = {0, 0, 0, 0};
    ScanRealsC(ini.GetString("Map", "Limits", "", kLimitsCap), limits, 4);
    settings.limits = CMapRect(limits[0], limits[1], limits[2], limits[3]);
    settings.optimScale = ParseOptimScale(ini.GetString("Map", "OptimScale", "10000", kTextCap));
    settings.mapUnits = ini.GetInt("Map", "MapUnits", 0);
    settings.autoLoad = ini.GetInt("Map", "AutoLoad", 0);
    settings.streetNameField = ini.GetString("Streets", "StreetNameField", "", kTextCap);
    return settings;
}

int ChooseMapForPoint(const std::vector<std::string>& mapPaths, const CMapPoint& point, bool needsStreets)
{
    double bestScale = DBL_MAX;
    double bestArea = DBL_MAX;
    int best = -1;
    for (size_t i = 0; i < mapPaths.size(); ++i) {
        const CLinkedMapSettings map = CLinkedMapSettings::Read(mapPaths[i]);
        double area;
        if (map.mapUnits == kUnitsDegrees) {
            if (!Contains(map.limits, point))
                continue;
            area = map.limits.Area() * kSquareMetresPerSquareDegree;
        } else if (map.mapUnits == kUnitsMetres) {
            CMapPoint onGrid = point;
            Convert(kCoordGeographic, kCoordTm, onGrid);
            if (!Contains(map.limits, onGrid))
                continue;
            area = map.limits.Area();
            if (needsStreets && map.streetNameField.empty())
                continue;
        } else {
            continue;
        }
        if (map.optimScale < bestScale || (map.optimScale == bestScale && area < bestArea)) {
            bestScale = map.optimScale;
            bestArea = area;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int ChooseMapForExtent(const std::vector<std::string>& mapPaths, const CMapRect& extent, int units,
                       bool autoLoadOnly, bool convert)
{
    const double half = 0.5 * extent.Area();
    double bestScale = DBL_MAX;
    double bestWidth = DBL_MAX;
    int best = -1;
    for (size_t i = 0; i < mapPaths.size(); ++i) {
        const CLinkedMapSettings map = CLinkedMapSettings::Read(mapPaths[i]);
        if (autoLoadOnly && map.autoLoad == 0)
            continue;
        CMapRect limits = map.limits;
        if (map.mapUnits != units) {
            if (!convert)
                continue;
            if (map.mapUnits == kUnitsMetres && units == kUnitsDegrees)
                limits = ConvertCorners(limits, kCoordTm, kCoordGeographic);
            else if (map.mapUnits == kUnitsDegrees && units == kUnitsMetres)
                limits = ConvertCorners(limits, kCoordGeographic, kCoordTm);
            else
                continue;
        }
        // Limits that are no numbers would pass every test below.
        if (!limits.IsFinite())
            continue;
        CMapRect common;
        if (!common.IntersectRect(limits, extent) || common.Area() < half)
            continue;
        const double width = limits.right - limits.left;
        if (map.optimScale < bestScale || (map.optimScale == bestScale && width < bestWidth)) {
            bestScale = map.optimScale;
            bestWidth = width;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int CBestMapChoice::ChooseMapForPoint(const CMapPoint& point, bool needsStreets)
{
    return ::ChooseMapForPoint(m_windows.GetLinkedMapPaths(), point, needsStreets);
}

bool CBestMapChoice::ShowPointInBestView(const CMapPoint& point, int mode, bool forceCentre)
{
    if (mode == 2) {
        const std::vector<std::string> paths = m_windows.GetLinkedMapPaths();
        const int chosen = ::ChooseMapForPoint(paths, point, false);
        if (chosen >= 0)
            m_windows.OpenMap(paths[static_cast<size_t>(chosen)]);
        mode = 1;
    }
    if (mode == 1) {
        CDrelDoc* best = nullptr;
        double bestScale = DBL_MAX;
        double bestDiagonal = DBL_MAX;
        for (CDrelDoc* map : m_windows.GetOpenMaps()) {
            CMapPoint inMap = point;
            map->GeoToMap(inMap);
            const CMapRect& limits = map->Settings().limits;
            if (!Contains(limits, inMap))
                continue;
            const double scale = map->Settings().optimScale;
            const double diagonal =
                map->GetDistanceKm(CMapPoint(limits.left, limits.top), CMapPoint(limits.right, limits.bottom));
            if (scale < bestScale || (scale == bestScale && diagonal < bestDiagonal)) {
                best = map;
                bestScale = scale;
                bestDiagonal = diagonal;
            }
        }
        CDrelView* view = nullptr;
        if (best)
            for (CDrelView* candidate : m_windows.GetMapViews(*best))
                if (!view || candidate->GetScaleDenominator() < view->GetScaleDenominator())
                    view = candidate;
        if (view) {
            m_windows.ActivateView(*view);
            const double optimScale = best->Settings().optimScale;
            if (view->GetScaleDenominator() > kScaleSlack * optimScale)
                view->SetScale(optimScale);
            CMapPoint inMap = point;
            best->GeoToMap(inMap);
            if (forceCentre || !view->IsPointInExtent(inMap))
                view->CenterOnGeoPoint(point);
            return true;
        }
    }
    CDrelView* active = m_windows.GetActiveMapView();
    if (!active)
        return false;
    CMapPoint inMap = point;
    active->GetDocument().GeoToMap(inMap);
    if (forceCentre || !active->IsPointInExtent(inMap))
        active->CenterOnGeoPoint(point);
    return true;
}

bool CBestMapChoice::OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath,
                                          bool autoLoadOnly, bool convert, bool zoom)
{
    const std::vector<std::string> paths = m_windows.GetLinkedMapPaths();
    const int chosen = ChooseMapForExtent(paths, extent, units, autoLoadOnly, convert);
    if (chosen < 0)
        return false;
    const std::string& path = paths[static_cast<size_t>(chosen)];
    if (!ownPath.empty() && ownPath == path)
        return false;
    if (!m_windows.OpenMap(path))
        return false;
    CDrelView* view = m_windows.GetActiveMapView();
    if (!view)
        return false;
    if (!zoom)
        return true;
    CMapRect target = extent;
    const int mapUnits = view->GetDocument().Settings().mapUnits;
    if (units != mapUnits) {
        if (units == kUnitsMetres)
            target = ConvertCorners(target, kCoordTm, kCoordGeographic);
        else if (units == kUnitsDegrees)
            target = ConvertCorners(target, kCoordGeographic, kCoordTm);
    }
    view->ZoomToRect(target, 0);
    return true;
}

bool CBestMapChoice::ShowPositionInActiveMap(double x, double y, bool openBest, bool forceCentre,
                                             bool requireScale)
{
    CDrelView* active = m_windows.GetActiveMapView();
    if (!m_windows.IsMapWindowActive())
        return false;
    const CMapPoint position(x, y);
    CDrelView* view = active;
    if (openBest) {
        const std::vector<std::string> paths = m_windows.GetLinkedMapPaths();
        const int chosen = ::ChooseMapForPoint(paths, position, false);
        if (chosen >= 0) {
            m_windows.OpenMap(paths[static_cast<size_t>(chosen)]);
            view = m_windows.GetActiveMapView();
        }
    }
    if (!view)
        return false;
    CDrelDoc& map = view->GetDocument();
    CMapPoint inMap = position;
    if (map.Settings().mapUnits != kUnitsDegrees)
        map.GeoToMap(inMap);
    const double optimScale = map.Settings().optimScale;
    const double scale = view->GetScaleDenominator();
    if ((view == active || kScaleSlack * optimScale >= scale) && (!requireScale || optimScale >= scale)) {
        if (!forceCentre) {
            CMapRect inner = view->GetMapExtent();
            inner.Scale(kInnerBand);
            if (Contains(inner, inMap)) {
                if (IViewWindow* window = view->GetWindow())
                    window->InvalidateView();
                return true;
            }
        }
        view->CenterOn(inMap);
    } else {
        view->ZoomToScaleAt(optimScale, inMap);
    }
    return true;
}
