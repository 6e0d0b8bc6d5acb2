#include "layers/LayerDrawer.h"

#include <atomic>

namespace {
std::atomic<ILayerDrawer*> g_drawer{nullptr};
} // namespace

ILayerDrawer* GetLayerDrawer()
{
    return g_drawer.load();
}

void SetLayerDrawer(ILayerDrawer* drawer)
{
    g_drawer.store(drawer);
}
