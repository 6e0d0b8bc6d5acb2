// The overlay command's frame: the result layer, the overlaying objects
// loaded, the kernel of the source's type, and classification in place.
#include "geoproc/Overlay.h"

#include "core/DbfTable.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/PointIndex.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

enum OverlayMessage : int {
    kProgressCaption = 125,
    kFieldMissing = 1008,
    kReadError = 1028,
    kInfoLocked = 1035,
};

// Where a point classified by areas goes (dialog 311).
enum ResultPlace : int { kNewLayer = 0, kSourceLayer = 1 };

bool IsPointType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kTrack;
}

// The type an operation sees: a track is points; -1 for what it refuses.
int SourceTypeOf(const CLayer& layer)
{
    if (layer.HasFlag(CLayer::kGroup))
        return -1;
    const int type = layer.GetType();
    if (IsPointType(type))
        return CLayer::kPoint;
    return type == CLayer::kLine || type == CLayer::kArea ? type : -1;
}

bool IsOverlayCode(int code)
{
    return std::find(std::begin(kOverlayCodes), std::end(kOverlayCodes), code) != std::end(kOverlayCodes);
}

// The overlaying layer's objects as loaded.
struct CLoadedOverlay {
    CShapeArray areas;
    std::vector<CMapPoint> points;
    std::vector<int32_t> records;
    CSpatialIndex index;
};

// Loads the overlaying objects; false when they cannot be read (told).
bool LoadOverlaying(CLayer& overlaying, CDrelDoc& document, bool withRecords, CLoadedOverlay& loaded,
                    COverlaying& view)
{
    CMessageCounter messages;
    const bool areas = overlaying.GetType() == CLayer::kArea;
    const bool done =
        areas ? LoadShapesIndexed(overlaying, loaded.areas, withRecords ? &loaded.records : nullptr, &loaded.index)
              : LoadPointsIndexed(overlaying, loaded.points, &loaded.index, document.GetGeoToMapConverter(),
                                  &loaded.records);
    if (!done) {
        // An index that could not be made says nothing of itself.
        if (messages.GetCount() == 0)
            AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (areas)
        view.areas = &loaded.areas;
    else
        view.points = &loaded.points;
    view.records = loaded.records.empty() ? nullptr : &loaded.records;
    view.index = &loaded.index;
    return true;
}

// The result of the source overlaid into a new file at the path.
EOperationEnd WriteOverlay(CLayer& source, int sourceType, CLayer& overlaying, COverlaying& objects, int code,
                           CDrelDoc& document, const std::string& path)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&source))
        return EOperationEnd::kFailed;
    CFeatureSource& from = *reader.GetSource();
    from.SetReadConverter(document.GetGeoToMapConverter());
    CLayerReader overlayReader;
    std::vector<CDbfFieldInfo> overlayFields;
    const bool transfer = OverlayTransfersAttributes(code);
    if (transfer) {
        if (!overlayReader.OpenLayer(&overlaying))
            return EOperationEnd::kFailed;
        CFeatureSource& over = *overlayReader.GetSource();
        overlayFields = over.GetFieldInfos();
        if (over.GetTable().IsOpen())
            objects.table = &over.GetTable();
    }
    const std::vector<CDbfFieldInfo> fields =
        OverlayResultFields(from.GetFieldInfos(), transfer ? &overlayFields : nullptr);
    CLayerReader writer;
    // Only the end entry: the source has no table, the result the default one.
    const CDbfFieldInfo* fieldList = fields.size() > 1 ? fields.data() : nullptr;
    if (!writer.CreateSource(path) || !writer.GetSource()->Create(path, sourceType, fieldList))
        return EOperationEnd::kFailed;
    CFeatureSource& to = *writer.GetSource();

    CWaitCursor wait;
    std::unique_ptr<IProgress> window = UserServices().CreateProgress(kProgressCaption);
    COverlayRun run;
    run.progress = window.get();
    int done = 0;
    if (sourceType == CLayer::kPoint)
        done = OverlayPoints(from, to, objects, code, run);
    else if (sourceType == CLayer::kLine)
        done = OverlayLines(from, to, objects, code, run);
    else if (objects.points)
        done = ClassifyAreasByPoints(from, to, objects, run);
    else
        done = OverlayAreas(from, to, objects, code, run);
    window.reset();
    to.Close();
    if (!done || to.GetError() != CFeatureSource::kNoError)
        return EOperationEnd::kFailed;
    return run.cancelled ? EOperationEnd::kCancelled : EOperationEnd::kDone;
}

// The fields asked (312) and the points classified in place; the
// protection of their attributes is told before the fields are asked.
int ClassifySourceInPlace(CLayer& source, CLayer& overlaying, CDrelDoc& document)
{
    if (!source.HasFlag(CLayer::kInfoEditable)) {
        AppMessageBox(kInfoLocked, MB_OK | MB_ICONWARNING);
        return 0;
    }
    std::string pointField, areaField;
    if (!GeoprocDialogs().AskClassFields(source, overlaying, pointField, areaField) || pointField.empty() ||
        areaField.empty())
        return 0;
    return ClassifyPointsInPlace(source, overlaying, pointField, areaField, document);
}

} // namespace

bool OverlayServes(int sourceType, int overlayingType, int code)
{
    const bool areaSource = sourceType == CLayer::kArea;
    if ((code == kOverlayUnion || code == kOverlayPaste) && !areaSource)
        return false;
    if (IsPointType(overlayingType))
        return code == kOverlayClassify && areaSource;
    return overlayingType == CLayer::kArea;
}

int LoadPointsIndexed(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* index,
                      const CCoordConverter* converter, std::vector<int32_t>* records)
{
    if (!IsPointType(layer.GetType()) || layer.HasFlag(CLayer::kGroup))
        return 0;
    CWaitCursor wait;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    source.SetReadConverter(converter);
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        points.push_back(point);
        if (records)
            records->push_back(source.GetCurrentRecord());
    }
    // A point passed over would be missing from the result.
    if (source.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        return 0;
    }
    reader.Close();
    return !index || IndexPoints(points, *index) ? 1 : 0;
}

EOperationEnd OverlayIntoFile(CLayer& source, CDrelDoc& document, CLayer& overlaying, int code, const std::string& path)
{
    const int sourceType = SourceTypeOf(source);
    const int overlayingType = SourceTypeOf(overlaying);
    if (sourceType < 0 || overlayingType < 0 || !IsOverlayCode(code) || code == kOverlayClassify ||
        !OverlayServes(sourceType, overlayingType, code))
        return EOperationEnd::kFailed;
    CLoadedOverlay loaded;
    COverlaying objects;
    if (!LoadOverlaying(overlaying, document, OverlayTransfersAttributes(code), loaded, objects))
        return EOperationEnd::kFailed;
    return WriteOverlay(source, sourceType, overlaying, objects, code, document, path);
}

int Overlay(CLayer& source, CDrelDoc& document, CLayer& overlaying, int code, const CDocCommandDialogs& dialogs)
{
    const int sourceType = SourceTypeOf(source);
    const int overlayingType = SourceTypeOf(overlaying);
    if (sourceType < 0 || overlayingType < 0 || !IsOverlayCode(code))
        return 0;
    // A line overlaying layer has no areas to cut by.
    if (!OverlayServes(sourceType, overlayingType, code))
        return 0;
    if (code == kOverlayClassify && sourceType == CLayer::kPoint) {
        int place = kNewLayer;
        if (!GeoprocDialogs().AskResultLayer(place))
            return 0;
        if (place == kSourceLayer)
            return ClassifySourceInPlace(source, overlaying, document);
    }
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(source, ""), sourceType, choice))
        return 0;
    CLoadedOverlay loaded;
    COverlaying objects;
    // The records of the areas whose fields the pieces take (points always
    // come with theirs).
    const bool withRecords = OverlayTransfersAttributes(code);
    if (!LoadOverlaying(overlaying, document, withRecords, loaded, objects))
        return 0;
    CNewResultLayer result(document, choice, CNewResultLayer::kCancelKeepsWritten);
    if (!result.Begin())
        return 0;
    const EOperationEnd end =
        WriteOverlay(source, sourceType, overlaying, objects, code, document, result.GetWritePath());
    if (!result.End(end))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}

int ClassifyPointsInPlace(CLayer& points, CLayer& areas, const std::string& pointField, const std::string& areaField,
                          CDrelDoc& document)
{
    if (SourceTypeOf(points) != CLayer::kPoint || SourceTypeOf(areas) != CLayer::kArea)
        return 0;
    if (!points.HasFlag(CLayer::kInfoEditable)) {
        AppMessageBox(kInfoLocked, MB_OK | MB_ICONWARNING);
        return 0;
    }
    CLoadedOverlay loaded;
    COverlaying objects;
    if (!LoadOverlaying(areas, document, true, loaded, objects))
        return 0;
    CLayerReader pointReader, areaReader;
    if (!pointReader.OpenLayer(&points) || !areaReader.OpenLayer(&areas))
        return 0;
    CFeatureSource& from = *pointReader.GetSource();
    CFeatureSource& areaSource = *areaReader.GetSource();
    from.SetReadConverter(document.GetGeoToMapConverter());
    const int to = from.GetTable().FindField(pointField);
    const int field = areaSource.GetTable().FindField(areaField);
    if (to < 0 || field < 0) {
        const bool pointsLack = to < 0;
        AppMessageBox(LoadStringArgs(kFieldMissing, (pointsLack ? points : areas).GetName(),
                                     pointsLack ? pointField : areaField),
                      MB_OK | MB_ICONWARNING, kFieldMissing);
        return 0;
    }

    objects.table = &areaSource.GetTable();
    CWaitCursor wait;
    std::unique_ptr<IProgress> window = UserServices().CreateProgress(kProgressCaption);
    COverlayRun run;
    run.progress = window.get();
    const int done = ClassifyPointRecords(from, to, objects, field, run);
    window.reset();
    if (points.HasFlag(CLayer::kShown))
        document.UpdateAllViews(MakeHint(document.FindLayerIndex(&points), kHintRedraw));
    return done;
}
