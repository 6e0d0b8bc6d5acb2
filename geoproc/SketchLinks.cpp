#include "geoproc/SketchLinks.h"

#include "core/DbfTable.h"
#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/UserServices.h"

#include <algorithm>

namespace {

enum LinkLayerMessage : int {
    kInfoProtected = 1035,
    kNotLine = 1061,
};

int FindNodeField(const CDbfTable& table, const char* name, const char* fallback)
{
    const int field = table.FindField(name);
    return field >= 0 ? field : table.FindField(fallback);
}

bool BoxesMeet(const CMapRect& a, const CMapRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

} // namespace

CNodeFields::CNodeFields(const CDbfTable& table)
    : from(FindNodeField(table, "Fnode_", "Fnode")), to(FindNodeField(table, "Tnode_", "Tnode"))
{}

double SketchRadius(const CShape& sketch)
{
    const CMapRect& box = sketch.GetExtent();
    return (box.Width() + box.Height()) / 2;
}

bool CSketchLinks::Load(CLayer& layer)
{
    return LoadShapesIndexed(layer, m_shapes, &m_records, &m_index) != 0;
}

int CSketchLinks::FindNearest(const CMapPoint& point, double radius, CMapPoint* nearest)
{
    if (m_shapes.IsEmpty() || !(radius >= 0))
        return -1;
    const CMapRect square(point.x - radius, point.y + radius, point.x + radius, point.y - radius);
    int found = -1;
    double best = radius;
    for (int hit = m_index.BeginRectQuery(square); hit >= 0; hit = m_index.Next()) {
        const CShape& link = *m_shapes[hit];
        // The index answers by cells: the link's own box decides.
        if (!BoxesMeet(link.GetExtent(), square))
            continue;
        for (int part = 0; part < link.GetPartCount(); ++part) {
            const int start = link.GetPartStart(part);
            const int size = std::min(link.GetPartSize(part), link.GetPointCount() - start);
            int segment = -1;
            double distance = 0;
            CMapPoint at;
            if (size <= 0 ||
                !FindNearestSegment(link.Points().GetData() + start, size, point, best, segment, &distance, &at))
                continue;
            // A link only as near as the one kept leaves it.
            if (found >= 0 && found != hit && !(distance < best))
                continue;
            found = hit;
            best = distance;
            if (nearest)
                *nearest = at;
        }
    }
    return found;
}

bool OpenLinkLayer(CLayer& layer, CLayerReader& reader)
{
    if (layer.GetType() != CLayer::kLine || layer.HasFlag(CLayer::kGroup)) {
        AppMessageBox(kNotLine, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!layer.HasFlag(CLayer::kInfoEditable)) {
        AppMessageBox(kInfoProtected, MB_OK | MB_ICONWARNING);
        return false;
    }
    return reader.OpenLayer(&layer);
}

CLayer* ChooseSketchLayer(CDrelDoc& document, CLayer& layer, CSketchLinks& links)
{
    CLayer* sketch = nullptr;
    if (!GeoprocDialogs().AskLayerChoice(document, sketch) || !sketch)
        return nullptr;
    return links.Load(layer) ? sketch : nullptr;
}

