#include "mapdoc/QueryDialogs.h"

#include "platform/Installed.h"

namespace {
CInstalled<IQueryDialogs> g_installed;
} // namespace

IQueryDialogs& QueryDialogs()
{
    return g_installed.Get();
}

void SetQueryDialogs(IQueryDialogs* dialogs)
{
    g_installed.Set(dialogs);
}
