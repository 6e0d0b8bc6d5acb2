#include "geoproc/LayerCopy.h"

#include "core/DbfTable.h"
#include "core/Shape.h"
#include "geoproc/NewResultLayer.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/UserServices.h"

#include <vector>

namespace {
constexpr int kReadError = 1028;
} // namespace

EOperationEnd WriteChangedCopy(CLayer& layer, const std::string& path, const CObjectChange& change,
                               IProgress* progress)
{
    const int type = layer.GetType();
    if (layer.HasFlag(CLayer::kGroup) || (type != CLayer::kPoint && type != CLayer::kLine && type != CLayer::kArea))
        return EOperationEnd::kFailed;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return EOperationEnd::kFailed;
    CFeatureSource& from = *reader.GetSource();
    const std::vector<CDbfFieldInfo> fields = from.GetFieldInfos();
    CLayerReader writer;
    // Only the end entry: the layer has no table, the copy the default one.
    const CDbfFieldInfo* fieldList = fields.size() > 1 ? fields.data() : nullptr;
    if (!writer.CreateSource(path) || !writer.GetSource()->Create(path, type, fieldList))
        return EOperationEnd::kFailed;
    CFeatureSource& to = *writer.GetSource();
    CDbfTable& table = to.GetTable();
    const auto writeRecord = [&from, &table] {
        if (!table.IsOpen())
            return true;
        if (from.GetTable().IsOpen()) {
            if (!from.GetRecordTable(from.GetCurrentRecord()))
                return false;
            from.CopyAttributesTo(table);
        }
        return table.WriteRecord();
    };
    if (progress) {
        progress->SetRange(0, from.GetTable().IsOpen() ? from.GetTable().GetRecordCount() : 0);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    const auto cancelled = [progress] {
        if (!progress)
            return false;
        progress->StepIt();
        return progress->CheckCancel();
    };
    EOperationEnd end = EOperationEnd::kDone;
    to.BeginWrites();
    if (type == CLayer::kPoint) {
        for (CMapPoint point; end == EOperationEnd::kDone && from.ReadNextPoint(point);) {
            if (cancelled()) {
                end = EOperationEnd::kCancelled;
                break;
            }
            if (change.point)
                change.point(point);
            if (!to.AppendPoint(point, false) || !writeRecord())
                end = EOperationEnd::kFailed;
        }
    } else {
        for (CShape shape; end == EOperationEnd::kDone && from.ReadNextShape(shape);) {
            if (cancelled()) {
                end = EOperationEnd::kCancelled;
                break;
            }
            if (change.shape)
                change.shape(shape);
            if (shape.GetPointCount() == 0)
                continue;
            if (!to.AppendShape(shape, false) || !writeRecord())
                end = EOperationEnd::kFailed;
        }
    }
    // An object passed over would be missing from the copy.
    if (end == EOperationEnd::kDone && from.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        end = EOperationEnd::kFailed;
    }
    return CloseWritten(to, end);
}
