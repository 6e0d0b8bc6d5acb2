#include "render/PointSymbolHook.h"

#include "render/SymbolLibrary.h"

#include <atomic>

namespace {

std::atomic<PointSymbolDrawer> g_drawer{nullptr};

} // namespace

void SetPointSymbolDrawer(PointSymbolDrawer drawer)
{
    g_drawer.store(drawer);
}

int DrawPointSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    PointSymbolDrawer drawer = g_drawer.load();
    return drawer ? drawer(dc, x, y, style, scale) : SymbolLibrary().DrawPointStyle(dc, x, y, style, scale);
}
