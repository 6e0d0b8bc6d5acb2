#include "mapdoc/ObjectSearch.h"

#include "layers/Layer.h"
#include "platform/Installed.h"

namespace {
CInstalled<IObjectSearch> g_installed;
} // namespace

bool IObjectSearch::MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView& view, CShape& geometry)
{
    return layer.MarkObjectAt(point, view, geometry) != 0;
}

IObjectSearch& ObjectSearch()
{
    return g_installed.Get();
}

void SetObjectSearch(IObjectSearch* search)
{
    g_installed.Set(search);
}
