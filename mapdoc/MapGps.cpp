#include "mapdoc/MapGps.h"

#include "platform/Installed.h"

namespace {
CInstalled<const IMapGpsSource> g_source;
CInstalled<IMapGpsPainter> g_painter;
} // namespace

const IMapGpsSource& MapGpsSource()
{
    return g_source.Get();
}

IMapGpsPainter& MapGpsPainter()
{
    return g_painter.Get();
}

void SetMapGpsSource(const IMapGpsSource* source)
{
    g_source.Set(source);
}

void SetMapGpsPainter(IMapGpsPainter* painter)
{
    g_painter.Set(painter);
}
