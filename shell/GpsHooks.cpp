#include "shell/GpsHooks.h"

namespace {
IGpsHooks g_none;
IGpsHooks* g_hooks = nullptr;
} // namespace

IGpsHooks& GpsHooks()
{
    return g_hooks ? *g_hooks : g_none;
}

void SetGpsHooks(IGpsHooks* hooks)
{
    g_hooks = hooks;
}
