#include "mapdoc/SearchDialogs.h"

namespace {
ISearchDialogs g_cancelled;
ISearchDialogs* g_dialogs = nullptr;
} // namespace

ISearchDialogs& SearchDialogs()
{
    return g_dialogs ? *g_dialogs : g_cancelled;
}

void SetSearchDialogs(ISearchDialogs* dialogs)
{
    g_dialogs = dialogs;
}
