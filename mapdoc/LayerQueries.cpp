#include "mapdoc/LayerQueries.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/QueryDialogs.h"
#include "mapdoc/ViewHost.h"
#include "platform/DrawInterrupt.h"
#include "platform/UserServices.h"

#include <cfloat>
#include <cmath>

namespace {

enum : int {
    kReadError = 1028,
    kNotAreaLayer = 1033,
    kNotLineOrAreaLayer = 1034,
    kNoAttributeTable = 1057,
    kLayerHasNoObjects = 1058,
};

// How far from the click objects are looked for.
constexpr int kSearchPixels = 16;

bool IsPointType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kTrack;
}

// The click widened by the search distance, inside the view.
CMapRect SearchBox(const CMapPoint& point, const CDrelView& view)
{
    double dx, dy;
    view.ClientSizeToMap(kSearchPixels, kSearchPixels, dx, dy);
    dx = std::fabs(dx);
    dy = std::fabs(dy);
    CMapRect box;
    box.IntersectRect(CMapRect(point.x - dx, point.y + dy, point.x + dx, point.y - dy), view.GetMapExtent());
    return box;
}

// The candidates of the open layer near the point; the source's result.
int Search(const CLayer& layer, CFeatureSource& source, const CMapPoint& point, CDrelView& view,
           CRecordArray& candidates)
{
    const CMapRect box = SearchBox(point, view);
    source.SetQueryRect(&box);
    source.SetReadConverter(view.GetGeoToMapConverter());
    switch (layer.GetType()) {
    case CLayer::kLine:
        return source.FindNearestLine(point, candidates, nullptr);
    case CLayer::kArea:
        return source.FindAreasAt(point, candidates);
    default:
        return source.FindNearestPoints(point, candidates, nullptr);
    }
}

// The only candidate, else the one the user picks by name (-1: none).
int ChooseObject(CLayer& layer, CFeatureSource& source, const CRecordArray& candidates, CDrelView& view)
{
    if (candidates.empty())
        return -1;
    if (candidates.size() == 1)
        return candidates.front();
    std::vector<std::string> names;
    names.reserve(candidates.size());
    for (const int32_t record : candidates)
        names.push_back(layer.GetObjectName(source, record));
    return QueryDialogs().ChooseObject(candidates, names, layer, view);
}

int HitTestFile(CLayer& layer, const CMapPoint& point, CLayerReader& reader, CDrelView& view)
{
    CWaitCursor wait;
    if (!reader.OpenLayer(&layer))
        return -2;
    CFeatureSource& source = *reader.GetSource();
    CRecordArray candidates;
    if (!Search(layer, source, point, view, candidates) || candidates.empty())
        return -2;
    return ChooseObject(layer, source, candidates, view);
}

// The record's geometry, one point for points and tracks.
bool ReadGeometry(const CLayer& layer, CFeatureSource& source, int record, CShape& geometry)
{
    if (IsPointType(layer.GetType())) {
        CMapPoint point;
        if (!source.ReadPoint(record, point))
            return false;
        geometry.SetPoints(1, &point);
        return true;
    }
    return source.ReadShape(record, geometry);
}

void Mark(const CLayer& layer, const CShape& geometry, CDrelView& view)
{
    if (IsPointType(layer.GetType()))
        view.AddOverlayPoint(geometry.GetPoint(0));
    else
        view.AddOverlayShape(geometry);
}

// The layer's file as it is, without the layer's restrictions, giving
// points in the map's system.
CFeatureSource* OpenPlain(const CLayer& layer, CLayerReader& reader, const CDrelView& view)
{
    if (!reader.Open(layer.GetPath()))
        return nullptr;
    reader.GetSource()->SetReadConverter(view.GetGeoToMapConverter());
    return reader.GetSource();
}

CMapRect BoxOf(const CShape& geometry)
{
    CMapRect box;
    for (int i = 0; i < geometry.GetPointCount(); ++i)
        box.UnionPoint(geometry.GetPoint(i));
    return box;
}

bool BoxMeetsView(const CMapRect& box, const CDrelView& view)
{
    CMapRect common;
    return common.IntersectRect(box, view.GetMapExtent());
}

} // namespace

int CLayerQueries::HitTest(CLayer& layer, const CMapPoint& point, CLayerReader& reader, CDrelView& view,
                           std::string* openedPath)
{
    if (!layer.IsVectorType())
        return -1;
    if (!layer.HasFlag(CLayer::kManyFiles)) {
        const int result = HitTestFile(layer, point, reader, view);
        if (openedPath)
            *openedPath = layer.GetPath();
        return result;
    }
    int result = -2;
    std::string tried;
    // A drawing stopped before must not stop the search; the stop of the
    // search itself stays for the drawing to see.
    const int stopped = GetDrawStopFlag();
    SetDrawStopFlag(0);
    {
        // The layer keeps naming its own file: the map stores that path.
        CLayer::COneFileScope scope(layer);
        for (const CLayerFileEntry& entry : layer.Files()) {
            if (CheckDrawInterrupt())
                break;
            if (!MeetsView(entry.extent, view))
                continue;
            tried = entry.path;
            scope.SetFile(tried);
            result = HitTestFile(layer, point, reader, view);
            if (result >= 0)
                break;
        }
    }
    if (!GetDrawStopFlag())
        SetDrawStopFlag(stopped);
    if (openedPath)
        *openedPath = tried;
    if (result == -2)
        AppBeep();
    return result;
}

int CLayerQueries::FindNearest(CLayer& layer, const CMapPoint& point, CDrelView& view, CRecordArray& candidates,
                               CMapPoint* snapped)
{
    candidates.clear();
    if (!layer.IsVectorType() || layer.HasFlag(CLayer::kManyFiles))
        return 0;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    const int result = Search(layer, source, point, view, candidates);
    if (result && snapped && layer.GetType() == CLayer::kLine && !candidates.empty()) {
        CShape line;
        int index;
        if (source.ReadShape(candidates.front(), line))
            line.HitTestSegment(point, DBL_MAX, -1, index, snapped);
    }
    return result;
}

bool CLayerQueries::ShowObjectInfo(CLayer& layer, const CMapPoint& point, CDrelView& view)
{
    CWaitCursor wait;
    view.ClearOverlays();
    if (!layer.IsVectorType()) {
        AppMessageBox(kLayerHasNoObjects);
        return false;
    }
    CLayerReader reader;
    std::string path;
    const int record = layer.HitTest(point, reader, view, &path);
    if (record < 0)
        return false;
    CFeatureSource& source = *reader.GetSource();
    CShape geometry;
    if (!ReadGeometry(layer, source, record, geometry)) {
        AppMessageBox(kReadError);
        return false;
    }
    Mark(layer, geometry, view);
    std::vector<std::string> lines;
    source.GetRecordLinesAt(record, lines);
    ViewHost().ShowObjectInfo(lines, GetPathFolder(path));
    ViewHost().SetMessageText(layer.GetObjectName(source, record));
    return true;
}

void CLayerQueries::ShowValueTip(const CMapPoint& point, const std::string& text, CDrelView& view)
{
    view.ClearOverlays();
    view.AddOverlayPoint(point);
    view.AddOverlayText(point, text, 0);
}

void CLayerQueries::ShowRecordInfo(CLayer& layer, int record, bool closeFirst)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return;
    std::vector<std::string> lines;
    if (!reader.GetSource()->GetRecordLinesAt(record, lines)) {
        AppMessageBox(kReadError);
        return;
    }
    if (closeFirst)
        ViewHost().CloseObjectInfo();
    ViewHost().ShowObjectInfo(lines, layer.GetDataFolder());
}

int CLayerQueries::MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView& view, CShape& geometry,
                                std::string* name)
{
    CLayerReader reader;
    const int record = layer.HitTest(point, reader, view);
    if (record < 0)
        return 0;
    CFeatureSource& source = *reader.GetSource();
    CShape found;
    if (!ReadGeometry(layer, source, record, found))
        return 0;
    view.ClearOverlays();
    Mark(layer, found, view);
    const std::string objectName = layer.GetObjectName(source, record);
    ViewHost().SetMessageText(objectName);
    if (name)
        *name = objectName;
    geometry = std::move(found);
    return 1;
}

void CLayerQueries::ShowAreaAt(CLayer& layer, const CMapPoint& point, CDrelView& view)
{
    if (layer.GetType() != CLayer::kArea) {
        AppMessageBox(kNotAreaLayer);
        return;
    }
    CShape area;
    std::string name;
    if (layer.MarkObjectAt(point, view, area, &name))
        view.ShowAreaPopup(name, view.GetDocument().GetShapeAreaKm2(area));
}

void CLayerQueries::ShowLengthAt(CLayer& layer, const CMapPoint& point, CDrelView& view)
{
    if (layer.GetType() != CLayer::kLine && layer.GetType() != CLayer::kArea) {
        AppMessageBox(kNotLineOrAreaLayer);
        return;
    }
    CShape line;
    std::string name;
    if (layer.MarkObjectAt(point, view, line, &name))
        view.ShowLengthPopup(name, view.GetDocument().GetShapeLengthKm(line));
}

void CLayerQueries::ShowRecord(CLayer& layer, int record, CDrelView& view, bool zoom)
{
    if (!layer.IsVectorType())
        return;
    CLayerReader reader;
    CFeatureSource* source = OpenPlain(layer, reader, view);
    if (!source)
        return;
    CShape geometry;
    if (!ReadGeometry(layer, *source, record, geometry)) {
        AppMessageBox(kReadError);
        return;
    }
    const double foundScale = view.GetDocument().Settings().optimScale;
    if (IsPointType(layer.GetType())) {
        const CMapPoint point = geometry.GetPoint(0);
        if (zoom)
            view.ZoomToScaleAt(foundScale, point);
        else if (!view.IsPointInExtent(point))
            view.CenterOn(point);
    } else {
        CMapRect box = BoxOf(geometry);
        if (zoom) {
            box.Scale(1.1);
            view.ZoomToRectAtLeast(box, foundScale);
        } else if (!view.IsPointInExtent(box.Center())) {
            view.CenterOn(box.Center());
        }
    }
    view.UpdateWindow();
    view.ClearOverlays();
    Mark(layer, geometry, view);
}

void CLayerQueries::ShowRecords(CLayer& layer, const std::vector<int32_t>& records, CDrelView& view, bool zoom)
{
    if (!layer.IsVectorType())
        return;
    view.ClearOverlays();
    view.ShowOverlays(0);
    CLayerReader reader;
    CFeatureSource* source = OpenPlain(layer, reader, view);
    if (!source) {
        view.ShowOverlays(1);
        return;
    }
    CMapRect all;
    CMapPoint first;
    bool anyRead = false, anyInView = false;
    for (const int32_t record : records) {
        CShape geometry;
        if (!ReadGeometry(layer, *source, record, geometry)) {
            AppMessageBox(kReadError);
            // The records marked so far are to be seen.
            view.ShowOverlays(1);
            return;
        }
        Mark(layer, geometry, view);
        const CMapRect box = BoxOf(geometry);
        if (!anyRead)
            first = box.Center();
        anyRead = true;
        anyInView = anyInView || BoxMeetsView(box, view);
        all.UnionRect(all, box);
    }
    if (anyRead) {
        if (zoom) {
            all.Scale(1.2);
            view.ZoomToRectAtLeast(all, view.GetDocument().Settings().optimScale);
        } else if (!anyInView) {
            view.CenterOn(first);
        }
    }
    view.UpdateWindow();
    view.ShowOverlays(1);
}

void CLayerQueries::ShowTable(CLayer& layer, CDrelDoc& document)
{
    if (layer.HasFlag(CLayer::kManyFiles) && !QueryDialogs().ChooseLayerFile(layer))
        return;
    if (layer.GetType() == CLayer::kRaster || layer.GetType() == CLayer::kElevation) {
        AppMessageBox(kNoAttributeTable);
        return;
    }
    DocumentHost().OpenAttributeTable(layer, document);
}

bool CLayerQueries::EditRecord(CLayer& layer, CDrelView& view, int record, CDbfTable* table)
{
    CDbfTable own;
    if (!table) {
        if (!layer.OpenTable(own))
            return false;
        table = &own;
    }
    if (!table->GoToRecord(record))
        return false;
    return QueryDialogs().EditRecord(*table, layer, view.GetDocument());
}

void InstallLayerQueries()
{
    static CLayerQueries queries;
    SetLayerQueries(&queries);
}
