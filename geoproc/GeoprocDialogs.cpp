#include "geoproc/GeoprocDialogs.h"

#include "platform/Installed.h"

namespace {
CInstalled<IGeoprocDialogs> g_installed;
} // namespace

IGeoprocDialogs& GeoprocDialogs()
{
    return g_installed.Get();
}

void SetGeoprocDialogs(IGeoprocDialogs* dialogs)
{
    g_installed.Set(dialogs);
}
