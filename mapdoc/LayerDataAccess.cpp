#include "mapdoc/LayerDataAccess.h"

namespace {
ILayerDataAccess g_none;
ILayerDataAccess* g_access = nullptr;
} // namespace

ILayerDataAccess& LayerDataAccess()
{
    return g_access ? *g_access : g_none;
}

void SetLayerDataAccess(ILayerDataAccess* access)
{
    g_access = access;
}
