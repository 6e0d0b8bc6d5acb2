#include "geoproc/Islands.h"

#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "layers/Layer.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <memory>

namespace {

bool BoxInside(const CMapRect& inner, const CMapRect& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
           inner.top <= outer.top;
}

// Whether the area lies wholly in the ring: its first vertex inside (the
// cheap test) and nothing of it left when the ring is taken away.
bool LiesInRing(const CShape& area, const CShape& ring)
{
    if (!BoxInside(area.GetExtent(), ring.GetExtent()) || !area.GetExtent().IsFinite() ||
        !ring.GetExtent().IsFinite() || ring.PointInPolygon(area.GetPoint(0)) == 0)
        return false;
    CShape rest;
    return !area.Subtract(ring, rest);
}

} // namespace

int MakeIslands(CShapeArray& shapes, CSpatialIndex& index, IProgress* progress)
{
    const int count = shapes.GetSize();
    if (progress) {
        progress->SetRange(0, count);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    std::vector<int> candidates;
    for (int i = 0; i < count; ++i) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel())
                return 0;
        }
        CShape& area = *shapes[i];
        if (area.GetPointCount() == 0)
            continue;
        const CMapRect box = area.GetExtent();
        candidates.clear();
        for (int c = index.BeginRectQuery(box); c >= 0; c = index.Next())
            if (c != i && c < count && shapes[c]->GetPointCount() > 0 && BoxInside(shapes[c]->GetExtent(), box))
                candidates.push_back(c);
        if (candidates.empty())
            continue;
        // The rings as they were before any island joined them.
        std::vector<CShape> rings(static_cast<size_t>(area.GetPartCount()));
        for (int part = 0; part < area.GetPartCount(); ++part)
            area.GetPart(part, rings[static_cast<size_t>(part)]);
        for (const int c : candidates) {
            CShape& island = *shapes[c];
            for (const CShape& ring : rings) {
                if (ring.GetPointCount() < 3 || !LiesInRing(island, ring))
                    continue;
                area.AppendParts(island);
                island.RemoveAll();
                break;
            }
        }
    }
    return 1;
}

int CreateIslands(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (layer.HasFlag(CLayer::kGroup) || layer.GetType() != CLayer::kArea)
        return 0;
    CResultLayerChoice choice;
    const int place = AskResultPlace(layer, document, dialogs, ResultLayerBase(layer, ""), choice);
    if (place == IDCANCEL)
        return 0;
    CShapeArray shapes;
    std::vector<int32_t> records;
    CSpatialIndex index;
    if (!LoadShapesIndexed(layer, shapes, &records, &index))
        return 0;
    {
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        if (!MakeIslands(shapes, index, progress.get()))
            return 0;
    }
    if (!WriteResultShapes(place, layer, document, choice, shapes, records))
        return 0;
    if (place == IDNO)
        document.UpdateAllViews(kHintAll);
    return 1;
}
