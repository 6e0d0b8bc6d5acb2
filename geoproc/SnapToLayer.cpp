#include "geoproc/SnapToLayer.h"

#include "core/MapRect.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LayerCopy.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/Overlay.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

bool IsPointType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kTrack;
}

bool IsSourceType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kLine || type == CLayer::kArea;
}

bool Inside(const CMapPoint& p, const CMapRect& box)
{
    return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
}

bool BoxesMeet(const CMapRect& a, const CMapRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

CMapRect SegmentBox(const CMapPoint& a, const CMapPoint& b)
{
    CMapRect box(a);
    box.UnionPoint(b);
    return box;
}

// The target's points taken into each segment of every part, the parts
// from the last and the segments of a part from the last; the closing
// edge of a ring that does not repeat its first vertex counts as its last
// segment.
void InsertAlongSegments(CShape& shape, CSnapTargets& targets, const CTopologyTolerance& tolerance, bool rings)
{
    const int partCount = shape.GetPartCount();
    std::vector<std::vector<CMapPoint>> parts(static_cast<size_t>(partCount));
    std::vector<const CMapPoint*> near;
    for (int part = partCount - 1; part >= 0; --part) {
        const int start = shape.GetPartStart(part);
        const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
        if (size <= 0)
            continue;
        const CMapPoint* points = shape.Points().GetData() + start;
        // What goes after each vertex.
        std::vector<std::vector<CMapPoint>> after(static_cast<size_t>(size));
        const auto visit = [&](int i, int j) {
            if (points[i] == points[j])
                return;
            targets.PointsAlong(points[i], points[j], tolerance, near);
            std::vector<CMapPoint>& inserted = after[static_cast<size_t>(i)];
            for (const CMapPoint* p : near)
                // A place that several target objects share goes in once.
                if (inserted.empty() || !(inserted.back() == *p))
                    inserted.push_back(*p);
        };
        if (rings && size > 2 && !(points[0] == points[size - 1]))
            visit(size - 1, 0);
        for (int i = size - 2; i >= 0; --i)
            visit(i, i + 1);
        std::vector<CMapPoint>& out = parts[static_cast<size_t>(part)];
        for (int i = 0; i < size; ++i) {
            out.push_back(points[i]);
            out.insert(out.end(), after[static_cast<size_t>(i)].begin(), after[static_cast<size_t>(i)].end());
        }
    }
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    for (const std::vector<CMapPoint>& part : parts) {
        if (part.empty())
            continue;
        points.Append(part.data(), static_cast<int>(part.size()));
        sizes.push_back(static_cast<uint32_t>(part.size()));
    }
    shape.SetParts(std::move(points), std::move(sizes));
}

void SnapEnds(CShape& shape, CSnapTargets& targets, const CTopologyTolerance& tolerance)
{
    CMapPointArray& points = shape.Points();
    for (int part = 0; part < shape.GetPartCount(); ++part) {
        const int start = shape.GetPartStart(part);
        const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
        if (size <= 0)
            continue;
        targets.Snap(points[start], tolerance);
        if (size > 1)
            targets.Snap(points[start + size - 1], tolerance);
    }
}

} // namespace

bool PointXAscending(const CMapPoint* p, const CMapPoint* q)
{
    return p->x < q->x;
}

bool PointXDescending(const CMapPoint* p, const CMapPoint* q)
{
    return p->x > q->x;
}

bool PointYAscending(const CMapPoint* p, const CMapPoint* q)
{
    return p->y < q->y;
}

bool PointYDescending(const CMapPoint* p, const CMapPoint* q)
{
    return p->y > q->y;
}

bool SnapToNearestPoint(CMapPoint& point, const std::vector<CMapPoint>& points, CSpatialIndex& index,
                        const CTopologyTolerance& tolerance)
{
    if (points.empty())
        return false;
    const CMapRect box = tolerance.Box(point);
    double best = tolerance.metres * tolerance.metres;
    int found = -1;
    for (int hit = index.BeginRectQuery(box); hit >= 0; hit = index.Next()) {
        const CMapPoint& q = points[static_cast<size_t>(hit)];
        // The index answers by cells: the point's own place decides.
        if (!tolerance.InBox(point, q))
            continue;
        const double d2 = tolerance.SquaredMetres(q, point);
        if (d2 < best) {
            best = d2;
            found = hit;
        }
    }
    if (found < 0)
        return false;
    point = points[static_cast<size_t>(found)];
    return true;
}

bool SnapToNearestEdge(CMapPoint& point, const std::vector<CMapPoint>& points, CVertexSegments& segments,
                       const CTopologyTolerance& tolerance)
{
    if (segments.ends.empty())
        return false;
    const CMapRect box = tolerance.Box(point);
    double best = tolerance.metres * tolerance.metres;
    bool found = false;
    CMapPoint snapped;
    for (int hit = segments.index.BeginRectQuery(box); hit >= 0; hit = segments.index.Next()) {
        const auto& [first, second] = segments.ends[static_cast<size_t>(hit)];
        const CMapPoint& a = points[static_cast<size_t>(first)];
        const CMapPoint& b = points[static_cast<size_t>(second)];
        if (!BoxesMeet(SegmentBox(a, b), box))
            continue;
        // In metres, from the point.
        const double ax = (a.x - point.x) * tolerance.mx, ay = (a.y - point.y) * tolerance.my;
        const double dx = (b.x - a.x) * tolerance.mx, dy = (b.y - a.y) * tolerance.my;
        const double length2 = dx * dx + dy * dy;
        const double u = length2 > 0 ? -(ax * dx + ay * dy) / length2 : 0;
        CMapPoint candidate;
        double cx, cy;
        if (u >= 1) {
            candidate = b;
            cx = ax + dx;
            cy = ay + dy;
        } else if (u <= 0) {
            candidate = a;
            cx = ax;
            cy = ay;
        } else {
            candidate = CMapPoint(a.x + u * (b.x - a.x), a.y + u * (b.y - a.y));
            cx = ax + u * dx;
            cy = ay + u * dy;
        }
        const double d2 = cx * cx + cy * cy;
        if (d2 < best) {
            best = d2;
            snapped = candidate;
            found = true;
        }
    }
    if (found)
        point = snapped;
    return found;
}

void CollectPointsNearSegment(const CMapPoint& a, const CMapPoint& b, const std::vector<CMapPoint>& points,
                              CSpatialIndex& index, const CTopologyTolerance& tolerance,
                              std::vector<const CMapPoint*>& near)
{
    near.clear();
    const double dx = (b.x - a.x) * tolerance.mx, dy = (b.y - a.y) * tolerance.my;
    const double length2 = dx * dx + dy * dy;
    if (points.empty() || !(length2 > 0))
        return;
    CMapRect box = SegmentBox(a, b);
    box = CMapRect(box.left - tolerance.tx, box.top + tolerance.ty, box.right + tolerance.tx,
                   box.bottom - tolerance.ty);
    const double limit = tolerance.metres * tolerance.metres;
    for (int hit = index.BeginRectQuery(box); hit >= 0; hit = index.Next()) {
        const CMapPoint& q = points[static_cast<size_t>(hit)];
        if (!Inside(q, box))
            continue;
        const double px = (q.x - a.x) * tolerance.mx, py = (q.y - a.y) * tolerance.my;
        const double u = (px * dx + py * dy) / length2;
        if (!(u > 0 && u < 1))
            continue;
        const double ex = px - u * dx, ey = py - u * dy;
        if (ex * ex + ey * ey < limit)
            near.push_back(&q);
    }
    bool (*order)(const CMapPoint*, const CMapPoint*);
    if (std::fabs(a.y - b.y) >= std::fabs(a.x - b.x))
        order = a.y >= b.y ? PointYDescending : PointYAscending;
    else
        order = a.x >= b.x ? PointXDescending : PointXAscending;
    std::stable_sort(near.begin(), near.end(), order);
}

int CSnapTargets::Load(CLayer& target, int toWhat, const CCoordConverter* converter)
{
    m_points.clear();
    m_segments.ends.clear();
    if (target.HasFlag(CLayer::kGroup))
        return 0;
    const int type = target.GetType();
    if (IsPointType(type)) {
        m_toWhat = kToEnds;
        return LoadPointsIndexed(target, m_points, &m_index, converter, nullptr);
    }
    if (type != CLayer::kLine && type != CLayer::kArea)
        return 0;
    m_toWhat = std::clamp(toWhat, static_cast<int>(kToEnds), static_cast<int>(kToVerticesOrEdges));
    switch (m_toWhat) {
    case kToEnds:
        return CollectEndVertices(target, m_points, &m_index);
    case kToVertices:
        return CollectVertices(target, m_points, &m_index, nullptr);
    default:
        return CollectVertices(target, m_points, &m_index, &m_segments);
    }
}

bool CSnapTargets::Snap(CMapPoint& point, const CTopologyTolerance& tolerance)
{
    switch (m_toWhat) {
    case kToEdges:
        return SnapToNearestEdge(point, m_points, m_segments, tolerance);
    case kToVerticesOrEdges:
        return SnapToNearestPoint(point, m_points, m_index, tolerance) ||
               SnapToNearestEdge(point, m_points, m_segments, tolerance);
    default:
        return SnapToNearestPoint(point, m_points, m_index, tolerance);
    }
}

void CSnapTargets::PointsAlong(const CMapPoint& a, const CMapPoint& b, const CTopologyTolerance& tolerance,
                               std::vector<const CMapPoint*>& near)
{
    CollectPointsNearSegment(a, b, m_points, m_index, tolerance, near);
}

EOperationEnd SnapLayerData(CLayer& source, CSnapTargets& targets, const std::string& path, int what,
                            const CTopologyTolerance& tolerance, IProgress* progress)
{
    if (!IsSourceType(source.GetType()))
        return EOperationEnd::kFailed;
    const bool rings = source.GetType() == CLayer::kArea;
    CObjectChange snap;
    snap.point = [&](CMapPoint& point) { targets.Snap(point, tolerance); };
    snap.shape = [&](CShape& shape) {
        if (what == kSnapInsertVertices)
            InsertAlongSegments(shape, targets, tolerance, rings);
        if (what == kSnapVertices || what == kSnapInsertVertices) {
            for (CMapPoint& vertex : shape.Points())
                targets.Snap(vertex, tolerance);
        } else {
            SnapEnds(shape, targets, tolerance);
        }
        shape.RecalcBounds();
    };
    return WriteChangedCopy(source, path, snap, progress);
}

int SnapToLayer(CLayer& source, CLayer& target, CDrelDoc& document, const CDocCommandDialogs& dialogs,
                double toleranceMetres, int what, int toWhat)
{
    const int type = source.GetType();
    if (!IsSourceType(type) || source.HasFlag(CLayer::kGroup) || target.HasFlag(CLayer::kGroup) ||
        !(IsPointType(target.GetType()) || target.GetType() == CLayer::kLine || target.GetType() == CLayer::kArea))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, ResultLayerBase(source, ""), type, kResultGdb | kResultShapefile,
                               choice))
        return 0;
    const CTopologyTolerance tolerance = CTopologyTolerance::Of(document, toleranceMetres);
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    CSnapTargets targets;
    EOperationEnd end = EOperationEnd::kFailed;
    if (targets.Load(target, toWhat, document.GetGeoToMapConverter())) {
        CWaitCursor wait;
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        end = SnapLayerData(source, targets, result.GetWritePath(), what, tolerance, progress.get());
    }
    auto copy = std::make_unique<CLayer>(choice.name, choice.path, type);
    copy->SetIdField(source.GetIdField());
    if (!result.End(end, std::move(copy)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}

int SnapLayerToLayer(CLayer* active, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    CSnapLayerChoice choice;
    if (!GeoprocDialogs().AskSnapLayer(document, active, choice) || !choice.source || !choice.target)
        return 0;
    return SnapToLayer(*choice.source, *choice.target, document, dialogs, choice.tolerance, choice.what,
                       choice.toWhat);
}
