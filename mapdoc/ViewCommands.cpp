// The map view's own commands: found objects, typed coordinates, the
// context menu and its commands, the objects at a point and the more
// detailed linked map.
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/FoundObject.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ObjectEditTool.h"
#include "mapdoc/SearchDialogs.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DrawInterrupt.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <cfloat>
#include <cmath>
#include <new>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kSearchPixels = 16;
constexpr int kContextMenu = 186;
constexpr int kSelectedShapesMenu = 278;
constexpr int kSelectedObjectsMenu = 279;
constexpr int kPendingEditMenu = 280;

// The rectangle grown by the factor about its centre.
CMapRect ScaledAbout(CMapRect r, double factor)
{
    r.Scale(factor);
    return r;
}

} // namespace

void CDrelView::ShowFoundObject(const CFoundObject& found, bool zoom)
{
    ClearOverlays();
    ShowOverlays(0);
    CMapRect target(found.point);
    switch (found.kind) {
    case 0:
    case 1:
        AddOverlayText(found.point, found.label, 0);
        AddOverlayPoint(found.point);
        break;
    case 2:
        AddOverlayLine(found.second, found.third);
        AddOverlayText(found.second, found.label, 0);
        AddOverlayText(found.third, found.secondLabel, 0);
        AddOverlayPoint(found.point);
        target = CMapRect(found.second);
        target.UnionPoint(found.third);
        break;
    default:
        if (found.kind >= 0) {
            ShowOverlays(1);
            return;
        }
        break;
    }
    if (found.kind >= 0) {
        if (zoom)
            // A found point is never shown more detailed than the map's optimum.
            ZoomToRectAtLeast(ScaledAbout(target, 1.2), GetDocument().Settings().optimScale);
        else if (!IsPointInExtent(found.point))
            CenterOn(found.point);
    }
    UpdateWindow();
    ShowOverlays(1);
}

void CDrelView::GoToCoordinates()
{
    CMapPoint point;
    if (!SearchDialogs().AskPointCoordinates(point, GetDocument().Settings().mapUnits == kUnitsDegrees))
        return;
    GoToPoint(point);
}

void CDrelView::GoToPoint(const CMapPoint& point)
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return;
    const double optimum = GetDocument().Settings().optimScale;
    if (GetScaleDenominator() > optimum)
        ZoomToScaleAt(optimum, point);
    else if (!IsPointInExtent(point))
        CenterOn(point);
    ClearOverlays();
    AddOverlayPoint(point);
}

void CDrelView::ContextZoomIn()
{
    ZoomToScaleAt(GetScaleDenominator() * 0.5, ClientToMap(GetContextPoint()));
}

void CDrelView::ContextZoomOut()
{
    ZoomToScaleAt(GetScaleDenominator() * 2, ClientToMap(GetContextPoint()));
}

void CDrelView::ContextCenter()
{
    CenterOn(ClientToMap(GetContextPoint()));
}

void CDrelView::ContextCancelTool()
{
    if (CMapTool* tool = GetTool(); tool && !tool->MayQuit())
        return;
    SetToolMode(0);
}

void CDrelView::ContextCreatePlacemark()
{
    GetDocument().AddPlacemark(ClientToMap(GetContextPoint()));
}

int CDrelView::GetContextMenuId() const
{
    const auto* editing = dynamic_cast<const CObjectEditTool*>(GetTool());
    if (GetLastToolMode() != kModeSelectForEdit || !editing || editing->GetSelectedCount() <= 0)
        return kContextMenu;
    if (editing->IsModified())
        return kPendingEditMenu;
    CLayer* layer = nullptr;
    int record = -1;
    const bool shapes = editing->GetSelectedObject(0, layer, record) && layer &&
                        (layer->GetType() == CLayer::kLine || layer->GetType() == CLayer::kArea);
    return shapes ? kSelectedShapesMenu : kSelectedObjectsMenu;
}

void CDrelView::ShowContextMenu(int x, int y)
{
    if (m_window)
        m_window->ActivateFrame();
    if (CMapTool* tool = GetTool(); tool && tool->OnContextMenu(0, x, y))
        return;
    if (m_window)
        m_window->ShowContextMenu(GetContextMenuId(), CPoint(x, y));
}

void CDrelView::ShowObjectsAt()
{
    std::vector<CObjectHit> hits;
    try {
        hits.reserve(kMaxObjectsAtPoint);
    } catch (const std::bad_alloc&) {
        AppMessageBox(kOutOfMemory);
        return;
    }
    const CMapPoint point = ClientToMap(GetContextPoint());
    double dx, dy;
    ClientSizeToMap(kSearchPixels, kSearchPixels, dx, dy);
    dx = std::fabs(dx);
    dy = std::fabs(dy);
    CMapRect box;
    if (!box.IntersectRect(CMapRect(point.x - dx, point.y + dy, point.x + dx, point.y - dy), GetMapExtent()))
        return;

    double nearest = DBL_MAX;
    bool stopped = false;
    // The objects of the file the layer names now; file is that of a
    // layer made of many files.
    const auto searchFile = [&](CLayer& layer, const std::string& file) {
        if (layer.GetType() == CLayer::kPoint || layer.GetType() == CLayer::kTrack) {
            CLayerReader reader;
            if (!reader.OpenLayer(&layer))
                return;
            CFeatureSource& source = *reader.GetSource();
            source.SetQueryRect(&box);
            CMapPoint p;
            while (hits.size() < kMaxObjectsAtPoint && source.ReadNextPoint(p)) {
                if (p.x < box.left || p.x > box.right || p.y < box.bottom || p.y > box.top)
                    continue;
                const double distance = std::hypot(p.x - point.x, p.y - point.y);
                hits.push_back({&layer, source.GetCurrentRecord(), distance, file});
                nearest = std::min(nearest, distance);
            }
            return;
        }
        std::vector<int32_t> candidates;
        CMapPoint snapped;
        if (layer.FindNearest(point, *this, candidates, &snapped) <= 0)
            return;
        // The candidates are the records of the nearest line, or the areas
        // holding the point.
        const double distance =
            layer.GetType() == CLayer::kLine ? std::hypot(snapped.x - point.x, snapped.y - point.y) : 0.0;
        nearest = std::min(nearest, distance);
        for (int32_t record : candidates)
            if (hits.size() < kMaxObjectsAtPoint)
                hits.push_back({&layer, record, distance, file});
    };

    {
        CWaitCursor wait;
        CDrelDoc& document = GetDocument();
        for (int i = 0; i < document.GetLayerCount() && hits.size() < kMaxObjectsAtPoint; ++i) {
            CLayer& layer = *document.GetLayer(i);
            if (layer.HasFlag(CLayer::kGroup) || !layer.HasFlag(CLayer::kShown) ||
                !document.IsLayerShownInLegend(&layer, true))
                continue;
            const CSublayer* style = layer.GetSublayerForScale(GetScaleDenominator());
            if (!style || style->m_kind == CSublayer::kHidden)
                continue;
            if (CheckDrawInterrupt()) {
                stopped = true;
                break;
            }
            if (!layer.HasFlag(CLayer::kManyFiles)) {
                searchFile(layer, {});
                continue;
            }
            const std::vector<CLayerFileEntry> files = layer.Files();
            CLayer::COneFileScope scope(layer);
            for (const CLayerFileEntry& file : files) {
                if (hits.size() >= kMaxObjectsAtPoint)
                    break;
                if (file.extent.IsValid() && !CMapRect().IntersectRect(file.extent, box))
                    continue;
                if (CheckDrawInterrupt()) {
                    stopped = true;
                    break;
                }
                scope.SetFile(file.path);
                searchFile(layer, file.path);
            }
            if (stopped)
                break;
        }
    }
    // The user asked to stop: no list then.
    if (stopped)
        return;
    const CPoint screen = m_window ? m_window->ClientToScreen(GetContextPoint()) : GetContextPoint();
    SearchDialogs().ShowObjectsAtPoint(point, hits, nearest == DBL_MAX ? 0 : 1.5 * nearest, *this, screen);
}

int CDrelView::OpenDetailMapAt(const CMapPoint& p)
{
    const CMapSettings& own = GetDocument().Settings();
    const double ownArea = own.limits.IsValid() ? own.limits.Width() * own.limits.Height() : 0;
    std::string best;
    double bestArea = -1;
    for (const std::string& path : ViewHost().GetLinkedMapPaths()) {
        CIniFile ini(CDrelDoc::GetSettingsFilePath(path));
        if (!ini.Load())
            continue;
        double v[4];
        if (ScanRealsC(ini.GetString("Map", "Limits", "", 90), v, 4) != 4)
            continue;
        const CMapRect limits(v[0], v[1], v[2], v[3]);
        if (ini.GetInt("Map", "MapUnits", 0) != own.mapUnits || !limits.IsValid() || !limits.IsFinite())
            continue;
        if (p.x < limits.left || p.x > limits.right || p.y < limits.bottom || p.y > limits.top)
            continue;
        const double area = limits.Width() * limits.Height();
        if (area > ownArea / 2 || area <= bestArea)
            continue;
        best = path;
        bestArea = area;
    }
    if (best.empty())
        return 0;
    return ViewHost().OpenMapDocument(best) ? 1 : 0;
}
