#include "shell/MainToolbars.h"

namespace {
IMainToolbars g_noToolbars;
IMainToolbars* g_toolbars = nullptr;
IToolbarSearchHooks g_noSearchHooks;
IToolbarSearchHooks* g_searchHooks = nullptr;
} // namespace

IMainToolbars& MainToolbars()
{
    return g_toolbars ? *g_toolbars : g_noToolbars;
}

void SetMainToolbars(IMainToolbars* toolbars)
{
    g_toolbars = toolbars;
}

IToolbarSearchHooks& ToolbarSearchHooks()
{
    return g_searchHooks ? *g_searchHooks : g_noSearchHooks;
}

void SetToolbarSearchHooks(IToolbarSearchHooks* hooks)
{
    g_searchHooks = hooks;
}
