#include "geoproc/SnapVertices.h"

#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/ShapeBoxIndex.h"
#include "geoproc/TopologyRules.h"
#include "layers/Layer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

constexpr int kVerticesMoved = 3028;
// Shapes of more vertices than this are searched through a grid.
constexpr int kGridFrom = 32;

struct CTolerance {
    double x, y;
    bool Near(const CMapPoint& from, const CMapPoint& to) const
    {
        const double dx = to.x - from.x, dy = to.y - from.y;
        return std::fabs(dx) < x && std::fabs(dy) < y && (dx != 0 || dy != 0);
    }
};

// The vertices of one shape in cells twice the tolerance wide, so that
// every near vertex lies in the cell of the point or one next to it.
class CVertexGrid {
public:
    explicit CVertexGrid(const CTolerance& tolerance) : m_width(2 * tolerance.x), m_height(2 * tolerance.y) {}

    void Add(const CMapPoint& p, int index)
    {
        int64_t cx, cy;
        if (Cell(p, cx, cy))
            m_cells[Key(cx, cy)].push_back(index);
    }
    // The smallest index of a vertex near the point; -1 for none.
    int FirstNear(const CMapPoint& p, const CMapPoint* points, const CTolerance& tolerance) const
    {
        int64_t cx, cy;
        if (!Cell(p, cx, cy))
            return -1;
        int best = -1;
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = m_cells.find(Key(cx + dx, cy + dy));
                if (found == m_cells.end())
                    continue;
                for (const int index : found->second) {
                    if (best >= 0 && index >= best)
                        break;
                    if (tolerance.Near(p, points[index])) {
                        best = index;
                        break;
                    }
                }
            }
        return best;
    }

private:
    static uint64_t Key(int64_t cx, int64_t cy)
    {
        return static_cast<uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(cy);
    }
    static bool Coordinate(double value, double width, int64_t& cell)
    {
        const double at = std::floor(value / width);
        if (!std::isfinite(at))
            return false;
        cell = static_cast<int64_t>(std::clamp(at, -4e18, 4e18));
        return true;
    }
    bool Cell(const CMapPoint& p, int64_t& cx, int64_t& cy) const
    {
        return Coordinate(p.x, m_width, cx) && Coordinate(p.y, m_height, cy);
    }

    double m_width, m_height;
    std::unordered_map<uint64_t, std::vector<int>> m_cells;
};

// The first of the points near p; -1 for none.
int FirstNear(const CMapPoint* points, int count, const CMapPoint& p, const CTolerance& tolerance,
              const CVertexGrid* grid)
{
    if (grid)
        return grid->FirstNear(p, points, tolerance);
    for (int i = 0; i < count; ++i)
        if (tolerance.Near(p, points[i]))
            return i;
    return -1;
}

// Steps 1 and 2 within one shape: parts closed, vertices onto earlier ones.
int64_t SnapWithin(CShape& shape, const CTolerance& tolerance)
{
    int64_t moved = 0;
    CMapPointArray& points = shape.Points();
    for (int part = 0, start = 0; part < shape.GetPartCount(); start += shape.GetPartSize(part), ++part) {
        const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
        if (size >= 2 && tolerance.Near(points[start + size - 1], points[start])) {
            points[start + size - 1] = points[start];
            ++moved;
        }
    }
    const int n = shape.GetPointCount();
    if (n <= kGridFrom) {
        for (int k = 1; k < n; ++k)
            for (int m = 0; m < k; ++m)
                if (tolerance.Near(points[k], points[m])) {
                    points[k] = points[m];
                    ++moved;
                    break;
                }
        return moved;
    }
    CVertexGrid grid(tolerance);
    grid.Add(points[0], 0);
    for (int k = 1; k < n; ++k) {
        const int m = grid.FirstNear(points[k], points.GetData(), tolerance);
        if (m >= 0) {
            points[k] = points[m];
            ++moved;
        }
        grid.Add(points[k], k);
    }
    return moved;
}

CMapRect Enlarged(const CMapRect& box, const CTolerance& tolerance)
{
    return CMapRect(box.left - tolerance.x, box.top + tolerance.y, box.right + tolerance.x, box.bottom - tolerance.y);
}

bool Inside(const CMapPoint& p, const CMapRect& box)
{
    return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
}

// The work goes through the shapes in their order, but each shape, its
// points and the index cells around it lie anywhere in memory: what the
// shapes a few turns ahead will read is asked for now, so that it has
// arrived when their turn comes. Distances measured on data larger than
// the cache.
constexpr int kObjectAhead = 16;
constexpr int kDataAhead = 8;

void PrefetchAhead(const CShapeArray& shapes, int a, const CShapeBoxIndex& index, const CTolerance& tolerance)
{
    if (a + kObjectAhead < shapes.GetSize()) {
        const char* object = reinterpret_cast<const char*>(shapes[a + kObjectAhead]);
        __builtin_prefetch(object);
        __builtin_prefetch(object + sizeof(CShape) - 1);
    }
    if (a + kDataAhead < shapes.GetSize()) {
        const CShape& shape = *shapes[a + kDataAhead];
        __builtin_prefetch(shape.Points().GetData());
        __builtin_prefetch(shape.PartSizes().data());
        index.Prefetch(Enlarged(shape.GetExtent(), tolerance));
    }
}

} // namespace

int64_t SnapVertices(CShapeArray& shapes, double tx, double ty, IProgress* progress)
{
    const int count = shapes.GetSize();
    if (progress) {
        progress->SetRange(0, count);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    if (!(tx > 0 && ty > 0))
        return 0;
    const CTolerance tolerance{tx, ty};
    CShapeBoxIndex index;
    if (!index.Build(shapes))
        return -1;
    // Grids of the large shapes already done: they change no more. By
    // shape, few of them, rather than a slot for every shape.
    std::unordered_map<int, CVertexGrid> grids;
    std::vector<CShapeBoxIndex::CFound> others;
    int64_t moved = 0;
    for (int a = 0; a < count; ++a) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel())
                return -1;
        }
        PrefetchAhead(shapes, a, index, tolerance);
        CShape& shape = *shapes[a];
        if (shape.GetPointCount() == 0)
            continue;
        int64_t here = SnapWithin(shape, tolerance);
        // Only the shapes before it: each pair is snapped once, later onto earlier.
        index.QueryKept(Enlarged(shape.GetExtent(), tolerance), others, a);
        for (const CShapeBoxIndex::CFound& other : others) {
            if (other.count == 0)
                continue;
            const CMapRect reach = Enlarged(other.box, tolerance);
            const CMapPoint* otherPoints = other.Points();
            // A small shape is searched point by point.
            CVertexGrid* grid = nullptr;
            if (other.count > kGridFrom) {
                const auto [at, made] = grids.try_emplace(other.shape, tolerance);
                if (made)
                    for (int i = 0; i < other.count; ++i)
                        at->second.Add(otherPoints[i], i);
                grid = &at->second;
            }
            CMapPointArray& points = shape.Points();
            for (int v = 0; v < shape.GetPointCount(); ++v) {
                if (!Inside(points[v], reach))
                    continue;
                const int near = FirstNear(otherPoints, other.count, points[v], tolerance, grid);
                if (near >= 0) {
                    points[v] = otherPoints[near];
                    ++here;
                }
            }
        }
        if (here > 0) {
            shape.RecalcBounds();
            index.Moved(a);
            moved += here;
        }
        // Done: later shapes find it in the index.
        index.Keep(a);
    }
    return moved;
}

int SnapAdjacentPoints(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    const int type = layer.GetType();
    if (layer.HasFlag(CLayer::kGroup) || (type != CLayer::kLine && type != CLayer::kArea))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, ""), type, choice))
        return 0;
    double tolerance = 0;
    if (!CErrorToleranceRules::Ask(CErrorToleranceRules::kSnapping, tolerance))
        return 0;
    double mx = 1, my = 1;
    document.GetMetresPerUnit(mx, my);
    CShapeArray shapes;
    std::vector<int32_t> records;
    if (!LoadShapesIndexed(layer, shapes, &records, nullptr))
        return 0;
    int64_t moved = 0;
    {
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        moved = SnapVertices(shapes, tolerance / mx, tolerance / my, progress.get());
    }
    if (moved < 0)
        return 0;
    if (moved > 0) {
        CNewResultLayer result(document, choice);
        if (!result.Begin())
            return 0;
        const int written = WriteShapesToFile(layer, result.GetWritePath(), type, shapes, &records);
        if (!result.End(written ? EOperationEnd::kDone : EOperationEnd::kFailed))
            return 0;
        document.UpdateAllViews(kHintAll);
    }
    AppMessageBox(LoadStringArg(kVerticesMoved, std::to_string(moved)), MB_OK | MB_ICONINFORMATION, kVerticesMoved);
    return 1;
}
