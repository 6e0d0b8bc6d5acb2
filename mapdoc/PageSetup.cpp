#include "mapdoc/PageSetup.h"

#include "platform/Installed.h"

namespace {
CInstalled<const IPageSetup> g_installed;
} // namespace

const IPageSetup& PageSetup()
{
    return g_installed.Get();
}

void SetPageSetup(const IPageSetup* setup)
{
    g_installed.Set(setup);
}
