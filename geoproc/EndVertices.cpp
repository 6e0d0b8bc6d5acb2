#include "geoproc/EndVertices.h"

#include "core/DbfFieldInfo.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "geoproc/GeoprocFrame.h"
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

constexpr int kReadError = 1028;
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
    if (!IsLineOrArea(layer))
        return 0;
    CWaitCursor wait;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    for (CShape shape; source.ReadNextShape(shape);)
        visit(shape);
    // A shape passed over would leave its vertices out.
    if (source.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        return 0;
    }
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
    CSpatialIndex index;
    if (!CollectEndVertices(layer, points, &index))
        return 0;
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
    std::vector<char> used(points.size(), 0);
    bool written = true;
    long id = 0;
    for (size_t i = 0; written && i < points.size(); ++i) {
        if (used[i])
            continue;
        const CMapPoint& at = points[i];
        long count = 0;
        for (int hit = index.BeginPointQuery(at); hit >= 0; hit = index.Next()) {
            // The index answers by cells: only the very place counts.
            if (!(points[static_cast<size_t>(hit)] == at))
                continue;
            used[static_cast<size_t>(hit)] = 1;
            ++count;
        }
        if (count == 0) {
            // A place the index cannot hold (no number): the point alone.
            used[i] = 1;
            count = 1;
        }
        written = target.AppendPoint(at, false) && table.SetFieldLong(idField, ++id) &&
                  table.SetFieldLong(countField, count) && table.WriteRecord();
    }
    written = target.EndWrites() && written;
    target.Close();
    return written && target.GetError() == CFeatureSource::kNoError ? 1 : 0;
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
