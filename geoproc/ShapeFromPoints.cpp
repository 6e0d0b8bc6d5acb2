#include "geoproc/ShapeFromPoints.h"

#include "core/DbfFieldInfo.h"
#include "core/Shape.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"

#include <memory>

namespace {

bool ReadPointShape(CLayer& layer, CDrelDoc& document, CShape& shape)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return false;
    CFeatureSource& source = *reader.GetSource();
    source.SetReadConverter(document.GetGeoToMapConverter());
    return source.ReadAllPoints(shape);
}

bool WriteShape(const std::string& path, int type, const CShape& shape)
{
    CDbfFieldInfo fields[2];
    fields[0].Set("ID", 'N', 8, 0);
    fields[1].Set("", 'C', 0, 0);
    CLayerReader writer;
    if (!writer.CreateSource(path) || !writer.GetSource()->Create(path, type, fields))
        return false;
    CFeatureSource& target = *writer.GetSource();
    CDbfTable& table = target.GetTable();
    if (!target.AppendShape(shape, false) || !table.SetFieldLong(0, 1) || !table.WriteRecord())
        return false;
    target.Close();
    return target.GetError() == CFeatureSource::kNoError;
}

} // namespace

int CreateShapeFromPoints(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs, int type)
{
    if (layer.HasFlag(CLayer::kGroup) || (layer.GetType() != CLayer::kPoint && layer.GetType() != CLayer::kTrack) ||
        (type != CLayer::kLine && type != CLayer::kArea))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, ResultLayerBase(layer, "_poly"), type,
                               kResultGdb | kResultShapefile, choice))
        return 0;
    CShape shape;
    if (!ReadPointShape(layer, document, shape))
        return 0;
    const int count = shape.GetPointCount();
    const CMapPoint first = count > 0 ? shape.GetPoint(0) : CMapPoint();
    if (type == CLayer::kArea && count > 1 && first != shape.GetPoint(count - 1))
        shape.AddPoint(first);
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    const bool written = WriteShape(result.GetWritePath(), type, shape);
    return result.End(written ? EOperationEnd::kDone : EOperationEnd::kFailed) ? 1 : 0;
}
