#include "search/ObjectsAtPoint.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "search/MeasureBoxRules.h"

namespace {

constexpr int kDegreePointText = 3064;
constexpr int kBelowClick = 32;
constexpr int kAboveClick = 10;

// Runs work with the layer naming the hit's file, when it has one.
template <class Work>
void InHitFile(const CObjectHit& hit, Work work)
{
    if (hit.file.empty()) {
        work();
        return;
    }
    CLayer::COneFileScope scope(*hit.layer);
    scope.SetFile(hit.file);
    work();
}

bool IsPointLike(int type)
{
    return type == CLayer::kPoint || type == CLayer::kTrack;
}

// The extent a raster hit covers: its file's, else the layer's.
bool RasterExtent(const CObjectHit& hit, CMapRect& extent)
{
    if (!hit.file.empty()) {
        for (const CLayerFileEntry& entry : hit.layer->Files())
            if (entry.path == hit.file && entry.extent.IsValid()) {
                extent = entry.extent;
                return true;
            }
    }
    bool found = false;
    InHitFile(hit, [&] { found = hit.layer->GetExtent(extent); });
    return found;
}

} // namespace

int ObjectNameField(const CLayer& layer, const CDbfTable& table)
{
    if (!layer.GetIdField().empty())
        if (const int field = table.FindField(layer.GetIdField()); field >= 0)
            return field;
    for (int i = 0; i < table.GetFieldCount(); ++i)
        if (table.GetFieldType(i) == 'C' && table.IsFieldShown(i))
            return i;
    return 0;
}

std::vector<CObjectAtPointRow> ListObjectsAtPoint(const std::vector<CObjectHit>& hits, double maxDistance,
                                                  const CDrelDoc& document, int* opens)
{
    std::vector<CObjectAtPointRow> rows;
    CLayerReader reader;
    const CLayer* readerLayer = nullptr;
    std::string readerFile;
    bool readerOpen = false;
    for (const CObjectHit& hit : hits) {
        // Written so that a distance of NaN is left out too.
        if (!hit.layer || !(hit.distance <= maxDistance))
            continue;
        CObjectAtPointRow row{hit, hit.layer->GetName(), {}, {}};
        const int type = hit.layer->GetType();
        if (type == CLayer::kRaster && !hit.file.empty())
            row.object = GetPathFileName(hit.file);
        if (hit.layer->IsVectorType()) {
            if (hit.layer != readerLayer || hit.file != readerFile) {
                readerLayer = hit.layer;
                readerFile = hit.file;
                InHitFile(hit, [&] { readerOpen = reader.OpenLayer(hit.layer); });
                if (opens)
                    ++*opens;
            }
            if (readerOpen) {
                CFeatureSource& source = *reader.GetSource();
                source.GetFieldText(hit.record, ObjectNameField(*hit.layer, source.GetTable()), row.object);
                CShape shape;
                if (type == CLayer::kLine && source.ReadShape(hit.record, shape))
                    row.measure = FormatLengthKm(document.GetShapeLengthKm(shape));
                else if (type == CLayer::kArea && source.ReadShape(hit.record, shape))
                    row.measure = FormatAreaKm2(document.GetShapeAreaKm2(shape));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string ObjectsAtPointText(const CMapPoint& point, bool degrees)
{
    if (!degrees)
        return FormatC("X: %1.6f; Y: %1.6f", point.x, point.y);
    return LoadStringArgs(kDegreePointText, point.FormatLongitude(0), point.FormatLatitude(0));
}

bool HasObjectInformation(const CObjectHit& hit)
{
    return hit.layer && hit.layer->IsVectorType();
}

void ShowObjectAtPoint(CDrelView& view, const CMapPoint& point, const CObjectHit* hit)
{
    view.ClearOverlays();
    if (!hit || !hit->layer) {
        view.AddOverlayPoint(point);
        return;
    }
    CLayer& layer = *hit->layer;
    if (IsPointLike(layer.GetType())) {
        InHitFile(*hit, [&] { layer.ShowRecord(hit->record, view, false); });
        return;
    }
    if (layer.IsVectorType()) {
        CShape shape;
        InHitFile(*hit, [&] {
            CLayerReader reader;
            if (reader.OpenLayer(&layer) && reader.GetSource()->ReadShape(hit->record, shape))
                view.AddOverlayShape(shape);
        });
        return;
    }
    CMapRect extent;
    if (layer.GetType() == CLayer::kRaster && RasterExtent(*hit, extent)) {
        const CMapPoint corners[] = {{extent.left, extent.top},
                                     {extent.right, extent.top},
                                     {extent.right, extent.bottom},
                                     {extent.left, extent.bottom},
                                     {extent.left, extent.top}};
        CShape outline;
        outline.SetPoints(5, corners);
        view.AddOverlayShape(outline);
    }
}

void ShowObjectAtPointInfo(const CObjectHit& hit)
{
    if (HasObjectInformation(hit))
        InHitFile(hit, [&] { hit.layer->ShowRecordInfo(hit.record, false); });
}

CRect PlaceObjectsAtPointWindow(const CRect& centred, const CPoint& click, const CRect& desktop)
{
    CRect placed = centred;
    if (!centred.PtInRect(click))
        return placed;
    const int height = centred.Height();
    if (click.y < desktop.CenterPoint().y)
        placed.top = click.y + kBelowClick;
    else
        placed.top = click.y - kAboveClick - height;
    placed.bottom = placed.top + height;
    return placed;
}
