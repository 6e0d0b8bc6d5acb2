#include "geoproc/EndVertices.h"

#include "core/DbfFieldInfo.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LineTopology.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/PointIndex.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <memory>

namespace {

constexpr char kNodesSuffix[] = "_nodes";

bool IsLineOrArea(const CLayer& layer)
{
    return !layer.HasFlag(CLayer::kGroup) && (layer.GetType() == CLayer::kLine || layer.GetType() == CLayer::kArea);
}

// Every shape of the layer handed to the visitor in reading order; 0 as
// CollectEndVertices says.
template <class Visit>
int ReadShapes(CLayer& layer, Visit visit)
{
    CShapeArray shapes;
    if (!LoadShapesIndexed(layer, shapes, nullptr, nullptr))
        return 0;
    for (int i = 0; i < shapes.GetSize(); ++i)
        visit(*shapes[i]);
    return 1;
}

bool IndexSegments(const std::vector<CMapPoint>& points, CVertexSegments& segments)
{
    segments.index.Free();
    CMapRect extent;
    for (const auto& [a, b] : segments.ends) {
        extent.UnionPoint(points[static_cast<size_t>(a)]);
        extent.UnionPoint(points[static_cast<size_t>(b)]);
    }
    if (!extent.IsValid() || !extent.IsFinite())
        return true;
    const int count = static_cast<int>(segments.ends.size());
    if (!segments.index.Create(extent, count, CSpatialIndex::kSourceCellCount))
        return false;
    for (int k = 0; k < count; ++k) {
        const auto& [a, b] = segments.ends[static_cast<size_t>(k)];
        CMapRect box(points[static_cast<size_t>(a)]);
        box.UnionPoint(points[static_cast<size_t>(b)]);
        segments.index.AddBox(box, k);
    }
    return segments.index.Build();
}

} // namespace

int CollectEndVertices(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* pointIndex)
{
    const int read = ReadShapes(layer, [&points](const CShape& shape) {
        for (int part = 0; part < shape.GetPartCount(); ++part) {
            const int start = shape.GetPartStart(part);
            const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
            if (size <= 0)
                continue;
            points.push_back(shape.GetPoint(start));
            points.push_back(shape.GetPoint(start + size - 1));
        }
    });
    if (!read)
        return 0;
    return !pointIndex || IndexPoints(points, *pointIndex) ? 1 : 0;
}

int CollectVertices(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* pointIndex,
                    CVertexSegments* segments)
{
    const bool rings = layer.GetType() == CLayer::kArea;
    const int read = ReadShapes(layer, [&](const CShape& shape) {
        for (int part = 0; part < shape.GetPartCount(); ++part) {
            const int start = shape.GetPartStart(part);
            const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
            const int first = static_cast<int>(points.size());
            for (int i = 0; i < size; ++i) {
                points.push_back(shape.GetPoint(start + i));
                if (segments && i > 0)
                    segments->ends.push_back({first + i - 1, first + i});
            }
            if (segments && rings && size > 2 && !(points[static_cast<size_t>(first)] == points.back()))
                segments->ends.push_back({static_cast<int>(points.size()) - 1, first});
        }
    });
    if (!read)
        return 0;
    if (pointIndex && !IndexPoints(points, *pointIndex))
        return 0;
    return !segments || IndexSegments(points, *segments) ? 1 : 0;
}

int WriteEndVertices(CLayer& layer, const std::string& path)
{
    if (layer.HasFlag(CLayer::kManyFiles))
        return 0;
    std::vector<CMapPoint> points;
    if (!CollectEndVertices(layer, points, nullptr))
        return 0;
    // The places numbered in the order they were first met, and the ends at each.
    CNodeNumbers places;
    std::vector<long> counts(points.size() + 1, 0);
    std::vector<size_t> firsts;
    for (size_t i = 0; i < points.size(); ++i) {
        const int place = places.Lookup(points[i]);
        if (counts[static_cast<size_t>(place)]++ == 0)
            firsts.push_back(i);
    }
    CDbfFieldInfo fields[3];
    fields[0].Set("ID", 'N', 8, 0);
    fields[1].Set("COUNT", 'N', 8, 0);
    fields[2].Set("", 'C', 0, 0);
    CLayerReader writer;
    if (!writer.CreateSource(path) || !writer.GetSource()->Create(path, CLayer::kPoint, fields))
        return 0;
    CFeatureSource& target = *writer.GetSource();
    CDbfTable& table = target.GetTable();
    const int idField = table.FindField("ID");
    const int countField = table.FindField("COUNT");
    CWaitCursor wait;
    target.BeginWrites();
    bool written = true;
    for (size_t id = 1; written && id <= firsts.size(); ++id)
        written = target.AppendPoint(points[firsts[id - 1]], false) &&
                  table.SetFieldLong(idField, static_cast<long>(id)) && table.SetFieldLong(countField, counts[id]) &&
                  table.WriteRecord();
    const EOperationEnd end = CloseWritten(target, written ? EOperationEnd::kDone : EOperationEnd::kFailed);
    return end == EOperationEnd::kDone ? 1 : 0;
}

int CreateEndVertexLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (!IsLineOrArea(layer) || layer.HasFlag(CLayer::kManyFiles))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, ResultLayerBase(layer, kNodesSuffix), CLayer::kPoint,
                               kResultGdb | kResultShapefile, choice))
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    const int written = WriteEndVertices(layer, result.GetWritePath());
    auto nodes = std::make_unique<CLayer>(choice.name, choice.path, CLayer::kPoint);
    nodes->SetIdField("ID");
    return result.End(written ? EOperationEnd::kDone : EOperationEnd::kFailed, std::move(nodes)) ? 1 : 0;
}
